#include "unified/online/ConfigureOnlineBox.h"

#include "platform/MessageBox.h"
#include "platform/Registry.h"
#include "platform/ShowModal.h"
#include "unified/dialogparts/dialogParts.h"
#include "unified/online/onlineService.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>

TConfigureOnlineBox* ConfigureOnlineBox = nullptr;

TConfigureOnlineBox::TConfigureOnlineBox(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Configure Online Access");
    Note = new QPlainTextEdit;
    Note->setReadOnly(true);
    Note->setPlainText("First time users:  \n"
                       "Click the Register button to create an online user ID.  \n"
                       "(You must have Internet access to do this.)\n"
                       "Then enter the user ID and click OK.");
    RegisterBtn = new QPushButton("&Register...");
    UserID = new QLineEdit;
    auto* layout = new QGridLayout(this);
    layout->addWidget(Note, 0, 0, 1, 2);
    layout->addWidget(RegisterBtn, 1, 0);
    layout->addWidget(LabelFor("Enter your &user ID for the online service:", UserID), 2, 0, 1, 2);
    layout->addWidget(UserID, 3, 0, 1, 2);
    layout->addWidget(OkCancelButtons(this, OKBtn, CancelBtn), 4, 0, 1, 2);
    connect(RegisterBtn, &QPushButton::clicked, this, &TConfigureOnlineBox::RegisterBtnClick);
    connect(OKBtn, &QPushButton::clicked, this, &TConfigureOnlineBox::OKBtnClick);
}

void TConfigureOnlineBox::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return;
    UserID->clear();
    TRegistry registry;
    if (registry.OpenKeyReadOnly(kOnlineKey))
        UserID->setText(QString::fromStdString(registry.ReadString("userID")));
    UserID->setFocus();
}

void TConfigureOnlineBox::RegisterBtnClick() {
    if (OpenWebPage) OpenWebPage(OnlineRegistrationPage());
}

void TConfigureOnlineBox::OKBtnClick() {
    TRegistry registry;
    if (!registry.OpenKey(kOnlineKey, true)) {
        MessageBox("Program was unable to open/create registry entry!", "Error",
                   MB_OK | MB_ICONSTOP);
        return;
    }
    try {
        registry.WriteString("userId", UserID->text().toStdString());
    } catch (const ERegistryException&) {
        MessageBox("Program was unable to write in registry entry!", "Error", MB_OK | MB_ICONSTOP);
        return;
    }
    done(mrOk);
}
