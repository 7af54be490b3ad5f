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
    if (!CheckDataPresent(true) || !LeaveManualMode()) return;
    MailSndForm->show();
    if (MailSndForm->SendReportToPlayers(*CurrentEvent)) MailSndForm->close();
}
