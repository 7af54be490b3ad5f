#pragma once
// The one writer through which every report is produced. A report writes
// lines, rows of cells, rules, page breaks, tables and a bracket grid into it
// without knowing where they go: to the printer, a text file, a string list
// (the preview and the e-mail body) or an HTML file.
//
// Widths are report units: printer pixels on the printer, hundredths of a
// character (100 per character) on the other sinks.

#include "platform/OutputFile.h"
#include "unified/core/RXEvent.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class Canvas;
class Printer;

// What the draw report puts into one bracket entry.
struct TournBlockData {
    int firstSeed = 0; // 0 when not seeded
    int secondSeed = 0;
    std::string firstName;
    std::string secondName;
    std::string firstInner;  // the draw's match date and time
    std::string secondInner; // the score once decided, else the location
    std::uint8_t single = 0; // one name on a line, no match: the draw's champion
};

class rxReport {
public:
    enum : std::uint8_t { SinkPrinter = 0, SinkTextFile = 1, SinkStringList = 2, SinkHtml = 3 };
    // Any other alignment value means left-aligned.
    enum : std::uint8_t { AlignLeft = 0, AlignRight = 1 };

    static constexpr int MaxBufferedCells = 10000;
    static constexpr int BracketRows = 17;    // row 0 holds the headings
    static constexpr int BracketColumns = 13; // one per round of a draw
    using BracketLines = std::array<std::string, 4>;

    // The caller has set the font size and orientation and begun the document.
    rxReport(Printer& printer, const PrintOptions& options);
    // A text file (SinkTextFile) or an HTML file (SinkHtml) titled `title`.
    rxReport(const std::string& path, std::uint8_t sink, const std::string& title = {});
    // Appends to the caller's list; never clears it.
    explicit rxReport(std::vector<std::string>& list);
    ~rxReport();
    rxReport(const rxReport&) = delete;
    rxReport& operator=(const rxReport&) = delete;

    std::uint8_t Sink() const { return sink_; }

    void WriteLine(const std::string& text);
    void WriteCell(const std::string& text, int width, std::uint8_t alignment);
    void WriteCellFit(const std::string& text, const std::string& sample, std::uint8_t alignment);
    void EndRow(const std::string& text);
    // `text` as the end of the current row, wrapped under a cell as wide as
    // `prefixSample` that the caller has already written.
    void WriteWrapped(const std::string& text, const std::string& prefixSample);

    // The address as a mail link on the HTML sink, unchanged elsewhere.
    std::string MailtoText(const std::string& address) const;
    void WriteMailtoCell(const std::string& address, const std::string& sample);
    void EndRowMailto(const std::string& address);

    void WriteRule();
    void NewPage();
    int LinesLeft() const;
    // Starts a new page when fewer than n lines are left.
    void NeedLines(int n);

    // A buffered table is laid out when it ends: in two columns side by side
    // when two of its rows fit across the page.
    void BeginTable(bool buffered);
    void SetTableHeading();
    void BufferCell(const std::string& text, int width, std::uint8_t alignment);
    void BufferCellFit(const std::string& text, const std::string& sample, std::uint8_t alignment);
    void BufferEndRow(const std::string& text);
    void EndTable();

    int TextWidth(const std::string& text);
    int PageWidth();

    void Close();

    // The bracket grid: filled cell by cell, then written once.
    void InitBracket(int linesPerCell, int columnWidth, int firstColumnWidth);
    void SetBracketCell(int row, int column, const BracketLines& lines, int kind);
    void PlaceBracketText(int row, int column, const BracketLines& lines);
    void PlaceBracketMatch(int row, int column, const TournBlockData& data, int kind);
    void WriteBracket(int rows, int columns, bool connectors);
    // On the printer, connector columns share the width between the margins
    // by this count rather than by the rounds per page, so that a column
    // drawn beyond them (the champion's) stays on the paper.
    void FitBracketColumns(int columns);

private:
    struct BufferedCell {
        std::string text;
        int width = 0;
        std::uint8_t alignment = AlignLeft;
        std::uint8_t rowEnd = 0;
    };
    struct BracketCell {
        int kind = 0; // the entry's row span; 0 empty or covered
        BracketLines lines;
        std::uint8_t single = 0;
    };

    // Escapes &, <, > and " of a user's text for the HTML sink.
    static std::string HtmlText(const std::string& text);
    bool OnText() const { return sink_ == SinkTextFile || sink_ == SinkStringList; }
    void Put(const std::string& line);
    void StartRow();
    void PutCell(const std::string& text, int width, std::uint8_t alignment, bool markup);
    void PutRowEnd(const std::string& text, bool markup);
    void FlushTable();
    bool EvenRows(int cellsPerRow) const;
    void WriteBracketText(int rows, int columns);
    void WriteBracketHtml(int rows, int columns, bool connectors);
    void WriteBracketConnectors(int rows, int columns);
    void WriteBracketBoxes(int rows, int columns);
    int BracketLineHeight(int rows);

    std::uint8_t sink_;
    Printer* printer_ = nullptr;
    Canvas* canvas_ = nullptr;
    std::vector<std::string>* list_ = nullptr;
    OutputFile file_;
    std::string pendingRow_;
    std::uint8_t closed_ = 0;

    int currentLine_ = 0;
    int linesPerPage_ = 999999;
    int rowStarted_ = 0;
    int currentX_ = 0;
    int lineHeight_ = 0;
    int leftMargin_ = 0;
    int topMargin_ = 0;
    int bottomMargin_ = 0;
    int rightMargin_ = 0;

    std::uint8_t buffered_ = 0;
    std::vector<BufferedCell> cells_;
    int widestRow_ = 0;
    int widestRowEnd_ = 0;
    int runningWidth_ = 0;
    int rowCount_ = 0;
    std::uint8_t headingRow_ = 0;

    std::array<std::array<BracketCell, BracketColumns>, BracketRows> bracket_;
    int linesPerCell_ = 4;
    int columnWidth_ = 30;      // characters
    int firstColumnWidth_ = 30; // characters
    int printerColumnWidth_ = 0;
    int printerUsableWidth_ = 0; // between the left and right margins
};
