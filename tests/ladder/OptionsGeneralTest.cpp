#include "unified/ladder/OptionsGeneral.h"
#include "tests/ladder/LadderWindow.h"
#include "unified/window/RadioGroup.h"

#include <QCheckBox>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>

namespace {

class GeneralOptions : public LadderWindow {
protected:
    int Options(std::function<void(TOptionsGeneral&)> action) {
        return Command<TOptionsGeneral>(MainForm->General1, std::move(action));
    }
};

// The items a menu enables once it is opened.
void OpenMenu(QMenu* menu) {
    menu->popup(QPoint(0, 0));
    menu->hide();
}

} // namespace

TEST_F(GeneralOptions, TheDialogShowsTheLaddersOptions) {
    Start(2);
    Ladder& ladder = *CurrentLadder;
    ladder.SetChallengePositions(3);
    ladder.SetDisplayFlags(Ladder::ShowWinLoss | Ladder::NoPosChange | Ladder::AllOneLine);
    ladder.SetIssueMask(Ladder::NextIssue | Ladder::PreviousIssues);
    ladder.SetLadderSystem(1);
    ladder.SetDisplayResults(2);
    EXPECT_EQ(Options([](TOptionsGeneral& d) {
                  EXPECT_EQ(d.windowTitle(), "General Options");
                  EXPECT_EQ(d.ValChalPct->text() + "|" + d.ValChalPos->text(), "|3");
                  EXPECT_EQ(d.focusWidget(), d.ValChalPct);
                  EXPECT_EQ(d.LadderSystem->ItemIndex(), 1);
                  EXPECT_EQ(d.DisplayResults->ItemIndex(), 2);
                  const std::vector<bool> boxes = {
                      d.CurrentIssue->isChecked(),   d.NextIssue->isChecked(),
                      d.PreviousIssues->isChecked(), d.ResultsBottom->isChecked(),
                      d.PreMatchPos->isChecked(),    d.PosChangeColumn->isChecked(),
                      d.ShowWinLoss->isChecked(),    d.AllOneLine->isChecked()};
                  EXPECT_EQ(boxes, std::vector<bool>({0, 1, 1, 0, 0, 0, 1, 1}));
                  d.LadderSystem->SetItemIndex(0);
                  d.ValChalPos->setText("7");
                  d.ShowWinLoss->setChecked(false);
                  d.Cancel->click();
              }),
              mrCancel);
    EXPECT_TRUE(ladder.IsPointsSystem()) << "Cancel changes nothing";
    EXPECT_EQ(ladder.ChallengePositions(), 3);
    EXPECT_EQ(ladder.DisplayFlags(),
              Ladder::ShowWinLoss | Ladder::NoPosChange | Ladder::AllOneLine);
}

TEST_F(GeneralOptions, TheChallengeRangeIsInPercentOrInPositionsNotBoth) {
    Start(9);
    const std::string both = "Challenge range: provide percent or position value, but not both.";
    Options([&](TOptionsGeneral& d) {
        const struct {
            const char* percent;
            const char* positions;
            const std::string error;
            QLineEdit* focus;
        } refusals[] = {
            {"10", "2", both, d.ValChalPct},
            {"", " ", both, d.ValChalPct},
            {"101", "", "Must be numeric from 0 to 100.", d.ValChalPct},
            {"", "1000", "Must be numeric from 0 to 999.", d.ValChalPos},
        };
        for (const auto& r : refusals) {
            d.ValChalPct->setText(r.percent);
            d.ValChalPos->setText(r.positions);
            boxes.Expect("Error", r.error, kErrorBox);
            d.OK->click();
            ExpectFocusOn(d, r.focus);
        }
        d.ValChalPct->setText("30");
        d.ValChalPos->clear();
        d.OK->click();
    });
    EXPECT_EQ(CurrentLadder->ChallengePercent(), 30);
    EXPECT_EQ(CurrentLadder->ChallengePositions(), -1);
    Options([](TOptionsGeneral& d) {
        EXPECT_EQ(d.ValChalPct->text() + "|" + d.ValChalPos->text(), "30|");
        d.ValChalPct->clear();
        d.ValChalPos->setText("0");
        d.OK->click();
    });
    EXPECT_EQ(CurrentLadder->ChallengePositions(), 0);
    EXPECT_EQ(CurrentLadder->ChallengeRange(), 0) << "zero: the range is not checked";
}

TEST_F(GeneralOptions, OKStoresEveryOptionAndTheWindowFollowsTheSystem) {
    Start(2);
    ASSERT_EQ(CurrentLadder->EnterResult("3/9/24", Name(2), Name(1), "6-0", false), 0);
    MainForm->RefreshViews();
    const auto choose = [&](int system, int display, bool checked) {
        Options([&](TOptionsGeneral& d) {
            d.LadderSystem->Button(system)->click();
            d.DisplayResults->Button(display)->click();
            for (QCheckBox* box : {d.CurrentIssue, d.NextIssue, d.PreviousIssues, d.ResultsBottom,
                                   d.PreMatchPos, d.PosChangeColumn, d.ShowWinLoss, d.AllOneLine})
                box->setChecked(checked);
            d.OK->click();
        });
        for (QMenu* menu : {MainForm->Setup1, MainForm->Options2, MainForm->Tools1})
            OpenMenu(menu);
    };

    // The items of one ladder system, offered once their menu opens.
    const QAction* const pointsOnly[] = {MainForm->PointSystem1, MainForm->ClearAllResults2,
                                         MainForm->EnterDoublesResults1};
    choose(1, 2, true);
    const Ladder& ladder = *CurrentLadder;
    EXPECT_EQ(ladder.DisplayFlags(), Ladder::ShowWinLoss | Ladder::ResultsBottom |
                                         Ladder::PreMatchPos | Ladder::AllOneLine);
    EXPECT_EQ(ladder.IssueMask(), 7);
    EXPECT_EQ(ladder.DisplayResults(), 2);
    EXPECT_EQ(MainForm->PlayerGrid->Cell(1, 0), "Pts");
    EXPECT_EQ(PaneLines()[1].substr(0, 4), "[ ] ") << "all results, each with its issue";
    for (const QAction* item : pointsOnly)
        EXPECT_TRUE(MainForm->IsOffered(item)) << item->text().toStdString();
    EXPECT_FALSE(MainForm->IsOffered(MainForm->TraditionalSystem1));

    choose(0, 0, false);
    EXPECT_EQ(ladder.DisplayFlags(), Ladder::NoPosChange);
    EXPECT_EQ(ladder.IssueMask(), 0);
    EXPECT_FALSE(ladder.IsPointsSystem());
    EXPECT_EQ(MainForm->PlayerGrid->Cell(1, 0), "PI");
    EXPECT_EQ(PaneLines()[1].substr(0, 4), "03/0");
    for (const QAction* item : pointsOnly)
        EXPECT_FALSE(MainForm->IsOffered(item)) << item->text().toStdString();
    EXPECT_TRUE(MainForm->IsOffered(MainForm->TraditionalSystem1));
}
