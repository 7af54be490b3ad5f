// Tools > Warnings & Match Analysis, and the same work after the mixer:
// which boxes come, and what the preview shows, for each kind of plan.

#include "unified/window/MainForm.h"

#include "platform/widgets/Grid.h"
#include "tests/schedule/PlanScript.h"
#include "tests/window/DialogTest.h"
#include "unified/window/PreviewBox.h"
#include "unified/window/eventFactory.h"

#include <QAction>
#include <QPlainTextEdit>

namespace {

constexpr unsigned kInformation = MB_OK | MB_ICONINFORMATION;
constexpr unsigned kSummaryBox = MB_OKCANCEL | MB_ICONINFORMATION;

// Twelve players on three doubles courts, two rounds. Option 0x1 alone:
// players 9 to 12 sit out round 2, so the rounds are uneven.
const std::string kPlan = "options|0x1\n"
                          "players|12\n"
                          "courts|DDD\n"
                          "rounds|2\n"
                          "round|1|1 2 3 4|5 6 7 8|9 10 11 12\n"
                          "round|2|1 5 2 6|3 7 4 8|-\n";
const std::string kSummary = "  ** WARNINGS SUMMARY **  \n"
                             "Some players have more rounds than others, min=1, max=2.\n";

class MatchAnalysis : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        saved = SetEventMaker(2, [] { return static_cast<RXEvent*>(new ScriptedPlan); });
        CreateWindows({"-P"});
    }
    void TearDown() override {
        DialogTest::TearDown();
        SetEventMaker(2, saved);
    }
    static void Play(const std::string& script) {
        PlayPlanScript(script, *static_cast<ScriptedPlan*>(CurrentEvent));
        MainForm->RefreshViews();
    }
    static std::string Shown() {
        return PreviewBox->isVisible() ? PreviewBox->Preview->toPlainText().toStdString() : "";
    }
    EventMaker saved = nullptr;
};

TEST_F(MatchAnalysis, WarningsAskFirstAndShowTheirDetailsBeforeTheAnalysis) {
    Play(kPlan);
    ASSERT_TRUE(MainForm->MatchAnalysis1->isEnabled());
    {
        BoxScript boxes;
        boxes.Expect("Warning Summary", kSummary + "Click OK for details.", kSummaryBox, IDCANCEL);
        MainForm->MatchAnalysis1->trigger();
    }
    EXPECT_EQ(Shown(), "") << "Cancel shows nothing";
    {
        BoxScript boxes;
        boxes.Expect("Warning Summary", kSummary + "Click OK for details.", kSummaryBox, IDOK);
        MainForm->RunMatchAnalysis(true);
    }
    const std::string text = Shown();
    EXPECT_EQ(PreviewBox->windowTitle(), "Warnings and Match Analysis");
    EXPECT_EQ(text.substr(0, text.find("  ** MATCH ANALYSIS **")),
              kSummary + "\n  ** WARNINGS DETAILS **  \n"
                         "The predominant number of total assignments is 2.\n"
                         "The following players have 1 total assignment:\n"
                         " 9 10 11 12\n\n");
    EXPECT_NE(text.find("number of host assignments (if applicable)\n2 0 1 0 1 0 0 0 1 0 0 0 "),
              std::string::npos)
        << text;
}

TEST_F(MatchAnalysis, APlanWithoutWarningsShowsTheAnalysisFromTheMenuOnly) {
    Play("options|0\nplayers|4\ncourts|D\nrounds|1\nround|1|1 2 3 4\n");
    MainForm->RunMatchAnalysis(true);
    EXPECT_EQ(Shown(), "");
    MainForm->MatchAnalysis1->trigger();
    EXPECT_EQ(Shown().substr(0, 24), "  ** MATCH ANALYSIS **  ");
}

TEST_F(MatchAnalysis, ARoundRobinGoesStraightToTheAnalysis) {
    // Incomplete, with warnings: neither is looked at for a round robin.
    Play(kPlan + "type|300\nround|2|-|-|9 10 11\n");
    MainForm->MatchAnalysis1->trigger();
    EXPECT_EQ(Shown().substr(0, 24), "  ** MATCH ANALYSIS **  ");
}

TEST_F(MatchAnalysis, AnIncompleteBoxIsShownAndChosenInTheGrid) {
    Play(kPlan + "round|2|-|-|9 10 11\n");
    {
        BoxScript boxes;
        boxes.Expect("Error", "Match is not complete.", kInformation);
        MainForm->MatchAnalysis1->trigger();
    }
    EXPECT_EQ(Shown(), "");
    EXPECT_EQ(MainForm->DrawGrid->Col(), 3);
    EXPECT_EQ(MainForm->DrawGrid->Row(), 2);
}

} // namespace
