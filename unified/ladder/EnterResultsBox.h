#pragma once
// Tools > Enter Results: one match, its winner and loser chosen from the
// ladder. Apply enters the result and keeps the dialog for the next one.
// The main window fills the date, the name lists and the score first.

#include "unified/ladder/resultEntry.h"

class TEnterResultsBox : public ResultEntryBox {
    Q_OBJECT

public:
    explicit TEnterResultsBox(QWidget* parent = nullptr);

    QComboBox* Winner = nullptr; // first-named side of a tie
    QComboBox* Loser = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    bool EnterDialogResult() override { return EnterLadderResult(); }

private:
    bool EnterLadderResult();
};

extern TEnterResultsBox* EnterResultsBox;
