#include "unified/ladder/EnterResultsBox.h"
#include "tests/ladder/LadderWindow.h"
#include "tests/support/Scratch.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>

namespace {

std::vector<std::string> Items(const QComboBox* list) {
    std::vector<std::string> items;
    for (int i = 0; i < list->count(); ++i)
        items.push_back(list->itemText(i).toStdString());
    return items;
}

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

TEST_F(EnterResults, EachUseStartsFromTodayWithEveryNameAndNothingChosen) {
    ScopedFixedDate today(2024, 3, 9);
    Start(0);
    boxes.Expect("No Data", "There is no Player data.", MB_OK | MB_ICONINFORMATION);
    MainForm->EnterResults1->trigger();
    Fill(*CurrentLadder, 3);
    for (int use = 0; use < 2; ++use)
        Enter([](TEnterResultsBox& d) {
            EXPECT_EQ(d.windowTitle(), "Enter Results");
            EXPECT_EQ(d.Date->text(), "03/09/2024");
            EXPECT_EQ(Items(d.Winner), (std::vector<std::string>{Name(1), Name(2), Name(3)}));
            EXPECT_EQ(Items(d.Loser), Items(d.Winner));
            EXPECT_EQ(d.Winner->currentIndex() + d.Loser->currentIndex(), -2);
            EXPECT_EQ(d.Score->text(), "");
            EXPECT_FALSE(d.TieScore->isChecked());
            EXPECT_EQ(d.focusWidget(), d.Date);
            d.Date->setText("1/1/2000");
            d.Score->setText("6-0");
            d.TieScore->setChecked(true);
            Choose(d, 2, 1);
            d.Cancel->click();
        });
    EXPECT_EQ(CurrentLadder->ResultCount(), 0);
}

TEST_F(EnterResults, RefusalsSendTheFocusBackAndEnterNothing) {
    Start(3);
    for (int button = 0; button < 2; ++button)
        Enter([&](TEnterResultsBox& d) {
            QPushButton* press = button == 0 ? d.OK : d.Apply;
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
        });
    EXPECT_EQ(CurrentLadder->ResultCount(), 0);
}

TEST_F(EnterResults, ApplyEntersAndStaysOpenAndOKEntersAndCloses) {
    Start(3);
    EXPECT_EQ(Enter([](TEnterResultsBox& d) {
                  d.Date->setText("3/9/24");
                  Choose(d, 2, 1);
                  d.Score->setText("6-4 6-4");
                  d.Apply->click();
                  EXPECT_EQ(PaneLines()[1], "03/09/2024 F2 P2 d. F1 P1 6-4 6-4")
                      << "the window shows it at once";
                  EXPECT_EQ(d.focusWidget(), d.Date) << "ready for the next result";
                  Choose(d, 3, 2);
                  d.Score->setText("5-5");
                  d.TieScore->setChecked(true);
                  d.OK->click();
              }),
              mrOk);
    ASSERT_EQ(CurrentLadder->ResultCount(), 2);
    EXPECT_EQ(CurrentLadder->ResultText(2), "03/09/2024 F3 P3 TIE F2 P2 5-5");
    EXPECT_TRUE(CurrentLadder->IsResultPending(2));
}

TEST_F(EnterResults, AResultOutOfRangeIsEnteredOnlyWhenTheWarningIsAccepted) {
    Start(9); // 25 percent of 8 positions: 2
    const auto beat = [&](int winner, int loser) {
        Enter([&](TEnterResultsBox& d) {
            Choose(d, winner, loser);
            d.OK->click();
        });
    };
    const std::string range = "Challenge was out of range:  winner at 7, loser at 2, ";
    boxes.Expect("Warning", range + "spread=62%, allowed=25%", MB_OKCANCEL | MB_ICONEXCLAMATION,
                 IDCANCEL);
    beat(7, 2);
    EXPECT_EQ(CurrentLadder->ResultCount(), 0) << "Cancel enters nothing";
    CurrentLadder->SetChallengePositions(3);
    boxes.Expect("Warning", range + "spread=5 pos., allowed=3 pos.",
                 MB_OKCANCEL | MB_ICONEXCLAMATION, IDOK);
    beat(7, 2);
    EXPECT_EQ(CurrentLadder->ResultCount(), 1);
    beat(5, 2);
    beat(1, 9);
    CurrentLadder->SetChallengePositions(0);
    beat(9, 1);
    EXPECT_EQ(CurrentLadder->ResultCount(), 4) << "within range, or unchecked: no question";
}

TEST_F(EnterResults, APairIsListedWithItsPartnerAndEnteredByItsFirstName) {
    Start(0, {"-L", "-u"});
    Player partner = Named("Amy", "Adams");
    ASSERT_EQ(CurrentLadder->AddPlayer(Named("Ann", "Archer"), &partner), 0);
    ASSERT_EQ(CurrentLadder->AddPlayer(Named("Bob", "Baker"), nullptr), 0);
    Enter([](TEnterResultsBox& d) {
        EXPECT_EQ(Items(d.Winner),
                  (std::vector<std::string>{"Archer, Ann \t Adams, Amy", "Baker, Bob"}))
            << "a pair read without its partner stands alone";
        Choose(d, 1, 2);
        d.OK->click();
    });
    ASSERT_EQ(CurrentLadder->ResultCount(), 1);
    EXPECT_EQ(CurrentLadder->Result(1)->winner, CurrentLadder->PlayerIdByName("Archer, Ann"));
    EXPECT_EQ(CurrentLadder->Result(1)->loser, CurrentLadder->PlayerIdByName("Baker, Bob"));
}

TEST_F(EnterResults, AFullLadderRefusesOneMore) {
    Start(2);
    for (int n = 0; n < MaxLadderResults; ++n)
        ASSERT_EQ(CurrentLadder->EnterResult("1/1/24", Name(1), Name(2), "", false), 0);
    boxes.Expect("Error", "Maximum number of results exceeded.", kErrorBox);
    EXPECT_EQ(Enter([](TEnterResultsBox& d) {
                  Choose(d, 1, 2);
                  d.OK->click();
              }),
              mrNone);
}
