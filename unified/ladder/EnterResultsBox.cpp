#include "unified/ladder/EnterResultsBox.h"

#include "platform/MessageBox.h"
#include "platform/ShowModal.h"
#include "unified/ladder/Ladder.h"
#include "unified/ladder/resultEntry.h"
#include "unified/window/dialogParts.h"
#include "unified/window/editChecks.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

TEnterResultsBox* EnterResultsBox = nullptr;

TEnterResultsBox::TEnterResultsBox(QWidget* parent) : QDialog(parent) {
    setObjectName("EnterResultsBox");
    setWindowTitle("Enter Results");
    Date = new QLineEdit;
    LimitEditLength(Date, 10);
    Winner = new QComboBox;
    Loser = new QComboBox;
    for (QComboBox* list : {Winner, Loser})
        list->setMinimumWidth(300);
    Score = new QLineEdit;
    LimitEditLength(Score, 50);
    TieScore = new QCheckBox("&Tie score");
    OK = NewDialogButton("OK", "&OK");
    OK->setDefault(true);
    Apply = NewDialogButton("Apply", "&Apply");
    Cancel = NewDialogButton("Cancel", "&Cancel");

    auto* layout = new QGridLayout(this);
    layout->addWidget(LabelFor("&Date", Date), 0, 0);
    layout->addWidget(Date, 0, 1);
    layout->addWidget(new QLabel("(mm/dd/yy)"), 0, 2);
    layout->addWidget(LabelFor("&Winner", Winner), 1, 0);
    layout->addWidget(Winner, 1, 1, 1, 2);
    layout->addWidget(LabelFor("&Loser", Loser), 2, 0);
    layout->addWidget(Loser, 2, 1, 1, 2);
    layout->addWidget(LabelFor("&Score", Score), 3, 0);
    layout->addWidget(Score, 3, 1, 1, 2);
    layout->addWidget(TieScore, 4, 1, 1, 2);
    layout->addLayout(ButtonRow({OK, Apply, Cancel}), 5, 0, 1, 3);
    QWidget* const order[] = {Date, Winner, Loser, Score, TieScore, OK, Apply, Cancel};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    connect(OK, &QPushButton::clicked, this, &TEnterResultsBox::OKClick);
    connect(Apply, &QPushButton::clicked, this, &TEnterResultsBox::ApplyClick);
    connect(Cancel, &QPushButton::clicked, this, [this] { done(mrCancel); });
}

void TEnterResultsBox::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return;
    Date->setFocus();
    TieScore->setChecked(false);
}

bool TEnterResultsBox::EnterLadderResult() {
    if (CurrentLadder == nullptr) return false;
    if (!RequireChoice(Winner, "Winner name is required.") ||
        !RequireChoice(Loser, "Loser name is required."))
        return false;
    const std::string winner = ChosenName(Winner);
    const std::string loser = ChosenName(Loser);
    if (winner == loser) {
        MessageBox("Winner name and Loser name must be different.", "Error",
                   MB_OK | MB_ICONEXCLAMATION);
        Winner->setFocus();
        return false;
    }
    return AcceptChallenge(winner, "", loser, "") &&
           StoreResult(Date, Score, TieScore, winner, loser, "", "");
}

void TEnterResultsBox::OKClick() {
    if (EnterLadderResult()) done(mrOk);
}

void TEnterResultsBox::ApplyClick() {
    // A refused entry leaves the focus where the refusal put it.
    if (EnterLadderResult()) Date->setFocus();
}
