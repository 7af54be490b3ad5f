#pragma once
// Tools > Enter Results: one match, its winner and loser chosen from the
// ladder. Apply enters the result and keeps the dialog for the next one.
// The main window fills the date, the name lists and the score first.

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

class TEnterResultsBox : public QDialog {
    Q_OBJECT

public:
    explicit TEnterResultsBox(QWidget* parent = nullptr);

    QLineEdit* Date = nullptr;
    QComboBox* Winner = nullptr; // first-named side of a tie
    QComboBox* Loser = nullptr;
    QLineEdit* Score = nullptr;
    QCheckBox* TieScore = nullptr;
    QPushButton* OK = nullptr;
    QPushButton* Apply = nullptr;
    QPushButton* Cancel = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void OKClick();
    void ApplyClick();
    // Checks and enters what the dialog holds; true when it was entered.
    bool EnterLadderResult();
};

extern TEnterResultsBox* EnterResultsBox;
