#pragma once
// The steps both result dialogs share: the question when a result lies out
// of the challenge range, and the entry of the result itself.

#include <string>

class QCheckBox;
class QComboBox;
class QLineEdit;

// Today as "mm/dd/yyyy", the date a new result starts with.
std::string TodayText();

// Empties the list and fills it with every player's display name in ladder
// order, in a doubles ladder followed by " \t " and the partner's; nothing
// is chosen.
void FillNameList(QComboBox* list);

// Shows the error and focuses the list when nothing is chosen in it.
bool RequireChoice(QComboBox* list, const char* missing);

// The name chosen in a list: in a doubles ladder the part before the
// partner's name. Empty when nothing is chosen.
std::string ChosenName(const QComboBox* list);

// True when a result between these sides lies within the challenge range,
// or when the user lets it stand after the warning.
bool AcceptChallenge(const std::string& winner, const std::string& winnerPartner,
                     const std::string& loser, const std::string& loserPartner);

// Enters the result of the dialog's date, score and tie fields. A refusal
// is shown (a bad date sends the focus back to the date); true when stored,
// and the main window then shows it.
bool StoreResult(QLineEdit* date, const QLineEdit* score, const QCheckBox* tie,
                 const std::string& winner, const std::string& loser,
                 const std::string& winnerPartner, const std::string& loserPartner);
