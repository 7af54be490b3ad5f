// Tournament files beyond the golden cases: what a load refuses, with its
// code, in the tree form and the older line form, and what it keeps then;
// and over seeded random draws, that every file the draw writes (in manual
// mode too) opens again with the same data and saves the same bytes.
#include "tests/draw/DrawSupport.h"
#include "tests/support/FullEvents.h"
#include "tests/support/Scratch.h"

#include "platform/Text.h"

#include <gtest/gtest.h>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string Lines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

// A tree file of three players and their draw of 4: Ann beat by Bob, Cy's
// bye advanced, the final open. Each match is its leaves, "key=value"
// separated by blanks; the extra lines come before the players.
struct TreeFile {
    std::string version = "*2.1";
    std::string manual = "0";
    std::string rounds = "2";
    int players = 3;
    std::vector<std::string> matches = {"1=1 2=2 w=2", "1=3 2=0 w=3", "1=2 2=3 w=0"};
    std::vector<std::string> extra;

    std::string Text() const {
        std::vector<std::string> lines = {"Tournament{"};
        if (!version.empty()) lines.push_back(" v=" + version);
        lines.push_back(" m=" + manual);
        lines.push_back(" r=" + rounds);
        lines.insert(lines.end(), extra.begin(), extra.end());
        const char* const names[] = {"Ann", "Bob", "Cy"};
        for (int p = 0; p < players; ++p) {
            lines.insert(lines.end(), {" P{", "  f=" + std::string(names[p % 3]),
                                       "  l=L" + std::to_string(p + 1), " }"});
        }
        for (const std::string& match : matches) {
            lines.push_back(" R{");
            std::istringstream leaves(match);
            for (std::string leaf; leaves >> leaf;)
                lines.push_back("  " + leaf);
            lines.push_back(" }");
        }
        lines.push_back("}");
        return Lines(lines);
    }
};

// The same draw in the older line form.
struct LineFile {
    std::string values = "S E 0 2 0";
    std::string count = "3";
    std::vector<std::string> players = {"/Ann/Baker//", "/Bob/Cole//", "/Cy/Dunn//"};
    std::vector<std::string> matches = {"/Sat/Court 1/6-1/ 1 2 2", "//// 3 0 3", "//// 2 3 0"};

    std::string Text() const {
        std::vector<std::string> lines = {"*1.0", values, "Heading", "", "", "", "", "", count};
        lines.insert(lines.end(), players.begin(), players.end());
        lines.insert(lines.end(), matches.begin(), matches.end());
        return Lines(lines);
    }
};

class DrawLoad : public testing::Test {
protected:
    short Load(const std::string& bytes) {
        WriteFile(scratch.File("in.trn"), bytes);
        return draw.Load(scratch.File("in.trn"));
    }
    void TearDown() override { ErrorLocation.clear(); }
    TempFolder scratch;
    Draw draw;
};

// Every value a draw keeps, in one text: two draws that give the same
// text hold the same data.
std::string Dump(const Draw& draw) {
    std::ostringstream out;
    out << "type " << draw.Type() << " manual " << draw.IsManualMode() << " byes to seeds "
        << draw.HasOption(Draw::ByesToSeeded) << " seeds " << draw.SeedCount() << " rounds "
        << draw.RoundCount() << "\n";
    const PrintOptions& print = draw.PrintOpts();
    out << "print " << print.leftMargin << "/" << print.rightMargin << "/" << print.topMargin << "/"
        << print.bottomMargin << "/" << print.playersPerPage << "/" << print.roundsPerPage << "/"
        << static_cast<int>(print.orientation) << "/" << print.fontSize << "\n";
    out << "[" << draw.Heading() << "]";
    for (int n = 1; n <= 5; ++n)
        out << "[" << draw.Note(n) << "]";
    out << "[" << draw.EmailSubject() << "]\n";
    for (int n = 1; n <= draw.PlayerCount(); ++n) {
        const ::Player& p = *draw.Player(n);
        for (const std::string* text : PlayerTexts(p))
            out << "[" << *text << "]";
        if (p.partner)
            for (const std::string* text : PlayerTexts(*p.partner))
                out << "<" << *text << ">";
        out << "\n";
    }
    for (const TResult& m : Matches(draw))
        out << m.first << " " << m.second << " " << m.winner << " [" << m.dateTime << "]["
            << m.location << "][" << m.score << "]\n";
    return out.str();
}

} // namespace

TEST_F(DrawLoad, FirstLineChoosesTheForm) {
    EXPECT_EQ(draw.Load(scratch.File("missing.trn")), rcCannotOpen);
    EXPECT_EQ(draw.Load(scratch.Path()), rcCannotOpen); // a folder reads as no file
    EXPECT_EQ(Load(""), rcBadData);
    EXPECT_EQ(Load("Ladder{\r\n v=*2.1\r\n}\r\n"), rcBadData);
    EXPECT_EQ(Load("*1.0 \r\nS E 0 2 0\r\n"), rcBadData); // compared exactly
    EXPECT_EQ(Load("Tournament{\r\n v=*2.1\r\n no value\r\n}\r\n"), rcInternal);
    EXPECT_NE(ErrorLocation.find("drawIO"), std::string::npos);
    EXPECT_EQ(Load("Tournament{\n v=*2.1\n P{\n  f=Ann\n }\n P{\n  f=Bob\n }\n}\n"), rcOk);
    EXPECT_EQ(draw.PlayerCount(), 2);
}

TEST_F(DrawLoad, TreeRefusesWhatTheDrawCannotHoldAndKeepsNoBracketThen) {
    struct Case {
        const char* what;
        TreeFile file;
        short code;
        int players = 3; // kept after the load
    };
    const std::string sixty(60, 'x');
    const auto with = [](auto change) {
        TreeFile file;
        change(file);
        return file;
    };
    const std::vector<Case> cases = {
        {"the base file", {}, rcOk},
        {"texts at their limits", with([&](TreeFile& f) {
             f.extra = {" h=" + sixty, " n=" + sixty, " s=" + sixty};
             f.matches[0] += " d=" + std::string(24, 'd') + " l=" + std::string(24, 'l') +
                             " s=" + std::string(28, 's');
         }),
         rcOk},
        {"seeds from -1 to 400, any u", with([](TreeFile& f) {
             f.extra = {" e=400", " u=70"};
         }),
         rcOk},
        {"no draw, no rounds", with([](TreeFile& f) { f.matches.clear(), f.rounds = "0"; }), rcOk},
        {"no version", with([](TreeFile& f) { f.version = ""; }), rcBadData},
        {"another version", with([](TreeFile& f) { f.version = "*2.0"; }), rcBadData},
        {"no player nodes, whatever u says", with([](TreeFile& f) {
             f.players = 0, f.matches.clear(), f.rounds = "0", f.extra = {" u=3"};
         }),
         rcBadData, 0},
        {"heading of 61", with([&](TreeFile& f) { f.extra = {" h=" + sixty + "x"}; }), rcBadData,
         0},
        {"note of 61", with([&](TreeFile& f) { f.extra = {" n2=" + sixty + "x"}; }), rcBadData, 0},
        {"subject of 61", with([&](TreeFile& f) { f.extra = {" s=" + sixty + "x"}; }), rcBadData,
         0},
        {"date of 25", with([](TreeFile& f) { f.matches[0] += " d=" + std::string(25, 'd'); }),
         rcBadData},
        {"location of 25", with([](TreeFile& f) { f.matches[0] += " l=" + std::string(25, 'l'); }),
         rcBadData},
        {"score of 29", with([](TreeFile& f) { f.matches[0] += " s=" + std::string(29, 's'); }),
         rcBadData},
        {"a slot that is no number", with([](TreeFile& f) { f.matches[0] = "1=one 2=2 w=0"; }),
         rcBadData},
        {"a winner that is no number", with([](TreeFile& f) { f.matches[2] += " w=1.5"; }),
         rcBadData},
        {"a manual flag that is no number", with([](TreeFile& f) { f.manual = "yes"; }), rcBadData,
         0},
        {"a player count that is no number", with([](TreeFile& f) { f.extra = {" u=many"}; }),
         rcBadData, 0},
        {"seeds below -1", with([](TreeFile& f) { f.extra = {" e=-2"}; }), rcBadData, 0},
        {"seeds past 400", with([](TreeFile& f) { f.extra = {" e=401"}; }), rcBadData, 0},
        {"rounds past the draw's", with([](TreeFile& f) { f.rounds = "3"; }), rcBadData},
        {"rounds past any draw's", with([](TreeFile& f) { f.rounds = "70000"; }), rcBadData, 0},
        {"rounds without matches: players, no draw yet",
         with([](TreeFile& f) { f.matches.clear(), f.rounds = "3"; }), rcOk},
        {"two matches", with([](TreeFile& f) { f.matches.pop_back(); }), rcBadData},
        {"four matches", with([](TreeFile& f) { f.matches.push_back(""); }), rcBadData},
        {"a draw of 8 for 3 players",
         with([](TreeFile& f) { f.rounds = "3", f.matches.resize(7); }), rcBadData},
        {"a slot past the players", with([](TreeFile& f) { f.matches[1] = "1=4 2=0 w=4"; }),
         rcBadData},
        {"a slot below 0", with([](TreeFile& f) { f.matches[2] = "1=2 2=-3 w=0"; }), rcBadData},
        {"a winner past the players in manual mode",
         with([](TreeFile& f) { f.manual = "1", f.matches[2] = "1=2 2=3 w=4"; }), rcBadData},
        {"a winner who did not play", with([](TreeFile& f) { f.matches[0] = "1=1 2=2 w=3"; }),
         rcBadData},
        {"a later slot held by a stranger", with([](TreeFile& f) { f.matches[2] = "1=3 2=3 w=0"; }),
         rcBadData},
        {"a later slot held by the loser", with([](TreeFile& f) { f.matches[2] = "1=1 2=3"; }),
         rcOk},
        {"a bye never advanced",
         with([](TreeFile& f) { f.matches[1] = "1=3 2=0 w=0", f.matches[2] = "1=2 2=0"; }),
         rcBadData},
        {"a bye won but not in round 2", with([](TreeFile& f) { f.matches[2] = "1=2 2=0 w=0"; }),
         rcBadData},
        {"all three in manual mode", with([](TreeFile& f) {
             f.manual = "1";
             f.matches = {"1=1 2=2 w=3", "1=3 2=0 w=0", "1=3 2=0 w=0"};
         }),
         rcOk},
        {"a player text over its limit", with([](TreeFile& f) {
             f.extra = {" P{", "  f=" + std::string(31, 'f'), " }"};
         }),
         rcBadData, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Load(c.file.Text()), c.code);
        EXPECT_EQ(draw.PlayerCount(), c.players);
        if (c.code != rcOk) {
            EXPECT_EQ(draw.ResultCount(), 0) << "no bracket after a failure";
            EXPECT_EQ(draw.RoundCount(), 0);
        } else {
            EXPECT_EQ(draw.ResultCount(), static_cast<int>(c.file.matches.size()));
            EXPECT_EQ(draw.RoundCount(), c.file.matches.empty() ? 0 : 2);
            EXPECT_EQ(draw.State(), StateSaved);
        }
    }
}

TEST_F(DrawLoad, TreeCountsPlayerAndMatchNodesUpToTheLimits) {
    // 800 players in a full draw, the last slots empty (a manual draw);
    // an 801st player node is refused.
    std::vector<std::string> lines = {"Tournament{", " v=*2.1", " m=1", " r=10", " u=1"};
    for (int p = 1; p <= MaxPlayers; ++p)
        lines.insert(lines.end(), {" P{", "  l=P" + std::to_string(p), " }"});
    for (int m = 1; m <= 1023; ++m) {
        const int first = m <= 400 ? 2 * m - 1 : 0;
        const int second = m <= 400 ? 2 * m : 0;
        lines.insert(lines.end(), {" R{", "  1=" + std::to_string(first),
                                   "  2=" + std::to_string(second), " }"});
    }
    std::vector<std::string> full = lines;
    full.push_back("}");
    EXPECT_EQ(Load(Lines(full)), rcOk);
    EXPECT_EQ(draw.PlayerCount(), MaxPlayers);
    EXPECT_EQ(draw.ResultCount(), 1023);
    std::vector<std::string> more = lines;
    more.insert(more.end(), {" P{", "  l=P801", " }", "}"});
    EXPECT_EQ(Load(Lines(more)), rcBadData);
    EXPECT_EQ(draw.ResultCount(), 0);

    // Match nodes past 1500 are not read: the count is no draw's.
    std::vector<std::string> many = {"Tournament{", " v=*2.1", " r=2", " P{", "  l=A", " }",
                                     " P{",         "  l=B",   " }",   " P{", "  l=C", " }"};
    for (int m = 1; m <= 1600; ++m)
        many.insert(many.end(), {" R{", " }"});
    many.push_back("}");
    EXPECT_EQ(Load(Lines(many)), rcBadData);
}

TEST_F(DrawLoad, LineFormRefusesWhatTheDrawCannotHold) {
    struct Case {
        const char* what;
        LineFile file;
        short code;
        int players = 3;
    };
    const auto with = [](auto change) {
        LineFile file;
        change(file);
        return file;
    };
    const std::vector<Case> cases = {
        {"the base file", {}, rcOk},
        {"fields at their limits", with([](LineFile& f) {
             f.players[0] = "/" + std::string(30, 'f') + "/" + std::string(30, 'l') + "/" +
                            std::string(14, 'w') + "/" + std::string(14, 'h');
             f.matches[0] = "/" + std::string(24, 'd') + "/" + std::string(24, 'l') + "/" +
                            std::string(28, 's') + "/ 1 2 2";
         }),
         rcOk},
        {"another separator, blank lines among the matches", with([](LineFile& f) {
             f.players[1] = "|Bob|Co/le|1/2|";
             f.matches.insert(f.matches.begin() + 1, "");
         }),
         rcOk},
        {"no draw", with([](LineFile& f) { f.values = "S E 0 0 0", f.matches.clear(); }), rcOk},
        {"rounds without matches", with([](LineFile& f) { f.matches.clear(); }), rcOk},
        {"values missing", with([](LineFile& f) { f.values = "S E 0 2"; }), rcBadData, 0},
        {"an option word that is no number", with([](LineFile& f) { f.values = "S E x 2 0"; }),
         rcBadData, 0},
        {"an option word past 32 bits", with([](LineFile& f) { f.values = "S E 4294967296 2 0"; }),
         rcBadData, 0},
        {"rounds past any draw's", with([](LineFile& f) { f.values = "S E 0 11 0"; }), rcBadData,
         0},
        {"seeds past 400", with([](LineFile& f) { f.values = "S E 0 2 401"; }), rcBadData, 0},
        {"a count that is no number", with([](LineFile& f) { f.count = "three"; }), rcBadData, 0},
        {"no players", with([](LineFile& f) { f.count = "0"; }), rcBadData, 0},
        {"more than 800 players", with([](LineFile& f) { f.count = "801"; }), rcBadData, 0},
        {"the file ends where a player is due",
         with([](LineFile& f) { f.count = "5", f.matches.clear(); }), rcNotFound, 3},
        {"an empty player line", with([](LineFile& f) { f.players[1] = ""; }), rcEmptyLine, 1},
        {"a field missing", with([](LineFile& f) { f.players[1] = "/Bob/Cole"; }), rcBadData, 1},
        {"a first name of 31",
         with([](LineFile& f) { f.players[2] = "/" + std::string(31, 'f') + "/Dunn//"; }),
         rcBadData, 2},
        {"a phone of 15",
         with([](LineFile& f) { f.players[0] = "/Ann/Baker/" + std::string(15, '5') + "/"; }),
         rcBadData, 0},
        {"a doubles name of 31", with([](LineFile& f) {
             f.values = "D E 0 2 0";
             f.players[0] = "/Ann " + std::string(27, 'b') + "/Cy Dunn//";
         }),
         rcBadData, 0},
        {"two numbers", with([](LineFile& f) { f.matches[2] = "//// 2 3"; }), rcBadData},
        {"a number that is no number", with([](LineFile& f) { f.matches[2] = "//// 2 x 0"; }),
         rcBadData},
        {"no score field", with([](LineFile& f) { f.matches[2] = "/Sun/Centre 2 3 0"; }),
         rcBadData},
        {"a date of 25",
         with([](LineFile& f) { f.matches[2] = "/" + std::string(25, 'd') + "/// 2 3 0"; }),
         rcBadData},
        {"a score of 29",
         with([](LineFile& f) { f.matches[2] = "///" + std::string(29, 's') + "/ 2 3 0"; }),
         rcBadData},
        {"a player past the count", with([](LineFile& f) { f.matches[1] = "//// 4 0 4"; }),
         rcBadData},
        {"a player below 0", with([](LineFile& f) { f.matches[2] = "//// -2 3 0"; }), rcBadData},
        {"a winner who did not play", with([](LineFile& f) { f.matches[0] = "//// 1 2 3"; }),
         rcBadData},
        {"two matches", with([](LineFile& f) { f.matches.pop_back(); }), rcBadData},
        {"four matches", with([](LineFile& f) { f.matches.push_back("//// 0 0 0"); }), rcBadData},
        {"rounds that disagree", with([](LineFile& f) { f.values = "S E 0 3 0"; }), rcBadData},
        {"a bye never advanced",
         with([](LineFile& f) { f.matches[1] = "//// 3 0 0", f.matches[2] = "//// 2 0 0"; }),
         rcBadData},
        {"a later slot held by a stranger", with([](LineFile& f) { f.matches[2] = "//// 3 3 0"; }),
         rcBadData},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Load(c.file.Text()), c.code);
        EXPECT_EQ(draw.PlayerCount(), c.players);
        if (c.code != rcOk) {
            EXPECT_EQ(draw.ResultCount(), 0) << "no bracket after a failure";
        } else {
            EXPECT_EQ(draw.RoundCount(), c.file.matches.empty() ? 0 : 2);
        }
    }
}

TEST_F(DrawLoad, ASaveThatFailsChangesNothing) {
    AddPlayers(draw, 3);
    EXPECT_FALSE(draw.Save(scratch.File("no-such-folder/draw.trn")));
    EXPECT_TRUE(draw.IsModified());
    EXPECT_FALSE(draw.ExportPlayersVer1(scratch.File("no-such-folder/export.txt")));
}

TEST_F(DrawLoad, TheLargestDrawOpensAgainAsItWasSaved) {
    BuildFullDraw(draw);
    ASSERT_EQ(draw.ResultCount(), 1023);
    ASSERT_NE(draw.GetMatch(10, 1).winner, 0);
    const std::string dump = Dump(draw);
    ASSERT_TRUE(draw.Save(scratch.File("full.trn")));
    Draw loaded;
    ASSERT_EQ(loaded.Load(scratch.File("full.trn")), rcOk);
    EXPECT_EQ(Dump(loaded), dump);
}

// Seeded random draws built as the commands build them, saved at random
// moments: automatic and manual draws, results entered and withdrawn,
// manual pairings, manual mode left as its command leaves it, draws
// cleared; names and texts at and below their limits, ending in "{" or a
// blank, with letters outside ASCII and line breaks to be dropped.
TEST(DrawFiles, EveryWrittenDrawOpensAgainWithTheSameData) {
    const char* const chars[] = {"a", "Z", "7", " ", "{", "}", "=", "/", "%", "é", "日", "\r\n"};
    for (unsigned seed = 1; seed <= 40; ++seed) {
        std::mt19937 rng(seed);
        SCOPED_TRACE("seed " + std::to_string(seed));
        const auto below = [&rng](int n) {
            return static_cast<int>(rng() % static_cast<unsigned>(n));
        };
        // Line breaks only where the model takes texts in: players, results.
        const auto text = [&](int limit, bool lineBreaks = true) {
            const int length = below(3) == 0 ? limit : below(limit + 1);
            const int kinds = static_cast<int>(std::size(chars)) - (lineBreaks ? 0 : 1);
            std::string t;
            for (int i = 0; i < length; ++i)
                t += chars[below(kinds)];
            if (below(4) == 0 && !t.empty()) t += "{";
            return Utf8Cut(t, static_cast<std::size_t>(limit));
        };
        TempFolder scratch;
        FixedClock clock(static_cast<std::time_t>(seed) * 7919);
        Draw draw;
        if (below(2)) draw.SetDoubles();
        draw.SetHeading(text(60, false));
        for (int n = 1; n <= 5; ++n)
            draw.SetNote(n, below(2) ? text(60, false) : "");
        draw.SetEmailSubject(text(60, false));
        const int players = 2 + below(seed % 10 == 0 ? 799 : 40);
        for (int i = 1; i <= players; ++i) {
            Player p;
            const auto texts = PlayerTexts(p);
            for (std::size_t t = 0; t < texts.size(); ++t)
                *texts[t] = below(3) ? text(kPlayerTextLimits[t]) : "";
            p.lastName = std::to_string(i) + "#" + Utf8Cut(p.lastName, 25);
            Player partner = Named(text(30), text(30));
            ASSERT_EQ(draw.AddPlayer(p, draw.IsDoubles() && below(4) ? &partner : nullptr), rcOk);
        }
        const auto saveAndLoad = [&](int step) {
            const std::string dump = Dump(draw);
            ASSERT_TRUE(draw.Save(scratch.File("a.trn")));
            Draw loaded;
            ASSERT_EQ(loaded.Load(scratch.File("a.trn")), rcOk) << "step " << step;
            ASSERT_EQ(Dump(loaded), dump) << "step " << step;
            ASSERT_TRUE(loaded.Save(scratch.File("b.trn")));
            ASSERT_EQ(ReadFile(scratch.File("b.trn")), ReadFile(scratch.File("a.trn")));
        };
        for (int step = 0; step < 60; ++step) {
            const int op = below(10);
            if (draw.ResultCount() == 0 || op == 0) {
                // The create-draw and manual draw commands.
                if (below(2))
                    draw.SetOption(Draw::ByesToSeeded);
                else
                    draw.ClearOption(Draw::ByesToSeeded);
                draw.ClearManualMode();
                if (below(3) == 0) {
                    draw.ClearDraw();
                    ASSERT_EQ(draw.CreateEmptyDraw(), rcOk);
                    draw.EnterManualMode();
                } else {
                    ASSERT_EQ(draw.CreateDraw(below(players / 2 + 1)), rcOk);
                }
            } else if (op == 1 && !draw.IsManualMode() && draw.HasNoResults()) {
                draw.EnterManualMode();
            } else if (op == 2 && draw.IsManualMode() && draw.HasNoResults()) {
                std::string message;
                if (draw.CheckManualDraw(message) && draw.AdvanceByes() == rcOk)
                    draw.ClearManualMode();
            } else if (op <= 5 && draw.IsManualMode()) {
                const int a = below(players + 1);
                const int b = below(players + 1);
                draw.SetPairing(1, 1 + below(draw.MatchesInRound(1)), a, b == a ? 0 : b);
            } else if (op == 6) {
                draw.ClearDraw();
            } else {
                // In manual mode the result dialog pairs round 1 and keeps
                // texts only.
                const bool manual = draw.IsManualMode();
                const int round = manual ? 1 : 1 + below(draw.RoundCount());
                draw.EnterResult(round, 1 + below(draw.MatchesInRound(round)), text(30), text(30),
                                 text(30), manual ? 0 : below(3));
            }
            if (below(8) == 0) saveAndLoad(step);
        }
        saveAndLoad(60);
    }
}
