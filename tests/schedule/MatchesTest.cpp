#include "unified/schedule/Matches.h"
#include "tests/support/Players.h"

#include <gtest/gtest.h>
#include <string>
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
