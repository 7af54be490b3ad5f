// The file commands through the real window and a real ladder: the question
// before the event is replaced, open, save, the report files, the player
// lists, printing, and what a failed save leaves behind.

#include "unified/window/MainForm.h"

#include "platform/Environment.h"
#include "platform/widgets/Grid.h"
#include "tests/support/PdfText.h"
#include "tests/support/Players.h"
#include "tests/support/Responders.h"
#include "tests/support/Scratch.h"
#include "unified/Program.h"
#include "unified/core/RXEvent.h"
#include "unified/core/rxProgram.h"
#include "unified/core/rxreport.h"
#include "unified/dialogparts/RadioGroup.h"
#include "unified/ladder/Ladder.h"
#include "unified/window/NewEventBox.h"
#include "unified/window/PreviewBox.h"
#include "unified/window/eventFactory.h"
#include "unified/window/onlineLink.h"

#include <QAction>
#include <QApplication>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/resource.h>

namespace {

constexpr unsigned kQuestion = MB_YESNOCANCEL | MB_ICONQUESTION;
constexpr unsigned kExclamation = MB_OK | MB_ICONEXCLAMATION;

class FileCommands : public testing::Test {
protected:
    void SetUp() override {
        Settings = rxProgram();
        Start({"-L"});
    }
    void TearDown() override { DestroyWindows(); }

    void Start(const std::vector<std::string>& arguments) {
        DestroyWindows();
        CreateWindows(arguments);
        MainForm->show();
        QApplication::processEvents();
    }

    // Players added through the ladder, which marks it changed.
    static void AddPlayers(std::initializer_list<const char*> firstNames) {
        for (const char* first : firstNames)
            ASSERT_EQ(CurrentEvent->AddPlayer(Named(first, "Smith"), nullptr), rcOk) << first;
    }

    // Saves under a new name through Save As.
    void SaveAs(const std::string& path) {
        FileDialogScript files;
        files.Answer(path);
        MainForm->SaveAs1->trigger();
        ASSERT_FALSE(CurrentEvent->IsModified());
    }

    static std::vector<std::string> FileNames(const std::string& folder) {
        std::vector<std::string> names;
        if (DIR* dir = opendir(folder.c_str())) {
            while (const dirent* entry = readdir(dir))
                if (entry->d_name[0] != '.') names.push_back(entry->d_name);
            closedir(dir);
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    TempFolder folder;
};

// What each command that replaces the event does once the question lets it
// go on; it is cancelled there.
struct Replacing {
    const char* name;
    QAction* TMainForm::*item;
    void (*scriptGoingOn)(DialogScript&, FileDialogScript&);
    bool (*wentOn)();
};

bool WindowClosed() {
    return !MainForm->isVisible();
}

const Replacing kReplacing[] = {
    {"New", &TMainForm::New1,
     [](DialogScript& dialogs, FileDialogScript&) {
         dialogs.Expect<TNewEventBox>([](TNewEventBox& d) { d.CancelBtn->click(); });
     },
     nullptr},
    {"Open", &TMainForm::Open1,
     [](DialogScript&, FileDialogScript& files) { files.Answer(std::nullopt); }, nullptr},
    {"Exit", &TMainForm::Exit1, [](DialogScript&, FileDialogScript&) {}, WindowClosed},
};

} // namespace

TEST_F(FileCommands, NewOpenAndExitAskToSaveAChangedEventAndObeyTheAnswer) {
    struct Case {
        const char* name;
        bool changed;
        int answer;
        const char* fileName; // the event's file, "" for none
        const char* saveAsTo; // the Save As answer when there is no file; "" cancels
        bool saveFails;
        bool goesOn;
        const char* saved; // the file that then holds the event, or null
    };
    const Case cases[] = {
        {"unchanged", false, 0, "", nullptr, false, true, nullptr},
        {"cancel", true, IDCANCEL, "club.lad", nullptr, false, false, nullptr},
        {"no", true, IDNO, "club.lad", nullptr, false, true, nullptr},
        {"yes saves", true, IDYES, "club.lad", nullptr, false, true, "club.lad"},
        {"yes, the save fails", true, IDYES, "gone/club.lad", nullptr, true, false, nullptr},
        {"yes, Save As", true, IDYES, "", "named.lad", false, true, "named.lad"},
        {"yes, Save As cancelled", true, IDYES, "", "", false, false, nullptr},
    };
    for (const Replacing& command : kReplacing)
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(command.name) + ", " + c.name);
            Start({"-L"});
            if (c.changed) AddPlayers({"Ann", "Bob"});
            if (*c.fileName != '\0') MainForm->SetCurrentFileName(folder.File(c.fileName));
            BoxScript boxes;
            DialogScript dialogs;
            FileDialogScript files;
            if (c.changed)
                boxes.Expect("Data has changed!", "Do you want to save?", kQuestion, c.answer);
            if (c.saveAsTo != nullptr)
                files.Answer(*c.saveAsTo == '\0' ? std::nullopt
                                                 : std::optional(folder.File(c.saveAsTo)));
            if (c.saveFails) boxes.Expect("Error", "Error writing file.", kExclamation);
            if (c.goesOn) command.scriptGoingOn(dialogs, files);
            RXEvent* const before = CurrentEvent;

            (MainForm->*command.item)->trigger();

            if (command.wentOn != nullptr) {
                EXPECT_EQ(command.wentOn(), c.goesOn);
            }
            if (!c.goesOn) {
                EXPECT_EQ(CurrentEvent, before);
                EXPECT_TRUE(CurrentEvent->IsModified());
                EXPECT_EQ(CurrentEvent->PlayerCount(), 2);
                EXPECT_TRUE(MainForm->isVisible());
            }
            if (c.saved != nullptr) {
                Ladder saved;
                ASSERT_EQ(saved.Load(folder.File(c.saved)), rcOk);
                EXPECT_EQ(saved.PlayerCount(), 2);
                std::remove(folder.File(c.saved).c_str());
            } else {
                EXPECT_EQ(FileNames(folder.Path()), std::vector<std::string>{});
            }
        }
}

namespace {

class Online : public OnlineLink {
public:
    bool DownloadAwaitsUpload() const override { return true; }
    bool Upload(const std::string& request) override {
        requests.push_back(request);
        return uploads;
    }
    bool uploads = true;
    std::vector<std::string> requests;
};

constexpr const char* kPendingUpload =
    "You have downloaded a file from the Internet, but you have not uploaded the file back to "
    "the Internet. \nClick Yes to upload the (possibly changed) file. \nClick No to not upload "
    "(cancels the online update lock).";

} // namespace

TEST_F(FileCommands, AfterADownloadTheCheckUploadsAndAFailedUploadAsksToSave) {
    struct Case {
        int answer;
        bool uploads;
        const char* request;
        int saveAnswer; // to "Do you want to save?" after a failed upload; 0 none
        bool closes;
    };
    const Case cases[] = {
        {IDYES, true, "", 0, true},          {IDNO, true, "unlock", 0, true},
        {IDYES, false, "", IDCANCEL, false}, {IDNO, false, "unlock", IDNO, true},
        {IDCANCEL, true, nullptr, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.answer) + (c.uploads ? " uploads" : " fails"));
        Start({"-L"});
        AddPlayers({"Ann"});
        Online online;
        online.uploads = c.uploads;
        MainForm->SetOnlineLink(&online);
        BoxScript boxes;
        // This question takes the place of the save question, which comes
        // only when the upload failed: the edited ladder is never lost unasked.
        boxes.Expect("Pending online update!", kPendingUpload, kQuestion, c.answer);
        if (c.saveAnswer != 0)
            boxes.Expect("Data has changed!", "Do you want to save?", kQuestion, c.saveAnswer);
        MainForm->Exit1->trigger();
        EXPECT_EQ(WindowClosed(), c.closes);
        EXPECT_EQ(online.requests, c.request == nullptr ? std::vector<std::string>{}
                                                        : std::vector<std::string>{c.request});
        MainForm->SetOnlineLink(nullptr);
    }
    // An upload needs players, like every upload; with nothing changed there
    // is nothing to save and the command goes on.
    Start({"-L"});
    Online online;
    MainForm->SetOnlineLink(&online);
    BoxScript boxes;
    boxes.Expect("Pending online update!", kPendingUpload, kQuestion, IDYES)
        .Expect("No Data", "There is no Player data.", MB_OK | MB_ICONINFORMATION);
    EXPECT_TRUE(MainForm->QuerySaveChanges());
    EXPECT_TRUE(online.requests.empty());
    MainForm->SetOnlineLink(nullptr);
    // The download was a ladder: another kind of event now in the window is
    // not it, and uploading it would put no ladder over the online one.
    for (const char* kind : {"-T", "-P"}) {
        SCOPED_TRACE(kind);
        Start({kind});
        AddPlayers({"Ann"});
        Online pending;
        MainForm->SetOnlineLink(&pending);
        BoxScript saveOnly;
        saveOnly.Expect("Data has changed!", "Do you want to save?", kQuestion, IDCANCEL);
        EXPECT_FALSE(MainForm->QuerySaveChanges());
        EXPECT_TRUE(pending.requests.empty());
        MainForm->SetOnlineLink(nullptr);
    }
}

TEST_F(FileCommands, OpenLoadsTheFileAndABadFileLeavesAnEmptyUsableWindow) {
    AddPlayers({"Ann", "Bob"});
    SaveAs(folder.File("club.lad"));
    WriteFile(folder.File("bad.lad"), "not a ladder\r\n");

    BoxScript boxes;
    FileDialogScript files;
    files.Answer(folder.File("bad.lad"));
    boxes.Expect("Error", "Bad data in file.", kExclamation);
    MainForm->Open1->trigger();
    ASSERT_TRUE(CurrentLadder != nullptr);
    EXPECT_EQ(CurrentEvent->PlayerCount(), 0);
    EXPECT_EQ(MainForm->CurrentFileName(), "");
    EXPECT_EQ(MainForm->windowTitle(), "Rostrix");
    EXPECT_EQ(MainForm->PlayerGrid->RowCount(), 2);
    EXPECT_EQ(files.Seen()[0].dialog.fileName, "*.lad");
    EXPECT_EQ(files.Seen()[0].dialog.filter, "Ladder files (*.lad)|*.lad|All files (*.*)|*.*");

    // The window goes on working: a player is added, and a good file opens.
    AddPlayers({"Cal"});
    boxes.Expect("Data has changed!", "Do you want to save?", kQuestion, IDNO);
    files.Answer(folder.File("club.lad"));
    MainForm->Open1->trigger();
    EXPECT_EQ(MainForm->windowTitle(), "club.lad - Rostrix");
    EXPECT_EQ(MainForm->CurrentFileName(), folder.File("club.lad"));
    EXPECT_FALSE(CurrentEvent->IsModified());
    EXPECT_EQ(MainForm->PlayerGrid->Cell(3, 2), "Bob Smith");
}

TEST_F(FileCommands, AnOpenWhoseEventCannotBeMadeLeavesNoFileNameAndTheNextOpenWorks) {
    AddPlayers({"Ann"});
    SaveAs(folder.File("club.lad"));
    const EventMaker saved = SetEventMaker(0, [] { return static_cast<RXEvent*>(nullptr); });
    BoxScript boxes;
    FileDialogScript files;
    files.Answer(folder.File("club.lad"));
    boxes.Expect("Error", "Cannot allocate enough memory.", kExclamation);
    MainForm->Open1->trigger();
    SetEventMaker(0, saved);
    EXPECT_EQ(CurrentEvent, nullptr);
    EXPECT_EQ(MainForm->windowTitle(), "Rostrix");
    EXPECT_EQ(MainForm->PlayerGrid->RowCount(), 2);

    // Without an event any file may be chosen, and nothing asks to save.
    files.Answer(folder.File("club.lad"));
    MainForm->Open1->trigger();
    EXPECT_EQ(files.Seen()[1].dialog.filter, "All files (*.*)|*.*");
    ASSERT_NE(CurrentEvent, nullptr);
    EXPECT_EQ(CurrentEvent->PlayerCount(), 1);
    EXPECT_EQ(MainForm->windowTitle(), "club.lad - Rostrix");
}

TEST_F(FileCommands, AddPlayerWithoutAnEventSaysSo) {
    const EventMaker saved = SetEventMaker(0, [] { return static_cast<RXEvent*>(nullptr); });
    BoxScript boxes;
    FileDialogScript files;
    files.Answer(folder.File("club.lad"));
    boxes.Expect("Error", "Cannot allocate enough memory.", kExclamation)
        .Expect("Error", "Cannot allocate enough memory.", kExclamation);
    MainForm->Open1->trigger();
    SetEventMaker(0, saved);
    ASSERT_EQ(CurrentEvent, nullptr);
    MainForm->AddPlayer1->trigger(); // no box to add to a missing event
}

TEST_F(FileCommands, SaveAsAsksBeforeOverwriting) {
    AddPlayers({"Ann", "Bob"});
    const std::string club = folder.File("club.lad");
    WriteFile(club, "old");
    BoxScript boxes;
    FileDialogScript files;
    files.Answer(club).Answer(club);
    boxes.Expect("File exists!", "Do you want to overwrite it?", MB_OKCANCEL | MB_ICONQUESTION,
                 IDCANCEL);
    MainForm->SaveAs1->trigger();
    EXPECT_EQ(ReadFile(club), "old");
    EXPECT_TRUE(CurrentEvent->IsModified());
    EXPECT_EQ(MainForm->CurrentFileName(), "");
    boxes.Expect("File exists!", "Do you want to overwrite it?", MB_OKCANCEL | MB_ICONQUESTION,
                 IDOK);
    MainForm->SaveAs1->trigger();
    EXPECT_EQ(ReadFile(club).substr(0, 9), "Ladder{\r\n");
    EXPECT_EQ(MainForm->windowTitle(), "club.lad - Rostrix");
    EXPECT_FALSE(CurrentEvent->IsModified());
    EXPECT_EQ(files.Seen()[1].dialog.title, "Save As");
    EXPECT_EQ(files.Seen()[1].dialog.defaultExtension, "lad");
}

namespace {

// Every write beyond `bytes` into any file of the process fails, as on a
// full disk. The signal that such a write raises is not touched here: the
// program ignores it from its start, or the write would end the process.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &previous_);
        rlimit limit = previous_;
        limit.rlim_cur = bytes;
        EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &previous_); }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit previous_{};
};

} // namespace

TEST_F(FileCommands, ASaveOnAFullDiskLeavesTheOldFileWholeAndTheEventChanged) {
    AddPlayers({"Ann", "Bob"});
    const std::string club = folder.File("club.lad");
    SaveAs(club);
    const std::string old = ReadFile(club);
    for (const char* first : {"Cal", "Dee", "Eve", "Fay", "Gus", "Hal", "Ivy", "Jon"})
        AddPlayers({first});

    BoxScript boxes;
    {
        FileSizeLimit full(old.size() + 10);
        boxes.Expect("Error", "Error writing file.", kExclamation);
        MainForm->Save1->trigger();
        // Exit saves first, and the failed save keeps the window open.
        boxes.Expect("Data has changed!", "Do you want to save?", kQuestion, IDYES)
            .Expect("Error", "Error writing file.", kExclamation);
        MainForm->Exit1->trigger();
    }
    EXPECT_EQ(ReadFile(club), old);
    EXPECT_EQ(FileNames(folder.Path()), std::vector<std::string>{"club.lad"})
        << "no temporary left";
    EXPECT_TRUE(CurrentEvent->IsModified());
    EXPECT_EQ(MainForm->CurrentFileName(), club);
    EXPECT_TRUE(MainForm->isVisible());

    // With room on the disk the same save goes through.
    MainForm->Save1->trigger();
    Ladder saved;
    ASSERT_EQ(saved.Load(club), rcOk);
    EXPECT_EQ(saved.PlayerCount(), 10);
}

TEST_F(FileCommands, OutputNamesFollowTheEventFile) {
    const std::pair<const char*, const char*> names[] = {
        {"/club/spring.lad", "/club/spring.txt"},
        {"/club/spring.LAD", "/club/spring.txt"},
        {"", "*.txt"},
        {"lad", "*.txt"},
        {"/club/spring.trn", "*.txt"},
        {"/club/spring", "*.txt"},
    };
    for (const auto& [file, output] : names) {
        MainForm->SetCurrentFileName(file);
        EXPECT_EQ(MainForm->DefaultOutputFileName(".txt"), output) << file;
    }
    MainForm->SetCurrentFileName("/club/spring.lad");
    EXPECT_EQ(MainForm->DefaultOutputFileName(".html"), "/club/spring.html");
}

TEST_F(FileCommands, PrintToFileAndToHtmlWriteTheReport) {
    ScopedFixedDate day(2024, 3, 15);
    AddPlayers({"Ann", "Bob"});
    CurrentEvent->SetHeading("Spring <Ladder>");
    MainForm->SetCurrentFileName(folder.File("club.lad"));
    FileDialogScript files;
    files.Answer(folder.File("report.txt")).Answer(folder.File("report.htm"));
    MainForm->PrintToFile1->trigger();
    MainForm->PrinttoHTML1->trigger();

    std::vector<std::string> lines;
    {
        rxReport list(lines);
        CurrentEvent->PrintReport(list);
    }
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    EXPECT_EQ(ReadFile(folder.File("report.txt")), text);
    const std::string html = ReadFile(folder.File("report.htm"));
    EXPECT_NE(html.find("<title>Spring &lt;Ladder&gt;</title>"), std::string::npos);
    EXPECT_NE(html.find("Smith"), std::string::npos);
    EXPECT_EQ(html.substr(html.size() - 9), "</html>\r\n");

    ASSERT_EQ(files.Seen().size(), 2u);
    EXPECT_EQ(files.Seen()[0].dialog.title, "Print to File");
    EXPECT_EQ(files.Seen()[0].dialog.fileName, folder.File("club.txt"));
    EXPECT_EQ(files.Seen()[1].dialog.title, "Print to HTML");
    EXPECT_EQ(files.Seen()[1].dialog.fileName, folder.File("club.html"));
    EXPECT_EQ(files.Seen()[1].dialog.defaultExtension, "htm");
    EXPECT_EQ(files.Seen()[1].dialog.filter,
              "HTML files (*.html)|*.html|HTML files (*.htm)|*.htm|All files (*.*)|*.*");
}

TEST_F(FileCommands, PrintGoesToThePrinterChosenInThePrintDialog) {
    ASSERT_EQ(std::system("command -v pdftotext >/dev/null"), 0) << "pdftotext is missing";
    AddPlayers({"Ann", "Bob"});
    PrintOptions options = CurrentEvent->PrintOpts();
    options.orientation = 2;
    CurrentEvent->SetPrintOptions(options);
    const std::string pdf = folder.File("printed.pdf");
    DialogScript dialogs;
    dialogs.Expect<QPrintDialog>([](QPrintDialog& d) { d.done(mrCancel); })
        .Expect<QPrintDialog>([&](QPrintDialog& d) {
            d.printer()->setOutputFormat(QPrinter::PdfFormat);
            d.printer()->setOutputFileName(QString::fromStdString(pdf));
            d.done(mrOk);
        });
    MainForm->Print1->trigger();
    EXPECT_FALSE(FileExists(pdf)) << "Cancel prints nothing";
    MainForm->Print1->trigger();
    const std::vector<std::string> pages = PdfTextPages(pdf);
    ASSERT_FALSE(pages.empty());
    EXPECT_NE(pages[0].find("Smith"), std::string::npos);
    // The event's orientation turned the page.
    const std::string info = CommandOutput("pdfinfo '" + pdf + "'");
    double width = 0, height = 0;
    const std::size_t size = info.find("Page size:");
    ASSERT_NE(size, std::string::npos) << info;
    ASSERT_EQ(std::sscanf(info.c_str() + size, "Page size: %lf x %lf", &width, &height), 2);
    EXPECT_GT(width, height);

    // A job that cannot start says so rather than print nothing in silence.
    dialogs.Expect<QPrintDialog>([&](QPrintDialog& d) {
        d.printer()->setOutputFormat(QPrinter::PdfFormat);
        d.printer()->setOutputFileName(QString::fromStdString(folder.File("gone/printed.pdf")));
        d.done(mrOk);
    });
    BoxScript boxes;
    boxes.Expect("Error", "Unable to start printing.", kExclamation);
    MainForm->Print1->trigger();
}

TEST_F(FileCommands, ImportAndExportGoThroughThePlayerList) {
    Start({"-L", "-u"});
    const Player amy = Named("Amy", "Jones");
    ASSERT_EQ(CurrentEvent->AddPlayer(Named("Ann", "Smith"), &amy), rcOk);
    MainForm->SetCurrentFileName(folder.File("club.lad"));
    FileDialogScript files;
    BoxScript boxes;
    files.Answer(folder.File("gone/players.txt")).Answer(folder.File("players.txt"));
    boxes.Expect("Error", "Error writing file.", kExclamation);
    MainForm->ExportPlayerList1->trigger();
    MainForm->ExportPlayerList1->trigger();
    EXPECT_EQ(files.Seen()[0].dialog.title, "Export Player List");
    EXPECT_EQ(files.Seen()[0].dialog.fileName, folder.File("club.txt"));

    // Importing replaces the event after a warning; Cancel there, or in the
    // file dialog, changes nothing.
    const std::string overwritten = "Existing player list and event data will be overwritten.";
    const unsigned okCancel = MB_OKCANCEL | MB_ICONEXCLAMATION;
    boxes.Expect("Warning", overwritten, okCancel, IDCANCEL)
        .Expect("Warning", overwritten, okCancel, IDOK)
        .Expect("Warning", overwritten, okCancel, IDOK);
    files.Answer(std::nullopt).Answer(folder.File("players.txt"));
    RXEvent* const before = CurrentEvent;
    MainForm->ImportPlayers1->trigger();
    MainForm->ImportPlayers1->trigger();
    EXPECT_EQ(CurrentEvent, before);
    EXPECT_EQ(MainForm->CurrentFileName(), folder.File("club.lad"));
    // The exported list comes back into a new doubles ladder, pairs and all.
    MainForm->ImportPlayers1->trigger();
    EXPECT_NE(CurrentEvent, before);
    EXPECT_EQ(files.Seen().back().dialog.filter, "Text files (*.txt)|*.txt|All files (*.*)|*.*");
    ASSERT_EQ(CurrentEvent->PlayerCount(), 1);
    EXPECT_TRUE(CurrentEvent->IsDoubles());
    EXPECT_EQ(MainForm->PlayerGrid->Cell(3, 2), "Amy Jones");
    EXPECT_EQ(MainForm->CurrentFileName(), "");
    EXPECT_TRUE(CurrentEvent->IsModified());

    // The import's code is shown; a list that gives no player leaves the
    // event it was to replace as it was.
    RXEvent* const imported = CurrentEvent;
    boxes.Expect("Warning", overwritten, okCancel, IDOK)
        .Expect("Error", "Error attempting to open file.", kExclamation);
    files.Answer(folder.File("missing.txt"));
    MainForm->ImportPlayers1->trigger();
    EXPECT_EQ(CurrentEvent, imported);
    EXPECT_EQ(CurrentEvent->PlayerCount(), 1);
    EXPECT_EQ(MainForm->PlayerGrid->Cell(3, 2), "Amy Jones");
    // A list that stops part-way keeps the players read before the stop
    // (the ladder is doubles: the rows come in pairs).
    WriteFile(folder.File("part.txt"), "First Name\tLast Name\r\nAnn\tBaker\r\nBob\tCole\r\n"
                                       "Ann\tBaker\r\nDan\tDunn\r\n");
    boxes.Expect("Warning", overwritten, okCancel, IDOK)
        .Expect("Error", "Duplicate player name not allowed.", kExclamation);
    files.Answer(folder.File("part.txt"));
    MainForm->ImportPlayers1->trigger();
    EXPECT_NE(CurrentEvent, imported);
    ASSERT_EQ(CurrentEvent->PlayerCount(), 1);
    EXPECT_EQ(CurrentEvent->PlayerDisplayName(1), "Baker, Ann");
}

TEST_F(FileCommands, CommandsThatNeedPlayersStopWithoutThem) {
    MainForm->SetCurrentFileName(folder.File("club.lad"));
    BoxScript boxes;
    for (QAction* item :
         {MainForm->Save1, MainForm->SaveAs1, MainForm->Print1, MainForm->PrintToFile1,
          MainForm->PrinttoHTML1, MainForm->PreviewIssue1, MainForm->ExportPlayerList1,
          MainForm->PostResults1, MainForm->GenerateIssue1}) {
        ASSERT_TRUE(item->isEnabled()) << item->text().toStdString();
        boxes.Expect("No Data", "There is no Player data.", MB_OK | MB_ICONINFORMATION);
        item->trigger();
    }
    EXPECT_FALSE(FileExists(folder.File("club.lad")));
    EXPECT_FALSE(PreviewBox->isVisible());
}

TEST_F(FileCommands, NewReplacesTheEventWithTheKindChosen) {
    AddPlayers({"Ann"});
    MainForm->SetCurrentFileName(folder.File("club.lad"));
    BoxScript boxes;
    DialogScript dialogs;
    boxes.Expect("Data has changed!", "Do you want to save?", kQuestion, IDNO);
    dialogs.Expect<TNewEventBox>([](TNewEventBox& d) {
        d.EventProg->Button(1)->click();
        d.EventType->Button(1)->click();
        d.OKBtn->click();
    });
    MainForm->New1->trigger();
    EXPECT_TRUE(Settings.IsDraw());
    EXPECT_TRUE(CurrentEvent->IsDoubles());
    EXPECT_EQ(CurrentEvent->PlayerCount(), 0);
    EXPECT_EQ(MainForm->windowTitle(), "Rostrix");
    EXPECT_TRUE(MainForm->DrawGrid->isVisible()) << "the menus and panes follow the kind";
    EXPECT_TRUE(MainForm->CreateDraw1->isVisible());
    EXPECT_EQ(MainForm->SampleData1->text(), "&Data - Tournament Draw");
}

TEST_F(FileCommands, PreviewShowsTheReportWithoutBlocking) {
    AddPlayers({"Ann", "Bob"});
    MainForm->PreviewIssue1->trigger();
    ASSERT_TRUE(PreviewBox->isVisible());
    EXPECT_EQ(PreviewBox->windowTitle(), "Preview Issue");
    EXPECT_NE(PreviewBox->Preview->toPlainText().indexOf("Smith"), -1);
    // A second preview shows the event as it is now.
    AddPlayers({"Cal"});
    MainForm->PreviewIssue1->trigger();
    EXPECT_NE(PreviewBox->Preview->toPlainText().indexOf("Cal"), -1);
    PreviewBox->close();
}
