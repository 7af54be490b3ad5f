#include "unified/online/EmailSendBox.h"

#include "platform/ShowModal.h"
#include "unified/dialogparts/dialogParts.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

TEmailSendBox* EmailSendBox = nullptr;

TEmailSendBox::TEmailSendBox(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Send E-mail");
    Subject = new QLineEdit;
    Subject->setMinimumWidth(Subject->fontMetrics().averageCharWidth() * 45);
    Password = new QLineEdit;
    Password->setEchoMode(QLineEdit::Password);
    Label1 = LabelFor("Subject", Subject);
    Label2 = LabelFor("Password", Password);
    auto* layout = new QGridLayout(this);
    layout->addWidget(Label1, 0, 0);
    layout->addWidget(Subject, 0, 1);
    layout->addWidget(Label2, 1, 0);
    layout->addWidget(Password, 1, 1);
    layout->addWidget(OkCancelButtons(this, OK, Cancel), 2, 0, 1, 2);
    connect(OK, &QPushButton::clicked, this, [this] { done(mrOk); });
}

void TEmailSendBox::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return;
    Subject->setFocus();
}
