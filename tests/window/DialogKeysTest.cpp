// The keys that reach a dialog's controls, checked over every dialog the
// program makes, whatever the kind: Alt and a letter reach one control.
#include "tests/support/Scratch.h"
#include "unified/Program.h"
#include "unified/core/rxProgram.h"
#include "unified/window/MainForm.h"

#include <QAbstractButton>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
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
