#include "unified/ladder/resultEntry.h"

#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "platform/ShowModal.h"
#include "unified/core/rxerrors.h"
#include "unified/dialogparts/dialogParts.h"
#include "unified/dialogparts/editChecks.h"
#include "unified/dialogparts/eventViews.h"
#include "unified/ladder/Ladder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <cstdio>
#include <vector>

namespace {

void ShowError(const char* text) {
    MessageBox(text, "Error", MB_OK | MB_ICONEXCLAMATION);
}

} // namespace

std::string TodayText() {
    const std::tm today = LocalTime(ClockNow());
    char text[32];
    std::snprintf(text, sizeof text, "%02d/%02d/%04d", today.tm_mon + 1, today.tm_mday,
                  today.tm_year + 1900);
    return text;
}

void FillNameList(QComboBox* list) {
    list->clear();
    const Ladder* ladder = CurrentLadder;
    const int count = ladder == nullptr ? 0 : ladder->PlayerCount();
    for (int n = 1; n <= count; ++n) {
        std::string name = ladder->PlayerDisplayName(n);
        // A pair read from a file may lack its partner record.
        const Player* partner = ladder->Player(n)->partner.get();
        if (ladder->IsDoubles() && partner != nullptr)
            name += " \t " + partner->lastName + ", " + partner->firstName;
        list->addItem(QString::fromStdString(name));
    }
    list->setCurrentIndex(-1);
}

ResultEntryBox::ResultEntryBox(QWidget* parent) : QDialog(parent) {
    Date = new QLineEdit;
    LimitEditLength(Date, 10);
    Score = new QLineEdit;
    LimitEditLength(Score, 50);
    TieScore = new QCheckBox("&Tie score");
    OK = NewDialogButton("OK", "&OK");
    OK->setDefault(true);
    Apply = NewDialogButton("Apply", "&Apply");
    Cancel = NewDialogButton("Cancel", "&Cancel");
    connect(OK, &QPushButton::clicked, this, &ResultEntryBox::OKClick);
    connect(Apply, &QPushButton::clicked, this, &ResultEntryBox::ApplyClick);
    connect(Cancel, &QPushButton::clicked, this, [this] { done(mrCancel); });
}

void ResultEntryBox::LayOut(const char* dateNote, std::initializer_list<NameRow> rows) {
    auto* layout = new QGridLayout(this);
    std::vector<QWidget*> order{Date};
    layout->addWidget(LabelFor("&Date", Date), 0, 0);
    layout->addWidget(Date, 0, 1);
    if (dateNote != nullptr) layout->addWidget(new QLabel(dateNote), 0, 2);
    int row = 1;
    for (const NameRow& names : rows) {
        layout->addWidget(LabelFor(names.label, *names.lists.begin()), row, 0);
        int column = 1;
        for (QComboBox* list : names.lists) {
            list->setMinimumWidth(names.lists.size() == 1 ? 300 : 200);
            layout->addWidget(list, row, column, 1, names.lists.size() == 1 ? 2 : 1);
            column += 1;
            order.push_back(list);
        }
        ++row;
    }
    layout->addWidget(LabelFor("&Score", Score), row, 0);
    layout->addWidget(Score, row++, 1, 1, 2);
    layout->addWidget(TieScore, row++, 1, 1, 2);
    layout->addLayout(ButtonRow({OK, Apply, Cancel}), row, 0, 1, 3);
    order.insert(order.end(), {Score, TieScore, OK, Apply, Cancel});
    for (std::size_t i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void ResultEntryBox::OKClick() {
    if (EnterDialogResult()) done(mrOk);
}

void ResultEntryBox::ApplyClick() {
    // A refused entry leaves the focus where the refusal put it.
    if (EnterDialogResult()) Date->setFocus();
}

bool ResultEntryBox::RequireChoice(QComboBox* list, const char* missing) {
    if (list->currentIndex() >= 0) return true;
    ShowError(missing);
    list->setFocus();
    return false;
}

std::string ResultEntryBox::ChosenName(const QComboBox* list) {
    if (list->currentIndex() < 0) return std::string();
    std::string name = list->currentText().toStdString();
    const std::size_t partner = name.find(" \t ");
    if (partner != std::string::npos) name.erase(partner);
    return name;
}

bool ResultEntryBox::AcceptChallenge(const std::string& winner, const std::string& winnerPartner,
                                     const std::string& loser, const std::string& loserPartner) {
    ChallengeOutcome outcome;
    if (CurrentLadder->CheckChallenge(winner, winnerPartner, loser, loserPartner, outcome))
        return true;
    char text[256];
    std::snprintf(text, sizeof text, "%s:  winner at %d, loser at %d, spread=%d%s, allowed=%d%s",
                  "Challenge was out of range", outcome.winnerPos, outcome.loserPos, outcome.spread,
                  outcome.unit, outcome.allowed, outcome.unit);
    return MessageBox(text, "Warning", MB_OKCANCEL | MB_ICONEXCLAMATION) == IDOK;
}

bool ResultEntryBox::StoreResult(const std::string& winner, const std::string& loser,
                                 const std::string& winnerPartner,
                                 const std::string& loserPartner) {
    const short code = CurrentLadder->EnterResult(
        Date->text().toStdString(), winner, loser, Score->text().toStdString(),
        TieScore->isChecked(), winnerPartner, loserPartner);
    // A bad date and the result limit are answered in the dialog's own words.
    switch (code) {
    case rcOk:
        RefreshEventViews();
        return true;
    case rcBadDate:
        ShowError("Date must be valid and in the form MM/DD/YY, or similar.");
        SelectAllAndFocus(Date);
        return false;
    case rcResultLimit:
        ShowError("Maximum number of results exceeded.");
        return false;
    default:
        ShowErrorMessage(code);
        return false;
    }
}
