#include "tests/fuzz/LadderOracle.h"

#include "tests/fuzz/FuzzSupport.h"
#include "tests/ladder/OnlineForm.h"
#include "unified/core/rxreport.h"
#include "unified/ladder/Ladder.h"

#include <sstream>
#include <string>
#include <vector>

namespace {

// A text in brackets, its control characters as "\xNN", so that every
// difference shows on one line.
std::string Quoted(const std::string& text) {
    std::string out = "[";
    for (unsigned char c : text) {
        if (c < 0x20 || c == 0x7F) {
            const char* const hex = "0123456789abcdef";
            out += "\\x";
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "]";
}

// A partner's record is kept with its texts and gender only: its file node
// holds no id and no counters.
void PutPlayer(std::ostream& out, const Player& p, bool counters) {
    for (const std::string* text :
         {&p.firstName, &p.lastName, &p.workPhone, &p.homePhone, &p.email, &p.other1, &p.other2,
          &p.address1, &p.address2, &p.city, &p.state, &p.postalCode, &p.country})
        out << Quoted(*text);
    out << " g" << int(p.gender);
    if (counters)
        out << ' ' << p.number << ' ' << p.inactivity << ' ' << p.wins << ' ' << p.losses << ' '
            << p.ties << ' ' << p.prevPosition << ' ' << p.points;
    out << '\n';
}

// What the ladder holds that a user sees: its texts, players and results,
// one field after another, so that data that moved or changed on reopening
// shows even where the saved bytes come out the same.
std::string Contents(const Ladder& ladder) {
    std::ostringstream out;
    out << Quoted(ladder.Heading());
    for (int n = 1; n <= 5; ++n)
        out << Quoted(ladder.Note(n));
    out << Quoted(ladder.EmailSubject()) << ' ' << Quoted(std::string(1, ladder.TypeChar())) << ' '
        << ladder.IssueNumber() << '\n';
    for (int n = 1; n <= ladder.PlayerCount(); ++n) {
        const Player& p = *ladder.Player(n);
        PutPlayer(out, p, true);
        if (p.partner) {
            out << "partner ";
            PutPlayer(out, *p.partner, false);
        }
    }
    for (int n = 1; n <= ladder.ResultCount(); ++n) {
        const LResult& r = *ladder.Result(n);
        out << r.winner << ' ' << r.loser << ' ' << r.issue << ' ' << Quoted(r.score)
            << Quoted(r.date) << ' ' << int(r.tie) << ' ' << r.winnerPartner << ' '
            << r.loserPartner << ' ' << Quoted(r.winnerPos) << Quoted(r.loserPos)
            << Quoted(r.winnerPartnerPos) << Quoted(r.loserPartnerPos) << '\n';
    }
    return out.str();
}

// The first line of the contents that differs, before and after.
std::string FirstDifference(const std::string& before, const std::string& after) {
    std::istringstream a(before);
    std::istringstream b(after);
    std::string lineA;
    std::string lineB;
    while (true) {
        const bool moreA = static_cast<bool>(std::getline(a, lineA));
        const bool moreB = static_cast<bool>(std::getline(b, lineB));
        if (!moreA && !moreB) return {};
        if (!moreA) lineA = "(nothing)";
        if (!moreB) lineB = "(nothing)";
        if (lineA != lineB) return "\n  before: " + lineA + "\n  after:  " + lineB;
    }
}

void CheckSameContents(const Ladder& before, const Ladder& after, const std::string& rule) {
    const std::string a = Contents(before);
    const std::string b = Contents(after);
    if (a != b) Fail(rule + FirstDifference(a, b));
}

} // namespace

void CheckFileRoundTrip(Ladder& ladder) {
    const std::string first = ScratchFile("first.lad");
    const std::string second = ScratchFile("second.lad");
    if (!ladder.Save(first)) Fail("a ladder that loaded does not save");
    Ladder again;
    const short code = again.Load(first);
    if (code != rcOk) Fail("the saved ladder does not open again: code " + std::to_string(code));
    CheckSameContents(ladder, again, "the reopened ladder holds other data");
    if (!again.Save(second)) Fail("the reopened ladder does not save");
    if (ReadBytes(first) != ReadBytes(second)) Fail("the second save differs from the first");
}

void CheckOnlineRoundTrip(Ladder& ladder) {
    std::string sent;
    ladder.SaveToText(sent);
    if (sent.empty()) Fail("a ladder that loaded gives no online text");
    Ladder online;
    const short code = online.LoadFromText(Downloaded(sent));
    if (code != rcOk) Fail("the online text does not read back: code " + std::to_string(code));
    CheckSameContents(ladder, online, "the ladder read back online holds other data");
    std::string again;
    online.SaveToText(again);
    if (again != sent) Fail("the online text read back gives another text");
}

void CheckLadderCommands(Ladder& ladder) {
    {
        std::vector<std::string> lines;
        rxReport report(lines);
        ladder.PrintReport(report);
    }
    if (ladder.PostResults(false) == rcOk) CheckFileRoundTrip(ladder);
    if (ladder.GenerateIssue() == rcOk) CheckFileRoundTrip(ladder);
    std::vector<std::string> lines;
    rxReport report(lines);
    ladder.PrintReport(report);
}
