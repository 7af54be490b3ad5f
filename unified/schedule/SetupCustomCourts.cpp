#include "unified/schedule/SetupCustomCourts.h"

#include "platform/ShowModal.h"
#include "unified/dialogparts/dialogParts.h"
#include "unified/schedule/Matches.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>
#include <cstdio>

TSetupCustomCourts* SetupCustomCourts = nullptr;

TSetupCustomCourts::TSetupCustomCourts(QWidget* parent) : QDialog(parent) {
    setObjectName("SetupCustomCourts");
    setWindowTitle("Setup Customized Courts");
    CourtTypes = new QListWidget;
    CourtTypes->setObjectName("CourtTypes");
    CourtTypes->setFont(QFont("monospace"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(CourtTypes);
    layout->addWidget(new QLabel("Check a box to indicate\na Doubles court.\n\n"
                                 "Un-check a box to indicate\na Singles court."));
    layout->addWidget(OkCancelButtons(this, OK, Cancel));
    connect(OK, &QPushButton::clicked, this, &TSetupCustomCourts::OKClick);
}

void TSetupCustomCourts::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TSetupCustomCourts::FormShow() {
    CourtTypes->clear();
    if (setup == nullptr) return;
    for (int c = 1; c <= setup->courts && c <= Matches::MaxCourts; ++c) {
        char text[8];
        std::snprintf(text, sizeof text, "%3d", c);
        auto* item = new QListWidgetItem(text, CourtTypes);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(setup->courtTypes[c] == 'D' ? Qt::Checked : Qt::Unchecked);
    }
    CourtTypes->setFocus();
}

void TSetupCustomCourts::OKClick() {
    if (setup != nullptr)
        for (int c = 1; c <= CourtTypes->count() && c <= Matches::MaxCourts; ++c)
            setup->courtTypes[c] = CourtTypes->item(c - 1)->checkState() == Qt::Checked ? 'D' : 'S';
    done(mrOk);
}
