#include "unified/schedule/RoundRobin.h"

#include "unified/core/RXCode.h"
#include "unified/draw/RandomNumbers.h"
#include "unified/schedule/Matches.h"
#include "unified/schedule/RoundRobinTables.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr int MaxRoundRobinPlayers = 100;
constexpr int MaxDoublesRoundRobinPlayers = 24;

// The remainder that stays in 0 .. m - 1 for a negative a too.
int Mod(int a, int m) {
    const int rest = a % m;
    return rest < 0 ? rest + m : rest;
}

// A generator writes its pattern's rounds, cut to the plan's.
int RoundsToWrite(Matches& plan, int natural) {
    const int count = std::max(0, std::min(natural, plan.RoundCount()));
    plan.SetBaseRounds(count);
    return count;
}

// Writes positions 1 to 4 of a box in order, so that no side shifts; an
// empty position is left out. False when a write was refused.
bool WriteBox(Matches& plan, int r, int c, const int (&box)[4]) {
    for (int p = 1; p <= 4; ++p)
        if (box[p - 1] != 0 && plan.SetPatternSlot(r, c, p, box[p - 1]) != rcOk) return false;
    return true;
}

// Replaces every number of the grid by its image; the images are a
// permutation of the players, so no round can hold one twice.
template <typename Image> void Relabel(Matches& plan, Image image) {
    for (int r = 1; r <= plan.RoundCount(); ++r)
        for (int c = 1; c <= plan.CourtCount(); ++c)
            for (int p = 1; p <= 4; ++p) {
                const int x = plan.GetSlot(r, c, p);
                if (x > 0) plan.PutSlot(r, c, p, image(x));
            }
}

void TraceOrder(Matches& plan, const char* heading, const RandomNumbers& order) {
    plan.AddTrace(heading);
    for (int i = 1; i <= order.Count(); ++i)
        plan.AddTrace(std::to_string(i) + "->" + std::to_string(order.At(i)));
    plan.AddTrace(" +++ ");
}

} // namespace

RoundRobin::RoundRobin(int x) {
    int c = x;
    bool withBye = false;
    if (x % 2 != 0) {
        c = x + 1;
        withBye = true;
    }
    if (c < 1 || c > MaxRoundRobinPlayers) return;
    size = static_cast<std::uint16_t>(c);
    roundCount = static_cast<std::uint16_t>(c - 1);
    bye = withBye;
    pairCount = static_cast<std::uint16_t>(c / 2);
    base[1][0] = 1;
    base[1][1] = 2;
    for (int k = 2; k <= c / 2; ++k) {
        base[k][0] = static_cast<std::uint16_t>(c - k + 2);
        base[k][1] = static_cast<std::uint16_t>(k + 1);
    }
}

int RoundRobin::Player(int r, int k, int side) const {
    if (!IsValid() || r < 1 || r > roundCount || k < 1 || k > MatchCount() || side < 1 || side > 2)
        return 0;
    // With the dummy as number 1, its pair is the one not played.
    int y = base[bye ? k + 1 : k][side - 1];
    if (y != 1) y = Mod(y - 2 - (r - 1), size - 1) + 2;
    return bye ? y - 1 : y;
}

Whist::Whist(int n) {
    table = WhistBaseRound(n);
    if (table != nullptr) size = static_cast<std::uint16_t>(n);
}

int Whist::Player(int r, int j, int p) const {
    if (!IsValid() || r < 1 || r > Rounds() || j < 1 || j > size / 4 || p < 1 || p > 4) return 0;
    const int b = table[(j - 1) * 4 + (p - 1)];
    return b == -1 ? size : Mod(r + b - 1, size - 1) + 1;
}

Samdrr::Samdrr(int n) {
    if (n < 4 || n % 2 != 0) return;
    const int h = n / 2;
    couples = static_cast<std::uint16_t>(h);
    const SamdrrMenTable table = SamdrrMen(h);
    menRounds = table.rounds;
    men = table.pairs;
    rows = SamdrrPartnerRows(h);
    if (rows == nullptr && (h == 2 || h == 5 || h == 7 || h == 11)) {
        for (int i = 1; i <= h; ++i)
            for (int j = 1; j <= h; ++j)
                ruled[(i - 1) * h + (j - 1)] = static_cast<std::uint8_t>(Mod(2 * i - j - 1, h) + 1);
        rows = ruled;
    }
}

int Samdrr::Man(int r, int j, int side) const {
    if (!IsValid() || r < 1 || r > menRounds || j < 1 || j > couples / 2 || side < 1 || side > 2)
        return 0;
    return men[((r - 1) * (couples / 2) + (j - 1)) * 2 + (side - 1)];
}

int Samdrr::Partner(int i, int j) const {
    if (!IsValid() || i < 1 || i > couples || j < 1 || j > couples) return 0;
    return rows[(i - 1) * couples + (j - 1)];
}

short MakeSinglesRoundRobin(Matches& plan) {
    plan.ClearBoxes();
    const int n = plan.PlayerCount();
    if (n < 2 || n > MaxRoundRobinPlayers) return rcRoundRobinPlayers;
    if (plan.CourtCount() < n / 2) return rcTooFewCourts;
    if (!plan.AllCourtsOfType('S')) return rcRoundRobinNeedsSingles;
    const RoundRobin circle(n);
    const int rounds = RoundsToWrite(plan, circle.Rounds());
    for (int r = 1; r <= rounds; ++r)
        for (int k = 1; k <= circle.MatchCount(); ++k)
            if (!WriteBox(plan, r, k, {circle.Player(r, k, 1), 0, circle.Player(r, k, 2), 0}))
                return rcInternal;
    ShufflePlayers(plan);
    RotateCourts(plan);
    return rcOk;
}

short MakeDoublesRoundRobin(Matches& plan) {
    plan.ClearBoxes();
    const int n = plan.PlayerCount();
    if (n % 4 != 0) return rcDoublesRoundRobinMultipleOf4;
    if (n < 2 || n > MaxDoublesRoundRobinPlayers) return rcDoublesRoundRobinPlayers;
    if (plan.CourtCount() < n / 4) return rcTooFewCourts;
    if (!plan.AllCourtsOfType('D')) return rcRoundRobinNeedsDoubles;
    const Whist whist(n);
    const int rounds = RoundsToWrite(plan, whist.Rounds());
    for (int r = 1; r <= rounds; ++r)
        for (int j = 1; j <= n / 4; ++j)
            if (!WriteBox(plan, r, j,
                          {whist.Player(r, j, 1), whist.Player(r, j, 2), whist.Player(r, j, 3),
                           whist.Player(r, j, 4)}))
                return rcInternal;
    ShufflePlayers(plan);
    RotateCourts(plan);
    return rcOk;
}

short MakeFixedPartnerRoundRobin(Matches& plan) {
    plan.ClearBoxes();
    const int n = plan.PlayerCount();
    if (n % 2 != 0) return rcFixedPartnerMultipleOf2;
    // A single team has nobody to play.
    if (n < 4 || n > MaxRoundRobinPlayers) return rcRoundRobinPlayers;
    if (plan.CourtCount() < n / 4) return rcTooFewCourts;
    if (!plan.AllCourtsOfType('D')) return rcRoundRobinNeedsDoubles;
    const RoundRobin circle(n / 2);
    const int rounds = RoundsToWrite(plan, circle.Rounds());
    for (int r = 1; r <= rounds; ++r)
        for (int j = 1; j <= circle.MatchCount(); ++j) {
            const int a = circle.Player(r, j, 1);
            const int b = circle.Player(r, j, 2);
            if (!WriteBox(plan, r, j, {2 * a - 1, 2 * a, 2 * b - 1, 2 * b})) return rcInternal;
        }
    return rcOk;
}

int PlaceFixedMixedTable(Matches& plan) {
    const int n = plan.PlayerCount();
    int tableRounds = 0;
    const std::uint8_t* table = FixedMixedTable(n, tableRounds);
    if (table == nullptr) return 0;
    const int rounds = RoundsToWrite(plan, tableRounds);
    const int courts = n / 4;
    for (int r = 1; r <= rounds; ++r)
        for (int j = 1; j <= courts; ++j) {
            const std::uint8_t* box = table + ((r - 1) * courts + (j - 1)) * 4;
            if (!WriteBox(plan, r, j, {box[0], box[1], box[2], box[3]})) return -1;
        }
    return rounds;
}

short MakeMixedDoublesRoundRobin(Matches& plan) {
    plan.ClearBoxes();
    const int n = plan.PlayerCount();
    if (n % 2 != 0) return rcInternal;
    if (n < 4 || n > MaxDoublesRoundRobinPlayers) return rcDoublesRoundRobinPlayers;
    if (plan.CourtCount() < n / 4) return rcTooFewCourts;
    if (!plan.AllCourtsOfType('D')) return rcRoundRobinNeedsDoubles;
    // Odd numbers are the men's places, even ones the women's, couple k
    // being 2k - 1 and 2k.
    int written = 0;
    if (n == 6 || n == 12 || n == 20) {
        written = PlaceFixedMixedTable(plan);
        if (written < 0) return rcInternal;
    } else {
        const Samdrr samdrr(n);
        if (!samdrr.IsValid()) return rcInternal;
        written = RoundsToWrite(plan, samdrr.Rounds());
        for (int r = 1; r <= written; ++r)
            for (int j = 1; j <= n / 4; ++j) {
                const int i = samdrr.Man(r, j, 1);
                const int k = samdrr.Man(r, j, 2);
                if (!WriteBox(
                        plan, r, j,
                        {2 * i - 1, 2 * samdrr.Partner(i, k), 2 * k - 1, 2 * samdrr.Partner(k, i)}))
                    return rcInternal;
            }
    }
    if (plan.ScheduleType() == stMixedRoundRobinExtended) {
        // Couples play together, and a couple left over plays each other.
        int r = written + 1;
        if (r <= plan.RoundCount())
            for (int j = 1; j <= n / 4; ++j)
                if (!WriteBox(plan, r, j, {4 * j - 3, 4 * j - 2, 4 * j - 1, 4 * j}))
                    return rcInternal;
        ++r;
        if (n % 4 != 0 && r <= plan.RoundCount() && !WriteBox(plan, r, 1, {n - 1, 0, n, 0}))
            return rcInternal;
    }
    ShuffleCouples(plan);
    return rcOk;
}

std::pair<int, int> LeaguePair(int n, int r, int k) {
    if (n < 2 || r < 1 || k < 1 || k > (n + 1) / 2) return {0, 0};
    const int d = n % 2 == 0 ? n : n + 1;
    const int e = d - 1;
    std::pair<int, int> pair;
    if (k == 1) {
        pair = {d, Mod(r - 1, e) + 1};
        if (r % 2 == 0) std::swap(pair.first, pair.second);
        if (Mod(r - 1, e) == e - 1) std::swap(pair.first, pair.second);
    } else {
        pair = {Mod(d + r - k - 1, e) + 1, Mod(r + k - 2, e) + 1};
        if (k % 2 != 0) std::swap(pair.first, pair.second);
        // The second half meets again with home and away reversed.
        if (r > e) std::swap(pair.first, pair.second);
    }
    return pair;
}

short MakeLeagueSchedule(Matches& plan) {
    plan.ClearBoxes();
    const int n = plan.PlayerCount();
    if (n < 2) return rcRoundRobinPlayers;
    const int d = n % 2 == 0 ? n : n + 1;
    const int natural = 2 * (d - 1);
    // A full league of more than 50 players needs more rounds than a plan has.
    if (plan.ScheduleType() == stLeague && natural > Matches::MaxRounds) return rcTooFewRounds;
    // Every player hosts on a court of his own.
    if (plan.CourtCount() < n) return rcTooFewCourts;
    RoundsToWrite(plan, natural);
    for (int r = 1; r <= plan.RoundCount(); ++r)
        for (int k = 1; k <= (n + 1) / 2; ++k) {
            const auto [home, away] = LeaguePair(n, r, k);
            if (home > n || away > n) continue; // the dummy's opponent rests
            if (!WriteBox(plan, r, home, {home, 0, away, 0})) return rcInternal;
        }
    return rcOk;
}

void ShufflePlayers(Matches& plan) {
    const RandomNumbers order(1, plan.PlayerCount());
    if (!order.IsValid()) return;
    TraceOrder(plan, "randomizePlayers:", order);
    Relabel(plan, [&](int x) { return order.At(x); });
}

void ShuffleCouples(Matches& plan) {
    const int n = plan.PlayerCount();
    const int couples = n / 2;
    const RandomNumbers order(1, couples);
    if (!order.IsValid()) return;
    TraceOrder(plan, "gRandomizePlayers:", order);
    int men = 0;
    int women = 0;
    int others = 0;
    plan.GenderCounts(men, women, others);
    std::vector<int> image(static_cast<std::size_t>(n) + 1, 0);
    if (men == couples && women == couples) {
        // The places go to the real men and women, each list in player order.
        std::vector<int> menList;
        std::vector<int> womenList;
        for (int i = 1; i <= n; ++i)
            (plan.Player(i)->gender == 'M' ? menList : womenList).push_back(i);
        for (int k = 1; k <= couples; ++k) {
            image[2 * k - 1] = menList[order.At(k) - 1];
            image[2 * k] = womenList[order.At(k) - 1];
        }
    } else {
        // Without a man and a woman for every couple the numbers stay places.
        for (int k = 1; k <= couples; ++k) {
            image[2 * k - 1] = 2 * order.At(k) - 1;
            image[2 * k] = 2 * order.At(k);
        }
    }
    Relabel(plan, [&](int x) { return x <= n ? image[x] : x; });
}

void RotateCourts(Matches& plan) {
    const int courts = plan.CourtCount();
    if (courts < 2) return;
    for (int r = 1; r <= plan.RoundCount(); ++r) {
        const int s = (r + r / courts) % courts + 1;
        if (s == 1) continue;
        for (int p = 1; p <= 4; ++p) {
            const int first = plan.GetSlot(r, 1, p);
            plan.PutSlot(r, 1, p, plan.GetSlot(r, s, p));
            plan.PutSlot(r, s, p, first);
        }
    }
}
