// The draw report's paging over the bracket grid. Every draw size from 2 to
// 1024 (the report depends on the size, not on the player count) under every
// players-per-page and rounds-per-page pair the print-options dialog allows,
// and under values only a file can hold: each match is printed exactly once,
// the champion once, and the pages are numbered on to the player page.
#include "tests/draw/DrawSupport.h"
#include "unified/core/rxreport.h"

#include <climits>
#include <gtest/gtest.h>
#include <map>
#include <regex>
#include <string>
#include <vector>

namespace {

struct Shape {
    int players;
    int rounds;
};

std::vector<Shape> DialogShapes() {
    std::vector<Shape> shapes;
    for (int players : {4, 8, 16, 32})
        for (int rounds = 1; rounds <= 5 && (1 << rounds) <= players; ++rounds)
            shapes.push_back({players, rounds});
    return shapes;
}

// Values the dialog never writes: below, between and above its choices, and
// rounds that the players per page cannot fill.
std::vector<Shape> FileShapes() {
    std::vector<Shape> shapes;
    for (int players : {INT_MIN, -4, 0, 1, 3, 5, 12, 31, 33, 64, 1000, INT_MAX})
        for (int rounds : {INT_MIN, -1, 0, 6, 12, 13, 99, INT_MAX})
            shapes.push_back({players, rounds});
    for (int rounds = 1; rounds <= 5; ++rounds)
        shapes.push_back({4, rounds}); // 3 to 5 rounds need more than 4 players
    return shapes;
}

// A bracket of `size` whose every match carries its place as its date text,
// the final won by player 1.
void MakeLabelledDraw(BareDraw& draw, int size) {
    AddPlayers(draw, 2);
    draw.MakeBracket(size);
    int index = 0;
    for (int r = 1; r <= draw.RoundCount(); ++r)
        for (int m = 1; m <= draw.MatchesInRound(r); ++m)
            draw.At(++index).dateTime = "R" + std::to_string(r) + "M" + std::to_string(m) + "#";
    TResult& final = draw.At(size - 1);
    final.first = 1;
    final.second = 2;
    final.winner = 1;
}

// What is wrong with the report of a labelled draw, or nothing.
std::string Fault(const Draw& draw, const std::vector<std::string>& lines) {
    std::map<std::string, int> printed;
    int champions = 0, winnerNames = 0;
    std::vector<int> pages;
    static const std::regex label("R[0-9]+M[0-9]+#");
    static const std::regex title("^Tournament Draw Report - page ([0-9]+)$");
    for (const std::string& line : lines) {
        for (std::sregex_iterator it(line.begin(), line.end(), label), end; it != end; ++it)
            ++printed[it->str()];
        for (std::size_t at = line.find("CHAMPION"); at != std::string::npos;
             at = line.find("CHAMPION", at + 1))
            ++champions;
        for (std::size_t at = line.find("F1 L1"); at != std::string::npos;
             at = line.find("F1 L1", at + 1))
            ++winnerNames;
        std::smatch page;
        if (std::regex_match(line, page, title)) pages.push_back(std::stoi(page[1]));
    }
    for (int r = 1; r <= draw.RoundCount(); ++r)
        for (int m = 1; m <= draw.MatchesInRound(r); ++m) {
            const std::string key = "R" + std::to_string(r) + "M" + std::to_string(m) + "#";
            const auto found = printed.find(key);
            const int times = found == printed.end() ? 0 : found->second;
            if (times != 1) return key + " printed " + std::to_string(times) + " times";
            printed.erase(found);
        }
    if (!printed.empty()) return printed.begin()->first + " is no match of the draw";
    if (champions != 1) return "CHAMPION printed " + std::to_string(champions) + " times";
    // The final's first player, the champion under the heading, and the
    // player page.
    if (winnerNames != 3) return "the winner printed " + std::to_string(winnerNames) + " times";
    for (std::size_t i = 0; i < pages.size(); ++i)
        if (pages[i] != static_cast<int>(i) + 1) return "pages numbered out of order";
    if (pages.size() < 2) return "no bracket page";
    return "";
}

TEST(DrawReportPaging, EveryMatchPrintedOnceUnderEveryPageShape) {
    std::vector<Shape> shapes = DialogShapes();
    for (const Shape& shape : FileShapes())
        shapes.push_back(shape);
    for (int size = 2; size <= 1024; size *= 2) {
        BareDraw draw;
        MakeLabelledDraw(draw, size);
        for (const Shape& shape : shapes) {
            PrintOptions options;
            options.playersPerPage = shape.players;
            options.roundsPerPage = shape.rounds;
            draw.SetPrintOptions(options);
            std::vector<std::string> lines;
            {
                rxReport report(lines);
                draw.PrintReport(report);
            }
            const std::string fault = Fault(draw, lines);
            EXPECT_EQ(fault, "") << "draw of " << size << ", " << shape.players << " players and "
                                 << shape.rounds << " rounds per page";
        }
    }
}

// Page counts, worked out by hand: the bracket pages, then one page of
// players. A draw of 64 at 8 players and 3 rounds fills 8 pages with rounds 1
// to 3, then one with rounds 4 to 6 and the champion; a draw of 1024 at 32
// and 5, 32 pages of rounds 1 to 5 and one of rounds 6 to 10.
TEST(DrawReportPaging, PageCountsOfKnownShapes) {
    struct Case {
        int size, players, rounds, pages;
    };
    for (const Case& c :
         {Case{8, 16, 3, 2}, Case{16, 16, 4, 2}, Case{32, 16, 4, 4}, Case{64, 16, 4, 6},
          Case{64, 8, 3, 10}, Case{2, 4, 1, 2}, Case{1024, 32, 5, 34}}) {
        BareDraw draw;
        MakeLabelledDraw(draw, c.size);
        PrintOptions options;
        options.playersPerPage = c.players;
        options.roundsPerPage = c.rounds;
        draw.SetPrintOptions(options);
        std::vector<std::string> lines;
        {
            rxReport report(lines);
            draw.PrintReport(report);
        }
        int pages = 0;
        for (const std::string& line : lines)
            pages += line.starts_with("Tournament Draw Report - page ");
        EXPECT_EQ(pages, c.pages) << "draw of " << c.size << ", " << c.players << " players and "
                                  << c.rounds << " rounds per page";
    }
}

// Slot texts: byes, seeds, long names and teams.
TEST(DrawReportSlotText, NamesByesSeedsAndTeams) {
    Draw draw;
    ASSERT_EQ(draw.AddPlayer(Named("Christopher", "Smith"), nullptr), rcOk);
    ASSERT_EQ(draw.AddPlayer(Named("Al", "Vandenberghe-Montgomery-Wells"), nullptr), rcOk);
    ASSERT_EQ(draw.AddPlayer(Named("Zoë", "Ångström"), nullptr), rcOk);
    AddPlayers(draw, 8);
    std::string text;
    int seed = -1;
    // Before any draw the stored seed count is the default marker: nobody.
    draw.ReportSlotText(1, 1, 28, text, seed);
    EXPECT_EQ(text, "Christopher Smith");
    EXPECT_EQ(seed, 0);
    ASSERT_EQ(draw.CreateDraw(2), rcOk);
    draw.ReportSlotText(1, 1, 28, text, seed);
    EXPECT_EQ(seed, 1);
    // width - 4 - 5 characters of the first name.
    draw.ReportSlotText(1, 1, 12, text, seed);
    EXPECT_EQ(text, "Chr Smith");
    // A last name of width - 6 or more characters stands alone.
    draw.ReportSlotText(2, 2, 28, text, seed);
    EXPECT_EQ(text, "Vandenberghe-Montgomery-Wells");
    EXPECT_EQ(seed, 2);
    draw.ReportSlotText(3, 1, 16, text, seed);
    EXPECT_EQ(text, "Zoë Ångström"); // characters, not bytes
    EXPECT_EQ(seed, 0);
    draw.ReportSlotText(0, 1, 28, text, seed);
    EXPECT_EQ(text, "BYE");
    draw.ReportSlotText(0, 2, 28, text, seed);
    EXPECT_EQ(text, "");

    Draw doubles;
    doubles.SetDoubles();
    const ::Player partner = Named("Bartholomew", std::string(40, 'b'));
    ASSERT_EQ(doubles.AddPlayer(Named("Ann", std::string(30, 'a')), &partner), rcOk);
    ASSERT_EQ(doubles.AddPlayer(Named("Cy", "Dunn"), nullptr), rcOk); // no partner record
    doubles.ReportSlotText(1, 1, 28, text, seed);
    EXPECT_EQ(text, ("A." + std::string(30, 'a') + " / B." + std::string(40, 'b')).substr(0, 61));
    doubles.ReportSlotText(2, 1, 28, text, seed);
    EXPECT_EQ(text, "Cy Dunn");
}

} // namespace
