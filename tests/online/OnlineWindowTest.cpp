// The online ladder service through the program's windows, as a user works
// it: the configuration, the upload, the download into a new event, the
// unlock, the refusals, and Abort during a stalled transfer; against
// lighttpd running the service's two scripts, and against in-process peers
// for the request bytes and the replies the scripts will not send.

#include "platform/Registry.h"
#include "tests/net/HttpSupport.h"
#include "tests/net/SocketPeers.h"
#include "tests/support/Players.h"
#include "tests/support/Responders.h"
#include "tests/support/Scratch.h"
#include "unified/Program.h"
#include "unified/core/rxProgram.h"
#include "unified/ladder/Ladder.h"
#include "unified/online/ConfigureOnlineBox.h"
#include "unified/online/HttpForm1.h"
#include "unified/online/InternetUploadBox.h"
#include "unified/online/onlineService.h"
#include "unified/window/MainForm.h"
#include "unified/window/eventFactory.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <thread>

namespace {

constexpr unsigned kErrorBox = MB_OK | MB_ICONEXCLAMATION;
constexpr unsigned kInformation = MB_OK | MB_ICONINFORMATION;
// Characters that a form field must carry through unchanged.
const std::string kUser = "club&co=1";
const std::string kPassword = "p+a&s=s %41;";
constexpr const char* kPendingUpload =
    "You have downloaded a file from the Internet, but you have not uploaded the file back to "
    "the Internet. \nClick Yes to upload the (possibly changed) file. \nClick No to not upload "
    "(cancels the online update lock).";

class OnlineWindow : public testing::Test {
protected:
    void SetUp() override {
        Settings = rxProgram();
        Start();
    }
    void TearDown() override { DestroyWindows(); }

    void Start() {
        DestroyWindows();
        CreateWindows({"-L"});
        MainForm->show();
        QApplication::processEvents();
    }

    // Internet > Configure with the user id.
    void Configure(const std::string& user) {
        DialogScript dialogs;
        dialogs.Expect<TConfigureOnlineBox>([&](TConfigureOnlineBox& d) {
            d.UserID->setText(QString::fromStdString(user));
            d.OKBtn->click();
        });
        MainForm->Configure1->trigger();
    }

    // The online prompt answered with the password and, when the field is
    // enabled, the file name.
    static void Prompt(DialogScript& dialogs, const std::string& password,
                       const std::string& fileName, bool* fileNameEnabled = nullptr) {
        dialogs.Expect<TInternetUploadBox>([=](TInternetUploadBox& d) {
            if (fileNameEnabled != nullptr) *fileNameEnabled = d.FileName->isEnabled();
            d.Password->setText(QString::fromStdString(password));
            if (d.FileName->isEnabled()) d.FileName->setText(QString::fromStdString(fileName));
            d.OKBtn->click();
        });
    }

    static std::string Log() { return HttpForm->DisplayMemo->toPlainText().toStdString(); }

    static std::string LadderText() {
        std::string text;
        CurrentEvent->SaveToText(text);
        return text;
    }

    // A ladder whose names and notes hold what a form field must keep.
    static void FillLadder() {
        const std::pair<const char*, const char*> names[] = {{"Zoë & Ann", "Smith=Jones"},
                                                             {"A+B", "100% Núñez"},
                                                             {"C;D", "O'Brien  two"},
                                                             {"Élodie", "Øster & Co"}};
        for (const auto& [first, last] : names)
            ASSERT_EQ(CurrentEvent->AddPlayer(Named(first, last), nullptr), rcOk);
        CurrentEvent->SetNote(1, "Fees: 5% off; a+b=c & more");
        MainForm->RefreshViews();
    }

    TempFolder registry;
    ScopedEnv registryEnv{"ROSTRIX_REGISTRY", registry.Path()};
    BoxScript boxes;
};

// lighttpd with the service's two scripts, one account and its store.
class OnlineService : public OnlineWindow {
protected:
    static void SetUpTestSuite() {
        folder_ = new TempFolder;
        namespace fs = std::filesystem;
        const std::string root = folder_->File("root");
        fs::create_directories(root + "/rxOnline");
        fs::create_directories(folder_->File("service"));
        for (const char* script : {"rxUpload.cgi", "rxDownload.cgi", "serviceStore.py"})
            fs::copy_file(std::string(ROSTRIX_SERVICE_SCRIPTS) + "/" + script,
                          root + "/rxOnline/" + script);
        std::ofstream(folder_->File("service/users")) << kUser << "\t" << kPassword << "\n";
        server_ = StartOnFreePort(
                      [&](unsigned short port) {
                          return LighttpdCommand(folder_->Path(), root, port);
                      },
                      port_)
                      .release();
    }
    static void TearDownTestSuite() {
        delete server_;
        delete folder_;
    }
    void SetUp() override {
        ASSERT_TRUE(server_->Running()) << "lighttpd did not answer";
        OnlineWindow::SetUp();
    }
    static std::string Url() { return "http://127.0.0.1:" + std::to_string(port_) + "/rxOnline"; }
    static std::string Lock(const std::string& name) {
        return folder_->File("service/locks/club%26co%3D1/" + name);
    }
    ScopedEnv serviceEnv{"ROSTRIX_ONLINE_URL", Url()};
    static TempFolder* folder_;
    static ServerProcess* server_;
    static unsigned short port_;
};
TempFolder* OnlineService::folder_ = nullptr;
ServerProcess* OnlineService::server_ = nullptr;
unsigned short OnlineService::port_ = 0;

TEST_F(OnlineService, UploadDownloadIntoANewEventAndUnlock) {
    Configure(kUser);
    FillLadder();
    const std::string uploaded = LadderText();
    {
        DialogScript dialogs;
        Prompt(dialogs, kPassword, "club-ladder_1.lad");
        boxes.Expect("Information", "Requested action completed.", kInformation);
        MainForm->Upload1->trigger();
    }
    EXPECT_FALSE(HttpForm->isVisible()) << Log();
    EXPECT_EQ(HttpForm->PendingUpdate(), 0);

    // Another machine: a new program with an empty ladder.
    Start();
    Configure(kUser);
    {
        DialogScript dialogs;
        Prompt(dialogs, kPassword, "club-ladder_1.lad");
        boxes.Expect("Information", "Download completed.", kInformation);
        MainForm->Download1->trigger();
    }
    EXPECT_EQ(LadderText(), uploaded);
    EXPECT_EQ(CurrentEvent->PlayerCount(), 4);
    EXPECT_EQ(HttpForm->PendingUpdate(), 1);
    EXPECT_TRUE(std::filesystem::exists(Lock("club-ladder_1.lad")));
    EXPECT_EQ(Log().find(kPassword), std::string::npos);
    EXPECT_NE(Log().find("pword=****"), std::string::npos) << Log();
    EXPECT_EQ(HttpForm->URLEdit->text().toStdString().find("%41"), std::string::npos);

    // Leaving asks to upload; No releases the lock without a file.
    bool fileNameEnabled = true;
    {
        DialogScript dialogs;
        boxes.Expect("Pending online update!", kPendingUpload, MB_YESNOCANCEL | MB_ICONQUESTION,
                     IDNO);
        Prompt(dialogs, kPassword, "", &fileNameEnabled);
        boxes.Expect("Information", "Requested action completed.", kInformation);
        EXPECT_TRUE(MainForm->QuerySaveChanges());
    }
    EXPECT_FALSE(fileNameEnabled);
    EXPECT_TRUE(InternetUploadBox->FileName->text().isEmpty());
    EXPECT_FALSE(std::filesystem::exists(Lock("club-ladder_1.lad")));
    EXPECT_EQ(HttpForm->PendingUpdate(), 0);
}

TEST_F(OnlineService, RefusalsLeaveTheLadderAsItWas) {
    Configure(kUser);
    FillLadder();
    const std::string before = LadderText();
    struct Case {
        const char* password;
        const char* fileName;
        const char* message;
    } cases[] = {
        {"wrong", "club.lad", "Invalid password -- download did not occur."},
        {kPassword.c_str(), "nothing-here.lad", "File not found -- download did not occur."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        DialogScript dialogs;
        // The changed ladder is saved first, or given up.
        boxes.Expect("Data has changed!", "Do you want to save?", MB_YESNOCANCEL | MB_ICONQUESTION,
                     IDNO);
        Prompt(dialogs, c.password, c.fileName);
        boxes.Expect("Error", c.message, kErrorBox);
        MainForm->Download1->trigger();
        EXPECT_EQ(LadderText(), before);
        EXPECT_EQ(HttpForm->PendingUpdate(), 0);
        EXPECT_FALSE(HttpForm->isVisible());
    }
    DialogScript dialogs;
    Prompt(dialogs, "wrong", "club.lad");
    boxes.Expect("Error", "Invalid password -- requested action did not occur.", kErrorBox);
    MainForm->Upload1->trigger();
}

TEST_F(OnlineService, AFailedUploadInTheSaveCheckStillAsksToSave) {
    Configure(kUser);
    FillLadder();
    {
        DialogScript dialogs;
        Prompt(dialogs, kPassword, "kept.lad");
        boxes.Expect("Information", "Requested action completed.", kInformation);
        MainForm->Upload1->trigger();
    }
    {
        DialogScript dialogs;
        boxes.Expect("Data has changed!", "Do you want to save?", MB_YESNOCANCEL | MB_ICONQUESTION,
                     IDNO);
        Prompt(dialogs, kPassword, "kept.lad");
        boxes.Expect("Information", "Download completed.", kInformation);
        MainForm->Download1->trigger();
    }
    ASSERT_EQ(HttpForm->PendingUpdate(), 1);
    CurrentEvent->SetNote(2, "changed since");
    DialogScript dialogs;
    boxes.Expect("Pending online update!", kPendingUpload, MB_YESNOCANCEL | MB_ICONQUESTION, IDYES);
    Prompt(dialogs, "wrong", "kept.lad");
    boxes.Expect("Error", "Invalid password -- requested action did not occur.", kErrorBox);
    boxes.Expect("Data has changed!", "Do you want to save?", MB_YESNOCANCEL | MB_ICONQUESTION,
                 IDCANCEL);
    EXPECT_FALSE(MainForm->QuerySaveChanges());
    EXPECT_EQ(HttpForm->PendingUpdate(), 1);
}

// The service replaced by an in-process peer.
class OnlinePeer : public OnlineWindow {
protected:
    void Serve(unsigned short port) {
        // The old setting is put back before the new one is made.
        serviceEnv.reset();
        serviceEnv = std::make_unique<ScopedEnv>(
            "ROSTRIX_ONLINE_URL", "http://127.0.0.1:" + std::to_string(port) + "/svc/");
    }
    std::unique_ptr<ScopedEnv> serviceEnv;
};

struct Recorded {
    std::string request;
};

// With `reset`, the connection is reset once the reply has had time to arrive.
std::function<void(int)> Answer(Recorded& recorded, std::string reply, bool reset = false) {
    return [&recorded, reply, reset](int fd) {
        recorded.request = ReadRequest(fd);
        WriteAll(fd, reply);
        if (!reset) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        const linger abortive{1, 0};
        setsockopt(fd, SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
    };
}

TEST_F(OnlinePeer, RequestBytesOfUploadUnlockAndDownload) {
    Configure(kUser);
    FillLadder();
    MainForm->SetCurrentFileName("/somewhere/club.lad");
    const std::string form = LadderText();
    const std::string ok = "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\nstatus=OK\r\n";
    const std::string head = " HTTP/1.0\r\n"
                             "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*\r\n";
    const std::string user = "userId=club%26co%3D1&pword=p%2Ba%26s%3Ds%20%2541%3B";
    for (const char* action : {"", "unlock"}) {
        SCOPED_TRACE(action);
        Recorded r;
        ScriptedPeer peer(Answer(r, ok));
        Serve(peer.port);
        const std::string body = std::string(action).empty()
                                     ? user + "&fileName=club%2Elad&fileData=" + form
                                     : user + "&action=unlock";
        DialogScript dialogs;
        Prompt(dialogs, kPassword, "club.lad");
        boxes.Expect("Information", "Requested action completed.", kInformation);
        EXPECT_TRUE(MainForm->UploadEvent(action));
        ASSERT_TRUE(peer.Finished());
        EXPECT_EQ(r.request, "POST /svc/rxUpload.cgi" + head +
                                 "Content-Type: application/x-www-form-urlencoded\r\n"
                                 "User-Agent: Mozilla/3.0 (compatible)\r\n"
                                 "Host: 127.0.0.1:" +
                                 std::to_string(peer.port) + "\r\nContent-Length: " +
                                 std::to_string(body.size()) + "\r\n\r\n" + body);
    }
    Recorded r;
    ScriptedPeer peer(Answer(r, "HTTP/1.0 200 OK\r\n\r\nstatus=FILENOTFOUND\r\n"));
    Serve(peer.port);
    DialogScript dialogs;
    Prompt(dialogs, kPassword, "club.lad");
    boxes.Expect("Data has changed!", "Do you want to save?", MB_YESNOCANCEL | MB_ICONQUESTION,
                 IDNO);
    boxes.Expect("Error", "File not found -- download did not occur.", kErrorBox);
    MainForm->Download1->trigger();
    ASSERT_TRUE(peer.Finished());
    EXPECT_EQ(r.request, "GET /svc/rxDownload.cgi?" + user + "&fileName=club%2Elad" + head +
                             "User-Agent: Mozilla/3.0 (compatible)\r\nHost: 127.0.0.1:" +
                             std::to_string(peer.port) + "\r\n\r\n");
    EXPECT_NE(Log().find("cmd> GET /svc/rxDownload.cgi?userId=club%26co%3D1&pword=****&fileName"),
              std::string::npos)
        << Log();
}

TEST_F(OnlinePeer, RepliesTheScriptsWillNotSend) {
    Configure(kUser);
    FillLadder();
    const std::string before = LadderText();
    struct Case {
        const char* name;
        std::string reply;
        const char* box; // the error box, or nothing
        bool failed;     // the request itself failed: the log stays
        bool reset = false;
        const char* reason = nullptr; // the failure's reason in the log
    } cases[] = {
        {"an empty reply", "HTTP/1.0 200 OK\r\nContent-Length: 0\r\n\r\n",
         "Unexpected error -- download probably did not occur.", false},
        {"a document cut short",
         "HTTP/1.0 200 OK\r\nContent-Length: 5000\r\n\r\nstatus=OK\r\nLadder{\r\n", nullptr, true},
        {"a server error", "HTTP/1.0 500 Internal Server Error\r\n\r\nstatus=OK\r\n", nullptr,
         true},
        {"a reply without a length cut by a reset",
         "HTTP/1.0 200 OK\r\n\r\nstatus=OK\r\nLadder{\r\n", nullptr, true, true},
        {"a relocation to a port that cannot be resolved",
         "HTTP/1.0 302 Found\r\nLocation: http://127.0.0.1:99999/svc/rxDownload.cgi\r\n\r\n",
         nullptr, true, false,
         "ReasonPhrase = can't connect: connect: WSocketResolvePort: Invalid Port."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Recorded r;
        ScriptedPeer peer(Answer(r, c.reply, c.reset));
        Serve(peer.port);
        DialogScript dialogs;
        boxes.Expect("Data has changed!", "Do you want to save?", MB_YESNOCANCEL | MB_ICONQUESTION,
                     IDNO);
        Prompt(dialogs, kPassword, "club.lad");
        if (c.box != nullptr) boxes.Expect("Error", c.box, kErrorBox);
        // A transfer that does not end is aborted, so that the test goes on.
        QObject watchdog;
        QTimer::singleShot(5000, &watchdog, [] { HttpForm->AbortButton->click(); });
        MainForm->Download1->trigger();
        EXPECT_EQ(LadderText(), before);
        EXPECT_EQ(HttpForm->PendingUpdate(), 0);
        EXPECT_TRUE(HttpForm->isVisible()) << "the log stays to be read";
        if (c.failed) {
            EXPECT_NE(Log().find("GET Failed !"), std::string::npos) << Log();
        }
        if (c.reason != nullptr) {
            EXPECT_NE(Log().find(c.reason), std::string::npos) << Log();
        }
        HttpForm->close();
    }
}

TEST_F(OnlinePeer, TheLadderStartsAfterTheStatusLineWhateverItsEnd) {
    Configure(kUser);
    Ladder source;
    source.AddPlayer(Named("Ann", "Lee"), nullptr);
    source.AddPlayer(Named("Bob", "Ray"), nullptr);
    std::string form;
    source.SaveToText(form);
    // The service's text: the form decoded, with LF line ends.
    std::string text;
    for (std::size_t i = 0; i < form.size(); ++i) {
        if (form[i] == '+')
            text += ' ';
        else if (form[i] == '%' && i + 2 < form.size()) {
            text += char(std::stoi(form.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else
            text += form[i];
    }
    std::string lf;
    for (char ch : text)
        if (ch != '\r') lf += ch;
    for (const char* statusLine : {"status=OK\n", "status=OK \r\r\n", "status=OK and more\n"}) {
        SCOPED_TRACE(statusLine);
        Start();
        Configure(kUser);
        Recorded r;
        ScriptedPeer peer(Answer(r, "HTTP/1.0 200 OK\r\n\r\n" + std::string(statusLine) + lf));
        Serve(peer.port);
        DialogScript dialogs;
        Prompt(dialogs, kPassword, "club.lad");
        boxes.Expect("Information", "Download completed.", kInformation);
        MainForm->Download1->trigger();
        EXPECT_EQ(CurrentEvent->PlayerCount(), 2);
    }
}

TEST_F(OnlinePeer, AbortEndsAStalledTransferAndNothingElseRunsMeanwhile) {
    Configure(kUser);
    FillLadder();
    const std::string before = LadderText();
    ScriptedPeer stalled([](int fd) {
        ReadRequest(fd);
        WriteAll(fd, "HTTP/1.0 200 OK\r\n\r\nstatus=OK\r\n");
        ReadUntil(fd, "never");
    });
    Serve(stalled.port);
    bool heldBack = false;
    QTimer::singleShot(300, [&] {
        heldBack = MainForm->TransferRunning() && !MainForm->New1->isEnabled() &&
                   !MainForm->Open1->isEnabled() && !MainForm->Download1->isEnabled() &&
                   !MainForm->Upload1->isEnabled() && !MainForm->QuerySaveChanges() &&
                   !MainForm->UploadEvent("") && HttpForm->AbortButton->isEnabled();
        // Nor does the log window go while the transfer runs.
        HttpForm->close();
        heldBack = heldBack && HttpForm->isVisible();
        HttpForm->AbortButton->click();
    });
    DialogScript dialogs;
    boxes.Expect("Data has changed!", "Do you want to save?", MB_YESNOCANCEL | MB_ICONQUESTION,
                 IDNO);
    Prompt(dialogs, kPassword, "club.lad");
    MainForm->Download1->trigger();
    EXPECT_TRUE(heldBack);
    EXPECT_NE(Log().find("GET Failed !\nStatusCode   = 404\nReasonPhrase = Connection aborted "
                         "on request"),
              std::string::npos)
        << Log();
    EXPECT_EQ(LadderText(), before);
    EXPECT_TRUE(HttpForm->isVisible());
    EXPECT_TRUE(MainForm->New1->isEnabled());
    EXPECT_FALSE(HttpForm->AbortButton->isEnabled());
}

TEST_F(OnlinePeer, AReplyLongerThanAnyLadderIsStoppedAndNotKept) {
    Configure(kUser);
    FillLadder();
    const std::string before = LadderText();
    ScriptedPeer flood([](int fd) {
        ReadRequest(fd);
        WriteAll(fd, "HTTP/1.0 200 OK\r\n\r\nstatus=OK\r\nLadder{\r\n");
        const std::string block(1 << 20, 'x');
        for (std::size_t sent = 0; sent < kOnlineReplyLimit + (4u << 20); sent += block.size())
            WriteAll(fd, block);
    });
    Serve(flood.port);
    DialogScript dialogs;
    boxes.Expect("Data has changed!", "Do you want to save?", MB_YESNOCANCEL | MB_ICONQUESTION,
                 IDNO);
    Prompt(dialogs, kPassword, "club.lad");
    MainForm->Download1->trigger();
    EXPECT_LE(HttpForm->HttpCli1.RcvdCount(), std::int64_t(kOnlineReplyLimit) + 65536);
    EXPECT_NE(Log().find("GET Failed !"), std::string::npos) << Log();
    EXPECT_NE(Log().find("Reply longer than " + std::to_string(kOnlineReplyLimit) + " bytes"),
              std::string::npos)
        << Log();
    EXPECT_EQ(LadderText(), before);
    EXPECT_EQ(HttpForm->PendingUpdate(), 0);
    EXPECT_TRUE(HttpForm->isVisible());
}

TEST_F(OnlineWindow, WithoutAUserIdNothingIsSent) {
    FillLadder();
    boxes.Expect("Error", "User ID must be provided in the Internet Configuration.", kErrorBox);
    MainForm->Upload1->trigger();
    EXPECT_FALSE(HttpForm->isVisible());
}

TEST_F(OnlineWindow, ConfigurationKeepsTheUserIdAndRegisterOpensThePage) {
    ScopedEnv service("ROSTRIX_ONLINE_URL", "http://127.0.0.1:8123/some/path/");
    Configure("anna");
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKeyReadOnly("\\Software\\Palomet Software\\Rostrix\\online"));
    EXPECT_EQ(reg.ReadString("userid"), "anna");
    ShellOpenScript shell;
    shell.Answer(42);
    DialogScript dialogs;
    dialogs.Expect<TConfigureOnlineBox>([](TConfigureOnlineBox& d) {
        EXPECT_EQ(d.UserID->text(), "anna");
        d.RegisterBtn->click();
        d.CancelBtn->click();
    });
    MainForm->Configure1->trigger();
    ASSERT_EQ(shell.Seen().size(), 1u);
    EXPECT_EQ(shell.Seen()[0].target, "http://127.0.0.1:8123/rxOnline/index.html");
}

TEST_F(OnlineWindow, ThePromptRefusesBadNames) {
    const std::pair<const char*, const char*> cases[] = {
        {"", "File Name is required."},
        {".lad", "Online file name must end in .lad\n(lower case)"},
        {"club.LAD", "Online file name must end in .lad\n(lower case)"},
        {"my club.lad",
         "Online file name may only contain\nletters, numbers, and the following special "
         "characters:\nhyphen, underscore, period.\n(Blanks are not allowed.)"},
        {"../x.lad",
         "Online file name may only contain\nletters, numbers, and the following special "
         "characters:\nhyphen, underscore, period.\n(Blanks are not allowed.)"},
        {"Club-2_b.lad", ""},
    };
    for (const auto& [name, fault] : cases)
        EXPECT_EQ(TInternetUploadBox::FileNameFault(name), fault) << name;
}

} // namespace
