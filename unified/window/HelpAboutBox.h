#pragma once
// Help > About: the program's title, version and kind.

#include <QDialog>

class QLabel;
class QPushButton;

class THelpAboutBox : public QDialog {
    Q_OBJECT

public:
    explicit THelpAboutBox(QWidget* parent = nullptr);

    QLabel* Image1;
    QLabel* ProgName1;
    QLabel* ProgName2;
    QLabel* Copyright;
    QLabel* Company;
    QPushButton* OKBtn;

protected:
    void showEvent(QShowEvent* event) override;
};

extern THelpAboutBox* HelpAboutBox;
