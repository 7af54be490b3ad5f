#include "unified/draw/Draw.h"
#include "tests/support/Players.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Order(const Draw& draw) {
    std::vector<std::string> names;
    for (int n = 1; n <= draw.PlayerCount(); ++n)
        names.push_back(draw.Player(n)->firstName);
    return names;
}

// A draw whose bracket has been made (by the draw builder, elsewhere).
class MadeDraw : public Draw {
public:
    void MakeBracket(int size) {
        matches = static_cast<std::int16_t>(size - 1);
        rounds = 0;
        for (int s = size; s > 1; s /= 2)
            ++rounds;
        for (int m = 1; m <= matches; ++m)
            matchList.SetAt(m, TResult{});
    }
};

} // namespace

TEST(DrawPlayers, AddingRefusesInItsOrder) {
    MadeDraw draw;
    EXPECT_EQ(draw.AddPlayer(Named(" ", "  "), nullptr), 9);
    EXPECT_EQ(draw.AddPlayer(Named("", ""), nullptr), 9);
    ASSERT_EQ(draw.AddPlayer(Named("Ann", "Baker"), nullptr), 0);
    EXPECT_EQ(draw.AddPlayer(Named("Ann", "Baker"), nullptr), 8);
    EXPECT_EQ(draw.AddPlayer(Named("Ann", "baker"), nullptr), 0) << "names compare exactly";
    EXPECT_EQ(draw.AddPlayer(Named("Ann", "Baker "), nullptr), 0);

    // Once the bracket stands no player comes or goes, and that is said
    // before anything about the names.
    draw.MakeBracket(4);
    EXPECT_EQ(draw.AddPlayer(Named("", ""), nullptr), 200);
    EXPECT_EQ(draw.DeletePlayer(1), 200);
    EXPECT_EQ(draw.PlayerCount(), 3);
}

TEST(DrawPlayers, TheLimitComesFirst) {
    MadeDraw draw;
    for (int i = 1; i <= MaxPlayers; ++i)
        ASSERT_EQ(draw.AddPlayer(Named("P", std::to_string(i)), nullptr), 0);
    EXPECT_EQ(draw.AddPlayer(Named("One", "More"), nullptr), 7);
    draw.MakeBracket(1024);
    EXPECT_EQ(draw.AddPlayer(Named("", ""), nullptr), 7);
    EXPECT_EQ(draw.PlayerCount(), MaxPlayers);
}

TEST(DrawPlayers, TheWantedPlaceInTheSeedingOrderOrTheEnd) {
    Draw draw;
    for (const char* name : {"A", "B", "C"})
        ASSERT_EQ(draw.AddPlayer(Named(name, "X"), nullptr), 0);
    ASSERT_EQ(draw.AddPlayer(Named("First", "X", 1), nullptr), 0);
    ASSERT_EQ(draw.AddPlayer(Named("Fourth", "X", 4), nullptr), 0);
    EXPECT_EQ(Order(draw), (std::vector<std::string>{"First", "A", "B", "Fourth", "C"}));
    // A place past the players already there, or none, is the end.
    ASSERT_EQ(draw.AddPlayer(Named("Six", "X", 6), nullptr), 0);
    ASSERT_EQ(draw.AddPlayer(Named("Neg", "X", -2), nullptr), 0);
    EXPECT_EQ(Order(draw).back(), "Neg");
    EXPECT_EQ(Order(draw)[5], "Six");
    EXPECT_TRUE(draw.IsModified());
}

TEST(DrawPlayers, APairTakesACopyOfTheGivenPartnerOnly) {
    Draw draw;
    draw.SetDoubles();
    ::Player pair = Named("Ann", "Baker");
    pair.partner.Set(Named("Stale", "Record"));
    ::Player partner = Named("Amy", "Cole");
    ASSERT_EQ(draw.AddPlayer(pair, &partner), 0);
    pair.firstName = "Bob";
    ASSERT_EQ(draw.AddPlayer(pair, nullptr), 0);
    partner.firstName = "Changed";
    EXPECT_EQ(draw.Player(1)->partner->firstName, "Amy");
    EXPECT_FALSE(draw.Player(2)->partner) << "the record's own partner is not taken";
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
    EXPECT_EQ(draw.CheckPlayersEditable(), 200);
    draw.ClearResults(false);
    EXPECT_EQ(draw.ResultCount(), 0);
    EXPECT_EQ(draw.RoundCount(), 0);
    EXPECT_FALSE(draw.IsManualMode());
    EXPECT_TRUE(draw.IsModified());
    EXPECT_EQ(draw.CheckPlayersEditable(), 0);
    EXPECT_EQ(draw.AddPlayer(Named("Ann", "Baker"), nullptr), 0);

    draw.MakeBracket(2);
    draw.Reset();
    EXPECT_EQ(draw.ResultCount(), 0);
    EXPECT_EQ(draw.PlayerCount(), 0);
    EXPECT_EQ(draw.SeedCount(), -1);
    EXPECT_FALSE(draw.IsModified());
}
