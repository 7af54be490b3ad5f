// The plan report on the text and HTML sinks. Each folder under reports/
// builds a plan from its script ("plan", see PlanScript.h) and holds its
// report as a text file (expected.txt) and an HTML file (expected.html); the
// string list of the preview must read as the text file. Adding a case is
// adding a folder; ROSTRIX_UPDATE_GOLDEN=1 rewrites the expected files.

#include "platform/Clock.h"
#include "tests/schedule/PlanScript.h"
#include "tests/support/Scratch.h"
#include "unified/core/rxreport.h"

#include <gtest/gtest.h>

namespace {

const std::string kCases = std::string(SCHEDULE_TEST_DIR) + "/reports";

class PlanReportGolden : public testing::TestWithParam<std::string> {
protected:
    std::string Folder() const { return kCases + "/" + GetParam(); }
};

TEST_P(PlanReportGolden, TextAndHtmlReportsAreAsExpected) {
    const std::string script = ReadFile(Folder() + "/plan");
    ASSERT_FALSE(script.empty());
    // The report shows no date or time; with the clock fixed a case would
    // stay the same if it ever did.
    SetFixedClock(1'700'000'000);
    ScriptedPlan plan;
    PlayPlanScript(script, plan);
    TempFolder scratch;

    {
        rxReport report(scratch.File("out.txt"), rxReport::SinkTextFile);
        plan.PrintReport(report);
    }
    const std::string text = ReadFile(scratch.File("out.txt"));
    CompareGolden(Folder() + "/expected.txt", text);

    {
        rxReport report(scratch.File("out.html"), rxReport::SinkHtml, plan.Heading());
        plan.PrintReport(report);
    }
    CompareGolden(Folder() + "/expected.html", ReadFile(scratch.File("out.html")));
    ClearFixedClock();

    // The preview: a page break is two blank items there and two empty lines
    // in the file, so a line of one blank reads as an empty one in both.
    std::vector<std::string> list;
    {
        rxReport report(list);
        plan.PrintReport(report);
    }
    std::string items;
    for (const std::string& item : list)
        items += (item == " " ? "" : item) + "\r\n";
    std::string lines;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = text.find("\r\n", at);
        const std::string line = text.substr(at, end - at);
        lines += (line == " " ? "" : line) + "\r\n";
        at = end == std::string::npos ? text.size() : end + 2;
    }
    EXPECT_EQ(items, lines);
}

INSTANTIATE_TEST_SUITE_P(Cases, PlanReportGolden, testing::ValuesIn(GoldenCases(kCases)),
                         GoldenCaseName);

} // namespace
