// The main window's Internet menu: upload, download and configuration of
// the online ladder service, and the commands held back while a transfer
// runs.

#include "unified/window/MainForm.h"

#include "platform/ShowModal.h"
#include "unified/core/RXEvent.h"
#include "unified/online/ConfigureOnlineBox.h"
#include "unified/online/HttpForm1.h"
#include "unified/window/eventFactory.h"
#include "unified/window/onlineLink.h"

#include <QAction>

namespace {

// The online form as the save-changes check sees it.
class HttpFormLink : public OnlineLink {
public:
    bool DownloadAwaitsUpload() const override {
        return HttpForm != nullptr && HttpForm->PendingUpdate() == 1;
    }
    bool Upload(const std::string& request) override {
        if (HttpForm == nullptr || !IsEventUsable()) return false;
        HttpForm->show();
        if (HttpForm->UploadFile(CurrentEvent, request)) HttpForm->close();
        // Only an upload the service took lets the ladder go unsaved.
        return HttpForm->LastUploadTaken();
    }
};

} // namespace

void TMainForm::ConnectOnlineService() {
    httpLink = std::make_unique<HttpFormLink>();
    SetOnlineLink(httpLink.get());
    if (HttpForm != nullptr) {
        HttpForm->OnTransfer = [this](bool running) { SetTransferRunning(running); };
        HttpForm->CurrentFileNameOnly = [this] { return CurrentFileNameOnly(); };
    }
    if (ConfigureOnlineBox != nullptr)
        ConfigureOnlineBox->OpenWebPage = [this](const std::string& page) { OpenWebPage(page); };
}

void TMainForm::SetTransferRunning(bool running) {
    transferRunning = running;
    // The mixer takes no other event while it runs, so it would starve the
    // transfer: Match Assignment waits too.
    for (QAction* item : {New1, Open1, ImportPlayers1, SampleData1, Upload1, Download1, Configure1,
                          SendEmail1, MatchAssignment1, Exit1}) {
        if (running)
            item->setEnabled(false);
        else
            Offer(item, IsOffered(item));
    }
}

void TMainForm::Upload1Click() {
    UploadEvent("");
}

void TMainForm::Download1Click() {
    if (HttpForm == nullptr || !QuerySaveChanges()) return;
    if (IsEventUsable()) {
        HttpForm->show();
        if (HttpForm->DownloadFile(CurrentEvent)) HttpForm->close();
    }
    RefreshViews();
}

void TMainForm::Configure1Click() {
    if (ConfigureOnlineBox != nullptr) ShowModal(*ConfigureOnlineBox);
}
