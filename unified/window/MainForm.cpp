// The main window: its making, layout and menus, which follow the kind, and
// the commands every kind shares. The views, the file commands and each
// kind's own commands have files of their own (MainFormViews.cpp,
// MainFormFiles.cpp, MainFormLadder.cpp, ...).

#include "unified/window/MainForm.h"

#include "platform/ApplicationState.h"
#include "platform/Environment.h"
#include "platform/MessageBox.h"
#include "platform/Printer.h"
#include "platform/ShellOpen.h"
#include "platform/ShowModal.h"
#include "platform/widgets/BackEnds.h"
#include "platform/widgets/Grid.h"
#include "unified/core/RXEvent.h"
#include "unified/core/rxProgram.h"
#include "unified/core/rxerrors.h"
#include "unified/dialogparts/eventViews.h"
#include "unified/ladder/Ladder.h"
#include "unified/schedule/Matches.h"
#include "unified/window/AUPlayerBox.h"
#include "unified/window/DelPlayerBox.h"
#include "unified/window/HelpAboutBox.h"
#include "unified/window/OptionsPrintBox.h"
#include "unified/window/ReportOptionsBox.h"
#include "unified/window/UpdPlayerBox.h"
#include "unified/window/eventFactory.h"
#include "unified/window/onlineLink.h"

#include <QMenuBar>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QVBoxLayout>

TMainForm* MainForm = nullptr;

namespace {

// Which kinds show a menu item: bit 0 ladder, bit 1 draw, bit 2 match schedule.
enum : unsigned { kNever = 0, kLadder = 1, kDraw = 2, kPlan = 4, kAll = 7 };

// A shell open returns a code above this on success.
constexpr int kShellLastFailure = 32;
constexpr const char* kNoInstallation = "Unable to locate installation directory";

QFont FontOfHeight(QFont font, int pixels) {
    font.setPixelSize(pixels);
    return font;
}

} // namespace

TMainForm::TMainForm(const std::vector<std::string>& arguments) {
    SetMainWindow(this);
    // The kinds' dialogs show their changes through this window's views.
    SetEventViewsRefresh([this] { RefreshViews(); });
    setFont(FontOfHeight(font(), 11));
    resize(630, 496);
    BuildLayout();
    BuildMenus();

    ParseCommandLine(Settings, arguments);
    SetCurrentFileName("");

    CreateEvent(Settings.doubles);

    if (!Settings.importFile.empty()) {
        // An import at start replaces any event file named beside it.
        if (IsEventUsable()) {
            const short code = CurrentEvent->ImportPlayers(Settings.importFile);
            if (code != rcOk) ShowErrorMessage(code);
        }
        SetCurrentFileName("");
    } else if (!Settings.eventFile.empty() && IsEventUsable()) {
        const short code = CurrentEvent->Load(Settings.eventFile);
        if (code != rcOk)
            ShowErrorMessage(code);
        else
            SetCurrentFileName(Settings.eventFile);
    }

    splitterRatio = 0.5f;
    selectionKind = 0;
    selectedNumber = 0;

    FillPlayerGrid();
    PlayerGrid->setVisible(true);
    SetPlayerGridHeight((height() - 50) / 2);
    UpdateMenusForKind();
}

// The printer goes with the window, and so does the dialogs' refresh.
TMainForm::~TMainForm() {
    SetEventViewsRefresh({});
}

void TMainForm::BuildLayout() {
    ResultsPane = new QPlainTextEdit;
    ResultsPane->setObjectName("ResultsPane");
    ResultsPane->setReadOnly(true);
    // Without wrapping a text block is one line of the pane.
    ResultsPane->setLineWrapMode(QPlainTextEdit::NoWrap);
    ResultsPane->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    ResultsPane->setFont(FontOfHeight(font(), 13));
    ResultsPane->viewport()->installEventFilter(this);
    connect(ResultsPane, &QPlainTextEdit::textChanged, this, &TMainForm::FormResize);

    DrawGrid = new Grid;
    DrawGrid->setObjectName("DrawGrid");
    DrawGrid->SetDefaultColWidth(125);
    DrawGrid->SetDefaultRowHeight(36);
    DrawGrid->SetGridLineWidth(0);
    DrawGrid->SetOptions(goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine |
                         goDrawFocusSelected | goColSizing | goTabs);
    DrawGrid->setFont(FontOfHeight(font(), 13));
    DrawGrid->OnDrawCell = [this](Canvas& canvas, int col, int row, const TRect& rect,
                                  unsigned state) {
        DrawGridDrawCell(canvas, col, row, rect, state);
    };
    DrawGrid->OnKeyDown = [this](int& key, Qt::KeyboardModifiers modifiers) {
        DrawGridKeyDown(key, modifiers);
    };
    DrawGrid->OnDblClick = [this] { DrawGridDblClick(); };
    DrawGrid->viewport()->installEventFilter(this);

    PlayerGrid = new Grid;
    PlayerGrid->setObjectName("PlayerGrid");
    static constexpr int kPlayerColumnWidths[kPlayerGridColumns] = {30, 30, 45, 153, 112, 108, 174};
    PlayerGrid->SetColCount(kPlayerGridColumns);
    for (int c = 0; c < kPlayerGridColumns; ++c)
        PlayerGrid->SetColWidth(c, kPlayerColumnWidths[c]);
    PlayerGrid->SetDefaultRowHeight(18);
    PlayerGrid->SetFixedCols(1);
    PlayerGrid->SetFixedRows(1);
    PlayerGrid->SetOptions(goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine |
                           goRangeSelect | goColSizing | goRowSelect);
    PlayerGrid->setFont(FontOfHeight(font(), 13));
    PlayerGrid->OnClick = [this] { PlayerGridClick(); };
    PlayerGrid->OnExit = [this] { PlayerGridExit(); };

    auto* upper = new QWidget;
    auto* upperLayout = new QVBoxLayout(upper);
    upperLayout->setContentsMargins(0, 0, 0, 0);
    upperLayout->setSpacing(0);
    upperLayout->addWidget(ResultsPane);
    upperLayout->addWidget(DrawGrid);

    // The player grid keeps its height when the window is resized; the
    // upper pane takes the rest.
    Splitter1 = new QSplitter(Qt::Vertical);
    Splitter1->setObjectName("Splitter1");
    Splitter1->setHandleWidth(4);
    Splitter1->addWidget(upper);
    Splitter1->addWidget(PlayerGrid);
    Splitter1->setStretchFactor(0, 1);
    Splitter1->setStretchFactor(1, 0);
    connect(Splitter1, &QSplitter::splitterMoved, this, &TMainForm::Splitter1Moved);
    setCentralWidget(Splitter1);
}

void TMainForm::BuildMenus() {
    using Handler = void (TMainForm::*)();
    struct Row {
        QMenu* TMainForm::*menu;
        QAction* TMainForm::*item; // null for a separator or a submenu
        const char* caption;
        char letter; // Ctrl + letter
        unsigned kinds;
        Handler handler;
        unsigned built; // the kinds for which the command's work exists; elsewhere its
                        // item stays disabled
        QMenu* TMainForm::*submenu = nullptr;
    };
    using M = TMainForm;
    const Row rows[] = {
        {&M::File1, &M::New1, "&New...", 'N', kAll, &M::New1Click, kAll},
        {&M::File1, &M::Open1, "&Open...", 'O', kAll, &M::Open1Click, kAll},
        {&M::File1, &M::Save1, "&Save", 'S', kAll, &M::Save1Click, kAll},
        {&M::File1, &M::SaveAs1, "Save &As...", 0, kAll, &M::SaveAs1Click, kAll},
        {&M::File1, nullptr, nullptr, 0, kAll, nullptr, kNever},
        {&M::File1, &M::Print1, "&Print...", 'P', kAll, &M::Print1Click, kAll},
        {&M::File1, &M::PrintSetup1, "P&rint Setup...", 0, kNever, &M::PrintSetup1Click, kAll},
        {&M::File1, &M::PrintToFile1, "Print to &File...", 'F', kAll, &M::PrintToFile1Click, kAll},
        {&M::File1, &M::PrinttoHTML1, "Print to &HTML...", 'H', kAll, &M::PrinttoHTML1Click, kAll},
        {&M::File1, nullptr, nullptr, 0, kAll, nullptr, kNever},
        {&M::File1, &M::Exit1, "E&xit", 0, kAll, &M::Exit1Click, kAll},
        {&M::Edit, &M::Delete1, "&Delete Player", 0, kAll, &M::Delete1Click, kAll},
        {&M::Setup1, &M::AddPlayer1, "&Add Player...", 'A', kAll, &M::AddPlayer1Click, kAll},
        {&M::Setup1, &M::UpdatePlayer1, "&Update Player...", 'U', kAll, &M::UpdatePlayer1Click,
         kAll},
        {&M::Setup1, &M::DeletePlayer1, "&Delete Player...", 'D', kAll, &M::DeletePlayer1Click,
         kAll},
        {&M::Setup1, &M::ImportPlayers1, "&Import Players...", 0, kAll, &M::ImportPlayers1Click,
         kAll},
        {&M::Setup1, nullptr, nullptr, 0, kAll, nullptr, kNever},
        {&M::Setup1, &M::CourtsAndRounds1, "&Courts and Rounds...", 'C', kPlan,
         &M::CourtsAndRounds1Click, kPlan},
        {&M::Setup1, &M::ReportHeadingandNotes1, "Report &Heading and Notes...", 0, kAll,
         &M::ReportHeadingandNotes1Click, kAll},
        {&M::Setup1, &M::Email1, "&E-mail...", 0, kAll, &M::Email1Click, kAll},
        {&M::Setup1, nullptr, nullptr, 0, kAll, nullptr, kNever},
        {&M::Setup1, &M::ClearAllResults1, "&Clear All Results", 0, kLadder,
         &M::ClearAllResults1Click, kLadder},
        {&M::Setup1, &M::ClearAllResults2, "Clear Results / Initialize &Points", 0, kLadder,
         &M::ClearAllResults2Click, kLadder},
        {&M::Setup1, &M::ClearDraw1, "&Clear Draw", 0, kDraw, &M::ClearDraw1Click, kDraw},
        {&M::Setup1, &M::ClearMatches1, "Clear &Matches", 0, kPlan, &M::ClearMatches1Click, kPlan},
        {&M::Setup1, &M::ClearPandM1, "Clear &Players and Matches", 0, kPlan, &M::ClearPandM1Click,
         kPlan},
        {&M::Options2, &M::General1, "&General...", 0, kLadder, &M::OptionsGeneral1Click, kLadder},
        {&M::Options2, &M::TraditionalSystem1, "&Traditional System...", 0, kLadder,
         &M::OptionsTraditional1Click, kLadder},
        {&M::Options2, &M::PointSystem1, "&Point System...", 0, kLadder, &M::OptionsPoint1Click,
         kLadder},
        {&M::Options2, &M::OptTourn1, "&Options...", 0, kDraw, &M::OptTourn1Click, kDraw},
        {&M::Options2, &M::OptPartyLayout1, "Report &Layout Options...", 0, kPlan,
         &M::OptPartyLayout1Click, kPlan},
        {&M::Options2, &M::OptPrint1, "P&rinting...", 0, kLadder | kDraw, &M::OptPrint1Click, kAll},
        {&M::Options2, &M::Warnings1, "&Warnings...", 0, kPlan, &M::Warnings1Click, kPlan},
        {&M::Tools1, &M::EnterResults1, "Enter &Results...", 'R', kLadder, &M::EnterResults1Click,
         kLadder},
        {&M::Tools1, &M::EnterDoublesResults1, "Enter &Doubles Results...", 0, kLadder,
         &M::EnterDoublesResults1Click, kLadder},
        {&M::Tools1, &M::PostResults1, "&Post Results...", 0, kLadder, &M::PostResults1Click,
         kLadder},
        {&M::Tools1, &M::GenerateIssue1, "&Generate Issue...", 'G', kLadder,
         &M::GenerateIssue1Click, kLadder},
        {&M::Tools1, &M::CreateDraw1, "Create Dra&w ...", 'W', kDraw, &M::CreateDraw1Click, kDraw},
        {&M::Tools1, &M::ManualDraw1, "&Manual Draw", 'M', kDraw, &M::ManualDraw1Click, kDraw},
        {&M::Tools1, &M::MatchAssignment1, "&Match Assignment...", 'M', kPlan,
         &M::MatchAssignment1Click, kPlan},
        {&M::Tools1, &M::ManualAssign1, "Manual Assi&gnment", 'G', kPlan, &M::ManualAssign1Click,
         kPlan},
        {&M::Tools1, &M::PrefPartner1, "&Preferred Partnering...", 0, kPlan, &M::PrefPartner1Click,
         kPlan},
        {&M::Tools1, &M::HostPlayer1, "Designate &Host Player", 0, kPlan, &M::HostPlayer1Click,
         kPlan},
        {&M::Tools1, &M::MatchAnalysis1, "&Warnings && Match Analysis", 'W', kPlan,
         &M::MatchAnalysis1Click, kPlan},
        {&M::Tools1, nullptr, nullptr, 0, kAll, nullptr, kNever},
        {&M::Tools1, &M::PreviewIssue1, "Pre&view Issue", 'V', kAll, &M::PreviewIssue1Click, kAll},
        {&M::Tools1, &M::SendEmail1, "&E-mail Current Issue", 'E', kAll, &M::SendEmail1Click,
         kAll},
        {&M::Tools1, nullptr, nullptr, 0, kAll, nullptr, kNever},
        {&M::Tools1, &M::CancelPendingResult1, "&Cancel Pending Result...", 0, kLadder,
         &M::CancelPendingResult1Click, kLadder},
        {&M::Tools1, &M::ExportPlayerList1, "E&xport Player List...", 0, kAll,
         &M::ExportPlayerList1Click, kAll},
        {&M::Internet1, &M::Upload1, "&Upload (Save)...", 0, kLadder, &M::Upload1Click, kLadder},
        {&M::Internet1, &M::Download1, "&Download (Open)...", 0, kLadder, &M::Download1Click,
         kLadder},
        {&M::Internet1, &M::Configure1, "&Configure...", 0, kLadder, &M::Configure1Click, kLadder},
        {&M::Help1, &M::UserManual1, "&User Manual...", 0, kAll, &M::UserManual1Click, kAll},
        {&M::Help1, nullptr, "&Samples", 0, kAll, nullptr, kNever, &M::Samples1},
        {&M::Samples1, &M::PlayerFileSpreadsheet1, "Player File (&Spreadsheet)", 0, kAll,
         &M::PlayerFileSpreadsheet1Click, kAll},
        {&M::Samples1, &M::PlayerFileText1, "Player File (&Text)", 0, kAll,
         &M::PlayerFileText1Click, kAll},
        {&M::Samples1, &M::SampleData1, "&Data - Mixer Plan", 0, kAll, &M::SampleData1Click, kAll},
        {&M::Help1, &M::AboutRostrix1, "&About Rostrix...", 0, kAll, &M::AboutRostrix1Click, kAll},
    };

    File1 = menuBar()->addMenu("&File");
    Edit = menuBar()->addMenu("&Edit");
    Setup1 = menuBar()->addMenu("&Setup");
    Options2 = menuBar()->addMenu("&Options");
    Tools1 = menuBar()->addMenu("&Tools");
    Internet1 = menuBar()->addMenu("&Internet");
    Help1 = menuBar()->addMenu("&Help");
    for (const Row& row : rows) {
        QMenu* menu = this->*row.menu;
        if (row.submenu != nullptr) {
            this->*row.submenu = menu->addMenu(row.caption);
            continue;
        }
        if (row.item == nullptr) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(row.caption);
        this->*row.item = action;
        if (row.built != kNever) connect(action, &QAction::triggered, this, row.handler);
        menuItems.push_back({action, row.kinds, row.letter, row.built, false});
        // Shortcuts of every kind stay; those of one kind come and go with it.
        if (row.kinds == kAll) SetMenuShortcut(action, row.letter);
        Offer(action, false);
    }
    Delete1->setShortcut(QKeySequence(Qt::Key_Delete));
    ManualDraw1->setCheckable(true);
    ManualAssign1->setCheckable(true);
    connect(Setup1, &QMenu::aboutToShow, this, &TMainForm::Setup1Click);
    connect(Options2, &QMenu::aboutToShow, this, &TMainForm::Options2Click);
    connect(Tools1, &QMenu::aboutToShow, this, &TMainForm::Tools1Click);
}

void TMainForm::SetMenuShortcut(QAction* item, char letter) {
    if (letter == 0)
        item->setShortcut(QKeySequence());
    else
        item->setShortcut(QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_A + (letter - 'A'))));
}

void TMainForm::Offer(QAction* item, bool offered) {
    const int kind = Settings.EventKind();
    const unsigned kindBit = kind >= 0 && kind <= 2 ? 1u << kind : 0u;
    for (MenuItem& m : menuItems)
        if (m.action == item) {
            m.offered = offered;
            item->setEnabled(offered && (m.built & kindBit) != 0);
        }
}

bool TMainForm::IsOffered(const QAction* item) const {
    for (const MenuItem& m : menuItems)
        if (m.action == item) return m.offered;
    return false;
}

void TMainForm::SetCurrentFileName(const std::string& name) {
    currentFileName = name;
    const std::string caption = name.empty()
                                    ? Settings.ProductTitle()
                                    : CurrentFileNameOnly() + " - " + Settings.ProductTitle();
    setWindowTitle(QString::fromStdString(caption));
    SetApplicationTitle(caption);
}

std::string TMainForm::CurrentFileNameOnly() const {
    return FileNameOnly(currentFileName);
}

void TMainForm::UpdateMenusForKind() {
    const int kind = Settings.EventKind();
    const unsigned kindBit = kind >= 0 && kind <= 2 ? 1u << kind : 0u;
    for (MenuItem& m : menuItems) {
        const bool shown = (m.kinds & kindBit) != 0;
        m.action->setVisible(shown);
        Offer(m.action, shown);
        // Qt drops a shortcut that two items share, so only the kind's own
        // items carry theirs.
        if (m.letter != 0 && m.kinds != kAll) SetMenuShortcut(m.action, shown ? m.letter : 0);
    }
    SampleData1->setText(Settings.IsLadder() ? "&Data - Challenge Ladder"
                         : Settings.IsDraw() ? "&Data - Tournament Draw"
                                             : "&Data - Mixer Plan");
    Internet1->menuAction()->setEnabled(Settings.IsLadder());

    ResultsPane->setVisible(Settings.IsLadder());
    DrawGrid->setVisible(!Settings.IsLadder());
    if (Settings.IsLadder()) {
        FillResultsPane();
        return;
    }
    if (Settings.IsDraw())
        SizeDrawGrid();
    else
        SizeMatchGrid();
    DrawGrid->setFocus();
}

void TMainForm::Setup1Click() {
    if (CurrentLadder != nullptr) Offer(ClearAllResults2, CurrentLadder->IsPointsSystem());
}

void TMainForm::Options2Click() {
    if (CurrentLadder == nullptr) return;
    const bool points = CurrentLadder->IsPointsSystem();
    Offer(PointSystem1, points);
    Offer(TraditionalSystem1, !points);
}

void TMainForm::Tools1Click() {
    if (!IsEventUsable()) return;
    if (Settings.IsDraw())
        ManualDraw1->setChecked(CurrentEvent->IsManualMode());
    else if (Settings.IsMatchPlan())
        ManualAssign1->setChecked(CurrentEvent->IsManualMode());
    else if (CurrentLadder != nullptr)
        Offer(EnterDoublesResults1, CurrentLadder->IsPointsSystem() && !CurrentLadder->IsDoubles());
}

bool TMainForm::CheckDataPresent(bool fullCheck) {
    const auto noData = [](const char* text) {
        MessageBox(text, "No Data", MB_OK | MB_ICONINFORMATION);
        return false;
    };
    if (!IsEventUsable() || CurrentEvent->PlayerCount() == 0)
        return noData("There is no Player data.");
    if (!fullCheck) return true;
    if (Settings.IsDraw() && CurrentEvent->ResultCount() < 1)
        return noData("The draw has not been created.");
    if (Settings.IsMatchPlan()) {
        const auto* plan = dynamic_cast<const Matches*>(CurrentEvent);
        if (plan == nullptr || plan->RoundCount() <= 0 || plan->CourtCount() <= 0)
            return noData("There is no Courts & Rounds data.");
    }
    return true;
}

void TMainForm::Delete1Click() {
    const int count = IsEventUsable() ? CurrentEvent->PlayerCount() : 0;
    if (selectionKind != 2 || selectedNumber < 1 || selectedNumber > count) {
        ShowWarning("No player is selected for deletion.");
        return;
    }
    if (!AskConfirmation("Delete player #" + std::to_string(selectedNumber))) return;
    const short code = CurrentEvent->DeletePlayer(selectedNumber);
    if (code != rcOk) ShowErrorMessage(code);
    RefreshViews();
    // The same number stays chosen while there is such a player.
    if (code == rcOk) ChoosePlayer(selectedNumber);
}

void TMainForm::AddPlayer1Click() {
    // After a failed New or Open there may be no event to add to.
    if (!IsEventUsable()) {
        ShowErrorMessage(rcNoMemory);
        return;
    }
    AUPlayerBox->PrepareAdd();
    ShowModal(*AUPlayerBox);
}

void TMainForm::UpdatePlayer1Click() {
    if (CheckDataPresent(false)) ShowModal(*UpdPlayerBox);
}

void TMainForm::DeletePlayer1Click() {
    if (CheckDataPresent(false)) ShowModal(*DelPlayerBox);
}

bool TMainForm::RunOpenDialog(const std::string& extension, const std::string& filter) {
    OpenDialog.initialDir = Settings.DataDirectory();
    OpenDialog.fileName = "*." + extension;
    OpenDialog.filter = filter;
    OpenDialog.defaultExtension = extension;
    if (!ExecuteOpenDialog(OpenDialog)) return false;
    Settings.SetDataDirectory("");
    return true;
}

bool TMainForm::RunSaveDialog(const std::string& title, const std::string& fileName,
                              const std::string& extension, const std::string& filter) {
    SaveDialog.initialDir = Settings.DataDirectory();
    SaveDialog.title = title;
    SaveDialog.fileName = fileName;
    SaveDialog.defaultExtension = extension;
    SaveDialog.filter = filter;
    if (!ExecuteSaveDialog(SaveDialog)) return false;
    if (FileExists(SaveDialog.fileName) &&
        MessageBox("Do you want to overwrite it?", "File exists!", MB_OKCANCEL | MB_ICONQUESTION) !=
            IDOK)
        return false;
    Settings.SetDataDirectory("");
    return true;
}

bool TMainForm::RunSaveTextDialog(const std::string& title, const std::string& fileName) {
    return RunSaveDialog(title, fileName, "txt", "Text files (*.txt)|*.txt|All files (*.*)|*.*");
}

bool TMainForm::LeaveManualMode() {
    // Only a match schedule has a manual mode to leave before its plan is
    // used.
    return !Settings.IsMatchPlan() || LeavePlanManualMode();
}

bool TMainForm::UploadEvent(const std::string& request) {
    if (transferRunning || !CheckDataPresent(true) || !LeaveManualMode()) return false;
    return onlineLink != nullptr && onlineLink->Upload(request);
}

void TMainForm::OpenWebPage(const std::string& address) {
    const int rc = ShellOpen(address, "");
    if (rc <= kShellLastFailure)
        MessageBox("Error trying to open web page, rc=" + std::to_string(rc) + ", url=" + address,
                   "Error", MB_OK | MB_ICONEXCLAMATION);
}

bool TMainForm::OpenInstalledFile(const std::string& path, bool messages) {
    const std::string& folder = Settings.InstallDirectory();
    if (folder.empty()) {
        if (messages) MessageBox(kNoInstallation, "Error", MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    const int rc = ShellOpen(path, folder);
    if (rc > kShellLastFailure) return true;
    if (messages)
        MessageBox("Error trying to open file, rc=" + std::to_string(rc) + ", file=" + path +
                       ", dir=" + folder,
                   "Error", MB_OK | MB_ICONEXCLAMATION);
    return false;
}

bool TMainForm::AskToSaveChanges(const char* caption) {
    if (!CurrentEvent->IsModified()) return true;
    switch (MessageBox("Do you want to save?", caption, MB_YESNOCANCEL | MB_ICONQUESTION)) {
    case IDYES:
        return SaveEvent();
    case IDNO:
        return true;
    default:
        return false;
    }
}

void TMainForm::ClearEvent() {
    if (!IsEventUsable() || !AskToSaveChanges("Data has changed!")) return;
    CurrentEvent->ClearResults(false);
    RefreshViews();
}

void TMainForm::ReportHeadingandNotes1Click() {
    ShowModal(*ReportOptionsBox);
}

void TMainForm::ClearDraw1Click() {
    ClearEvent();
}

void TMainForm::ClearMatches1Click() {
    ClearEvent();
}

void TMainForm::ClearPandM1Click() {
    if (!IsEventUsable() || !AskToSaveChanges("Data has changed!")) return;
    CurrentEvent->ClearPlayers();
    CurrentEvent->ClearResults(false);
    RefreshViews();
}

void TMainForm::OptPrint1Click() {
    ShowModal(*OptionsPrintBox);
}

void TMainForm::UserManual1Click() {
    OpenInstalledFile("doc/index.html", true);
}

void TMainForm::PlayerFileSpreadsheet1Click() {
    OpenInstalledFile("sample/importFile.xls", true);
}

void TMainForm::PlayerFileText1Click() {
    OpenInstalledFile("sample/importFile.txt", true);
}

void TMainForm::SampleData1Click() {
    // Without an installation folder there is no sample to open, and the
    // current event is not given up for one.
    if (Settings.InstallDirectory().empty()) {
        MessageBox(kNoInstallation, "Error", MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    if (CurrentEvent == nullptr) return;
    const std::string path = FindFileAnyCase(Settings.InstallDirectory() + "/sample/sample." +
                                             CurrentEvent->FileExtension());
    if (!QuerySaveChanges()) return;
    LoadEventFile(path);
    RefreshViews();
}

void TMainForm::AboutRostrix1Click() {
    ShowModal(*HelpAboutBox);
}
