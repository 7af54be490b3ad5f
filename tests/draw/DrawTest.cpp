// The draw's model: players, match indexing, results and how winners move
// on, byes, the slot texts; and over seeded random sequences of results,
// the bracket that stays whole.
#include "tests/draw/DrawSupport.h"

#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Order(const Draw& draw) {
    std::vector<std::string> names;
    for (int n = 1; n <= draw.PlayerCount(); ++n)
        names.push_back(draw.Player(n)->firstName);
    return names;
}

// A draw of 8 players in list order, slot s holding player s, no byes.
void FillEight(BareDraw& draw) {
    AddPlayers(draw, 8);
    draw.MakeBracket(8);
    for (int m = 1; m <= 4; ++m) {
        draw.SetSlot(1, m, 1, 2 * m - 1);
        draw.SetSlot(1, m, 2, 2 * m);
    }
}

} // namespace

TEST(DrawPlayers, AddingRefusesTheLimitThenTheBracketThenTheNames) {
    BareDraw draw;
    EXPECT_EQ(draw.AddPlayer(Named(" ", "  "), nullptr), rcNoName);
    ASSERT_EQ(draw.AddPlayer(Named("Ann", "Baker"), nullptr), rcOk);
    EXPECT_EQ(draw.AddPlayer(Named("Ann", "Baker"), nullptr), rcDuplicateName);
    EXPECT_EQ(draw.AddPlayer(Named("Ann", "baker"), nullptr), rcOk) << "names compare exactly";
    EXPECT_EQ(draw.AddPlayer(Named("An\r\nn", "Bak\ner"), nullptr), rcDuplicateName)
        << "line breaks are dropped first";
    draw.MakeBracket(4);
    EXPECT_EQ(draw.AddPlayer(Named("", ""), nullptr), rcDrawExists);
    EXPECT_EQ(draw.DeletePlayer(1), rcDrawExists);
    draw.ClearResults(false);
    for (int i = draw.PlayerCount() + 1; i <= MaxPlayers; ++i)
        ASSERT_EQ(draw.AddPlayer(Named("P", std::to_string(i)), nullptr), rcOk);
    draw.MakeBracket(1024);
    EXPECT_EQ(draw.AddPlayer(Named("", ""), nullptr), rcPlayerLimit);
    EXPECT_EQ(draw.PlayerCount(), MaxPlayers);
}

TEST(DrawPlayers, APlayerGoesToTheWantedPlaceOrTheEndWithTheGivenPartnerOnly) {
    BareDraw draw;
    draw.SetDoubles();
    for (const char* name : {"A", "B", "C"})
        ASSERT_EQ(draw.AddPlayer(Named(name, "X"), nullptr), rcOk);
    Player first = Named("First", "X", 1);
    first.partner.Set(Named("Stale", "Record"));
    const Player partner = Named("Amy", "Cole");
    ASSERT_EQ(draw.AddPlayer(first, &partner), rcOk);
    ASSERT_EQ(draw.AddPlayer(Named("Fourth", "X", 4), nullptr), rcOk);
    ASSERT_EQ(draw.AddPlayer(Named("Past", "X", 6), nullptr), rcOk);
    first.firstName = "Own";
    first.points = 0;
    ASSERT_EQ(draw.AddPlayer(first, nullptr), rcOk);
    EXPECT_EQ(Order(draw),
              (std::vector<std::string>{"First", "A", "B", "Fourth", "C", "Past", "Own"}));
    EXPECT_EQ(draw.Player(1)->partner->firstName, "Amy");
    EXPECT_FALSE(draw.Player(7)->partner) << "the record's own partner is not taken";
    EXPECT_TRUE(draw.IsDoubles());
}

TEST(DrawState, ClearingAndManualModeFollowTheBracket) {
    BareDraw draw;
    draw.EnterManualMode();
    draw.ClearResults(false);
    EXPECT_TRUE(draw.IsManualMode()) << "nothing to clear without a bracket";
    EXPECT_FALSE(draw.IsModified());
    draw.MakeBracket(8);
    EXPECT_EQ(draw.ResultCount(), 7);
    EXPECT_EQ(draw.RoundCount(), 3);
    EXPECT_EQ(draw.CheckPlayersEditable(), rcDrawExists);
    draw.ClearResults(false);
    EXPECT_EQ(draw.ResultCount() + draw.RoundCount(), 0);
    EXPECT_EQ(draw.CheckPlayersEditable(), rcOk);
    EXPECT_FALSE(draw.IsManualMode());
    EXPECT_TRUE(draw.IsModified());

    // The seed count stored by manual mode, then the default again after a
    // reset: 16 to 23 players have 2 seeds.
    AddPlayers(draw, 16);
    draw.EnterManualMode();
    EXPECT_EQ(draw.SeedCount(), 0);
    draw.MakeBracket(2);
    draw.Reset();
    AddPlayers(draw, 16);
    EXPECT_EQ(draw.SeedCount(), 2);
    draw.Reset();
    EXPECT_EQ(draw.ResultCount(), 0);
    EXPECT_FALSE(draw.IsModified());
}

TEST(DrawIndex, RoundAndMatchGiveTheListIndex) {
    BareDraw draw;
    draw.MakeBracket(16);
    const int perRound[] = {8, 4, 2, 1, 0};
    for (int r = 1; r <= 5; ++r)
        EXPECT_EQ(draw.MatchesInRound(r), perRound[r - 1]) << "round " << r;
    struct Case {
        int round, match, index;
    };
    const Case cases[] = {{1, 1, 1},  {1, 8, 8},       {2, 1, 9},  {3, 2, 14},
                          {4, 1, 15}, {5, 1, 0},       {1, 0, 0},  {2, -9, 0},
                          {4, 2, 0},  {1000000, 1, 0}, {2, 5, 13}, {-1000000, 3, 3}};
    for (const Case& c : cases)
        EXPECT_EQ(draw.MatchIndex(c.round, c.match), c.index) << c.round << "/" << c.match;
    draw.At(15).winner = 7;
    EXPECT_EQ(draw.GetMatch(4, 1).winner, 7);
    EXPECT_EQ(draw.GetMatch(5, 1).winner, 0) << "outside the draw: an empty match";
    draw.ClearDraw();
    EXPECT_EQ(draw.MatchIndex(1, 1), 0);
}

TEST(DrawResults, WinnersMoveOnAndRefusalsChangeNothing) {
    BareDraw draw;
    FillEight(draw);
    // Round-1 match 3 feeds slot 1 of round-2 match 2, match 4 its slot 2,
    // and round-2 match 2 slot 2 of the final.
    ASSERT_EQ(draw.EnterResult(1, 3, "Sat 10:00", "Court 1", "6-2 6-3", 1), rcOk);
    ASSERT_EQ(draw.EnterResult(1, 4, "", "", "", 2), rcOk);
    EXPECT_EQ(draw.GetMatch(2, 2).first, 5);
    EXPECT_EQ(draw.GetMatch(2, 2).second, 8);
    ASSERT_EQ(draw.EnterResult(2, 2, "", "", "", 2), rcOk);
    EXPECT_EQ(draw.GetMatch(3, 1).second, 8);

    const std::vector<TResult> before = Matches(draw);
    EXPECT_EQ(draw.EnterResult(1, 4, "x", "y", "z", 1), rcNextRoundDecided);
    EXPECT_EQ(draw.EnterResult(1, 4, "x", "y", "z", 0), rcNextRoundDecided);
    EXPECT_EQ(draw.EnterResult(3, 1, "", "", "", 1), rcPreviousRoundOpen);
    EXPECT_EQ(draw.EnterResult(0, 1, "", "", "", 1), rcBadData);
    EXPECT_EQ(draw.EnterResult(2, 3, "", "", "", 1), rcBadData);
    EXPECT_EQ(draw.EnterResult(4, 1, "", "", "", 1), rcBadData);
    EXPECT_TRUE(SameMatches(Matches(draw), before));

    // The same winner again replaces only the texts.
    ASSERT_EQ(draw.EnterResult(1, 4, "Sun", "Court 2", "7-5", 2), rcOk);
    EXPECT_EQ(draw.GetMatch(1, 4).score, "7-5");
    EXPECT_EQ(draw.GetMatch(2, 2).second, 8);

    // Withdrawn, the winner leaves the next match.
    ASSERT_EQ(draw.EnterResult(2, 2, "", "", "", 0), rcOk);
    EXPECT_EQ(draw.GetMatch(3, 1).second, 0);
    ASSERT_EQ(draw.EnterResult(1, 3, "", "", "", 7), rcOk) << "any other winner is none";
    EXPECT_EQ(draw.GetMatch(1, 3).winner, 0);
    EXPECT_EQ(draw.GetMatch(2, 2).first, 0);

    // The final's winner is stored, and goes nowhere.
    for (int m = 1; m <= 4; ++m)
        ASSERT_EQ(draw.EnterResult(1, m, "", "", "", 1), rcOk);
    ASSERT_EQ(draw.EnterResult(2, 1, "", "", "", 1), rcOk);
    ASSERT_EQ(draw.EnterResult(2, 2, "", "", "", 2), rcOk);
    ASSERT_EQ(draw.EnterResult(3, 1, "", "", "", 2), rcOk);
    EXPECT_EQ(draw.GetMatch(3, 1).winner, 7);
    EXPECT_FALSE(draw.HasNoResults());
}

TEST(DrawResults, TextsAreKeptWithinTheirLimitsOnOneLine) {
    BareDraw draw;
    FillEight(draw);
    const std::string long30 = "é123456789012345678901234567890";
    ASSERT_EQ(draw.EnterResult(1, 1, long30, "Court\r\n 9" + long30, long30, 1), rcOk);
    const TResult m = draw.GetMatch(1, 1);
    EXPECT_EQ(m.dateTime, "é12345678901234567890123");
    EXPECT_EQ(m.location, "Court 9é1234567890123456");
    EXPECT_EQ(m.score, "é123456789012345678901234567");
}

TEST(DrawResults, AByeTakesTextsOnlyAndOnlyInManualMode) {
    BareDraw draw;
    FillEight(draw);
    draw.SetSlot(1, 2, 2, 0);
    EXPECT_EQ(draw.EnterResult(1, 2, "Sat", "", "", 0), rcByeRound);
    EXPECT_EQ(draw.EnterResult(1, 2, "", "", "", 1), rcByeRound);
    EXPECT_EQ(draw.GetMatch(1, 2).dateTime, "");
    draw.EnterManualMode();
    EXPECT_EQ(draw.EnterResult(1, 2, "Sat", "", "", 0), rcOk);
    EXPECT_EQ(draw.GetMatch(1, 2).dateTime, "Sat");
    EXPECT_EQ(draw.EnterResult(1, 2, "", "", "", 1), rcPreviousRoundOpen);
}

TEST(DrawResults, ByesAdvanceUntilARoundTwoMatchIsDecided) {
    BareDraw draw;
    FillEight(draw);
    draw.SetSlot(1, 1, 1, 0); // player 2 alone
    draw.SetSlot(1, 3, 1, 0); // match 3 empty
    draw.SetSlot(1, 3, 2, 0);
    draw.SetSlot(1, 4, 2, 0); // player 7 alone
    draw.MarkSaved();         // to see what the advance changes
    ASSERT_EQ(draw.AdvanceByes(), rcOk);
    EXPECT_TRUE(draw.IsModified());
    EXPECT_EQ(draw.GetMatch(1, 1).winner, 2);
    EXPECT_EQ(draw.GetMatch(2, 1).first, 2);
    EXPECT_EQ(draw.GetMatch(1, 3).winner, 0);
    EXPECT_EQ(draw.GetMatch(1, 4).winner, 7);
    EXPECT_EQ(draw.GetMatch(2, 2).second, 7);
    EXPECT_TRUE(draw.HasNoResults()) << "an advanced bye is no result";
    draw.MarkSaved();
    ASSERT_EQ(draw.AdvanceByes(), rcOk);
    EXPECT_FALSE(draw.IsModified()) << "nothing left to advance";

    // A decided round-2 match stops the advance there; what came before
    // stays advanced.
    draw.At(1).winner = 0;
    draw.At(5).first = 0;
    draw.At(6).winner = 5;
    draw.At(4).winner = 0;
    EXPECT_EQ(draw.AdvanceByes(), rcInternal);
    EXPECT_EQ(draw.GetMatch(1, 1).winner, 2);
    EXPECT_EQ(draw.GetMatch(1, 4).winner, 0);

    BareDraw two;
    AddPlayers(two, 2);
    two.MakeBracket(2);
    two.SetSlot(1, 1, 2, 2);
    ASSERT_EQ(two.AdvanceByes(), rcOk);
    EXPECT_EQ(two.GetMatch(1, 1).winner, 2) << "a draw of two advances into no round";
}

TEST(DrawSlotText, EachPlayerAsTheGridShowsIt) {
    BareDraw draw;
    draw.SetDoubles();
    const Player partner = Named("Amy", "Cole");
    ASSERT_EQ(draw.AddPlayer(Named("Ann", "Baker"), &partner), rcOk);
    ASSERT_EQ(draw.AddPlayer(Named("Bob", "Dunn"), nullptr), rcOk);
    ASSERT_EQ(draw.AddPlayer(Named("Cy", std::string(28, 'x')), &partner), rcOk);
    draw.MakeBracket(4);
    draw.At(1) = {1, 2, 2, "", "", ""};
    draw.At(2) = {3, 0, 3, "", "", ""};
    EXPECT_EQ(draw.SlotText(1, 1), "  1 Baker / Cole");
    EXPECT_EQ(draw.SlotText(2, 1), "  2 Dunn") << "a doubles player without a partner record";
    EXPECT_EQ(draw.SlotText(0, 1), "  2 Dunn");
    EXPECT_EQ(draw.SlotText(1, 2), "  3 " + std::string(28, 'x') + " /") << "30 characters";
    EXPECT_EQ(draw.SlotText(2, 2), "    BYE  ");
    EXPECT_EQ(draw.SlotText(1, 3), "       ") << "an empty slot past round 1";
    EXPECT_EQ(draw.SlotText(1, 0), "");
    EXPECT_EQ(draw.SlotText(1, 4), "");

    draw.SetSingles();
    draw.Player(2)->firstName = "";
    draw.Player(3)->lastName = std::string(29, 'y');
    EXPECT_EQ(draw.SlotText(1, 1), "  1 A Baker");
    EXPECT_EQ(draw.SlotText(2, 1), "  2 Dunn") << "no first name";
    EXPECT_EQ(draw.SlotText(1, 2), "  3 " + std::string(29, 'y')) << "a last name over 28";
    draw.Player(1)->firstName = "Élodie";
    EXPECT_EQ(draw.SlotText(1, 1), "  1 É Baker");

    BareDraw two;
    AddPlayers(two, 2);
    two.MakeBracket(2);
    EXPECT_EQ(two.SlotText(1, 1), "       ") << "a draw of two has no byes";
}

// Seeded random results on made draws: every accepted result keeps each
// later slot the winner of the match that feeds it, a withdrawal empties
// what it fed, and every refused entry changes nothing.
TEST(DrawResults, RandomEntriesKeepEveryNextSlotTheFeedingWinner) {
    for (unsigned seed = 1; seed <= 40; ++seed) {
        std::mt19937 rng(seed);
        Draw draw;
        const int players = 2 + static_cast<int>(rng() % (seed % 4 == 0 ? 799 : 40));
        SCOPED_TRACE("seed " + std::to_string(seed) + ", " + std::to_string(players) + " players");
        AddPlayers(draw, players);
        FixedClock clock(static_cast<std::time_t>(seed));
        ASSERT_EQ(draw.CreateDraw(static_cast<int>(rng() % (players / 2 + 1))), rcOk);
        const int rounds = draw.RoundCount();
        for (int step = 0; step < 400; ++step) {
            const int round = 1 + static_cast<int>(rng() % static_cast<unsigned>(rounds));
            const int match = 1 + static_cast<int>(rng() % draw.MatchesInRound(round));
            const int winner = static_cast<int>(rng() % 4); // 3: no one
            const std::vector<TResult> before = Matches(draw);
            const short code =
                draw.EnterResult(round, match, "d" + std::to_string(step), "", "", winner);
            const std::vector<TResult> after = Matches(draw);
            const TResult m = draw.GetMatch(round, match);
            if (code != rcOk) {
                ASSERT_TRUE(code == rcByeRound || code == rcPreviousRoundOpen ||
                            code == rcNextRoundDecided)
                    << code;
                ASSERT_TRUE(SameMatches(before, after)) << "step " << step;
                continue;
            }
            ASSERT_EQ(m.winner, winner == 1 ? m.first : winner == 2 ? m.second : 0);
            ASSERT_EQ(m.dateTime, "d" + std::to_string(step));
            for (int r = 1; r < rounds; ++r)
                for (int k = 1; k <= draw.MatchesInRound(r); ++k) {
                    const TResult next = draw.GetMatch(r + 1, (k + 1) / 2);
                    ASSERT_EQ(k % 2 == 1 ? next.first : next.second, draw.GetMatch(r, k).winner)
                        << "step " << step << ", round " << r << " match " << k;
                }
            if (m.winner == 0 && round < rounds) {
                const TResult next = draw.GetMatch(round + 1, (match + 1) / 2);
                ASSERT_EQ(match % 2 == 1 ? next.first : next.second, 0);
            }
        }
    }
}
