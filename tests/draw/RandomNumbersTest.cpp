// The random order of a range: a permutation of the range, the same for
// every order built within one second of the clock, none for a range that
// is empty, reversed or below 1.
#include "unified/draw/RandomNumbers.h"
#include "tests/draw/DrawSupport.h"

#include "platform/Random.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <numeric>
#include <random>
#include <vector>

namespace {

std::vector<int> Order(const RandomNumbers& order) {
    std::vector<int> numbers;
    for (int i = 1; i <= order.Count(); ++i)
        numbers.push_back(order.At(i));
    return numbers;
}

} // namespace

TEST(RandomNumbers, EveryOrderIsAPermutationOfItsRange) {
    std::mt19937 rng(12);
    for (int trial = 0; trial < 300; ++trial) {
        const int a = 1 + static_cast<int>(rng() % 900);
        const int n = a + static_cast<int>(rng() % (trial < 20 ? 3 : 900));
        const std::time_t moment = static_cast<std::time_t>(rng());
        SCOPED_TRACE("range " + std::to_string(a) + ".." + std::to_string(n) + " clock " +
                     std::to_string(moment));
        FixedClock clock(moment);
        const RandomNumbers order(a, n);
        ASSERT_TRUE(order.IsValid());
        ASSERT_EQ(order.Count(), n - a + 1);
        std::vector<int> numbers = Order(order);
        std::sort(numbers.begin(), numbers.end());
        std::vector<int> range(static_cast<std::size_t>(n - a + 1));
        std::iota(range.begin(), range.end(), a);
        EXPECT_EQ(numbers, range);
        EXPECT_EQ(order.At(0), 0);
        EXPECT_EQ(order.At(order.Count() + 1), 0);
    }
}

TEST(RandomNumbers, RangesWithoutAnOrderGiveZeroEverywhere) {
    const std::pair<int, int> none[] = {{3, 2}, {0, 3}, {-2, 4}, {1, 0}, {0, 0}, {5, -5}};
    for (const auto& [a, n] : none) {
        const RandomNumbers order(a, n);
        EXPECT_FALSE(order.IsValid()) << a << ".." << n;
        for (int i = -1; i <= 3; ++i)
            EXPECT_EQ(order.At(i), 0) << a << ".." << n << " at " << i;
    }
    const RandomNumbers single(5, 5);
    EXPECT_EQ(Order(single), std::vector<int>{5});
}

TEST(RandomNumbers, TheClockInSecondsSeedsTheOrder) {
    std::vector<int> first;
    {
        FixedClock clock(1'262'347'200);
        SeedRandomFromClock();
        const int a = Rand(), b = Rand();
        RandSeed(1'262'347'200u);
        EXPECT_EQ(Rand(), a);
        EXPECT_EQ(Rand(), b);
        first = Order(RandomNumbers(1, 60));
        EXPECT_EQ(Order(RandomNumbers(1, 60)), first) << "built within the same second";
    }
    FixedClock nextSecond(1'262'347'201);
    EXPECT_NE(Order(RandomNumbers(1, 60)), first);
}
