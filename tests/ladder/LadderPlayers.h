#pragma once
// Players for ladder tests.

#include "unified/ladder/Ladder.h"

#include <gtest/gtest.h>
#include <string>

inline ::Player Named(const std::string& first, const std::string& last, int points = 0) {
    ::Player p;
    p.firstName = first;
    p.lastName = last;
    p.points = points;
    return p;
}

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
