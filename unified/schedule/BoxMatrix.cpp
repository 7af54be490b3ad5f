#include "unified/schedule/BoxMatrix.h"

#include "unified/core/RXCode.h"

#include <algorithm>
#include <new>
#include <stdexcept>

namespace {

// Whether a box holds n in any position.
bool Holds(const BoxMatrix::Box& box, int n) {
    return std::find(box.begin(), box.end(), n) != box.end();
}

} // namespace

int BoxMatrix::Allocate(int newRounds, int newCourts) {
    const auto empty = [this] {
        for (auto& row : rows)
            std::vector<Box>().swap(row);
        for (auto& row : places)
            Places().swap(row);
    };
    empty();
    rounds = 0;
    courts = 0;
    allocated = false;
    if (newRounds < 0 || newRounds > MaxRounds || newCourts < 0) return rcNoMemory;
    try {
        for (int r = 1; r <= newRounds; ++r) {
            rows[r].assign(static_cast<std::size_t>(newCourts) + 1, Box{});
            places[r].assign(IndexedNumbers + 1, Place{});
        }
    } catch (const std::bad_alloc&) {
        empty();
        return rcNoMemory;
    } catch (const std::length_error&) {
        empty();
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
    std::vector<Places> indexed(MaxRounds + 1);
    try {
        for (int r = 1; r <= newRounds; ++r) {
            resized[r].assign(static_cast<std::size_t>(newCourts) + 1, Box{});
            indexed[r].assign(IndexedNumbers + 1, Place{});
            if (r > rounds) continue;
            const int kept = std::min(courts, newCourts);
            std::copy(rows[r].begin() + 1, rows[r].begin() + kept + 1, resized[r].begin() + 1);
            // Courts in order: the first court a number is met on is its lowest.
            for (int c = 1; c <= kept; ++c)
                for (const int n : resized[r][c]) {
                    if (!Indexed(n)) continue;
                    Place& place = indexed[r][n];
                    if (place.count++ == 0) place.court = c;
                    place.courtSum += c;
                }
        }
    } catch (const std::bad_alloc&) {
        return rcNoMemory;
    } catch (const std::length_error&) {
        return rcNoMemory;
    }
    rows.swap(resized);
    places.swap(indexed);
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
    std::int16_t& position = rows[r][c][p - 1];
    const int old = position;
    position = static_cast<std::int16_t>(n);
    if (position == old) return;
    Leave(r, c, old);
    Enter(r, c, position);
}

bool BoxMatrix::IsInRound(int r, int n) const {
    if (r < 1 || r > rounds) return false;
    if (Indexed(n)) return places[r][n].count > 0;
    return ScanCourtOf(r, n, 1) != 0;
}

int BoxMatrix::CourtOf(int r, int n) const {
    if (r < 1 || r > rounds) return 0;
    if (Indexed(n)) return places[r][n].court;
    return ScanCourtOf(r, n, 1);
}

void BoxMatrix::ClearBox(int r, int c) {
    if (!Contains(r, c)) return;
    const Box old = rows[r][c];
    rows[r][c] = Box{};
    for (const int n : old)
        Leave(r, c, n);
}

void BoxMatrix::Enter(int r, int c, int n) {
    if (!Indexed(n)) return;
    Place& place = places[r][n];
    if (place.count++ == 0 || c < place.court) place.court = c;
    place.courtSum += c;
}

void BoxMatrix::Leave(int r, int c, int n) {
    if (!Indexed(n)) return;
    Place& place = places[r][n];
    place.courtSum -= c;
    if (--place.count <= 1)
        place.court = place.courtSum;
    else if (place.court == c && !Holds(rows[r][c], n))
        // Still there more than once, and gone from its lowest court: none
        // lower holds it.
        place.court = ScanCourtOf(r, n, c + 1);
}

int BoxMatrix::ScanCourtOf(int r, int n, int from) const {
    for (int c = from; c <= courts; ++c)
        if (Holds(rows[r][c], n)) return c;
    return 0;
}
