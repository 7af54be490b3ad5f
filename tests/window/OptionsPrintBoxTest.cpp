#include "unified/window/OptionsPrintBox.h"
#include "platform/Grid.h"
#include "tests/support/Responders.h"
#include "unified/Program.h"
#include "unified/core/RXEvent.h"
#include "unified/core/rxProgram.h"
#include "unified/window/MainForm.h"
#include "unified/window/RadioGroup.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>

namespace {

constexpr unsigned kError = MB_OK | MB_ICONEXCLAMATION;

class PrintOptionsBox : public testing::Test {
protected:
    void SetUp() override { Settings = rxProgram(); }
    void TearDown() override { DestroyWindows(); }

    void Start(const char* kind, const PrintOptions& options) {
        CreateWindows({kind});
        MainForm->show();
        CurrentEvent->SetPrintOptions(options);
    }

    int Run(std::function<void(TOptionsPrintBox&)> action) {
        DialogScript dialogs;
        dialogs.Expect<TOptionsPrintBox>([action](TOptionsPrintBox& d) {
            QApplication::setActiveWindow(&d);
            action(d);
        });
        return ShowModal(*OptionsPrintBox);
    }
};

void SetFields(TOptionsPrintBox& d, const char* left, const char* right, const char* top,
               const char* bottom, const char* font) {
    d.LeftMargin->setText(left);
    d.RightMargin->setText(right);
    d.TopMargin->setText(top);
    d.BottomMargin->setText(bottom);
    d.FontSize->setText(font);
}

} // namespace

TEST_F(PrintOptionsBox, ShowsTheOptionsAndHidesWhatTheKindDoesNotUse) {
    Start("-L", PrintOptions{.leftMargin = 1.25f,
                             .rightMargin = 7.0f,
                             .topMargin = 0.5f,
                             .bottomMargin = 0.04f,
                             .orientation = 2,
                             .fontSize = 12});
    Run([](TOptionsPrintBox& d) {
        EXPECT_EQ(d.windowTitle(), "Print Options");
        EXPECT_EQ(d.LeftMargin->text(), "1.3") << "a half rounds up";
        EXPECT_EQ(d.RightMargin->text(), "7.0");
        EXPECT_EQ(d.TopMargin->text(), "0.5");
        EXPECT_EQ(d.BottomMargin->text(), "0.0");
        EXPECT_EQ(d.FontSize->text(), "12");
        EXPECT_EQ(d.Orientation->ItemIndex(), 2);
        EXPECT_FALSE(d.RightMargin->isVisible());
        EXPECT_FALSE(d.RightLabel->isVisible());
        for (QWidget* perPage : {(QWidget*)d.PerPageLabel, (QWidget*)d.PlayersPerPage,
                                 (QWidget*)d.RoundsLabel, (QWidget*)d.RoundsPerPage})
            EXPECT_FALSE(perPage->isVisible());
        EXPECT_EQ(QApplication::focusWidget(), d.TopMargin);
        d.CancelBtn->click();
    });
    DestroyWindows();

    Start("-T", PrintOptions{.playersPerPage = 16, .roundsPerPage = 4});
    Run([](TOptionsPrintBox& d) {
        EXPECT_TRUE(d.RightMargin->isVisible());
        EXPECT_TRUE(d.PlayersPerPage->isVisible());
        EXPECT_TRUE(d.RoundsLabel->isVisible());
        EXPECT_EQ(d.PlayersPerPage->currentText(), "16");
        EXPECT_EQ(d.RoundsPerPage->currentText(), "4");
        d.CancelBtn->click();
    });
}

TEST_F(PrintOptionsBox, PageCountsFromAFileTakeTheNearestChoice) {
    const struct {
        int players, rounds;
        const char* playersShown;
        const char* roundsShown;
    } cases[] = {
        {64, 9, "32", "5"}, {12, 0, "8", "1"}, {0, -2, "4", "1"},
        {-16, 3, "4", "3"}, {2, 5, "4", "5"},
    };
    Start("-T", PrintOptions());
    for (const auto& c : cases) {
        CurrentEvent->SetPrintOptions(
            PrintOptions{.playersPerPage = c.players, .roundsPerPage = c.rounds});
        Run([&](TOptionsPrintBox& d) {
            EXPECT_EQ(d.PlayersPerPage->currentText(), c.playersShown) << c.players;
            EXPECT_EQ(d.RoundsPerPage->currentText(), c.roundsShown) << c.rounds;
            d.RoundsPerPage->setCurrentIndex(0);
            d.OKBtn->click();
        });
        EXPECT_EQ(CurrentEvent->PrintOpts().playersPerPage, std::stoi(c.playersShown));
        EXPECT_EQ(CurrentEvent->PrintOpts().roundsPerPage, 1);
    }
    // An orientation outside the group takes its last item, as the old group did.
    CurrentEvent->SetPrintOptions(PrintOptions{.orientation = 5});
    Run([](TOptionsPrintBox& d) {
        EXPECT_EQ(d.Orientation->ItemIndex(), 2);
        d.CancelBtn->click();
    });
}

TEST_F(PrintOptionsBox, ADrawPageMustHoldTheRoundsItShows) {
    Start("-T", PrintOptions{.playersPerPage = 4, .roundsPerPage = 1});
    BoxScript boxes;
    boxes.Expect("Error",
                 "For 3 rounds per page, must show at least 8 players per page.  Please increase "
                 "Players Per Page, or decrease Rounds Per Page.",
                 kError);
    EXPECT_EQ(Run([](TOptionsPrintBox& d) {
                  d.RoundsPerPage->setCurrentIndex(2);
                  d.OKBtn->click();
                  EXPECT_TRUE(d.isVisible());
                  d.PlayersPerPage->setCurrentIndex(1);
                  d.OKBtn->click();
              }),
              mrOk);
    EXPECT_EQ(CurrentEvent->PrintOpts().playersPerPage, 8);
    EXPECT_EQ(CurrentEvent->PrintOpts().roundsPerPage, 3);
}

TEST_F(PrintOptionsBox, FieldsAreCheckedInOrderAndNothingIsStoredUntilAllPass) {
    Start("-P", PrintOptions());
    const PrintOptions before = CurrentEvent->PrintOpts();
    BoxScript boxes;
    boxes.Expect("Error", "Must be numeric from 0.0 to 4.0.", kError)
        .Expect("Error", "Must be numeric from 0.0 to 4.0.", kError)
        .Expect("Error", "Must be numeric from 0.0 to 4.0.", kError)
        .Expect("Error", "Must be numeric from 0.0 to 4.0.", kError)
        .Expect("Error", "Must be numeric from 8 to 20.", kError)
        .Expect("Error", "Must be numeric from 8 to 20.", kError);
    EXPECT_EQ(Run([&](TOptionsPrintBox& d) {
                  // Each refusal focuses its field; the one before it passed.
                  const struct {
                      const char* fields[5];
                      QLineEdit* refused;
                  } steps[] = {
                      {{"4.5", "9", "9", "9", "7"}, d.LeftMargin},
                      {{"4", "", "9", "9", "7"}, d.RightMargin},
                      {{"4", "0", "", "9", "7"}, d.TopMargin},
                      {{"4", "0", "0.5", "9", "7"}, d.BottomMargin},
                      {{"4", "0", "0.5", "2", "7"}, d.FontSize},
                      {{"4", "0", "0.5", "2", " "}, d.FontSize},
                  };
                  for (const auto& step : steps) {
                      SetFields(d, step.fields[0], step.fields[1], step.fields[2], step.fields[3],
                                step.fields[4]);
                      d.OKBtn->click();
                      ASSERT_TRUE(d.isVisible());
                      EXPECT_EQ(QApplication::focusWidget(), step.refused);
                      EXPECT_EQ(CurrentEvent->PrintOpts().leftMargin, before.leftMargin);
                      EXPECT_EQ(CurrentEvent->PrintOpts().fontSize, before.fontSize);
                  }
                  SetFields(d, "4", "0", "0.5", "2", "20");
                  d.Orientation->Button(1)->click();
                  d.OKBtn->click();
              }),
              mrOk);
    const PrintOptions& after = CurrentEvent->PrintOpts();
    EXPECT_FLOAT_EQ(after.leftMargin, 4.0f);
    EXPECT_FLOAT_EQ(after.rightMargin, 0.0f);
    EXPECT_FLOAT_EQ(after.topMargin, 0.5f);
    EXPECT_FLOAT_EQ(after.bottomMargin, 2.0f);
    EXPECT_EQ(after.fontSize, 20);
    EXPECT_EQ(after.orientation, 1);
    EXPECT_EQ(after.playersPerPage, before.playersPerPage) << "a schedule keeps its page counts";
    EXPECT_TRUE(CurrentEvent->IsModified());
}

TEST_F(PrintOptionsBox, TheLaddersHiddenRightMarginNeitherBlocksNorChanges) {
    Start("-L", PrintOptions{.rightMargin = 7.5f});
    Player ann;
    ann.firstName = "Ann";
    ann.lastName = "Archer";
    ASSERT_EQ(CurrentEvent->AddPlayer(ann, nullptr), 0);
    EXPECT_EQ(Run([](TOptionsPrintBox& d) {
                  d.LeftMargin->setText("0.5");
                  d.OKBtn->click();
              }),
              mrOk);
    EXPECT_FLOAT_EQ(CurrentEvent->PrintOpts().leftMargin, 0.5f);
    EXPECT_FLOAT_EQ(CurrentEvent->PrintOpts().rightMargin, 7.5f);
    EXPECT_EQ(MainForm->PlayerGrid->Cell(3, 1), "Ann Archer") << "the views were refreshed";
}
