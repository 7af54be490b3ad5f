#pragma once
// Player records for tests.

#include "tests/support/Golden.h"
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

// A player from a script line's fields, from `from` on: first and last
// name, work and home phone, e-mail, the two other contacts.
inline Player ScriptPerson(const ScriptLine& line, std::size_t from) {
    Player p;
    p.firstName = line.Arg(from);
    p.lastName = line.Arg(from + 1);
    p.workPhone = line.Arg(from + 2);
    p.homePhone = line.Arg(from + 3);
    p.email = line.Arg(from + 4);
    p.other1 = line.Arg(from + 5);
    p.other2 = line.Arg(from + 6);
    return p;
}
