#include "unified/schedule/RoundNotations.h"

#include "platform/ShowModal.h"
#include "unified/dialogparts/dialogParts.h"
#include "unified/schedule/Matches.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

TRoundNotations* RoundNotations = nullptr;

TRoundNotations::TRoundNotations(QWidget* parent) : QDialog(parent) {
    setObjectName("RoundNotations");
    setWindowTitle("Setup Round Notations");
    Notations = new QTableWidget(0, 2);
    Notations->setObjectName("Notations");
    Notations->horizontalHeader()->hide();
    Notations->verticalHeader()->hide();
    Notations->horizontalHeader()->setStretchLastSection(true);
    Notations->setTabKeyNavigation(true);
    Notations->setEditTriggers(QAbstractItemView::AllEditTriggers);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Notations);
    layout->addWidget(new QLabel("Enter date/time or other information\n"
                                 "for each round.  (14 characters max.)"));
    layout->addWidget(OkCancelButtons(this, OK, Cancel));
    resize(260, 320);
    connect(OK, &QPushButton::clicked, this, &TRoundNotations::OKClick);
}

void TRoundNotations::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TRoundNotations::FormShow() {
    const int rounds = setup == nullptr ? 0 : std::clamp(setup->rounds, 0, int{Matches::MaxRounds});
    Notations->setRowCount(rounds);
    Notations->setColumnWidth(0, 30);
    for (int r = 1; r <= rounds; ++r) {
        auto* number = new QTableWidgetItem(QString::number(r));
        number->setFlags(number->flags() & ~Qt::ItemIsEditable);
        Notations->setItem(r - 1, 0, number);
        Notations->setItem(r - 1, 1,
                           new QTableWidgetItem(QString::fromStdString(setup->roundNotations[r])));
    }
    if (rounds > 0) Notations->setCurrentCell(0, 1);
    Notations->setFocus();
}

void TRoundNotations::OKClick() {
    if (setup != nullptr)
        for (int r = 1; r <= Notations->rowCount(); ++r) {
            const QTableWidgetItem* cell = Notations->item(r - 1, 1);
            setup->roundNotations[r] = cell == nullptr ? std::string() : cell->text().toStdString();
        }
    done(mrOk);
}
