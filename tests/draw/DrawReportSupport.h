#pragma once
// Draws for report tests, built from a case's script ("draw"): players and
// teams, print options, the automatic draw under a fixed clock, results.
//
//   heading|text            note|n|text           doubles
//   per-page|players|rounds
//   player|first|last|work phone|home phone|e-mail|other 1|other 2
//   team|the player's seven fields|the partner's seven fields
//   players|n               ("F1 L1" ... "Fn Ln")
//   draw|seeds              (the automatic draw)
//   result|round|match|date and time|location|score|winner (0, 1 or 2)
//   decide-all              (every match with two players, round by round)

#include "tests/draw/DrawSupport.h"
#include "tests/support/Golden.h"

#include <string>

inline void PlayDrawScript(const std::string& script, Draw& draw) {
    // The random placement of the automatic draw follows the clock.
    FixedClock clock(1'700'000'000);
    for (const ScriptLine& line : ScriptLines(script)) {
        const std::string& op = line.Op();
        if (op == "heading") {
            draw.SetHeading(line.Arg(1));
        } else if (op == "note") {
            draw.SetNote(line.Num(1), line.Arg(2));
        } else if (op == "doubles") {
            draw.SetDoubles();
        } else if (op == "per-page") {
            PrintOptions options = draw.PrintOpts();
            options.playersPerPage = line.Num(1);
            options.roundsPerPage = line.Num(2);
            draw.SetPrintOptions(options);
        } else if (op == "player") {
            EXPECT_EQ(draw.AddPlayer(ScriptPerson(line, 1), nullptr), rcOk) << line.Text();
        } else if (op == "team") {
            const ::Player partner = ScriptPerson(line, 8);
            EXPECT_EQ(draw.AddPlayer(ScriptPerson(line, 1), &partner), rcOk) << line.Text();
        } else if (op == "players") {
            AddPlayers(draw, line.Num(1));
        } else if (op == "draw") {
            EXPECT_EQ(draw.CreateDraw(line.Num(1)), rcOk) << line.Text();
        } else if (op == "result") {
            EXPECT_EQ(draw.EnterResult(line.Num(1), line.Num(2), line.Arg(3), line.Arg(4),
                                       line.Arg(5), line.Num(6)),
                      rcOk)
                << line.Text();
        } else if (op == "decide-all") {
            for (int r = 1; r <= draw.RoundCount(); ++r)
                for (int m = 1; m <= draw.MatchesInRound(r); ++m) {
                    const TResult match = draw.GetMatch(r, m);
                    if (match.first == 0 || match.second == 0) continue;
                    EXPECT_EQ(draw.EnterResult(r, m,
                                               "R" + std::to_string(r) + " " + std::to_string(m),
                                               "Court " + std::to_string(m % 4 + 1),
                                               "6-" + std::to_string(m % 5), m % 2 == 1 ? 1 : 2),
                              rcOk);
                }
        } else {
            ADD_FAILURE() << "unknown script line: " << line.Text();
        }
    }
}
