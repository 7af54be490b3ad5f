#pragma once
// Options > Traditional System: how inactive players drop down the ladder.
// The main window fills the fields with the ladder's values before showing.

#include <QDialog>

class QLineEdit;
class QPushButton;

class TOptionsTrad : public QDialog {
    Q_OBJECT

public:
    explicit TOptionsTrad(QWidget* parent = nullptr);

    QLineEdit* PenaltyDist = nullptr;  // percent of the players
    QLineEdit* PenaltyStart = nullptr; // periods before the first drop
    QLineEdit* PenaltyCycle = nullptr; // periods between later drops
    QLineEdit* TopNoDrop = nullptr;    // top positions that never drop
    QPushButton* OK = nullptr;
    QPushButton* Cancel = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void OKClick();
};

extern TOptionsTrad* OptionsTrad;
