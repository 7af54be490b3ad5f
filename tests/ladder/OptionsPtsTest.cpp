#include "unified/ladder/OptionsPts.h"
#include "tests/ladder/LadderWindow.h"

#include <QPushButton>
#include <QTest>

namespace {

class PointsOptions : public LadderWindow {
protected:
    void SetUp() override {
        LadderWindow::SetUp();
        Start(0);
    }
    int Options(std::function<void(TOptionsPts&)> action) {
        return Command<TOptionsPts>(MainForm->PointSystem1, std::move(action));
    }
};

std::vector<QLineEdit*> Fields(const TOptionsPts& d) {
    return {d.PointsWinner,   d.PointsLoser,    d.PointsTie,     d.ChalWins,
            d.PerPosAdvanced, d.PerPctAdvanced, d.PerScoreMargin};
}

std::string Shown(const TOptionsPts& d) {
    std::string shown;
    for (QLineEdit* field : Fields(d))
        shown += field->text().toStdString() + "|";
    return shown;
}

} // namespace

TEST_F(PointsOptions, ZerosShowAsEmptyFieldsAndExtrasWithThreeDecimals) {
    ASSERT_FALSE(CurrentLadder->IsModified()) << "a new ladder";
    EXPECT_EQ(Options([](TOptionsPts& d) {
                  EXPECT_EQ(d.windowTitle(), "Options - Points System");
                  EXPECT_EQ(Shown(d), "|||||||");
                  EXPECT_EQ(d.focusWidget(), d.PointsWinner);
                  d.OK->click();
              }),
              mrOk);
    EXPECT_TRUE(CurrentLadder->IsModified()) << "seven zeros were stored";

    CurrentLadder->SetPointsOptions(3, 1, 2, 0, 0.5f, 0, 12.25f);
    Options([](TOptionsPts& d) {
        EXPECT_EQ(Shown(d), "3|1|2||0.500||12.250|");
        d.ChalWins->setText("4");
        d.PerScoreMargin->setText(".125");
        d.OK->click();
    });
    const Ladder& l = *CurrentLadder;
    EXPECT_EQ(std::vector<int>({l.PointsWinner(), l.PointsLoser(), l.PointsTie(), l.ChalWins()}),
              std::vector<int>({3, 1, 2, 4}));
    EXPECT_EQ(std::vector<float>({l.PerPosAdvanced(), l.PerPctAdvanced(), l.PerScoreMargin()}),
              std::vector<float>({0.5f, 0, 0.125f}));
}

TEST_F(PointsOptions, FieldsAreCheckedInOrderThenTheDistanceIsOneKindOnly) {
    Options([&](TOptionsPts& d) {
        const std::vector<QLineEdit*> fields = Fields(d);
        const char* const refused[] = {"100", "x", "-1", "1.5", "99.5", "1..2", "200"};
        for (std::size_t i = 0; i < fields.size(); ++i)
            fields[i]->setText(refused[i]);
        for (std::size_t i = 0; i < fields.size(); ++i) {
            boxes.Expect("Error",
                         i < 4 ? "Must be numeric from 0 to 99."
                               : "Must be numeric from 0.0 to 99.0.",
                         kErrorBox);
            d.OK->click();
            ExpectFocusOn(d, fields[i]);
            fields[i]->clear();
        }
        d.PerPosAdvanced->setText("0.5");
        d.PerPctAdvanced->setText("1");
        boxes.Expect("Error",
                     "Per positions between: provide percent or position value, but not both.",
                     kErrorBox);
        d.OK->click();
        ExpectFocusOn(d, d.PerPosAdvanced);
        QTest::keyClicks(d.PerScoreMargin, "12345678");
        EXPECT_EQ(d.PerScoreMargin->text(), "123456");
        d.PointsWinner->clear();
        QTest::keyClicks(d.PointsWinner, "123");
        EXPECT_EQ(d.PointsWinner->text(), "12");
    });
    EXPECT_EQ(CurrentLadder->PerPosAdvanced(), 0.0f) << "nothing stored";
}
