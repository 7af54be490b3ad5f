#include "unified/window/MainForm.h"
#include "platform/Application.h"
#include "platform/Grid.h"
#include "platform/Text.h"
#include "tests/support/Responders.h"
#include "unified/Program.h"
#include "unified/core/RXEvent.h"
#include "unified/core/rxProgram.h"
#include "unified/draw/Draw.h"
#include "unified/ladder/Ladder.h"
#include "unified/schedule/Matches.h"
#include "unified/window/eventFactory.h"

#include <QApplication>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QTest>
#include <QTextBlock>
#include <gtest/gtest.h>
#include <map>

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

namespace {

// Events of every kind that a test can fill with players directly.
struct Stockable {
    virtual ~Stockable() = default;
    virtual void Put(const Player& player) = 0;
};

template <typename Kind> class Stocked : public Kind, public Stockable {
public:
    void Put(const Player& player) override {
        this->players.SetAt(this->playerCount + 1, player);
        ++this->playerCount;
    }
};

// A draw of 8 players: 7 matches in 3 rounds.
class DrawOfEight : public Stocked<Draw> {
public:
    int ResultCount() const override { return 7; }
    int RoundCount() const override { return 3; }
};

Player MakePlayer(const std::string& first, const std::string& last) {
    Player player;
    player.firstName = first;
    player.lastName = last;
    player.workPhone = "555-0100";
    player.homePhone = "555-0199";
    player.email = LowerAscii(first) + "@club.example";
    return player;
}

Player MakePair(const std::string& first, const std::string& last, const std::string& partnerFirst,
                const std::string& partnerLast) {
    Player player = MakePlayer(first, last);
    player.partner.Set(MakePlayer(partnerFirst, partnerLast));
    return player;
}

void Put(const Player& player) {
    auto* event = dynamic_cast<Stockable*>(CurrentEvent);
    ASSERT_NE(event, nullptr);
    event->Put(player);
}

std::vector<std::string> Row(int row) {
    std::vector<std::string> cells;
    for (int c = 0; c < MainForm->PlayerGrid->ColCount(); ++c)
        cells.push_back(MainForm->PlayerGrid->Cell(c, row));
    return cells;
}

// Every visible item of the window's menus with its shortcut.
std::vector<QAction*> VisibleItems() {
    std::vector<QAction*> items;
    for (QMenu* menu : {MainForm->File1, MainForm->Edit, MainForm->Setup1, MainForm->Options2,
                        MainForm->Tools1, MainForm->Internet1, MainForm->Help1, MainForm->Samples1})
        for (QAction* action : menu->actions())
            if (action->isVisible() && !action->isSeparator() && action->menu() == nullptr)
                items.push_back(action);
    return items;
}

// The captions of a menu, a separator as "-".
std::vector<std::string> Captions(QMenu* menu) {
    std::vector<std::string> captions;
    for (QAction* action : menu->actions())
        captions.push_back(action->isSeparator() ? "-" : action->text().toStdString());
    return captions;
}

void OpenMenu(QMenu* menu) {
    menu->popup(QPoint(0, 0));
    menu->hide();
}

// The window of a kind, its events able to take players, shown on screen.
class MainWindow : public testing::Test {
protected:
    void SetUp() override {
        Settings = rxProgram();
        for (int kind = 0; kind < 3; ++kind)
            savedMakers[kind] = SetEventMaker(kind, nullptr);
        SetEventMaker(0, [] { return static_cast<RXEvent*>(new Stocked<Ladder>); });
        SetEventMaker(1, [] { return static_cast<RXEvent*>(new Stocked<Draw>); });
        SetEventMaker(2, [] { return static_cast<RXEvent*>(new Stocked<Matches>); });
    }
    void TearDown() override {
        DestroyWindows();
        for (int kind = 0; kind < 3; ++kind)
            SetEventMaker(kind, savedMakers[kind]);
    }

    void Start(const std::vector<std::string>& arguments) {
        CreateWindows(arguments);
        MainForm->show();
        QApplication::processEvents();
    }

    // What File > New does once the new event is made.
    void SwitchTo(const std::string& kindSwitch) {
        const bool doubles = CurrentEvent->IsDoubles();
        DestroyCurrentEvent();
        ParseCommandLine(Settings, {kindSwitch});
        CreateEvent(doubles);
        MainForm->UpdateMenusForKind();
        MainForm->RefreshViews();
    }

    void ClickPlayerRow(int row) {
        const QRect cell = MainForm->PlayerGrid->CellRect(3, row);
        ASSERT_FALSE(cell.isEmpty()) << "row " << row << " is not on screen";
        QTest::mouseClick(MainForm->PlayerGrid->viewport(), Qt::LeftButton, {}, cell.center());
    }

    EventMaker savedMakers[3] = {};
};

} // namespace

TEST_F(MainWindow, ComponentsHaveTheirSizesAndSettings) {
    Start({});
    EXPECT_EQ(MainForm->size(), QSize(630, 496));
    EXPECT_EQ(MainForm->font().pixelSize(), 11);
    const Grid& players = *MainForm->PlayerGrid;
    ASSERT_EQ(players.ColCount(), 7);
    const int widths[] = {30, 30, 45, 153, 112, 108, 174};
    for (int c = 0; c < 7; ++c)
        EXPECT_EQ(players.ColWidth(c), widths[c]) << "column " << c;
    EXPECT_EQ(players.DefaultRowHeight(), 18);
    EXPECT_EQ(players.FixedRows(), 1);
    EXPECT_EQ(players.FixedCols(), 1);
    EXPECT_EQ(players.Options(), unsigned(goFixedVertLine | goFixedHorzLine | goVertLine |
                                          goHorzLine | goRangeSelect | goColSizing | goRowSelect));
    EXPECT_EQ(players.font().pixelSize(), 13);
    const Grid& upper = *MainForm->DrawGrid;
    EXPECT_EQ(upper.GridLineWidth(), 0);
    EXPECT_EQ(upper.Options(), unsigned(goFixedVertLine | goFixedHorzLine | goVertLine |
                                        goHorzLine | goDrawFocusSelected | goColSizing | goTabs));
    EXPECT_EQ(upper.font().pixelSize(), 13);
    EXPECT_EQ(MainForm->ResultsPane->font().pixelSize(), 13);
    EXPECT_TRUE(MainForm->ResultsPane->isReadOnly());
    EXPECT_EQ(MainForm->Splitter1->handleWidth(), 4);
    // Half of the window less 50 goes to the player grid.
    EXPECT_EQ(players.height(), 223);
    EXPECT_TRUE(upper.isVisible());
    EXPECT_FALSE(MainForm->ResultsPane->isVisible());
}

TEST_F(MainWindow, ThePlayerGridKeepsItsShareOfTheWindow) {
    Start({});
    MainForm->resize(630, 650);
    QApplication::processEvents();
    EXPECT_EQ(MainForm->PlayerGrid->height(), 300);
    // Dragging the splitter up by 100 pixels gives the grid a new share.
    QSplitterHandle* handle = MainForm->Splitter1->handle(1);
    const QPoint grip(handle->width() / 2, 2);
    QTest::mousePress(handle, Qt::LeftButton, {}, grip);
    QMouseEvent drag(QEvent::MouseMove, grip - QPoint(0, 100),
                     handle->mapToGlobal(grip - QPoint(0, 100)), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(handle, &drag);
    QTest::mouseRelease(handle, Qt::LeftButton, {}, grip - QPoint(0, 100));
    EXPECT_EQ(MainForm->PlayerGrid->height(), 400);
    MainForm->resize(630, 1000);
    QApplication::processEvents();
    // 400 / 650 of (1000 - 50)
    EXPECT_EQ(MainForm->PlayerGrid->height(), 584);
}

TEST_F(MainWindow, EachKindShowsItsOwnMenuItems) {
    Start({"-L"});
    const auto shown = [](QAction* item) { return item->isVisible(); };
    EXPECT_TRUE(shown(MainForm->EnterResults1));
    EXPECT_TRUE(shown(MainForm->Upload1));
    EXPECT_TRUE(shown(MainForm->OptPrint1));
    EXPECT_FALSE(shown(MainForm->CourtsAndRounds1));
    EXPECT_FALSE(shown(MainForm->ClearDraw1));
    EXPECT_FALSE(shown(MainForm->PrintSetup1));
    EXPECT_TRUE(MainForm->Internet1->menuAction()->isEnabled());
    EXPECT_EQ(MainForm->SampleData1->text(), "&Data - Challenge Ladder");
    EXPECT_TRUE(MainForm->ResultsPane->isVisible());
    EXPECT_FALSE(MainForm->DrawGrid->isVisible());

    SwitchTo("-T");
    EXPECT_TRUE(shown(MainForm->CreateDraw1));
    EXPECT_TRUE(shown(MainForm->OptTourn1));
    EXPECT_TRUE(shown(MainForm->OptPrint1));
    EXPECT_FALSE(shown(MainForm->EnterResults1));
    EXPECT_FALSE(shown(MainForm->Upload1));
    EXPECT_FALSE(MainForm->Internet1->menuAction()->isEnabled());
    EXPECT_EQ(MainForm->SampleData1->text(), "&Data - Tournament Draw");
    EXPECT_TRUE(MainForm->DrawGrid->isVisible());
    EXPECT_TRUE(MainForm->DrawGrid->hasFocus());

    SwitchTo("-P");
    EXPECT_TRUE(shown(MainForm->CourtsAndRounds1));
    EXPECT_TRUE(shown(MainForm->ClearPandM1));
    EXPECT_TRUE(shown(MainForm->Warnings1));
    EXPECT_FALSE(shown(MainForm->OptPrint1));
    EXPECT_FALSE(shown(MainForm->CreateDraw1));
    EXPECT_FALSE(shown(MainForm->PrintSetup1));
    EXPECT_EQ(MainForm->SampleData1->text(), "&Data - Mixer Plan");

    // Whatever the kind, an item is enabled only when the kind offers it,
    // and a hidden item is never offered.
    for (const char* kind : {"-L", "-T", "-P"}) {
        SwitchTo(kind);
        for (QMenu* menu : {MainForm->File1, MainForm->Edit, MainForm->Setup1, MainForm->Options2,
                            MainForm->Tools1, MainForm->Internet1, MainForm->Samples1})
            for (QAction* item : menu->actions()) {
                if (item->isSeparator() || item->menu() != nullptr) continue;
                if (item->isEnabled()) {
                    EXPECT_TRUE(MainForm->IsOffered(item)) << kind;
                }
                if (!item->isVisible()) {
                    EXPECT_FALSE(MainForm->IsOffered(item)) << kind;
                }
            }
    }
}

TEST_F(MainWindow, MenusHoldTheirItemsInOrderWithTheSeparators) {
    Start({});
    EXPECT_EQ(Captions(MainForm->File1),
              (std::vector<std::string>{"&New...", "&Open...", "&Save", "Save &As...", "-",
                                        "&Print...", "P&rint Setup...", "Print to &File...",
                                        "Print to &HTML...", "-", "E&xit"}));
    EXPECT_EQ(Captions(MainForm->Setup1),
              (std::vector<std::string>{
                  "&Add Player...", "&Update Player...", "&Delete Player...", "&Import Players...",
                  "-", "&Courts and Rounds...", "Report &Heading and Notes...", "&E-mail...", "-",
                  "&Clear All Results", "Clear Results / Initialize &Points", "&Clear Draw",
                  "Clear &Matches", "Clear &Players and Matches"}));
    const std::vector<std::string> tools = Captions(MainForm->Tools1);
    ASSERT_EQ(tools.size(), 17u);
    EXPECT_EQ(tools[10], "&Warnings && Match Analysis");
    EXPECT_EQ(tools[11], "-");
    EXPECT_EQ(tools[13], "&E-mail Current Issue");
    EXPECT_EQ(tools[14], "-");
    EXPECT_EQ(tools[16], "E&xport Player List...");
    EXPECT_EQ(Captions(MainForm->Help1),
              (std::vector<std::string>{"&User Manual...", "&Samples", "&About Rostrix..."}));
    EXPECT_EQ(MainForm->Edit->title(), "&Edit");
    EXPECT_EQ(MainForm->Options2->title(), "&Options");
    EXPECT_EQ(MainForm->Delete1->shortcut(), QKeySequence(Qt::Key_Delete));
}

TEST_F(MainWindow, ShortcutsFollowTheKindAndAreNeverShared) {
    Start({"-L"});
    const auto ctrl = [](char letter) {
        return QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_A + (letter - 'A')));
    };
    EXPECT_EQ(MainForm->GenerateIssue1->shortcut(), ctrl('G'));
    EXPECT_EQ(MainForm->EnterResults1->shortcut(), ctrl('R'));
    EXPECT_TRUE(MainForm->MatchAssignment1->shortcut().isEmpty());
    EXPECT_TRUE(MainForm->ManualAssign1->shortcut().isEmpty());
    EXPECT_EQ(MainForm->New1->shortcut(), ctrl('N'));
    EXPECT_EQ(MainForm->PreviewIssue1->shortcut(), ctrl('V'));

    SwitchTo("-P");
    EXPECT_EQ(MainForm->MatchAssignment1->shortcut(), ctrl('M'));
    EXPECT_EQ(MainForm->ManualAssign1->shortcut(), ctrl('G'));
    EXPECT_EQ(MainForm->MatchAnalysis1->shortcut(), ctrl('W'));
    EXPECT_EQ(MainForm->CourtsAndRounds1->shortcut(), ctrl('C'));
    EXPECT_TRUE(MainForm->GenerateIssue1->shortcut().isEmpty());
    EXPECT_TRUE(MainForm->EnterResults1->shortcut().isEmpty());

    SwitchTo("-T");
    EXPECT_EQ(MainForm->ManualDraw1->shortcut(), ctrl('M'));
    EXPECT_EQ(MainForm->CreateDraw1->shortcut(), ctrl('W'));
    EXPECT_TRUE(MainForm->MatchAssignment1->shortcut().isEmpty());
    EXPECT_TRUE(MainForm->CourtsAndRounds1->shortcut().isEmpty());

    for (const char* kind : {"-L", "-T", "-P"}) {
        SwitchTo(kind);
        std::map<QString, QString> owners;
        for (QAction* item : VisibleItems()) {
            if (item->shortcut().isEmpty()) continue;
            const QString key = item->shortcut().toString();
            EXPECT_TRUE(owners.emplace(key, item->text()).second)
                << kind << ": " << key.toStdString() << " on " << item->text().toStdString()
                << " and " << owners[key].toStdString();
        }
        // Any shortcut an item holds belongs to a visible item.
        for (QMenu* menu : {MainForm->Setup1, MainForm->Tools1})
            for (QAction* item : menu->actions())
                if (!item->isVisible()) {
                    EXPECT_TRUE(item->shortcut().isEmpty()) << kind;
                }
    }
}

TEST_F(MainWindow, OpeningAMenuOffersWhatTheLadderSystemAllows) {
    Start({"-L"});
    OpenMenu(MainForm->Options2);
    EXPECT_TRUE(MainForm->IsOffered(MainForm->TraditionalSystem1));
    EXPECT_FALSE(MainForm->IsOffered(MainForm->PointSystem1));
    OpenMenu(MainForm->Setup1);
    EXPECT_FALSE(MainForm->IsOffered(MainForm->ClearAllResults2));
    EXPECT_TRUE(MainForm->IsOffered(MainForm->ClearAllResults1));
    OpenMenu(MainForm->Tools1);
    EXPECT_FALSE(MainForm->IsOffered(MainForm->EnterDoublesResults1));

    CurrentLadder->SetLadderSystem(1);
    OpenMenu(MainForm->Options2);
    EXPECT_FALSE(MainForm->IsOffered(MainForm->TraditionalSystem1));
    EXPECT_TRUE(MainForm->IsOffered(MainForm->PointSystem1));
    OpenMenu(MainForm->Setup1);
    EXPECT_TRUE(MainForm->IsOffered(MainForm->ClearAllResults2));
    OpenMenu(MainForm->Tools1);
    EXPECT_TRUE(MainForm->IsOffered(MainForm->EnterDoublesResults1));
    // Doubles results are entered for a singles ladder only.
    CurrentLadder->SetDoubles();
    OpenMenu(MainForm->Tools1);
    EXPECT_FALSE(MainForm->IsOffered(MainForm->EnterDoublesResults1));
}

TEST_F(MainWindow, OpeningToolsChecksTheManualModeOfTheKind) {
    Start({"-T"});
    OpenMenu(MainForm->Tools1);
    EXPECT_FALSE(MainForm->ManualDraw1->isChecked());
    CurrentEvent->EnterManualMode();
    OpenMenu(MainForm->Tools1);
    EXPECT_TRUE(MainForm->ManualDraw1->isChecked());
    CurrentEvent->ClearManualMode();
    OpenMenu(MainForm->Tools1);
    EXPECT_FALSE(MainForm->ManualDraw1->isChecked());

    SwitchTo("-P");
    CurrentEvent->EnterManualMode();
    OpenMenu(MainForm->Tools1);
    EXPECT_TRUE(MainForm->ManualAssign1->isChecked());
}

TEST_F(MainWindow, TheLadderGridShowsStandingAndResults) {
    Start({"-L"});
    Player first = MakePlayer("Ann", "Archer");
    first.inactivity = 2;
    first.wins = 5;
    first.losses = 2;
    Player second = MakePlayer("Bob", "Baker");
    second.inactivity = -3;
    second.wins = 5;
    second.losses = 2;
    second.ties = 1;
    second.points = 40;
    Put(first);
    Put(second);
    MainForm->RefreshViews();
    EXPECT_EQ(Row(0), (std::vector<std::string>{"", "PI", "W-L", "Name", "Work Phone", "Home Phone",
                                                "E-mail"}));
    EXPECT_EQ(Row(1), (std::vector<std::string>{"1", "2", "5-2", "Ann Archer", "555-0100",
                                                "555-0199", "ann@club.example"}));
    EXPECT_EQ(Row(2)[1], "0") << "negative inactivity reads as none";
    EXPECT_EQ(Row(2)[2], "5-2-1");
    EXPECT_EQ(Row(3), std::vector<std::string>(7));
    EXPECT_EQ(MainForm->PlayerGrid->RowCount(), 4);

    CurrentLadder->SetLadderSystem(1);
    MainForm->RefreshViews();
    EXPECT_EQ(Row(0)[1], "Pts");
    EXPECT_EQ(Row(2)[1], "40");
    EXPECT_EQ(Row(1)[1], "0");
}

TEST_F(MainWindow, ADoublesLadderShowsEachPairOnTwoRows) {
    Start({"-L", "-u"});
    Put(MakePair("Ann", "Archer", "Amy", "Adams"));
    Put(MakePair("Bob", "Baker", "Ben", "Brown"));
    Player alone = MakePlayer("Cal", "Cole");
    alone.wins = 1;
    Put(alone);
    MainForm->RefreshViews();
    ASSERT_EQ(MainForm->PlayerGrid->RowCount(), 8);
    EXPECT_EQ(Row(3), (std::vector<std::string>{"2", "0", "0-0", "Bob Baker", "555-0100",
                                                "555-0199", "bob@club.example"}));
    EXPECT_EQ(Row(4), (std::vector<std::string>{"", "", "", "Ben Brown", "555-0100", "555-0199",
                                                "ben@club.example"}));
    EXPECT_EQ(Row(5)[3], "Cal Cole");
    EXPECT_EQ(Row(6), std::vector<std::string>(7)) << "a pair without a partner record";
    EXPECT_EQ(Row(7), std::vector<std::string>(7));
}

TEST_F(MainWindow, ARefillLeavesNothingOfThePreviousEvent) {
    Start({"-P", "-u"});
    Put(MakePair("Ann", "Archer", "Amy", "Adams"));
    Put(MakePair("Bob", "Baker", "Ben", "Brown"));
    MainForm->RefreshViews();
    EXPECT_EQ(Row(4)[3], "Ben Brown");
    SwitchTo("-P");
    Put(MakePair("Cal", "Cole", "Cid", "Cook"));
    Put(MakePlayer("Dee", "Dunn"));
    MainForm->RefreshViews();
    EXPECT_EQ(Row(3)[3], "Dee Dunn");
    EXPECT_EQ(Row(4), std::vector<std::string>(7));
}

TEST_F(MainWindow, OtherKindsShowGenderOrNothingBeforeTheName) {
    Start({"-P"});
    Player woman = MakePlayer("Ann", "Archer");
    woman.gender = 'F';
    Player man = MakePlayer("Bob", "Baker");
    man.gender = 'M';
    Put(woman);
    Put(man);
    Put(MakePlayer("Cal", "Cole"));
    MainForm->RefreshViews();
    EXPECT_EQ(Row(0)[1], "");
    EXPECT_EQ(Row(0)[2], "");
    EXPECT_EQ(Row(1)[1], "F");
    EXPECT_EQ(Row(2)[1], "M");
    EXPECT_EQ(Row(3)[1], " ");
    EXPECT_EQ(Row(3)[2], "");

    SwitchTo("-T");
    Put(woman);
    MainForm->RefreshViews();
    EXPECT_EQ(Row(1), (std::vector<std::string>{"1", "", "", "Ann Archer", "555-0100", "555-0199",
                                                "ann@club.example"}));
}

TEST_F(MainWindow, ClickingAPlayerSelectsItsRows) {
    Start({"-P", "-u"});
    for (const char* name : {"Ann", "Bob", "Cal"})
        Put(MakePair(name, "Smith", name, "Jones"));
    MainForm->RefreshViews();
    EXPECT_TRUE(MainForm->PlayerGrid->Selection().IsNone()) << "a refill selects nothing";

    ClickPlayerRow(4); // the partner row of player 2
    EXPECT_EQ(MainForm->SelectionKind(), 2);
    EXPECT_EQ(MainForm->SelectedNumber(), 2);
    EXPECT_EQ(MainForm->PlayerGrid->Selection(), (GridRect{1, 3, 6, 4}));

    ClickPlayerRow(5);
    EXPECT_EQ(MainForm->SelectedNumber(), 3);
    EXPECT_EQ(MainForm->PlayerGrid->Selection(), (GridRect{1, 5, 6, 6}));

    // Leaving the grid takes the highlight away; the choice stays, and
    // survives a refresh.
    MainForm->DrawGrid->setFocus();
    EXPECT_TRUE(MainForm->PlayerGrid->Selection().IsNone());
    MainForm->RefreshViews();
    EXPECT_EQ(MainForm->SelectionKind(), 2);
    EXPECT_EQ(MainForm->SelectedNumber(), 3);

    ClickPlayerRow(7); // the empty last row
    EXPECT_EQ(MainForm->SelectionKind(), 0);
    EXPECT_EQ(MainForm->SelectedNumber(), 0);
    EXPECT_TRUE(MainForm->PlayerGrid->Selection().IsNone());
}

TEST_F(MainWindow, KeysInThePlayerGridChooseLikeClicks) {
    Start({"-P"});
    for (const char* name : {"Ann", "Bob", "Cal"})
        Put(MakePlayer(name, "Smith"));
    MainForm->RefreshViews();
    ClickPlayerRow(1);
    QTest::keyClick(MainForm->PlayerGrid, Qt::Key_Down);
    EXPECT_EQ(MainForm->SelectedNumber(), 2);
    EXPECT_EQ(MainForm->PlayerGrid->Selection(), (GridRect{1, 2, 6, 2}));
}

TEST_F(MainWindow, TheResultsPaneHeadsWithTheLadderAndNextIssue) {
    Start({"-L"});
    EXPECT_EQ(MainForm->ResultsPane->toPlainText().toStdString(), "Singles - \n ");
    SwitchTo("-L");
    CurrentEvent->SetDoubles();
    Put(MakePair("Ann", "Archer", "Amy", "Adams"));
    Put(MakePair("Bob", "Baker", "Ben", "Brown"));
    Put(MakePair("Cal", "Cole", "Cid", "Cook"));
    MainForm->RefreshViews();
    EXPECT_EQ(MainForm->ResultsPane->toPlainText().toStdString(),
              "Doubles - 3 players.  Next issue: 1\n ");
}

TEST_F(MainWindow, ClickingTheResultsHeaderClearsTheSelection) {
    Start({"-L"});
    Put(MakePlayer("Ann", "Archer"));
    MainForm->RefreshViews();
    ClickPlayerRow(1);
    ASSERT_EQ(MainForm->SelectionKind(), 2);
    QPlainTextEdit& pane = *MainForm->ResultsPane;
    const QRect header = pane.cursorRect(QTextCursor(pane.document()));
    QTest::mouseClick(pane.viewport(), Qt::LeftButton, {}, header.center() + QPoint(30, 0));
    EXPECT_EQ(MainForm->SelectionKind(), 0);
    EXPECT_EQ(MainForm->SelectedNumber(), 0);
    EXPECT_EQ(pane.textCursor().position(), 0);
    EXPECT_FALSE(pane.textCursor().hasSelection());
}

TEST_F(MainWindow, TheUpperGridTakesTheShapeOfTheKind) {
    Start({"-T"});
    const Grid& grid = *MainForm->DrawGrid;
    EXPECT_EQ(grid.RowCount(), 2) << "no draw yet";
    EXPECT_EQ(grid.ColCount(), 2);
    EXPECT_EQ(grid.DefaultRowHeight(), 36);
    EXPECT_EQ(grid.DefaultColWidth(), 125);

    SetEventMaker(1, [] { return static_cast<RXEvent*>(new DrawOfEight); });
    SwitchTo("-T");
    EXPECT_EQ(grid.RowCount(), 5);
    EXPECT_EQ(grid.ColCount(), 5);
    EXPECT_EQ(grid.RowHeight(0), 18);
    EXPECT_EQ(grid.RowHeight(1), 36);
    EXPECT_EQ(grid.ColWidth(0), 50);
    EXPECT_EQ(grid.ColWidth(4), 125);
    EXPECT_TRUE(grid.TabStop(3));
    EXPECT_FALSE(grid.TabStop(4)) << "the champion column holds no match";

    SwitchTo("-P");
    EXPECT_EQ(grid.DefaultRowHeight(), 54);
    EXPECT_EQ(grid.DefaultColWidth(), 80);
    EXPECT_EQ(grid.RowHeight(0), 27);
    EXPECT_EQ(grid.ColWidth(0), 50);
    EXPECT_EQ(grid.RowCount(), 1) << "no rounds and no courts yet";
    EXPECT_EQ(grid.ColCount(), 1);
}

TEST_F(MainWindow, KeysAndDoubleClicksInTheUpperGridRefreshTheViews) {
    Start({"-P"});
    Put(MakePlayer("Ann", "Archer"));
    QTest::keyClick(MainForm->DrawGrid, Qt::Key_Return);
    EXPECT_EQ(Row(1)[3], "Ann Archer");
    Put(MakePlayer("Bob", "Baker"));
    QTest::keyClick(MainForm->DrawGrid, Qt::Key_Right);
    EXPECT_EQ(Row(2)[3], "Bob Baker") << "every key refreshes";
    Put(MakePlayer("Cal", "Cole"));
    QTest::mouseDClick(MainForm->DrawGrid->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(Row(3)[3], "Cal Cole");
}
