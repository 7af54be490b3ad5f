#include "platform/OutputFile.h"
#include "tests/support/Scratch.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

int FilesIn(const std::string& folder) {
    return static_cast<int>(std::distance(std::filesystem::directory_iterator(folder),
                                          std::filesystem::directory_iterator()));
}

} // namespace

TEST(OutputFile, ReplacesTheTargetOnlyWhenCommitted) {
    TempFolder scratch;
    const std::string path = scratch.File("report.txt");
    WriteFile(path, "old");
    {
        OutputFile file;
        ASSERT_TRUE(file.Open(path));
        file.Write("abandoned");
    } // never committed
    EXPECT_EQ(ReadFile(path), "old");
    EXPECT_EQ(FilesIn(scratch.Path()), 1);

    OutputFile file;
    ASSERT_TRUE(file.Open(path));
    file.Write("new ");
    file.Write("text");
    EXPECT_EQ(ReadFile(path), "old");
    EXPECT_TRUE(file.Commit());
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(ReadFile(path), "new text");
    EXPECT_EQ(FilesIn(scratch.Path()), 1);
    EXPECT_FALSE(file.Commit()); // once
}

TEST(OutputFile, AMissingFolderCannotBeOpened) {
    TempFolder scratch;
    OutputFile file;
    EXPECT_FALSE(file.Open(scratch.File("no/such/folder.txt")));
    EXPECT_FALSE(file.IsOpen());
    file.Write("ignored");
    EXPECT_FALSE(file.Commit());
}

TEST(OutputFile, ANewFileIsReadableByOthersAsTheUmaskAllows) {
    TempFolder scratch;
    const mode_t old = umask(022);
    OutputFile file;
    ASSERT_TRUE(file.Open(scratch.File("page.html")));
    ASSERT_TRUE(file.Commit());
    umask(old);
    struct stat info {};
    ASSERT_EQ(stat(scratch.File("page.html").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0644u); // a published page, not a private file
}
