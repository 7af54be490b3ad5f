#pragma once
// Tools > Match Assignment: how the plan is filled (a round robin of
// singles, doubles or mixed doubles, the mixer, or a league), the shape it
// needs, and the mixer's options. OK checks everything and asks every
// question first; only then is the plan shaped and the engine run, so that
// a refusal or a Cancel leaves the plan as it was.

#include "unified/schedule/Matches.h"

#include <QDialog>
#include <functional>

class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class RadioGroup;

class TMatchAssignment : public QDialog {
    Q_OBJECT

public:
    // The items of AssignmentType.
    enum : int { SinglesRR = 0, DoublesRR = 1, MixedRR = 2, Mixer = 3, League = 4 };
    // The items of CourtTypes.
    enum : int { SinglesCourts = 0, DoublesCourts = 1, CustomCourts = 2 };

    explicit TMatchAssignment(QWidget* parent = nullptr);

    // The rounds of play each player gets from the mixer on the dialog's
    // courts (of Setup's types) and rounds: at most the rounds, and the
    // seats of all rounds shared among the players.
    int MixerRoundsPerPlayer(int players) const;

    RadioGroup* AssignmentType = nullptr;
    QRadioButton* Complete = nullptr;
    QRadioButton* Partial = nullptr;
    QRadioButton* Extended = nullptr;
    QLineEdit* NumCourts = nullptr;
    QLineEdit* NumRounds = nullptr;
    QLabel* CourtsLabel = nullptr;
    QLabel* RoundsLabel = nullptr;
    RadioGroup* CourtTypes = nullptr;
    QPushButton* Customize = nullptr;
    QPushButton* Notations = nullptr;
    QCheckBox* StrictlyMixed = nullptr;
    QCheckBox* FixedPartner = nullptr;
    QCheckBox* SkillDisparity = nullptr;
    QCheckBox* Gaps = nullptr;
    QLineEdit* Threshold = nullptr;
    QLineEdit* Diversity = nullptr;
    QLabel* ThreshLabel1 = nullptr;
    QLabel* ThreshLabel2 = nullptr;
    QLabel* DiversLabel1 = nullptr;
    QLabel* DiversLabel2 = nullptr;
    QLabel* DiversLabel3 = nullptr;
    QPushButton* OK = nullptr;
    QPushButton* Cancel = nullptr;
    QPlainTextEdit* Memo1 = nullptr;

    // The shape the dialog proposes or has checked.
    SetupDataCR Setup;

    // Runs after the mixer has filled the plan: the main window's match
    // analysis. Nothing when empty.
    std::function<void()> AfterMixer;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void AssignmentTypeClick();
    void CompleteClick();
    void PartialClick();
    void ExtendedClick();
    void FixedPartnerClick();
    void SkillDisparityClick();
    void CustomizeClick();
    void NotationsClick();
    void OKClick();
    void UpdateControls();
    void FillRoundRobinShape();

    // What OK has checked and will write just before the engine runs.
    struct Assignment {
        int type = 0;              // the schedule type
        char courtType = 0;        // 'S' or 'D' for every court; 0 for Setup's types
        std::uint32_t setBits = 0; // options to set and to clear (mixer)
        std::uint32_t clearBits = 0;
        int threshold = 0;
        int diversity = 0;
        int target = 0; // the mixer's rounds per player
    };
    bool CheckRoundRobin(const Matches& plan, Assignment& a);
    bool CheckMixer(const Matches& plan, Assignment& a);
    bool CheckLeague(const Matches& plan, Assignment& a);
    // Rounds of a partial schedule, from 1 to `full`, into Setup.
    bool CheckPartialRounds(int full);
    // A refused count: offers the mixer with the values it would take
    // instead; the dialog stays either way.
    // strictlyMixed: 1 checks StrictlyMixed, 0 unchecks it, -1 leaves it.
    void OfferMixer(const std::string& text, int courtTypes, int courts, int rounds,
                    int strictlyMixed);
    void SwitchToMixer(int courtTypes, int courts, int rounds, int strictlyMixed);
    // Writes the checked shape and options into the plan and runs the
    // engine; false when the plan refused the shape.
    bool Apply(Matches& plan, const Assignment& a);
    short RunEngine(Matches& plan, const Assignment& a);

    QButtonGroup* extent = nullptr; // Complete, Partial, Extended
};

extern TMatchAssignment* MatchAssignment;

// The mixer's progress: (round, court) before each court of each pass,
// (-1, phase) as an optimisation phase starts; written into the progress
// box, each phase at once and the courts as often as the box repaints.
void ReportMixerProgress(int round, int value);
