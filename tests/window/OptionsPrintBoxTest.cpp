#include "unified/window/OptionsPrintBox.h"
#include "platform/widgets/Grid.h"
#include "tests/window/DialogTest.h"
#include "unified/dialogparts/RadioGroup.h"
#include "unified/window/MainForm.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <cstdint>

namespace {

class PrintOptionsBox : public DialogTest {
protected:
    void Start(const char* kind, const PrintOptions& options) {
        CreateWindows({kind});
        CurrentEvent->SetPrintOptions(options);
    }
    int Run(std::function<void(TOptionsPrintBox&)> action) {
        return DialogTest::Run(OptionsPrintBox, std::move(action));
    }
};

} // namespace

TEST_F(PrintOptionsBox, ShowsTheOptionsAndOnlyTheFieldsTheKindUses) {
    Start("-L", {.leftMargin = 1.25f, .rightMargin = 7, .bottomMargin = 0.04f, .fontSize = 12});
    Run([](TOptionsPrintBox& d) {
        EXPECT_EQ(d.LeftMargin->text(), "1.3") << "a half rounds up";
        EXPECT_EQ(d.BottomMargin->text(), "0.0");
        EXPECT_EQ(d.FontSize->text(), "12");
        EXPECT_EQ(QApplication::focusWidget(), d.TopMargin);
        EXPECT_TRUE(d.RightMargin->isHidden() && d.RightLabel->isHidden());
        EXPECT_TRUE(d.PlayersPerPage->isHidden() && d.RoundsLabel->isHidden());
        d.CancelBtn->click();
    });
    DestroyWindows();
    Start("-T", {});
    Run([](TOptionsPrintBox& d) {
        EXPECT_FALSE(d.RightMargin->isHidden() || d.PerPageLabel->isHidden());
        EXPECT_EQ(d.PlayersPerPage->currentText() + d.RoundsPerPage->currentText(), "164");
        d.CancelBtn->click();
    });
}

TEST_F(PrintOptionsBox, ValuesFromAFileOutsideTheChoicesTakeTheNearestOne) {
    const struct {
        int players, rounds;
        const char* shown; // players and rounds
    } cases[] = {{64, 9, "325"},
                 {12, 0, "81"},
                 {0, -2, "41"},
                 {INT32_MAX, INT32_MIN, "321"},
                 {-16, 3, "43"}};
    Start("-T", {});
    for (const auto& c : cases) {
        CurrentEvent->SetPrintOptions({.playersPerPage = c.players, .roundsPerPage = c.rounds});
        Run([&](TOptionsPrintBox& d) {
            EXPECT_EQ(d.PlayersPerPage->currentText() + d.RoundsPerPage->currentText(), c.shown);
            d.RoundsPerPage->setCurrentIndex(0);
            d.OKBtn->click();
        });
        EXPECT_EQ(CurrentEvent->PrintOpts().roundsPerPage, 1) << c.players;
    }
    EXPECT_EQ(CurrentEvent->PrintOpts().playersPerPage, 4);
    // An orientation past the last item takes it, as the old group did.
    CurrentEvent->SetPrintOptions({.orientation = 5});
    Run([](TOptionsPrintBox& d) {
        EXPECT_EQ(d.Orientation->ItemIndex(), 2);
        d.CancelBtn->click();
    });
}

TEST_F(PrintOptionsBox, ADrawPageMustHoldTheRoundsItShows) {
    Start("-T", {.playersPerPage = 4, .roundsPerPage = 1});
    BoxScript boxes;
    boxes.Expect("Error",
                 "For 3 rounds per page, must show at least 8 players per page.  Please increase "
                 "Players Per Page, or decrease Rounds Per Page.",
                 kExclamation);
    Run([](TOptionsPrintBox& d) {
        d.RoundsPerPage->setCurrentIndex(2);
        d.OKBtn->click();
        d.PlayersPerPage->setCurrentIndex(1);
        d.OKBtn->click();
    });
    EXPECT_EQ(CurrentEvent->PrintOpts().playersPerPage, 8);
    EXPECT_EQ(CurrentEvent->PrintOpts().roundsPerPage, 3);
}

TEST_F(PrintOptionsBox, FieldsAreCheckedInOrderAndStoredOnlyWhenAllPass) {
    Start("-P", {});
    BoxScript boxes;
    for (int refusal = 0; refusal < 4; ++refusal)
        boxes.Expect("Error", "Must be numeric from 0.0 to 4.0.", kExclamation);
    boxes.Expect("Error", "Must be numeric from 8 to 20.", kExclamation);
    EXPECT_EQ(Run([](TOptionsPrintBox& d) {
                  QLineEdit* const order[] = {d.LeftMargin, d.RightMargin, d.TopMargin,
                                              d.BottomMargin, d.FontSize};
                  const char* const refused[] = {"4.5", "", "-1", "x", "7"};
                  const char* const accepted[] = {"4", "0", "0.5", "2", "20"};
                  for (int i = 0; i < 5; ++i)
                      order[i]->setText(refused[i]);
                  // Each refusal focuses its field; mending it shows the next.
                  for (int i = 0; i < 5; ++i) {
                      d.OKBtn->click();
                      EXPECT_EQ(QApplication::focusWidget(), order[i]);
                      order[i]->setText(accepted[i]);
                  }
                  EXPECT_EQ(CurrentEvent->PrintOpts().fontSize, 10) << "nothing stored yet";
                  d.Orientation->Button(1)->click();
                  d.OKBtn->click();
              }),
              mrOk);
    const PrintOptions& after = CurrentEvent->PrintOpts();
    EXPECT_EQ(std::vector<float>(
                  {after.leftMargin, after.rightMargin, after.topMargin, after.bottomMargin}),
              std::vector<float>({4, 0, 0.5f, 2}));
    EXPECT_EQ(after.fontSize, 20);
    EXPECT_EQ(after.orientation, 1);
    EXPECT_TRUE(CurrentEvent->IsModified());
}

TEST_F(PrintOptionsBox, TheLaddersHiddenRightMarginNeitherBlocksNorChanges) {
    Start("-L", {.rightMargin = 7.5f});
    Player ann;
    ann.firstName = "Ann";
    CurrentEvent->AddPlayer(ann, nullptr);
    Run([](TOptionsPrintBox& d) {
        d.LeftMargin->setText("0.5");
        d.OKBtn->click();
    });
    EXPECT_EQ(CurrentEvent->PrintOpts().leftMargin, 0.5f);
    EXPECT_EQ(CurrentEvent->PrintOpts().rightMargin, 7.5f);
    EXPECT_EQ(MainForm->PlayerGrid->Cell(3, 1), "Ann ") << "the views were refreshed";
}
