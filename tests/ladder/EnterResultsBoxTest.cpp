// What the seasons do not show: the lists and fields each use starts from,
// every refusal with the focus going back, Apply against OK, the result
// limit. (The challenge warning and pairs entered by their first player are
// in the seasons.)

#include "unified/ladder/EnterResultsBox.h"
#include "tests/ladder/LadderWindow.h"
#include "tests/support/Scratch.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>

namespace {

// Players are chosen by their place in the ladder.
void Choose(TEnterResultsBox& d, int winner, int loser) {
    d.Winner->setCurrentIndex(winner - 1);
    d.Loser->setCurrentIndex(loser - 1);
}

class EnterResults : public LadderWindow {
protected:
    int Enter(std::function<void(TEnterResultsBox&)> action) {
        return Command<TEnterResultsBox>(MainForm->EnterResults1, std::move(action));
    }
};

} // namespace

TEST_F(EnterResults, EachUseStartsFromTodayWithEveryPairAndNothingChosen) {
    ScopedFixedDate today(2024, 3, 9);
    Start(0, {"-L", "-u"});
    boxes.Expect("No Data", "There is no Player data.", MB_OK | MB_ICONINFORMATION);
    MainForm->EnterResults1->trigger();
    Player partner = Named("Amy", "Adams");
    ASSERT_EQ(CurrentLadder->AddPlayer(Named("Ann", "Archer"), &partner), rcOk);
    ASSERT_EQ(CurrentLadder->AddPlayer(Named("Bob", "Baker"), nullptr), rcOk);
    for (int use = 0; use < 2; ++use)
        Enter([](TEnterResultsBox& d) {
            EXPECT_EQ(d.Date->text(), "03/09/2024");
            // A pair read without its partner record stands alone.
            for (QComboBox* list : {d.Winner, d.Loser}) {
                EXPECT_EQ(list->count(), 2);
                EXPECT_EQ(list->itemText(0), "Archer, Ann \t Adams, Amy");
                EXPECT_EQ(list->itemText(1), "Baker, Bob");
                EXPECT_EQ(list->currentIndex(), -1);
            }
            EXPECT_EQ(d.Score->text() + (d.TieScore->isChecked() ? "tie" : ""), "");
            EXPECT_EQ(d.focusWidget(), d.Date);
            d.Date->setText("1/1/2000");
            d.Score->setText("6-0");
            d.TieScore->setChecked(true);
            Choose(d, 2, 1);
            d.Cancel->click();
        });
    EXPECT_EQ(CurrentLadder->ResultCount(), 0);
}

TEST_F(EnterResults, RefusalsSendTheFocusBackAndApplyKeepsTheDialogForTheNext) {
    Start(3);
    EXPECT_EQ(
        Enter([&](TEnterResultsBox& d) {
            for (QPushButton* press : {d.OK, d.Apply}) {
                Choose(d, 0, 0);
                boxes.Expect("Error", "Winner name is required.", kErrorBox);
                press->click();
                ExpectFocusOn(d, d.Winner);
                d.Winner->setCurrentIndex(0);
                boxes.Expect("Error", "Loser name is required.", kErrorBox);
                press->click();
                ExpectFocusOn(d, d.Loser);
                d.Loser->setCurrentIndex(0);
                boxes.Expect("Error", "Winner name and Loser name must be different.", kErrorBox);
                press->click();
                ExpectFocusOn(d, d.Winner);
                Choose(d, 2, 1);
                d.Date->setText("2/30/2024");
                d.Score->setFocus();
                boxes.Expect("Error", "Date must be valid and in the form MM/DD/YY, or similar.",
                             kErrorBox);
                press->click();
                ExpectFocusOn(d, d.Date);
            }
            EXPECT_EQ(CurrentLadder->ResultCount(), 0);
            d.Date->setText("3/9/24");
            d.Score->setFocus();
            d.Apply->click();
            EXPECT_EQ(PaneLines()[1], "03/09/2024 F2 P2 d. F1 P1 ") << "shown at once";
            EXPECT_TRUE(d.isVisible());
            EXPECT_EQ(d.focusWidget(), d.Date) << "ready for the next result";
            Choose(d, 3, 2);
            d.OK->click();
        }),
        mrOk);
    EXPECT_EQ(CurrentLadder->ResultCount(), 2);
}

TEST_F(EnterResults, AFullLadderRefusesOneMore) {
    Start(2);
    for (int n = 0; n < MaxLadderResults; ++n)
        ASSERT_EQ(CurrentLadder->EnterResult("1/1/24", Name(1), Name(2), "", false), rcOk);
    boxes.Expect("Error", "Maximum number of results exceeded.", kErrorBox);
    EXPECT_EQ(Enter([](TEnterResultsBox& d) {
                  Choose(d, 1, 2);
                  d.OK->click();
              }),
              mrNone);
}
