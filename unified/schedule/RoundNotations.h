#pragma once
// The notation (a date, a time, any short text) of each round of a shape
// lent by the courts-and-rounds or the assignment dialog. OK changes only
// the lent record; the plan cuts each notation to its length when the
// record reaches it.

#include <QDialog>

class QPushButton;
class QTableWidget;
struct SetupDataCR;

class TRoundNotations : public QDialog {
    Q_OBJECT

public:
    explicit TRoundNotations(QWidget* parent = nullptr);

    void Lend(SetupDataCR* record) { setup = record; }

    // Column 0 the round, column 1 its notation.
    QTableWidget* Notations = nullptr;
    QPushButton* OK = nullptr;
    QPushButton* Cancel = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void OKClick();

    SetupDataCR* setup = nullptr;
};

extern TRoundNotations* RoundNotations;
