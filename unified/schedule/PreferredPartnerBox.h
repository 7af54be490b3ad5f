#pragma once
// Tools > Preferred Partnering: makes the list neighbours 1-2, 3-4 ...
// partners in the chosen round, by exchanging player numbers throughout
// the plan.

#include <QDialog>

class QLineEdit;
class QPushButton;

class TPreferredPartnerBox : public QDialog {
    Q_OBJECT

public:
    explicit TPreferredPartnerBox(QWidget* parent = nullptr);

    QLineEdit* Round = nullptr;
    QPushButton* OK = nullptr;
    QPushButton* Cancel = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void OKClick();
};

extern TPreferredPartnerBox* PreferredPartnerBox;
