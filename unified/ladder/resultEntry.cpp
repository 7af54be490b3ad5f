#include "unified/ladder/resultEntry.h"

#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "unified/core/rxerrors.h"
#include "unified/ladder/Ladder.h"
#include "unified/window/MainForm.h"
#include "unified/window/editChecks.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <cstdio>

namespace {

// Ladder codes that the result dialogs answer in their own words.
constexpr short kBadDate = 6;
constexpr short kTooManyResults = 100;

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

bool RequireChoice(QComboBox* list, const char* missing) {
    if (list->currentIndex() >= 0) return true;
    ShowError(missing);
    list->setFocus();
    return false;
}

std::string ChosenName(const QComboBox* list) {
    if (list->currentIndex() < 0) return std::string();
    std::string name = list->currentText().toStdString();
    const std::size_t partner = name.find(" \t ");
    if (partner != std::string::npos) name.erase(partner);
    return name;
}

bool AcceptChallenge(const std::string& winner, const std::string& winnerPartner,
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

bool StoreResult(QLineEdit* date, const QLineEdit* score, const QCheckBox* tie,
                 const std::string& winner, const std::string& loser,
                 const std::string& winnerPartner, const std::string& loserPartner) {
    const short code = CurrentLadder->EnterResult(date->text().toStdString(), winner, loser,
                                                  score->text().toStdString(), tie->isChecked(),
                                                  winnerPartner, loserPartner);
    switch (code) {
    case 0:
        if (MainForm != nullptr) MainForm->RefreshViews();
        return true;
    case kBadDate:
        ShowError("Date must be valid and in the form MM/DD/YY, or similar.");
        SelectAllAndFocus(date);
        return false;
    case kTooManyResults:
        ShowError("Maximum number of results exceeded.");
        return false;
    default:
        ShowErrorMessage(code);
        return false;
    }
}
