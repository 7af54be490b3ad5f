#pragma once
// The players of one match box, chosen by name in manual mode: opened
// from the match grid by Enter or a double click on a box.

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;

class TManualMatchAssignBox : public QDialog {
    Q_OBJECT

public:
    explicit TManualMatchAssignBox(QWidget* parent = nullptr);

    // Takes the box under a cell of the match grid (column = court, row =
    // round); false for a cell outside the plan's boxes, or when the user
    // will not enter manual mode.
    bool SelectMatch(int column, int row);
    int Round() const { return round; }
    int Court() const { return court; }

    QLabel* RoundMatchHeading = nullptr;
    QComboBox* Player1 = nullptr;
    QComboBox* Player2 = nullptr;
    QComboBox* Player3 = nullptr;
    QComboBox* Player4 = nullptr;
    QPushButton* OK = nullptr;
    QPushButton* Cancel = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void OKClick();

    int round = 1;
    int court = 1;
};

extern TManualMatchAssignBox* ManualMatchAssignBox;
