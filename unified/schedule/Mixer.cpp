#include "unified/schedule/Mixer.h"

#include "platform/Random.h"
#include "unified/draw/RandomNumbers.h"

#include <algorithm>
#include <new>

namespace {

// A search that finds no member to add scores this, less the members it has.
constexpr int NoGroup = 9999;
constexpr int LongGapPenalty = 200;
constexpr int SinglesExcessPenalty = 500;
constexpr int MixingPenalty = 20;
constexpr int SpreadStep = 20;

// Positions 1 and 2 are one side, 3 and 4 the other.
int PartnerPosition(int p) {
    return p % 2 == 1 ? p + 1 : p - 1;
}

// Closes the progress box however the run ends.
class ProgressBox {
public:
    explicit ProgressBox(MixerProgress* progress) : progress_(progress) {
        if (progress_ != nullptr)
            progress_->Open("Match Assignment Progress", "starting Match Assignment");
    }
    ~ProgressBox() {
        if (progress_ != nullptr) progress_->Close();
    }
    ProgressBox(const ProgressBox&) = delete;
    ProgressBox& operator=(const ProgressBox&) = delete;

private:
    MixerProgress* progress_;
};

} // namespace

short RunMixer(Matches& plan, int target, MixerProgress* progress, int& initialPenalty,
               int& finalPenalty) {
    initialPenalty = -1;
    finalPenalty = -1;
    ProgressBox box(progress);
    Mixer mixer(plan, progress);
    const short code = mixer.Start(target);
    if (code != rcOk) return code;
    mixer.FillRounds();
    initialPenalty = finalPenalty = mixer.TotalPenalty();
    // No penalty counts a player short of the target or a box of unequal
    // sides, so those call for the repair whatever the total.
    if (initialPenalty > 0 || mixer.NeedsRepair()) {
        if (progress != nullptr) progress->Report(-1, 1);
        mixer.RepairShortfalls();
        finalPenalty = mixer.TotalPenalty();
        // Phases 2 and 3 are shown even when the repair left no penalty;
        // their passes then change nothing.
        if (progress != nullptr) progress->Report(-1, 2);
        finalPenalty = mixer.OptimizePass(20);
        if (progress != nullptr) progress->Report(-1, 3);
        finalPenalty = mixer.OptimizePass(0);
    }
    return mixer.AssignPartners();
}

Mixer::Mixer(Matches& plan, MixerProgress* progress) : plan(plan), progress(progress) {
}

Mixer::~Mixer() {
    plan.meetingCounts.reset();
    plan.partnerCounts.reset();
}

short Mixer::Start(int wanted) {
    SeedRandomFromClock();
    plan.ComputeGapThreshold();
    plan.ClearBoxes();
    plan.mixerTarget = wanted;
    target = wanted;
    n = plan.PlayerCount();
    roundCount = std::min(plan.RoundCount(), plan.boxes.Rounds());
    courtCount = std::min(plan.CourtCount(), plan.boxes.Courts());
    if (target < 1 || target > roundCount) {
        SetErrorLocation();
        return rcNotFound;
    }
    int seats = 0;
    for (int c = 1; c <= courtCount; ++c)
        seats += plan.PlayersPerCourt(c);
    // A plan without courts seats nobody: there is nothing to divide by.
    if (seats == 0) {
        SetErrorLocation();
        return rcNotFound;
    }
    const int needed = std::max(target, (n * target + seats - 1) / seats);
    if (needed > roundCount) return rcTooFewRounds;
    try {
        plan.meetingCounts = std::make_unique<CounterMatrix>(n + 1, n + 1);
        inRound.assign(Index(roundCount + 1, 0), 0);
        meetHistogram.assign(static_cast<std::size_t>(n + 1) * 256, 0);
        meetLeast.assign(static_cast<std::size_t>(n) + 1, 0);
        meetMost.assign(static_cast<std::size_t>(n) + 1, 0);
    } catch (const std::bad_alloc&) {
        return rcNoMemory;
    }
    if (!plan.meetingCounts->IsValid()) return rcNoMemory;
    plan.roundsPlayed.fill(0);
    plan.singlesPlayed.fill(0);
    plan.genderCode.fill(0);
    for (int i = 1; i <= n; ++i) {
        plan.genderCode[i] = static_cast<std::uint8_t>(plan.Player(i)->gender);
        meetHistogram[static_cast<std::size_t>(i) * 256] = static_cast<std::uint16_t>(n - 1);
    }
    singlesHistogram.fill(0);
    singlesHistogram[0] = n;
    singlesLeast = 0;
    plan.allSingles = plan.AllCourtsOfType('S') ? 1 : 0;
    strict = plan.HasOption(StrictlyMixed);
    return rcOk;
}

int Mixer::RandomBelow(int k) const {
    return k == 0 ? 0 : Rand() % k;
}

bool Mixer::AllAtTarget() const {
    for (int i = 1; i <= n; ++i)
        if (plan.roundsPlayed[i] < target) return false;
    return true;
}

void Mixer::FillRounds() {
    for (int r = 1; r <= roundCount; ++r) {
        FillRound(r, 'S');
        FillRound(r, 'D');
        if (AllAtTarget()) break;
    }
}

void Mixer::FillRound(int r, char type) {
    const int size = type == 'D' ? 4 : 2;
    for (int c = 1; c <= courtCount; ++c) {
        if (IsDoubles(c) != (type == 'D')) continue;
        if (progress != nullptr) progress->Report(r, c);
        int least = Matches::MaxRounds;
        int leastSingles = Matches::MaxRounds;
        for (int i = 1; i <= n; ++i) {
            least = std::min<int>(least, plan.roundsPlayed[i]);
            leastSingles = std::min<int>(leastSingles, plan.singlesPlayed[i]);
        }
        if (least >= target) return;
        const auto qualifies = [&](int i) {
            return plan.roundsPlayed[i] == least && !Plays(r, i) &&
                   (type != 'S' || plan.singlesPlayed[i] == leastSingles);
        };
        const int start = RandomBelow(n) + 1;
        int seed = 0;
        for (int lo = start, hi = start + 1; seed == 0 && (lo >= 1 || hi <= n); --lo, ++hi) {
            if (lo >= 1 && qualifies(lo))
                seed = lo;
            else if (hi <= n && qualifies(hi))
                seed = hi;
        }
        if (seed == 0) return;

        Group group{seed, 0, 0, 0};
        Group best{};
        GroupSearch(r, group, 1, size, seed - 1, seed + 1, best);
        std::sort(best.begin(), best.end(), [](int a, int b) {
            return a != 0 && (b == 0 || a < b); // present members first, ascending
        });
        const int members =
            static_cast<int>(std::count_if(best.begin(), best.end(), [](int g) { return g != 0; }));
        if (type == 'S' || members < 3) {
            Write({r, c, 1}, best[0]);
            Write({r, c, 3}, best[1]);
            for (int i = 0; i < 2; ++i)
                if (best[i] != 0) {
                    ++plan.roundsPlayed[best[i]];
                    AddSingles(best[i], 1);
                }
            Meet(best[0], best[1]);
        } else {
            for (int i = 0; i < 4; ++i) {
                Write({r, c, i + 1}, best[i]);
                if (best[i] != 0) ++plan.roundsPlayed[best[i]];
            }
            for (int i = 0; i < 4; ++i)
                for (int j = i + 1; j < 4; ++j)
                    Meet(best[i], best[j]);
        }
    }
}

int Mixer::GroupSearch(int r, Group& group, int k, int size, int lo, int hi, Group& best) {
    if (k == size) {
        best = group;
        return GroupPenalty(group, size);
    }
    const auto allowed = [&](int candidate) {
        if (Plays(r, candidate) || plan.roundsPlayed[candidate] >= target) return false;
        if (!strict || k < 2) return true;
        int men = plan.genderCode[candidate] == 'M';
        for (int i = 0; i < k; ++i)
            men += plan.genderCode[group[i]] == 'M';
        return men <= 2 && k + 1 - men <= 2;
    };
    int bestScore = NoGroup;
    best = group;
    Group found{};
    while (bestScore > 0 && (lo >= 1 || hi <= n)) {
        if (lo >= 1 && allowed(lo)) {
            group[k] = lo;
            const int score = GroupSearch(r, group, k + 1, size, lo - 1, hi, found);
            group[k] = 0;
            if (score < bestScore) {
                bestScore = score;
                best = found;
            }
        }
        if (bestScore == 0) break;
        if (hi <= n && allowed(hi)) {
            group[k] = hi;
            const int score = GroupSearch(r, group, k + 1, size, lo - 1, hi + 1, found);
            group[k] = 0;
            if (score < bestScore) {
                bestScore = score;
                best = found;
            }
        }
        --lo;
        ++hi;
    }
    // A group that cannot be completed gives its largest part.
    if (bestScore == NoGroup) {
        best = group;
        return NoGroup - k;
    }
    return bestScore;
}

int Mixer::Meetings(int a, int b) const {
    if (a == b) return 0;
    return plan.meetingCounts->Get(std::min(a, b), std::max(a, b), false);
}

int Mixer::Partnered(int a, int b) const {
    if (plan.partnerCounts == nullptr || a == b) return 0;
    return plan.partnerCounts->Get(std::min(a, b), std::max(a, b), false);
}

void Mixer::CountMeeting(int a, int b, int before) {
    const int after = Meetings(a, b);
    if (after == before) return; // a counter at its limit
    for (int x : {a, b}) {
        std::uint16_t* histogram = &meetHistogram[static_cast<std::size_t>(x) * 256];
        --histogram[before];
        ++histogram[after];
        std::uint8_t& least = meetLeast[x];
        std::uint8_t& most = meetMost[x];
        if (after > most) most = static_cast<std::uint8_t>(after);
        if (after < least) least = static_cast<std::uint8_t>(after);
        if (histogram[before] == 0) {
            if (before == least) least = static_cast<std::uint8_t>(after);
            if (before == most) most = static_cast<std::uint8_t>(after);
        }
    }
}

void Mixer::Meet(int a, int b) {
    if (a < 1 || b < 1 || a == b) return;
    const int before = Meetings(a, b);
    plan.meetingCounts->Increment(std::min(a, b), std::max(a, b));
    CountMeeting(a, b, before);
}

void Mixer::Unmeet(int a, int b) {
    if (a < 1 || b < 1 || a == b) return;
    const int before = Meetings(a, b);
    plan.meetingCounts->Decrement(std::min(a, b), std::max(a, b));
    CountMeeting(a, b, before);
}

void Mixer::AddSingles(int x, int delta) {
    if (x < 1 || x > n) return;
    const int before = plan.singlesPlayed[x];
    const int after = std::clamp(before + delta, 0, 255);
    if (after == before) return;
    plan.singlesPlayed[x] = static_cast<std::uint8_t>(after);
    --singlesHistogram[before];
    ++singlesHistogram[after];
    if (after < singlesLeast) singlesLeast = after;
    if (before == singlesLeast && singlesHistogram[before] == 0) singlesLeast = after;
}

void Mixer::Write(const Slot& s, int x) {
    const int old = Get(s);
    if (old >= 1 && old <= n && inRound[Index(s.round, old)] > 0) --inRound[Index(s.round, old)];
    plan.PutSlot(s.round, s.court, s.position, x);
    if (x >= 1 && x <= n) ++inRound[Index(s.round, x)];
}

int Mixer::SkillPenalty(int a, int b) const {
    return std::max(0, plan.SkillDistance(a, b) - plan.disparityThreshold);
}

int Mixer::MeetingSpreadPenalty(int x, int extra1, int extra2, int extra3) const {
    if (n < 2) return 0;
    const std::uint16_t* histogram = &meetHistogram[static_cast<std::size_t>(x) * 256];
    int least = meetLeast[x];
    int most = meetMost[x];
    int raisedAtLeast = 0;
    for (int e : {extra1, extra2, extra3}) {
        if (e < 1 || e > n || e == x) continue;
        const int count = Meetings(x, e) + 1;
        most = std::max(most, count);
        raisedAtLeast += count - 1 == least;
    }
    // When every player at the least is one of the extras, the least rises.
    if (histogram[least] <= raisedAtLeast) ++least;
    const int spread = most - least;
    return spread > plan.diversityLimit ? (spread - plan.diversityLimit) * SpreadStep : 0;
}

int Mixer::GapPenalty(int x) const {
    // The count starts at 1, so a leading idle stretch counts one round more.
    int idle = 1;
    bool exceeded = false;
    for (int r = 1; r <= roundCount; ++r) {
        if (Plays(r, x)) {
            if (exceeded) return LongGapPenalty;
            idle = 0;
        } else if (++idle > plan.gapThreshold) {
            exceeded = true;
        }
    }
    return 0;
}

int Mixer::SinglesPenalty(int x) const {
    return plan.singlesPlayed[x] > singlesLeast + 1 ? SinglesExcessPenalty : 0;
}

int Mixer::SinglesPairPenalty(int a, int b) const {
    int least = singlesLeast;
    const int raisedAtLeast = (plan.singlesPlayed[a] == least) + (plan.singlesPlayed[b] == least);
    if (singlesHistogram[least] <= raisedAtLeast) ++least;
    int penalty = 0;
    for (int x : {a, b})
        if (plan.singlesPlayed[x] + 1 > least + 1) penalty += SinglesExcessPenalty;
    return penalty;
}

int Mixer::GenderPenalty(const int* players, int count) const {
    int men = 0;
    int women = 0;
    for (int i = 0; i < count; ++i) {
        if (players[i] == 0) continue;
        men += plan.genderCode[players[i]] == 'M';
        women += plan.genderCode[players[i]] == 'F';
    }
    return men >= 1 && women >= 1 && (men != women || men == 1) ? MixingPenalty : 0;
}

int Mixer::GroupPenalty(const Group& g, int size) const {
    int penalty = 0;
    for (int i = 0; i < size; ++i)
        for (int j = i + 1; j < size; ++j)
            penalty += SkillPenalty(g[i], g[j]);
    if (size == 2) {
        penalty += MeetingSpreadPenalty(g[0], g[1], 0, 0) + MeetingSpreadPenalty(g[1], g[0], 0, 0);
        if (plan.allSingles == 0) penalty += SinglesPairPenalty(g[0], g[1]);
    } else {
        penalty += MeetingSpreadPenalty(g[0], g[1], g[2], g[3]) +
                   MeetingSpreadPenalty(g[1], g[0], g[2], g[3]) +
                   MeetingSpreadPenalty(g[2], g[0], g[1], g[3]) +
                   MeetingSpreadPenalty(g[3], g[0], g[1], g[2]);
    }
    if (plan.HasOption(GenderImbal)) penalty += GenderPenalty(g.data(), size);
    return penalty;
}

int Mixer::BoxPenalty(int r, int c) const {
    int box[4];
    for (int p = 1; p <= 4; ++p)
        box[p - 1] = plan.GetSlot(r, c, p);
    int penalty = 0;
    for (int i = 0; i < 4; ++i)
        for (int j = i + 1; j < 4; ++j)
            if (box[i] != 0 && box[j] != 0) penalty += SkillPenalty(box[i], box[j]);
    return penalty + GenderPenalty(box, 4);
}

int Mixer::TotalPenalty() const {
    int total = 0;
    for (int r = 1; r <= roundCount; ++r)
        for (int c = 1; c <= courtCount; ++c)
            total += BoxPenalty(r, c);
    const bool gaps = plan.HasOption(Gaps);
    for (int x = 1; x <= n; ++x) {
        total += MeetingSpreadPenalty(x, 0, 0, 0);
        if (gaps) total += GapPenalty(x);
        if (plan.allSingles == 0) total += SinglesPenalty(x);
    }
    return total;
}

int Mixer::BoxRepairPenalty(int r, int c) const {
    int penalty = BoxPenalty(r, c);
    const bool gaps = plan.HasOption(Gaps);
    for (int p = 1; p <= 4; ++p) {
        const int x = plan.GetSlot(r, c, p);
        if (x == 0) continue;
        penalty += MeetingSpreadPenalty(x, 0, 0, 0);
        if (gaps) penalty += GapPenalty(x);
    }
    const bool singlesMatch = !IsDoubles(c) || plan.GetSlot(r, c, 2) == 0;
    if (plan.allSingles == 0 && singlesMatch)
        for (int p : {1, 3})
            if (const int x = plan.GetSlot(r, c, p); x != 0) penalty += SinglesPenalty(x);
    return penalty;
}

void Mixer::PlaceInSlot(const Slot& s, int x) {
    Write(s, x);
    if (!IsDoubles(s.court) || plan.GetSlot(s.round, s.court, 2) == 0) AddSingles(x, 1);
    for (int p = 1; p <= 4; ++p)
        if (p != s.position) Meet(x, plan.GetSlot(s.round, s.court, p));
}

void Mixer::RemoveFromSlot(const Slot& s) {
    const int x = Get(s);
    if (x == 0) return;
    if (!IsDoubles(s.court) || plan.GetSlot(s.round, s.court, 2) == 0) AddSingles(x, -1);
    Write(s, 0);
    for (int p = 1; p <= 4; ++p)
        Unmeet(x, plan.GetSlot(s.round, s.court, p));
}

void Mixer::SwapSlots(const Slot& a, const Slot& b) {
    const int x = Get(a);
    const int y = Get(b);
    if (x == 0 || y == 0 || x == y) return;
    RemoveFromSlot(a);
    RemoveFromSlot(b);
    PlaceInSlot(a, y);
    PlaceInSlot(b, x);
    SortBox(a.round, a.court);
    SortBox(b.round, b.court);
}

void Mixer::SortBox(int r, int c) {
    int players[4];
    int count = 0;
    for (int p = 1; p <= 4; ++p)
        if (const int x = plan.GetSlot(r, c, p); x != 0) players[count++] = x;
    // At most four: an insertion sort.
    for (int i = 1; i < count; ++i)
        for (int j = i; j > 0 && players[j - 1] > players[j]; --j)
            std::swap(players[j - 1], players[j]);
    int next = 0;
    for (int p = 1; p <= 4; ++p)
        if (plan.GetSlot(r, c, p) != 0) plan.PutSlot(r, c, p, players[next++]);
}

bool Mixer::NeedsRepair() const {
    if (!AllAtTarget()) return true;
    for (int r = 1; r <= roundCount; ++r)
        for (int c = 1; c <= courtCount; ++c) {
            const int first = (plan.GetSlot(r, c, 1) != 0) + (plan.GetSlot(r, c, 2) != 0);
            const int second = (plan.GetSlot(r, c, 3) != 0) + (plan.GetSlot(r, c, 4) != 0);
            if (first != second) return true;
        }
    return false;
}

bool Mixer::KeepsBoxMixed(int x, int r, int c, int p) const {
    if (!strict) return true;
    int men = plan.genderCode[x] == 'M';
    int others = 1 - men;
    for (int q = 1; q <= 4; ++q)
        if (const int y = plan.GetSlot(r, c, q); y != 0 && q != p) {
            men += plan.genderCode[y] == 'M';
            others += plan.genderCode[y] != 'M';
        }
    return men <= 2 && others <= 2;
}

bool Mixer::FitsBesidePartner(int x, int r, int c, int p) const {
    if (!strict) return true;
    const int partner = plan.GetSlot(r, c, PartnerPosition(p));
    const int gender = partner != 0 ? plan.genderCode[partner] : ' ';
    // The partner alone does not keep the box mixed: the other side may
    // already hold two of x's kind.
    return plan.genderCode[x] != gender && KeepsBoxMixed(x, r, c, p);
}

bool Mixer::FindFreeSlot(int x, int exceptRound, int exceptCourt, Slot& found) const {
    for (int r = roundCount; r >= 1; --r) {
        if (Plays(r, x)) continue;
        for (int c = 1; c <= courtCount; ++c) {
            if (r == exceptRound && c == exceptCourt) continue;
            for (int p = 1; p <= 4; ++p) {
                if (!IsDoubles(c) && (p == 2 || p == 4)) continue;
                if (plan.GetSlot(r, c, p) != 0 || !FitsBesidePartner(x, r, c, p)) continue;
                found = {r, c, p};
                return true;
            }
        }
    }
    return false;
}

bool Mixer::FindCompletingSlot(int x, int exceptRound, int exceptCourt, Slot& found) const {
    for (int r = roundCount; r >= 1; --r) {
        if (Plays(r, x)) continue;
        for (int c = 1; c <= courtCount; ++c) {
            if (r == exceptRound && c == exceptCourt) continue;
            const int first = (plan.GetSlot(r, c, 1) != 0) + (plan.GetSlot(r, c, 2) != 0);
            const int second = (plan.GetSlot(r, c, 3) != 0) + (plan.GetSlot(r, c, 4) != 0);
            int p = 0;
            if (first == second + 1)
                p = second == 0 ? 3 : 4;
            else if (second == first + 1)
                p = first == 0 ? 1 : 2;
            if (p == 0 || plan.GetSlot(r, c, p) != 0 || !FitsBesidePartner(x, r, c, p)) continue;
            found = {r, c, p};
            return true;
        }
    }
    return false;
}

bool Mixer::PlaceShortPlayer(int x) {
    Slot free;
    if (FindFreeSlot(x, 0, 0, free)) {
        PlaceInSlot(free, x);
        ++plan.roundsPlayed[x];
        return true;
    }
    // Otherwise x takes the place of a player who can move to a free slot.
    for (int r = 1; r <= roundCount; ++r) {
        if (Plays(r, x)) continue;
        for (int c = 1; c <= courtCount; ++c)
            for (int p = 1; p <= 4; ++p) {
                if (!IsDoubles(c) && (p == 2 || p == 4)) continue;
                const int y = plan.GetSlot(r, c, p);
                if (y == 0) continue;
                // A strictly mixed side keeps its genders.
                if (strict && plan.genderCode[y] != plan.genderCode[x]) continue;
                if (!FindFreeSlot(y, r, c, free)) continue;
                PlaceInSlot(free, x);
                SwapSlots(free, {r, c, p});
                ++plan.roundsPlayed[x];
                return true;
            }
    }
    return false;
}

void Mixer::RepairShortfalls() {
    // A player short by more than one round is placed once for each.
    for (int x = 1; x <= n; ++x)
        while (plan.roundsPlayed[x] < target && PlaceShortPlayer(x)) {
        }
    if (!AllAtTarget()) {
        RotatePlayers();
        return;
    }
    for (int r = 1; r <= roundCount; ++r)
        for (int c = 1; c <= courtCount; ++c)
            Tidy(r, c);
}

void Mixer::MoveToFreeSlot(const Slot& from) {
    const int y = Get(from);
    if (y == 0) return;
    // Only into a box that the move completes: a free slot elsewhere would
    // leave the player as alone there as here.
    Slot free;
    if (FindCompletingSlot(y, from.round, from.court, free)) {
        RemoveFromSlot(from);
        PlaceInSlot(free, y);
        SortBox(free.round, free.court);
        SortBox(from.round, from.court);
        return;
    }
    // Or into the place of a player z of another round who can complete a
    // box. Without either, the player stays where it is.
    RemoveFromSlot(from);
    for (int r = 1; r <= roundCount; ++r) {
        if (Plays(r, y)) continue;
        for (int c = 1; c <= courtCount; ++c)
            for (int p = 1; p <= 4; ++p) {
                const int z = plan.GetSlot(r, c, p);
                if (z == 0 || (strict && plan.genderCode[z] != plan.genderCode[y])) continue;
                if (!FindCompletingSlot(z, r, c, free)) continue;
                RemoveFromSlot({r, c, p});
                PlaceInSlot({r, c, p}, y);
                PlaceInSlot(free, z);
                SortBox(r, c);
                SortBox(free.round, free.court);
                SortBox(from.round, from.court);
                return;
            }
    }
    PlaceInSlot(from, y);
}

void Mixer::Tidy(int r, int c) {
    const int first = (plan.GetSlot(r, c, 1) != 0) + (plan.GetSlot(r, c, 2) != 0);
    const int second = (plan.GetSlot(r, c, 3) != 0) + (plan.GetSlot(r, c, 4) != 0);
    const auto lone = [&](int side) {
        return Slot{r, c, plan.GetSlot(r, c, side) != 0 ? side : side + 1};
    };
    if (first == 0 && second == 2) {
        const int x = plan.GetSlot(r, c, 4);
        RemoveFromSlot({r, c, 4});
        PlaceInSlot({r, c, 1}, x);
        SortBox(r, c);
    } else if (first == 2 && second == 0) {
        const int x = plan.GetSlot(r, c, 2);
        RemoveFromSlot({r, c, 2});
        PlaceInSlot({r, c, 3}, x);
        SortBox(r, c);
    } else if (first == 1 && second == 0) {
        MoveToFreeSlot(lone(1));
    } else if (first == 0 && second == 1) {
        MoveToFreeSlot(lone(3));
    } else if (first == 2 && second == 1) {
        MoveToFreeSlot({r, c, 2});
    } else if (first == 1 && second == 2) {
        MoveToFreeSlot({r, c, 4});
    }
}

void Mixer::RotatePlayers() {
    int next = 1;
    int cycles = 0;
    for (int r = 1; r <= roundCount; ++r) {
        for (int c = 1; c <= courtCount; ++c)
            for (int p = 1; p <= 4; ++p)
                RemoveFromSlot({r, c, p});
        for (int c = 1; c <= courtCount; ++c)
            for (int p : {1, 3, 2, 4}) {
                if (!IsDoubles(c) && (p == 2 || p == 4)) continue;
                // The turns within a round run on from its first, so a player
                // met again means all are in it.
                // A player who would make the box the third of a kind waits
                // for the next position.
                if (cycles >= target || n == 0 || Plays(r, next) || !KeepsBoxMixed(next, r, c, p))
                    continue;
                PlaceInSlot({r, c, p}, next);
                if (++next > n) {
                    next = 1;
                    ++cycles;
                }
            }
    }
    for (int x = 1; x <= n; ++x) {
        int played = 0;
        for (int r = 1; r <= roundCount; ++r)
            played += Plays(r, x);
        plan.roundsPlayed[x] = static_cast<std::uint8_t>(played);
    }
}

void Mixer::Recount() {
    for (int x = 1; x <= n; ++x)
        for (int y = x + 1; y <= n; ++y)
            while (Meetings(x, y) > 0)
                Unmeet(x, y);
    std::fill(inRound.begin(), inRound.end(), 0);
    for (int r = 1; r <= roundCount; ++r)
        for (int c = 1; c <= courtCount; ++c)
            for (int p = 1; p <= 4; ++p) {
                const int x = plan.GetSlot(r, c, p);
                if (x < 1 || x > n) continue;
                ++inRound[Index(r, x)];
                for (int q = p + 1; q <= 4; ++q)
                    Meet(x, plan.GetSlot(r, c, q));
            }
}

int Mixer::OptimizePass(int threshold) {
    int total = TotalPenalty();
    for (int pass = 0; pass < MaxOptimizePasses && total >= 1; ++pass) {
        std::vector<int> grid;
        for (int r = 1; r <= roundCount; ++r)
            for (int c = 1; c <= courtCount; ++c)
                for (int p = 1; p <= 4; ++p)
                    grid.push_back(plan.GetSlot(r, c, p));
        const auto singles = plan.singlesPlayed;
        for (int r = 1; r <= roundCount; ++r)
            for (int c = 1; c <= courtCount; ++c) {
                if (BoxRepairPenalty(r, c) <= threshold) continue;
                for (int p = 1; p <= 4; ++p)
                    if (TrySwap(r, c, p)) break;
            }
        const int after = TotalPenalty();
        if (after < total) {
            total = after;
            continue;
        }
        // Swaps that each mended their two boxes can still raise the total
        // elsewhere: such a pass is undone, and the passes end.
        if (after > total) {
            std::size_t i = 0;
            for (int r = 1; r <= roundCount; ++r)
                for (int c = 1; c <= courtCount; ++c)
                    for (int p = 1; p <= 4; ++p)
                        plan.PutSlot(r, c, p, grid[i++]);
            for (int x = 1; x <= n; ++x)
                AddSingles(x, singles[x] - plan.singlesPlayed[x]);
            Recount();
        }
        break;
    }
    return total;
}

bool Mixer::TrySwap(int r, int c, int p) {
    const Slot from{r, c, p};
    if (Get(from) == 0) return false;
    Slot best;
    int bestGain = 0;
    const int penaltyHere = BoxRepairPenalty(r, c);
    // Within the round, courts before and after this one; then the
    // earlier rounds, then the later ones.
    const auto stage = [&](int firstRound, int lastRound, int firstCourt, int lastCourt) {
        for (int r2 = firstRound; r2 <= lastRound; ++r2)
            for (int c2 = firstCourt; c2 <= lastCourt; ++c2)
                for (int p2 = 1; p2 <= 4; ++p2) {
                    const Slot to{r2, c2, p2};
                    const int gain = SwapGain(from, to, penaltyHere);
                    if (gain == -1) {
                        best = to;
                        return true;
                    }
                    if (gain > bestGain) {
                        bestGain = gain;
                        best = to;
                    }
                }
        return false;
    };
    if (stage(r, r, 1, c - 1) || stage(r, r, c + 1, courtCount) || stage(1, r - 1, 1, courtCount) ||
        stage(r + 1, roundCount, 1, courtCount)) {
        SwapSlots(from, best);
        return true;
    }
    if (bestGain <= 0) return false;
    SwapSlots(from, best);
    return true;
}

int Mixer::SwapGain(const Slot& a, const Slot& b, int penaltyOfA) {
    const int x = Get(a);
    const int y = Get(b);
    if (x == 0 || y == 0 || x == y) return 0;
    if (a.round != b.round && (Plays(b.round, x) || Plays(a.round, y))) return 0;
    if (strict && plan.genderCode[x] != plan.genderCode[y]) return 0;
    const int before = (penaltyOfA >= 0 ? penaltyOfA : BoxRepairPenalty(a.round, a.court)) +
                       BoxRepairPenalty(b.round, b.court);
    // A singles count held at 0 would not come back by the moves alone.
    const int singlesX = plan.singlesPlayed[x];
    const int singlesY = plan.singlesPlayed[y];
    RemoveFromSlot(a);
    RemoveFromSlot(b);
    PlaceInSlot(a, y);
    PlaceInSlot(b, x);
    const int after = BoxRepairPenalty(a.round, a.court) + BoxRepairPenalty(b.round, b.court);
    RemoveFromSlot(a);
    RemoveFromSlot(b);
    PlaceInSlot(a, x);
    PlaceInSlot(b, y);
    AddSingles(x, singlesX - plan.singlesPlayed[x]);
    AddSingles(y, singlesY - plan.singlesPlayed[y]);
    if (after == 0) return -1;
    return after < before ? before - after : 0;
}

short Mixer::AssignPartners() {
    try {
        plan.partnerCounts = std::make_unique<CounterMatrix>(n + 1, n + 1);
    } catch (const std::bad_alloc&) {
        return rcNoMemory;
    }
    if (!plan.partnerCounts->IsValid()) return rcNoMemory;
    const int limit = (plan.diversityLimit + 2) / 3;
    const auto gender = [&](int x) { return plan.genderCode[x]; };
    for (int r = 1; r <= roundCount; ++r)
        for (int c = 1; c <= courtCount; ++c) {
            if (!IsDoubles(c)) continue;
            int p[4];
            for (int i = 0; i < 4; ++i)
                p[i] = plan.GetSlot(r, c, i + 1);
            // Only a full box has partners to choose.
            if (p[0] == 0 || p[1] == 0 || p[2] == 0 || p[3] == 0) continue;
            // The three pairings: p1 with p2, with p3, with p4.
            const int pairings[3][4] = {
                {p[0], p[1], p[2], p[3]}, {p[0], p[2], p[1], p[3]}, {p[0], p[3], p[1], p[2]}};
            int chosen = 0;
            if (plan.HasOption(SkillDisparity)) {
                chosen = 2;
                if (gender(p[0]) != gender(p[1]) && gender(p[0]) == gender(p[3]) &&
                    gender(p[1]) == gender(p[2]))
                    chosen = 1;
            } else {
                chosen = 0;
                for (int i = 0; i < 3; ++i) {
                    const int* q = pairings[i];
                    if (Partnered(q[0], q[1]) < limit && Partnered(q[2], q[3]) < limit) {
                        chosen = i;
                        break;
                    }
                }
                const int* q = pairings[chosen];
                if (gender(q[0]) == gender(q[1]) && gender(q[0]) != gender(q[2]) &&
                    gender(q[0]) != gender(q[3])) {
                    int others[2];
                    int count = 0;
                    for (int i = 0; i < 3; ++i)
                        if (i != chosen) others[count++] = i;
                    chosen = r % 2 == 1 ? others[0] : others[1];
                }
                const int* pair = pairings[chosen];
                plan.partnerCounts->Increment(std::min(pair[0], pair[1]),
                                              std::max(pair[0], pair[1]));
                plan.partnerCounts->Increment(std::min(pair[2], pair[3]),
                                              std::max(pair[2], pair[3]));
            }
            for (int i = 0; i < 4; ++i)
                plan.PutSlot(r, c, i + 1, pairings[chosen][i]);
        }
    return rcOk;
}
