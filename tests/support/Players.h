#pragma once
// Player records for tests.

#include "unified/core/Player.h"

#include <string>

// A player of these names. The points field carries the points of a ladder
// player, or the place another kind is asked to put the player at (0 for the
// end).
inline Player Named(const std::string& first, const std::string& last, int points = 0) {
    Player p;
    p.firstName = first;
    p.lastName = last;
    p.points = points;
    return p;
}
