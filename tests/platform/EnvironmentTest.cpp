#include "platform/Environment.h"
#include "platform/Clock.h"
#include "platform/Random.h"
#include "platform/ShellOpen.h"
#include "tests/support/Scratch.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <vector>

TEST(Environment, CurrentFolderAndVariables) {
    TempFolder folder;
    {
        ScopedCurrentDir in(folder.Path());
        EXPECT_EQ(GetCurrentDir(), std::filesystem::canonical(folder.Path()).string());
    }
    ScopedEnv set("ROSTRIX_TEST_VAR", std::string("value"));
    EXPECT_EQ(GetEnvironmentVariable("ROSTRIX_TEST_VAR"), "value");
    ScopedEnv unset("ROSTRIX_TEST_VAR", std::nullopt);
    EXPECT_FALSE(GetEnvironmentVariable("ROSTRIX_TEST_VAR").has_value());
}

TEST(Environment, FolderAndFileTests) {
    TempFolder folder;
    WriteFile(folder.File("a.txt"), "x");
    EXPECT_TRUE(DirectoryExists(folder.Path()));
    EXPECT_FALSE(DirectoryExists(folder.File("a.txt")));
    EXPECT_FALSE(DirectoryExists(""));
    EXPECT_TRUE(FileExists(folder.File("a.txt")));
    EXPECT_FALSE(FileExists(folder.Path()));
}

TEST(Environment, DocumentsFolderFollowsTheUserDirsFile) {
    TempFolder home;
    ScopedEnv h("HOME", home.Path());
    ScopedEnv c("XDG_CONFIG_HOME", std::nullopt);
    EXPECT_EQ(DocumentsFolder(), home.Path() + "/Documents");
    std::filesystem::create_directories(home.File(".config"));
    WriteFile(home.File(".config/user-dirs.dirs"),
              "# written by xdg-user-dirs-update\nXDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n");
    EXPECT_EQ(DocumentsFolder(), home.Path() + "/Dokumente");
    ScopedEnv noHome("HOME", std::nullopt);
    EXPECT_EQ(DocumentsFolder(), "");
}

TEST(Environment, FindsInstalledFilesWhateverTheCase) {
    TempFolder folder;
    std::filesystem::create_directories(folder.File("Doc"));
    WriteFile(folder.File("Doc/Index.HTML"), "x");
    WriteFile(folder.File("Challad.ico"), "x");
    EXPECT_EQ(FindFileAnyCase(folder.File("challad.ico")), folder.File("Challad.ico"));
    EXPECT_EQ(FindFileAnyCase(folder.File("doc/index.html")), folder.File("Doc/Index.HTML"));
    EXPECT_EQ(FindFileAnyCase(folder.File("missing.ico")), folder.File("missing.ico"));
    EXPECT_EQ(FileNameOnly("/a/b/sample.lad"), "sample.lad");
    EXPECT_EQ(FileNameOnly("sample.lad"), "sample.lad");
}

TEST(Clock, AFixedClockMakesTheRandomSequenceRepeatable) {
    SetFixedClock(1'000'000'000);
    EXPECT_EQ(ClockNow(), 1'000'000'000);
    RandSeed(static_cast<unsigned>(ClockNow()));
    const int a = Rand(), b = Rand();
    RandSeed(static_cast<unsigned>(ClockNow()));
    EXPECT_EQ(Rand(), a);
    EXPECT_EQ(Rand(), b);
    for (int i = 0; i < 1000; ++i) {
        const int r = Rand();
        ASSERT_GE(r, 0);
        ASSERT_LE(r, RandMax);
    }
    ClearFixedClock();
    EXPECT_GT(ClockNow(), 1'600'000'000);
}

TEST(ShellOpenWindow, AMissingFileFailsWithTheFileNotFoundCode) {
    TempFolder folder;
    const ShellOpenResponder saved = SetShellOpenResponder({});
    EXPECT_EQ(ShellOpen("doc/index.html", folder.Path()), SE_ERR_FNF);
    EXPECT_EQ(ShellOpen(folder.File("nothing.html"), ""), SE_ERR_FNF);
    SetShellOpenResponder(saved);
}

TEST(ShellOpenResponder, RecordsWhatWouldBeOpened) {
    std::vector<ShellOpenCall> calls;
    const ShellOpenResponder saved = SetShellOpenResponder([&](const ShellOpenCall& call) {
        calls.push_back(call);
        return 33;
    });
    EXPECT_EQ(ShellOpen("doc/index.html", "/opt/rostrix"), 33);
    SetShellOpenResponder(saved);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].target, "doc/index.html");
    EXPECT_EQ(calls[0].directory, "/opt/rostrix");
}
