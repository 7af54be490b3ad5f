// Tournament files: the tree form written and read, the older line form
// read, and the contact export.
#include "unified/draw/Draw.h"

#include "unified/core/numberText.h"

#include "platform/OutputFile.h"
#include "platform/Text.h"
#include "unified/core/Tree.h"
#include "unified/core/indexedLeaves.h"
#include "unified/core/textFile.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <fstream>
#include <string_view>
#include <vector>

namespace {

const char* const kVersion = "*2.1";
// Bytes of the first line that are compared.
// Characters the line form's readers take of a line and of its fields.
constexpr std::size_t kPlayerLineLimit = 117;
constexpr std::size_t kMatchLineLimit = 104;
constexpr std::size_t kNameLimit = 30;
constexpr std::size_t kPhoneLimit = 14;
constexpr std::size_t kDateTimeLimit = 24;
constexpr std::size_t kLocationLimit = 24;
constexpr std::size_t kScoreLimit = 28;
// R nodes past this many are not read; a draw holds at most 1,023 matches.
constexpr int kMatchReadLimit = 1500;
// The rounds of the largest draw, of MaxPlayers.
constexpr int kMostRounds = 10;
// Seeds a file may hold: -1 (the default count), or what the create-draw
// dialog takes, at most half the players.
constexpr int kMostSeeds = MaxPlayers / 2;

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The first character of a text (all of its bytes); empty for an empty text.
std::string_view FirstChar(std::string_view text) {
    std::size_t n = 1;
    while (n < text.size() && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80)
        ++n;
    return text.substr(0, std::min(n, text.size()));
}

// A type character the tree form keeps: printable ASCII. Half a multi-byte
// character, a control byte or DEL would not come back from a file.
bool IsTypeChar(std::string_view c) {
    return c.size() == 1 && c[0] > ' ' && c[0] < 0x7F;
}

// The values of a line, separated by white space.
class Words {
public:
    explicit Words(std::string_view line) : line_(line) {}
    template <typename T> bool Number(T& value) {
        SkipSpace();
        const std::size_t start = at_;
        while (at_ < line_.size() && !IsSpace(line_[at_]))
            ++at_;
        return at_ > start && ParseNumber(line_.substr(start, at_ - start), value);
    }
    // One character after white space, which need not end a word.
    bool Character(std::string_view& c) {
        SkipSpace();
        if (at_ >= line_.size()) return false;
        c = FirstChar(line_.substr(at_));
        at_ += c.size();
        return true;
    }

private:
    void SkipSpace() {
        while (at_ < line_.size() && IsSpace(line_[at_]))
            ++at_;
    }

    std::string_view line_;
    std::size_t at_ = 0;
};

// The field that starts a line's rest and ends at the separator, which is
// taken off with it; false when no separator follows.
bool NextField(std::string_view& rest, std::string_view separator, std::string_view& field) {
    const std::size_t end = rest.find(separator);
    if (end == std::string_view::npos) return false;
    field = rest.substr(0, end);
    rest.remove_prefix(end + separator.size());
    return true;
}

// A name of the doubles line form, split at its first blank; without one,
// all of it is the last name.
void SplitName(std::string_view name, ::Player& player) {
    const std::size_t blank = name.find(' ');
    if (blank == std::string_view::npos) {
        player.lastName.assign(name);
        return;
    }
    player.firstName.assign(name.substr(0, blank));
    player.lastName.assign(name.substr(blank + 1));
}

// A player line of the line form: the separator, then four fields each
// after it: first and last name, work and home phone; in a doubles file the
// player's name, the partner's, and their phones.
short ParsePlayerLine(std::string_view line, bool doubles, ::Player& player) {
    if (line.empty()) return rcEmptyLine;
    const std::string_view separator = FirstChar(line);
    std::string_view rest = line.substr(separator.size());
    std::string_view fields[4];
    for (int i = 0; i < 4; ++i)
        if (!NextField(rest, separator, fields[i])) {
            // The last field may run to the end of the line.
            if (i < 3) return rcBadData;
            fields[i] = rest;
        }
    const std::size_t limits[4] = {kNameLimit, kNameLimit, kPhoneLimit, kPhoneLimit};
    for (int i = 0; i < 4; ++i)
        if (Utf8Length(fields[i]) > limits[i]) return rcBadData;
    ::Player p;
    if (doubles) {
        ::Player partner;
        SplitName(fields[0], p);
        SplitName(fields[1], partner);
        p.workPhone.assign(fields[2]);
        partner.workPhone.assign(fields[3]);
        p.partner.Set(partner);
    } else {
        p.firstName.assign(fields[0]);
        p.lastName.assign(fields[1]);
        p.workPhone.assign(fields[2]);
        p.homePhone.assign(fields[3]);
    }
    StripLineBreaks(p);
    player = std::move(p);
    return rcOk;
}

// A match line of the line form: the separator, the date and time, the
// location and the score each after it, and after the score's closing
// separator the first player, the second and the winner.
short ParseMatchLine(std::string_view line, TResult& match) {
    const std::string_view separator = FirstChar(line);
    std::string_view rest = line.substr(separator.size());
    std::string_view dateTime, location, score;
    if (!NextField(rest, separator, dateTime) || !NextField(rest, separator, location) ||
        !NextField(rest, separator, score) || Utf8Length(dateTime) > kDateTimeLimit ||
        Utf8Length(location) > kLocationLimit || Utf8Length(score) > kScoreLimit)
        return rcBadData;
    TResult m;
    Words numbers(rest);
    if (!numbers.Number(m.first) || !numbers.Number(m.second) || !numbers.Number(m.winner))
        return rcBadData;
    m.dateTime.assign(dateTime);
    m.location.assign(location);
    m.score.assign(score);
    for (std::string* text : {&m.dateTime, &m.location, &m.score})
        StripLineBreaks(*text);
    match = std::move(m);
    return rcOk;
}

// An R node into a match that starts empty: 5 for a text over its limit or
// a number that is no number.
short ReadMatchNode(Tree& node, TResult& match) {
    TResult m;
    while (Tree* leaf = node.NextChild()) {
        const std::string& text = leaf->Value();
        bool read = true;
        switch (leaf->Name().empty() ? '\0' : leaf->Name()[0]) {
        case 'd':
            read = Utf8Length(text) <= kDateTimeLimit;
            m.dateTime = text;
            break;
        case 'l':
            read = Utf8Length(text) <= kLocationLimit;
            m.location = text;
            break;
        case 's':
            read = Utf8Length(text) <= kScoreLimit;
            m.score = text;
            break;
        case '1':
            read = ParseNumber(text, m.first);
            break;
        case '2':
            read = ParseNumber(text, m.second);
            break;
        case 'w':
            read = ParseNumber(text, m.winner);
            break;
        default:
            break;
        }
        if (!read) return rcBadData;
    }
    match = std::move(m);
    return rcOk;
}

} // namespace

short Draw::Load(const std::string& path) {
    std::string firstLine;
    if (!ReadFirstLine(path, firstLine)) return rcCannotOpen;
    Reset();
    if (firstLine == "Tournament{") return ReadTreeFile(path);
    if (firstLine != "*1.0") return rcBadData;
    std::string text;
    if (!ReadTextFile(path, text)) return rcCannotOpen;
    return ReadDrawV1(text);
}

short Draw::ReadTreeFile(const std::string& path) {
    Tree root;
    root.LoadFromFile(path);
    if (root.HasError()) {
        SetErrorLocation();
        return rcInternal;
    }
    ResetTexts();
    std::string version;
    IndexedLeafPlaces notes;
    // Each number read is checked; the first that is no number, or lies
    // outside what the draw can hold, ends the load.
    short code = rcOk;
    const auto number = [&code](const Tree& leaf, int& value, int least, int most) {
        if (!ParseNumber(leaf.Value(), value) || value < least || value > most) code = rcBadData;
    };
    while (code == rcOk) {
        Tree* child = root.NextChild();
        if (child == nullptr) break;
        const std::string& value = child->Value();
        int scratch = 0;
        switch (child->Name().empty() ? '\0' : child->Name()[0]) {
        case 'v':
            version = value;
            break;
        case 't':
            if (IsTypeChar(FirstChar(value))) type = value[0];
            break;
        case 'd':
            if (IsTypeChar(FirstChar(value))) secondLetter = value[0];
            break;
        case 'm':
            number(*child, scratch, INT32_MIN, INT32_MAX);
            if (scratch != 0)
                EnterManualMode();
            else
                ClearManualMode();
            break;
        case 'b':
            number(*child, scratch, INT32_MIN, INT32_MAX);
            if (scratch != 0)
                options |= ByesToSeeded;
            else
                options &= ~std::uint32_t{ByesToSeeded};
            break;
        case 'r':
            number(*child, scratch, 0, kMostRounds);
            if (code == rcOk) rounds = static_cast<std::int16_t>(scratch);
            break;
        case 'e':
            number(*child, scratch, -1, kMostSeeds);
            if (code == rcOk) seeds = static_cast<std::int16_t>(scratch);
            break;
        case 'T':
            ReadPrintOptions(*child);
            break;
        case 'h':
            if (Utf8Length(value) > kReportTextLimit)
                code = rcBadData;
            else
                reportTexts.heading = value;
            break;
        case 'n':
            code = ReadNote(*child, notes);
            break;
        case 's':
            if (Utf8Length(value) > kReportTextLimit)
                code = rcBadData;
            else
                reportTexts.emailSubject = value;
            break;
        case 'u':
            // The count is that of the P nodes; u is only checked.
            number(*child, scratch, INT32_MIN, INT32_MAX);
            break;
        case 'P': {
            ::Player player;
            code = ReadPlayerNode(*child, player);
            if (code == rcOk) code = StoreLoadedPlayer(player);
            break;
        }
        case 'A': {
            // A partner before any player has no one to belong to.
            ::Player partner;
            if (players.Count() > 0 && ReadPlayerNode(*child, partner) == rcOk)
                AttachPartner(players.Count(), partner);
            break;
        }
        case 'R': {
            if (matchList.Count() >= kMatchReadLimit) break;
            TResult match;
            code = ReadMatchNode(*child, match);
            if (code == rcOk) code = StoreLoadedMatch(match);
            break;
        }
        default:
            break;
        }
    }
    if (code == rcOk && version != kVersion) code = rcBadData;
    return FinishLoad(code);
}

short Draw::ReadDrawV1(const std::string& text) {
    TextLines lines(text);
    std::string_view line;
    lines.Next(line); // the first line, already recognised
    ResetTexts();
    // The form knows no manual mode.
    ClearManualMode();

    // The type, the second letter, the option word, the rounds and the seeds.
    if (!lines.Next(line)) return FinishLoad(rcBadData);
    Words values(line);
    std::string_view typeText, letter;
    std::int64_t optionWord = 0;
    int readRounds = 0, readSeeds = 0;
    if (!values.Character(typeText) || !values.Character(letter) || !values.Number(optionWord) ||
        !values.Number(readRounds) || !values.Number(readSeeds) || optionWord < INT32_MIN ||
        optionWord > UINT32_MAX || readRounds < 0 || readRounds > kMostRounds || readSeeds < -1 ||
        readSeeds > kMostSeeds)
        return FinishLoad(rcBadData);
    // Any other type reads as singles.
    type = IsTypeChar(typeText) ? typeText[0] : 'S';
    if (IsTypeChar(letter)) secondLetter = letter[0];
    options = static_cast<std::uint32_t>(optionWord);
    rounds = static_cast<std::int16_t>(readRounds);
    seeds = static_cast<std::int16_t>(readSeeds);

    std::string* const texts[] = {&reportTexts.heading,  &reportTexts.notes[0],
                                  &reportTexts.notes[1], &reportTexts.notes[2],
                                  &reportTexts.notes[3], &reportTexts.notes[4]};
    for (std::string* text : texts)
        if (lines.Next(line)) *text = LineText(line, kReportTextLimit);
    int count = 0;
    if (!lines.Next(line) || !Words(line).Number(count) || count < 1 || count > MaxPlayers)
        return FinishLoad(rcBadData);

    for (int i = 1; i <= count; ++i) {
        ::Player player;
        short code = rcNotFound;
        if (lines.Next(line))
            code = ParsePlayerLine(Utf8Cut(line, kPlayerLineLimit), IsDoubles(), player);
        else
            SetErrorLocation();
        if (code == rcOk) code = StoreLoadedPlayer(player);
        if (code != rcOk) return FinishLoad(code);
    }

    // Lines past the draw's last match are no part of it.
    const int most = DrawSize(count) - 1;
    while (lines.Next(line)) {
        if (line.empty()) continue;
        TResult match;
        short code = matchList.Count() < most ? rcOk : rcBadData;
        if (code == rcOk) code = ParseMatchLine(Utf8Cut(line, kMatchLineLimit), match);
        if (code == rcOk) code = StoreLoadedMatch(match);
        if (code != rcOk) return FinishLoad(code);
    }
    return FinishLoad(rcOk);
}

// A record read is moved to its place: a full draw's players hold 26
// texts each.
short Draw::StoreLoadedPlayer(::Player& player) {
    if (players.Count() >= MaxPlayers) return rcBadData;
    const int n = players.Count() + 1;
    if (players.SetAt(n, ::Player()) != 0) {
        SetErrorLocation();
        return rcInternal;
    }
    *players.Item(n) = std::move(player);
    playerCount = static_cast<std::int16_t>(n);
    return rcOk;
}

short Draw::StoreLoadedMatch(TResult& match) {
    const int n = matchList.Count() + 1;
    if (matchList.SetAt(n, TResult()) != 0) {
        SetErrorLocation();
        return rcInternal;
    }
    *matchList.Item(n) = std::move(match);
    return rcOk;
}

short Draw::FinishLoad(short code) {
    if (code == rcOk && players.Count() < 1) code = rcBadData;
    // Players entered before the draw was made: a file may state the rounds
    // it was to have, but without matches there are none.
    if (matchList.Count() == 0) rounds = 0;
    if (code == rcOk) code = CheckBracket();
    playerCount = static_cast<std::int16_t>(players.Count());
    if (code != rcOk) {
        // What was read stays, but no bracket that failed its checks: it
        // could name players the list does not hold.
        DropBracket();
        return code;
    }
    state = StateSaved;
    return rcOk;
}

short Draw::CheckBracket() const {
    const int count = matchList.Count();
    const int p = players.Count();
    if (count == 0) return rcOk;
    const int size = DrawSize(p);
    if (count != size - 1 ||
        rounds != static_cast<int>(std::bit_width(static_cast<unsigned>(size))) - 1)
        return rcBadData;
    const auto isPlayer = [p](int n) { return n >= 0 && n <= p; };
    for (int i = 1; i <= count; ++i) {
        const TResult& m = *matchList.Item(i);
        if (!isPlayer(m.first) || !isPlayer(m.second) || !isPlayer(m.winner)) return rcBadData;
    }
    // A manual pairing moves players and leaves the winners where they were;
    // leaving manual mode puts the byes right.
    if (manualMode) return rcOk;
    const int firstRound = MatchesInRound(1);
    for (int round = 1, start = 0; round <= rounds; start += MatchesInRound(round), ++round) {
        for (int k = 1; k <= MatchesInRound(round); ++k) {
            const TResult& m = *matchList.Item(start + k);
            if (m.winner != 0 && m.winner != m.first && m.winner != m.second) return rcBadData;
            if (round == 1) {
                // A bye's player has won it and stands in round 2.
                if ((m.first == 0) == (m.second == 0)) continue;
                const int present = m.first != 0 ? m.first : m.second;
                if (m.winner != present) return rcBadData;
                if (const TResult* next = matchList.Item(firstRound + (k + 1) / 2))
                    if ((k % 2 == 1 ? next->first : next->second) != present) return rcBadData;
                continue;
            }
            const int feeding = start - MatchesInRound(round - 1);
            const TResult& upper = *matchList.Item(feeding + 2 * k - 1);
            const TResult& lower = *matchList.Item(feeding + 2 * k);
            if (m.first != 0 && m.first != upper.first && m.first != upper.second) return rcBadData;
            if (m.second != 0 && m.second != lower.first && m.second != lower.second)
                return rcBadData;
        }
    }
    return rcOk;
}

bool Draw::WriteTree(Tree& root) const {
    root.AddValue("v", kVersion);
    root.AddValue("t", std::string(1, type));
    root.AddValue("d", std::string(1, secondLetter));
    root.AddValue("m", manualMode ? "1" : "0");
    root.AddValue("b", HasOption(ByesToSeeded) ? "1" : "0");
    root.AddValue("r", std::to_string(rounds));
    root.AddValue("e", std::to_string(seeds));
    WritePrintOptions(root);
    root.AddValue("h", reportTexts.heading);
    WriteNotes(root);
    root.AddValue("s", reportTexts.emailSubject);
    root.AddValue("u", std::to_string(players.Count()));
    for (int p = 1; p <= players.Count(); ++p) {
        const ::Player& player = *players.Item(p);
        if (Tree* node = root.AddChild("P")) WritePlayerNode(*node, player, false);
        if (player.partner)
            if (Tree* node = root.AddChild("A")) WritePlayerNode(*node, *player.partner, false);
    }
    for (int i = 1; i <= matchList.Count(); ++i) {
        const TResult& m = *matchList.Item(i);
        Tree* node = root.AddChild("R");
        if (node == nullptr) break;
        node->AddValue("d", m.dateTime);
        node->AddValue("l", m.location);
        node->AddValue("s", m.score);
        node->AddValue("1", std::to_string(m.first));
        node->AddValue("2", std::to_string(m.second));
        node->AddValue("w", std::to_string(m.winner));
    }
    return IsWhole(root);
}

bool Draw::Save(const std::string& path) {
    Tree root("Tournament");
    if (!WriteTree(root) || !root.SaveToFile(path)) return false;
    state = StateSaved;
    return true;
}

bool Draw::ExportPlayersVer1(const std::string& path) {
    OutputFile out;
    if (!out.Open(path)) return false;
    std::string text;
    for (int p = 1; p <= players.Count(); ++p) {
        const ::Player& player = *players.Item(p);
        const std::string* const fields[] = {&player.firstName, &player.lastName, &player.workPhone,
                                             &player.homePhone};
        const bool slash =
            std::any_of(std::begin(fields), std::end(fields),
                        [](const std::string* f) { return f->find('/') != f->npos; });
        const char separator = slash ? '\x07' : '/';
        text += separator;
        text += ' ';
        for (const std::string* field : fields) {
            text += separator;
            text += *field;
        }
        text += "\r\n";
    }
    out.Write(text);
    return out.Commit();
}
