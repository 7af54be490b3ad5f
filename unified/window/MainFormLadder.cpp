// The main window's ladder commands: clearing results, posting them and
// generating an issue, the issue's preview, and the option, result and
// cancel dialogs, each filled before it is shown.

#include "unified/window/MainForm.h"

#include "platform/MessageBox.h"
#include "platform/ShowModal.h"
#include "unified/core/RXEvent.h"
#include "unified/core/rxerrors.h"
#include "unified/ladder/CancelResultBox.h"
#include "unified/ladder/Enter2ResultsBox.h"
#include "unified/ladder/EnterResultsBox.h"
#include "unified/ladder/Ladder.h"
#include "unified/ladder/OptionsGeneral.h"
#include "unified/ladder/OptionsPts.h"
#include "unified/ladder/OptionsTrad.h"
#include "unified/ladder/resultEntry.h"
#include "unified/window/PreviewBox.h"

#include <QComboBox>
#include <QLineEdit>
#include <cstdio>

void TMainForm::ClearAllResults1Click() {
    if (CurrentLadder == nullptr || !AskToSaveChanges("Ladder has changed!")) return;
    CurrentEvent->ClearResults(false);
    RefreshViews();
}

void TMainForm::ClearAllResults2Click() {
    if (CurrentLadder == nullptr || !AskToSaveChanges("Ladder has changed!")) return;
    CurrentEvent->ClearResults(true);
    RefreshViews();
}

void TMainForm::PostResults1Click() {
    if (CurrentLadder == nullptr || !CheckDataPresent(false)) return;
    const int n = CurrentLadder->PendingResultCount();
    char text[80];
    std::snprintf(text, sizeof text, "Posting %d result%s.  Continue?", n, n == 1 ? "" : "s");
    if (AskConfirmation(text)) {
        const short code = CurrentLadder->PostResults(false);
        if (code != rcOk) ShowErrorMessage(code);
    }
    RefreshViews();
}

void TMainForm::GenerateIssue1Click() {
    if (CurrentLadder == nullptr || !CheckDataPresent(false)) return;
    // Said before the question, which would name an issue no file can hold.
    if (!CurrentLadder->CanGenerateIssue()) {
        ShowErrorMessage(rcIssueLimit);
        return;
    }
    const int n = CurrentLadder->PendingResultCount();
    char text[120];
    std::snprintf(text, sizeof text,
                  "Generating issue #%d with %d result%s to be posted.  Continue?",
                  CurrentLadder->IssueNumber() + 1, n, n == 1 ? "" : "s");
    if (AskConfirmation(text)) {
        const short code = CurrentLadder->GenerateIssue();
        if (code != rcOk) ShowErrorMessage(code);
    }
    RefreshViews();
}

void TMainForm::PreviewIssue1Click() {
    if (!CheckDataPresent(true) || !LeaveManualMode()) return;
    PreviewBox->SetContent(TPreviewBox::IssuePreview, nullptr, nullptr);
    // Shown again when it is open already, so that it writes the report anew.
    PreviewBox->hide();
    PreviewBox->show();
}

// The ladder's option and result commands: each fills its dialog and shows it.
void TMainForm::OptionsGeneral1Click() {
    ShowModal(*OptionsGeneral);
}

void TMainForm::OptionsTraditional1Click() {
    if (CurrentLadder == nullptr) return;
    const Ladder& ladder = *CurrentLadder;
    OptionsTrad->PenaltyDist->setText(QString::number(ladder.PenaltyDist()));
    OptionsTrad->PenaltyStart->setText(QString::number(ladder.PenaltyStart()));
    OptionsTrad->PenaltyCycle->setText(QString::number(ladder.PenaltyCycle()));
    OptionsTrad->TopNoDrop->setText(QString::number(ladder.TopNoDrop()));
    ShowModal(*OptionsTrad);
}

void TMainForm::OptionsPoint1Click() {
    ShowModal(*OptionsPts);
}

void TMainForm::EnterResults1Click() {
    if (!CheckDataPresent(false)) return;
    EnterResultsBox->Date->setText(QString::fromStdString(TodayText()));
    FillNameList(EnterResultsBox->Winner);
    FillNameList(EnterResultsBox->Loser);
    EnterResultsBox->Score->clear();
    ShowModal(*EnterResultsBox);
}

void TMainForm::EnterDoublesResults1Click() {
    if (!CheckDataPresent(false)) return;
    // Each of the four players is scored on its own: a points ladder of
    // singles players.
    if (CurrentLadder != nullptr && CurrentLadder->IsPointsSystem() && !CurrentLadder->IsDoubles())
        ShowModal(*Enter2ResultsBox);
    else
        MessageBox("This command applies only to points-system singles ladder.", "Error",
                   MB_OK | MB_ICONEXCLAMATION);
}

void TMainForm::CancelPendingResult1Click() {
    if (!CheckDataPresent(false) || CurrentLadder == nullptr) return;
    QComboBox* list = CancelResultBox->CanRes;
    list->clear();
    for (int n = 1; n <= CurrentLadder->ResultCount(); ++n)
        if (CurrentLadder->IsResultPending(n))
            list->addItem(QString::fromStdString(CurrentLadder->PendingResultText(n)));
    list->setCurrentIndex(-1);
    ShowModal(*CancelResultBox);
}
