#include "tests/fuzz/LadderOracle.h"

#include "tests/fuzz/FuzzSupport.h"
#include "tests/ladder/OnlineForm.h"
#include "unified/core/rxreport.h"
#include "unified/ladder/Ladder.h"

#include <sstream>
#include <string>
#include <vector>

namespace {

void PutPlayer(std::ostream& out, const Player& p) {
    for (const std::string* text :
         {&p.firstName, &p.lastName, &p.workPhone, &p.homePhone, &p.email, &p.other1, &p.other2,
          &p.address1, &p.address2, &p.city, &p.state, &p.postalCode, &p.country})
        out << '[' << *text << ']';
    out << ' ' << p.number << ' ' << p.inactivity << ' ' << p.wins << ' ' << p.losses << ' '
        << p.ties << ' ' << p.prevPosition << ' ' << p.points << '\n';
}

// What the ladder holds that a user sees: its texts, players and results,
// one field after another, so that data that moved or changed on reopening
// shows even where the saved bytes come out the same.
std::string Contents(const Ladder& ladder) {
    std::ostringstream out;
    out << '[' << ladder.Heading() << ']';
    for (int n = 1; n <= 5; ++n)
        out << '[' << ladder.Note(n) << ']';
    out << '[' << ladder.EmailSubject() << "] " << ladder.TypeChar() << ' ' << ladder.IssueNumber()
        << '\n';
    for (int n = 1; n <= ladder.PlayerCount(); ++n) {
        const Player& p = *ladder.Player(n);
        PutPlayer(out, p);
        if (p.partner) {
            out << "partner ";
            PutPlayer(out, *p.partner);
        }
    }
    for (int n = 1; n <= ladder.ResultCount(); ++n) {
        const LResult& r = *ladder.Result(n);
        out << r.winner << ' ' << r.loser << ' ' << r.issue << " [" << r.score << "][" << r.date
            << "] " << int(r.tie) << ' ' << r.winnerPartner << ' ' << r.loserPartner << " ["
            << r.winnerPos << "][" << r.loserPos << "][" << r.winnerPartnerPos << "]["
            << r.loserPartnerPos << "]\n";
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
