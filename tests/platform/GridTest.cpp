#include "platform/Grid.h"

#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

// A shown grid of 4 columns of 50 and rows of 20 on a 300 by 200 viewport,
// with one line of 1 pixel between cells.
class GridOnScreen : public testing::Test {
protected:
    void SetUp() override {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(&grid);
        layout->addWidget(&other);
        grid.SetColCount(4);
        grid.SetRowCount(30);
        grid.SetDefaultColWidth(50);
        grid.SetDefaultRowHeight(20);
        window.resize(320, 260);
        window.show();
        QApplication::processEvents();
        grid.setFocus();
    }

    QPoint Centre(int col, int row) const { return grid.CellRect(col, row).center(); }
    void Click(int col, int row, Qt::KeyboardModifiers modifiers = {}) {
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, modifiers, Centre(col, row));
    }
    void Key(int key, Qt::KeyboardModifiers modifiers = {}) {
        QTest::keyClick(&grid, Qt::Key(key), modifiers);
    }

    QWidget window;
    Grid grid;
    QLineEdit other;
};

// Paints the grid and records every cell the callback was asked to draw.
struct Painted {
    int col, row;
    TRect rect;
    unsigned state;
};
std::vector<Painted> PaintAll(Grid& grid) {
    std::vector<Painted> cells;
    grid.OnDrawCell = [&cells](Canvas&, int c, int r, const TRect& rect, unsigned state) {
        cells.push_back({c, r, rect, state});
    };
    grid.viewport()->grab();
    grid.OnDrawCell = nullptr;
    return cells;
}

unsigned StateOf(const std::vector<Painted>& cells, int col, int row) {
    for (const Painted& p : cells)
        if (p.col == col && p.row == row) return p.state;
    ADD_FAILURE() << "cell " << col << "," << row << " not painted";
    return 0;
}

} // namespace

TEST(GridStore, CellsKeepTheirPlaceWhenTheGridChangesShape) {
    Grid grid;
    grid.SetColCount(3);
    grid.SetRowCount(3);
    grid.SetCell(2, 1, "two-one");
    grid.SetCell(0, 2, "zero-two");
    grid.SetColCount(5);
    EXPECT_EQ(grid.Cell(2, 1), "two-one");
    EXPECT_EQ(grid.Cell(0, 2), "zero-two");
    EXPECT_EQ(grid.Cell(4, 2), "");
    grid.SetColCount(2);
    grid.SetRowCount(2);
    EXPECT_EQ(grid.Cell(2, 1), "");
    grid.SetColCount(3);
    grid.SetRowCount(3);
    EXPECT_EQ(grid.Cell(2, 1), "") << "a cell taken away comes back empty";
    EXPECT_EQ(grid.Cell(0, 2), "");
    // Outside the grid nothing is stored and nothing is read.
    grid.SetCell(3, 0, "outside");
    grid.SetCell(-1, 0, "outside");
    EXPECT_EQ(grid.Cell(3, 0), "");
    EXPECT_EQ(grid.Cell(-1, 0), "");
}

TEST(GridStore, DefaultSizesGoToEveryCellAndSingleSizesStay) {
    Grid grid;
    grid.SetColCount(3);
    grid.SetRowCount(4);
    grid.SetColWidth(1, 99);
    grid.SetDefaultColWidth(40);
    EXPECT_EQ(grid.ColWidth(1), 40);
    grid.SetColWidth(2, 120);
    grid.SetRowHeight(0, 9);
    grid.SetDefaultRowHeight(18);
    grid.SetRowHeight(3, 30);
    EXPECT_EQ(grid.ColWidth(0), 40);
    EXPECT_EQ(grid.ColWidth(2), 120);
    EXPECT_EQ(grid.RowHeight(0), 18);
    EXPECT_EQ(grid.RowHeight(3), 30);
    grid.SetColCount(4);
    grid.SetRowCount(5);
    EXPECT_EQ(grid.ColWidth(3), 40);
    EXPECT_EQ(grid.RowHeight(4), 18);
    EXPECT_EQ(grid.ColWidth(2), 120);
}

TEST(GridStore, FixedCellsNeverBecomeCurrent) {
    Grid grid;
    grid.SetColCount(3);
    grid.SetRowCount(3);
    grid.SetFixedCols(1);
    grid.SetFixedRows(1);
    grid.SetCurrent(0, 0);
    EXPECT_EQ(grid.Col(), 1);
    EXPECT_EQ(grid.Row(), 1);
    grid.SetCurrent(7, 7);
    EXPECT_EQ(grid.Col(), 2);
    EXPECT_EQ(grid.Row(), 2);
    // A grid cut down to its headings has at most all but one row fixed.
    grid.SetRowCount(1);
    EXPECT_EQ(grid.FixedRows(), 0);
    grid.SetRowCount(4);
    EXPECT_EQ(grid.FixedRows(), 1) << "the headings come back with the rows";
    grid.SetCurrent(1, 0);
    EXPECT_EQ(grid.Row(), 1);
    grid.SetRowCount(0);
    EXPECT_EQ(grid.RowCount(), 0);
    EXPECT_EQ(grid.Cell(1, 0), "");
}

TEST_F(GridOnScreen, CellsStandAfterTheirNeighboursAndTheLines) {
    grid.SetGridLineWidth(2);
    grid.SetColWidth(1, 70);
    EXPECT_EQ(grid.CellRect(0, 0), QRect(0, 0, 50, 20));
    EXPECT_EQ(grid.CellRect(1, 0), QRect(52, 0, 70, 20));
    EXPECT_EQ(grid.CellRect(2, 1), QRect(124, 22, 50, 20));
    grid.SetGridLineWidth(0);
    EXPECT_EQ(grid.CellRect(2, 1), QRect(120, 20, 50, 20));
    int col = -1;
    int row = -1;
    ASSERT_TRUE(grid.MouseToCell(QPoint(121, 39), col, row));
    EXPECT_EQ(col, 2);
    EXPECT_EQ(row, 1);
    EXPECT_FALSE(grid.MouseToCell(QPoint(299, 10), col, row)) << "right of the last column";
}

TEST_F(GridOnScreen, FixedRowsAndColumnsStayWhenTheRestScrolls) {
    grid.SetColCount(12);
    grid.SetTopRow(10);
    grid.SetLeftCol(5);
    EXPECT_EQ(grid.TopRow(), 10);
    EXPECT_EQ(grid.CellRect(0, 0), QRect(0, 0, 50, 20));
    EXPECT_EQ(grid.CellRect(5, 10), QRect(51, 21, 50, 20));
    EXPECT_TRUE(grid.CellRect(1, 1).isEmpty()) << "scrolled away";
    // Scrolling stops where the last row still fills the view.
    grid.SetTopRow(29);
    const QRect last = grid.CellRect(5, 29);
    ASSERT_FALSE(last.isEmpty());
    EXPECT_LE(last.bottom(), grid.viewport()->height());
    EXPECT_LT(grid.TopRow(), 29);
}

TEST_F(GridOnScreen, KeysMoveTheCurrentCellAndKeepItInView) {
    Click(1, 1);
    for (int i = 0; i < 15; ++i)
        Key(Qt::Key_Down);
    EXPECT_EQ(grid.Row(), 16);
    EXPECT_FALSE(grid.CellRect(1, 16).isEmpty());
    EXPECT_GT(grid.TopRow(), 1);
    Key(Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(grid.Row(), 1);
    EXPECT_EQ(grid.TopRow(), 1);
    Key(Qt::Key_Left);
    Key(Qt::Key_Up);
    EXPECT_EQ(grid.Col(), 1) << "the fixed column is never current";
    EXPECT_EQ(grid.Row(), 1);
    Key(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(grid.Row(), 29);
}

TEST_F(GridOnScreen, ClicksChooseCellsAndReportThem) {
    int clicks = 0;
    int doubleClicks = 0;
    grid.OnClick = [&] { ++clicks; };
    grid.OnDblClick = [&] { ++doubleClicks; };
    Click(2, 3);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(grid.Col(), 2);
    EXPECT_EQ(grid.Row(), 3);
    EXPECT_EQ(grid.Selection(), (GridRect{2, 3, 2, 3}));
    Click(0, 5);
    Click(2, 0);
    EXPECT_EQ(clicks, 1) << "a heading is no cell to choose";
    EXPECT_EQ(grid.Row(), 3);
    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, Centre(3, 4));
    EXPECT_EQ(doubleClicks, 1);
    EXPECT_EQ(grid.Row(), 4);
    Key(Qt::Key_Down);
    EXPECT_EQ(grid.Row(), 5);
    EXPECT_EQ(grid.Selection(), (GridRect{3, 5, 3, 5}));
}

TEST_F(GridOnScreen, RowAndRangeSelection) {
    grid.SetOptions(grid.Options() | goRowSelect | goRangeSelect);
    Click(2, 4);
    EXPECT_EQ(grid.Selection(), (GridRect{1, 4, 3, 4}));
    Click(1, 6, Qt::ShiftModifier);
    EXPECT_EQ(grid.Selection(), (GridRect{1, 4, 3, 6}));
    Key(Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(grid.Selection(), (GridRect{1, 4, 3, 5}));
    // Dragging extends from where the press was.
    QTest::mousePress(grid.viewport(), Qt::LeftButton, {}, Centre(1, 2));
    QMouseEvent move(QEvent::MouseMove, Centre(1, 3), grid.viewport()->mapToGlobal(Centre(1, 3)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(grid.viewport(), &move);
    QTest::mouseRelease(grid.viewport(), Qt::LeftButton, {}, Centre(1, 3));
    EXPECT_EQ(grid.Selection(), (GridRect{1, 2, 3, 3}));
    // Without range selection a shift click starts anew.
    grid.SetOptions(goRowSelect);
    Click(1, 6, Qt::ShiftModifier);
    EXPECT_EQ(grid.Selection(), (GridRect{1, 6, 3, 6}));
}

TEST_F(GridOnScreen, PaintingShowsTheSelectionTheFocusAndTheHeadings) {
    grid.SetOptions(grid.Options() | goRangeSelect);
    Click(1, 1);
    Click(2, 2, Qt::ShiftModifier);
    std::vector<Painted> cells = PaintAll(grid);
    EXPECT_EQ(StateOf(cells, 0, 0), unsigned(gdFixed));
    EXPECT_EQ(StateOf(cells, 2, 0), unsigned(gdFixed));
    EXPECT_EQ(StateOf(cells, 1, 1), unsigned(gdSelected));
    EXPECT_EQ(StateOf(cells, 2, 2), unsigned(gdFocused)) << "the current cell shows as focused";
    EXPECT_EQ(StateOf(cells, 3, 3), 0u);
    for (const Painted& p : cells)
        if (p.col == 2 && p.row == 1) {
            EXPECT_EQ(p.rect.Left, 102);
            EXPECT_EQ(p.rect.Right, 152);
            EXPECT_EQ(p.rect.Top, 21);
            EXPECT_EQ(p.rect.Bottom, 41);
        }
    grid.SetOptions(grid.Options() | goDrawFocusSelected);
    Click(2, 2);
    cells = PaintAll(grid);
    EXPECT_EQ(StateOf(cells, 2, 2), unsigned(gdSelected | gdFocused));
    // A selection of none highlights nothing, the current cell included.
    grid.SetSelection(GridRect());
    grid.clearFocus();
    cells = PaintAll(grid);
    for (const Painted& p : cells)
        EXPECT_EQ(p.state & gdSelected, 0u) << p.col << "," << p.row;
    EXPECT_EQ(grid.Row(), 2);
}

TEST_F(GridOnScreen, KeyDownSeesEveryKeyAndCanKeepItFromTheGrid) {
    std::vector<int> seen;
    grid.OnKeyDown = [&](int& key, Qt::KeyboardModifiers) {
        seen.push_back(key);
        if (key == Qt::Key_Down) key = 0;
    };
    Click(1, 1);
    Key(Qt::Key_Down);
    Key(Qt::Key_Return);
    Key(Qt::Key_Right);
    EXPECT_EQ(seen, (std::vector<int>{Qt::Key_Down, Qt::Key_Return, Qt::Key_Right}));
    EXPECT_EQ(grid.Row(), 1);
    EXPECT_EQ(grid.Col(), 2);
}

TEST_F(GridOnScreen, TabMovesBetweenCellsOnlyWhenAsked) {
    Click(1, 1);
    Key(Qt::Key_Tab);
    EXPECT_TRUE(other.hasFocus()) << "without goTabs Tab leaves the grid";
    grid.setFocus();
    grid.SetOptions(grid.Options() | goTabs);
    grid.SetTabStop(2, false);
    Key(Qt::Key_Tab);
    EXPECT_TRUE(grid.hasFocus());
    EXPECT_EQ(grid.Col(), 3) << "a column out of the tab order is passed over";
    Key(Qt::Key_Tab);
    EXPECT_EQ(grid.Col(), 1);
    EXPECT_EQ(grid.Row(), 2) << "past the last column Tab goes on in the next row";
    Key(Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(grid.Col(), 3);
    EXPECT_EQ(grid.Row(), 1);
    grid.SetCurrent(3, 29);
    Key(Qt::Key_Tab);
    EXPECT_EQ(grid.Col(), 1);
    EXPECT_EQ(grid.Row(), 1) << "after the last cell the first comes again";
}

TEST_F(GridOnScreen, LeavingTheGridIsReported) {
    int exits = 0;
    grid.OnExit = [&] { ++exits; };
    other.setFocus();
    EXPECT_EQ(exits, 1);
    grid.setFocus();
    grid.clearFocus();
    EXPECT_EQ(exits, 2);
}

TEST_F(GridOnScreen, ColumnsAreSizedByDraggingTheirHeadingBorder) {
    const int border = grid.CellRect(1, 0).right() + 1;
    QTest::mousePress(grid.viewport(), Qt::LeftButton, {}, QPoint(border, 10));
    QMouseEvent move(QEvent::MouseMove, QPoint(border + 30, 10), QPoint(border + 30, 10),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(grid.viewport(), &move);
    QTest::mouseRelease(grid.viewport(), Qt::LeftButton, {}, QPoint(border + 30, 10));
    EXPECT_EQ(grid.ColWidth(1), 50) << "only with goColSizing";
    grid.SetOptions(grid.Options() | goColSizing);
    QTest::mousePress(grid.viewport(), Qt::LeftButton, {}, QPoint(border, 10));
    QApplication::sendEvent(grid.viewport(), &move);
    QTest::mouseRelease(grid.viewport(), Qt::LeftButton, {}, QPoint(border + 30, 10));
    EXPECT_EQ(grid.ColWidth(1), 80);
    // Below the headings the same border chooses a cell instead.
    QTest::mousePress(grid.viewport(), Qt::LeftButton, {}, QPoint(border + 30, 50));
    QTest::mouseRelease(grid.viewport(), Qt::LeftButton, {}, QPoint(border + 30, 50));
    EXPECT_EQ(grid.ColWidth(1), 80);
    EXPECT_EQ(grid.Row(), 2);
}

TEST_F(GridOnScreen, TextCellsAndOwnerDrawingShareThePainting) {
    grid.SetCell(1, 1, "Ab");
    grid.OnDrawCell = [](Canvas& canvas, int col, int row, const TRect& r, unsigned) {
        if (col == 2 && row == 1) {
            canvas.MoveTo(r.Left, r.Top + 5);
            canvas.LineTo(r.Right, r.Top + 5);
        }
    };
    const QImage image = grid.viewport()->grab().toImage();
    const QRect text = grid.CellRect(1, 1);
    const QRgb base = image.pixel(text.right() - 1, text.bottom() - 1);
    bool inked = false;
    for (int y = text.top(); y <= text.bottom(); ++y)
        for (int x = text.left(); x < text.left() + 20; ++x)
            inked |= image.pixel(x, y) != base;
    EXPECT_TRUE(inked) << "the stored text is painted";
    const QRect drawn = grid.CellRect(2, 1);
    EXPECT_NE(image.pixel(drawn.left(), drawn.top() + 5), base);
    EXPECT_NE(image.pixel(drawn.right(), drawn.top() + 5), base);
    EXPECT_EQ(image.pixel(drawn.left(), drawn.top() + 4), base);
}
