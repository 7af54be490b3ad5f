#include "unified/schedule/BoxMatrix.h"

#include <gtest/gtest.h>
#include <random>

TEST(BoxMatrix, ResizeKeepsEveryBoxThatFitsAndEmptiesTheRest) {
    const unsigned seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    const auto upTo = [&](int most) { return std::uniform_int_distribution<int>(0, most)(random); };
    for (int trial = 0; trial < 200; ++trial) {
        BoxMatrix grid;
        const int rounds = upTo(BoxMatrix::MaxRounds);
        const int courts = upTo(12);
        ASSERT_EQ(grid.Allocate(rounds, courts), 0);
        // Every position gets a number of its own, so that a box copied to
        // the wrong place shows.
        const auto number = [](int r, int c, int p) { return r * 1000 + c * 10 + p; };
        for (int r = 1; r <= rounds; ++r)
            for (int c = 1; c <= courts; ++c)
                for (int p = 1; p <= 4; ++p)
                    grid.Set(r, c, p, number(r, c, p) % 30000);
        const int newRounds = upTo(BoxMatrix::MaxRounds);
        const int newCourts = upTo(12);
        ASSERT_EQ(grid.Resize(newRounds, newCourts), 0);
        ASSERT_EQ(grid.Rounds(), newRounds);
        ASSERT_EQ(grid.Courts(), newCourts);
        for (int r = 0; r <= BoxMatrix::MaxRounds + 1; ++r)
            for (int c = 0; c <= newCourts + 1; ++c)
                for (int p = 1; p <= 4; ++p) {
                    const bool inNew = r >= 1 && r <= newRounds && c >= 1 && c <= newCourts;
                    const bool kept = inNew && r <= rounds && c <= courts;
                    ASSERT_EQ(grid.Get(r, c, p), kept ? number(r, c, p) % 30000 : 0)
                        << rounds << "x" << courts << " to " << newRounds << "x" << newCourts
                        << " at " << r << "," << c << "," << p;
                }
    }
}

TEST(BoxMatrix, RefusedResizeAndWritesOutsideLeaveTheGridAsItWas) {
    BoxMatrix grid;
    ASSERT_EQ(grid.Allocate(2, 2), 0);
    grid.Set(2, 2, 4, 7);
    EXPECT_EQ(grid.Resize(BoxMatrix::MaxRounds + 1, 2), 4);
    EXPECT_EQ(grid.Resize(2, -1), 4);
    grid.Set(3, 1, 1, 9);
    grid.Set(1, 3, 1, 9);
    grid.Set(1, 1, 5, 9);
    EXPECT_EQ(grid.Rounds(), 2);
    EXPECT_EQ(grid.Get(2, 2, 4), 7);
    EXPECT_TRUE(grid.IsInRound(2, 7));
    EXPECT_FALSE(grid.IsInRound(1, 9));
    EXPECT_FALSE(grid.IsInRound(3, 9));
    grid.ClearBox(2, 2);
    EXPECT_FALSE(grid.IsInRound(2, 7));
}
