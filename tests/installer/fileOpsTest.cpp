#include "installer/fileOps.h"
#include "platform/Environment.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/Scratch.h"

#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;

class CopyFileIntoTest : public testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(source());
        fs::create_directories(target());
    }
    std::string source() const { return scratch.File("cd"); }
    std::string target() const { return scratch.File("install"); }
    TempFolder scratch;
};

TEST_F(CopyFileIntoTest, FailuresRaiseAndKeepTheOldTarget) {
    WriteFile(source() + "/index.html", "page");
    WriteFile(target() + "/index.html", "installed");
    fs::create_directory_symlink(source(), scratch.File("link"));
    const struct {
        std::string name, from, to;
    } cases[] = {
        {"missing.html", source(), target()},
        {"index.html", source(), scratch.File("no-such-folder")},
        // The same file reached twice: copying it would empty it.
        {"index.html", source(), source()},
        {"index.html", source(), scratch.File("link")},
        {"index.html", target(), target() + "/."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name + " " + c.from + " -> " + c.to);
        EXPECT_THROW(CopyFileInto(c.name, c.from, c.to), EFileStreamError);
        EXPECT_EQ(ReadFile(source() + "/index.html"), "page");
        EXPECT_EQ(ReadFile(target() + "/index.html"), "installed");
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(target()), fs::directory_iterator()), 1);
}

// A full disk mid-copy: the write fails past the file-size limit.
TEST_F(CopyFileIntoTest, AFailedWriteRaisesRemovesTheTemporaryFileAndKeepsTheOldTarget) {
    WriteFile(source() + "/rostrix", std::string(1 << 20, 'n'));
    WriteFile(target() + "/rostrix", "old program");
    ChildProcess child([this]() -> std::string {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{64 * 1024, 64 * 1024};
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0) return "cannot set the limit";
        try {
            CopyFileInto("rostrix", source(), target());
        } catch (const EFileStreamError&) {
            return std::string();
        }
        return "the copy did not raise";
    });
    EXPECT_EQ(child.Wait(), "");
    EXPECT_EQ(ReadFile(target() + "/rostrix"), "old program");
    EXPECT_EQ(std::distance(fs::directory_iterator(target()), fs::directory_iterator()), 1);
}

TEST(RenameNoReplace, KeepsAnExistingTarget) {
    TempFolder scratch;
    WriteFile(scratch.File("rxInstaller"), "new");
    EXPECT_TRUE(RenameNoReplace(scratch.File("rxInstaller"), scratch.File("setup")));
    WriteFile(scratch.File("rxInstaller"), "newer");
    EXPECT_FALSE(RenameNoReplace(scratch.File("rxInstaller"), scratch.File("setup")));
    EXPECT_EQ(ReadFile(scratch.File("setup")), "new");
    EXPECT_EQ(ReadFile(scratch.File("rxInstaller")), "newer");
}

} // namespace
