#pragma once
// Player records for tests.

#include "unified/core/Player.h"

#include <string>

// A player of these names; the points field carries the place an event is
// asked to put the player at (0 for the end).
inline Player Named(const std::string& first, const std::string& last, int wantedPlace = 0) {
    Player p;
    p.firstName = first;
    p.lastName = last;
    p.points = wantedPlace;
    return p;
}
