#include "unified/window/AUPlayerBox.h"
#include "platform/Grid.h"
#include "tests/support/Players.h"
#include "tests/support/Responders.h"
#include "unified/Program.h"
#include "unified/core/RXEvent.h"
#include "unified/core/rxProgram.h"
#include "unified/draw/Draw.h"
#include "unified/ladder/Ladder.h"
#include "unified/schedule/Matches.h"
#include "unified/window/MainForm.h"
#include "unified/window/UpdPlayerBox.h"
#include "unified/window/eventFactory.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

constexpr unsigned kError = MB_OK | MB_ICONEXCLAMATION;
constexpr unsigned kWarning = MB_OK | MB_ICONEXCLAMATION;

// A plan whose courts and rounds were set up, one box filled.
class PlanWithAMatch : public Matches {
public:
    PlanWithAMatch() {
        rounds = 1;
        courts = 1;
        boxes.Allocate(1, 1);
        scheduleType = 100;
    }
};

// A tournament whose bracket of four can be made.
class DrawMade : public Draw {
public:
    void Make() {
        matches = 3;
        rounds = 2;
    }
};

void Enter(QLineEdit* edit, const std::string& text) {
    edit->setText(QString::fromStdString(text));
}

void Names(TAUPlayerBox& d, const std::string& first, const std::string& last) {
    Enter(d.FirstName, first);
    Enter(d.LastName, last);
}

std::string NameOf(int n) {
    const Player* p = CurrentEvent->Player(n);
    return p == nullptr ? "-" : p->firstName + " " + p->lastName;
}

std::vector<std::string> Order() {
    std::vector<std::string> names;
    for (int n = 1; n <= CurrentEvent->PlayerCount(); ++n)
        names.push_back(NameOf(n));
    return names;
}

// The field was refused: the focus is back on it with its text selected.
void ExpectFocusBackOn(TAUPlayerBox& d, QLineEdit* field) {
    EXPECT_EQ(d.focusWidget(), field) << field->objectName().toStdString();
    EXPECT_EQ(field->selectedText(), field->text());
    EXPECT_TRUE(d.isVisible()) << "a refusal keeps the box open";
}

class PlayerBox : public testing::Test {
protected:
    void SetUp() override { Settings = rxProgram(); }
    void TearDown() override {
        DestroyWindows();
        for (int kind = 0; kind < 3; ++kind)
            if (saved[kind] != nullptr) SetEventMaker(kind, saved[kind]);
    }

    void Start(const std::vector<std::string>& arguments) { CreateWindows(arguments); }

    template <typename Kind> void MakeKind(int kind) {
        saved[kind] = SetEventMaker(kind, [] { return static_cast<RXEvent*>(new Kind); });
    }

    void Add(const std::vector<Player>& players) {
        for (const Player& p : players)
            ASSERT_EQ(CurrentEvent->AddPlayer(p, p.partner.get()), 0);
        MainForm->RefreshViews();
    }

    // Update Player: the chooser picks the name, then the box is scripted.
    void Update(const std::string& name, std::function<void(TAUPlayerBox&)> action) {
        DialogScript dialogs;
        dialogs
            .Expect<TUpdPlayerBox>([&](TUpdPlayerBox& d) {
                d.UpdName->setCurrentIndex(d.UpdName->findText(QString::fromStdString(name)));
                d.OKBtn->click();
            })
            .Expect<TAUPlayerBox>(action);
        MainForm->UpdatePlayer1->trigger();
    }

    BoxScript boxes;
    EventMaker saved[3] = {};
};

} // namespace

TEST_F(PlayerBox, EveryKindAddsPlayersAndTheBoxStaysOpenForTheNext) {
    struct Kind {
        const char* kindSwitch;
        bool genderShown;
        char expectedGender;
    };
    for (const Kind& kind :
         {Kind{"-L", true, 'F'}, Kind{"-T", false, ' '}, Kind{"-P", true, 'F'}}) {
        Start({kind.kindSwitch});
        ASSERT_TRUE(MainForm->AddPlayer1->isEnabled());
        DialogScript dialogs;
        dialogs.Expect<TAUPlayerBox>([&](TAUPlayerBox& d) {
            EXPECT_EQ(d.windowTitle(), "Add Player");
            EXPECT_TRUE(d.AddBtn->isVisible());
            EXPECT_TRUE(d.AddBtn->isDefault());
            EXPECT_FALSE(d.OKBtn->isDefault());
            EXPECT_EQ(d.LabelPointsPos->text(), "&Position");
            EXPECT_EQ(d.Points_Position->text(), "");
            EXPECT_EQ(d.DoublesFlag->text(), "") << "singles";
            EXPECT_EQ(d.GenderSel->isVisible(), kind.genderShown) << kind.kindSwitch;
            EXPECT_EQ(d.LabelGender->isVisible(), kind.genderShown);
            EXPECT_EQ(d.focusWidget(), d.FirstName);

            Names(d, "Ann", "Archer");
            Enter(d.WorkPhone, "555-0100");
            Enter(d.EmailAddress, "ann@club.example");
            Enter(d.City, "Springfield");
            d.GenderSel->setCurrentIndex(1);
            d.AddBtn->click();
            EXPECT_TRUE(d.isVisible());
            EXPECT_EQ(d.FirstName->text(), "Ann") << "the last entry stays for overwriting";
            EXPECT_EQ(d.FirstName->selectedText(), "Ann");
            EXPECT_EQ(MainForm->PlayerGrid->Cell(3, 1), "Ann Archer") << "the window follows";

            Names(d, "Bob", "Baker");
            d.OKBtn->click();
            EXPECT_FALSE(d.isVisible());
        });
        MainForm->AddPlayer1->trigger();
        ASSERT_EQ(Order(), (std::vector<std::string>{"Ann Archer", "Bob Baker"}));
        const Player& ann = *CurrentEvent->Player(1);
        EXPECT_EQ(ann.workPhone, "555-0100");
        EXPECT_EQ(ann.email, "ann@club.example");
        EXPECT_EQ(ann.city, "Springfield");
        EXPECT_EQ(ann.gender, kind.expectedGender) << kind.kindSwitch;
        EXPECT_EQ(MainForm->PlayerGrid->Cell(3, 2), "Bob Baker");
        DestroyWindows();
    }
}

TEST_F(PlayerBox, TheNumberFieldIsCheckedForEveryKind) {
    for (const char* kindSwitch : {"-L", "-T", "-P"}) {
        Start({kindSwitch});
        Add({Named("Ann", "A"), Named("Bob", "B")});
        DialogScript dialogs;
        dialogs.Expect<TAUPlayerBox>([&](TAUPlayerBox& d) {
            for (const char* bad : {"x1", "10000", "-1", "1.5"}) {
                boxes.Expect("Error", "Must be numeric from 0 to 9999.", kError);
                Names(d, "Cal", "C");
                Enter(d.Points_Position, bad);
                d.AddBtn->click();
                ExpectFocusBackOn(d, d.Points_Position);
            }
            EXPECT_EQ(CurrentEvent->PlayerCount(), 2) << kindSwitch;
            // A blank place is the end; a number is the place in the list.
            Enter(d.Points_Position, "");
            d.AddBtn->click();
            Names(d, "Dee", "D");
            Enter(d.Points_Position, "1");
            d.OKBtn->click();
        });
        MainForm->AddPlayer1->trigger();
        EXPECT_EQ(Order(), (std::vector<std::string>{"Dee D", "Ann A", "Bob B", "Cal C"}))
            << kindSwitch;
        DestroyWindows();
    }
}

TEST_F(PlayerBox, APointsLadderAsksForPointsAndNoGender) {
    Start({"-L"});
    CurrentLadder->SetLadderSystem(1);
    DialogScript dialogs;
    dialogs.Expect<TAUPlayerBox>([&](TAUPlayerBox& d) {
        EXPECT_EQ(d.LabelPointsPos->text(), "&Points");
        EXPECT_EQ(d.Points_Position->text(), "0");
        EXPECT_FALSE(d.GenderSel->isVisible());
        Names(d, "Ann", "A");
        Enter(d.Points_Position, " ");
        boxes.Expect("Error", "Must be numeric from 0 to 9999.", kError);
        d.AddBtn->click();
        ExpectFocusBackOn(d, d.Points_Position);
        Enter(d.Points_Position, "12");
        d.AddBtn->click();
        Names(d, "Bob", "B");
        Enter(d.Points_Position, "30");
        d.OKBtn->click();
    });
    MainForm->AddPlayer1->trigger();
    // Placed by points, highest first.
    EXPECT_EQ(Order(), (std::vector<std::string>{"Bob B", "Ann A"}));
    EXPECT_EQ(CurrentEvent->Player(1)->points, 30);
    EXPECT_EQ(MainForm->PlayerGrid->Cell(1, 2), "12");
}

TEST_F(PlayerBox, RefusedNamesSendTheFocusBackToTheFirstName) {
    Start({"-P"});
    Add({Named("Ann", "Archer")});
    DialogScript dialogs;
    dialogs.Expect<TAUPlayerBox>([&](TAUPlayerBox& d) {
        Names(d, "Ann", "Archer");
        boxes.Expect("Error", "Name already exists in this file; names must be unique.", kError);
        d.OKBtn->click();
        ExpectFocusBackOn(d, d.FirstName);

        Names(d, "  ", "");
        d.LastName->setFocus();
        boxes.Expect("Error", "Either a first name or last name is required.", kError);
        d.AddBtn->click();
        ExpectFocusBackOn(d, d.FirstName);

        // Texts enter the model on one line.
        Names(d, "Bo\nb", "Ba\r\nker");
        d.OKBtn->click();
        EXPECT_FALSE(d.isVisible());
    });
    MainForm->AddPlayer1->trigger();
    EXPECT_EQ(Order(), (std::vector<std::string>{"Ann Archer", "Bob Baker"}));
}

TEST_F(PlayerBox, TheLimitOfPlayersGoesToTheErrorTable) {
    Start({"-T"});
    for (int i = 1; i <= MaxPlayers; ++i)
        ASSERT_EQ(CurrentEvent->AddPlayer(Named("P", std::to_string(i)), nullptr), 0);
    DialogScript dialogs;
    dialogs.Expect<TAUPlayerBox>([&](TAUPlayerBox& d) {
        Names(d, "One", "More");
        boxes.Expect("Error", "Maximum number of players allowed.", kError);
        d.OKBtn->click();
        EXPECT_TRUE(d.isVisible());
    });
    MainForm->AddPlayer1->trigger();
    EXPECT_EQ(CurrentEvent->PlayerCount(), MaxPlayers);
}

TEST_F(PlayerBox, FieldsTakeTheirLimitInCharacters) {
    Start({"-L"});
    DialogScript dialogs;
    dialogs.Expect<TAUPlayerBox>([&](TAUPlayerBox& d) {
        QTest::keyClicks(d.FirstName, QString(35, 'a'));
        EXPECT_EQ(d.FirstName->text().size(), 30);
        QTest::keyClicks(d.WorkPhone, "555-0100-0200-0300");
        EXPECT_EQ(d.WorkPhone->text(), "555-0100-0200-");
        QTest::keyClicks(d.Points_Position, "123456");
        EXPECT_EQ(d.Points_Position->text(), "1234");
        // Characters beyond the first plane are one character each.
        const QString clef = QString::fromUtf8("\xF0\x9D\x84\x9E");
        for (int i = 0; i < 32; ++i) {
            QKeyEvent key(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, clef);
            QApplication::sendEvent(d.LastName, &key);
        }
        EXPECT_EQ(d.LastName->text().toUcs4().size(), 30);
        QTest::keyClicks(d.EmailAddress, QString(60, 'e'));
        EXPECT_EQ(d.EmailAddress->text().size(), 50);
    });
    MainForm->AddPlayer1->trigger();
}

TEST_F(PlayerBox, ADoublesPairIsEnteredOnTwoScreens) {
    Start({"-L", "-u"});
    Add({Named("Old", "Pair")});
    DialogScript dialogs;
    dialogs.Expect<TAUPlayerBox>([&](TAUPlayerBox& d) {
        EXPECT_EQ(d.DoublesFlag->text(), "Player #1");
        EXPECT_TRUE(d.Points_Position->isEnabled());
        Names(d, "Ann", "Archer");
        Enter(d.Points_Position, "1");
        d.AddBtn->click();
        EXPECT_EQ(d.DoublesFlag->text(), "Player #2");
        EXPECT_FALSE(d.Points_Position->isEnabled());
        EXPECT_FALSE(d.LabelPointsPos->isEnabled());
        EXPECT_EQ(CurrentEvent->PlayerCount(), 1) << "the first of a pair waits";
        Names(d, "Amy", "Adams");
        d.AddBtn->click();
        EXPECT_EQ(d.DoublesFlag->text(), "Player #1");
        EXPECT_TRUE(d.Points_Position->isEnabled());
        EXPECT_EQ(CurrentEvent->PlayerCount(), 2);

        // OK on the first screen goes on to the partner; on the second it
        // closes.
        Names(d, "Bob", "Baker");
        Enter(d.Points_Position, "");
        d.OKBtn->click();
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(d.DoublesFlag->text(), "Player #2");
        Names(d, "Ben", "Brown");
        d.OKBtn->click();
        EXPECT_FALSE(d.isVisible());
    });
    MainForm->AddPlayer1->trigger();
    EXPECT_EQ(Order(), (std::vector<std::string>{"Ann Archer", "Old Pair", "Bob Baker"}));
    EXPECT_EQ(CurrentEvent->Player(1)->partner->firstName, "Amy");
    EXPECT_EQ(CurrentEvent->Player(3)->partner->lastName, "Brown");
    EXPECT_EQ(MainForm->PlayerGrid->RowCount(), 8);
    EXPECT_EQ(MainForm->PlayerGrid->Cell(3, 2), "Amy Adams");
    EXPECT_EQ(MainForm->PlayerGrid->Cell(3, 6), "Ben Brown");
}

TEST_F(PlayerBox, UpdatingKeepsTheCountersAndTakesTheTexts) {
    Start({"-L"});
    Player ann = Named("Ann", "Archer");
    ann.gender = 'F';
    ann.city = "Springfield";
    // Longer than the box lets a user type: kept, and only shortened.
    ann.email = std::string(60, 'e') + "@club.example";
    Add({ann, Named("Bob", "Baker")});
    CurrentEvent->Player(1)->wins = 4;
    boxes.Expect("Error", "Select a player name to be updated.", kError);
    DialogScript dialogs;
    dialogs
        .Expect<TUpdPlayerBox>([&](TUpdPlayerBox& d) {
            EXPECT_EQ(d.UpdName->count(), 2);
            EXPECT_EQ(d.UpdName->itemText(0), "Archer, Ann");
            EXPECT_EQ(d.UpdName->currentIndex(), -1);
            d.OKBtn->click();
            EXPECT_TRUE(d.isVisible());
            EXPECT_EQ(d.focusWidget(), d.UpdName);
            d.UpdName->setCurrentIndex(0);
            d.OKBtn->click();
            EXPECT_FALSE(d.isVisible());
        })
        .Expect<TAUPlayerBox>([&](TAUPlayerBox& d) {
            EXPECT_EQ(d.windowTitle(), "Update Player - Archer, Ann");
            EXPECT_FALSE(d.AddBtn->isVisible());
            EXPECT_TRUE(d.OKBtn->isDefault());
            EXPECT_EQ(d.City->text(), "Springfield");
            EXPECT_EQ(d.EmailAddress->text().size(), 73);
            d.EmailAddress->end(false);
            QTest::keyClick(d.EmailAddress, Qt::Key_Backspace);
            QTest::keyClicks(d.EmailAddress, "ex");
            EXPECT_EQ(d.EmailAddress->text().toStdString(), std::string(60, 'e') + "@club.exampl");
            EXPECT_EQ(d.GenderSel->currentText(), "Female");
            EXPECT_EQ(d.Points_Position->text(), "1");
            EXPECT_EQ(d.focusWidget(), d.FirstName);
            EXPECT_EQ(d.FirstName->selectedText(), "Ann");
            Names(d, "Bob", "Baker");
            boxes.Expect("Error", "Name already exists in this file; names must be unique.",
                         kError);
            d.OKBtn->click();
            ExpectFocusBackOn(d, d.FirstName);
            Names(d, "Anne", "Archer");
            d.GenderSel->setCurrentIndex(0);
            d.OKBtn->click();
            EXPECT_FALSE(d.isVisible());
        });
    MainForm->UpdatePlayer1->trigger();
    const Player& anne = *CurrentEvent->Player(1);
    EXPECT_EQ(anne.firstName, "Anne");
    EXPECT_EQ(anne.gender, ' ');
    EXPECT_EQ(anne.wins, 4);
    EXPECT_EQ(anne.email.size(), 72u);
    EXPECT_EQ(anne.points, 0) << "the position does not travel into the points";
    EXPECT_EQ(MainForm->PlayerGrid->Cell(3, 1), "Anne Archer");
}

TEST_F(PlayerBox, ANewPositionMovesThePlayerAndTheLadderKeepsItsResults) {
    Start({"-L"});
    Add({Named("Ann", "A"), Named("Bob", "B"), Named("Cal", "C"), Named("Dee", "D")});
    ASSERT_EQ(CurrentLadder->EnterResult("3/1/2024", "D, Dee", "A, Ann", "6-1", false), 0);
    const std::string line = CurrentLadder->ResultText(1);

    Update("C, Cal", [&](TAUPlayerBox& d) {
        boxes.Expect("Error", "Must be numeric from 1 to 9999.", kError);
        Enter(d.Points_Position, "0");
        d.OKBtn->click();
        ExpectFocusBackOn(d, d.Points_Position);
        Enter(d.Points_Position, "1");
        boxes.Expect("Warning",
                     " Caution -- you are changing the player's position in the ladder ranking.",
                     kWarning);
        d.OKBtn->click();
    });
    EXPECT_EQ(Order(), (std::vector<std::string>{"Cal C", "Ann A", "Bob B", "Dee D"}));
    EXPECT_EQ(CurrentLadder->ResultText(1), line) << "results still name the same players";
    EXPECT_EQ(MainForm->PlayerGrid->Cell(3, 1), "Cal C");

    // A blank position, or one past the end, keeps the list whole.
    Update("B, Bob", [&](TAUPlayerBox& d) {
        Enter(d.Points_Position, "");
        d.OKBtn->click();
    });
    Update("A, Ann", [&](TAUPlayerBox& d) {
        Enter(d.Points_Position, "99");
        boxes.Expect("Warning",
                     " Caution -- you are changing the player's position in the ladder ranking.",
                     kWarning);
        d.OKBtn->click();
    });
    EXPECT_EQ(Order(), (std::vector<std::string>{"Cal C", "Bob B", "Dee D", "Ann A"}));
}

TEST_F(PlayerBox, MovingPlayersOfADrawOrAScheduleWarnsThatItWasMadeForTheOldOrder) {
    MakeKind<PlanWithAMatch>(2);
    Start({"-P"});
    Add({Named("Ann", "A"), Named("Bob", "B")});
    auto* plan = dynamic_cast<PlanWithAMatch*>(CurrentEvent);
    ASSERT_NE(plan, nullptr);
    // No match yet: no warning, but the plan is no longer the generator's.
    Update("B, Bob", [](TAUPlayerBox& d) {
        Enter(d.Points_Position, "1");
        d.OKBtn->click();
    });
    EXPECT_EQ(plan->ScheduleType(), 0);
    plan->SetScheduleType(100);
    plan->PutSlot(1, 1, 1, 2);
    Update("B, Bob", [&](TAUPlayerBox& d) {
        Enter(d.Points_Position, "2");
        boxes.Expect("Warning",
                     " Caution -- the match schedule is based on the originally ordered player "
                     "list.\n You may want to re-do your match schedule after moving players in "
                     "the list.",
                     kWarning);
        d.OKBtn->click();
    });
    EXPECT_EQ(Order(), (std::vector<std::string>{"Ann A", "Bob B"}));
    EXPECT_EQ(plan->ScheduleType(), 0);
    DestroyWindows();

    MakeKind<DrawMade>(1);
    Start({"-T"});
    Add({Named("Ann", "A"), Named("Bob", "B"), Named("Cal", "C")});
    dynamic_cast<DrawMade*>(CurrentEvent)->Make();
    Update("C, Cal", [&](TAUPlayerBox& d) {
        Enter(d.Points_Position, "1");
        boxes.Expect("Warning",
                     " Caution -- the tournament draw is based on the originally ordered player "
                     "list.\n You may want to re-do your tournament draw after moving players in "
                     "the list.",
                     kWarning);
        d.OKBtn->click();
    });
    EXPECT_EQ(Order(), (std::vector<std::string>{"Cal C", "Ann A", "Bob B"}));
}

TEST_F(PlayerBox, ChangedPointsStayInPlaceAndWarnOnceThereAreResults) {
    Start({"-L"});
    CurrentLadder->SetLadderSystem(1);
    Player ann = Named("Ann", "A");
    ann.points = 20;
    Player bob = Named("Bob", "B");
    bob.points = 10;
    Add({ann, bob});
    Update("B, Bob", [&](TAUPlayerBox& d) {
        EXPECT_EQ(d.Points_Position->text(), "10");
        Enter(d.Points_Position, "0");
        d.OKBtn->click();
    });
    EXPECT_EQ(CurrentEvent->Player(2)->points, 0) << "no results yet, no warning";
    ASSERT_EQ(CurrentLadder->EnterResult("3/1/2024", "B, Bob", "A, Ann", "6-1", false), 0);
    Update("B, Bob", [&](TAUPlayerBox& d) {
        Enter(d.Points_Position, "35");
        boxes.Expect("Warning",
                     " Caution -- you are changing the player's points, which may affect the "
                     "position in the ladder ranking.",
                     kWarning);
        d.OKBtn->click();
    });
    EXPECT_EQ(Order(), (std::vector<std::string>{"Ann A", "Bob B"})) << "posting ranks, not this";
    EXPECT_EQ(CurrentEvent->Player(2)->points, 35);
    EXPECT_EQ(MainForm->PlayerGrid->Cell(1, 2), "35");
}

TEST_F(PlayerBox, UpdatingAPairGoesOnToThePartnerAndMovesThePair) {
    Start({"-T", "-u"});
    Player ann = Named("Ann", "A");
    ann.partner.Set(Named("Amy", "Adams"));
    ann.partner->wins = 3;
    Add({Named("Bob", "B"), ann});
    Update("A, Ann", [&](TAUPlayerBox& d) {
        EXPECT_EQ(d.DoublesFlag->text(), "Player #1");
        Enter(d.Points_Position, "1");
        Enter(d.HomePhone, "555-0111");
        d.OKBtn->click();
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(d.windowTitle(), "Update Player");
        EXPECT_EQ(d.DoublesFlag->text(), "Player #2");
        EXPECT_FALSE(d.Points_Position->isEnabled());
        EXPECT_EQ(d.FirstName->text(), "Amy");
        EXPECT_EQ(d.HomePhone->text(), "");
        EXPECT_EQ(d.focusWidget(), d.FirstName);
        Names(d, "Amelia", "Adams");
        d.OKBtn->click();
        EXPECT_FALSE(d.isVisible());
    });
    EXPECT_EQ(Order(), (std::vector<std::string>{"Ann A", "Bob B"}));
    const Player& pair = *CurrentEvent->Player(1);
    EXPECT_EQ(pair.homePhone, "555-0111");
    EXPECT_EQ(pair.partner->firstName, "Amelia");
    EXPECT_EQ(pair.partner->wins, 3);
    EXPECT_EQ(MainForm->PlayerGrid->Cell(3, 2), "Amelia Adams");
}

TEST_F(PlayerBox, APairWithoutItsPartnerRecordShowsAnEmptyScreenAndGetsOne) {
    Start({"-L", "-u"});
    Player ann = Named("Ann", "A");
    ann.partner.Set(Named("Stale", "Screen"));
    Add({ann, Named("Bob", "B")});
    // The reused box showed another pair's partner last.
    Update("A, Ann", [&](TAUPlayerBox& d) {
        d.OKBtn->click();
        EXPECT_EQ(d.FirstName->text(), "Stale");
        d.CancelBtn->click();
    });
    Update("B, Bob", [&](TAUPlayerBox& d) {
        d.OKBtn->click();
        EXPECT_EQ(d.FirstName->text(), "");
        EXPECT_EQ(d.LastName->text(), "");
        d.OKBtn->click();
        EXPECT_FALSE(d.isVisible());
    });
    EXPECT_FALSE(CurrentEvent->Player(2)->partner) << "an empty partner screen adds nothing";
    Update("B, Bob", [&](TAUPlayerBox& d) {
        d.OKBtn->click();
        Names(d, "Ben", "Brown");
        d.OKBtn->click();
    });
    ASSERT_TRUE(CurrentEvent->Player(2)->partner);
    EXPECT_EQ(CurrentEvent->Player(2)->partner->firstName, "Ben");
    EXPECT_EQ(MainForm->PlayerGrid->Cell(3, 4), "Ben Brown");
}
