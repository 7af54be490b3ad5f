#include "unified/window/DelPlayerBox.h"

#include "platform/MessageBox.h"
#include "platform/ShowModal.h"
#include "unified/core/RXEvent.h"
#include "unified/core/rxerrors.h"
#include "unified/dialogparts/dialogParts.h"
#include "unified/window/MainForm.h"
#include "unified/window/playerNames.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

TDelPlayerBox* DelPlayerBox = nullptr;

TDelPlayerBox::TDelPlayerBox(QWidget* parent) : QDialog(parent) {
    setObjectName("DelPlayerBox");
    setWindowTitle("Delete Player");
    DelName = new QListWidget;
    DelName->setObjectName("DelName");
    DelName->setSelectionMode(QAbstractItemView::ExtendedSelection);
    auto* label = new QLabel("&Select one or more players:");
    label->setBuddy(DelName);
    OKBtn = NewDialogButton("OKBtn", "&OK");
    OKBtn->setDefault(true);
    CancelBtn = NewDialogButton("CancelBtn", "&Cancel");

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(DelName);
    layout->addLayout(ButtonRow({OKBtn, CancelBtn}));

    connect(OKBtn, &QPushButton::clicked, this, &TDelPlayerBox::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, [this] { done(mrCancel); });
}

void TDelPlayerBox::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // A window restored from the task bar is shown again: not a new use.
    if (event->spontaneous()) return;
    FillList();
    DelName->setFocus();
}

void TDelPlayerBox::FillList() {
    DelName->clear();
    for (const std::string& name : SortedPlayerNames())
        DelName->addItem(QString::fromStdString(name));
}

void TDelPlayerBox::OKBtnClick() {
    std::vector<std::string> chosen;
    for (int i = 0; i < DelName->count(); ++i)
        if (DelName->item(i)->isSelected())
            chosen.push_back(DelName->item(i)->text().toStdString());
    if (chosen.empty()) {
        MessageBox("Select a player name to be deleted.", "Error", MB_OK | MB_ICONEXCLAMATION);
        DelName->setFocus();
        return;
    }
    if (chosen.size() > 1 &&
        !AskConfirmation("Deleting " + std::to_string(chosen.size()) + " players")) {
        done(mrCancel);
        return;
    }
    std::size_t deleted = 0;
    for (const std::string& name : chosen) {
        const short code = CurrentEvent->DeletePlayerByName(name);
        if (code == rcOk) {
            ++deleted;
            continue;
        }
        ShowErrorMessage(code);
        // Those deleted before the failure are gone: the window and the
        // list show what is left.
        if (deleted > 0) {
            if (MainForm != nullptr) MainForm->RefreshViews();
            FillList();
        }
        DelName->setFocus();
        return;
    }
    if (MainForm != nullptr) MainForm->RefreshViews();
    done(mrOk);
}
