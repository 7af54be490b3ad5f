// Ladder files: the tree form written and read, the two older line forms
// read, the same tree as the online service's text, and the contact export.
#include "unified/ladder/Ladder.h"

#include "unified/core/numberText.h"

#include "platform/OutputFile.h"
#include "platform/Text.h"
#include "unified/core/Tree.h"
#include "unified/core/indexedLeaves.h"
#include "unified/core/textFile.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <string_view>

namespace {

const char* const kVersion = "*2.1";
// Characters of the lines the older forms' readers take.
constexpr std::size_t kPlayerLineLimit = 999;
constexpr std::size_t kResultLineLimit = 80;
constexpr std::size_t kScoreLimit = 50;
constexpr std::size_t kDateLimit = 10;
// A result's positions at entry, as the ladder writes them: 0 to 800.
constexpr std::size_t kPositionTextLimit = 3;

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool ParseInt(std::string_view text, int& value) {
    return ParseNumber(text, value);
}

// A real in the C locale that rounds to a finite 32-bit value, read as
// that value. The writer's 15 digits of the largest float lie just above it
// and so read back as it; a real too small for a float reads as zero.
bool ParseReal(std::string_view text, float& value) {
    float v = 0;
    if (ParseNumber(text, v)) {
        if (!std::isfinite(v)) return false;
        value = v;
        return true;
    }
    double wide = 0;
    if (!ParseNumber(text, wide) || !std::isfinite(wide) || std::fabs(wide) >= FLT_MIN)
        return false;
    value = std::signbit(wide) ? -0.0f : 0.0f;
    return true;
}

// Up to 15 significant digits of the value widened to double, as "%.15g"
// writes them, whatever the user's locale.
std::string RealText(float value) {
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, static_cast<double>(value),
                                      std::chars_format::general, 15);
    return std::string(text, result.ptr);
}

// A type character the tree form keeps: printable ASCII. Half a multi-byte
// character, a control byte or DEL would not come back from a file.
bool IsTypeChar(std::string_view c) {
    return c.size() == 1 && c[0] > ' ' && c[0] < 0x7F;
}

// Issue numbers a file may hold: Generate Issue counts up to the largest,
// and a posting puts results into the issue after the current one. Checked
// as they are read, so that no failed load leaves one behind to overflow.
bool IsIssueNumber(int issue) {
    return issue >= 0 && issue <= MaxIssueNumber;
}
bool IsResultIssue(int issue) {
    return issue == -1 || (issue >= 0 && issue <= MaxIssueNumber + 1);
}

// Result ids may name deleted players, but none past the id map.
bool IsResultId(int id) {
    return id >= 0 && id <= MaxLadderPlayers;
}

// The first character of a text (all of its bytes); empty for an empty text.
std::string_view FirstChar(std::string_view text) {
    std::size_t n = 1;
    while (n < text.size() && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80)
        ++n;
    return text.substr(0, std::min(n, text.size()));
}

// The words of a line, split at white space.
class Words {
public:
    explicit Words(std::string_view line) : line_(line) {}
    bool Next(std::string_view& word) {
        at_ = NextWord();
        if (at_ >= line_.size()) return false;
        const std::size_t start = at_;
        while (at_ < line_.size() && !IsSpace(line_[at_]))
            ++at_;
        word = line_.substr(start, at_ - start);
        return true;
    }
    bool Int(int& value) {
        std::string_view word;
        return Next(word) && ParseInt(word, value);
    }
    // One character after white space, which need not end a word.
    bool Character(std::string_view& c) {
        at_ = NextWord();
        if (at_ >= line_.size()) return false;
        c = FirstChar(line_.substr(at_));
        at_ += c.size();
        return true;
    }
    bool NextIsBlank() const { return at_ < line_.size() && line_[at_] == ' '; }
    bool AtEnd() const { return NextWord() >= line_.size(); }

private:
    std::size_t NextWord() const {
        std::size_t at = at_;
        while (at < line_.size() && IsSpace(line_[at]))
            ++at;
        return at;
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

std::string_view TrimBlanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// A player line of an older form: the separator, then the id and the
// texts each ended by it, then the counters separated by blanks.
short ParsePlayerLine(std::string_view line, ::Player& player, bool version2) {
    if (line.empty()) return rcEmptyLine;
    ::Player p;
    const std::string_view separator = FirstChar(line);
    std::string_view rest = line.substr(separator.size());
    std::string_view field;
    if (!NextField(rest, separator, field) || !ParseInt(TrimBlanks(field), p.number) ||
        p.number < 1 || p.number > MaxLadderPlayers)
        return rcBadData;
    std::string* const texts[] = {&p.firstName, &p.lastName,   &p.workPhone, &p.homePhone,
                                  &p.email,     &p.address1,   &p.address2,  &p.city,
                                  &p.state,     &p.postalCode, &p.country};
    const std::size_t limits[] = {30, 30, 14, 14, 100, 100, 100, 100, 100, 100, 100};
    const std::size_t count = version2 ? std::size(texts) : 4;
    for (std::size_t i = 0; i < count; ++i) {
        if (!NextField(rest, separator, field) || Utf8Length(field) > limits[i]) return rcBadData;
        texts[i]->assign(field);
    }
    Words numbers(rest);
    if (!numbers.Int(p.inactivity) || !numbers.Int(p.wins) || !numbers.Int(p.losses) ||
        !numbers.Int(p.prevPosition))
        return rcBadData;
    if (version2 && (!numbers.Int(p.points) || !numbers.Int(p.spare))) return rcBadData;
    StripLineBreaks(p);
    player = std::move(p);
    return rcOk;
}

// The next line of an older file and the player on it: 400 when there is
// no line to read (or one too long to read), 3 for an empty line, 5 for a
// bad field.
short ReadPlayerLine(TextLines& lines, ::Player& player, bool version2) {
    std::string_view line;
    if (!lines.Next(line) || Utf8Length(line) > kPlayerLineLimit) return rcNotFound;
    return ParsePlayerLine(line, player, version2);
}

short ReadLadderPlayerLineV2(TextLines& lines, ::Player& player) {
    return ReadPlayerLine(lines, player, true);
}

short ParsePlayerLineV1(TextLines& lines, ::Player& player) {
    return ReadPlayerLine(lines, player, false);
}

// A result line of an older form: the separator, the score ended by it,
// then the date, the winner's and the loser's ids and the issue.
short ParseResultLine(std::string_view line, LResult& result) {
    const std::string_view separator = FirstChar(line);
    std::string_view rest = line.substr(separator.size());
    std::string_view score;
    if (!NextField(rest, separator, score) || Utf8Length(score) > kScoreLimit) return rcBadData;
    LResult r;
    Words values(rest);
    std::string_view date;
    if (!values.Next(date) || Utf8Length(date) > kDateLimit || !values.Int(r.winner) ||
        !values.Int(r.loser) || !values.Int(r.issue))
        return rcBadData;
    r.score.assign(score);
    StripLineBreaks(r.score);
    r.date.assign(date);
    result = std::move(r);
    return rcOk;
}

// An R node into a result that starts empty (no tie, no partners): 5 for a
// text over its limit or a number that is no number.
short ReadResultNode(Tree& node, LResult& result) {
    LResult r;
    while (Tree* leaf = node.NextChild()) {
        const std::string& text = leaf->Value();
        bool read = true;
        switch (leaf->Name().empty() ? '\0' : leaf->Name()[0]) {
        case 's':
            read = Utf8Length(text) <= kScoreLimit;
            r.score = text;
            break;
        case 'd':
            read = Utf8Length(text) <= kDateLimit;
            r.date = text;
            break;
        case 'w':
            read = ParseInt(text, r.winner);
            break;
        case 'l':
            read = ParseInt(text, r.loser);
            break;
        case 'i':
            read = ParseInt(text, r.issue);
            break;
        case 't':
            r.tie = text == "1" ? 1 : 0;
            break;
        case 'x':
            read = ParseInt(text, r.winnerPartner);
            break;
        case 'z':
            read = ParseInt(text, r.loserPartner);
            break;
        case 'm':
            read = Utf8Length(text) <= kPositionTextLimit;
            r.winnerPos = text;
            break;
        case 'n':
            read = Utf8Length(text) <= kPositionTextLimit;
            r.loserPos = text;
            break;
        case 'o':
            read = Utf8Length(text) <= kPositionTextLimit;
            r.winnerPartnerPos = text;
            break;
        case 'p':
            read = Utf8Length(text) <= kPositionTextLimit;
            r.loserPartnerPos = text;
            break;
        default:
            break;
        }
        if (!read) return rcBadData;
    }
    result = std::move(r);
    return rcOk;
}

short ReadLadderSettingsNode(Tree& node, LadderSettings& settings) {
    while (Tree* leaf = node.NextChild()) {
        const char key = leaf->Name().empty() ? '\0' : leaf->Name()[0];
        if (key != 'l' && key != 'd' && key != 'p') continue;
        int value = 0;
        if (!ParseInt(leaf->Value(), value)) return rcBadData;
        if (key == 'l') settings.ladderSystem = static_cast<std::uint8_t>(value);
        if (key == 'd') settings.displayResults = static_cast<std::uint8_t>(value);
        if (key == 'p') settings.issueMask = value;
    }
    return rcOk;
}

} // namespace

short Ladder::Load(const std::string& path) {
    std::string text;
    if (!ReadTextFile(path, text)) return rcCannotOpen;
    Reset();
    TextLines lines(text);
    std::string_view first;
    if (!lines.Next(first)) return rcBadData;
    const std::string firstLine = Utf8Cut(first, kFirstLineLimit);
    if (firstLine == "*1.0") return ReadLadderV1(text, 1);
    if (firstLine == "Ladder{") return ReadTreeFile(path);
    if (firstLine == "*2.0") return ReadLadderV1(text, 2);
    return rcBadData;
}

short Ladder::ReadTreeFile(const std::string& path) {
    Tree root;
    root.LoadFromFile(path);
    if (root.HasError()) {
        SetErrorLocation();
        return rcInternal;
    }
    return LoadTree(root);
}

short Ladder::LoadTree(Tree& root) {
    Reset();
    ResetTexts();
    challengePercent = 100;
    challengePositions = -1;
    penaltyDist = 0;
    penaltyStart = 1;
    penaltyCycle = 1;
    topNoDrop = 0;
    pointsWinner = pointsLoser = pointsTie = chalWins = 0;
    perPosAdvanced = perPctAdvanced = perScoreMargin = 0;
    settings.displayResults = 0;
    settings.issueMask = 1;

    std::string version;
    IndexedLeafPlaces notes;
    // Each number read is checked; the first that is no number ends the load.
    short code = rcOk;
    const auto number = [&code](const Tree& leaf, int& value) {
        if (!ParseInt(leaf.Value(), value)) code = rcBadData;
    };
    const auto real = [&code](const Tree& leaf, float& value) {
        if (!ParseReal(leaf.Value(), value)) code = rcBadData;
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
            if (IsTypeChar(FirstChar(value))) typeChar = value[0];
            break;
        case 'o':
            number(*child, displayFlags);
            break;
        case 'r':
            number(*child, challengePercent);
            break;
        case 's':
            number(*child, challengePositions);
            break;
        case 'p':
            number(*child, penaltyDist);
            break;
        case 'y':
            number(*child, penaltyStart);
            break;
        case 'z':
            // The drop rule divides by the cycle.
            number(*child, penaltyCycle);
            penaltyCycle = std::max(penaltyCycle, 1);
            break;
        case 'd':
            number(*child, topNoDrop);
            break;
        case 'w': // points values at root level, before the M node
            number(*child, pointsWinner);
            break;
        case 'l':
            number(*child, pointsLoser);
            break;
        case 'e':
            number(*child, pointsTie);
            break;
        case 'M':
            while (Tree* leaf = child->NextChild()) {
                switch (leaf->Name().empty() ? '\0' : leaf->Name()[0]) {
                case 'w':
                    number(*leaf, pointsWinner);
                    break;
                case 'l':
                    number(*leaf, pointsLoser);
                    break;
                case 'e':
                    number(*leaf, pointsTie);
                    break;
                case 'c':
                    number(*leaf, chalWins);
                    break;
                case 'p':
                    real(*leaf, perPosAdvanced);
                    break;
                case 't':
                    real(*leaf, perPctAdvanced);
                    break;
                case 'm':
                    real(*leaf, perScoreMargin);
                    break;
                default:
                    break;
                }
            }
            break;
        case 'i':
            number(*child, scratch);
            if (code == rcOk && !IsIssueNumber(scratch)) code = rcBadData;
            if (code == rcOk) issueNumber = scratch;
            break;
        case 'a':
            number(*child, scratch);
            postedThisIssue = scratch != 0 ? 1 : 0;
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
        case 'j':
            if (Utf8Length(value) > kReportTextLimit)
                code = rcBadData;
            else
                reportTexts.emailSubject = value;
            break;
        case 'u':
            // The count is that of the P nodes; u is only checked.
            number(*child, scratch);
            break;
        case 'S':
            code = ReadLadderSettingsNode(*child, settings);
            break;
        case 'P': {
            ::Player player;
            code = ReadPlayerNode(*child, player);
            if (code == rcOk) code = StoreLoadedPlayer(player);
            break;
        }
        case 'A': {
            ::Player partner;
            if (playerCount > 0 && ReadPlayerNode(*child, partner) == rcOk)
                AttachPartner(playerCount, partner);
            break;
        }
        case 'R': {
            if (resultCount >= MaxLadderResults) break;
            LResult r;
            code = ReadResultNode(*child, r);
            if (code == rcOk) code = StoreLoadedResult(r);
            break;
        }
        default:
            break;
        }
    }
    if (code == rcOk && version != kVersion) code = rcBadData;
    return FinishLoad(code);
}

short Ladder::ReadLadderV1(const std::string& text, int version) {
    const bool version2 = version == 2;
    TextLines lines(text);
    std::string_view line;
    lines.Next(line); // the first line, already recognised

    // The options line: the type, the display flags, the challenge percent,
    // the drop distance and start, and in the later form the points for a
    // win and a loss when a blank follows.
    if (!lines.Next(line)) return FinishLoad(rcBadData);
    Words options(line);
    std::string_view type;
    if (!options.Character(type) || !options.Int(displayFlags) || !options.Int(challengePercent) ||
        !options.Int(penaltyDist) || !options.Int(penaltyStart))
        return FinishLoad(rcBadData);
    // Any other type reads as singles.
    typeChar = IsTypeChar(type) ? type[0] : 'S';
    challengePositions = -1;
    if (version2 && options.NextIsBlank() && !options.AtEnd() &&
        (!options.Int(pointsWinner) || !options.Int(pointsLoser)))
        return FinishLoad(rcBadData);

    int issue = 0;
    if (!lines.Next(line) || !Words(line).Int(issue) || !IsIssueNumber(issue))
        return FinishLoad(rcBadData);
    issueNumber = issue;
    std::string* const texts[] = {&reportTexts.heading,  &reportTexts.notes[0],
                                  &reportTexts.notes[1], &reportTexts.notes[2],
                                  &reportTexts.notes[3], &reportTexts.notes[4]};
    for (std::string* text : texts)
        if (lines.Next(line)) *text = LineText(line, kReportTextLimit);
    int count = 0;
    if (!lines.Next(line) || !Words(line).Int(count)) return FinishLoad(rcBadData);

    for (int i = 1; i <= count; ++i) {
        ::Player player;
        short code =
            version2 ? ReadLadderPlayerLineV2(lines, player) : ParsePlayerLineV1(lines, player);
        if (code == rcNotFound) SetErrorLocation();
        if (code == rcOk) code = StoreLoadedPlayer(player);
        if (code != rcOk) return FinishLoad(code);
    }

    while (resultCount < MaxLadderResults && lines.Next(line)) {
        if (line.empty()) continue;
        LResult r;
        short code = ParseResultLine(Utf8Cut(line, kResultLineLimit), r);
        if (code == rcOk) code = StoreLoadedResult(r);
        if (code != rcOk) return FinishLoad(code);
    }
    return FinishLoad(rcOk);
}

short Ladder::StoreLoadedPlayer(const ::Player& player) {
    // Two players with one id would share a place in the id map.
    if (player.number < 1 || player.number > MaxLadderPlayers || positionOfId[player.number] != 0)
        return rcBadData;
    if (players.SetAt(playerCount + 1, player) != 0) {
        SetErrorLocation();
        return rcInternal;
    }
    ++playerCount;
    positionOfId[player.number] = playerCount;
    return rcOk;
}

short Ladder::StoreLoadedResult(const LResult& result) {
    if (!IsResultId(result.winner) || !IsResultId(result.loser) ||
        !IsResultId(result.winnerPartner) || !IsResultId(result.loserPartner) ||
        !IsResultIssue(result.issue))
        return rcBadData;
    if (results.SetAt(resultCount + 1, result) != 0) {
        SetErrorLocation();
        return rcInternal;
    }
    ++resultCount;
    return rcOk;
}

short Ladder::FinishLoad(short code) {
    int highest = 0;
    for (int p = 1; p <= playerCount; ++p)
        highest = std::max(highest, players.Item(p)->number);
    for (int n = 1; n <= resultCount; ++n) {
        const LResult& r = *results.Item(n);
        highest = std::max({highest, r.winner, r.loser, r.winnerPartner, r.loserPartner});
    }
    maxId = static_cast<std::int16_t>(std::min(highest, MaxLadderPlayers));
    RebuildPositionMap();
    if (code == rcOk) state = StateSaved;
    return code;
}

bool Ladder::WriteTree(Tree& root) const {
    root.AddValue("v", kVersion);
    root.AddValue("t", std::string(1, typeChar));
    root.AddValue("o", std::to_string(displayFlags));
    root.AddValue("r", std::to_string(challengePercent));
    root.AddValue("s", std::to_string(challengePositions));
    root.AddValue("p", std::to_string(penaltyDist));
    root.AddValue("y", std::to_string(penaltyStart));
    root.AddValue("z", std::to_string(penaltyCycle));
    root.AddValue("d", std::to_string(topNoDrop));
    if (Tree* points = root.AddChild("M")) {
        points->AddValue("w", std::to_string(pointsWinner));
        points->AddValue("l", std::to_string(pointsLoser));
        points->AddValue("e", std::to_string(pointsTie));
        points->AddValue("c", std::to_string(chalWins));
        points->AddValue("p", RealText(perPosAdvanced));
        points->AddValue("t", RealText(perPctAdvanced));
        points->AddValue("m", RealText(perScoreMargin));
    }
    root.AddValue("i", std::to_string(issueNumber));
    root.AddValue("a", postedThisIssue != 0 ? "1" : "0");
    WritePrintOptions(root);
    root.AddValue("h", reportTexts.heading);
    WriteNotes(root);
    root.AddValue("j", reportTexts.emailSubject);
    root.AddValue("u", std::to_string(playerCount));
    if (Tree* node = root.AddChild("S")) {
        node->AddValue("l", std::to_string(settings.ladderSystem));
        node->AddValue("d", std::to_string(settings.displayResults));
        node->AddValue("p", std::to_string(settings.issueMask));
    }
    for (int p = 1; p <= playerCount; ++p) {
        const ::Player& player = *players.Item(p);
        if (Tree* node = root.AddChild("P")) WritePlayerNode(*node, player, true);
        if (player.partner)
            if (Tree* node = root.AddChild("A")) WritePlayerNode(*node, *player.partner, false);
    }
    for (int n = 1; n <= resultCount; ++n) {
        const LResult& r = *results.Item(n);
        Tree* node = root.AddChild("R");
        if (node == nullptr) break;
        node->AddValue("s", r.score);
        node->AddValue("d", r.date);
        node->AddValue("w", std::to_string(r.winner));
        node->AddValue("l", std::to_string(r.loser));
        node->AddValue("i", std::to_string(r.issue));
        if (r.tie) node->AddValue("t", "1");
        node->AddValue("x", std::to_string(r.winnerPartner));
        node->AddValue("z", std::to_string(r.loserPartner));
        node->AddValue("m", r.winnerPos);
        node->AddValue("n", r.loserPos);
        node->AddValue("o", r.winnerPartnerPos);
        node->AddValue("p", r.loserPartnerPos);
    }
    return IsWhole(root);
}

bool Ladder::Save(const std::string& path) {
    Tree root("Ladder");
    if (!WriteTree(root) || !root.SaveToFile(path)) return false;
    state = StateSaved;
    return true;
}

void Ladder::SaveToText(std::string& text) {
    Tree root("Ladder");
    if (!WriteTree(root)) {
        // Half a ladder sent would replace the whole one kept online.
        text.clear();
        return;
    }
    root.SaveToFormText(text);
}

short Ladder::LoadFromText(const std::string& text) {
    std::string rest = text;
    Tree root;
    root.LoadFromText(rest);
    if (root.HasError()) {
        SetErrorLocation();
        return rcInternal;
    }
    // Read aside, so that a text that fails part-way leaves the ladder and
    // its file as they were. What a text without those leaves does not set
    // stays as it is here.
    Ladder loaded;
    if (loaded.state == StateUnusable) return rcNoMemory;
    loaded.typeChar = typeChar;
    loaded.displayFlags = displayFlags;
    loaded.postedThisIssue = postedThisIssue;
    loaded.printOptions = printOptions;
    loaded.settings.ladderSystem = settings.ladderSystem;
    const short code = loaded.LoadTree(root);
    if (code == rcOk) TakeOver(loaded);
    return code;
}

void Ladder::TakeOver(Ladder& loaded) {
    printOptions = loaded.printOptions;
    state = loaded.state;
    playerCount = loaded.playerCount;
    players = std::move(loaded.players);
    reportTexts = std::move(loaded.reportTexts);
    typeChar = loaded.typeChar;
    displayFlags = loaded.displayFlags;
    challengePercent = loaded.challengePercent;
    challengePositions = loaded.challengePositions;
    penaltyDist = loaded.penaltyDist;
    penaltyStart = loaded.penaltyStart;
    penaltyCycle = loaded.penaltyCycle;
    topNoDrop = loaded.topNoDrop;
    pointsWinner = loaded.pointsWinner;
    pointsLoser = loaded.pointsLoser;
    pointsTie = loaded.pointsTie;
    chalWins = loaded.chalWins;
    perPosAdvanced = loaded.perPosAdvanced;
    perPctAdvanced = loaded.perPctAdvanced;
    perScoreMargin = loaded.perScoreMargin;
    issueNumber = loaded.issueNumber;
    postedThisIssue = loaded.postedThisIssue;
    maxId = loaded.maxId;
    resultCount = loaded.resultCount;
    results = std::move(loaded.results);
    positionOfId.swap(loaded.positionOfId);
    settings = loaded.settings;
    loaded.playerCount = 0;
    loaded.resultCount = 0;
}

bool Ladder::ExportPlayersVer1(const std::string& path) {
    OutputFile out;
    if (!out.Open(path)) return false;
    std::string text;
    for (int p = 1; p <= playerCount; ++p) {
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
