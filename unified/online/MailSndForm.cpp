#include "unified/online/MailSndForm.h"

#include "platform/ApplicationState.h"
#include "platform/MessageBox.h"
#include "platform/Registry.h"
#include "platform/ShowModal.h"
#include "platform/WindowMessages.h"
#include "unified/core/Player.h"
#include "unified/core/RXEvent.h"
#include "unified/core/rxreport.h"
#include "unified/online/EmailSendBox.h"
#include "unified/online/SetupEmailBox.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

TMailSndForm* MailSndForm = nullptr;

namespace {

std::string& PortSetting() {
    static std::string port = "25";
    return port;
}

// Longer than any server takes to answer; a silent one is aborted.
constexpr DWORD kRequestTimeLimit = 120000;
constexpr DWORD kAbortTimeLimit = 5000;

// The memo keeps only the latest part of the dialogue.
constexpr int kDisplayLines = 100;

// The shown fields are wide enough to read a sender's name and address, or a
// subject as long as the report texts' 60 characters, whole.
constexpr int kShownCharacters = 64;

QLineEdit* ShowField(const char* hint, bool masked = false) {
    auto* edit = new QLineEdit;
    edit->setToolTip(hint);
    edit->setEnabled(false);
    if (masked) edit->setEchoMode(QLineEdit::Password);
    // A text longer than the field shows from its start: the field is
    // disabled, and cannot be scrolled to it.
    QObject::connect(edit, &QLineEdit::textChanged, edit, [edit] { edit->setCursorPosition(0); });
    return edit;
}

std::string Trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

} // namespace

std::string MailServerPort() {
    return PortSetting();
}

void SetMailServerPortForTests(const std::string& port) {
    PortSetting() = port;
}

TMailSndForm::TMailSndForm(QWidget* parent) : QWidget(parent, Qt::Window) {
    setWindowTitle("MailSndForm");
    HostEdit = ShowField("Mail server hostname or IP address");
    PortEdit = ShowField("Mail server port (should be smtp)");
    FromEdit = ShowField("Author's EMail");
    SubjectEdit = ShowField("Message subject");
    ToEdit = ShowField("Destinators, delimited by semicolons");
    UserIDEdit = ShowField("User ID for authentication");
    PasswordEdit = ShowField("Password for authentication", true);
    AuthCheckBox = new QCheckBox("Authentication");
    AuthCheckBox->setEnabled(false);

    auto* ToolsPanel = new QWidget;
    auto* tools = new QGridLayout(ToolsPanel);
    const std::pair<const char*, QLineEdit*> fields[] = {
        {"SMTP Host", HostEdit}, {"Port", PortEdit}, {"From", FromEdit},
        {"Subj.", SubjectEdit},  {"To", ToEdit},     {"User ID", UserIDEdit},
        {"Pass.", PasswordEdit},
    };
    int row = 0;
    for (const auto& [label, edit] : fields) {
        tools->addWidget(new QLabel(label), row, 0);
        tools->addWidget(edit, row++, 1);
    }
    tools->addWidget(AuthCheckBox, row, 1);
    tools->setColumnMinimumWidth(1, fontMetrics().averageCharWidth() * kShownCharacters);

    auto* InfoPanel = new QLabel("Server status messages:");
    DisplayMemo = new QPlainTextEdit;
    DisplayMemo->setReadOnly(true);
    DisplayMemo->setLineWrapMode(QPlainTextEdit::NoWrap);
    DisplayMemo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    DisplayMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    DisplayMemo->setToolTip("This memo shows info messages");

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ToolsPanel);
    layout->addWidget(InfoPanel);
    layout->addWidget(DisplayMemo, 1);

    SmtpClient.LocalAddr = "0.0.0.0";
    SmtpClient.Port = "smtp";
    SmtpClient.AuthType = smtpAuthNone;
    SmtpClient.ContentType = smtpPlainText;
    SmtpClient.OwnHeaders = false;
    SmtpClient.OnDisplay = [this](TCustomSmtpClient* s, const std::string& m) {
        SmtpClientDisplay(s, m);
    };
    SmtpClient.OnHeaderLine = [this](TCustomSmtpClient* s, std::string& m) {
        SmtpClientHeaderLine(s, m);
    };
    SmtpClient.OnRequestDone = [this](TCustomSmtpClient* s, TSmtpRequest rq, WORD error) {
        SmtpClientRequestDone(s, rq, error);
    };
    FormCreate();
}

void TMailSndForm::FormCreate() {
    SetBackgroundExceptionHandler(&TMailSndForm::ApplicationException);
    DisplayMemo->clear();
}

void TMailSndForm::ApplicationException(const std::exception& error) {
    ShowException(error);
}

void TMailSndForm::SmtpClientDisplay(TCustomSmtpClient*, const std::string& Msg) {
    if (DisplayMemo->blockCount() > kDisplayLines) DisplayMemo->clear();
    DisplayMemo->appendPlainText(QString::fromStdString(Msg));
}

void TMailSndForm::SmtpClientHeaderLine(TCustomSmtpClient*, std::string&) {
}

void TMailSndForm::SmtpClientRequestDone(TCustomSmtpClient*, TSmtpRequest RqType, WORD ErrorCode) {
    DisplayMemo->appendPlainText(QString::fromStdString("RequestDone Rq=" + std::to_string(RqType) +
                                                        " Error=" + std::to_string(ErrorCode)));
    LastRequestError = ErrorCode;
    ++requestsDone_;
}

void TMailSndForm::WaitForRequest() {
    const int awaited = requestsDone_ + 1;
    DWORD deadline = GetTickCount() + kRequestTimeLimit;
    bool aborted = false;
    while (requestsDone_ < awaited) {
        if (TickReached(GetTickCount(), deadline)) {
            if (aborted) {
                // The request's end never came: give up all the same.
                LastRequestError = smtpErrAborted;
                return;
            }
            // Ends the request with its own code, through the same event.
            SmtpClient.Abort();
            aborted = true;
            deadline = GetTickCount() + kAbortTimeLimit;
        }
        ProcessApplicationMessages();
    }
}

std::string TMailSndForm::FailureText(const std::string& text) {
    if (SmtpClient.StatusCode() != smtpErrLocal) return text;
    SmtpClientDisplay(&SmtpClient, "! " + SmtpClient.LastResponse());
    return text + "\n" + SmtpClient.LastResponse();
}

bool TMailSndForm::SendReportToPlayers(RXEvent& event) {
    DisplayMemo->clear();

    std::string sender, address, server, user;
    bool login = false;
    {
        TRegistry registry;
        if (registry.OpenKeyReadOnly(kEmailSettingsKey)) {
            sender = "\"" + registry.ReadString("fromName") + "\"";
            address = registry.ReadString("fromAddress");
            server = registry.ReadString("smtpServer");
            login = registry.ReadString("auth") == "1";
            user = registry.ReadString("userId");
        }
    }
    if (server.empty() || address.empty()) {
        MessageBox("E-mail server and From Address must be provided in the Setup.", "Error", MB_OK);
        return true;
    }

    if (login) SmtpClient.AuthType = smtpAuthLogin;
    SmtpClient.Username = user;
    SmtpClient.Host = server;
    SmtpClient.Port = MailServerPort();
    SmtpClient.SignOn.clear();
    AuthCheckBox->setChecked(login);
    UserIDEdit->setText(QString::fromStdString(user));
    HostEdit->setText(QString::fromStdString(server));
    PortEdit->setText("25");

    EmailSendBox->Label2->setEnabled(login);
    EmailSendBox->Password->setEnabled(login);
    EmailSendBox->Subject->setText(QString::fromStdString(event.EmailSubject()));
    if (ShowModal(*EmailSendBox) != mrOk) return true;
    const std::string subject = EmailSendBox->Subject->text().toStdString();
    SmtpClient.Password = EmailSendBox->Password->text().toStdString();
    PasswordEdit->setText(EmailSendBox->Password->text());

    try {
        SmtpClient.Open();
    } catch (const std::exception& e) {
        MessageBox(std::string("Error occurred attempting to connect to mail server: '") +
                       e.what() + "'",
                   "Error", MB_OK);
        return false;
    }
    WaitForRequest();
    if (LastRequestError != 0) {
        MessageBox(
            FailureText("Error occurred attempting to connect to mail server, error code = " +
                        std::to_string(LastRequestError)),
            "Error", MB_OK);
        return false;
    }

    // Addresses of nothing but blanks are no recipients.
    SmtpClient.RcptName.clear();
    std::string to;
    for (int n = 1; n <= event.PlayerCount(); ++n) {
        const Player* player = event.Player(n);
        if (player == nullptr || Trimmed(player->email).empty()) continue;
        SmtpClient.RcptName.push_back(Trimmed(player->email));
        if (!to.empty()) to += "; ";
        to += player->email;
    }
    if (SmtpClient.RcptName.empty()) {
        MessageBox("There are no players with e-mail addresses.", "Error", MB_OK);
        SmtpClient.Quit();
        WaitForRequest();
        return true;
    }

    std::vector<std::string> lines;
    {
        rxReport report(lines);
        event.PrintReport(report);
    }
    SmtpClient.MailMessage = std::move(lines);

    SmtpClient.HdrFrom = sender + " <" + address + ">";
    SmtpClient.HdrTo = to;
    SmtpClient.HdrSubject = subject;
    FromEdit->setText(QString::fromStdString(SmtpClient.HdrFrom));
    ToEdit->setText(QString::fromStdString(to));
    SubjectEdit->setText(QString::fromStdString(subject));

    if (MessageBox("Sending to " + std::to_string(SmtpClient.RcptName.size()) + " email addresses.",
                   "Confirm e-mail sending", MB_OKCANCEL | MB_ICONQUESTION) != IDOK) {
        MessageBox("E-mail was not sent.", "Information", MB_OK);
        SmtpClient.Quit();
        WaitForRequest();
        return true;
    }

    try {
        SmtpClient.Mail();
    } catch (const std::exception&) {
        MessageBox("Error occurred attempting to send mail.", "Error", MB_OK);
        SmtpClient.Quit();
        WaitForRequest();
        return false;
    }
    WaitForRequest();
    if (LastRequestError != 0) {
        MessageBox(FailureText("Error occurred attempting to send mail, error code = " +
                               std::to_string(LastRequestError)),
                   "Error", MB_OK);
        SmtpClient.Quit();
        WaitForRequest();
        return false;
    }

    MessageBox("E-mail operation completed.", "Information", MB_OK);
    SmtpClient.Quit();
    WaitForRequest();
    if (LastRequestError != 0) {
        MessageBox(FailureText("Error occurred attempting disconnect from server error code = " +
                               std::to_string(LastRequestError) + " (mail may have been sent)"),
                   "Error", MB_OK);
        return false;
    }
    return true;
}
