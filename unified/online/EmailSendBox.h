#pragma once
// The prompt before a sending: the subject and the mail server's password.

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

class TEmailSendBox : public QDialog {
    Q_OBJECT

public:
    explicit TEmailSendBox(QWidget* parent = nullptr);

    QLabel* Label1;
    QLineEdit* Subject;
    QLabel* Label2;
    QLineEdit* Password;
    QPushButton* OK;
    QPushButton* Cancel;

protected:
    void showEvent(QShowEvent* event) override;
};

extern TEmailSendBox* EmailSendBox;
