#pragma once
// A full-size ladder for the benchmarks: 800 players and 1,500 pending
// results, with inactive players to drop.

#include "unified/ladder/Ladder.h"

#include <random>
#include <string>

inline std::string FullLadderName(int i) {
    return "Player" + std::to_string(i) + ", F";
}

// Results are played in the top part of the ladder, mostly by a lower
// player beating one a few places above; the bottom part sits idle for 0
// to 8 periods, so that about a third of it drops when an issue is
// generated.
inline void BuildFullLadder(Ladder& ladder, bool points) {
    constexpr int kPlayers = 800;
    constexpr int kActive = 500;
    if (points) {
        ladder.SetLadderSystem(1);
        ladder.SetPointsOptions(3, 1, 2, 2, 0.5f, 0.25f, 1.0f);
    }
    ladder.SetPenaltyStart(4);
    ladder.SetPenaltyCycle(2);
    for (int i = 1; i <= kPlayers; ++i) {
        ::Player p;
        p.firstName = "F";
        p.lastName = "Player" + std::to_string(i);
        ladder.AddPlayer(p, nullptr);
        ladder.Player(i)->inactivity = i > kActive ? i % 9 : 0;
    }
    std::mt19937 rng(7);
    for (int n = 0; n < MaxLadderResults; ++n) {
        const int loser = 1 + static_cast<int>(rng() % (kActive - 5));
        const int winner = loser + 1 + static_cast<int>(rng() % 5);
        const bool upset = rng() % 4 != 0;
        const std::string date =
            std::to_string(1 + rng() % 12) + "/" + std::to_string(1 + rng() % 28) + "/09";
        ladder.EnterResult(date, FullLadderName(upset ? winner : loser),
                           FullLadderName(upset ? loser : winner), "6-3, 4-6, 7-6(5)",
                           rng() % 20 == 0);
    }
}
