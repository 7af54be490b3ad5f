// Runs with a registry that names an installation folder (see
// tests/core/CMakeLists.txt): the settings object, built before main,
// must have read it.

#include "unified/core/rxProgram.h"

#include <gtest/gtest.h>

TEST(StartUp, TheSettingsReadTheInstallationFolderBeforeMain) {
    EXPECT_EQ(Settings.InstallDirectory(), "/opt/rostrix-test");
}
