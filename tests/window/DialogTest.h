#pragma once
// Dialog tests: the program's windows made anew for each test, and a modal
// dialog run through the responder as the active window, so that where the
// focus goes can be seen.

#include "tests/support/Responders.h"
#include "unified/Program.h"
#include "unified/core/RXEvent.h"
#include "unified/core/rxProgram.h"

#include <QApplication>
#include <gtest/gtest.h>

class DialogTest : public testing::Test {
protected:
    void SetUp() override { Settings = rxProgram(); }
    void TearDown() override { DestroyWindows(); }

    template <typename Box> static int Run(Box* box, std::function<void(Box&)> action) {
        DialogScript dialogs;
        dialogs.Expect<Box>([&action](Box& d) {
            QApplication::setActiveWindow(&d);
            action(d);
        });
        return ShowModal(*box);
    }
};

constexpr unsigned kExclamation = MB_OK | MB_ICONEXCLAMATION;
