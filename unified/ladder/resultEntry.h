#pragma once
// What the two result dialogs share: the date, score and tie fields, the
// OK and Apply flow, the question when a result lies out of the challenge
// range, and the entry of the result itself.

#include <QDialog>
#include <initializer_list>
#include <string>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

// Today as "mm/dd/yyyy", the date a new result starts with.
std::string TodayText();

// Empties the list and fills it with every player's display name in ladder
// order, in a doubles ladder followed by " \t " and the partner's; nothing
// is chosen.
void FillNameList(QComboBox* list);

class ResultEntryBox : public QDialog {
    Q_OBJECT

public:
    QLineEdit* Date = nullptr;
    QLineEdit* Score = nullptr;
    QCheckBox* TieScore = nullptr;
    QPushButton* OK = nullptr;
    QPushButton* Apply = nullptr;
    QPushButton* Cancel = nullptr;

protected:
    explicit ResultEntryBox(QWidget* parent);

    // One row of names: its label and its lists side by side.
    struct NameRow {
        const char* label;
        std::initializer_list<QComboBox*> lists;
    };
    // Lays the dialog out: the date with its note (none when null), the rows
    // of names, the score, the tie and the buttons; the tab order follows.
    void LayOut(const char* dateNote, std::initializer_list<NameRow> rows);

    // Checks and enters what the dialog holds; true when it was entered.
    virtual bool EnterDialogResult() = 0;

    // Shows the error and focuses the list when nothing is chosen in it.
    static bool RequireChoice(QComboBox* list, const char* missing);
    // The name chosen in a list: in a doubles ladder the part before the
    // partner's name.
    static std::string ChosenName(const QComboBox* list);
    // True when a result between these sides lies within the challenge
    // range, or when the user lets it stand after the warning.
    static bool AcceptChallenge(const std::string& winner, const std::string& winnerPartner,
                                const std::string& loser, const std::string& loserPartner);
    // Enters the result with the date, score and tie fields. A refusal is
    // shown (a bad date sends the focus back to the date); true when stored,
    // and the main window then shows it.
    bool StoreResult(const std::string& winner, const std::string& loser,
                     const std::string& winnerPartner, const std::string& loserPartner);

private:
    void OKClick();
    void ApplyClick();
};
