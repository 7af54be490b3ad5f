#include "unified/ladder/Enter2ResultsBox.h"
#include "tests/ladder/LadderWindow.h"
#include "tests/support/Scratch.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>

namespace {

// The four players by their places in the ladder; 0 leaves a list empty.
void Choose(TEnter2ResultsBox& d, int winner1, int winner2, int loser1, int loser2) {
    d.Winner1->setCurrentIndex(winner1 - 1);
    d.Winner2->setCurrentIndex(winner2 - 1);
    d.Loser1->setCurrentIndex(loser1 - 1);
    d.Loser2->setCurrentIndex(loser2 - 1);
}

class EnterDoublesResults : public LadderWindow {
protected:
    // A points ladder of singles players.
    void Start(int players, const std::vector<std::string>& arguments = {"-L"}) {
        LadderWindow::Start(players, arguments);
        CurrentLadder->SetLadderSystem(1);
    }
    int Enter(std::function<void(TEnter2ResultsBox&)> action) {
        return Command<TEnter2ResultsBox>(MainForm->EnterDoublesResults1, std::move(action));
    }
};

} // namespace

TEST_F(EnterDoublesResults, OnlyAPointsLadderOfSinglesTakesThemAndEachUseStartsAnew) {
    const std::string refusal = "This command applies only to points-system singles ladder.";
    Start(4, {"-L", "-u"});
    boxes.Expect("Error", refusal, kErrorBox);
    MainForm->EnterDoublesResults1->trigger();
    DestroyWindows();
    Start(4);
    CurrentLadder->SetLadderSystem(0);
    boxes.Expect("Error", refusal, kErrorBox);
    MainForm->EnterDoublesResults1->trigger();
    CurrentLadder->SetLadderSystem(1);

    ScopedFixedDate today(2024, 3, 9);
    for (int use = 0; use < 2; ++use)
        Enter([](TEnter2ResultsBox& d) {
            EXPECT_EQ(d.Date->text(), "03/09/2024");
            for (QComboBox* list : {d.Winner1, d.Winner2, d.Loser1, d.Loser2}) {
                EXPECT_EQ(list->itemText(3).toStdString(), Name(4));
                EXPECT_EQ(list->currentIndex(), -1);
            }
            EXPECT_EQ(d.Score->text() + (d.TieScore->isChecked() ? "tie" : ""), "");
            EXPECT_EQ(d.focusWidget(), d.Date);
            Choose(d, 1, 2, 3, 4);
            d.Score->setText("6-0");
            d.TieScore->setChecked(true);
            d.Cancel->click();
        });
    EXPECT_EQ(CurrentLadder->ResultCount(), 0);
}

TEST_F(EnterDoublesResults, EveryPlayerIsRequiredOnceInTheirOrder) {
    Start(4);
    Enter([&](TEnter2ResultsBox& d) {
        const struct {
            int w1, w2, l1, l2;
            const char* error;
            QComboBox* focus;
        } refusals[] = {
            {0, 2, 3, 4, "Winner name is required.", d.Winner1},
            {1, 0, 0, 4, "Loser name is required.", d.Loser1},
            {1, 0, 3, 4, "Winner name is required.", d.Winner2},
            {1, 2, 3, 0, "Loser name is required.", d.Loser2},
            {1, 2, 2, 4, "Winner names and Loser names must be different.", d.Winner1},
            {1, 2, 3, 1, "Winner names and Loser names must be different.", d.Winner1},
        };
        for (const auto& r : refusals) {
            Choose(d, r.w1, r.w2, r.l1, r.l2);
            d.Score->setFocus();
            boxes.Expect("Error", r.error, kErrorBox);
            d.Apply->click();
            ExpectFocusOn(d, r.focus);
        }
    });
    EXPECT_EQ(CurrentLadder->ResultCount(), 0);
}

TEST_F(EnterDoublesResults, TheRangeRunsFromTheBetterWinnerToTheWorseLoser) {
    Start(9);
    CurrentLadder->SetChallengePositions(2);
    boxes.Expect("Warning",
                 "Challenge was out of range:  winner at 8, loser at 2, spread=6 pos., "
                 "allowed=2 pos.",
                 MB_OKCANCEL | MB_ICONEXCLAMATION, IDCANCEL);
    EXPECT_EQ(Enter([](TEnter2ResultsBox& d) {
                  Choose(d, 9, 8, 1, 2);
                  d.OK->click();
                  EXPECT_EQ(CurrentLadder->ResultCount(), 0) << "Cancel enters nothing";
                  // 9 alone is far below 2, but its partner at 5 stands two
                  // places below the worse loser at 3: within range.
                  Choose(d, 9, 5, 2, 3);
                  d.Score->setText("6-3");
                  d.OK->click();
              }),
              mrOk);
    ASSERT_EQ(CurrentLadder->ResultCount(), 1);
    const LResult& r = *CurrentLadder->Result(1);
    const auto id = [](int position) { return CurrentLadder->Player(position)->number; };
    EXPECT_EQ(std::vector<int>({r.winner, r.winnerPartner, r.loser, r.loserPartner}),
              std::vector<int>({id(9), id(5), id(2), id(3)}));
    EXPECT_EQ(r.winnerPartnerPos + r.loserPartnerPos, "53");
}
