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

// Fixes the clock, and with it the relabelling, for one plan.
class FixedClockScope {
public:
    explicit FixedClockScope(std::time_t moment) { SetFixedClock(moment); }
    ~FixedClockScope() { ClearFixedClock(); }
};

// n players; genders[i - 1] is player i's, blank when the text is short.
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

Grid Read(const Matches& plan) {
    Grid grid(static_cast<std::size_t>(plan.RoundCount()) + 1,
              std::vector<Box>(static_cast<std::size_t>(plan.CourtCount()) + 1));
    for (int r = 1; r <= plan.RoundCount(); ++r)
        for (int c = 1; c <= plan.CourtCount(); ++c)
            for (int p = 1; p <= 4; ++p)
                grid[r][c][p - 1] = plan.GetSlot(r, c, p);
    return grid;
}

// The order a shuffle listed under its heading: order[i] is i's image, and
// the images are a permutation of 1..count.
std::vector<int> TracedOrder(const Matches& plan, const std::string& heading, int count) {
    const std::vector<std::string>& trace = plan.TraceList();
    std::vector<int> order(static_cast<std::size_t>(count) + 1, 0);
    std::size_t at = 0;
    while (at < trace.size() && trace[at] != heading)
        ++at;
    EXPECT_LT(at, trace.size()) << "no " << heading << " in the trace";
    if (at + count + 1 >= trace.size()) {
        ADD_FAILURE() << "the trace is cut short";
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

// Every number of the grid replaced through a table (0 stays 0).
Grid Mapped(Grid grid, const std::vector<int>& table) {
    for (auto& round : grid)
        for (Box& box : round)
            for (int& x : box)
                if (x > 0) x = x < static_cast<int>(table.size()) ? table[x] : -1;
    return grid;
}

// Player numbers back to the numbers the pattern wrote.
Grid UndoShufflePlayers(const Matches& plan) {
    const int n = plan.PlayerCount();
    const std::vector<int> order = TracedOrder(plan, "randomizePlayers:", n);
    std::vector<int> back(static_cast<std::size_t>(n) + 1, 0);
    for (int i = 1; i <= n; ++i)
        if (order[i] >= 1 && order[i] <= n) back[order[i]] = i;
    return Mapped(Read(plan), back);
}

// Players back to couples' places: 2k - 1 the man's, 2k the woman's. With a
// man and a woman for every couple, the image(k)-th man and woman in list
// order took couple k's places, and must be of their place's gender.
Grid UndoShuffleCouples(const Matches& plan) {
    const int n = plan.PlayerCount();
    const std::vector<int> order = TracedOrder(plan, "gRandomizePlayers:", n / 2);
    std::vector<int> men, women;
    for (int i = 1; i <= n; ++i) {
        if (plan.Player(i)->gender == 'M') men.push_back(i);
        if (plan.Player(i)->gender == 'F') women.push_back(i);
    }
    const bool gendered = static_cast<int>(men.size()) * 2 == n && men.size() == women.size();
    std::vector<int> back(static_cast<std::size_t>(n) + 1, 0);
    for (int k = 1; k <= n / 2; ++k) {
        const int image = order[k];
        if (image < 1) continue;
        if (gendered) {
            back[men[image - 1]] = 2 * k - 1;
            back[women[image - 1]] = 2 * k;
        } else {
            back[2 * image - 1] = 2 * k - 1;
            back[2 * image] = 2 * k;
        }
    }
    return Mapped(Read(plan), back);
}

int Filled(const Box& box) {
    return (box[0] != 0) + (box[1] != 0) + (box[2] != 0) + (box[3] != 0);
}

// No player twice in a round, no number outside 1..n, and nothing past the
// rounds the generator reported writing.
void ExpectRoundsSound(const Grid& grid, int n, int written) {
    for (std::size_t r = 1; r < grid.size(); ++r) {
        std::set<int> seen;
        for (std::size_t c = 1; c < grid[r].size(); ++c)
            for (int x : grid[r][c]) {
                if (x == 0) continue;
                EXPECT_TRUE(x >= 1 && x <= n) << "round " << r << " court " << c << ": " << x;
                EXPECT_TRUE(seen.insert(x).second) << "player " << x << " twice in round " << r;
            }
        if (static_cast<int>(r) > written) {
            EXPECT_TRUE(seen.empty()) << "round " << r << " is past the pattern";
        }
    }
}

// Counts per unordered pair.
struct PairCounts {
    std::map<std::pair<int, int>, int> counts;
    void Add(int a, int b) { ++counts[{std::min(a, b), std::max(a, b)}]; }
    int operator()(int a, int b) const {
        const auto found = counts.find({std::min(a, b), std::max(a, b)});
        return found == counts.end() ? 0 : found->second;
    }
};

struct PlanRun {
    int n;
    int rounds; // the plan's
    int courts;
    int type;
    unsigned seed;
    std::string Describe() const {
        return std::to_string(n) + " players, " + std::to_string(courts) + " courts, " +
               std::to_string(rounds) + " rounds, type " + std::to_string(type) + ", seed " +
               std::to_string(seed);
    }
};

// The plan's rounds for a partial run, drawn from the seed.
int PartialRounds(std::mt19937& rng, int full) {
    return 1 + static_cast<int>(rng() % static_cast<unsigned>(std::min(full, 99)));
}

} // namespace

TEST(RoundRobin, CircleMethodTurnsEveryNumberButOne) {
    const RoundRobin six(6);
    const int expected[2][3][2] = {{{1, 2}, {6, 3}, {5, 4}}, {{1, 6}, {5, 2}, {4, 3}}};
    for (int r = 1; r <= 2; ++r)
        for (int k = 1; k <= 3; ++k)
            for (int side = 1; side <= 2; ++side)
                EXPECT_EQ(six.Player(r, k, side), expected[r - 1][k - 1][side - 1])
                    << "round " << r << " match " << k;
    EXPECT_EQ(six.Player(6, 1, 1), 0);
    EXPECT_EQ(six.Player(1, 4, 1), 0);
    const RoundRobin five(5);
    EXPECT_TRUE(five.HasBye());
    EXPECT_EQ(five.Rounds(), 5);
    EXPECT_EQ(five.MatchCount(), 2);
    EXPECT_FALSE(RoundRobin(0).IsValid());
    EXPECT_FALSE(RoundRobin(101).IsValid());
    EXPECT_TRUE(RoundRobin(99).IsValid());
}

TEST(RoundRobin, SinglesEveryPairMeetsOnceAndOddCountsRestOnce) {
    std::mt19937 rng(2121);
    for (int n = 2; n <= 100; ++n)
        for (const bool partial : {false, true}) {
            const int full = n % 2 == 0 ? n - 1 : n;
            const unsigned seed = rng();
            std::mt19937 draw(seed);
            const PlanRun run{n, partial ? PartialRounds(draw, full) : full,
                              n / 2 + static_cast<int>(draw() % 3), partial ? 210 : 200, seed};
            SCOPED_TRACE(run.Describe());
            auto plan = PlanOf(n);
            Shape(*plan, run.courts, 'S', run.rounds, run.type);
            FixedClockScope clock(static_cast<std::time_t>(seed));
            ASSERT_EQ(MakeSinglesRoundRobin(*plan), rcOk);
            const int written = std::min(full, run.rounds);
            EXPECT_EQ(plan->BaseRounds(), written);
            const Grid grid = UndoShufflePlayers(*plan);
            ExpectRoundsSound(grid, n, written);
            PairCounts met;
            std::vector<int> rests(static_cast<std::size_t>(n) + 1, 0);
            for (int r = 1; r <= written; ++r) {
                int boxes = 0;
                std::set<int> playing;
                for (int c = 1; c <= run.courts; ++c) {
                    const Box& box = grid[r][c];
                    if (Filled(box) == 0) continue;
                    ++boxes;
                    EXPECT_TRUE(box[0] != 0 && box[1] == 0 && box[2] != 0 && box[3] == 0)
                        << "round " << r << " court " << c;
                    met.Add(box[0], box[2]);
                    playing.insert({box[0], box[2]});
                }
                EXPECT_EQ(boxes, n / 2) << "round " << r;
                for (int i = 1; i <= n; ++i)
                    rests[i] += playing.count(i) == 0;
                if (n % 2 != 0 && r == 1) {
                    EXPECT_EQ(playing.count(1), 0u) << "1 rests first";
                }
            }
            for (int a = 1; a <= n; ++a)
                for (int b = a + 1; b <= n; ++b)
                    EXPECT_EQ(met(a, b), partial ? std::min(met(a, b), 1) : 1) << a << "-" << b;
            if (!partial && n % 2 != 0) {
                for (int i = 1; i <= n; ++i)
                    EXPECT_EQ(rests[i], 1) << "player " << i;
            }
        }
}

TEST(RoundRobin, DoublesPartnersOnceAndOpponentsTwice) {
    std::mt19937 rng(300);
    for (int n = 4; n <= 24; n += 4)
        for (const bool partial : {false, true}) {
            const unsigned seed = rng();
            std::mt19937 draw(seed);
            const PlanRun run{n, partial ? PartialRounds(draw, n - 1) : n - 1,
                              n / 4 + static_cast<int>(draw() % 2), partial ? 310 : 300, seed};
            SCOPED_TRACE(run.Describe());
            auto plan = PlanOf(n);
            Shape(*plan, run.courts, 'D', run.rounds, run.type);
            FixedClockScope clock(static_cast<std::time_t>(seed));
            ASSERT_EQ(MakeDoublesRoundRobin(*plan), rcOk);
            const int written = std::min(n - 1, run.rounds);
            EXPECT_EQ(plan->BaseRounds(), written);
            const Grid grid = UndoShufflePlayers(*plan);
            ExpectRoundsSound(grid, n, written);
            PairCounts partners, opponents;
            for (int r = 1; r <= written; ++r) {
                int seated = 0;
                for (int c = 1; c <= run.courts; ++c) {
                    const Box& box = grid[r][c];
                    const int filled = Filled(box);
                    EXPECT_TRUE(filled == 0 || filled == 4) << "round " << r << " court " << c;
                    if (filled != 4) continue;
                    seated += 4;
                    partners.Add(box[0], box[1]);
                    partners.Add(box[2], box[3]);
                    for (int a : {box[0], box[1]})
                        for (int b : {box[2], box[3]})
                            opponents.Add(a, b);
                }
                EXPECT_EQ(seated, n) << "round " << r;
            }
            for (int a = 1; a <= n; ++a)
                for (int b = a + 1; b <= n; ++b) {
                    EXPECT_EQ(partners(a, b), partial ? std::min(partners(a, b), 1) : 1)
                        << a << "-" << b;
                    EXPECT_EQ(opponents(a, b), partial ? std::min(opponents(a, b), 2) : 2)
                        << a << "-" << b;
                }
        }
}

TEST(RoundRobin, FixedPartnerTeamsStayTogetherAndMeetOnce) {
    std::mt19937 rng(350);
    for (int n = 4; n <= 100; n += 2)
        for (const bool partial : {false, true}) {
            const int teams = n / 2;
            const int full = teams % 2 == 0 ? teams - 1 : teams;
            const unsigned seed = rng();
            std::mt19937 draw(seed);
            const PlanRun run{n, partial ? PartialRounds(draw, full) : full,
                              n / 4 + static_cast<int>(draw() % 2), partial ? 360 : 350, seed};
            SCOPED_TRACE(run.Describe());
            auto plan = PlanOf(n);
            Shape(*plan, run.courts, 'D', run.rounds, run.type);
            ASSERT_EQ(MakeFixedPartnerRoundRobin(*plan), rcOk);
            const int written = std::min(full, run.rounds);
            EXPECT_EQ(plan->BaseRounds(), written);
            const Grid grid = Read(*plan);
            ExpectRoundsSound(grid, n, written);
            PairCounts met;
            std::vector<int> rests(static_cast<std::size_t>(teams) + 1, 0);
            for (int r = 1; r <= written; ++r) {
                std::set<int> playing;
                for (int c = 1; c <= run.courts; ++c) {
                    const Box& box = grid[r][c];
                    if (c > n / 4) {
                        EXPECT_EQ(Filled(box), 0) << "court " << c << " is past n / 4";
                        continue;
                    }
                    if (Filled(box) == 0) continue;
                    // Team k is players 2k - 1 and 2k, on one side.
                    EXPECT_TRUE(box[0] % 2 == 1 && box[1] == box[0] + 1 && box[2] % 2 == 1 &&
                                box[3] == box[2] + 1)
                        << "round " << r << " court " << c;
                    met.Add(box[1] / 2, box[3] / 2);
                    playing.insert({box[1] / 2, box[3] / 2});
                }
                EXPECT_EQ(static_cast<int>(playing.size()), 2 * (teams / 2)) << "round " << r;
                for (int t = 1; t <= teams; ++t)
                    rests[t] += playing.count(t) == 0;
            }
            for (int a = 1; a <= teams; ++a)
                for (int b = a + 1; b <= teams; ++b)
                    EXPECT_EQ(met(a, b), partial ? std::min(met(a, b), 1) : 1)
                        << "teams " << a << "-" << b;
            if (!partial && teams % 2 != 0) {
                for (int t = 1; t <= teams; ++t)
                    EXPECT_EQ(rests[t], 1) << "team " << t;
            }
        }
}

TEST(RoundRobin, MixedSidesAreAManAndAWomanAndNoSpousesMeet) {
    // Genders: none, a man and a woman for every couple in a random list
    // order, and counts that differ (the places then stay numbers).
    std::mt19937 rng(400);
    for (int n = 4; n <= 24; n += 2)
        for (const int type : {400, 410, 420})
            for (int genders = 0; genders < 3; ++genders) {
                const int h = n / 2;
                const int full = n % 4 == 0 ? h - 1 : h;
                const int extra = n % 4 == 0 ? 1 : 2;
                const unsigned seed = rng();
                std::mt19937 draw(seed);
                const int rounds = type == 400   ? full
                                   : type == 420 ? full + extra
                                                 : PartialRounds(draw, full);
                const PlanRun run{n, rounds, n / 4 + static_cast<int>(draw() % 2), type, seed};
                std::string sexes;
                if (genders == 1) {
                    sexes = std::string(static_cast<std::size_t>(h), 'M') +
                            std::string(static_cast<std::size_t>(h), 'F');
                    std::shuffle(sexes.begin(), sexes.end(), draw);
                } else if (genders == 2) {
                    sexes = std::string(static_cast<std::size_t>(n), 'M');
                    for (int i = 0; i < h / 2; ++i)
                        sexes[draw() % sexes.size()] = 'F';
                }
                SCOPED_TRACE(run.Describe() + ", genders " + sexes);
                auto plan = PlanOf(n, sexes);
                Shape(*plan, run.courts, 'D', run.rounds, run.type);
                FixedClockScope clock(static_cast<std::time_t>(seed));
                ASSERT_EQ(MakeMixedDoublesRoundRobin(*plan), rcOk);
                const int pattern = std::min(full, run.rounds);
                EXPECT_EQ(plan->BaseRounds(), pattern);
                const int written = type == 420 ? full + extra : pattern;
                const Grid grid = UndoShuffleCouples(*plan);
                ExpectRoundsSound(grid, n, written);
                // With a man and a woman for every couple, men take the men's places.
                if (genders == 1)
                    for (int r = 1; r <= written; ++r)
                        for (int c = 1; c <= run.courts; ++c)
                            for (int p = 1; p <= 4; ++p)
                                if (const int real = plan->GetSlot(r, c, p); real != 0) {
                                    EXPECT_EQ(grid[r][c][p - 1] % 2 == 1 ? 'M' : 'F',
                                              plan->Player(real)->gender)
                                        << "player " << real << " in round " << r;
                                }
                const bool samdrr = n != 6 && n != 12 && n != 20;
                // (man's couple, woman's couple) -> times partnered
                std::map<std::pair<int, int>, int> partners;
                for (int r = 1; r <= written; ++r) {
                    int seated = 0;
                    for (int c = 1; c <= run.courts; ++c) {
                        const Box& box = grid[r][c];
                        seated += Filled(box);
                        if (Filled(box) == 0) continue;
                        EXPECT_TRUE(c <= n / 4) << "court " << c << " is past n / 4";
                        for (int side = 0; side < 4; side += 2) {
                            const int a = box[side], b = box[side + 1];
                            if (b == 0) continue; // the last extended round's singles
                            EXPECT_EQ((a + b) % 2, 1)
                                << "round " << r << " court " << c << ": " << a << " " << b;
                            if (samdrr && r <= pattern) {
                                const int man = a % 2 == 1 ? a : b;
                                const int woman = a % 2 == 1 ? b : a;
                                ++partners[{(man + 1) / 2, woman / 2}];
                            }
                        }
                        if (samdrr && r <= pattern && n > 4) {
                            std::set<int> couples;
                            for (int x : box)
                                couples.insert((x + 1) / 2);
                            EXPECT_EQ(couples.size(), 4u) << "spouses in round " << r;
                        }
                    }
                    if (r > pattern) {
                        // The extended rounds: couples together, then the
                        // couple left over plays itself.
                        if (r == pattern + 1)
                            for (int j = 1; j <= n / 4; ++j)
                                EXPECT_EQ(grid[r][j],
                                          (Box{4 * j - 3, 4 * j - 2, 4 * j - 1, 4 * j}));
                        else
                            EXPECT_EQ(grid[r][1], (Box{n - 1, 0, n, 0}));
                    } else {
                        EXPECT_EQ(seated, 4 * (n / 4)) << "round " << r;
                    }
                }
                if (samdrr)
                    for (int i = 1; i <= h; ++i)
                        for (int w = 1; w <= h; ++w) {
                            const int count = partners.count({i, w}) ? partners[{i, w}] : 0;
                            if (w == i)
                                EXPECT_EQ(count, 0) << "man " << i << " partners his wife";
                            else
                                EXPECT_EQ(count, type == 410 ? std::min(count, 1) : 1)
                                    << "man " << i << " and woman " << w;
                        }
            }
}

TEST(RoundRobin, LeagueEveryOrderedPairOnceAtHome) {
    std::mt19937 rng(500);
    std::vector<PlanRun> runs;
    for (int n = 2; n <= 50; ++n) {
        const int natural = n % 2 == 0 ? 2 * (n - 1) : 2 * n;
        runs.push_back({n, natural, n, 500, static_cast<unsigned>(rng())});
        std::mt19937 draw(runs.back().seed);
        runs.push_back({n, PartialRounds(draw, natural), n, 510, runs.back().seed});
    }
    // Past 50 players only part of a league fits the grid.
    for (const int n : {51, 60, 99, 100})
        runs.push_back({n, 99, n, 510, static_cast<unsigned>(rng())});
    for (const PlanRun& run : runs) {
        SCOPED_TRACE(run.Describe());
        const int n = run.n;
        auto plan = PlanOf(n);
        Shape(*plan, run.courts, 'S', run.rounds, run.type);
        ASSERT_EQ(MakeLeagueSchedule(*plan), rcOk);
        const int natural = n % 2 == 0 ? 2 * (n - 1) : 2 * n;
        EXPECT_EQ(plan->BaseRounds(), std::min(natural, run.rounds));
        const Grid grid = Read(*plan);
        ExpectRoundsSound(grid, n, run.rounds);
        std::map<std::pair<int, int>, int> hosted;
        for (int r = 1; r <= run.rounds; ++r) {
            int matches = 0;
            for (int c = 1; c <= run.courts; ++c) {
                const Box& box = grid[r][c];
                if (Filled(box) == 0) continue;
                ++matches;
                EXPECT_TRUE(box[0] == c && box[1] == 0 && box[2] != 0 && box[3] == 0)
                    << "round " << r << " court " << c;
                ++hosted[{box[0], box[2]}];
            }
            EXPECT_EQ(matches, n / 2) << "round " << r;
        }
        for (int a = 1; a <= n; ++a)
            for (int b = 1; b <= n; ++b) {
                if (a == b) continue;
                const int count = hosted.count({a, b}) ? hosted[{a, b}] : 0;
                EXPECT_EQ(count, run.type == 510 ? std::min(count, 1) : 1)
                    << a << " at home to " << b;
            }
    }
}

TEST(RoundRobin, FourPlayerLeagueAndSixPlayerMixedTableAsTheyStand) {
    auto league = PlanOf(4);
    Shape(*league, 4, 'S', 6, 500);
    ASSERT_EQ(MakeLeagueSchedule(*league), rcOk);
    const int homeAway[6][2][2] = {{{4, 1}, {3, 2}}, {{2, 4}, {1, 3}}, {{3, 4}, {2, 1}},
                                   {{1, 4}, {2, 3}}, {{4, 2}, {3, 1}}, {{4, 3}, {1, 2}}};
    for (int r = 1; r <= 6; ++r)
        for (const auto& [home, away] : homeAway[r - 1]) {
            EXPECT_EQ(league->GetSlot(r, home, 1), home) << "round " << r;
            EXPECT_EQ(league->GetSlot(r, home, 3), away) << "round " << r;
        }

    auto mixed = PlanOf(6, "MFMFMF");
    Shape(*mixed, 1, 'D', 3, 400);
    FixedClockScope clock(42);
    ASSERT_EQ(MakeMixedDoublesRoundRobin(*mixed), rcOk);
    const Grid places = UndoShuffleCouples(*mixed);
    EXPECT_EQ(places[1][1], (Box{3, 6, 5, 2}));
    EXPECT_EQ(places[2][1], (Box{1, 4, 3, 2}));
    EXPECT_EQ(places[3][1], (Box{1, 6, 5, 4}));
}

TEST(RoundRobin, SizesRefusedGiveTheirCodes) {
    struct Case {
        const char* generator;
        short (*make)(Matches&);
        int n;
        int courts;
        char type;
        int rounds;
        int scheduleType;
        short code;
    };
    const Case cases[] = {
        {"singles", MakeSinglesRoundRobin, 1, 1, 'S', 1, 200, rcRoundRobinPlayers},
        {"singles", MakeSinglesRoundRobin, 101, 51, 'S', 99, 200, rcRoundRobinPlayers},
        {"singles", MakeSinglesRoundRobin, 8, 3, 'S', 7, 200, rcTooFewCourts},
        {"singles", MakeSinglesRoundRobin, 8, 4, 'D', 7, 200, rcRoundRobinNeedsSingles},
        {"doubles", MakeDoublesRoundRobin, 10, 3, 'D', 9, 300, rcDoublesRoundRobinMultipleOf4},
        {"doubles", MakeDoublesRoundRobin, 0, 1, 'D', 1, 300, rcDoublesRoundRobinPlayers},
        {"doubles", MakeDoublesRoundRobin, 28, 7, 'D', 27, 300, rcDoublesRoundRobinPlayers},
        {"doubles", MakeDoublesRoundRobin, 12, 2, 'D', 11, 300, rcTooFewCourts},
        {"doubles", MakeDoublesRoundRobin, 12, 3, 'S', 11, 300, rcRoundRobinNeedsDoubles},
        {"fixed", MakeFixedPartnerRoundRobin, 7, 2, 'D', 3, 350, rcFixedPartnerMultipleOf2},
        {"fixed", MakeFixedPartnerRoundRobin, 2, 1, 'D', 1, 350, rcRoundRobinPlayers},
        {"fixed", MakeFixedPartnerRoundRobin, 102, 26, 'D', 51, 350, rcRoundRobinPlayers},
        {"fixed", MakeFixedPartnerRoundRobin, 16, 3, 'D', 7, 350, rcTooFewCourts},
        {"fixed", MakeFixedPartnerRoundRobin, 16, 4, 'S', 7, 350, rcRoundRobinNeedsDoubles},
        {"mixed", MakeMixedDoublesRoundRobin, 9, 2, 'D', 4, 400, rcInternal},
        {"mixed", MakeMixedDoublesRoundRobin, 2, 1, 'D', 1, 400, rcDoublesRoundRobinPlayers},
        {"mixed", MakeMixedDoublesRoundRobin, 26, 6, 'D', 13, 400, rcDoublesRoundRobinPlayers},
        {"mixed", MakeMixedDoublesRoundRobin, 16, 3, 'D', 7, 410, rcTooFewCourts},
        {"mixed", MakeMixedDoublesRoundRobin, 16, 4, 'S', 7, 420, rcRoundRobinNeedsDoubles},
        {"league", MakeLeagueSchedule, 1, 1, 'S', 2, 500, rcRoundRobinPlayers},
        {"league", MakeLeagueSchedule, 0, 1, 'S', 2, 510, rcRoundRobinPlayers},
        {"league", MakeLeagueSchedule, 51, 51, 'S', 99, 500, rcTooFewRounds},
        {"league", MakeLeagueSchedule, 8, 7, 'S', 14, 500, rcTooFewCourts},
        {"league", MakeLeagueSchedule, 256, 255, 'S', 99, 510, rcTooFewCourts},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.generator) + " of " + std::to_string(c.n) + " players");
        auto plan = PlanOf(c.n);
        Shape(*plan, c.courts, c.type, c.rounds, c.scheduleType);
        // Whatever stood before is emptied, and nothing else is written.
        plan->PutSlot(1, 1, 1, c.n);
        EXPECT_EQ(c.make(*plan), c.code);
        EXPECT_FALSE(plan->HasMatchesInRounds(1, c.rounds));
        EXPECT_TRUE(plan->TraceList().empty());
    }
}
