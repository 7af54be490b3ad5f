#pragma once
// Tools > Enter Doubles Results: a doubles match of a singles points ladder,
// entered by its four players; each player is scored on its own. Apply
// enters the result and keeps the dialog for the next one.

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

class TEnter2ResultsBox : public QDialog {
    Q_OBJECT

public:
    explicit TEnter2ResultsBox(QWidget* parent = nullptr);

    QLineEdit* Date = nullptr;
    QComboBox* Winner1 = nullptr;
    QComboBox* Winner2 = nullptr;
    QComboBox* Loser1 = nullptr;
    QComboBox* Loser2 = nullptr;
    QLineEdit* Score = nullptr;
    QCheckBox* TieScore = nullptr;
    QPushButton* OK = nullptr;
    QPushButton* Apply = nullptr;
    QPushButton* Cancel = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void OKClick();
    void ApplyClick();
    // Checks and enters what the dialog holds; true when it was entered.
    bool EnterDoublesResult();
};

extern TEnter2ResultsBox* Enter2ResultsBox;
