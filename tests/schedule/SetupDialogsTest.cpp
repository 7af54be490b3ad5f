// The plan's setup and option dialogs through the main window: courts and
// rounds with their warnings, court types, round notations, preferred
// partners, and the warning and report options.
#include "tests/schedule/PlanWindow.h"
#include "unified/dialogparts/RadioGroup.h"
#include "unified/schedule/PartyRptOpts.h"
#include "unified/schedule/PartyWarnOpts.h"
#include "unified/schedule/PreferredPartnerBox.h"
#include "unified/schedule/RoundNotations.h"
#include "unified/schedule/SetupCourtsRoundsBox.h"
#include "unified/schedule/SetupCustomCourts.h"

#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>

namespace {

class SetupDialogs : public PlanWindow {
protected:
    int Setup(std::function<void(TSetupCourtsRoundsBox&)> action) {
        return Command<TSetupCourtsRoundsBox>(MainForm->CourtsAndRounds1, std::move(action));
    }
};

// Round r of 4 courts: 1 2 v 3 4 on court 1, and player 4 + c alone against
// 8 + c on court c above 1 (doubles places empty).
void Fill(int rounds, int courts) {
    Matches& plan = *AsMatchPlan();
    for (int r = 1; r <= rounds; ++r) {
        for (int p = 1; p <= 4; ++p)
            ASSERT_EQ(plan.SetSlot(r, 1, p, p), 0);
        for (int c = 2; c <= courts; ++c) {
            ASSERT_EQ(plan.SetSlot(r, c, 1, 3 + c), 0);
            ASSERT_EQ(plan.SetSlot(r, c, 3, 8 + c), 0);
        }
    }
}

} // namespace

TEST_F(SetupDialogs, EachWarningBeforeAssignedMatchesAreLostLeavesThePlanOnCancel) {
    struct Case {
        const char* what;
        int courts;
        int courtTypes;
        int rounds;
        std::vector<std::pair<std::string, bool>> warnings; // text, on NumCourts
        const char* shape;                                  // after the last OK
    };
    const std::string deletedCourts = "Assigned matches in deleted courts will be lost.";
    const std::string truncated =
        "Assigned doubles matches in new singles courts will be truncated.";
    const std::string notes = "More time entries than number of rounds; extras will be dropped.";
    const std::string deletedRounds = "Assigned matches in deleted rounds will be lost.";
    const Case cases[] = {
        {"fewer courts", 3, 1, 8, {{deletedCourts, true}}, "8x3 DDD"},
        {"singles courts", 4, 0, 8, {{truncated, true}}, "8x4 SSSS"},
        {"fewer rounds", 4, 1, 6, {{notes, false}, {deletedRounds, false}}, "6x4 DDDD"},
        {"fewer courts of singles and rounds",
         2,
         0,
         7,
         {{deletedCourts, true}, {truncated, true}, {notes, false}, {deletedRounds, false}},
         "7x2 SS"},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.what);
        DestroyWindows();
        SetUp();
        AddPlayers(16);
        Shape("DDDD", 8);
        std::string notations[100];
        for (int r = 1; r <= 8; ++r)
            notations[r] = "Week " + std::to_string(r);
        ASSERT_TRUE(Plan().SetRounds(8, notations));
        Fill(8, 4);
        const std::string before = Snapshot(Plan());
        // Cancel at each question in turn, then OK to all.
        for (std::size_t cancelAt = 0; cancelAt <= test.warnings.size(); ++cancelAt) {
            const int result = Setup([&](TSetupCourtsRoundsBox& d) {
                EXPECT_EQ(d.NumCourts->text() + " " + d.NumRounds->text(), "4 8");
                EXPECT_EQ(d.CourtTypes->ItemIndex(), 1);
                d.NumCourts->setText(QString::number(test.courts));
                d.NumRounds->setText(QString::number(test.rounds));
                d.CourtTypes->Button(test.courtTypes)->click();
                for (std::size_t i = 0; i < test.warnings.size() && i <= cancelAt; ++i)
                    boxes.Expect("Warning", test.warnings[i].first, kWarningQuestion,
                                 i == cancelAt ? IDCANCEL : IDOK);
                d.OK->click();
                if (cancelAt < test.warnings.size()) {
                    EXPECT_EQ(d.focusWidget(),
                              test.warnings[cancelAt].second ? d.NumCourts : d.NumRounds);
                }
            });
            if (cancelAt < test.warnings.size()) {
                EXPECT_EQ(result, mrNone);
                EXPECT_EQ(Snapshot(Plan()), before) << "cancelled at " << cancelAt;
            } else {
                EXPECT_EQ(result, mrOk);
            }
        }
        const Matches& plan = Plan();
        std::string shape =
            std::to_string(plan.RoundCount()) + "x" + std::to_string(plan.CourtCount()) + " ";
        for (int c = 1; c <= plan.CourtCount(); ++c)
            shape += plan.CourtType(c);
        EXPECT_EQ(shape, test.shape);
        EXPECT_EQ(MainForm->DrawGrid->RowCount(), plan.RoundCount() + 1);
        if (plan.CourtType(1) == 'S') {
            EXPECT_EQ(plan.GetSlot(1, 1, 2), 0) << "doubles places cut";
            EXPECT_EQ(plan.GetSlot(1, 1, 3), 3);
        }
        EXPECT_EQ(plan.RoundName(plan.RoundCount()), "Week " + std::to_string(plan.RoundCount()));
    }
}

TEST_F(SetupDialogs, CountsAreCheckedAndCourtTypesAndNotationsTakeEffectWithOK) {
    AddPlayers(8);
    Shape("DSD", 2);
    const std::string before = Snapshot(Plan());
    const int result = Setup([&](TSetupCourtsRoundsBox& d) {
        EXPECT_EQ(d.windowTitle(), "Setup Courts and Rounds");
        EXPECT_EQ(d.focusWidget(), d.NumCourts);
        EXPECT_EQ(d.CourtTypes->ItemIndex(), 2) << "custom";
        const std::tuple<QLineEdit*, const char*, const char*> refusals[] = {
            {d.NumCourts, "0", "1 to 255"},
            {d.NumCourts, "256", "1 to 255"},
            {d.NumRounds, "100", "1 to 99"},
        };
        for (const auto& [field, text, range] : refusals) {
            field->setText(text);
            boxes.Expect("Error", std::string("Must be numeric from ") + range + ".", kErrorBox);
            d.OK->click();
            ExpectFocusOn(d, field);
            field->setText(field == d.NumCourts ? "4" : "3");
        }
        EXPECT_EQ(Snapshot(Plan()), before);

        DialogScript dialogs;
        dialogs.Expect<TSetupCustomCourts>([](TSetupCustomCourts& c) {
            EXPECT_EQ(c.windowTitle(), "Setup Customized Courts");
            ASSERT_EQ(c.CourtTypes->count(), 4);
            std::string entries;
            for (int i = 0; i < 4; ++i)
                entries += c.CourtTypes->item(i)->text().toStdString() +
                           (c.CourtTypes->item(i)->checkState() == Qt::Checked ? "+" : "-");
            // The fourth court never had a type: it shows unchecked.
            EXPECT_EQ(entries, "  1+  2-  3+  4-");
            c.CourtTypes->item(2)->setCheckState(Qt::Unchecked);
            c.OK->click();
        });
        d.CourtTypes->Button(0)->click();
        d.Customize->click();
        EXPECT_EQ(d.CourtTypes->ItemIndex(), 2);
        dialogs.Expect<TRoundNotations>([](TRoundNotations& n) {
            EXPECT_EQ(n.windowTitle(), "Setup Round Notations");
            ASSERT_EQ(n.Notations->rowCount(), 3);
            EXPECT_EQ(n.Notations->item(2, 0)->text(), "3");
            n.Notations->item(0, 1)->setText("Sat 9:00");
            n.Notations->item(2, 1)->setText("Sun 10:00 on the far courts");
            n.OK->click();
        });
        d.Notations->click();
        EXPECT_EQ(Snapshot(Plan()), before) << "only the dialog's record changed so far";
        d.OK->click();
    });
    EXPECT_EQ(result, mrOk);
    const Matches& plan = Plan();
    EXPECT_EQ(std::string() + plan.CourtType(1) + plan.CourtType(2) + plan.CourtType(3) +
                  plan.CourtType(4),
              "DSSS");
    EXPECT_EQ(plan.RoundName(1), "Sat 9:00");
    EXPECT_EQ(plan.RoundName(2), "");
    EXPECT_EQ(plan.RoundName(3), "Sun 10:00 on t");

    // Two courts, then four again: the courts that come back are new ones,
    // not the singles courts they were.
    Shape("DD", 3);
    Setup([](TSetupCourtsRoundsBox& d) {
        d.NumCourts->setText("4");
        d.CourtTypes->Button(2)->click();
        d.OK->click();
    });
    EXPECT_EQ(std::string() + plan.CourtType(3) + plan.CourtType(4), "DD");
}

TEST_F(SetupDialogs, PreferredPartnersNeedARoundOfThePlan) {
    AddPlayers(8);
    Shape("DD", 2);
    for (int p = 1; p <= 4; ++p) {
        ASSERT_EQ(Plan().SetSlot(2, 1, p, std::vector<int>{1, 5, 2, 6}[p - 1]), 0);
        ASSERT_EQ(Plan().SetSlot(2, 2, p, std::vector<int>{3, 7, 4, 8}[p - 1]), 0);
    }
    const std::string before = Snapshot(Plan());
    const int result =
        Command<TPreferredPartnerBox>(MainForm->PrefPartner1, [&](TPreferredPartnerBox& d) {
            EXPECT_EQ(d.Round->text(), "1");
            ExpectFocusOn(d, d.Round);
            for (const char* refused : {"0", "3"}) {
                d.Round->setText(refused);
                boxes.Expect("Error", "Must be numeric from 1 to 2.", kErrorBox);
                d.OK->click();
                ExpectFocusOn(d, d.Round);
            }
            EXPECT_EQ(Snapshot(Plan()), before);
            d.Round->setText("2");
            d.OK->click();
        });
    EXPECT_EQ(result, mrOk);
    // Player 1's partner 5 and player 2 changed numbers in every round.
    EXPECT_EQ(Plan().GetSlot(2, 1, 2), 2);
    EXPECT_EQ(Plan().GetSlot(2, 1, 3), 5);

    DestroyWindows();
    SetUp();
    AddPlayers(2);
    boxes.Expect("No Data", "There is no Courts & Rounds data.", MB_OK | MB_ICONINFORMATION);
    MainForm->PrefPartner1->trigger();
}

TEST_F(SetupDialogs, WarningAndReportOptionsSetTheirBits) {
    AddPlayers(4);
    const std::uint32_t warnings = 0x3F;
    Plan().ClearOptions(0xFFFFFFFF);
    Plan().SetOptions(RoundsPerPlayer | SkillDisparity | Gaps | 0x80000);
    EXPECT_EQ(Command<TPartyWarnOpts>(
                  MainForm->Warnings1,
                  [&](TPartyWarnOpts& d) {
                      EXPECT_EQ(d.windowTitle(), "Warning Options");
                      EXPECT_EQ(d.focusWidget(), d.RoundsPerPlayer);
                      EXPECT_TRUE(d.RoundsPerPlayer->isChecked());
                      EXPECT_FALSE(d.SinglesPerPlayer->isChecked());
                      EXPECT_TRUE(d.Gaps->isChecked());
                      EXPECT_EQ(d.Threshold->text(), "100");
                      EXPECT_EQ(d.Times->text(), "2");
                      d.Threshold->setText("5");
                      boxes.Expect("Error", "Must be numeric from 10 to 100.", kErrorBox);
                      d.OK->click();
                      ExpectFocusOn(d, d.Threshold);
                      d.Threshold->clear();
                      d.OK->click(); // empty: no word
                      EXPECT_TRUE(d.isVisible());
                      d.Threshold->setText("30");
                      d.Times->clear();
                      d.OK->click();
                      EXPECT_TRUE(d.isVisible());
                      d.Times->setText("100");
                      boxes.Expect("Error", "Must be numeric from 1 to 99.", kErrorBox);
                      d.OK->click();
                      d.Times->setText("4");
                      EXPECT_EQ(Plan().DisparityThreshold(), 100);
                      d.RoundsPerPlayer->setChecked(false);
                      d.GenderImbal->setChecked(true);
                      d.ScheduleDiversity->setChecked(true);
                      d.OK->click();
                  }),
              mrOk);
    EXPECT_EQ(Plan().Options() & warnings, GenderImbal | SkillDisparity | ScheduleDiversity | Gaps);
    EXPECT_EQ(Plan().Options() & ~warnings, 0x80000u) << "other bits kept";
    EXPECT_EQ(Plan().DisparityThreshold(), 30);
    EXPECT_EQ(Plan().DiversityLimit(), 4);

    Plan().SetOptions(OptimizeLayout | SkipUnsched);
    EXPECT_EQ(Command<TPartyRptOpts>(MainForm->OptPartyLayout1,
                                     [](TPartyRptOpts& d) {
                                         EXPECT_EQ(d.windowTitle(), "Report Layout Options");
                                         EXPECT_TRUE(d.OptimizeLayout->isChecked());
                                         EXPECT_FALSE(d.ShowNames->isChecked());
                                         EXPECT_FALSE(d.TwoColumn->isChecked());
                                         EXPECT_TRUE(d.SkipUnsched->isChecked());
                                         d.OptimizeLayout->setChecked(false);
                                         d.ShowNames->setChecked(true);
                                         d.OK->click();
                                     }),
              mrOk);
    EXPECT_EQ(Plan().Options() & (OptimizeLayout | ShowNames | TwoColumn | SkipUnsched),
              ShowNames | SkipUnsched);
    const std::string before = Snapshot(Plan());
    Command<TPartyRptOpts>(MainForm->OptPartyLayout1, [](TPartyRptOpts& d) {
        d.TwoColumn->setChecked(true);
        d.Cancel->click();
    });
    EXPECT_EQ(Snapshot(Plan()), before);
}
