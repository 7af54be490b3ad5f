// The ladder report's rules one at a time: the header lines, which results
// the issue mask selects, names without a first name, and the blocks that a
// printed page must not split.

#include "platform/RecordingPrinter.h"
#include "tests/ladder/LadderPlayers.h"
#include "tests/support/Scratch.h"
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
    for (++at; at != lines.end() && at->front() != '='; ++at)
        scores.insert(at->substr(at->rfind(' ') + 1));
    return scores;
}

} // namespace

TEST(LadderReport, HeaderNamesIssueMembersDateAndRange) {
    ScopedFixedDate date(2024, 3, 5);
    Ladder ladder;
    Fill(ladder, 9);
    std::vector<std::string> lines = Report(ladder);
    EXPECT_EQ(lines[0], "Challenge Ladder Report");
    EXPECT_EQ(lines[1], "Issue #0  --  9 members  --  03/05/2024");
    EXPECT_EQ(lines[2], "Valid challenge range:  2 positions"); // 25% of 8
    const std::string rule(80, '=');
    EXPECT_EQ(lines[3], rule);

    ladder.SetChallengePositions(1);
    EXPECT_EQ(Report(ladder)[2], "Valid challenge range:  1 position");
    ladder.SetChallengePositions(0); // not checked
    EXPECT_EQ(Report(ladder)[2], rule);

    // PLUS from a posting until the next issue is generated.
    ladder.SetHeading("Club Ladder");
    ASSERT_EQ(ladder.EnterResult("3/1/24", Name(2), Name(1), "6-0", false), 0);
    ASSERT_EQ(ladder.PostResults(false), 0);
    lines = Report(ladder);
    EXPECT_EQ(lines[0], "Club Ladder");
    EXPECT_EQ(lines[1], "Issue #0 PLUS  --  9 members  --  03/05/2024");
    ASSERT_EQ(ladder.GenerateIssue(), 0);
    EXPECT_EQ(Report(ladder)[1], "Issue #1  --  9 members  --  03/05/2024");
}

TEST(LadderReport, IssueMaskChoosesTheResults) {
    Ladder ladder;
    Fill(ladder, 5);
    const auto enter = [&](const std::string& score) {
        ASSERT_EQ(ladder.EnterResult("3/1/24", Name(3), Name(2), score, false), 0);
    };
    enter("6-1"); // posted into issue 1
    ASSERT_EQ(ladder.GenerateIssue(), 0);
    enter("6-2"); // issue 2, the current one
    ASSERT_EQ(ladder.GenerateIssue(), 0);
    enter("6-3"); // posted into the next issue
    ASSERT_EQ(ladder.PostResults(false), 0);
    enter("6-4"); // pending

    const std::vector<std::pair<int, std::set<std::string>>> cases = {
        {Ladder::CurrentIssue, {"6-2"}},
        {Ladder::NextIssue, {"6-3", "6-4"}},
        {Ladder::PreviousIssues, {"6-1"}},
        {Ladder::CurrentIssue | Ladder::PreviousIssues, {"6-1", "6-2"}},
        {Ladder::CurrentIssue | Ladder::NextIssue | Ladder::PreviousIssues,
         {"6-1", "6-2", "6-3", "6-4"}},
        {0, {"none"}},
    };
    for (const auto& [mask, scores] : cases) {
        ladder.SetIssueMask(mask);
        EXPECT_EQ(ScoresShown(ladder), scores) << "mask " << mask;
    }

    // Pending results are not the current issue's.
    Ladder fresh;
    Fill(fresh, 3);
    ASSERT_EQ(fresh.EnterResult("3/1/24", Name(2), Name(1), "6-0", false), 0);
    EXPECT_EQ(ScoresShown(fresh), std::set<std::string>{"none"});
    fresh.SetIssueMask(Ladder::NextIssue);
    EXPECT_EQ(ScoresShown(fresh), std::set<std::string>{"6-0"});
}

TEST(LadderReport, AnEmptyFirstNameLeavesOutTheInitial) {
    Ladder doubles;
    doubles.SetDoubles();
    const ::Player okafor = Named("", "Okafor");
    const ::Player ilic = Named("Ivo", "Ilic");
    ASSERT_EQ(doubles.AddPlayer(Named("Priya", "Patel"), &okafor), 0);
    ASSERT_EQ(doubles.AddPlayer(Named("", "Nakamura"), &ilic), 0);
    ASSERT_EQ(doubles.EnterResult("5/1/24", "Nakamura", "Patel, Priya", "6-4", false), 0);
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
    ASSERT_EQ(singles.AddPlayer(Named("", longName), nullptr), 0);
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
        ASSERT_EQ(ladder.AddPlayer(p, nullptr), 0);
    }
    for (int i = 2; i <= 6; ++i)
        ASSERT_EQ(ladder.EnterResult("3/1/24", Name(i), Name(i - 1), "6-0", false), 0);
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
