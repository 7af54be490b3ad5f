#include "unified/draw/TournResultsBox.h"

#include "platform/MessageBox.h"
#include "platform/ShowModal.h"
#include "unified/core/rxerrors.h"
#include "unified/dialogparts/dialogParts.h"
#include "unified/dialogparts/editChecks.h"
#include "unified/dialogparts/eventViews.h"
#include "unified/draw/Draw.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <initializer_list>
#include <string>

TTournResultsBox* TournResultsBox = nullptr;

namespace {

void ShowError(const char* text) {
    MessageBox(text, "Error", MB_OK | MB_ICONEXCLAMATION);
}

Draw* CurrentDraw() {
    return dynamic_cast<Draw*>(CurrentEvent);
}

QLabel* NameLabel(const char* name) {
    auto* label = new QLabel;
    label->setObjectName(name);
    // Player names are shown as they were typed.
    label->setTextFormat(Qt::PlainText);
    label->setMinimumWidth(250);
    return label;
}

// A list of every player by display name, alphabetical; its text may also
// be cleared, which leaves the side empty.
QComboBox* PlayerList(const char* name) {
    auto* list = new QComboBox;
    list->setObjectName(name);
    list->setEditable(true);
    list->setInsertPolicy(QComboBox::NoInsert);
    list->setMinimumWidth(250);
    return list;
}

void FillPlayerList(QComboBox* list, const Draw& draw, int selected) {
    list->clear();
    for (int n = 1; n <= draw.PlayerCount(); ++n)
        list->addItem(QString::fromStdString(draw.PlayerDisplayName(n)));
    list->model()->sort(0);
    const int at = selected >= 1 && selected <= draw.PlayerCount()
                       ? list->findText(QString::fromStdString(draw.PlayerDisplayName(selected)),
                                        Qt::MatchExactly)
                       : -1;
    list->setCurrentIndex(at);
    if (at < 0) list->clearEditText();
}

// The first player whose display name is the list's text; 0 for none.
int ChosenPlayer(const QComboBox* list, const Draw& draw) {
    const std::string name = list->currentText().toStdString();
    for (int n = 1; n <= draw.PlayerCount(); ++n)
        if (draw.PlayerDisplayName(n) == name) return n;
    return 0;
}

} // namespace

TTournResultsBox::TTournResultsBox(QWidget* parent) : QDialog(parent) {
    setObjectName("TournResultsBox");
    setWindowTitle("Match Schedule & Results");
    RoundMatchHeading = new QLabel;
    RoundMatchHeading->setObjectName("RoundMatchHeading");
    NamesLabel = new QLabel("Winner:");
    NamesLabel->setObjectName("NamesLabel");
    nameA = NameLabel("nameA");
    nameB = NameLabel("nameB");
    winnerA = new QCheckBox("&A");
    winnerA->setObjectName("winnerA");
    winnerB = new QCheckBox("&B");
    winnerB->setObjectName("winnerB");
    PlayerA = PlayerList("PlayerA");
    PlayerB = PlayerList("PlayerB");
    DateTime = new QLineEdit;
    DateTime->setObjectName("DateTime");
    LimitEditLength(DateTime, 24);
    Location = new QLineEdit;
    Location->setObjectName("Location");
    LimitEditLength(Location, 24);
    MatchScore = new QLineEdit;
    MatchScore->setObjectName("MatchScore");
    LimitEditLength(MatchScore, 28);
    ScoreLabel = LabelFor("&Score", MatchScore);

    auto* layout = new QGridLayout(this);
    layout->addWidget(RoundMatchHeading, 0, 0, 1, 4);
    layout->addWidget(NamesLabel, 1, 0);
    layout->addWidget(winnerA, 1, 1);
    layout->addWidget(nameA, 1, 2);
    layout->addWidget(PlayerA, 1, 3);
    layout->addWidget(winnerB, 2, 1);
    layout->addWidget(nameB, 2, 2);
    layout->addWidget(PlayerB, 2, 3);
    layout->addWidget(LabelFor("&Date/Time", DateTime), 3, 0);
    layout->addWidget(DateTime, 3, 1, 1, 3);
    layout->addWidget(LabelFor("&Location", Location), 4, 0);
    layout->addWidget(Location, 4, 1, 1, 3);
    layout->addWidget(ScoreLabel, 5, 0);
    layout->addWidget(MatchScore, 5, 1, 1, 3);
    layout->addWidget(OkCancelButtons(this, OK, Cancel), 6, 0, 1, 4);

    connect(OK, &QPushButton::clicked, this, &TTournResultsBox::OKClick);
}

bool TTournResultsBox::SelectMatch(int column, int row) {
    const Draw* draw = CurrentDraw();
    if (draw == nullptr || draw->ResultCount() <= 0 || column < 1 || column > draw->RoundCount())
        return false;
    // The heading row, and rows past the bracket, hold no match.
    const int chosen = row < 1 ? 0 : (row - 1) / (1 << (column - 1)) + 1;
    if (chosen < 1 || chosen > draw->MatchesInRound(column)) return false;
    if (draw->IsManualMode() && column > 1) {
        ShowError("Manual assignments can only be made in round 1.");
        return false;
    }
    round = column;
    match = chosen;
    return true;
}

void TTournResultsBox::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TTournResultsBox::FormShow() {
    const Draw* draw = CurrentDraw();
    if (draw == nullptr) return;
    const bool manual = draw->IsManualMode();
    const int index = draw->MatchIndex(round, match);
    const TResult result = draw->GetMatch(round, match);
    std::string heading = "Round " + std::to_string(round) + " Match " + std::to_string(match);
    if (manual) heading += " (Manual Mode)";
    RoundMatchHeading->setText(QString::fromStdString(heading));
    nameA->setText(QString::fromStdString(draw->FirstPlayerText(index)));
    nameB->setText(QString::fromStdString(draw->SecondPlayerText(index)));
    DateTime->setText(QString::fromStdString(result.dateTime));
    Location->setText(QString::fromStdString(result.location));
    MatchScore->setText(QString::fromStdString(result.score));

    NamesLabel->setText(manual ? "Players:" : "Winner:");
    MatchScore->setEnabled(!manual);
    ScoreLabel->setEnabled(!manual);
    for (QWidget* normal : std::initializer_list<QWidget*>{nameA, nameB, winnerA, winnerB})
        normal->setVisible(!manual);
    PlayerA->setVisible(manual);
    PlayerB->setVisible(manual);
    if (manual) {
        FillPlayerList(PlayerA, *draw, result.first);
        FillPlayerList(PlayerB, *draw, result.second);
    } else {
        // An undecided match checks neither box, even with an empty slot.
        winnerA->setChecked(result.winner != 0 && result.winner == result.first);
        winnerB->setChecked(result.winner != 0 && result.winner == result.second);
    }
    DateTime->setFocus();
}

void TTournResultsBox::OKClick() {
    Draw* draw = CurrentDraw();
    if (draw == nullptr) return;
    const std::string dateTime = DateTime->text().toStdString();
    const std::string location = Location->text().toStdString();
    const std::string score = MatchScore->text().toStdString();
    short code = rcOk;
    if (draw->IsManualMode()) {
        const int a = ChosenPlayer(PlayerA, *draw);
        const int b = ChosenPlayer(PlayerB, *draw);
        if (a == b) {
            ShowError("You must choose two different players for each match.");
            PlayerA->setFocus();
            return;
        }
        code = draw->SetPairing(round, match, a, b);
        if (code == rcOk) code = draw->EnterResult(round, match, dateTime, location, score, 0);
    } else {
        if (winnerA->isChecked() && winnerB->isChecked()) {
            ShowError("Only one winner box can be checked.");
            winnerA->setFocus();
            return;
        }
        const int winner = winnerA->isChecked() ? 1 : winnerB->isChecked() ? 2 : 0;
        code = draw->EnterResult(round, match, dateTime, location, score, winner);
    }
    if (code != rcOk) ShowErrorMessage(code);
    done(mrOk);
    RefreshEventViews();
}
