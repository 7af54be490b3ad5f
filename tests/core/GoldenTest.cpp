// The file formats byte for byte. Each folder under golden/ is one case:
//   input.txt   what is read: a tree file, or a player list to import
//   options     optional words: "doubles", "no-gender" (a tournament), "code=N"
//               (the code the import returns; 0 when not given)
//   tree.txt    the tree file written after reading the input
//   form.txt    optional: the same tree in percent form
//   export.txt  optional: the player list exported after reading the input
// The folder's name says what reads the input: "tree-" the tree alone,
// "event-" an event's shared nodes, "import-" the player list import.
// Reading tree.txt and writing it again gives the same bytes.
// ROSTRIX_UPDATE_GOLDEN=1 rewrites the expected files from what is written.

#include "tests/core/FileEvent.h"
#include "tests/support/Scratch.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>

namespace fs = std::filesystem;

namespace {

struct Options {
    bool doubles = false;
    bool genders = true;
    short code = 0;
};

Options ReadOptions(const fs::path& folder) {
    Options options;
    std::istringstream words(ReadFile((folder / "options").string()));
    std::string word;
    while (words >> word) {
        if (word == "doubles") options.doubles = true;
        if (word == "no-gender") options.genders = false;
        if (word.rfind("code=", 0) == 0)
            options.code = static_cast<short>(std::stoi(word.substr(5)));
    }
    return options;
}

class GoldenFiles : public testing::TestWithParam<std::string> {
protected:
    // Compares what was written with the expected file of the case.
    void Check(const std::string& expectedName, const std::string& written) {
        const fs::path expected = Folder() / expectedName;
        if (std::getenv("ROSTRIX_UPDATE_GOLDEN") != nullptr) WriteFile(expected.string(), written);
        ASSERT_TRUE(fs::exists(expected)) << expected;
        EXPECT_EQ(written, ReadFile(expected.string())) << expected;
    }
    fs::path Folder() const { return fs::path(ROSTRIX_GOLDEN_DIR) / GetParam(); }
    std::string Input() const { return (Folder() / "input.txt").string(); }
    TempFolder scratch;
};

std::vector<std::string> Cases() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(ROSTRIX_GOLDEN_DIR))
        if (entry.is_directory()) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

TEST_P(GoldenFiles, WrittenAsExpected) {
    const Options options = ReadOptions(Folder());
    const std::string out = scratch.File("out.txt");
    const std::string again = scratch.File("again.txt");
    const std::string kind = GetParam().substr(0, GetParam().find('-'));

    if (kind == "tree") {
        Tree root;
        root.LoadFromFile(Input());
        ASSERT_FALSE(root.HasError());
        ASSERT_TRUE(root.SaveToFile(out));
        Check("tree.txt", ReadFile(out));
        if (fs::exists(Folder() / "form.txt")) {
            std::string form;
            root.SaveToFormText(form);
            Check("form.txt", form);
        }
        Tree back;
        back.LoadFromFile(out);
        ASSERT_TRUE(back.SaveToFile(again));
        EXPECT_EQ(ReadFile(again), ReadFile(out));
        return;
    }

    FileEvent event(options.doubles, options.genders);
    if (kind == "event") {
        ASSERT_EQ(event.Load(Input()), 0);
    } else {
        ASSERT_EQ(kind, "import");
        EXPECT_EQ(event.ImportPlayers(Input()), options.code);
    }
    ASSERT_TRUE(event.Save(out));
    Check("tree.txt", ReadFile(out));
    if (fs::exists(Folder() / "form.txt")) {
        Tree root("Event");
        event.BuildTree(root);
        std::string form;
        root.SaveToFormText(form);
        Check("form.txt", form);
    }
    if (fs::exists(Folder() / "export.txt")) {
        ASSERT_TRUE(event.ExportPlayers(scratch.File("list.txt")));
        Check("export.txt", ReadFile(scratch.File("list.txt")));
    }
    FileEvent back(options.doubles, options.genders);
    ASSERT_EQ(back.Load(out), 0);
    ASSERT_TRUE(back.Save(again));
    EXPECT_EQ(ReadFile(again), ReadFile(out));
}

INSTANTIATE_TEST_SUITE_P(Cases, GoldenFiles, testing::ValuesIn(Cases()), [](const auto& info) {
    std::string name = info.param;
    std::replace(name.begin(), name.end(), '-', '_');
    return name;
});
