#pragma once
// Draws for tests: players by number, the bracket read back whole, the
// clock fixed for repeatable draws.

#include "tests/support/Players.h"
#include "unified/draw/Draw.h"

#include "platform/Clock.h"

#include <bit>
#include <ctime>
#include <gtest/gtest.h>
#include <string>
#include <vector>

// Players "F1 L1" ... "Fn Ln", the list (and seeding) order by number.
inline void AddPlayers(Draw& draw, int count) {
    for (int i = draw.PlayerCount() + 1; i <= count; ++i)
        ASSERT_EQ(draw.AddPlayer(Named("F" + std::to_string(i), "L" + std::to_string(i)), nullptr),
                  rcOk);
}

// Every match of the draw in list order, read through the draw's own
// round and match indexing.
inline std::vector<TResult> Matches(const Draw& draw) {
    std::vector<TResult> all;
    for (int r = 1; r <= draw.RoundCount(); ++r)
        for (int m = 1; m <= draw.MatchesInRound(r); ++m)
            all.push_back(draw.GetMatch(r, m));
    return all;
}

inline bool SameMatch(const TResult& a, const TResult& b) {
    return a.first == b.first && a.second == b.second && a.winner == b.winner &&
           a.dateTime == b.dateTime && a.location == b.location && a.score == b.score;
}

inline bool SameMatches(const std::vector<TResult>& a, const std::vector<TResult>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (!SameMatch(a[i], b[i])) return false;
    return true;
}

// The round-1 slots of a draw, slot s at index s (index 0 unused).
inline std::vector<int> FirstRoundSlots(const Draw& draw) {
    std::vector<int> slots(1, 0);
    for (int m = 1; m <= draw.MatchesInRound(1); ++m) {
        const TResult match = draw.GetMatch(1, m);
        slots.push_back(match.first);
        slots.push_back(match.second);
    }
    return slots;
}

// Fixes the clock, and with it the random order of a draw, at a moment.
class FixedClock {
public:
    explicit FixedClock(std::time_t moment) { SetFixedClock(moment); }
    ~FixedClock() { ClearFixedClock(); }
    FixedClock(const FixedClock&) = delete;
    FixedClock& operator=(const FixedClock&) = delete;
};

// A draw whose bracket a test can make, or break, by hand.
class BareDraw : public Draw {
public:
    void MakeBracket(int size) {
        matchList.Clear();
        rounds = static_cast<std::int16_t>(std::bit_width(static_cast<unsigned>(size)) - 1);
        for (int m = 1; m <= size - 1; ++m)
            matchList.SetAt(m, TResult{});
    }
    TResult& At(int index) { return *matchList.Item(index); }
    void MarkSaved() { state = StateSaved; }
};
