#include "unified/draw/Draw.h"
#include "tests/support/Players.h"

#include <bit>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// A draw whose bracket can be made (by the draw builder, elsewhere).
class MadeDraw : public Draw {
public:
    void MakeBracket(int size) {
        matches = static_cast<std::int16_t>(size - 1);
        rounds = static_cast<std::int16_t>(std::bit_width(static_cast<unsigned>(size)) - 1);
        for (int m = 1; m <= matches; ++m)
            matchList.SetAt(m, TResult{});
    }

    std::vector<std::string> Order() const {
        std::vector<std::string> names;
        for (int n = 1; n <= PlayerCount(); ++n)
            names.push_back(Player(n)->firstName);
        return names;
    }
};

} // namespace

TEST(DrawPlayers, AddingRefusesTheLimitThenTheBracketThenTheNames) {
    MadeDraw draw;
    EXPECT_EQ(draw.AddPlayer(Named(" ", "  "), nullptr), rcNoName);
    ASSERT_EQ(draw.AddPlayer(Named("Ann", "Baker"), nullptr), rcOk);
    EXPECT_EQ(draw.AddPlayer(Named("Ann", "Baker"), nullptr), rcDuplicateName);
    EXPECT_EQ(draw.AddPlayer(Named("Ann", "baker"), nullptr), rcOk) << "names compare exactly";
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
    MadeDraw draw;
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
    EXPECT_EQ(draw.Order(),
              (std::vector<std::string>{"First", "A", "B", "Fourth", "C", "Past", "Own"}));
    EXPECT_EQ(draw.Player(1)->partner->firstName, "Amy");
    EXPECT_FALSE(draw.Player(7)->partner) << "the record's own partner is not taken";
    EXPECT_TRUE(draw.IsDoubles());
}

TEST(DrawState, ClearingAndManualModeFollowTheBracket) {
    MadeDraw draw;
    draw.EnterManualMode();
    EXPECT_EQ(draw.SeedCount(), 0);
    draw.ClearResults(false);
    EXPECT_TRUE(draw.IsManualMode()) << "nothing to clear without a bracket";
    EXPECT_FALSE(draw.IsModified());
    draw.MakeBracket(8);
    EXPECT_EQ(draw.ResultCount(), 7);
    EXPECT_EQ(draw.RoundCount(), 3);
    draw.ClearResults(false);
    EXPECT_EQ(draw.ResultCount() + draw.RoundCount(), 0);
    EXPECT_FALSE(draw.IsManualMode());
    EXPECT_TRUE(draw.IsModified());
    draw.MakeBracket(2);
    draw.Reset();
    EXPECT_EQ(draw.ResultCount(), 0);
    EXPECT_EQ(draw.SeedCount(), -1);
    EXPECT_FALSE(draw.IsModified());
}
