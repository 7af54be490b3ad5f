#include "unified/core/rxreport.h"

#include "platform/MessageBox.h"
#include "platform/Printer.h"
#include "platform/Text.h"

#include <algorithm>

namespace {

constexpr int kNoPageLimit = 999999;
const std::string kLineHeightSample = "ABCDEFGHIJIKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
const std::string kGap = "  ";

// Printer margin in pixels: inches at the device's resolution, measured from
// where the printable area starts; never negative.
int MarginPixels(int pixelsPerInch, float inches, int offset) {
    // Margins come from files: keep any value within what an int holds.
    const double pixels = static_cast<double>(pixelsPerInch) * inches - offset;
    return static_cast<int>(std::clamp(pixels, 0.0, 1.0e9));
}

} // namespace

// Texts of names, notes and scores go into a page meant for publishing.
std::string rxReport::HtmlText(const std::string& text) {
    if (text.find_first_of("&<>\"") == std::string::npos) return text;
    std::string out;
    out.reserve(text.size() + 16);
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

rxReport::rxReport(Printer& printer, const PrintOptions& options)
    : sink_(SinkPrinter), printer_(&printer), canvas_(&printer.GetCanvas()) {
    cells_.reserve(MaxBufferedCells);
    lineHeight_ = std::max(canvas_->TextHeight(kLineHeightSample), 1);
    const int offsetX = printer.PhysicalOffsetX();
    const int offsetY = printer.PhysicalOffsetY();
    const int perInchX = printer.PixelsPerInchX();
    const int perInchY = printer.PixelsPerInchY();
    leftMargin_ = MarginPixels(perInchX, options.leftMargin, offsetX);
    rightMargin_ = MarginPixels(perInchX, options.rightMargin, offsetX);
    topMargin_ = MarginPixels(perInchY, options.topMargin, offsetY);
    // The bottom is measured from the top offset too.
    bottomMargin_ = MarginPixels(perInchY, options.bottomMargin, offsetY);
    linesPerPage_ = (printer.PageHeight() - topMargin_ - bottomMargin_) / lineHeight_;
    printerUsableWidth_ = printer.PageWidth() - leftMargin_ - rightMargin_;
    printerColumnWidth_ = options.roundsPerPage > 0 ? printerUsableWidth_ / options.roundsPerPage
                                                    : canvas_->TextWidth("nnnnnnnnnnnnnnn");
}

rxReport::rxReport(const std::string& path, std::uint8_t sink, const std::string& title)
    : sink_(sink == SinkHtml ? SinkHtml : SinkTextFile) {
    cells_.reserve(MaxBufferedCells);
    if (!file_.Open(path)) {
        MessageBox("Error opening output file.", "Error", MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    if (sink_ == SinkHtml) {
        Put("<html>");
        Put("<head>");
        Put("<meta charset=\"utf-8\">");
        Put("<title>" + (title.empty() ? std::string("Rostrix report") : HtmlText(title)) +
            "</title>");
        Put("</head>");
        Put("<body text=\"#000000\" bgcolor=\"#FFFFFF\">");
    }
}

rxReport::rxReport(std::vector<std::string>& list) : sink_(SinkStringList), list_(&list) {
    cells_.reserve(MaxBufferedCells);
}

rxReport::~rxReport() {
    if (!closed_) Close();
}

void rxReport::Put(const std::string& line) {
    if (sink_ == SinkStringList) {
        list_->push_back(line);
    } else {
        file_.Write(line);
        file_.Write("\r\n");
    }
}

void rxReport::WriteLine(const std::string& text) {
    switch (sink_) {
    case SinkPrinter:
        if (LinesLeft() <= 0) NewPage();
        ++currentLine_;
        canvas_->TextOut(leftMargin_, topMargin_ + (currentLine_ - 1) * lineHeight_, text);
        break;
    case SinkHtml:
        ++currentLine_;
        Put(HtmlText(text) + " <BR>");
        break;
    default:
        ++currentLine_;
        Put(text);
    }
}

void rxReport::StartRow() {
    if (rowStarted_) return;
    if (sink_ == SinkPrinter) {
        if (LinesLeft() <= 0) NewPage();
        currentX_ = leftMargin_;
    }
    if (sink_ == SinkHtml) Put("<TR>");
    ++currentLine_;
    rowStarted_ = 1;
}

void rxReport::PutCell(const std::string& text, int width, std::uint8_t alignment, bool markup) {
    StartRow();
    const bool right = alignment == AlignRight;
    switch (sink_) {
    case SinkPrinter: {
        const int x = right ? currentX_ + width - canvas_->TextWidth(text) : currentX_;
        canvas_->TextOut(x, topMargin_ + (currentLine_ - 1) * lineHeight_, text);
        currentX_ += width;
        break;
    }
    case SinkHtml:
        if (width < 1) break;
        if (text.empty())
            Put("<TD> </TD>");
        else
            Put((right ? "<TD ALIGN=RIGHT> " : "<TD> ") + (markup ? text : HtmlText(text)) +
                " </TD>");
        break;
    default: {
        if (width < 1) break;
        // "%-*.*s": padded to n characters and cut to n.
        const auto n = static_cast<std::size_t>(width / 100);
        const std::string cell = Utf8Pad(text, n, !right, n);
        if (sink_ == SinkStringList)
            pendingRow_ += cell;
        else
            file_.Write(cell);
    }
    }
}

void rxReport::PutRowEnd(const std::string& text, bool markup) {
    switch (sink_) {
    case SinkPrinter:
        PutCell(text, 0, AlignLeft, markup);
        break;
    case SinkTextFile:
        PutCell(text, TextWidth(text), AlignLeft, markup);
        file_.Write("\r\n");
        break;
    case SinkStringList:
        PutCell(text, TextWidth(text), AlignLeft, markup);
        list_->push_back(std::move(pendingRow_));
        pendingRow_.clear();
        break;
    case SinkHtml:
        PutCell(text, TextWidth(text), AlignLeft, markup);
        Put("</TR>");
        break;
    }
    rowStarted_ = 0;
}

void rxReport::WriteCell(const std::string& text, int width, std::uint8_t alignment) {
    PutCell(text, width, alignment, false);
}

void rxReport::WriteCellFit(const std::string& text, const std::string& sample,
                            std::uint8_t alignment) {
    WriteCell(text, TextWidth(sample), alignment);
}

void rxReport::EndRow(const std::string& text) {
    PutRowEnd(text, false);
}

void rxReport::WriteWrapped(const std::string& text, const std::string& prefixSample) {
    if (sink_ == SinkHtml) {
        EndRow(text);
        return;
    }
    // Characters on every sink, the printer too. A prefix of 75 characters or
    // more still leaves one.
    const std::size_t limit = static_cast<std::size_t>(
        std::max<long>(75 - static_cast<long>(Utf8Length(prefixSample)), 1));
    const int prefixWidth = TextWidth(prefixSample);
    std::string rest = text;
    bool first = true;
    while (Utf8Length(rest) > limit) {
        // The last blank within the limit ends the piece; a word longer than
        // the limit is cut there.
        const std::string window = Utf8Cut(rest, limit);
        const std::size_t blank = window.rfind(' ');
        const std::size_t cut = blank == std::string::npos ? window.size() : blank + 1;
        if (!first) WriteCell("", prefixWidth, AlignLeft);
        EndRow(rest.substr(0, cut));
        rest.erase(0, cut);
        first = false;
    }
    if (!first) WriteCell("", prefixWidth, AlignLeft);
    EndRow(rest);
}

std::string rxReport::MailtoText(const std::string& address) const {
    if (sink_ != SinkHtml) return address;
    const std::string shown = HtmlText(address);
    return "<A HREF=\"mailto:" + shown + "\">" + shown + "</A>";
}

void rxReport::WriteMailtoCell(const std::string& address, const std::string& sample) {
    PutCell(MailtoText(address), TextWidth(sample), AlignLeft, true);
}

void rxReport::EndRowMailto(const std::string& address) {
    PutRowEnd(MailtoText(address), true);
}

void rxReport::WriteRule() {
    switch (sink_) {
    case SinkPrinter: {
        if (currentLine_ > linesPerPage_) NewPage();
        ++currentLine_;
        const int y = static_cast<int>(topMargin_ + (currentLine_ - 0.5) * lineHeight_);
        canvas_->MoveTo(leftMargin_, y);
        canvas_->LineTo(leftMargin_ + canvas_->PixelsPerInch() * 6, y);
        break;
    }
    case SinkHtml:
        Put("<HR>");
        break;
    default:
        Put(std::string(80, '='));
    }
}

void rxReport::NewPage() {
    currentLine_ = 0;
    switch (sink_) {
    case SinkPrinter:
        printer_->NewPage();
        break;
    case SinkHtml:
        Put("<BR><BR>");
        break;
    case SinkTextFile:
        file_.Write("\r\n\r\n");
        break;
    case SinkStringList:
        list_->push_back(" ");
        list_->push_back(" ");
        break;
    }
}

int rxReport::LinesLeft() const {
    return sink_ == SinkPrinter ? linesPerPage_ - currentLine_ : kNoPageLimit;
}

void rxReport::NeedLines(int n) {
    if (LinesLeft() < n) NewPage();
}

void rxReport::BeginTable(bool buffered) {
    buffered_ = buffered ? 1 : 0;
    cells_.clear();
    widestRow_ = 0;
    widestRowEnd_ = 0;
    runningWidth_ = 0;
    rowCount_ = 0;
    headingRow_ = 0;
    if (sink_ == SinkHtml) Put("<table cellspacing=3>");
}

void rxReport::SetTableHeading() {
    headingRow_ = 1;
}

void rxReport::BufferCell(const std::string& text, int width, std::uint8_t alignment) {
    if (buffered_ && cells_.size() >= MaxBufferedCells) {
        buffered_ = 0;
        FlushTable();
    }
    if (!buffered_) {
        WriteCell(text, width, alignment);
        return;
    }
    cells_.push_back({text, width, alignment, 0});
    runningWidth_ += width;
}

void rxReport::BufferCellFit(const std::string& text, const std::string& sample,
                             std::uint8_t alignment) {
    BufferCell(text, TextWidth(sample), alignment);
}

void rxReport::BufferEndRow(const std::string& text) {
    if (buffered_ && cells_.size() >= MaxBufferedCells) {
        buffered_ = 0;
        FlushTable();
    }
    if (!buffered_) {
        EndRow(text);
        return;
    }
    const int width = TextWidth(text);
    cells_.push_back({text, width, AlignLeft, 1});
    widestRow_ = std::max(widestRow_, runningWidth_ + width);
    widestRowEnd_ = std::max(widestRowEnd_, width);
    runningWidth_ = 0;
    ++rowCount_;
}

void rxReport::EndTable() {
    if (buffered_) FlushTable();
    buffered_ = 0;
    if (sink_ == SinkHtml) Put("</table>");
}

// True when every stored row has exactly `cellsPerRow` cells.
bool rxReport::EvenRows(int cellsPerRow) const {
    int inRow = 0;
    for (const BufferedCell& cell : cells_) {
        ++inRow;
        if (cell.rowEnd) {
            if (inRow != cellsPerRow) return false;
            inRow = 0;
        }
    }
    return inRow == 0;
}

void rxReport::FlushTable() {
    const int count = static_cast<int>(cells_.size());
    // A full page: the first cell starts a new one anyway.
    int left = LinesLeft();
    if (left <= 0) left = linesPerPage_;
    int cellsPerRow = 0;
    while (cellsPerRow < count && !cells_[cellsPerRow].rowEnd)
        ++cellsPerRow;
    ++cellsPerRow;

    const bool twoColumns = buffered_ && rowCount_ > 0 &&
                            TextWidth(kGap) + 2 * widestRow_ <= PageWidth() &&
                            EvenRows(cellsPerRow);
    if (!twoColumns) {
        for (const BufferedCell& cell : cells_) {
            if (cell.rowEnd)
                EndRow(cell.text);
            else
                WriteCell(cell.text, cell.width, cell.alignment);
        }
        cells_.clear();
        return;
    }

    int rowsPerColumn =
        headingRow_ ? std::min(left, rowCount_ / 2 + 1) - 1 : std::min(left, (rowCount_ + 1) / 2);
    rowsPerColumn = std::max(rowsPerColumn, 1);

    // Cells already written as right-hand partners: [partnersBegin, partnersEnd).
    int partnersBegin = -1;
    int partnersEnd = -1;
    for (int i = 0; i < count; ++i) {
        if (i == partnersBegin) {
            i = partnersEnd - 1;
            partnersBegin = partnersEnd = -1;
            continue;
        }
        const BufferedCell& cell = cells_[i];
        if (!cell.rowEnd) {
            WriteCell(cell.text, cell.width, cell.alignment);
            continue;
        }
        WriteCell(cell.text, widestRowEnd_, AlignLeft);
        WriteCell(kGap, TextWidth(kGap), AlignLeft);
        const bool heading = headingRow_ && i == cellsPerRow - 1;
        const int partner = heading ? 0 : i + 1 + cellsPerRow * (rowsPerColumn - 1);
        if (!heading) {
            if (partnersBegin < 0) partnersBegin = partner;
            partnersEnd = partner + cellsPerRow;
        }
        if (partner + cellsPerRow > count) {
            EndRow("");
        } else {
            for (int k = partner; k < partner + cellsPerRow - 1; ++k)
                WriteCell(cells_[k].text, cells_[k].width, cells_[k].alignment);
            EndRow(cells_[partner + cellsPerRow - 1].text);
        }
        if (!heading) continue;
        // A bare rule inside a table is moved out above it by a browser: on
        // the HTML sink it is a row of its own across both columns.
        if (sink_ == SinkHtml)
            Put("<TR><TD COLSPAN=" + std::to_string(2 * cellsPerRow + 1) + "><HR></TD></TR>");
        else
            WriteRule();
    }
    cells_.clear();
}

int rxReport::TextWidth(const std::string& text) {
    if (sink_ == SinkPrinter) return canvas_->TextWidth(text);
    return 100 * static_cast<int>(Utf8Length(text));
}

int rxReport::PageWidth() {
    return sink_ == SinkPrinter ? 6 * canvas_->PixelsPerInch() : 8000;
}

void rxReport::Close() {
    closed_ = 1;
    if (sink_ == SinkHtml && file_.IsOpen()) {
        Put("</body>");
        Put("</html>");
    }
    if ((sink_ == SinkTextFile || sink_ == SinkHtml) && file_.IsOpen() && !file_.Commit())
        MessageBox("Error opening output file.", "Error", MB_OK | MB_ICONEXCLAMATION);
}
