// The main window's tournament commands: the automatic draw, entering and
// leaving the manual draw, the draw's options, the bracket painted in the
// upper grid and the result dialog opened from it.

#include "unified/window/MainForm.h"

#include "platform/Canvas.h"
#include "platform/MessageBox.h"
#include "platform/ShowModal.h"
#include "platform/widgets/Grid.h"
#include "unified/core/rxerrors.h"
#include "unified/draw/CreateDrawBox.h"
#include "unified/draw/Draw.h"
#include "unified/draw/OptionsTournBox.h"
#include "unified/draw/TournResultsBox.h"
#include "unified/window/eventFactory.h"

#include <QAction>
#include <cstdio>

namespace {

constexpr const char* kTwoPlayers = "Draw must have at least two players.";

void ShowError(const std::string& text) {
    MessageBox(text, "Error", MB_OK | MB_ICONEXCLAMATION);
}

Draw* CurrentDraw() {
    return dynamic_cast<Draw*>(CurrentEvent);
}

// Texts in the bracket stand this far right of their cell's left edge, as
// the round headings do.
constexpr int kTextIndent = 3;

void Line(Canvas& canvas, int x1, int y1, int x2, int y2) {
    canvas.MoveTo(x1, y1);
    canvas.LineTo(x2, y2);
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

void TMainForm::PaintDrawCell(Canvas& canvas, int col, int row, const TRect& rect) {
    const Draw* draw = IsEventUsable() ? CurrentDraw() : nullptr;
    if (draw == nullptr) return;
    const int h = (rect.Bottom - rect.Top) / 2;
    const int x = rect.Left + kTextIndent;
    const int championCol = DrawGrid->ColCount() - 1;
    const bool hasDraw = draw->ResultCount() > 0;

    if (col == 0 && row == 0) {
        canvas.TextOut(rect.Left, rect.Top, draw->IsDoubles() ? "Doubles" : "Singles");
        Line(canvas, rect.Left, rect.Bottom - 1, rect.Right, rect.Bottom - 1);
        return;
    }
    if (col == 0) {
        char number[16];
        std::snprintf(number, sizeof number, "%3.3d", row);
        canvas.TextOut(rect.Left, rect.Top, number);
        return;
    }
    if (row == 0) {
        Line(canvas, rect.Left, rect.Top, rect.Left, rect.Bottom);
        Line(canvas, rect.Left, rect.Bottom - 1, rect.Right, rect.Bottom - 1);
        char heading[32];
        if (col == championCol)
            std::snprintf(heading, sizeof heading, "Champion");
        else
            std::snprintf(heading, sizeof heading, "Round %d", col);
        canvas.TextOut(x, rect.Top, heading);
        return;
    }

    if (col == championCol) {
        const int championRow = DrawGrid->RowCount() / 2;
        const int finalIndex = draw->ResultCount();
        if (hasDraw && row == championRow) {
            canvas.TextOut(x, rect.Top + h, draw->WinnerText(finalIndex));
            Line(canvas, rect.Left + 1, rect.Bottom - 1, rect.Right - 1, rect.Bottom - 1);
        }
        // The notes stand in row 1, below the heading. In a draw of 2 or 4
        // the champion stands there too, at half height, where the seeds
        // note would cover the name: a draw of 4 moves the notes to row 2; a
        // draw of 2 has no row 2 and puts the seeds note on the top line,
        // which in manual mode is the manual note's alone (a manual draw's
        // seeds are not those of an automatic draw).
        int notesRow = 1;
        int seedsY = rect.Top + h;
        bool seedsShown = true;
        if (hasDraw && championRow == 1) {
            if (DrawGrid->RowCount() > 2) {
                notesRow = 2;
            } else {
                seedsY = rect.Top;
                seedsShown = !draw->IsManualMode();
            }
        }
        if (row != notesRow) return;
        if (draw->IsManualMode()) canvas.TextOut(x, rect.Top, "(Manual Draw)");
        if (seedsShown)
            canvas.TextOut(x, seedsY, "(" + std::to_string(draw->SeedCount()) + " seeds)");
        return;
    }

    const int round = col;
    if (!hasDraw || round > draw->RoundCount()) return;
    const int span = 1 << (round - 1);
    const int match = (row - 1) / span + 1;
    if (match > draw->MatchesInRound(round)) return;
    const int index = draw->MatchIndex(round, match);

    if (round == 1) {
        canvas.TextOut(x, rect.Top, draw->FirstPlayerText(index));
        canvas.TextOut(x, rect.Top + h, draw->SecondPlayerText(index));
        canvas.MoveTo(rect.Right - 5, rect.Top + 1);
        canvas.LineTo(rect.Right - 1, rect.Top + h);
        canvas.LineTo(rect.Right - 5, rect.Bottom - 1);
        Line(canvas, rect.Left + 1, rect.Top + h - 1, rect.Right - 6, rect.Top + h - 1);
        Line(canvas, rect.Left + 1, rect.Bottom - 1, rect.Right - 6, rect.Bottom - 1);
        return;
    }

    // A later match spans `span` rows; its two players stand in the two
    // middle rows, joined by diagonals towards the next round.
    const int k = (row - 1) % span;
    const int upper = (span - 1) / 2;
    if (k != upper && k != upper + 1) return;
    const int underline = rect.Top + 3 * h / 2 - 1;
    if (k == upper) {
        canvas.TextOut(x, rect.Top + h / 2, draw->FirstPlayerText(index));
        Line(canvas, rect.Right - 9, rect.Top + 1, rect.Right - 1, rect.Bottom - 1);
    } else {
        canvas.TextOut(x, rect.Top + h / 2, draw->SecondPlayerText(index));
        Line(canvas, rect.Right - 1, rect.Top, rect.Right - 9, rect.Bottom - 1);
    }
    Line(canvas, rect.Left + 1, underline, rect.Right - 6, underline);
}

void TMainForm::OpenDrawMatch() {
    if (CurrentDraw() == nullptr || TournResultsBox == nullptr) return;
    if (TournResultsBox->SelectMatch(DrawGrid->Col(), DrawGrid->Row())) ShowModal(*TournResultsBox);
}
