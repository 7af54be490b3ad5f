// Each folder under reports/ builds a ladder through the model ("ladder", a
// script of players, results, postings and options) and holds its report as
// a text file (expected.txt) and an HTML file (expected.html). The string
// list of the preview must read as the text file. Adding a case is adding a
// folder; ROSTRIX_UPDATE_GOLDEN=1 rewrites the expected files.
//
// Some of the cases are also printed into a PDF file and read back with
// pdftotext: the printed page must read as the text report, line for line.
// (Rows with every contact on one line run past the paper's edge, so those
// cases are not among them.)

#include "platform/widgets/SystemPrinter.h"
#include "tests/support/Golden.h"
#include "tests/support/PdfText.h"
#include "tests/support/Players.h"
#include "tests/support/Scratch.h"
#include "unified/core/rxreport.h"
#include "unified/ladder/Ladder.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <map>
#include <sstream>

namespace {

const std::string kCases = std::string(LADDER_TEST_DIR) + "/reports";

// The named bits of the line's fields.
int Bits(const ScriptLine& line, const std::map<std::string, int>& names) {
    int bits = 0;
    for (std::size_t i = 1; i < line.FieldCount(); ++i) {
        const auto found = names.find(line.Arg(i));
        if (found == names.end())
            ADD_FAILURE() << "unknown option " << line.Arg(i);
        else
            bits |= found->second;
    }
    return bits;
}

void Play(const std::string& script, Ladder& ladder) {
    for (const ScriptLine& line : ScriptLines(script)) {
        const std::string& op = line.Op();
        if (op == "include") {
            Play(ReadFile(kCases + "/" + line.Arg(1) + "/ladder"), ladder);
        } else if (op == "heading") {
            ladder.SetHeading(line.Arg(1));
        } else if (op == "note") {
            ladder.SetNote(line.Num(1), line.Arg(2));
        } else if (op == "points-system") {
            ladder.SetLadderSystem(1);
            ladder.SetPointsOptions(line.Num(1), line.Num(2), line.Num(3), line.Num(4),
                                    std::strtof(line.Arg(5).c_str(), 0),
                                    std::strtof(line.Arg(6).c_str(), 0),
                                    std::strtof(line.Arg(7).c_str(), 0));
        } else if (op == "doubles") {
            ladder.SetDoubles();
        } else if (op == "range-percent") {
            ladder.SetChallengePercent(line.Num(1));
        } else if (op == "range-positions") {
            ladder.SetChallengePositions(line.Num(1));
        } else if (op == "show") {
            ladder.SetDisplayFlags(Bits(line, {{"win-loss", Ladder::ShowWinLoss},
                                               {"results-below", Ladder::ResultsBottom},
                                               {"no-position-change", Ladder::NoPosChange},
                                               {"pre-match-position", Ladder::PreMatchPos},
                                               {"all-on-one-line", Ladder::AllOneLine}}));
        } else if (op == "issues") {
            ladder.SetIssueMask(Bits(line, {{"current", Ladder::CurrentIssue},
                                            {"next", Ladder::NextIssue},
                                            {"previous", Ladder::PreviousIssues}}));
        } else if ((op == "player" && line.FieldCount() != 9) ||
                   (op == "team" && line.FieldCount() != 15)) {
            ADD_FAILURE() << "wrong field count: " << line.Text();
        } else if (op == "player") {
            ::Player p = ScriptPerson(line, 1);
            p.points = line.Num(8); // the wanted position, or the points
            EXPECT_EQ(ladder.AddPlayer(p, nullptr), rcOk) << line.Text();
        } else if (op == "team") {
            const ::Player partner = ScriptPerson(line, 8);
            EXPECT_EQ(ladder.AddPlayer(ScriptPerson(line, 1), &partner), rcOk) << line.Text();
        } else if (op == "result") {
            EXPECT_EQ(ladder.EnterResult(line.Arg(1), line.Arg(2), line.Arg(3), line.Arg(4),
                                         line.Num(5) != 0, line.Arg(6), line.Arg(7)),
                      0)
                << line.Text();
        } else if (op == "post") {
            EXPECT_EQ(ladder.PostResults(false), rcOk);
        } else if (op == "generate") {
            EXPECT_EQ(ladder.GenerateIssue(), rcOk);
        } else if (op == "delete") {
            EXPECT_EQ(ladder.DeletePlayerByName(line.Arg(1)), rcOk) << line.Text();
        } else {
            ADD_FAILURE() << "unknown script line: " << line.Text();
        }
    }
}

// The words of each line that holds any, rules of "=" left out.
std::vector<std::vector<std::string>> WordLines(const std::string& text) {
    std::vector<std::vector<std::string>> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (line.find_first_not_of("=\r") == std::string::npos) continue;
        std::istringstream words(line);
        std::vector<std::string> row;
        for (std::string word; words >> word;)
            row.push_back(word);
        lines.push_back(row);
    }
    return lines;
}

class LadderReportGolden : public testing::TestWithParam<std::string> {
protected:
    std::string Folder() const { return kCases + "/" + GetParam(); }
    ScopedFixedDate date{2024, 3, 15};
};

TEST_P(LadderReportGolden, TextAndHtmlReportsAreAsExpected) {
    const std::string script = ReadFile(Folder() + "/ladder");
    ASSERT_FALSE(script.empty());
    Ladder ladder;
    Play(script, ladder);
    TempFolder scratch;

    {
        rxReport report(scratch.File("out.txt"), rxReport::SinkTextFile);
        ladder.PrintReport(report);
    }
    const std::string text = ReadFile(scratch.File("out.txt"));
    CompareGolden(Folder() + "/expected.txt", text);

    {
        rxReport report(scratch.File("out.html"), rxReport::SinkHtml, ladder.Heading());
        ladder.PrintReport(report);
    }
    CompareGolden(Folder() + "/expected.html", ReadFile(scratch.File("out.html")));

    // The preview: no page ends off the printer, so one item per line of the
    // text file.
    std::vector<std::string> list;
    {
        rxReport report(list);
        ladder.PrintReport(report);
    }
    std::string items;
    for (const std::string& item : list)
        items += item + "\r\n";
    EXPECT_EQ(items, text);
}

TEST(LadderReportPdf, PrintedReportReadsAsTheTextReport) {
    ASSERT_EQ(std::system("command -v pdftotext >/dev/null"), 0) << "pdftotext is missing";
    ScopedFixedDate date{2024, 3, 15};
    for (const std::string name : {"traditional-pre-match-win-loss", "points", "doubles"}) {
        SCOPED_TRACE(name);
        Ladder ladder;
        Play(ReadFile(kCases + "/" + name + "/ladder"), ladder);
        TempFolder scratch;
        const std::string pdf = scratch.File("report.pdf");
        SystemPrinter printer;
        printer.SetPdfFile(pdf);
        printer.SetFontSize(10);
        printer.BeginDoc();
        {
            rxReport report(printer, ladder.PrintOpts());
            ladder.PrintReport(report);
        }
        printer.EndDoc();

        std::string printed;
        for (const std::string& page : PdfTextPages(pdf))
            printed += page + "\n";
        // The font may join "fi" and "fl" into one glyph.
        for (const auto& [glyph, letters] : {std::pair{"\uFB01", "fi"}, std::pair{"\uFB02", "fl"}})
            for (std::size_t at; (at = printed.find(glyph)) != std::string::npos;)
                printed.replace(at, std::string(glyph).size(), letters);
        ASSERT_FALSE(printed.empty());
        EXPECT_EQ(WordLines(printed), WordLines(ReadFile(kCases + "/" + name + "/expected.txt")));
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, LadderReportGolden, testing::ValuesIn(GoldenCases(kCases)),
                         GoldenCaseName);

} // namespace
