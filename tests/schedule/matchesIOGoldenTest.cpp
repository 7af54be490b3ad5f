// Match plan files byte for byte. Each folder under files/ is one case:
//   input.rxd     the file loaded: a tree, or the older line form
//   expected.rxd  the tree saved after the load; absent when that is
//                 input.rxd itself, byte for byte
// The saved tree loads again and saves the same bytes.
// ROSTRIX_UPDATE_GOLDEN=1 rewrites the expected files.
#include "tests/support/Golden.h"
#include "tests/support/Scratch.h"
#include "unified/schedule/Matches.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {

const std::string kCases = std::string(SCHEDULE_TEST_DIR) + "/files";

class PlanFiles : public testing::TestWithParam<std::string> {
protected:
    std::string In(const std::string& name) const { return kCases + "/" + GetParam() + "/" + name; }
    bool Has(const std::string& name) const { return std::filesystem::exists(In(name)); }
    TempFolder scratch;
};

TEST_P(PlanFiles, LoadThenSaveGivesTheExpectedTree) {
    Matches plan;
    ASSERT_EQ(plan.Load(In("input.rxd")), rcOk);
    EXPECT_EQ(plan.State(), StateSaved);
    ASSERT_TRUE(plan.Save(scratch.File("saved.rxd")));
    const std::string saved = ReadFile(scratch.File("saved.rxd"));
    if (Has("expected.rxd"))
        CompareGolden(In("expected.rxd"), saved);
    else
        EXPECT_EQ(saved, ReadFile(In("input.rxd")));

    Matches again;
    ASSERT_EQ(again.Load(scratch.File("saved.rxd")), rcOk);
    ASSERT_TRUE(again.Save(scratch.File("again.rxd")));
    EXPECT_EQ(ReadFile(scratch.File("again.rxd")), saved);
}

INSTANTIATE_TEST_SUITE_P(Cases, PlanFiles, testing::ValuesIn(GoldenCases(kCases)), GoldenCaseName);

} // namespace

// The sample a user opens from Help: a mixer plan the program itself wrote,
// complete, every player in every round, that saves again to the same bytes.
TEST(SamplePlan, IsACompleteMixerPlanTheProgramWrote) {
    const std::string path = std::string(SCHEDULE_TEST_DIR) + "/../../dist/sample/Sample.rxd";
    Matches plan;
    ASSERT_EQ(plan.Load(path), rcOk);
    EXPECT_EQ(plan.ScheduleType(), stMixer);
    EXPECT_EQ(plan.PlayerCount(), 16);
    EXPECT_EQ(plan.CourtCount(), 4);
    EXPECT_TRUE(plan.AllCourtsOfType('D'));
    EXPECT_EQ(plan.RoundCount(), 8);
    EXPECT_EQ(plan.CheckComplete(), rcOk);
    int men = 0, women = 0, others = 0;
    plan.GenderCounts(men, women, others);
    EXPECT_EQ(others, 0);
    EXPECT_GT(men, 0);
    EXPECT_GT(women, 0);
    for (int r = 1; r <= plan.RoundCount(); ++r)
        for (int n = 1; n <= plan.PlayerCount(); ++n)
            EXPECT_NE(plan.CourtOfPlayer(r, n), 0) << "player " << n << ", round " << r;
    EXPECT_FALSE(plan.RoundName(1).empty());

    TempFolder scratch;
    ASSERT_TRUE(plan.Save(scratch.File("again.rxd")));
    EXPECT_EQ(ReadFile(scratch.File("again.rxd")), ReadFile(path));
}
