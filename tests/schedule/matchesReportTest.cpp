// The plan report's match chart over seeded random plans of every shape:
// read back from the preview's lines, the chart pages hold every box of the
// plan exactly once, under its own round and court, and nothing else; the
// pages are numbered in order. A failure names the seed. And the order of
// players of the same names in the court assignments.

#include "tests/schedule/PlanScript.h"
#include "unified/core/rxreport.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <numeric>
#include <random>
#include <string>
#include <vector>

namespace {

std::string Trim(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// Characters [from, from + width) of a line, trimmed; lines end early.
std::string Field(const std::string& line, std::size_t from, std::size_t width) {
    return from >= line.size() ? std::string() : Trim(line.substr(from, width));
}

std::string SideText(int first, int second) {
    return second == 0 ? std::to_string(first)
                       : std::to_string(first) + "&" + std::to_string(second);
}

using Boxes = std::map<std::pair<int, int>, std::pair<std::string, std::string>>;

// Reads the chart pages at the start of the preview's lines: every box shown,
// by (round, court), its two side texts without blanks. Counts the pages.
Boxes ReadChart(const std::vector<std::string>& list, int cellWidth, int& pages) {
    Boxes shown;
    const auto squeeze = [](std::string text) {
        std::erase(text, ' ');
        return text;
    };
    std::size_t i = 0;
    pages = 0;
    while (i + 2 < list.size() && list[i] == "Rostrix Report - page " + std::to_string(pages + 1) &&
           list[i + 2] != " ") {
        ++pages;
        i += 2; // the heading and its rule
        const std::string& first = list[i];
        const bool across = first.rfind("Round:", 0) == 0;
        // The heading row: the round or court number of each column.
        std::vector<int> columns;
        for (std::size_t at = 15; at < first.size() || at < list[i + 1].size(); at += cellWidth + 1)
            columns.push_back(
                std::atoi(Field(list[i + (across ? 0 : 1)], at, cellWidth + 1).c_str()));
        i += 4;
        while (i + 3 < list.size() && list[i] != " " && list[i].rfind("Rostrix Report", 0) != 0) {
            const int row =
                std::atoi(Field(list[i + (across ? 1 : 0)], across ? 0 : 5, 10).c_str());
            for (std::size_t j = 0; j < columns.size(); ++j) {
                const std::size_t at = 15 + j * (cellWidth + 1);
                const std::string a = squeeze(Field(list[i], at, cellWidth + 1));
                const std::string b = squeeze(Field(list[i + 1], at, cellWidth + 1));
                if (a.empty() && b.empty()) continue;
                const auto key =
                    across ? std::make_pair(columns[j], row) : std::make_pair(row, columns[j]);
                EXPECT_EQ(shown.count(key), 0u)
                    << "round " << key.first << " court " << key.second << " shown twice";
                shown[key] = {a, b};
            }
            i += 4;
        }
        while (i < list.size() && list[i] == " ")
            ++i;
    }
    return shown;
}

TEST(PlanReportChart, EveryBoxShownOnceUnderItsRoundAndCourt) {
    for (unsigned seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE(testing::Message() << "seed " << seed);
        std::mt19937 random(seed);
        const auto pick = [&](int low, int high) {
            return std::uniform_int_distribution<int>(low, high)(random);
        };
        ScriptedPlan plan;
        const int players = pick(2, 150);
        std::string script = "options|" + std::to_string(pick(0, 1) ? 0x1000 : 0) + "\n" +
                             "players|" + std::to_string(players) + "\n" + "courts|";
        const int courts = pick(1, seed % 4 == 0 ? 60 : 12);
        for (int c = 0; c < courts; ++c)
            script += pick(0, 3) == 0 ? 'S' : 'D';
        const int rounds = pick(1, seed % 3 == 0 ? 99 : 20);
        script += "\nrounds|" + std::to_string(rounds) + "\n";
        PlayPlanScript(script, plan);
        // Each round seats a random share of the players in random order.
        std::vector<int> order(static_cast<std::size_t>(players));
        Boxes expected;
        for (int r = 1; r <= rounds; ++r) {
            std::iota(order.begin(), order.end(), 1);
            std::shuffle(order.begin(), order.end(), random);
            std::size_t next = 0;
            for (int c = 1; c <= courts; ++c) {
                const int seats = pick(0, 2) == 0                              ? 0
                                  : plan.PlayersPerCourt(c) == 4 && pick(0, 1) ? 4
                                                                               : 2;
                if (next + seats > order.size()) break;
                const int positions[] = {1, 3, 2, 4};
                for (int s = 0; s < seats; ++s)
                    ASSERT_EQ(plan.SetSlot(r, c, positions[s], order[next++]), rcOk);
                if (seats == 4)
                    expected[{r, c}] = {SideText(plan.GetSlot(r, c, 1), plan.GetSlot(r, c, 2)),
                                        SideText(plan.GetSlot(r, c, 3), plan.GetSlot(r, c, 4))};
                else if (seats == 2)
                    expected[{r, c}] = {SideText(plan.GetSlot(r, c, 1), 0),
                                        SideText(plan.GetSlot(r, c, 3), 0)};
            }
        }
        std::vector<std::string> list;
        {
            rxReport report(list);
            plan.PrintReport(report);
        }
        int pages = 0;
        const int cellWidth = 2 * static_cast<int>(std::to_string(players).size()) + 3;
        EXPECT_EQ(ReadChart(list, cellWidth, pages), expected)
            << players << " players, " << courts << " courts, " << rounds << " rounds";
        EXPECT_GT(pages, 0);
        // The pages after the chart go on in order to the last.
        int page = pages;
        for (const std::string& line : list) {
            if (line.rfind("Rostrix Report - page ", 0) == 0 &&
                std::stoi(line.substr(22)) > pages) {
                EXPECT_EQ(std::stoi(line.substr(22)), ++page);
            }
        }
        EXPECT_GT(page, pages) << "the court assignments follow the chart";
    }
}

// A loaded file may hold players of the same names: their rows of the court
// assignments come in the order they always had, "B" 2 before "B" 1.
TEST(PlanReportCourtAssignments, PlayersOfTheSameNamesKeepTheirOrder) {
    ScriptedPlan plan;
    PlayPlanScript("options|0\nplayers|4\ncourts|SS\nrounds|1\nround|1|1 4|2 3\n", plan);
    for (const auto& [n, name] : {std::pair{1, "B"}, {2, "B"}, {3, "A"}, {4, "C"}})
        plan.Player(n)->lastName = plan.Player(n)->firstName = name;
    std::vector<std::string> list;
    {
        rxReport report(list);
        plan.PrintReport(report);
    }
    const auto heading = std::find(list.begin(), list.end(), "COURT ASSIGNMENTS");
    ASSERT_GT(list.end() - heading, 6);
    std::vector<std::string> courts;
    for (auto row = heading + 2; row != heading + 6; ++row)
        courts.push_back(Trim(*row).substr(0, 1) + Trim(*row).back());
    EXPECT_EQ(courts, (std::vector<std::string>{"A2", "B2", "B1", "C1"}));
}

} // namespace
