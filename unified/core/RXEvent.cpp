#include "unified/core/RXEvent.h"

#include "unified/core/rxreport.h"

#include <algorithm>

RXEvent* CurrentEvent = nullptr;
Ladder* CurrentLadder = nullptr;
std::string ErrorLocation;

void SetErrorLocation(std::source_location where) {
    ErrorLocation = " at " + std::string(where.file_name()) + " " + std::to_string(where.line());
}

namespace {

const std::string kNoText;

bool IsBlank(const std::string& text) {
    return text.find_first_not_of(' ') == std::string::npos;
}

int CompareBytes(const std::string& a, const std::string& b) {
    const int c = a.compare(b); // std::string compares bytes as unsigned char
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

} // namespace

RXEvent::RXEvent() = default;

RXEvent::~RXEvent() = default;

void RXEvent::DebugDump(const std::string&) {
}

short RXEvent::UpdatePlayer(const std::string& oldName, const ::Player& player,
                            const ::Player* partner) {
    const int n = FindPlayerByName(oldName);
    if (n < 1 || n > playerCount) {
        SetErrorLocation();
        return 400;
    }
    if (IsBlank(player.firstName) && IsBlank(player.lastName)) return 9;
    for (int i = 1; i <= playerCount; ++i) {
        const ::Player* other = players.Item(i);
        if (i != n && other->firstName == player.firstName && other->lastName == player.lastName)
            return 8;
    }
    ::Player& target = *players.Item(n);
    // Checked before anything changes, so that a failed update changes nothing.
    if (partner != nullptr && !target.partner) {
        SetErrorLocation();
        return 10;
    }
    target.firstName = player.firstName;
    target.lastName = player.lastName;
    target.workPhone = player.workPhone;
    target.homePhone = player.homePhone;
    target.email = player.email;
    target.other1 = player.other1;
    target.other2 = player.other2;
    target.address1 = player.address1;
    target.address2 = player.address2;
    target.city = player.city;
    target.state = player.state;
    target.postalCode = player.postalCode;
    target.country = player.country;
    target.points = player.points;
    target.gender = player.gender;
    if (partner != nullptr) *target.partner = *partner;
    state = StateChanged;
    return 0;
}

void RXEvent::SaveToText(std::string& text) {
    text = "NOT IMPLEMENTED";
}

short RXEvent::LoadFromText(const std::string&) {
    return 400;
}

bool RXEvent::ExportPlayers(const std::string&) {
    return false;
}

int RXEvent::RoundCount() const {
    return 0;
}

void RXEvent::EnterManualMode() {
    manualMode = true;
}

void RXEvent::NameColumnWidths(rxReport& report, int& first, int& last, int& total) const {
    const int w = report.TextWidth("n");
    first = 2 * w;
    last = 2 * w;
    for (int n = 1; n <= playerCount; ++n) {
        const ::Player* player = Player(n);
        if (player == nullptr) continue;
        first = std::max(first, report.TextWidth(player->firstName));
        last = std::max(last, report.TextWidth(player->lastName));
    }
    total = first + last + w;
}

void RXEvent::SetPrintOptions(const PrintOptions& options) {
    printOptions = options;
    state = StateChanged;
}

void RXEvent::SetMargins(float left, float right, float top, float bottom) {
    printOptions.leftMargin = left;
    printOptions.rightMargin = right;
    printOptions.topMargin = top;
    printOptions.bottomMargin = bottom;
    state = StateChanged;
}

::Player* RXEvent::Player(int n) {
    return n > playerCount ? nullptr : players.Item(n);
}

const ::Player* RXEvent::Player(int n) const {
    return n > playerCount ? nullptr : players.Item(n);
}

void RXEvent::SetHeading(const std::string& text) {
    reportTexts.heading = text;
    state = StateChanged;
}

const std::string& RXEvent::Note(int n) const {
    return n >= 1 && n <= 5 ? reportTexts.notes[n - 1] : kNoText;
}

void RXEvent::SetNote(int n, const std::string& text) {
    if (n >= 1 && n <= 5) reportTexts.notes[n - 1] = text;
    state = StateChanged;
}

void RXEvent::SetEmailSubject(const std::string& text) {
    reportTexts.emailSubject = text;
    state = StateChanged;
}

void RXEvent::ResetTexts() {
    reportTexts = ReportOpts();
}

std::string RXEvent::PlayerDisplayName(int n) const {
    const ::Player* p = Player(n);
    return p == nullptr ? std::string() : p->lastName + ", " + p->firstName;
}

int RXEvent::FindPlayerByName(const std::string& displayName) const {
    for (int i = 1; i <= playerCount; ++i) {
        const ::Player* p = players.Item(i);
        if (p->lastName + ", " + p->firstName == displayName ||
            (p->firstName.empty() && p->lastName == displayName))
            return i;
    }
    return 0;
}

short RXEvent::GetPlayerByName(const std::string& displayName, ::Player& player,
                               int& number) const {
    const int n = FindPlayerByName(displayName);
    if (n == 0) {
        SetErrorLocation();
        return 400;
    }
    player = *players.Item(n);
    number = n;
    return 0;
}

short RXEvent::DeletePlayer(int n) {
    short code = CheckPlayersEditable();
    if (code != 0) return code;
    if (n < 1 || n > playerCount) {
        SetErrorLocation();
        return 400;
    }
    players.DeleteAt(n);
    --playerCount;
    code = PlayerDeleted(n);
    state = StateChanged;
    return code;
}

short RXEvent::DeletePlayerByName(const std::string& displayName) {
    return DeletePlayer(FindPlayerByName(displayName));
}

void RXEvent::MovePlayer(int from, int to) {
    if (from < 1 || from > playerCount) return;
    const ::Player moving = *players.Item(from);
    players.DeleteAt(from);
    players.InsertAt(std::clamp(to, 1, static_cast<int>(playerCount)), moving);
}

void RXEvent::ClearPlayers() {
    playerCount = 0;
    players.Clear();
    state = StateChanged;
}

void RXEvent::AttachPartner(int n, const ::Player& partner) {
    if (::Player* p = Player(n)) p->partner.Set(partner);
}

std::string RXEvent::PlayerFirstName(int n) const {
    const ::Player* p = Player(n);
    return p == nullptr ? std::string() : p->firstName;
}

std::string RXEvent::PlayerLastName(int n) const {
    const ::Player* p = Player(n);
    return p == nullptr ? std::string() : p->lastName;
}

int RXEvent::PlayerPoints(int n) const {
    const ::Player* p = Player(n);
    return p == nullptr ? 0 : p->points;
}

int RXEvent::PlayerWins(int n) const {
    const ::Player* p = Player(n);
    return p == nullptr ? 0 : p->wins;
}

int RXEvent::PlayerLosses(int n) const {
    const ::Player* p = Player(n);
    return p == nullptr ? 0 : p->losses;
}

int RXEvent::PlayerTies(int n) const {
    const ::Player* p = Player(n);
    return p == nullptr ? 0 : p->ties;
}

int RXEvent::PlayerInactivity(int n) const {
    const ::Player* p = Player(n);
    return p == nullptr || p->inactivity < 0 ? 0 : p->inactivity;
}

void RXEvent::ClearPlayerRecord(::Player& player) {
    player = ::Player();
}

int ComparePlayerEntries(const PlayerSortEntry& a, const PlayerSortEntry& b) {
    static const ::Player kNobody;
    const auto names = [](const PlayerSortEntry& e) -> const ::Player& {
        const ::Player* p = CurrentEvent == nullptr ? nullptr : CurrentEvent->Player(e.number);
        if (p != nullptr && e.usePartner) p = p->partner.get();
        return p == nullptr ? kNobody : *p;
    };
    const ::Player& x = names(a);
    const ::Player& y = names(b);
    const int last = CompareBytes(x.lastName, y.lastName);
    return last != 0 ? last : CompareBytes(x.firstName, y.firstName);
}
