// The plan report printed into a PDF file and read back with pdftotext: the
// pages, their texts, and the chart kept below the heading and notes when it
// is squeezed onto its page.

#include "platform/widgets/SystemPrinter.h"
#include "tests/schedule/PlanScript.h"
#include "tests/support/PdfText.h"
#include "tests/support/Scratch.h"
#include "unified/core/rxreport.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <regex>
#include <sstream>
#include <vector>

namespace {

const std::string kCases = std::string(SCHEDULE_TEST_DIR) + "/reports/";

// Printed with these top and bottom margins, in inches.
std::string PrintToPdf(const std::string& folder, const std::string& pdf, float margins = 1) {
    ScriptedPlan plan;
    PlayPlanScript(ReadFile(kCases + folder + "/plan"), plan);
    plan.SetMargins(1, 1, margins, margins);
    SystemPrinter printer;
    printer.SetPdfFile(pdf);
    printer.SetFontSize(10);
    printer.BeginDoc();
    {
        rxReport report(printer, plan.PrintOpts());
        plan.PrintReport(report);
    }
    printer.EndDoc();
    return pdf;
}

// The top of the first word `text` on a page, in points; -1 when missing.
double WordTop(const std::string& pdf, int page, const std::string& text) {
    const std::string html = CommandOutput("pdftotext -bbox -f " + std::to_string(page) + " -l " +
                                           std::to_string(page) + " '" + pdf + "' -");
    const std::regex word("<word xMin=\"[0-9.]+\" yMin=\"([0-9.]+)\"[^>]*>([^<]*)</word>");
    for (std::sregex_iterator it(html.begin(), html.end(), word), end; it != end; ++it)
        if ((*it)[2] == text) return std::atof((*it)[1].str().c_str());
    return -1;
}

// The court numbers of a chart page with rounds across: each heading cell
// shows "Court" and, on a line below, the number.
std::vector<int> CourtsShown(const std::string& page) {
    std::vector<int> courts;
    std::istringstream lines(page);
    bool heading = false;
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        std::string first;
        if (!(words >> first)) continue;
        if (heading) courts.push_back(std::atoi(first.c_str()));
        heading = first == "Court";
    }
    return courts;
}

TEST(PlanReportPdf, TwelvePlayersOnOneChartPageThenTheListsWithContacts) {
    ASSERT_EQ(std::system("command -v pdftotext >/dev/null"), 0) << "pdftotext is missing";
    TempFolder scratch;
    const std::vector<std::string> pages =
        PdfTextPages(PrintToPdf("courts-across", scratch.File("plan.pdf")));
    ASSERT_EQ(pages.size(), 2u);
    for (const char* text : {"Club <Spring> & \"Mixer\" - page 1", "Play starts at 6pm & ends by 9",
                             "Court:", "Round 1", "Wednesday 7:30"})
        EXPECT_NE(pages[0].find(text), std::string::npos) << text << "\n" << pages[0];
    // Round 2's first box: 3 and 11 against 1 and 12.
    EXPECT_TRUE(std::regex_search(pages[0], std::regex("3 ?& ?11"))) << pages[0];
    EXPECT_TRUE(std::regex_search(pages[0], std::regex("1 ?& ?12"))) << pages[0];
    for (const char* text : {"- page 2", "COURT ASSIGNMENTS", "PLAYER NUMBERS", "ann@example.org",
                             "Needs parking", "Ångström"})
        EXPECT_NE(pages[1].find(text), std::string::npos) << text << "\n" << pages[1];
    EXPECT_TRUE(std::regex_search(pages[1], std::regex("Cleo +Clark <Jr> +3 +1 +2 +- +1")))
        << pages[1];
}

TEST(PlanReportPdf, ThirtyCourtsTakeThreeSqueezedChartPagesBelowTheirHeadings) {
    ASSERT_EQ(std::system("command -v pdftotext >/dev/null"), 0) << "pdftotext is missing";
    TempFolder scratch;
    // Three-inch margins leave some thirty lines a page for the 52 that
    // twelve courts of a chart want.
    const std::string pdf = PrintToPdf("rounds-across-30-courts", scratch.File("thirty.pdf"), 3);
    const std::vector<std::string> pages = PdfTextPages(pdf);
    ASSERT_GE(pages.size(), 4u);
    const int firstCourt[] = {1, 13, 25}, lastCourt[] = {12, 24, 30};
    for (int p = 0; p < 3; ++p) {
        SCOPED_TRACE(p + 1);
        EXPECT_NE(pages[p].find("Thirty courts - page " + std::to_string(p + 1)),
                  std::string::npos);
        std::vector<int> expected;
        for (int c = firstCourt[p]; c <= lastCourt[p]; ++c)
            expected.push_back(c);
        EXPECT_EQ(CourtsShown(pages[p]), expected) << pages[p];
        // Twelve courts of four lines do not fit below the heading and the
        // note: the chart is squeezed, and starts below the note's rule all
        // the same. The heading stands on line 0, the note on line 2, the
        // chart from line 4.
        const double heading = WordTop(pdf, p + 1, "Thirty");
        const double note = WordTop(pdf, p + 1, "indoors");
        const double round = WordTop(pdf, p + 1, "Round:");
        ASSERT_GE(heading, 0);
        ASSERT_GT(note, heading);
        const double line = (note - heading) / 2;
        EXPECT_GT(round, note + 1.75 * line)
            << "the chart over the note's rule: heading at " << heading << ", note at " << note
            << ", chart at " << round;
    }
    EXPECT_NE(pages[3].find("COURT ASSIGNMENTS"), std::string::npos);
    EXPECT_NE(pages[3].find("Thirty courts - page 4"), std::string::npos);
}

} // namespace
