#include "unified/dialogparts/editChecks.h"
#include "tests/support/Responders.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>
#include <gtest/gtest.h>
#include <string>
#include <utility>

namespace {

// Two fields in a shown, active window, the focus on the other one.
class EditChecks : public testing::Test {
protected:
    void SetUp() override {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(edit = new QLineEdit);
        layout->addWidget(other = new QLineEdit);
        window.show();
        QApplication::setActiveWindow(&window);
        other->setFocus();
        QApplication::processEvents();
    }

    // The field was refused: range message, its text selected and focused.
    void ExpectRefusedWithFocus() {
        QApplication::processEvents();
        EXPECT_EQ(QApplication::focusWidget(), edit);
        EXPECT_EQ(edit->selectedText(), edit->text());
        other->setFocus();
    }

    QWidget window;
    QLineEdit* edit;
    QLineEdit* other;
    BoxScript boxes;
};

constexpr unsigned kError = MB_OK | MB_ICONEXCLAMATION;

} // namespace

TEST_F(EditChecks, IntegerBlankIsZeroWhenAllowedAndRefusedOtherwise) {
    int value = 5;
    edit->setText("   ");
    EXPECT_TRUE(ValidateIntegerEdit(edit, value, 1, 10, true));
    EXPECT_EQ(value, 0);
    EXPECT_EQ(edit->text(), ""); // the blanks are cleared

    value = 5;
    edit->setText("   ");
    boxes.Expect("Error", "Must be numeric from 1 to 10.", kError);
    EXPECT_FALSE(ValidateIntegerEdit(edit, value, 1, 10, false));
    EXPECT_EQ(value, 5);
    ExpectRefusedWithFocus();
}

TEST_F(EditChecks, IntegerAcceptsDigitsInRangeOnly) {
    int value = 0;
    edit->setText("0042");
    EXPECT_TRUE(ValidateIntegerEdit(edit, value, 0, 9999, true));
    EXPECT_EQ(value, 42);

    // A number out of range is taken, then refused; what is no number
    // leaves the value as it was.
    const std::pair<const char*, int> refused[] = {
        {"-3", 7}, {"+3", 7}, {"3 ", 7}, {"1e3", 7}, {"10000", 10000}, {"99999999999999999999", 7}};
    for (const auto& [text, after] : refused) {
        value = 7;
        edit->setText(text);
        boxes.Expect("Error", "Must be numeric from -5 to 9999.", kError);
        EXPECT_FALSE(ValidateIntegerEdit(edit, value, -5, 9999, true)) << text;
        EXPECT_EQ(value, after) << text;
        ExpectRefusedWithFocus();
    }
}

TEST_F(EditChecks, RealAcceptsPointForms) {
    double value = 0;
    edit->setText("2.");
    EXPECT_TRUE(ValidateRealEdit(edit, value, 0, 4, false));
    EXPECT_DOUBLE_EQ(value, 2.0);
    edit->setText(".5");
    EXPECT_TRUE(ValidateRealEdit(edit, value, 0, 4, false));
    EXPECT_DOUBLE_EQ(value, 0.5);
    edit->setText("4");
    EXPECT_TRUE(ValidateRealEdit(edit, value, 0, 4, false));
    edit->setText("");
    EXPECT_TRUE(ValidateRealEdit(edit, value, 0, 4, true));
    EXPECT_DOUBLE_EQ(value, 0.0);

    const std::string huge = "1" + std::string(400, '0'); // past what a double holds
    const std::pair<std::string, double> refused[] = {
        {"4.5", 4.5}, {".", 3}, {"1.2.3", 3}, {"-1", 3}, {"1,5", 3}, {"", 3}, {huge, 3}};
    for (const auto& [text, after] : refused) {
        value = 3;
        edit->setText(QString::fromStdString(text));
        boxes.Expect("Error", "Must be numeric from 0.0 to 4.0.", kError);
        EXPECT_FALSE(ValidateRealEdit(edit, value, 0, 4, false)) << text;
        EXPECT_DOUBLE_EQ(value, after) << text;
        ExpectRefusedWithFocus();
    }
}

TEST_F(EditChecks, ALengthLimitCountsCharactersAndOnlyBindsTheUser) {
    LimitEditLength(edit, 4);
    QTest::keyClicks(edit, "abcdef");
    EXPECT_EQ(edit->text(), "abcd");
    edit->clear();
    for (int i = 0; i < 6; ++i) {
        QKeyEvent key(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier,
                      QString::fromUtf8("\xF0\x9D\x84\x9E")); // two UTF-16 units
        QApplication::sendEvent(edit, &key);
    }
    EXPECT_EQ(edit->text().toUcs4().size(), 4);
    // A longer text the program put there is kept and can only shrink.
    edit->setText("abcdefgh");
    edit->end(false);
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, "xy");
    EXPECT_EQ(edit->text(), "abcdefg");
}
