// A draw match's result dialog, opened from the draw grid by Enter and by a
// double click: which cells open which match, results entered, changed and
// withdrawn with the draw's refusals, and the manual pairing of round 1.
#include "unified/draw/TournResultsBox.h"
#include "platform/widgets/Grid.h"
#include "tests/support/Players.h"
#include "tests/support/Responders.h"
#include "unified/Program.h"
#include "unified/core/rxProgram.h"
#include "unified/draw/Draw.h"
#include "unified/window/MainForm.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

constexpr unsigned kError = MB_OK | MB_ICONEXCLAMATION;

class TournResults : public testing::Test {
protected:
    void SetUp() override {
        Settings = rxProgram();
        CreateWindows({"-T"});
        MainForm->resize(900, 700);
        MainForm->show();
    }
    void TearDown() override { DestroyWindows(); }

    Draw& TheDraw() { return dynamic_cast<Draw&>(*CurrentEvent); }

    void Enter(const std::vector<std::pair<std::string, std::string>>& names) {
        for (const auto& [first, last] : names)
            ASSERT_EQ(TheDraw().AddPlayer(Named(first, last), nullptr), rcOk);
    }
    void Enter(int count) {
        for (int n = 1; n <= count; ++n)
            ASSERT_EQ(TheDraw().AddPlayer(Named("F" + std::to_string(n), "L" + std::to_string(n)),
                                          nullptr),
                      rcOk);
    }

    // Round 1 paired by hand, byes advanced, out of manual mode.
    void Pair(const std::vector<int>& places) {
        Draw& draw = TheDraw();
        ASSERT_EQ(draw.CreateEmptyDraw(), rcOk);
        draw.EnterManualMode();
        for (std::size_t m = 1; 2 * m <= places.size(); ++m)
            ASSERT_EQ(draw.SetPairing(1, int(m), places[2 * m - 2], places[2 * m - 1]), rcOk);
        ASSERT_EQ(draw.AdvanceByes(), rcOk);
        draw.ClearManualMode();
        MainForm->RefreshViews();
    }

    // Presses Enter on a cell; the dialog, when one is expected, gets the
    // action. False when a dialog was expected and none came.
    bool EnterOn(int col, int row, std::function<void(TTournResultsBox&)> action = nullptr) {
        MainForm->DrawGrid->SetCurrent(col, row);
        return Open(action, [] { QTest::keyClick(MainForm->DrawGrid, Qt::Key_Return); });
    }
    bool DoubleClickOn(int col, int row, std::function<void(TTournResultsBox&)> action = nullptr) {
        const QRect cell = MainForm->DrawGrid->CellRect(col, row);
        EXPECT_FALSE(cell.isEmpty()) << col << "," << row << " is on screen";
        return Open(action, [cell] {
            QTest::mouseDClick(MainForm->DrawGrid->viewport(), Qt::LeftButton, {}, cell.center());
        });
    }
    bool Open(std::function<void(TTournResultsBox&)> action, std::function<void()> gesture) {
        bool shown = false;
        DialogScript dialogs;
        if (action)
            dialogs.Expect<TTournResultsBox>([&](TTournResultsBox& d) {
                shown = true;
                QApplication::setActiveWindow(&d);
                action(d);
            });
        gesture();
        return action == nullptr || shown;
    }

    static std::string Heading(const TTournResultsBox& d) {
        return d.RoundMatchHeading->text().toStdString();
    }

    BoxScript boxes;
};

TEST_F(TournResults, EnterAndDoubleClickOpenTheMatchUnderTheCell) {
    Enter(8);
    Pair({1, 8, 4, 5, 3, 6, 2, 7});
    // Column = round; a match of round r spans 2^(r-1) rows.
    const struct {
        int col, row;
        const char* heading;
    } kCells[] = {
        {1, 1, "Round 1 Match 1"}, {1, 4, "Round 1 Match 4"}, {2, 3, "Round 2 Match 2"},
        {2, 2, "Round 2 Match 1"}, {3, 4, "Round 3 Match 1"},
    };
    for (const auto& cell : kCells) {
        SCOPED_TRACE(std::to_string(cell.col) + "," + std::to_string(cell.row));
        const auto cancel = [&](TTournResultsBox& d) {
            EXPECT_EQ(Heading(d), cell.heading);
            d.Cancel->click();
        };
        EXPECT_TRUE(EnterOn(cell.col, cell.row, cancel));
        EXPECT_TRUE(DoubleClickOn(cell.col, cell.row, cancel));
    }

    // The champion column opens nothing (an unexpected dialog would fail),
    // nor does a double click on a heading, whatever the current cell.
    EnterOn(4, 2);
    DoubleClickOn(4, 1);
    MainForm->DrawGrid->SetCurrent(1, 1);
    DoubleClickOn(0, 2);
    DoubleClickOn(2, 0);
    EXPECT_EQ(MainForm->DrawGrid->Col(), 1) << "a heading is never the current cell";
}

TEST_F(TournResults, ACellSelectsTheMatchOfItsRoundAndRow) {
    EXPECT_FALSE(TournResultsBox->SelectMatch(1, 1)) << "no draw yet";
    Enter(16);
    ASSERT_EQ(TheDraw().CreateDraw(2), rcOk);
    const struct {
        int col, row;
        bool selected;
        int round, match;
    } kCases[] = {
        {3, 7, true, 3, 2},  {1, 8, true, 1, 8},  {2, 8, true, 2, 4},   {4, 8, true, 4, 1},
        {4, 1, true, 4, 1},  {0, 3, false, 0, 0}, {2, 0, false, 0, 0},  {5, 1, false, 0, 0},
        {1, 9, false, 0, 0}, {3, 9, false, 0, 0}, {-1, 1, false, 0, 0},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(std::to_string(c.col) + "," + std::to_string(c.row));
        ASSERT_EQ(TournResultsBox->SelectMatch(c.col, c.row), c.selected);
        if (!c.selected) continue;
        EXPECT_EQ(TournResultsBox->Round(), c.round);
        EXPECT_EQ(TournResultsBox->Match(), c.match);
    }
}

TEST_F(TournResults, ResultsAreEnteredChangedAndWithdrawn) {
    Enter(8);
    Pair({1, 8, 4, 5, 3, 6, 2, 7});
    Draw& draw = TheDraw();

    ASSERT_TRUE(EnterOn(1, 1, [&](TTournResultsBox& d) {
        EXPECT_EQ(d.windowTitle(), "Match Schedule & Results");
        EXPECT_EQ(Heading(d), "Round 1 Match 1");
        EXPECT_EQ(d.NamesLabel->text(), "Winner:");
        EXPECT_EQ(d.nameA->text(), "  1 F L1");
        EXPECT_EQ(d.nameB->text(), "  8 F L8");
        EXPECT_FALSE(d.winnerA->isChecked());
        EXPECT_FALSE(d.winnerB->isChecked());
        EXPECT_TRUE(d.nameA->isVisible());
        EXPECT_FALSE(d.PlayerA->isVisible());
        EXPECT_TRUE(d.MatchScore->isEnabled());
        EXPECT_EQ(d.focusWidget(), d.DateTime);
        // What the user types stops at each field's limit.
        const struct {
            QLineEdit* edit;
            int limit;
        } kLimits[] = {{d.DateTime, 24}, {d.Location, 24}, {d.MatchScore, 28}};
        for (const auto& field : kLimits) {
            field.edit->clear();
            QTest::keyClicks(field.edit, QString(40, 'x'));
            EXPECT_EQ(field.edit->text().size(), field.limit);
        }
        d.DateTime->setText("Sat 10:00");
        d.Location->setText("Court 2");
        d.MatchScore->setText("6-1 6-2");
        d.winnerA->setChecked(true);
        d.OK->click();
        EXPECT_FALSE(d.isVisible());
    }));
    TResult match = draw.GetMatch(1, 1);
    EXPECT_EQ(match.winner, 1);
    EXPECT_EQ(match.dateTime, "Sat 10:00");
    EXPECT_EQ(match.location, "Court 2");
    EXPECT_EQ(match.score, "6-1 6-2");
    EXPECT_EQ(draw.GetMatch(2, 1).first, 1) << "the winner moved on";
    EXPECT_TRUE(draw.IsModified());

    // Changed: the other player moves on instead; the texts come back.
    ASSERT_TRUE(DoubleClickOn(1, 1, [&](TTournResultsBox& d) {
        EXPECT_TRUE(d.winnerA->isChecked());
        EXPECT_FALSE(d.winnerB->isChecked());
        EXPECT_EQ(d.Location->text(), "Court 2");
        d.winnerB->setChecked(true);
        boxes.Expect("Error", "Only one winner box can be checked.", kError);
        d.OK->click();
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(d.focusWidget(), d.winnerA);
        d.winnerA->setChecked(false);
        d.OK->click();
    }));
    EXPECT_EQ(draw.GetMatch(1, 1).winner, 8);
    EXPECT_EQ(draw.GetMatch(2, 1).first, 8);

    // Withdrawn: no winner, and the next match's slot is empty again.
    ASSERT_TRUE(EnterOn(1, 1, [&](TTournResultsBox& d) {
        d.winnerB->setChecked(false);
        d.OK->click();
    }));
    EXPECT_EQ(draw.GetMatch(1, 1).winner, 0);
    EXPECT_EQ(draw.GetMatch(2, 1).first, 0);
    EXPECT_EQ(draw.GetMatch(1, 1).score, "6-1 6-2") << "the texts stay";

    // 202: round 2 match 1 still lacks a player. Its empty slots check no
    // winner box, so OK without a change stores just the texts.
    ASSERT_TRUE(EnterOn(2, 1, [&](TTournResultsBox& d) {
        EXPECT_EQ(d.nameA->text(), "       ");
        EXPECT_FALSE(d.winnerA->isChecked());
        EXPECT_FALSE(d.winnerB->isChecked());
        d.Location->setText("Court 1");
        d.OK->click();
    }));
    EXPECT_EQ(draw.GetMatch(2, 1).location, "Court 1");
    ASSERT_TRUE(EnterOn(2, 1, [&](TTournResultsBox& d) {
        d.winnerB->setChecked(true);
        d.Location->setText("Court 9");
        boxes.Expect("Error", "Cannot update result; previous round not yet decided.", kError);
        d.OK->click();
        EXPECT_FALSE(d.isVisible()) << "closes with OK after the error";
    }));
    EXPECT_EQ(draw.GetMatch(2, 1).winner, 0);
    EXPECT_EQ(draw.GetMatch(2, 1).location, "Court 1") << "nothing changed";

    // 201: once round 2 is decided, its round-1 results are fixed.
    ASSERT_EQ(draw.EnterResult(1, 1, "", "", "", 1), rcOk);
    ASSERT_EQ(draw.EnterResult(1, 2, "", "", "", 1), rcOk);
    ASSERT_EQ(draw.EnterResult(2, 1, "", "", "", 2), rcOk);
    ASSERT_TRUE(DoubleClickOn(1, 2, [&](TTournResultsBox& d) {
        EXPECT_TRUE(d.winnerA->isChecked());
        d.winnerA->setChecked(false);
        d.winnerB->setChecked(true);
        boxes.Expect("Error", "Cannot update result; next round has already been decided.", kError);
        d.OK->click();
    }));
    EXPECT_EQ(draw.GetMatch(1, 2).winner, 4);
    EXPECT_EQ(draw.GetMatch(2, 1).second, 4);

    // Cancel stores nothing.
    ASSERT_TRUE(EnterOn(1, 3, [&](TTournResultsBox& d) {
        d.winnerA->setChecked(true);
        d.Cancel->click();
    }));
    EXPECT_EQ(draw.GetMatch(1, 3).winner, 0);
}

TEST_F(TournResults, AByeTakesNoResult) {
    Enter(5);
    Pair({1, 0, 4, 5, 3, 0, 0, 2});
    ASSERT_TRUE(EnterOn(1, 4, [&](TTournResultsBox& d) {
        EXPECT_EQ(d.nameA->text(), "    BYE  ");
        EXPECT_EQ(d.nameB->text(), "  2 F L2");
        EXPECT_FALSE(d.winnerA->isChecked());
        EXPECT_TRUE(d.winnerB->isChecked()) << "the bye's player has won it";
        d.MatchScore->setText("w/o");
        boxes.Expect("Error", "Cannot update result for a bye round.", kError);
        d.OK->click();
    }));
    EXPECT_EQ(TheDraw().GetMatch(1, 4).score, "");
    EXPECT_EQ(TheDraw().GetMatch(2, 2).second, 2);
}

TEST_F(TournResults, TheManualDrawIsPairedThroughTheDialog) {
    Enter({{"Cy", "Cole"}, {"Al", "Archer"}, {"Bo", "Baker"}});
    MainForm->ManualDraw1->trigger();
    Draw& draw = TheDraw();
    ASSERT_TRUE(draw.IsManualMode());

    ASSERT_TRUE(EnterOn(1, 1, [&](TTournResultsBox& d) {
        EXPECT_EQ(Heading(d), "Round 1 Match 1 (Manual Mode)");
        EXPECT_EQ(d.NamesLabel->text(), "Players:");
        EXPECT_FALSE(d.MatchScore->isEnabled());
        EXPECT_FALSE(d.ScoreLabel->isEnabled());
        EXPECT_FALSE(d.nameA->isVisible());
        EXPECT_FALSE(d.winnerA->isVisible());
        EXPECT_FALSE(d.winnerB->isVisible());
        EXPECT_TRUE(d.PlayerA->isVisible());
        EXPECT_TRUE(d.PlayerB->isVisible());
        EXPECT_EQ(d.focusWidget(), d.DateTime);
        ASSERT_EQ(d.PlayerA->count(), 3);
        EXPECT_EQ(d.PlayerA->itemText(0), "Archer, Al") << "sorted";
        EXPECT_EQ(d.PlayerA->itemText(1), "Baker, Bo");
        EXPECT_EQ(d.PlayerA->itemText(2), "Cole, Cy");
        EXPECT_EQ(d.PlayerA->currentText(), "") << "an empty match";

        boxes.Expect("Error", "You must choose two different players for each match.", kError);
        d.OK->click();
        EXPECT_TRUE(d.isVisible()) << "both sides empty";
        d.PlayerA->setCurrentIndex(2);
        d.PlayerB->setCurrentIndex(2);
        boxes.Expect("Error", "You must choose two different players for each match.", kError);
        d.OK->click();
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(d.focusWidget(), d.PlayerA);
        d.PlayerB->setCurrentIndex(-1); // side B left empty: a bye
        d.Location->setText("Court 3");
        d.OK->click();
        EXPECT_FALSE(d.isVisible());
    }));
    TResult match = draw.GetMatch(1, 1);
    EXPECT_EQ(match.first, 1);
    EXPECT_EQ(match.second, 0);
    EXPECT_EQ(match.winner, 0);
    EXPECT_EQ(match.location, "Court 3");

    ASSERT_TRUE(DoubleClickOn(1, 2, [&](TTournResultsBox& d) {
        d.PlayerA->setCurrentIndex(0);
        d.PlayerB->setCurrentIndex(1);
        d.OK->click();
    }));
    EXPECT_EQ(draw.GetMatch(1, 2).first, 2);
    EXPECT_EQ(draw.GetMatch(1, 2).second, 3);

    // Choosing a player again takes it out of its other match.
    ASSERT_TRUE(EnterOn(1, 1, [&](TTournResultsBox& d) {
        EXPECT_EQ(d.PlayerA->currentText(), "Cole, Cy");
        EXPECT_EQ(d.PlayerB->currentText(), "");
        d.PlayerB->setCurrentIndex(1);
        d.OK->click();
    }));
    EXPECT_EQ(draw.GetMatch(1, 1).second, 3);
    EXPECT_EQ(draw.GetMatch(1, 2).second, 0);

    // Later rounds are not paired by hand.
    boxes.Expect("Error", "Manual assignments can only be made in round 1.", kError);
    EnterOn(2, 1);
    boxes.Expect("Error", "Manual assignments can only be made in round 1.", kError);
    DoubleClickOn(2, 2);

    // Left, the manual draw advances its bye.
    MainForm->ManualDraw1->trigger();
    ASSERT_FALSE(draw.IsManualMode());
    EXPECT_EQ(draw.GetMatch(2, 1).second, 2) << "Archer's bye in match 2";
}

} // namespace
