// The main window's views of the current event: their refresh, the player
// grid and its choice of a player, the ladder's results pane, the sizes of
// the draw's and the match schedule's grid, and the split between the panes.

#include "unified/window/MainForm.h"

#include "platform/widgets/Grid.h"
#include "unified/core/RXEvent.h"
#include "unified/core/rxProgram.h"
#include "unified/ladder/Ladder.h"
#include "unified/schedule/Matches.h"
#include "unified/window/eventFactory.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QTextBlock>
#include <algorithm>

namespace {

bool IsPlayerGender(char gender) {
    return gender == 'F' || gender == 'M';
}

} // namespace

void TMainForm::RefreshViews() {
    FillPlayerGrid();
    if (Settings.IsLadder()) {
        FillResultsPane();
    } else {
        if (Settings.IsDraw())
            SizeDrawGrid();
        else
            SizeMatchGrid();
        DrawGrid->viewport()->update();
    }
    update();
}

void TMainForm::FillPlayerGrid() {
    // Without a usable event (its making failed) the grid shows no players.
    const bool usable = IsEventUsable();
    const bool doubles = usable && CurrentEvent->IsDoubles();
    const int count = usable ? CurrentEvent->PlayerCount() : 0;
    Grid& grid = *PlayerGrid;

    std::string first;
    if (CurrentLadder != nullptr) first = CurrentLadder->IsPointsSystem() ? "Pts" : "PI";
    grid.SetCell(0, 0, "");
    grid.SetCell(1, 0, first);
    grid.SetCell(2, 0, CurrentLadder != nullptr ? "W-L" : "");
    grid.SetCell(3, 0, "Name");
    grid.SetCell(4, 0, "Work Phone");
    grid.SetCell(5, 0, "Home Phone");
    grid.SetCell(6, 0, "E-mail");

    const int rowsPerPlayer = doubles ? 2 : 1;
    grid.SetRowCount(count * rowsPerPlayer + 2);
    grid.SetSelection(GridRect());
    for (int i = 1; i <= count; ++i) {
        if (doubles) {
            FillPlayerRow(i, 2 * i - 1, false);
            FillPlayerRow(i, 2 * i, true);
        } else {
            FillPlayerRow(i, i, false);
        }
    }
    const int last = grid.RowCount() - 1;
    for (int c = 0; c < kPlayerGridColumns; ++c)
        grid.SetCell(c, last, "");
}

void TMainForm::FillPlayerRow(int number, int row, bool partner) {
    Grid& grid = *PlayerGrid;
    grid.SetCell(0, row, partner ? "" : std::to_string(number));
    const Player* player = IsEventUsable() ? CurrentEvent->Player(number) : nullptr;
    const Player* record = player == nullptr ? nullptr : partner ? player->partner.get() : player;
    if (record == nullptr) {
        // A missing partner record shows an empty row, not what the row held
        // before the refill.
        for (int c = 1; c < kPlayerGridColumns; ++c)
            grid.SetCell(c, row, "");
        return;
    }

    std::string first;
    std::string second;
    if (CurrentLadder != nullptr) {
        if (!partner) {
            first = std::to_string(
                CurrentLadder->IsPointsSystem() ? record->points : std::max(0, record->inactivity));
            second = std::to_string(record->wins) + "-" + std::to_string(record->losses);
            if (record->ties != 0) second += "-" + std::to_string(record->ties);
        }
    } else if (Settings.IsMatchPlan()) {
        first = IsPlayerGender(record->gender) ? std::string(1, record->gender) : " ";
    }
    grid.SetCell(1, row, std::move(first));
    grid.SetCell(2, row, std::move(second));
    grid.SetCell(3, row, record->firstName + " " + record->lastName);
    grid.SetCell(4, row, record->workPhone);
    grid.SetCell(5, row, record->homePhone);
    grid.SetCell(6, row, record->email);
}

void TMainForm::FillResultsPane() {
    paneResults.clear();
    if (CurrentLadder == nullptr) {
        ResultsPane->clear();
        return;
    }
    Ladder& ladder = *CurrentLadder;
    std::string text = ladder.IsDoubles() ? "Doubles - " : "Singles - ";
    if (ladder.PlayerCount() > 0)
        text += std::to_string(ladder.PlayerCount()) + " players.  " +
                "Next issue: " + std::to_string(ladder.IssueNumber() + 1);
    const int display = ladder.DisplayResults();
    for (int n = 1; n <= ladder.ResultCount(); ++n) {
        const int issue = ladder.ResultIssue(n);
        if (display == 2 || ladder.IsResultPending(n) ||
            (display == 1 && issue == ladder.IssueNumber() + 1)) {
            text += "\n" + ladder.ResultText(n);
            paneResults.push_back(n);
        }
    }
    ResultsPane->setPlainText(QString::fromStdString(text + "\n "));
}

void TMainForm::SizeDrawGrid() {
    Grid& grid = *DrawGrid;
    const int matches = IsEventUsable() ? CurrentEvent->ResultCount() : 0;
    const int rounds = IsEventUsable() ? CurrentEvent->RoundCount() : 0;
    grid.SetDefaultRowHeight(36);
    grid.SetDefaultColWidth(125);
    if (matches <= 0) {
        grid.SetRowCount(2);
        grid.SetColCount(2);
        return;
    }
    grid.SetRowCount(matches / 2 + 2);
    grid.SetColCount(rounds + 2);
    grid.SetRowHeight(0, grid.RowHeight(1) / 2);
    grid.SetColWidth(0, 50);
    // The champion column holds no match.
    for (int c = 0; c < grid.ColCount(); ++c)
        grid.SetTabStop(c, c != grid.ColCount() - 1);
}

void TMainForm::PlayerGridClick() {
    const bool doubles = IsEventUsable() && CurrentEvent->IsDoubles();
    const int row = PlayerGrid->Row();
    ChoosePlayer(doubles ? (row + 1) / 2 : row);
}

void TMainForm::ChoosePlayer(int player) {
    const bool doubles = IsEventUsable() && CurrentEvent->IsDoubles();
    const int count = IsEventUsable() ? CurrentEvent->PlayerCount() : 0;
    if (player < 1 || player > count) {
        selectionKind = 0;
        selectedNumber = 0;
        PlayerGrid->SetSelection(GridRect());
        return;
    }
    selectionKind = 2;
    selectedNumber = player;
    const int top = doubles ? 2 * player - 1 : player;
    const int bottom = doubles ? 2 * player : player;
    PlayerGrid->SetSelection({PlayerGrid->FixedCols(), top, PlayerGrid->ColCount() - 1, bottom});
}

void TMainForm::PlayerGridExit() {
    PlayerGrid->SetSelection(GridRect());
}

void TMainForm::ResultsPaneClick() {
    QTextCursor cursor = ResultsPane->textCursor();
    const int line = cursor.blockNumber(); // the header is line 0
    // A line chooses the pending result it shows, counted among the pending
    // ones; lines of posted results choose nothing.
    int pending = 0;
    if (CurrentLadder != nullptr && line >= 1 && line <= static_cast<int>(paneResults.size()) &&
        CurrentLadder->IsResultPending(paneResults[line - 1]))
        for (int n = 1; n <= paneResults[line - 1]; ++n)
            if (CurrentLadder->IsResultPending(n)) ++pending;
    if (pending > 0) {
        selectionKind = 1;
        selectedNumber = pending;
        cursor.movePosition(QTextCursor::StartOfBlock);
        cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    } else {
        selectionKind = 0;
        selectedNumber = 0;
        cursor.movePosition(QTextCursor::Start);
    }
    ResultsPane->setTextCursor(cursor);
}

void TMainForm::DrawGridDrawCell(Canvas& canvas, int col, int row, const TRect& rect, unsigned) {
    if (Settings.IsDraw())
        PaintDrawCell(canvas, col, row, rect);
    else if (Settings.IsMatchPlan())
        PaintMatchCell(canvas, col, row, rect);
}

void TMainForm::DrawGridKeyDown(int& key, Qt::KeyboardModifiers) {
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        if (Settings.IsDraw())
            OpenDrawMatch();
        else if (Settings.IsMatchPlan())
            OpenMatchBox();
    }
    // Every key refreshes the views, Enter or not.
    RefreshViews();
}

void TMainForm::DrawGridDblClick() {
    if (upperGridClickOnCell && Settings.IsDraw())
        OpenDrawMatch();
    else if (upperGridClickOnCell && Settings.IsMatchPlan())
        OpenMatchBox();
    RefreshViews();
}

void TMainForm::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    FormResize();
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    if (ResultsPane != nullptr && watched == ResultsPane->viewport() &&
        event->type() == QEvent::MouseButtonRelease)
        ResultsPaneClick();
    if (DrawGrid != nullptr && watched == DrawGrid->viewport() &&
        event->type() == QEvent::MouseButtonDblClick) {
        int col = 0;
        int row = 0;
        const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
        upperGridClickOnCell = DrawGrid->MouseToCell(at, col, row) &&
                               col >= DrawGrid->FixedCols() && row >= DrawGrid->FixedRows();
    }
    return QMainWindow::eventFilter(watched, event);
}

void TMainForm::FormResize() {
    SetPlayerGridHeight(static_cast<int>(splitterRatio * static_cast<float>(height() - 50)));
}

void TMainForm::Splitter1Moved() {
    if (height() > 0)
        splitterRatio = static_cast<float>(PlayerGrid->height()) / static_cast<float>(height());
}

void TMainForm::SetPlayerGridHeight(int height) {
    playerGridHeight = std::max(0, height);
    const QList<int> sizes = Splitter1->sizes();
    int total = 0;
    for (int size : sizes)
        total += size;
    if (total <= 0) total = std::max(0, Splitter1->height() - Splitter1->handleWidth());
    Splitter1->setSizes({std::max(0, total - playerGridHeight), playerGridHeight});
}
