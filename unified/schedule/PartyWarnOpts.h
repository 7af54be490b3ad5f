#pragma once
// Options > Warnings: which warnings the plan's check issues, the skill
// disparity threshold and the diversity limit.

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;

class TPartyWarnOpts : public QDialog {
    Q_OBJECT

public:
    explicit TPartyWarnOpts(QWidget* parent = nullptr);

    QCheckBox* RoundsPerPlayer = nullptr;
    QCheckBox* SinglesPerPlayer = nullptr;
    QCheckBox* GenderImbal = nullptr;
    QCheckBox* SkillDisparity = nullptr;
    QLineEdit* Threshold = nullptr;
    QCheckBox* ScheduleDiversity = nullptr;
    QLineEdit* Times = nullptr;
    QCheckBox* Gaps = nullptr;
    QPushButton* OK = nullptr;
    QPushButton* Cancel = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void OKClick();
};

extern TPartyWarnOpts* PartyWarnOpts;
