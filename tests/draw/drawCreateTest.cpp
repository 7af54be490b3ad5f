// Making draws. The automatic draw's properties hold for every player count
// from 2 to 800, with byes to the seeds on and off, under clock moments
// drawn from a seeded generator (each failure names its player count, seed
// count, option and clock): every seed count up to half the players for up
// to 64 players, and beyond that 0 to 3, 5, the default, the bye count, the
// most, one seed-group boundary in turn (a power of two, one less or one
// more, taken in turn as the player count grows) and one at random. Manual draws: seeded random
// pairings, the completeness check, and leaving manual mode.
#include "tests/draw/DrawSupport.h"

#include <algorithm>
#include <array>
#include <gtest/gtest.h>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

int Quarter(int slot, int size) {
    return ((slot - 1) * 4) / size;
}

// The slots of the seeds in placement order: seeds 1 and 2, then for each
// group the slots its j-th number goes to.
std::vector<int> SeedSlots(int seeds, int size) {
    std::vector<int> slots;
    if (seeds >= 1) slots.push_back(1);
    if (seeds >= 2) slots.push_back(size);
    for (int first = 3, step = size / 2; first <= seeds; first = 2 * first - 1, step /= 2)
        for (int j = 1; j <= std::min(seeds, 2 * first - 2) - first + 1; ++j)
            slots.push_back(j % 2 == 1 ? j * step : (j - 1) * step + 1);
    return slots;
}

// What is wrong with an automatic draw just made, or nothing.
std::string Fault(const Draw& draw, int players, int seeds, bool byesToSeeded) {
    std::ostringstream out;
    const int size = DrawSize(players);
    const int byes = size - players;
    if (size < players || size / 2 >= players || draw.ResultCount() != size - 1 ||
        (1 << draw.RoundCount()) != size || draw.MatchesInRound(1) != size / 2 ||
        draw.SeedCount() != seeds)
        return "size " + std::to_string(size) + ", matches " + std::to_string(draw.ResultCount()) +
               ", rounds " + std::to_string(draw.RoundCount());
    const std::vector<int> slot = FirstRoundSlots(draw);
    std::vector<int> placed(static_cast<std::size_t>(players) + 1, 0);
    std::vector<int> slotOf(static_cast<std::size_t>(players) + 1, 0);
    int empty = 0;
    std::array<int, 4> quarterByes{};
    for (int s = 1; s <= size; ++s) {
        const int p = slot[s];
        if (p < 0 || p > players)
            return "slot " + std::to_string(s) + " holds " + std::to_string(p);
        if (p == 0) {
            ++empty;
            ++quarterByes[Quarter(s, size)];
            if (slot[s % 2 == 1 ? s + 1 : s - 1] == 0)
                return "match of slot " + std::to_string(s) + " is empty";
            continue;
        }
        ++placed[p];
        slotOf[p] = s;
    }
    for (int p = 1; p <= players; ++p)
        if (placed[p] != 1)
            return "player " + std::to_string(p) + " placed " + std::to_string(placed[p]) +
                   " times";
    if (empty != byes) return std::to_string(empty) + " byes";

    // Seeds at their slots, a group's seeds over the group's slots.
    const std::vector<int> seedSlots = SeedSlots(seeds, size);
    for (int first = 1, last = std::min(seeds, 2); first <= seeds;
         first = last + 1, last = std::min(seeds, 2 * last)) {
        std::multiset<int> want(seedSlots.begin() + first - 1, seedSlots.begin() + last);
        std::multiset<int> have;
        for (int k = first; k <= last; ++k)
            have.insert(slotOf[k]);
        if (want != have) return "seeds " + std::to_string(first) + "-" + std::to_string(last);
    }
    if ((seeds >= 1 && slotOf[1] != 1) || (seeds >= 2 && slotOf[2] != size)) return "seeds 1, 2";
    if (seeds >= 2 && (slotOf[1] > size / 2) == (slotOf[2] > size / 2)) return "seeds 1, 2 halves";
    std::set<int> quarters;
    for (int k = 1; k <= std::min(seeds, 4); ++k)
        quarters.insert(Quarter(slotOf[k], size));
    if (static_cast<int>(quarters.size()) != std::min(seeds, 4)) return "seeds 1-4 quarters";

    // The byes: to the seeds in placement order, or none of theirs, and the
    // others in slot 2 unless a seed holds it. The seeds' byes may fill a
    // quarter past its share; the others go only where it is not reached.
    const auto byeBeside = [&](int s) { return slot[s % 2 == 1 ? s + 1 : s - 1] == 0; };
    std::array<int, 4> seedByes{};
    for (std::size_t i = 0; i < seedSlots.size(); ++i) {
        if (byesToSeeded && byeBeside(seedSlots[i]) != (static_cast<int>(i) < byes))
            return "seed position " + std::to_string(i + 1) +
                   (byeBeside(seedSlots[i]) ? "" : " no") + " bye";
        if (byesToSeeded && byeBeside(seedSlots[i])) ++seedByes[Quarter(seedSlots[i], size)];
    }
    for (int s = 1; s <= size; s += 2)
        if (slot[s] == 0 && (slot[s + 1] > seeds || slot[s + 1] == 0))
            return "bye in slot 1 of match " + std::to_string(s / 2 + 1);
    for (int q = 0; q < 4; ++q)
        if (quarterByes[q] > std::max((byes + 3) / 4, seedByes[q]))
            return "quarter " + std::to_string(q) + " holds " + std::to_string(quarterByes[q]) +
                   " of " + std::to_string(byes) + " byes";

    // Advanced: each bye's player won it and stands in round 2, and nothing
    // else is decided.
    for (int r = 1; r <= draw.RoundCount(); ++r)
        for (int m = 1; m <= draw.MatchesInRound(r); ++m) {
            const TResult match = draw.GetMatch(r, m);
            const bool bye = r == 1 && (match.first == 0 || match.second == 0);
            const int winner = bye ? match.first + match.second : 0;
            if (match.winner != winner || !match.dateTime.empty() || !match.location.empty() ||
                !match.score.empty())
                return "round " + std::to_string(r) + " match " + std::to_string(m) + " decided";
            if (r >= 2) {
                const TResult upper = draw.GetMatch(r - 1, 2 * m - 1);
                const TResult lower = draw.GetMatch(r - 1, 2 * m);
                if (match.first != upper.winner || match.second != lower.winner)
                    return "round " + std::to_string(r) + " match " + std::to_string(m) +
                           " holds " + std::to_string(match.first) + "/" +
                           std::to_string(match.second);
            }
        }
    return out.str();
}

// The seed counts tried for a player count.
std::vector<int> SeedCounts(int players, std::mt19937& rng) {
    const int most = players / 2;
    std::vector<int> counts;
    if (players <= 64) {
        for (int s = 0; s <= most; ++s)
            counts.push_back(s);
        return counts;
    }
    // One seed-group boundary in turn: a power of two, one less or one more.
    std::vector<int> boundaries;
    for (int power = 4; power <= most; power *= 2)
        boundaries.insert(boundaries.end(), {power - 1, power, power + 1});
    const int byes = DrawSize(players) - players;
    counts = {0,
              1,
              2,
              3,
              5,
              most,
              byes,
              DrawSize(players / 8) > 1 ? DrawSize(players / 8) : 0,
              boundaries[static_cast<std::size_t>(players) % boundaries.size()],
              static_cast<int>(rng() % static_cast<unsigned>(most + 1))};
    std::erase_if(counts, [most](int s) { return s < 0 || s > most; });
    std::sort(counts.begin(), counts.end());
    counts.erase(std::unique(counts.begin(), counts.end()), counts.end());
    return counts;
}

} // namespace

TEST(DrawCreation, SizeAndDefaultSeedsFollowThePlayerCount) {
    const std::pair<int, int> sizes[] = {{-3, 1},    {0, 1},      {1, 1},     {2, 2},
                                         {3, 4},     {5, 8},      {8, 8},     {9, 16},
                                         {512, 512}, {513, 1024}, {800, 1024}};
    for (const auto& [n, size] : sizes)
        EXPECT_EQ(DrawSize(n), size) << n;
    const std::pair<int, int> seeds[] = {{15, 0},   {16, 2},   {23, 2},   {24, 4},    {39, 4},
                                         {40, 8},   {71, 8},   {72, 16},  {135, 16},  {136, 32},
                                         {263, 32}, {264, 64}, {519, 64}, {520, 128}, {800, 128}};
    Draw draw;
    for (const auto& [players, count] : seeds) {
        AddPlayers(draw, players);
        EXPECT_EQ(draw.DefaultSeedCount(), count) << players << " players";
        EXPECT_EQ(draw.SeedCount(), count) << "the default while none is stored";
    }
}

TEST(DrawCreation, EveryPlayerCountAndSeedCountGivesAWholeDraw) {
    std::mt19937 rng(2010);
    Draw draw;
    for (int players = 2; players <= MaxPlayers; ++players) {
        AddPlayers(draw, players);
        for (const int seeds : SeedCounts(players, rng))
            for (const bool byesToSeeded : {false, true}) {
                const std::time_t moment = static_cast<std::time_t>(rng());
                FixedClock clock(moment);
                if (byesToSeeded)
                    draw.SetOption(Draw::ByesToSeeded);
                else
                    draw.ClearOption(Draw::ByesToSeeded);
                draw.ClearDraw();
                const short code = draw.CreateDraw(seeds);
                const std::string fault = code != rcOk ? "code " + std::to_string(code)
                                                       : Fault(draw, players, seeds, byesToSeeded);
                if (!fault.empty()) {
                    ADD_FAILURE() << players << " players, " << seeds << " seeds, byes to seeds "
                                  << byesToSeeded << ", clock " << moment << ": " << fault;
                    return;
                }
            }
        // Players can join only while no draw stands.
        draw.ClearDraw();
    }
}

TEST(DrawCreation, TheSameClockGivesTheSameDraw) {
    std::mt19937 rng(77);
    for (int trial = 0; trial < 60; ++trial) {
        const int players = 2 + static_cast<int>(rng() % (MaxPlayers - 1));
        const int seeds = static_cast<int>(rng() % static_cast<unsigned>(players / 2 + 1));
        const std::time_t moment = static_cast<std::time_t>(rng());
        SCOPED_TRACE(std::to_string(players) + " players, " + std::to_string(seeds) +
                     " seeds, clock " + std::to_string(moment));
        Draw one, two;
        AddPlayers(one, players);
        AddPlayers(two, players);
        FixedClock clock(moment);
        ASSERT_EQ(one.CreateDraw(seeds), rcOk);
        ASSERT_EQ(two.CreateDraw(seeds), rcOk);
        EXPECT_TRUE(SameMatches(Matches(one), Matches(two)));
    }
    // Another second, another draw.
    Draw draw;
    AddPlayers(draw, 100);
    std::set<std::vector<int>> draws;
    for (std::time_t moment = 1000; moment < 1010; ++moment) {
        FixedClock clock(moment);
        draw.ClearDraw();
        ASSERT_EQ(draw.CreateDraw(4), rcOk);
        draws.insert(FirstRoundSlots(draw));
    }
    EXPECT_EQ(draws.size(), 10u);
}

TEST(DrawCreation, TwelvePlayersWithFourSeedsHaveAByeBesideEachSeed) {
    FixedClock clock(1'000'000);
    Draw twelve;
    AddPlayers(twelve, 12);
    twelve.SetOption(Draw::ByesToSeeded);
    ASSERT_EQ(twelve.CreateDraw(4), rcOk);
    std::vector<int> byes;
    const std::vector<int> slot = FirstRoundSlots(twelve);
    for (int s = 1; s <= 16; ++s)
        if (slot[s] == 0) byes.push_back(s);
    EXPECT_EQ(byes, (std::vector<int>{2, 7, 10, 15}));
    EXPECT_EQ(std::set<int>({slot[8], slot[9]}), (std::set<int>{3, 4}));
    EXPECT_TRUE(twelve.IsModified());
}

TEST(DrawCreation, AFailedDrawLeavesNoneAndARefusedOneChangesNothing) {
    BareDraw draw;
    AddPlayers(draw, 16);
    EXPECT_EQ(draw.CreateDraw(9), rcBadData) << "more seeds than half the players";
    EXPECT_EQ(draw.CreateDraw(-1), rcBadData);
    EXPECT_EQ(draw.ResultCount(), 0);
    EXPECT_EQ(draw.SeedCount(), 2) << "nothing stored: the default";

    // No players: the only bye finds no match to go to.
    BareDraw none;
    none.MakeBracket(8);
    none.MarkSaved();
    EXPECT_EQ(none.CreateDraw(0), rcInternal);
    EXPECT_EQ(none.ResultCount(), 0);
    EXPECT_EQ(none.RoundCount(), 0);
    EXPECT_TRUE(none.IsModified()) << "the old draw went";
}

TEST(ManualDraw, TheCheckNamesTheFirstEmptyMatchThenTheMissingPlayers) {
    Draw draw;
    AddPlayers(draw, 8);
    ASSERT_EQ(draw.CreateEmptyDraw(), rcOk);
    draw.EnterManualMode();
    EXPECT_EQ(draw.ResultCount(), 7);
    ASSERT_EQ(draw.SetPairing(1, 1, 1, 2), rcOk);
    ASSERT_EQ(draw.SetPairing(1, 4, 8, 0), rcOk);
    std::string message;
    EXPECT_FALSE(draw.CheckManualDraw(message));
    EXPECT_EQ(message, "There are no participants for match #2");
    ASSERT_EQ(draw.SetPairing(1, 2, 4, 0), rcOk);
    ASSERT_EQ(draw.SetPairing(1, 3, 0, 5), rcOk);
    ASSERT_EQ(draw.SetPairing(1, 1, 6, 1), rcOk);
    EXPECT_FALSE(draw.CheckManualDraw(message));
    EXPECT_EQ(message, "All players must be included in the draw before exiting manual mode.  "
                       "The following players are missing:  2-L2, 3-L3, 7-L7");
    EXPECT_EQ(draw.SetPairing(1, 5, 2, 3), rcBadData) << "no such match";
    EXPECT_EQ(draw.SetPairing(1, 2, 9, 0), rcBadData) << "no such player";
    EXPECT_EQ(draw.GetMatch(1, 2).first, 4);
}

// Seeded random pairings on empty and on automatic draws: no player ever
// stands twice in round 1; the check passes exactly when the draw is
// complete; leaving manual mode then advances the byes and decides nothing
// else.
TEST(ManualDraw, RandomPairingsKeepEachPlayerOnceAndTheCheckMatchesCompleteness) {
    for (unsigned seed = 1; seed <= 60; ++seed) {
        std::mt19937 rng(seed);
        const int players = 2 + static_cast<int>(rng() % (seed % 6 == 0 ? 799 : 30));
        SCOPED_TRACE("seed " + std::to_string(seed) + ", " + std::to_string(players) + " players");
        Draw draw;
        AddPlayers(draw, players);
        FixedClock clock(static_cast<std::time_t>(seed));
        ASSERT_EQ(seed % 2 ? draw.CreateEmptyDraw() : draw.CreateDraw(players / 4), rcOk);
        draw.EnterManualMode();
        const int matches = draw.MatchesInRound(1);
        const auto randomPlayer = [&] { return static_cast<int>(rng() % (players + 1)); };
        const auto checkAgrees = [&] {
            const std::vector<int> slot = FirstRoundSlots(draw);
            std::vector<int> seen(static_cast<std::size_t>(players) + 1, 0);
            bool complete = true;
            for (int s = 1; s < static_cast<int>(slot.size()); ++s)
                if (slot[s] != 0 && ++seen[slot[s]] > 1)
                    return ::testing::AssertionFailure() << "player " << slot[s] << " twice";
            for (int m = 1; m <= matches; ++m)
                complete = complete && (slot[2 * m - 1] != 0 || slot[2 * m] != 0);
            for (int p = 1; p <= players; ++p)
                complete = complete && seen[p] == 1;
            std::string message;
            if (draw.CheckManualDraw(message) != complete)
                return ::testing::AssertionFailure() << "complete " << complete << ": " << message;
            return ::testing::AssertionSuccess();
        };
        for (int step = 0; step < 3 * matches; ++step) {
            const int a = randomPlayer();
            int b = randomPlayer();
            if (b == a && a != 0) b = 0;
            ASSERT_EQ(draw.SetPairing(1, 1 + static_cast<int>(rng() % matches), a, b), rcOk);
            ASSERT_TRUE(checkAgrees()) << "step " << step;
        }
        // Complete it: each missing player into a free slot, then the
        // matches left empty get a player from a full match.
        std::vector<int> slot = FirstRoundSlots(draw);
        for (int p = 1; p <= players; ++p) {
            if (std::find(slot.begin() + 1, slot.end(), p) != slot.end()) continue;
            const auto free = std::find(slot.begin() + 1, slot.end(), 0);
            ASSERT_NE(free, slot.end());
            const int s = static_cast<int>(free - slot.begin());
            const int m = (s + 1) / 2;
            ASSERT_EQ(draw.SetPairing(1, m, s % 2 ? p : slot[s - 1], s % 2 ? slot[s + 1] : p),
                      rcOk);
            slot = FirstRoundSlots(draw);
            ASSERT_TRUE(checkAgrees());
        }
        for (int m = 1; m <= matches; ++m) {
            if (slot[2 * m - 1] != 0 || slot[2 * m] != 0) continue;
            int full = 1;
            while (slot[2 * full - 1] == 0 || slot[2 * full] == 0)
                ++full;
            const int moved = slot[2 * full];
            ASSERT_EQ(draw.SetPairing(1, full, slot[2 * full - 1], 0), rcOk);
            ASSERT_EQ(draw.SetPairing(1, m, moved, 0), rcOk);
            slot = FirstRoundSlots(draw);
        }
        std::string message;
        ASSERT_TRUE(draw.CheckManualDraw(message)) << message;
        ASSERT_TRUE(draw.HasNoResults());
        ASSERT_EQ(draw.AdvanceByes(), rcOk);
        draw.ClearManualMode();
        for (int r = 1; r <= draw.RoundCount(); ++r)
            for (int m = 1; m <= draw.MatchesInRound(r); ++m) {
                const TResult match = draw.GetMatch(r, m);
                const bool bye = r == 1 && (match.first == 0) != (match.second == 0);
                ASSERT_EQ(match.winner, bye ? match.first + match.second : 0)
                    << "round " << r << " match " << m;
                if (r == 2) {
                    ASSERT_EQ(match.first, draw.GetMatch(1, 2 * m - 1).winner) << "match " << m;
                    ASSERT_EQ(match.second, draw.GetMatch(1, 2 * m).winner) << "match " << m;
                }
            }
    }
}
