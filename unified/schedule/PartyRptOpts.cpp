#include "unified/schedule/PartyRptOpts.h"

#include "platform/ShowModal.h"
#include "unified/dialogparts/dialogParts.h"
#include "unified/dialogparts/eventViews.h"
#include "unified/schedule/Matches.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>
#include <utility>

TPartyRptOpts* PartyRptOpts = nullptr;

TPartyRptOpts::TPartyRptOpts(QWidget* parent) : QDialog(parent) {
    setObjectName("PartyRptOpts");
    setWindowTitle("Report Layout Options");
    OptimizeLayout = new QCheckBox("Optimize &layout of Match Chart");
    ShowNames = new QCheckBox("Show &Names instead of Numbers in Match Chart");
    TwoColumn = new QCheckBox("&Two column output in player charts");
    SkipUnsched = new QCheckBox("&Skip unscheduled players in charts");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(OptimizeLayout);
    layout->addWidget(new QLabel("(courts across, rounds down, or vice versa)"));
    layout->addWidget(ShowNames);
    layout->addWidget(TwoColumn);
    layout->addWidget(SkipUnsched);
    layout->addWidget(OkCancelButtons(this, OK, Cancel));
    connect(OK, &QPushButton::clicked, this, &TPartyRptOpts::OKClick);
}

void TPartyRptOpts::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TPartyRptOpts::FormShow() {
    const Matches* plan = AsMatchPlan();
    if (plan == nullptr) return;
    OptimizeLayout->setChecked(plan->HasOption(::OptimizeLayout));
    ShowNames->setChecked(plan->HasOption(::ShowNames));
    TwoColumn->setChecked(plan->HasOption(::TwoColumn));
    SkipUnsched->setChecked(plan->HasOption(::SkipUnsched));
}

void TPartyRptOpts::OKClick() {
    Matches* plan = AsMatchPlan();
    if (plan == nullptr) return;
    const std::pair<QCheckBox*, std::uint32_t> bits[] = {
        {OptimizeLayout, ::OptimizeLayout},
        {ShowNames, ::ShowNames},
        {TwoColumn, ::TwoColumn},
        {SkipUnsched, ::SkipUnsched},
    };
    for (const auto& [box, bit] : bits)
        if (box->isChecked())
            plan->SetOptions(bit);
        else
            plan->ClearOptions(bit);
    done(mrOk);
    RefreshEventViews();
}
