#include "unified/ladder/Enter2ResultsBox.h"

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

TEnter2ResultsBox* Enter2ResultsBox = nullptr;

TEnter2ResultsBox::TEnter2ResultsBox(QWidget* parent) : QDialog(parent) {
    setObjectName("Enter2ResultsBox");
    setWindowTitle("Enter Doubles Results");
    Date = new QLineEdit;
    LimitEditLength(Date, 10);
    Winner1 = new QComboBox;
    Winner2 = new QComboBox;
    Loser1 = new QComboBox;
    Loser2 = new QComboBox;
    for (QComboBox* list : {Winner1, Winner2, Loser1, Loser2})
        list->setMinimumWidth(200);
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
    layout->addWidget(LabelFor("&Winners", Winner1), 1, 0);
    layout->addWidget(Winner1, 1, 1);
    layout->addWidget(Winner2, 1, 2);
    layout->addWidget(LabelFor("&Losers", Loser1), 2, 0);
    layout->addWidget(Loser1, 2, 1);
    layout->addWidget(Loser2, 2, 2);
    layout->addWidget(LabelFor("&Score", Score), 3, 0);
    layout->addWidget(Score, 3, 1, 1, 2);
    layout->addWidget(TieScore, 4, 1, 1, 2);
    layout->addLayout(ButtonRow({OK, Apply, Cancel}), 5, 0, 1, 3);
    QWidget* const order[] = {Date,  Winner1,  Winner2, Loser1, Loser2,
                              Score, TieScore, OK,      Apply,  Cancel};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    connect(OK, &QPushButton::clicked, this, &TEnter2ResultsBox::OKClick);
    connect(Apply, &QPushButton::clicked, this, &TEnter2ResultsBox::ApplyClick);
    connect(Cancel, &QPushButton::clicked, this, [this] { done(mrCancel); });
}

void TEnter2ResultsBox::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TEnter2ResultsBox::FormShow() {
    Date->setText(QString::fromStdString(TodayText()));
    for (QComboBox* list : {Winner1, Winner2, Loser1, Loser2})
        FillNameList(list);
    Score->clear();
    TieScore->setChecked(false);
    Date->setFocus();
}

bool TEnter2ResultsBox::EnterDoublesResult() {
    if (CurrentLadder == nullptr) return false;
    if (!RequireChoice(Winner1, "Winner name is required.") ||
        !RequireChoice(Loser1, "Loser name is required.") ||
        !RequireChoice(Winner2, "Winner name is required.") ||
        !RequireChoice(Loser2, "Loser name is required."))
        return false;
    const std::string names[] = {ChosenName(Winner1), ChosenName(Winner2), ChosenName(Loser1),
                                 ChosenName(Loser2)};
    for (int a = 0; a < 4; ++a)
        for (int b = a + 1; b < 4; ++b)
            if (names[a] == names[b]) {
                MessageBox("Winner names and Loser names must be different.", "Error",
                           MB_OK | MB_ICONEXCLAMATION);
                Winner1->setFocus();
                return false;
            }
    const auto& [winner1, winner2, loser1, loser2] = names;
    return AcceptChallenge(winner1, winner2, loser1, loser2) &&
           StoreResult(Date, Score, TieScore, winner1, loser1, winner2, loser2);
}

void TEnter2ResultsBox::OKClick() {
    if (EnterDoublesResult()) done(mrOk);
}

void TEnter2ResultsBox::ApplyClick() {
    // A refused entry leaves the focus where the refusal put it.
    if (EnterDoublesResult()) Date->setFocus();
}
