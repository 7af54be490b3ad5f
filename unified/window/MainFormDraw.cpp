// The main window's tournament commands: the automatic draw, entering and
// leaving the manual draw, and the draw's options.

#include "unified/window/MainForm.h"

#include "platform/MessageBox.h"
#include "platform/ShowModal.h"
#include "unified/core/rxerrors.h"
#include "unified/draw/CreateDrawBox.h"
#include "unified/draw/Draw.h"
#include "unified/draw/OptionsTournBox.h"

namespace {

constexpr const char* kTwoPlayers = "Draw must have at least two players.";

void ShowError(const std::string& text) {
    MessageBox(text, "Error", MB_OK | MB_ICONEXCLAMATION);
}

Draw* CurrentDraw() {
    return dynamic_cast<Draw*>(CurrentEvent);
}

} // namespace

void TMainForm::OptTourn1Click() {
    ShowModal(*OptionsTournBox);
}

void TMainForm::CreateDraw1Click() {
    Draw* draw = CurrentDraw();
    if (draw == nullptr || !CheckDataPresent(false)) return;
    const bool wasManual = draw->IsManualMode();
    if (!ConfirmAutomaticDraw()) return;
    if (MakeAutomaticDraw(*draw) != mrOk && wasManual && draw->RoundCount() > 0) {
        // No automatic draw replaced the manual one, which stays in manual
        // mode: left unchecked, it could be saved but not opened again.
        draw->EnterManualMode();
        RefreshViews();
    }
}

int TMainForm::MakeAutomaticDraw(Draw& draw) {
    if (draw.PlayerCount() < 2) {
        ShowError(kTwoPlayers);
        return mrCancel;
    }
    if (draw.RoundCount() > 0 && MessageBox("Current draw will be over-written.", "Warning",
                                            MB_OKCANCEL | MB_ICONEXCLAMATION) != IDOK)
        return mrCancel;
    return ShowModal(*CreateDrawBox);
}

void TMainForm::ManualDraw1Click() {
    ToggleManualDraw();
}

void TMainForm::ToggleManualDraw() {
    Draw* draw = CurrentDraw();
    if (draw == nullptr) return;
    if (!CheckDataPresent(false)) {
        ManualDraw1->setChecked(draw->IsManualMode());
        return;
    }
    if (draw->PlayerCount() < 2) {
        ShowError(kTwoPlayers);
    } else if (!draw->HasNoResults()) {
        ShowError("Cannot manually change the draw after match results are reported.");
    } else if (draw->IsManualMode()) {
        std::string message;
        short code = rcOk;
        if (!draw->CheckManualDraw(message))
            ShowError(message);
        else if ((code = draw->AdvanceByes()) != rcOk)
            ShowErrorMessage(code);
        else
            draw->ClearManualMode();
    } else {
        // An automatic draw is kept and edited by hand; without one the
        // players are paired into an empty draw.
        short code = rcOk;
        if (draw->RoundCount() == 0) code = draw->CreateEmptyDraw();
        if (code != rcOk)
            ShowErrorMessage(code);
        else
            draw->EnterManualMode();
    }
    // The item's check follows the mode, not the click.
    ManualDraw1->setChecked(draw->IsManualMode());
    RefreshViews();
}
