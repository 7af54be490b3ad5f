#pragma once
// The result of one draw match, opened from the draw grid: its winner, date
// and time, location and score. In manual mode it pairs a round-1 match
// instead: the two players are chosen from the player list.

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

class TTournResultsBox : public QDialog {
    Q_OBJECT

public:
    explicit TTournResultsBox(QWidget* parent = nullptr);

    // Takes the match under a cell of the draw grid (column = round); false
    // for a cell that holds none, and in manual mode for rounds after the
    // first, which are refused with a message.
    bool SelectMatch(int column, int row);
    int Round() const { return round; }
    int Match() const { return match; }

    QLabel* RoundMatchHeading = nullptr;
    QLabel* NamesLabel = nullptr; // "Winner:", or "Players:" in manual mode
    QLabel* nameA = nullptr;
    QLabel* nameB = nullptr;
    QCheckBox* winnerA = nullptr;
    QCheckBox* winnerB = nullptr;
    QComboBox* PlayerA = nullptr;
    QComboBox* PlayerB = nullptr;
    QLineEdit* DateTime = nullptr;
    QLineEdit* Location = nullptr;
    QLabel* ScoreLabel = nullptr;
    QLineEdit* MatchScore = nullptr;
    QPushButton* OK = nullptr;
    QPushButton* Cancel = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void OKClick();

    int round = 1;
    int match = 1;
};

extern TTournResultsBox* TournResultsBox;
