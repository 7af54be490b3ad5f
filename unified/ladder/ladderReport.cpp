// The ladder report: header and notes, the results of the issues the mask
// asks for, the standings with their optional columns, and the legend.

#include "unified/ladder/Ladder.h"

#include "platform/Clock.h"
#include "unified/core/rxreport.h"

#include <algorithm>
#include <cstdio>

namespace {

const std::string kDateSample = "99/99/99 ";
// Continuation lines of a long result line start under this.
const std::string kWrapSample = "99/99/99 00";

std::string Number(long long n) {
    return std::to_string(n);
}

std::string FullName(const Player& p) {
    return p.firstName + " " + p.lastName;
}

} // namespace

// Widths and choices of the standings, fixed for the whole table.
struct Ladder::ReportColumns {
    bool change = true; // the position-change column
    bool winLoss = false;
    bool oneLine = false;
    int pos = 0;
    int chg = 0;
    int played = 0; // total matches, or the two halves of W-L
    int score = 0;  // points or periods of inactivity
    int gap = 0;
    int name = 0;
    int phone = 0;

    // Empty cells up to the name column, for a continuation row.
    void Lead(rxReport& report) const {
        report.WriteCell("", pos, rxReport::AlignLeft);
        if (change) report.WriteCell("", chg, rxReport::AlignLeft);
        if (winLoss) {
            report.WriteCell("", played / 2, rxReport::AlignLeft);
            report.WriteCell("", played / 2, rxReport::AlignLeft);
        } else {
            report.WriteCell("", played, rxReport::AlignLeft);
        }
        report.WriteCell("", score, rxReport::AlignLeft);
        report.WriteCell("", gap, rxReport::AlignLeft);
    }
};

void Ladder::PrintReport(rxReport& report) {
    ReportHeader(report);
    ReportNameWidth(report);
    if (displayFlags & ResultsBottom) {
        ReportStandings(report);
        ReportResults(report);
    } else {
        ReportResults(report);
        ReportStandings(report);
    }
    report.NeedLines(3);
    report.WriteRule();
    ReportLegend(report);
    report.Close();
}

void Ladder::ReportHeader(rxReport& report) const {
    report.WriteLine(Heading().empty() ? "Challenge Ladder Report" : Heading());
    const std::tm today = LocalTime(ClockNow());
    char date[40];
    std::snprintf(date, sizeof date, "%02d/%02d/%04d", today.tm_mon + 1, today.tm_mday,
                  today.tm_year + 1900);
    report.WriteLine("Issue #" + Number(issueNumber) + (postedThisIssue == 1 ? " PLUS" : "") +
                     "  --  " + Number(playerCount) + " members  --  " + date);
    const int range = ChallengeRange();
    if (range > 0)
        report.WriteLine("Valid challenge range:  " + Number(range) + " position" +
                         (range >= 2 ? "s" : ""));
    report.WriteRule();
    for (int n = 1; n <= 5; ++n)
        if (!Note(n).empty()) report.WriteLine(Note(n));
}

// As wide as the widest full name, players and partners alike, but at most
// a third of the page.
void Ladder::ReportNameWidth(rxReport& report) {
    int widest = 0;
    for (int n = 1; n <= playerCount; ++n) {
        const ::Player* p = Player(n);
        widest = std::max(widest, report.TextWidth(FullName(*p)));
        if (p->partner) widest = std::max(widest, report.TextWidth(FullName(*p->partner)));
    }
    reportNameWidth = std::min(widest, static_cast<int>(report.PageWidth() * 0.33));
}

void Ladder::ReportResults(rxReport& report) {
    report.WriteRule();
    const int mask = settings.issueMask;
    const long long current = CountResultsOfIssue(issueNumber);
    const long long next = CountResultsOfIssue(issueNumber + 1);
    const long long pending = PendingResultCount();
    long long count = 0;
    if (mask & CurrentIssue) count += current;
    if (mask & NextIssue) count += next + pending;
    if (mask & PreviousIssues) count += resultCount - current - next - pending;
    if (count == 0) {
        report.WriteLine("There are no RESULTS for this issue.");
        return;
    }
    report.WriteLine("RESULTS");
    report.BeginTable(false);
    for (reportResult = 1; reportResult <= resultCount; ++reportResult) {
        const int issue = results.Item(reportResult)->issue;
        if (((mask & CurrentIssue) && issue == issueNumber) ||
            ((mask & NextIssue) && (issue == issueNumber + 1 || issue == -1)) ||
            ((mask & PreviousIssues) && issue != -1 && issue < issueNumber))
            ReportResultLine(report);
    }
    report.EndTable();
}

void Ladder::ReportResultLine(rxReport& report) const {
    const LResult* r = Result(reportResult);
    if (r == nullptr) {
        report.WriteLine("error?");
        return;
    }
    const bool positions = (displayFlags & PreMatchPos) != 0;
    const auto side = [&](int id, int partnerId, const std::string& pos,
                          const std::string& partnerPos) {
        std::string text = ReportSide(report, id, partnerId);
        if (positions) {
            const bool partner = partnerId != 0 && PositionOfId(partnerId) != 0;
            text += " (" + pos + (partner ? "/" + partnerPos : "") + ")";
        }
        return text;
    };
    report.WriteCellFit(ResultDate(r->date, true), kDateSample, rxReport::AlignLeft);
    report.WriteWrapped(side(r->winner, r->winnerPartner, r->winnerPos, r->winnerPartnerPos) +
                            (r->tie ? " TIE " : " d. ") +
                            side(r->loser, r->loserPartner, r->loserPos, r->loserPartnerPos) + " " +
                            r->score,
                        kWrapSample);
}

// A partner who has left the ladder is no longer named.
std::string Ladder::ReportSide(rxReport& report, int id, int partnerId) const {
    const ::Player* partner = partnerId == 0 ? nullptr : Player(PositionOfId(partnerId));
    const ::Player* p = Player(PositionOfId(id));
    if (p == nullptr) return partner ? "*Deleted*/" + Initialled(*partner) : "*Deleted*";
    if (partner) return Initialled(*p) + "/" + Initialled(*partner);
    if (IsDoubles() && p->partner) return Initialled(*p) + "/" + Initialled(*p->partner);
    const std::string name = FullName(*p);
    return report.TextWidth(name) > reportNameWidth ? Initialled(*p) : name;
}

void Ladder::ReportStandings(rxReport& report) {
    if (report.LinesLeft() <= 3) report.NewPage();
    ReportColumns c;
    c.change = (displayFlags & NoPosChange) == 0;
    c.winLoss = (displayFlags & ShowWinLoss) != 0;
    c.oneLine = (displayFlags & AllOneLine) != 0;
    c.pos = report.TextWidth("Pos");
    c.chg = report.TextWidth(" Chg");
    c.played = report.TextWidth(c.winLoss ? "00W-L0" : "mTM");
    c.score = report.TextWidth(IsPointsSystem() ? " 0000" : " PI");
    c.gap = report.TextWidth("m");
    c.name = report.TextWidth("n") + reportNameWidth;
    c.phone = static_cast<int>(report.PageWidth() * 0.21);

    report.WriteRule();
    report.BeginTable(false);
    report.WriteCell("Pos", c.pos, rxReport::AlignRight);
    if (c.change) report.WriteCell("Chg", c.chg, rxReport::AlignRight);
    if (c.winLoss) {
        report.WriteCell("W", c.played / 2, rxReport::AlignRight);
        report.WriteCell("-L", c.played / 2, rxReport::AlignLeft);
    } else {
        report.WriteCell(" TM", c.played, rxReport::AlignRight);
    }
    report.WriteCell(IsPointsSystem() ? "Pts" : "PI", c.score, rxReport::AlignRight);
    report.WriteCell("", c.gap, rxReport::AlignLeft);
    report.WriteCell("Name", c.name, rxReport::AlignLeft);
    report.WriteCell("Phone1", c.phone, rxReport::AlignLeft);
    if (c.oneLine) {
        report.WriteCell("Phone2", c.phone, rxReport::AlignLeft);
        report.EndRow("E-Mail");
    } else {
        report.EndRow("Phone2");
    }
    for (reportPlayer = 1; reportPlayer <= playerCount; ++reportPlayer)
        ReportPlayer(report, c);
    report.EndTable();
}

void Ladder::ReportPlayer(rxReport& report, const ReportColumns& c) const {
    const ::Player& p = *Player(reportPlayer);
    if (!p.email.empty() && !c.oneLine) report.NeedLines(2);
    report.WriteCell(Number(reportPlayer), c.pos, rxReport::AlignRight);
    if (c.change) {
        const long long risen = static_cast<long long>(p.prevPosition) - reportPlayer;
        report.WriteCell((risen > 0 ? "+" : "") + Number(risen), c.chg, rxReport::AlignRight);
    }
    if (c.winLoss) {
        // W-L, or W-L-T around the same dash.
        const bool ties = p.ties > 0;
        report.WriteCell(Number(p.wins) + (ties ? "-" : ""), c.played / 2, rxReport::AlignRight);
        report.WriteCell(ties ? Number(p.losses) + "-" + Number(p.ties) : "-" + Number(p.losses),
                         c.played / 2, rxReport::AlignLeft);
    } else {
        report.WriteCell(Number(static_cast<long long>(p.wins) + p.losses + p.ties), c.played,
                         rxReport::AlignRight);
    }
    report.WriteCell(Number(IsPointsSystem() ? p.points : std::max(p.inactivity, 0)), c.score,
                     rxReport::AlignRight);
    report.WriteCell("", c.gap, rxReport::AlignLeft);
    ReportNameAndContacts(report, c, p);
    if (IsDoubles() && p.partner) {
        c.Lead(report);
        ReportNameAndContacts(report, c, *p.partner);
    }
}

void Ladder::ReportNameAndContacts(rxReport& report, const ReportColumns& c,
                                   const ::Player& p) const {
    std::string name = FullName(p);
    if (report.TextWidth(name) > reportNameWidth) name = Initialled(p);
    if (c.oneLine) {
        report.WriteCell(name, c.name, rxReport::AlignLeft);
        report.WriteCell(p.workPhone, c.phone, rxReport::AlignLeft);
        report.WriteCell(p.homePhone, c.phone, rxReport::AlignLeft);
        if (!p.email.empty()) report.WriteMailtoCell(p.email, p.email + "  ");
        for (const std::string* other : {&p.other1, &p.other2})
            if (!other->empty()) report.WriteCellFit(*other, *other + "  ", rxReport::AlignLeft);
        report.EndRow("");
        return;
    }
    // A name too wide even when shortened takes a row of its own.
    const bool ownRow = report.TextWidth(name) > reportNameWidth;
    if (ownRow) {
        report.EndRow(name);
        c.Lead(report);
    }
    report.WriteCell(ownRow ? "" : name, c.name, rxReport::AlignLeft);
    report.WriteCell(p.workPhone, c.phone, rxReport::AlignLeft);
    report.EndRow(p.homePhone);
    if (!p.email.empty()) {
        c.Lead(report);
        report.EndRowMailto(p.email);
    }
    for (const std::string* other : {&p.other1, &p.other2}) {
        if (other->empty()) continue;
        c.Lead(report);
        report.EndRow(*other);
    }
}

void Ladder::ReportLegend(rxReport& report) const {
    const int key = report.TextWidth("KEY:  ");
    const int meaning = std::max(report.TextWidth("Pos = current position "),
                                 report.TextWidth("Chg = change in position ")) +
                        report.TextWidth("m");
    const bool change = (displayFlags & NoPosChange) == 0;
    report.BeginTable(false);
    report.WriteCell("KEY:", key, rxReport::AlignLeft);
    report.WriteCell("Pos = current position", meaning, rxReport::AlignLeft);
    report.EndRow((displayFlags & ShowWinLoss) ? "W = wins   L = losses"
                                               : "TM = total matches played");
    report.WriteCell("", key, rxReport::AlignLeft);
    report.WriteCell(change ? "Chg = change in position" : "", meaning, rxReport::AlignLeft);
    report.EndRow(IsPointsSystem() ? "Pts = total points" : "PI = periods of inactivity");
    report.EndTable();
}
