#include "unified/window/PreviewBox.h"
#include "tests/support/Responders.h"
#include "unified/Program.h"
#include "unified/core/RXEvent.h"
#include "unified/core/rxProgram.h"
#include "unified/core/rxreport.h"
#include "unified/ladder/Ladder.h"
#include "unified/window/eventFactory.h"

#include <QApplication>
#include <QFontInfo>
#include <QPlainTextEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// A ladder whose report is its heading and a row per player.
class ReportingLadder : public Ladder {
public:
    void PrintReport(rxReport& report) override {
        report.WriteLine(Heading());
        for (int i = 1; i <= PlayerCount(); ++i) {
            report.WriteCell(std::to_string(i) + ".", 400, rxReport::AlignRight);
            report.EndRow(" " + PlayerDisplayName(i));
        }
    }
};

class Preview : public testing::Test {
protected:
    void SetUp() override {
        Settings = rxProgram();
        saved = SetEventMaker(0, [] { return static_cast<RXEvent*>(new ReportingLadder); });
        CreateWindows({"-L"});
    }
    void TearDown() override {
        DestroyWindows();
        SetEventMaker(0, saved);
    }

    // Shown as the commands show it: without blocking.
    std::string Show() {
        PreviewBox->show();
        QApplication::processEvents();
        return PreviewBox->Preview->toPlainText().toStdString();
    }

    EventMaker saved = nullptr;
};

} // namespace

TEST_F(Preview, IssueModeShowsTheEventsReportAnewAtEachShow) {
    CurrentEvent->SetHeading("Spring Ladder");
    Player ann;
    ann.firstName = "Ann";
    ann.lastName = "Archer";
    CurrentEvent->AddPlayer(ann, nullptr);
    PreviewBox->SetContent(TPreviewBox::IssuePreview, nullptr, nullptr);
    EXPECT_EQ(Show(), "Spring Ladder\n  1. Archer, Ann");
    EXPECT_EQ(PreviewBox->windowTitle(), "Preview Issue");
    EXPECT_FALSE(PreviewBox->isModal());
    EXPECT_TRUE(QFontInfo(PreviewBox->Preview->font()).fixedPitch());
    EXPECT_TRUE(PreviewBox->Preview->isReadOnly());
    PreviewBox->hide();

    CurrentEvent->SetHeading("Summer Ladder");
    PreviewBox->SetContent(TPreviewBox::IssuePreview, nullptr, nullptr);
    EXPECT_EQ(Show(), "Summer Ladder\n  1. Archer, Ann") << "one report, not two";
}

TEST_F(Preview, AnalysisModeListsTheWarningsThenTheAnalysis) {
    const std::vector<std::string> summary = {"Some players play too often"};
    const std::vector<std::string> details = {"player 3 plays 5 times", "player 7 plays 5 times"};
    PreviewBox->WriteAnalysis = [](std::vector<std::string>& list) {
        list = {"  ** MATCH ANALYSIS **  ", "chart"};
    };
    PreviewBox->SetContent(TPreviewBox::WarningsAndAnalysis, &summary, &details);
    PreviewBox->setWindowState(Qt::WindowMaximized);
    EXPECT_EQ(Show(), "Some players play too often\n\nplayer 3 plays 5 times\n"
                      "player 7 plays 5 times\n\n  ** MATCH ANALYSIS **  \nchart");
    EXPECT_EQ(PreviewBox->windowTitle(), "Warnings and Match Analysis");
    EXPECT_FALSE(PreviewBox->isMaximized()) << "restored to its normal size";
    PreviewBox->hide();

    // Without a summary neither list is shown; without details, the summary.
    PreviewBox->SetContent(TPreviewBox::WarningsAndAnalysis, nullptr, &details);
    EXPECT_EQ(Show(), "  ** MATCH ANALYSIS **  \nchart");
    PreviewBox->hide();
    PreviewBox->SetContent(TPreviewBox::WarningsAndAnalysis, &summary, nullptr);
    EXPECT_EQ(Show(), "Some players play too often\n\n  ** MATCH ANALYSIS **  \nchart");
    PreviewBox->hide();
    PreviewBox->SetContent(TPreviewBox::IssuePreview, nullptr, nullptr);
    Show();
    EXPECT_EQ(PreviewBox->windowTitle(), "Preview Issue");
}

TEST_F(Preview, ATypedCharacterClosesItAndMovingAboutDoesNot) {
    PreviewBox->SetContent(TPreviewBox::IssuePreview, nullptr, nullptr);
    for (Qt::Key key :
         {Qt::Key_Down, Qt::Key_Right, Qt::Key_PageDown, Qt::Key_Home, Qt::Key_Shift, Qt::Key_F5}) {
        Show();
        QTest::keyClick(PreviewBox->Preview, key);
        EXPECT_TRUE(PreviewBox->isVisible()) << QKeySequence(key).toString().toStdString();
    }
    for (Qt::Key key : {Qt::Key_X, Qt::Key_Space, Qt::Key_Return, Qt::Key_Escape}) {
        Show();
        QTest::keyClick(PreviewBox->Preview, key);
        EXPECT_FALSE(PreviewBox->isVisible()) << QKeySequence(key).toString().toStdString();
    }
}
