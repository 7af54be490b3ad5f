// Making a draw: the automatic draw with its seeds and byes, the empty draw
// that a manual draw starts from, the manual pairings and their check.
#include "unified/draw/Draw.h"

#include "unified/draw/RandomNumbers.h"

#include <array>
#include <bit>
#include <new>
#include <vector>

namespace {

// A slot of the automatic draw's working array kept for a bye.
constexpr int kByeSlot = -1;

int RoundsOfSize(int size) {
    return static_cast<int>(std::bit_width(static_cast<unsigned>(size))) - 1;
}

// The slots of the draw being made (index 0 unused), and the byes of each
// quarter of it.
class SlotPlan {
public:
    explicit SlotPlan(std::vector<int>& slots) : slots_(slots), size_(int(slots.size()) - 1) {}

    int& operator[](int slot) { return slots_[static_cast<std::size_t>(slot)]; }
    int ByesInQuarterOfMatch(int match) const { return byes_[QuarterOfMatch(match)]; }

    void ReserveBye(int slot) {
        (*this)[slot] = kByeSlot;
        ++byes_[static_cast<std::size_t>(((slot - 1) * 4) / size_)];
    }
    void ReserveMatchBye(int match, int slot) {
        (*this)[slot] = kByeSlot;
        ++byes_[QuarterOfMatch(match)];
    }

private:
    std::size_t QuarterOfMatch(int match) const {
        return static_cast<std::size_t>(((match - 1) * 8) / size_);
    }

    std::vector<int>& slots_;
    int size_;
    std::array<int, 4> byes_{};
};

} // namespace

int DrawSize(int n) {
    int size = 1;
    while (size < n && size <= (1 << 29))
        size *= 2;
    return size;
}

int Draw::DefaultSeedCount() const {
    const int size = DrawSize(players.Count() / 8);
    return size > 1 ? size : 0;
}

int Draw::SeedCount() const {
    return seeds >= 0 ? seeds : DefaultSeedCount();
}

short Draw::CreateDraw(int seedCount) {
    const int p = players.Count();
    if (seedCount < 0 || seedCount > p / 2) return rcBadData;
    seeds = static_cast<std::int16_t>(seedCount);
    const int size = DrawSize(p);
    // A failure below leaves no draw rather than half of one.
    const auto fail = [this](short code) {
        if (matchList.Count() > 0) state = StateChanged;
        DropBracket();
        return code;
    };
    std::vector<int> slotArray;
    try {
        slotArray.assign(static_cast<std::size_t>(size) + 1, 0);
    } catch (const std::bad_alloc&) {
        return fail(rcNoMemory);
    }
    SlotPlan slots(slotArray);
    const int byes = size - p;
    const bool byesToSeeded = HasOption(ByesToSeeded);

    // Seeds 1 and 2 at the two ends.
    if (seedCount >= 1) {
        slots[1] = 1;
        if (byesToSeeded && byes >= 1) slots.ReserveBye(2);
    }
    if (seedCount >= 2) {
        slots[size] = 2;
        if (byesToSeeded && byes >= 2) slots.ReserveBye(size - 1);
    }
    // Then the groups 3-4, 5-8, 9-16, ..., each in random order over the
    // slots that split the halves, quarters, eighths, ... of the draw.
    int step = size / 2;
    for (int first = 3, last = std::min(seedCount, 4); first <= seedCount && step >= 1;
         first = last + 1, last = std::min(seedCount, DrawSize(last + 1)), step /= 2) {
        const RandomNumbers order(first, last);
        for (int j = 1; j <= last - first + 1; ++j) {
            const int slot = j % 2 == 1 ? j * step : (j - 1) * step + 1;
            slots[slot] = order.At(j);
            if (byesToSeeded && byes >= first + j - 1)
                slots.ReserveBye(slot % 2 == 1 ? slot + 1 : slot - 1);
        }
    }
    // The other byes over randomly ordered matches, no quarter holding more
    // than its share.
    int placed = byesToSeeded ? seedCount + 1 : 1;
    const int share = (byes + 3) / 4;
    const RandomNumbers matchOrder(1, size / 2);
    for (int k = 1; k <= size / 2 && placed <= byes; ++k) {
        const int match = matchOrder.At(k);
        if (slots.ByesInQuarterOfMatch(match) >= share) continue;
        if (slots[2 * match] == 0)
            slots.ReserveMatchBye(match, 2 * match);
        else if (slots[2 * match - 1] == 0)
            slots.ReserveMatchBye(match, 2 * match - 1);
        else
            continue;
        ++placed;
    }
    if (placed <= byes) {
        SetErrorLocation();
        return fail(rcInternal);
    }
    // The unseeded players in random order over the free slots.
    if (seedCount + 1 <= size) {
        const RandomNumbers others(seedCount + 1, p);
        int next = 1;
        for (int slot = 1; slot <= size; ++slot)
            if (slots[slot] == 0) slots[slot] = others.At(next++);
    }
    for (int slot = 1; slot <= size; ++slot)
        if (slots[slot] == kByeSlot) slots[slot] = 0;

    matchList.Clear();
    rounds = static_cast<std::int16_t>(RoundsOfSize(size));
    for (int i = 1; i <= size - 1; ++i) {
        TResult entry;
        if (i <= size / 2) {
            entry.first = slots[2 * i - 1];
            entry.second = slots[2 * i];
        }
        if (matchList.SetAt(i, entry) != 0) {
            SetErrorLocation();
            return fail(rcInternal);
        }
    }
    if (const short code = AdvanceByes(); code != rcOk) return fail(code);
    state = StateChanged;
    return rcOk;
}

short Draw::CreateEmptyDraw() {
    const int size = DrawSize(players.Count());
    if (matchList.Count() > 0) state = StateChanged;
    matchList.Clear();
    rounds = static_cast<std::int16_t>(RoundsOfSize(size));
    for (int i = 1; i <= size - 1; ++i)
        if (matchList.SetAt(i, TResult{}) != 0) {
            DropBracket();
            SetErrorLocation();
            return rcInternal;
        }
    state = StateChanged;
    return rcOk;
}

short Draw::SetPairing(int round, int match, int a, int b) {
    const int p = players.Count();
    TResult* entry = MatchAt(round, match);
    if (entry == nullptr || a < 0 || a > p || b < 0 || b > p) return rcBadData;
    // Winners stay where they are: leaving manual mode sets the byes'.
    for (int i = 1; i <= matchList.Count(); ++i) {
        TResult& m = *matchList.Item(i);
        if (m.first != 0 && (m.first == a || m.first == b)) m.first = 0;
        if (m.second != 0 && (m.second == a || m.second == b)) m.second = 0;
    }
    entry->first = a;
    entry->second = b;
    entry->winner = 0;
    state = StateChanged;
    return rcOk;
}

bool Draw::CheckManualDraw(std::string& message) const {
    const int firstRound = MatchesInRound(1);
    const int p = players.Count();
    std::vector<bool> placed(static_cast<std::size_t>(p) + 1, false);
    for (int i = 1; i <= firstRound; ++i) {
        const TResult& m = *matchList.Item(i);
        if (m.first == 0 && m.second == 0) {
            message = "There are no participants for match #" + std::to_string(i);
            return false;
        }
        for (const int number : {m.first, m.second})
            if (number >= 1 && number <= p) placed[static_cast<std::size_t>(number)] = true;
    }
    std::string missing;
    for (int n = 1; n <= p; ++n) {
        if (placed[static_cast<std::size_t>(n)]) continue;
        if (!missing.empty()) missing += ", ";
        missing += std::to_string(n) + "-" + PlayerLastName(n);
    }
    if (missing.empty()) return true;
    message = "All players must be included in the draw before exiting manual mode.  "
              "The following players are missing:  " +
              missing;
    return false;
}
