#include "unified/core/RXEvent.h"
#include "unified/draw/Draw.h"
#include "unified/ladder/Ladder.h"
#include "unified/schedule/Matches.h"

#include <gtest/gtest.h>

TEST(EventState, MovesBetweenCleanChangedAndSaved) {
    Ladder event;
    EXPECT_EQ(event.State(), StateClean);
    EXPECT_FALSE(event.IsModified()); // a new event: quitting asks nothing
    event.SetHeading("Spring ladder");
    EXPECT_EQ(event.State(), StateChanged);
    EXPECT_TRUE(event.IsModified());
    event.Reset();
    EXPECT_FALSE(event.IsModified());
    event.SetMargins(0.5f, 0.5f, 1, 1);
    EXPECT_TRUE(event.IsModified());
    EXPECT_FLOAT_EQ(event.PrintOpts().leftMargin, 0.5f);
}

TEST(EventState, EverySetterMarksTheEventChanged) {
    Ladder event;
    const auto changes = [&](auto&& change) {
        event.Reset();
        change();
        return event.IsModified();
    };
    EXPECT_TRUE(changes([&] { event.SetNote(3, "Bring water"); }));
    EXPECT_TRUE(changes([&] { event.SetEmailSubject("Results"); }));
    EXPECT_TRUE(changes([&] { event.SetPrintOptions(PrintOptions{}); }));
    EXPECT_TRUE(changes([&] { event.SetDoubles(); }));
    EXPECT_FALSE(changes([&] { event.ResetTexts(); }));
}

TEST(EventTexts, NotesOneToFiveOnly) {
    Ladder event;
    event.SetNote(1, "first");
    event.SetNote(5, "fifth");
    EXPECT_EQ(event.Note(1), "first");
    EXPECT_EQ(event.Note(5), "fifth");
    event.Reset();
    event.SetNote(0, "lost");
    EXPECT_TRUE(event.IsModified()); // stored nowhere, still a change
    event.SetNote(6, "lost");
    EXPECT_EQ(event.Note(0), "");
    EXPECT_EQ(event.Note(6), "");
    EXPECT_EQ(event.Note(-1), "");
    event.SetHeading("h");
    event.ResetTexts();
    EXPECT_EQ(event.Heading(), "");
    EXPECT_EQ(event.Note(1), "");
}

TEST(EventBase, DefaultsOfANewEvent) {
    Ladder event;
    const PrintOptions& p = event.PrintOpts();
    EXPECT_FLOAT_EQ(p.leftMargin, 1.0f);
    EXPECT_FLOAT_EQ(p.bottomMargin, 1.0f);
    EXPECT_EQ(p.playersPerPage, 16);
    EXPECT_EQ(p.roundsPerPage, 4);
    EXPECT_EQ(p.orientation, 0);
    EXPECT_EQ(p.fontSize, 10);
    EXPECT_EQ(event.PlayerCount(), 0);
    EXPECT_EQ(event.Player(0), nullptr);
    EXPECT_EQ(event.Player(1), nullptr);
    EXPECT_FALSE(event.IsManualMode());
    event.EnterManualMode();
    EXPECT_TRUE(event.IsManualMode());
    event.ClearManualMode();
    EXPECT_FALSE(event.IsManualMode());
    EXPECT_EQ(event.RoundCount(), 0);
}

TEST(EventBase, KindsWithoutAnOnlineFormRefuseIt) {
    for (RXEvent* event : {static_cast<RXEvent*>(new Draw), static_cast<RXEvent*>(new Matches)}) {
        event->SetHeading("kept");
        std::string text;
        event->SaveToText(text);
        EXPECT_EQ(text, "NOT IMPLEMENTED");
        EXPECT_EQ(event->LoadFromText("Ladder{\r\n}\r\n"), rcNotFound);
        EXPECT_EQ(event->Heading(), "kept");
        EXPECT_EQ(event->PlayerCount(), 0);
        delete event;
    }
}
