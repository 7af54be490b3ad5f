#include "unified/window/NewEventBox.h"
#include "platform/Application.h"
#include "tests/support/Responders.h"
#include "tests/support/Scratch.h"
#include "unified/Program.h"
#include "unified/core/RXEvent.h"
#include "unified/core/rxProgram.h"
#include "unified/ladder/Ladder.h"
#include "unified/window/MainForm.h"
#include "unified/window/RadioGroup.h"
#include "unified/window/eventFactory.h"

#include <QApplication>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>

namespace {

constexpr unsigned kExclamation = MB_OK | MB_ICONEXCLAMATION;

// The program started in a folder of its own ("-Z"), which holds the kinds'
// icons.
class NewEvent : public testing::Test {
protected:
    void SetUp() override {
        Settings = rxProgram();
        for (const char* icon : {"challad.ico", "tourndrw.ico", "rostrix.ico"})
            WriteFile(folder.File(icon), "icon");
    }
    void TearDown() override { DestroyWindows(); }

    void Start(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), "-Z");
        CreateWindows(arguments);
    }

    int Run(std::function<void(TNewEventBox&)> action) {
        DialogScript dialogs;
        dialogs.Expect<TNewEventBox>(std::move(action));
        return ShowModal(*NewEventBox);
    }

    TempFolder folder;
    ScopedCurrentDir here{folder.Path()};
};

// The icon in place when the factory made the event.
std::string iconWhenMade;

RXEvent* MakeLadderNotingTheIcon() {
    iconWhenMade = ApplicationIconPath();
    return new Ladder;
}

} // namespace

TEST_F(NewEvent, OpensOnTheCurrentKindAndItsSinglesOrDoubles) {
    Start({"-L", "-u"});
    RXEvent* const before = CurrentEvent;
    EXPECT_EQ(Run([](TNewEventBox& d) {
                  EXPECT_EQ(d.windowTitle(), "New");
                  EXPECT_EQ(d.EventProg->ItemIndex(), 0);
                  EXPECT_TRUE(d.EventType->isEnabled());
                  EXPECT_EQ(d.EventType->ItemIndex(), 1) << "the ladder is doubles";
                  // A schedule takes neither; another program may again.
                  d.EventProg->Button(2)->click();
                  EXPECT_FALSE(d.EventType->isEnabled());
                  EXPECT_EQ(d.EventType->ItemIndex(), -1);
                  d.EventProg->Button(1)->click();
                  EXPECT_TRUE(d.EventType->isEnabled());
                  EXPECT_EQ(d.EventType->ItemIndex(), -1);
                  d.EventType->Button(1)->click();
                  d.CancelBtn->click();
              }),
              mrCancel);
    EXPECT_EQ(CurrentEvent, before) << "Cancel keeps the event";
    EXPECT_TRUE(Settings.IsLadder());

    // Shown again on a schedule: the doubles chosen last time is not kept.
    DestroyCurrentEvent();
    ParseCommandLine(Settings, {"-Z", "-P"});
    CreateEvent(false);
    Run([](TNewEventBox& d) {
        EXPECT_EQ(d.EventProg->ItemIndex(), 2);
        EXPECT_FALSE(d.EventType->isEnabled());
        EXPECT_EQ(d.EventType->ItemIndex(), -1);
        d.CancelBtn->click();
    });
}

TEST_F(NewEvent, AnotherKindTakesItsTitleAndIconBeforeTheEventIsMade) {
    Start({"-P"});
    MainForm->SetCurrentFileName("club.rxd");
    const EventMaker saved = SetEventMaker(0, MakeLadderNotingTheIcon);
    BoxScript boxes;
    boxes.Expect("Note", "Event Type defaults to 'Singles'", kExclamation);
    EXPECT_EQ(Run([](TNewEventBox& d) {
                  d.EventProg->Button(0)->click();
                  d.OKBtn->click(); // no event type yet: singles, after a note
              }),
              mrOk);
    SetEventMaker(0, saved);
    EXPECT_TRUE(Settings.IsLadder());
    EXPECT_EQ(iconWhenMade, folder.File("challad.ico"));
    EXPECT_EQ(MainForm->windowTitle(), "Rostrix") << "the kind's title replaced the caption";
    ASSERT_NE(CurrentLadder, nullptr);
    EXPECT_EQ(CurrentLadder, CurrentEvent);
    EXPECT_FALSE(CurrentEvent->IsDoubles());
}

TEST_F(NewEvent, TheSameKindOnlyReplacesTheEvent) {
    Start({"-T"});
    MainForm->SetCurrentFileName("club.trn");
    CurrentEvent->SetHeading("Spring Open");
    EXPECT_EQ(Run([](TNewEventBox& d) {
                  d.EventType->Button(1)->click();
                  d.OKBtn->click();
              }),
              mrOk);
    EXPECT_TRUE(Settings.IsDraw());
    EXPECT_EQ(ApplicationIconPath(), folder.File("tourndrw.ico"));
    EXPECT_EQ(MainForm->windowTitle(), "club.trn - Rostrix") << "the kind was not set again";
    ASSERT_TRUE(IsEventUsable());
    EXPECT_TRUE(CurrentEvent->IsDoubles());
    EXPECT_EQ(CurrentEvent->Heading(), "") << "a new, empty event";

    // A schedule is made singles, whatever was chosen before it.
    Run([](TNewEventBox& d) {
        d.EventType->Button(1)->click();
        d.EventProg->Button(2)->click();
        d.OKBtn->click();
    });
    EXPECT_TRUE(Settings.IsMatchPlan());
    EXPECT_EQ(ApplicationIconPath(), folder.File("rostrix.ico"));
    EXPECT_EQ(CurrentLadder, nullptr);
    EXPECT_FALSE(CurrentEvent->IsDoubles());
}

TEST_F(NewEvent, OkWithoutAProgramStaysOpen) {
    Start({"-L"});
    RXEvent* const before = CurrentEvent;
    BoxScript boxes;
    boxes.Expect("Error", "Please select program type", kExclamation);
    EXPECT_EQ(Run([](TNewEventBox& d) {
                  QApplication::setActiveWindow(&d);
                  d.EventProg->SetItemIndex(-1);
                  d.OKBtn->click();
                  EXPECT_TRUE(d.isVisible());
                  EXPECT_TRUE(d.EventProg->hasFocus());
                  d.CancelBtn->click();
              }),
              mrCancel);
    EXPECT_EQ(CurrentEvent, before);
}
