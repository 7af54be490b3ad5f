// The mixer's pair counters: what is in range counts, within a byte, and a
// pair reads the same from either end.
#include "unified/schedule/CounterMatrix.h"

#include <gtest/gtest.h>
#include <utility>

TEST(CounterMatrix, CountsInRangeWithinAByteAndReadsPairsFromEitherEnd) {
    CounterMatrix counts(5, 5); // players 1 to 4
    ASSERT_TRUE(counts.IsValid());
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 5; ++c)
            EXPECT_EQ(counts.Get(r, c, false), r == 0 || c == 0 ? 255 : 0) << r << "," << c;

    counts.Increment(2, 4);
    counts.Increment(2, 4);
    EXPECT_EQ(counts.Get(2, 4, false), 2);
    EXPECT_EQ(counts.Get(4, 2, true), 2) << "the pair's count is kept under the smaller number";
    EXPECT_EQ(counts.Get(4, 2, false), 0);
    EXPECT_EQ(counts.Get(2, 4, true), 2) << "a symmetric read in order reads the row itself";

    // Outside the players nothing changes and nothing counts.
    for (auto [r, c] : {std::pair{0, 1}, {1, 0}, {5, 1}, {1, 5}, {-1, 2}, {2, -1}}) {
        counts.Increment(r, c);
        counts.Decrement(r, c);
        EXPECT_EQ(counts.Get(r, c, true), 255) << r << "," << c;
    }

    counts.Decrement(2, 4);
    counts.Decrement(2, 4);
    counts.Decrement(2, 4);
    EXPECT_EQ(counts.Get(2, 4, false), 0) << "no wrap below 0";
    for (int i = 0; i < 300; ++i)
        counts.Increment(1, 3);
    EXPECT_EQ(counts.Get(1, 3, false), 255) << "no wrap past 255";
    counts.Decrement(1, 3);
    EXPECT_EQ(counts.Get(1, 3, false), 254);

    for (int r = 1; r < 5; ++r)
        for (int c = 1; c < 5; ++c)
            if (!(r == 1 && c == 3)) {
                EXPECT_EQ(counts.Get(r, c, false), 0) << r << "," << c;
            }
}

TEST(CounterMatrix, AShapeThatCannotBeHeldIsNotValid) {
    EXPECT_FALSE(CounterMatrix(-1, 3).IsValid());
    EXPECT_FALSE(CounterMatrix(3, -1).IsValid());
    const CounterMatrix none(0, 0);
    EXPECT_TRUE(none.IsValid());
    EXPECT_EQ(none.Get(1, 1, false), 255);
}
