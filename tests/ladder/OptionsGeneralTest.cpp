#include "unified/ladder/OptionsGeneral.h"
#include "tests/ladder/LadderWindow.h"
#include "unified/dialogparts/RadioGroup.h"

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

std::vector<QCheckBox*> Boxes(const TOptionsGeneral& d) {
    return {d.CurrentIssue, d.NextIssue,       d.PreviousIssues, d.ResultsBottom,
            d.PreMatchPos,  d.PosChangeColumn, d.ShowWinLoss,    d.AllOneLine};
}

} // namespace

TEST_F(GeneralOptions, TheChallengeRangeIsInPercentOrInPositionsNotBoth) {
    Start(9);
    CurrentLadder->SetChallengePositions(3);
    const std::string both = "Challenge range: provide percent or position value, but not both.";
    Options([&](TOptionsGeneral& d) {
        EXPECT_EQ(d.ValChalPct->text() + "|" + d.ValChalPos->text(), "|3");
        EXPECT_EQ(d.focusWidget(), d.ValChalPct);
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
        d.ValChalPct->setText("0");
        d.OK->click();
    });
    EXPECT_EQ(CurrentLadder->ChallengeRange(), 0) << "zero: the range is not checked";
}

TEST_F(GeneralOptions, OKStoresEveryOptionAndTheWindowFollowsTheSystem) {
    Start(2);
    ASSERT_EQ(CurrentLadder->EnterResult("3/9/24", Name(2), Name(1), "6-0", false), rcOk);
    CurrentLadder->SetDisplayFlags(Ladder::ShowWinLoss | Ladder::NoPosChange);
    CurrentLadder->SetIssueMask(Ladder::NextIssue);
    MainForm->RefreshViews();
    const Ladder& ladder = *CurrentLadder;
    // The items of one ladder system, offered once their menu opens.
    const QAction* const pointsOnly[] = {MainForm->PointSystem1, MainForm->ClearAllResults2,
                                         MainForm->EnterDoublesResults1};
    const auto choose = [&](int system, int display, bool checked) {
        Options([&](TOptionsGeneral& d) {
            d.LadderSystem->Button(system)->click();
            d.DisplayResults->Button(display)->click();
            for (QCheckBox* box : Boxes(d))
                box->setChecked(checked);
            d.OK->click();
        });
        for (QMenu* menu : {MainForm->Setup1, MainForm->Options2, MainForm->Tools1}) {
            menu->popup(QPoint(0, 0));
            menu->hide();
        }
    };

    // Cancel changes nothing.
    Options([](TOptionsGeneral& d) {
        std::vector<bool> shown;
        for (QCheckBox* box : Boxes(d))
            shown.push_back(box->isChecked());
        EXPECT_EQ(shown, std::vector<bool>({0, 1, 0, 0, 0, 0, 1, 0}));
        EXPECT_EQ(d.LadderSystem->ItemIndex() + d.DisplayResults->ItemIndex(), 0);
        d.LadderSystem->Button(1)->click();
        d.ShowWinLoss->setChecked(false);
        d.Cancel->click();
    });
    EXPECT_FALSE(ladder.IsPointsSystem());
    EXPECT_EQ(ladder.DisplayFlags(), Ladder::ShowWinLoss | Ladder::NoPosChange);

    choose(1, 2, true);
    EXPECT_EQ(ladder.DisplayFlags(), Ladder::ShowWinLoss | Ladder::ResultsBottom |
                                         Ladder::PreMatchPos | Ladder::AllOneLine);
    EXPECT_EQ(ladder.IssueMask(), 7);
    EXPECT_EQ(MainForm->PlayerGrid->Cell(1, 0), "Pts");
    EXPECT_EQ(PaneLines()[1].substr(0, 4), "[ ] ") << "all results, each with its issue";
    for (const QAction* item : pointsOnly)
        EXPECT_TRUE(MainForm->IsOffered(item)) << item->text().toStdString();
    EXPECT_FALSE(MainForm->IsOffered(MainForm->TraditionalSystem1));

    choose(0, 0, false);
    EXPECT_EQ(ladder.DisplayFlags(), Ladder::NoPosChange);
    EXPECT_EQ(ladder.IssueMask(), 0);
    EXPECT_EQ(MainForm->PlayerGrid->Cell(1, 0), "PI");
    EXPECT_EQ(PaneLines()[1].substr(0, 4), "03/0");
    for (const QAction* item : pointsOnly)
        EXPECT_FALSE(MainForm->IsOffered(item)) << item->text().toStdString();
    EXPECT_TRUE(MainForm->IsOffered(MainForm->TraditionalSystem1));
}
