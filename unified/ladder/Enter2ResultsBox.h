#pragma once
// Tools > Enter Doubles Results: a doubles match of a singles points ladder,
// entered by its four players; each player is scored on its own. Apply
// enters the result and keeps the dialog for the next one.

#include "unified/ladder/resultEntry.h"

class TEnter2ResultsBox : public ResultEntryBox {
    Q_OBJECT

public:
    explicit TEnter2ResultsBox(QWidget* parent = nullptr);

    QComboBox* Winner1 = nullptr;
    QComboBox* Winner2 = nullptr;
    QComboBox* Loser1 = nullptr;
    QComboBox* Loser2 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    bool EnterDialogResult() override { return EnterDoublesResult(); }

private:
    void FormShow();
    bool EnterDoublesResult();
};

extern TEnter2ResultsBox* Enter2ResultsBox;
