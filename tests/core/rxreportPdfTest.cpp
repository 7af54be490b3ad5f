// A report printed through the real printer into a PDF file, read back with
// pdftotext: pages, lines a page and margins as the printed page shows them.

#include "platform/widgets/SystemPrinter.h"
#include "tests/support/PdfText.h"
#include "tests/support/Scratch.h"
#include "unified/core/rxreport.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <sstream>

namespace {

std::vector<std::string> NonEmptyLines(const std::string& page) {
    std::vector<std::string> lines;
    std::istringstream in(page);
    for (std::string line; std::getline(in, line);)
        if (line.find_first_not_of(' ') != std::string::npos)
            lines.push_back(line.substr(line.find_first_not_of(' ')));
    return lines;
}

struct Word {
    double xMin, yMin, xMax, yMax;
    std::string text;
};

// The number in attribute `name` of the tag that starts at `tag`.
double Attribute(const std::string& html, std::size_t tag, const std::string& name) {
    const std::size_t at = html.find(" " + name + "=\"", tag);
    return at == std::string::npos ? -1 : std::atof(html.c_str() + at + name.size() + 3);
}

// Words of the first page, with their boxes in points, and the paper's height.
std::vector<Word> FirstPageWords(const std::string& pdf, double& paperHeight) {
    const std::string html = CommandOutput("pdftotext -bbox -f 1 -l 1 '" + pdf + "' -");
    const std::size_t page = html.find("<page ");
    paperHeight = page == std::string::npos ? 0 : Attribute(html, page, "height");
    std::vector<Word> words;
    for (std::size_t at = html.find("<word "); at != std::string::npos;
         at = html.find("<word ", at + 1)) {
        const std::size_t open = html.find('>', at), close = html.find("</word>", at);
        if (open == std::string::npos || close == std::string::npos) break;
        words.push_back({Attribute(html, at, "xMin"), Attribute(html, at, "yMin"),
                         Attribute(html, at, "xMax"), Attribute(html, at, "yMax"),
                         html.substr(open + 1, close - open - 1)});
    }
    return words;
}

} // namespace

TEST(PdfPrint, PagesLinesAndMarginsFollowThePrinterArithmetic) {
    ASSERT_EQ(std::system("command -v pdftotext >/dev/null"), 0) << "pdftotext is missing";
    TempFolder scratch;
    const std::string pdf = scratch.File("report.pdf");

    SystemPrinter printer;
    printer.SetPdfFile(pdf);
    printer.SetFontSize(12);
    printer.BeginDoc();
    int perPage = 0;
    {
        PrintOptions options;
        options.topMargin = 1.5f; // inches
        options.leftMargin = 1.25f;
        options.bottomMargin = 1.0f;
        rxReport report(printer, options);
        perPage = report.LinesLeft();
        for (int i = 1; i <= 2 * perPage + 3; ++i) {
            report.WriteCell("Line", report.TextWidth("Line "), rxReport::AlignLeft);
            report.EndRow(std::to_string(i));
        }
    }
    printer.EndDoc();

    // The Part's arithmetic from what the device says of itself.
    Canvas& canvas = printer.GetCanvas();
    const int lineHeight =
        canvas.TextHeight("ABCDEFGHIJIKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const int top = static_cast<int>(printer.PixelsPerInchY() * 1.5f) - printer.PhysicalOffsetY();
    const int bottom = printer.PixelsPerInchY() - printer.PhysicalOffsetY();
    ASSERT_GT(lineHeight, 0);
    EXPECT_EQ(perPage, (printer.PageHeight() - top - bottom) / lineHeight);
    ASSERT_GT(perPage, 20);

    const std::vector<std::string> pages = PdfTextPages(pdf);
    ASSERT_EQ(pages.size(), 3u);
    const auto first = NonEmptyLines(pages[0]);
    const auto second = NonEmptyLines(pages[1]);
    ASSERT_EQ(first.size(), static_cast<std::size_t>(perPage));
    ASSERT_EQ(second.size(), static_cast<std::size_t>(perPage));
    EXPECT_EQ(NonEmptyLines(pages[2]).size(), 3u);
    EXPECT_EQ(first.front(), "Line 1");
    EXPECT_EQ(first.back(), "Line " + std::to_string(perPage)); // not lost at the bottom
    EXPECT_EQ(second.front(), "Line " + std::to_string(perPage + 1));

    // Positions in points (72 an inch) from the paper's edge.
    double paperHeight = 0;
    const std::vector<Word> words = FirstPageWords(pdf, paperHeight);
    ASSERT_GE(words.size(), 2u * perPage);
    ASSERT_GT(paperHeight, 0);
    const double point = 72.0 / printer.PixelsPerInchY();
    EXPECT_NEAR(words[0].xMin, 1.25 * 72, 1.0);
    EXPECT_NEAR(words[0].yMin, 1.5 * 72, 1.0);
    EXPECT_NEAR(words[2].yMin - words[0].yMin, lineHeight * point, 0.1);
    const Word& last = words.back();
    EXPECT_EQ(last.text, std::to_string(perPage));
    EXPECT_NEAR(last.yMin, 1.5 * 72 + (perPage - 1) * lineHeight * point, 1.0);
    EXPECT_LE(last.yMax, paperHeight - 1.0 * 72);                      // above the bottom margin
    EXPECT_GT(last.yMax + lineHeight * point, paperHeight - 1.0 * 72); // and no line more fits
    // The number follows its cell, "Line " wide.
    EXPECT_NEAR(words[1].xMin - words[0].xMin, canvas.TextWidth("Line ") * point, 0.5);
}
