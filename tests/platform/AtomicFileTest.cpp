#include "platform/AtomicFile.h"

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

TEST(AtomicFile, ReplacesTheFileOnlyOnCommit) {
    TempFolder folder;
    const std::string path = folder.File("list.txt");
    WriteFile(path, "old");
    {
        AtomicFile file(path);
        std::ofstream out;
        ASSERT_TRUE(file.Open(out));
        out << "half written";
        EXPECT_EQ(ReadFile(path), "old"); // nothing shows before the commit
        EXPECT_EQ(FilesIn(folder.Path()), 2);
    } // abandoned: the temporary file goes
    EXPECT_EQ(ReadFile(path), "old");
    EXPECT_EQ(FilesIn(folder.Path()), 1);

    AtomicFile file(path);
    std::ofstream out;
    ASSERT_TRUE(file.Open(out));
    out << "new";
    EXPECT_TRUE(file.Commit(out));
    EXPECT_EQ(ReadFile(path), "new");
    EXPECT_FALSE(file.Commit(out)); // nothing left to commit
    EXPECT_EQ(FilesIn(folder.Path()), 1);
}

TEST(AtomicFile, NewFileGetsTheUsualPermissions) {
    TempFolder folder;
    const mode_t old = umask(022);
    AtomicFile file(folder.File("new.txt"));
    std::ofstream out;
    ASSERT_TRUE(file.Open(out));
    EXPECT_TRUE(file.Commit(out));
    umask(old);
    struct stat st {};
    ASSERT_EQ(stat(folder.File("new.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u); // not the temporary file's 0600

    AtomicFile nowhere(folder.File("missing/new.txt"));
    EXPECT_FALSE(nowhere.Open(out));
    EXPECT_FALSE(nowhere.Commit(out));
}
