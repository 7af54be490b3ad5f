#include "unified/schedule/BoxMatrix.h"

#include "unified/core/RXCode.h"

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

int BoxMatrix::Get(int r, int c, int p) const {
    if (r < 1 || r > rounds || c < 1 || c > courts || p < 1 || p > 4) return 0;
    return rows[r][c][p - 1];
}

void BoxMatrix::Set(int r, int c, int p, int n) {
    if (r < 1 || r > rounds || c < 1 || c > courts || p < 1 || p > 4) return;
    rows[r][c][p - 1] = static_cast<std::int16_t>(n);
}
