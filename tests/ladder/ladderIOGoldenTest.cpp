// Ladder files byte for byte. Each folder under files/ is one case:
//   input.lad     the file loaded: a tree, or one of the older line forms
//   code          optional: the code the load gives (0 when absent)
//   expected.lad  the tree saved after the load; absent when that is
//                 input.lad itself, byte for byte
//   form.txt      optional: the ladder in the online service's percent form
//   export.txt    optional: the contact export
// The saved tree loads again and saves the same bytes, and so does the
// ladder sent through the online text form and read back from it.
// ROSTRIX_UPDATE_GOLDEN=1 rewrites the expected files.

#include "tests/ladder/OnlineForm.h"
#include "tests/support/Golden.h"
#include "tests/support/Scratch.h"
#include "unified/ladder/Ladder.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

const std::string kCases = std::string(LADDER_TEST_DIR) + "/files";

class LadderFiles : public testing::TestWithParam<std::string> {
protected:
    std::string In(const std::string& name) const { return kCases + "/" + GetParam() + "/" + name; }
    bool Has(const std::string& name) const { return std::filesystem::exists(In(name)); }
    TempFolder scratch;
};

TEST_P(LadderFiles, LoadThenSaveGivesTheExpectedTree) {
    const short code =
        Has("code") ? static_cast<short>(std::atoi(ReadFile(In("code")).c_str())) : 0;
    Ladder ladder;
    EXPECT_EQ(ladder.Load(In("input.lad")), code);
    ErrorLocation.clear();
    ASSERT_TRUE(ladder.Save(scratch.File("saved.lad")));
    const std::string saved = ReadFile(scratch.File("saved.lad"));
    if (Has("expected.lad"))
        CompareGolden(In("expected.lad"), saved);
    else
        EXPECT_EQ(saved, ReadFile(In("input.lad")));
    if (Has("export.txt")) {
        ASSERT_TRUE(ladder.ExportPlayersVer1(scratch.File("export.txt")));
        CompareGolden(In("export.txt"), ReadFile(scratch.File("export.txt")));
    }

    Ladder again;
    ASSERT_EQ(again.Load(scratch.File("saved.lad")), rcOk);
    EXPECT_EQ(again.State(), StateSaved);
    ASSERT_TRUE(again.Save(scratch.File("again.lad")));
    EXPECT_EQ(ReadFile(scratch.File("again.lad")), saved);

    std::string form;
    again.SaveToText(form);
    EXPECT_EQ(again.State(), StateSaved);
    if (Has("form.txt")) CompareGolden(In("form.txt"), form);
    Ladder online;
    ASSERT_EQ(online.LoadFromText(Downloaded(form)), rcOk);
    EXPECT_EQ(online.State(), StateSaved);
    ASSERT_TRUE(online.Save(scratch.File("online.lad")));
    EXPECT_EQ(ReadFile(scratch.File("online.lad")), saved);
}

INSTANTIATE_TEST_SUITE_P(Cases, LadderFiles, testing::ValuesIn(GoldenCases(kCases)),
                         GoldenCaseName);

} // namespace
