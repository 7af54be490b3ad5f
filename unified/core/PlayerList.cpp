// The tab-separated player list: the export of an event's players, and the
// import of a list kept in a spreadsheet.

#include "platform/OutputFile.h"
#include "platform/Text.h"
#include "unified/core/RXEvent.h"
#include "unified/core/rxerrors.h"
#include "unified/core/textFile.h"

#include <array>
#include <sstream>
#include <string_view>
#include <vector>

namespace {

// The part of a longer line past this many characters is dropped.
constexpr std::size_t kImportLineLimit = 999;
// A row is split into at most this many cells.
constexpr std::size_t kImportCells = 9;

enum Column { Number, Gender, FirstName, LastName, WorkPhone, HomePhone, Email, Other1, Other2 };

// Header labels as they read once cleaned, by column meaning.
constexpr std::array<std::string_view, 9> kLabels = {
    "number",    "gender",       "firstname",     "lastname",     "workphone",
    "homephone", "emailaddress", "othercontact1", "othercontact2"};

bool IsBlankOrControl(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

// Trimmed of blanks and control characters, lower-cased, without blanks:
// "First Name" and "firstname" are one label.
std::string CleanLabel(std::string_view cell) {
    while (!cell.empty() && IsBlankOrControl(cell.front()))
        cell.remove_prefix(1);
    while (!cell.empty() && IsBlankOrControl(cell.back()))
        cell.remove_suffix(1);
    std::string label = LowerAscii(cell);
    std::erase(label, ' ');
    return label;
}

std::string_view CutLine(std::string_view line) {
    if (line.size() <= kImportLineLimit) return line;
    return line.substr(0, Utf8Cut(line, kImportLineLimit).size());
}

std::vector<std::string_view> SplitCells(std::string_view line, std::size_t most) {
    std::vector<std::string_view> cells;
    while (cells.size() < most) {
        const std::size_t tab = line.find('\t');
        cells.push_back(line.substr(0, tab));
        if (tab == std::string_view::npos) break;
        line.remove_prefix(tab + 1);
    }
    return cells;
}

// A cell as a field of the record: one line, cut to the field's limit.
void StoreCell(std::string& field, std::string_view cell, int limit) {
    field.assign(cell);
    StripLineBreaks(field);
    if (field.size() > static_cast<std::size_t>(limit))
        field = Utf8Cut(field, static_cast<std::size_t>(limit));
}

// A cell as written: a tab or a line break inside it would shift the
// columns or rows of the list.
std::string ExportCell(const std::string& text) {
    std::string cell = text;
    StripLineBreaks(cell);
    for (char& c : cell)
        if (c == '\t') c = ' ';
    return cell;
}

} // namespace

short RXEvent::ImportPlayers(const std::string& path) {
    std::string text;
    if (!ReadTextFile(path, text)) return rcCannotOpen;
    state = StateChanged;

    TextLines lines(text);
    std::string_view header;
    lines.Next(header);
    header = CutLine(header);

    // The column of each label; when a label occurs twice the later one counts.
    std::array<int, kLabels.size()> columns;
    columns.fill(-1);
    std::string unknown;
    const std::vector<std::string_view> headerCells = SplitCells(header, header.size() + 1);
    for (std::size_t c = 0; c < headerCells.size(); ++c) {
        const std::string label = CleanLabel(headerCells[c]);
        if (label.empty()) continue;
        std::size_t k = 0;
        while (k < kLabels.size() && kLabels[k] != label)
            ++k;
        if (k < kLabels.size()) {
            columns[k] = static_cast<int>(c);
        } else {
            unknown += ' ';
            unknown += headerCells[c];
        }
    }
    if (!unknown.empty()) {
        ShowWarning("The following column labels are not recognized: " + unknown);
        playerCount = 0;
        players.Clear();
        return rcBadData;
    }

    const bool doubles = IsDoubles();
    ::Player first;
    bool holdingFirst = false;
    int added = 0;
    std::string_view line;
    while (true) {
        if (added >= MaxPlayers) return rcPlayerLimit;
        if (!lines.Next(line)) return rcOk;
        if (line.empty()) continue;
        line = CutLine(line);
        const std::vector<std::string_view> cells = SplitCells(line, kImportCells);
        const auto cell = [&](Column column) -> std::string_view {
            const int c = columns[column];
            return c >= 0 && static_cast<std::size_t>(c) < cells.size() ? cells[c]
                                                                        : std::string_view();
        };
        ::Player row;
        ClearPlayerRecord(row);
        const std::string_view gender = cell(Gender);
        if (!gender.empty() && (gender[0] == 'M' || gender[0] == 'm')) row.gender = 'M';
        if (!gender.empty() && (gender[0] == 'F' || gender[0] == 'f')) row.gender = 'F';
        StoreCell(row.firstName, cell(FirstName), kPlayerTextLimits[0]);
        StoreCell(row.lastName, cell(LastName), kPlayerTextLimits[1]);
        StoreCell(row.workPhone, cell(WorkPhone), kPlayerTextLimits[2]);
        StoreCell(row.homePhone, cell(HomePhone), kPlayerTextLimits[3]);
        StoreCell(row.email, cell(Email), kPlayerTextLimits[4]);
        StoreCell(row.other1, cell(Other1), kPlayerTextLimits[5]);
        StoreCell(row.other2, cell(Other2), kPlayerTextLimits[6]);

        if (doubles && !holdingFirst) {
            first = std::move(row);
            holdingFirst = true;
            continue;
        }
        holdingFirst = false;
        const short code = doubles ? AddPlayer(first, &row) : AddPlayer(row, nullptr);
        if (code != rcOk) return code;
        ++added;
    }
}

bool RXEvent::ExportPlayers(const std::string& path) {
    std::ostringstream out;
    out << "number\tFirst Name\tLast Name\tWork Phone\tHome Phone\tEmail Address";
    if (keepsGender) out << "\tGender";
    out << "\tOther Contact 1\tOther Contact 2\r\n";
    const auto row = [&](int number, const ::Player& p) {
        out << number << '\t' << ExportCell(p.firstName) << '\t' << ExportCell(p.lastName) << '\t'
            << ExportCell(p.workPhone) << '\t' << ExportCell(p.homePhone) << '\t'
            << ExportCell(p.email);
        if (keepsGender) out << '\t' << (p.gender > ' ' && p.gender < 0x7F ? p.gender : ' ');
        out << '\t' << ExportCell(p.other1) << '\t' << ExportCell(p.other2) << "\r\n";
    };
    const bool doubles = IsDoubles();
    static const ::Player kNoPartner;
    for (int n = 1; n <= playerCount; ++n) {
        const ::Player& p = *players.Item(n);
        row(n, p);
        // Every doubles player has its partner row, so that the rows of a
        // list read back pair up as they were.
        if (doubles) row(n, p.partner ? *p.partner : kNoPartner);
    }
    OutputFile file;
    if (!file.Open(path)) return false;
    file.Write(out.str());
    return file.Commit();
}
