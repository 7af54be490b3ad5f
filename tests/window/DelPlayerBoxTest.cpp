#include "unified/window/DelPlayerBox.h"
#include "platform/widgets/Grid.h"
#include "tests/support/Players.h"
#include "tests/support/Responders.h"
#include "unified/Program.h"
#include "unified/core/rxProgram.h"
#include "unified/draw/Draw.h"
#include "unified/window/MainForm.h"
#include "unified/window/eventFactory.h"

#include <QListWidget>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

// A tournament whose bracket is made as soon as asked, or as soon as one
// player has gone.
class DrawToMake : public Draw {
public:
    void Make() {
        matchList.SetAt(1, TResult{});
        rounds = 1;
    }
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

void Choose(TDelPlayerBox& d, const std::vector<const char*>& names) {
    d.DelName->clearSelection();
    for (const char* name : names)
        d.DelName->findItems(name, Qt::MatchExactly).value(0)->setSelected(true);
}

constexpr unsigned kError = MB_OK | MB_ICONEXCLAMATION;
constexpr unsigned kQuestion = MB_OKCANCEL | MB_ICONQUESTION;
const char* const kDrawMade =
    "Cannot add/delete players after draw is created.  You must clear the draw first.";

class DeleteBox : public testing::Test {
protected:
    void SetUp() override { Settings = rxProgram(); }
    void TearDown() override {
        DestroyWindows();
        if (savedDraw != nullptr) SetEventMaker(1, savedDraw);
    }

    void Start(const char* kind) {
        CreateWindows({kind});
        for (const char* name : {"Cole", "baker", "Adams", "Dunn"})
            ASSERT_EQ(CurrentEvent->AddPlayer(Named("Al", name), nullptr), rcOk);
        MainForm->RefreshViews();
    }

    DrawToMake& StartADraw() {
        savedDraw = SetEventMaker(1, [] { return static_cast<RXEvent*>(new DrawToMake); });
        Start("-T");
        return dynamic_cast<DrawToMake&>(*CurrentEvent);
    }

    BoxScript boxes;
    DialogScript dialogs;
    EventMaker savedDraw = nullptr;
};

} // namespace

TEST_F(DeleteBox, ListsSortedNamesAndDeletesOneOrMoreAfterAsking) {
    Start("-P");
    boxes.Expect("Error", "Select a player name to be deleted.", kError)
        .Expect("Confirmation", "Deleting 3 players", kQuestion, IDCANCEL)
        .Expect("Confirmation", "Deleting 2 players", kQuestion, IDOK);
    dialogs
        .Expect<TDelPlayerBox>([](TDelPlayerBox& d) {
            EXPECT_EQ(Listed(d),
                      (std::vector<std::string>{"Adams, Al", "baker, Al", "Cole, Al", "Dunn, Al"}));
            d.OKBtn->click();
            EXPECT_EQ(d.focusWidget(), d.DelName);
            Choose(d, {"Adams, Al", "Cole, Al", "Dunn, Al"});
            d.OKBtn->click();
            EXPECT_EQ(d.result(), mrCancel) << "Cancel at the question closes the box";
        })
        .Expect<TDelPlayerBox>([](TDelPlayerBox& d) {
            Choose(d, {"Dunn, Al", "baker, Al"});
            d.OKBtn->click();
            EXPECT_EQ(d.result(), mrOk);
        })
        .Expect<TDelPlayerBox>([](TDelPlayerBox& d) {
            EXPECT_EQ(Listed(d), (std::vector<std::string>{"Adams, Al", "Cole, Al"}));
            Choose(d, {"Cole, Al"}); // one name goes without asking
            d.OKBtn->click();
        });
    for (int i = 0; i < 3; ++i)
        MainForm->DeletePlayer1->trigger();
    ASSERT_EQ(CurrentEvent->PlayerCount(), 1);
    EXPECT_EQ(CurrentEvent->PlayerDisplayName(1), "Adams, Al");
    EXPECT_EQ(MainForm->PlayerGrid->Cell(3, 1), "Al Adams");
    EXPECT_EQ(MainForm->PlayerGrid->RowCount(), 3);
}

TEST_F(DeleteBox, ARefusalKeepsTheBoxOpenAndShowsWhatWentBeforeIt) {
    DrawToMake& draw = StartADraw();
    draw.Make();
    boxes.Expect("Error", kDrawMade, kError);
    dialogs.Expect<TDelPlayerBox>([](TDelPlayerBox& d) {
        Choose(d, {"Cole, Al"});
        d.OKBtn->click();
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(d.DelName->selectedItems().size(), 1) << "nothing went, the choice stays";
    });
    MainForm->DeletePlayer1->trigger();
    EXPECT_EQ(CurrentEvent->PlayerCount(), 4);

    draw.ClearResults(false);
    draw.makeAfterADelete = true;
    boxes.Expect("Confirmation", "Deleting 2 players", kQuestion, IDOK)
        .Expect("Error", kDrawMade, kError);
    dialogs.Expect<TDelPlayerBox>([](TDelPlayerBox& d) {
        Choose(d, {"Adams, Al", "Cole, Al"});
        d.OKBtn->click();
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(Listed(d), (std::vector<std::string>{"baker, Al", "Cole, Al", "Dunn, Al"}));
        EXPECT_EQ(MainForm->PlayerGrid->Cell(3, 3), "Al Dunn");
    });
    MainForm->DeletePlayer1->trigger();
}
