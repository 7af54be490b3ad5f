// The round-robin and league generators: for every size each accepts, full
// and partial, the pattern's properties hold once the random relabelling is
// undone through the trace; the sizes refused give their codes.
#include "unified/schedule/RoundRobin.h"
#include "tests/support/Players.h"
#include "unified/schedule/Matches.h"

#include "platform/Clock.h"

#include <algorithm>
#include <array>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

using Box = std::array<int, 4>;
// grid[r][c], rounds and courts 1-based.
using Grid = std::vector<std::vector<Box>>;
// Times each pair of numbers was seen, (a, b) with a < b unless ordered.
using Counts = std::map<std::pair<int, int>, int>;

struct PlanRun {
    int n;
    int rounds; // the plan's
    int courts;
    int type;
    unsigned seed;
    bool partial = false;
    std::string genders = ""; // player i's at i - 1, blank past the end
};

std::string Describe(const PlanRun& run) {
    return std::to_string(run.n) + " players, " + std::to_string(run.courts) + " courts, " +
           std::to_string(run.rounds) + " rounds, type " + std::to_string(run.type) + ", seed " +
           std::to_string(run.seed) + ", genders '" + run.genders + "'";
}

std::unique_ptr<Matches> PlanOf(int n, const std::string& genders = "") {
    auto plan = std::make_unique<Matches>();
    for (int i = 1; i <= n; ++i) {
        Player p = Named("F" + std::to_string(i), "L" + std::to_string(i));
        p.gender = i <= static_cast<int>(genders.size()) ? genders[i - 1] : ' ';
        EXPECT_EQ(plan->AddPlayer(p, nullptr), rcOk);
    }
    return plan;
}

void Shape(Matches& plan, int courts, char type, int rounds, int scheduleType) {
    std::string notations[100];
    ASSERT_TRUE(plan.SetCourts(courts, type));
    ASSERT_TRUE(plan.SetRounds(rounds, notations));
    plan.SetScheduleType(scheduleType);
    // Left from a mixer run: the generators must write their boxes all the same.
    plan.SetOptions(StrictlyMixed);
}

// The generator run on a new plan of the run's shape, the relabelling fixed
// by the seed through the clock.
std::unique_ptr<Matches> Generate(const PlanRun& run, char courtType, short (*make)(Matches&)) {
    auto plan = PlanOf(run.n, run.genders);
    Shape(*plan, run.courts, courtType, run.rounds, run.type);
    SetFixedClock(static_cast<std::time_t>(run.seed));
    EXPECT_EQ(make(*plan), rcOk);
    ClearFixedClock();
    return plan;
}

// A full run and a partial one per size, the partial rounds and one court
// more or not drawn from the seed.
std::vector<PlanRun> Runs(const std::vector<int>& sizes, int (*fullRounds)(int),
                          int (*leastCourts)(int), int fullType, int partialType, unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<PlanRun> runs;
    for (const int n : sizes) {
        const int full = fullRounds(n);
        const unsigned first = static_cast<unsigned>(rng());
        std::mt19937 draw(first);
        runs.push_back({n, full, leastCourts(n) + static_cast<int>(draw() % 2), fullType, first});
        const unsigned second = static_cast<unsigned>(rng());
        draw.seed(second);
        const int partial =
            1 + static_cast<int>(draw() % static_cast<unsigned>(std::min(full, 99)));
        runs.push_back(
            {n, partial, leastCourts(n) + static_cast<int>(draw() % 2), partialType, second, true});
    }
    return runs;
}

std::vector<int> Sizes(int from, int to, int step) {
    std::vector<int> sizes;
    for (int n = from; n <= to; n += step)
        sizes.push_back(n);
    return sizes;
}

Grid Read(const Matches& plan) {
    Grid grid(static_cast<std::size_t>(plan.RoundCount()) + 1,
              std::vector<Box>(static_cast<std::size_t>(plan.CourtCount()) + 1));
    for (int r = 1; r <= plan.RoundCount(); ++r)
        for (int c = 1; c <= plan.CourtCount(); ++c)
            for (int p = 1; p <= 4; ++p)
                grid[r][c][p - 1] = plan.GetSlot(r, c, p);
    return grid;
}

// The order a shuffle listed under its heading, order[i] being i's image;
// the images must be a permutation of 1..count.
std::vector<int> TracedOrder(const Matches& plan, const std::string& heading, int count) {
    const std::vector<std::string>& trace = plan.TraceList();
    std::vector<int> order(static_cast<std::size_t>(count) + 1, 0);
    const auto at = std::find(trace.begin(), trace.end(), heading) - trace.begin();
    if (at + count + 1 >= static_cast<long>(trace.size())) {
        ADD_FAILURE() << "no complete " << heading << " in the trace";
        return order;
    }
    std::set<int> images;
    for (int i = 1; i <= count; ++i) {
        const std::string& line = trace[at + i];
        const std::string prefix = std::to_string(i) + "->";
        EXPECT_EQ(line.rfind(prefix, 0), 0u) << line;
        order[i] = std::stoi(line.substr(prefix.size()));
        EXPECT_TRUE(order[i] >= 1 && order[i] <= count && images.insert(order[i]).second) << line;
    }
    EXPECT_EQ(trace[at + count + 1], " +++ ");
    return order;
}

// The grid with every player replaced by the number the pattern wrote.
Grid Undone(const Matches& plan, const std::vector<int>& back) {
    Grid grid = Read(plan);
    for (auto& round : grid)
        for (Box& box : round)
            for (int& x : box)
                if (x > 0) x = x < static_cast<int>(back.size()) ? back[x] : -1;
    return grid;
}

Grid UndoShufflePlayers(const Matches& plan) {
    const int n = plan.PlayerCount();
    const std::vector<int> order = TracedOrder(plan, "randomizePlayers:", n);
    std::vector<int> back(static_cast<std::size_t>(n) + 1, 0);
    for (int i = 1; i <= n; ++i)
        back[order[i]] = i;
    return Undone(plan, back);
}

// Players back to couples' places, 2k - 1 the man's and 2k the woman's.
// With a man and a woman for every couple the image(k)-th man and woman in
// list order took couple k's places; otherwise the places stay numbers.
Grid UndoShuffleCouples(const Matches& plan) {
    const int n = plan.PlayerCount();
    const std::vector<int> order = TracedOrder(plan, "gRandomizePlayers:", n / 2);
    std::vector<int> men, women;
    for (int i = 1; i <= n; ++i)
        (plan.Player(i)->gender == 'M' ? men : women).push_back(i);
    const bool gendered = static_cast<int>(men.size()) * 2 == n &&
                          std::all_of(women.begin(), women.end(),
                                      [&](int i) { return plan.Player(i)->gender == 'F'; });
    std::vector<int> back(static_cast<std::size_t>(n) + 1, 0);
    for (int k = 1; k <= n / 2; ++k) {
        const int image = order[k];
        if (image < 1) continue; // the trace check has failed already
        back[gendered ? men[image - 1] : 2 * image - 1] = 2 * k - 1;
        back[gendered ? women[image - 1] : 2 * image] = 2 * k;
    }
    return Undone(plan, back);
}

int Filled(const Box& box) {
    return (box[0] != 0) + (box[1] != 0) + (box[2] != 0) + (box[3] != 0);
}

// No player twice in a round, no number outside 1..n, nothing past the
// rounds written, and the players seated in each round written.
void ExpectRounds(const Grid& grid, int n, int written, int seated) {
    for (std::size_t r = 1; r < grid.size(); ++r) {
        std::set<int> seen;
        for (std::size_t c = 1; c < grid[r].size(); ++c)
            for (int x : grid[r][c]) {
                if (x == 0) continue;
                EXPECT_TRUE(x >= 1 && x <= n) << "round " << r << " court " << c << ": " << x;
                EXPECT_TRUE(seen.insert(x).second) << "player " << x << " twice in round " << r;
            }
        const int expected = static_cast<int>(r) <= written ? seated : 0;
        if (seated >= 0) {
            EXPECT_EQ(static_cast<int>(seen.size()), expected) << "round " << r;
        }
    }
}

void Add(Counts& counts, int a, int b, bool ordered = false) {
    ++counts[ordered || a < b ? std::make_pair(a, b) : std::make_pair(b, a)];
}

// Every pair of 1..n seen `full` times, or at most that in a partial plan.
void ExpectEachPair(const Counts& counts, int n, int full, bool partial, const char* what,
                    bool ordered = false) {
    for (int a = 1; a <= n; ++a)
        for (int b = ordered ? 1 : a + 1; b <= n; ++b) {
            if (a == b) continue;
            const auto found = counts.find({a, b});
            const int count = found == counts.end() ? 0 : found->second;
            EXPECT_TRUE(partial ? count <= full : count == full)
                << what << " " << a << "-" << b << ": " << count;
        }
}

} // namespace

TEST(RoundRobin, SinglesEveryPairMeetsOnceAndOddCountsRestOnce) {
    const auto full = [](int n) { return n % 2 == 0 ? n - 1 : n; };
    for (const PlanRun& run : Runs(
             Sizes(2, 100, 1), full, [](int n) { return n / 2; }, 200, 210, 2121)) {
        SCOPED_TRACE(Describe(run));
        const int n = run.n;
        auto plan = Generate(run, 'S', MakeSinglesRoundRobin);
        const int written = std::min(full(n), run.rounds);
        EXPECT_EQ(plan->BaseRounds(), written);
        const Grid grid = UndoShufflePlayers(*plan);
        ExpectRounds(grid, n, written, n / 2 * 2);
        Counts met;
        std::vector<int> played(static_cast<std::size_t>(n) + 1, 0);
        for (int r = 1; r <= written; ++r)
            for (int c = 1; c <= run.courts; ++c) {
                const Box& box = grid[r][c];
                if (Filled(box) == 0) continue;
                EXPECT_TRUE(box[0] != 0 && box[1] == 0 && box[2] != 0 && box[3] == 0)
                    << "round " << r << " court " << c;
                Add(met, box[0], box[2]);
                ++played[box[0]];
                ++played[box[2]];
                EXPECT_FALSE(n % 2 != 0 && r == 1 && (box[0] == 1 || box[2] == 1))
                    << "1 rests first";
            }
        ExpectEachPair(met, n, 1, run.partial, "pair");
        for (int i = 1; i <= n && !run.partial; ++i)
            EXPECT_EQ(played[i], n - 1) << "player " << i; // an odd count rests once
    }
}

TEST(RoundRobin, DoublesPartnersOnceAndOpponentsTwice) {
    for (const PlanRun& run : Runs(
             Sizes(4, 24, 4), [](int n) { return n - 1; }, [](int n) { return n / 4; }, 300, 310,
             300)) {
        SCOPED_TRACE(Describe(run));
        const int n = run.n;
        auto plan = Generate(run, 'D', MakeDoublesRoundRobin);
        const int written = std::min(n - 1, run.rounds);
        EXPECT_EQ(plan->BaseRounds(), written);
        const Grid grid = UndoShufflePlayers(*plan);
        ExpectRounds(grid, n, written, n);
        Counts partners, opponents;
        for (int r = 1; r <= written; ++r)
            for (int c = 1; c <= run.courts; ++c) {
                const Box& box = grid[r][c];
                EXPECT_TRUE(Filled(box) == 0 || Filled(box) == 4)
                    << "round " << r << " court " << c;
                if (Filled(box) != 4) continue;
                Add(partners, box[0], box[1]);
                Add(partners, box[2], box[3]);
                for (int a : {box[0], box[1]})
                    for (int b : {box[2], box[3]})
                        Add(opponents, a, b);
            }
        ExpectEachPair(partners, n, 1, run.partial, "partners");
        ExpectEachPair(opponents, n, 2, run.partial, "opponents");
    }
}

TEST(RoundRobin, FixedPartnerTeamsStayTogetherAndMeetOnce) {
    const auto full = [](int n) { return n / 2 % 2 == 0 ? n / 2 - 1 : n / 2; };
    for (const PlanRun& run : Runs(
             Sizes(4, 100, 2), full, [](int n) { return n / 4; }, 350, 360, 350)) {
        SCOPED_TRACE(Describe(run));
        const int n = run.n;
        auto plan = Generate(run, 'D', MakeFixedPartnerRoundRobin);
        const int written = std::min(full(n), run.rounds);
        EXPECT_EQ(plan->BaseRounds(), written);
        const Grid grid = Read(*plan);
        ExpectRounds(grid, n, written, n / 4 * 4);
        Counts met;
        for (int r = 1; r <= written; ++r)
            for (int c = 1; c <= run.courts; ++c) {
                const Box& box = grid[r][c];
                // Team k is players 2k - 1 and 2k, on one side, on courts up to n / 4.
                EXPECT_TRUE(Filled(box) == 0 ||
                            (c <= n / 4 && box[0] % 2 == 1 && box[1] == box[0] + 1 &&
                             box[2] % 2 == 1 && box[3] == box[2] + 1))
                    << "round " << r << " court " << c;
                if (Filled(box) != 0) Add(met, box[1] / 2, box[3] / 2);
            }
        ExpectEachPair(met, n / 2, 1, run.partial, "teams");
    }
}

TEST(RoundRobin, MixedSidesAreAManAndAWomanAndNoSpousesMeet) {
    // Genders: none, a man and a woman for every couple in a random list
    // order, and counts that differ (the places then stay numbers).
    std::mt19937 rng(400);
    const auto full = [](int n) { return n % 4 == 0 ? n / 2 - 1 : n / 2; };
    std::vector<PlanRun> runs = Runs(
        Sizes(4, 24, 2), full, [](int n) { return n / 4; }, 400, 410, 410);
    for (const PlanRun& run : Runs(
             Sizes(4, 24, 2), full, [](int n) { return n / 4; }, 420, 420, 420))
        if (!run.partial)
            runs.push_back(
                {run.n, run.rounds + (run.n % 4 == 0 ? 1 : 2), run.courts, 420, run.seed});
    for (std::size_t i = 0, count = runs.size(); i < count; ++i)
        for (int kind = 1; kind <= 2; ++kind) {
            PlanRun run = runs[i];
            run.genders = std::string(static_cast<std::size_t>(run.n / 2), 'M');
            run.genders += std::string(static_cast<std::size_t>(run.n / 2), kind == 1 ? 'F' : 'M');
            if (kind == 2) run.genders[rng() % run.genders.size()] = 'F';
            std::shuffle(run.genders.begin(), run.genders.end(), rng);
            runs.push_back(run);
        }
    for (const PlanRun& run : runs) {
        SCOPED_TRACE(Describe(run));
        const int n = run.n;
        auto plan = Generate(run, 'D', MakeMixedDoublesRoundRobin);
        const int pattern = std::min(full(n), run.rounds);
        EXPECT_EQ(plan->BaseRounds(), pattern);
        const Grid grid = UndoShuffleCouples(*plan);
        ExpectRounds(grid, n, run.rounds, -1);
        // With a man and a woman for every couple, men take the men's places.
        if (std::count(run.genders.begin(), run.genders.end(), 'M') * 2 == n)
            for (int r = 1; r <= run.rounds; ++r)
                for (int c = 1; c <= run.courts; ++c)
                    for (int p = 1; p <= 4; ++p)
                        if (const int real = plan->GetSlot(r, c, p); real != 0) {
                            EXPECT_EQ(grid[r][c][p - 1] % 2 == 1 ? 'M' : 'F',
                                      plan->Player(real)->gender)
                                << "player " << real << " in round " << r;
                        }
        const bool samdrr = n != 6 && n != 12 && n != 20;
        Counts partnered; // (man's couple, woman's couple)
        for (int r = 1; r <= pattern; ++r) {
            int seated = 0;
            for (int c = 1; c <= run.courts; ++c) {
                const Box& box = grid[r][c];
                seated += Filled(box);
                if (Filled(box) == 0) continue;
                EXPECT_LE(c, n / 4) << "round " << r;
                std::set<int> couples;
                for (int side = 0; side < 4; side += 2) {
                    const int man = box[side] % 2 == 1 ? box[side] : box[side + 1];
                    const int woman = box[side] % 2 == 1 ? box[side + 1] : box[side];
                    EXPECT_TRUE(man % 2 == 1 && woman > 0 && woman % 2 == 0)
                        << "round " << r << " court " << c << " side " << side / 2 + 1;
                    Add(partnered, (man + 1) / 2, woman / 2, true);
                    couples.insert({(man + 1) / 2, woman / 2});
                }
                EXPECT_TRUE(!samdrr || n == 4 || couples.size() == 4u) << "spouses, round " << r;
            }
            EXPECT_EQ(seated, n / 4 * 4) << "round " << r;
        }
        if (samdrr) {
            for (int k = 1; k <= n / 2; ++k)
                EXPECT_EQ(partnered.count({k, k}), 0u) << "man " << k << " partners his wife";
            ExpectEachPair(partnered, n / 2, 1, run.partial, "man and woman", true);
        }
        // Extended: couples together, then the couple left over against itself.
        for (int r = pattern + 1; r <= run.rounds; ++r)
            for (int j = 1; j <= n / 4; ++j)
                EXPECT_EQ(grid[r][j], r == pattern + 1
                                          ? (Box{4 * j - 3, 4 * j - 2, 4 * j - 1, 4 * j})
                                          : (j == 1 ? Box{n - 1, 0, n, 0} : Box{}))
                    << "round " << r;
    }
}

TEST(RoundRobin, LeagueEveryOrderedPairOnceAtHome) {
    const auto full = [](int n) { return n % 2 == 0 ? 2 * (n - 1) : 2 * n; };
    std::vector<PlanRun> runs = Runs(
        Sizes(2, 50, 1), full, [](int n) { return n; }, 500, 510, 500);
    // Past 50 players only part of a league fits the grid.
    for (const int n : {51, 60, 99, 100, 255})
        runs.push_back({n, 99, n, 510, 0, true});
    for (const PlanRun& run : runs) {
        SCOPED_TRACE(Describe(run));
        const int n = run.n;
        auto plan = Generate(run, 'S', MakeLeagueSchedule);
        EXPECT_EQ(plan->BaseRounds(), std::min(full(n), run.rounds));
        const Grid grid = Read(*plan);
        ExpectRounds(grid, n, run.rounds, n / 2 * 2);
        Counts hosted;
        for (int r = 1; r <= run.rounds; ++r)
            for (int c = 1; c <= run.courts; ++c) {
                const Box& box = grid[r][c];
                EXPECT_TRUE(Filled(box) == 0 ||
                            (box[0] == c && box[1] == 0 && box[2] != 0 && box[3] == 0))
                    << "round " << r << " court " << c;
                if (Filled(box) != 0) Add(hosted, box[0], box[2], true);
            }
        ExpectEachPair(hosted, n, 1, run.partial, "at home", true);
    }
}

TEST(RoundRobin, FourPlayerLeagueAndSixPlayerMixedTableAsTheyStand) {
    auto league = Generate({4, 6, 4, 500, 0}, 'S', MakeLeagueSchedule);
    const int homeAway[6][2][2] = {{{4, 1}, {3, 2}}, {{2, 4}, {1, 3}}, {{3, 4}, {2, 1}},
                                   {{1, 4}, {2, 3}}, {{4, 2}, {3, 1}}, {{4, 3}, {1, 2}}};
    const Grid grid = Read(*league);
    for (int r = 1; r <= 6; ++r)
        for (const auto& [home, away] : homeAway[r - 1])
            EXPECT_EQ(grid[r][home], (Box{home, 0, away, 0})) << "round " << r;

    auto mixed = Generate({6, 3, 1, 400, 42, false, "MFMFMF"}, 'D', MakeMixedDoublesRoundRobin);
    const Grid places = UndoShuffleCouples(*mixed);
    EXPECT_EQ(places[1][1], (Box{3, 6, 5, 2}));
    EXPECT_EQ(places[2][1], (Box{1, 4, 3, 2}));
    EXPECT_EQ(places[3][1], (Box{1, 6, 5, 4}));
}

TEST(RoundRobin, SizesRefusedGiveTheirCodes) {
    struct Case {
        short (*make)(Matches&);
        int n;
        int courts;
        char type;
        int rounds;
        int scheduleType;
        short code;
    };
    const Case cases[] = {
        {MakeSinglesRoundRobin, 1, 1, 'S', 1, 200, rcRoundRobinPlayers},
        {MakeSinglesRoundRobin, 101, 51, 'S', 99, 200, rcRoundRobinPlayers},
        {MakeSinglesRoundRobin, 8, 3, 'S', 7, 200, rcTooFewCourts},
        {MakeSinglesRoundRobin, 8, 4, 'D', 7, 200, rcRoundRobinNeedsSingles},
        {MakeDoublesRoundRobin, 10, 3, 'D', 9, 300, rcDoublesRoundRobinMultipleOf4},
        {MakeDoublesRoundRobin, 0, 1, 'D', 1, 300, rcDoublesRoundRobinPlayers},
        {MakeDoublesRoundRobin, 28, 7, 'D', 27, 300, rcDoublesRoundRobinPlayers},
        {MakeDoublesRoundRobin, 12, 2, 'D', 11, 300, rcTooFewCourts},
        {MakeDoublesRoundRobin, 12, 3, 'S', 11, 300, rcRoundRobinNeedsDoubles},
        {MakeFixedPartnerRoundRobin, 7, 2, 'D', 3, 350, rcFixedPartnerMultipleOf2},
        {MakeFixedPartnerRoundRobin, 2, 1, 'D', 1, 350, rcRoundRobinPlayers},
        {MakeFixedPartnerRoundRobin, 102, 26, 'D', 51, 350, rcRoundRobinPlayers},
        {MakeFixedPartnerRoundRobin, 16, 3, 'D', 7, 350, rcTooFewCourts},
        {MakeFixedPartnerRoundRobin, 16, 4, 'S', 7, 350, rcRoundRobinNeedsDoubles},
        {MakeMixedDoublesRoundRobin, 9, 2, 'D', 4, 400, rcInternal},
        {MakeMixedDoublesRoundRobin, 2, 1, 'D', 1, 400, rcDoublesRoundRobinPlayers},
        {MakeMixedDoublesRoundRobin, 26, 6, 'D', 13, 400, rcDoublesRoundRobinPlayers},
        {MakeMixedDoublesRoundRobin, 16, 3, 'D', 7, 410, rcTooFewCourts},
        {MakeMixedDoublesRoundRobin, 16, 4, 'S', 7, 420, rcRoundRobinNeedsDoubles},
        {MakeLeagueSchedule, 1, 1, 'S', 2, 500, rcRoundRobinPlayers},
        {MakeLeagueSchedule, 0, 1, 'S', 2, 510, rcRoundRobinPlayers},
        {MakeLeagueSchedule, 51, 51, 'S', 99, 500, rcTooFewRounds},
        {MakeLeagueSchedule, 8, 7, 'S', 14, 500, rcTooFewCourts},
        {MakeLeagueSchedule, 256, 255, 'S', 99, 510, rcTooFewCourts},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("case " + std::to_string(&c - cases) + ": " + std::to_string(c.n) +
                     " players");
        auto plan = PlanOf(c.n);
        Shape(*plan, c.courts, c.type, c.rounds, c.scheduleType);
        // Whatever stood before is emptied, and nothing else is written.
        plan->PutSlot(1, 1, 1, c.n);
        EXPECT_EQ(c.make(*plan), c.code);
        EXPECT_FALSE(plan->HasMatchesInRounds(1, c.rounds));
        EXPECT_TRUE(plan->TraceList().empty());
    }
}
