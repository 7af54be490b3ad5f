#include "unified/window/DelPlayerBox.h"
#include "platform/Grid.h"
#include "tests/support/Players.h"
#include "tests/support/Responders.h"
#include "unified/Program.h"
#include "unified/core/RXEvent.h"
#include "unified/core/rxProgram.h"
#include "unified/draw/Draw.h"
#include "unified/window/MainForm.h"
#include "unified/window/eventFactory.h"

#include <QListWidget>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

// A tournament whose bracket can be made.
class DrawToMake : public Draw {
public:
    void Make() {
        matches = 1;
        rounds = 1;
    }
    // The bracket is made as soon as one player has gone.
    short PlayerDeleted(int) override {
        if (makeAfterADelete) Make();
        return 0;
    }
    bool makeAfterADelete = false;
};

std::vector<std::string> Listed(const TDelPlayerBox& d) {
    std::vector<std::string> names;
    for (int i = 0; i < d.DelName->count(); ++i)
        names.push_back(d.DelName->item(i)->text().toStdString());
    return names;
}

std::vector<std::string> Order() {
    std::vector<std::string> names;
    for (int n = 1; n <= CurrentEvent->PlayerCount(); ++n)
        names.push_back(CurrentEvent->PlayerDisplayName(n));
    return names;
}

void Choose(TDelPlayerBox& d, const std::vector<const char*>& names) {
    d.DelName->clearSelection();
    for (const char* name : names) {
        const auto found = d.DelName->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << name;
        found.front()->setSelected(true);
    }
}

class DeleteBox : public testing::Test {
protected:
    void SetUp() override { Settings = rxProgram(); }
    void TearDown() override {
        DestroyWindows();
        if (savedDraw != nullptr) SetEventMaker(1, savedDraw);
    }

    void Start(const std::vector<std::string>& arguments) {
        CreateWindows(arguments);
        for (const char* name : {"Cole", "baker", "Adams", "Dunn"})
            ASSERT_EQ(CurrentEvent->AddPlayer(Named("Al", name), nullptr), 0);
        MainForm->RefreshViews();
    }

    BoxScript boxes;
    DialogScript dialogs;
    EventMaker savedDraw = nullptr;
};

constexpr unsigned kError = MB_OK | MB_ICONEXCLAMATION;

} // namespace

TEST_F(DeleteBox, ListsSortedNamesAndDeletesOneOrMore) {
    Start({"-P"});
    boxes.Expect("Error", "Select a player name to be deleted.", kError)
        .Expect("Confirmation", "Deleting 2 players", MB_OKCANCEL | MB_ICONQUESTION, IDOK);
    dialogs.Expect<TDelPlayerBox>([](TDelPlayerBox& d) {
        EXPECT_EQ(Listed(d),
                  (std::vector<std::string>{"Adams, Al", "baker, Al", "Cole, Al", "Dunn, Al"}));
        d.OKBtn->click();
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(d.focusWidget(), d.DelName);
        Choose(d, {"Dunn, Al", "baker, Al"});
        d.OKBtn->click();
        EXPECT_FALSE(d.isVisible());
    });
    MainForm->DeletePlayer1->trigger();
    EXPECT_EQ(Order(), (std::vector<std::string>{"Cole, Al", "Adams, Al"}));
    EXPECT_EQ(MainForm->PlayerGrid->Cell(3, 2), "Al Adams");
    EXPECT_EQ(MainForm->PlayerGrid->RowCount(), 4);

    // One name is deleted without asking; the list is filled anew.
    dialogs.Expect<TDelPlayerBox>([](TDelPlayerBox& d) {
        EXPECT_EQ(Listed(d), (std::vector<std::string>{"Adams, Al", "Cole, Al"}));
        Choose(d, {"Cole, Al"});
        d.OKBtn->click();
    });
    MainForm->DeletePlayer1->trigger();
    EXPECT_EQ(Order(), (std::vector<std::string>{"Adams, Al"}));
}

TEST_F(DeleteBox, CancelAtTheQuestionClosesWithoutDeleting) {
    Start({"-L"});
    boxes.Expect("Confirmation", "Deleting 3 players", MB_OKCANCEL | MB_ICONQUESTION, IDCANCEL);
    dialogs.Expect<TDelPlayerBox>([](TDelPlayerBox& d) {
        Choose(d, {"Adams, Al", "Cole, Al", "Dunn, Al"});
        d.OKBtn->click();
        EXPECT_FALSE(d.isVisible());
        EXPECT_EQ(d.result(), mrCancel);
    });
    MainForm->DeletePlayer1->trigger();
    EXPECT_EQ(CurrentEvent->PlayerCount(), 4);
}

TEST_F(DeleteBox, AMadeDrawRefusesAndTheBoxStaysOpen) {
    savedDraw = SetEventMaker(1, [] { return static_cast<RXEvent*>(new DrawToMake); });
    Start({"-T"});
    dynamic_cast<DrawToMake*>(CurrentEvent)->Make();
    boxes
        .Expect("Error",
                "Cannot add/delete players after draw is created.  You must clear the draw first.",
                kError)
        .Expect("Confirmation", "Deleting 2 players", MB_OKCANCEL | MB_ICONQUESTION, IDOK)
        .Expect("Error",
                "Cannot add/delete players after draw is created.  You must clear the draw first.",
                kError);
    dialogs.Expect<TDelPlayerBox>([](TDelPlayerBox& d) {
        Choose(d, {"Cole, Al"});
        d.OKBtn->click();
        EXPECT_TRUE(d.isVisible());
        Choose(d, {"Cole, Al", "Adams, Al"});
        d.OKBtn->click();
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(d.DelName->selectedItems().size(), 2) << "nothing went, the choice stays";
    });
    MainForm->DeletePlayer1->trigger();
    EXPECT_EQ(CurrentEvent->PlayerCount(), 4);
}

TEST_F(DeleteBox, WhatWentBeforeARefusalIsShownAtOnce) {
    savedDraw = SetEventMaker(1, [] { return static_cast<RXEvent*>(new DrawToMake); });
    Start({"-T"});
    dynamic_cast<DrawToMake*>(CurrentEvent)->makeAfterADelete = true;
    boxes.Expect("Confirmation", "Deleting 2 players", MB_OKCANCEL | MB_ICONQUESTION, IDOK)
        .Expect("Error",
                "Cannot add/delete players after draw is created.  You must clear the draw first.",
                kError);
    dialogs.Expect<TDelPlayerBox>([](TDelPlayerBox& d) {
        Choose(d, {"Adams, Al", "Cole, Al"});
        d.OKBtn->click();
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(Listed(d), (std::vector<std::string>{"baker, Al", "Cole, Al", "Dunn, Al"}));
        EXPECT_EQ(MainForm->PlayerGrid->RowCount(), 5);
        EXPECT_EQ(MainForm->PlayerGrid->Cell(3, 3), "Al Dunn");
    });
    MainForm->DeletePlayer1->trigger();
}
