#include "unified/window/PreviewBox.h"
#include "tests/window/DialogTest.h"
#include "unified/core/rxreport.h"
#include "unified/ladder/Ladder.h"
#include "unified/window/eventFactory.h"

#include <QFontInfo>
#include <QPlainTextEdit>
#include <QTest>

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

class Preview : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        saved = SetEventMaker(0, [] { return static_cast<RXEvent*>(new ReportingLadder); });
        CreateWindows({"-L"});
    }
    void TearDown() override {
        DialogTest::TearDown();
        SetEventMaker(0, saved);
    }

    // Shown anew, as the commands show it: without blocking.
    static std::string Show(int mode, const std::vector<std::string>* summary = nullptr,
                            const std::vector<std::string>* details = nullptr) {
        PreviewBox->hide();
        PreviewBox->SetContent(mode, summary, details);
        PreviewBox->show();
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
    EXPECT_EQ(Show(TPreviewBox::IssuePreview), "Spring Ladder\n  1. Archer, Ann");
    EXPECT_EQ(PreviewBox->windowTitle(), "Preview Issue");
    EXPECT_FALSE(PreviewBox->isModal());
    EXPECT_TRUE(QFontInfo(PreviewBox->Preview->font()).fixedPitch());
    CurrentEvent->SetHeading("Summer Ladder");
    EXPECT_EQ(Show(TPreviewBox::IssuePreview), "Summer Ladder\n  1. Archer, Ann");
}

TEST_F(Preview, AnalysisModeListsTheWarningsThenTheAnalysis) {
    const std::vector<std::string> summary = {"summary"};
    const std::vector<std::string> details = {"detail 1", "detail 2"};
    PreviewBox->WriteAnalysis = [](std::vector<std::string>& list) { list = {"analysis"}; };
    PreviewBox->setWindowState(Qt::WindowMaximized);
    const int mode = TPreviewBox::WarningsAndAnalysis;
    EXPECT_EQ(Show(mode, &summary, &details), "summary\n\ndetail 1\ndetail 2\n\nanalysis");
    EXPECT_EQ(PreviewBox->windowTitle(), "Warnings and Match Analysis");
    EXPECT_FALSE(PreviewBox->isMaximized()) << "restored to its normal size";
    // Without a summary neither list is shown.
    EXPECT_EQ(Show(mode, nullptr, &details), "analysis");
    EXPECT_EQ(Show(mode, &summary), "summary\n\nanalysis");
}

TEST_F(Preview, ATypedCharacterClosesItAndMovingAboutDoesNot) {
    for (Qt::Key key : {Qt::Key_Down, Qt::Key_PageDown, Qt::Key_Shift, Qt::Key_F5}) {
        Show(TPreviewBox::IssuePreview);
        QTest::keyClick(PreviewBox->Preview, key);
        EXPECT_TRUE(PreviewBox->isVisible()) << QKeySequence(key).toString().toStdString();
    }
    for (Qt::Key key : {Qt::Key_X, Qt::Key_Space, Qt::Key_Return, Qt::Key_Escape}) {
        Show(TPreviewBox::IssuePreview);
        QTest::keyClick(PreviewBox->Preview, key);
        EXPECT_FALSE(PreviewBox->isVisible()) << QKeySequence(key).toString().toStdString();
    }
}
