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

// The sample a user opens from Help: a draw the program itself wrote, half
// played, that saves again to the same bytes.
TEST(SampleDraw, IsAHalfPlayedDrawTheProgramWrote) {
    const std::string path = std::string(DRAW_TEST_DIR) + "/../../dist/sample/Sample.trn";
    Draw draw;
    ASSERT_EQ(draw.Load(path), rcOk);
    EXPECT_EQ(draw.PlayerCount(), 16);
    EXPECT_EQ(draw.SeedCount(), 4);
    int decided = 0;
    for (int r = 1; r <= draw.RoundCount(); ++r)
        for (int m = 1; m <= draw.MatchesInRound(r); ++m) {
            const TResult match = draw.GetMatch(r, m);
            if (r == 1) {
                EXPECT_NE(match.winner, 0) << m; // the first round is played
            }
            if (match.winner != 0) {
                ++decided;
                EXPECT_FALSE(match.score.empty()) << r << "/" << m;
            }
        }
    EXPECT_GT(decided, draw.MatchesInRound(1));
    EXPECT_EQ(draw.GetMatch(draw.RoundCount(), 1).winner, 0);

    TempFolder scratch;
    ASSERT_TRUE(draw.Save(scratch.File("again.trn")));
    EXPECT_EQ(ReadFile(scratch.File("again.trn")), ReadFile(path));
}
