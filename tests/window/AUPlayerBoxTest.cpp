#include "unified/window/AUPlayerBox.h"
#include "platform/widgets/Grid.h"
#include "tests/support/Players.h"
#include "tests/support/Responders.h"
#include "unified/Program.h"
#include "unified/core/rxProgram.h"
#include "unified/draw/Draw.h"
#include "unified/ladder/Ladder.h"
#include "unified/schedule/Matches.h"
#include "unified/window/MainForm.h"
#include "unified/window/UpdPlayerBox.h"
#include "unified/window/eventFactory.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// Error and warning boxes alike.
constexpr unsigned kBox = MB_OK | MB_ICONEXCLAMATION;
const std::string kLadderMove =
    " Caution -- you are changing the player's position in the ladder ranking.";

// A plan with one round on one court, made by a generator.
class PlanOfOneBox : public Matches {
public:
    PlanOfOneBox() {
        rounds = 1;
        courts = 1;
        boxes.Allocate(1, 1);
        scheduleType = 100;
    }
};

// A tournament whose bracket of four can be made.
class DrawToMake : public Draw {
public:
    void Make() {
        for (int m = 1; m <= 3; ++m)
            matchList.SetAt(m, TResult{});
        rounds = 2;
    }
};

void Names(TAUPlayerBox& d, const char* first, const char* last) {
    d.FirstName->setText(first);
    d.LastName->setText(last);
}

std::vector<std::string> Order() {
    std::vector<std::string> names;
    for (int n = 1; n <= CurrentEvent->PlayerCount(); ++n)
        names.push_back(CurrentEvent->Player(n)->firstName);
    return names;
}

// The field was refused: the box stays, the focus back on the field with its
// text selected.
void ExpectFocusBackOn(TAUPlayerBox& d, QLineEdit* field) {
    EXPECT_EQ(d.focusWidget(), field) << field->objectName().toStdString();
    EXPECT_EQ(field->selectedText(), field->text());
    EXPECT_TRUE(d.isVisible());
}

std::string Cell(int col, int row) {
    return MainForm->PlayerGrid->Cell(col, row);
}

class PlayerBox : public testing::Test {
protected:
    void SetUp() override { Settings = rxProgram(); }
    void TearDown() override {
        DestroyWindows();
        for (int kind = 0; kind < 3; ++kind)
            if (saved[kind] != nullptr) SetEventMaker(kind, saved[kind]);
    }

    template <typename Kind> void MakeKind(int kind) {
        saved[kind] = SetEventMaker(kind, [] { return static_cast<RXEvent*>(new Kind); });
    }

    void Start(const std::vector<std::string>& arguments, const std::vector<Player>& players = {}) {
        CreateWindows(arguments);
        for (const Player& p : players)
            ASSERT_EQ(CurrentEvent->AddPlayer(p, p.partner.get()), rcOk);
        MainForm->RefreshViews();
    }

    void AddThroughTheBox(std::function<void(TAUPlayerBox&)> action) {
        DialogScript dialogs;
        dialogs.Expect<TAUPlayerBox>(action);
        MainForm->AddPlayer1->trigger();
    }

    // Update Player: the chooser takes the name, then the box is scripted.
    void Update(const char* name, std::function<void(TAUPlayerBox&)> action) {
        DialogScript dialogs;
        dialogs
            .Expect<TUpdPlayerBox>([&](TUpdPlayerBox& d) {
                d.UpdName->setCurrentIndex(d.UpdName->findText(name));
                d.OKBtn->click();
            })
            .Expect<TAUPlayerBox>(action);
        MainForm->UpdatePlayer1->trigger();
    }

    // Update with a new number in the field.
    void Move(const char* name, const char* number) {
        Update(name, [&](TAUPlayerBox& d) {
            d.Points_Position->setText(number);
            d.OKBtn->click();
        });
    }

    BoxScript boxes;
    EventMaker saved[3] = {};
};

} // namespace

TEST_F(PlayerBox, EveryKindAddsPlayersAndTheBoxStaysOpenForTheNext) {
    for (const char* kind : {"-L", "-T", "-P"}) {
        Start({kind});
        const bool genders = kind != std::string("-T");
        AddThroughTheBox([&](TAUPlayerBox& d) {
            EXPECT_EQ(d.windowTitle(), "Add Player");
            EXPECT_TRUE(d.AddBtn->isVisible() && d.AddBtn->isDefault() && !d.OKBtn->isDefault());
            EXPECT_EQ(d.LabelPointsPos->text(), "&Position");
            EXPECT_EQ(d.DoublesFlag->text(), "");
            EXPECT_EQ(d.GenderSel->isVisible(), genders) << kind;
            EXPECT_EQ(d.LabelGender->isVisible(), genders);
            EXPECT_EQ(d.focusWidget(), d.FirstName);
            Names(d, "Ann", "Archer");
            d.EmailAddress->setText("ann@club.example");
            d.GenderSel->setCurrentIndex(1);
            d.AddBtn->click();
            EXPECT_EQ(d.FirstName->selectedText(), "Ann") << "the last entry stays to overwrite";
            EXPECT_EQ(Cell(3, 1), "Ann Archer") << "the window follows each entry";
            Names(d, "Bob", "Baker");
            d.OKBtn->click();
            EXPECT_FALSE(d.isVisible());
        });
        EXPECT_EQ(Order(), (std::vector<std::string>{"Ann", "Bob"}));
        EXPECT_EQ(CurrentEvent->Player(1)->email, "ann@club.example");
        EXPECT_EQ(CurrentEvent->Player(1)->gender, genders ? 'F' : ' ') << kind;
        DestroyWindows();
    }
}

TEST_F(PlayerBox, TheNumberFieldIsCheckedForEveryKind) {
    for (const char* kind : {"-L", "-T", "-P"}) {
        Start({kind}, {Named("Ann", "A"), Named("Bob", "B")});
        AddThroughTheBox([&](TAUPlayerBox& d) {
            Names(d, "Cal", "C");
            for (const char* bad : {"x1", "-1", "1.5"}) {
                boxes.Expect("Error", "Must be numeric from 0 to 9999.", kBox);
                d.Points_Position->setText(bad);
                d.AddBtn->click();
                ExpectFocusBackOn(d, d.Points_Position);
            }
            // Blank is the end of the list; a number is the place in it.
            d.Points_Position->clear();
            d.AddBtn->click();
            Names(d, "Dee", "D");
            d.Points_Position->setText("1");
            d.OKBtn->click();
        });
        EXPECT_EQ(Order(), (std::vector<std::string>{"Dee", "Ann", "Bob", "Cal"})) << kind;
        DestroyWindows();
    }

    // A points ladder needs points and keeps no gender.
    Start({"-L"});
    CurrentLadder->SetLadderSystem(1);
    AddThroughTheBox([&](TAUPlayerBox& d) {
        EXPECT_EQ(d.LabelPointsPos->text(), "&Points");
        EXPECT_EQ(d.Points_Position->text(), "0");
        EXPECT_FALSE(d.GenderSel->isVisible());
        Names(d, "Ann", "A");
        d.Points_Position->clear();
        boxes.Expect("Error", "Must be numeric from 0 to 9999.", kBox);
        d.OKBtn->click();
        ExpectFocusBackOn(d, d.Points_Position);
        d.Points_Position->setText("12");
        d.OKBtn->click();
    });
    EXPECT_EQ(CurrentEvent->Player(1)->points, 12);
}

TEST_F(PlayerBox, RefusedNamesSendTheFocusBackAndTextsEnterOnOneLine) {
    Start({"-P"}, {Named("Ann", "Archer")});
    AddThroughTheBox([&](TAUPlayerBox& d) {
        Names(d, "Ann", "Archer");
        boxes.Expect("Error", "Name already exists in this file; names must be unique.", kBox);
        d.OKBtn->click();
        ExpectFocusBackOn(d, d.FirstName);
        Names(d, "  ", "");
        d.LastName->setFocus();
        boxes.Expect("Error", "Either a first name or last name is required.", kBox);
        d.AddBtn->click();
        ExpectFocusBackOn(d, d.FirstName);
        Names(d, "Bo\nb", "Ba\r\nker");
        d.OKBtn->click();
    });
    EXPECT_EQ(CurrentEvent->PlayerDisplayName(2), "Baker, Bob");
}

TEST_F(PlayerBox, FieldsTakeTheirLimits) {
    Start({"-P"});
    AddThroughTheBox([](TAUPlayerBox& d) {
        const std::pair<QLineEdit*, int> limits[] = {
            {d.FirstName, 30},     {d.LastName, 30},       {d.WorkPhone, 14},
            {d.HomePhone, 14},     {d.Points_Position, 4}, {d.EmailAddress, 50},
            {d.OtherContact1, 50}, {d.OtherContact2, 50},  {d.Address1, 50},
            {d.Address2, 50},      {d.City, 50},           {d.State, 50},
            {d.PostalCode, 50},    {d.Country, 50}};
        for (const auto& [field, limit] : limits) {
            QTest::keyClicks(field, QString(60, '7'));
            EXPECT_EQ(field->text().size(), limit) << field->objectName().toStdString();
        }
    });
}

TEST_F(PlayerBox, ADoublesPairIsEnteredOnTwoScreens) {
    Start({"-L", "-u"}, {Named("Old", "Pair")});
    AddThroughTheBox([&](TAUPlayerBox& d) {
        EXPECT_EQ(d.DoublesFlag->text(), "Player #1");
        Names(d, "Ann", "Archer");
        d.Points_Position->setText("1");
        d.AddBtn->click();
        EXPECT_EQ(d.DoublesFlag->text(), "Player #2");
        EXPECT_FALSE(d.Points_Position->isEnabled() || d.LabelPointsPos->isEnabled());
        EXPECT_EQ(CurrentEvent->PlayerCount(), 1) << "the first of a pair waits";
        // Minimised and restored, the box is the same use: the pair goes on.
        d.showMinimized();
        QApplication::processEvents();
        d.showNormal();
        QApplication::processEvents();
        EXPECT_EQ(d.DoublesFlag->text(), "Player #2");
        Names(d, "Amy", "Adams");
        d.AddBtn->click();
        EXPECT_EQ(d.DoublesFlag->text(), "Player #1");
        EXPECT_TRUE(d.Points_Position->isEnabled());
        // OK goes on to the partner, then closes.
        Names(d, "Bob", "Baker");
        d.Points_Position->clear();
        d.OKBtn->click();
        EXPECT_EQ(d.DoublesFlag->text(), "Player #2");
        Names(d, "Ben", "Brown");
        d.OKBtn->click();
        EXPECT_FALSE(d.isVisible());
    });
    EXPECT_EQ(Order(), (std::vector<std::string>{"Ann", "Old", "Bob"}));
    EXPECT_EQ(MainForm->PlayerGrid->RowCount(), 8);
    EXPECT_EQ(Cell(3, 2), "Amy Adams");
    EXPECT_EQ(Cell(3, 6), "Ben Brown");
}

TEST_F(PlayerBox, UpdatingTakesTheTextsAndKeepsTheCounters) {
    Player ann = Named("Ann", "Archer");
    ann.gender = 'F';
    ann.city = "Springfield";
    Start({"-L"}, {ann, Named("Bob", "Baker")});
    CurrentEvent->Player(1)->wins = 4;
    boxes.Expect("Error", "Select a player name to be updated.", kBox);
    DialogScript dialogs;
    dialogs
        .Expect<TUpdPlayerBox>([&](TUpdPlayerBox& d) {
            EXPECT_EQ(d.UpdName->itemText(1), "Baker, Bob");
            d.OKBtn->click();
            EXPECT_EQ(d.focusWidget(), d.UpdName);
            d.UpdName->setCurrentIndex(0);
            d.OKBtn->click();
        })
        .Expect<TAUPlayerBox>([&](TAUPlayerBox& d) {
            EXPECT_EQ(d.windowTitle(), "Update Player - Archer, Ann");
            EXPECT_TRUE(!d.AddBtn->isVisible() && d.OKBtn->isDefault());
            EXPECT_EQ(d.City->text(), "Springfield");
            EXPECT_EQ(d.GenderSel->currentText(), "Female");
            EXPECT_EQ(d.Points_Position->text(), "1");
            EXPECT_EQ(d.FirstName->selectedText(), "Ann");
            Names(d, "Bob", "Baker");
            boxes.Expect("Error", "Name already exists in this file; names must be unique.", kBox);
            d.OKBtn->click();
            ExpectFocusBackOn(d, d.FirstName);
            Names(d, "Anne", "Archer");
            d.GenderSel->setCurrentIndex(0);
            d.OKBtn->click();
            EXPECT_FALSE(d.isVisible());
        });
    MainForm->UpdatePlayer1->trigger();
    const Player& anne = *CurrentEvent->Player(1);
    EXPECT_EQ(anne.firstName + anne.gender, "Anne ");
    EXPECT_EQ(anne.wins, 4);
    EXPECT_EQ(anne.points, 0) << "a position is not points";
    EXPECT_EQ(Cell(3, 1), "Anne Archer");
}

TEST_F(PlayerBox, ANewPositionMovesThePlayerAfterTheKindsWarning) {
    Start({"-L"}, {Named("Ann", "A"), Named("Bob", "B"), Named("Cal", "C"), Named("Dee", "D")});
    Move("C, Cal", "2");
    ASSERT_EQ(CurrentLadder->EnterResult("3/1/2024", "D, Dee", "A, Ann", "6-1", false), rcOk);
    const std::string line = CurrentLadder->ResultText(1);
    Update("C, Cal", [&](TAUPlayerBox& d) {
        boxes.Expect("Error", "Must be numeric from 1 to 9999.", kBox);
        d.Points_Position->setText("0");
        d.OKBtn->click();
        ExpectFocusBackOn(d, d.Points_Position);
        d.Points_Position->setText("1");
        boxes.Expect("Warning", kLadderMove, kBox);
        d.OKBtn->click();
    });
    EXPECT_EQ(Order(), (std::vector<std::string>{"Cal", "Ann", "Bob", "Dee"}));
    EXPECT_EQ(CurrentLadder->ResultText(1), line) << "results still name the same players";
    EXPECT_EQ(Cell(3, 1), "Cal C");
    // A blank position leaves the player in place; one past the end is last.
    Move("B, Bob", "");
    boxes.Expect("Warning", kLadderMove, kBox);
    Move("A, Ann", "99");
    EXPECT_EQ(Order(), (std::vector<std::string>{"Cal", "Bob", "Dee", "Ann"}));
    DestroyWindows();

    MakeKind<PlanOfOneBox>(2);
    Start({"-P"}, {Named("Ann", "A"), Named("Bob", "B")});
    auto& plan = dynamic_cast<Matches&>(*CurrentEvent);
    Move("B, Bob", "1"); // no match: no warning, but no longer a generator's plan
    EXPECT_EQ(plan.ScheduleType(), 0);
    plan.SetScheduleType(100);
    plan.PutSlot(1, 1, 1, 2);
    boxes.Expect("Warning",
                 " Caution -- the match schedule is based on the originally ordered player "
                 "list.\n You may want to re-do your match schedule after moving players in "
                 "the list.",
                 kBox);
    Move("B, Bob", "2");
    EXPECT_EQ(Order(), (std::vector<std::string>{"Ann", "Bob"}));
    EXPECT_EQ(plan.ScheduleType(), 0);
    DestroyWindows();

    MakeKind<DrawToMake>(1);
    Start({"-T"}, {Named("Ann", "A"), Named("Bob", "B")});
    dynamic_cast<DrawToMake&>(*CurrentEvent).Make();
    boxes.Expect("Warning",
                 " Caution -- the tournament draw is based on the originally ordered player "
                 "list.\n You may want to re-do your tournament draw after moving players in "
                 "the list.",
                 kBox);
    Move("B, Bob", "1");
    EXPECT_EQ(Order(), (std::vector<std::string>{"Bob", "Ann"}));
}

TEST_F(PlayerBox, ChangedPointsStayInPlaceAndWarnOnceThereAreResults) {
    Start({"-L"});
    CurrentLadder->SetLadderSystem(1);
    Player ann = Named("Ann", "A");
    ann.points = 20;
    CurrentEvent->AddPlayer(ann, nullptr);
    CurrentEvent->AddPlayer(Named("Bob", "B"), nullptr);
    Move("B, Bob", "0");
    ASSERT_EQ(CurrentLadder->EnterResult("3/1/2024", "B, Bob", "A, Ann", "6-1", false), rcOk);
    boxes.Expect("Warning",
                 " Caution -- you are changing the player's points, which may affect the "
                 "position in the ladder ranking.",
                 kBox);
    Move("B, Bob", "35");
    EXPECT_EQ(Order(), (std::vector<std::string>{"Ann", "Bob"})) << "posting ranks, not this";
    EXPECT_EQ(Cell(1, 2), "35");
}

TEST_F(PlayerBox, UpdatingAPairGoesOnToThePartnerEvenWhenItsRecordIsMissing) {
    Player ann = Named("Ann", "A");
    ann.partner.Set(Named("Amy", "Adams"));
    ann.partner->wins = 3;
    Start({"-T", "-u"}, {Named("Bob", "B"), ann});
    Update("A, Ann", [&](TAUPlayerBox& d) {
        d.Points_Position->setText("1");
        d.HomePhone->setText("555-0111");
        d.OKBtn->click();
        EXPECT_EQ(d.windowTitle(), "Update Player");
        EXPECT_EQ(d.DoublesFlag->text(), "Player #2");
        EXPECT_FALSE(d.Points_Position->isEnabled());
        EXPECT_EQ(d.FirstName->text() + d.HomePhone->text(), "Amy");
        EXPECT_EQ(d.focusWidget(), d.FirstName);
        Names(d, "Amelia", "Adams");
        d.OKBtn->click();
        EXPECT_FALSE(d.isVisible());
    });
    EXPECT_EQ(Order(), (std::vector<std::string>{"Ann", "Bob"})) << "the pair moved";
    EXPECT_EQ(CurrentEvent->Player(1)->homePhone, "555-0111");
    EXPECT_EQ(CurrentEvent->Player(1)->partner->wins, 3);
    EXPECT_EQ(Cell(3, 2), "Amelia Adams");

    // Bob has no partner record: his partner's screen starts empty, not
    // with Amelia, and an empty screen adds no partner.
    Update("B, Bob", [](TAUPlayerBox& d) {
        d.OKBtn->click();
        EXPECT_EQ(d.FirstName->text() + d.LastName->text(), "");
        d.OKBtn->click();
        EXPECT_FALSE(d.isVisible());
    });
    EXPECT_FALSE(CurrentEvent->Player(2)->partner);
    Update("B, Bob", [](TAUPlayerBox& d) {
        d.OKBtn->click();
        Names(d, "Ben", "Brown");
        d.OKBtn->click();
    });
    EXPECT_EQ(Cell(3, 4), "Ben Brown");
}
