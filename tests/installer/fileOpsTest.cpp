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

TEST(ForceDirectories, MakesMissingParentsAndFailsWhereItCannot) {
    TempFolder scratch;
    WriteFile(scratch.File("file"), "x");
    ScopedCurrentDir here(scratch.Path());
    const struct {
        std::string path;
        bool made;
    } cases[] = {
        {scratch.Path(), true},        {scratch.File("a/b/c"), true},
        {"rel/one/two", true},         {scratch.File("file/below"), false},
        {scratch.File("x/y/"), false}, // a trailing "/" makes no parents
        {scratch.File("a/b/"), true},  {"", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ForceDirectories(c.path), c.made) << c.path;
        if (c.made) {
            EXPECT_TRUE(DirectoryExists(c.path)) << c.path;
        }
    }
}

TEST(IsAcceptableFolder, RefusesControlCharactersDotPartsAndTheWrongKind) {
    using K = FolderKind;
    const struct {
        std::string text;
        K kind;
        bool accepted;
    } cases[] = {
        {"/home/club/Rostrix", K::Absolute, true},
        {"/home/a \"b\" \\c `d` $e %u 'f'", K::Absolute, true},
        {"/home/club/", K::Absolute, true},
        {"/", K::Absolute, false},
        {"///", K::Absolute, false},
        {"", K::Absolute, false},
        {"home/club", K::Absolute, false},
        {"/home/./club", K::Absolute, false},
        {"/home/..", K::Absolute, false},
        {"/home/...", K::Absolute, true},
        {"/home/club\n", K::Absolute, false},
        {"/home/\x7f", K::Absolute, false},
        {"Rostrix", K::Relative, true},
        {"Club/Rostrix", K::Relative, true},
        {"../../.config/autostart", K::Relative, false},
        {"Club/..", K::Relative, false},
        {".", K::Relative, false},
        {"/Rostrix", K::Relative, false},
        {"", K::Relative, false},
        {"Ros\ttrix", K::Relative, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsAcceptableFolder(c.text, c.kind), c.accepted) << c.text;
}

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

TEST_F(CopyFileIntoTest, CopiesTheBytesAndTheProgramBitOverAnOldFile) {
    std::string bytes(200000, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 7);
    WriteFile(source() + "/rostrix", bytes);
    chmod((source() + "/rostrix").c_str(), 0555);
    WriteFile(target() + "/rostrix", "old");
    CopyFileInto("rostrix", source(), target());
    EXPECT_EQ(ReadFile(target() + "/rostrix"), bytes);
    struct stat st {};
    ASSERT_EQ(stat((target() + "/rostrix").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0755u);
    EXPECT_EQ(fs::directory_iterator(target())->path().filename(), "rostrix");
}

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
