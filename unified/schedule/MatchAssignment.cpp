#include "unified/schedule/MatchAssignment.h"

#include "platform/MessageBox.h"
#include "platform/ShowModal.h"
#include "unified/core/rxerrors.h"
#include "unified/dialogparts/ProgressBox.h"
#include "unified/dialogparts/RadioGroup.h"
#include "unified/dialogparts/dialogParts.h"
#include "unified/dialogparts/editChecks.h"
#include "unified/dialogparts/eventViews.h"
#include "unified/schedule/Mixer.h"
#include "unified/schedule/RoundNotations.h"
#include "unified/schedule/RoundRobin.h"
#include "unified/schedule/SetupCustomCourts.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>
#include <iterator>

TMatchAssignment* MatchAssignment = nullptr;

namespace {

constexpr const char* kTryMixer = " \nYou may want to try the Mixer assignment type instead.";

// The largest round robins the generators make.
constexpr int kMaxSinglesPlayers = 100;
constexpr int kMaxFixedPartnerPlayers = 100;
constexpr int kMaxDoublesPlayers = 24;
// A full league plays everyone home and away: 2 (n - 1) or 2n rounds.
constexpr int kMaxFullLeaguePlayers = 50;

void Enable(std::initializer_list<QWidget*> widgets, bool enabled) {
    for (QWidget* widget : widgets)
        widget->setEnabled(enabled);
}

// Sets a check box as code does; its handler runs only when the state
// changes, as it does for a click.
void SetChecked(QAbstractButton* button, bool checked, const std::function<void()>& handler) {
    if (button->isChecked() == checked) return;
    button->setChecked(checked);
    if (handler) handler();
}

// The mixer's progress in the progress box; while the box is open the
// program takes no command.
class ProgressWindow : public MixerProgress {
public:
    void Open(const std::string& caption, const std::string& text) override {
        if (ProgressBox != nullptr) ProgressBox->BeginWork(caption, text);
    }
    void Report(int round, int value) override { ReportMixerProgress(round, value); }
    void Close() override {
        if (ProgressBox != nullptr) ProgressBox->EndWork();
    }
};

int LeagueRounds(int n) {
    return n % 2 == 0 ? 2 * (n - 1) : 2 * n;
}

} // namespace

TMatchAssignment::TMatchAssignment(QWidget* parent) : QDialog(parent) {
    setObjectName("MatchAssignment");
    setWindowTitle("Match Assignment");
    AssignmentType = new RadioGroup(
        "Assignment Type", {"Singles Round Robin", "Doubles Round Robin",
                            "Mixed Doubles Round Robin", "Mixer", "League -- Home and Away"});
    AssignmentType->setObjectName("AssignmentType");
    Complete = new QRadioButton("&Full Schedule");
    Partial = new QRadioButton("&Partial Schedule");
    Extended = new QRadioButton("Ex&tended Schedule");
    extent = new QButtonGroup(this);
    for (QRadioButton* button : {Complete, Partial, Extended})
        extent->addButton(button);
    NumCourts = NumberField(3);
    NumCourts->setObjectName("NumCourts");
    NumRounds = NumberField(2);
    NumRounds->setObjectName("NumRounds");
    CourtsLabel = LabelFor("Number of co&urts:", NumCourts);
    RoundsLabel = LabelFor("Number of &rounds:", NumRounds);
    CourtTypes = new RadioGroup("Court Types", {"Singles", "Doubles", "Custom"});
    CourtTypes->setObjectName("CourtTypes");
    Customize = NewDialogButton("Customize", "Customi&ze Courts ...");
    Notations = NewDialogButton("Notations", "Time &Notations ...");
    StrictlyMixed = new QCheckBox("Strictly &mixed doubles");
    FixedPartner = new QCheckBox("F&ixed partners");
    SkillDisparity = new QCheckBox("S&kill Level Disparity:");
    Gaps = new QCheckBox("A&void Long Schedule Gaps");
    Threshold = NumberField(3);
    Threshold->setObjectName("Threshold");
    Diversity = NumberField(2);
    Diversity->setObjectName("Diversity");
    ThreshLabel1 = LabelFor("t&hreshold", Threshold);
    ThreshLabel2 = new QLabel("%");
    DiversLabel1 = LabelFor("Meet the same player no more than", Diversity);
    DiversLabel2 = new QLabel("times");
    DiversLabel3 = new QLabel("(schedule &diversity)");
    DiversLabel3->setBuddy(Diversity);
    Memo1 = new QPlainTextEdit(
        "The User Manual describes each assignment type and the mixer's options.");
    Memo1->setReadOnly(true);
    Memo1->setEnabled(false);
    Memo1->setMaximumHeight(60);

    auto* extentBox = new QVBoxLayout;
    for (QRadioButton* button : {Complete, Partial, Extended})
        extentBox->addWidget(button);
    auto* shape = new QGridLayout;
    shape->addWidget(CourtsLabel, 0, 0);
    shape->addWidget(NumCourts, 0, 1);
    shape->addWidget(RoundsLabel, 1, 0);
    shape->addWidget(NumRounds, 1, 1);
    shape->addWidget(Customize, 2, 0, 1, 2);
    shape->addWidget(Notations, 3, 0, 1, 2);
    auto* threshold = new QHBoxLayout;
    for (QWidget* widget :
         {static_cast<QWidget*>(SkillDisparity), static_cast<QWidget*>(ThreshLabel1),
          static_cast<QWidget*>(Threshold), static_cast<QWidget*>(ThreshLabel2)})
        threshold->addWidget(widget);
    threshold->addStretch();
    auto* diversity = new QHBoxLayout;
    for (QWidget* widget :
         {static_cast<QWidget*>(DiversLabel1), static_cast<QWidget*>(Diversity),
          static_cast<QWidget*>(DiversLabel2), static_cast<QWidget*>(DiversLabel3)})
        diversity->addWidget(widget);
    diversity->addStretch();

    auto* layout = new QGridLayout(this);
    layout->addWidget(AssignmentType, 0, 0);
    layout->addLayout(extentBox, 0, 1);
    layout->addLayout(shape, 1, 0);
    layout->addWidget(CourtTypes, 1, 1);
    layout->addWidget(StrictlyMixed, 2, 0);
    layout->addWidget(FixedPartner, 2, 1);
    layout->addLayout(threshold, 3, 0, 1, 2);
    layout->addLayout(diversity, 4, 0, 1, 2);
    layout->addWidget(Gaps, 5, 0, 1, 2);
    layout->addWidget(Memo1, 6, 0, 1, 2);
    layout->addWidget(OkCancelButtons(this, OK, Cancel), 7, 0, 1, 2);

    connect(AssignmentType, &RadioGroup::Clicked, this, &TMatchAssignment::AssignmentTypeClick);
    connect(Complete, &QRadioButton::clicked, this, &TMatchAssignment::CompleteClick);
    connect(Partial, &QRadioButton::clicked, this, &TMatchAssignment::PartialClick);
    connect(Extended, &QRadioButton::clicked, this, &TMatchAssignment::ExtendedClick);
    connect(FixedPartner, &QCheckBox::clicked, this, &TMatchAssignment::FixedPartnerClick);
    connect(SkillDisparity, &QCheckBox::clicked, this, &TMatchAssignment::SkillDisparityClick);
    connect(Customize, &QPushButton::clicked, this, &TMatchAssignment::CustomizeClick);
    connect(Notations, &QPushButton::clicked, this, &TMatchAssignment::NotationsClick);
    connect(OK, &QPushButton::clicked, this, &TMatchAssignment::OKClick);
}

void TMatchAssignment::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TMatchAssignment::FormShow() {
    const Matches* plan = AsMatchPlan();
    if (plan == nullptr) return;
    const int type = plan->ScheduleType();
    int choice = -1;
    switch (type) {
    case stMixer:
        choice = Mixer;
        break;
    case stSinglesRoundRobin:
    case stSinglesRoundRobinPartial:
        choice = SinglesRR;
        break;
    case stDoublesRoundRobin:
    case stDoublesRoundRobinPartial:
    case stFixedPartnerRoundRobin:
    case stFixedPartnerRoundRobinPartial:
        choice = DoublesRR;
        break;
    case stMixedRoundRobin:
    case stMixedRoundRobinPartial:
    case stMixedRoundRobinExtended:
        choice = MixedRR;
        break;
    case stLeague:
    case stLeaguePartial:
        choice = League;
        break;
    default:
        break;
    }
    AssignmentType->SetItemIndex(choice);
    Setup.LoadRoundNotations(*plan);
    UpdateControls();
    if (type == stSinglesRoundRobinPartial || type == stDoublesRoundRobinPartial ||
        type == stFixedPartnerRoundRobinPartial || type == stMixedRoundRobinPartial ||
        type == stLeaguePartial) {
        SetChecked(Partial, true, [this] { PartialClick(); });
        NumRounds->setText(QString::number(plan->RoundCount()));
    }
    if (type == stFixedPartnerRoundRobin || type == stFixedPartnerRoundRobinPartial)
        SetChecked(FixedPartner, true, [this] { FixedPartnerClick(); });
    if (type == stMixedRoundRobinExtended) SetChecked(Extended, true, [this] { ExtendedClick(); });
    AssignmentType->setFocus();
}

void TMatchAssignment::AssignmentTypeClick() {
    UpdateControls();
}

void TMatchAssignment::CompleteClick() {
    FillRoundRobinShape();
}

void TMatchAssignment::FixedPartnerClick() {
    FillRoundRobinShape();
}

void TMatchAssignment::PartialClick() {
    Enable({NumRounds, RoundsLabel}, true);
}

void TMatchAssignment::ExtendedClick() {
    FillRoundRobinShape();
    const Matches* plan = AsMatchPlan();
    if (plan == nullptr || AssignmentType->ItemIndex() != MixedRR) return;
    Setup.rounds += plan->PlayerCount() % 4 != 0 ? 2 : 1;
    NumRounds->setText(QString::number(Setup.rounds));
}

void TMatchAssignment::SkillDisparityClick() {
    const bool checked = SkillDisparity->isChecked();
    Threshold->setEnabled(checked);
    Threshold->setText(checked ? "50" : "100");
}

void TMatchAssignment::CustomizeClick() {
    if (!ValidateIntegerEdit(NumCourts, Setup.courts, 1, Matches::MaxCourts, false)) return;
    SetupCustomCourts->Lend(&Setup);
    if (ShowModal(*SetupCustomCourts) == mrOk) CourtTypes->SetItemIndex(CustomCourts);
}

void TMatchAssignment::NotationsClick() {
    if (!ValidateIntegerEdit(NumRounds, Setup.rounds, 1, Matches::MaxRounds, false)) return;
    RoundNotations->Lend(&Setup);
    ShowModal(*RoundNotations);
}

void TMatchAssignment::UpdateControls() {
    extent->setExclusive(false);
    for (QRadioButton* button : {Complete, Partial, Extended}) {
        button->setChecked(false);
        button->setEnabled(false);
    }
    extent->setExclusive(true);
    Enable({NumRounds, RoundsLabel, NumCourts, CourtsLabel, CourtTypes, Customize}, false);
    for (QCheckBox* box : {StrictlyMixed, FixedPartner, SkillDisparity, Gaps}) {
        box->setEnabled(false);
        box->setChecked(false);
    }
    Enable({Threshold, Diversity, ThreshLabel1, ThreshLabel2, DiversLabel1, DiversLabel2,
            DiversLabel3},
           false);
    Threshold->clear();
    Diversity->clear();

    const Matches* plan = AsMatchPlan();
    if (plan == nullptr) return;
    switch (AssignmentType->ItemIndex()) {
    case SinglesRR:
    case League:
    case DoublesRR:
        Enable({Complete, Partial}, true);
        if (AssignmentType->ItemIndex() == DoublesRR) {
            FixedPartner->setEnabled(true);
            FixedPartner->setChecked(plan->ScheduleType() == stFixedPartnerRoundRobin ||
                                     plan->ScheduleType() == stFixedPartnerRoundRobinPartial);
        }
        Complete->setChecked(true);
        FillRoundRobinShape();
        CourtTypes->SetItemIndex(AssignmentType->ItemIndex() == DoublesRR ? DoublesCourts
                                                                          : SinglesCourts);
        break;
    case MixedRR:
        Enable({Complete, Partial, Extended}, true);
        Complete->setChecked(true);
        FillRoundRobinShape();
        CourtTypes->SetItemIndex(DoublesCourts);
        break;
    case Mixer: {
        Enable({NumRounds, RoundsLabel, NumCourts, CourtsLabel, CourtTypes, Customize}, true);
        NumRounds->setText(QString::number(plan->RoundCount()));
        NumCourts->setText(QString::number(plan->CourtCount()));
        CourtTypes->SetItemIndex(Setup.LoadCourtTypes(*plan));
        StrictlyMixed->setEnabled(true);
        StrictlyMixed->setChecked(plan->HasOption(::StrictlyMixed));
        const bool disparity = plan->HasOption(::SkillDisparity);
        SkillDisparity->setEnabled(true);
        SkillDisparity->setChecked(disparity);
        Enable({Threshold, ThreshLabel1, ThreshLabel2}, disparity);
        Threshold->setText(disparity ? QString::number(plan->DisparityThreshold()) : "100");
        Enable({Diversity, DiversLabel1, DiversLabel2, DiversLabel3}, true);
        Diversity->setText(QString::number(plan->DiversityLimit()));
        Gaps->setEnabled(true);
        Gaps->setChecked(plan->HasOption(::Gaps));
        break;
    }
    default:
        NumRounds->clear();
        NumCourts->clear();
        break;
    }
}

void TMatchAssignment::FillRoundRobinShape() {
    const Matches* plan = AsMatchPlan();
    if (plan == nullptr) return;
    Enable({NumRounds, RoundsLabel}, false);
    const int n = plan->PlayerCount();
    int rounds = 0;
    int courts = 0;
    switch (AssignmentType->ItemIndex()) {
    case SinglesRR:
        plan->RoundRobinSize(stSinglesRoundRobin, rounds, courts);
        break;
    case DoublesRR:
        plan->RoundRobinSize(FixedPartner->isChecked() ? stFixedPartnerRoundRobin
                                                       : stDoublesRoundRobin,
                             rounds, courts);
        break;
    case MixedRR:
        plan->RoundRobinSize(stMixedRoundRobin, rounds, courts);
        break;
    case League:
        rounds = LeagueRounds(n);
        courts = n;
        break;
    default:
        return;
    }
    // What OK will make, so that the dialog shows it.
    Setup.rounds = rounds;
    Setup.courts = courts;
    NumRounds->setText(QString::number(rounds));
    NumCourts->setText(QString::number(courts));
}

int TMatchAssignment::MixerRoundsPerPlayer(int players) const {
    int seats = 0;
    for (int c = 1; c <= Setup.courts && c <= Matches::MaxCourts; ++c)
        seats += Setup.courtTypes[c] == 'D' ? 4 : 2;
    if (players <= 0) return 0;
    return std::min(Setup.rounds, seats * Setup.rounds / players);
}

void TMatchAssignment::SwitchToMixer(int courtTypes, int courts, int rounds, int strictlyMixed) {
    AssignmentType->SetItemIndex(Mixer);
    UpdateControls();
    SetChecked(SkillDisparity, false, [this] { SkillDisparityClick(); });
    CourtTypes->SetItemIndex(courtTypes);
    // Counts the mixer takes, whatever the player count proposed.
    NumCourts->setText(
        QString::number(std::clamp(courts, 1, static_cast<int>(Matches::MaxCourts))));
    NumRounds->setText(
        QString::number(std::clamp(rounds, 1, static_cast<int>(Matches::MaxRounds))));
    if (strictlyMixed >= 0) StrictlyMixed->setChecked(strictlyMixed != 0);
}

void TMatchAssignment::OfferMixer(const std::string& text, int courtTypes, int courts, int rounds,
                                  int strictlyMixed) {
    if (!AskConfirmation(text + kTryMixer)) {
        AssignmentType->setFocus();
        return;
    }
    SwitchToMixer(courtTypes, courts, rounds, strictlyMixed);
    NumCourts->setFocus();
}

bool TMatchAssignment::CheckPartialRounds(int full) {
    return ValidateIntegerEdit(NumRounds, Setup.rounds, 1, full, false);
}

bool TMatchAssignment::CheckRoundRobin(const Matches& plan, Assignment& a) {
    const int n = plan.PlayerCount();
    const int choice = AssignmentType->ItemIndex();
    const bool fixed = choice == DoublesRR && FixedPartner->isChecked();
    if (choice == SinglesRR && n > kMaxSinglesPlayers) {
        OfferMixer("Singles Round Robin is only supported for up to 100 players.", SinglesCourts,
                   n / 2, std::min(n - 1, 10), -1);
        return false;
    }
    if (choice == SinglesRR && n < 2) {
        OfferMixer("Singles Round Robin is only supported for 2 to 100 players.", SinglesCourts,
                   n / 2, std::min(n - 1, 10), -1);
        return false;
    }
    if (choice == DoublesRR && !fixed && (n % 4 != 0 || n < 4 || n > kMaxDoublesPlayers)) {
        OfferMixer("Doubles Round Robin is only supported for multiple of 4 players, from 4 to 24.",
                   DoublesCourts, n / 4, std::min((n + 1) / 3, 10), -1);
        return false;
    }
    if (fixed && (n % 2 != 0 || n < 4 || n > kMaxFixedPartnerPlayers)) {
        OfferMixer("Doubles Round Robin with fixed partners is only supported for an even number "
                   "of players, from 4 to 100.",
                   DoublesCourts, n / 4, std::min((n + 1) / 3, 10), -1);
        return false;
    }
    if (choice == MixedRR) {
        if (n % 2 != 0 || n < 4 || n > kMaxDoublesPlayers) {
            OfferMixer("Mixed Doubles Round Robin is only supported for an even number of players, "
                       "from 4 to 24.",
                       DoublesCourts, n / 4, std::min((n + 1) / 3, 10), 1);
            return false;
        }
        int men = 0;
        int women = 0;
        int others = 0;
        plan.GenderCounts(men, women, others);
        if (men != women || ((men > 0 || women > 0) && others > 0)) {
            OfferMixer("Can't create mixed doubles round robin because of missing gender "
                       "specification and/or mismatched numbers of male/female players.",
                       DoublesCourts, n / 4, std::min((n + 1) / 3, 10), 0);
            return false;
        }
    }

    int full = 0;
    switch (choice) {
    case SinglesRR:
        a.type = stSinglesRoundRobin;
        a.courtType = 'S';
        break;
    case DoublesRR:
        a.type = fixed ? stFixedPartnerRoundRobin : stDoublesRoundRobin;
        a.courtType = 'D';
        break;
    default:
        a.type = stMixedRoundRobin;
        a.courtType = 'D';
        break;
    }
    plan.RoundRobinSize(a.type, full, Setup.courts);
    Setup.rounds = full;
    if (Complete->isChecked()) return true;
    if (choice == MixedRR && Extended->isChecked()) {
        a.type = stMixedRoundRobinExtended;
        Setup.rounds = full + (n % 4 != 0 ? 2 : 1);
        return true;
    }
    // The partial type is the full one's code plus 10.
    a.type += 10;
    return CheckPartialRounds(full);
}

bool TMatchAssignment::CheckLeague(const Matches& plan, Assignment& a) {
    const int n = plan.PlayerCount();
    const bool complete = Complete->isChecked();
    const int most = complete ? kMaxFullLeaguePlayers : Matches::MaxCourts;
    // The generator refuses a single player only after emptying the grid.
    if (n < 2) {
        OfferMixer("League -- Home and Away is only supported for 2 to " + std::to_string(most) +
                       " players.",
                   SinglesCourts, n / 2, std::min(n - 1, 10), -1);
        return false;
    }
    if (n > most) {
        OfferMixer("League -- Home and Away is only supported for up to " + std::to_string(most) +
                       " players.",
                   SinglesCourts, n / 2, std::min(n - 1, 10), -1);
        return false;
    }
    Setup.courts = n;
    Setup.rounds = LeagueRounds(n);
    a.courtType = 'S';
    a.type = complete ? stLeague : stLeaguePartial;
    return complete || CheckPartialRounds(std::min(LeagueRounds(n), int{Matches::MaxRounds}));
}

bool TMatchAssignment::CheckMixer(const Matches& plan, Assignment& a) {
    if (!ValidateIntegerEdit(NumCourts, Setup.courts, 1, Matches::MaxCourts, false) ||
        !ValidateIntegerEdit(NumRounds, Setup.rounds, 1, Matches::MaxRounds, false))
        return false;
    if (StrictlyMixed->isChecked()) {
        int men = 0;
        int women = 0;
        int others = 0;
        plan.GenderCounts(men, women, others);
        if (others > 0) {
            MessageBox("Can't set option; some players don't have genders indicated.", "Error",
                       MB_OK | MB_ICONEXCLAMATION);
            StrictlyMixed->setFocus();
            return false;
        }
    }
    const auto bit = [&a](QCheckBox* box, std::uint32_t option) {
        (box->isChecked() ? a.setBits : a.clearBits) |= option;
    };
    bit(StrictlyMixed, ::StrictlyMixed);
    bit(SkillDisparity, ::SkillDisparity);
    bit(Gaps, ::Gaps);
    if (!ValidateIntegerEdit(Threshold, a.threshold, 10, 100, false) ||
        !ValidateIntegerEdit(Diversity, a.diversity, 1, 99, false))
        return false;
    a.type = stMixer;
    switch (CourtTypes->ItemIndex()) {
    case SinglesCourts:
        a.courtType = 'S';
        break;
    case CustomCourts:
        a.courtType = 0;
        Setup.NormalizeCourtTypes();
        break;
    default:
        a.courtType = 'D';
        break;
    }
    // The seats are those of the courts as they will be; the record keeps
    // its custom types for a later Custom choice.
    char customTypes[sizeof Setup.courtTypes];
    std::copy(std::begin(Setup.courtTypes), std::end(Setup.courtTypes), customTypes);
    if (a.courtType != 0)
        for (int c = 1; c <= Setup.courts; ++c)
            Setup.courtTypes[c] = a.courtType;

    const int n = plan.PlayerCount();
    a.target = MixerRoundsPerPlayer(n);
    std::copy(std::begin(customTypes), std::end(customTypes), Setup.courtTypes);
    if (a.target <= 0) {
        ShowWarning("There are too many players for the rounds and courts provided.");
        NumRounds->setFocus();
        return false;
    }
    const std::string rounds = a.target == 1 ? " round" : " rounds";
    if (MessageBox("Assigning " + std::to_string(a.target) + rounds + " of play for each player.",
                   "Information", MB_OKCANCEL | MB_ICONQUESTION) != IDOK) {
        NumRounds->setFocus();
        return false;
    }
    if (n % 2 != 0 && a.target % 2 != 0 &&
        MessageBox("Odd number of players and odd number of rounds per player\nwill require manual "
                   "intervention.",
                   "Warning", MB_OKCANCEL | MB_ICONEXCLAMATION) != IDOK) {
        NumRounds->setFocus();
        return false;
    }
    return true;
}

void TMatchAssignment::OKClick() {
    Matches* plan = AsMatchPlan();
    if (plan == nullptr) return;
    Assignment a;
    bool checked = false;
    switch (AssignmentType->ItemIndex()) {
    case SinglesRR:
    case DoublesRR:
    case MixedRR:
        checked = CheckRoundRobin(*plan, a);
        break;
    case Mixer:
        checked = CheckMixer(*plan, a);
        break;
    case League:
        checked = CheckLeague(*plan, a);
        break;
    default:
        MessageBox("Assignment Type is required.", "Error", MB_OK | MB_ICONEXCLAMATION);
        AssignmentType->setFocus();
        return;
    }
    if (!checked) return;
    if (!Apply(*plan, a)) {
        ShowErrorMessage(rcBadData);
        RefreshEventViews();
        return;
    }
    const short code = RunEngine(*plan, a);
    if (code != rcOk) ShowErrorMessage(code);
    if (a.type == stMixer && AfterMixer) AfterMixer();
    done(mrOk);
    plan->ClearManualMode();
    RefreshEventViews();
}

bool TMatchAssignment::Apply(Matches& plan, const Assignment& a) {
    plan.ClearTraceList();
    if (a.type == stMixer) {
        plan.SetOptions(a.setBits);
        plan.ClearOptions(a.clearBits);
        plan.SetDisparityThreshold(a.threshold);
        plan.SetDiversityLimit(a.diversity);
    }
    plan.SetScheduleType(a.type);
    const bool courts = a.courtType != 0 ? plan.SetCourts(Setup.courts, a.courtType)
                                         : plan.SetCourtTypes(Setup.courts, Setup.courtTypes);
    return courts && plan.SetRounds(Setup.rounds, Setup.roundNotations);
}

short TMatchAssignment::RunEngine(Matches& plan, const Assignment& a) {
    switch (a.type) {
    case stSinglesRoundRobin:
    case stSinglesRoundRobinPartial:
        return MakeSinglesRoundRobin(plan);
    case stDoublesRoundRobin:
    case stDoublesRoundRobinPartial:
        return MakeDoublesRoundRobin(plan);
    case stFixedPartnerRoundRobin:
    case stFixedPartnerRoundRobinPartial:
        return MakeFixedPartnerRoundRobin(plan);
    case stMixedRoundRobin:
    case stMixedRoundRobinPartial:
    case stMixedRoundRobinExtended:
        return MakeMixedDoublesRoundRobin(plan);
    case stLeague:
    case stLeaguePartial:
        return MakeLeagueSchedule(plan);
    case stMixer: {
        ProgressWindow progress;
        int initialPenalty = -1;
        int finalPenalty = -1;
        return RunMixer(plan, a.target, &progress, initialPenalty, finalPenalty);
    }
    default:
        return rcNotFound;
    }
}

void ReportMixerProgress(int round, int value) {
    if (ProgressBox == nullptr) return;
    char text[64];
    if (round == -1)
        std::snprintf(text, sizeof text, "Optimizing ... phase %d", value);
    else
        std::snprintf(text, sizeof text, "Working on round %d and court %d", round, value);
    // The mixer reports every court of every pass: a phase is shown at
    // once, the courts on the box's clock.
    ProgressBox->ReportProgress(text, round == -1);
}
