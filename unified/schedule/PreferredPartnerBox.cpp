#include "unified/schedule/PreferredPartnerBox.h"

#include "platform/ShowModal.h"
#include "unified/dialogparts/dialogParts.h"
#include "unified/dialogparts/editChecks.h"
#include "unified/dialogparts/eventViews.h"
#include "unified/schedule/Matches.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

TPreferredPartnerBox* PreferredPartnerBox = nullptr;

TPreferredPartnerBox::TPreferredPartnerBox(QWidget* parent) : QDialog(parent) {
    setObjectName("PreferredPartnerBox");
    setWindowTitle("Preferred Partnering");
    Round = NumberField(3);
    Round->setObjectName("Round");
    auto* layout = new QGridLayout(this);
    layout->addWidget(LabelFor("&Round", Round), 0, 0);
    layout->addWidget(Round, 0, 1);
    layout->addWidget(OkCancelButtons(this, OK, Cancel), 1, 0, 1, 2);
    connect(OK, &QPushButton::clicked, this, &TPreferredPartnerBox::OKClick);
}

void TPreferredPartnerBox::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TPreferredPartnerBox::FormShow() {
    Round->setText("1");
    SelectAllAndFocus(Round);
}

void TPreferredPartnerBox::OKClick() {
    Matches* plan = AsMatchPlan();
    if (plan == nullptr) return;
    int round = 0;
    if (!ValidateIntegerEdit(Round, round, 1, plan->RoundCount(), false)) return;
    plan->ApplyPreferredPartners(round);
    done(mrOk);
    RefreshEventViews();
}
