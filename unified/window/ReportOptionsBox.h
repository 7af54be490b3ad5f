#pragma once
// Setup > Report Heading and Notes: the report texts of the current event.

#include <QDialog>

class QLineEdit;
class QPushButton;

class TReportOptionsBox : public QDialog {
    Q_OBJECT

public:
    explicit TReportOptionsBox(QWidget* parent = nullptr);

    static constexpr int MaxTextChars = 60;

    QLineEdit* Heading;
    QLineEdit* Note1;
    QLineEdit* Note2;
    QLineEdit* Note3;
    QLineEdit* Note4;
    QLineEdit* Note5;
    QLineEdit* EmailSubject;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void OKBtnClick();
    QLineEdit* Note(int n) const;
};

extern TReportOptionsBox* ReportOptionsBox;
