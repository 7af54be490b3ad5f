#include "unified/ladder/OptionsPts.h"

#include "platform/MessageBox.h"
#include "platform/ShowModal.h"
#include "unified/core/rxerrors.h"
#include "unified/dialogparts/dialogParts.h"
#include "unified/dialogparts/editChecks.h"
#include "unified/dialogparts/eventViews.h"
#include "unified/ladder/Ladder.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

TOptionsPts* OptionsPts = nullptr;

namespace {

QString PointsText(int value) {
    return QString::fromStdString(IntToTextOrEmpty(value));
}

QString ExtraText(float value) {
    return QString::fromStdString(FloatToTextOrEmpty(value, FloatFormat::Fixed, 7, 3));
}

} // namespace

TOptionsPts::TOptionsPts(QWidget* parent) : QDialog(parent) {
    setObjectName("OptionsPts");
    setWindowTitle("Options - Points System");
    PointsWinner = NumberField(2);
    PointsLoser = NumberField(2);
    PointsTie = NumberField(2);
    ChalWins = NumberField(2);
    PerPosAdvanced = NumberField(6);
    PerPctAdvanced = NumberField(6);
    PerScoreMargin = NumberField(6);

    auto* layout = new QGridLayout(this);
    int row = 0;
    const auto field = [&](QLineEdit* edit, const char* label) {
        layout->addWidget(edit, row, 0);
        layout->addWidget(LabelFor(label, edit), row++, 1);
    };
    field(PointsWinner, "&Winner");
    field(PointsLoser, "&Loser");
    field(PointsTie, "&Tie");
    layout->addWidget(new QLabel("Additional points ..."), row++, 0, 1, 2);
    field(ChalWins, "if &Challenger (lower-ranked player) wins");
    layout->addWidget(new QLabel("Additional points (may be fractional) ..."), row++, 0, 1, 2);
    field(PerPosAdvanced, "per &number of positions between");
    field(PerPctAdvanced, "per &percentage of positions between");
    field(PerScoreMargin, "per &margin of score");
    layout->addWidget(OkCancelButtons(this, OK, Cancel), row, 0, 1, 2);
    // Alt+C belongs to the challenger's field; Escape still cancels.
    Cancel->setText("Cancel");

    connect(OK, &QPushButton::clicked, this, &TOptionsPts::OKClick);
}

void TOptionsPts::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TOptionsPts::FormShow() {
    if (CurrentLadder != nullptr) {
        const Ladder& ladder = *CurrentLadder;
        PointsWinner->setText(PointsText(ladder.PointsWinner()));
        PointsLoser->setText(PointsText(ladder.PointsLoser()));
        PointsTie->setText(PointsText(ladder.PointsTie()));
        ChalWins->setText(PointsText(ladder.ChalWins()));
        PerPosAdvanced->setText(ExtraText(ladder.PerPosAdvanced()));
        PerPctAdvanced->setText(ExtraText(ladder.PerPctAdvanced()));
        PerScoreMargin->setText(ExtraText(ladder.PerScoreMargin()));
    }
    PointsWinner->setFocus();
}

void TOptionsPts::OKClick() {
    int winner = 0, loser = 0, tie = 0, challenger = 0;
    double perPosition = 0, perPercent = 0, perMargin = 0;
    if (!ValidateIntegerEdit(PointsWinner, winner, 0, 99, true) ||
        !ValidateIntegerEdit(PointsLoser, loser, 0, 99, true) ||
        !ValidateIntegerEdit(PointsTie, tie, 0, 99, true) ||
        !ValidateIntegerEdit(ChalWins, challenger, 0, 99, true) ||
        !ValidateRealEdit(PerPosAdvanced, perPosition, 0, 99, true) ||
        !ValidateRealEdit(PerPctAdvanced, perPercent, 0, 99, true) ||
        !ValidateRealEdit(PerScoreMargin, perMargin, 0, 99, true))
        return;
    // The distance between the sides counts in positions or in percent.
    if (!PerPosAdvanced->text().isEmpty() && !PerPctAdvanced->text().isEmpty()) {
        MessageBox("Per positions between: provide percent or position value, but not both.",
                   "Error", MB_OK | MB_ICONEXCLAMATION);
        SelectAllAndFocus(PerPosAdvanced);
        return;
    }
    if (CurrentLadder != nullptr)
        CurrentLadder->SetPointsOptions(
            winner, loser, tie, challenger, static_cast<float>(perPosition),
            static_cast<float>(perPercent), static_cast<float>(perMargin));
    done(mrOk);
    RefreshEventViews();
}
