// E-mailing the report as the organiser does it: the settings through
// Setup > E-mail, then Tools > E-mail Current Issue against a real mail
// server, and what the server received.

#include "unified/online/MailSndForm.h"
#include "net/WSocket.h"
#include "platform/Registry.h"
#include "tests/net/SocketPeers.h"
#include "tests/net/WinsockSupport.h"
#include "tests/support/Players.h"
#include "tests/support/Responders.h"
#include "tests/support/Scratch.h"
#include "unified/Program.h"
#include "unified/core/RXEvent.h"
#include "unified/core/rxProgram.h"
#include "unified/core/rxreport.h"
#include "unified/online/EmailSendBox.h"
#include "unified/online/SetupEmailBox.h"
#include "unified/schedule/Matches.h"
#include "unified/window/MainForm.h"
#include "unified/window/eventFactory.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <thread>

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find("\r\n", at);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(at, end - at));
        at = end + 2;
    }
    return lines;
}

// Every label, check box and button of the window not hidden has the room
// its text asks for.
void ExpectLabelsWhole(const QWidget& window) {
    for (const QWidget* widget : window.findChildren<QWidget*>()) {
        if (widget->isHidden()) continue;
        const auto* label = qobject_cast<const QLabel*>(widget);
        const auto* button = qobject_cast<const QAbstractButton*>(widget);
        if (label == nullptr && button == nullptr) continue;
        const QString text = label != nullptr ? label->text() : button->text();
        EXPECT_GE(widget->width(), widget->sizeHint().width()) << text.toStdString();
        EXPECT_GE(widget->height(), widget->sizeHint().height()) << text.toStdString();
    }
}

// The edit's text fits inside its frame and the edit's own margin of 2
// pixels a side.
void ExpectFieldWhole(const QLineEdit* edit) {
    const int frame = edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, edit);
    EXPECT_LE(edit->fontMetrics().horizontalAdvance(edit->displayText()),
              edit->width() - 2 * (frame + 2))
        << edit->text().toStdString();
}

class EmailReport : public testing::Test {
protected:
    void SetUp() override {
        Settings = rxProgram();
        server = StartOnFreePort(
            [&](unsigned short p) {
                return std::vector<std::string>{"/usr/bin/python3", SMTP_SERVER_SCRIPT,
                                                std::to_string(p), mailFolder.Path()};
            },
            port);
        ASSERT_TRUE(server->Running());
        SetMailServerPortForTests(std::to_string(port));
    }
    void TearDown() override {
        DestroyWindows();
        SetMailServerPortForTests("25");
        server.reset();
    }

    // Setup > E-mail, filled in as the organiser types it.
    void ConfigureEmail(const std::string& address) {
        DialogScript dialogs;
        dialogs.Expect<TSetupEmailBox>([&](TSetupEmailBox& box) {
            box.FromName->setText("Club Organiser");
            box.FromAddress->setText(QString::fromStdString(address));
            box.SmtpServer->setText("127.0.0.1");
            box.Auth->setChecked(true);
            box.UserID->setText("alice");
            box.OK->click();
        });
        MainForm->Email1->trigger();
    }

    // An event of 30 players (a ladder unless another kind is named); 25
    // have an address, one of them with a CR in it and one of nothing but
    // blanks.
    void ThirtyPlayers(const std::string& kind = "-L") {
        CreateWindows({kind});
        for (int n = 1; n <= 30; ++n) {
            Player p =
                Named(n == 3 ? "Zoë" : "First" + std::to_string(n), "Last" + std::to_string(n));
            if (n == 9)
                p.email = "   ";
            else if (n <= 25)
                p.email = "p" + std::to_string(n) + "@example.org";
            ASSERT_EQ(CurrentEvent->AddPlayer(p, nullptr), 0) << n;
        }
        // The dialogs take no line break; an older file may bring one.
        CurrentEvent->Player(7)->email = "p7@example.org\r\nRCPT TO:<evil@example.org>";        if (auto* plan = dynamic_cast<Matches*>(CurrentEvent)) {
            // Two doubles courts for a round: enough for the report.
            std::string notations[100];
            ASSERT_TRUE(plan->SetCourts(2, 'D') && plan->SetRounds(1, notations));
        }
    }

    TempFolder registryFolder;
    ScopedEnv registry{"ROSTRIX_REGISTRY", registryFolder.Path()};
    TempFolder mailFolder;
    unsigned short port = 0;
    std::unique_ptr<ServerProcess> server;
};

TEST_F(EmailReport, TheReportReachesEveryPlayerWithAnAddress) {
    ThirtyPlayers();
    ConfigureEmail("org@example.org");
    {
        TRegistry settings;
        ASSERT_TRUE(settings.OpenKeyReadOnly(kEmailSettingsKey));
        EXPECT_EQ(settings.ReadString("auth"), "1");
        EXPECT_EQ(settings.ReadString("userId"), "alice");
    }

    DialogScript dialogs;
    dialogs.Expect<TEmailSendBox>([](TEmailSendBox& box) {
        EXPECT_TRUE(box.Password->isEnabled());
        box.Subject->setText("Ladder for Zoë's club");
        box.Password->setText("secret");
        box.OK->click();
    });
    BoxScript boxes;
    boxes.Expect("Confirm e-mail sending", "Sending to 24 email addresses.",
                 MB_OKCANCEL | MB_ICONQUESTION, IDOK);
    boxes.Expect("Information", "E-mail operation completed.", MB_OK);
    MainForm->SendEmail1->trigger();
    EXPECT_FALSE(MailSndForm->isVisible());
    // Closed now, the window keeps the places it gave its texts: the sender
    // and the subject whole, and of the recipients, more than any window
    // shows, the first.
    ExpectLabelsWhole(*MailSndForm);
    ExpectFieldWhole(MailSndForm->FromEdit);
    ExpectFieldWhole(MailSndForm->SubjectEdit);
    EXPECT_EQ(MailSndForm->ToEdit->cursorPosition(), 0);

    const std::string eml = mailFolder.File("1.eml");
    ASSERT_TRUE(PumpUntil([&] { return std::filesystem::exists(eml); }, 5000));
    std::string expectedEnvelope = "<>\n";
    for (int n = 1; n <= 25; ++n)
        if (n != 7 && n != 9) expectedEnvelope += "p" + std::to_string(n) + "@example.org\n";
    EXPECT_EQ(ReadFile(mailFolder.File("1.env")), expectedEnvelope);

    const std::vector<std::string> got = Lines(ReadFile(eml));
    auto header = [&](const std::string& name) {
        for (const std::string& line : got)
            if (line.starts_with(name)) return line;
        return std::string();
    };
    EXPECT_EQ(header("From: "), "From: \"Club Organiser\" <org@example.org>");
    EXPECT_EQ(header("Subject: "), "Subject: Ladder for Zoë's club");
    EXPECT_EQ(header("Content-Type: "), "Content-Type: text/plain; charset=\"utf-8\"");
    // The CR of the seventh address is a blank in the header, never a line end.
    EXPECT_NE(header("To: ").find("p6@example.org; p7@example.org  RCPT TO:<evil@example.org>; "
                                  "p8@example.org; p10@example.org"),
              std::string::npos)
        << header("To: ");

    std::vector<std::string> report;
    {
        rxReport writer(report);
        CurrentEvent->PrintReport(writer);
    }
    // An entry with a line break goes out as two lines.
    std::vector<std::string> expectedBody;
    for (const std::string& entry : report) {
        const std::size_t cut = entry.find("\r\n");
        expectedBody.push_back(entry.substr(0, cut));
        if (cut != std::string::npos) expectedBody.push_back(entry.substr(cut + 2));
    }
    auto blank = std::find(got.begin(), got.end(), "");
    ASSERT_NE(blank, got.end());
    EXPECT_EQ(std::vector<std::string>(blank + 1, got.end()), expectedBody);
}

TEST_F(EmailReport, WithoutSettingsNothingIsSentAndTheWindowCloses) {
    ThirtyPlayers();
    BoxScript boxes;
    boxes.Expect("Error", "E-mail server and From Address must be provided in the Setup.", MB_OK);
    MainForm->SendEmail1->trigger();
    EXPECT_FALSE(MailSndForm->isVisible());
    EXPECT_FALSE(std::filesystem::exists(mailFolder.File("1.eml")));
}

TEST_F(EmailReport, FailedOpensLeaveTheWindowOpenAndARetryConnects) {
    ThirtyPlayers();
    ConfigureEmail("org@example.org");
    const RefusedPort closed;
    // A local address of no interface here: its socket exists, the bind fails.
    for (const auto& [local, at, code, why] :
         {std::tuple<std::string, unsigned short, int, std::string>{
              "192.0.2.1", port, 500, "500 ESocketException: winsock.bind failed, error #10049"},
          {"0.0.0.0", closed.port, 500,
           "500 " + WSocketErrorDesc(10061) + " (Winsock error #10061)"},
          {"0.0.0.0", port, 535, ""}}) {
        MailSndForm->SmtpClient.LocalAddr = local;
        SetMailServerPortForTests(std::to_string(at));
        DialogScript dialogs;
        dialogs.Expect<TEmailSendBox>([](TEmailSendBox& box) {
            box.Password->setText("wrong");
            box.OK->click();
        });
        BoxScript boxes;
        boxes.Expect("Error",
                     "Error occurred attempting to connect to mail server, error code = " +
                         std::to_string(code) + (why.empty() ? "" : "\n" + why),
                     MB_OK);
        MainForm->SendEmail1->trigger();
        EXPECT_TRUE(MailSndForm->isVisible());
        EXPECT_EQ(
            MailSndForm->DisplayMemo->toPlainText().contains(QString::fromStdString("! " + why)),
            !why.empty());
    }
    EXPECT_TRUE(MailSndForm->DisplayMemo->toPlainText().contains("RequestDone Rq=8 Error=535"));
    // The retry is not refused as already connected; the organiser cancels.
    DialogScript dialogs;
    dialogs.Expect<TEmailSendBox>([](TEmailSendBox& box) {
        box.Password->setText("secret");
        box.OK->click();
    });
    BoxScript boxes;
    boxes.Expect("Confirm e-mail sending", "Sending to 24 email addresses.",
                 MB_OKCANCEL | MB_ICONQUESTION, IDCANCEL);
    boxes.Expect("Information", "E-mail was not sent.", MB_OK);
    MainForm->SendEmail1->trigger();
    EXPECT_FALSE(MailSndForm->isVisible());
    EXPECT_FALSE(std::filesystem::exists(mailFolder.File("1.eml")));
}

TEST_F(EmailReport, NothingReplacesTheEventWhileTheServerIsAwaited) {
    // A match schedule's mixer, which takes no other event while it runs,
    // would starve the sending too.
    for (const std::string kind : {"-L", "-P"}) {
        SCOPED_TRACE(kind);
        ThirtyPlayers(kind);
        ConfigureEmail("org@example.org");
        // A server slow to greet; then it logs in anyone and says yes to all.
        ScriptedPeer slow([](int fd) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1000));
            WriteAll(fd, "220 slow.example\r\n");
            int loginStep = 0;
            for (;;) {
                const std::string line = ReadUntil(fd, "\r\n");
                if (line.empty()) return;
                if (loginStep == 1) {
                    WriteAll(fd, "334 UGFzc3dvcmQ6\r\n");
                    loginStep = 2;
                } else if (loginStep == 2) {
                    WriteAll(fd, "235 ok\r\n");
                    loginStep = 0;
                } else if (line.starts_with("EHLO")) {
                    WriteAll(fd, "250-slow.example\r\n250 AUTH LOGIN\r\n");
                } else if (line.starts_with("AUTH")) {
                    WriteAll(fd, "334 VXNlcm5hbWU6\r\n");
                    loginStep = 1;
                } else if (line.starts_with("QUIT")) {
                    WriteAll(fd, "221 bye\r\n");
                    return;
                } else {
                    WriteAll(fd, "250 ok\r\n");
                }
            }
        });
        SetMailServerPortForTests(std::to_string(slow.port));

        // Meanwhile the organiser tries File > New: the report is still to be
        // made from the ladder it would free.
        bool heldBack = false;
        QTimer::singleShot(200, [&] {
            heldBack = !MainForm->New1->isEnabled() && !MainForm->Open1->isEnabled() &&
                       !MainForm->ImportPlayers1->isEnabled() && !MainForm->Exit1->isEnabled() &&
                       !MainForm->SendEmail1->isEnabled() && !MainForm->Download1->isEnabled() &&
                       !MainForm->MatchAssignment1->isEnabled() && !MainForm->QuerySaveChanges();
            MainForm->New1->trigger();
        });
        const RXEvent* ladder = CurrentEvent;
        DialogScript dialogs;
        dialogs.Expect<TEmailSendBox>([](TEmailSendBox& box) {
            box.Password->setText("secret");
            box.OK->click();
        });
        BoxScript boxes;
        boxes.Expect("Confirm e-mail sending", "Sending to 24 email addresses.",
                     MB_OKCANCEL | MB_ICONQUESTION, IDCANCEL);
        boxes.Expect("Information", "E-mail was not sent.", MB_OK);
        MainForm->SendEmail1->trigger();
        EXPECT_TRUE(heldBack);
        EXPECT_EQ(CurrentEvent, ladder);
        EXPECT_EQ(CurrentEvent->PlayerCount(), 30);
        EXPECT_FALSE(MailSndForm->isVisible());
        EXPECT_TRUE(slow.Finished());
        EXPECT_TRUE(MainForm->New1->isEnabled() && MainForm->SendEmail1->isEnabled() &&
                    MainForm->Exit1->isEnabled());
        EXPECT_EQ(MainForm->MatchAssignment1->isEnabled(), kind == "-P");
        DestroyWindows();
    }
}

TEST_F(EmailReport, TheSettingsDialogShowsItsNoteWholeAndRefusesAnAddressWithoutAt) {
    CreateWindows({"-L"});
    DialogScript dialogs;
    dialogs.Expect<TSetupEmailBox>([](TSetupEmailBox& box) {
        ExpectLabelsWhole(box);
        EXPECT_EQ(box.Memo1->horizontalScrollBar()->maximum(), 0);
        EXPECT_EQ(box.Memo1->verticalScrollBar()->maximum(), 0);
        box.FromName->setText("Kept");
        box.FromAddress->setText("no-at-sign");
        {
            BoxScript boxes;
            boxes.Expect("Error",
                         "Entry should be an e-mail address, such as organiser@club.example",
                         MB_OK | MB_ICONEXCLAMATION);
            box.OK->click();
        }
        EXPECT_TRUE(box.isVisible());
        EXPECT_EQ(box.FromName->text(), "Kept");
        EXPECT_EQ(box.FromAddress->selectedText(), "no-at-sign");
        box.Cancel->click();
    });
    MainForm->Email1->trigger();
    TRegistry settings;
    EXPECT_FALSE(settings.OpenKeyReadOnly(kEmailSettingsKey));
}

} // namespace
