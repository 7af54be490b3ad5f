// Each folder under reports/ holds a scripted report ("script") and what it
// must give on each sink: expected.txt (text file), expected.html,
// expected.list (the string list, one item a line) and expected.printer (what
// a printer with fixed metrics draws). Adding a case is adding a folder.
// ROSTRIX_UPDATE_GOLDEN=1 rewrites the expected files from the output.

#include "platform/RecordingPrinter.h"
#include "platform/Text.h"
#include "tests/support/Golden.h"
#include "tests/support/Scratch.h"
#include "unified/core/rxreport.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <sstream>

namespace {

const std::string kCases = std::string(ROSTRIX_TEST_DATA) + "/reports";

// Plays the script into the writer. Widths are given in characters and
// taken as that many "n" in the writer's units, so one script serves
// every sink.
void Play(const std::string& script, rxReport& report) {
    for (const ScriptLine& line : ScriptLines(script)) {
        const auto chars = [&](std::size_t i) {
            return report.TextWidth(std::string(line.Num(i), 'n'));
        };
        const auto align = [&](std::size_t i) { return static_cast<std::uint8_t>(line.Num(i)); };
        const std::string& op = line.Op();
        if (op == "line") {
            report.WriteLine(line.Arg(1));
        } else if (op == "cell") {
            report.WriteCell(line.Arg(1), chars(2), align(3));
        } else if (op == "cellunits") {
            report.WriteCell(line.Arg(1), line.Num(2), align(3));
        } else if (op == "cellfit") {
            report.WriteCellFit(line.Arg(1), line.Arg(2), align(3));
        } else if (op == "end") {
            report.EndRow(line.Arg(1));
        } else if (op == "wrap") {
            report.WriteWrapped(line.Arg(2), line.Arg(1));
        } else if (op == "mailcell") {
            report.WriteMailtoCell(line.Arg(1), line.Arg(2));
        } else if (op == "endmail") {
            report.EndRowMailto(line.Arg(1));
        } else if (op == "rule") {
            report.WriteRule();
        } else if (op == "page") {
            report.NewPage();
        } else if (op == "need") {
            report.NeedLines(line.Num(1));
        } else if (op == "table") {
            report.BeginTable(line.Num(1) != 0);
        } else if (op == "heading") {
            report.SetTableHeading();
        } else if (op == "bcell") {
            report.BufferCell(line.Arg(1), chars(2), align(3));
        } else if (op == "bcellfit") {
            report.BufferCellFit(line.Arg(1), line.Arg(2), align(3));
        } else if (op == "bend") {
            report.BufferEndRow(line.Arg(1));
        } else if (op == "endtable") {
            report.EndTable();
        } else if (op == "binit") {
            report.InitBracket(line.Num(1), line.Num(2), line.Num(3));
        } else if (op == "btext") {
            report.PlaceBracketText(line.Num(1), line.Num(2),
                                    {line.Arg(3), line.Arg(4), line.Arg(5), line.Arg(6)});
        } else if (op == "bmatch") {
            TournBlockData data{line.Num(4),
                                line.Num(5),
                                line.Arg(6),
                                line.Arg(7),
                                line.Arg(8),
                                line.Arg(9),
                                static_cast<std::uint8_t>(line.Num(10))};
            report.PlaceBracketMatch(line.Num(1), line.Num(2), data, line.Num(3));
        } else if (op == "bwrite") {
            report.WriteBracket(line.Num(1), line.Num(2), line.Num(3) != 0);
        } else {
            ADD_FAILURE() << "unknown script line: " << line.Text();
        }
    }
    report.Close();
}

std::string PrinterRecord(const RecordingPrinter& printer) {
    std::ostringstream out;
    for (const RecordedMark& m : printer.Marks()) {
        out << m.page << " ";
        if (m.line)
            out << "line " << m.x << "," << m.y << " " << m.x2 << "," << m.y2 << "\n";
        else
            out << "text " << m.x << "," << m.y << " " << m.text << "\n";
    }
    return out.str();
}

class ReportGolden : public testing::TestWithParam<std::string> {
protected:
    std::string Folder() const { return kCases + "/" + GetParam(); }

    void Compare(const std::string& name, const std::string& actual) {
        CompareGolden(Folder() + "/" + name, actual);
    }
};

TEST_P(ReportGolden, EverySinkGivesItsExpectedOutput) {
    const std::string script = ReadFile(Folder() + "/script");
    ASSERT_FALSE(script.empty());
    TempFolder scratch;

    {
        rxReport report(scratch.File("out.txt"), rxReport::SinkTextFile, "ignored");
        Play(script, report);
    }
    Compare("expected.txt", ReadFile(scratch.File("out.txt")));

    {
        rxReport report(scratch.File("out.html"), rxReport::SinkHtml, "Club <Spring> & \"Open\"");
        Play(script, report);
    }
    Compare("expected.html", ReadFile(scratch.File("out.html")));

    std::vector<std::string> list{"kept"};
    {
        rxReport report(list);
        Play(script, report);
    }
    std::string items;
    for (const std::string& item : list)
        items += item + "\n";
    Compare("expected.list", items);

    RecordingPrinter printer;
    {
        PrintOptions options;
        options.topMargin = 0.5f;
        options.bottomMargin = 0.75f;
        rxReport report(printer, options);
        Play(script, report);
    }
    Compare("expected.printer", PrinterRecord(printer));
}

INSTANTIATE_TEST_SUITE_P(Cases, ReportGolden, testing::ValuesIn(GoldenCases(kCases)),
                         GoldenCaseName);

} // namespace
