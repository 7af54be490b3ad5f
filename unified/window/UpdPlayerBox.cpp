#include "unified/window/UpdPlayerBox.h"

#include "platform/MessageBox.h"
#include "platform/ShowModal.h"
#include "unified/dialogparts/dialogParts.h"
#include "unified/window/AUPlayerBox.h"
#include "unified/window/playerNames.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

TUpdPlayerBox* UpdPlayerBox = nullptr;

TUpdPlayerBox::TUpdPlayerBox(QWidget* parent) : QDialog(parent) {
    setObjectName("UpdPlayerBox");
    setWindowTitle("Update Player");
    UpdName = new QComboBox;
    UpdName->setObjectName("UpdName");
    UpdName->setMinimumWidth(250);
    auto* label = new QLabel("&Select player:");
    label->setBuddy(UpdName);
    OKBtn = NewDialogButton("OKBtn", "&OK");
    OKBtn->setDefault(true);
    CancelBtn = NewDialogButton("CancelBtn", "&Cancel");

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(UpdName);
    layout->addStretch();
    layout->addLayout(ButtonRow({OKBtn, CancelBtn}));

    connect(OKBtn, &QPushButton::clicked, this, &TUpdPlayerBox::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, [this] { done(mrCancel); });
}

void TUpdPlayerBox::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // A window restored from the task bar is shown again: not a new use.
    if (event->spontaneous()) return;
    UpdName->clear();
    for (const std::string& name : SortedPlayerNames())
        UpdName->addItem(QString::fromStdString(name));
    UpdName->setCurrentIndex(-1);
    UpdName->setFocus();
}

void TUpdPlayerBox::OKBtnClick() {
    if (UpdName->currentIndex() < 0) {
        MessageBox("Select a player name to be updated.", "Error", MB_OK | MB_ICONEXCLAMATION);
        UpdName->setFocus();
        return;
    }
    if (AUPlayerBox->PrepareUpdate(UpdName->currentText().toStdString())) ShowModal(*AUPlayerBox);
    done(mrOk);
}
