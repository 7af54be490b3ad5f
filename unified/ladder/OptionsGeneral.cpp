#include "unified/ladder/OptionsGeneral.h"

#include "platform/MessageBox.h"
#include "platform/ShowModal.h"
#include "unified/dialogparts/RadioGroup.h"
#include "unified/dialogparts/dialogParts.h"
#include "unified/dialogparts/editChecks.h"
#include "unified/dialogparts/eventViews.h"
#include "unified/ladder/Ladder.h"

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

TOptionsGeneral* OptionsGeneral = nullptr;

namespace {

// A negative range value is the one not in use: an empty field.
QString RangeText(int value) {
    return value < 0 ? QString() : QString::number(value);
}

bool HoldsText(const QLineEdit* edit) {
    return !edit->text().trimmed().isEmpty();
}

QGroupBox* Panel(const char* caption, std::initializer_list<QCheckBox*> boxes) {
    auto* panel = new QGroupBox(caption);
    auto* layout = new QVBoxLayout(panel);
    for (QCheckBox* box : boxes)
        layout->addWidget(box);
    return panel;
}

} // namespace

TOptionsGeneral::TOptionsGeneral(QWidget* parent) : QDialog(parent) {
    setObjectName("OptionsGeneral");
    setWindowTitle("General Options");
    LadderSystem = new RadioGroup("Ladder system", {"&Traditional", "&Points"});
    ValChalPct = NumberField(0);
    ValChalPos = NumberField(0);
    DisplayResults = new RadioGroup("Display results on screen",
                                    {"&Unposted results", "&Next-issue results", "&All results"});
    CurrentIssue = new QCheckBox("Current &issue");
    NextIssue = new QCheckBox("N&ext issue");
    PreviousIssues = new QCheckBox("Pre&vious issues");
    ResultsBottom = new QCheckBox("Print results &below the player list");
    PreMatchPos = new QCheckBox("Include pre-&match position");
    PosChangeColumn = new QCheckBox("Include position c&hange");
    ShowWinLoss = new QCheckBox("Show &win-loss record");
    AllOneLine = new QCheckBox("Data a&ll on same line");

    auto* range = new QHBoxLayout;
    range->addWidget(LabelFor("Challenge &range:", ValChalPct));
    range->addWidget(ValChalPct);
    range->addWidget(new QLabel("%   OR"));
    range->addWidget(ValChalPos);
    range->addWidget(new QLabel("positions"));
    range->addStretch();

    auto* issues = new QHBoxLayout;
    for (QCheckBox* box : {CurrentIssue, NextIssue, PreviousIssues})
        issues->addWidget(box);
    issues->addStretch();

    auto* layout = new QGridLayout(this);
    layout->addWidget(LadderSystem, 0, 0);
    layout->addWidget(DisplayResults, 0, 1);
    layout->addLayout(range, 1, 0, 1, 2);
    layout->addWidget(new QLabel("Note: a value of zero indicates that challenge range is not "
                                 "checked"),
                      2, 0, 1, 2);
    layout->addWidget(new QLabel("Print results in report:"), 3, 0, 1, 2);
    layout->addLayout(issues, 4, 0, 1, 2);
    layout->addWidget(Panel("REPORT:  RESULTS SECTION", {ResultsBottom, PreMatchPos}), 5, 0);
    layout->addWidget(Panel("REPORT:  PLAYER LIST", {PosChangeColumn, ShowWinLoss, AllOneLine}), 5,
                      1);
    layout->addWidget(OkCancelButtons(this, OK, Cancel), 6, 0, 1, 2);

    connect(OK, &QPushButton::clicked, this, &TOptionsGeneral::OKClick);
}

void TOptionsGeneral::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TOptionsGeneral::FormShow() {
    if (CurrentLadder == nullptr) return;
    Ladder& ladder = *CurrentLadder;
    const LadderSettings& settings = *ladder.SystemSettings();
    LadderSystem->SetItemIndex(settings.ladderSystem);
    DisplayResults->SetItemIndex(settings.displayResults);
    ValChalPct->setText(RangeText(ladder.ChallengePercent()));
    ValChalPos->setText(RangeText(ladder.ChallengePositions()));
    const int mask = settings.issueMask;
    CurrentIssue->setChecked((mask & Ladder::CurrentIssue) != 0);
    NextIssue->setChecked((mask & Ladder::NextIssue) != 0);
    PreviousIssues->setChecked((mask & Ladder::PreviousIssues) != 0);
    const int flags = ladder.DisplayFlags();
    ShowWinLoss->setChecked((flags & Ladder::ShowWinLoss) != 0);
    ResultsBottom->setChecked((flags & Ladder::ResultsBottom) != 0);
    PreMatchPos->setChecked((flags & Ladder::PreMatchPos) != 0);
    AllOneLine->setChecked((flags & Ladder::AllOneLine) != 0);
    PosChangeColumn->setChecked((flags & Ladder::NoPosChange) == 0);
    ValChalPct->setFocus();
}

void TOptionsGeneral::OKClick() {
    if (CurrentLadder == nullptr) return;
    Ladder& ladder = *CurrentLadder;
    const bool percent = HoldsText(ValChalPct);
    if (percent == HoldsText(ValChalPos)) {
        MessageBox("Challenge range: provide percent or position value, but not both.", "Error",
                   MB_OK | MB_ICONEXCLAMATION);
        SelectAllAndFocus(ValChalPct);
        return;
    }
    int range = 0;
    if (percent ? !ValidateIntegerEdit(ValChalPct, range, 0, 100, false)
                : !ValidateIntegerEdit(ValChalPos, range, 0, 999, false))
        return;
    if (percent)
        ladder.SetChallengePercent(range);
    else
        ladder.SetChallengePositions(range);

    const auto flag = [&ladder](int bit, bool set) {
        if (set)
            ladder.SetDisplayFlags(bit);
        else
            ladder.ClearDisplayFlags(bit);
    };
    flag(Ladder::ShowWinLoss, ShowWinLoss->isChecked());
    flag(Ladder::ResultsBottom, ResultsBottom->isChecked());
    flag(Ladder::NoPosChange, !PosChangeColumn->isChecked());
    flag(Ladder::PreMatchPos, PreMatchPos->isChecked());
    flag(Ladder::AllOneLine, AllOneLine->isChecked());

    ladder.SetLadderSystem(LadderSystem->ItemIndex());
    ladder.SetDisplayResults(DisplayResults->ItemIndex());
    ladder.SetIssueMask((CurrentIssue->isChecked() ? Ladder::CurrentIssue : 0) |
                        (NextIssue->isChecked() ? Ladder::NextIssue : 0) |
                        (PreviousIssues->isChecked() ? Ladder::PreviousIssues : 0));
    done(mrOk);
    RefreshEventViews();
}
