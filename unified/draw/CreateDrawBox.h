#pragma once
// Tools > Create Draw: how many of the players, in list order, are seeded
// in the automatic draw. Shown after ConfirmAutomaticDraw.

#include <QDialog>

class QLineEdit;
class QPushButton;

class TCreateDrawBox : public QDialog {
    Q_OBJECT

public:
    explicit TCreateDrawBox(QWidget* parent = nullptr);

    QLineEdit* NumberOfSeeds = nullptr;
    QPushButton* OK = nullptr;
    QPushButton* Cancel = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void OKClick();
};

extern TCreateDrawBox* CreateDrawBox;

// Before an automatic draw replaces a manual one, asks whether it may; yes
// ends manual mode. True when the draw may be made.
bool ConfirmAutomaticDraw();
