#include "unified/ladder/Enter2ResultsBox.h"

#include "platform/MessageBox.h"
#include "unified/ladder/Ladder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QShowEvent>

TEnter2ResultsBox* Enter2ResultsBox = nullptr;

TEnter2ResultsBox::TEnter2ResultsBox(QWidget* parent) : ResultEntryBox(parent) {
    setObjectName("Enter2ResultsBox");
    setWindowTitle("Enter Doubles Results");
    Winner1 = new QComboBox;
    Winner2 = new QComboBox;
    Loser1 = new QComboBox;
    Loser2 = new QComboBox;
    LayOut(nullptr, {{"&Winners", {Winner1, Winner2}}, {"&Losers", {Loser1, Loser2}}});
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
           StoreResult(winner1, loser1, winner2, loser2);
}
