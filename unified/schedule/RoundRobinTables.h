#pragma once
// The fixed data of the round-robin generators: the base rounds of the
// doubles round robin, the mixed doubles tables of 6, 12 and 20 players, and
// the men's and partner tables of the other mixed doubles sizes.

#include <cstdint>

// The base round of a doubles round robin of n players (4, 8, ... 24): n / 4
// courts of four values, -1 for player n; null for any other n.
const std::int8_t* WhistBaseRound(int n);

// The fixed mixed table of 6, 12 or 20 players: round after round, court
// after court, positions 1 to 4; null for any other n.
const std::uint8_t* FixedMixedTable(int n, int& rounds);

// A complete round robin of h men by couple number: round after round,
// h / 2 pairs, the first man of a pair going to position 1.
struct SamdrrMenTable {
    int rounds = 0;
    const std::uint8_t* pairs = nullptr;
};
// The men's table of h couples; no pairs when there is none.
SamdrrMenTable SamdrrMen(int h);
// The h rows of h couples' partner table when it is kept as data (4, 8, 9
// and 12 couples); null for the counts whose table follows the rule, and
// for those without one.
const std::uint8_t* SamdrrPartnerRows(int h);
