// The draw report: the bracket in pages of a few rounds by a block of
// matches each, then the players with their seeds and contact data.

#include "unified/draw/Draw.h"

#include "platform/Text.h"
#include "unified/core/rxreport.h"

#include <algorithm>
#include <bit>
#include <vector>

namespace {

const std::string kSeedSample = "999. ";
constexpr int kBracketLines = 4;
constexpr int kBracketWidth = 30; // characters of a bracket column
constexpr int kNameWidth = 28;    // characters of a name in a bracket cell
constexpr std::size_t kTeamLimit = 61;

// The per-page values the print-options dialog allows: 4, 8, 16 or 32
// players, 1 to 5 rounds, and no more rounds than those players fill. A file
// may hold any number; beyond these the pages would never end or the cells
// would fall outside the bracket grid.
void PageShape(const PrintOptions& options, int& playersPerPage, int& roundsPerPage) {
    playersPerPage = static_cast<int>(
        std::bit_floor(static_cast<unsigned>(std::clamp(options.playersPerPage, 4, 32))));
    roundsPerPage = std::clamp(options.roundsPerPage, 1, 5);
    while ((1 << roundsPerPage) > playersPerPage)
        --roundsPerPage;
}

// The shared name order reads the current event's players; the report may
// be written for a draw that is not (yet) the current event.
class CurrentEventAs {
public:
    explicit CurrentEventAs(RXEvent* event) : saved_(CurrentEvent) { CurrentEvent = event; }
    ~CurrentEventAs() { CurrentEvent = saved_; }
    CurrentEventAs(const CurrentEventAs&) = delete;
    CurrentEventAs& operator=(const CurrentEventAs&) = delete;

private:
    RXEvent* saved_;
};

std::string Initial(const std::string& name) {
    return Utf8Cut(name, 1) + ".";
}

} // namespace

void Draw::ReportSlotText(int p, int round, int width, std::string& text, int& seed) const {
    text.clear();
    seed = 0;
    const ::Player* player = p == 0 ? nullptr : Player(p);
    if (player == nullptr) {
        if (p == 0 && round == 1) text = "BYE";
        return;
    }
    if (IsDoubles() && player->partner) {
        const ::Player& partner = *player->partner;
        text = Utf8Cut(Initial(player->firstName) + player->lastName + " / " +
                           Initial(partner.firstName) + partner.lastName,
                       kTeamLimit);
    } else {
        const int last = static_cast<int>(Utf8Length(player->lastName));
        if (last < width - 6)
            text = Utf8Cut(player->firstName, static_cast<std::size_t>(width - 4 - last)) + " " +
                   player->lastName;
        else
            text = player->lastName;
    }
    // A stored count of -1 (the default, never drawn) marks nobody.
    if (p <= seeds) seed = p;
}

void Draw::FillBracketCell(TournBlockData& cell) const {
    const TResult match = GetMatch(reportRound, reportMatch);
    ReportSlotText(match.first, reportRound, kNameWidth, cell.firstName, cell.firstSeed);
    ReportSlotText(match.second, reportRound, kNameWidth, cell.secondName, cell.secondSeed);
    cell.firstInner = match.dateTime;
    cell.secondInner = match.winner != 0 ? match.score : match.location;
    cell.single = 0;
}

void Draw::ReportTitle(rxReport& report) {
    report.WriteLine((Heading().empty() ? std::string("Tournament Draw Report") : Heading()) +
                     " - page " + std::to_string(reportPage++));
    report.WriteRule();
}

void Draw::PrintReport(rxReport& report) {
    reportPage = reportRound = reportMatch = 1;
    std::vector<PlayerSortEntry> entries;
    for (int n = 1; n <= playerCount; ++n) {
        entries.push_back({static_cast<std::int16_t>(n), 0});
        if (IsDoubles() && Player(n)->partner) entries.push_back({static_cast<std::int16_t>(n), 1});
    }
    {
        CurrentEventAs current(this);
        std::stable_sort(entries.begin(), entries.end(),
                         [](const PlayerSortEntry& a, const PlayerSortEntry& b) {
                             return ComparePlayerEntries(a, b) < 0;
                         });
    }

    int playersPerPage = 0, roundsPerPage = 0;
    PageShape(printOptions, playersPerPage, roundsPerPage);
    const int rows = playersPerPage / 2 + 1;
    const int columns = roundsPerPage + (roundsPerPage == rounds ? 1 : 0);
    int first = 1; // the starting round's first match on this page
    bool firstPage = true;
    while (reportRound < rounds ||
           (reportRound == rounds && reportMatch <= MatchesInRound(rounds))) {
        const int startRound = reportRound;
        if (!firstPage) report.NewPage();
        firstPage = false;
        ReportTitle(report);
        bool notes = false;
        for (int n = 1; n <= 5; ++n)
            if (!Note(n).empty()) {
                report.WriteLine(Note(n));
                notes = true;
            }
        if (notes) report.WriteRule();

        report.InitBracket(kBracketLines, kBracketWidth, -1);
        // A page that ends on the final gets one column more, for the champion.
        const int pageColumns = startRound + columns - 1 == rounds ? columns + 1 : columns;
        for (int j = 0; j < pageColumns; ++j) {
            const int round = startRound + j;
            if (round <= rounds)
                report.PlaceBracketText(0, j, {"ROUND " + std::to_string(round), "", "", ""});
            else if (round == rounds + 1)
                report.PlaceBracketText(0, j, {"CHAMPION", "", "", ""});
        }

        int row = 1, column = 0, next = first;
        bool cut = false;
        const auto nextColumn = [&] {
            ++reportRound;
            ++column;
            row = 1;
            reportMatch = (first - 1) / (1 << column) + 1;
        };
        while (row < rows && column < pageColumns) {
            TournBlockData cell;
            if (reportRound > rounds) {
                ReportSlotText(GetMatch(rounds, 1).winner, reportRound, kNameWidth, cell.firstName,
                               cell.firstSeed);
                cell.single = 1;
                report.PlaceBracketMatch(row, column, cell, 1 << (column - 1));
                break;
            }
            FillBracketCell(cell);
            report.PlaceBracketMatch(row, column, cell, 1 << column);
            ++reportMatch;
            row += 1 << column;
            if (reportMatch > MatchesInRound(reportRound)) {
                nextColumn();
            } else if (row >= rows) {
                if (column == 0) next = reportMatch;
                nextColumn();
                cut = true;
            }
        }
        report.FitBracketColumns(pageColumns);
        report.WriteBracket(rows, pageColumns, true);
        // A cut page is followed by the rest of the same rounds.
        if (cut) {
            reportRound = startRound;
            reportMatch = next;
            first = next;
        } else {
            reportMatch = 1;
            first = 1;
        }
    }

    ReportPlayers(report, entries);
    report.Close();
}

void Draw::ReportPlayers(rxReport& report, const std::vector<PlayerSortEntry>& entries) {
    report.NewPage();
    ReportTitle(report);
    report.BeginTable(false);
    const int seedWidth = report.TextWidth(kSeedSample);
    const int nameWidth = 15 * report.TextWidth("N");
    const int phoneWidth = 14 * report.TextWidth("9");
    for (const PlayerSortEntry& entry : entries) {
        const ::Player* owner = Player(entry.number);
        const ::Player& p = entry.usePartner ? *owner->partner : *owner;
        report.WriteCell(entry.number <= seeds ? std::to_string(entry.number) + "." : "", seedWidth,
                         rxReport::AlignLeft);
        report.WriteCell(p.firstName + " ", nameWidth, rxReport::AlignRight);
        report.WriteCell(p.lastName, nameWidth, rxReport::AlignLeft);
        report.WriteCell(p.workPhone, phoneWidth, rxReport::AlignLeft);
        report.EndRow(p.homePhone);
        // The two blanks before a contact widen the empty name cell.
        const auto contactLead = [&] {
            report.WriteCell("", seedWidth, rxReport::AlignLeft);
            report.WriteCell("", nameWidth + report.TextWidth("  "), rxReport::AlignLeft);
        };
        if (!p.email.empty()) {
            contactLead();
            report.EndRowMailto(p.email);
        }
        for (const std::string* other : {&p.other1, &p.other2})
            if (!other->empty()) {
                contactLead();
                report.EndRow(*other);
            }
    }
    report.EndTable();
}
