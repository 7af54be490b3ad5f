#include "unified/window/NewEventBox.h"
#include "platform/ApplicationState.h"
#include "tests/support/Scratch.h"
#include "tests/window/DialogTest.h"
#include "unified/dialogparts/RadioGroup.h"
#include "unified/ladder/Ladder.h"
#include "unified/window/MainForm.h"
#include "unified/window/eventFactory.h"

#include <QPushButton>
#include <QRadioButton>

namespace {

// The program started in a folder of its own ("-Z"), which holds the kinds'
// icons.
class NewEvent : public DialogTest {
protected:
    void Start(const char* kind) {
        for (const char* icon : {"challad.ico", "tourndrw.ico", "rostrix.ico"})
            WriteFile(folder.File(icon), "icon");
        CreateWindows({"-Z", kind});
    }
    int Run(std::function<void(TNewEventBox&)> action) {
        return DialogTest::Run(NewEventBox, std::move(action));
    }
    // The chosen program and event type (-1 none), and whether the event
    // type may be chosen.
    static std::string Chosen(const TNewEventBox& d) {
        return std::to_string(d.EventProg->ItemIndex()) + std::to_string(d.EventType->ItemIndex()) +
               (d.EventType->isEnabled() ? "" : " disabled");
    }

    TempFolder folder;
    ScopedCurrentDir here{folder.Path()};
};

std::string iconWhenMade;

RXEvent* MakeLadderNotingTheIcon() {
    iconWhenMade = ApplicationIconPath();
    return new Ladder;
}

} // namespace

TEST_F(NewEvent, OpensOnTheCurrentKindAndAScheduleTakesNoEventType) {
    Start("-L");
    CurrentEvent->SetDoubles();
    RXEvent* const before = CurrentEvent;
    EXPECT_EQ(Run([](TNewEventBox& d) {
                  EXPECT_EQ(Chosen(d), "01");
                  d.EventProg->Button(2)->click();
                  EXPECT_EQ(Chosen(d), "2-1 disabled");
                  d.EventProg->Button(1)->click();
                  EXPECT_EQ(Chosen(d), "1-1");
                  d.EventType->Button(1)->click();
                  d.CancelBtn->click();
              }),
              mrCancel);
    EXPECT_EQ(CurrentEvent, before);

    // On a schedule the doubles left chosen from the last use is cleared.
    DestroyCurrentEvent();
    ParseCommandLine(Settings, {"-Z", "-P"});
    CreateEvent(false);
    Run([](TNewEventBox& d) {
        EXPECT_EQ(Chosen(d), "2-1 disabled");
        d.OKBtn->click();
    });
    EXPECT_FALSE(CurrentEvent->IsDoubles());
}

TEST_F(NewEvent, AnotherKindTakesItsTitleAndIconBeforeTheEventIsMade) {
    Start("-P");
    MainForm->SetCurrentFileName("club");
    const EventMaker saved = SetEventMaker(0, MakeLadderNotingTheIcon);
    BoxScript boxes;
    boxes.Expect("Note", "Event Type defaults to 'Singles'", kExclamation);
    EXPECT_EQ(Run([](TNewEventBox& d) {
                  d.EventProg->Button(0)->click();
                  d.OKBtn->click();
              }),
              mrOk);
    SetEventMaker(0, saved);
    EXPECT_EQ(iconWhenMade, folder.File("challad.ico"));
    EXPECT_EQ(MainForm->windowTitle(), "Rostrix");
    ASSERT_NE(CurrentLadder, nullptr);
    EXPECT_FALSE(CurrentLadder->IsDoubles());

    // The same kind only replaces the event: the caption keeps its name.
    MainForm->SetCurrentFileName("club");
    CurrentEvent->SetHeading("Spring");
    Run([](TNewEventBox& d) {
        d.EventType->Button(1)->click();
        d.OKBtn->click();
    });
    EXPECT_EQ(MainForm->windowTitle(), "club - Rostrix");
    EXPECT_TRUE(CurrentEvent->IsDoubles());
    EXPECT_EQ(CurrentEvent->Heading(), "");
}

TEST_F(NewEvent, OkWithoutAProgramStaysOpen) {
    Start("-T");
    BoxScript boxes;
    boxes.Expect("Error", "Please select program type", kExclamation);
    Run([](TNewEventBox& d) {
        d.EventProg->SetItemIndex(-1);
        d.OKBtn->click();
        EXPECT_TRUE(d.isVisible());
        EXPECT_TRUE(d.EventProg->hasFocus());
        d.EventProg->Button(2)->click();
        d.OKBtn->click();
    });
    EXPECT_TRUE(Settings.IsMatchPlan());
    EXPECT_EQ(ApplicationIconPath(), folder.File("rostrix.ico"));
}
