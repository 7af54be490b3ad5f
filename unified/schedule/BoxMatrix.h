#pragma once
// The match schedule's grid: one box per round and court, each box four
// player positions (1 and 2 one side, 3 and 4 the other); 0 is an empty
// position. Every write also keeps, round by round, where each player
// stands, so that finding a player in a round does not read its courts.

#include <array>
#include <cstdint>
#include <vector>

class BoxMatrix {
public:
    static constexpr int MaxRounds = 99;
    // The numbers the index keeps: every number a player list can hold.
    // Any other is looked for box by box.
    static constexpr int IndexedNumbers = 800;
    using Box = std::array<std::int16_t, 4>;

    BoxMatrix() = default;

    // Empty rows 1 to rounds of courts boxes each. When memory runs out the
    // grid has no rounds, no courts and is not allocated; 0 or 4.
    int Allocate(int rounds, int courts);
    // New counts keeping every box that lies in both the old and the new
    // grid; 0, or 4 (nothing changed) when memory runs out or a count is
    // out of range.
    int Resize(int rounds, int courts);
    bool IsAllocated() const { return allocated; }
    int Rounds() const { return rounds; }
    int Courts() const { return courts; }

    // Position p (1 to 4) of box (r, c); 0 outside the grid.
    int Get(int r, int c, int p) const;
    // Writes position p of box (r, c); nothing outside the grid.
    void Set(int r, int c, int p, int n);
    // Whether player n is in any box of round r.
    bool IsInRound(int r, int n) const;
    // The lowest court whose box in round r holds n in any position; 0 when
    // none does.
    int CourtOf(int r, int n) const;
    void ClearBox(int r, int c);
    bool Contains(int r, int c) const { return r >= 1 && r <= rounds && c >= 1 && c <= courts; }

private:
    // Where number n stands in a round: the lowest court, how many positions
    // of the round hold it and the sum of their courts. More than one only
    // where an unchecked write put a player twice, often for a moment while
    // players change places; the sum then names the court left when one goes.
    struct Place {
        int court = 0;
        int count = 0;
        int courtSum = 0;
    };
    using Places = std::vector<Place>;

    static bool Indexed(int n) { return n >= 1 && n <= IndexedNumbers; }
    // The index after n came into, or left, box (r, c), which already holds
    // what was written.
    void Enter(int r, int c, int n);
    void Leave(int r, int c, int n);
    // The lowest court from `from` on whose box in round r holds n; 0 when
    // none does.
    int ScanCourtOf(int r, int n, int from) const;

    int courts = 0;
    int rounds = 0;
    // Row r holds round r's boxes, box 0 unused; row 0 is unused.
    std::vector<std::vector<Box>> rows = std::vector<std::vector<Box>>(MaxRounds + 1);
    // Row r holds round r's places of numbers 0 to IndexedNumbers.
    std::vector<Places> places = std::vector<Places>(MaxRounds + 1);
    bool allocated = true;
};
