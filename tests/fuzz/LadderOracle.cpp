#include "tests/fuzz/LadderOracle.h"

#include "tests/fuzz/EventOracle.h"
#include "tests/fuzz/FuzzSupport.h"
#include "tests/ladder/OnlineForm.h"
#include "unified/core/rxreport.h"
#include "unified/ladder/Ladder.h"

#include <sstream>
#include <string>
#include <vector>

namespace {

// A partner's record is kept with its texts and gender only: its file node
// holds no id and no counters.
void PutPlayer(std::ostream& out, const Player& p, bool counters) {
    out << QuotedTexts(p) << " g" << int(p.gender);
    if (counters)
        out << ' ' << p.number << ' ' << p.inactivity << ' ' << p.wins << ' ' << p.losses << ' '
            << p.ties << ' ' << p.prevPosition << ' ' << p.points;
    out << '\n';
}

// What the ladder holds that a user sees: its texts, players and results.
std::string Contents(const Ladder& ladder) {
    std::ostringstream out;
    out << ReportTextsAndPrintOptions(ladder) << Quoted(std::string(1, ladder.TypeChar())) << ' '
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

} // namespace

void CheckFileRoundTrip(Ladder& ladder) {
    CheckEventFileRoundTrip(ladder, Contents);
}

void CheckOnlineRoundTrip(Ladder& ladder) {
    std::string sent;
    ladder.SaveToText(sent);
    if (sent.empty()) Fail("a ladder that loaded gives no online text");
    Ladder online;
    const short code = online.LoadFromText(Downloaded(sent));
    if (code != rcOk) Fail("the online text does not read back: code " + std::to_string(code));
    CheckSameContents(Contents(ladder), Contents(online),
                      "the ladder read back online holds other data");
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
