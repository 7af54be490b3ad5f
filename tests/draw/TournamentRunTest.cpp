// A whole knockout tournament run through the main window as its organiser
// would: File > New, Setup > Import Players, Tools > Create Draw, every
// match's result entered from the draw grid, the report printed to HTML,
// the file saved and opened again. What it leaves is compared with the
// files under run/; ROSTRIX_UPDATE_GOLDEN=1 rewrites them.
#include "tests/draw/DrawSupport.h"
#include "tests/support/Golden.h"
#include "tests/support/Responders.h"
#include "tests/support/Scratch.h"
#include "platform/widgets/Grid.h"
#include "unified/Program.h"
#include "unified/core/rxProgram.h"
#include "unified/dialogparts/RadioGroup.h"
#include "unified/draw/CreateDrawBox.h"
#include "unified/draw/TournResultsBox.h"
#include "unified/window/MainForm.h"
#include "unified/window/NewEventBox.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>
#include <string>

namespace {

const std::string kRun = std::string(DRAW_TEST_DIR) + "/run";

class TournamentRun : public testing::Test {
protected:
    void SetUp() override {
        Settings = rxProgram();
        CreateWindows({"-L"});
    }
    void TearDown() override { DestroyWindows(); }

    // Plays match m of round r from the grid: the cell chosen, Enter (or a
    // double click), the winner's box checked and the score typed.
    void Play(int round, int match, bool byMouse);

    FixedClock clock{1'780'000'000}; // the draw's random order comes from it
    TempFolder scratch;
    BoxScript boxes;
    FileDialogScript files;
};

// The favourite, the lower number, wins; every third match is an upset.
int Winner(int round, int match, const TResult& m) {
    const bool upset = (round + match) % 3 == 0;
    const bool firstIsFavourite = m.first < m.second;
    return firstIsFavourite != upset ? 1 : 2;
}

void TournamentRun::Play(int round, int match, bool byMouse) {
    Draw& draw = dynamic_cast<Draw&>(*CurrentEvent);
    const TResult before = draw.GetMatch(round, match);
    if (before.first == 0 || before.second == 0) return; // a bye went through by itself
    const int winner = Winner(round, match, before);

    DialogScript dialogs;
    dialogs.Expect<TTournResultsBox>([&](TTournResultsBox& d) {
        EXPECT_EQ(d.RoundMatchHeading->text().toStdString(),
                  "Round " + std::to_string(round) + " Match " + std::to_string(match));
        d.DateTime->setText(QString::fromStdString("Sat " + std::to_string(8 + round) + ":00"));
        d.Location->setText(QString::fromStdString("Court " + std::to_string(match)));
        d.MatchScore->setText(winner == 1 ? "6-3 7-5" : "4-6 6-4 6-2");
        (winner == 1 ? d.winnerA : d.winnerB)->setChecked(true);
        d.OK->click();
        EXPECT_FALSE(d.isVisible());
    });
    Grid& grid = *MainForm->DrawGrid;
    const int row = (match - 1) * (1 << (round - 1)) + 1;
    grid.SetCurrent(round, row);
    if (byMouse) {
        QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, grid.CellRect(round, row).center());
    } else {
        QTest::keyClick(&grid, Qt::Key_Return);
    }
    EXPECT_EQ(draw.GetMatch(round, match).winner, winner == 1 ? before.first : before.second)
        << round << "/" << match;
}

} // namespace

TEST_F(TournamentRun, FromThePlayerListToTheChampionThenSavedAndReopened) {
    DialogScript dialogs;
    dialogs.Expect<TNewEventBox>([](TNewEventBox& d) {
        d.EventProg->Button(1)->click(); // tournament draw
        d.EventType->Button(0)->click(); // singles
        d.OKBtn->click();
    });
    MainForm->New1->trigger();
    ASSERT_TRUE(Settings.IsDraw());

    files.Answer(kRun + "/players.txt");
    MainForm->ImportPlayers1->trigger();
    ASSERT_EQ(CurrentEvent->PlayerCount(), 13);

    dialogs.Expect<TCreateDrawBox>([](TCreateDrawBox& d) {
        d.NumberOfSeeds->setText("4");
        d.OK->click();
    });
    MainForm->CreateDraw1->trigger();
    Draw& draw = dynamic_cast<Draw&>(*CurrentEvent);
    ASSERT_EQ(draw.RoundCount(), 4);
    ASSERT_EQ(draw.SeedCount(), 4);

    for (int round = 1; round <= draw.RoundCount(); ++round)
        for (int match = 1; match <= draw.MatchesInRound(round); ++match) {
            Play(round, match, round == draw.RoundCount());
            if (HasFatalFailure()) return;
        }
    const int champion = draw.GetMatch(draw.RoundCount(), 1).winner;
    ASSERT_NE(champion, 0);

    files.Answer(scratch.File("report.html"));
    MainForm->PrinttoHTML1->trigger();
    files.Answer(scratch.File("saved.trn"));
    MainForm->SaveAs1->trigger();
    files.Answer(scratch.File("saved.trn"));
    MainForm->Open1->trigger();
    EXPECT_EQ(MainForm->windowTitle(), "saved.trn - Rostrix");
    Draw& reopened = dynamic_cast<Draw&>(*CurrentEvent);
    EXPECT_EQ(reopened.GetMatch(reopened.RoundCount(), 1).winner, champion);
    EXPECT_TRUE(reopened.Save(scratch.File("again.trn")));
    EXPECT_EQ(ReadFile(scratch.File("again.trn")), ReadFile(scratch.File("saved.trn")));

    CompareGolden(kRun + "/saved.trn", ReadFile(scratch.File("saved.trn")));
    CompareGolden(kRun + "/report.html", ReadFile(scratch.File("report.html")));
}
