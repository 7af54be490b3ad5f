// The plan report: the match chart page by page as a grid of boxes, the
// court each player plays on in each round, and the list that maps player
// numbers to names and contact data.
#include "unified/schedule/Matches.h"

#include "platform/Text.h"
#include "unified/core/rxreport.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// The chart's page for the purpose of its arithmetic, in characters.
constexpr int kPageColumns = 70;
constexpr int kPageLines = 50;
constexpr int kCellLines = 3;
constexpr int kNamesCellWidth = 59;
const std::string kNumberSample = " 9999.";

// Characters of n written in decimal.
int DigitCount(int n) {
    char text[16];
    return std::snprintf(text, sizeof text, "%d", n);
}

// Characters `from` up to `from + count` of a text, as many as it has.
std::string Middle(const std::string& text, std::size_t from, std::size_t count) {
    const std::size_t length = Utf8Length(text);
    if (from >= length) return {};
    const std::string head = Utf8Cut(text, from);
    return Utf8Cut(std::string_view(text).substr(head.size()), count);
}

// The name order reads the current event's players; the report may be
// written for a plan that is not the current event.
class CurrentEventAs {
public:
    explicit CurrentEventAs(RXEvent* event) : saved_(CurrentEvent) { CurrentEvent = event; }
    ~CurrentEventAs() { CurrentEvent = saved_; }
    CurrentEventAs(const CurrentEventAs&) = delete;
    CurrentEventAs& operator=(const CurrentEventAs&) = delete;

private:
    RXEvent* saved_;
};

// "A. Baker", or the last name alone when there is no first name.
std::string Initialled(const ::Player& player) {
    if (player.firstName.empty()) return player.lastName;
    return Utf8Cut(player.firstName, 1) + ". " + player.lastName;
}

} // namespace

void Matches::PrintReport(rxReport& report) {
    if (courts <= 0 || rounds <= 0) return;
    ReportWork& w = reportWork;
    w.names = HasOption(ShowNames) ? 1 : 0;
    w.across = (HasOption(OptimizeLayout) && rounds < courts) || w.names ? 1 : 0;
    w.page = 1;
    w.numberWidth = DigitCount(playerCount);
    w.cellWidth = w.names ? kNamesCellWidth : 2 * w.numberWidth + 3;
    w.columnsPerPage = std::max((kPageColumns - (w.across ? 10 : 14)) / w.cellWidth, 1);
    w.rowsPerPage = std::max((kPageLines - 11) / kCellLines - (w.across ? 1 : 0), 1);
    if (w.across) {
        w.columnsPerPage = std::min<int>(w.columnsPerPage, rounds);
        w.rowsPerPage = std::min<int>(w.rowsPerPage, courts);
    } else {
        w.columnsPerPage = std::min<int>(w.columnsPerPage, courts);
        w.rowsPerPage = std::min<int>(w.rowsPerPage, rounds);
    }

    // Each band of rounds goes across all courts before the next band.
    int baseRound = 0, baseCourt = 0;
    while (baseRound < rounds) {
        PrintChartPage(report, baseRound, baseCourt);
        ++w.page;
        baseCourt += w.across ? w.rowsPerPage : w.columnsPerPage;
        if (baseCourt >= courts) {
            baseCourt = 0;
            baseRound += w.across ? w.columnsPerPage : w.rowsPerPage;
        }
    }
    PrintCourtAssignments(report);
    if (!w.names) PrintPlayerNumbers(report);
    report.Close();
}

void Matches::PrintPageHeader(rxReport& report, bool notes) {
    report.WriteLine((Heading().empty() ? std::string("Rostrix Report") : Heading()) + " - page " +
                     std::to_string(reportWork.page));
    report.WriteRule();
    if (!notes) return;
    bool any = false;
    for (int n = 1; n <= 5; ++n)
        if (!Note(n).empty()) {
            report.WriteLine(Note(n));
            any = true;
        }
    if (any) report.WriteRule();
}

std::string Matches::BoxSideText(int first, int second) const {
    const ReportWork& w = reportWork;
    if (w.names) {
        const auto name = [&](int n) {
            const ::Player* p = Player(n);
            return p == nullptr ? std::string(" ") : p->firstName + " " + p->lastName;
        };
        return " " + name(first) + (second != 0 ? " & " + name(second) : std::string());
    }
    char text[64];
    if (second != 0)
        std::snprintf(text, sizeof text, "  %*.0d&%*.0d", w.numberWidth, first, w.numberWidth,
                      second);
    else
        std::snprintf(text, sizeof text, "    %*.0d%*s", w.numberWidth, first, w.numberWidth - 1,
                      "");
    return text;
}

void Matches::PrintChartPage(rxReport& report, int baseRound, int baseCourt) {
    const ReportWork& w = reportWork;
    if (w.page > 1) report.NewPage();
    PrintPageHeader(report, true);
    // Only the rounds and courts that exist get a row or a column.
    const int roundsShown =
        std::min(w.across ? w.columnsPerPage : w.rowsPerPage, static_cast<int>(rounds) - baseRound);
    const int courtsShown =
        std::min(w.across ? w.rowsPerPage : w.columnsPerPage, static_cast<int>(courts) - baseCourt);
    const int gridRows = std::min((w.across ? courtsShown : roundsShown) + 1, 17);
    const int gridColumns = std::min((w.across ? roundsShown : courtsShown) + 1, 13);
    report.InitBracket(kCellLines, w.cellWidth, w.names ? 10 : 14);

    const auto box = [&](int r, int c) -> rxReport::BracketLines {
        const int p1 = GetSlot(r, c, 1), p3 = GetSlot(r, c, 3);
        if (p1 == 0 || p3 == 0) return {};
        return {BoxSideText(p1, GetSlot(r, c, 2)), BoxSideText(p3, GetSlot(r, c, 4)), "", ""};
    };
    if (w.across) {
        report.PlaceBracketText(0, 0, {"Round:", "", "", ""});
        for (int j = 1; j < gridColumns; ++j) {
            const int r = baseRound + j;
            const std::string notation = RoundName(r);
            report.PlaceBracketText(
                0, j,
                {"   " + std::to_string(r), Utf8Cut(notation, 7), Middle(notation, 7, 7), ""});
        }
        for (int i = 1; i < gridRows; ++i) {
            const int c = baseCourt + i;
            report.PlaceBracketText(i, 0, {"Court", "  " + std::to_string(c), "", ""});
            for (int j = 1; j < gridColumns; ++j)
                report.PlaceBracketText(i, j, box(baseRound + j, c));
        }
    } else {
        report.PlaceBracketText(0, 0, {"", "Court:", "", ""});
        for (int j = 1; j < gridColumns; ++j)
            report.PlaceBracketText(0, j, {"", "   " + std::to_string(baseCourt + j), "", ""});
        for (int i = 1; i < gridRows; ++i) {
            const int r = baseRound + i;
            report.PlaceBracketText(i, 0, {"Round  " + std::to_string(r), RoundName(r), "", ""});
            for (int j = 1; j < gridColumns; ++j)
                report.PlaceBracketText(i, j, box(r, baseCourt + j));
        }
    }
    report.WriteBracket(gridRows, gridColumns, false);
}

void Matches::PrintCourtAssignments(rxReport& report) {
    ReportWork& w = reportWork;
    std::vector<PlayerSortEntry> entries;
    for (int n = 1; n <= playerCount; ++n)
        entries.push_back({static_cast<std::int16_t>(n), 0});
    {
        CurrentEventAs current(this);
        std::sort(entries.begin(), entries.end(),
                  [](const auto& a, const auto& b) { return ComparePlayerEntries(a, b) < 0; });
        // Players of the same names (a loaded file may hold them) keep the
        // order among them that the exchange sort always gave, which a
        // faster sort does not.
        const auto sameNames = [](const auto& a, const auto& b) {
            return ComparePlayerEntries(a, b) == 0;
        };
        if (std::adjacent_find(entries.begin(), entries.end(), sameNames) != entries.end()) {
            for (std::size_t i = 0; i < entries.size(); ++i)
                entries[i].number = static_cast<std::int16_t>(i + 1);
            for (std::size_t i = 0; i < entries.size(); ++i)
                for (std::size_t j = i + 1; j < entries.size(); ++j)
                    if (ComparePlayerEntries(entries[i], entries[j]) > 0)
                        std::swap(entries[i], entries[j]);
        }
    }

    const int headingWidth = report.TextWidth("Round: ");
    int firstWidth = 0, lastWidth = 0, total = 0;
    NameColumnWidths(report, firstWidth, lastWidth, total);
    firstWidth += report.TextWidth("  ");
    lastWidth = std::max(lastWidth + report.TextWidth("  "), headingWidth);
    if (report.PageWidth() / 2 < total) firstWidth = report.TextWidth("WWW");
    // Each round number and court number in a column as wide as the larger
    // of the court count and the highest round, with a blank before it, so
    // that two-digit rounds beside few courts stay apart.
    const std::string sample = " " + std::to_string(std::max<int>(courts, rounds));
    const int perBand = std::clamp((kPageColumns * report.TextWidth("N") - firstWidth - lastWidth) /
                                       report.TextWidth(sample),
                                   1, static_cast<int>(rounds));

    std::vector<bool> scheduled(static_cast<std::size_t>(playerCount) + 1, true);
    if (HasOption(SkipUnsched))
        for (int n = 1; n <= playerCount; ++n)
            scheduled[n] = IsScheduled(n);
    for (int first = 1; first <= rounds; first += perBand) {
        const int last = std::min<int>(first + perBand - 1, rounds);
        report.NewPage();
        PrintPageHeader(report, false);
        ++w.page;
        report.WriteLine(" ");
        report.WriteLine("COURT ASSIGNMENTS");
        report.BeginTable(HasOption(TwoColumn) && first == 1 && last == rounds);
        report.SetTableHeading();
        report.BufferCell(" ", firstWidth, rxReport::AlignLeft);
        report.BufferCell("Round: ", lastWidth, rxReport::AlignRight);
        for (int r = first; r <= last; ++r)
            report.BufferCellFit(std::to_string(r), sample, rxReport::AlignLeft);
        report.BufferEndRow(" ");
        for (const PlayerSortEntry& entry : entries) {
            if (!scheduled[entry.number]) continue;
            const ::Player& p = *Player(entry.number);
            std::string firstName = p.firstName + " ";
            if (report.TextWidth(firstName) > firstWidth)
                firstName = Utf8Cut(p.firstName, 1) + ". ";
            report.BufferCell(firstName, firstWidth, rxReport::AlignRight);
            report.BufferCell(p.lastName, lastWidth, rxReport::AlignLeft);
            for (int r = first; r <= last; ++r) {
                const int c = CourtOfPlayer(r, entry.number);
                report.BufferCellFit(c != 0 ? std::to_string(c) : "-", sample, rxReport::AlignLeft);
            }
            report.BufferEndRow(" ");
        }
        report.EndTable();
    }
}

void Matches::PrintPlayerNumbers(rxReport& report) {
    ReportWork& w = reportWork;
    const bool twoColumn = HasOption(TwoColumn);
    const int needed = 3 + (twoColumn ? (playerCount + 1) / 2 : playerCount);
    if (report.LinesLeft() < needed) {
        report.NewPage();
        PrintPageHeader(report, false);
        ++w.page;
    }
    report.WriteLine(" ");
    report.WriteLine("PLAYER NUMBERS");
    report.WriteRule();
    report.BeginTable(twoColumn);
    const int numberWidth = report.TextWidth(kNumberSample);
    const int nameWidth = 30 * report.TextWidth("N");
    const int phoneWidth = 14 * report.TextWidth("9");
    for (int n = 1; n <= playerCount; ++n) {
        if (HasOption(SkipUnsched) && !IsScheduled(n)) continue;
        const ::Player& p = *Player(n);
        report.BufferCell(std::to_string(n) + ". ", numberWidth, rxReport::AlignRight);
        std::string name = p.firstName + " " + p.lastName;
        if (report.TextWidth(name) > nameWidth) name = Initialled(p);
        if (twoColumn) {
            report.BufferEndRow(name);
            continue;
        }
        report.BufferCell(name, nameWidth, rxReport::AlignLeft);
        report.BufferCell(p.workPhone, phoneWidth, rxReport::AlignLeft);
        report.BufferEndRow(p.homePhone);
        const auto contactLead = [&] {
            report.BufferCell("", numberWidth, rxReport::AlignLeft);
            report.BufferCell("", nameWidth, rxReport::AlignLeft);
        };
        if (!p.email.empty()) {
            contactLead();
            report.EndRowMailto(p.email);
        }
        for (const std::string* other : {&p.other1, &p.other2})
            if (!other->empty()) {
                contactLead();
                report.BufferEndRow(*other);
            }
    }
    report.EndTable();
}
