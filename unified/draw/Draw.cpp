#include "unified/draw/Draw.h"

namespace {

bool IsBlank(const std::string& text) {
    return text.find_first_not_of(' ') == std::string::npos;
}

} // namespace

Draw::Draw() {
    keepsGender = false; // a draw's files and lists carry no gender
    state = StateClean;
}

Draw::~Draw() {
    Reset();
}

bool Draw::IsModified() const {
    return state == StateChanged;
}

void Draw::Reset() {
    players.Clear();
    playerCount = 0;
    matches = 0;
    rounds = 0;
    seeds = -1;
    matchList.Clear();
    state = StateClean;
}

void Draw::SetType(char newType) {
    type = newType;
    state = StateChanged;
}

void Draw::SetSingles() {
    SetType('S');
}

void Draw::SetDoubles() {
    SetType('D');
}

bool Draw::IsDoubles() const {
    return type == 'D';
}

short Draw::AddPlayer(const ::Player& player, const ::Player* partner) {
    if (playerCount >= MaxPlayers) return rcPlayerLimit;
    if (matches > 0) return rcDrawExists;
    if (IsBlank(player.firstName) && IsBlank(player.lastName)) return rcNoName;
    for (int i = 1; i <= playerCount; ++i) {
        const ::Player* other = players.Item(i);
        if (other->firstName == player.firstName && other->lastName == player.lastName)
            return rcDuplicateName;
    }
    ++playerCount;
    ::Player added = player;
    added.partner.Reset();
    if (partner != nullptr) added.partner.Set(*partner);
    // The list order is the seeding order: the record's points field asks
    // for a place in it.
    const int position =
        player.points >= 1 && player.points <= playerCount - 1 ? player.points : playerCount;
    state = StateChanged;
    if (players.InsertAt(position, added) != 0) {
        --playerCount;
        SetErrorLocation();
        return rcInternal;
    }
    return rcOk;
}

short Draw::PlayerDeleted(int) {
    return rcOk;
}

short Draw::CheckPlayersEditable() {
    return matches >= 1 ? 200 : 0;
}

// Files and the report of this kind are not built yet: each says so with
// the "not provided" code or a failure.
short Draw::Load(const std::string&) {
    return rcNotFound;
}

bool Draw::Save(const std::string&) {
    return false;
}

bool Draw::ExportPlayersVer1(const std::string&) {
    return false;
}

int Draw::ResultCount() const {
    return matches;
}

int Draw::RoundCount() const {
    return rounds;
}

void Draw::ClearDraw() {
    if (matches <= 0) return;
    state = StateChanged;
    matches = 0;
    rounds = 0;
    matchList.Clear();
    manualMode = false;
}

void Draw::ClearResults(bool) {
    ClearDraw();
}

void Draw::PrintReport(rxReport&) {
}

std::string Draw::FileExtension() const {
    return "trn";
}

std::string Draw::FileFilter() const {
    return "Tournament files (*.trn)|*.trn|All files (*.*)|*.*";
}

void Draw::EnterManualMode() {
    manualMode = true;
    seeds = 0;
}
