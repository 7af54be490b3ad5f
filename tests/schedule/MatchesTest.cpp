#include "unified/schedule/Matches.h"
#include "tests/support/Players.h"
#include "tests/support/Responders.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>
#include <new>
#include <numeric>
#include <random>
#include <string>
#include <tuple>
#include <vector>

namespace {

// Armed by a test, the next allocation of this program fails as when memory
// runs out.
std::atomic<bool> failNextAllocation{false};

void FailNextAllocation() {
    failNextAllocation = true;
}

} // namespace

void* operator new(std::size_t size) {
    if (failNextAllocation.exchange(false)) throw std::bad_alloc();
    if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
    throw std::bad_alloc();
}

void operator delete(void* block) noexcept {
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept {
    std::free(block);
}

namespace {

// A plan read and written round by round: round r's boxes, court after
// court, four positions each.
class RoundsView : public Matches {
public:
    std::vector<int> Round(int r) const {
        std::vector<int> numbers;
        for (int c = 1; c <= CourtCount(); ++c)
            for (int p = 1; p <= 4; ++p)
                numbers.push_back(GetSlot(r, c, p));
        return numbers;
    }
    void SetRound(int r, const std::vector<int>& numbers) {
        for (std::size_t i = 0; i < numbers.size(); ++i)
            PutSlot(r, static_cast<int>(i / 4) + 1, static_cast<int>(i % 4) + 1, numbers[i]);
    }
    std::vector<std::vector<int>> All() const {
        std::vector<std::vector<int>> all;
        for (int r = 1; r <= RoundCount(); ++r)
            all.push_back(Round(r));
        return all;
    }
};

// A plan of players "P1" to "Pn" whose rounds and courts were set up (by its
// dialogs, elsewhere).
class ShapedPlan : public RoundsView {
public:
    ShapedPlan(int players, int roundCount, int courtCount) {
        for (int i = 1; i <= players; ++i)
            AddPlayer(Named("P" + std::to_string(i), "X"), nullptr);
        rounds = static_cast<std::int16_t>(roundCount);
        courts = static_cast<std::int16_t>(courtCount);
        boxes.Allocate(roundCount, courtCount);
    }
};

} // namespace

TEST(MatchPlanPlayers, AddingRefusesTheLimitAndBadOrTakenNames) {
    ShapedPlan plan(0, 0, 0);
    EXPECT_EQ(plan.AddPlayer(Named("  ", ""), nullptr), rcNoName);
    ASSERT_EQ(plan.AddPlayer(Named("Ann", "Baker"), nullptr), rcOk);
    EXPECT_EQ(plan.AddPlayer(Named("Ann", "Baker"), nullptr), rcDuplicateName);
    EXPECT_EQ(plan.AddPlayer(Named("ANN", "Baker"), nullptr), rcOk);
    for (int i = plan.PlayerCount() + 1; i <= MaxPlayers; ++i)
        ASSERT_EQ(plan.AddPlayer(Named("P", std::to_string(i)), nullptr), rcOk);
    EXPECT_EQ(plan.AddPlayer(Named("", ""), nullptr), rcPlayerLimit);
    plan.SetDoubles();
    EXPECT_FALSE(plan.IsDoubles()) << "singles or doubles is each court's";
}

TEST(MatchPlanPlayers, InsertedAndDeletedPlayersLeaveEveryBoxOnTheSamePeople) {
    ShapedPlan plan(10, 2, 2);
    plan.SetRound(1, {1, 2, 3, 4, 5, 0, 10, 0});
    plan.SetRound(2, {3, 9, 6, 2, 7, 8, 1, 0});
    ASSERT_EQ(plan.AddPlayer(Named("New", "Y", 3), nullptr), rcOk);
    EXPECT_EQ(plan.Player(4)->firstName, "P3");
    EXPECT_EQ(plan.Round(1), (std::vector<int>{1, 2, 4, 5, 6, 0, 11, 0}));
    EXPECT_EQ(plan.Round(2), (std::vector<int>{4, 10, 7, 2, 8, 9, 1, 0}));
    // At the end, or past it, nobody moves.
    ASSERT_EQ(plan.AddPlayer(Named("Past", "Y", 12), nullptr), rcOk);
    EXPECT_EQ(plan.Round(1), (std::vector<int>{1, 2, 4, 5, 6, 0, 11, 0}));

    ASSERT_EQ(plan.DeletePlayer(4), rcOk);
    EXPECT_EQ(plan.Round(1), (std::vector<int>{1, 2, 0, 4, 5, 0, 10, 0}));
    EXPECT_EQ(plan.Round(2), (std::vector<int>{0, 9, 6, 2, 7, 8, 1, 0}));
    EXPECT_EQ(plan.PlayerCount(), 11);
}

TEST(MatchPlanPlayers, MatchesAreFoundByRoundAndNothingLiesOutsideTheGrid) {
    ShapedPlan plan(6, 3, 2);
    EXPECT_FALSE(plan.HasMatchesInRounds(1, 3));
    plan.PutSlot(2, 2, 4, 6);
    plan.PutSlot(4, 1, 1, 5);
    plan.PutSlot(1, 3, 1, 5);
    EXPECT_TRUE(plan.HasMatchesInRounds(2, 2));
    EXPECT_TRUE(plan.HasMatchesInRounds(-5, 99)) << "the range is cut to the rounds";
    EXPECT_FALSE(plan.HasMatchesInRounds(3, 3));
    EXPECT_FALSE(plan.HasMatchesInRounds(1, 1));
    EXPECT_EQ(plan.GetSlot(4, 1, 1) + plan.GetSlot(1, 3, 1) + plan.GetSlot(0, 1, 1), 0);
    plan.EnterManualMode();
    plan.Reset();
    EXPECT_EQ(plan.RoundCount() + plan.CourtCount() + plan.PlayerCount(), 0);
    EXPECT_FALSE(plan.IsManualMode());
}

namespace {

// A plan shaped through its own setters: players "P1" to "Pn" with the
// genders of the text (one letter each, blank for none), the court types,
// and rounds without notations.
class Plan : public RoundsView {
public:
    Plan(const std::string& genders, const std::string& types, int roundCount) {
        for (std::size_t i = 0; i < genders.size(); ++i) {
            ::Player player = Named("P" + std::to_string(i + 1), "X");
            player.gender = genders[i];
            AddPlayer(player, nullptr);
        }
        SetCourtTypes(static_cast<int>(types.size()), (" " + types).c_str());
        std::vector<std::string> notations(static_cast<std::size_t>(roundCount) + 1);
        SetRounds(roundCount, notations.data());
    }
    void MarkSaved() { state = StateSaved; }
};

} // namespace

// Round 1 of a plan of eight players (men odd, women even) on a doubles
// court and a singles court, with player 6 on court 1 of round 2; one
// SetSlot on it, and round 1 afterwards.
TEST(MatchPlanSlots, CheckedWritesRefuseInOrderAndShiftWithinASide) {
    struct Case {
        const char* what;
        bool strictlyMixed;
        std::vector<int> before;
        int r, c, p, n;
        short code;
        std::vector<int> after;
    };
    const std::vector<int> empty(8, 0);
    const Case cases[] = {
        {"same number passes even a box that is not mixed",
         true,
         {1, 3, 5, 7, 0, 0, 0, 0},
         1,
         1,
         2,
         3,
         rcOk,
         {1, 3, 5, 7, 0, 0, 0, 0}},
        {"round 0", false, empty, 0, 1, 1, 1, rcBadData, empty},
        {"round past the last", false, empty, 3, 1, 1, 1, rcBadData, empty},
        {"court 0", false, empty, 1, 0, 1, 1, rcBadData, empty},
        {"court past the last", false, empty, 1, 3, 1, 1, rcBadData, empty},
        {"clearing outside the grid", false, empty, 3, 1, 1, 0, rcBadData, empty},
        {"position 5", false, empty, 1, 1, 5, 1, rcBadData, empty},
        {"negative number", false, empty, 1, 1, 1, -1, rcBadData, empty},
        {"number past the players",
         false,
         {0, 0, 0, 0, 2, 0, 0, 0},
         1,
         1,
         1,
         9,
         rcBadData,
         {0, 0, 0, 0, 2, 0, 0, 0}},
        {"on another court of the round",
         false,
         {0, 0, 0, 0, 2, 0, 4, 0},
         1,
         1,
         1,
         4,
         rcScheduledTwice,
         {0, 0, 0, 0, 2, 0, 4, 0}},
        {"elsewhere in the same box",
         false,
         {1, 2, 0, 0, 0, 0, 0, 0},
         1,
         1,
         3,
         2,
         rcScheduledTwice,
         {1, 2, 0, 0, 0, 0, 0, 0}},
        {"twice in a round before not mixed",
         true,
         {1, 2, 3, 0, 5, 0, 0, 0},
         1,
         1,
         4,
         5,
         rcScheduledTwice,
         {1, 2, 3, 0, 5, 0, 0, 0}},
        {"another round does not count", false, empty, 1, 1, 1, 6, rcOk, {6, 0, 0, 0, 0, 0, 0, 0}},
        {"a second man on a side of a full box",
         true,
         {1, 2, 3, 0, 0, 0, 0, 0},
         1,
         1,
         4,
         5,
         rcNotMixed,
         {1, 2, 3, 0, 0, 0, 0, 0}},
        {"a man and a woman a side",
         true,
         {1, 2, 3, 0, 0, 0, 0, 0},
         1,
         1,
         4,
         4,
         rcOk,
         {1, 2, 3, 4, 0, 0, 0, 0}},
        {"a box with an empty place takes anyone",
         true,
         {1, 3, 0, 0, 0, 0, 0, 0},
         1,
         1,
         3,
         5,
         rcOk,
         {1, 3, 5, 0, 0, 0, 0, 0}},
        {"a box of men is fine when not strictly mixed",
         false,
         {1, 3, 5, 0, 0, 0, 0, 0},
         1,
         1,
         4,
         7,
         rcOk,
         {1, 3, 5, 7, 0, 0, 0, 0}},
        {"position 2 of an empty side goes to 1",
         false,
         {0, 0, 3, 4, 0, 0, 0, 0},
         1,
         1,
         2,
         1,
         rcOk,
         {1, 0, 3, 4, 0, 0, 0, 0}},
        {"position 4 of an empty side goes to 3",
         false,
         {1, 2, 0, 0, 0, 0, 0, 0},
         1,
         1,
         4,
         3,
         rcOk,
         {1, 2, 3, 0, 0, 0, 0, 0}},
        {"clearing position 1 pulls the partner up",
         false,
         {1, 2, 3, 4, 0, 0, 0, 0},
         1,
         1,
         1,
         0,
         rcOk,
         {2, 0, 3, 4, 0, 0, 0, 0}},
        {"clearing position 3 pulls the partner up",
         false,
         {1, 2, 3, 4, 0, 0, 0, 0},
         1,
         1,
         3,
         0,
         rcOk,
         {1, 2, 4, 0, 0, 0, 0, 0}},
        {"clearing position 2 leaves position 1",
         false,
         {1, 2, 3, 4, 0, 0, 0, 0},
         1,
         1,
         2,
         0,
         rcOk,
         {1, 0, 3, 4, 0, 0, 0, 0}},
        {"singles court: the opponent",
         false,
         {0, 0, 0, 0, 7, 0, 0, 0},
         1,
         2,
         3,
         8,
         rcOk,
         {0, 0, 0, 0, 7, 0, 8, 0}},
        {"singles court: clearing the first player",
         false,
         {0, 0, 0, 0, 7, 0, 8, 0},
         1,
         2,
         1,
         0,
         rcOk,
         {0, 0, 0, 0, 0, 0, 8, 0}},
        {"singles court: a replacement",
         false,
         {0, 0, 0, 0, 7, 0, 8, 0},
         1,
         2,
         1,
         1,
         rcOk,
         {0, 0, 0, 0, 1, 0, 8, 0}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.what);
        Plan plan("MFMFMFMF", "DS", 2);
        plan.SetRound(1, test.before);
        plan.PutSlot(2, 1, 1, 6);
        if (test.strictlyMixed) plan.SetOptions(StrictlyMixed);
        plan.MarkSaved();
        EXPECT_EQ(plan.SetSlot(test.r, test.c, test.p, test.n), test.code);
        EXPECT_EQ(plan.Round(1), test.after);
        EXPECT_EQ(plan.Round(2), (std::vector<int>{6, 0, 0, 0, 0, 0, 0, 0}));
        // Only a write marks the plan changed.
        EXPECT_EQ(plan.IsModified(), test.after != test.before);
    }
}

TEST(MatchPlanSlots, UncheckedWritesRefuseOnlyPlacesOutsideTheGrid) {
    Plan plan("MF", "DD", 2);
    plan.MarkSaved();
    for (const auto& [r, c, p] : {std::tuple{0, 1, 1},
                                  {3, 1, 1},
                                  {1, 0, 1},
                                  {1, 3, 1},
                                  {1, 1, 0},
                                  {1, 1, 5},
                                  {-1, -1, 1}}) {
        EXPECT_EQ(plan.PutSlot(r, c, p, 2), rcBadData) << r << "," << c << "," << p;
    }
    EXPECT_EQ(plan.All(), (std::vector<std::vector<int>>(2, std::vector<int>(8, 0))));
    EXPECT_FALSE(plan.IsModified());
    EXPECT_EQ(plan.PutSlot(2, 2, 4, 2), rcOk);
    EXPECT_EQ(plan.GetSlot(2, 2, 4), 2);
    EXPECT_TRUE(plan.IsModified());
}

namespace {

// A random plan, seeded: up to 30 players of random genders, one to six
// courts of random types, one to eight rounds, boxes filled through the
// checked write so that nobody plays twice in a round.
std::unique_ptr<Plan> RandomPlan(std::mt19937& random, bool doublesOnly = false) {
    const auto between = [&](int a, int b) {
        return std::uniform_int_distribution<int>(a, b)(random);
    };
    std::string genders;
    for (int i = between(4, 30); i > 0; --i)
        genders += "MF "[between(0, 2)];
    std::string types;
    for (int c = between(1, 6); c > 0; --c)
        types += doublesOnly || between(0, 2) != 0 ? 'D' : 'S';
    auto plan = std::make_unique<Plan>(genders, types, between(1, 8));
    const int count = plan->PlayerCount();
    for (int r = 1; r <= plan->RoundCount(); ++r)
        for (int c = 1; c <= plan->CourtCount(); ++c)
            for (int p = 1; p <= 4; ++p) {
                if (plan->CourtType(c) == 'S' && p % 2 == 0) continue;
                if (between(0, 4) != 0) plan->SetSlot(r, c, p, between(1, count));
            }
    return plan;
}

unsigned TestSeed() {
    return std::random_device{}();
}

} // namespace

TEST(MatchPlanPlayers, RenumberingAfterADeleteKeepsEveryOtherPlayersBoxes) {
    const unsigned seed = TestSeed();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    for (int trial = 0; trial < 100; ++trial) {
        auto plan = RandomPlan(random);
        const auto before = plan->All();
        const auto name = [&](int n) { return n == 0 ? std::string() : plan->PlayerFirstName(n); };
        std::vector<std::vector<std::string>> named;
        for (const auto& round : before) {
            named.emplace_back();
            for (int n : round)
                named.back().push_back(name(n));
        }
        const int gone = std::uniform_int_distribution<int>(1, plan->PlayerCount())(random);
        const std::string goneName = name(gone);
        ASSERT_EQ(plan->DeletePlayer(gone), rcOk);
        const auto after = plan->All();
        for (std::size_t r = 0; r < after.size(); ++r)
            for (std::size_t i = 0; i < after[r].size(); ++i) {
                const std::string expected = named[r][i] == goneName ? "" : named[r][i];
                ASSERT_EQ(name(after[r][i]), expected) << "round " << r + 1 << " place " << i;
            }
    }
}

TEST(MatchPlanPartners, PreferredPartnersAppliedTwiceChangeNothingMore) {
    const unsigned seed = TestSeed();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    for (int trial = 0; trial < 100; ++trial) {
        auto plan = RandomPlan(random);
        const int r = std::uniform_int_distribution<int>(1, plan->RoundCount())(random);
        plan->ApplyPreferredPartners(r);
        const auto once = plan->All();
        // Neighbours 1-2, 3-4 ... partner wherever the first has a partner.
        for (int i = 1; i + 1 <= plan->PlayerCount(); i += 2) {
            const int c = plan->CourtOfPlayer(r, i);
            if (c == 0) continue;
            for (int p = 1; p <= 4; ++p)
                if (plan->GetSlot(r, c, p) == i) {
                    const int partner = plan->GetSlot(r, c, p % 2 == 1 ? p + 1 : p - 1);
                    EXPECT_TRUE(partner == 0 || partner == i + 1)
                        << "round " << r << ": " << i << " partners " << partner;
                }
        }
        plan->ApplyPreferredPartners(r);
        ASSERT_EQ(plan->All(), once);
    }
}

TEST(MatchPlanCompleteness, CheckCompleteAgreesWithADirectScan) {
    const unsigned seed = TestSeed();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    for (int trial = 0; trial < 200; ++trial) {
        auto plan = RandomPlan(random);
        // Mostly balanced boxes, so that the faulty one is often far in.
        for (int r = 1; r <= plan->RoundCount(); ++r)
            for (int c = 1; c <= plan->CourtCount(); ++c)
                if (std::uniform_int_distribution<int>(0, 9)(random) != 0)
                    for (int p = 1; p <= 4; ++p)
                        plan->PutSlot(r, c, p, p == 1 || p == 3 ? 1 : 0);
        int round = 0;
        int court = 0;
        for (int r = 1; r <= plan->RoundCount() && round == 0; ++r)
            for (int c = 1; c <= plan->CourtCount() && round == 0; ++c) {
                int sides[2] = {0, 0};
                for (int p = 1; p <= 4; ++p)
                    sides[(p - 1) / 2] += plan->GetSlot(r, c, p) != 0;
                if (sides[0] != sides[1]) round = r, court = c;
            }
        const auto stored = plan->IncompleteMatch();
        const short code = plan->CheckComplete();
        ASSERT_EQ(code, round != 0 ? rcIncompleteMatch : rcOk);
        const auto found = plan->IncompleteMatch();
        if (round != 0) {
            EXPECT_EQ(found.round, round);
            EXPECT_EQ(found.court, court);
            EXPECT_EQ(found.found, 1);
        } else {
            EXPECT_EQ(found.round, stored.round) << "a complete plan keeps the stored box";
            EXPECT_EQ(found.found, stored.found);
        }
    }
}

// Random runs of every way the plan writes its boxes, on small plans: after
// each step, where each number stands in each round, and whether the checked
// write finds a player already in the round, agree with reading every box.
// Unchecked writes put players twice in a round, and numbers nobody has.
TEST(MatchPlanSlots, FindingAPlayerAgreesWithReadingEveryBox) {
    const unsigned seed = TestSeed();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    const auto between = [&](int a, int b) {
        return std::uniform_int_distribution<int>(a, b)(random);
    };
    const auto scanned = [](const Matches& plan, int r, int n) {
        for (int c = 1; c <= plan.CourtCount(); ++c)
            for (int p = 1; p <= 4; ++p)
                if (plan.GetSlot(r, c, p) == n) return c;
        return 0;
    };
    const std::string file = testing::TempDir() + "found.rxd";
    for (int trial = 0; trial < 60; ++trial) {
        auto plan = RandomPlan(random);
        for (int step = 0; step < 80; ++step) {
            const int count = plan->PlayerCount();
            const int r = between(1, plan->RoundCount()), c = between(1, plan->CourtCount());
            const int p = between(1, 4);
            const int n = between(0, 9) == 0 ? between(-2, 900) : between(0, count);
            const int operation = between(0, 8);
            if (operation <= 2) {
                const bool twice =
                    n > 0 && n <= count && n != plan->GetSlot(r, c, p) && scanned(*plan, r, n) != 0;
                ASSERT_EQ(plan->SetSlot(r, c, p, n) == rcScheduledTwice, twice);
            } else if (operation <= 4) {
                for (int k = between(1, 3); k > 0; --k)
                    plan->PutSlot(r, between(1, plan->CourtCount()), between(1, 4), n);
                plan->WriteBox(r, between(1, plan->CourtCount()), {n, between(0, count), count, 1});
            } else if (operation == 5) {
                std::string types = " SDSDSD";
                std::shuffle(types.begin() + 1, types.end(), random);
                plan->SetCourtTypes(between(1, 6), types.c_str());
                std::vector<std::string> notations(10);
                plan->SetRounds(between(1, 8), notations.data());
            } else if (operation == 6) {
                plan->AddPlayer(Named("N" + std::to_string(step), "", between(1, count)), nullptr);
                plan->DeletePlayer(between(1, count));
            } else if (operation == 7) {
                plan->BalanceHosts();
                plan->ApplyPreferredPartners(r);
                plan->SwapPlayerNumbers(between(1, count), between(1, count));
            } else if (between(0, 1) == 0) {
                plan->ClearBoxes();
            } else if (between(0, 3) == 0 && plan->Save(file)) {
                plan->Load(file); // a player twice in a round leaves it half read
            }
            SCOPED_TRACE("operation " + std::to_string(operation) + ", step " +
                         std::to_string(step));
            std::vector<int> numbers(static_cast<std::size_t>(plan->PlayerCount()) + 3);
            std::iota(numbers.begin(), numbers.end(), -1);
            numbers.push_back(n);
            for (int round = 0; round <= plan->RoundCount() + 1; ++round)
                for (const int number : numbers)
                    ASSERT_EQ(plan->CourtOfPlayer(round, number), scanned(*plan, round, number))
                        << "round " << round << ", number " << number;
        }
    }
}

TEST(MatchPlanShape, CourtTypesAndRoundsKeepWhatFitsAndCutNotations) {
    Plan plan("MFMFMFMFMFMFMFMF", "DDDD", 3);
    for (int r = 1; r <= 3; ++r)
        for (int c = 1; c <= 4; ++c)
            for (int p = 1; p <= 4; ++p)
                plan.PutSlot(r, c, p, (c - 1) * 4 + p);
    EXPECT_TRUE(plan.SetCourtTypes(4, " DSDD"));
    EXPECT_EQ(plan.CourtType(2), 'S');
    EXPECT_EQ(plan.PlayersPerCourt(2), 2);
    EXPECT_EQ(plan.PlayersPerCourt(5), 0);
    EXPECT_EQ(plan.CourtType(0), '?');
    for (int r = 1; r <= 3; ++r)
        EXPECT_EQ(plan.Round(r),
                  (std::vector<int>{1, 2, 3, 4, 5, 0, 7, 0, 9, 10, 11, 12, 13, 14, 15, 16}));
    EXPECT_TRUE(plan.SetCourts(6, 'D'));
    EXPECT_EQ(plan.Round(2), (std::vector<int>{1,  2,  3,  4,  5, 0, 7, 0, 9, 10, 11, 12,
                                               13, 14, 15, 16, 0, 0, 0, 0, 0, 0,  0,  0}));
    EXPECT_TRUE(plan.AllCourtsOfType('D'));
    EXPECT_FALSE(plan.SetCourts(0, 'D'));
    EXPECT_FALSE(plan.SetCourts(256, 'D'));
    EXPECT_EQ(plan.CourtCount(), 6);

    std::string notations[100];
    notations[1] = "Monday 7:30 pm, court A";
    notations[2] = "Mardi 19 h, côté A";
    EXPECT_TRUE(plan.SetRounds(2, notations));
    EXPECT_EQ(notations[1], "Monday 7:30 pm");
    EXPECT_EQ(plan.RoundName(1), "Monday 7:30 pm");
    EXPECT_EQ(plan.RoundName(2), "Mardi 19 h, cô") << "characters, not bytes";
    EXPECT_EQ(plan.RoundName(3), "");
    EXPECT_EQ(plan.RoundCount(), 2);
    EXPECT_EQ(plan.GetSlot(3, 1, 1), 0);
    EXPECT_EQ(plan.GetSlot(2, 4, 4), 16);
    EXPECT_FALSE(plan.SetRounds(0, notations));
    EXPECT_FALSE(plan.SetRounds(100, notations));

    SetupDataCR setup;
    setup.roundNotations[7] = "stale";
    EXPECT_EQ(setup.LoadCourtTypes(plan), 1);
    setup.LoadRoundNotations(plan);
    EXPECT_EQ(setup.roundNotations[1], "Monday 7:30 pm");
    EXPECT_EQ(setup.roundNotations[7], "");
    plan.SetCourtTypes(3, " SDS");
    EXPECT_EQ(setup.LoadCourtTypes(plan), 2);
    EXPECT_EQ(std::string(setup.courtTypes + 1, 3), "SDS");
    plan.SetCourts(2, 'S');
    EXPECT_EQ(setup.LoadCourtTypes(plan), 0);
    EXPECT_EQ(setup.courtTypes[3], '\0') << "the third court's old type is gone";
    setup.courts = 3;
    setup.courtTypes[2] = 'x';
    setup.NormalizeCourtTypes();
    EXPECT_EQ(std::string(setup.courtTypes + 1, 3), "SDD");
}

TEST(MatchPlanSlots, AWholeBoxIsWrittenOrLeftAsItWas) {
    struct Case {
        const char* what;
        int players[4];
        short code;
        std::vector<int> after; // court 1 of round 1
    };
    // Round 1 holds 1 2 v 3 4 on court 1 and 5 v 6 on court 2.
    const std::vector<int> kept{1, 2, 3, 4};
    const Case cases[] = {
        {"sides swapped", {3, 4, 1, 2}, rcOk, {3, 4, 1, 2}},
        {"a second alone fills the first place", {0, 2, 3, 0}, rcOk, {2, 0, 3, 0}},
        {"emptied", {0, 0, 0, 0}, rcOk, {0, 0, 0, 0}},
        {"a player of court 2 on the second side", {1, 2, 5, 4}, rcScheduledTwice, kept},
        {"a player twice in the box", {1, 2, 1, 4}, rcScheduledTwice, kept},
        {"no such player", {1, 2, 3, 9}, rcBadData, kept},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.what);
        ShapedPlan plan(8, 2, 2);
        plan.SetRound(1, {1, 2, 3, 4, 5, 0, 6, 0});
        ASSERT_TRUE(plan.Save(testing::TempDir() + "writebox.rxd"));
        EXPECT_EQ(plan.WriteBox(1, 1, test.players), test.code);
        const std::vector<int> round = plan.Round(1);
        EXPECT_EQ(std::vector<int>(round.begin(), round.begin() + 4), test.after);
        EXPECT_EQ(std::vector<int>(round.begin() + 4, round.end()), (std::vector<int>{5, 0, 6, 0}));
        EXPECT_EQ(plan.IsModified(), test.code == rcOk);
    }
    ShapedPlan plan(4, 1, 1);
    EXPECT_EQ(plan.WriteBox(2, 1, {1, 0, 2, 0}), rcBadData) << "no round 2";
}

TEST(MatchPlanSizes, GapThresholdSkillDistanceAndRoundRobinSizes) {
    Plan nine("MFMFMFMFM", "DD", 1);
    nine.ComputeGapThreshold();
    EXPECT_EQ(nine.GapThreshold(), 2);
    EXPECT_EQ(nine.SkillDistance(9, 1), 100);
    EXPECT_EQ(nine.SkillDistance(3, 5), 25);
    int men = 0, women = 0, others = 0;
    nine.GenderCounts(men, women, others);
    EXPECT_EQ(std::tuple(men, women, others), std::tuple(5, 4, 0));

    // No courts seat nobody, and one player is no distance from himself:
    // neither divides by zero.
    Plan courtless("M ", "", 0);
    courtless.ComputeGapThreshold();
    EXPECT_EQ(courtless.GapThreshold(), Matches::MaxRounds);
    courtless.GenderCounts(men, women, others);
    EXPECT_EQ(std::tuple(men, women, others), std::tuple(1, 0, 1));
    Plan alone("F", "S", 1);
    EXPECT_EQ(alone.SkillDistance(1, 1), 0);

    struct Case {
        int players, type, rounds, courts;
    };
    for (const Case& test : {Case{12, 200, 11, 6},
                             {12, 300, 11, 3},
                             {12, 400, 5, 3},
                             {12, 350, 5, 3},
                             {10, 400, 5, 2},
                             {11, 200, 11, 5},
                             {12, 100, 0, 0},
                             {12, 500, 0, 0}}) {
        Plan plan(std::string(static_cast<std::size_t>(test.players), 'M'), "D", 1);
        int rounds = -1, courts = -1;
        plan.RoundRobinSize(test.type, rounds, courts);
        EXPECT_EQ(std::pair(rounds, courts), std::pair(test.rounds, test.courts))
            << test.players << " players, type " << test.type;
    }
}

TEST(MatchPlanHosts, BalancingSpreadsHostingAndKeepsEverySide) {
    BoxScript boxes;
    Plan plan("MMMM", "D", 4);
    for (int r = 1; r <= 4; ++r)
        plan.SetRound(r, {1, 2, 3, 4});
    boxes.Expect("Information", "The first player in each match is the designated host.",
                 MB_OK | MB_ICONINFORMATION);
    plan.DesignateHosts();
    std::vector<int> hosts;
    for (int r = 1; r <= 4; ++r) {
        auto box = plan.Round(r);
        hosts.push_back(box[0]);
        std::sort(box.begin(), box.begin() + 2);
        std::sort(box.begin() + 2, box.end());
        if (box[0] == 3) std::swap_ranges(box.begin(), box.begin() + 2, box.begin() + 2);
        EXPECT_EQ(box, (std::vector<int>{1, 2, 3, 4})) << "round " << r;
    }
    EXPECT_EQ(hosts, (std::vector<int>{4, 2, 3, 1}));

    Plan singles("MMMM", "S", 4);
    for (int r = 1; r <= 4; ++r)
        singles.SetRound(r, {1, 0, 2, 0});
    singles.BalanceHosts();
    EXPECT_EQ(singles.All(), (std::vector<std::vector<int>>{
                                 {2, 0, 1, 0}, {2, 0, 1, 0}, {1, 0, 2, 0}, {1, 0, 2, 0}}));

    Plan league("MMMM", "D", 2);
    league.SetRound(1, {1, 2, 3, 4});
    league.SetRound(2, {1, 2, 3, 4});
    league.SetScheduleType(stLeague);
    boxes.Expect("Warning", "Designate Host Player is not supported for this schedule type.",
                 MB_OK | MB_ICONEXCLAMATION);
    league.DesignateHosts();
    EXPECT_EQ(league.All(), (std::vector<std::vector<int>>{{1, 2, 3, 4}, {1, 2, 3, 4}}));
}

TEST(MatchPlanPartners, ThePartnerOfTheFirstTakesTheSecondsNumberInEveryRound) {
    Plan plan("MMMMMMMMM", "DD", 2);
    plan.SetRound(1, {5, 3, 2, 4, 1, 9, 6, 7});
    plan.SetRound(2, {1, 5, 3, 4, 9, 0, 2, 0});
    plan.ApplyPreferredPartners(2);
    // 1 and 5 partner in round 2: 5 and 2 exchange numbers; 3 and 4 already
    // partner; 7 is idle; 9 has no neighbour.
    EXPECT_EQ(plan.Round(1), (std::vector<int>{2, 3, 5, 4, 1, 9, 6, 7}));
    EXPECT_EQ(plan.Round(2), (std::vector<int>{1, 2, 3, 4, 9, 0, 5, 0}));
}

TEST(MatchPlanPlayers, AFailedInsertLeavesTheCountAsItWas) {
    Plan plan("", "D", 1);
    FailNextAllocation();
    EXPECT_EQ(plan.AddPlayer(Named("Ann", "Lee"), nullptr), rcInternal);
    EXPECT_EQ(plan.PlayerCount(), 0);
    EXPECT_EQ(plan.SetSlot(1, 1, 1, 1), rcBadData) << "no player 1 to schedule";
    ASSERT_EQ(plan.AddPlayer(Named("Ann", "Lee"), nullptr), rcOk);
    EXPECT_EQ(plan.PlayerCount(), 1);
    EXPECT_EQ(plan.PlayerFirstName(1), "Ann");
}

TEST(MatchPlanEvent, DefaultsAndTheEventOperations) {
    BoxScript boxes;
    Matches plan;
    EXPECT_EQ(plan.Options(), 0xFFF7u);
    EXPECT_FALSE(plan.HasOption(SkillDisparity | StrictlyMixed));
    EXPECT_TRUE(plan.HasOption(Gaps | SkillDisparity));
    EXPECT_EQ(plan.DisparityThreshold(), 100);
    EXPECT_EQ(plan.DiversityLimit(), 2);
    EXPECT_EQ(plan.GapThreshold(), -1);
    EXPECT_EQ(plan.ScheduleType(), stNone);
    EXPECT_FALSE(plan.IsModified());
    plan.SetOptions(StrictlyMixed);
    plan.ClearOptions(Gaps);
    EXPECT_EQ(plan.Options(), 0x1FFD7u);
    EXPECT_TRUE(plan.IsModified());
    boxes.Expect("Debugging", "caller  not NULL", MB_OK | MB_ICONEXCLAMATION);
    plan.DebugDump("caller");
    plan.Reset();
    boxes.Expect("Debugging", "caller  NULL", MB_OK | MB_ICONEXCLAMATION);
    plan.DebugDump("caller");
    // After a reset the grid is empty but there: shaping it again works.
    EXPECT_TRUE(plan.SetCourts(2, 'D'));
    std::string notations[3];
    EXPECT_TRUE(plan.SetRounds(2, notations));
    EXPECT_EQ(plan.PutSlot(2, 2, 4, 1), rcOk);
    plan.SetManuallyModified();
    plan.ClearResults(false);
    EXPECT_EQ(plan.GetSlot(2, 2, 4), 0);
    EXPECT_FALSE(plan.ManuallyModified());
    EXPECT_EQ(plan.RoundCount(), 2);
    EXPECT_EQ(plan.ResultCount(), 0);
}
