#pragma once
// Options > General of a ladder: the ladder system, the challenge range,
// which results the window shows and what the report prints.

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class RadioGroup;

class TOptionsGeneral : public QDialog {
    Q_OBJECT

public:
    explicit TOptionsGeneral(QWidget* parent = nullptr);

    RadioGroup* LadderSystem = nullptr;
    // The challenge range in percent of the positions, or in positions:
    // exactly one of them is filled.
    QLineEdit* ValChalPct = nullptr;
    QLineEdit* ValChalPos = nullptr;
    RadioGroup* DisplayResults = nullptr;
    QCheckBox* CurrentIssue = nullptr;
    QCheckBox* NextIssue = nullptr;
    QCheckBox* PreviousIssues = nullptr;
    QCheckBox* ResultsBottom = nullptr;
    QCheckBox* PreMatchPos = nullptr;
    QCheckBox* PosChangeColumn = nullptr;
    QCheckBox* ShowWinLoss = nullptr;
    QCheckBox* AllOneLine = nullptr;
    QPushButton* OK = nullptr;
    QPushButton* Cancel = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void OKClick();
};

extern TOptionsGeneral* OptionsGeneral;
