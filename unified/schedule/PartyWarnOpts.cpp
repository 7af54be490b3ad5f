#include "unified/schedule/PartyWarnOpts.h"

#include "platform/ShowModal.h"
#include "unified/dialogparts/dialogParts.h"
#include "unified/dialogparts/editChecks.h"
#include "unified/dialogparts/eventViews.h"
#include "unified/schedule/Matches.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>
#include <utility>

TPartyWarnOpts* PartyWarnOpts = nullptr;

namespace {

// A check box with its number field between two labels, on one line.
QHBoxLayout* WithField(QCheckBox* box, const char* before, QLineEdit* field, const char* after) {
    auto* line = new QHBoxLayout;
    line->addWidget(box);
    line->addWidget(LabelFor(before, field));
    line->addWidget(field);
    line->addWidget(new QLabel(after));
    line->addStretch();
    return line;
}

} // namespace

TPartyWarnOpts::TPartyWarnOpts(QWidget* parent) : QDialog(parent) {
    setObjectName("PartyWarnOpts");
    setWindowTitle("Warning Options");
    RoundsPerPlayer = new QCheckBox("imbalance in &rounds per player");
    SinglesPerPlayer = new QCheckBox("imbalance in &singles rounds per player");
    GenderImbal = new QCheckBox("&gender (male/female) imbalance");
    SkillDisparity = new QCheckBox("high disparity in skill &levels");
    Threshold = NumberField(3);
    Threshold->setObjectName("Threshold");
    ScheduleDiversity = new QCheckBox("lack of schedule &diversity");
    Times = NumberField(2);
    Times->setObjectName("Times");
    Gaps = new QCheckBox("lo&ng schedule gaps");

    auto* group = new QGroupBox("Issue Warnings on:");
    auto* lines = new QVBoxLayout(group);
    lines->addWidget(RoundsPerPlayer);
    lines->addWidget(SinglesPerPlayer);
    lines->addWidget(GenderImbal);
    lines->addLayout(WithField(SkillDisparity, "(&threshold:", Threshold, "%)"));
    lines->addLayout(WithField(ScheduleDiversity, "(&more than", Times, "times with same player)"));
    lines->addWidget(Gaps);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(OkCancelButtons(this, OK, Cancel));
    connect(OK, &QPushButton::clicked, this, &TPartyWarnOpts::OKClick);
}

void TPartyWarnOpts::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TPartyWarnOpts::FormShow() {
    const Matches* plan = AsMatchPlan();
    if (plan == nullptr) return;
    RoundsPerPlayer->setChecked(plan->HasOption(::RoundsPerPlayer));
    SinglesPerPlayer->setChecked(plan->HasOption(::SinglesPerPlayer));
    GenderImbal->setChecked(plan->HasOption(::GenderImbal));
    SkillDisparity->setChecked(plan->HasOption(::SkillDisparity));
    ScheduleDiversity->setChecked(plan->HasOption(::ScheduleDiversity));
    Gaps->setChecked(plan->HasOption(::Gaps));
    Threshold->setText(QString::number(plan->DisparityThreshold()));
    Times->setText(QString::number(plan->DiversityLimit()));
    RoundsPerPlayer->setFocus();
}

void TPartyWarnOpts::OKClick() {
    Matches* plan = AsMatchPlan();
    if (plan == nullptr) return;
    int threshold = 0;
    int times = 0;
    // An empty field keeps the dialog open without a word.
    if (Threshold->text().isEmpty() || !ValidateIntegerEdit(Threshold, threshold, 10, 100, false))
        return;
    if (Times->text().isEmpty() || !ValidateIntegerEdit(Times, times, 1, 99, false)) return;
    const std::pair<QCheckBox*, std::uint32_t> bits[] = {
        {RoundsPerPlayer, ::RoundsPerPlayer},
        {SinglesPerPlayer, ::SinglesPerPlayer},
        {GenderImbal, ::GenderImbal},
        {SkillDisparity, ::SkillDisparity},
        {ScheduleDiversity, ::ScheduleDiversity},
        {Gaps, ::Gaps},
    };
    for (const auto& [box, bit] : bits)
        if (box->isChecked())
            plan->SetOptions(bit);
        else
            plan->ClearOptions(bit);
    plan->SetDisparityThreshold(threshold);
    plan->SetDiversityLimit(times);
    done(mrOk);
    RefreshEventViews();
}
