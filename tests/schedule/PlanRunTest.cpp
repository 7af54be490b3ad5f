// A match schedule made through the main window as its organiser would:
// File > New, Setup > Import Players, Setup > Courts and Rounds, the mixer
// from Tools > Match Assignment, Designate Host Player, one box edited by
// hand from the grid, the file saved and opened again. The saved files are
// compared with those under run/ (ROSTRIX_UPDATE_GOLDEN=1 rewrites them);
// the plan of 24 players is the one the screenshots show.
#include "tests/schedule/PlanWindow.h"
#include "tests/support/Golden.h"
#include "tests/support/Scratch.h"
#include "unified/dialogparts/ProgressBox.h"
#include "unified/dialogparts/RadioGroup.h"
#include "unified/schedule/ManualMatchAssignBox.h"
#include "unified/schedule/MatchAssignment.h"
#include "unified/schedule/SetupCourtsRoundsBox.h"
#include "unified/window/NewEventBox.h"
#include "unified/window/PreviewBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

namespace {

const std::string kRun = std::string(SCHEDULE_TEST_DIR) + "/run";
constexpr unsigned kInformation = MB_OK | MB_ICONINFORMATION;

class PlanRun : public testing::Test {
protected:
    void SetUp() override {
        Settings = rxProgram();
        CreateWindows({"-L"});
    }
    void TearDown() override { DestroyWindows(); }

    static Matches& Plan() { return *AsMatchPlan(); }

    // Setup > Courts and Rounds: doubles courts.
    void SetShape(int courts, int rounds) {
        DialogScript dialogs;
        dialogs.Expect<TSetupCourtsRoundsBox>([&](TSetupCourtsRoundsBox& d) {
            d.NumCourts->setText(QString::number(courts));
            d.NumRounds->setText(QString::number(rounds));
            d.CourtTypes->Button(1)->click();
            d.OK->click();
        });
        MainForm->CourtsAndRounds1->trigger();
        ASSERT_EQ(Plan().CourtCount(), courts);
        ASSERT_EQ(Plan().RoundCount(), rounds);
    }

    // Tools > Match Assignment, the mixer on the plan's shape; the warnings
    // that follow it are answered with `answer`.
    void RunMixer(int roundsEach, const std::string& warnings, int answer) {
        DialogScript dialogs;
        dialogs.Expect<TMatchAssignment>([&](TMatchAssignment& d) {
            d.AssignmentType->Button(TMatchAssignment::Mixer)->click();
            d.Gaps->setChecked(true);
            boxes
                .Expect("Information",
                        "Assigning " + std::to_string(roundsEach) +
                            " rounds of play for each player.",
                        MB_OKCANCEL | MB_ICONQUESTION)
                .Expect("Warning Summary", WarningSummary({warnings}), kSummaryBox, answer);
            d.OK->click();
            EXPECT_FALSE(d.isVisible());
        });
        MainForm->MatchAssignment1->trigger();
        EXPECT_EQ(Plan().ScheduleType(), stMixer);
        EXPECT_EQ(ProgressBox->windowTitle(), "Match Assignment Progress");
        EXPECT_FALSE(ProgressBox->isVisible());
        EXPECT_FALSE(ProgressBox->IsWorking());
    }

    FixedMoment clock{1'780'000'000};
    TempFolder scratch;
    BoxScript boxes;
    FileDialogScript files;
};

} // namespace

TEST_F(PlanRun, FromThePlayerListToAMixerPlanEditedSavedAndReopened) {
    DialogScript dialogs;
    dialogs.Expect<TNewEventBox>([](TNewEventBox& d) {
        d.EventProg->Button(2)->click(); // match schedule
        d.OKBtn->click();
    });
    MainForm->New1->trigger();
    ASSERT_TRUE(Settings.IsMatchPlan());

    files.Answer(kRun + "/players.txt");
    MainForm->ImportPlayers1->trigger();
    ASSERT_EQ(Plan().PlayerCount(), 20);
    EXPECT_EQ(MainForm->PlayerGrid->Cell(1, 2), "M");

    SetShape(5, 8);
    RunMixer(8, "2 players may lack match diversity", IDOK);
    if (HasFatalFailure()) return;
    EXPECT_TRUE(PreviewBox->isVisible()) << "the warnings and the analysis";
    PreviewBox->hide();

    boxes.Expect("Information", "The first player in each match is the designated host.",
                 kInformation);
    MainForm->HostPlayer1->trigger();

    // Round 3, court 2: the sides change places.
    const int box[4] = {Plan().GetSlot(3, 2, 1), Plan().GetSlot(3, 2, 2), Plan().GetSlot(3, 2, 3),
                        Plan().GetSlot(3, 2, 4)};
    boxes.Expect("Caution", "You are entering manual mode.", kWarningQuestion);
    dialogs.Expect<TManualMatchAssignBox>([&](TManualMatchAssignBox& d) {
        EXPECT_EQ(d.RoundMatchHeading->text(), "Round 3 Court 2 (Manual Mode)");
        QComboBox* lists[] = {d.Player1, d.Player2, d.Player3, d.Player4};
        for (int i = 0; i < 4; ++i)
            lists[i]->setCurrentIndex(lists[i]->findText(
                QString::fromStdString(Plan().PlayerDisplayName(box[(i + 2) % 4]))));
        d.OK->click();
    });
    Grid& grid = *MainForm->DrawGrid;
    grid.SetCurrent(2, 3);
    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, grid.CellRect(2, 3).center());
    EXPECT_EQ(Plan().GetSlot(3, 2, 1), box[2]);
    EXPECT_EQ(Plan().GetSlot(3, 2, 4), box[1]);
    EXPECT_EQ(Plan().ScheduleType(), stNone);
    EXPECT_TRUE(Plan().IsManualMode());

    boxes.Expect("Caution", "Exiting manual mode, checking for errors and warnings.", kInformation)
        .Expect("Warning Summary", WarningSummary({"2 players may lack match diversity"}),
                kSummaryBox, IDCANCEL);
    files.Answer(scratch.File("saved.rxd"));
    MainForm->SaveAs1->trigger();
    EXPECT_FALSE(Plan().IsManualMode());
    const std::string saved = Snapshot(Plan());

    files.Answer(scratch.File("saved.rxd"));
    MainForm->Open1->trigger();
    EXPECT_EQ(MainForm->windowTitle(), "saved.rxd - Rostrix");
    EXPECT_EQ(Snapshot(Plan()), saved);
    EXPECT_EQ(MainForm->DrawGrid->RowCount(), 9);
    EXPECT_EQ(MainForm->DrawGrid->ColCount(), 6);
    ASSERT_TRUE(Plan().Save(scratch.File("again.rxd")));
    EXPECT_EQ(ReadFile(scratch.File("again.rxd")), ReadFile(scratch.File("saved.rxd")));
    CompareGolden(kRun + "/saved.rxd", ReadFile(scratch.File("saved.rxd")));
}

TEST_F(PlanRun, AMixerPlanOf24PlayersOn6CourtsFor10Rounds) {
    DestroyWindows();
    Settings = rxProgram();
    CreateWindows({"-P"});
    for (int i = 1; i <= 24; ++i) {
        Player p = Named("Player", "No. " + std::to_string(i));
        p.gender = i % 2 != 0 ? 'F' : 'M';
        ASSERT_EQ(Plan().AddPlayer(p, nullptr), 0);
    }
    SetShape(6, 10);
    RunMixer(10, "3 players may lack match diversity", IDCANCEL);
    files.Answer(scratch.File("mixer-24.rxd"));
    MainForm->SaveAs1->trigger();
    CompareGolden(kRun + "/mixer-24.rxd", ReadFile(scratch.File("mixer-24.rxd")));
}
