// The main window's e-mail commands: the settings, and the report sent to
// every player.

#include "platform/ShowModal.h"
#include "unified/core/RXEvent.h"
#include "unified/online/MailSndForm.h"
#include "unified/online/SetupEmailBox.h"
#include "unified/window/MainForm.h"
#include "unified/window/eventFactory.h"

void TMainForm::Email1Click() {
    ShowModal(*SetupEmailBox);
}

void TMainForm::SendEmail1Click() {
    if (transferRunning || !CheckDataPresent(true) || !LeaveManualMode()) return;
    // While the sender waits for the server the other windows stay live:
    // nothing may replace the event its report is still to be made from.
    SetTransferRunning(true);
    struct Resume {
        TMainForm* form;
        ~Resume() { form->SetTransferRunning(false); }
    } resume{this};
    MailSndForm->show();
    if (MailSndForm->SendReportToPlayers(*CurrentEvent)) MailSndForm->close();
}
