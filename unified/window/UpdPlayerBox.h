#pragma once
// Chooses the player to update, then hands it to the add/update box.

#include <QDialog>

class QComboBox;
class QPushButton;

class TUpdPlayerBox : public QDialog {
    Q_OBJECT

public:
    explicit TUpdPlayerBox(QWidget* parent = nullptr);

    QComboBox* UpdName = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private slots:
    void OKBtnClick();
};

extern TUpdPlayerBox* UpdPlayerBox;
