#pragma once
// Setup > E-mail: the sender, the mail server and whether it wants a login,
// kept in the registry beside the installation, not in the event file.

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// The registry key of the e-mail settings, from the root.
extern const char* const kEmailSettingsKey;

class TSetupEmailBox : public QDialog {
    Q_OBJECT

public:
    explicit TSetupEmailBox(QWidget* parent = nullptr);

    QLineEdit* FromName;
    QLineEdit* FromAddress;
    QLineEdit* SmtpServer;
    QCheckBox* Auth;
    QLineEdit* UserID;
    QLabel* PasswordLabel;
    QLineEdit* Password; // hidden: no password is stored
    QPlainTextEdit* Memo1;
    QPushButton* OK;
    QPushButton* Cancel;

    void OKClick();

protected:
    void showEvent(QShowEvent* event) override;
};

extern TSetupEmailBox* SetupEmailBox;
