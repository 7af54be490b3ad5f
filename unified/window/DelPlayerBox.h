#pragma once
// Deletes one or more players chosen from a list.

#include <QDialog>

class QListWidget;
class QPushButton;

class TDelPlayerBox : public QDialog {
    Q_OBJECT

public:
    explicit TDelPlayerBox(QWidget* parent = nullptr);

    QListWidget* DelName = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private slots:
    void OKBtnClick();

private:
    void FillList();
};

extern TDelPlayerBox* DelPlayerBox;
