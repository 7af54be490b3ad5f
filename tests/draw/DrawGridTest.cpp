// The draw in the main window's upper grid: its size and what each cell
// paints (texts by their top-left corner, and lines), recorded on a canvas
// of fixed metrics. Whole grids are compared with the files under grids/;
// ROSTRIX_UPDATE_GOLDEN=1 rewrites them.
#include "platform/Clock.h"
#include "platform/RecordingPrinter.h"
#include "platform/widgets/Grid.h"
#include "tests/support/Golden.h"
#include "tests/support/Players.h"
#include "tests/support/Responders.h"
#include "unified/Program.h"
#include "unified/core/rxProgram.h"
#include "unified/draw/Draw.h"
#include "unified/window/MainForm.h"

#include <gtest/gtest.h>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

const std::string kGrids = std::string(DRAW_TEST_DIR) + "/grids/";

class DrawGridView : public testing::Test {
protected:
    void SetUp() override {
        Settings = rxProgram();
        CreateWindows({"-T"});
    }
    void TearDown() override { DestroyWindows(); }

    Draw& TheDraw() { return dynamic_cast<Draw&>(*CurrentEvent); }

    // Players "F1 L1" ... ; in doubles each with the partner "G1 P1" ...
    void Enter(int count, bool doubles) {
        Draw& draw = TheDraw();
        if (doubles) draw.SetDoubles();
        for (int n = 1; n <= count; ++n) {
            const Player partner = Named("G" + std::to_string(n), "P" + std::to_string(n));
            ASSERT_EQ(draw.AddPlayer(Named("F" + std::to_string(n), "L" + std::to_string(n)),
                                     doubles ? &partner : nullptr),
                      rcOk);
        }
    }

    // Pairs round 1 by hand, two slots a match, then leaves manual mode
    // unless asked to stay in it, which advances the byes.
    void Pair(const std::vector<int>& places, bool stayManual = false) {
        Draw& draw = TheDraw();
        ASSERT_EQ(draw.CreateEmptyDraw(), rcOk);
        draw.EnterManualMode();
        for (std::size_t m = 1; 2 * m <= places.size(); ++m)
            ASSERT_EQ(draw.SetPairing(1, int(m), places[2 * m - 2], places[2 * m - 1]), rcOk);
        if (!stayManual) {
            ASSERT_EQ(draw.AdvanceByes(), rcOk);
            draw.ClearManualMode();
        }
    }

    // What one cell paints, relative to its own top-left corner.
    std::vector<RecordedMark> Cell(int col, int row) {
        const Grid& grid = *MainForm->DrawGrid;
        RecordingCanvas canvas{PrinterGeometry{}};
        MainForm->DrawGrid->OnDrawCell(canvas, col, row,
                                       {0, 0, grid.ColWidth(col), grid.RowHeight(row)}, 0);
        return canvas.Marks();
    }

    // No two texts of a cell stand on the same line.
    void ExpectNoTextCovered() {
        for (int c = 0; c < MainForm->DrawGrid->ColCount(); ++c)
            for (int r = 0; r < MainForm->DrawGrid->RowCount(); ++r) {
                std::set<int> tops;
                for (const RecordedMark& mark : Cell(c, r)) {
                    if (mark.line) continue;
                    EXPECT_TRUE(tops.insert(mark.y).second) << c << "," << r;
                }
            }
    }

    std::vector<std::string> Texts(int col, int row) {
        std::vector<std::string> texts;
        for (const RecordedMark& mark : Cell(col, row))
            if (!mark.line) texts.push_back(mark.text);
        return texts;
    }

    // The whole grid, cell by cell, as the golden files hold it.
    std::string Dump() {
        MainForm->RefreshViews();
        const Grid& grid = *MainForm->DrawGrid;
        std::string out = "grid " + std::to_string(grid.ColCount()) + " x " +
                          std::to_string(grid.RowCount()) + "\n";
        for (int r = 0; r < grid.RowCount(); ++r) {
            for (int c = 0; c < grid.ColCount(); ++c) {
                const std::vector<RecordedMark> marks = Cell(c, r);
                if (marks.empty()) continue;
                out += "cell " + std::to_string(c) + "," + std::to_string(r) + " (" +
                       std::to_string(grid.ColWidth(c)) + " x " +
                       std::to_string(grid.RowHeight(r)) + ")\n";
                for (const RecordedMark& m : marks) {
                    if (m.line)
                        out += "  line " + std::to_string(m.x) + "," + std::to_string(m.y) +
                               " to " + std::to_string(m.x2) + "," + std::to_string(m.y2) + "\n";
                    else
                        out += "  text " + std::to_string(m.x) + "," + std::to_string(m.y) + " \"" +
                               m.text + "\"\n";
                }
            }
        }
        return out;
    }
};

TEST_F(DrawGridView, ADrawOfEightWithEveryResult) {
    Enter(8, false);
    Pair({1, 8, 4, 5, 3, 6, 2, 7});
    Draw& draw = TheDraw();
    ASSERT_EQ(draw.EnterResult(1, 1, "", "", "6-1 6-2", 1), rcOk);
    ASSERT_EQ(draw.EnterResult(1, 2, "", "", "", 2), rcOk);
    ASSERT_EQ(draw.EnterResult(1, 3, "", "", "", 1), rcOk);
    ASSERT_EQ(draw.EnterResult(1, 4, "", "", "", 2), rcOk);
    ASSERT_EQ(draw.EnterResult(2, 1, "", "", "", 1), rcOk);
    ASSERT_EQ(draw.EnterResult(2, 2, "", "", "", 2), rcOk);
    ASSERT_EQ(draw.EnterResult(3, 1, "", "", "", 2), rcOk);
    CompareGolden(kGrids + "singles-8-results.txt", Dump());
    ExpectNoTextCovered();

    const Grid& grid = *MainForm->DrawGrid;
    EXPECT_EQ(grid.RowCount(), 5);
    EXPECT_EQ(grid.ColCount(), 5);
    // Round 2 match 2 (players 3 and 7) in rows 3 and 4 of column 2; the
    // final (span 4) in rows 2 and 3 of column 3; the champion in row 2.
    EXPECT_EQ(Texts(2, 3), std::vector<std::string>{"  3 F L3"});
    EXPECT_EQ(Texts(2, 4), std::vector<std::string>{"  7 F L7"});
    EXPECT_EQ(Texts(3, 2), std::vector<std::string>{"  1 F L1"});
    EXPECT_EQ(Texts(3, 3), std::vector<std::string>{"  7 F L7"});
    EXPECT_TRUE(Texts(3, 1).empty());
    EXPECT_TRUE(Texts(3, 4).empty());
    EXPECT_EQ(Texts(4, 2), std::vector<std::string>{"  7 F L7"});
    EXPECT_EQ(Texts(4, 1), std::vector<std::string>{"(0 seeds)"});
}

TEST_F(DrawGridView, ADoublesDrawOfFiveShowsItsByesAndTheirAdvance) {
    Enter(5, true);
    Pair({1, 0, 4, 5, 3, 0, 0, 2});
    MainForm->RefreshViews();
    EXPECT_EQ(Texts(1, 4), (std::vector<std::string>{"    BYE  ", "  2 L2 / P2"}));
    EXPECT_EQ(Texts(2, 4), std::vector<std::string>{"  2 L2 / P2"}) << "the bye advanced";
    EXPECT_EQ(Texts(0, 0), std::vector<std::string>{"Doubles"});
}

// In draws of 2 and 4 the champion stands in row 1, where the notes of a
// larger draw are: the seeds note must not cover the champion's name.
TEST_F(DrawGridView, TheSeedsNoteNeverCoversTheChampion) {
    Enter(3, false);
    Pair({1, 0, 2, 3});
    ASSERT_EQ(TheDraw().EnterResult(1, 2, "", "", "", 1), rcOk);
    ASSERT_EQ(TheDraw().EnterResult(2, 1, "", "", "", 2), rcOk);
    std::string grids = Dump();
    EXPECT_EQ(Texts(1, 1), (std::vector<std::string>{"  1 F L1", "    BYE  "}));
    EXPECT_EQ(Texts(3, 1), std::vector<std::string>{"  2 F L2"});
    EXPECT_EQ(Texts(3, 2), std::vector<std::string>{"(0 seeds)"});
    ExpectNoTextCovered();

    DestroyWindows();
    CreateWindows({"-T"});
    Enter(2, false);
    Pair({2, 0}, true);
    MainForm->RefreshViews();
    EXPECT_EQ(Texts(1, 1), (std::vector<std::string>{"  2 F L2", "       "}))
        << "an empty slot of two players is no bye";
    Pair({2, 1}, true);
    grids += Dump();
    EXPECT_EQ(Texts(1, 1), (std::vector<std::string>{"  2 F L2", "  1 F L1"}));
    EXPECT_EQ(Texts(2, 1), (std::vector<std::string>{"       ", "(Manual Draw)"}))
        << "no champion yet, two players and no byes";
    ExpectNoTextCovered();

    DestroyWindows();
    CreateWindows({"-T"});
    Enter(2, false);
    ASSERT_EQ(TheDraw().CreateDraw(1), rcOk);
    ASSERT_EQ(TheDraw().EnterResult(1, 1, "", "", "", 1), rcOk);
    grids += Dump();
    EXPECT_EQ(Texts(2, 1), (std::vector<std::string>{"  1 F L1", "(1 seeds)"}));
    ExpectNoTextCovered();
    CompareGolden(kGrids + "champion-in-row-1.txt", grids);
}

// A draw of 33 in either form: 64 slots, so 31 byes, each beside one player,
// every player once in round 1 and each bye's player again in round 2.
TEST_F(DrawGridView, EveryPlayerOfALargeDrawStandsOnceInRoundOne) {
    for (const bool doubles : {false, true}) {
        SCOPED_TRACE(doubles ? "doubles" : "singles");
        DestroyWindows();
        CreateWindows({"-T"});
        Enter(33, doubles);
        SetFixedClock(1700000000);
        const short code = TheDraw().CreateDraw(4);
        ClearFixedClock();
        ASSERT_EQ(code, rcOk);
        MainForm->RefreshViews();
        const Grid& grid = *MainForm->DrawGrid;
        ASSERT_EQ(grid.RowCount(), 33);
        ASSERT_EQ(grid.ColCount(), 8);
        EXPECT_EQ(Texts(7, 0), std::vector<std::string>{"Champion"});
        EXPECT_EQ(Texts(6, 0), std::vector<std::string>{"Round 6"});
        EXPECT_EQ(Texts(0, 32), std::vector<std::string>{"032"});

        std::map<std::string, int> roundOne;
        for (int r = 1; r <= 32; ++r)
            for (const std::string& text : Texts(1, r))
                ++roundOne[text];
        EXPECT_EQ(roundOne["    BYE  "], 31);
        std::multiset<std::string> advanced;
        for (int r = 1; r <= 32; ++r)
            for (const std::string& text : Texts(2, r))
                if (text != "       ") advanced.insert(text);
        EXPECT_EQ(advanced.size(), 31u);
        for (int n = 1; n <= 33; ++n) {
            char number[8];
            std::snprintf(number, sizeof number, "%3d ", n);
            const std::string name = doubles ? "L" + std::to_string(n) + " / P" + std::to_string(n)
                                             : "F L" + std::to_string(n);
            EXPECT_EQ(roundOne[number + name], 1) << n;
        }
        for (const std::string& text : advanced)
            EXPECT_EQ(roundOne[text], 1) << text << " advanced without a bye";
    }
}

} // namespace
