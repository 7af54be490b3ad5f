// Rules of the ladder report that the golden reports do not show: pending
// results outside the current issue, names without a first name, and the
// blocks that a printed page must not split.

#include "platform/RecordingPrinter.h"
#include "tests/ladder/LadderPlayers.h"
#include "unified/core/rxreport.h"
#include "unified/ladder/Ladder.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <set>

namespace {

std::vector<std::string> Report(Ladder& ladder) {
    std::vector<std::string> lines;
    rxReport report(lines);
    ladder.PrintReport(report);
    return lines;
}

// The scores of the result lines printed, or "none" for the empty section.
std::set<std::string> ScoresShown(Ladder& ladder) {
    const std::vector<std::string> lines = Report(ladder);
    std::set<std::string> scores;
    auto at = std::find(lines.begin(), lines.end(), "RESULTS");
    if (at == lines.end()) {
        if (std::count(lines.begin(), lines.end(), "There are no RESULTS for this issue.") == 1)
            scores.insert("none");
        return scores;
    }
    for (++at; at != lines.end() && !at->starts_with("="); ++at)
        scores.insert(at->substr(at->rfind(' ') + 1));
    return scores;
}

} // namespace

// The golden reports show each issue of the mask; here, the pending results
// that only the next issue's section shows.
TEST(LadderReport, PendingResultsAreNotTheCurrentIssues) {
    Ladder ladder;
    Fill(ladder, 3);
    ASSERT_EQ(ladder.EnterResult("3/1/24", Name(2), Name(1), "6-0", false), rcOk);
    EXPECT_EQ(ScoresShown(ladder), std::set<std::string>{"none"});
    ladder.SetIssueMask(Ladder::NextIssue);
    EXPECT_EQ(ScoresShown(ladder), std::set<std::string>{"6-0"});
    ladder.SetIssueMask(Ladder::CurrentIssue | Ladder::PreviousIssues);
    EXPECT_EQ(ScoresShown(ladder), std::set<std::string>{"none"});
}

TEST(LadderReport, AnEmptyFirstNameLeavesOutTheInitial) {
    Ladder doubles;
    doubles.SetDoubles();
    const ::Player okafor = Named("", "Okafor");
    const ::Player ilic = Named("Ivo", "Ilic");
    ASSERT_EQ(doubles.AddPlayer(Named("Priya", "Patel"), &okafor), rcOk);
    ASSERT_EQ(doubles.AddPlayer(Named("", "Nakamura"), &ilic), rcOk);
    ASSERT_EQ(doubles.EnterResult("5/1/24", "Nakamura", "Patel, Priya", "6-4", false), rcOk);
    doubles.SetIssueMask(Ladder::NextIssue);
    const std::vector<std::string> lines = Report(doubles);
    EXPECT_NE(
        std::find(lines.begin(), lines.end(), "05/01/24 Nakamura/I. Ilic d. P. Patel/Okafor 6-4"),
        lines.end());
    for (const std::string& line : lines)
        EXPECT_EQ(line.find('\0'), std::string::npos) << line;

    // A name too wide for the column is shortened; with no first name the
    // last name alone is left, on a row of its own when still too wide.
    Ladder singles;
    const std::string longName = "Abercrombie-Fitzgerald-Whitmore";
    ASSERT_EQ(singles.AddPlayer(Named("", longName), nullptr), rcOk);
    bool alone = false;
    for (const std::string& line : Report(singles))
        alone = alone || line.ends_with(" 0 " + longName);
    EXPECT_TRUE(alone);
}

// Whatever the page length, a player and its e-mail line, the standings'
// heading and first player, and the legend stay on one page.
TEST(PrintedLadderReport, BlocksAreNotSplitAcrossPages) {
    Ladder ladder;
    for (int i = 1; i <= 12; ++i) {
        ::Player p = Named("F" + std::to_string(i), "P" + std::to_string(i));
        p.email = "p" + std::to_string(i) + "@example.org";
        ASSERT_EQ(ladder.AddPlayer(p, nullptr), rcOk);
    }
    for (int i = 2; i <= 6; ++i)
        ASSERT_EQ(ladder.EnterResult("3/1/24", Name(i), Name(i - 1), "6-0", false), rcOk);
    ladder.SetIssueMask(Ladder::NextIssue);

    const auto pageOf = [](const std::vector<RecordedMark>& marks, const std::string& text) {
        for (const RecordedMark& m : marks)
            if (!m.line && m.text == text) return m.page;
        ADD_FAILURE() << "not printed: " << text;
        return 0;
    };
    // Lines per page from 8 to 36 (20 pixels a line, 150 of margins): the
    // report takes more than a page on each.
    for (int linesPerPage = 8; linesPerPage <= 36; ++linesPerPage) {
        SCOPED_TRACE(linesPerPage);
        PrinterGeometry geometry;
        geometry.pageHeight = 150 + 20 * linesPerPage;
        RecordingPrinter printer(geometry);
        {
            rxReport report(printer, ladder.PrintOpts());
            ladder.PrintReport(report);
        }
        const std::vector<RecordedMark>& marks = printer.Marks();
        for (int i = 1; i <= 12; ++i) {
            const std::string n = std::to_string(i);
            EXPECT_EQ(pageOf(marks, "F" + n + " P" + n), pageOf(marks, "p" + n + "@example.org"));
        }
        EXPECT_EQ(pageOf(marks, "Pos"), pageOf(marks, "F1 P1"));
        EXPECT_EQ(pageOf(marks, "KEY:"), pageOf(marks, "PI = periods of inactivity"));
        // The rules above the standings and the legend go with them.
        for (const char* below : {"Pos", "KEY:"}) {
            const auto at = std::find_if(marks.begin(), marks.end(),
                                         [&](const RecordedMark& m) { return m.text == below; });
            const auto rule = std::find_if(std::make_reverse_iterator(at), marks.rend(),
                                           [](const RecordedMark& m) { return m.line; });
            ASSERT_NE(rule, marks.rend());
            EXPECT_EQ(rule->page, at->page) << below;
        }
        EXPECT_GT(printer.Pages(), 1);
    }
}
