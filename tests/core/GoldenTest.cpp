// The file formats byte for byte. Each folder under golden/ is one case:
//   input.txt   what is read: a tree file, or a player list to import
//   options     optional words: "doubles", "no-gender" (a tournament)
//   tree.txt    the tree file written after reading the input
//   form.txt    optional: the same tree in percent form
//   export.txt  optional: the player list exported after reading the input
// The folder's name says what reads the input: "tree-" the tree alone,
// "event-" an event's shared nodes, "import-" the player list import.
// Reading tree.txt and writing it again gives the same bytes. Where a case
// holds spreadsheet.fods, input.txt was saved from it as tab-delimited text.

#include "tests/core/FileEvent.h"
#include "tests/support/Scratch.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

const fs::path kCases = ROSTRIX_TEST_DATA "/golden";

class GoldenFiles : public testing::TestWithParam<std::string> {
protected:
    void Check(const std::string& expectedName, const std::string& written) {
        const fs::path expected = kCases / GetParam() / expectedName;
        ASSERT_TRUE(fs::exists(expected)) << expected;
        EXPECT_EQ(written, ReadFile(expected.string())) << expected;
    }
    bool Has(const std::string& name) const { return fs::exists(kCases / GetParam() / name); }
    TempFolder scratch;
};

std::vector<std::string> Cases() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(kCases))
        if (entry.is_directory()) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

TEST_P(GoldenFiles, WrittenAsExpected) {
    const std::string input = (kCases / GetParam() / "input.txt").string();
    const std::string options =
        Has("options") ? ReadFile((kCases / GetParam() / "options").string()) : "";
    const std::string kind = GetParam().substr(0, GetParam().find('-'));
    const std::string out = scratch.File("out.txt");
    const std::string again = scratch.File("again.txt");
    std::string form;

    if (kind == "tree") {
        Tree root;
        root.LoadFromFile(input);
        ASSERT_FALSE(root.HasError());
        ASSERT_TRUE(root.SaveToFile(out));
        root.SaveToFormText(form);
        Tree back;
        back.LoadFromFile(out);
        ASSERT_TRUE(back.SaveToFile(again));
    } else {
        const bool doubles = options.find("doubles") != std::string::npos;
        const bool genders = options.find("no-gender") == std::string::npos;
        FileEvent event(doubles, genders);
        ASSERT_EQ(kind == "event" ? event.Load(input) : event.ImportPlayers(input), rcOk);
        ASSERT_TRUE(event.Save(out));
        Tree root("Event");
        event.BuildTree(root);
        root.SaveToFormText(form);
        if (Has("export.txt")) {
            ASSERT_TRUE(event.ExportPlayers(scratch.File("list.txt")));
            Check("export.txt", ReadFile(scratch.File("list.txt")));
        }
        FileEvent back(doubles, genders);
        ASSERT_EQ(back.Load(out), rcOk);
        ASSERT_TRUE(back.Save(again));
    }
    Check("tree.txt", ReadFile(out));
    if (Has("form.txt")) Check("form.txt", form);
    EXPECT_EQ(ReadFile(again), ReadFile(out));
}

INSTANTIATE_TEST_SUITE_P(Cases, GoldenFiles, testing::ValuesIn(Cases()), [](const auto& info) {
    std::string name = info.param;
    std::replace(name.begin(), name.end(), '-', '_');
    return name;
});
