// The report writer's bracket grid: the knockout draw in a connector style,
// the match schedule's rounds by courts in a box style.

#include "platform/Printer.h"
#include "platform/Text.h"
#include "unified/core/rxreport.h"

#include <algorithm>

namespace {

std::string Repeat(const std::string& piece, int times) {
    std::string out;
    for (int i = 0; i < times; ++i)
        out += piece;
    return out;
}

std::string Cut(const std::string& text, int chars) {
    return Utf8Cut(text, static_cast<std::size_t>(std::max(chars, 0)));
}

// "(3) Smith " for a seeded player, "Smith " otherwise, "" for nobody.
std::string NameLine(int seed, const std::string& name) {
    std::string line = seed > 0 ? "(" + std::to_string(seed) + ") " : "";
    line += name;
    if (!line.empty()) line += " ";
    return line;
}

} // namespace

void rxReport::InitBracket(int linesPerCell, int columnWidth, int firstColumnWidth) {
    // Below one line a cell would divide by zero when placed.
    linesPerCell_ = std::clamp(linesPerCell, 1, 4);
    columnWidth_ = columnWidth;
    firstColumnWidth_ = firstColumnWidth < 0 ? columnWidth : firstColumnWidth;
    for (auto& row : bracket_)
        row.fill(BracketCell());
}

void rxReport::SetBracketCell(int row, int column, const BracketLines& lines, int kind) {
    if (row < 0 || row >= BracketRows || column < 0 || column >= BracketColumns) return;
    bracket_[row][column].kind = kind;
    if (sink_ == SinkPrinter) {
        bracket_[row][column].lines = lines;
        return;
    }
    // Text output shows the grid rows in turn, so an entry is centred in its
    // span: its lines move down into the rows it covers.
    const int target = kind >= 2 ? row + (kind - 1) / 2 : row;
    const int shift = kind % 2 == 0 ? (linesPerCell_ + 1) / 2 : 0;
    for (int i = 0; i < linesPerCell_; ++i) {
        int index = i + shift;
        int r = target;
        if (index >= linesPerCell_) {
            index -= linesPerCell_;
            ++r;
        }
        // Lines that would fall below the grid are dropped.
        if (r < BracketRows) bracket_[r][column].lines[index] = lines[i];
    }
}

void rxReport::PlaceBracketText(int row, int column, const BracketLines& lines) {
    BracketLines placed = lines;
    std::string& last = placed[linesPerCell_ - 1];
    if (OnText() && last.empty()) last = std::string(std::max(columnWidth_, 0), '=');
    SetBracketCell(row, column, placed, 1);
}

void rxReport::PlaceBracketMatch(int row, int column, const TournBlockData& data, int kind) {
    if (row >= 0 && row < BracketRows && column >= 0 && column < BracketColumns)
        bracket_[row][column].single = data.single;
    const int w = columnWidth_;
    const std::string dashes(std::max(w, 0), '-');
    const std::string blanks(std::max(w, 0), ' ');
    BracketLines lines;
    if (data.single) {
        lines[2] = data.firstName.empty() ? "" : data.firstName + " ";
        if (OnText()) lines[2] = Cut(lines[2] + dashes, w - 1);
    } else {
        lines[0] = NameLine(data.firstSeed, data.firstName);
        lines[1] = data.firstInner;
        lines[2] = data.secondInner;
        lines[3] = NameLine(data.secondSeed, data.secondName);
        if (OnText()) {
            // Two dashed name lines with a ">" of "\" and "/" at the right edge.
            lines[0] = Cut(lines[0] + dashes, w - 2) + "\\";
            lines[1] = Cut(lines[1] + blanks, w - 1) + "\\";
            lines[2] = Cut(lines[2] + blanks, w - 1) + "/";
            lines[3] = Cut(lines[3] + dashes, w - 2) + "/";
        }
    }
    SetBracketCell(row, column, lines, kind);
}

void rxReport::FitBracketColumns(int columns) {
    if (sink_ == SinkPrinter && columns > 0) printerColumnWidth_ = printerUsableWidth_ / columns;
}

void rxReport::WriteBracket(int rows, int columns, bool connectors) {
    rows = std::min(rows, static_cast<int>(BracketRows));
    columns = std::min(columns, static_cast<int>(BracketColumns));
    if (rows < 1 || columns < 1) return;
    switch (sink_) {
    case SinkPrinter:
        if (connectors)
            WriteBracketConnectors(rows, columns);
        else
            WriteBracketBoxes(rows, columns);
        break;
    case SinkHtml:
        WriteBracketHtml(rows, columns, connectors);
        break;
    default:
        WriteBracketText(rows, columns);
    }
}

void rxReport::WriteBracketText(int rows, int columns) {
    const std::string firstSample(std::max(firstColumnWidth_ + 1, 0), 'm');
    const std::string sample(std::max(columnWidth_ + 1, 0), 'm');
    for (int r = 0; r < rows; ++r) {
        for (int j = 0; j < linesPerCell_; ++j) {
            for (int c = 0; c < columns - 1; ++c)
                WriteCellFit(bracket_[r][c].lines[j], c == 0 ? firstSample : sample, AlignLeft);
            EndRow(bracket_[r][columns - 1].lines[j]);
        }
        WriteLine("");
    }
}

void rxReport::WriteBracketHtml(int rows, int columns, bool connectors) {
    Put("<table cellspacing=3>");
    for (int r = 0; r < rows; ++r) {
        Put("<tr>");
        for (int c = 0; c < columns; ++c) {
            const BracketCell& cell = bracket_[r][c];
            if (r == 0) {
                std::string html = connectors ? "<td align=center valign=top colspan=2>"
                                              : "<td align=center valign=top>";
                for (int j = 0; j < linesPerCell_; ++j)
                    html += HtmlText(cell.lines[j]) + "<br>";
                Put(html + "</td>");
                continue;
            }
            const int k = cell.kind;
            if (k <= 0) continue;
            std::string html = "<td valign=top BGCOLOR=#C0FFC0 rowspan=" + std::to_string(k) + ">";
            for (int s = r; s < r + k && s < BracketRows; ++s) {
                for (int j = 0; j < linesPerCell_; ++j) {
                    const std::string& line = bracket_[s][c].lines[j];
                    html += HtmlText(line);
                    // Keeps the first row's columns from collapsing.
                    if (r == 1 && s == r && j == 0)
                        html += Repeat("&nbsp;", 8 - static_cast<int>(Utf8Length(line)));
                    html += "<br>";
                }
            }
            Put(html + "</td>");
            if (connectors && c < columns - 1) {
                std::string connector = "<td valign=center rowspan=" + std::to_string(k) + ">\\";
                for (int l = 1; l < linesPerCell_; ++l) {
                    if (l < linesPerCell_ / 2)
                        connector += "<br>" + Repeat("&nbsp;", l) + "\\";
                    else
                        connector += "<br>" + Repeat("&nbsp;", linesPerCell_ - 1 - l) + "/";
                }
                Put(connector + "</td>");
            }
        }
        Put("</tr>");
    }
    Put("</table>");
}

// The line height a bracket is drawn with: squeezed so that it fits in the
// lines left on the page. With nothing left (or too little to draw a line
// apart) it goes on a new page instead.
int rxReport::BracketLineHeight(int rows) {
    const int needed = rows * (linesPerCell_ + 1);
    const auto squeezed = [&] {
        const int left = LinesLeft();
        if (left >= needed) return lineHeight_;
        const float factor = static_cast<float>(left) / static_cast<float>(needed);
        return static_cast<int>(static_cast<float>(lineHeight_) * factor);
    };
    if (LinesLeft() <= 0 || squeezed() < 1) NewPage();
    return squeezed();
}

void rxReport::WriteBracketConnectors(int rows, int columns) {
    const int lh = BracketLineHeight(rows);
    const int columnWidth = printerColumnWidth_;
    const int quarter = static_cast<int>(canvas_->PixelsPerInch() * 0.25);
    const int lpc = linesPerCell_;
    // Headings and entries start below what the page already holds; only
    // the bracket's own lines are squeezed.
    int base = (currentLine_ + 1) * lineHeight_ + topMargin_;
    int span = (lpc - 1) * lh;
    for (int c = 0; c < columns; ++c) {
        const int x = leftMargin_ + c * columnWidth;
        for (int j = 0; j <= lpc - 2; ++j)
            canvas_->TextOut(x, (currentLine_ + 1) * lineHeight_ + topMargin_ + (j - 1) * lh,
                             bracket_[0][c].lines[j]);
        for (int d = 1; d < rows; ++d) {
            const BracketCell& cell = bracket_[d][c];
            if (cell.kind == 0) continue;
            const int y = base + d * (lpc + 1) * lh;
            const int u = x + columnWidth - quarter;
            if (cell.single) {
                canvas_->MoveTo(x, y);
                canvas_->LineTo(u, y);
                canvas_->TextOut(x, y - lh, cell.lines[2]);
                continue;
            }
            canvas_->MoveTo(x, y);
            canvas_->LineTo(u, y);
            canvas_->LineTo(u + quarter, y + span / 2);
            for (int j = 0; j <= lpc - 2; ++j)
                canvas_->TextOut(x, y + (j - 1) * lh, cell.lines[j]);
            canvas_->MoveTo(x, y + span);
            canvas_->LineTo(u, y + span);
            canvas_->LineTo(u + quarter, y + span - span / 2);
            canvas_->TextOut(x, y + span - lh, cell.lines[lpc - 1]);
        }
        // Each round's matches sit between the two that feed them.
        base += span / 2;
        span = (lpc + 1) * lh * bracket_[1][c].kind;
    }
}

void rxReport::WriteBracketBoxes(int rows, int columns) {
    const int lh = BracketLineHeight(rows);
    const int lpc = linesPerCell_;
    printerColumnWidth_ = canvas_->TextWidth(" 999&999 ");
    const int columnWidth = printerColumnWidth_;
    int firstWidth = columnWidth;
    for (int d = 1; d < rows; ++d)
        for (int c = 0; c < columns; ++c)
            if (bracket_[d][c].kind != 0)
                for (int j = 0; j < lpc; ++j)
                    firstWidth =
                        std::max(firstWidth, canvas_->TextWidth(bracket_[d][c].lines[j] + " "));
    // The grid starts below what the page already holds; only its own rows
    // are squeezed.
    const int y0 = currentLine_ * lineHeight_ + topMargin_;
    for (int c = 0; c < columns; ++c) {
        const int x = c == 0 ? leftMargin_ : leftMargin_ + firstWidth + (c - 1) * columnWidth;
        for (int j = 0; j <= lpc - 2; ++j)
            canvas_->TextOut(x, y0 + j * lh, bracket_[0][c].lines[j]);
        for (int d = 1; d < rows; ++d) {
            const BracketCell& cell = bracket_[d][c];
            if (cell.kind == 0) continue;
            const int y = y0 + d * (lpc + 1) * lh;
            for (int j = 0; j < lpc; ++j)
                canvas_->TextOut(x, y + 2 * j * lh, cell.lines[j]);
            if (c == 0) continue;
            const int bottom = y + lpc * lh;
            canvas_->MoveTo(x, y);
            canvas_->LineTo(x + columnWidth, y);
            canvas_->LineTo(x + columnWidth, bottom);
            canvas_->LineTo(x, bottom);
            canvas_->LineTo(x, y);
            const int across = y + lh + lh / 2;
            canvas_->MoveTo(x + 15, across);
            canvas_->LineTo(x + columnWidth - 15, across);
        }
    }
}
