#include "unified/schedule/SetupCourtsRoundsBox.h"

#include "platform/MessageBox.h"
#include "platform/ShowModal.h"
#include "unified/dialogparts/RadioGroup.h"
#include "unified/dialogparts/dialogParts.h"
#include "unified/dialogparts/editChecks.h"
#include "unified/dialogparts/eventViews.h"
#include "unified/schedule/RoundNotations.h"
#include "unified/schedule/SetupCustomCourts.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <algorithm>

TSetupCourtsRoundsBox* SetupCourtsRoundsBox = nullptr;

namespace {

enum : int { SinglesCourts = 0, DoublesCourts = 1, CustomCourts = 2 };

} // namespace

TSetupCourtsRoundsBox::TSetupCourtsRoundsBox(QWidget* parent) : QDialog(parent) {
    setObjectName("SetupCourtsRoundsBox");
    setWindowTitle("Setup Courts and Rounds");
    NumCourts = NumberField(3);
    NumCourts->setObjectName("NumCourts");
    NumRounds = NumberField(2);
    NumRounds->setObjectName("NumRounds");
    CourtsLabel = LabelFor("&Courts", NumCourts);
    RoundsLabel = LabelFor("&Rounds", NumRounds);
    CourtTypes = new RadioGroup("Court Types", {"Singles", "Doubles", "Custom"});
    CourtTypes->setObjectName("CourtTypes");
    Customize = NewDialogButton("Customize", "Customi&ze Courts ...");
    Notations = NewDialogButton("Notations", "Round &Notations ...");

    auto* layout = new QGridLayout(this);
    layout->addWidget(CourtsLabel, 0, 0);
    layout->addWidget(NumCourts, 0, 1);
    layout->addWidget(RoundsLabel, 1, 0);
    layout->addWidget(NumRounds, 1, 1);
    layout->addWidget(CourtTypes, 0, 2, 3, 1);
    layout->addWidget(Customize, 2, 0, 1, 2);
    layout->addWidget(Notations, 3, 0, 1, 2);
    layout->addWidget(OkCancelButtons(this, OK, Cancel), 4, 0, 1, 3);
    // Alt+C belongs to the courts.
    Cancel->setText("Cancel");

    connect(Customize, &QPushButton::clicked, this, &TSetupCourtsRoundsBox::CustomizeClick);
    connect(Notations, &QPushButton::clicked, this, &TSetupCourtsRoundsBox::NotationsClick);
    connect(OK, &QPushButton::clicked, this, &TSetupCourtsRoundsBox::OKClick);
}

void TSetupCourtsRoundsBox::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TSetupCourtsRoundsBox::FormShow() {
    const Matches* plan = AsMatchPlan();
    if (plan == nullptr) return;
    NumRounds->setText(QString::number(plan->RoundCount()));
    NumCourts->setText(QString::number(plan->CourtCount()));
    CourtTypes->SetItemIndex(Setup.LoadCourtTypes(*plan));
    Setup.LoadRoundNotations(*plan);
    NumCourts->setFocus();
}

void TSetupCourtsRoundsBox::CustomizeClick() {
    if (!ValidateIntegerEdit(NumCourts, Setup.courts, 1, Matches::MaxCourts, false)) return;
    SetupCustomCourts->Lend(&Setup);
    if (ShowModal(*SetupCustomCourts) == mrOk) CourtTypes->SetItemIndex(CustomCourts);
}

void TSetupCourtsRoundsBox::NotationsClick() {
    if (!ValidateIntegerEdit(NumRounds, Setup.rounds, 1, Matches::MaxRounds, false)) return;
    RoundNotations->Lend(&Setup);
    ShowModal(*RoundNotations);
}

bool TSetupCourtsRoundsBox::Warn(const char* text, QLineEdit* field) {
    if (MessageBox(text, "Warning", MB_OKCANCEL | MB_ICONEXCLAMATION) == IDOK) return true;
    field->setFocus();
    return false;
}

void TSetupCourtsRoundsBox::OKClick() {
    Matches* plan = AsMatchPlan();
    if (plan == nullptr) return;
    if (!ValidateIntegerEdit(NumCourts, Setup.courts, 1, Matches::MaxCourts, false) ||
        !ValidateIntegerEdit(NumRounds, Setup.rounds, 1, Matches::MaxRounds, false))
        return;
    const int oldCourts = plan->CourtCount();
    const int oldRounds = plan->RoundCount();
    if (Setup.courts < oldCourts && plan->HasMatchesInCourts(Setup.courts + 1, oldCourts) &&
        !Warn("Assigned matches in deleted courts will be lost.", NumCourts))
        return;

    const int choice = CourtTypes->ItemIndex();
    const auto newType = [&](int c) {
        return choice == SinglesCourts ? 'S' : choice == DoublesCourts ? 'D' : Setup.courtTypes[c];
    };
    bool truncated = false;
    for (int c = 1; c <= std::min(Setup.courts, oldCourts) && !truncated; ++c) {
        if (newType(c) != 'S') continue;
        for (int r = 1; r <= Setup.rounds && !truncated; ++r)
            truncated = plan->GetSlot(r, c, 2) != 0 || plan->GetSlot(r, c, 4) != 0;
    }
    if (truncated &&
        !Warn("Assigned doubles matches in new singles courts will be truncated.", NumCourts))
        return;

    bool extraNotes = false;
    for (int r = Setup.rounds + 1; r <= Matches::MaxRounds; ++r)
        extraNotes = extraNotes || !Setup.roundNotations[r].empty();
    if (extraNotes &&
        !Warn("More time entries than number of rounds; extras will be dropped.", NumRounds))
        return;
    if (Setup.rounds < oldRounds && plan->HasMatchesInRounds(Setup.rounds + 1, oldRounds) &&
        !Warn("Assigned matches in deleted rounds will be lost.", NumRounds))
        return;

    if (choice == CustomCourts) {
        Setup.NormalizeCourtTypes();
        plan->SetCourtTypes(Setup.courts, Setup.courtTypes);
    } else {
        plan->SetCourts(Setup.courts, choice == SinglesCourts ? 'S' : 'D');
    }
    plan->SetRounds(Setup.rounds, Setup.roundNotations);
    done(mrOk);
    RefreshEventViews();
}
