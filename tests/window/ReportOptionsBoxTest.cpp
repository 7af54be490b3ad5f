#include "unified/window/ReportOptionsBox.h"
#include "tests/support/Responders.h"
#include "unified/Program.h"
#include "unified/core/RXEvent.h"
#include "unified/core/rxProgram.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class ReportOptions : public testing::Test {
protected:
    void SetUp() override {
        Settings = rxProgram();
        CreateWindows({"-L"});
    }
    void TearDown() override { DestroyWindows(); }

    int Run(std::function<void(TReportOptionsBox&)> action) {
        DialogScript dialogs;
        dialogs.Expect<TReportOptionsBox>(std::move(action));
        return ShowModal(*ReportOptionsBox);
    }
};

std::vector<QLineEdit*> Fields(const TReportOptionsBox& d) {
    return {d.Heading, d.Note1, d.Note2, d.Note3, d.Note4, d.Note5, d.EmailSubject};
}

// Types the text one character at a time, as keys that type it.
void Type(QLineEdit* field, const std::string& text) {
    for (const char32_t c : QString::fromStdString(text).toUcs4()) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier,
                        QString::fromUcs4(&c, 1));
        QApplication::sendEvent(field, &press);
    }
}

std::string Repeat(const std::string& text, int times) {
    std::string result;
    for (int i = 0; i < times; ++i)
        result += text;
    return result;
}

} // namespace

TEST_F(ReportOptions, ShowsTheEventsTextsAndStoresThemOnOk) {
    CurrentEvent->SetHeading("Spring Ladder");
    for (int n = 1; n <= 5; ++n)
        CurrentEvent->SetNote(n, "note " + std::to_string(n));
    CurrentEvent->SetEmailSubject("Standings");
    EXPECT_EQ(Run([](TReportOptionsBox& d) {
                  EXPECT_EQ(d.windowTitle(), "Report Options");
                  std::vector<std::string> shown;
                  for (QLineEdit* field : Fields(d))
                      shown.push_back(field->text().toStdString());
                  EXPECT_EQ(shown,
                            (std::vector<std::string>{"Spring Ladder", "note 1", "note 2", "note 3",
                                                      "note 4", "note 5", "Standings"}));
                  d.Heading->setText("Summer Ladder");
                  d.Note3->clear();
                  d.EmailSubject->setText("Zoë's results");
                  d.CancelBtn->click();
              }),
              mrCancel);
    EXPECT_EQ(CurrentEvent->Heading(), "Spring Ladder") << "Cancel stores nothing";

    Run([](TReportOptionsBox& d) {
        EXPECT_EQ(d.Heading->text(), "Spring Ladder") << "filled anew at each show";
        d.Heading->setText("Summer Ladder");
        d.Note3->clear();
        d.EmailSubject->setText("Zoë's results");
        d.OKBtn->click();
    });
    EXPECT_EQ(CurrentEvent->Heading(), "Summer Ladder");
    EXPECT_EQ(CurrentEvent->Note(2), "note 2");
    EXPECT_EQ(CurrentEvent->Note(3), "");
    EXPECT_EQ(CurrentEvent->Note(5), "note 5");
    EXPECT_EQ(CurrentEvent->EmailSubject(), "Zoë's results");
}

TEST_F(ReportOptions, OkMarksTheEventChangedEvenWithoutAnEdit) {
    ASSERT_FALSE(CurrentEvent->IsModified());
    Run([](TReportOptionsBox& d) { d.OKBtn->click(); });
    EXPECT_TRUE(CurrentEvent->IsModified());
}

TEST_F(ReportOptions, EachFieldTakesSixtyCharactersNotBytes) {
    const std::string longHeading = Repeat("h", 70); // from a file: shown whole
    CurrentEvent->SetHeading(longHeading);
    Run([&](TReportOptionsBox& d) {
        for (QLineEdit* field : Fields(d)) {
            if (field == d.Heading) continue;
            field->clear();
            Type(field, Repeat("ab", 35));
            EXPECT_EQ(field->text().toStdString(), Repeat("ab", 30));
        }
        // Letters outside ASCII count one each, whatever their bytes.
        d.Note1->clear();
        Type(d.Note1, Repeat("é", 61));
        EXPECT_EQ(d.Note1->text().toStdString(), Repeat("é", 60));
        d.Note2->clear();
        Type(d.Note2, Repeat("\U0001F3BE", 61));
        EXPECT_EQ(d.Note2->text().toStdString(), Repeat("\U0001F3BE", 60));
        // A paste in the middle keeps what fits of it, and the text after it.
        d.Note3->setText(QString::fromStdString(Repeat("x", 50) + "END"));
        d.Note3->setCursorPosition(50);
        d.Note3->insert(QString::fromStdString(Repeat("y", 20)));
        EXPECT_EQ(d.Note3->text().toStdString(), Repeat("x", 50) + Repeat("y", 7) + "END");
        EXPECT_EQ(d.Note3->cursorPosition(), 57);

        // A longer text from the file may be shortened but not lengthened.
        EXPECT_EQ(d.Heading->text().toStdString(), longHeading);
        d.Heading->end(false);
        QTest::keyClick(d.Heading, Qt::Key_A);
        EXPECT_EQ(d.Heading->text().toStdString(), longHeading);
        QTest::keyClick(d.Heading, Qt::Key_Backspace);
        EXPECT_EQ(d.Heading->text().toStdString(), Repeat("h", 69));
        d.OKBtn->click();
    });
    EXPECT_EQ(CurrentEvent->Heading(), Repeat("h", 69));
    EXPECT_EQ(CurrentEvent->Note(1), Repeat("é", 60));
    EXPECT_EQ(CurrentEvent->EmailSubject(), Repeat("ab", 30));
}
