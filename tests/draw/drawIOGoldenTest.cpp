// Tournament files byte for byte. Each folder under files/ is one case:
//   input.trn     the file loaded: a tree, or the older line form
//   expected.trn  the tree saved after the load; absent when that is
//                 input.trn itself, byte for byte
//   export.txt    optional: the contact export
// The saved tree loads again and saves the same bytes.
// ROSTRIX_UPDATE_GOLDEN=1 rewrites the expected files.
#include "tests/support/Golden.h"
#include "tests/support/Scratch.h"
#include "unified/draw/Draw.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {

const std::string kCases = std::string(DRAW_TEST_DIR) + "/files";

class DrawFiles : public testing::TestWithParam<std::string> {
protected:
    std::string In(const std::string& name) const { return kCases + "/" + GetParam() + "/" + name; }
    bool Has(const std::string& name) const { return std::filesystem::exists(In(name)); }
    TempFolder scratch;
};

TEST_P(DrawFiles, LoadThenSaveGivesTheExpectedTree) {
    Draw draw;
    ASSERT_EQ(draw.Load(In("input.trn")), rcOk);
    EXPECT_EQ(draw.State(), StateSaved);
    ASSERT_TRUE(draw.Save(scratch.File("saved.trn")));
    const std::string saved = ReadFile(scratch.File("saved.trn"));
    if (Has("expected.trn"))
        CompareGolden(In("expected.trn"), saved);
    else
        EXPECT_EQ(saved, ReadFile(In("input.trn")));
    if (Has("export.txt")) {
        ASSERT_TRUE(draw.ExportPlayersVer1(scratch.File("export.txt")));
        CompareGolden(In("export.txt"), ReadFile(scratch.File("export.txt")));
    }

    Draw again;
    ASSERT_EQ(again.Load(scratch.File("saved.trn")), rcOk);
    ASSERT_TRUE(again.Save(scratch.File("again.trn")));
    EXPECT_EQ(ReadFile(scratch.File("again.trn")), saved);
}

INSTANTIATE_TEST_SUITE_P(Cases, DrawFiles, testing::ValuesIn(GoldenCases(kCases)), GoldenCaseName);

} // namespace
