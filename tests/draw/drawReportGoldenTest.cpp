// Each folder under reports/ builds a draw from its script ("draw", see
// DrawReportSupport.h) and holds its report as a text file (expected.txt)
// and an HTML file (expected.html). The string list of the preview must read
// as the text file. Adding a case is adding a folder; ROSTRIX_UPDATE_GOLDEN=1
// rewrites the expected files.

#include "tests/draw/DrawReportSupport.h"
#include "tests/support/Scratch.h"
#include "unified/core/rxreport.h"

#include <gtest/gtest.h>

namespace {

const std::string kCases = std::string(DRAW_TEST_DIR) + "/reports";

class DrawReportGolden : public testing::TestWithParam<std::string> {
protected:
    std::string Folder() const { return kCases + "/" + GetParam(); }
};

TEST_P(DrawReportGolden, TextAndHtmlReportsAreAsExpected) {
    const std::string script = ReadFile(Folder() + "/draw");
    ASSERT_FALSE(script.empty());
    Draw draw;
    PlayDrawScript(script, draw);
    TempFolder scratch;

    {
        rxReport report(scratch.File("out.txt"), rxReport::SinkTextFile);
        draw.PrintReport(report);
    }
    const std::string text = ReadFile(scratch.File("out.txt"));
    CompareGolden(Folder() + "/expected.txt", text);

    {
        rxReport report(scratch.File("out.html"), rxReport::SinkHtml, draw.Heading());
        draw.PrintReport(report);
    }
    CompareGolden(Folder() + "/expected.html", ReadFile(scratch.File("out.html")));

    // The preview: a page break is two blank items there, two empty lines in
    // the file.
    std::vector<std::string> list;
    {
        rxReport report(list);
        draw.PrintReport(report);
    }
    std::string items;
    for (const std::string& item : list)
        items += (item == " " ? "" : item) + "\r\n";
    EXPECT_EQ(items, text);
}

INSTANTIATE_TEST_SUITE_P(Cases, DrawReportGolden, testing::ValuesIn(GoldenCases(kCases)),
                         GoldenCaseName);

} // namespace
