#pragma once
// Options > Printing: margins, font size and orientation of the printed
// report and, for a tournament draw, how much of the bracket a page holds.

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class RadioGroup;

class TOptionsPrintBox : public QDialog {
    Q_OBJECT

public:
    explicit TOptionsPrintBox(QWidget* parent = nullptr);

    QLineEdit* TopMargin;
    QLineEdit* BottomMargin;
    QLineEdit* LeftMargin;
    QLineEdit* RightMargin;
    QLabel* RightLabel;
    QLineEdit* FontSize;
    RadioGroup* Orientation;
    QLabel* PerPageLabel;
    QComboBox* PlayersPerPage; // 4, 8, 16, 32
    QLabel* PlayersLabel;
    QComboBox* RoundsPerPage; // 1 to 5
    QLabel* RoundsLabel;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void OKBtnClick();
};

extern TOptionsPrintBox* OptionsPrintBox;
