// The match grid and manual assignment through the main window: the grid's
// size and painting, boxes edited through their dialog, and entering and
// leaving manual mode. Painted grids are compared with the files under
// grids/; ROSTRIX_UPDATE_GOLDEN=1 rewrites them.
#include "platform/RecordingPrinter.h"
#include "platform/widgets/Grid.h"
#include "tests/schedule/PlanWindow.h"
#include "tests/support/Golden.h"
#include "tests/support/Scratch.h"
#include "unified/dialogparts/RadioGroup.h"
#include "unified/schedule/ManualMatchAssignBox.h"
#include "unified/schedule/SetupCourtsRoundsBox.h"
#include "unified/window/PreviewBox.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace {

const std::string kGrids = std::string(SCHEDULE_TEST_DIR) + "/grids/";
constexpr unsigned kIncomplete = MB_OK | MB_ICONINFORMATION;

using Box = TManualMatchAssignBox;

class ManualAssignment : public PlanWindow {
protected:
    // Opens the box of (court, round) from the grid, by Enter or a double
    // click; the action gets the dialog.
    void Open(int court, int round, bool byMouse, std::function<void(Box&)> action) {
        DialogScript dialogs;
        dialogs.Expect<Box>([&](Box& d) {
            QApplication::setActiveWindow(&d);
            action(d);
        });
        Grid& grid = *MainForm->DrawGrid;
        grid.SetCurrent(court, round);
        if (byMouse)
            QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {},
                               grid.CellRect(court, round).center());
        else
            QTest::keyClick(&grid, Qt::Key_Return);
    }

    // The four places of a box.
    static std::vector<int> BoxOf(int round, int court) {
        std::vector<int> box;
        for (int p = 1; p <= 4; ++p)
            box.push_back(Plan().GetSlot(round, court, p));
        return box;
    }

    static void Put(int round, int court, const std::vector<int>& box) {
        for (int p = 1; p <= 4; ++p)
            ASSERT_EQ(Plan().PutSlot(round, court, p, box[p - 1]), 0);
    }
};

std::string Name(int n) {
    return n == 0 ? "" : "L" + std::to_string(n) + ", F" + std::to_string(n);
}

void Choose(QComboBox* list, int n) {
    list->setCurrentIndex(list->findText(QString::fromStdString(Name(n))));
}

// What one cell paints, relative to its own top-left corner.
std::vector<RecordedMark> Cell(int col, int row) {
    const Grid& grid = *MainForm->DrawGrid;
    RecordingCanvas canvas{PrinterGeometry{}};
    grid.OnDrawCell(canvas, col, row, {0, 0, grid.ColWidth(col), grid.RowHeight(row)}, 0);
    return canvas.Marks();
}

// The whole grid, cell by cell, as the golden files hold it.
std::string Dump() {
    MainForm->RefreshViews();
    const Grid& grid = *MainForm->DrawGrid;
    std::string out =
        "grid " + std::to_string(grid.ColCount()) + " x " + std::to_string(grid.RowCount()) + "\n";
    for (int r = 0; r < grid.RowCount(); ++r)
        for (int c = 0; c < grid.ColCount(); ++c) {
            const std::vector<RecordedMark> marks = Cell(c, r);
            if (marks.empty()) continue;
            out += "cell " + std::to_string(c) + "," + std::to_string(r) + " (" +
                   std::to_string(grid.ColWidth(c)) + " x " + std::to_string(grid.RowHeight(r)) +
                   ")\n";
            for (const RecordedMark& m : marks)
                out += m.line
                           ? "  line " + std::to_string(m.x) + "," + std::to_string(m.y) + " to " +
                                 std::to_string(m.x2) + "," + std::to_string(m.y2) + "\n"
                           : "  text " + std::to_string(m.x) + "," + std::to_string(m.y) + " \"" +
                                 m.text + "\"\n";
        }
    return out;
}

} // namespace

TEST_F(ManualAssignment, TheGridHasARowPerRoundAndAColumnPerCourt) {
    const Grid& grid = *MainForm->DrawGrid;
    EXPECT_EQ(grid.RowCount(), 1);
    EXPECT_EQ(grid.RowHeight(0), 27) << "half the default height without a round";
    AddPlayers(12);
    Shape("DDS", 5);
    EXPECT_EQ(grid.RowCount(), 6);
    EXPECT_EQ(grid.ColCount(), 4);
    EXPECT_EQ(grid.RowHeight(0), 27);
    EXPECT_EQ(grid.RowHeight(1), 54);
    EXPECT_EQ(grid.ColWidth(0), 50);
    EXPECT_EQ(grid.ColWidth(1), 80);

    // A doubles box, a singles box, three against two on a doubles court,
    // in manual mode.
    Shape("SD", 2);
    Put(1, 1, {1, 0, 2, 0});
    Put(1, 2, {3, 4, 5, 6});
    Put(2, 2, {10, 11, 7, 0});
    Plan().EnterManualMode();
    CompareGolden(kGrids + "manual-2x2.txt", Dump());
}

TEST_F(ManualAssignment, ABoxIsEditedThroughItsDialogOrKeptAsItWas) {
    struct Case {
        const char* what;
        int court;
        std::vector<int> chosen;
        std::string refusal; // empty: accepted
        std::vector<int> after;
    };
    const std::vector<int> start{1, 2, 3, 4};
    const Case cases[] = {
        {"sides swapped", 2, {3, 4, 1, 2}, "", {3, 4, 1, 2}},
        {"a second alone stands first", 2, {0, 6, 7, 0}, "", {6, 0, 7, 0}},
        {"a player of the other court",
         2,
         {1, 2, 5, 4},
         "Player is scheduled twice in this round.",
         start},
        {"a player twice", 2, {1, 2, 2, 4}, "Player is scheduled twice in this round.", start},
        {"not mixed", 2, {1, 3, 2, 4}, "Match is not mixed doubles.", start},
        {"singles", 1, {6, 0, 7, 0}, "", {6, 0, 7, 0}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.what);
        DestroyWindows();
        SetUp();
        AddPlayers(8, "MFMFMFMF");
        Shape("SD", 2);
        Put(1, 1, {5, 0, 8, 0});
        Put(1, 2, start);
        Plan().SetScheduleType(stDoublesRoundRobin);
        if (test.refusal == "Match is not mixed doubles.") Plan().SetOptions(StrictlyMixed);
        const std::string before = Snapshot(Plan());
        boxes.Expect("Caution", "You are entering manual mode.", kWarningQuestion);
        Open(test.court, 1, test.court == 1, [&](Box& d) {
            EXPECT_EQ(d.windowTitle(), "Manual Match Assignment");
            EXPECT_EQ(d.RoundMatchHeading->text().toStdString(),
                      "Round 1 Court " + std::to_string(test.court) + " (Manual Mode)");
            EXPECT_EQ(d.focusWidget(), d.Player1);
            EXPECT_EQ(d.Player1->count(), 9) << "the empty entry and every player";
            EXPECT_EQ(d.Player1->currentText().toStdString(), Name(test.court == 1 ? 5 : 1));
            EXPECT_EQ(d.Player2->isEnabled(), test.court == 2);
            EXPECT_EQ(d.Player4->count(), test.court == 2 ? 9 : 0);
            QComboBox* lists[] = {d.Player1, d.Player2, d.Player3, d.Player4};
            for (int i = 0; i < 4; ++i)
                if (lists[i]->isEnabled()) Choose(lists[i], test.chosen[i]);
            if (!test.refusal.empty()) boxes.Expect("Error", test.refusal, kErrorBox);
            d.OK->click();
            EXPECT_EQ(d.isVisible(), !test.refusal.empty());
            EXPECT_EQ(BoxOf(1, test.court), test.after) << "as far as OK left it";
        });
        EXPECT_EQ(BoxOf(1, test.court), test.after);
        EXPECT_TRUE(Plan().IsManualMode());
        if (test.refusal.empty()) {
            EXPECT_EQ(Plan().ScheduleType(), stNone);
            EXPECT_TRUE(Plan().ManuallyModified()) << "a round robin edited by hand";
            EXPECT_EQ(Cell(0, 0).at(0).text, "Manual");
        } else {
            // Cancel after the refusal: the plan holds the match it had,
            // in the manual mode the question entered.
            Plan().ClearManualMode();
            EXPECT_EQ(Snapshot(Plan()), before);
        }
    }

    // A mixer plan edited by hand is not marked: its warnings need no note.
    Plan().SetScheduleType(stMixer);
    Open(2, 2, false, [](Box& d) {
        Choose(d.Player1, 1);
        Choose(d.Player3, 2);
        d.OK->click();
    });
    EXPECT_EQ(BoxOf(2, 2), (std::vector<int>{1, 0, 2, 0}));
    EXPECT_EQ(Plan().ScheduleType(), stNone);
}

TEST_F(ManualAssignment, OnlyABoxOfThePlanIsOpenedAndOnlyAfterTheQuestion) {
    AddPlayers(4);
    Shape("DD", 2);
    Box& box = *ManualMatchAssignBox;
    for (const auto& [col, row] :
         {std::pair{0, 1}, std::pair{1, 0}, std::pair{3, 1}, std::pair{1, 3}, std::pair{-1, 1}})
        EXPECT_FALSE(box.SelectMatch(col, row)) << col << "," << row;
    boxes.Expect("Caution", "You are entering manual mode.", kWarningQuestion, IDCANCEL);
    EXPECT_FALSE(box.SelectMatch(2, 1));
    boxes.Expect("Caution", "You are entering manual mode.", kWarningQuestion);
    EXPECT_TRUE(box.SelectMatch(2, 1));
    EXPECT_EQ(box.Court(), 2);
    EXPECT_EQ(box.Round(), 1);
    Plan().EnterManualMode();
    EXPECT_TRUE(box.SelectMatch(1, 2)) << "no question in manual mode";
}

TEST_F(ManualAssignment, LeavingManualModeShowsAnIncompleteBoxAndStays) {
    AddPlayers(8);
    Shape("DDD", 3);
    Put(2, 3, {4, 5, 6, 0});
    MainForm->ManualAssign1->trigger();
    ASSERT_TRUE(Plan().IsManualMode());
    EXPECT_TRUE(MainForm->ManualAssign1->isChecked());

    boxes.Expect("Error", "Match is not complete.", kIncomplete);
    MainForm->ManualAssign1->trigger();
    EXPECT_TRUE(Plan().IsManualMode());
    EXPECT_TRUE(MainForm->ManualAssign1->isChecked());
    EXPECT_EQ(MainForm->DrawGrid->Col(), 3);
    EXPECT_EQ(MainForm->DrawGrid->Row(), 2);

    // Saving leaves manual mode first, and stops at the box.
    boxes.Expect("Caution", "Exiting manual mode, checking for errors and warnings.", kIncomplete)
        .Expect("Error", "Match is not complete.", kIncomplete);
    MainForm->Save1->trigger();
    EXPECT_TRUE(Plan().IsManualMode());

    // Complete, the plan is checked for its warnings on the way out.
    Put(2, 3, {4, 5, 6, 7});
    boxes.Expect("Warning Summary",
                 WarningSummary({"Some players have more rounds than others, min=0, max=1.",
                                 "Some players have long schedule gaps, more than 1 rounds"}),
                 kSummaryBox);
    MainForm->ManualAssign1->trigger();
    EXPECT_TRUE(PreviewBox->isVisible()) << "the details";
    PreviewBox->hide();
    EXPECT_FALSE(Plan().IsManualMode());
    EXPECT_FALSE(MainForm->ManualAssign1->isChecked());
    EXPECT_TRUE(Cell(0, 0).empty());
}

TEST_F(ManualAssignment, AnIncompleteBoxOfAPlanJustOpenedIsShownInItsCell) {
    TempFolder scratch;
    AddPlayers(8);
    Shape("DDDD", 4);
    Put(4, 3, {1, 2, 3, 0});
    ASSERT_TRUE(Plan().Save(scratch.File("incomplete.rxd")));
    Shape("D", 1);
    ASSERT_EQ(MainForm->DrawGrid->RowCount(), 2);
    // Read without a refresh, as when the check runs before the views do.
    ASSERT_EQ(Plan().Load(scratch.File("incomplete.rxd")), 0);
    boxes.Expect("Error", "Match is not complete.", kIncomplete);
    EXPECT_FALSE(MainForm->LeaveManualMode());
    EXPECT_EQ(MainForm->DrawGrid->Col(), 3);
    EXPECT_EQ(MainForm->DrawGrid->Row(), 4);
}

TEST_F(ManualAssignment, AssignmentNeedsPlayersAndManualModeTwoAndAShape) {
    boxes.Expect("No Data", "There is no Player data.", MB_OK | MB_ICONINFORMATION)
        .Expect("Error", "You must set up players first.", kErrorBox);
    MainForm->ManualAssign1->trigger();
    MainForm->MatchAssignment1->trigger();
    AddPlayers(1);
    boxes.Expect("Error", "Match plan must have at least two players.", kErrorBox);
    MainForm->ManualAssign1->trigger();
    EXPECT_FALSE(Plan().IsManualMode());
    EXPECT_FALSE(MainForm->ManualAssign1->isChecked());

    AddPlayers(0);
    ASSERT_EQ(Plan().AddPlayer(Named("Ann", "Archer"), nullptr), 0);
    for (const bool ok : {false, true}) {
        DialogScript dialogs;
        dialogs.Expect<TSetupCourtsRoundsBox>([ok](TSetupCourtsRoundsBox& d) {
            EXPECT_EQ(d.NumCourts->text() + d.NumRounds->text(), "00");
            d.NumCourts->setText("2");
            d.NumRounds->setText("3");
            (ok ? d.OK : d.Cancel)->click();
        });
        MainForm->ManualAssign1->trigger();
        EXPECT_EQ(Plan().IsManualMode(), ok);
        EXPECT_EQ(MainForm->ManualAssign1->isChecked(), ok);
    }
    EXPECT_EQ(MainForm->DrawGrid->RowCount(), 4);
    EXPECT_EQ(MainForm->DrawGrid->ColCount(), 3);
}
