// The keys that reach a dialog's controls, checked over every dialog the
// program makes, whatever the kind: Alt and a letter reach one control, and
// Enter in a field presses OK at every showing.
#include "platform/MessageBox.h"
#include "platform/ShowModal.h"
#include "tests/support/Scratch.h"
#include "unified/Program.h"
#include "unified/core/rxProgram.h"
#include "unified/window/AUPlayerBox.h"
#include "unified/window/MainForm.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

namespace {

// The letter after a single "&", upper case; 0 when there is none.
char MnemonicOf(const QString& text) {
    for (int i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&') continue;
        if (text[i + 1] == '&') {
            ++i;
            continue;
        }
        return static_cast<char>(text[i + 1].toUpper().toLatin1());
    }
    return 0;
}

QString TextOf(const QWidget* widget) {
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) return button->text();
    if (const auto* label = qobject_cast<const QLabel*>(widget)) return label->text();
    if (const auto* group = qobject_cast<const QGroupBox*>(widget)) return group->title();
    return {};
}

// Runs `check` on every dialog of a new set of windows, once per kind.
void ForEveryDialogOfEveryKind(const std::function<void(QDialog&)>& check) {
    const std::vector<std::vector<std::string>> kinds = {{"-L"}, {"-L", "-u"}, {"-T"}, {"-P"}};
    for (const auto& arguments : kinds) {
        SCOPED_TRACE(arguments.back());
        Settings = rxProgram();
        CreateWindows(arguments);
        const auto dialogs = MainForm->findChildren<QDialog*>();
        EXPECT_GE(dialogs.size(), 15);
        for (QDialog* dialog : dialogs) {
            SCOPED_TRACE(dialog->metaObject()->className());
            check(*dialog);
        }
        DestroyWindows();
    }
}

QPushButton* CancelButtonOf(const QDialog& dialog) {
    for (QPushButton* button : dialog.findChildren<QPushButton*>())
        if (button->text() == "&Cancel" || button->text() == "Cancel") return button;
    return nullptr;
}

QPushButton* DefaultButtonOf(const QDialog& dialog) {
    for (QPushButton* button : dialog.findChildren<QPushButton*>())
        if (button->isDefault()) return button;
    return nullptr;
}

// Shows the dialog as the program shows it, with `action` once it is the
// active window.
void ShowActive(QDialog& dialog, const std::function<void()>& action) {
    // The player box is made ready for each use before it is shown.
    if (auto* players = qobject_cast<TAUPlayerBox*>(&dialog)) players->PrepareAdd();
    const ModalResponder previous = SetModalResponder([&](QDialog& shown) {
        shown.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&shown));
        action();
    });
    ShowModal(dialog);
    SetModalResponder(previous);
}

} // namespace

TEST(Mnemonics, NoAltLetterIsUsedTwiceInADialog) {
    ForEveryDialogOfEveryKind([](QDialog& dialog) {
        std::map<char, QString> seen;
        for (const QWidget* widget : dialog.findChildren<QWidget*>()) {
            const QString text = TextOf(widget);
            const char letter = MnemonicOf(text);
            if (letter == 0) continue;
            const auto [at, first] = seen.emplace(letter, text);
            EXPECT_TRUE(first) << dialog.windowTitle().toStdString() << ": Alt+" << letter
                               << " in \"" << at->second.toStdString() << "\" and \""
                               << text.toStdString() << "\"";
        }
    });
}

// A button that had the focus was the default only while it had it. Cancel
// pressed with Space, or another button left with Escape, ends one showing;
// at the next, Enter in the field the dialog starts in presses the default
// of the first showing (OK, or Add in the player box), never that button.
TEST(DefaultButton, EnterPressesOkAtTheNextShowingAfterAnotherButtonHadTheFocus) {
    TempFolder registry;
    ScopedEnv registryFolder("ROSTRIX_REGISTRY", registry.Path());
    // What OK checks and starts is not what is looked at here.
    const MessageBoxResponder boxes =
        SetMessageBoxResponder([](const MessageBoxCall&) { return IDCANCEL; });
    int dialogs = 0;
    ForEveryDialogOfEveryKind([&dialogs](QDialog& dialog) {
        QPushButton* cancel = CancelButtonOf(dialog);
        if (cancel == nullptr) return;
        ++dialogs;
        QPushButton* pressed = nullptr;
        for (QPushButton* button : dialog.findChildren<QPushButton*>())
            QObject::connect(button, &QPushButton::pressed, &dialog,
                             [&pressed, button] { pressed = button; });
        QPushButton* first = nullptr;
        ShowActive(dialog, [&] { first = DefaultButtonOf(dialog); });
        ASSERT_NE(first, nullptr);
        EXPECT_EQ(first->text(), qobject_cast<TAUPlayerBox*>(&dialog) ? "&Add" : "&OK");

        for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
            if (button == first) continue;
            SCOPED_TRACE(button->text().toStdString());
            ShowActive(dialog, [&] {
                if (!button->isVisible()) return;
                button->setFocus(Qt::TabFocusReason);
                QTest::keyClick(button, button == cancel ? Qt::Key_Space : Qt::Key_Escape);
                EXPECT_FALSE(dialog.isVisible());
            });
            pressed = nullptr;
            ShowActive(dialog, [&] {
                QWidget* field = QApplication::focusWidget();
                ASSERT_NE(field, nullptr);
                EXPECT_EQ(qobject_cast<QPushButton*>(field), nullptr)
                    << "the showing starts on " << field->metaObject()->className();
                // Dialogs that OK opens are cancelled.
                const ModalResponder outer = SetModalResponder([](QDialog&) {});
                QTest::keyClick(field, Qt::Key_Return);
                SetModalResponder(outer);
            });
            EXPECT_EQ(pressed, first)
                << dialog.windowTitle().toStdString() << ": Enter pressed "
                << (pressed == nullptr ? "nothing" : pressed->text().toStdString());
        }
    });
    EXPECT_GE(dialogs, 4 * 25);
    SetMessageBoxResponder(boxes);
}
