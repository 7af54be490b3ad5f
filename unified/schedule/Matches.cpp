#include "unified/schedule/Matches.h"

#include <algorithm>

namespace {

bool IsBlank(const std::string& text) {
    return text.find_first_not_of(' ') == std::string::npos;
}

} // namespace

Matches::Matches() {
    state = StateClean;
}

Matches::~Matches() {
    Reset();
}

bool Matches::IsModified() const {
    return state == StateChanged;
}

void Matches::Reset() {
    // A plan always keeps a grid, empty after a reset.
    boxes.Allocate(0, 0);
    rounds = 0;
    courts = 0;
    players.Clear();
    playerCount = 0;
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
    const auto renumbered = [&](int n) {
        if (n <= 0 || n < position) return n;
        if (!deleting) return n + 1;
        return n == position ? 0 : n - 1;
    };
    for (int r = 1; r <= boxes.Rounds(); ++r)
        for (int c = 1; c <= boxes.Courts(); ++c)
            for (int p = 1; p <= 4; ++p)
                boxes.Set(r, c, p, renumbered(boxes.Get(r, c, p)));
    return rcOk;
}

int Matches::GetSlot(int r, int c, int p) const {
    return boxes.Get(r, c, p);
}

void Matches::PutSlot(int r, int c, int p, int n) {
    boxes.Set(r, c, p, n);
    state = StateChanged;
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

void Matches::SetScheduleType(int code) {
    scheduleType = static_cast<std::int16_t>(code);
    state = StateChanged;
}

short Matches::CheckPlayersEditable() {
    return rcOk;
}

// Files, the plan's shaping and the report of this kind are not built yet:
// each says so with the "not provided" code or a failure.
short Matches::Load(const std::string&) {
    return rcNotFound;
}

bool Matches::Save(const std::string&) {
    return false;
}

bool Matches::ExportPlayersVer1(const std::string&) {
    return false;
}

int Matches::ResultCount() const {
    return 0;
}

int Matches::RoundCount() const {
    return rounds;
}

void Matches::ClearResults(bool) {
}

void Matches::PrintReport(rxReport&) {
}

std::string Matches::FileExtension() const {
    return "rxd";
}

std::string Matches::FileFilter() const {
    return "Rostrix files (*.rxd)|*.rxd|All files (*.*)|*.*";
}
