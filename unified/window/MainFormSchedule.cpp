// The main window's match-schedule commands: the warnings and the match
// analysis, from the menu and after a plan has been made or edited.

#include "unified/window/MainForm.h"

#include "platform/MessageBox.h"
#include "platform/widgets/Grid.h"
#include "unified/core/rxerrors.h"
#include "unified/schedule/Matches.h"
#include "unified/window/PreviewBox.h"

#include <QAction>

void TMainForm::MatchAnalysis1Click() {
    if (CheckDataPresent(true)) RunMatchAnalysis(false);
}

void TMainForm::RunMatchAnalysis(bool afterMixer) {
    Matches* plan = AsMatchPlan();
    if (plan == nullptr) return;
    // A round robin or a league is what its pattern makes it: only the
    // analysis says something of it.
    if (plan->ScheduleType() != stNone && plan->ScheduleType() != stMixer) {
        ShowWarningsAndAnalysis(nullptr, nullptr);
        return;
    }
    const short code = plan->CheckComplete();
    if (code == rcIncompleteMatch) {
        ShowIncompleteMatch();
        return;
    }
    if (code != rcOk) {
        ShowErrorMessage(code);
        return;
    }
    std::vector<std::string> summary, details;
    if (plan->CheckWarnings(summary, details)) {
        if (ShowWarningSummary(summary)) ShowWarningsAndAnalysis(&summary, &details);
        return;
    }
    // After the mixer a plan without warnings needs no window of its own.
    if (!afterMixer) ShowWarningsAndAnalysis(nullptr, nullptr);
}

bool TMainForm::ShowWarningSummary(const std::vector<std::string>& summary) {
    std::string text;
    for (const std::string& line : summary)
        text += line + "\n";
    text += "Click OK for details.";
    return MessageBox(text, "Warning Summary", MB_OKCANCEL | MB_ICONINFORMATION) == IDOK;
}

void TMainForm::ShowWarningsAndAnalysis(const std::vector<std::string>* summary,
                                        const std::vector<std::string>* details) {
    PreviewBox->WriteAnalysis = [](std::vector<std::string>& list) {
        if (const Matches* plan = AsMatchPlan()) plan->WriteAnalysis(list);
    };
    PreviewBox->SetContent(TPreviewBox::WarningsAndAnalysis, summary, details);
    // Shown again when it is open already, so that it shows the plan anew.
    PreviewBox->hide();
    PreviewBox->show();
}

void TMainForm::ShowIncompleteMatch() {
    MessageBox("Match is not complete.", "Error", MB_OK | MB_ICONINFORMATION);
    const Matches* plan = AsMatchPlan();
    if (plan == nullptr) return;
    const Matches::IncompleteBox box = plan->IncompleteMatch();
    if (box.court < DrawGrid->ColCount() && box.round < DrawGrid->RowCount()) {
        DrawGrid->SetCol(box.court);
        DrawGrid->SetRow(box.round);
    }
}
