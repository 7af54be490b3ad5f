#include "unified/schedule/Mixer.h"

#include "platform/Random.h"
#include "unified/draw/RandomNumbers.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <limits>
#include <new>

namespace {

// A search that finds no member to add scores this, less the members it has.
constexpr int NoGroup = 9999;
constexpr int LongGapPenalty = 200;
constexpr int SinglesExcessPenalty = 500;
constexpr int MixingPenalty = 20;
constexpr int SpreadStep = 20;

// The pairs of a box's four places in order: 0 and 1, 0 and 2, ... 2 and 3.
std::size_t PairOf(int i, int j) {
    static constexpr std::size_t pairs[4][4] = {
        {0, 0, 1, 2}, {0, 0, 3, 4}, {1, 3, 0, 5}, {2, 4, 5, 0}};
    return pairs[i][j];
}

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
        mixer.Report(-1, 1);
        mixer.RepairShortfalls();
        finalPenalty = mixer.TotalPenalty();
        // Phases 2 and 3 are shown even when the repair left no penalty;
        // their passes then change nothing.
        mixer.Report(-1, 2);
        finalPenalty = mixer.OptimizePass(20);
        mixer.Report(-1, 3);
        finalPenalty = mixer.OptimizePass(0);
    }
    return mixer.AssignPartners();
}

Mixer::Mixer(Matches& plan, MixerProgress* progress) : plan(plan), progress(progress) {
}

void Mixer::Report(int round, int value) {
    if (round != -1) {
        workRound = round;
        workCourt = value;
    }
    if (progress != nullptr) progress->Report(round, value);
}

void Mixer::StillWorking(int round, int court, std::uint32_t count) {
    if (progress == nullptr) return;
    const std::uint32_t before = steps;
    steps += count;
    if (steps / StepsPerReport != before / StepsPerReport) progress->Report(round, court);
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
    const std::size_t players = static_cast<std::size_t>(n) + 1;
    try {
        doubles.assign(static_cast<std::size_t>(courtCount) + 1, 0);
        grid.assign(static_cast<std::size_t>(roundCount) * static_cast<std::size_t>(courtCount) * 4,
                    0);
        inRound.assign(Index(roundCount + 1, 0), 0);
        placeIn.assign(inRound.size(), 0);
        emptyPositions.assign(static_cast<std::size_t>(roundCount) + 1, 0);
        lopsidedBoxes.assign(static_cast<std::size_t>(roundCount) + 1, 0);
        freeSlots.assign(static_cast<std::size_t>(roundCount) + 1, {});
        readings.assign(grid.size() / 4, {});
        roundsOf.assign(players, {});
        gapPenalty.assign(players, 0);
        meetings.assign(players * players, 0);
        meetHistogram.assign(players * 256, 0);
        spreadOf.assign(players, {});
        skillByDistance.assign(players, 0);
        for (Candidates* list : {&anyone, &men, &others, &nobody}) {
            list->below.assign(players + 1, 0);
            list->above.assign(players + 1, n + 1);
        }
    } catch (const std::bad_alloc&) {
        return rcNoMemory;
    }
    plan.roundsPlayed.fill(0);
    plan.singlesPlayed.fill(0);
    plan.genderCode.fill(0);
    for (int i = 1; i <= n; ++i) {
        plan.genderCode[i] = static_cast<std::uint8_t>(plan.Player(i)->gender);
        meetHistogram[static_cast<std::size_t>(i) * 256] = static_cast<std::uint16_t>(n - 1);
        spreadOf[i] = {0, 0, static_cast<std::uint16_t>(n - 1), static_cast<std::uint16_t>(n - 1)};
    }
    singlesHistogram.fill(0);
    singlesHistogram[0] = n;
    singlesLeast = 0;
    plan.allSingles = plan.AllCourtsOfType('S') ? 1 : 0;
    strict = plan.HasOption(StrictlyMixed);
    gaps = plan.HasOption(Gaps);
    genderImbalance = plan.HasOption(GenderImbal);
    diversityLimit = plan.diversityLimit;
    int positions = 0;
    for (int c = 1; c <= courtCount; ++c) {
        doubles[static_cast<std::size_t>(c)] = plan.CourtType(c) == 'D';
        positions += IsDoubles(c) ? 4 : 2;
    }
    std::fill(emptyPositions.begin() + 1, emptyPositions.end(), positions);
    skillCounts = false;
    for (int d = 0; d < n; ++d) {
        skillByDistance[static_cast<std::size_t>(d)] =
            std::max(0, plan.SkillDistance(1, 1 + d) - plan.disparityThreshold);
        skillCounts = skillCounts || skillByDistance[static_cast<std::size_t>(d)] != 0;
    }
    int menCount = 0;
    int womenCount = 0;
    for (int i = 1; i <= n; ++i) {
        menCount += plan.genderCode[i] == 'M';
        womenCount += plan.genderCode[i] == 'F';
    }
    gendersMix = menCount > 0 && womenCount > 0;
    gendersEven = 2 * menCount == n;
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
        Report(r, c);
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

        PlaceGroup(r, c, size, seed);
    }
}

// The best group of the given size for court c of round r that grows from
// the seed, placed there.
void Mixer::PlaceGroup(int r, int c, int size, int seed) {
    Group group{seed, 0, 0, 0};
    Group best{};
    GroupSearch(r, group, 1, size, seed - 1, seed + 1, best);
    std::sort(best.begin(), best.end(), [](int a, int b) {
        return a != 0 && (b == 0 || a < b); // present members first, ascending
    });
    const int members =
        static_cast<int>(std::count_if(best.begin(), best.end(), [](int g) { return g != 0; }));
    if (size == 2 || members < 3) {
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

// The players a group of round r may take: not yet in the round and below
// the target; with the strictly mixed option also the men and the others
// apart, for a group that already holds two of a kind.
void Mixer::ListCandidates(int r) {
    const auto allowed = [&](int x) {
        return !Plays(r, x) && plan.roundsPlayed[x] < target &&
               (inTurn.empty() || inTurn[static_cast<std::size_t>(x)] != 0);
    };
    for (Candidates* list : {&anyone, &men, &others}) {
        list->below[0] = 0;
        list->above[static_cast<std::size_t>(n) + 1] = n + 1;
    }
    const auto fill = [&](Candidates& list, auto&& takes) {
        for (int x = 1; x <= n; ++x)
            list.below[static_cast<std::size_t>(x)] =
                takes(x) ? x : list.below[static_cast<std::size_t>(x) - 1];
        for (int x = n; x >= 1; --x)
            list.above[static_cast<std::size_t>(x)] =
                takes(x) ? x : list.above[static_cast<std::size_t>(x) + 1];
    };
    fill(anyone, allowed);
    if (strict) {
        fill(men, [&](int x) { return allowed(x) && plan.genderCode[x] == 'M'; });
        fill(others, [&](int x) { return allowed(x) && plan.genderCode[x] != 'M'; });
    }
    // A member that joins later meets at least the spread of the best of
    // the candidates.
    leastSpread = 0;
    if (searchSize > 2) {
        leastSpread = NoGroup;
        for (int x = anyone.above[1]; x <= n; x = anyone.above[static_cast<std::size_t>(x) + 1]) {
            leastSpread =
                std::min(leastSpread, SpreadPenalty(x, spreadOf[x].most, 0, searchSize - 1));
            if (leastSpread == 0) break;
        }
    }
}

const Mixer::Candidates& Mixer::CandidatesFor(const Group& group, int k) const {
    if (!strict || k < 2) return anyone;
    int manCount = 0;
    for (int i = 0; i < k; ++i)
        manCount += plan.genderCode[group[i]] == 'M';
    const bool man = manCount + 1 <= 2 && k - manCount <= 2;
    const bool other = manCount <= 2 && k + 1 - manCount <= 2;
    if (man && other) return anyone;
    if (man) return men;
    if (other) return others;
    return nobody;
}

int Mixer::GroupSearch(int r, Group& group, int k, int size, int lo, int hi, Group& best) {
    if (k == size) {
        best = group;
        return GroupPenalty(group, size);
    }
    searchSize = size;
    searchBound = NoGroup;
    ListCandidates(r);
    levels[0] = GroupState{};
    for (int i = 0; i < k; ++i)
        AddToGroup(group, i, group[i]);
    return Grow(group, k, lo, hi, best);
}

// The state of the group of k + 1 members that adding the candidate to the
// first k makes.
void Mixer::AddToGroup(const Group& group, int k, int candidate) {
    const GroupState& from = levels[k];
    GroupState& to = levels[k + 1];
    const std::uint8_t* met = &meetings[static_cast<std::size_t>(candidate) * (n + 1)];
    int most = spreadOf[candidate].most;
    int raised = 0;
    int skill = from.skill;
    for (int i = 0; i < k; ++i) {
        const int member = group[i];
        const int count = met[member];
        to.most[i] = std::max(from.most[i], count + 1);
        to.raised[i] = from.raised[i] + (count == spreadOf[member].least);
        most = std::max(most, count + 1);
        raised += count == spreadOf[candidate].least;
        skill += skillByDistance[static_cast<std::size_t>(std::abs(member - candidate))];
    }
    to.most[k] = most;
    to.raised[k] = raised;
    to.skill = skill;
}

// GroupPenalty of the full group whose state is the last level.
int Mixer::LeafPenalty(const Group& group) const {
    const GroupState& state = levels[searchSize];
    int penalty = state.skill;
    for (int i = 0; i < searchSize; ++i)
        penalty += SpreadPenalty(group[i], state.most[i], state.raised[i], 0);
    if (searchSize == 2 && plan.allSingles == 0) penalty += SinglesPairPenalty(group[0], group[1]);
    if (genderImbalance) penalty += GenderPenalty(group.data(), searchSize);
    return penalty;
}

// No completion of the group of k members, with the others taken at or
// below lo or at or above hi, scores less than this. Penalties are sums of
// non-negative terms: the pairs the group holds keep their skill penalty; a
// member's most meetings can only grow as others join, and its least can
// rise by one only when every player it met least is in the group; each
// member still to come is as far from the group as the nearest candidate
// and spreads at least as the best candidate does.
int Mixer::LowerBound(const Group& group, int k, int lo, int hi) const {
    const GroupState& state = levels[k];
    const int unknown = searchSize - k;
    int bound = state.skill + unknown * leastSpread;
    for (int i = 0; i < k; ++i)
        bound += SpreadPenalty(group[i], state.most[i], state.raised[i], unknown);
    const int below = lo >= 1 ? anyone.below[static_cast<std::size_t>(std::min(lo, n))] : 0;
    const int above = hi <= n ? anyone.above[static_cast<std::size_t>(std::max(hi, 1))] : n + 1;
    if (below < 1 && above > n) return NoGroup; // nobody left to complete it
    int nearest = NoGroup;
    for (int side : {below, above}) {
        if (side < 1 || side > n) continue;
        int skill = 0;
        for (int i = 0; i < k; ++i)
            skill += skillByDistance[static_cast<std::size_t>(std::abs(group[i] - side))];
        nearest = std::min(nearest, skill);
    }
    return bound + unknown * nearest;
}

int Mixer::Grow(Group& group, int k, int lo, int hi, Group& best) {
    const Candidates& list = CandidatesFor(group, k);
    int bestScore = NoGroup;
    best = group;
    Group found{};
    // A part whose every completion scores at least the best found cannot
    // win: ties go to the first found. Parts that cannot be completed score
    // NoGroup less their size, so the bound holds only below those.
    const auto visit = [&](int candidate, int nextLo, int nextHi) {
        StillWorking(workRound, workCourt);
        group[k] = candidate;
        AddToGroup(group, k, candidate);
        int score = NoGroup;
        if (k + 1 == searchSize) {
            found = group;
            score = LeafPenalty(group);
            searchBound = std::min(searchBound, score);
        } else if (searchBound > NoGroup - (searchSize - 1) ||
                   LowerBound(group, k + 1, nextLo, nextHi) < searchBound) {
            score = Grow(group, k + 1, nextLo, nextHi, found);
        }
        group[k] = 0;
        if (score < bestScore) {
            bestScore = score;
            best = found;
        }
    };
    // Candidates outward from lo and hi in step: at each step the lower one
    // first. Steps at which neither is allowed are passed over.
    constexpr int Far = std::numeric_limits<int>::max();
    for (int step = 0; bestScore > 0;) {
        const int downTo = lo - step;
        const int upTo = hi + step;
        const int lower =
            downTo >= 1 ? list.below[static_cast<std::size_t>(std::min(downTo, n))] : 0;
        const int upper =
            upTo <= n ? list.above[static_cast<std::size_t>(std::max(upTo, 1))] : n + 1;
        const int lowerStep = lower >= 1 ? lo - lower : Far;
        const int upperStep = upper <= n ? upper - hi : Far;
        step = std::min(lowerStep, upperStep);
        if (step == Far) break;
        if (lowerStep == step) {
            visit(lower, lower - 1, hi + step);
            if (bestScore == 0) break;
        }
        if (upperStep == step) visit(upper, lo - step - 1, upper + 1);
        ++step;
    }
    // A group that cannot be completed gives its largest part.
    if (bestScore == NoGroup) {
        best = group;
        searchBound = std::min(searchBound, NoGroup - k);
        return NoGroup - k;
    }
    return bestScore;
}

int Mixer::Meetings(int a, int b) const {
    if (a == b || a < 1 || b < 1 || a > n || b > n) return 0;
    return meetings[static_cast<std::size_t>(a) * (n + 1) + static_cast<std::size_t>(b)];
}

int Mixer::Partnered(int a, int b) const {
    if (plan.partnerCounts == nullptr || a == b) return 0;
    return plan.partnerCounts->Get(std::min(a, b), std::max(a, b), false);
}

void Mixer::CountMeeting(int a, int b, int before) {
    ++changes;
    const int after = Meetings(a, b);
    if (after == before) return; // a counter at its limit
    for (int x : {a, b}) {
        std::uint16_t* histogram = &meetHistogram[static_cast<std::size_t>(x) * 256];
        --histogram[before];
        ++histogram[after];
        MeetSpread& spread = spreadOf[x];
        std::uint8_t& least = spread.least;
        std::uint8_t& most = spread.most;
        if (after > most) most = static_cast<std::uint8_t>(after);
        if (after < least) least = static_cast<std::uint8_t>(after);
        if (histogram[before] == 0) {
            if (before == least) least = static_cast<std::uint8_t>(after);
            if (before == most) most = static_cast<std::uint8_t>(after);
        }
        spread.atLeast = histogram[least];
        spread.atMost = histogram[most];
    }
}

void Mixer::Meet(int a, int b) {
    if (a < 1 || b < 1 || a == b || a > n || b > n) return;
    const std::size_t ab = static_cast<std::size_t>(a) * (n + 1) + static_cast<std::size_t>(b);
    const std::size_t ba = static_cast<std::size_t>(b) * (n + 1) + static_cast<std::size_t>(a);
    const int before = meetings[ab];
    if (before < 255) meetings[ab] = meetings[ba] = static_cast<std::uint8_t>(before + 1);
    CountMeeting(a, b, before);
}

void Mixer::Unmeet(int a, int b) {
    if (a < 1 || b < 1 || a == b || a > n || b > n) return;
    const std::size_t ab = static_cast<std::size_t>(a) * (n + 1) + static_cast<std::size_t>(b);
    const std::size_t ba = static_cast<std::size_t>(b) * (n + 1) + static_cast<std::size_t>(a);
    const int before = meetings[ab];
    if (before > 0) meetings[ab] = meetings[ba] = static_cast<std::uint8_t>(before - 1);
    CountMeeting(a, b, before);
}

void Mixer::AddSingles(int x, int delta) {
    if (x < 1 || x > n) return;
    const int before = plan.singlesPlayed[x];
    const int after = std::clamp(before + delta, 0, 255);
    if (after == before) return;
    ++changes;
    plan.singlesPlayed[x] = static_cast<std::uint8_t>(after);
    --singlesHistogram[before];
    ++singlesHistogram[after];
    if (after < singlesLeast) singlesLeast = after;
    if (before == singlesLeast && singlesHistogram[before] == 0) singlesLeast = after;
}

bool Mixer::Lopsided(int r, int c) const {
    const std::int16_t* box = Box(r, c);
    return (box[0] != 0) + (box[1] != 0) != (box[2] != 0) + (box[3] != 0);
}

void Mixer::Write(const Slot& s, int x) {
    ++changes;
    std::int16_t* box = Box(s.round, s.court);
    const int old = box[s.position - 1];
    const bool lopsided = Lopsided(s.round, s.court);
    if (old >= 1 && old <= n && inRound[Index(s.round, old)] > 0) {
        doubled -= inRound[Index(s.round, old)] > 1;
        if (--inRound[Index(s.round, old)] == 0) {
            roundsOf[old][s.round / 64] &= ~(std::uint64_t{1} << (s.round % 64));
            gapPenalty[old] = GapOf(roundsOf[old]);
            placeIn[Index(s.round, old)] = 0;
        }
    }
    box[s.position - 1] = static_cast<std::int16_t>(x);
    // A player placed twice for a moment (a short player on its way to
    // another's place) is where its other place is.
    if (old >= 1 && old <= n && inRound[Index(s.round, old)] != 0)
        for (int c = 1; c <= courtCount; ++c)
            for (int p = 1; p <= 4; ++p)
                if (At(s.round, c, p) == old) placeIn[Index(s.round, old)] = PlaceOf(c, p);
    plan.PutSlot(s.round, s.court, s.position, x);
    if (x >= 1 && x <= n) {
        doubled += inRound[Index(s.round, x)] > 0;
        if (inRound[Index(s.round, x)]++ == 0) {
            roundsOf[x][s.round / 64] |= std::uint64_t{1} << (s.round % 64);
            gapPenalty[x] = GapOf(roundsOf[x]);
        }
        placeIn[Index(s.round, x)] = PlaceOf(s.court, s.position);
    }
    if (IsDoubles(s.court) || s.position % 2 == 1) emptyPositions[s.round] += (old != 0) - (x != 0);
    lopsidedBoxes[s.round] += Lopsided(s.round, s.court) - lopsided;
}

void Mixer::Put(int r, int c, int p, int x) {
    ++changes;
    Box(r, c)[p - 1] = static_cast<std::int16_t>(x);
    plan.PutSlot(r, c, p, x);
    if (x >= 1 && x <= n) placeIn[Index(r, x)] = PlaceOf(c, p);
}

int Mixer::SkillPenalty(int a, int b) const {
    return skillByDistance[static_cast<std::size_t>(std::abs(a - b))];
}

int Mixer::SpreadPenalty(int x, int most, int raised, int unknown) const {
    if (n < 2) return 0;
    int least = spreadOf[x].least;
    // When every player at the least is one of the extras, the least rises.
    if (spreadOf[x].atLeast <= raised + unknown) ++least;
    const int spread = most - least;
    return spread > diversityLimit ? (spread - diversityLimit) * SpreadStep : 0;
}

int Mixer::MeetingSpreadPenalty(int x, int extra1, int extra2, int extra3) const {
    int most = spreadOf[x].most;
    int raised = 0;
    for (int e : {extra1, extra2, extra3}) {
        if (e < 1 || e > n || e == x) continue;
        const int count = Meetings(x, e) + 1;
        most = std::max(most, count);
        raised += count - 1 == spreadOf[x].least;
    }
    return SpreadPenalty(x, most, raised, 0);
}

int Mixer::GapOf(const Rounds& rounds) const {
    // Scanning the rounds with an idle count that starts at 1, so a leading
    // idle stretch counts one round more: a round played after the count
    // passed the threshold costs the penalty. Read off the bits: the first
    // round played, then a run of more idle rounds than the threshold
    // between two played.
    using Bits = unsigned __int128; // the rounds fit: at most 99
    const Bits played = static_cast<Bits>(rounds[1]) << 64 | rounds[0];
    if (played == 0) return 0;
    const int first =
        rounds[0] != 0 ? std::countr_zero(rounds[0]) : 64 + std::countr_zero(rounds[1]);
    if (first > plan.gapThreshold) return LongGapPenalty;
    const int last =
        rounds[1] != 0 ? 127 - std::countl_zero(rounds[1]) : 63 - std::countl_zero(rounds[0]);
    if (last - first - 1 < plan.gapThreshold + 1) return 0;
    const Bits between = (static_cast<Bits>(1) << last) - (static_cast<Bits>(2) << first);
    Bits idle = ~played & between;
    // Bits left where a run of `length` idle rounds starts, doubling the
    // length each step, then the rest.
    const int longest = plan.gapThreshold + 1;
    int length = 1;
    while (idle != 0 && 2 * length <= longest) {
        idle &= idle >> length;
        length *= 2;
    }
    if (idle != 0 && length < longest) idle &= idle >> (longest - length);
    return idle != 0 ? LongGapPenalty : 0;
}

int Mixer::GapMoved(int x, int from, int to) const {
    Rounds rounds = roundsOf[x];
    rounds[static_cast<std::size_t>(from / 64)] &= ~(std::uint64_t{1} << (from % 64));
    rounds[static_cast<std::size_t>(to / 64)] |= std::uint64_t{1} << (to % 64);
    return GapOf(rounds);
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
    int menCount = 0;
    int women = 0;
    for (int i = 0; i < count; ++i) {
        if (players[i] == 0) continue;
        menCount += plan.genderCode[players[i]] == 'M';
        women += plan.genderCode[players[i]] == 'F';
    }
    return menCount >= 1 && women >= 1 && (menCount != women || menCount == 1) ? MixingPenalty : 0;
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
    if (genderImbalance) penalty += GenderPenalty(g.data(), size);
    return penalty;
}

int Mixer::BoxPenalty(int r, int c) const {
    const std::int16_t* box = Box(r, c);
    const int players[4] = {box[0], box[1], box[2], box[3]};
    return BoxPenaltyOf(players);
}

int Mixer::BoxPenaltyOf(const int* box) const {
    int penalty = 0;
    if (skillCounts)
        for (int i = 0; i < 4; ++i)
            for (int j = i + 1; j < 4; ++j)
                if (box[i] != 0 && box[j] != 0) penalty += SkillPenalty(box[i], box[j]);
    return gendersMix ? penalty + GenderPenalty(box, 4) : penalty;
}

int Mixer::TotalPenalty() const {
    int total = 0;
    for (int r = 1; r <= roundCount; ++r)
        for (int c = 1; c <= courtCount; ++c)
            total += BoxPenalty(r, c);
    for (int x = 1; x <= n; ++x) {
        total += MeetingSpreadPenalty(x, 0, 0, 0);
        if (gaps) total += GapPenalty(x);
        if (plan.allSingles == 0) total += SinglesPenalty(x);
    }
    return total;
}

int Mixer::BoxRepairPenalty(int r, int c) const {
    return Reading(r, c).penalty;
}

const Mixer::BoxReading& Mixer::Reading(int r, int c) const {
    // Read again only after a change to the plan or its counters: the swap
    // search reads every box for every position it tries.
    BoxReading& reading = readings[BoxIndex(r, c)];
    if (reading.at == changes) return reading;
    int penalty = BoxPenalty(r, c);
    int own = penalty; // the box's and its singles', which a change may all mend
    int spreads[4] = {};
    const std::int16_t* box = Box(r, c);
    for (int p = 0; p < 4; ++p) {
        const int x = box[p];
        if (x == 0) continue;
        spreads[p] = MeetingSpreadPenalty(x, 0, 0, 0);
        penalty += spreads[p];
        if (gaps) penalty += GapPenalty(x);
    }
    const bool singlesMatch = !IsDoubles(c) || box[1] == 0;
    if (plan.allSingles == 0 && singlesMatch)
        for (int p : {0, 2})
            if (box[p] != 0) {
                penalty += SinglesPenalty(box[p]);
                own += SinglesPenalty(box[p]);
            }
    // The box's own meetings too, which a swap search reads for every y.
    std::array<std::uint8_t, 6>& met = reading.meetings;
    for (int i = 0, k = 0; i < 4; ++i)
        for (int j = i + 1; j < 4; ++j, ++k)
            met[static_cast<std::size_t>(k)] =
                box[i] != 0 && box[j] != 0 ? meetings[static_cast<std::size_t>(box[i]) * (n + 1) +
                                                      static_cast<std::size_t>(box[j])]
                                           : 0;
    // And for each place, the most that the player there leaving and
    // another coming could take off the box's penalty, gaps apart. A
    // spread narrows only when its most falls or its least rises: the most
    // when every count at it falls, the least when every count at it rises.
    // Each other of the box has one count falling (its meetings with the
    // player leaving) and one rising; the one who leaves has one of each
    // for each other of the two boxes.
    for (int p = 0; p < 4; ++p) {
        const int z = box[p];
        int mend = own;
        if (z != 0) {
            const MeetSpread& counts = spreadOf[z];
            int atMostHere = 0;
            for (int q = 0; q < 4; ++q) {
                const int u = box[q];
                if (q == p || u == 0) continue;
                const int together = met[PairOf(p, q)];
                atMostHere += together == counts.most;
                const MeetSpread& theirs = spreadOf[u];
                const int narrows = SpreadStep * ((together == theirs.most && theirs.atMost == 1) +
                                                  (theirs.atLeast == 1));
                mend += std::min(spreads[q], narrows);
            }
            const int narrows =
                SpreadStep * ((atMostHere >= counts.atMost) + (counts.atLeast <= 3));
            mend += std::min(spreads[p], narrows);
        }
        reading.mendable[static_cast<std::size_t>(p)] = mend;
    }
    reading.penalty = penalty;
    reading.at = changes;
    return reading;
}

void Mixer::PlaceInSlot(const Slot& s, int x) {
    Write(s, x);
    const std::int16_t* box = Box(s.round, s.court);
    if (!IsDoubles(s.court) || box[1] == 0) AddSingles(x, 1);
    for (int p = 1; p <= 4; ++p)
        if (p != s.position) Meet(x, box[p - 1]);
}

void Mixer::RemoveFromSlot(const Slot& s) {
    const int x = Get(s);
    if (x == 0) return;
    const std::int16_t* box = Box(s.round, s.court);
    if (!IsDoubles(s.court) || box[1] == 0) AddSingles(x, -1);
    Write(s, 0);
    for (int p = 0; p < 4; ++p)
        Unmeet(x, box[p]);
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
    const std::int16_t* box = Box(r, c);
    int players[4];
    int count = 0;
    for (int p = 0; p < 4; ++p)
        if (box[p] != 0) players[count++] = box[p];
    // At most four: an insertion sort.
    for (int i = 1; i < count; ++i)
        for (int j = i; j > 0 && players[j - 1] > players[j]; --j)
            std::swap(players[j - 1], players[j]);
    int next = 0;
    for (int p = 1; p <= 4; ++p)
        if (box[p - 1] != 0) Put(r, c, p, players[next++]);
}

bool Mixer::NeedsRepair() const {
    return !AllAtTarget() || LopsidedBoxes() != 0;
}

int Mixer::LopsidedBoxes() const {
    int count = 0;
    for (int r = 1; r <= roundCount; ++r)
        count += lopsidedBoxes[r];
    return count;
}

bool Mixer::KeepsBoxMixed(int x, int r, int c, int p) const {
    if (!strict) return true;
    int menCount = plan.genderCode[x] == 'M';
    int otherCount = 1 - menCount;
    for (int q = 1; q <= 4; ++q)
        if (const int y = At(r, c, q); y != 0 && q != p) {
            menCount += plan.genderCode[y] == 'M';
            otherCount += plan.genderCode[y] != 'M';
        }
    return menCount <= 2 && otherCount <= 2;
}

bool Mixer::FitsBesidePartner(int x, int r, int c, int p) const {
    if (!strict) return true;
    const int partner = At(r, c, PartnerPosition(p));
    const int gender = partner != 0 ? plan.genderCode[partner] : ' ';
    // The partner alone does not keep the box mixed: the other side may
    // already hold two of x's kind.
    return plan.genderCode[x] != gender && KeepsBoxMixed(x, r, c, p);
}

bool Mixer::FindFreeSlot(int x, int exceptRound, int exceptCourt, Slot& found) const {
    for (int r = roundCount; r >= 1; --r) {
        if (Plays(r, x) || emptyPositions[r] == 0) continue;
        for (int c = 1; c <= courtCount; ++c) {
            if (r == exceptRound && c == exceptCourt) continue;
            for (int p = 1; p <= 4; ++p) {
                if (!IsDoubles(c) && (p == 2 || p == 4)) continue;
                if (At(r, c, p) != 0 || !FitsBesidePartner(x, r, c, p)) continue;
                found = {r, c, p};
                return true;
            }
        }
    }
    return false;
}

bool Mixer::FindCompletingSlot(int x, int exceptRound, int exceptCourt, Slot& found) const {
    for (int r = roundCount; r >= 1; --r) {
        if (Plays(r, x) || lopsidedBoxes[r] == 0) continue;
        for (int c = 1; c <= courtCount; ++c) {
            if (r == exceptRound && c == exceptCourt) continue;
            const std::int16_t* box = Box(r, c);
            const int first = (box[0] != 0) + (box[1] != 0);
            const int second = (box[2] != 0) + (box[3] != 0);
            int p = 0;
            if (first == second + 1)
                p = second == 0 ? 3 : 4;
            else if (second == first + 1)
                p = first == 0 ? 1 : 2;
            if (p == 0 || box[p - 1] != 0 || !FitsBesidePartner(x, r, c, p)) continue;
            found = {r, c, p};
            return true;
        }
    }
    return false;
}

bool Mixer::ListFreeSlots(int x) {
    bool any = false;
    for (int r = 1; r <= roundCount; ++r) {
        FreeSlots& slots = freeSlots[static_cast<std::size_t>(r)];
        slots = {};
        if (emptyPositions[r] == 0) continue;
        for (int c = 1; c <= courtCount && slots.other.round == 0; ++c)
            for (int p = 1; p <= 4; ++p) {
                if (!IsDoubles(c) && (p == 2 || p == 4)) continue;
                if (At(r, c, p) != 0 || !FitsBesidePartner(x, r, c, p)) continue;
                if (slots.first.round == 0) {
                    slots.first = {r, c, p};
                    any = true;
                } else if (c != slots.first.court) {
                    slots.other = {r, c, p};
                    break;
                }
            }
    }
    return any;
}

bool Mixer::ListedFreeSlot(int x, int exceptRound, int exceptCourt, Slot& found) const {
    for (int r = roundCount; r >= 1; --r) {
        if (Plays(r, x)) continue;
        const FreeSlots& slots = freeSlots[static_cast<std::size_t>(r)];
        const Slot& slot =
            r == exceptRound && slots.first.court == exceptCourt ? slots.other : slots.first;
        if (slot.round == 0) continue;
        found = slot;
        return true;
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
    // Only a player of x's gender may, where it matters, so where each
    // could go is the same for all of them while the grid stands.
    if (!ListFreeSlots(x)) return false;
    for (int r = 1; r <= roundCount; ++r) {
        if (Plays(r, x)) continue;
        for (int c = 1; c <= courtCount; ++c)
            for (int p = 1; p <= 4; ++p) {
                if (!IsDoubles(c) && (p == 2 || p == 4)) continue;
                StillWorking(r, c);
                const int y = At(r, c, p);
                if (y == 0) continue;
                // A strictly mixed side keeps its genders.
                if (strict && plan.genderCode[y] != plan.genderCode[x]) continue;
                if (!ListedFreeSlot(y, r, c, free)) continue;
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
    // Strictly mixed boxes of unequal sides that the tidying leaves have
    // nobody of the gender they lack to complete them: the plan is made
    // afresh of whole boxes.
    if (strict && plan.allSingles == 0 && LopsidedBoxes() != 0) RotatePlayers();
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
                StillWorking(r, c);
                const int z = At(r, c, p);
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
    const int first = (At(r, c, 1) != 0) + (At(r, c, 2) != 0);
    const int second = (At(r, c, 3) != 0) + (At(r, c, 4) != 0);
    const auto lone = [&](int side) { return Slot{r, c, At(r, c, side) != 0 ? side : side + 1}; };
    if (first == 0 && second == 2) {
        const int x = At(r, c, 4);
        RemoveFromSlot({r, c, 4});
        PlaceInSlot({r, c, 1}, x);
        SortBox(r, c);
    } else if (first == 2 && second == 0) {
        const int x = At(r, c, 2);
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

void Mixer::EmptyRound(int r) {
    for (int c = 1; c <= courtCount; ++c)
        for (int p = 1; p <= 4; ++p)
            RemoveFromSlot({r, c, p});
}

void Mixer::RotateEveryone() {
    int next = 1;
    int cycles = 0;
    for (int r = 1; r <= roundCount; ++r) {
        EmptyRound(r);
        for (int c = 1; c <= courtCount; ++c)
            for (int p : {1, 3, 2, 4}) {
                if (!IsDoubles(c) && (p == 2 || p == 4)) continue;
                // The turns within a round run on from its first, so a player
                // met again means all are in it. A player who would make the
                // box the third of a kind waits for the next position.
                if (cycles >= target || n == 0 || Plays(r, next) || !KeepsBoxMixed(next, r, c, p))
                    continue;
                PlaceInSlot({r, c, p}, next);
                if (++next > n) {
                    next = 1;
                    ++cycles;
                }
            }
    }
}

// The men and the others each take their turns in number order, round by
// round: a doubles court gets two of each or nobody, the singles courts then
// whoever has played least. Where the genders are unequal the smaller group
// plays as much as the courts allow and the larger one as much as the
// smaller lets it, each evenly. Who of those whose turn it is plays with
// whom is the group search's choice, as in the first pass.
void Mixer::RotateMenAndOthers() {
    // A group's turns run in a circle, so the player next in turn has
    // played least of it, and coming round to one already in the round
    // means the whole group is in it.
    struct Turns {
        std::vector<int> players;
        std::size_t next = 0;
    };
    Turns groups[2];
    for (int x = 1; x <= n; ++x)
        groups[plan.genderCode[x] == 'M' ? 0 : 1].players.push_back(x);
    // The groups search the round afresh, with no meeting of the old plan.
    for (int r = 1; r <= roundCount; ++r)
        EmptyRound(r);
    plan.roundsPlayed.fill(0);
    inTurn.assign(static_cast<std::size_t>(n) + 1, 0);
    std::vector<int> doublesTurn;
    std::vector<int> singlesTurn;
    // The player `ahead` turns after the next, or 0 when that one may not
    // play in this round.
    const auto upcoming = [&](const Turns& group, std::size_t ahead) {
        if (ahead >= group.players.size()) return 0;
        const int x = group.players[(group.next + ahead) % group.players.size()];
        return inTurn[static_cast<std::size_t>(x)] != 0 || plan.roundsPlayed[x] >= target ? 0 : x;
    };
    const auto take = [&](Turns& group, std::vector<int>& turn) {
        const int x = group.players[group.next];
        group.next = (group.next + 1) % group.players.size();
        inTurn[static_cast<std::size_t>(x)] = 1;
        turn.push_back(x);
    };
    // The group whose next player has played less (the larger group when
    // even), -1 when neither has one left for the round.
    const auto keener = [&] {
        const int man = upcoming(groups[0], 0);
        const int other = upcoming(groups[1], 0);
        if (man == 0 || other == 0) return man != 0 ? 0 : other != 0 ? 1 : -1;
        const int more = plan.roundsPlayed[man] - plan.roundsPlayed[other];
        if (more != 0) return more < 0 ? 0 : 1;
        return groups[0].players.size() >= groups[1].players.size() ? 0 : 1;
    };
    for (int r = 1; r <= roundCount; ++r) {
        std::fill(inTurn.begin(), inTurn.end(), 0);
        doublesTurn.clear();
        singlesTurn.clear();
        int doublesCourts = 0;
        for (int c = 1; c <= courtCount; ++c) {
            if (!IsDoubles(c)) continue;
            bool room = true;
            for (const Turns& group : groups)
                room = room && upcoming(group, 0) != 0 && upcoming(group, 1) != 0;
            if (!room) break;
            for (Turns& group : groups)
                for (int i = 0; i < 2; ++i)
                    take(group, doublesTurn);
            ++doublesCourts;
        }
        int singlesCourts = 0;
        for (int c = 1; c <= courtCount; ++c) {
            if (IsDoubles(c)) continue;
            const int first = keener();
            if (first < 0) break;
            take(groups[first], singlesTurn);
            const int second = keener();
            if (second < 0) {
                // Nobody to meet: the turn goes back.
                inTurn[static_cast<std::size_t>(singlesTurn.back())] = 0;
                singlesTurn.pop_back();
                Turns& group = groups[first];
                group.next = (group.next + group.players.size() - 1) % group.players.size();
                break;
            }
            take(groups[second], singlesTurn);
            ++singlesCourts;
        }
        // Each court's group grows from a player still waiting, the first
        // from a random start, as in the first pass.
        const auto arrange = [&](bool doublesCourt, int courts, const std::vector<int>& turn) {
            std::fill(inTurn.begin(), inTurn.end(), 0);
            for (int x : turn)
                inTurn[static_cast<std::size_t>(x)] = 1;
            const auto waiting = [&](int x) {
                return inTurn[static_cast<std::size_t>(x)] != 0 && !Plays(r, x);
            };
            for (int c = 1; c <= courtCount && courts > 0; ++c) {
                if (IsDoubles(c) != doublesCourt) continue;
                Report(r, c);
                const int start = RandomBelow(n) + 1;
                int seed = 0;
                for (int lo = start, hi = start + 1; seed == 0 && (lo >= 1 || hi <= n); --lo, ++hi)
                    seed = lo >= 1 && waiting(lo) ? lo : hi <= n && waiting(hi) ? hi : 0;
                if (seed == 0) return;
                PlaceGroup(r, c, doublesCourt ? 4 : 2, seed);
                --courts;
            }
        };
        arrange(true, doublesCourts, doublesTurn);
        arrange(false, singlesCourts, singlesTurn);
    }
    inTurn.clear();
}

void Mixer::RotatePlayers() {
    // Strictly mixed doubles take two men and two others a box, which one
    // turn for everyone meets only when there are as many of each: else a
    // box is left short where the next in turn would be a third of a kind.
    // The men and the others then take turns apart.
    const bool mixedDoubles = strict && plan.allSingles == 0;
    if (mixedDoubles && !gendersEven) {
        RotateMenAndOthers();
    } else {
        RotateEveryone();
        if (mixedDoubles && LopsidedBoxes() != 0) RotateMenAndOthers();
    }
    for (int x = 1; x <= n; ++x) {
        int played = 0;
        for (int r = 1; r <= roundCount; ++r)
            played += Plays(r, x);
        plan.roundsPlayed[x] = static_cast<std::uint8_t>(played);
    }
}

void Mixer::Recount() {
    ++changes;
    std::fill(meetings.begin(), meetings.end(), 0);
    std::fill(meetHistogram.begin(), meetHistogram.end(), 0);
    for (int i = 1; i <= n; ++i) {
        meetHistogram[static_cast<std::size_t>(i) * 256] = static_cast<std::uint16_t>(n - 1);
        spreadOf[i] = {0, 0, static_cast<std::uint16_t>(n - 1), static_cast<std::uint16_t>(n - 1)};
    }
    std::fill(inRound.begin(), inRound.end(), 0);
    std::fill(placeIn.begin(), placeIn.end(), 0);
    doubled = 0;
    std::fill(roundsOf.begin(), roundsOf.end(), Rounds{});
    for (int r = 1; r <= roundCount; ++r) {
        emptyPositions[r] = 0;
        lopsidedBoxes[r] = 0;
        for (int c = 1; c <= courtCount; ++c) {
            lopsidedBoxes[r] += Lopsided(r, c);
            for (int p = 1; p <= 4; ++p) {
                const int x = At(r, c, p);
                if (x == 0 && (IsDoubles(c) || p % 2 == 1)) ++emptyPositions[r];
                if (x < 1 || x > n) continue;
                doubled += inRound[Index(r, x)] > 0;
                ++inRound[Index(r, x)];
                placeIn[Index(r, x)] = PlaceOf(c, p);
                roundsOf[x][r / 64] |= std::uint64_t{1} << (r % 64);
                for (int q = p + 1; q <= 4; ++q)
                    Meet(x, At(r, c, q));
            }
        }
    }
    for (int x = 1; x <= n; ++x)
        gapPenalty[x] = GapOf(roundsOf[x]);
}

int Mixer::OptimizePass(int threshold) {
    int total = TotalPenalty();
    for (int pass = 0; pass < MaxOptimizePasses && total >= 1; ++pass) {
        const std::vector<std::int16_t> before = grid;
        const auto singles = plan.singlesPlayed;
        for (int r = 1; r <= roundCount; ++r)
            for (int c = 1; c <= courtCount; ++c) {
                Report(r, c);
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
                        Put(r, c, p, before[i++]);
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
    const int x = Get(from);
    if (x == 0) return false;
    const int penaltyHere = BoxRepairPenalty(r, c);
    // Within the round, courts before and after this one; then the earlier
    // rounds, then the later ones.
    SwapSearch found;
    SearchSwap(from, penaltyHere, {r, r}, 1, c - 1, found);
    if (!found.perfect) SearchSwap(from, penaltyHere, {r, r}, c + 1, courtCount, found);
    if (!found.perfect) SearchOtherRounds(from, penaltyHere, found);
    StillWorking(r, c, found.steps);
    if (!found.perfect && found.gain <= 0) return false;
    SwapSlots(from, found.slot);
    return true;
}

// Whether changing x for the player y at `to` could gain more than the best
// found, or leave both boxes free of penalty: the most it could gain is
// what x's box could mend with x's gap (`mendsHere`), what y's box could
// mend, and, across rounds, what y's gap gains in x's round (read into
// gapOfY). A change that can do neither is passed over as its trial would
// pass it.
inline bool Mixer::MayGain(const Slot& to, int y, int r, int mendsHere,
                           const BoxReading& there, int before, const SwapSearch& found,
                           int& gapOfY) const {
    int most = mendsHere + there.mendable[static_cast<std::size_t>(to.position - 1)];
    if (gaps && to.round != r && GapPenalty(y) > 0) {
        gapOfY = GapMoved(y, to.round, r);
        most += GapPenalty(y) - gapOfY;
    }
    return most > found.gain || most >= before;
}

// Tries the change and keeps it when it is the best so far; true when it
// leaves both boxes free of penalty, which ends the search.
inline bool Mixer::TryChange(const Slot& from, const Slot& to, int before, int gapOfX,
                             int gapOfY, SwapSearch& found) const {
    const int gain = TrialGain(from, to, before, found.gain, gapOfX, gapOfY);
    if (gain == -1) {
        found.slot = to;
        found.perfect = true;
        return true;
    }
    if (gain > found.gain) {
        found.gain = gain;
        found.slot = to;
    }
    return false;
}

void Mixer::SearchSwap(const Slot& from, int penaltyHere, Span rounds, int firstCourt,
                       int lastCourt, SwapSearch& found) const {
    const int r = from.round;
    const int x = Get(from);
    const int mendableHere =
        Reading(r, from.court).mendable[static_cast<std::size_t>(from.position - 1)];
    for (int r2 = rounds.first; r2 <= rounds.last; ++r2) {
        // A round that x plays in has nobody x could change places with.
        if (r2 != r && Plays(r2, x)) continue;
        const int gapOfX = gaps && r2 != r ? GapMoved(x, r, r2) : -1;
        const int gapOfXMends = gapOfX >= 0 ? GapPenalty(x) - gapOfX : 0;
        for (int c2 = firstCourt; c2 <= lastCourt; ++c2) {
            const BoxReading* reading = nullptr; // read once a position may change hands
            const std::int16_t* there = Box(r2, c2);
            for (int p2 = 1; p2 <= 4; ++p2) {
                // MaySwap, with what is known of x already
                const int y = there[p2 - 1];
                if (y == 0 || y == x || (r2 != r && Plays(r, y)) ||
                    (strict && plan.genderCode[y] != plan.genderCode[x]))
                    continue;
                const Slot to{r2, c2, p2};
                ++found.steps;
                if (reading == nullptr) reading = &Reading(r2, c2);
                const int before = penaltyHere + reading->penalty;
                int gapOfY = -1;
                if (!MayGain(to, y, r, mendableHere + gapOfXMends, *reading, before, found, gapOfY))
                    continue;
                if (TryChange(from, to, before, gapOfX, gapOfY, found)) return;
            }
        }
    }
}

// The other rounds, in order. There x can change places only with a player
// who is free in x's round and plays in one that x is free in: those are
// found from each player's rounds, and only those whose change could beat
// the best found (with what bounds it then) are tried in order, the
// best as it grows, exactly as a search of every position.
void Mixer::SearchOtherRounds(const Slot& from, int penaltyHere, SwapSearch& found) {
    const int r = from.round;
    const int x = Get(from);
    // A player twice in a round has no one place to be found at.
    if (doubled != 0) {
        SearchSwap(from, penaltyHere, {1, r - 1}, 1, courtCount, found);
        if (!found.perfect)
            SearchSwap(from, penaltyHere, {r + 1, roundCount}, 1, courtCount, found);
        return;
    }
    Rounds freeOfX{};
    for (int r2 = 1; r2 <= roundCount; ++r2)
        if (r2 != r && !Plays(r2, x)) freeOfX[r2 / 64] |= std::uint64_t{1} << (r2 % 64);
    int gapOfX[Matches::MaxRounds + 1];
    int mendsOfX[Matches::MaxRounds + 1];
    for (int word = 0; word < 2; ++word)
        for (std::uint64_t bits = freeOfX[static_cast<std::size_t>(word)]; bits != 0;
             bits &= bits - 1) {
            const int r2 = word * 64 + std::countr_zero(bits);
            gapOfX[r2] = gaps ? GapMoved(x, r, r2) : -1;
            mendsOfX[r2] = gaps ? GapPenalty(x) - gapOfX[r2] : 0;
        }
    const int mendableHere =
        Reading(r, from.court).mendable[static_cast<std::size_t>(from.position - 1)];
    candidates.clear();
    for (int y = 1; y <= n; ++y) {
        if (y == x || Plays(r, y) || (strict && plan.genderCode[y] != plan.genderCode[x])) continue;
        for (int word = 0; word < 2; ++word)
            for (std::uint64_t bits = roundsOf[y][static_cast<std::size_t>(word)] &
                                      freeOfX[static_cast<std::size_t>(word)];
                 bits != 0; bits &= bits - 1) {
                const int r2 = word * 64 + std::countr_zero(bits);
                const int place = placeIn[Index(r2, y)];
                const int c2 = (place - 1) / 4 + 1;
                const int p2 = (place - 1) % 4 + 1;
                ++found.steps;
                const BoxReading& there = Reading(r2, c2);
                int gapOfY = -1;
                if (MayGain({r2, c2, p2}, y, r, mendableHere + mendsOfX[r2], there,
                            penaltyHere + there.penalty, found, gapOfY))
                    candidates.push_back({r2, place, gapOfY});
            }
    }
    std::sort(candidates.begin(), candidates.end(),
              [](const SwapCandidate& a, const SwapCandidate& b) {
                  return a.round != b.round ? a.round < b.round : a.place < b.place;
              });
    for (const SwapCandidate& candidate : candidates) {
        const Slot to{candidate.round, (candidate.place - 1) / 4 + 1,
                      (candidate.place - 1) % 4 + 1};
        const int before = penaltyHere + BoxRepairPenalty(to.round, to.court);
        if (TryChange(from, to, before, gapOfX[to.round], candidate.gapOfY, found)) return;
    }
}

bool Mixer::MaySwap(const Slot& a, const Slot& b) const {
    const int x = Get(a);
    const int y = Get(b);
    if (x == 0 || y == 0 || x == y) return false;
    if (a.round != b.round && (Plays(b.round, x) || Plays(a.round, y))) return false;
    return !strict || plan.genderCode[x] == plan.genderCode[y];
}

int Mixer::SwapGain(const Slot& a, const Slot& b, int penaltyOfA) {
    if (!MaySwap(a, b)) return 0;
    return TrialGain(a, b,
                     (penaltyOfA >= 0 ? penaltyOfA : BoxRepairPenalty(a.round, a.court)) +
                         BoxRepairPenalty(b.round, b.court),
                     0, -1);
}

int Mixer::SpreadAfter(int x, int down, int up) const {
    return SpreadAfter(x, &down, 1, &up, 1);
}

int Mixer::SpreadAfter(int x, const int* down, int downs, const int* up, int ups) const {
    if (n < 2) return 0;
    // Each count moves by one, so the most and the least move by one at
    // most: what moves at and next to them tells which way.
    const MeetSpread& counts = spreadOf[x];
    const int most = counts.most;
    const int least = counts.least;
    bool mostRises = false;
    bool leastFalls = false;
    int atMost = counts.atMost;
    int atLeast = counts.atLeast;
    for (int i = 0; i < downs; ++i) {
        leastFalls = leastFalls || down[i] == least;
        atMost -= down[i] == most;
        atLeast += down[i] == least + 1;
    }
    for (int i = 0; i < ups; ++i) {
        mostRises = mostRises || up[i] == most;
        atMost += (up[i] == most - 1) - (up[i] == most);
        atLeast -= up[i] == least;
    }
    const int mostAfter = mostRises ? most + 1 : atMost > 0 ? most : most - 1;
    const int leastAfter = leastFalls ? least - 1 : atLeast > 0 ? least : least + 1;
    const int spread = mostAfter - leastAfter;
    return spread > diversityLimit ? (spread - diversityLimit) * SpreadStep : 0;
}

// The two boxes' penalty after the exchange, read from the counters as the
// exchange would leave them, without making it: the meetings of x and y
// with the others of the two boxes move by one, the singles counts of x
// and y follow the moves out and in (a count held at 0 does not fall), and
// across rounds x and y take each other's round (x's gap then may be
// given). It stops as soon as the exchange can gain no more than `floor`
// and is no perfect one: 0 then. The terms are summed cheapest first: the
// others of x's box are the same for every y that x is tried against.
int Mixer::TrialGain(const Slot& a, const Slot& b, int before, int floor, int gapOfX,
                     int gapOfY) const {
    const std::int16_t* boxA = Box(a.round, a.court);
    const std::int16_t* boxB = Box(b.round, b.court);
    const int x = boxA[a.position - 1];
    const int y = boxB[b.position - 1];
    int playersA[4] = {boxA[0], boxA[1], boxA[2], boxA[3]};
    int playersB[4] = {boxB[0], boxB[1], boxB[2], boxB[3]};
    playersA[a.position - 1] = y;
    playersB[b.position - 1] = x;
    const int enough = std::max(1, before - floor);
    int after = BoxPenaltyOf(playersA) + BoxPenaltyOf(playersB);
    if (after >= enough) return 0;

    int othersA[3];
    int othersB[3];
    int placesB[3];
    int countA = 0;
    int countB = 0;
    for (int p = 0; p < 4; ++p) {
        if (p != a.position - 1 && boxA[p] != 0) othersA[countA++] = boxA[p];
        if (p != b.position - 1 && boxB[p] != 0) {
            placesB[countB] = p;
            othersB[countB++] = boxB[p];
        }
    }
    // A player in both boxes (across rounds) keeps its meetings with x and
    // y: x leaves it in one box and joins it in the other.
    const auto inBoth = [&](int u, const int* others, int count) {
        return a.round != b.round && std::find(others, others + count, u) != others + count;
    };
    // Each other of the box one of them leaves meets it once less and the
    // one who comes once more: those counts, as they stand, for each side.
    struct Moves {
        int others[3];
        int down[3];
        int up[3];
        int count = 0;
    };
    // The counts come from rows that stay at hand while x is tried against
    // every y: those of x and of the others of x's box, and y's box's own.
    const auto meetAgain = [&](const int* others, int count, const int* across, int acrossCount,
                               Moves& moves, auto&& counts) {
        for (int i = 0; i < count; ++i) {
            const int u = others[i];
            if (inBoth(u, across, acrossCount)) {
                after += MeetingSpreadPenalty(u, 0, 0, 0);
                continue;
            }
            moves.others[moves.count] = u;
            counts(i, moves.down[moves.count], moves.up[moves.count]);
            ++moves.count;
        }
    };
    const auto spreadOfOthers = [&](const Moves& moves) {
        for (int i = 0; i < moves.count; ++i)
            after += SpreadAfter(moves.others[i], moves.down[i], moves.up[i]);
    };
    Moves inA;
    meetAgain(othersA, countA, othersB, countB, inA, [&](int i, int& down, int& up) {
        const std::uint8_t* met = &meetings[static_cast<std::size_t>(othersA[i]) * (n + 1)];
        down = met[x];
        up = met[y];
    });
    spreadOfOthers(inA);
    if (after >= enough) return 0;

    if (gaps) {
        for (int i = 0; i < countA; ++i)
            after += gapPenalty[othersA[i]];
        for (int i = 0; i < countB; ++i)
            after += gapPenalty[othersB[i]];
        if (a.round == b.round) {
            after += gapPenalty[x] + gapPenalty[y];
        } else {
            after += (gapOfX >= 0 ? gapOfX : GapMoved(x, a.round, b.round)) +
                     (gapOfY >= 0 ? gapOfY : GapMoved(y, b.round, a.round));
        }
        if (after >= enough) return 0;
    }

    const bool singlesA = !IsDoubles(a.court) || boxA[1] == 0;
    const bool singlesB = !IsDoubles(b.court) || boxB[1] == 0;
    if (plan.allSingles == 0 && (singlesA || singlesB)) {
        const int singlesX = plan.singlesPlayed[x];
        const int singlesY = plan.singlesPlayed[y];
        const int singlesXAfter = std::max(0, singlesX - singlesA) + singlesB;
        const int singlesYAfter = std::max(0, singlesY - singlesB) + singlesA;
        int least = singlesLeast;
        while (least < 256 && singlesHistogram[static_cast<std::size_t>(least)] -
                                      (singlesX == least) - (singlesY == least) <=
                                  0)
            ++least;
        least = std::min({least, singlesXAfter, singlesYAfter});
        const auto singlesOf = [&](int u) {
            return u == x ? singlesXAfter : u == y ? singlesYAfter : plan.singlesPlayed[u];
        };
        for (const auto& [players, single] : {std::pair{playersA, singlesA}, {playersB, singlesB}})
            if (single)
                for (int p : {0, 2})
                    if (players[p] != 0 && singlesOf(players[p]) > least + 1)
                        after += SinglesExcessPenalty;
        if (after >= enough) return 0;
    }

    Moves inB;
    const std::array<std::uint8_t, 6>& metInB = Reading(b.round, b.court).meetings;
    const std::uint8_t* metX = &meetings[static_cast<std::size_t>(x) * (n + 1)];
    meetAgain(othersB, countB, othersA, countA, inB, [&](int i, int& down, int& up) {
        down = metInB[PairOf(placesB[i], b.position - 1)];
        up = metX[othersB[i]];
    });
    after += SpreadAfter(x, inA.down, inA.count, inB.up, inB.count);
    if (after >= enough) return 0;
    after += SpreadAfter(y, inB.down, inB.count, inA.up, inA.count);
    if (after >= enough) return 0;
    spreadOfOthers(inB);
    if (after >= enough) return 0;
    if (after == 0) return -1;
    return before - after;
}

short Mixer::AssignPartners() {
    try {
        plan.partnerCounts = std::make_unique<CounterMatrix>(n + 1, n + 1);
    } catch (const std::bad_alloc&) {
        return rcNoMemory;
    }
    if (!plan.partnerCounts->IsValid()) return rcNoMemory;
    const int limit = (plan.diversityLimit + 2) / 3;
    // Strictly mixed, a man partners one of the others, whatever their own
    // genders.
    const auto gender = [&](int x) {
        const char code = static_cast<char>(plan.genderCode[x]);
        return strict && code != 'M' ? ' ' : code;
    };
    for (int r = 1; r <= roundCount; ++r)
        for (int c = 1; c <= courtCount; ++c) {
            if (!IsDoubles(c)) continue;
            int p[4];
            for (int i = 0; i < 4; ++i)
                p[i] = At(r, c, i + 1);
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
                Put(r, c, i + 1, pairings[chosen][i]);
        }
    return rcOk;
}
