#include "unified/window/MainForm.h"
#include "platform/Application.h"
#include "tests/support/Responders.h"
#include "unified/Program.h"
#include "unified/core/RXEvent.h"
#include "unified/core/rxProgram.h"
#include "unified/ladder/Ladder.h"
#include "unified/window/eventFactory.h"

#include <gtest/gtest.h>

namespace {

// Each start begins from the settings the program starts with.
class MainWindowStart : public testing::Test {
protected:
    void SetUp() override { Settings = rxProgram(); }
    void TearDown() override { DestroyWindows(); }
};

} // namespace

TEST_F(MainWindowStart, NoArgumentsStartAnEmptyMatchScheduleCaptionedWithTheTitle) {
    CreateWindows({});
    ASSERT_NE(MainForm, nullptr);
    EXPECT_EQ(MainForm->windowTitle(), "Rostrix");
    EXPECT_TRUE(Settings.IsMatchPlan());
    ASSERT_TRUE(IsEventUsable());
    EXPECT_FALSE(CurrentEvent->IsModified());
    EXPECT_FALSE(CurrentEvent->IsDoubles());
    EXPECT_EQ(MainForm->CurrentFileName(), "");
}

TEST_F(MainWindowStart, KindSwitchesChooseTheEvent) {
    CreateWindows({"-L", "-u"});
    EXPECT_NE(CurrentLadder, nullptr);
    EXPECT_TRUE(CurrentEvent->IsDoubles());
    DestroyWindows();
    CreateWindows({"-T"});
    EXPECT_EQ(CurrentLadder, nullptr);
    EXPECT_EQ(CurrentEvent->FileExtension(), "trn");
}

TEST_F(MainWindowStart, TheCaptionShowsTheFileNameWithoutItsFolder) {
    CreateWindows({});
    MainForm->SetCurrentFileName("/home/club/ladders/spring.lad");
    EXPECT_EQ(MainForm->windowTitle(), "spring.lad - Rostrix");
    EXPECT_EQ(ApplicationTitle(), "spring.lad - Rostrix");
    EXPECT_EQ(MainForm->CurrentFileNameOnly(), "spring.lad");
    MainForm->SetCurrentFileName("spring.lad");
    EXPECT_EQ(MainForm->CurrentFileNameOnly(), "spring.lad");
    MainForm->SetCurrentFileName("");
    EXPECT_EQ(MainForm->windowTitle(), "Rostrix");
    EXPECT_EQ(MainForm->CurrentFileNameOnly(), "");
}

TEST_F(MainWindowStart, AFailedFirstEventStopsBeforeTheFileIsOpened) {
    const EventMaker saved = SetEventMaker(2, [] { return static_cast<RXEvent*>(nullptr); });
    BoxScript boxes;
    // Only the memory error: the named file is never handed to a loader.
    boxes.Expect("Error", "Cannot allocate enough memory.", MB_OK | MB_ICONEXCLAMATION);
    CreateWindows({"club.rxd"});
    SetEventMaker(2, saved);
    EXPECT_EQ(MainForm->windowTitle(), "Rostrix");
    EXPECT_EQ(MainForm->CurrentFileName(), "");
}
