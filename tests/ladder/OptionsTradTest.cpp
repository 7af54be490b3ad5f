#include "unified/ladder/OptionsTrad.h"
#include "tests/ladder/LadderWindow.h"

#include <QPushButton>
#include <QTest>

namespace {

class TraditionalOptions : public LadderWindow {
protected:
    int Options(std::function<void(TOptionsTrad&)> action) {
        return Command<TOptionsTrad>(MainForm->TraditionalSystem1, std::move(action));
    }
};

std::vector<int> Values() {
    const Ladder& l = *CurrentLadder;
    return {l.PenaltyDist(), l.PenaltyStart(), l.PenaltyCycle(), l.TopNoDrop()};
}

} // namespace

TEST_F(TraditionalOptions, FieldsShowTheLadderAndAreCheckedInOrderBeforeAnyIsStored) {
    Start(0);
    EXPECT_EQ(Options([&](TOptionsTrad& d) {
                  EXPECT_EQ(d.windowTitle(), "Options - Traditional System");
                  QLineEdit* const fields[] = {d.PenaltyDist, d.PenaltyStart, d.PenaltyCycle,
                                               d.TopNoDrop};
                  QString shown;
                  for (QLineEdit* field : fields)
                      shown += field->text() + " ";
                  EXPECT_EQ(shown, "5 4 1 0 ") << "a new ladder's values";
                  EXPECT_EQ(d.focusWidget(), d.PenaltyDist);

                  const char* const refused[] = {"101", "1", "0", ""};
                  const char* const ranges[] = {"0 to 100", "2 to 999", "1 to 999", "0 to 999"};
                  const char* const accepted[] = {"10", "3", "2", "999"};
                  for (int i = 0; i < 4; ++i)
                      fields[i]->setText(refused[i]);
                  // Each refusal focuses its field; mending it shows the next.
                  for (int i = 0; i < 4; ++i) {
                      boxes.Expect("Error", std::string("Must be numeric from ") + ranges[i] + ".",
                                   kErrorBox);
                      d.OK->click();
                      ExpectFocusOn(d, fields[i]);
                      EXPECT_EQ(Values(), (std::vector<int>{5, 4, 1, 0})) << "nothing stored yet";
                      fields[i]->setText(accepted[i]);
                  }
                  d.OK->click();
              }),
              mrOk);
    EXPECT_EQ(Values(), (std::vector<int>{10, 3, 2, 999}));
    Options([](TOptionsTrad& d) {
        EXPECT_EQ(d.PenaltyDist->text() + d.PenaltyStart->text(), "103");
        for (QLineEdit* limited : {d.PenaltyDist, d.PenaltyStart, d.PenaltyCycle}) {
            limited->clear();
            QTest::keyClicks(limited, "12345");
            EXPECT_EQ(limited->text(), "123");
        }
    });
}
