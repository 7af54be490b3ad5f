#pragma once
// The online ladder service's window: the log of the dialogue with the
// service and the Abort button, and the upload, unlock and download of the
// current ladder. It remembers a download that awaits its upload, which
// the main window's save-changes check asks about.

#include "net/HttpProt.h"

#include <QWidget>
#include <functional>
#include <string>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class RXEvent;

class THttpForm : public QWidget {
    Q_OBJECT

public:
    explicit THttpForm(QWidget* parent = nullptr);

    // Reads the user id; without one says so and gives false.
    bool CheckUserId();
    // True when the command is over and the window may close, also after a
    // cancelled prompt or a refused password; false after an unexpected
    // reply or a failed request, with the log left to read.
    bool UploadFile(RXEvent* event, const std::string& action);
    bool DownloadFile(RXEvent* event);

    // Whether the service answered the last upload or unlock with OK.
    bool LastUploadTaken() const { return lastUploadTaken; }
    // 1 after a download the service answered with OK, until an upload or
    // unlock is taken.
    unsigned char PendingUpdate() const { return pendingUpdate; }
    bool Transferring() const { return transferring; }
    // Told when a transfer starts and ends, so that nothing replaces the
    // event or starts another transfer meanwhile.
    std::function<void(bool running)> OnTransfer;
    // The current event file's name without its folder, for the prompt.
    std::function<std::string()> CurrentFileNameOnly;

    THttpCli HttpCli1;
    QLineEdit* URLEdit;
    QLineEdit* ProxyHostEdit;
    QLineEdit* ProxyPortEdit;
    QPushButton* AbortButton;
    QPlainTextEdit* DisplayMemo;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Display(const std::string& line);
    void AbortButtonClick();
    // Runs the request with the reply kept in memory; the reply lines, or
    // false after logging why the request failed.
    bool Transfer(THttpRequest method, const std::string& url, std::istream* body,
                  std::string& lines);
    void SetTransferring(bool running);

    std::string userId;
    unsigned char pendingUpdate = 0;
    bool lastUploadTaken = false;
    bool transferring = false;
};

extern THttpForm* HttpForm;
