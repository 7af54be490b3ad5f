#include "unified/schedule/ManualMatchAssignBox.h"

#include "platform/MessageBox.h"
#include "platform/ShowModal.h"
#include "unified/core/RXCode.h"
#include "unified/dialogparts/dialogParts.h"
#include "unified/dialogparts/eventViews.h"
#include "unified/schedule/Matches.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <string>

TManualMatchAssignBox* ManualMatchAssignBox = nullptr;

namespace {

QComboBox* PlayerList(const char* name) {
    auto* list = new QComboBox;
    list->setObjectName(name);
    list->setMinimumWidth(200);
    return list;
}

// The empty entry and every player's display name, sorted; the entry of
// player n chosen (the empty one for 0).
void FillPlayerList(QComboBox* list, const Matches& plan, int n) {
    list->clear();
    list->addItem(QString());
    for (int i = 1; i <= plan.PlayerCount(); ++i)
        list->addItem(QString::fromStdString(plan.PlayerDisplayName(i)));
    list->model()->sort(0);
    list->setCurrentIndex(
        list->findText(QString::fromStdString(plan.PlayerDisplayName(n)), Qt::MatchExactly));
}

int ChosenPlayer(const QComboBox* list, const Matches& plan) {
    const std::string name = list->currentText().toStdString();
    if (name.empty()) return 0;
    for (int n = 1; n <= plan.PlayerCount(); ++n)
        if (plan.PlayerDisplayName(n) == name) return n;
    return 0;
}

const char* RefusalText(short code) {
    switch (code) {
    case rcBadData:
        return "Invalid player number.";
    case rcScheduledTwice:
        return "Player is scheduled twice in this round.";
    case rcNotMixed:
        return "Match is not mixed doubles.";
    default:
        return "Unknown error.";
    }
}

} // namespace

TManualMatchAssignBox::TManualMatchAssignBox(QWidget* parent) : QDialog(parent) {
    setObjectName("ManualMatchAssignBox");
    setWindowTitle("Manual Match Assignment");
    RoundMatchHeading = new QLabel;
    RoundMatchHeading->setObjectName("RoundMatchHeading");
    Player1 = PlayerList("Player1");
    Player2 = PlayerList("Player2");
    Player3 = PlayerList("Player3");
    Player4 = PlayerList("Player4");

    auto* layout = new QGridLayout(this);
    layout->addWidget(RoundMatchHeading, 0, 0, 1, 4);
    layout->addWidget(new QLabel("Players:"), 1, 0);
    layout->addWidget(Player1, 1, 1);
    layout->addWidget(new QLabel("&"), 1, 2);
    layout->addWidget(Player2, 1, 3);
    layout->addWidget(new QLabel("vs."), 2, 0);
    layout->addWidget(Player3, 3, 1);
    layout->addWidget(new QLabel("&"), 3, 2);
    layout->addWidget(Player4, 3, 3);
    layout->addWidget(OkCancelButtons(this, OK, Cancel), 4, 0, 1, 4);
    connect(OK, &QPushButton::clicked, this, &TManualMatchAssignBox::OKClick);
}

bool TManualMatchAssignBox::SelectMatch(int column, int row) {
    const Matches* plan = AsMatchPlan();
    // Only a cell of a box: not the headings, nor past the plan's shape.
    if (plan == nullptr || row < 1 || row > plan->RoundCount() || column < 1 ||
        column > plan->CourtCount())
        return false;
    if (!plan->IsManualMode() && MessageBox("You are entering manual mode.", "Caution",
                                            MB_OKCANCEL | MB_ICONEXCLAMATION) != IDOK)
        return false;
    round = row;
    court = column;
    return true;
}

void TManualMatchAssignBox::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TManualMatchAssignBox::FormShow() {
    const Matches* plan = AsMatchPlan();
    if (plan == nullptr) return;
    RoundMatchHeading->setText(QString::fromStdString("Round " + std::to_string(round) + " Court " +
                                                      std::to_string(court) + " (Manual Mode)"));
    FillPlayerList(Player1, *plan, plan->GetSlot(round, court, 1));
    FillPlayerList(Player3, *plan, plan->GetSlot(round, court, 3));
    const bool doubles = plan->CourtType(court) != 'S';
    for (const auto& [list, p] : {std::pair{Player2, 2}, std::pair{Player4, 4}}) {
        list->setEnabled(doubles);
        if (doubles)
            FillPlayerList(list, *plan, plan->GetSlot(round, court, p));
        else
            list->clear();
    }
    Player1->setFocus();
}

void TManualMatchAssignBox::OKClick() {
    Matches* plan = AsMatchPlan();
    if (plan == nullptr) return;
    if (!plan->IsManualMode()) plan->EnterManualMode();
    const int players[4] = {ChosenPlayer(Player1, *plan), ChosenPlayer(Player2, *plan),
                            ChosenPlayer(Player3, *plan), ChosenPlayer(Player4, *plan)};
    // A refused box is kept as it was, so that Cancel leaves its match.
    const short code = plan->WriteBox(round, court, players);
    if (code != rcOk) {
        MessageBox(RefusalText(code), "Error", MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    if (plan->ScheduleType() != stNone && plan->ScheduleType() != stMixer)
        plan->SetManuallyModified();
    plan->SetScheduleType(stNone);
    done(mrOk);
    RefreshEventViews();
}
