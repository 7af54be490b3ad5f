// The draw's commands through the main window: Create Draw with its checks
// and dialog, the manual draw entered and left, and the draw's options.
#include "tests/support/Players.h"
#include "tests/support/Responders.h"
#include "tests/support/Scratch.h"
#include "unified/Program.h"
#include "unified/core/rxProgram.h"
#include "unified/draw/CreateDrawBox.h"
#include "unified/draw/Draw.h"
#include "unified/draw/OptionsTournBox.h"
#include "unified/window/MainForm.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <string>

namespace {

constexpr unsigned kError = MB_OK | MB_ICONEXCLAMATION;
constexpr unsigned kNoData = MB_OK | MB_ICONINFORMATION;

class DrawCommands : public testing::Test {
protected:
    void SetUp() override { Settings = rxProgram(); }
    void TearDown() override { DestroyWindows(); }

    Draw& Start(int players) {
        CreateWindows({"-T"});
        Draw& draw = dynamic_cast<Draw&>(*CurrentEvent);
        for (int n = 1; n <= players; ++n)
            EXPECT_EQ(
                draw.AddPlayer(Named("F" + std::to_string(n), "P" + std::to_string(n)), nullptr),
                rcOk);
        MainForm->RefreshViews();
        return draw;
    }

    // Runs a menu command whose dialog gets the action; the dialog's result,
    // or -1 when no dialog was shown.
    template <typename Box> int Command(QAction* item, std::function<void(Box&)> action) {
        int result = -1;
        DialogScript dialogs;
        dialogs.Expect<Box>([&](Box& d) {
            QApplication::setActiveWindow(&d);
            action(d);
            result = d.isVisible() ? mrNone : d.result();
        });
        item->trigger();
        return result;
    }

    BoxScript boxes;
};

} // namespace

TEST_F(DrawCommands, CreateDrawChecksItsPlayersThenAsksTheSeedsWithinHalfThePlayers) {
    Draw& draw = Start(0);
    boxes.Expect("No Data", "There is no Player data.", kNoData);
    MainForm->CreateDraw1->trigger();
    draw.AddPlayer(Named("Ann", "Baker"), nullptr);
    boxes.Expect("Error", "Draw must have at least two players.", kError);
    MainForm->CreateDraw1->trigger();
    for (int n = 2; n <= 20; ++n)
        draw.AddPlayer(Named("F" + std::to_string(n), "P" + std::to_string(n)), nullptr);

    EXPECT_EQ(Command<TCreateDrawBox>(MainForm->CreateDraw1,
                                      [&](TCreateDrawBox& d) {
                                          EXPECT_EQ(d.windowTitle(), "Create Draw");
                                          EXPECT_EQ(d.NumberOfSeeds->text(), "2") << "default";
                                          EXPECT_EQ(d.focusWidget(), d.NumberOfSeeds);
                                          d.NumberOfSeeds->setText("11");
                                          boxes.Expect("Error", "Must be numeric from 0 to 10.",
                                                       kError);
                                          d.OK->click();
                                          EXPECT_TRUE(d.isVisible());
                                          EXPECT_EQ(draw.RoundCount(), 0);
                                          d.NumberOfSeeds->setText("4");
                                          d.OK->click();
                                      }),
              mrOk);
    EXPECT_EQ(draw.RoundCount(), 5);
    EXPECT_EQ(draw.ResultCount(), 31);
    EXPECT_EQ(draw.SeedCount(), 4);
    EXPECT_EQ(draw.GetMatch(1, 1).first, 1) << "seed 1 in slot 1";
    EXPECT_TRUE(draw.IsModified());

    // A second draw over-writes the first only when the user says so.
    boxes.Expect("Warning", "Current draw will be over-written.", MB_OKCANCEL | MB_ICONEXCLAMATION,
                 IDCANCEL);
    MainForm->CreateDraw1->trigger();
    boxes.Expect("Warning", "Current draw will be over-written.", MB_OKCANCEL | MB_ICONEXCLAMATION);
    EXPECT_EQ(Command<TCreateDrawBox>(MainForm->CreateDraw1,
                                      [&](TCreateDrawBox& d) {
                                          EXPECT_EQ(d.NumberOfSeeds->text(), "4") << "as last";
                                          d.Cancel->click();
                                      }),
              mrCancel);
    EXPECT_EQ(draw.SeedCount(), 4);
}

TEST_F(DrawCommands, TheManualDrawIsLeftOnlyWhenCompleteAndNeverAfterAResult) {
    Draw& draw = Start(3);
    MainForm->ManualDraw1->trigger();
    EXPECT_TRUE(draw.IsManualMode());
    EXPECT_TRUE(MainForm->ManualDraw1->isChecked());
    EXPECT_EQ(draw.ResultCount(), 3) << "an empty draw of four";
    EXPECT_EQ(draw.SeedCount(), 0);

    boxes.Expect("Error", "There are no participants for match #1", kError);
    MainForm->ManualDraw1->trigger();
    EXPECT_TRUE(draw.IsManualMode());
    EXPECT_TRUE(MainForm->ManualDraw1->isChecked()) << "the check follows the mode";

    draw.SetPairing(1, 1, 3, 1);
    draw.SetPairing(1, 2, 0, 0);
    boxes.Expect("Error", "There are no participants for match #2", kError);
    MainForm->ManualDraw1->trigger();
    draw.SetPairing(1, 2, 0, 1); // player 1 moves here, match 1 keeps player 3
    boxes.Expect("Error",
                 "All players must be included in the draw before exiting manual mode.  The "
                 "following players are missing:  2-P2",
                 kError);
    MainForm->ManualDraw1->trigger();
    draw.SetPairing(1, 1, 3, 2);
    MainForm->ManualDraw1->trigger();
    EXPECT_FALSE(draw.IsManualMode());
    EXPECT_FALSE(MainForm->ManualDraw1->isChecked());
    EXPECT_EQ(draw.GetMatch(2, 1).second, 1) << "the bye advanced";

    // A result fixes the draw: no manual change, no manual mode.
    ASSERT_EQ(draw.EnterResult(1, 1, "", "", "6-1", 1), rcOk);
    boxes.Expect("Error", "Cannot manually change the draw after match results are reported.",
                 kError);
    MainForm->ManualDraw1->trigger();
    EXPECT_FALSE(draw.IsManualMode());
}

TEST_F(DrawCommands, AnAutomaticDrawReplacesAManualOneOnlyWhenTheUserSaysSo) {
    Draw& draw = Start(4);
    MainForm->ManualDraw1->trigger();
    ASSERT_TRUE(draw.IsManualMode());
    boxes.Expect("Warning", "Automatic draw will replace manual draw",
                 MB_OKCANCEL | MB_ICONQUESTION, IDCANCEL);
    MainForm->CreateDraw1->trigger();
    EXPECT_TRUE(draw.IsManualMode());

    boxes
        .Expect("Warning", "Automatic draw will replace manual draw", MB_OKCANCEL | MB_ICONQUESTION)
        .Expect("Warning", "Current draw will be over-written.", MB_OKCANCEL | MB_ICONEXCLAMATION);
    EXPECT_EQ(Command<TCreateDrawBox>(MainForm->CreateDraw1,
                                      [&](TCreateDrawBox& d) {
                                          EXPECT_FALSE(draw.IsManualMode()) << "left before";
                                          EXPECT_EQ(d.NumberOfSeeds->text(), "0");
                                          d.OK->click();
                                      }),
              mrOk);
    EXPECT_FALSE(draw.IsManualMode());
    std::string placed; // the round's players in slot order
    for (int m = 1; m <= 2; ++m)
        placed +=
            std::to_string(draw.GetMatch(1, m).first) + std::to_string(draw.GetMatch(1, m).second);
    std::sort(placed.begin(), placed.end());
    EXPECT_EQ(placed, "1234") << "the automatic draw placed every player, the manual none";
}

TEST_F(DrawCommands, TheOptionShowsAndStoresTheByesToSeededBit) {
    Draw& draw = Start(2);
    ASSERT_TRUE(draw.HasOption(Draw::ByesToSeeded)) << "a new draw's option word";
    EXPECT_EQ(Command<TOptionsTournBox>(MainForm->OptTourn1,
                                        [&](TOptionsTournBox& d) {
                                            EXPECT_EQ(d.windowTitle(), "Options");
                                            EXPECT_TRUE(d.ByesToSeeded->isChecked());
                                            d.ByesToSeeded->setChecked(false);
                                            d.OK->click();
                                        }),
              mrOk);
    EXPECT_FALSE(draw.HasOption(Draw::ByesToSeeded));
    EXPECT_TRUE(draw.IsModified());
    Command<TOptionsTournBox>(MainForm->OptTourn1, [&](TOptionsTournBox& d) {
        EXPECT_FALSE(d.ByesToSeeded->isChecked());
        d.ByesToSeeded->setChecked(true);
        d.Cancel->click();
    });
    EXPECT_FALSE(draw.HasOption(Draw::ByesToSeeded)) << "Cancel stores nothing";
}

TEST_F(DrawCommands, AManualDrawThatNoAutomaticDrawReplacedStaysInManualMode) {
    // Out of manual mode an unfinished manual draw saves to a file that no
    // longer opens; so each way of not making the automatic draw keeps it.
    Draw& draw = Start(4);
    MainForm->ManualDraw1->trigger();
    draw.SetPairing(1, 1, 1, 2); // match 2 still empty
    boxes
        .Expect("Warning", "Automatic draw will replace manual draw", MB_OKCANCEL | MB_ICONQUESTION)
        .Expect("Warning", "Current draw will be over-written.", MB_OKCANCEL | MB_ICONEXCLAMATION,
                IDCANCEL);
    MainForm->CreateDraw1->trigger();
    EXPECT_TRUE(draw.IsManualMode());
    boxes
        .Expect("Warning", "Automatic draw will replace manual draw", MB_OKCANCEL | MB_ICONQUESTION)
        .Expect("Warning", "Current draw will be over-written.", MB_OKCANCEL | MB_ICONEXCLAMATION);
    EXPECT_EQ(Command<TCreateDrawBox>(MainForm->CreateDraw1,
                                      [&](TCreateDrawBox& d) { d.Cancel->click(); }),
              mrCancel);
    EXPECT_TRUE(draw.IsManualMode());
    EXPECT_EQ(draw.GetMatch(1, 1).second, 2) << "the manual pairing is kept";

    TempFolder folder;
    ASSERT_TRUE(draw.Save(folder.File("manual.trn")));
    Draw reopened;
    EXPECT_EQ(reopened.Load(folder.File("manual.trn")), rcOk);
}
