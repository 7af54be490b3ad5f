#include "unified/core/rxreport.h"

#include "platform/RecordingPrinter.h"
#include "tests/support/Responders.h"
#include "tests/support/Scratch.h"
#include "unified/ladder/Ladder.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

// 300 by 200 pixels per inch, so that the two directions cannot be mixed up.
PrinterGeometry OddGeometry() {
    PrinterGeometry g;
    g.pageWidth = 2400;
    g.pageHeight = 2000;
    g.pixelsPerInchX = 300;
    g.pixelsPerInchY = 200;
    g.offsetX = 30;
    g.offsetY = 20;
    g.charWidth = 25;
    g.textHeight = 45;
    return g;
}

PrintOptions Margins(float left, float right, float top, float bottom, int roundsPerPage = 4) {
    PrintOptions options;
    options.leftMargin = left;
    options.rightMargin = right;
    options.topMargin = top;
    options.bottomMargin = bottom;
    options.roundsPerPage = roundsPerPage;
    return options;
}

// A ladder whose players are set directly.
class PlayerList : public Ladder {
public:
    void Add(const std::string& first, const std::string& last) {
        ::Player player;
        player.firstName = first;
        player.lastName = last;
        players.SetAt(++playerCount, player);
    }
};

int Count(const std::vector<RecordedMark>& marks, const std::string& text) {
    return static_cast<int>(std::count_if(marks.begin(), marks.end(),
                                          [&](const RecordedMark& m) { return m.text == text; }));
}

// The first text drawn with these words.
RecordedMark Find(const std::vector<RecordedMark>& marks, const std::string& text) {
    for (const RecordedMark& mark : marks)
        if (mark.text == text) return mark;
    ADD_FAILURE() << "not drawn: " << text;
    return {};
}

} // namespace

TEST(PrinterLayout, MarginsLineHeightAndLinesPerPageFollowTheDevice) {
    RecordingPrinter printer(OddGeometry());
    // left 0.333 in: 99.9 px truncated, less the offset; bottom 0.05 in is
    // inside the unprintable edge and becomes 0.
    rxReport report(printer, Margins(0.333f, 1, 1.25f, 0.05f));
    const int left = 99 - 30, top = 250 - 20, bottom = 0;
    const int perPage = (2000 - top - bottom) / 45; // 39
    EXPECT_EQ(report.LinesLeft(), perPage);

    for (int i = 1; i <= perPage + 1; ++i)
        report.WriteLine("line " + std::to_string(i));
    const auto texts = printer.Texts();
    ASSERT_EQ(texts.size(), static_cast<std::size_t>(perPage + 1));
    EXPECT_EQ(texts[0].x, left);
    EXPECT_EQ(texts[0].y, top);
    EXPECT_EQ(texts[1].y, top + 45);
    // The last line of a full page stays on that page, at the last place.
    EXPECT_EQ(texts[perPage - 1].page, 1);
    EXPECT_EQ(texts[perPage - 1].y, top + (perPage - 1) * 45);
    EXPECT_EQ(texts[perPage].page, 2);
    EXPECT_EQ(texts[perPage].y, top);
    EXPECT_EQ(report.LinesLeft(), perPage - 1);
    EXPECT_EQ(report.PageWidth(), 6 * 200); // six inches of the font's pixels
    EXPECT_EQ(report.TextWidth("Zoë"), 75);
}

TEST(PrinterLayout, RulesSitHalfALineUpAndMayUseTheLineBelowTheLast) {
    RecordingPrinter printer(OddGeometry());
    rxReport report(printer, Margins(1, 1, 1, 1));
    const int left = 300 - 30, top = 200 - 20, perPage = (2000 - 2 * top) / 45;
    report.WriteLine("a");
    report.WriteRule();
    // Line 2, half a line up, truncated: 180 + 1.5 * 45 = 247.5.
    auto lines = printer.Lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].y, 247);
    EXPECT_EQ(lines[0].y2, 247);
    EXPECT_EQ(lines[0].x, left);
    EXPECT_EQ(lines[0].x2, left + 6 * 200);

    while (report.LinesLeft() > 0)
        report.WriteLine("fill");
    report.WriteRule(); // the page is full, not overfull: stays, one line below
    report.WriteRule(); // now past the page: a new one
    lines = printer.Lines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1].page, 1);
    EXPECT_EQ(lines[1].y, static_cast<int>(top + (perPage + 0.5) * 45));
    EXPECT_EQ(lines[2].page, 2);
    EXPECT_EQ(lines[2].y, static_cast<int>(top + 0.5 * 45));
}

TEST(PrinterLayout, PagesBreakAtTheFirstCellOfARowAndWhenTooFewLinesAreNeeded) {
    RecordingPrinter printer(OddGeometry());
    rxReport report(printer, Margins(1, 1, 1, 1));
    while (report.LinesLeft() > 3)
        report.WriteLine("fill");
    report.NeedLines(3);
    EXPECT_EQ(printer.Pages(), 1);
    while (report.LinesLeft() > 0)
        report.WriteLine("fill");
    report.WriteCell("left", 400, rxReport::AlignLeft);
    report.WriteCell("right", 400, rxReport::AlignRight);
    report.EndRow("end");
    const auto texts = printer.Texts();
    const RecordedMark& l = texts[texts.size() - 3];
    const RecordedMark& r = texts[texts.size() - 2];
    const RecordedMark& e = texts.back();
    EXPECT_EQ(l.page, 2);
    EXPECT_EQ(r.page, 2);
    EXPECT_EQ(l.y, 180);
    EXPECT_EQ(r.y, 180);
    EXPECT_EQ(r.x, 270 + 400 + 400 - 5 * 25); // right edge of its cell
    EXPECT_EQ(e.x, 270 + 800);
    EXPECT_EQ(report.LinesLeft(), (2000 - 2 * 180) / 45 - 1); // one line for the whole row
    EXPECT_EQ(printer.Pages(), 2);
    report.NeedLines(report.LinesLeft() + 1);
    EXPECT_EQ(printer.Pages(), 3);
}

TEST(PrinterBracket, ConnectorColumnsComeFromRoundsPerPage) {
    const auto secondColumnX = [](int roundsPerPage) {
        RecordingPrinter printer(OddGeometry());
        rxReport report(printer, Margins(1, 1, 1, 1, roundsPerPage));
        report.InitBracket(4, 30, -1);
        report.PlaceBracketText(0, 1, {"ROUND 2", "", "", ""});
        report.WriteBracket(2, 2, true);
        return Find(printer.Texts(), "ROUND 2").x;
    };
    EXPECT_EQ(secondColumnX(3), 270 + (2400 - 2 * 270) / 3);
    EXPECT_EQ(secondColumnX(0), 270 + 15 * 25); // fifteen "n"
}

// A column drawn beyond the rounds per page (the draw's champion) must not
// start at the right margin: the fitted count shares the width.
TEST(PrinterBracket, FittedColumnsShareTheWidthBetweenTheMargins) {
    RecordingPrinter printer(OddGeometry());
    rxReport report(printer, Margins(1, 1, 1, 1, 4));
    report.InitBracket(4, 30, -1);
    report.PlaceBracketText(0, 4, {"CHAMPION", "", "", ""});
    report.PlaceBracketMatch(1, 4, {0, 0, "Adams", "", "", "", 1}, 1);
    report.FitBracketColumns(5);
    report.WriteBracket(2, 5, true);
    const int column = (2400 - 2 * 270) / 5;
    EXPECT_EQ(Find(printer.Texts(), "CHAMPION").x, 270 + 4 * column);
    int rightmost = 0;
    for (const RecordedMark& line : printer.Lines())
        rightmost = std::max({rightmost, line.x, line.x2});
    EXPECT_LE(rightmost, 2400 - 270); // within the right margin
    EXPECT_GT(rightmost, 270 + 4 * column);
}

TEST(PrinterBracket, SqueezesOntoThePageWhenTooFewLinesAreLeft) {
    RecordingPrinter printer; // 20 pixel lines, top 25, 46 lines a page
    rxReport report(printer, Margins(1, 1, 0.5f, 0.75f));
    while (report.LinesLeft() > 10)
        report.WriteLine("fill");
    report.InitBracket(4, 30, -1);
    report.PlaceBracketMatch(1, 0, {0, 0, "Adams", "Baker", "", "", 0}, 1);
    report.WriteBracket(5, 1, true);
    // 10 lines left of the 25 wanted: lines 8 pixels apart (20 * 0.4).
    const int current = 36, lh = 8;
    const int y = (current + 1) * 20 + 25 + 1 * 5 * lh;
    const auto lines = printer.Lines();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].y, y);
    EXPECT_EQ(lines[2].y, y + 3 * lh); // the lower name line, one span down
    EXPECT_EQ(lines[1].y2, y + 3 * lh / 2);
    EXPECT_EQ(printer.Pages(), 1);
    EXPECT_EQ(report.LinesLeft(), 10); // drawing does not advance the lines
}

// A squeezed bracket below a heading and notes: everything of the grid lies
// below the last line written, and the grid still ends on the page.
TEST(PrinterBracket, ASqueezedGridStartsBelowTheLinesAboveIt) {
    for (const bool connectors : {false, true}) {
        SCOPED_TRACE(connectors ? "connector style" : "box style");
        RecordingPrinter printer; // 20 pixel lines, top 25, 46 lines a page
        rxReport report(printer, Margins(1, 1, 0.5f, 0.75f));
        while (report.LinesLeft() > 12)
            report.WriteLine("heading");
        const int below = 25 + (46 - 12) * 20; // the top of the first free line
        const int lpc = connectors ? 4 : 3;
        report.InitBracket(lpc, 30, -1);
        report.PlaceBracketText(0, 0, {"HEAD", "", "", ""});
        for (int row = 1; row <= 4; ++row)
            report.PlaceBracketMatch(row, 0, {0, 0, "A" + std::to_string(row), "B", "", "", 0}, 1);
        report.WriteBracket(5, 1, connectors);
        int lowest = 0;
        for (const RecordedMark& mark : printer.Marks()) {
            if (mark.text == "heading") continue;
            EXPECT_GE(std::min(mark.y, mark.line ? mark.y2 : mark.y), below) << mark.text;
            lowest = std::max({lowest, mark.y, mark.y2});
        }
        EXPECT_LE(lowest, 25 + 46 * 20) << "within the page";
        EXPECT_EQ(printer.Pages(), 1);
    }
}

TEST(PrinterBracket, AFullPageStartsANewOneInsteadOfDrawingOnOneLine) {
    RecordingPrinter printer;
    rxReport report(printer, Margins(1, 1, 0.5f, 0.75f));
    while (report.LinesLeft() > 0)
        report.WriteLine("fill");
    report.InitBracket(4, 30, -1);
    report.PlaceBracketMatch(1, 0, {0, 0, "Adams", "Baker", "", "", 0}, 1);
    report.PlaceBracketMatch(2, 0, {0, 0, "Clark", "Davis", "", "", 0}, 1);
    report.WriteBracket(3, 1, true);
    const auto lines = printer.Lines();
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[0].page, 2);
    EXPECT_EQ(lines[0].y, 20 + 25 + 5 * 20); // full line height on the new page
    EXPECT_EQ(lines[4].y - lines[0].y, 5 * 20);
}

TEST(TwoColumnTable, AFullPageDoesNotRepeatOrLoseRows) {
    for (const bool heading : {false, true}) {
        for (const int left : {0, 1}) {
            SCOPED_TRACE(testing::Message() << "heading " << heading << ", lines left " << left);
            RecordingPrinter printer;
            rxReport report(printer, Margins(1, 1, 0.5f, 0.75f));
            while (report.LinesLeft() > left)
                report.WriteLine("fill");
            report.BeginTable(true);
            if (heading) report.SetTableHeading();
            const int rows = 7;
            for (int r = 0; r < rows; ++r) {
                report.BufferCell("name" + std::to_string(r), 100, rxReport::AlignLeft);
                report.BufferEndRow("end" + std::to_string(r));
            }
            report.EndTable();
            const auto texts = printer.Texts();
            for (int r = heading ? 1 : 0; r < rows; ++r) {
                EXPECT_EQ(Count(texts, "name" + std::to_string(r)), 1) << r;
                EXPECT_EQ(Count(texts, "end" + std::to_string(r)), 1) << r;
            }
            if (heading) {
                EXPECT_EQ(Count(texts, "name0"), 2); // beside itself
            }
        }
    }
}

TEST(TwoColumnTable, RowsOfUnequalCellsGoInOneColumn) {
    std::vector<std::string> list;
    rxReport report(list);
    report.BeginTable(true);
    report.BufferCell("a", 300, rxReport::AlignLeft);
    report.BufferEndRow("1");
    report.BufferEndRow("2"); // a row of the end only
    report.BufferCell("c", 300, rxReport::AlignLeft);
    report.BufferEndRow("3");
    report.EndTable();
    EXPECT_EQ(list, (std::vector<std::string>{"a  1", "2", "c  3"}));
}

TEST(TwoColumnTable, PastTenThousandCellsTheRestFollowsInOneColumn) {
    std::vector<std::string> list;
    rxReport report(list);
    report.BeginTable(true);
    const int rows = 3400; // 10,200 cells; the overflow comes inside a row
    for (int r = 0; r < rows; ++r) {
        report.BufferCell("a", 200, rxReport::AlignLeft);
        report.BufferCell("b", 200, rxReport::AlignLeft);
        report.BufferEndRow(std::to_string(r));
    }
    report.EndTable();
    ASSERT_EQ(list.size(), static_cast<std::size_t>(rows));
    for (int r = 0; r < rows; ++r)
        ASSERT_EQ(list[r], "a b " + std::to_string(r)) << r;
}

TEST(WrappedText, EndsOnWordsLongerThanTheLimitAndOnLongPrefixes) {
    std::vector<std::string> list;
    {
        rxReport report(list);
        report.WriteCell("", 300, rxReport::AlignLeft);
        report.WriteWrapped(std::string(80, 'x') + " tail", "abc");
    }
    // 72 characters a line: the word is cut there and goes on below.
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0], "   " + std::string(72, 'x'));
    EXPECT_EQ(list[1], "   " + std::string(8, 'x') + " tail");

    list.clear();
    {
        rxReport report(list);
        report.WriteWrapped("abc", std::string(80, 'p'));
    }
    // A prefix of 75 characters or more still leaves one a line.
    EXPECT_EQ(list, (std::vector<std::string>{"a", std::string(80, ' ') + "b",
                                              std::string(80, ' ') + "c"}));
}

TEST(BracketGrid, LinesFallingOffTheGridAreDroppedAndCellsHoldOneToFourLines) {
    std::vector<std::string> list;
    rxReport report(list);
    report.InitBracket(0, 4, -1); // taken as one line a cell
    report.PlaceBracketText(16, 0, {"low", "", "", ""});
    // Centred in their spans, these land below the last row.
    report.PlaceBracketMatch(16, 1, {0, 0, "Adams", "Baker", "", "", 0}, 2);
    report.PlaceBracketMatch(15, 1, {0, 0, "Clark", "Davis", "", "", 0}, 4);
    report.PlaceBracketText(-1, 0, {"x", "", "", ""});
    report.PlaceBracketText(3, 13, {"x", "", "", ""});
    report.WriteBracket(99, 99, true);
    // 17 grid rows of one line each, an empty line after each.
    ASSERT_EQ(list.size(), 34u);
    EXPECT_EQ(list[32], "low" + std::string(12 * 5 - 3, ' '));
    for (const std::string& line : list)
        EXPECT_EQ(line.find('x'), std::string::npos);

    list.clear();
    report.InitBracket(9, 4, -1); // at most four
    report.PlaceBracketText(1, 0, {"a", "b", "c", "d"});
    report.WriteBracket(2, 1, false);
    EXPECT_EQ(list, (std::vector<std::string>{"", "", "", "", "", "a", "b", "c", "d", ""}));
}

TEST(HtmlSink, UserTextsAreEscapedButTheWritersMarkupIsNot) {
    TempFolder scratch;
    {
        rxReport report(scratch.File("r.html"), rxReport::SinkHtml);
        report.WriteLine("<script>alert(1)</script>");
        report.WriteCell("Tom & \"Jerry\"", 500, rxReport::AlignLeft);
        report.EndRowMailto("a<b>@example.org");
        report.InitBracket(4, 30, -1);
        report.PlaceBracketMatch(1, 0, {0, 0, "<i>", "", "", "", 0}, 1);
        report.WriteBracket(2, 1, true);
    }
    const std::string html = ReadFile(scratch.File("r.html"));
    EXPECT_NE(html.find("<title>Rostrix report</title>"), std::string::npos);
    EXPECT_NE(html.find("&lt;script&gt;alert(1)&lt;/script&gt; <BR>"), std::string::npos);
    EXPECT_NE(html.find("<TD> Tom &amp; &quot;Jerry&quot; </TD>"), std::string::npos);
    EXPECT_NE(html.find("<A HREF=\"mailto:a&lt;b&gt;@example.org\">a&lt;b&gt;@example.org</A>"),
              std::string::npos);
    EXPECT_NE(html.find("&lt;i&gt; &nbsp;&nbsp;&nbsp;&nbsp;<br>"), std::string::npos);
    EXPECT_EQ(html.find("<i>"), std::string::npos);
    EXPECT_EQ(html.find("<script>"), std::string::npos);
}

TEST(FileSink, AFileThatCannotBeOpenedIsReportedAndNothingIsWritten) {
    TempFolder scratch;
    BoxScript boxes;
    boxes.Expect("Error", "Error opening output file.", MB_OK | MB_ICONEXCLAMATION);
    const std::string path = scratch.File("missing/out.txt");
    {
        rxReport report(path, rxReport::SinkTextFile);
        report.WriteLine("lost");
        report.WriteRule();
    }
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(NameColumns, WidestNamesWithTwoLettersAtLeast) {
    PlayerList event;
    std::vector<std::string> list;
    rxReport report(list);
    int first = 0, last = 0, total = 0;
    event.NameColumnWidths(report, first, last, total);
    EXPECT_EQ(first, 200);
    EXPECT_EQ(last, 200);
    EXPECT_EQ(total, 500);

    event.Add("Al", "Ångström-Berg");
    event.Add("Bartholomew", "Li");
    event.NameColumnWidths(report, first, last, total);
    EXPECT_EQ(first, 1100);
    EXPECT_EQ(last, 1300); // characters, not bytes
    EXPECT_EQ(total, 1100 + 1300 + 100);
}
