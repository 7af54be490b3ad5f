// Match plan files: the tree form written and read, the older line form read.
#include "unified/schedule/Matches.h"

#include "platform/Text.h"
#include "unified/core/Tree.h"
#include "unified/core/indexedLeaves.h"
#include "unified/core/numberText.h"
#include "unified/core/rxerrors.h"
#include "unified/core/textFile.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <string_view>
#include <type_traits>
#include <vector>

namespace {

const char* const kVersion = "*2.1";
// Characters the line form takes of a line.
constexpr std::size_t kCourtLineLimit = 255;
constexpr std::size_t kPlayerLineLimit = 63;
constexpr std::size_t kBoxLineLimit = 15;
constexpr std::size_t kNameLimit = 30;

// The first character of a text (all of its bytes); empty for an empty text.
std::string_view FirstChar(std::string_view text) {
    std::size_t n = 1;
    while (n < text.size() && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80)
        ++n;
    return text.substr(0, std::min(n, text.size()));
}

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Up to `count` whole decimal numbers from the start of a line, the way the
// older writer's reader took them: white space before each, a sign, digits;
// reading stops at the first that is not there. Returns how many were read.
int LeadingNumbers(std::string_view line, std::int64_t* values, int count) {
    std::size_t at = 0;
    for (int i = 0; i < count; ++i) {
        while (at < line.size() && IsSpace(line[at]))
            ++at;
        bool negative = false;
        if (at < line.size() && (line[at] == '-' || line[at] == '+')) negative = line[at++] == '-';
        const std::size_t digits = at;
        std::int64_t value = 0;
        for (; at < line.size() && line[at] >= '0' && line[at] <= '9'; ++at)
            // Past any count a plan holds; kept from overflowing.
            value = std::min<std::int64_t>(value * 10 + (line[at] - '0'), INT64_C(1) << 40);
        if (at == digits) return i;
        values[i] = negative ? -value : value;
    }
    return count;
}

// A player line of the line form: gender, delimiter, first name up to the
// delimiter, last name to the end.
short ParsePlayerLine(std::string_view line, bool genderRequired, ::Player& player) {
    if (line.empty()) return rcEmptyLine;
    const std::string_view gender = FirstChar(line);
    if (gender == "M" || gender == "m")
        player.gender = 'M';
    else if (gender == "F" || gender == "f")
        player.gender = 'F';
    else if (gender == " ") {
        if (genderRequired) return rcGenderMissing;
        player.gender = ' ';
    } else
        return rcBadData;
    std::string_view rest = line.substr(gender.size());
    const std::string_view delimiter = FirstChar(rest);
    if (delimiter.empty()) return rcBadData;
    rest.remove_prefix(delimiter.size());
    const std::size_t end = rest.find(delimiter);
    if (end == std::string_view::npos) return rcBadData;
    const std::string_view first = rest.substr(0, end);
    const std::string_view last = rest.substr(end + delimiter.size());
    if (Utf8Length(first) > kNameLimit || Utf8Length(last) > kNameLimit) return rcBadData;
    player.firstName.assign(first);
    player.lastName.assign(last);
    StripLineBreaks(player);
    return rcOk;
}

} // namespace

short Matches::Load(const std::string& path) {
    std::string firstLine;
    if (!ReadFirstLine(path, firstLine)) return rcCannotOpen;
    Reset();
    if (firstLine == "Matches{") return ReadTreeFile(path);
    if (firstLine != "*1.0") return rcBadData;
    std::string text;
    if (!ReadTextFile(path, text)) return rcCannotOpen;
    return ReadPlanV1(text);
}

short Matches::ReadTreeFile(const std::string& path) {
    Tree root;
    root.LoadFromFile(path);
    if (root.HasError()) return rcInternal;
    Reset();
    ResetTexts();
    std::string version;
    IndexedLeafPlaces notes;
    int statedPlayers = 0;
    // The counts come first: the nodes they size may not come before them,
    // nor may a count change once a node it sizes was read.
    bool courtsRead = false, roundsRead = false, typesRead = false, notationsRead = false;
    int boxesRead = 0;
    short code = rcOk;
    const auto number = [&code](const Tree& leaf, auto& value, std::int64_t least,
                                std::int64_t most) {
        std::int64_t v = 0;
        if (!ParseNumber(leaf.Value(), v) || v < least || v > most)
            code = rcBadData;
        else
            value = static_cast<std::remove_reference_t<decltype(value)>>(v);
    };
    while (code == rcOk) {
        Tree* child = root.NextChild();
        if (child == nullptr) break;
        const std::string& value = child->Value();
        const char key = child->Name().empty() ? '\0' : child->Name()[0];
        switch (key) {
        case 'v':
            version = value;
            break;
        case 'a':
            number(*child, scheduleType, INT16_MIN, INT16_MAX);
            break;
        case 'o':
            // Written signed; an older writer's unsigned word is the same bits.
            number(*child, options, INT32_MIN, UINT32_MAX);
            break;
        case 'p':
            number(*child, disparityThreshold, INT32_MIN, INT32_MAX);
            break;
        case 'y':
            number(*child, diversityLimit, INT32_MIN, INT32_MAX);
            break;
        case 'c': {
            int count = 0;
            number(*child, count, 0, INT32_MAX);
            courts = static_cast<std::int16_t>(count <= MaxCourts ? count : 0);
            if (count > MaxCourts || typesRead || boxesRead > 0) code = rcBadData;
            courtsRead = true;
            break;
        }
        case 'r': {
            int count = 0;
            number(*child, count, 0, INT32_MAX);
            if (count > MaxRounds || notationsRead || boxesRead > 0)
                code = rcBadData;
            else
                rounds = static_cast<std::int16_t>(count);
            roundsRead = true;
            break;
        }
        case 'u':
            // The boxes name players up to the count.
            number(*child, statedPlayers, 0, MaxPlayers);
            if (boxesRead > 0)
                code = rcBadData;
            else if (code == rcOk)
                playerCount = static_cast<std::int16_t>(statedPlayers);
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
            reportTexts.emailSubject = value;
            break;
        case 'T':
            ReadPrintOptions(*child);
            break;
        case 'C':
            code = ReadCourtTypes(*child, courtsRead && !typesRead);
            typesRead = true;
            break;
        case 'R':
            code = ReadNotations(*child, roundsRead && !notationsRead);
            notationsRead = true;
            break;
        case 'P': {
            ::Player player;
            code = players.Count() < MaxPlayers ? ReadPlayerNode(*child, player) : short{rcBadData};
            if (code == rcOk && players.SetAt(players.Count() + 1, player) != 0) code = rcNoMemory;
            break;
        }
        case 'A': {
            // A partner before any player has no one to belong to.
            ::Player partner;
            if (players.Count() > 0 && ReadPlayerNode(*child, partner) == rcOk)
                AttachPartner(players.Count(), partner);
            break;
        }
        case 'M':
            code = ReadBoxNode(*child, boxesRead++);
            break;
        default:
            ShowDebugMessage("ERROR:  ignoring input " + std::string(FirstChar(child->Name())));
            break;
        }
    }
    if (code == rcOk &&
        (version != kVersion || statedPlayers < 1 || statedPlayers != players.Count()))
        code = rcBadData;
    return FinishLoad(code);
}

short Matches::ReadCourtTypes(Tree& node, bool expected) {
    if (!expected) return rcBadData;
    std::vector<char> types;
    types.push_back(' ');
    while (Tree* leaf = node.NextChild()) {
        if (static_cast<int>(types.size()) > courts) break;
        if (leaf->Name().empty() || leaf->Name()[0] != 'c') continue;
        if (leaf->Value() != "D" && leaf->Value() != "S") return rcBadData;
        types.push_back(leaf->Value()[0]);
    }
    if (static_cast<int>(types.size()) <= courts) return rcBadData;
    courtTypes.swap(types);
    return rcOk;
}

short Matches::ReadNotations(Tree& node, bool expected) {
    if (!expected) return rcBadData;
    std::vector<std::string> notations(static_cast<std::size_t>(rounds) + 1);
    IndexedLeafPlaces places;
    while (Tree* leaf = node.NextChild()) {
        if (leaf->Name().empty() || leaf->Name()[0] != 'r') continue;
        const int place = places.Next(leaf->Name());
        if (place >= 1 && place <= rounds) notations[place] = Utf8Cut(leaf->Value(), MaxNotation);
    }
    roundNotations.swap(notations);
    return rcOk;
}

short Matches::ReadBoxNode(Tree& node, int index) {
    if (courts < 1 || rounds < 1 || index >= courts * rounds) return rcBadData;
    if (index == 0 && boxes.Allocate(rounds, courts) != rcOk) return rcNoMemory;
    hasGrid = true;
    const int r = index / courts + 1;
    const int c = index % courts + 1;
    while (Tree* leaf = node.NextChild()) {
        int p = 0, n = 0;
        if (!ParseNumber(leaf->Name(), p) || !ParseNumber(leaf->Value(), n) ||
            PutLoadedSlot(r, c, p, n) != rcOk)
            return rcBadData;
    }
    return rcOk;
}

short Matches::PutLoadedSlot(int r, int c, int p, int n) {
    // Shuffles, swaps and genders edited after the plan was made leave boxes
    // that are not mixed in a strictly mixed plan; the file keeps them.
    const std::uint32_t kept = options;
    options &= ~std::uint32_t{StrictlyMixed};
    const short code = SetSlot(r, c, p, n);
    options = kept;
    return code;
}

short Matches::FinishLoad(short code) {
    if (code != rcOk) {
        // No count may claim more players than the list holds.
        playerCount = static_cast<std::int16_t>(std::min<int>(playerCount, players.Count()));
        return code;
    }
    // A file without the type node has doubles courts.
    courtTypes.resize(static_cast<std::size_t>(courts) + 1, 'D');
    courtTypes[0] = ' ';
    roundNotations.resize(static_cast<std::size_t>(rounds) + 1);
    if (!hasGrid) {
        if (boxes.Allocate(rounds, courts) != rcOk) return rcNoMemory;
        hasGrid = true;
    }
    state = StateSaved;
    return rcOk;
}

short Matches::ReadPlanV1(const std::string& text) {
    TextLines lines(text);
    std::string_view line;
    lines.Next(line); // the first line, already recognised
    ResetTexts();

    std::int64_t values[4] = {};
    if (!lines.Next(line) || LeadingNumbers(line, values, 3) != 3 || values[0] < INT32_MIN ||
        values[0] > UINT32_MAX || values[1] < INT32_MIN || values[1] > INT32_MAX ||
        values[2] < INT32_MIN || values[2] > INT32_MAX)
        return FinishLoad(rcBadData);
    options = static_cast<std::uint32_t>(values[0]);
    disparityThreshold = static_cast<int>(values[1]);
    diversityLimit = static_cast<int>(values[2]);

    if (!lines.Next(line)) return FinishLoad(rcBadData);
    reportTexts.heading = LineText(line, kReportTextLimit);
    for (std::string& note : reportTexts.notes) {
        if (!lines.Next(line)) return FinishLoad(rcBadData);
        note = LineText(line, kReportTextLimit);
    }

    if (!lines.Next(line)) return FinishLoad(rcBadData);
    const std::string types = Utf8Cut(line, kCourtLineLimit);
    if (types.find_first_not_of("DS") != std::string::npos) return FinishLoad(rcBadData);
    courtTypes.assign(1, ' ');
    courtTypes.insert(courtTypes.end(), types.begin(), types.end());
    courts = static_cast<std::int16_t>(types.size());

    if (!lines.Next(line) || LeadingNumbers(line, values, 1) != 1 || values[0] < 0 ||
        values[0] > MaxRounds)
        return FinishLoad(rcBadData);
    rounds = static_cast<std::int16_t>(values[0]);
    roundNotations.assign(static_cast<std::size_t>(rounds) + 1, std::string());
    for (int r = 1; r <= rounds && lines.Next(line); ++r)
        roundNotations[r] = LineText(line, MaxNotation);

    // A plan without players is no plan: its tree would not open again.
    if (!lines.Next(line) || LeadingNumbers(line, values, 1) != 1 || values[0] < 1 ||
        values[0] > MaxPlayers)
        return FinishLoad(rcBadData);
    const int count = static_cast<int>(values[0]);
    for (int i = 1; i <= count; ++i) {
        if (!lines.Next(line)) return FinishLoad(rcNotFound);
        ::Player player;
        ClearPlayerRecord(player);
        const short code =
            ParsePlayerLine(Utf8Cut(line, kPlayerLineLimit), HasOption(GenderRequired), player);
        if (code != rcOk) return FinishLoad(code);
        if (players.SetAt(i, player) != 0) return FinishLoad(rcNoMemory);
        playerCount = static_cast<std::int16_t>(i);
    }

    if (boxes.Allocate(rounds, courts) != rcOk) return FinishLoad(rcNoMemory);
    hasGrid = true;
    // Missing lines at the end leave their boxes empty.
    for (int index = 0; courts > 0 && index < rounds * courts && lines.Next(line); ++index) {
        std::int64_t numbers[4] = {};
        LeadingNumbers(Utf8Cut(line, kBoxLineLimit), numbers, 4);
        for (int p = 1; p <= 4; ++p) {
            const std::int64_t n = numbers[p - 1];
            if (n < INT32_MIN || n > INT32_MAX ||
                PutLoadedSlot(index / courts + 1, index % courts + 1, p, static_cast<int>(n)) !=
                    rcOk)
                return FinishLoad(rcBadData);
        }
    }
    return FinishLoad(rcOk);
}

bool Matches::WriteTree(Tree& root) const {
    root.AddValue("v", kVersion);
    root.AddValue("a", std::to_string(scheduleType));
    root.AddValue("o", std::to_string(static_cast<std::int32_t>(options)));
    root.AddValue("p", std::to_string(disparityThreshold));
    root.AddValue("y", std::to_string(diversityLimit));
    root.AddValue("c", std::to_string(courts));
    root.AddValue("r", std::to_string(rounds));
    WritePrintOptions(root);
    root.AddValue("h", reportTexts.heading);
    WriteNotes(root);
    root.AddValue("s", reportTexts.emailSubject);
    root.AddValue("u", std::to_string(players.Count()));
    if (Tree* node = root.AddChild("C"))
        for (int c = 1; c <= courts; ++c)
            node->AddValue("c", std::string(1, CourtType(c)));
    if (Tree* node = root.AddChild("R")) {
        std::vector<std::string> notations;
        for (int r = 1; r <= rounds; ++r)
            notations.push_back(RoundName(r));
        WriteIndexedLeaves(*node, "r", notations);
    }
    for (int p = 1; p <= players.Count(); ++p) {
        const ::Player& player = *players.Item(p);
        if (Tree* node = root.AddChild("P")) WritePlayerNode(*node, player, false);
        if (player.partner)
            if (Tree* node = root.AddChild("A")) WritePlayerNode(*node, *player.partner, false);
    }
    for (int r = 1; r <= rounds; ++r)
        for (int c = 1; c <= courts; ++c) {
            Tree* node = root.AddChild("M");
            if (node == nullptr) return false;
            for (int p = 1; p <= 4; ++p)
                node->AddValue(std::to_string(p), std::to_string(GetSlot(r, c, p)));
        }
    return IsWhole(root);
}

bool Matches::Save(const std::string& path) {
    Tree root("Matches");
    if (!WriteTree(root) || !root.SaveToFile(path)) return false;
    state = StateSaved;
    return true;
}
