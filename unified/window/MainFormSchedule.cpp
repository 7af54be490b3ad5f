// The main window's match-schedule commands: the plan's shape and options,
// match assignment, manual assignment of single boxes, preferred partners
// and hosts, the warnings and the match analysis, and the match grid that
// shows the plan in the upper pane.

#include "unified/window/MainForm.h"

#include "platform/Canvas.h"
#include "platform/MessageBox.h"
#include "platform/ShowModal.h"
#include "platform/widgets/Grid.h"
#include "unified/core/rxerrors.h"
#include "unified/schedule/ManualMatchAssignBox.h"
#include "unified/schedule/MatchAssignment.h"
#include "unified/schedule/Matches.h"
#include "unified/schedule/PartyRptOpts.h"
#include "unified/schedule/PartyWarnOpts.h"
#include "unified/schedule/PreferredPartnerBox.h"
#include "unified/schedule/SetupCourtsRoundsBox.h"
#include "unified/window/PreviewBox.h"
#include "unified/window/eventFactory.h"

#include <QAction>
#include <cstdio>
#include <cstdlib>

namespace {

Matches* CurrentPlan() {
    return IsEventUsable() ? AsMatchPlan() : nullptr;
}

void Line(Canvas& canvas, int x1, int y1, int x2, int y2) {
    canvas.MoveTo(x1, y1);
    canvas.LineTo(x2, y2);
}

std::string Number(const char* format, int n) {
    char text[32];
    std::snprintf(text, sizeof text, format, n);
    return text;
}

} // namespace

void TMainForm::CourtsAndRounds1Click() {
    ShowModal(*SetupCourtsRoundsBox);
}

void TMainForm::OptPartyLayout1Click() {
    ShowModal(*PartyRptOpts);
}

void TMainForm::Warnings1Click() {
    ShowModal(*PartyWarnOpts);
}

void TMainForm::MatchAssignment1Click() {
    if (!IsEventUsable() || CurrentEvent->PlayerCount() == 0) {
        MessageBox("You must set up players first.", "Error", MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    MatchAssignment->AfterMixer = [this] { RunMatchAnalysis(true); };
    ShowModal(*MatchAssignment);
}

void TMainForm::ManualAssign1Click() {
    ToggleManualAssignment();
}

void TMainForm::PrefPartner1Click() {
    if (CheckDataPresent(true)) ShowModal(*PreferredPartnerBox);
}

void TMainForm::HostPlayer1Click() {
    Matches* plan = CurrentPlan();
    if (plan == nullptr || !CheckDataPresent(true)) return;
    plan->DesignateHosts();
    RefreshViews();
}

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

void TMainForm::ToggleManualAssignment() {
    Matches* plan = CurrentPlan();
    if (plan == nullptr) return;
    if (!CheckDataPresent(false)) {
        ManualAssign1->setChecked(plan->IsManualMode());
        return;
    }
    if (plan->PlayerCount() < 2) {
        MessageBox("Match plan must have at least two players.", "Error",
                   MB_OK | MB_ICONEXCLAMATION);
    } else if (plan->IsManualMode()) {
        EndManualAssignment();
    } else {
        if (plan->RoundCount() == 0 || plan->CourtCount() == 0) ShowModal(*SetupCourtsRoundsBox);
        if (plan->RoundCount() > 0 || plan->CourtCount() > 0) plan->EnterManualMode();
    }
    ManualAssign1->setChecked(plan->IsManualMode());
    RefreshViews();
}

bool TMainForm::EndManualAssignment() {
    Matches* plan = CurrentPlan();
    if (plan == nullptr) return false;
    const short code = plan->CheckComplete();
    if (code == rcIncompleteMatch) {
        ShowIncompleteMatch();
    } else if (code != rcOk) {
        ShowErrorMessage(code);
        plan->ClearManualMode();
    }
    if (code != rcOk) {
        RefreshViews();
        return false;
    }
    std::vector<std::string> summary;
    std::vector<std::string> details;
    if (plan->CheckWarnings(summary, details) && ShowWarningSummary(summary))
        ShowWarningsAndAnalysis(&summary, &details);
    plan->ClearManualMode();
    RefreshViews();
    return true;
}

void TMainForm::ShowIncompleteMatch() {
    MessageBox("Match is not complete.", "Error", MB_OK | MB_ICONINFORMATION);
    const Matches* plan = CurrentPlan();
    if (plan == nullptr) return;
    // A plan just made may not have its grid yet.
    SizeMatchGrid();
    const Matches::IncompleteBox box = plan->IncompleteMatch();
    DrawGrid->SetCurrent(box.court, box.round);
}

void TMainForm::SizeMatchGrid() {
    Grid& grid = *DrawGrid;
    const Matches* plan = CurrentPlan();
    grid.SetRowCount(plan != nullptr ? plan->RoundCount() + 1 : 1);
    grid.SetColCount(plan != nullptr ? plan->CourtCount() + 1 : 1);
    grid.SetDefaultRowHeight(54);
    grid.SetDefaultColWidth(80);
    // Without rounds there is no row 1 to take the heading's height from.
    grid.SetRowHeight(0, (grid.RowCount() > 1 ? grid.RowHeight(1) : grid.DefaultRowHeight()) / 2);
    grid.SetColWidth(0, 50);
    for (int c = 0; c < grid.ColCount(); ++c)
        grid.SetTabStop(c, true);
}

void TMainForm::PaintMatchCell(Canvas& canvas, int col, int row, const TRect& rect) {
    const Matches* plan = CurrentPlan();
    if (plan == nullptr) return;
    const int h = std::abs(DrawGrid->font().pixelSize());
    if (col == 0 && row == 0) {
        if (plan->IsManualMode()) canvas.TextOut(rect.Left, rect.Top, "Manual");
        return;
    }
    if (col == 0) {
        if (row == 1) canvas.TextOut(rect.Left, rect.Top, "Round");
        canvas.TextOut(rect.Left, rect.Top + h + 3, Number("%3.3d", row));
        return;
    }
    if (row == 0) {
        Line(canvas, rect.Left, rect.Top + 1, rect.Left, rect.Bottom - 1);
        Line(canvas, rect.Left, rect.Bottom - 1, rect.Right, rect.Bottom - 1);
        canvas.TextOut(rect.Left + 3, rect.Top, Number("Court %d", col));
        return;
    }
    if (row > plan->RoundCount() || col > plan->CourtCount()) return;
    const int x = (rect.Left + rect.Right) / 2;
    const int y = (rect.Top + rect.Bottom) / 2;
    // The box's outline fills it with the cell's colour, so it comes before
    // the lines that divide it.
    canvas.Rectangle(rect.Left + 2, rect.Top + 2, rect.Right - 2, rect.Bottom - 2);
    if (plan->CourtType(col) == 'D') Line(canvas, x, rect.Top + 6, x, rect.Bottom - 6);
    Line(canvas, rect.Left + 6, y - 1, rect.Right - 6, y - 1);
    Line(canvas, rect.Left + 6, y + 1, rect.Right - 6, y + 1);
    const int places[4][2] = {{rect.Left + 3, rect.Top + h / 2},
                              {x + 3, rect.Top + h / 2},
                              {rect.Left + 3, y + 2},
                              {x + 3, y + 2}};
    for (int p = 1; p <= 4; ++p) {
        const int n = plan->GetSlot(row, col, p);
        if (n != 0) canvas.TextOut(places[p - 1][0], places[p - 1][1], Number("%4d", n));
    }
}

void TMainForm::OpenMatchBox() {
    if (CurrentPlan() == nullptr || ManualMatchAssignBox == nullptr) return;
    if (ManualMatchAssignBox->SelectMatch(DrawGrid->Col(), DrawGrid->Row()))
        ShowModal(*ManualMatchAssignBox);
}

bool TMainForm::LeavePlanManualMode() {
    Matches* plan = CurrentPlan();
    if (plan == nullptr) return true;
    if (plan->IsManualMode()) {
        MessageBox("Exiting manual mode, checking for errors and warnings.", "Caution",
                   MB_OK | MB_ICONINFORMATION);
        return EndManualAssignment();
    }
    const short code = plan->CheckComplete();
    if (code == rcOk) return true;
    if (code == rcIncompleteMatch)
        ShowIncompleteMatch();
    else
        MessageBox("Unknown error.", "Error", MB_OK | MB_ICONINFORMATION);
    return false;
}
