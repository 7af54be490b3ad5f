#include "platform/widgets/Grid.h"

#include "platform/widgets/PainterCanvas.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

namespace {

const std::string kNoText;

// A pointer this close to a column's right border sizes the column.
constexpr int kSizingMargin = 2;

} // namespace

Grid::Grid(QWidget* parent) : QAbstractScrollArea(parent) {
    colWidths_.assign(colCount_, defaultColWidth_);
    rowHeights_.assign(rowCount_, defaultRowHeight_);
    tabStops_.assign(colCount_, 1);
    cells_.resize(static_cast<std::size_t>(colCount_) * rowCount_);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true);
    UpdateScrollBars();
}

void Grid::SetColCount(int count) {
    count = std::max(0, count);
    if (count == colCount_) return;
    std::vector<std::string> cells(static_cast<std::size_t>(count) * rowCount_);
    const int kept = std::min(count, colCount_);
    for (int r = 0; r < rowCount_; ++r)
        for (int c = 0; c < kept; ++c)
            cells[static_cast<std::size_t>(r) * count + c] =
                std::move(cells_[static_cast<std::size_t>(r) * colCount_ + c]);
    cells_ = std::move(cells);
    colCount_ = count;
    colWidths_.resize(count, defaultColWidth_);
    tabStops_.resize(count, 1);
    ClampState();
    Changed();
}

void Grid::SetRowCount(int count) {
    count = std::max(0, count);
    if (count == rowCount_) return;
    rowCount_ = count;
    rowHeights_.resize(count, defaultRowHeight_);
    cells_.resize(static_cast<std::size_t>(colCount_) * count);
    ClampState();
    Changed();
}

void Grid::SetFixedCols(int count) {
    wantedFixedCols_ = std::max(0, count);
    ClampState();
    Changed();
}

void Grid::SetFixedRows(int count) {
    wantedFixedRows_ = std::max(0, count);
    ClampState();
    Changed();
}

void Grid::SetDefaultColWidth(int width) {
    defaultColWidth_ = std::max(0, width);
    std::fill(colWidths_.begin(), colWidths_.end(), defaultColWidth_);
    Changed();
}

void Grid::SetDefaultRowHeight(int height) {
    defaultRowHeight_ = std::max(0, height);
    std::fill(rowHeights_.begin(), rowHeights_.end(), defaultRowHeight_);
    Changed();
}

int Grid::ColWidth(int col) const {
    return col >= 0 && col < colCount_ ? colWidths_[col] : defaultColWidth_;
}

int Grid::RowHeight(int row) const {
    return row >= 0 && row < rowCount_ ? rowHeights_[row] : defaultRowHeight_;
}

void Grid::SetColWidth(int col, int width) {
    if (col < 0 || col >= colCount_) return;
    colWidths_[col] = std::max(0, width);
    Changed();
}

void Grid::SetRowHeight(int row, int height) {
    if (row < 0 || row >= rowCount_) return;
    rowHeights_[row] = std::max(0, height);
    Changed();
}

void Grid::SetGridLineWidth(int width) {
    lineWidth_ = std::max(0, width);
    Changed();
}

void Grid::SetOptions(unsigned options) {
    options_ = options;
    MoveCurrent(col_, row_, true);
    Changed();
}

bool Grid::TabStop(int col) const {
    return col >= 0 && col < colCount_ && tabStops_[col] != 0;
}

void Grid::SetTabStop(int col, bool stop) {
    if (col >= 0 && col < colCount_) tabStops_[col] = stop ? 1 : 0;
}

const std::string& Grid::Cell(int col, int row) const {
    if (col < 0 || col >= colCount_ || row < 0 || row >= rowCount_) return kNoText;
    return cells_[static_cast<std::size_t>(row) * colCount_ + col];
}

void Grid::SetCell(int col, int row, std::string text) {
    if (col < 0 || col >= colCount_ || row < 0 || row >= rowCount_) return;
    cells_[static_cast<std::size_t>(row) * colCount_ + col] = std::move(text);
    viewport()->update();
}

void Grid::SetCurrent(int col, int row) {
    MoveCurrent(col, row, true);
}

void Grid::SetSelection(const GridRect& selection) {
    selection_ = selection;
    ClampState();
    viewport()->update();
}

void Grid::SetTopRow(int row) {
    topRow_ = row;
    ClampState();
    Changed();
}

void Grid::SetLeftCol(int col) {
    leftCol_ = col;
    ClampState();
    Changed();
}

Grid::Spans Grid::Visible(const std::vector<int>& sizes, int fixed, int first, int line,
                          int extent) {
    Spans spans;
    int at = 0;
    const int count = static_cast<int>(sizes.size());
    for (int i = 0; i < fixed && i < count; ++i) {
        spans.push_back({i, {at, sizes[i]}});
        at += sizes[i] + line;
    }
    for (int i = first; i < count && at < extent; ++i) {
        spans.push_back({i, {at, sizes[i]}});
        at += sizes[i] + line;
    }
    return spans;
}

int Grid::FixedExtent(const std::vector<int>& sizes, int fixed, int line) {
    int extent = 0;
    for (int i = 0; i < fixed && i < static_cast<int>(sizes.size()); ++i)
        extent += sizes[i] + line;
    return extent;
}

int Grid::FirstShowing(const std::vector<int>& sizes, int fixed, int first, int target, int line,
                       int room) {
    if (target < fixed) return first;
    first = std::min(first, target);
    int used = 0;
    for (int i = first; i <= target; ++i)
        used += sizes[i] + line;
    while (first < target && used > room)
        used -= sizes[first++] + line;
    return first;
}

Grid::Spans Grid::VisibleCols() const {
    return Visible(colWidths_, fixedCols_, leftCol_, lineWidth_, viewport()->width());
}

Grid::Spans Grid::VisibleRows() const {
    return Visible(rowHeights_, fixedRows_, topRow_, lineWidth_, viewport()->height());
}

int Grid::FixedWidth() const {
    return FixedExtent(colWidths_, fixedCols_, lineWidth_);
}

int Grid::FixedHeight() const {
    return FixedExtent(rowHeights_, fixedRows_, lineWidth_);
}

QRect Grid::CellRect(int col, int row) const {
    const auto cols = VisibleCols();
    const auto rows = VisibleRows();
    const auto c =
        std::find_if(cols.begin(), cols.end(), [col](auto& e) { return e.first == col; });
    const auto r =
        std::find_if(rows.begin(), rows.end(), [row](auto& e) { return e.first == row; });
    if (c == cols.end() || r == rows.end()) return {};
    return QRect(c->second.start, r->second.start, c->second.size, r->second.size);
}

bool Grid::MouseToCell(const QPoint& point, int& col, int& row) const {
    // A grid line belongs to the cell on its left (above it).
    const auto hit = [this](const std::vector<std::pair<int, Span>>& spans, int at, int& index) {
        for (const auto& [i, span] : spans)
            if (at >= span.start && at < span.start + span.size + lineWidth_) {
                index = i;
                return true;
            }
        return false;
    };
    return hit(VisibleCols(), point.x(), col) && hit(VisibleRows(), point.y(), row);
}

int Grid::SizingColumnAt(const QPoint& point) const {
    if (!(options_ & goColSizing) || point.y() >= FixedHeight()) return -1;
    for (const auto& [c, span] : VisibleCols()) {
        const int border = span.start + span.size + lineWidth_ / 2;
        if (std::abs(point.x() - border) <= kSizingMargin) return c;
    }
    return -1;
}

int Grid::LastTopRow() const {
    if (rowCount_ - 1 < fixedRows_) return fixedRows_;
    return FirstShowing(rowHeights_, fixedRows_, fixedRows_, rowCount_ - 1, lineWidth_,
                        viewport()->height() - FixedHeight());
}

int Grid::LastLeftCol() const {
    if (colCount_ - 1 < fixedCols_) return fixedCols_;
    return FirstShowing(colWidths_, fixedCols_, fixedCols_, colCount_ - 1, lineWidth_,
                        viewport()->width() - FixedWidth());
}

void Grid::UpdateScrollBars() {
    const int top = std::clamp(topRow_, fixedRows_, LastTopRow());
    const int left = std::clamp(leftCol_, fixedCols_, LastLeftCol());
    QScrollBar* vertical = verticalScrollBar();
    vertical->setRange(0, LastTopRow() - fixedRows_);
    vertical->setPageStep(std::max(1, rowCount_ - fixedRows_ - (LastTopRow() - fixedRows_)));
    vertical->setValue(top - fixedRows_);
    QScrollBar* horizontal = horizontalScrollBar();
    horizontal->setRange(0, LastLeftCol() - fixedCols_);
    horizontal->setPageStep(std::max(1, colCount_ - fixedCols_ - (LastLeftCol() - fixedCols_)));
    horizontal->setValue(left - fixedCols_);
    topRow_ = top;
    leftCol_ = left;
}

void Grid::ClampState() {
    fixedCols_ = std::min(wantedFixedCols_, std::max(0, colCount_ - 1));
    fixedRows_ = std::min(wantedFixedRows_, std::max(0, rowCount_ - 1));
    const auto clampCol = [this](int c) {
        return std::clamp(c, fixedCols_, std::max(fixedCols_, colCount_ - 1));
    };
    const auto clampRow = [this](int r) {
        return std::clamp(r, fixedRows_, std::max(fixedRows_, rowCount_ - 1));
    };
    col_ = clampCol(col_);
    row_ = clampRow(row_);
    anchorCol_ = clampCol(anchorCol_);
    anchorRow_ = clampRow(anchorRow_);
    topRow_ = std::clamp(topRow_, fixedRows_, std::max(fixedRows_, LastTopRow()));
    leftCol_ = std::clamp(leftCol_, fixedCols_, std::max(fixedCols_, LastLeftCol()));
    if (!selection_.IsNone()) {
        selection_.Right = std::min(selection_.Right, colCount_ - 1);
        selection_.Bottom = std::min(selection_.Bottom, rowCount_ - 1);
        if (selection_.Top < 0 || selection_.Left > selection_.Right ||
            selection_.Top > selection_.Bottom)
            selection_ = GridRect();
    }
}

void Grid::Changed() {
    UpdateScrollBars();
    viewport()->update();
}

void Grid::MoveCurrent(int col, int row, bool moveAnchor) {
    if (colCount_ <= fixedCols_ || rowCount_ <= fixedRows_) return;
    col_ = std::clamp(col, fixedCols_, colCount_ - 1);
    row_ = std::clamp(row, fixedRows_, rowCount_ - 1);
    if (moveAnchor || !(options_ & goRangeSelect)) {
        anchorCol_ = col_;
        anchorRow_ = row_;
    }
    const int top = std::min(anchorRow_, row_);
    const int bottom = std::max(anchorRow_, row_);
    if (options_ & goRowSelect)
        selection_ = {fixedCols_, top, colCount_ - 1, bottom};
    else
        selection_ = {std::min(anchorCol_, col_), top, std::max(anchorCol_, col_), bottom};
    ScrollIntoView(col_, row_);
    viewport()->update();
}

void Grid::ScrollIntoView(int col, int row) {
    topRow_ = FirstShowing(rowHeights_, fixedRows_, topRow_, row, lineWidth_,
                           viewport()->height() - FixedHeight());
    leftCol_ = FirstShowing(colWidths_, fixedCols_, leftCol_, col, lineWidth_,
                            viewport()->width() - FixedWidth());
    UpdateScrollBars();
}

void Grid::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    painter.setFont(font());
    const QPalette colours = palette();
    const bool focused = hasFocus();
    const auto cols = VisibleCols();
    for (const auto& [r, rowSpan] : VisibleRows()) {
        for (const auto& [c, colSpan] : cols) {
            const QRect rect(colSpan.start, rowSpan.start, colSpan.size, rowSpan.size);
            const bool fixed = c < fixedCols_ || r < fixedRows_;
            unsigned state = fixed ? unsigned(gdFixed) : 0u;
            if (!fixed) {
                const bool current = focused && c == col_ && r == row_;
                if (selection_.Contains(c, r) &&
                    (!current || (options_ & (goDrawFocusSelected | goRowSelect))))
                    state |= gdSelected;
                if (current) state |= gdFocused;
            }
            const QBrush background = fixed                ? colours.button()
                                      : state & gdSelected ? colours.highlight()
                                                           : colours.base();
            painter.fillRect(rect, background);
            painter.save();
            painter.setClipRect(rect);
            painter.setBrush(background);
            painter.setPen(fixed                ? colours.buttonText().color()
                           : state & gdSelected ? colours.highlightedText().color()
                                                : colours.text().color());
            const std::string& text = Cell(c, r);
            if (!text.empty())
                painter.drawText(rect.adjusted(2, 2, 0, 0), Qt::AlignLeft | Qt::AlignTop,
                                 QString::fromUtf8(text.data(), qsizetype(text.size())));
            if (OnDrawCell) {
                PainterCanvas canvas(painter);
                OnDrawCell(canvas, c, r,
                           {rect.left(), rect.top(), rect.left() + rect.width(),
                            rect.top() + rect.height()},
                           state);
            }
            painter.restore();
            if ((state & gdFocused) && !(options_ & goRowSelect)) {
                painter.setPen(QPen(colours.text().color(), 1, Qt::DotLine));
                painter.setBrush(Qt::NoBrush);
                painter.drawRect(rect.adjusted(0, 0, -1, -1));
            }
            if (lineWidth_ > 0) {
                const bool vertical = options_ & (fixed ? goFixedVertLine : goVertLine);
                const bool horizontal = options_ & (fixed ? goFixedHorzLine : goHorzLine);
                const QBrush line = fixed ? colours.dark() : colours.mid();
                if (vertical)
                    painter.fillRect(rect.right() + 1, rect.top(), lineWidth_,
                                     rect.height() + lineWidth_, line);
                if (horizontal)
                    painter.fillRect(rect.left(), rect.bottom() + 1, rect.width() + lineWidth_,
                                     lineWidth_, line);
            }
        }
    }
}

void Grid::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
}

void Grid::scrollContentsBy(int, int) {
    topRow_ = fixedRows_ + verticalScrollBar()->value();
    leftCol_ = fixedCols_ + horizontalScrollBar()->value();
    viewport()->update();
}

void Grid::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QAbstractScrollArea::mousePressEvent(event);
    const QPoint at = event->position().toPoint();
    const int sizing = SizingColumnAt(at);
    if (sizing >= 0) {
        sizingCol_ = sizing;
        sizingOrigin_ = at.x() - colWidths_[sizing];
        return;
    }
    int col = 0;
    int row = 0;
    if (!MouseToCell(at, col, row) || col < fixedCols_ || row < fixedRows_) return;
    const bool extend = (event->modifiers() & Qt::ShiftModifier) && (options_ & goRangeSelect);
    MoveCurrent(col, row, !extend);
    selecting_ = true;
}

void Grid::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (sizingCol_ >= 0) {
        SetColWidth(sizingCol_, at.x() - sizingOrigin_);
        return;
    }
    int col = 0;
    int row = 0;
    if (selecting_) {
        if ((options_ & goRangeSelect) && MouseToCell(at, col, row)) MoveCurrent(col, row, false);
        return;
    }
    if (SizingColumnAt(at) >= 0)
        viewport()->setCursor(Qt::SplitHCursor);
    else
        viewport()->unsetCursor();
}

void Grid::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QAbstractScrollArea::mouseReleaseEvent(event);
    if (sizingCol_ >= 0) {
        sizingCol_ = -1;
        return;
    }
    if (!selecting_) return;
    selecting_ = false;
    if (OnClick) OnClick();
}

void Grid::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QAbstractScrollArea::mouseDoubleClickEvent(event);
    // The second press chooses the cell under it like the first.
    int col = 0;
    int row = 0;
    if (MouseToCell(event->position().toPoint(), col, row) && col >= fixedCols_ &&
        row >= fixedRows_)
        MoveCurrent(col, row, true);
    if (OnDblClick) OnDblClick();
}

void Grid::keyPressEvent(QKeyEvent* event) {
    int key = event->key();
    if (OnKeyDown) {
        OnKeyDown(key, event->modifiers());
        if (key == 0) return;
    }
    switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
        MoveByKey(key, event->modifiers());
        if (OnClick) OnClick();
        return;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        if (TabToNextCell(key == Qt::Key_Tab && !(event->modifiers() & Qt::ShiftModifier))) {
            if (OnClick) OnClick();
            return;
        }
        break;
    default:
        break;
    }
    event->ignore();
}

void Grid::MoveByKey(int key, Qt::KeyboardModifiers modifiers) {
    const int page = std::max(1, verticalScrollBar()->pageStep());
    const bool toEnds = (modifiers & Qt::ControlModifier) || (options_ & goRowSelect);
    int col = col_;
    int row = row_;
    switch (key) {
    case Qt::Key_Up:
        --row;
        break;
    case Qt::Key_Down:
        ++row;
        break;
    case Qt::Key_Left:
        --col;
        break;
    case Qt::Key_Right:
        ++col;
        break;
    case Qt::Key_PageUp:
        row -= page;
        break;
    case Qt::Key_PageDown:
        row += page;
        break;
    case Qt::Key_Home:
        (toEnds ? row : col) = 0;
        break;
    case Qt::Key_End:
        (toEnds ? row : col) = std::max(rowCount_, colCount_);
        break;
    }
    const bool extend = (modifiers & Qt::ShiftModifier) && (options_ & goRangeSelect);
    MoveCurrent(col, row, !extend);
}

bool Grid::TabToNextCell(bool forward) {
    if (!(options_ & goTabs)) return false;
    const int cols = colCount_ - fixedCols_;
    const int cells = cols * (rowCount_ - fixedRows_);
    if (cells <= 0) return false;
    int index = (row_ - fixedRows_) * cols + (col_ - fixedCols_);
    for (int step = 0; step < cells; ++step) {
        index = (index + (forward ? 1 : cells - 1)) % cells;
        const int col = fixedCols_ + index % cols;
        if (TabStop(col)) {
            MoveCurrent(col, fixedRows_ + index / cols, true);
            return true;
        }
    }
    return false;
}

void Grid::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void Grid::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
    // A menu or another window taking the focus for a while is no exit.
    if (event->reason() == Qt::PopupFocusReason || event->reason() == Qt::ActiveWindowFocusReason)
        return;
    if (OnExit) OnExit();
}

bool Grid::focusNextPrevChild(bool next) {
    // With goTabs, Tab moves between cells instead of leaving the grid.
    if (options_ & goTabs) return false;
    return QAbstractScrollArea::focusNextPrevChild(next);
}
