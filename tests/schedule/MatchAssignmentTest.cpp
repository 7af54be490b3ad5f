// Tools > Match Assignment through the main window: the shapes it
// proposes, its checks and questions, and what OK leaves in the plan.
#include "unified/schedule/MatchAssignment.h"
#include "tests/schedule/PlanWindow.h"
#include "unified/dialogparts/ProgressBox.h"
#include "unified/dialogparts/RadioGroup.h"
#include "unified/schedule/SetupCustomCourts.h"

#include <QCheckBox>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace {

using Box = TMatchAssignment;

constexpr unsigned kQuestion = MB_OKCANCEL | MB_ICONQUESTION;
const std::string kTryMixer = " \nYou may want to try the Mixer assignment type instead.";

class MatchAssignmentDialog : public PlanWindow {
protected:
    int Assign(std::function<void(Box&)> action) {
        return Command<Box>(MainForm->MatchAssignment1, std::move(action));
    }
};

std::string Shown(const Box& d) {
    return d.NumCourts->text().toStdString() + " courts, " + d.NumRounds->text().toStdString() +
           " rounds";
}

// A plan made by hand: doubles boxes on both courts of round 1 and 2.
void HandMade(int players) {
    Matches& plan = *AsMatchPlan();
    std::string notations[100] = {"", "Mon", "Tue", "Wed"};
    ASSERT_TRUE(plan.SetCourts(2, 'D'));
    ASSERT_TRUE(plan.SetRounds(3, notations));
    for (int r = 1; r <= 2; ++r)
        for (int p = 1; p <= 4; ++p) {
            ASSERT_EQ(plan.SetSlot(r, 1, p, p), 0);
            if (players >= 8) {
                ASSERT_EQ(plan.SetSlot(r, 2, p, 4 + p), 0);
            }
        }
}

} // namespace

TEST_F(MatchAssignmentDialog, EachTypeProposesTheShapeItsRoundRobinMakes) {
    struct Case {
        int players;
        int type;
        bool fixed;
        bool extended;
        const char* shown;
        int courtTypes;
    };
    const Case cases[] = {
        {8, Box::SinglesRR, false, false, "4 courts, 7 rounds", Box::SinglesCourts},
        {9, Box::SinglesRR, false, false, "4 courts, 9 rounds", Box::SinglesCourts},
        {12, Box::DoublesRR, false, false, "3 courts, 11 rounds", Box::DoublesCourts},
        {12, Box::DoublesRR, true, false, "3 courts, 5 rounds", Box::DoublesCourts},
        {10, Box::DoublesRR, true, false, "2 courts, 5 rounds", Box::DoublesCourts},
        {10, Box::MixedRR, false, false, "2 courts, 5 rounds", Box::DoublesCourts},
        {10, Box::MixedRR, false, true, "2 courts, 7 rounds", Box::DoublesCourts},
        {12, Box::MixedRR, false, true, "3 courts, 6 rounds", Box::DoublesCourts},
        {7, Box::League, false, false, "7 courts, 14 rounds", Box::SinglesCourts},
        {8, Box::League, false, false, "8 courts, 14 rounds", Box::SinglesCourts},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(std::to_string(test.players) + " players, type " + std::to_string(test.type));
        DestroyWindows();
        SetUp();
        AddPlayers(test.players);
        Assign([&](Box& d) {
            EXPECT_EQ(d.AssignmentType->ItemIndex(), -1) << "a new plan has no type";
            EXPECT_EQ(d.focusWidget(), d.AssignmentType->Button(0));
            d.AssignmentType->Button(test.type)->click();
            if (test.fixed) d.FixedPartner->click();
            if (test.extended) d.Extended->click();
            EXPECT_EQ(Shown(d), test.shown);
            EXPECT_EQ(d.CourtTypes->ItemIndex(), test.courtTypes);
            EXPECT_FALSE(d.NumRounds->isEnabled());
            EXPECT_FALSE(d.NumCourts->isEnabled());
            EXPECT_EQ(d.FixedPartner->isEnabled(), test.type == Box::DoublesRR);
            EXPECT_EQ(d.Extended->isEnabled(), test.type == Box::MixedRR);
            d.Partial->click();
            EXPECT_TRUE(d.NumRounds->isEnabled());
            d.Complete->click();
            EXPECT_FALSE(d.NumRounds->isEnabled());
            d.Cancel->click();
        });
    }
}

TEST_F(MatchAssignmentDialog, TheMixerShowsThePlanAndItsOptions) {
    AddPlayers(6);
    Shape("SDD", 4);
    Plan().SetOptions(StrictlyMixed | SkillDisparity);
    Plan().ClearOptions(Gaps);
    Plan().SetDisparityThreshold(40);
    Plan().SetDiversityLimit(3);
    Plan().SetScheduleType(stMixer);
    Assign([&](Box& d) {
        EXPECT_EQ(d.AssignmentType->ItemIndex(), Box::Mixer);
        EXPECT_EQ(Shown(d), "3 courts, 4 rounds");
        EXPECT_EQ(d.CourtTypes->ItemIndex(), Box::CustomCourts);
        EXPECT_TRUE(d.StrictlyMixed->isChecked());
        EXPECT_TRUE(d.SkillDisparity->isChecked());
        EXPECT_FALSE(d.Gaps->isChecked());
        EXPECT_EQ(d.Threshold->text(), "40");
        EXPECT_TRUE(d.Threshold->isEnabled());
        EXPECT_EQ(d.Diversity->text(), "3");
        d.SkillDisparity->click();
        EXPECT_EQ(d.Threshold->text(), "100");
        EXPECT_FALSE(d.Threshold->isEnabled());
        d.SkillDisparity->click();
        EXPECT_EQ(d.Threshold->text(), "50");
        // Doubles counted for a question answered with Cancel: choosing
        // Custom again finds the plan's own types.
        d.StrictlyMixed->setChecked(false);
        d.CourtTypes->Button(Box::DoublesCourts)->click();
        boxes.Expect("Information", "Assigning 4 rounds of play for each player.", kQuestion,
                     IDCANCEL);
        d.OK->click();
        d.CourtTypes->Button(Box::CustomCourts)->click();
        DialogScript dialogs;
        dialogs.Expect<TSetupCustomCourts>([](TSetupCustomCourts& c) {
            std::string entries;
            for (int i = 0; i < c.CourtTypes->count(); ++i)
                entries += c.CourtTypes->item(i)->checkState() == Qt::Checked ? 'D' : 'S';
            EXPECT_EQ(entries, "SDD");
            c.Cancel->click();
        });
        d.Customize->click();
        // Another type clears the mixer's choices.
        d.AssignmentType->Button(Box::SinglesRR)->click();
        EXPECT_FALSE(d.StrictlyMixed->isEnabled());
        EXPECT_FALSE(d.SkillDisparity->isChecked());
        EXPECT_EQ(d.Threshold->text(), "");
        d.Cancel->click();
    });

    // A stored partial or extended round robin is shown as it was made.
    for (const auto& [type, rounds] :
         {std::pair{stFixedPartnerRoundRobinPartial, 2}, std::pair{stMixedRoundRobinExtended, 0}}) {
        Plan().SetScheduleType(type);
        Assign([&](Box& d) {
            EXPECT_EQ(d.AssignmentType->ItemIndex(),
                      type == stMixedRoundRobinExtended ? Box::MixedRR : Box::DoublesRR);
            if (rounds > 0) {
                EXPECT_TRUE(d.Partial->isChecked());
                EXPECT_TRUE(d.FixedPartner->isChecked());
                EXPECT_TRUE(d.NumRounds->isEnabled());
                EXPECT_EQ(d.NumRounds->text(), "4") << "the plan's rounds";
            } else {
                EXPECT_TRUE(d.Extended->isChecked());
                EXPECT_EQ(Shown(d), "1 courts, 5 rounds") << "6 players: 3 rounds and 2 more";
            }
            d.Cancel->click();
        });
    }
}

TEST_F(MatchAssignmentDialog, ARefusedPlayerCountOffersTheMixerAndChangesNothing) {
    struct Case {
        int players;
        std::string genders;
        int type;
        bool fixed;
        std::string text;
        int courtTypes;
        const char* shown; // after switching to the mixer
        int strictlyMixed; // -1: as before
    };
    const std::string m10 = "MFMFMFMFMF";
    const Case cases[] = {
        {101, "", Box::SinglesRR, false,
         "Singles Round Robin is only supported for up to 100 players.", Box::SinglesCourts,
         "50 courts, 10 rounds", -1},
        {512, "", Box::SinglesRR, false,
         "Singles Round Robin is only supported for up to 100 players.", Box::SinglesCourts,
         "255 courts, 10 rounds", -1},
        {1, "", Box::SinglesRR, false,
         "Singles Round Robin is only supported for 2 to 100 players.", Box::SinglesCourts,
         "1 courts, 1 rounds", -1},
        {10, "", Box::DoublesRR, false,
         "Doubles Round Robin is only supported for multiple of 4 players, from 4 to 24.",
         Box::DoublesCourts, "2 courts, 3 rounds", -1},
        {9, "", Box::DoublesRR, true,
         "Doubles Round Robin with fixed partners is only supported for an even number of "
         "players, from 4 to 100.",
         Box::DoublesCourts, "2 courts, 3 rounds", -1},
        {2, "", Box::DoublesRR, true,
         "Doubles Round Robin with fixed partners is only supported for an even number of "
         "players, from 4 to 100.",
         Box::DoublesCourts, "1 courts, 1 rounds", -1},
        {11, m10 + "M", Box::MixedRR, false,
         "Mixed Doubles Round Robin is only supported for an even number of players, from 4 to 24.",
         Box::DoublesCourts, "2 courts, 4 rounds", 1},
        {12, "MMMMMMMFFFFF", Box::MixedRR, false,
         "Can't create mixed doubles round robin because of missing gender specification and/or "
         "mismatched numbers of male/female players.",
         Box::DoublesCourts, "3 courts, 4 rounds", 0},
        {12, m10, Box::MixedRR, false,
         "Can't create mixed doubles round robin because of missing gender specification and/or "
         "mismatched numbers of male/female players.",
         Box::DoublesCourts, "3 courts, 4 rounds", 0},
        {51, "", Box::League, false,
         "League -- Home and Away is only supported for up to 50 players.", Box::SinglesCourts,
         "25 courts, 10 rounds", -1},
        {1, "", Box::League, false,
         "League -- Home and Away is only supported for 2 to 50 players.", Box::SinglesCourts,
         "1 courts, 1 rounds", -1},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.text + " (" + std::to_string(test.players) + ")");
        DestroyWindows();
        SetUp();
        AddPlayers(test.players, test.genders);
        if (test.players >= 4) HandMade(test.players);
        const std::string before = Snapshot(Plan());
        for (const int answer : {IDCANCEL, IDOK}) {
            const int result = Assign([&](Box& d) {
                d.AssignmentType->Button(test.type)->click();
                if (test.fixed) d.FixedPartner->click();
                boxes.Expect("Confirmation", test.text + kTryMixer, kQuestion, answer);
                d.OK->click();
                EXPECT_TRUE(d.isVisible());
                if (answer == IDCANCEL) {
                    EXPECT_EQ(d.AssignmentType->ItemIndex(), test.type);
                    EXPECT_EQ(d.focusWidget(), d.AssignmentType->focusProxy());
                    return;
                }
                EXPECT_EQ(d.AssignmentType->ItemIndex(), Box::Mixer);
                EXPECT_EQ(d.CourtTypes->ItemIndex(), test.courtTypes);
                EXPECT_EQ(Shown(d), test.shown);
                EXPECT_FALSE(d.SkillDisparity->isChecked());
                EXPECT_EQ(d.Threshold->text(), "100");
                if (test.strictlyMixed >= 0) {
                    EXPECT_EQ(d.StrictlyMixed->isChecked(), test.strictlyMixed == 1);
                }
                EXPECT_EQ(d.focusWidget(), d.NumCourts);
            });
            EXPECT_EQ(result, mrNone);
            EXPECT_EQ(Snapshot(Plan()), before);
        }
    }
}

TEST_F(MatchAssignmentDialog, APartialScheduleIsBoundByTheFullRoundRobin) {
    struct Case {
        int players;
        std::string genders;
        int type;
        bool extendedFirst;
        const char* refused;
        const char* range;
    };
    const Case cases[] = {
        {8, "", Box::SinglesRR, false, "8", "1 to 7"},
        {8, "", Box::SinglesRR, false, "0", "1 to 7"},
        {12, "", Box::DoublesRR, false, "12", "1 to 11"},
        {10, "MFMFMFMFMF", Box::MixedRR, true, "7", "1 to 5"},
        {8, "", Box::League, false, "15", "1 to 14"},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.range);
        DestroyWindows();
        SetUp();
        AddPlayers(test.players, test.genders);
        HandMade(test.players);
        const std::string before = Snapshot(Plan());
        Assign([&](Box& d) {
            d.AssignmentType->Button(test.type)->click();
            if (test.extendedFirst) d.Extended->click();
            d.Partial->click();
            d.NumRounds->setText(test.refused);
            boxes.Expect("Error", std::string("Must be numeric from ") + test.range + ".",
                         kErrorBox);
            d.OK->click();
            ExpectFocusOn(d, d.NumRounds);
            d.Cancel->click();
        });
        EXPECT_EQ(Snapshot(Plan()), before) << "not even the partial type stored";
    }
}

TEST_F(MatchAssignmentDialog, TheMixersChecksAndQuestionsComeBeforeAnyChange) {
    AddPlayers(21, "MFMFMFMFMFMFMFMFMFMF");
    HandMade(21);
    const std::string before = Snapshot(Plan());
    Assign([&](Box& d) {
        boxes.Expect("Error", "Assignment Type is required.", kErrorBox);
        d.OK->click();
        EXPECT_EQ(d.focusWidget(), d.AssignmentType->Button(0));

        d.AssignmentType->Button(Box::Mixer)->click();
        EXPECT_EQ(Shown(d), "2 courts, 3 rounds");
        d.SkillDisparity->click();
        struct Entry {
            QLineEdit* field;
            const char* refused;
            const char* range;
            const char* accepted;
        };
        const Entry entries[] = {{d.NumCourts, "0", "1 to 255", "2"},
                                 {d.NumRounds, "100", "1 to 99", "3"},
                                 {d.Threshold, "5", "10 to 100", "100"},
                                 {d.Diversity, "", "1 to 99", "2"}};
        for (const Entry& e : entries) {
            e.field->setText(e.refused);
            boxes.Expect("Error", std::string("Must be numeric from ") + e.range + ".", kErrorBox);
            d.OK->click();
            ExpectFocusOn(d, e.field);
            e.field->setText(e.accepted);
            if (e.field == d.NumRounds) {
                // Checked before the threshold: one player has no gender.
                d.StrictlyMixed->setChecked(true);
                boxes.Expect("Error",
                             "Can't set option; some players don't have genders indicated.",
                             kErrorBox);
                d.OK->click();
                EXPECT_EQ(d.focusWidget(), d.StrictlyMixed);
                d.StrictlyMixed->setChecked(false);
            }
        }

        // 21 players on 2 doubles courts for 3 rounds: 1 round each, odd.
        d.CourtTypes->Button(Box::SinglesCourts)->click();
        d.NumCourts->setText("1");
        d.NumRounds->setText("5");
        boxes.Expect("Warning", "There are too many players for the rounds and courts provided.",
                     kErrorBox);
        d.OK->click();
        EXPECT_EQ(d.focusWidget(), d.NumRounds);
        d.CourtTypes->Button(Box::DoublesCourts)->click();
        d.NumCourts->setText("2");
        d.NumRounds->setText("3");
        d.SkillDisparity->click();
        d.Gaps->setChecked(!d.Gaps->isChecked());
        boxes.Expect("Information", "Assigning 1 round of play for each player.", kQuestion,
                     IDCANCEL);
        d.OK->click();
        EXPECT_EQ(d.focusWidget(), d.NumRounds);
        boxes.Expect("Information", "Assigning 1 round of play for each player.", kQuestion)
            .Expect("Warning",
                    "Odd number of players and odd number of rounds per player\nwill require "
                    "manual intervention.",
                    kWarningQuestion, IDCANCEL);
        d.OK->click();
        EXPECT_EQ(d.focusWidget(), d.NumRounds);
        // A shape of singles courts would have cut the hand-made boxes.
        d.CourtTypes->Button(Box::SinglesCourts)->click();
        d.NumCourts->setText("20");
        boxes.Expect("Information", "Assigning 3 rounds of play for each player.", kQuestion,
                     IDCANCEL);
        d.OK->click();
        EXPECT_TRUE(d.isVisible());
    });
    EXPECT_EQ(Snapshot(Plan()), before);
}

TEST_F(MatchAssignmentDialog, OKShapesThePlanStoresItsTypeAndRunsTheGenerator) {
    struct Case {
        int players;
        std::string genders;
        int type;
        bool fixed;
        const char* extent; // "full", "partial" or "extended"
        int partialRounds;
        int scheduleType;
        const char* shape; // rounds x court types
    };
    const std::string mixed12 = "MFMFMFMFMFMF";
    const Case cases[] = {
        {8, "", Box::SinglesRR, false, "full", 0, stSinglesRoundRobin, "7 SSSS"},
        {9, "", Box::SinglesRR, false, "partial", 3, stSinglesRoundRobinPartial, "3 SSSS"},
        {12, "", Box::DoublesRR, false, "full", 0, stDoublesRoundRobin, "11 DDD"},
        {8, "", Box::DoublesRR, false, "partial", 2, stDoublesRoundRobinPartial, "2 DD"},
        {10, "", Box::DoublesRR, true, "full", 0, stFixedPartnerRoundRobin, "5 DD"},
        {12, "", Box::DoublesRR, true, "partial", 4, stFixedPartnerRoundRobinPartial, "4 DDD"},
        {12, mixed12, Box::MixedRR, false, "full", 0, stMixedRoundRobin, "5 DDD"},
        {12, mixed12, Box::MixedRR, false, "partial", 3, stMixedRoundRobinPartial, "3 DDD"},
        {10, mixed12.substr(0, 10), Box::MixedRR, false, "extended", 0, stMixedRoundRobinExtended,
         "7 DD"},
        {12, "", Box::MixedRR, false, "full", 0, stMixedRoundRobin, "5 DDD"},
        {5, "", Box::League, false, "full", 0, stLeague, "10 SSSSS"},
        {6, "", Box::League, false, "partial", 4, stLeaguePartial, "4 SSSSSS"},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(std::to_string(test.players) + " players, type " +
                     std::to_string(test.scheduleType));
        DestroyWindows();
        SetUp();
        AddPlayers(test.players, test.genders);
        HandMade(test.players);
        Plan().EnterManualMode();
        Plan().AddTrace("an older run");
        const int result = Assign([&](Box& d) {
            d.AssignmentType->Button(test.type)->click();
            if (test.fixed) d.FixedPartner->click();
            if (std::string(test.extent) == "extended") d.Extended->click();
            if (std::string(test.extent) == "partial") {
                d.Partial->click();
                d.NumRounds->setText(QString::number(test.partialRounds));
            }
            d.OK->click();
        });
        EXPECT_EQ(result, mrOk);
        const Matches& plan = Plan();
        EXPECT_EQ(plan.ScheduleType(), test.scheduleType);
        std::string shape = std::to_string(plan.RoundCount()) + " ";
        for (int c = 1; c <= plan.CourtCount(); ++c)
            shape += plan.CourtType(c);
        EXPECT_EQ(shape, test.shape);
        EXPECT_FALSE(plan.IsManualMode());
        EXPECT_EQ(plan.RoundName(1), "Mon") << "the notations kept";
        // Every round is filled, nobody twice in one.
        for (int r = 1; r <= plan.RoundCount(); ++r) {
            std::vector<int> seen(test.players + 1, 0);
            int placed = 0;
            for (int c = 1; c <= plan.CourtCount(); ++c)
                for (int p = 1; p <= 4; ++p)
                    if (const int n = plan.GetSlot(r, c, p); n != 0) {
                        ++placed;
                        EXPECT_EQ(++seen[n], 1) << "round " << r;
                    }
            EXPECT_GE(placed, 2) << "round " << r;
        }
        EXPECT_EQ(MainForm->DrawGrid->RowCount(), plan.RoundCount() + 1);
        EXPECT_EQ(std::count(plan.TraceList().begin(), plan.TraceList().end(), "an older run"), 0);

        // Shown again, the dialog says how the plan was made.
        Assign([&](Box& d) {
            EXPECT_EQ(d.AssignmentType->ItemIndex(), test.type);
            EXPECT_EQ(d.FixedPartner->isChecked(), test.fixed);
            EXPECT_EQ(d.Partial->isChecked(), std::string(test.extent) == "partial");
            EXPECT_EQ(d.Extended->isChecked(), std::string(test.extent) == "extended");
            d.Cancel->click();
        });
    }
}

TEST_F(MatchAssignmentDialog, TheMixerRunsWithItsProgressShownAndNothingElseTaken) {
    FixedMoment clock{1'780'000'000};
    AddPlayers(10, "MFMFMFMFMF");
    Shape("SD", 2);
    // What the progress box painted, each text once as it came.
    struct PaintedLines : QObject {
        std::vector<std::string> lines;
        bool eventFilter(QObject*, QEvent* e) override {
            const std::string text = ProgressBox->Memo1->toPlainText().toStdString();
            if (e->type() == QEvent::Paint && (lines.empty() || lines.back() != text))
                lines.push_back(text);
            return false;
        }
    } painted;
    ProgressBox->Memo1->viewport()->installEventFilter(&painted);
    int started = 0;
    const int result = Assign([&](Box& d) {
        d.AssignmentType->Button(Box::Mixer)->click();
        EXPECT_EQ(d.CourtTypes->ItemIndex(), Box::CustomCourts);
        // Court 3 never had a type: it becomes a doubles court.
        d.NumCourts->setText("3");
        d.NumRounds->setText("6");
        d.StrictlyMixed->setChecked(true);
        d.SkillDisparity->click();
        d.Threshold->setText("40");
        d.Diversity->setText("3");
        d.Gaps->setChecked(false);
        // Queued before OK, a second OK and File > Open would start while
        // the mixer runs.
        QTimer::singleShot(0, MainForm, [&started] {
            ++started;
            MainForm->Open1->trigger();
        });
        for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
            QCoreApplication::postEvent(
                d.OK, new QMouseEvent(type, QPointF(5, 5), d.OK->mapToGlobal(QPointF(5, 5)),
                                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
        // The analysis after the mixer begins with the warnings.
        boxes.Expect("Information", "Assigning 6 rounds of play for each player.", kQuestion)
            .Expect("Warning Summary",
                    WarningSummary({"Some players have more singles than others, min=0, max=2.",
                                    "6 matches have a gender imbalance",
                                    "Some matches have a high skill disparity, max=77%",
                                    "6 players may lack match diversity"}),
                    kSummaryBox, IDCANCEL);
        d.OK->click();
    });
    EXPECT_EQ(result, mrOk);
    QCoreApplication::processEvents();
    EXPECT_EQ(started, 0) << "nothing queued ran during the run, nor after it";

    const Matches& plan = Plan();
    EXPECT_EQ(plan.ScheduleType(), stMixer);
    EXPECT_EQ(std::string() + plan.CourtType(1) + plan.CourtType(2) + plan.CourtType(3), "SDD");
    EXPECT_TRUE(plan.HasOption(StrictlyMixed));
    EXPECT_TRUE(plan.HasOption(SkillDisparity));
    EXPECT_FALSE(plan.HasOption(Gaps));
    EXPECT_EQ(plan.DisparityThreshold(), 40);
    EXPECT_EQ(plan.DiversityLimit(), 3);
    // Ten seats a round for ten players: everyone plays every round.
    for (int r = 1; r <= plan.RoundCount(); ++r)
        for (int n = 1; n <= 10; ++n)
            EXPECT_NE(plan.CourtOfPlayer(r, n), 0) << "round " << r << ", player " << n;
    EXPECT_EQ(Plan().CheckComplete(), 0);
    EXPECT_EQ(ProgressBox->windowTitle(), "Match Assignment Progress");
    const std::string progress = ProgressBox->Memo1->toPlainText().toStdString();
    EXPECT_TRUE(progress.starts_with("Optimizing ... phase ") ||
                progress.starts_with("Working on round "))
        << progress;
    EXPECT_FALSE(ProgressBox->isVisible());
    EXPECT_FALSE(ProgressBox->IsWorking());
    // The first court shows at once, and so does each optimisation phase;
    // the other courts as the box's clock lets them.
    ProgressBox->Memo1->viewport()->removeEventFilter(&painted);
    ASSERT_GE(painted.lines.size(), 2u);
    EXPECT_EQ(painted.lines[0], "starting Match Assignment");
    EXPECT_EQ(painted.lines[1], "Working on round 1 and court 1");
    std::vector<std::string> phases;
    for (const std::string& line : painted.lines)
        if (line.starts_with("Optimizing")) phases.push_back(line);
    EXPECT_EQ(phases, (std::vector<std::string>{"Optimizing ... phase 1", "Optimizing ... phase 2",
                                                "Optimizing ... phase 3"}));
}
