#pragma once
// Ladder dialog tests: the program's windows on a ladder of players
// "P1, F1" ... "Pn, Fn", the dialogs opened through the main window's menu
// commands and answered through the responders.

#include "platform/widgets/Grid.h"
#include "tests/ladder/LadderPlayers.h"
#include "tests/support/Responders.h"
#include "unified/Program.h"
#include "unified/core/rxProgram.h"
#include "unified/window/MainForm.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>

constexpr unsigned kErrorBox = MB_OK | MB_ICONEXCLAMATION;

class LadderWindow : public testing::Test {
protected:
    void SetUp() override { Settings = rxProgram(); }
    void TearDown() override { DestroyWindows(); }

    void Start(int players, const std::vector<std::string>& arguments = {"-L"}) {
        CreateWindows(arguments);
        Fill(*CurrentLadder, players);
        MainForm->RefreshViews();
    }

    // Runs a menu command whose dialog gets the action; the dialog's result.
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

// A refused entry: the dialog stays, the focus on the field.
inline void ExpectFocusOn(const QWidget& dialog, QWidget* field) {
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.focusWidget(), field);
    if (auto* edit = qobject_cast<QLineEdit*>(field)) {
        EXPECT_EQ(edit->selectedText(), edit->text()) << "the text is selected";
    }
}

inline std::vector<std::string> PaneLines() {
    std::vector<std::string> lines;
    for (const QString& line : MainForm->ResultsPane->toPlainText().split('\n'))
        lines.push_back(line.toStdString());
    return lines;
}
