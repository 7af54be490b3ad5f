#include "unified/window/ReportOptionsBox.h"
#include "tests/window/DialogTest.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

class ReportOptions : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        CreateWindows({"-L"});
    }
    int Run(std::function<void(TReportOptionsBox&)> action) {
        return DialogTest::Run(ReportOptionsBox, std::move(action));
    }
};

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

TEST_F(ReportOptions, ShowsTheEventsTextsAndStoresThemOnOkOnly) {
    CurrentEvent->SetHeading("Spring Ladder");
    CurrentEvent->SetNote(5, "note 5");
    CurrentEvent->SetEmailSubject("Standings");
    const auto edit = [](TReportOptionsBox& d) {
        EXPECT_EQ(d.Heading->text(), "Spring Ladder");
        EXPECT_EQ(d.Note5->text(), "note 5");
        EXPECT_EQ(d.EmailSubject->text(), "Standings");
        d.Heading->setText("Summer Ladder");
        d.Note2->setText("note 2");
        d.EmailSubject->setText("Zoë's results");
    };
    Run([&](TReportOptionsBox& d) {
        edit(d);
        d.CancelBtn->click();
    });
    EXPECT_EQ(CurrentEvent->Heading(), "Spring Ladder");
    Run([&](TReportOptionsBox& d) {
        edit(d); // filled anew from the event
        d.OKBtn->click();
    });
    EXPECT_EQ(CurrentEvent->Heading(), "Summer Ladder");
    EXPECT_EQ(CurrentEvent->Note(2), "note 2");
    EXPECT_EQ(CurrentEvent->Note(5), "note 5");
    EXPECT_EQ(CurrentEvent->EmailSubject(), "Zoë's results");
}

TEST_F(ReportOptions, OkMarksTheEventChangedEvenWithoutAnEdit) {
    ASSERT_FALSE(CurrentEvent->IsModified());
    Run([](TReportOptionsBox& d) { d.OKBtn->click(); });
    EXPECT_TRUE(CurrentEvent->IsModified());
}

TEST_F(ReportOptions, FieldsTakeSixtyCharactersAsTypedNotBytes) {
    CurrentEvent->SetHeading(Repeat("h", 70)); // from a file: shown whole
    Run([&](TReportOptionsBox& d) {
        for (QLineEdit* field : {d.Note1, d.Note2, d.Note3, d.Note4, d.Note5, d.EmailSubject}) {
            Type(field, Repeat("ab", 35));
            EXPECT_EQ(field->text().toStdString(), Repeat("ab", 30));
        }
        d.Note1->clear();
        Type(d.Note1, Repeat("é", 61));
        EXPECT_EQ(d.Note1->text().toStdString(), Repeat("é", 60));
        d.Note2->clear();
        Type(d.Note2, Repeat("\U0001F3BE", 61));
        EXPECT_EQ(d.Note2->text().toStdString(), Repeat("\U0001F3BE", 60));
        // A paste keeps what fits of it, and the text after it.
        d.Note3->setText(QString::fromStdString(Repeat("x", 50) + "END"));
        d.Note3->setCursorPosition(50);
        d.Note3->insert(QString::fromStdString(Repeat("y", 20)));
        EXPECT_EQ(d.Note3->text().toStdString(), Repeat("x", 50) + Repeat("y", 7) + "END");
        // A longer text from the file may be shortened but not lengthened.
        d.Heading->end(false);
        QTest::keyClick(d.Heading, Qt::Key_A);
        EXPECT_EQ(d.Heading->text().toStdString(), Repeat("h", 70));
        QTest::keyClick(d.Heading, Qt::Key_Backspace);
        d.OKBtn->click();
    });
    EXPECT_EQ(CurrentEvent->Heading(), Repeat("h", 69));
    EXPECT_EQ(CurrentEvent->Note(1), Repeat("é", 60));
}
