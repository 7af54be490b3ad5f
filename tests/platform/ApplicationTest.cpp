#include "platform/widgets/Application.h"
#include "tests/support/Responders.h"
#include "tests/support/Scratch.h"

#include <QWidget>
#include <gtest/gtest.h>
#include <stdexcept>

TEST(ApplicationExceptions, AnEscapedExceptionIsShownAndTheProgramCarriesOn) {
    SetApplicationTitle("Rostrix");
    QObject target;
    int calls = 0;
    // Queued calls arrive through the event dispatch, as menu commands do.
    auto command = [&] {
        ++calls;
        if (calls == 1) throw std::runtime_error("Socket error: connection refused");
        if (calls == 2) throw std::runtime_error("Ends with a point.");
        if (calls == 3) throw 42;
    };
    BoxScript boxes;
    boxes.Expect("Rostrix", "Socket error: connection refused.", MB_OK | MB_ICONSTOP)
        .Expect("Rostrix", "Ends with a point.", MB_OK | MB_ICONSTOP)
        .Expect("Rostrix", "Unknown exception.", MB_OK | MB_ICONSTOP);
    for (int i = 0; i < 4; ++i)
        QMetaObject::invokeMethod(&target, command, Qt::QueuedConnection);
    QCoreApplication::processEvents();
    EXPECT_EQ(calls, 4); // the dispatch still works after the escapes
}

TEST(ApplicationIcon, LoadsAnExistingIconFileOnly) {
    TempFolder folder;
    SetApplicationIcon(""); // whatever was set before stays
    const std::string before = ApplicationIconPath();
    EXPECT_FALSE(SetApplicationIcon(folder.File("missing.ico")));
    EXPECT_EQ(ApplicationIconPath(), before);
    WriteFile(folder.File("rostrix.ico"), "icon");
    EXPECT_TRUE(SetApplicationIcon(folder.File("rostrix.ico")));
    EXPECT_EQ(ApplicationIconPath(), folder.File("rostrix.ico"));
}

TEST(ApplicationCaption, TheMainWindowCarriesTheCaption) {
    QWidget window;
    SetMainWindow(&window);
    SetMainWindowCaption("Rostrix");
    EXPECT_EQ(window.windowTitle(), "Rostrix");
    SetMainWindow(nullptr);
    SetMainWindowCaption("ignored"); // no main window: nothing happens
    EXPECT_EQ(window.windowTitle(), "Rostrix");
}
