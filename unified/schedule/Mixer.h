#pragma once
// The mixer: fills an empty plan so that every player plays a number of
// rounds, in groups balanced in skill, varied in whom each player meets, fair
// in singles play, free of long idle gaps and, when asked, mixed in gender.
// It works greedily round by round, then repairs shortfalls, then swaps
// players between boxes, and last chooses the partners in each doubles box.

#include "unified/schedule/Matches.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// The mixer's only link to a window: the box that shows how far it is.
class MixerProgress {
public:
    virtual ~MixerProgress() = default;
    // Shows the box, without blocking, with its caption and first text.
    virtual void Open(const std::string& caption, const std::string& text) = 0;
    // (round, court) before each court of each pass, the filling and the
    // swap passes; (-1, phase) as each of the phases 1 to 3 starts.
    virtual void Report(int round, int value) = 0;
    virtual void Close() = 0;
};

// Fills the plan's grid so that every player plays `target` rounds; the
// progress may be null. 0, 400 (a target outside 1 to the rounds, or no
// courts), 304 (too few rounds for the target) or 4 (memory). The penalties
// are -1 until computed. The box is closed on every return.
short RunMixer(Matches& plan, int target, MixerProgress* progress, int& initialPenalty,
               int& finalPenalty);

// The engine's work on one plan, phase by phase. RunMixer runs it whole;
// its phases are open so that each can be checked on its own.
class Mixer {
public:
    // One position of one box.
    struct Slot {
        int round = 0;
        int court = 0;
        int position = 0;
    };
    using Group = std::array<int, 4>;

    Mixer(Matches& plan, MixerProgress* progress);
    ~Mixer();
    Mixer(const Mixer&) = delete;
    Mixer& operator=(const Mixer&) = delete;

    // Empties the grid, checks the target and sets up the work state: 0,
    // 400, 304 or 4.
    short Start(int target);
    // The greedy phase: round by round until everyone reached the target.
    void FillRounds();
    void FillRound(int r, char type);
    void PlaceGroup(int r, int c, int size, int seed);
    // Best group of `size` growing from the first k members of `group`,
    // with the next candidates lo and hi; its score.
    int GroupSearch(int r, Group& group, int k, int size, int lo, int hi, Group& best);

    // Whether a player is below the target or a box has unequal sides.
    bool NeedsRepair() const;
    void RepairShortfalls();
    bool PlaceShortPlayer(int x);
    bool FindFreeSlot(int x, int exceptRound, int exceptCourt, Slot& found) const;
    // A free slot of a box whose sides the player would make equal.
    bool FindCompletingSlot(int x, int exceptRound, int exceptCourt, Slot& found) const;
    void RotatePlayers();
    // Swap passes on boxes above the threshold while the total goes down;
    // a pass that raises it is undone. The last total.
    int OptimizePass(int threshold);
    bool TrySwap(int r, int c, int p);
    // The gain of exchanging two players; -1 when both boxes end free of
    // penalty. The first box's penalty may be given when already known.
    int SwapGain(const Slot& a, const Slot& b, int penaltyOfA = -1);
    // Chooses the partners in each full doubles box: 0 or 4.
    short AssignPartners();

    int TotalPenalty() const;
    int BoxPenalty(int r, int c) const;
    int BoxRepairPenalty(int r, int c) const;
    int GroupPenalty(const Group& group, int size) const;

    void PlaceInSlot(const Slot& s, int x);
    void RemoveFromSlot(const Slot& s);
    void SwapSlots(const Slot& a, const Slot& b);
    void SortBox(int r, int c);

    // Tells the progress box, if any: (round, court) or (-1, phase); a long
    // search says its court again now and then.
    void Report(int round, int value);

    int Target() const { return target; }
    int RoundsPlayed(int x) const { return plan.roundsPlayed[x]; }
    int SinglesPlayed(int x) const { return plan.singlesPlayed[x]; }
    int Meetings(int a, int b) const;
    int Partnered(int a, int b) const;

private:
    static constexpr int MaxOptimizePasses = 100;
    // The rounds a player plays in, as bits.
    using Rounds = std::array<std::uint64_t, 2>;

    // What the group search keeps while it runs: for each size of the group
    // so far, each member's most meetings and how many of its least-met
    // players the group holds, and the skill penalty of the group's pairs.
    struct GroupState {
        int most[4] = {};
        int raised[4] = {};
        int skill = 0;
    };
    // The players a search may add, in number order: for each number the
    // nearest allowed one at or below it and at or above it.
    struct Candidates {
        std::vector<int> below;
        std::vector<int> above;
    };

    int SkillPenalty(int a, int b) const;
    int MeetingSpreadPenalty(int x, int extra1, int extra2, int extra3) const;
    // The spread penalty of x when `raised` of its least-met players are in
    // its group, and up to `unknown` more may be.
    int SpreadPenalty(int x, int most, int raised, int unknown) const;
    int GapPenalty(int x) const { return gapPenalty[static_cast<std::size_t>(x)]; }
    int GapOf(const Rounds& rounds) const;
    // The gap penalty of x were it to play in round `to` instead of `from`.
    int GapMoved(int x, int from, int to) const;
    int SinglesPenalty(int x) const;
    int SinglesPairPenalty(int a, int b) const;
    int GenderPenalty(const int* players, int count) const;
    // Whether two positions hold players who could change places, and the
    // gain of the change when the two boxes' penalties come to `before`
    // (the gaps of x and y in each other's rounds may be given).
    bool MaySwap(const Slot& a, const Slot& b) const;
    int TrialGain(const Slot& a, const Slot& b, int before, int floor, int gapOfX,
                  int gapOfY = -1) const;
    // What a swap search found: a change that leaves both boxes free of
    // penalty, or the best gain so far with its position; and how many
    // positions it tried.
    struct SwapSearch {
        Slot slot;
        int gain = 0;
        bool perfect = false;
        std::uint32_t steps = 0;
    };
    struct Span {
        int first;
        int last;
    };
    // The search of TrySwap for the player at `from` over some rounds and
    // courts, and over every other round, going on from what was found.
    void SearchSwap(const Slot& from, int penaltyHere, Span rounds, int firstCourt, int lastCourt,
                    SwapSearch& found) const;
    void SearchOtherRounds(const Slot& from, int penaltyHere, SwapSearch& found);
    struct BoxReading;
    bool MayGain(const Slot& to, int y, int r, int mendsHere, const BoxReading& there, int before,
                 const SwapSearch& found, int& gapOfY) const;
    bool TryChange(const Slot& from, const Slot& to, int before, int gapOfX, int gapOfY,
                   SwapSearch& found) const;
    // The spread penalty of x once the meeting counts `down` fall by one and
    // the counts `up` rise by one.
    int SpreadAfter(int x, const int* down, int downs, const int* up, int ups) const;
    int SpreadAfter(int x, int down, int up) const;
    int BoxPenaltyOf(const int* box) const;

    // The search of GroupSearch: the candidates lie at or below lo and at or
    // above hi; the best score found anywhere so far bounds what is worth
    // growing.
    int Grow(Group& group, int k, int lo, int hi, Group& best);
    void AddToGroup(const Group& group, int k, int candidate);
    int LeafPenalty(const Group& group) const;
    int LowerBound(const Group& group, int k, int lo, int hi) const;
    const Candidates& CandidatesFor(const Group& group, int k) const;
    void ListCandidates(int r);

    // With the strictly mixed option: whether the box with x in position p
    // keeps at most two men and two others; and whether x also stands beside
    // a partner of another gender.
    bool KeepsBoxMixed(int x, int r, int c, int p) const;
    bool FitsBesidePartner(int x, int r, int c, int p) const;
    bool IsDoubles(int c) const { return doubles[static_cast<std::size_t>(c)] != 0; }
    bool Plays(int r, int x) const { return inRound[Index(r, x)] != 0; }
    std::size_t Index(int r, int x) const {
        return static_cast<std::size_t>(r) * static_cast<std::size_t>(n + 1) +
               static_cast<std::size_t>(x);
    }
    // Box (r, c) counted round by round, and its four positions as the
    // mixer holds them.
    std::size_t BoxIndex(int r, int c) const {
        return static_cast<std::size_t>(r - 1) * static_cast<std::size_t>(courtCount) +
               static_cast<std::size_t>(c - 1);
    }
    std::int16_t* Box(int r, int c) { return &grid[BoxIndex(r, c) * 4]; }
    const std::int16_t* Box(int r, int c) const { return &grid[BoxIndex(r, c) * 4]; }
    int At(int r, int c, int p) const { return Box(r, c)[p - 1]; }
    int Get(const Slot& s) const { return At(s.round, s.court, s.position); }
    // Every write of a position goes here, so that the counters follow.
    void Write(const Slot& s, int x);
    // A write that keeps the box's players, only their positions change.
    void Put(int r, int c, int p, int x);
    bool Lopsided(int r, int c) const;
    void Meet(int a, int b);
    void Unmeet(int a, int b);
    void CountMeeting(int a, int b, int before);
    void AddSingles(int x, int delta);
    bool AllAtTarget() const;
    // FindFreeSlot for every player who fits where x fits (x's gender with
    // the strictly mixed option, anyone without), while the grid stands:
    // per round the first free slot and the first in another box.
    struct FreeSlots {
        Slot first;
        Slot other;
    };
    // Whether there is any.
    bool ListFreeSlots(int x);
    bool ListedFreeSlot(int x, int exceptRound, int exceptCourt, Slot& found) const;
    void Tidy(int r, int c);
    void EmptyRound(int r);
    // The rotation: one turn for everyone, or for the men and the others
    // apart.
    void RotateEveryone();
    void RotateMenAndOthers();
    int LopsidedBoxes() const;
    void MoveToFreeSlot(const Slot& from);
    // Rebuilds the meetings and the round counters from the grid.
    void Recount();
    int RandomBelow(int k) const;
    // Reports the court at work once every so many steps of a long search,
    // so that the box goes on being repainted within one court.
    void StillWorking(int round, int court, std::uint32_t count = 1);
    static constexpr std::uint32_t StepsPerReport = 1 << 14;

    Matches& plan;
    MixerProgress* progress;
    int workRound = 0; // the court last reported
    int workCourt = 0;
    std::uint32_t steps = 0;
    int n = 0;
    int target = 0;
    int roundCount = 0;
    int courtCount = 0;
    bool strict = false;
    bool gaps = false;
    bool genderImbalance = false;
    int diversityLimit = 0;
    // Whether court c is a doubles court.
    std::vector<std::uint8_t> doubles;
    // The grid as the mixer holds it, four positions a box; the plan gets
    // every write.
    std::vector<std::int16_t> grid;
    // How often each player is in each round, row by round; and where, as
    // PlaceOf gives it (0: nowhere); and how many times a player stands in
    // a round a second time.
    std::vector<std::uint8_t> inRound;
    std::vector<std::uint16_t> placeIn;
    int doubled = 0;
    static std::uint16_t PlaceOf(int c, int p) {
        return static_cast<std::uint16_t>((c - 1) * 4 + p);
    }
    // Per round, the empty positions a player could take and the boxes
    // whose sides differ in size: rounds without them are passed over.
    std::vector<int> emptyPositions;
    std::vector<int> lopsidedBoxes;
    std::vector<FreeSlots> freeSlots;
    // What the swap search reads of each box, as last read, with the count
    // of changes then: every change to the grid or the counters counts one.
    // Kept together, as the search reads them together.
    struct BoxReading {
        std::uint64_t at = 0;
        int penalty = 0; // BoxRepairPenalty
        // Per place, the most that a change of its player could take off
        // the box's penalty, but for that player's gap.
        std::array<int, 4> mendable{};
        // How often each two of the box's players met, in the order of
        // their places: 1 and 2, 1 and 3, 1 and 4, 2 and 3, 2 and 4, 3 and 4.
        std::array<std::uint8_t, 6> meetings{};
    };
    mutable std::vector<BoxReading> readings;
    // The reading of box (r, c), made afresh after a change.
    const BoxReading& Reading(int r, int c) const;
    std::uint64_t changes = 1;
    // Per player, the rounds played, and their gap penalty.
    std::vector<Rounds> roundsOf;
    std::vector<int> gapPenalty;
    // How often two players met, both ways round.
    std::vector<std::uint8_t> meetings;
    // For each player, how many others it met each number of times; and the
    // least and most of those numbers with how many it met as often: the
    // meeting spread without a scan.
    std::vector<std::uint16_t> meetHistogram;
    struct MeetSpread {
        std::uint8_t least = 0;
        std::uint8_t most = 0;
        std::uint16_t atLeast = 0;
        std::uint16_t atMost = 0;
    };
    std::vector<MeetSpread> spreadOf;
    // How many players have played each number of singles.
    std::array<int, 256> singlesHistogram{};
    int singlesLeast = 0;
    // The skill penalty of two players by the distance of their numbers;
    // whether any distance has one, and whether there are men and women to
    // mix: a box's own penalty is 0 without them.
    std::vector<int> skillByDistance;
    bool skillCounts = false;
    bool gendersMix = false;
    bool gendersEven = false; // as many men as others

    // The group search under way.
    int searchSize = 0;
    int searchBound = 0;
    int leastSpread = 0; // the least spread penalty any candidate can have
    GroupState levels[5];
    Candidates anyone;
    Candidates men;
    Candidates others;
    Candidates nobody;
    // The changes a swap search in other rounds is to try: a round, the
    // court and position there as PlaceOf gives them, and the gap penalty
    // of the player there once in x's round, if known (else -1).
    struct SwapCandidate {
        int round;
        int place;
        int gapOfY;
    };
    std::vector<SwapCandidate> candidates;
    // While the rotation arranges a round: the players whose turn it is.
    std::vector<std::uint8_t> inTurn;
};
