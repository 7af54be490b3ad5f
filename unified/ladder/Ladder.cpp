#include "unified/ladder/Ladder.h"

#include "platform/Text.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <new>

namespace {

bool IsBlank(const std::string& text) {
    return text.find_first_not_of(' ') == std::string::npos;
}

int Clamped(long long value) {
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

// The part of a text from `from`, at most `length` bytes; empty past its end.
std::string Part(const std::string& text, std::size_t from, std::size_t length) {
    return from >= text.size() ? std::string() : text.substr(from, length);
}

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// One "%d" of a scanned date: white space, an optional sign, digits. Runs
// of digits too long for any field stop growing and so fail the range test.
bool ScanNumber(const std::string& text, std::size_t& i, long long& value) {
    while (i < text.size() && IsSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    const std::size_t start = i;
    long long v = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i)
        v = std::min(v * 10 + (text[i] - '0'), 100'000'000'000LL);
    if (i == start) return false;
    value = negative ? -v : v;
    return true;
}

// Month, day and year separated by `sep`; text after the year is ignored.
bool ScanDate(const std::string& text, char sep, long long (&mdy)[3]) {
    std::size_t i = 0;
    for (int k = 0; k < 3; ++k) {
        if (k > 0 && (i >= text.size() || text[i++] != sep)) return false;
        if (!ScanNumber(text, i, mdy[k])) return false;
    }
    return true;
}

} // namespace

// A player without a first name has no initial to show.
std::string Ladder::Initialled(const ::Player& player) {
    if (player.firstName.empty()) return player.lastName;
    return Utf8Cut(player.firstName, 1) + ". " + player.lastName;
}

std::string Ladder::ResultDate(const std::string& date, bool twoDigitYear) {
    return Part(date, 4, 2) + "/" + Part(date, 6, 2) + "/" +
           (twoDigitYear ? Part(date, 2, 2) : Part(date, 0, 4));
}

int DigitCount(int n) {
    char text[16];
    return std::snprintf(text, sizeof text, "%d", n);
}

Ladder::Ladder() {
    try {
        positionOfId.assign(MaxLadderPlayers + 1, 0);
        state = StateClean;
    } catch (const std::bad_alloc&) {
        state = StateUnusable;
    }
}

Ladder::~Ladder() = default;

bool Ladder::IsModified() const {
    return state == StateChanged;
}

void Ladder::Reset() {
    std::fill(positionOfId.begin(), positionOfId.end(), 0);
    players.Clear();
    playerCount = 0;
    maxId = 0;
    results.Clear();
    resultCount = 0;
    issueNumber = 0;
    state = StateClean;
}

void Ladder::SetSingles() {
    typeChar = 'S';
    state = StateChanged;
}

void Ladder::SetDoubles() {
    typeChar = 'D';
    state = StateChanged;
}

bool Ladder::IsDoubles() const {
    return typeChar == 'D';
}

short Ladder::AddPlayer(const ::Player& player, const ::Player* partner) {
    // Ids are never reused and the id map ends at the highest id, so a
    // ladder that has given out every id takes no one else.
    if (playerCount >= MaxPlayers || maxId >= MaxLadderPlayers) return rcPlayerLimit;
    ::Player added = player;
    if (partner != nullptr)
        added.partner.Set(*partner);
    else
        added.partner.Reset();
    StripLineBreaks(added);
    if (IsBlank(added.firstName) && IsBlank(added.lastName)) return rcNoName;
    for (int i = 1; i <= playerCount; ++i) {
        const ::Player* other = players.Item(i);
        if (other->firstName == added.firstName && other->lastName == added.lastName)
            return rcDuplicateName;
    }
    added.number = maxId + 1;
    added.inactivity = 0;
    added.wins = 0;
    added.losses = 0;
    added.ties = 0;
    added.prevPosition = playerCount + 1;

    int position = playerCount + 1;
    if (IsPointsSystem()) {
        // Directly below the lowest player with at least as many points.
        position = 1;
        for (int p = playerCount; p >= 1; --p)
            if (players.Item(p)->points >= added.points) {
                position = p + 1;
                break;
            }
    } else {
        // The caller asks for a position through the points field.
        if (player.points > 0 && player.points < playerCount + 1) position = player.points;
        added.points = 0;
    }
    if (players.InsertAt(position, added) != 0) {
        SetErrorLocation();
        return rcInternal;
    }
    ++playerCount;
    maxId = static_cast<std::int16_t>(added.number);
    state = StateChanged;
    RebuildPositionMap();
    return rcOk;
}

short Ladder::PlayerDeleted(int) {
    RebuildPositionMap();
    return rcOk;
}

short Ladder::CheckPlayersEditable() {
    return rcOk;
}

int Ladder::ResultCount() const {
    return resultCount;
}

void Ladder::ClearResults(bool initialisePoints) {
    state = StateChanged;
    results.Clear();
    resultCount = 0;
    issueNumber = 0;
    const bool points = IsPointsSystem() && initialisePoints;
    for (int i = 1; i <= playerCount; ++i) {
        ::Player* p = players.Item(i);
        p->inactivity = 0;
        p->wins = 0;
        p->losses = 0;
        p->ties = 0;
        p->prevPosition = i;
        p->points = points ? playerCount - i + 1 : 0;
    }
}

std::string Ladder::FileExtension() const {
    return "lad";
}

std::string Ladder::FileFilter() const {
    return "Ladder files (*.lad)|*.lad|All files (*.*)|*.*";
}

bool Ladder::IsResultPending(int n) const {
    const LResult* r = Result(n);
    return r != nullptr && r->issue == -1;
}

int Ladder::ResultIssue(int n) const {
    const LResult* r = Result(n);
    return r == nullptr ? 0 : r->issue;
}

int Ladder::CountResultsOfIssue(int issue) const {
    int count = 0;
    for (int n = 1; n <= resultCount; ++n)
        if (results.Item(n)->issue == issue) ++count;
    return count;
}

int Ladder::PendingResultCount() const {
    return CountResultsOfIssue(-1);
}

int Ladder::ChallengeRange() const {
    if (challengePositions == 0 || challengePercent == 0) return 0;
    if (challengePositions > 0) return challengePositions;
    const int range = Clamped(static_cast<long long>(playerCount - 1) * challengePercent / 100);
    return range <= 0 ? 1 : range;
}

bool Ladder::CheckChallenge(const std::string& winner, const std::string& winnerPartner,
                            const std::string& loser, const std::string& loserPartner,
                            ChallengeOutcome& outcome) const {
    outcome = ChallengeOutcome();
    if (challengePositions == 0 || challengePercent == 0) return true;
    const auto positionOf = [&](const std::string& name) {
        return PositionOfId(PlayerIdByName(name));
    };
    const auto onLadder = [&](int position) { return position >= 1 && position <= playerCount; };
    int w = positionOf(winner);
    int l = positionOf(loser);
    outcome.winnerPos = w;
    outcome.loserPos = l;
    if (!onLadder(w) || !onLadder(l)) return false;
    if (!winnerPartner.empty()) {
        const int p = positionOf(winnerPartner);
        if (onLadder(p) && p < w) w = p;
    }
    if (!loserPartner.empty()) {
        const int p = positionOf(loserPartner);
        if (onLadder(p) && p > l) l = p;
    }
    outcome.winnerPos = w;
    outcome.loserPos = l;
    if (challengePositions < 0) {
        // A ladder of one player has no distance to measure.
        outcome.spread = playerCount > 1 ? (w - l) * 100 / (playerCount - 1) : 0;
        outcome.allowed = challengePercent;
        outcome.unit = "%";
    } else {
        outcome.spread = w - l;
        outcome.allowed = challengePositions;
        outcome.unit = " pos.";
    }
    return l + 1 >= w || outcome.allowed >= outcome.spread;
}

short Ladder::EnterResult(const std::string& date, const std::string& winner,
                          const std::string& loser, const std::string& score, bool tie,
                          const std::string& winnerPartner, const std::string& loserPartner) {
    if (resultCount >= MaxLadderResults) return rcResultLimit;
    LResult r;
    r.winner = PlayerIdByName(winner);
    r.loser = PlayerIdByName(loser);
    r.winnerPartner = winnerPartner.empty() ? 0 : PlayerIdByName(winnerPartner);
    r.loserPartner = loserPartner.empty() ? 0 : PlayerIdByName(loserPartner);
    r.score = score;
    StripLineBreaks(r.score);
    if (r.winner == 0 || r.loser == 0 || Utf8Length(date) > 10 || Utf8Length(r.score) > 50) {
        SetErrorLocation();
        return rcInternal;
    }
    r.date = date;
    if (!ParseResultDate(r.date)) return rcBadDate;
    r.tie = tie ? 1 : 0;
    r.issue = -1;
    r.winnerPos = std::to_string(PositionOfId(r.winner));
    r.loserPos = std::to_string(PositionOfId(r.loser));
    r.winnerPartnerPos = std::to_string(PositionOfId(r.winnerPartner));
    r.loserPartnerPos = std::to_string(PositionOfId(r.loserPartner));
    if (results.SetAt(resultCount + 1, r) != 0) {
        SetErrorLocation();
        return rcInternal;
    }
    ++resultCount;
    state = StateChanged;
    return rcOk;
}

short Ladder::CancelPendingResult(int k) {
    int pending = 0;
    for (int n = 1; n <= resultCount; ++n) {
        if (results.Item(n)->issue != -1 || ++pending != k) continue;
        results.DeleteAt(n);
        --resultCount;
        state = StateChanged;
        return rcOk;
    }
    SetErrorLocation();
    return rcInternal;
}

std::string Ladder::SideText(int id, int partnerId) const {
    const ::Player* p = Player(PositionOfId(id));
    if (p == nullptr) return "*Deleted*";
    const ::Player* resultPartner = partnerId == 0 ? nullptr : Player(PositionOfId(partnerId));
    if (resultPartner != nullptr) return Initialled(*p) + "/" + Initialled(*resultPartner);
    if (IsDoubles() && p->partner) return Initialled(*p) + " / " + Initialled(*p->partner);
    return p->firstName + " " + p->lastName;
}

const std::string& Ladder::ResultText(int n) {
    textBuffer.clear();
    const LResult* r = Result(n);
    if (r == nullptr) return textBuffer;
    if (settings.displayResults != 0)
        textBuffer.append("[").append(r->issue == -1 ? " " : std::to_string(r->issue)).append("] ");
    textBuffer += ResultDate(r->date, false) + " " + SideText(r->winner, r->winnerPartner) +
                  (r->tie ? " TIE " : " d. ") + SideText(r->loser, r->loserPartner) + " " +
                  r->score;
    return textBuffer;
}

const std::string& Ladder::PendingResultText(int n) {
    textBuffer.clear();
    const LResult* r = Result(n);
    if (r == nullptr) return textBuffer;
    const auto lastName = [&](int id) {
        const ::Player* p = Player(PositionOfId(id));
        return p == nullptr ? std::string("*Deleted*") : p->lastName;
    };
    textBuffer = ResultDate(r->date, false) + " " + lastName(r->winner) + "/" + lastName(r->loser) +
                 " " + r->score;
    return textBuffer;
}

bool Ladder::ParseResultDate(std::string& date) {
    static constexpr int kMonthDays[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    long long mdy[3] = {0, 0, 0};
    if (!ScanDate(date, '-', mdy) && !ScanDate(date, '.', mdy) && !ScanDate(date, '/', mdy))
        return false;
    const long long month = mdy[0], day = mdy[1];
    long long year = mdy[2];
    if (month < 1 || month > 12) return false;
    if (day < 1 || day > kMonthDays[month - 1]) return false;
    if (year >= 0 && year <= 50)
        year += 2000;
    else if (year >= 51 && year <= 99)
        year += 1900;
    else if (year < 1000 || year > 9999)
        return false;
    // Every fourth year is a leap year, centuries included.
    if (month == 2 && day == 29 && year % 4 != 0) return false;
    char text[40];
    std::snprintf(text, sizeof text, "%4.4d%2.2d%2.2d", static_cast<int>(year),
                  static_cast<int>(month), static_cast<int>(day));
    date = text;
    return true;
}

int Ladder::PlayerIdByName(const std::string& name) const {
    const ::Player* p = Player(FindPlayerByName(name));
    return p == nullptr ? 0 : p->number;
}

int Ladder::PositionOfId(int id) const {
    return id < 0 || id >= static_cast<int>(positionOfId.size()) ? 0 : positionOfId[id];
}

void Ladder::RebuildPositionMap() {
    std::fill(positionOfId.begin(), positionOfId.end(), 0);
    for (int p = 1; p <= playerCount; ++p) {
        const int id = players.Item(p)->number;
        if (id >= 1 && id < static_cast<int>(positionOfId.size()))
            positionOfId[id] = static_cast<std::int16_t>(p);
    }
}

void Ladder::SetChallengePercent(int value) {
    challengePercent = value;
    challengePositions = -1;
    state = StateChanged;
}

void Ladder::SetChallengePositions(int value) {
    challengePositions = value;
    challengePercent = -1;
    state = StateChanged;
}

void Ladder::SetDisplayFlags(int bits) {
    displayFlags |= bits;
    state = StateChanged;
}

void Ladder::ClearDisplayFlags(int bits) {
    displayFlags &= ~bits;
    state = StateChanged;
}

void Ladder::SetLadderSystem(int value) {
    settings.ladderSystem = static_cast<std::uint8_t>(value);
    state = StateChanged;
}

void Ladder::SetDisplayResults(int value) {
    settings.displayResults = static_cast<std::uint8_t>(value);
    state = StateChanged;
}

void Ladder::SetIssueMask(int value) {
    settings.issueMask = value;
    state = StateChanged;
}

void Ladder::SetPenaltyDist(int value) {
    penaltyDist = value;
    state = StateChanged;
}

void Ladder::SetPenaltyStart(int value) {
    penaltyStart = value;
    state = StateChanged;
}

void Ladder::SetPenaltyCycle(int value) {
    penaltyCycle = value <= 0 ? 1 : value;
    state = StateChanged;
}

void Ladder::SetTopNoDrop(int value) {
    topNoDrop = value;
    state = StateChanged;
}

void Ladder::SetPointsOptions(int winner, int loser, int tie, int challenger, float perPosition,
                              float perPercent, float perMargin) {
    pointsWinner = winner;
    pointsLoser = loser;
    pointsTie = tie;
    chalWins = challenger;
    perPosAdvanced = perPosition;
    perPctAdvanced = perPercent;
    perScoreMargin = perMargin;
    state = StateChanged;
}
