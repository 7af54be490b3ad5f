#pragma once
// The main window: the kind's upper pane (the ladder's results, or the grid
// of the draw or of the match schedule), the player grid below a splitter,
// and the menus, whose items follow the kind of the current event.

#include "platform/FileDialog.h"

#include <QMainWindow>
#include <memory>
#include <string>
#include <vector>

class Canvas;
class Draw;
class Grid;
class OnlineLink;
class QAction;
class QMenu;
class QPlainTextEdit;
class QSplitter;
class Printer;
struct TRect;

class TMainForm : public QMainWindow {
    Q_OBJECT

public:
    // Parses the command line (the arguments after the program's name),
    // makes the first event and opens or imports the file it names.
    explicit TMainForm(const std::vector<std::string>& arguments);
    ~TMainForm() override;

    // Stores the current file name and shows it in the caption.
    void SetCurrentFileName(const std::string& name);
    const std::string& CurrentFileName() const { return currentFileName; }
    // The current file name without its folder.
    std::string CurrentFileNameOnly() const;

    // Shows the menu items and the upper pane of the current kind.
    void UpdateMenusForKind();
    // Shows the current event anew after any change to it.
    void RefreshViews();
    void FillPlayerGrid();
    void FillPlayerRow(int number, int row, bool partner);
    void FillResultsPane();

    // Whether the event has players and, for the full check, the kind's
    // draw or courts and rounds; says what is missing.
    bool CheckDataPresent(bool fullCheck);
    // Ends a schedule's manual assignment before the event is saved,
    // printed, previewed, sent or uploaded; false when the plan is not fit.
    bool LeaveManualMode();
    // Leaves manual assignment when the plan has no incomplete box, which
    // is otherwise shown; true when it was left.
    bool EndManualAssignment();

    // The schedule's warnings and match analysis: the command's work, also
    // run after the mixer (afterMixer set: a plan without warnings shows
    // nothing then).
    void RunMatchAnalysis(bool afterMixer);
    // The warning summary in a box; true when the user asks for the details.
    bool ShowWarningSummary(const std::vector<std::string>& summary);
    // The preview of the warnings (when given) and the match analysis.
    void ShowWarningsAndAnalysis(const std::vector<std::string>* summary,
                                 const std::vector<std::string>* details);
    // Says that the box the completeness check stored is not complete, and
    // chooses it in the grid.
    void ShowIncompleteMatch();

    // Whether the current event may be replaced: asks to save it, or after
    // an online download to upload it, and does what the answer says.
    bool QuerySaveChanges();
    // Replaces the current event with one of the same kind read from the
    // file; a failed read shows its error and leaves no file name.
    void LoadEventFile(const std::string& path);
    // Saves under the current file name (asking for one when there is
    // none); false after the error box, with the event still changed.
    bool SaveEvent();
    bool SaveEventAs();
    // The current file name with `extension` (".txt") in place of the
    // kind's own, or "*" + extension when it has another.
    std::string DefaultOutputFileName(const std::string& extension) const;

    // Uploads the current event to the online service, or with the request
    // "unlock" releases the service's update lock; true when it was done.
    bool UploadEvent(const std::string& request);
    // The online service as the save-changes check sees it; null (the
    // default) for none.
    void SetOnlineLink(OnlineLink* link) { onlineLink = link; }
    // Hands the online service's windows what they need of this one and
    // makes the online form the online link.
    void ConnectOnlineService();
    // While an online transfer runs, the commands that would replace the
    // event or start another transfer are off.
    void SetTransferRunning(bool running);
    bool TransferRunning() const { return transferRunning; }

    // Opens a web page, or a file below the installation folder, with the
    // desktop's handler; failures are shown (for a file, when asked).
    void OpenWebPage(const std::string& address);
    bool OpenInstalledFile(const std::string& path, bool messages);

    // What the player grid or the results pane chose last: 0 nothing, 1 a
    // pending ladder result, 2 a player; and its number.
    int SelectionKind() const { return selectionKind; }
    int SelectedNumber() const { return selectedNumber; }

    // The file dialogs. The first of them that ends with OK opens in the
    // data folder; later ones open where the last one was left. On OK the
    // chosen name is in OpenDialog or SaveDialog.
    bool RunOpenDialog(const std::string& extension, const std::string& filter);
    // Asks before an existing file is overwritten.
    bool RunSaveDialog(const std::string& title, const std::string& fileName,
                       const std::string& extension, const std::string& filter);
    bool RunSaveTextDialog(const std::string& title, const std::string& fileName);
    FileDialog OpenDialog;
    FileDialog SaveDialog;

    // Whether the kind and the event offer a menu item now. An offered item
    // is enabled once its command is built for the kind.
    bool IsOffered(const QAction* item) const;

    QPlainTextEdit* ResultsPane = nullptr;
    Grid* DrawGrid = nullptr;
    QSplitter* Splitter1 = nullptr;
    Grid* PlayerGrid = nullptr;

    QMenu* File1 = nullptr;
    QAction* New1 = nullptr;
    QAction* Open1 = nullptr;
    QAction* Save1 = nullptr;
    QAction* SaveAs1 = nullptr;
    QAction* Print1 = nullptr;
    QAction* PrintSetup1 = nullptr;
    QAction* PrintToFile1 = nullptr;
    QAction* PrinttoHTML1 = nullptr;
    QAction* Exit1 = nullptr;
    QMenu* Edit = nullptr;
    QAction* Delete1 = nullptr;
    QMenu* Setup1 = nullptr;
    QAction* AddPlayer1 = nullptr;
    QAction* UpdatePlayer1 = nullptr;
    QAction* DeletePlayer1 = nullptr;
    QAction* ImportPlayers1 = nullptr;
    QAction* CourtsAndRounds1 = nullptr;
    QAction* ReportHeadingandNotes1 = nullptr;
    QAction* Email1 = nullptr;
    QAction* ClearAllResults1 = nullptr;
    QAction* ClearAllResults2 = nullptr;
    QAction* ClearDraw1 = nullptr;
    QAction* ClearMatches1 = nullptr;
    QAction* ClearPandM1 = nullptr;
    QMenu* Options2 = nullptr;
    QAction* General1 = nullptr;
    QAction* TraditionalSystem1 = nullptr;
    QAction* PointSystem1 = nullptr;
    QAction* OptTourn1 = nullptr;
    QAction* OptPartyLayout1 = nullptr;
    QAction* OptPrint1 = nullptr;
    QAction* Warnings1 = nullptr;
    QMenu* Tools1 = nullptr;
    QAction* EnterResults1 = nullptr;
    QAction* EnterDoublesResults1 = nullptr;
    QAction* PostResults1 = nullptr;
    QAction* GenerateIssue1 = nullptr;
    QAction* CreateDraw1 = nullptr;
    QAction* ManualDraw1 = nullptr;
    QAction* MatchAssignment1 = nullptr;
    QAction* ManualAssign1 = nullptr;
    QAction* PrefPartner1 = nullptr;
    QAction* HostPlayer1 = nullptr;
    QAction* MatchAnalysis1 = nullptr;
    QAction* PreviewIssue1 = nullptr;
    QAction* SendEmail1 = nullptr;
    QAction* CancelPendingResult1 = nullptr;
    QAction* ExportPlayerList1 = nullptr;
    QMenu* Internet1 = nullptr;
    QAction* Upload1 = nullptr;
    QAction* Download1 = nullptr;
    QAction* Configure1 = nullptr;
    QMenu* Help1 = nullptr;
    QAction* UserManual1 = nullptr;
    QMenu* Samples1 = nullptr;
    QAction* PlayerFileSpreadsheet1 = nullptr;
    QAction* PlayerFileText1 = nullptr;
    QAction* SampleData1 = nullptr;
    QAction* AboutRostrix1 = nullptr;

private slots:
    void New1Click();
    void Open1Click();
    void Save1Click();
    void SaveAs1Click();
    void Print1Click();
    void PrintSetup1Click();
    void PrintToFile1Click();
    void PrinttoHTML1Click();
    void Exit1Click();
    void Delete1Click();
    void AddPlayer1Click();
    void UpdatePlayer1Click();
    void DeletePlayer1Click();
    void ImportPlayers1Click();
    void CourtsAndRounds1Click();
    void ReportHeadingandNotes1Click();
    void Email1Click();
    void ClearAllResults1Click();
    void ClearAllResults2Click();
    void ClearDraw1Click();
    void ClearMatches1Click();
    void ClearPandM1Click();
    void OptionsGeneral1Click();
    void OptionsTraditional1Click();
    void OptionsPoint1Click();
    void OptTourn1Click();
    void OptPartyLayout1Click();
    void OptPrint1Click();
    void Warnings1Click();
    void EnterResults1Click();
    void EnterDoublesResults1Click();
    void PostResults1Click();
    void GenerateIssue1Click();
    void CreateDraw1Click();
    void ManualDraw1Click();
    // Enters the manual draw, or leaves it once the draw is complete.
    void ToggleManualDraw();
    // The checks before an automatic draw, then its dialog: the dialog's
    // result, or mrCancel when a check stopped it.
    int MakeAutomaticDraw(Draw& draw);
    void MatchAssignment1Click();
    void ManualAssign1Click();
    // Enters manual assignment (asking for a shape when the plan has
    // none), or leaves it once no box is incomplete.
    void ToggleManualAssignment();
    void PrefPartner1Click();
    void HostPlayer1Click();
    void MatchAnalysis1Click();
    void PreviewIssue1Click();
    void SendEmail1Click();
    void CancelPendingResult1Click();
    void ExportPlayerList1Click();
    void Upload1Click();
    void Download1Click();
    void Configure1Click();
    void UserManual1Click();
    void PlayerFileSpreadsheet1Click();
    void PlayerFileText1Click();
    void SampleData1Click();
    void AboutRostrix1Click();

    // A menu opens: its items follow the event's settings.
    void Setup1Click();
    void Options2Click();
    void Tools1Click();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void PlayerGridClick();
    void PlayerGridExit();
    // Chooses player n and highlights its rows; any other n chooses nothing.
    void ChoosePlayer(int n);
    void ResultsPaneClick();
    void DrawGridDrawCell(Canvas& canvas, int col, int row, const TRect& rect, unsigned state);
    void DrawGridKeyDown(int& key, Qt::KeyboardModifiers modifiers);
    void DrawGridDblClick();
    // Paints one cell of the draw's bracket.
    void PaintDrawCell(Canvas& canvas, int col, int row, const TRect& rect);
    // Opens the result dialog of the draw match under the grid's current
    // cell, when the cell holds one.
    void OpenDrawMatch();
    // Paints one cell of the match grid: headings, or a match box.
    void PaintMatchCell(Canvas& canvas, int col, int row, const TRect& rect);
    // Opens the manual assignment of the box under the grid's current cell.
    void OpenMatchBox();
    // LeaveManualMode for a match schedule.
    bool LeavePlanManualMode();

    void FormResize();
    void Splitter1Moved();
    void FormCloseQuery(bool& canClose);
    // Clear Draw and Clear Matches.
    void ClearEvent();
    // Asks to save a changed event under the caption and saves it on Yes;
    // false when the command that asked must not go on.
    bool AskToSaveChanges(const char* caption);
    // Writes the event's report into a text or HTML file.
    void WriteReportFile(const std::string& path, unsigned char sink);
    // The system printer, made at the first use; null without one.
    Printer* ThePrinter();

    static constexpr int kPlayerGridColumns = 7;

    struct MenuItem {
        QAction* action;
        unsigned kinds; // bit 0 ladder, bit 1 draw, bit 2 match schedule
        char letter;    // Ctrl + the letter, or 0
        unsigned built; // the kinds for which the command's work exists
        bool offered;
    };

    void BuildLayout();
    void BuildMenus();
    // Gives the item Ctrl plus the letter, or no shortcut for 0.
    void SetMenuShortcut(QAction* item, char letter);
    void Offer(QAction* item, bool offered);
    void SizeDrawGrid();
    void SizeMatchGrid();
    void SetPlayerGridHeight(int height);

    std::vector<MenuItem> menuItems;
    int playerGridHeight = 0;
    float splitterRatio = 0.5f;
    int selectionKind = 0; // 0 nothing, 1 a pending ladder result, 2 a player
    int selectedNumber = 0;
    std::string currentFileName;
    OnlineLink* onlineLink = nullptr;
    std::unique_ptr<OnlineLink> httpLink;
    bool transferRunning = false;
    // The printer keeps the user's choices from one print to the next.
    std::unique_ptr<Printer> printer;
    // The result each line of the results pane shows, from line 1 on.
    std::vector<int> paneResults;
    // Whether the last double click in the upper grid hit a cell that can be
    // current; one on a heading leaves the current cell where it was.
    bool upperGridClickOnCell = true;
};

extern TMainForm* MainForm;
