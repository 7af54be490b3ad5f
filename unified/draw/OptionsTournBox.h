#pragma once
// Options > Options of a tournament: whether the next automatic draw gives
// its byes to the seeded players first.

#include <QDialog>

class QCheckBox;
class QPushButton;

class TOptionsTournBox : public QDialog {
    Q_OBJECT

public:
    explicit TOptionsTournBox(QWidget* parent = nullptr);

    QCheckBox* ByesToSeeded = nullptr;
    QPushButton* OK = nullptr;
    QPushButton* Cancel = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void OKClick();
};

extern TOptionsTournBox* OptionsTournBox;
