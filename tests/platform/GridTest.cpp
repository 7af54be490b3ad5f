#include "platform/widgets/Grid.h"

#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>
#include <map>

namespace {

// A shown grid of 30 rows of 20 and 4 columns of 50, one pixel of line
// between cells, about 9 rows on screen; a line edit beside it.
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
    // Presses at one point, moves with the button down and lets go.
    void Drag(const QPoint& from, const QPoint& to) {
        QTest::mousePress(grid.viewport(), Qt::LeftButton, {}, from);
        QMouseEvent move(QEvent::MouseMove, to, grid.viewport()->mapToGlobal(to), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(grid.viewport(), &move);
        QTest::mouseRelease(grid.viewport(), Qt::LeftButton, {}, to);
    }
    // The state each painted cell was drawn in.
    std::map<std::pair<int, int>, unsigned> PaintedStates() {
        std::map<std::pair<int, int>, unsigned> states;
        grid.OnDrawCell = [&](Canvas&, int c, int r, const TRect&, unsigned state) {
            states[{c, r}] = state;
        };
        grid.viewport()->grab();
        grid.OnDrawCell = nullptr;
        return states;
    }

    QWidget window;
    Grid grid;
    QLineEdit other;
};

using States = std::map<std::pair<int, int>, unsigned>;
unsigned At(const States& states, int col, int row) {
    const auto found = states.find({col, row});
    return found == states.end() ? ~0u : found->second;
}

} // namespace

TEST(GridStore, CellsAndSizesKeepTheirPlaceWhenTheGridChangesShape) {
    Grid grid;
    grid.SetColCount(3);
    grid.SetRowCount(3);
    grid.SetCell(2, 1, "two-one");
    grid.SetCell(0, 2, "zero-two");
    grid.SetColWidth(2, 120);
    grid.SetColCount(5);
    EXPECT_EQ(grid.Cell(2, 1), "two-one");
    EXPECT_EQ(grid.Cell(0, 2), "zero-two");
    EXPECT_EQ(grid.ColWidth(2), 120);
    EXPECT_EQ(grid.ColWidth(4), grid.DefaultColWidth());
    grid.SetColCount(2);
    grid.SetRowCount(2);
    grid.SetColCount(3);
    grid.SetRowCount(3);
    EXPECT_EQ(grid.Cell(2, 1), "") << "a cell taken away comes back empty";
    EXPECT_EQ(grid.Cell(0, 2), "");
    grid.SetCell(3, 0, "outside");
    EXPECT_EQ(grid.Cell(3, 0), "");
    EXPECT_EQ(grid.Cell(-1, 0), "");
    // A default size goes to every row, over any single size.
    grid.SetRowHeight(1, 9);
    grid.SetDefaultRowHeight(18);
    EXPECT_EQ(grid.RowHeight(1), 18);
}

TEST(GridStore, FixedCellsNeverBecomeCurrent) {
    Grid grid;
    grid.SetColCount(3);
    grid.SetRowCount(3);
    grid.SetCurrent(0, 0);
    EXPECT_EQ(grid.Col(), 1);
    EXPECT_EQ(grid.Row(), 1);
    grid.SetCurrent(7, 7);
    EXPECT_EQ(grid.Col(), 2);
    EXPECT_EQ(grid.Row(), 2);
    // A grid keeps one row that is not fixed; its headings come back with
    // the rows.
    grid.SetRowCount(1);
    EXPECT_EQ(grid.FixedRows(), 0);
    grid.SetRowCount(4);
    EXPECT_EQ(grid.FixedRows(), 1);
    grid.SetCurrent(1, 0);
    EXPECT_EQ(grid.Row(), 1);
}

TEST_F(GridOnScreen, FixedCellsStayWhenTheRestScrolls) {
    grid.SetGridLineWidth(2);
    grid.SetColWidth(1, 70);
    EXPECT_EQ(grid.CellRect(1, 0), QRect(52, 0, 70, 20));
    EXPECT_EQ(grid.CellRect(2, 1), QRect(124, 22, 50, 20));
    int col = -1;
    int row = -1;
    ASSERT_TRUE(grid.MouseToCell(QPoint(123, 43), col, row)) << "a line belongs to its cell";
    EXPECT_EQ(col, 1);
    EXPECT_EQ(row, 1);
    EXPECT_FALSE(grid.MouseToCell(QPoint(299, 10), col, row));

    grid.SetGridLineWidth(1);
    grid.SetColCount(12);
    grid.SetTopRow(10);
    grid.SetLeftCol(5);
    EXPECT_EQ(grid.CellRect(0, 0), QRect(0, 0, 50, 20));
    EXPECT_EQ(grid.CellRect(5, 10), QRect(51, 21, 50, 20));
    EXPECT_TRUE(grid.CellRect(1, 1).isEmpty());
    // Scrolling stops where the last row still fills the view.
    grid.SetTopRow(29);
    EXPECT_LT(grid.TopRow(), 29);
    const QRect last = grid.CellRect(5, 29);
    ASSERT_FALSE(last.isEmpty());
    EXPECT_LE(last.bottom(), grid.viewport()->height());
    // Moving by keys keeps the current cell in view.
    Click(5, grid.TopRow());
    Key(Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(grid.TopRow(), 1);
    for (int i = 0; i < 15; ++i)
        Key(Qt::Key_Down);
    EXPECT_EQ(grid.Row(), 16);
    EXPECT_FALSE(grid.CellRect(5, 16).isEmpty());
    Key(Qt::Key_Home);
    EXPECT_EQ(grid.Col(), 1) << "Home goes to the first column that is not fixed";
    EXPECT_FALSE(grid.CellRect(1, 16).isEmpty());
}

TEST_F(GridOnScreen, ClicksKeysAndLeavingReachTheirHandlers) {
    int clicks = 0;
    int doubleClicks = 0;
    int exits = 0;
    std::vector<int> keys;
    grid.OnClick = [&] { ++clicks; };
    grid.OnDblClick = [&] { ++doubleClicks; };
    grid.OnExit = [&] { ++exits; };
    grid.OnKeyDown = [&](int& key, Qt::KeyboardModifiers) {
        keys.push_back(key);
        if (key == Qt::Key_Up) key = 0;
    };
    Click(2, 3);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(grid.Selection(), (GridRect{2, 3, 2, 3}));
    Click(0, 5);
    Click(2, 0);
    EXPECT_EQ(clicks, 1) << "a heading is no cell to choose";
    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, Centre(3, 4));
    EXPECT_EQ(doubleClicks, 1);
    EXPECT_EQ(grid.Row(), 4);
    Key(Qt::Key_Down);
    Key(Qt::Key_Up);
    Key(Qt::Key_Return);
    EXPECT_EQ(grid.Row(), 5) << "the key-down handler kept Up from the grid";
    EXPECT_EQ(keys, (std::vector<int>{Qt::Key_Down, Qt::Key_Up, Qt::Key_Return}));
    EXPECT_EQ(clicks, 2) << "a move by key chooses a cell too";
    other.setFocus();
    EXPECT_EQ(exits, 1);
}

TEST_F(GridOnScreen, RowAndRangeSelection) {
    grid.SetOptions(grid.Options() | goRowSelect | goRangeSelect);
    Click(2, 4);
    EXPECT_EQ(grid.Selection(), (GridRect{1, 4, 3, 4}));
    Click(1, 6, Qt::ShiftModifier);
    EXPECT_EQ(grid.Selection(), (GridRect{1, 4, 3, 6}));
    Key(Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(grid.Selection(), (GridRect{1, 4, 3, 5}));
    Drag(Centre(1, 2), Centre(1, 3));
    EXPECT_EQ(grid.Selection(), (GridRect{1, 2, 3, 3}));
    grid.SetOptions(goRowSelect);
    Click(1, 6, Qt::ShiftModifier);
    EXPECT_EQ(grid.Selection(), (GridRect{1, 6, 3, 6})) << "no range without goRangeSelect";
}

TEST_F(GridOnScreen, PaintingShowsTheSelectionTheFocusAndTheHeadings) {
    grid.SetOptions(grid.Options() | goRangeSelect);
    Click(1, 1);
    Click(2, 2, Qt::ShiftModifier);
    auto states = PaintedStates();
    EXPECT_EQ(At(states, 2, 0), unsigned(gdFixed));
    EXPECT_EQ(At(states, 1, 1), unsigned(gdSelected));
    EXPECT_EQ(At(states, 2, 2), unsigned(gdFocused)) << "the current cell shows as focused only";
    EXPECT_EQ(At(states, 3, 3), 0u);
    grid.SetOptions(grid.Options() | goDrawFocusSelected);
    states = PaintedStates();
    EXPECT_EQ(At(states, 2, 2), unsigned(gdSelected | gdFocused));
    grid.SetSelection(GridRect());
    grid.clearFocus();
    for (const auto& [cell, state] : PaintedStates())
        EXPECT_EQ(state & gdSelected, 0u) << cell.first << "," << cell.second;
}

TEST_F(GridOnScreen, TabMovesBetweenCellsOnlyWhenAsked) {
    Click(1, 1);
    Key(Qt::Key_Tab);
    EXPECT_TRUE(other.hasFocus()) << "without goTabs Tab leaves the grid";
    grid.setFocus();
    grid.SetOptions(grid.Options() | goTabs);
    grid.SetTabStop(2, false);
    Key(Qt::Key_Tab);
    EXPECT_EQ(grid.Col(), 3) << "a column out of the tab order is passed over";
    Key(Qt::Key_Tab);
    EXPECT_EQ(grid.Col(), 1);
    EXPECT_EQ(grid.Row(), 2);
    Key(Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(grid.Col(), 3);
    EXPECT_EQ(grid.Row(), 1);
    grid.SetCurrent(3, 29);
    Key(Qt::Key_Tab);
    EXPECT_EQ(grid.Row(), 1) << "after the last cell the first comes again";
    EXPECT_TRUE(grid.hasFocus());
}

TEST_F(GridOnScreen, ColumnsAreSizedByDraggingTheirHeadingBorder) {
    const int border = grid.CellRect(1, 0).right() + 1;
    Drag(QPoint(border, 10), QPoint(border + 30, 10));
    EXPECT_EQ(grid.ColWidth(1), 50) << "only with goColSizing";
    grid.SetOptions(grid.Options() | goColSizing);
    Drag(QPoint(border, 10), QPoint(border + 30, 10));
    EXPECT_EQ(grid.ColWidth(1), 80);
    // Below the headings the same border chooses a cell.
    Click(1, 2);
    Drag(QPoint(border + 30, 50), QPoint(border + 60, 50));
    EXPECT_EQ(grid.ColWidth(1), 80);
}

TEST_F(GridOnScreen, TextCellsAndOwnerDrawingShareThePainting) {
    grid.SetCell(1, 1, "Ab");
    grid.OnDrawCell = [](Canvas& canvas, int col, int row, const TRect& r, unsigned) {
        if (col != 2 || row != 1) return;
        canvas.MoveTo(r.Left, r.Top + 5);
        canvas.LineTo(r.Right, r.Top + 5);
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
    EXPECT_NE(image.pixel(drawn.right(), drawn.top() + 5), base) << "the cell reaches its right";
    EXPECT_EQ(image.pixel(drawn.left(), drawn.top() + 4), base);
}
