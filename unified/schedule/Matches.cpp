#include "unified/schedule/Matches.h"

#include "platform/Text.h"
#include "unified/core/rxerrors.h"

#include <algorithm>
#include <cstdlib>
#include <new>
#include <stdexcept>
#include <utility>

// Every player number of a plan is found through the grid's index.
static_assert(MaxPlayers <= BoxMatrix::IndexedNumbers);

namespace {

bool IsBlank(const std::string& text) {
    return text.find_first_not_of(' ') == std::string::npos;
}

// Which of a box's positions share a side with position p.
int PartnerPosition(int p) {
    return p % 2 == 1 ? p + 1 : p - 1;
}

} // namespace

Matches::Matches() {
    if (!boxes.IsAllocated()) ShowDebugMessage("problem allocating boxes!!!");
    state = StateClean;
}

Matches::~Matches() {
    Reset();
    traceList.clear();
}

void Matches::DebugDump(const std::string& caller) {
    ShowDebugMessage2(caller, hasGrid ? "not NULL" : "NULL");
}

bool Matches::IsModified() const {
    return state == StateChanged;
}

void Matches::Reset() {
    // The grid stays in place, empty, so that every reader finds one.
    roundNotations.clear();
    courtTypes.clear();
    boxes.Allocate(0, 0);
    hasGrid = false;
    rounds = 0;
    courts = 0;
    players.Clear();
    playerCount = 0;
    traceList.clear();
    manualMode = false;
    state = StateClean;
}

void Matches::SetSingles() {
}

void Matches::SetDoubles() {
}

bool Matches::IsDoubles() const {
    return false;
}

short Matches::AddPlayer(const ::Player& player, const ::Player* partner) {
    if (playerCount >= MaxPlayers) return rcPlayerLimit;
    if (IsBlank(player.firstName) && IsBlank(player.lastName)) return rcNoName;
    for (int i = 1; i <= playerCount; ++i) {
        const ::Player* other = players.Item(i);
        if (other->firstName == player.firstName && other->lastName == player.lastName)
            return rcDuplicateName;
    }
    ::Player added = player;
    added.partner.Reset();
    if (partner != nullptr) added.partner.Set(*partner);
    state = StateChanged;
    ++playerCount;
    // The record's points field asks for a place in the list.
    const int position =
        player.points > 0 && player.points < playerCount ? player.points : playerCount;
    if (players.InsertAt(position, added) != 0) {
        // The count must not claim a player the list does not hold.
        --playerCount;
        SetErrorLocation();
        return rcInternal;
    }
    if (position == playerCount) return rcOk;
    return RenumberPlayers(false, position);
}

short Matches::PlayerDeleted(int number) {
    return RenumberPlayers(true, number);
}

short Matches::RenumberPlayers(bool deleting, int position) {
    // The count is already the new one: a deletion lowered it, an insertion
    // raised it, so the table reaches the highest number a box may hold.
    std::vector<int> table;
    try {
        table.resize(static_cast<std::size_t>(playerCount) + 2);
    } catch (const std::bad_alloc&) {
        return rcNoMemory;
    } catch (const std::length_error&) {
        return rcNoMemory;
    }
    for (int n = 0; n < static_cast<int>(table.size()); ++n) {
        if (n == 0 || n < position)
            table[n] = n;
        else if (!deleting)
            table[n] = n + 1;
        else
            table[n] = n == position ? 0 : n - 1;
    }
    state = StateChanged;
    for (int r = 1; r <= boxes.Rounds(); ++r)
        for (int c = 1; c <= boxes.Courts(); ++c)
            for (int p = 1; p <= 4; ++p) {
                const int n = boxes.Get(r, c, p);
                if (n >= 0 && n < static_cast<int>(table.size())) boxes.Set(r, c, p, table[n]);
            }
    return rcOk;
}

char Matches::CourtType(int c) const {
    if (c < 1 || c > courts || c >= static_cast<int>(courtTypes.size())) return '?';
    return courtTypes[c];
}

int Matches::PlayersPerCourt(int c) const {
    if (c < 1 || c > courts) return 0;
    return CourtType(c) == 'D' ? 4 : 2;
}

bool Matches::AllCourtsOfType(char type) const {
    for (int c = 1; c <= courts; ++c)
        if (CourtType(c) != type) return false;
    return true;
}

std::string Matches::RoundName(int r) const {
    if (r < 1 || r > rounds || r >= static_cast<int>(roundNotations.size())) return {};
    return roundNotations[r];
}

int Matches::GetSlot(int r, int c, int p) const {
    return boxes.Get(r, c, p);
}

short Matches::SetSlot(int r, int c, int p, int n) {
    // Before anything else: a box outside the grid does not exist.
    if (!boxes.Contains(r, c) || p < 1 || p > 4) return rcBadData;
    if (n == GetSlot(r, c, p)) return rcOk;
    if (n < 0 || n > playerCount) return rcBadData;
    if (n > 0 && boxes.IsInRound(r, n)) return rcScheduledTwice;
    if (HasOption(StrictlyMixed) && IsNotMixedBox(r, c, p, n)) return rcNotMixed;
    state = StateChanged;
    // A side fills from its first position.
    if (p == 2 && GetSlot(r, c, 1) == 0) p = 1;
    if (p == 4 && GetSlot(r, c, 3) == 0) p = 3;
    if ((p == 1 || p == 3) && n == 0 && GetSlot(r, c, p + 1) != 0) {
        n = GetSlot(r, c, p + 1);
        boxes.Set(r, c, p + 1, 0);
    }
    boxes.Set(r, c, p, n);
    return rcOk;
}

short Matches::PutSlot(int r, int c, int p, int n) {
    if (!boxes.Contains(r, c) || p < 1 || p > 4) return rcBadData;
    boxes.Set(r, c, p, n);
    state = StateChanged;
    return rcOk;
}

short Matches::WriteBox(int r, int c, const int (&players)[4]) {
    if (!boxes.Contains(r, c)) return rcBadData;
    const std::uint8_t stateBefore = state;
    int before[5] = {};
    for (int p = 1; p <= 4; ++p)
        before[p] = GetSlot(r, c, p);
    for (int p = 1; p <= 4; ++p)
        boxes.Set(r, c, p, 0);
    short code = rcOk;
    for (int side = 0; side < 2 && code == rcOk; ++side) {
        const int first = players[2 * side];
        const int second = players[2 * side + 1];
        const int p = 2 * side + 1;
        code = SetSlot(r, c, p, first != 0 ? first : second);
        if (code == rcOk && first != 0) code = SetSlot(r, c, p + 1, second);
    }
    if (code == rcOk) {
        state = StateChanged;
        return rcOk;
    }
    // A refused box is not left half written: the match it held stays.
    for (int p = 1; p <= 4; ++p)
        boxes.Set(r, c, p, before[p]);
    state = stateBefore;
    return code;
}

short Matches::SetPatternSlot(int r, int c, int p, int n) {
    return PutLoadedSlot(r, c, p, n);
}

bool Matches::IsNotMixedBox(int r, int c, int p, int n) const {
    int box[5] = {0, GetSlot(r, c, 1), GetSlot(r, c, 2), GetSlot(r, c, 3), GetSlot(r, c, 4)};
    if (p >= 1 && p <= 4) box[p] = n;
    for (int i = 1; i <= 4; ++i)
        if (box[i] == 0) return false;
    const auto isMixed = [&](int first) {
        int men = 0;
        int women = 0;
        for (int i = first; i <= first + 1; ++i) {
            const ::Player* player = Player(box[i]);
            const char gender = player != nullptr ? player->gender : ' ';
            men += gender == 'M';
            women += gender == 'F';
        }
        return men == 1 && women == 1;
    };
    return !(isMixed(1) && isMixed(3));
}

int Matches::CourtOfPlayer(int r, int n) const {
    if (n != 0) {
        // The grid may hold courts past the count after a failed resize.
        const int c = boxes.CourtOf(r, n);
        return c <= courts ? c : 0;
    }
    // An empty position: the count's courts past the grid read as empty.
    for (int c = 1; c <= courts; ++c)
        for (int p = 1; p <= 4; ++p)
            if (GetSlot(r, c, p) == 0) return c;
    return 0;
}

bool Matches::IsScheduled(int n) const {
    for (int r = 1; r <= rounds; ++r)
        if (CourtOfPlayer(r, n) != 0) return true;
    return false;
}

bool Matches::HasMatchesInRounds(int a, int b) const {
    a = std::max(a, 1);
    b = std::min<int>(b, rounds);
    for (int r = a; r <= b; ++r)
        for (int c = 1; c <= courts; ++c)
            for (int p = 1; p <= 4; ++p)
                if (boxes.Get(r, c, p) != 0) return true;
    return false;
}

bool Matches::HasMatchesInCourts(int a, int b) const {
    a = std::max(a, 1);
    b = std::min<int>(b, courts);
    for (int r = 1; r <= rounds; ++r)
        for (int c = a; c <= b; ++c)
            for (int p = 1; p <= 4; ++p)
                if (boxes.Get(r, c, p) != 0) return true;
    return false;
}

void Matches::ClearBoxes() {
    for (int r = 1; r <= boxes.Rounds(); ++r)
        for (int c = 1; c <= boxes.Courts(); ++c)
            boxes.ClearBox(r, c);
    manuallyModified = 0;
    state = StateChanged;
}

bool Matches::SetCourts(int count, char type) {
    if (count < 1 || count > MaxCourts) return false;
    const std::string types = " " + std::string(static_cast<std::size_t>(count), type);
    return SetCourtTypes(count, types.c_str());
}

bool Matches::SetCourtTypes(int count, const char* types) {
    if (count < 1 || count > MaxCourts || types == nullptr) return false;
    try {
        std::vector<char> copied(types, types + count + 1);
        copied[0] = ' ';
        courtTypes.swap(copied);
    } catch (const std::bad_alloc&) {
        return false;
    }
    state = StateChanged;
    courts = static_cast<std::int16_t>(count);
    if (boxes.Resize(rounds, count) != rcOk) return false;
    hasGrid = true;
    for (int c = 1; c <= courts; ++c) {
        if (CourtType(c) != 'S') continue;
        for (int r = 1; r <= rounds; ++r) {
            PutSlot(r, c, 2, 0);
            PutSlot(r, c, 4, 0);
        }
    }
    return true;
}

bool Matches::SetRounds(int count, std::string* notations) {
    if (count < 1 || count > MaxRounds || notations == nullptr) return false;
    try {
        std::vector<std::string> stored(static_cast<std::size_t>(count) + 1);
        for (int r = 1; r <= count; ++r) {
            if (Utf8Length(notations[r]) > MaxNotation)
                notations[r] = Utf8Cut(notations[r], MaxNotation);
            stored[r] = notations[r];
        }
        roundNotations.swap(stored);
    } catch (const std::bad_alloc&) {
        return false;
    }
    state = StateChanged;
    rounds = static_cast<std::int16_t>(count);
    if (boxes.Resize(count, courts) != rcOk) return false;
    hasGrid = true;
    return true;
}

void Matches::SetScheduleType(int code) {
    scheduleType = static_cast<std::int16_t>(code);
    state = StateChanged;
}

void Matches::SetOptions(std::uint32_t bits) {
    options |= bits;
    state = StateChanged;
}

void Matches::ClearOptions(std::uint32_t bits) {
    options &= ~bits;
    state = StateChanged;
}

void Matches::SetDisparityThreshold(int percent) {
    disparityThreshold = percent;
    state = StateChanged;
}

void Matches::SetDiversityLimit(int limit) {
    diversityLimit = limit;
    state = StateChanged;
}

short Matches::CheckComplete() {
    for (int r = 1; r <= rounds; ++r)
        for (int c = 1; c <= courts; ++c) {
            const int first = (GetSlot(r, c, 1) != 0) + (GetSlot(r, c, 2) != 0);
            const int second = (GetSlot(r, c, 3) != 0) + (GetSlot(r, c, 4) != 0);
            if (first != second) {
                incomplete = {r, c, 1};
                return rcIncompleteMatch;
            }
        }
    return rcOk;
}

void Matches::ComputeGapThreshold() {
    int seats = 0;
    for (int c = 1; c <= courts; ++c)
        seats += PlayersPerCourt(c);
    // Without a court nobody can be seated, so no idle run is a long gap.
    if (seats == 0) {
        gapThreshold = MaxRounds;
        return;
    }
    gapThreshold = (playerCount - 1) / seats + 1;
}

int Matches::SkillDistance(int a, int b) const {
    // With fewer than two players there is no distance to measure.
    if (playerCount < 2) return 0;
    return std::abs(a - b) * 100 / (playerCount - 1);
}

void Matches::GenderCounts(int& men, int& women, int& others) const {
    men = women = others = 0;
    for (int i = 1; i <= playerCount; ++i) {
        const char gender = Player(i)->gender;
        if (gender == 'M')
            ++men;
        else if (gender == 'F')
            ++women;
        else
            ++others;
    }
}

void Matches::RoundRobinSize(int type, int& roundCount, int& courtCount) const {
    const int n = playerCount;
    switch (type) {
    case stSinglesRoundRobin:
        courtCount = n / 2;
        roundCount = n % 2 == 0 ? n - 1 : n;
        break;
    case stDoublesRoundRobin:
        courtCount = n / 4;
        roundCount = n - 1;
        break;
    case stFixedPartnerRoundRobin:
    case stMixedRoundRobin:
        courtCount = n / 4;
        roundCount = n % 4 == 0 ? n / 2 - 1 : n / 2;
        break;
    default:
        courtCount = 0;
        roundCount = 0;
    }
}

void Matches::DesignateHosts() {
    if (scheduleType >= stLeague) {
        ShowWarning("Designate Host Player is not supported for this schedule type.");
        return;
    }
    for (int pass = 0; pass < 3; ++pass)
        BalanceHosts();
    ShowInformation("The first player in each match is the designated host.");
}

void Matches::BalanceHosts() {
    std::array<int, MaxPlayers + 1> hosted{};
    for (int r = 1; r <= rounds; ++r)
        for (int c = 1; c <= courts; ++c) {
            const int host = GetSlot(r, c, 1);
            if (host > 0 && host <= MaxPlayers) ++hosted[host];
        }
    // An empty position counts as hosting every round: it never takes over.
    hosted[0] = rounds;
    int least = rounds;
    int most = 0;
    for (int i = 1; i <= playerCount; ++i) {
        least = std::min(least, hosted[i]);
        most = std::max(most, hosted[i]);
    }
    if (least + 1 >= most) return;
    const auto count = [&](int n) -> int& { return hosted[std::clamp(n, 0, MaxPlayers)]; };
    const auto handOver = [&](int from, int to) {
        if (from != 0) --count(from);
        if (to != 0) ++count(to);
        hosted[0] = rounds;
    };
    for (int r = 1; r <= rounds; ++r)
        for (int c = 1; c <= courts; ++c) {
            const int p1 = GetSlot(r, c, 1);
            const int p2 = GetSlot(r, c, 2);
            const int p3 = GetSlot(r, c, 3);
            const int p4 = GetSlot(r, c, 4);
            const int h = count(p1);
            if (p2 != 0 || p4 != 0) {
                // The new host and, in order, the rest of the box.
                std::array<int, 4> box;
                if (count(p2) + 1 < h)
                    box = {p2, p1, p3, p4};
                else if (count(p3) + 1 < h)
                    box = {p3, p4, p1, p2};
                else if (count(p4) + 1 < h)
                    box = {p4, p3, p1, p2};
                else
                    continue;
                handOver(p1, box[0]);
                for (int p = 1; p <= 4; ++p)
                    PutSlot(r, c, p, box[p - 1]);
            } else if (count(p3) + 1 < h) {
                handOver(p1, p3);
                PutSlot(r, c, 1, p3);
                PutSlot(r, c, 3, p1);
            }
        }
}

void Matches::ApplyPreferredPartners(int r) {
    state = StateChanged;
    for (int i = 1; i + 1 <= playerCount; i += 2) {
        const int c = CourtOfPlayer(r, i);
        if (c == 0) continue;
        int partner = 0;
        for (int p = 1; p <= 4; ++p)
            if (GetSlot(r, c, p) == i) {
                partner = GetSlot(r, c, PartnerPosition(p));
                break;
            }
        if (partner != 0 && partner != i + 1) SwapPlayerNumbers(partner, i + 1);
    }
}

void Matches::SwapPlayerNumbers(int a, int b) {
    for (int r = 1; r <= rounds; ++r)
        for (int c = 1; c <= courts; ++c)
            for (int p = 1; p <= 4; ++p) {
                const int n = GetSlot(r, c, p);
                if (n == a)
                    PutSlot(r, c, p, b);
                else if (n == b)
                    PutSlot(r, c, p, a);
            }
}

short Matches::CheckPlayersEditable() {
    return rcOk;
}

// The plan has no older player list to write: only the debug box says so.
bool Matches::ExportPlayersVer1(const std::string&) {
    ShowDebugMessage("exportPlayersVer1 !!");
    return false;
}

int Matches::ResultCount() const {
    return 0;
}

int Matches::RoundCount() const {
    return rounds;
}

void Matches::ClearResults(bool) {
    ClearBoxes();
}

std::string Matches::FileExtension() const {
    return "rxd";
}

std::string Matches::FileFilter() const {
    return "Rostrix files (*.rxd)|*.rxd|All files (*.*)|*.*";
}

int SetupDataCR::LoadCourtTypes(const Matches& plan) {
    // Courts past the plan's get no type, so that a later larger count
    // makes them new courts rather than bringing back older types.
    for (int c = 1; c < 256; ++c)
        courtTypes[c] = c <= plan.CourtCount() ? plan.CourtType(c) : '\0';
    if (plan.AllCourtsOfType('D')) return 1;
    if (plan.AllCourtsOfType('S')) return 0;
    return 2;
}

void SetupDataCR::LoadRoundNotations(const Matches& plan) {
    for (int r = 1; r <= Matches::MaxRounds; ++r)
        roundNotations[r] = r <= plan.RoundCount() ? plan.RoundName(r) : std::string();
}

void SetupDataCR::NormalizeCourtTypes() {
    for (int c = 1; c <= courts && c < 256; ++c)
        if (courtTypes[c] != 'S' && courtTypes[c] != 'D') courtTypes[c] = 'D';
}

Matches* NewMatchPlan() {
    return new (std::nothrow) Matches;
}

Matches* AsMatchPlan() {
    return dynamic_cast<Matches*>(CurrentEvent);
}
