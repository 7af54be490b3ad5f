#pragma once
// The sender window: sends the current event's report to every player with
// an e-mail address, showing the dialogue with the mail server as it goes.

#include "net/SmtpProt.h"

#include <QWidget>
#include <string>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class RXEvent;

// The port the window sends to: "25", unless a test points it at its own
// server.
std::string MailServerPort();
void SetMailServerPortForTests(const std::string& port);

class TMailSndForm : public QWidget {
    Q_OBJECT

public:
    explicit TMailSndForm(QWidget* parent = nullptr);

    QLineEdit* HostEdit;
    QLineEdit* PortEdit;
    QLineEdit* FromEdit;
    QLineEdit* SubjectEdit;
    QLineEdit* ToEdit;
    QLineEdit* UserIDEdit;
    QLineEdit* PasswordEdit;
    QCheckBox* AuthCheckBox;
    QPlainTextEdit* DisplayMemo;
    TSmtpCli SmtpClient;
    int LastRequestError = 0;

    // True when the window may close: sent, cancelled, or nothing to send.
    bool SendReportToPlayers(RXEvent& event);

    void SmtpClientDisplay(TCustomSmtpClient* Sender, const std::string& Msg);
    void SmtpClientHeaderLine(TCustomSmtpClient* Sender, std::string& Msg);
    void SmtpClientRequestDone(TCustomSmtpClient* Sender, TSmtpRequest RqType, WORD ErrorCode);
    static void ApplicationException(const std::exception& error);

private:
    void FormCreate();
    // Pumps messages until the request just started has ended; a server
    // that goes silent is given up after a while.
    void WaitForRequest();
    // The failure box's text. A failure found on this side (no connection, a
    // connection lost) has no server reply in the log: the client's text of
    // it follows the box's and goes into the log too.
    std::string FailureText(const std::string& text);

    int requestsDone_ = 0;
};

extern TMailSndForm* MailSndForm;
