#include "platform/OutputFile.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/Scratch.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <utility>
#include <vector>

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

TEST(OutputFile, ASaveThroughSymbolicLinksReplacesTheFileTheyPointTo) {
    struct Case {
        const char* what;
        std::vector<std::pair<std::string, std::string>> links; // link, what it names
        std::string target;                                     // the file saved into
    };
    const Case cases[] = {
        {"absolute link", {{"event.lad", "@/data/season.lad"}}, "data/season.lad"},
        {"relative link into another folder",
         {{"event.lad", "data/season.lad"}},
         "data/season.lad"},
        {"chain of two links",
         {{"event.lad", "middle.lad"}, {"middle.lad", "data/season.lad"}},
         "data/season.lad"},
        {"link to a file not yet made", {{"event.lad", "data/new.lad"}}, "data/new.lad"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder scratch;
        std::filesystem::create_directory(scratch.File("data"));
        WriteFile(scratch.File("data/season.lad"), "old");
        for (const auto& [link, names] : c.links) {
            const std::string to = names[0] == '@' ? scratch.Path() + names.substr(1) : names;
            std::filesystem::create_symlink(to, scratch.File(link));
        }
        OutputFile file;
        ASSERT_TRUE(file.Open(scratch.File("event.lad")));
        file.Write("new");
        ASSERT_TRUE(file.Commit());
        for (const auto& [link, names] : c.links)
            EXPECT_TRUE(std::filesystem::is_symlink(scratch.File(link))) << link;
        EXPECT_EQ(ReadFile(scratch.File(c.target)), "new");
        EXPECT_EQ(FilesIn(scratch.File("data")), c.target == "data/new.lad" ? 2 : 1);
    }

    // Links that name each other lead to no file: refused, as a direct
    // write is, and both stay links.
    TempFolder scratch;
    std::filesystem::create_symlink("b.lad", scratch.File("a.lad"));
    std::filesystem::create_symlink("a.lad", scratch.File("b.lad"));
    OutputFile file;
    EXPECT_FALSE(file.Open(scratch.File("a.lad")));
    EXPECT_TRUE(std::filesystem::is_symlink(scratch.File("a.lad")));
    EXPECT_EQ(FilesIn(scratch.Path()), 2);
}

TEST(OutputFile, AFileTheUserMayNotWriteIsRefusedInAWritableFolder) {
    TempFolder scratch;
    std::filesystem::permissions(scratch.Path(), std::filesystem::perms::all);
    const std::string path = scratch.File("locked.lad");
    WriteFile(path, "kept");
    chmod(path.c_str(), 0444);
    ChildProcess child(
        [&] {
            OutputFile file;
            return file.Open(path) ? "opened" : "";
        },
        true);
    EXPECT_EQ(child.Wait(), "");
    EXPECT_EQ(ReadFile(path), "kept");
    EXPECT_EQ(FilesIn(scratch.Path()), 1);
}

TEST(OutputFile, AWritePastTheFileSizeLimitFailsInsteadOfEndingTheProgram) {
    TempFolder scratch;
    const std::string path = scratch.File("big.lad");
    WriteFile(path, "old");
    ChildProcess child([&]() -> std::string {
        IgnoreFileSizeLimitSignal();
        const rlimit limit{4096, 4096};
        setrlimit(RLIMIT_FSIZE, &limit);
        OutputFile file;
        if (!file.Open(path)) return "cannot open";
        file.Write(std::string(65536, 'x'));
        return file.Commit() ? "reported success" : "";
    });
    EXPECT_EQ(child.Wait(), "");
    EXPECT_EQ(ReadFile(path), "old");
    EXPECT_EQ(FilesIn(scratch.Path()), 1);
}
