#include "unified/online/SetupEmailBox.h"

#include "platform/MessageBox.h"
#include "platform/Registry.h"
#include "platform/ShowModal.h"
#include "unified/dialogparts/dialogParts.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>

TSetupEmailBox* SetupEmailBox = nullptr;
const char* const kEmailSettingsKey = "\\Software\\Palomet Software\\Rostrix\\email";

namespace {

std::string TextOf(const QLineEdit* edit) {
    return edit->text().toStdString();
}

} // namespace

TSetupEmailBox::TSetupEmailBox(QWidget* parent) : QDialog(parent) {
    setWindowTitle("E-mail Setup");
    FromName = new QLineEdit;
    FromAddress = new QLineEdit;
    SmtpServer = new QLineEdit;
    Auth = new QCheckBox("Au&thentication required for outgoing mail");
    UserID = new QLineEdit;
    Password = new QLineEdit;
    Password->setEchoMode(QLineEdit::Password);
    PasswordLabel = LabelFor("&Password", Password);
    Password->hide();
    PasswordLabel->hide();
    Memo1 = new QPlainTextEdit;
    Memo1->setPlainText("Note:  the following information is stored on the computer with \n"
                        "the software installation, not in the Rostrix data file.");
    Memo1->setEnabled(false);
    FitNoteToText(Memo1);

    auto* layout = new QGridLayout(this);
    layout->addWidget(Memo1, 0, 0, 1, 2);
    layout->addWidget(new QLabel("E-mail sender:"), 1, 0, 1, 2);
    layout->addWidget(LabelFor("&Name", FromName), 2, 0);
    layout->addWidget(FromName, 2, 1);
    layout->addWidget(LabelFor("E-mail &Address", FromAddress), 3, 0);
    layout->addWidget(FromAddress, 3, 1);
    layout->addWidget(LabelFor("&SMTP Server", SmtpServer), 4, 0);
    layout->addWidget(SmtpServer, 4, 1);
    layout->addWidget(new QLabel("(outgoing mail)"), 5, 0);
    layout->addWidget(Auth, 6, 0, 1, 2);
    layout->addWidget(LabelFor("&User ID", UserID), 7, 0);
    layout->addWidget(UserID, 7, 1);
    layout->addWidget(PasswordLabel, 8, 0);
    layout->addWidget(Password, 8, 1);
    layout->addWidget(OkCancelButtons(this, OK, Cancel), 9, 0, 1, 2);
    setFixedSize(sizeHint());
    connect(OK, &QPushButton::clicked, this, &TSetupEmailBox::OKClick);
}

void TSetupEmailBox::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return;
    TRegistry registry;
    // A missing key leaves the fields as they were.
    if (registry.OpenKeyReadOnly(kEmailSettingsKey)) {
        FromName->setText(QString::fromStdString(registry.ReadString("fromName")));
        FromAddress->setText(QString::fromStdString(registry.ReadString("fromAddress")));
        SmtpServer->setText(QString::fromStdString(registry.ReadString("smtpServer")));
        UserID->setText(QString::fromStdString(registry.ReadString("userId")));
        Auth->setChecked(registry.ReadString("auth") == "1");
    }
    FromName->setFocus();
}

void TSetupEmailBox::OKClick() {
    if (!FromAddress->text().contains('@')) {
        MessageBox("Entry should be an e-mail address, such as organiser@club.example", "Error",
                   MB_OK | MB_ICONEXCLAMATION);
        FromAddress->selectAll();
        FromAddress->setFocus();
        return;
    }
    TRegistry registry;
    // Windows always has "Software"; a new settings store here may not.
    if (!registry.OpenKey("\\Software", true) || !registry.OpenKey("Palomet Software", true) ||
        !registry.OpenKey("Rostrix", true) || !registry.OpenKey("email", true)) {
        MessageBox("Program was unable to open/create registry entry!", "Error",
                   MB_OK | MB_ICONSTOP);
        return;
    }
    try {
        registry.WriteString("fromName", TextOf(FromName));
        registry.WriteString("fromAddress", TextOf(FromAddress));
        registry.WriteString("smtpServer", TextOf(SmtpServer));
        registry.WriteString("auth", Auth->isChecked() ? "1" : "0");
        registry.WriteString("userId", TextOf(UserID));
    } catch (const ERegistryException&) {
        MessageBox("Program was unable to write in registry entry!", "Error", MB_OK | MB_ICONSTOP);
        return;
    }
    done(mrOk);
}
