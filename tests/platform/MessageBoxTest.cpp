#include "platform/MessageBox.h"
#include "tests/support/Responders.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// Shows a real box; `answer` inspects it once it is up and presses a button.
int ShowRealBox(const std::string& text, const std::string& caption, unsigned flags,
                std::function<void(QMessageBox&)> answer) {
    const MessageBoxResponder saved = SetMessageBoxResponder({});
    QTimer::singleShot(0, [answer] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            ADD_FAILURE() << "no box is up";
            return;
        }
        answer(*box);
    });
    const int result = MessageBox(text, caption, flags);
    SetMessageBoxResponder(saved);
    return result;
}

} // namespace

TEST(MessageBoxWindow, ShowsPlainTextWithTheAskedButtonsAndIcon) {
    const int result =
        ShowRealBox("<b>Smith</b>, John", "Data has changed!", MB_YESNOCANCEL | MB_ICONQUESTION,
                    [](QMessageBox& box) {
                        EXPECT_EQ(box.textFormat(), Qt::PlainText);
                        EXPECT_EQ(box.text(), "<b>Smith</b>, John");
                        EXPECT_EQ(box.windowTitle(), "Data has changed!");
                        EXPECT_EQ(box.icon(), QMessageBox::Question);
                        EXPECT_EQ(box.standardButtons(),
                                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
                        box.button(QMessageBox::No)->click();
                    });
    EXPECT_EQ(result, IDNO);
}

TEST(MessageBoxWindow, MapsEachButtonToItsResult) {
    struct Case {
        unsigned flags;
        QMessageBox::StandardButton press;
        QMessageBox::Icon icon;
        int result;
    } cases[] = {
        {MB_OK | MB_ICONEXCLAMATION, QMessageBox::Ok, QMessageBox::Warning, IDOK},
        {MB_OKCANCEL | MB_ICONQUESTION, QMessageBox::Cancel, QMessageBox::Question, IDCANCEL},
        {MB_YESNOCANCEL | MB_ICONQUESTION, QMessageBox::Yes, QMessageBox::Question, IDYES},
        {MB_YESNO | MB_ICONINFORMATION, QMessageBox::No, QMessageBox::Information, IDNO},
        {MB_OK | MB_ICONSTOP, QMessageBox::Ok, QMessageBox::Critical, IDOK},
    };
    for (const Case& c : cases) {
        const int result = ShowRealBox("text", "Caption", c.flags, [&](QMessageBox& box) {
            EXPECT_EQ(box.icon(), c.icon);
            box.button(c.press)->click();
        });
        EXPECT_EQ(result, c.result) << "flags " << c.flags;
    }
}

TEST(MessageBoxResponder, AnswersInsteadOfTheWindowAndRecordsEachBox) {
    BoxScript boxes;
    boxes.Expect("Confirmation", "Go on?", MB_OKCANCEL | MB_ICONQUESTION, IDCANCEL)
        .Expect("Error", "Bad data in file.", MB_OK | MB_ICONEXCLAMATION);
    EXPECT_EQ(MessageBox("Go on?", "Confirmation", MB_OKCANCEL | MB_ICONQUESTION), IDCANCEL);
    EXPECT_EQ(MessageBox("Bad data in file.", "Error", MB_OK | MB_ICONEXCLAMATION), IDOK);
    ASSERT_EQ(boxes.Seen().size(), 2u);
    EXPECT_EQ(boxes.Seen()[1].caption, "Error");
}
