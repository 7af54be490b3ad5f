#pragma once
// The match schedule's grid: one box per round and court, each box four
// player positions (1 and 2 one side, 3 and 4 the other); 0 is an empty
// position.

#include <array>
#include <cstdint>
#include <vector>

class BoxMatrix {
public:
    static constexpr int MaxRounds = 99;
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
    void ClearBox(int r, int c);
    bool Contains(int r, int c) const { return r >= 1 && r <= rounds && c >= 1 && c <= courts; }

private:
    int courts = 0;
    int rounds = 0;
    // Row r holds round r's boxes, box 0 unused; row 0 is unused.
    std::vector<std::vector<Box>> rows = std::vector<std::vector<Box>>(MaxRounds + 1);
    bool allocated = true;
};
