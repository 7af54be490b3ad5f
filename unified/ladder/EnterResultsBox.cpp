#include "unified/ladder/EnterResultsBox.h"

#include "platform/MessageBox.h"
#include "unified/ladder/Ladder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QShowEvent>

TEnterResultsBox* EnterResultsBox = nullptr;

TEnterResultsBox::TEnterResultsBox(QWidget* parent) : ResultEntryBox(parent) {
    setObjectName("EnterResultsBox");
    setWindowTitle("Enter Results");
    Winner = new QComboBox;
    Loser = new QComboBox;
    LayOut("(mm/dd/yy)", {{"&Winner", {Winner}}, {"&Loser", {Loser}}});
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
    return AcceptChallenge(winner, "", loser, "") && StoreResult(winner, loser, "", "");
}
