#pragma once
// Players for ladder tests.

#include "tests/support/Players.h"
#include "unified/ladder/Ladder.h"

#include <gtest/gtest.h>
#include <string>

// A ladder of players "P1, F1" ... "Pn, Fn" in that order.
inline void Fill(Ladder& ladder, int n) {
    for (int i = 1; i <= n; ++i)
        ASSERT_EQ(
            ladder.AddPlayer(Named("F" + std::to_string(i), "P" + std::to_string(i)), nullptr), 0);
}

// The display name of player i of Fill.
inline std::string Name(int i) {
    return "P" + std::to_string(i) + ", F" + std::to_string(i);
}
