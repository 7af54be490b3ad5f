#include "unified/ladder/OptionsTrad.h"

#include "platform/ShowModal.h"
#include "unified/dialogparts/dialogParts.h"
#include "unified/dialogparts/editChecks.h"
#include "unified/dialogparts/eventViews.h"
#include "unified/ladder/Ladder.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

TOptionsTrad* OptionsTrad = nullptr;

TOptionsTrad::TOptionsTrad(QWidget* parent) : QDialog(parent) {
    setObjectName("OptionsTrad");
    setWindowTitle("Options - Traditional System");
    PenaltyDist = NumberField(3);
    PenaltyStart = NumberField(3);
    PenaltyCycle = NumberField(3);
    TopNoDrop = NumberField(0);

    auto* layout = new QGridLayout(this);
    layout->addWidget(LabelFor("&Penalty for inactivity (distance to drop on ladder)", PenaltyDist),
                      0, 0, 1, 3);
    layout->addWidget(PenaltyDist, 1, 1);
    layout->addWidget(new QLabel("%"), 1, 2);
    layout->addWidget(LabelFor("&Inactive players drop after", PenaltyStart), 2, 0);
    layout->addWidget(PenaltyStart, 2, 1);
    layout->addWidget(new QLabel("periods"), 2, 2);
    layout->addWidget(LabelFor("&and then every", PenaltyCycle), 3, 0);
    layout->addWidget(PenaltyCycle, 3, 1);
    layout->addWidget(new QLabel("period(s) thereafter"), 3, 2);
    layout->addWidget(LabelFor("&Top", TopNoDrop), 4, 0);
    layout->addWidget(TopNoDrop, 4, 1);
    layout->addWidget(new QLabel("players do not drop "), 4, 2);
    layout->addWidget(OkCancelButtons(this, OK, Cancel), 5, 0, 1, 3);

    connect(OK, &QPushButton::clicked, this, &TOptionsTrad::OKClick);
}

void TOptionsTrad::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) PenaltyDist->setFocus();
}

void TOptionsTrad::OKClick() {
    int dist = 0, start = 0, cycle = 0, top = 0;
    if (!ValidateIntegerEdit(PenaltyDist, dist, 0, 100, false) ||
        !ValidateIntegerEdit(PenaltyStart, start, 2, 999, false) ||
        !ValidateIntegerEdit(PenaltyCycle, cycle, 1, 999, false) ||
        !ValidateIntegerEdit(TopNoDrop, top, 0, 999, false))
        return;
    if (CurrentLadder != nullptr) {
        CurrentLadder->SetPenaltyDist(dist);
        CurrentLadder->SetPenaltyStart(start);
        CurrentLadder->SetPenaltyCycle(cycle);
        CurrentLadder->SetTopNoDrop(top);
    }
    done(mrOk);
    RefreshEventViews();
}
