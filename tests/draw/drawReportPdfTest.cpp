// The draw report printed into a PDF file and read back with pdftotext: the
// texts of each page, the number of pages, and the champion's column on the
// paper when it is drawn beyond the rounds per page.

#include "platform/widgets/SystemPrinter.h"
#include "tests/draw/DrawReportSupport.h"
#include "tests/support/PdfText.h"
#include "tests/support/Scratch.h"
#include "unified/core/rxreport.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <regex>
#include <string>
#include <vector>

namespace {

struct Word {
    int page = 0;
    double xMin = 0, xMax = 0;
    std::string text;
};

double Attribute(const std::string& html, std::size_t tag, const std::string& name) {
    const std::size_t at = html.find(" " + name + "=\"", tag);
    return at == std::string::npos ? -1 : std::atof(html.c_str() + at + name.size() + 3);
}

// Every word with its page and its left and right edges in points, and the
// paper's width.
std::vector<Word> PdfWords(const std::string& pdf, double& paperWidth) {
    const std::string html = CommandOutput("pdftotext -bbox '" + pdf + "' -");
    std::vector<Word> words;
    int page = 0;
    paperWidth = 0;
    for (std::size_t at = html.find('<'); at != std::string::npos; at = html.find('<', at + 1)) {
        if (html.compare(at, 6, "<page ") == 0) {
            ++page;
            paperWidth = Attribute(html, at, "width");
        } else if (html.compare(at, 6, "<word ") == 0) {
            const std::size_t open = html.find('>', at), close = html.find("</word>", at);
            if (open == std::string::npos || close == std::string::npos) break;
            words.push_back({page, Attribute(html, at, "xMin"), Attribute(html, at, "xMax"),
                             html.substr(open + 1, close - open - 1)});
        }
    }
    return words;
}

std::string PrintToPdf(Draw& draw, const std::string& pdf) {
    SystemPrinter printer;
    printer.SetPdfFile(pdf);
    printer.SetFontSize(10);
    printer.BeginDoc();
    {
        rxReport report(printer, draw.PrintOpts());
        draw.PrintReport(report);
    }
    printer.EndDoc();
    return pdf;
}

const Word* Find(const std::vector<Word>& words, const std::string& text, int page) {
    for (const Word& word : words)
        if (word.text == text && word.page == page) return &word;
    return nullptr;
}

// A draw of 16 with the default options (16 players, 4 rounds a page): the
// four rounds and the champion on one page, so five columns where the rounds
// per page give four.
TEST(DrawReportPdf, ChampionColumnStaysOnThePaper) {
    ASSERT_EQ(std::system("command -v pdftotext >/dev/null"), 0) << "pdftotext is missing";
    Draw draw;
    PlayDrawScript("players|16\ndraw|4\ndecide-all\n", draw);
    ASSERT_EQ(draw.PrintOpts().playersPerPage, 16);
    ASSERT_EQ(draw.PrintOpts().roundsPerPage, 4);
    const int champion = draw.GetMatch(4, 1).winner;
    ASSERT_NE(champion, 0);
    TempFolder scratch;
    const std::string pdf = PrintToPdf(draw, scratch.File("draw16.pdf"));

    const std::vector<std::string> pages = PdfTextPages(pdf);
    ASSERT_EQ(pages.size(), 2u); // the bracket, the players
    for (const std::string text :
         {"Tournament Draw Report - page 1", "ROUND 1", "ROUND 4", "CHAMPION", "F16 L16", "R4 1"})
        EXPECT_NE(pages[0].find(text), std::string::npos) << text;
    EXPECT_NE(pages[1].find("Tournament Draw Report - page 2"), std::string::npos);
    EXPECT_TRUE(std::regex_search(pages[1], std::regex("\\n *1\\. +F1 L1\\n"))) << pages[1];

    double paperWidth = 0;
    const std::vector<Word> words = PdfWords(pdf, paperWidth);
    ASSERT_GT(paperWidth, 0);
    const double rightMargin = paperWidth - 72.0; // one inch
    const Word* heading = Find(words, "CHAMPION", 1);
    const Word* round4 = Find(words, "4", 1);
    ASSERT_NE(heading, nullptr);
    ASSERT_NE(round4, nullptr);
    // Five columns between the margins: the champion's starts four fifths of
    // the way across, and its name stays inside the right margin.
    const double column = (paperWidth - 2 * 72.0) / 5;
    EXPECT_NEAR(heading->xMin, 72.0 + 4 * column, 2.0);
    EXPECT_LT(heading->xMax, rightMargin);
    const std::string name = "L" + std::to_string(champion);
    int shown = 0;
    for (const Word& word : words)
        if (word.page == 1 && word.text == name && word.xMin > heading->xMin - 1) {
            ++shown;
            EXPECT_LT(word.xMax, rightMargin);
        }
    EXPECT_EQ(shown, 1) << "the champion " << name << " under its heading";
}

// A draw of 32 at 16 players and 4 rounds a page: three pages of bracket, the
// last with the final and the champion, then the players.
TEST(DrawReportPdf, DrawOf32PrintsThreeBracketPagesAndThePlayers) {
    ASSERT_EQ(std::system("command -v pdftotext >/dev/null"), 0) << "pdftotext is missing";
    Draw draw;
    PlayDrawScript(ReadFile(std::string(DRAW_TEST_DIR) + "/reports/draw32-sixteen-per-page/draw"),
                   draw);
    TempFolder scratch;
    const std::vector<std::string> pages = PdfTextPages(PrintToPdf(draw, scratch.File("d.pdf")));
    ASSERT_EQ(pages.size(), 4u);
    for (int p = 0; p < 4; ++p)
        EXPECT_NE(pages[p].find("Tournament Draw Report - page " + std::to_string(p + 1)),
                  std::string::npos);
    for (int p = 0; p < 2; ++p) {
        SCOPED_TRACE(p + 1);
        EXPECT_NE(pages[p].find("ROUND 4"), std::string::npos);
        EXPECT_EQ(pages[p].find("ROUND 5"), std::string::npos);
        EXPECT_EQ(pages[p].find("CHAMPION"), std::string::npos);
    }
    // Round-1 matches 1 to 8 on page 1, 9 to 16 on page 2, by their date
    // texts (the seeds' byes have none).
    const auto shows = [&](int page, int round, int match) {
        return std::regex_search(pages[page], std::regex("R" + std::to_string(round) + " " +
                                                         std::to_string(match) + "\\b"));
    };
    for (int m = 2; m <= 15; ++m) {
        EXPECT_EQ(shows(0, 1, m), m <= 8) << "round 1, match " << m;
        EXPECT_EQ(shows(1, 1, m), m > 8) << "round 1, match " << m;
    }
    for (int m = 1; m <= 8; ++m)
        EXPECT_EQ(shows(0, 2, m), m <= 4) << "round 2, match " << m;
    EXPECT_TRUE(shows(0, 4, 1));
    EXPECT_TRUE(shows(1, 4, 2));
    EXPECT_NE(pages[2].find("ROUND 5"), std::string::npos);
    EXPECT_NE(pages[2].find("CHAMPION"), std::string::npos);
    EXPECT_TRUE(shows(2, 5, 1));
    EXPECT_NE(pages[3].find("F30 L30"), std::string::npos);
}

} // namespace
