#pragma once
// Match-schedule dialog tests: the program's windows on a plan of players
// "L1, F1" ... "Ln, Fn", the dialogs opened through the main window's menu
// commands and answered through the responders.

#include "platform/Clock.h"
#include "platform/widgets/Grid.h"
#include "tests/support/Players.h"
#include "tests/support/Responders.h"
#include "unified/Program.h"
#include "unified/core/rxProgram.h"
#include "unified/schedule/Matches.h"
#include "unified/window/MainForm.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QRadioButton>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

constexpr unsigned kErrorBox = MB_OK | MB_ICONEXCLAMATION;
constexpr unsigned kWarningQuestion = MB_OKCANCEL | MB_ICONEXCLAMATION;

// The mixer's random order comes from the clock.
class FixedMoment {
public:
    explicit FixedMoment(std::time_t moment) { SetFixedClock(moment); }
    ~FixedMoment() { ClearFixedClock(); }
    FixedMoment(const FixedMoment&) = delete;
    FixedMoment& operator=(const FixedMoment&) = delete;
};

class PlanWindow : public testing::Test {
protected:
    void SetUp() override {
        Settings = rxProgram();
        CreateWindows({"-P"});
    }
    void TearDown() override { DestroyWindows(); }

    static Matches& Plan() { return *AsMatchPlan(); }

    // Players 1 to n; `genders` gives player i the i-th character ('M', 'F'
    // or a blank), and players past it none.
    static void AddPlayers(int n, const std::string& genders = "") {
        for (int i = 1; i <= n; ++i) {
            Player p = Named("F" + std::to_string(i), "L" + std::to_string(i));
            if (i <= static_cast<int>(genders.size())) p.gender = genders[i - 1];
            ASSERT_EQ(Plan().AddPlayer(p, nullptr), 0);
        }
        MainForm->RefreshViews();
    }

    // A shape of the plan's own: `types` one character per court.
    static void Shape(const std::string& types, int rounds) {
        ASSERT_TRUE(Plan().SetCourtTypes(static_cast<int>(types.size()), (" " + types).c_str()));
        std::string notations[100];
        ASSERT_TRUE(Plan().SetRounds(rounds, notations));
        MainForm->RefreshViews();
    }

    // Runs a menu command whose dialog gets the action; the dialog's result,
    // or mrNone when it stayed open.
    template <typename Box> int Command(QAction* item, std::function<void(Box&)> action) {
        int result = -1;
        DialogScript dialogs;
        dialogs.Expect<Box>([&](Box& d) {
            QApplication::setActiveWindow(&d);
            action(d);
            result = d.isVisible() ? mrNone : d.result();
        });
        item->trigger();
        return result;
    }

    BoxScript boxes;
};

// Everything a plan holds that the dialogs may change: shape, notations,
// boxes, type, options, thresholds, flags and whether it changed.
inline std::string Snapshot(const Matches& plan) {
    std::string s =
        std::to_string(plan.RoundCount()) + "x" + std::to_string(plan.CourtCount()) + " type " +
        std::to_string(plan.ScheduleType()) + " options " + std::to_string(plan.Options()) + " " +
        std::to_string(plan.DisparityThreshold()) + "/" + std::to_string(plan.DiversityLimit()) +
        (plan.ManuallyModified() ? " hand-edited" : "") + (plan.IsManualMode() ? " manual" : "") +
        (plan.IsModified() ? " changed" : "") + "\n";
    for (int c = 1; c <= plan.CourtCount(); ++c)
        s += plan.CourtType(c);
    for (int r = 1; r <= plan.RoundCount(); ++r) {
        s += "\n" + plan.RoundName(r) + ":";
        for (int c = 1; c <= plan.CourtCount(); ++c)
            for (int p = 1; p <= 4; ++p)
                s += " " + std::to_string(plan.GetSlot(r, c, p));
    }
    return s;
}

// The box of the plan's warnings, with its lines; OK asks for the details.
inline std::string WarningSummary(const std::vector<std::string>& lines) {
    std::string text = "  ** WARNINGS SUMMARY **  \n";
    for (const std::string& line : lines)
        text += line + "\n";
    return text + "Click OK for details.";
}
constexpr unsigned kSummaryBox = MB_OKCANCEL | MB_ICONINFORMATION;

// A refused entry: the dialog stays, the focus on the field.
inline void ExpectFocusOn(const QWidget& dialog, QWidget* field) {
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.focusWidget(), field);
    if (auto* edit = qobject_cast<QLineEdit*>(field)) {
        EXPECT_EQ(edit->selectedText(), edit->text()) << "the text is selected";
    }
}
