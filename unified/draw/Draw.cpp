#include "unified/draw/Draw.h"

#include "platform/Text.h"

#include <cstdio>

namespace {

bool IsBlank(const std::string& text) {
    return text.find_first_not_of(' ') == std::string::npos;
}

// Characters a match's texts hold, as the result dialog and the files take
// them.
constexpr std::size_t kDateTimeLimit = 24;
constexpr std::size_t kLocationLimit = 24;
constexpr std::size_t kScoreLimit = 28;

std::string MatchText(const std::string& text, std::size_t limit) {
    std::string kept = text;
    StripLineBreaks(kept);
    return Utf8Cut(kept, limit);
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
    if (matchList.Count() > 0) return rcDrawExists;
    ::Player added = player;
    added.partner.Reset();
    if (partner != nullptr) added.partner.Set(*partner);
    // A line break in a text would break the line of the file it is saved on.
    StripLineBreaks(added);
    if (IsBlank(added.firstName) && IsBlank(added.lastName)) return rcNoName;
    for (int i = 1; i <= playerCount; ++i) {
        const ::Player* other = players.Item(i);
        if (other->firstName == added.firstName && other->lastName == added.lastName)
            return rcDuplicateName;
    }
    ++playerCount;
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
    return matchList.Count() >= 1 ? rcDrawExists : rcOk;
}

int Draw::ResultCount() const {
    return matchList.Count();
}

int Draw::RoundCount() const {
    return rounds;
}

int Draw::MatchesInRound(int round) const {
    int count = (matchList.Count() + 1) / 2;
    for (int r = 2; r <= round && count > 0; ++r)
        count /= 2;
    return count;
}

int Draw::MatchIndex(int round, int match) const {
    long long index = match;
    for (int r = 1; r < round; ++r) {
        const int inRound = MatchesInRound(r);
        if (inRound == 0) break;
        index += inRound;
    }
    return index <= 0 || index > matchList.Count() ? 0 : static_cast<int>(index);
}

TResult Draw::GetMatch(int round, int match) const {
    const TResult* found = matchList.Item(MatchIndex(round, match));
    return found != nullptr ? *found : TResult{};
}

void Draw::SetSlot(int round, int match, int slot, int player) {
    TResult* found = matchList.Item(MatchIndex(round, match));
    if (found == nullptr || player < 0 || player > players.Count()) return;
    if (slot == 1)
        found->first = player;
    else if (slot == 2)
        found->second = player;
    else
        return;
    state = StateChanged;
}

TResult* Draw::MatchAt(int round, int match) {
    if (round < 1 || round > rounds || match < 1 || match > MatchesInRound(round)) return nullptr;
    return matchList.Item(MatchIndex(round, match));
}

short Draw::EnterResult(int round, int match, const std::string& dateTime,
                        const std::string& location, const std::string& score, int winner) {
    TResult* entry = MatchAt(round, match);
    if (entry == nullptr) return rcBadData;
    const int newWinner = winner == 1 ? entry->first : winner == 2 ? entry->second : 0;
    const bool slotEmpty = entry->first == 0 || entry->second == 0;
    if (slotEmpty && round == 1 && !manualMode) return rcByeRound;
    if ((winner == 1 || winner == 2) && slotEmpty) return rcPreviousRoundOpen;
    if (newWinner != entry->winner && round < rounds) {
        if (TResult* next = matchList.Item(MatchIndex(round + 1, (match + 1) / 2))) {
            if (next->winner != 0) return rcNextRoundDecided;
            (match % 2 == 1 ? next->first : next->second) = newWinner;
        }
    }
    entry->winner = newWinner;
    entry->dateTime = MatchText(dateTime, kDateTimeLimit);
    entry->location = MatchText(location, kLocationLimit);
    entry->score = MatchText(score, kScoreLimit);
    state = StateChanged;
    return rcOk;
}

short Draw::AdvanceByes() {
    const int firstRound = MatchesInRound(1);
    for (int i = 1; i <= firstRound; ++i) {
        TResult& entry = *matchList.Item(i);
        if (entry.first != 0 && entry.second != 0) continue;
        // A draw of two has no second round to advance into.
        TResult* next = matchList.Item(MatchIndex(2, (i + 1) / 2));
        if (next != nullptr && next->winner != 0) {
            SetErrorLocation();
            return rcInternal;
        }
        const int present = entry.first != 0 ? entry.first : entry.second;
        int* slot = next == nullptr ? nullptr : i % 2 == 1 ? &next->first : &next->second;
        // Leaving manual mode changes the draw here: it must be saved.
        if (entry.winner != present || (slot != nullptr && *slot != present)) state = StateChanged;
        entry.winner = present;
        if (slot != nullptr) *slot = present;
    }
    return rcOk;
}

bool Draw::HasNoResults() const {
    for (int i = 1; i <= matchList.Count(); ++i) {
        const TResult& m = *matchList.Item(i);
        if (m.first != 0 && m.second != 0 && m.winner != 0) return false;
    }
    return true;
}

void Draw::DropBracket() {
    rounds = 0;
    matchList.Clear();
}

void Draw::ClearDraw() {
    if (matchList.Count() <= 0) return;
    state = StateChanged;
    DropBracket();
    manualMode = false;
}

void Draw::ClearResults(bool) {
    ClearDraw();
}

void Draw::SetOption(std::uint32_t bits) {
    options |= bits;
    state = StateChanged;
}

void Draw::ClearOptions() {
    options = 0;
    state = StateChanged;
}

void Draw::ClearOption(std::uint32_t bits) {
    options &= ~bits;
    state = StateChanged;
}

std::string Draw::SlotText(int side, int index) const {
    const TResult* entry = matchList.Item(index);
    if (entry == nullptr) return {};
    const int number = side == 1 ? entry->first : side == 2 ? entry->second : entry->winner;
    const ::Player* p = Player(number);
    if (p == nullptr) {
        const bool bye = index <= MatchesInRound(1) && players.Count() >= 3;
        return bye ? "    BYE  " : "       ";
    }
    char prefix[16];
    std::snprintf(prefix, sizeof prefix, "%3d ", number);
    if (IsDoubles()) {
        // A doubles player without a partner record shows its own name.
        const std::string names =
            p->partner ? p->lastName + " / " + p->partner->lastName : p->lastName;
        return prefix + Utf8Cut(names, 30);
    }
    if (p->firstName.empty() || Utf8Length(p->lastName) > 28) return prefix + p->lastName;
    return prefix + Utf8Cut(p->firstName, 1) + " " + p->lastName;
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
