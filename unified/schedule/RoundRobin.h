#pragma once
// The fixed-pattern generators of the match schedule: singles, doubles,
// fixed-partner and mixed doubles round robins, and the home-and-away
// league. Each empties the plan's grid, checks the plan's size and court
// types, writes its pattern and returns 0 or the code of what it refused.

#include <cstdint>
#include <utility>

class Matches;

// The circle method on x players or teams: number 1 stays put, the others
// turn one place a round. With an odd x a dummy makes the count even and
// whoever meets it rests.
class RoundRobin {
public:
    explicit RoundRobin(int x);

    bool IsValid() const { return size != 0; }
    // The circle's size, the player count plus the dummy; 0 when invalid.
    int Size() const { return size; }
    int Rounds() const { return roundCount; }
    bool HasBye() const { return bye; }
    // The matches played in a round.
    int MatchCount() const { return bye ? pairCount - 1 : pairCount; }
    // The player (1 to x) on side 1 or 2 of match k in round r; 0 outside
    // the rounds or matches.
    int Player(int r, int k, int side) const;

private:
    std::uint16_t size = 0;
    std::uint16_t roundCount = 0;
    bool bye = false;
    std::uint16_t pairCount = 0;
    std::uint16_t base[51][2] = {};
};

// Doubles with rotating partners: n / 4 courts of a base round that turns
// over n - 1 rounds, player n staying put.
class Whist {
public:
    explicit Whist(int n);

    bool IsValid() const { return size != 0; }
    int Rounds() const { return size - 1; }
    // The player in position p (1 to 4) of court j in round r.
    int Player(int r, int j, int p) const;

private:
    std::uint16_t size = 0;
    const std::int8_t* table = nullptr;
};

// Mixed doubles of h = n / 2 couples without spouses in a box: a round
// robin of the men, each partnering the woman the partner table names for
// the man he meets.
class Samdrr {
public:
    explicit Samdrr(int n);
    // The rows may point into the object itself.
    Samdrr(const Samdrr&) = delete;
    Samdrr& operator=(const Samdrr&) = delete;

    // Whether there are tables for this size.
    bool IsValid() const { return rows != nullptr && menRounds > 0; }
    int Rounds() const { return menRounds; }
    // The couple number of the man on side 1 or 2 of court j in round r.
    int Man(int r, int j, int side) const;
    // The woman (couple number) whom man i partners against man j.
    int Partner(int i, int j) const;

private:
    std::uint16_t couples = 0;
    int menRounds = 0;
    const std::uint8_t* men = nullptr;
    const std::uint8_t* rows = nullptr;
    // The partner table of the sizes whose table follows from a rule.
    std::uint8_t ruled[12 * 12] = {};
};

// The generators, for the schedule types 200/210, 300/310, 350/360,
// 400/410/420 and 500/510.
short MakeSinglesRoundRobin(Matches& plan);
short MakeDoublesRoundRobin(Matches& plan);
short MakeFixedPartnerRoundRobin(Matches& plan);
short MakeMixedDoublesRoundRobin(Matches& plan);
short MakeLeagueSchedule(Matches& plan);

// The fixed mixed table of 6, 12 or 20 players, for at most the plan's
// rounds; the rounds written, or -1 when a write failed.
int PlaceFixedMixedTable(Matches& plan);

// Relabel every player of the grid at random, or every couple keeping men's
// and women's places; both list the relabelling in the plan's trace.
void ShufflePlayers(Matches& plan);
void ShuffleCouples(Matches& plan);
// Exchanges court 1 with another court, a different one round by round.
void RotateCourts(Matches& plan);

// The home and away player of match k in round r of a league of n players;
// a number above n is the dummy of an odd count, whose opponent rests.
std::pair<int, int> LeaguePair(int n, int r, int k);
