#include "unified/schedule/Matches.h"
#include "tests/support/Players.h"

#include <gtest/gtest.h>
#include <string>
#include <tuple>
#include <vector>

namespace {

// A plan of players "P1" to "Pn" whose rounds and courts were set up (by its
// dialogs, elsewhere).
class ShapedPlan : public Matches {
public:
    ShapedPlan(int players, int roundCount, int courtCount) {
        for (int i = 1; i <= players; ++i)
            AddPlayer(Named("P" + std::to_string(i), "X"), nullptr);
        rounds = static_cast<std::int16_t>(roundCount);
        courts = static_cast<std::int16_t>(courtCount);
        boxes.Allocate(roundCount, courtCount);
    }

    // Round r's boxes, court after court, four positions each.
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
class Plan : public Matches {
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
