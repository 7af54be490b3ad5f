#include "unified/schedule/BoxMatrix.h"

#include "unified/core/RXCode.h"

#include <algorithm>
#include <new>
#include <stdexcept>

int BoxMatrix::Allocate(int newRounds, int newCourts) {
    for (auto& row : rows)
        std::vector<Box>().swap(row);
    rounds = 0;
    courts = 0;
    allocated = false;
    if (newRounds < 0 || newRounds > MaxRounds || newCourts < 0) return rcNoMemory;
    try {
        for (int r = 1; r <= newRounds; ++r)
            rows[r].assign(static_cast<std::size_t>(newCourts) + 1, Box{});
    } catch (const std::bad_alloc&) {
        for (auto& row : rows)
            std::vector<Box>().swap(row);
        return rcNoMemory;
    } catch (const std::length_error&) {
        for (auto& row : rows)
            std::vector<Box>().swap(row);
        return rcNoMemory;
    }
    rounds = newRounds;
    courts = newCourts;
    allocated = true;
    return rcOk;
}

int BoxMatrix::Resize(int newRounds, int newCourts) {
    if (newRounds < 0 || newRounds > MaxRounds || newCourts < 0) return rcNoMemory;
    // The new rows are built aside, so that running out of memory leaves
    // the grid as it was.
    std::vector<std::vector<Box>> resized(MaxRounds + 1);
    try {
        for (int r = 1; r <= newRounds; ++r) {
            resized[r].assign(static_cast<std::size_t>(newCourts) + 1, Box{});
            if (r > rounds) continue;
            const int kept = std::min(courts, newCourts);
            std::copy(rows[r].begin() + 1, rows[r].begin() + kept + 1, resized[r].begin() + 1);
        }
    } catch (const std::bad_alloc&) {
        return rcNoMemory;
    } catch (const std::length_error&) {
        return rcNoMemory;
    }
    rows.swap(resized);
    rounds = newRounds;
    courts = newCourts;
    return rcOk;
}

int BoxMatrix::Get(int r, int c, int p) const {
    if (r < 1 || r > rounds || c < 1 || c > courts || p < 1 || p > 4) return 0;
    return rows[r][c][p - 1];
}

void BoxMatrix::Set(int r, int c, int p, int n) {
    if (r < 1 || r > rounds || c < 1 || c > courts || p < 1 || p > 4) return;
    rows[r][c][p - 1] = static_cast<std::int16_t>(n);
}

bool BoxMatrix::IsInRound(int r, int n) const {
    if (r < 1 || r > rounds) return false;
    for (int c = 1; c <= courts; ++c)
        for (const auto number : rows[r][c])
            if (number == n) return true;
    return false;
}

void BoxMatrix::ClearBox(int r, int c) {
    if (Contains(r, c)) rows[r][c] = Box{};
}
