#pragma once
// A grid of cells by column and row, for text grids and owner-drawn grids
// alike. Fixed rows and columns (headings) stay in place and never become
// the current cell; the rest scrolls by whole cells. Texts live in the
// grid's own store; an owner-drawn grid paints its cells in OnDrawCell.

#include "platform/Canvas.h"

#include <QAbstractScrollArea>
#include <functional>
#include <string>
#include <vector>

enum GridOption : unsigned {
    goFixedVertLine = 0x001,
    goFixedHorzLine = 0x002,
    goVertLine = 0x004,
    goHorzLine = 0x008,
    goRangeSelect = 0x010,
    goDrawFocusSelected = 0x020,
    goColSizing = 0x040,
    goRowSelect = 0x080,
    goTabs = 0x100,
};

enum GridDrawState : unsigned {
    gdSelected = 0x1,
    gdFocused = 0x2,
    gdFixed = 0x4,
};

// A block of cells, corners included; Left below 0 selects nothing.
struct GridRect {
    int Left = -1;
    int Top = -1;
    int Right = -1;
    int Bottom = -1;

    bool IsNone() const { return Left < 0; }
    bool Contains(int col, int row) const {
        return !IsNone() && col >= Left && col <= Right && row >= Top && row <= Bottom;
    }
    bool operator==(const GridRect&) const = default;
};

class Grid : public QAbstractScrollArea {
    Q_OBJECT

public:
    explicit Grid(QWidget* parent = nullptr);

    int ColCount() const { return colCount_; }
    int RowCount() const { return rowCount_; }
    // Cells that stay keep their texts and sizes; new ones are empty and of
    // the default size.
    void SetColCount(int count);
    void SetRowCount(int count);
    // A grid keeps at least one row (column) that is not fixed; the fixed
    // count asked for comes back when the grid grows again.
    int FixedCols() const { return fixedCols_; }
    int FixedRows() const { return fixedRows_; }
    void SetFixedCols(int count);
    void SetFixedRows(int count);

    // Setting a default size gives it to every column (row).
    int DefaultColWidth() const { return defaultColWidth_; }
    int DefaultRowHeight() const { return defaultRowHeight_; }
    void SetDefaultColWidth(int width);
    void SetDefaultRowHeight(int height);
    int ColWidth(int col) const;
    int RowHeight(int row) const;
    void SetColWidth(int col, int width);
    void SetRowHeight(int row, int height);
    int GridLineWidth() const { return lineWidth_; }
    void SetGridLineWidth(int width);

    unsigned Options() const { return options_; }
    void SetOptions(unsigned options);
    // Whether Tab stops in the column (with goTabs).
    bool TabStop(int col) const;
    void SetTabStop(int col, bool stop);

    // The text of a cell; cells outside the grid read as empty and ignore
    // what is stored.
    const std::string& Cell(int col, int row) const;
    void SetCell(int col, int row, std::string text);

    // The current cell. Setting it keeps it off the fixed cells and selects it.
    int Col() const { return col_; }
    int Row() const { return row_; }
    void SetCol(int col) { SetCurrent(col, row_); }
    void SetRow(int row) { SetCurrent(col_, row); }
    void SetCurrent(int col, int row);

    // The highlighted block; GridRect() highlights nothing.
    GridRect Selection() const { return selection_; }
    void SetSelection(const GridRect& selection);

    // The first row and column of the scrolling part on screen.
    int TopRow() const { return topRow_; }
    int LeftCol() const { return leftCol_; }
    void SetTopRow(int row);
    void SetLeftCol(int col);

    // Where a cell stands on the viewport; empty when it is not on screen.
    QRect CellRect(int col, int row) const;
    // The cell under a viewport point; false when none is.
    bool MouseToCell(const QPoint& point, int& col, int& row) const;

    std::function<void(Canvas& canvas, int col, int row, const TRect& rect, unsigned state)>
        OnDrawCell;
    // A cell was chosen by mouse or key.
    std::function<void()> OnClick;
    std::function<void()> OnDblClick;
    // The grid lost the focus.
    std::function<void()> OnExit;
    // Before the grid acts on a key; a handler that sets the key to 0 keeps
    // the grid from acting.
    std::function<void(int& key, Qt::KeyboardModifiers modifiers)> OnKeyDown;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    struct Span {
        int start;
        int size;
    };
    using Spans = std::vector<std::pair<int, Span>>;
    // Where each line (column or row) on screen starts: the fixed ones,
    // then those from `first` while they start within `extent`.
    static Spans Visible(const std::vector<int>& sizes, int fixed, int first, int line, int extent);
    static int FixedExtent(const std::vector<int>& sizes, int fixed, int line);
    // The first scrolling line, moved as little as may be from `first`, that
    // shows `target` whole in `room` (or at the top when it cannot).
    static int FirstShowing(const std::vector<int>& sizes, int fixed, int first, int target,
                            int line, int room);
    Spans VisibleCols() const;
    Spans VisibleRows() const;
    int FixedWidth() const;
    int FixedHeight() const;
    // The column whose right border lies under x in the heading rows, or -1.
    int SizingColumnAt(const QPoint& point) const;
    void MoveCurrent(int col, int row, bool moveAnchor);
    void MoveByKey(int key, Qt::KeyboardModifiers modifiers);
    bool TabToNextCell(bool forward);
    void ScrollIntoView(int col, int row);
    int LastTopRow() const;
    int LastLeftCol() const;
    void UpdateScrollBars();
    void ClampState();
    void Changed();

    int colCount_ = 5;
    int rowCount_ = 5;
    int fixedCols_ = 1;
    int fixedRows_ = 1;
    int wantedFixedCols_ = 1;
    int wantedFixedRows_ = 1;
    int defaultColWidth_ = 64;
    int defaultRowHeight_ = 24;
    int lineWidth_ = 1;
    unsigned options_ = goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine;
    std::vector<int> colWidths_;
    std::vector<int> rowHeights_;
    std::vector<char> tabStops_;
    std::vector<std::string> cells_; // row by row
    int col_ = 1;
    int row_ = 1;
    int anchorCol_ = 1;
    int anchorRow_ = 1;
    GridRect selection_{1, 1, 1, 1};
    int topRow_ = 1;
    int leftCol_ = 1;
    bool selecting_ = false;
    int sizingCol_ = -1;
    int sizingOrigin_ = 0;
};
