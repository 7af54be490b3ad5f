#pragma once
// Options > Point System: the points for a win, a loss and a tie, the
// challenger's extra, and the fractional extras for the distance between the
// sides or the margin of the score.

#include <QDialog>

class QLineEdit;
class QPushButton;

class TOptionsPts : public QDialog {
    Q_OBJECT

public:
    explicit TOptionsPts(QWidget* parent = nullptr);

    QLineEdit* PointsWinner = nullptr;
    QLineEdit* PointsLoser = nullptr;
    QLineEdit* PointsTie = nullptr;
    QLineEdit* ChalWins = nullptr;
    QLineEdit* PerPosAdvanced = nullptr;
    QLineEdit* PerPctAdvanced = nullptr;
    QLineEdit* PerScoreMargin = nullptr;
    QPushButton* OK = nullptr;
    QPushButton* Cancel = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void OKClick();
};

extern TOptionsPts* OptionsPts;
