#include "unified/window/MainForm.h"
#include "platform/ApplicationState.h"
#include "platform/Environment.h"
#include "platform/Text.h"
#include "platform/widgets/Grid.h"
#include "tests/support/Players.h"
#include "tests/support/Responders.h"
#include "tests/support/Scratch.h"
#include "unified/Program.h"
#include "unified/core/RXEvent.h"
#include "unified/core/rxProgram.h"
#include "unified/draw/Draw.h"
#include "unified/ladder/Ladder.h"
#include "unified/schedule/Matches.h"
#include "unified/window/HelpAboutBox.h"
#include "unified/window/OptionsPrintBox.h"
#include "unified/window/ReportOptionsBox.h"
#include "unified/window/eventFactory.h"

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
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
    // The window stands without an event and shows no players.
    EXPECT_EQ(MainForm->PlayerGrid->RowCount(), 2);
    EXPECT_EQ(MainForm->PlayerGrid->Cell(3, 0), "Name");
    MainForm->RefreshViews();
}

TEST_F(MainWindowStart, AnImportAtStartTakesThePlaceOfTheEventFile) {
    TempFolder folder;
    WriteFile(folder.File("players.txt"), "First Name\tLast Name\r\nAnn\tBaker\r\nJohn\tSmith\r\n");
    // The event file beside it is never opened: no error box for it.
    CreateWindows({"-L", "-i", folder.File("players.txt"), folder.File("missing.lad")});
    ASSERT_NE(CurrentLadder, nullptr);
    EXPECT_EQ(CurrentEvent->PlayerCount(), 2);
    EXPECT_EQ(CurrentEvent->PlayerDisplayName(2), "Smith, John");
    EXPECT_EQ(MainForm->CurrentFileName(), "");
    EXPECT_EQ(MainForm->windowTitle(), "Rostrix");
    EXPECT_EQ(MainForm->PlayerGrid->Cell(3, 1), "Ann Baker");
}

TEST_F(MainWindowStart, AFailedImportAtStartShowsItsError) {
    BoxScript boxes;
    boxes.Expect("Error", "Error attempting to open file.", MB_OK | MB_ICONEXCLAMATION);
    CreateWindows({"-L", "-i", "/nonexistent/players.txt"});
    EXPECT_EQ(CurrentEvent->PlayerCount(), 0);
}

TEST_F(MainWindowStart, AnEventFileNamedAtStartOpensAndNamesTheWindow) {
    constexpr unsigned kError = MB_OK | MB_ICONEXCLAMATION;
    TempFolder folder;
    Ladder ladder;
    ASSERT_EQ(ladder.AddPlayer(Named("Ann", "Smith"), nullptr), rcOk);
    ASSERT_TRUE(ladder.Save(folder.File("club.lad")));
    ASSERT_TRUE(ladder.Save(folder.File("-i")));
    CreateWindows({"-L", folder.File("club.lad")});
    EXPECT_EQ(MainForm->windowTitle(), "club.lad - Rostrix");
    EXPECT_EQ(CurrentEvent->PlayerCount(), 1);
    EXPECT_FALSE(CurrentEvent->IsModified());
    DestroyWindows();

    WriteFile(folder.File("bad.lad"), "not a ladder\r\n");
    BoxScript boxes;
    boxes.Expect("Error", "Bad data in file.", kError);
    CreateWindows({"-L", folder.File("bad.lad")});
    EXPECT_EQ(MainForm->windowTitle(), "Rostrix");
    EXPECT_EQ(MainForm->CurrentFileName(), "");
    DestroyWindows();

    // A last "-i" names a file: one called "-i" opens, and without it the
    // open fails.
    ScopedCurrentDir here(folder.Path());
    CreateWindows({"-L", "-i"});
    EXPECT_EQ(MainForm->windowTitle(), "-i - Rostrix");
    DestroyWindows();
    std::remove(folder.File("-i").c_str());
    boxes.Expect("Error", "Error attempting to open file.", kError);
    CreateWindows({"-L", "-i"});
    EXPECT_EQ(MainForm->windowTitle(), "Rostrix");
    EXPECT_EQ(CurrentEvent->PlayerCount(), 0);
}

TEST_F(MainWindowStart, TheStagedProgramFindsItsManualAndSamples) {
    // The registry that scripts/run hands the staged program.
    ScopedEnv registry("ROSTRIX_REGISTRY", std::string(ROSTRIX_STAGE) + "/registry");
    Settings = rxProgram();
    ASSERT_EQ(Settings.InstallDirectory(), ROSTRIX_STAGE);
    CreateWindows({"-L"});
    ShellOpenScript shell;
    shell.Answer(42).Answer(42).Answer(42);
    for (QAction* item :
         {MainForm->UserManual1, MainForm->PlayerFileSpreadsheet1, MainForm->PlayerFileText1})
        item->trigger();
    ASSERT_EQ(shell.Seen().size(), 3u);
    for (const ShellOpenCall& call : shell.Seen())
        EXPECT_TRUE(FileExists(FindFileAnyCase(call.directory + "/" + call.target))) << call.target;
    MainForm->SampleData1->trigger();
    EXPECT_EQ(MainForm->windowTitle(), "Sample.lad - Rostrix");
    EXPECT_GT(CurrentEvent->PlayerCount(), 10);
    EXPECT_GT(CurrentEvent->ResultCount(), 0);

    DestroyWindows();
    CreateWindows({"-T"});
    EXPECT_EQ(MainForm->SampleData1->text(), "&Data - Tournament Draw");
    MainForm->SampleData1->trigger();
    EXPECT_EQ(MainForm->windowTitle(), "Sample.trn - Rostrix");
    EXPECT_EQ(CurrentEvent->PlayerCount(), 16);
    EXPECT_EQ(CurrentEvent->ResultCount(), 15); // the matches of a draw of 16

    DestroyWindows();
    CreateWindows({"-P"});
    EXPECT_EQ(MainForm->SampleData1->text(), "&Data - Mixer Plan");
    MainForm->SampleData1->trigger();
    EXPECT_EQ(MainForm->windowTitle(), "Sample.rxd - Rostrix");
    EXPECT_EQ(CurrentEvent->PlayerCount(), 16);
    EXPECT_EQ(CurrentEvent->RoundCount(), 8);
}

namespace {

// Events of every kind that a test fills with players directly.
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

Player MakePair(const std::string& first, const std::string& partnerFirst) {
    Player player = MakePlayer(first, "Smith");
    player.partner.Set(MakePlayer(partnerFirst, "Jones"));
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

std::vector<QMenu*> Menus() {
    return {MainForm->File1,  MainForm->Edit,      MainForm->Setup1, MainForm->Options2,
            MainForm->Tools1, MainForm->Internet1, MainForm->Help1,  MainForm->Samples1};
}

// A menu's captions, "-" for a separator.
std::string Captions(QMenu* menu) {
    std::string captions;
    for (QAction* action : menu->actions())
        captions += (action->isSeparator() ? "-" : action->text().toStdString()) + "|";
    return captions;
}

QKeySequence Ctrl(char letter) {
    return QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_A + (letter - 'A')));
}

void OpenMenu(QMenu* menu) {
    menu->popup(QPoint(0, 0));
    menu->hide();
}

// The window shown on screen, its events able to take players.
class MainWindow : public testing::Test {
protected:
    void SetUp() override {
        Settings = rxProgram();
        savedMakers[0] = SetEventMaker(0, [] { return (RXEvent*)new Stocked<Ladder>; });
        savedMakers[1] = SetEventMaker(1, [] { return (RXEvent*)new Stocked<Draw>; });
        savedMakers[2] = SetEventMaker(2, [] { return (RXEvent*)new Stocked<Matches>; });
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

    // What File > New does once the new event of the kind is made.
    void SwitchTo(const std::string& kindSwitch, bool doubles = false) {
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

TEST_F(MainWindow, PanesFollowTheKindAndThePlayerGridKeepsItsShare) {
    Start({"-L"});
    EXPECT_EQ(MainForm->size(), QSize(630, 496));
    EXPECT_EQ(MainForm->PlayerGrid->height(), 223) << "half of the window less 50";
    EXPECT_TRUE(MainForm->ResultsPane->isVisible());
    EXPECT_FALSE(MainForm->DrawGrid->isVisible());
    SwitchTo("-T");
    EXPECT_FALSE(MainForm->ResultsPane->isVisible());
    EXPECT_TRUE(MainForm->DrawGrid->isVisible());
    EXPECT_TRUE(MainForm->DrawGrid->hasFocus());

    MainForm->resize(630, 650);
    QApplication::processEvents();
    EXPECT_EQ(MainForm->PlayerGrid->height(), 300);
    // Dragging the splitter up by 100 pixels gives the grid a new share.
    QSplitterHandle* handle = MainForm->Splitter1->handle(1);
    const QPoint grip(handle->width() / 2, 2);
    const QPoint up = grip - QPoint(0, 100);
    QTest::mousePress(handle, Qt::LeftButton, {}, grip);
    QMouseEvent drag(QEvent::MouseMove, up, handle->mapToGlobal(up), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(handle, &drag);
    QTest::mouseRelease(handle, Qt::LeftButton, {}, up);
    EXPECT_EQ(MainForm->PlayerGrid->height(), 400);
    MainForm->resize(630, 1000);
    QApplication::processEvents();
    EXPECT_EQ(MainForm->PlayerGrid->height(), 584) << "400 / 650 of (1000 - 50)";
}

TEST_F(MainWindow, EachKindShowsAndOffersItsOwnMenuItems) {
    Start({"-L"});
    struct Expected {
        const char* kind;
        std::vector<QAction*> shown;
        std::vector<QAction*> hidden;
        const char* sampleCaption;
    };
    const Expected kinds[] = {
        {"-L",
         {MainForm->EnterResults1, MainForm->Upload1, MainForm->OptPrint1,
          MainForm->ClearAllResults2},
         {MainForm->CourtsAndRounds1, MainForm->ClearDraw1, MainForm->OptTourn1},
         "&Data - Challenge Ladder"},
        {"-T",
         {MainForm->CreateDraw1, MainForm->OptTourn1, MainForm->OptPrint1, MainForm->ClearDraw1},
         {MainForm->EnterResults1, MainForm->Upload1, MainForm->Warnings1},
         "&Data - Tournament Draw"},
        {"-P",
         {MainForm->CourtsAndRounds1, MainForm->ClearPandM1, MainForm->Warnings1},
         {MainForm->OptPrint1, MainForm->CreateDraw1, MainForm->CancelPendingResult1},
         "&Data - Mixer Plan"},
    };
    for (const Expected& e : kinds) {
        SwitchTo(e.kind);
        for (QAction* item : e.shown)
            EXPECT_TRUE(item->isVisible()) << e.kind;
        for (QAction* item : e.hidden)
            EXPECT_FALSE(item->isVisible()) << e.kind;
        EXPECT_FALSE(MainForm->PrintSetup1->isVisible());
        EXPECT_EQ(MainForm->SampleData1->text().toStdString(), e.sampleCaption);
        EXPECT_EQ(MainForm->Internet1->menuAction()->isEnabled(), e.kind == std::string("-L"));
        // An item is enabled only when offered, and offered only when shown.
        for (QMenu* menu : Menus())
            for (QAction* item : menu->actions()) {
                if (item->isSeparator() || item->menu() != nullptr) continue;
                EXPECT_EQ(MainForm->IsOffered(item), item->isVisible()) << e.kind;
                if (item->isEnabled()) {
                    EXPECT_TRUE(MainForm->IsOffered(item)) << e.kind;
                }
            }
    }
}

TEST_F(MainWindow, SeparatorsStandAfterTheirItems) {
    Start({});
    std::string after;
    for (QMenu* menu : Menus()) {
        QString last;
        for (QAction* action : menu->actions())
            if (action->isSeparator())
                after += last.toStdString() + "|";
            else
                last = action->text();
    }
    EXPECT_EQ(after, "Save &As...|Print to &HTML...|&Import Players...|&E-mail...|"
                     "&Warnings && Match Analysis|&E-mail Current Issue|");
    EXPECT_EQ(Captions(MainForm->Help1), "&User Manual...|&Samples|&About Rostrix...|");
    EXPECT_EQ(MainForm->Delete1->shortcut(), QKeySequence(Qt::Key_Delete));
}

TEST_F(MainWindow, ShortcutsFollowTheKindAndAreNeverShared) {
    Start({"-L"});
    EXPECT_EQ(MainForm->GenerateIssue1->shortcut(), Ctrl('G'));
    EXPECT_EQ(MainForm->EnterResults1->shortcut(), Ctrl('R'));
    EXPECT_EQ(MainForm->PreviewIssue1->shortcut(), Ctrl('V'));
    EXPECT_TRUE(MainForm->MatchAssignment1->shortcut().isEmpty());
    SwitchTo("-P");
    EXPECT_EQ(MainForm->MatchAssignment1->shortcut(), Ctrl('M'));
    EXPECT_EQ(MainForm->ManualAssign1->shortcut(), Ctrl('G'));
    EXPECT_EQ(MainForm->MatchAnalysis1->shortcut(), Ctrl('W'));
    EXPECT_EQ(MainForm->CourtsAndRounds1->shortcut(), Ctrl('C'));
    EXPECT_TRUE(MainForm->GenerateIssue1->shortcut().isEmpty());
    SwitchTo("-T");
    EXPECT_EQ(MainForm->ManualDraw1->shortcut(), Ctrl('M'));
    EXPECT_EQ(MainForm->CreateDraw1->shortcut(), Ctrl('W'));
    EXPECT_TRUE(MainForm->MatchAssignment1->shortcut().isEmpty());

    for (const char* kind : {"-L", "-T", "-P"}) {
        SwitchTo(kind);
        std::map<QString, QString> owners;
        for (QMenu* menu : Menus())
            for (QAction* item : menu->actions()) {
                if (item->shortcut().isEmpty()) continue;
                EXPECT_TRUE(item->isVisible()) << kind << ": " << item->text().toStdString();
                const QString key = item->shortcut().toString();
                EXPECT_TRUE(owners.emplace(key, item->text()).second)
                    << kind << ": " << key.toStdString() << " on " << item->text().toStdString()
                    << " and " << owners[key].toStdString();
            }
    }
}

TEST_F(MainWindow, OpeningAMenuFollowsTheLadderSystemAndManualMode) {
    Start({"-L"});
    const auto offered = [](QAction* item) { return MainForm->IsOffered(item); };
    for (QMenu* menu : {MainForm->Setup1, MainForm->Options2, MainForm->Tools1})
        OpenMenu(menu);
    EXPECT_TRUE(offered(MainForm->TraditionalSystem1));
    EXPECT_FALSE(offered(MainForm->PointSystem1));
    EXPECT_FALSE(offered(MainForm->ClearAllResults2));
    EXPECT_TRUE(offered(MainForm->ClearAllResults1));
    EXPECT_FALSE(offered(MainForm->EnterDoublesResults1));

    CurrentLadder->SetLadderSystem(1);
    for (QMenu* menu : {MainForm->Setup1, MainForm->Options2, MainForm->Tools1})
        OpenMenu(menu);
    EXPECT_FALSE(offered(MainForm->TraditionalSystem1));
    EXPECT_TRUE(offered(MainForm->PointSystem1));
    EXPECT_TRUE(offered(MainForm->ClearAllResults2));
    EXPECT_TRUE(offered(MainForm->EnterDoublesResults1));
    CurrentLadder->SetDoubles();
    OpenMenu(MainForm->Tools1);
    EXPECT_FALSE(offered(MainForm->EnterDoublesResults1)) << "for a singles ladder only";

    SwitchTo("-T");
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
}

TEST_F(MainWindow, DoublesShowEachPairOnTwoRowsAndARefillLeavesNothingBehind) {
    Start({"-L", "-u"});
    Put(MakePair("Ann", "Amy"));
    Put(MakePair("Bob", "Ben"));
    Put(MakePlayer("Cal", "Cole"));
    MainForm->RefreshViews();
    ASSERT_EQ(MainForm->PlayerGrid->RowCount(), 8);
    EXPECT_EQ(Row(3), (std::vector<std::string>{"2", "0", "0-0", "Bob Smith", "555-0100",
                                                "555-0199", "bob@club.example"}));
    EXPECT_EQ(Row(4), (std::vector<std::string>{"", "", "", "Ben Jones", "555-0100", "555-0199",
                                                "ben@club.example"}));
    EXPECT_EQ(Row(5)[3], "Cal Cole");
    EXPECT_EQ(Row(6), std::vector<std::string>(7)) << "a pair without a partner record";
    EXPECT_EQ(Row(7), std::vector<std::string>(7));

    // A match schedule is never doubles, whatever the start asked for.
    SwitchTo("-P", true);
    Put(MakePlayer("Dee", "Dunn"));
    MainForm->RefreshViews();
    EXPECT_EQ(MainForm->PlayerGrid->RowCount(), 3);
    EXPECT_EQ(Row(1)[3], "Dee Dunn");
    EXPECT_EQ(Row(2), std::vector<std::string>(7)) << "nothing left of Amy's row";
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
    EXPECT_EQ(Row(0)[1] + Row(0)[2], "");
    EXPECT_EQ(Row(1)[1], "F");
    EXPECT_EQ(Row(2)[1], "M");
    EXPECT_EQ(Row(3)[1], " ");
    EXPECT_EQ(Row(3)[2], "");
    SwitchTo("-T");
    Put(woman);
    MainForm->RefreshViews();
    EXPECT_EQ(Row(1)[1] + Row(1)[2], "");
    EXPECT_EQ(Row(1)[3], "Ann Archer");
}

TEST_F(MainWindow, ClicksAndKeysInThePlayerGridChooseAPlayer) {
    Start({"-T", "-u"});
    for (const char* name : {"Ann", "Bob", "Cal"})
        Put(MakePair(name, name));
    MainForm->RefreshViews();
    EXPECT_TRUE(MainForm->PlayerGrid->Selection().IsNone()) << "a refill selects nothing";
    ClickPlayerRow(4); // the partner row of player 2
    EXPECT_EQ(MainForm->SelectionKind(), 2);
    EXPECT_EQ(MainForm->SelectedNumber(), 2);
    EXPECT_EQ(MainForm->PlayerGrid->Selection(), (GridRect{1, 3, 6, 4}));
    QTest::keyClick(MainForm->PlayerGrid, Qt::Key_Down);
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

TEST_F(MainWindow, TheResultsPaneHeadsWithTheLadderAndClearsTheChoice) {
    Start({"-L"});
    QPlainTextEdit& pane = *MainForm->ResultsPane;
    EXPECT_EQ(pane.toPlainText().toStdString(), "Singles - \n ");
    SwitchTo("-L", true);
    for (const char* name : {"Ann", "Bob", "Cal"})
        Put(MakePair(name, name));
    MainForm->RefreshViews();
    EXPECT_EQ(pane.toPlainText().toStdString(), "Doubles - 3 players.  Next issue: 1\n ");
    ClickPlayerRow(1);
    ASSERT_EQ(MainForm->SelectionKind(), 2);
    const QRect header = pane.cursorRect(QTextCursor(pane.document()));
    QTest::mouseClick(pane.viewport(), Qt::LeftButton, {}, header.center() + QPoint(30, 0));
    EXPECT_EQ(MainForm->SelectionKind(), 0);
    EXPECT_EQ(pane.textCursor().position(), 0);
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
    EXPECT_EQ(grid.ColWidth(0), 50);
    EXPECT_TRUE(grid.TabStop(3));
    EXPECT_FALSE(grid.TabStop(4)) << "the champion column holds no match";
    SwitchTo("-P");
    EXPECT_EQ(grid.RowCount(), 1) << "no rounds and no courts yet";
    EXPECT_EQ(grid.ColCount(), 1);
    EXPECT_EQ(grid.DefaultRowHeight(), 54);
    EXPECT_EQ(grid.DefaultColWidth(), 80);
    EXPECT_EQ(grid.RowHeight(0), 27);
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

namespace {

// A plan whose courts and rounds were set up by its dialogs.
class PlanOfCourts : public Stocked<Matches> {
public:
    void Shape(int roundCount, int courtCount) {
        rounds = static_cast<std::int16_t>(roundCount);
        courts = static_cast<std::int16_t>(courtCount);
    }
};

constexpr unsigned kNoData = MB_OK | MB_ICONINFORMATION;

// Clicks line k of the results pane (the header is line 0).
void ClickPaneLine(int k) {
    QPlainTextEdit& pane = *MainForm->ResultsPane;
    const QTextCursor line(pane.document()->findBlockByNumber(k));
    ASSERT_TRUE(line.block().isValid()) << "line " << k;
    const QPoint at = pane.cursorRect(line).center() + QPoint(20, 0);
    QTest::mouseClick(pane.viewport(), Qt::LeftButton, {}, at);
}

std::vector<std::string> PaneLines() {
    std::vector<std::string> lines;
    for (const QString& line : MainForm->ResultsPane->toPlainText().split('\n'))
        lines.push_back(line.toStdString());
    return lines;
}

} // namespace

TEST_F(MainWindow, ThePlayerCommandsNeedPlayersAndTheFullCheckTheKindsData) {
    Start({"-T"});
    for (QAction* item : {MainForm->AddPlayer1, MainForm->UpdatePlayer1, MainForm->DeletePlayer1,
                          MainForm->Delete1})
        EXPECT_TRUE(item->isEnabled()) << item->text().toStdString();
    BoxScript boxes;
    boxes.Expect("No Data", "There is no Player data.", kNoData)
        .Expect("No Data", "There is no Player data.", kNoData)
        .Expect("No Data", "There is no Player data.", kNoData)
        .Expect("No Data", "The draw has not been created.", kNoData);
    MainForm->UpdatePlayer1->trigger();
    MainForm->DeletePlayer1->trigger();
    EXPECT_FALSE(MainForm->CheckDataPresent(true));
    Put(MakePlayer("Ann", "Archer"));
    EXPECT_TRUE(MainForm->CheckDataPresent(false));
    EXPECT_FALSE(MainForm->CheckDataPresent(true));
    SetEventMaker(1, [] { return static_cast<RXEvent*>(new DrawOfEight); });
    SwitchTo("-T");
    Put(MakePlayer("Ann", "Archer"));
    EXPECT_TRUE(MainForm->CheckDataPresent(true));

    SetEventMaker(2, [] { return static_cast<RXEvent*>(new PlanOfCourts); });
    SwitchTo("-P");
    Put(MakePlayer("Ann", "Archer"));
    auto& plan = dynamic_cast<PlanOfCourts&>(*CurrentEvent);
    for (const auto& [roundCount, courtCount] : {std::pair{0, 2}, std::pair{3, 0}}) {
        plan.Shape(roundCount, courtCount);
        boxes.Expect("No Data", "There is no Courts & Rounds data.", kNoData);
        EXPECT_FALSE(MainForm->CheckDataPresent(true));
    }
    plan.Shape(3, 2);
    EXPECT_TRUE(MainForm->CheckDataPresent(true));
    SwitchTo("-L");
    Put(MakePlayer("Ann", "Archer"));
    EXPECT_TRUE(MainForm->CheckDataPresent(true));
}

TEST_F(MainWindow, DeleteRemovesTheChosenPlayerAfterAsking) {
    Start({"-L", "-u"});
    for (const char* name : {"Ann", "Bob", "Cal"})
        Put(MakePair(name, name));
    MainForm->RefreshViews();
    BoxScript boxes;
    boxes.Expect("Warning", "No player is selected for deletion.", MB_OK | MB_ICONEXCLAMATION);
    MainForm->Delete1->trigger();

    ClickPlayerRow(4);
    boxes.Expect("Confirmation", "Delete player #2", MB_OKCANCEL | MB_ICONQUESTION, IDCANCEL);
    MainForm->Delete1->trigger();
    EXPECT_EQ(CurrentEvent->PlayerCount(), 3);
    boxes.Expect("Confirmation", "Delete player #2", MB_OKCANCEL | MB_ICONQUESTION, IDOK);
    MainForm->Delete1->trigger();
    ASSERT_EQ(CurrentEvent->PlayerCount(), 2);
    EXPECT_EQ(Row(3)[3], "Cal Smith");
    // The same number stays chosen, now on the next pair.
    EXPECT_EQ(MainForm->SelectionKind(), 2);
    EXPECT_EQ(MainForm->SelectedNumber(), 2);
    EXPECT_EQ(MainForm->PlayerGrid->Selection(), (GridRect{1, 3, 6, 4}));
    boxes.Expect("Confirmation", "Delete player #2", MB_OKCANCEL | MB_ICONQUESTION, IDOK);
    MainForm->Delete1->trigger();
    EXPECT_EQ(MainForm->SelectionKind(), 0) << "no player left at that number";
    EXPECT_TRUE(MainForm->PlayerGrid->Selection().IsNone());
}

TEST_F(MainWindow, TheResultsPaneShowsTheResultsTheLadderAsksFor) {
    Start({"-L"});
    for (const char* name : {"Ann", "Bob", "Cal", "Dee"})
        ASSERT_EQ(CurrentEvent->AddPlayer(MakePlayer(name, "Smith"), nullptr), rcOk);
    Ladder& ladder = *CurrentLadder;
    const auto enter = [&](const char* date, const char* winner, const char* loser) {
        ASSERT_EQ(ladder.EnterResult(date, winner, loser, "6-4 6-4", false), rcOk);
    };
    enter("3/1/2024", "Smith, Bob", "Smith, Ann");
    enter("3/2/2024", "Smith, Dee", "Smith, Cal");
    ASSERT_EQ(ladder.GenerateIssue(), rcOk); // issue 1
    enter("3/9/2024", "Smith, Cal", "Smith, Bob");
    ASSERT_EQ(ladder.PostResults(false), rcOk); // into issue 2, the next one
    enter("3/10/2024", "Smith, Ann", "Smith, Dee");
    enter("3/11/2024", "Smith, Cal", "Smith, Dee");

    const std::string header = "Singles - 4 players.  Next issue: 2";
    const auto lines = [&](std::vector<int> results) {
        std::vector<std::string> expected{header};
        for (int n : results)
            expected.push_back(ladder.ResultText(n));
        expected.push_back(" ");
        return expected;
    };
    MainForm->RefreshViews();
    EXPECT_EQ(PaneLines(), lines({4, 5}));
    ladder.SetDisplayResults(1);
    MainForm->RefreshViews();
    EXPECT_EQ(PaneLines(), lines({3, 4, 5}));
    EXPECT_EQ(PaneLines()[1].substr(0, 4), "[2] ");
    ladder.SetDisplayResults(2);
    MainForm->RefreshViews();
    EXPECT_EQ(PaneLines(), lines({1, 2, 3, 4, 5}));

    // A line chooses the pending result it shows, counted among the pending
    // ones; a posted line chooses nothing.
    ClickPaneLine(5);
    EXPECT_EQ(MainForm->SelectionKind(), 1);
    EXPECT_EQ(MainForm->SelectedNumber(), 2);
    EXPECT_EQ(MainForm->ResultsPane->textCursor().selectedText().toStdString(),
              ladder.ResultText(5));
    ClickPaneLine(1);
    EXPECT_EQ(MainForm->SelectionKind(), 0);
    ClickPaneLine(4);
    EXPECT_EQ(MainForm->SelectedNumber(), 1);
    BoxScript boxes;
    boxes.Expect("Warning", "No player is selected for deletion.", MB_OK | MB_ICONEXCLAMATION);
    MainForm->Delete1->trigger();
    ClickPaneLine(6);
    EXPECT_EQ(MainForm->SelectionKind(), 0) << "the closing blank line";
    EXPECT_EQ(MainForm->ResultsPane->textCursor().position(), 0);
}

TEST_F(MainWindow, ReportTextsPrintOptionsAndAboutOpenFromTheirMenus) {
    Start({"-L"});
    DialogScript dialogs;
    dialogs.Expect<TReportOptionsBox>([](TReportOptionsBox& d) { d.CancelBtn->click(); })
        .Expect<TOptionsPrintBox>([](TOptionsPrintBox& d) { d.CancelBtn->click(); });
    MainForm->ReportHeadingandNotes1->trigger();
    MainForm->OptPrint1->trigger();
    const char* const kinds[][2] = {{"-L", "Challenge Ladder program"},
                                    {"-T", "Tournament Draw program"},
                                    {"-P", "Match Scheduling program"}};
    for (const auto& [kind, program] : kinds) {
        SwitchTo(kind);
        dialogs.Expect<THelpAboutBox>([&](THelpAboutBox& d) {
            EXPECT_EQ(d.ProgName1->text(), "Rostrix 2.3.1");
            EXPECT_EQ(d.ProgName2->text().toStdString(), program);
            d.OKBtn->click();
        });
        MainForm->AboutRostrix1->trigger();
    }
    EXPECT_FALSE(MainForm->OptPrint1->isEnabled()) << "a schedule prints no pages of its own";
}

namespace {

// The first file dialog opens in the data folder.
class FileDialogs : public testing::Test {
protected:
    void SetUp() override {
        Settings = rxProgram();
        CreateWindows({"-L"});
        Settings.SetDataDirectory(folder.Path());
    }
    void TearDown() override { DestroyWindows(); }

    // Where each dialog started, and with what name.
    std::vector<std::string> Asked() const {
        std::vector<std::string> asked;
        for (const FileDialogCall& call : files.Seen())
            asked.push_back(call.dialog.initialDir + "|" + call.dialog.fileName);
        return asked;
    }

    TempFolder folder;
    FileDialogScript files;
};

} // namespace

TEST_F(FileDialogs, OpenAsksForTheKindsFilesAndUsesTheDataFolderOnce) {
    files.Answer(std::nullopt).Answer(folder.File("club.lad")).Answer(folder.File("old.lad"));
    const std::string filter = CurrentEvent->FileFilter();
    EXPECT_FALSE(MainForm->RunOpenDialog("lad", filter));
    EXPECT_TRUE(MainForm->RunOpenDialog("lad", filter));
    EXPECT_EQ(MainForm->OpenDialog.fileName, folder.File("club.lad"));
    EXPECT_EQ(Settings.DataDirectory(), "");
    EXPECT_TRUE(MainForm->RunOpenDialog("lad", filter));
    EXPECT_EQ(Asked(), (std::vector<std::string>{folder.Path() + "|*.lad", folder.Path() + "|*.lad",
                                                 "|*.lad"}))
        << "Cancel keeps the data folder";
    EXPECT_FALSE(files.Seen()[0].save);
    EXPECT_EQ(files.Seen()[0].dialog.filter, "Ladder files (*.lad)|*.lad|All files (*.*)|*.*");
    EXPECT_EQ(files.Seen()[0].dialog.defaultExtension, "lad");
}

TEST_F(FileDialogs, SaveAsksBeforeOverwritingAndCancelThereKeepsTheDataFolder) {
    WriteFile(folder.File("club.txt"), "old");
    files.Answer(folder.File("club.txt"))
        .Answer(folder.File("club.txt"))
        .Answer(folder.File("club.html"));
    BoxScript boxes;
    for (int answer : {IDCANCEL, IDOK})
        boxes.Expect("File exists!", "Do you want to overwrite it?", MB_OKCANCEL | MB_ICONQUESTION,
                     answer);
    EXPECT_FALSE(MainForm->RunSaveTextDialog("Print to File", "club.txt"));
    EXPECT_TRUE(MainForm->RunSaveTextDialog("Export Player List", "*.txt"));
    EXPECT_EQ(MainForm->SaveDialog.fileName, folder.File("club.txt"));
    // A new file is taken without a question.
    const std::string html = "HTML files (*.html)|*.html|All files (*.*)|*.*";
    EXPECT_TRUE(MainForm->RunSaveDialog("Print to HTML", "club.html", "htm", html));
    EXPECT_EQ(Asked(), (std::vector<std::string>{folder.Path() + "|club.txt",
                                                 folder.Path() + "|*.txt", "|club.html"}));
    const FileDialogCall& text = files.Seen()[0];
    EXPECT_TRUE(text.save);
    EXPECT_EQ(text.dialog.title, "Print to File");
    EXPECT_EQ(text.dialog.filter, "Text files (*.txt)|*.txt|All files (*.*)|*.*");
    EXPECT_EQ(text.dialog.defaultExtension, "txt");
    EXPECT_EQ(files.Seen()[2].dialog.defaultExtension, "htm");
    EXPECT_EQ(files.Seen()[2].dialog.filter, html);
}

namespace {

// A draw that has been made: 7 matches in 3 rounds.
class DrawnDraw : public Stocked<Draw> {
public:
    void Make() {
        for (int m = 1; m <= 7; ++m)
            matchList.SetAt(m, TResult{});
        rounds = 3;
        state = StateChanged;
    }
};

constexpr unsigned kSaveQuestion = MB_YESNOCANCEL | MB_ICONQUESTION;
constexpr unsigned kError = MB_OK | MB_ICONEXCLAMATION;

void AddPlayers(std::initializer_list<const char*> firstNames) {
    for (const char* first : firstNames)
        ASSERT_EQ(CurrentEvent->AddPlayer(MakePlayer(first, "Smith"), nullptr), rcOk) << first;
}

} // namespace

TEST_F(MainWindow, ClearCommandsAskToSaveAChangedEventFirst) {
    Start({"-L"});
    AddPlayers({"Ann", "Bob", "Cal"});
    Ladder& ladder = *CurrentLadder;
    ASSERT_EQ(ladder.EnterResult("3/1/2024", "Smith, Cal", "Smith, Ann", "6-4", false), rcOk);
    BoxScript boxes;
    boxes.Expect("Ladder has changed!", "Do you want to save?", kSaveQuestion, IDCANCEL);
    MainForm->ClearAllResults1->trigger();
    EXPECT_EQ(ladder.ResultCount(), 1);
    boxes.Expect("Ladder has changed!", "Do you want to save?", kSaveQuestion, IDNO);
    MainForm->ClearAllResults1->trigger();
    EXPECT_EQ(ladder.ResultCount(), 0);
    EXPECT_EQ(PaneLines()[0], "Singles - 3 players.  Next issue: 1");

    // The points system's clear also gives the points anew, top player most.
    ladder.SetLadderSystem(1);
    OpenMenu(MainForm->Setup1);
    ASSERT_TRUE(MainForm->ClearAllResults2->isEnabled());
    boxes.Expect("Ladder has changed!", "Do you want to save?", kSaveQuestion, IDNO);
    MainForm->ClearAllResults2->trigger();
    EXPECT_EQ(Row(1)[1], "3");
    EXPECT_EQ(Row(3)[1], "1");

    SetEventMaker(1, [] { return static_cast<RXEvent*>(new DrawnDraw); });
    SwitchTo("-T");
    dynamic_cast<DrawnDraw&>(*CurrentEvent).Make();
    for (int answer : {IDCANCEL, IDNO}) {
        boxes.Expect("Data has changed!", "Do you want to save?", kSaveQuestion, answer);
        MainForm->ClearDraw1->trigger();
    }
    EXPECT_EQ(CurrentEvent->ResultCount(), 0);
    EXPECT_EQ(MainForm->DrawGrid->RowCount(), 2) << "the grid shows no draw";

    SwitchTo("-P");
    AddPlayers({"Ann", "Bob"});
    boxes.Expect("Data has changed!", "Do you want to save?", kSaveQuestion, IDCANCEL);
    MainForm->ClearPandM1->trigger();
    EXPECT_EQ(CurrentEvent->PlayerCount(), 2);
    boxes.Expect("Data has changed!", "Do you want to save?", kSaveQuestion, IDNO);
    MainForm->ClearPandM1->trigger();
    EXPECT_EQ(CurrentEvent->PlayerCount(), 0);
    EXPECT_EQ(MainForm->PlayerGrid->RowCount(), 2);
}

TEST_F(MainWindow, PostingAndGeneratingAnIssueAskWithTheResultCount) {
    Start({"-L"});
    AddPlayers({"Ann", "Bob", "Cal", "Dee"});
    Ladder& ladder = *CurrentLadder;
    const auto enter = [&](const char* winner, const char* loser) {
        ASSERT_EQ(ladder.EnterResult("3/1/2024", winner, loser, "6-4", false), rcOk);
    };
    constexpr unsigned kConfirm = MB_OKCANCEL | MB_ICONQUESTION;
    BoxScript boxes;
    enter("Smith, Bob", "Smith, Ann");
    boxes.Expect("Confirmation", "Posting 1 result.  Continue?", kConfirm, IDCANCEL)
        .Expect("Confirmation", "Posting 1 result.  Continue?", kConfirm, IDOK);
    MainForm->PostResults1->trigger();
    EXPECT_EQ(ladder.PendingResultCount(), 1);
    MainForm->PostResults1->trigger();
    EXPECT_EQ(ladder.PendingResultCount(), 0);
    EXPECT_EQ(Row(1)[3], "Bob Smith") << "the grid shows the new order";

    enter("Smith, Dee", "Smith, Cal");
    enter("Smith, Cal", "Smith, Ann");
    boxes
        .Expect("Confirmation", "Generating issue #1 with 2 results to be posted.  Continue?",
                kConfirm, IDOK)
        .Expect("Confirmation", "Posting 0 results.  Continue?", kConfirm, IDOK)
        .Expect("Confirmation", "Generating issue #2 with 0 results to be posted.  Continue?",
                kConfirm, IDCANCEL);
    MainForm->GenerateIssue1->trigger();
    EXPECT_EQ(ladder.IssueNumber(), 1);
    EXPECT_EQ(PaneLines()[0], "Singles - 4 players.  Next issue: 2");
    MainForm->PostResults1->trigger();
    MainForm->GenerateIssue1->trigger();
    EXPECT_EQ(ladder.IssueNumber(), 1);
}

TEST_F(MainWindow, GenerateIssueAtTheLastIssueAFileHoldsRefusesBeforeItAsks) {
    Start({"-L"});
    TempFolder folder;
    WriteFile(folder.File("last.lad"),
              "Ladder{\r\n v=*2.1\r\n i=999999\r\n P{\r\n  f=Ann\r\n  l=Smith\r\n  n=1\r\n "
              "}\r\n}\r\n");
    ASSERT_EQ(CurrentEvent->Load(folder.File("last.lad")), rcOk);
    BoxScript boxes;
    boxes.Expect("Error",
                 "No further issue can be generated: the ladder is at the last issue number a file "
                 "can hold.",
                 MB_OK | MB_ICONEXCLAMATION);
    MainForm->GenerateIssue1->trigger();
    EXPECT_EQ(CurrentLadder->IssueNumber(), 999999);
    EXPECT_FALSE(CurrentEvent->IsModified());
}

TEST_F(MainWindow, HelpOpensFilesOfTheInstallationFolderAndSaysWhyNot) {
    Start({"-L"});
    BoxScript boxes;
    const char* const kNoFolder = "Unable to locate installation directory";
    Put(MakePlayer("Ann", "Smith"));
    for (QAction* item : {MainForm->UserManual1, MainForm->PlayerFileSpreadsheet1,
                          MainForm->PlayerFileText1, MainForm->SampleData1}) {
        boxes.Expect("Error", kNoFolder, kError);
        item->trigger();
    }
    EXPECT_EQ(CurrentEvent->PlayerCount(), 1) << "no sample replaced the event";
    EXPECT_FALSE(MainForm->OpenInstalledFile("doc/index.html", false));

    TempFolder installed;
    ScopedCurrentDir here(installed.Path());
    ParseCommandLine(Settings, {"-L", "-Z"});
    ShellOpenScript shell;
    shell.Answer(42).Answer(42).Answer(42).Answer(SE_ERR_FNF).Answer(SE_ERR_NOASSOC);
    for (QAction* item :
         {MainForm->UserManual1, MainForm->PlayerFileSpreadsheet1, MainForm->PlayerFileText1})
        item->trigger();
    boxes.Expect("Error",
                 "Error trying to open file, rc=2, file=doc/index.html, dir=" + installed.Path(),
                 kError);
    MainForm->UserManual1->trigger();
    EXPECT_FALSE(MainForm->OpenInstalledFile("sample/importFile.txt", false)) << "silently";
    std::vector<std::string> opened;
    for (const ShellOpenCall& call : shell.Seen()) {
        EXPECT_EQ(call.directory, installed.Path());
        opened.push_back(call.target);
    }
    EXPECT_EQ(opened, (std::vector<std::string>{"doc/index.html", "sample/importFile.xls",
                                                "sample/importFile.txt", "doc/index.html",
                                                "sample/importFile.txt"}));

    shell.Answer(42).Answer(SE_ERR_NOASSOC);
    MainForm->OpenWebPage("https://ladder.example/club");
    boxes.Expect("Error", "Error trying to open web page, rc=31, url=https://ladder.example/club",
                 kError);
    MainForm->OpenWebPage("https://ladder.example/club");
    EXPECT_EQ(shell.Seen().back().directory, "");

    SwitchTo("-T");
    EXPECT_TRUE(MainForm->SampleData1->isEnabled());
    SwitchTo("-P");
    EXPECT_TRUE(MainForm->SampleData1->isEnabled());
    EXPECT_TRUE(MainForm->UserManual1->isEnabled());
}
