#include "unified/window/eventFactory.h"
#include "tests/support/Responders.h"
#include "unified/core/RXEvent.h"
#include "unified/core/rxProgram.h"
#include "unified/draw/Draw.h"
#include "unified/ladder/Ladder.h"
#include "unified/schedule/Matches.h"

#include <gtest/gtest.h>

namespace {

class EventFactory : public testing::Test {
protected:
    void SetUp() override { Settings = rxProgram(); }
    void TearDown() override { DestroyCurrentEvent(); }
};

// A kind whose construction fails: what a constructor does when it cannot
// allocate what it needs.
class FailingLadder : public Ladder {
public:
    FailingLadder() { state = StateUnusable; }
};

} // namespace

TEST_F(EventFactory, MakesTheKindOfTheSettings) {
    ParseCommandLine(Settings, {"-L"});
    CreateEvent(false);
    ASSERT_NE(CurrentEvent, nullptr);
    EXPECT_NE(dynamic_cast<Ladder*>(CurrentEvent), nullptr);
    EXPECT_EQ(static_cast<RXEvent*>(CurrentLadder), CurrentEvent);
    EXPECT_FALSE(CurrentEvent->IsDoubles());
    EXPECT_FALSE(CurrentEvent->IsModified());
    DestroyCurrentEvent();
    EXPECT_EQ(CurrentLadder, nullptr);

    ParseCommandLine(Settings, {"-T"});
    CreateEvent(true);
    EXPECT_NE(dynamic_cast<Draw*>(CurrentEvent), nullptr);
    EXPECT_EQ(CurrentLadder, nullptr);
    EXPECT_TRUE(CurrentEvent->IsDoubles());
    DestroyCurrentEvent();

    ParseCommandLine(Settings, {"-P"});
    CreateEvent(false);
    EXPECT_NE(dynamic_cast<Matches*>(CurrentEvent), nullptr);
    EXPECT_EQ(CurrentEvent->FileExtension(), "rxd");
}

TEST_F(EventFactory, AKindThatCannotBeMadeShowsErrorFour) {
    ParseCommandLine(Settings, {"-L"});
    const EventMaker saved = SetEventMaker(0, [] { return static_cast<RXEvent*>(nullptr); });
    BoxScript boxes;
    boxes.Expect("Error", "Cannot allocate enough memory.", MB_OK | MB_ICONEXCLAMATION);
    CreateEvent(true);
    EXPECT_EQ(CurrentEvent, nullptr);
    EXPECT_EQ(CurrentLadder, nullptr);
    EXPECT_FALSE(IsEventUsable());

    // An object whose construction failed is unusable, and not made doubles.
    SetEventMaker(0, [] { return static_cast<RXEvent*>(new FailingLadder); });
    boxes.Expect("Error", "Cannot allocate enough memory.", MB_OK | MB_ICONEXCLAMATION);
    CreateEvent(true);
    ASSERT_NE(CurrentEvent, nullptr);
    EXPECT_FALSE(IsEventUsable());
    EXPECT_FALSE(CurrentEvent->IsDoubles());
    SetEventMaker(0, saved);
}
