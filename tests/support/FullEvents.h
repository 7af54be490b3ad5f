#pragma once
// Full-size events, built the same way for the tests and the benchmarks:
// players with every text at its limit, and the ladders and draws the
// program's limits allow at their largest.

#include "unified/core/Player.h"

#include <string>

class Draw;
class Ladder;

// A text of exactly `limit` characters that starts with `start` (and so
// differs for each start); it holds characters the percent form escapes.
std::string FullText(const std::string& start, int limit);

// A player whose 13 texts are all at their limits; `role` and n make its
// names its own.
Player FullPlayer(int n, const std::string& role);

// The largest ladder a file holds: 800 doubles players with partners, every
// text of a player, partner, heading, note, subject and score at its limit,
// and 1,500 results, of which 1,200 are posted over four issues and 300 are
// pending.
void BuildLargestLadder(Ladder& ladder);

// A ladder for posting: 800 singles players and 1,500 pending results,
// played in the top part of the ladder, mostly by a lower player beating one
// a few places above; the bottom part sits idle for 0 to 8 periods, so that
// about a third of it drops when an issue is generated.
void BuildFullLadder(Ladder& ladder, bool points);
// The display name of player i of BuildFullLadder.
std::string FullLadderName(int i);

// The largest draw's players: 800 doubles players with partners, every text
// of a player, partner, heading, note and subject at its limit.
void AddFullDrawPlayers(Draw& draw);
// Enters every result of a draw, round by round, the texts at their limits:
// the first player wins the odd matches, the second the even ones.
void EnterEveryResult(Draw& draw);
// The largest draw a file holds: the full players, the default 128 seeds
// with byes to them, every result entered.
void BuildFullDraw(Draw& draw);
