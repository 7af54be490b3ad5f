#pragma once
// Setup > Courts and Rounds: the number of courts and their types, the
// number of rounds and their notations. Before matches already assigned
// would be lost or cut, it asks; the plan changes only when every answer
// is OK.

#include "unified/schedule/Matches.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class RadioGroup;

class TSetupCourtsRoundsBox : public QDialog {
    Q_OBJECT

public:
    explicit TSetupCourtsRoundsBox(QWidget* parent = nullptr);

    QLineEdit* NumCourts = nullptr;
    QLineEdit* NumRounds = nullptr;
    QLabel* CourtsLabel = nullptr;
    QLabel* RoundsLabel = nullptr;
    RadioGroup* CourtTypes = nullptr;
    QPushButton* Customize = nullptr;
    QPushButton* Notations = nullptr;
    QPushButton* OK = nullptr;
    QPushButton* Cancel = nullptr;

    SetupDataCR Setup;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void CustomizeClick();
    void NotationsClick();
    void OKClick();
    // Asks before assigned matches are lost; false (the focus on `field`)
    // unless the answer is OK.
    bool Warn(const char* text, QLineEdit* field);
};

extern TSetupCourtsRoundsBox* SetupCourtsRoundsBox;
