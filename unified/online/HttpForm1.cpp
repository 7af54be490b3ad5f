#include "unified/online/HttpForm1.h"

#include "net/WSocket.h"
#include "platform/MessageBox.h"
#include "platform/Registry.h"
#include "platform/ShowModal.h"
#include "unified/core/RXCode.h"
#include "unified/core/RXEvent.h"
#include "unified/core/rxerrors.h"
#include "unified/dialogparts/ProgressBox.h"
#include "unified/online/InternetUploadBox.h"
#include "unified/online/onlineService.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <sstream>

THttpForm* HttpForm = nullptr;

namespace {

constexpr const char* kCaption = "Rostrix Online";

void ShowError(const std::string& text) {
    MessageBox(text, "Error", MB_OK | MB_ICONEXCLAMATION);
}

bool Begins(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

void ShowProgress(const std::string& text) {
    if (ProgressBox == nullptr) return;
    // Shown, not made the only live window: the transfer needs the socket's
    // events, and Abort stays usable.
    ProgressBox->setWindowTitle(kCaption);
    ProgressBox->show();
    ProgressBox->SetProgressText(text);
}

void HideProgress() {
    if (ProgressBox != nullptr) ProgressBox->hide();
}

} // namespace

THttpForm::THttpForm(QWidget* parent) : QWidget(parent, Qt::Window) {
    setWindowTitle(kCaption);
    URLEdit = new QLineEdit;
    ProxyHostEdit = new QLineEdit;
    ProxyPortEdit = new QLineEdit;
    for (QLineEdit* edit : {URLEdit, ProxyHostEdit, ProxyPortEdit})
        edit->setEnabled(false);
    AbortButton = new QPushButton("&Abort");
    AbortButton->setEnabled(false);
    DisplayMemo = new QPlainTextEdit;
    DisplayMemo->setReadOnly(true);
    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel("URL"), 0, 0);
    layout->addWidget(URLEdit, 0, 1, 1, 3);
    layout->addWidget(new QLabel("Proxy"), 1, 0);
    layout->addWidget(ProxyHostEdit, 1, 1);
    layout->addWidget(ProxyPortEdit, 1, 2);
    layout->addWidget(AbortButton, 1, 3);
    layout->addWidget(DisplayMemo, 2, 0, 1, 4);
    resize(520, 360);
    connect(AbortButton, &QPushButton::clicked, this, &THttpForm::AbortButtonClick);

    HttpCli1.OnCommand = [this](THttpCli*, std::string& line) { Display("cmd> " + line); };
    HttpCli1.OnDocBegin = [this](THttpCli* cli) {
        Display(cli->ContentType() + " => " + cli->DocName());
        Display("Document = " + cli->DocName());
    };
    HttpCli1.OnDocData = [this](THttpCli* cli, const char*, int) {
        if (!replyTooLong && cli->RcvdCount() > std::int64_t(kOnlineReplyLimit)) {
            replyTooLong = true;
            cli->Abort();
        }
    };
    HttpCli1.OnRequestDone = [this](THttpCli*, THttpRequest, WORD error) {
        Display("RequestDone Error = " + std::to_string(unsigned(error)));
        AbortButton->setEnabled(false);
    };
}

void THttpForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    ProxyPortEdit->setText("80");
}

void THttpForm::closeEvent(QCloseEvent* event) {
    // The window goes only once its transfer is over; Abort ends it.
    if (transferring)
        event->ignore();
    else
        QWidget::closeEvent(event);
}

void THttpForm::Display(const std::string& line) {
    DisplayMemo->appendPlainText(QString::fromStdString(HidePassword(line)));
}

void THttpForm::AbortButtonClick() {
    HttpCli1.Abort();
}

void THttpForm::SetTransferring(bool running) {
    transferring = running;
    if (OnTransfer) OnTransfer(running);
}

bool THttpForm::CheckUserId() {
    userId.clear();
    TRegistry registry;
    if (registry.OpenKeyReadOnly(kOnlineKey)) userId = registry.ReadString("userId");
    if (userId.empty()) {
        ShowError("User ID must be provided in the Internet Configuration.");
        return false;
    }
    return true;
}

bool THttpForm::Transfer(THttpRequest method, const std::string& url, std::istream* body,
                         std::string& lines) {
    URLEdit->setText(QString::fromStdString(HidePassword(url)));
    DisplayMemo->clear();
    AbortButton->setEnabled(true);
    // The reply is kept here, emptied for each request: nothing of an
    // earlier one can pass for this one's.
    std::ostringstream reply;
    HttpCli1.URL = url;
    HttpCli1.Proxy = ProxyHostEdit->text().toStdString();
    HttpCli1.ProxyPort = ProxyPortEdit->text().toStdString();
    HttpCli1.SendStream = body;
    HttpCli1.RcvdStream = &reply;
    HttpCli1.ModifiedSince = 0;
    replyTooLong = false;
    SetTransferring(true);
    bool failed = false;
    try {
        if (method == httpPOST)
            HttpCli1.Post();
        else
            HttpCli1.Get();
    } catch (const EHttpException&) {
        failed = true;
    }
    SetTransferring(false);
    HttpCli1.SendStream = nullptr;
    HttpCli1.RcvdStream = nullptr;
    // A reply without a length ends when the connection does: one that ended
    // with an error may be cut anywhere.
    const WORD error = HttpCli1.RequestDoneError();
    if (failed || error != 0) {
        AbortButton->setEnabled(false);
        HideProgress();
        Display(method == httpPOST ? "POST Failed !" : "GET Failed !");
        Display("StatusCode   = " + std::to_string(HttpCli1.StatusCode()));
        Display("ReasonPhrase = " + HttpCli1.ReasonPhrase());
        if (replyTooLong)
            Display("Reply longer than " + std::to_string(kOnlineReplyLimit) + " bytes");
        else if (!failed)
            Display(WSocketErrorDesc(error) + " (Error #" + std::to_string(error) + ")");
        return false;
    }
    Display("StatusCode = " + std::to_string(HttpCli1.StatusCode()));
    for (const std::string& line : HttpCli1.RcvdHeader())
        Display("hdr>" + line);
    lines = ReplyLines(reply.str());
    AbortButton->setEnabled(false);
    HideProgress();
    return true;
}

bool THttpForm::UploadFile(RXEvent* event, const std::string& action) {
    lastUploadTaken = false;
    if (!CheckUserId()) return true;
    TInternetUploadBox& prompt = *InternetUploadBox;
    const bool unlock = action == "unlock";
    if (unlock) prompt.FileName->clear();
    prompt.FileName->setEnabled(!unlock);
    prompt.fnLabel->setEnabled(!unlock);
    if (!unlock)
        prompt.FileName->setText(
            QString::fromStdString(CurrentFileNameOnly ? CurrentFileNameOnly() : std::string()));
    if (ShowModal(prompt) != mrOk) return true;
    ShowProgress(unlock ? "releasing file update lock..." : "uploading file to the Internet...");
    std::string fileData;
    if (!unlock) event->SaveToText(fileData);
    std::istringstream body(UploadBody(userId, prompt.Password->text().toStdString(), action,
                                       prompt.FileName->text().toStdString(), fileData));
    std::string reply;
    if (!Transfer(httpPOST, OnlineServiceUrl() + "rxUpload.cgi", &body, reply)) return false;
    if (Begins(reply, "status=OK")) {
        pendingUpdate = 0;
        lastUploadTaken = true;
        ShowInformation("Requested action completed.");
        return true;
    }
    if (Begins(reply, "status=BADPASSWORD")) {
        ShowError("Invalid password -- requested action did not occur.");
        return true;
    }
    ShowError("Unexpected error -- requested action probably did not occur.");
    return false;
}

bool THttpForm::DownloadFile(RXEvent* event) {
    if (!CheckUserId()) return true;
    TInternetUploadBox& prompt = *InternetUploadBox;
    prompt.FileName->setEnabled(true);
    prompt.fnLabel->setEnabled(true);
    if (ShowModal(prompt) != mrOk) return true;
    ShowProgress("downloading file from the Internet...");
    std::string reply;
    if (!Transfer(httpGET,
                  DownloadUrl(userId, prompt.Password->text().toStdString(),
                              prompt.FileName->text().toStdString()),
                  nullptr, reply))
        return false;
    if (Begins(reply, "status=OK")) {
        pendingUpdate = 1;
        // The ladder is read aside and replaces the current one only
        // when the whole text is read.
        const short code = event->LoadFromText(AfterFirstLine(reply));
        if (code != rcOk)
            ShowErrorMessage(code);
        else
            ShowInformation("Download completed.");
        return true;
    }
    if (Begins(reply, "status=BADPASSWORD")) {
        ShowError("Invalid password -- download did not occur.");
        return true;
    }
    if (Begins(reply, "status=FILENOTFOUND")) {
        ShowError("File not found -- download did not occur.");
        return true;
    }
    ShowError("Unexpected error -- download probably did not occur.");
    return false;
}
