#include "unified/core/RXEvent.h"

#include "platform/Text.h"
#include "unified/core/Tree.h"
#include "unified/core/indexedLeaves.h"
#include "unified/core/numberText.h"
#include "unified/core/rxreport.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

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

// Keys of the 13 texts in a player node, in field order.
constexpr char kTextKeys[] = "flwhe3412cspy";

// A whole number as a leaf holds it: leading blanks, a sign, digits; what
// follows is ignored, no digits read as 0, and too large a number is held at
// the limit.
std::int32_t LeafInt(const std::string& text) {
    std::size_t i = text.find_first_not_of(" \t");
    if (i == std::string::npos) return 0;
    bool negative = false;
    if (text[i] == '+' || text[i] == '-') negative = text[i++] == '-';
    std::int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = std::min<std::int64_t>(value * 10 + (text[i] - '0'), 1LL << 31);
    if (negative) value = -value;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

// A real in the C locale, whatever the user's; no number, or one that is
// not finite, reads as 0.
float LeafReal(const std::string& text) {
    std::size_t i = text.find_first_not_of(" \t");
    if (i == std::string::npos) return 0;
    if (text[i] == '+') ++i;
    float value = 0;
    const auto result = std::from_chars(text.data() + i, text.data() + text.size(), value);
    return result.ec == std::errc() && std::isfinite(value) ? value : 0.0f;
}

std::string RealText(float value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value); // shortest form
    return std::string(buffer, result.ptr);
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

short RXEvent::UpdatePlayer(const std::string& oldName, const ::Player& newPlayer,
                            const ::Player* partner) {
    ::Player player = newPlayer;
    player.partner.Reset();
    StripLineBreaks(player);
    const int n = FindPlayerByName(oldName);
    if (n < 1 || n > playerCount) {
        SetErrorLocation();
        return rcNotFound;
    }
    if (IsBlank(player.firstName) && IsBlank(player.lastName)) return rcNoName;
    for (int i = 1; i <= playerCount; ++i) {
        const ::Player* other = players.Item(i);
        if (i != n && other->firstName == player.firstName && other->lastName == player.lastName)
            return rcDuplicateName;
    }
    ::Player& target = *players.Item(n);
    // Checked before anything changes, so that a failed update changes nothing.
    if (partner != nullptr && !target.partner) {
        SetErrorLocation();
        return rcInternal;
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
    if (partner != nullptr) {
        *target.partner = *partner;
        StripLineBreaks(*target.partner);
    }
    state = StateChanged;
    return rcOk;
}

void RXEvent::SaveToText(std::string& text) {
    text = "NOT IMPLEMENTED";
}

short RXEvent::LoadFromText(const std::string&) {
    return rcNotFound;
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
        return rcNotFound;
    }
    player = *players.Item(n);
    number = n;
    return rcOk;
}

short RXEvent::DeletePlayer(int n) {
    short code = CheckPlayersEditable();
    if (code != rcOk) return code;
    if (n < 1 || n > playerCount) {
        SetErrorLocation();
        return rcNotFound;
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

void RXEvent::WritePrintOptions(Tree& parent) const {
    Tree* node = parent.AddChild("T");
    if (node == nullptr) return;
    node->AddValue("b", RealText(printOptions.bottomMargin));
    node->AddValue("t", RealText(printOptions.topMargin));
    node->AddValue("l", RealText(printOptions.leftMargin));
    node->AddValue("r", RealText(printOptions.rightMargin));
    node->AddValue("p", std::to_string(printOptions.playersPerPage));
    node->AddValue("u", std::to_string(printOptions.roundsPerPage));
    node->AddValue("o", std::to_string(printOptions.orientation));
    node->AddValue("f", std::to_string(printOptions.fontSize));
}

void RXEvent::ReadPrintOptions(Tree& node) {
    while (Tree* leaf = node.NextChild()) {
        const std::string& value = leaf->Value();
        switch (leaf->Name().empty() ? '\0' : leaf->Name()[0]) {
        case 'b':
            printOptions.bottomMargin = LeafReal(value);
            break;
        case 't':
            printOptions.topMargin = LeafReal(value);
            break;
        case 'l':
            printOptions.leftMargin = LeafReal(value);
            break;
        case 'r':
            printOptions.rightMargin = LeafReal(value);
            break;
        case 'p':
            printOptions.playersPerPage = LeafInt(value);
            break;
        case 'u':
            printOptions.roundsPerPage = LeafInt(value);
            break;
        case 'o':
            printOptions.orientation = static_cast<std::int8_t>(LeafInt(value));
            break;
        case 'f':
            printOptions.fontSize = LeafInt(value);
            break;
        default:
            break;
        }
    }
}

void RXEvent::WriteNotes(Tree& parent) const {
    WriteIndexedLeaves(parent, "n", reportTexts.notes);
}

short RXEvent::ReadNote(const Tree& leaf, IndexedLeafPlaces& places) {
    if (Utf8Length(leaf.Value()) > kReportTextLimit) return rcBadData;
    const int place = places.Next(leaf.Name());
    if (place >= 1 && place <= 5) reportTexts.notes[place - 1] = leaf.Value();
    return rcOk;
}

void RXEvent::WritePlayerNode(Tree& node, const ::Player& player, bool counters) const {
    const auto texts = PlayerTexts(player);
    for (std::size_t i = 0; i < texts.size(); ++i)
        node.AddValue(std::string(1, kTextKeys[i]), *texts[i]);
    if (counters) {
        node.AddValue("n", std::to_string(player.number));
        node.AddValue("i", std::to_string(player.inactivity));
        node.AddValue("z", std::to_string(player.wins));
        node.AddValue("o", std::to_string(player.losses));
        node.AddValue("x", std::to_string(player.ties));
        node.AddValue("v", std::to_string(player.prevPosition));
        node.AddValue("t", std::to_string(player.points));
    }
    if (keepsGender) node.AddValue("g", std::string(1, player.gender));
}

short RXEvent::ReadPlayerNode(Tree& node, ::Player& player) {
    ClearPlayerRecord(player);
    const auto texts = PlayerTexts(player);
    while (Tree* leaf = node.NextChild()) {
        if (leaf->Name().empty()) continue;
        const char key = leaf->Name()[0];
        const char* at = key == '\0' ? nullptr : std::strchr(kTextKeys, key);
        if (at != nullptr) {
            const std::size_t field = static_cast<std::size_t>(at - kTextKeys);
            std::string text = leaf->Value();
            StripLineBreaks(text);
            if (Utf8Length(text) > static_cast<std::size_t>(kPlayerTextLimits[field]))
                return rcBadData;
            *texts[field] = std::move(text);
            continue;
        }
        const std::string& value = leaf->Value();
        switch (key) {
        case 'n':
            if (!ParseNumber(value, player.number)) return rcBadData;
            break;
        case 'i':
            if (!ParseNumber(value, player.inactivity)) return rcBadData;
            break;
        case 'z':
            if (!ParseNumber(value, player.wins)) return rcBadData;
            break;
        case 'o':
            if (!ParseNumber(value, player.losses)) return rcBadData;
            break;
        case 'x':
            if (!ParseNumber(value, player.ties)) return rcBadData;
            break;
        case 'v':
            if (!ParseNumber(value, player.prevPosition)) return rcBadData;
            break;
        case 't':
            if (!ParseNumber(value, player.points)) return rcBadData;
            break;
        case 'g': {
            // A printable ASCII character; anything else is no gender, so that
            // half a multi-byte character never reaches a file.
            const unsigned char first = value.empty() ? ' ' : value[0];
            player.gender = first > ' ' && first < 0x7F ? static_cast<char>(first) : ' ';
            break;
        }
        default:
            break;
        }
    }
    return rcOk;
}
