// The warnings and the match analysis of crafted plans. Each folder under
// warnings/ builds a plan from its script ("plan", see PlanScript.h) and
// holds what the preview would show (expected.txt): whether any warning was
// found, the summary and an empty line, the details and an empty line, then
// the analysis. Adding a case is adding a folder; ROSTRIX_UPDATE_GOLDEN=1
// rewrites the expected files.

#include "tests/schedule/PlanScript.h"
#include "tests/support/Scratch.h"

#include <gtest/gtest.h>

namespace {

const std::string kCases = std::string(SCHEDULE_TEST_DIR) + "/warnings";

class PlanWarnings : public testing::TestWithParam<std::string> {
protected:
    std::string Folder() const { return kCases + "/" + GetParam(); }
};

TEST_P(PlanWarnings, SummaryDetailsAndAnalysisAreAsExpected) {
    const std::string script = ReadFile(Folder() + "/plan");
    ASSERT_FALSE(script.empty());
    ScriptedPlan plan;
    PlayPlanScript(script, plan);
    ASSERT_EQ(plan.CheckComplete(), rcOk) << "the checks run on complete plans";

    std::vector<std::string> summary = {"left over"}, details = {"left over"}, analysis;
    const bool found = plan.CheckWarnings(summary, details);
    plan.WriteAnalysis(analysis, plan.zSwitch);
    std::string text = std::string("found: ") + (found ? "yes" : "no") + "\n";
    for (const auto* list : {&summary, &details}) {
        for (const std::string& line : *list)
            text += line + "\n";
        text += "\n";
    }
    for (const std::string& line : analysis)
        text += line + "\n";
    CompareGolden(Folder() + "/expected.txt", text);

    // The plan lends out the summary only for the one check.
    std::vector<std::string> again, againDetails;
    EXPECT_EQ(plan.CheckWarnings(again, againDetails), found);
    EXPECT_EQ(again, summary);
    EXPECT_EQ(againDetails, details);
}

INSTANTIATE_TEST_SUITE_P(Cases, PlanWarnings, testing::ValuesIn(GoldenCases(kCases)),
                         GoldenCaseName);

} // namespace
