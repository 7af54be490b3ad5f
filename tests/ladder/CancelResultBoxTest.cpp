#include "unified/ladder/CancelResultBox.h"
#include "tests/ladder/LadderWindow.h"

#include <QComboBox>
#include <QPushButton>

namespace {

class CancelPendingResult : public LadderWindow {
protected:
    int CancelWith(std::function<void(TCancelResultBox&)> action) {
        return Command<TCancelResultBox>(MainForm->CancelPendingResult1, std::move(action));
    }
};

} // namespace

TEST_F(CancelPendingResult, TheChosenPendingResultGoesAndPostedOnesStay) {
    Start(0);
    boxes.Expect("No Data", "There is no Player data.", MB_OK | MB_ICONINFORMATION);
    MainForm->CancelPendingResult1->trigger();
    Fill(*CurrentLadder, 4);
    Ladder& ladder = *CurrentLadder;
    ASSERT_EQ(ladder.EnterResult("3/1/2024", Name(2), Name(1), "6-1", false), rcOk);
    ASSERT_EQ(ladder.PostResults(false), rcOk);
    ASSERT_EQ(ladder.EnterResult("3/8/2024", Name(4), Name(3), "6-2", false), rcOk);
    ASSERT_EQ(ladder.EnterResult("3/9/2024", Name(3), Name(2), "6-3", false), rcOk);
    const std::string kept = ladder.ResultText(2);

    EXPECT_EQ(CancelWith([&](TCancelResultBox& d) {
                  EXPECT_EQ(d.windowTitle(), "Cancel Pending Result");
                  EXPECT_EQ(d.CanRes->count(), 2);
                  EXPECT_EQ(d.CanRes->itemText(0), "03/08/2024 P4/P3 6-2");
                  EXPECT_EQ(d.CanRes->itemText(1), "03/09/2024 P3/P2 6-3");
                  EXPECT_EQ(d.CanRes->currentIndex(), -1);
                  boxes.Expect("Error", "Select a result to be canceled.", kErrorBox);
                  d.OK->click();
                  ExpectFocusOn(d, d.CanRes);
                  d.CanRes->setCurrentIndex(1);
                  d.Cancel->click();
              }),
              mrCancel);
    EXPECT_EQ(ladder.ResultCount(), 3);

    CancelWith([](TCancelResultBox& d) {
        d.CanRes->setCurrentIndex(1);
        d.OK->click();
    });
    ASSERT_EQ(ladder.ResultCount(), 2);
    EXPECT_FALSE(ladder.IsResultPending(1));
    EXPECT_EQ(ladder.ResultText(2), kept);
    EXPECT_EQ(PaneLines(),
              (std::vector<std::string>{"Singles - 4 players.  Next issue: 1", kept, " "}))
        << "the window no longer shows it";
}
