#include "unified/ladder/Ladder.h"

#include "tests/support/Scratch.h"
#include "unified/core/rxerrors.h"
#include "unified/core/rxreport.h"

#include <climits>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// A ladder of players named "A", "B", ... (last names; first name "x").
class Posting : public testing::Test {
protected:
    void Make(int n, bool points = false) {
        if (points) ladder.SetLadderSystem(1);
        for (int i = 0; i < n; ++i)
            ASSERT_EQ(ladder.AddPlayer(Person(i), nullptr), rcOk);
    }
    static ::Player Person(int i) {
        ::Player p;
        p.firstName = "x";
        p.lastName = std::string(1, static_cast<char>('A' + i));
        return p;
    }
    static std::string Name(char c) { return std::string(1, c) + ", x"; }
    void Beat(char winner, char loser, const std::string& date = "1/1/09",
              const std::string& score = "6-0", bool tie = false) {
        ASSERT_EQ(ladder.EnterResult(date, Name(winner), Name(loser), score, tie), rcOk);
    }
    std::string Order() const {
        std::string order;
        for (int p = 1; p <= ladder.PlayerCount(); ++p)
            order += ladder.Player(p)->lastName;
        return order;
    }
    const ::Player& Of(char c) const {
        return *ladder.Player(ladder.PositionOfId(ladder.PlayerIdByName(Name(c))));
    }
    Ladder ladder;
};

} // namespace

TEST_F(Posting, WinnersTakeTheLosersPlaceInDateOrder) {
    Make(5);
    Beat('B', 'E', "2/2/09"); // later, so applied second
    Beat('E', 'B', "2/1/09");
    Beat('C', 'A', "2/1/09", "4-4", true); // a tie moves no one
    ASSERT_EQ(ladder.PostResults(false), rcOk);
    EXPECT_EQ(Order(), "ABECD");
    // The list is left in date order, equal dates in entry order.
    EXPECT_EQ(ladder.Result(1)->winner, ladder.PlayerIdByName(Name('E')));
    EXPECT_EQ(ladder.Result(2)->tie, 1);
    EXPECT_EQ(ladder.Result(3)->date, "20090202");
    EXPECT_EQ(ladder.CountResultsOfIssue(1), 3);
    EXPECT_EQ(Of('E').wins * 10 + Of('E').losses, 11);
    EXPECT_EQ(Of('A').ties + Of('C').ties, 2);
    EXPECT_EQ(Of('E').prevPosition, 5);
    EXPECT_TRUE(ladder.PostedThisIssue());

    // Later postings of the issue keep the previous positions of the first.
    Beat('D', 'C', "2/3/09");
    ladder.PostResults(false);
    EXPECT_EQ(Order(), "ABEDC");
    EXPECT_EQ(Of('E').prevPosition, 5);
    EXPECT_EQ(ladder.CountResultsOfIssue(1), 4);
}

TEST_F(Posting, GenerateDropsTheInactiveAndAdvancesTheIssue) {
    Make(10);
    ladder.SetPenaltyStart(4);
    ladder.SetPenaltyCycle(2);
    const int idle[10] = {9, 4, 0, 6, 5, 0, 0, 4, 0, 8};
    for (int p = 1; p <= 10; ++p)
        ladder.Player(p)->inactivity = idle[p - 1];
    // A (9 periods) does not drop: odd; B and D drop one place (10 x 5% is
    // taken as 1); H drops below I; J at the bottom cannot drop.
    Beat('E', 'C', "3/1/09"); // E climbs first and is then active
    ASSERT_EQ(ladder.GenerateIssue(), rcOk);
    EXPECT_EQ(Order(), "AEBCFDGIHJ");
    EXPECT_EQ(ladder.IssueNumber(), 1);
    EXPECT_FALSE(ladder.PostedThisIssue());
    EXPECT_EQ(Of('E').inactivity, 0);
    EXPECT_EQ(Of('J').inactivity, 9);

    ladder.SetTopNoDrop(3);
    ladder.SetPenaltyCycle(1);
    ladder.GenerateIssue(); // B (6 periods) is third now and stays
    EXPECT_EQ(Order().substr(0, 3), "AEB");
}

TEST_F(Posting, PointsSystemScoresAndRanks) {
    Make(11, true);
    ladder.SetPointsOptions(3, 1, 2, 2, 0.5f, 0, 1.0f);
    Beat('H', 'C', "4/1/09", "6-3, 4-6, 7-6(5)"); // games 17-15: margin 2
    Beat('K', 'J', "4/2/09", "6-3,6-x");          // no margin points
    Beat('A', 'B', "4/3/09", "5-5", true);
    ASSERT_EQ(ladder.PostResults(false), rcOk);
    EXPECT_EQ(Of('H').points, 3 + 2 + 3 + 2); // bonus: trunc(0.5 x 5 + 0.5)
    EXPECT_EQ(Of('C').points, 1);
    EXPECT_EQ(Of('K').points, 3 + 2 + 1);
    EXPECT_EQ(Of('A').points, 2);
    // Most points first; equal points keep their order.
    EXPECT_EQ(Order(), "HKABCJDEFGI");
    for (int p = 2; p <= ladder.PlayerCount(); ++p)
        EXPECT_GE(ladder.Player(p - 1)->points, ladder.Player(p)->points);

    // Posting nothing still re-sorts a points ladder.
    ladder.Player(11)->points = 50;
    ladder.PostResults(false);
    EXPECT_EQ(Order().front(), 'I');
}

TEST_F(Posting, BeatingADeletedPlayerIsNoClimb) {
    Make(6, true);
    ladder.SetPointsOptions(3, 1, 0, 5, 1.0f, 1.0f, 0);
    Beat('F', 'A');
    ladder.DeletePlayer(1);
    ASSERT_EQ(ladder.PostResults(false), rcOk);
    EXPECT_EQ(Of('F').points, 3);
    EXPECT_EQ(Of('F').wins, 1);
}

TEST_F(Posting, OutsizedPointsOptionsSaturate) {
    Make(3, true);
    ladder.SetPointsOptions(INT_MAX, INT_MIN, 0, INT_MAX, 1e30f, -1e30f, 1e30f);
    Beat('C', 'A', "1/1/09", "2147483647-0");
    Beat('B', 'A', "1/2/09");
    ASSERT_EQ(ladder.PostResults(false), rcOk);
    EXPECT_EQ(Of('C').points, INT_MAX);
    EXPECT_EQ(Of('A').points, INT_MIN);
}

TEST_F(Posting, AFailedPostingLeavesTheIssueAsItWas) {
    Make(3);
    Beat('C', 'A');
    // Two players with one id, as a damaged file could give: posting would
    // lose one of them, so it refuses, and the issue does not advance.
    ladder.Player(2)->number = ladder.Player(1)->number;
    EXPECT_EQ(ladder.GenerateIssue(), rcInternal);
    ErrorLocation.clear();
    EXPECT_EQ(ladder.IssueNumber(), 0);
    EXPECT_EQ(Order(), "ABC");
    EXPECT_EQ(ladder.PendingResultCount(), 1);
    EXPECT_EQ(ladder.Player(3)->inactivity + ladder.Player(3)->wins, 0);
    EXPECT_FALSE(ladder.PostedThisIssue());
}

// The last issue a file holds is as far as the ladder goes: Generate Issue
// then refuses and changes nothing, while a posting (into the issue after
// it) still saves a file that opens again.
TEST_F(Posting, GenerateIssueStopsAtTheLastIssueAFileHolds) {
    TempFolder scratch;
    WriteFile(scratch.File("in.lad"),
              "Ladder{\r\n v=*2.1\r\n i=" + std::to_string(MaxIssueNumber - 1) +
                  "\r\n P{\r\n  f=x\r\n  l=A\r\n  n=1\r\n }\r\n"
                  " P{\r\n  f=x\r\n  l=B\r\n  n=2\r\n }\r\n}\r\n");
    ASSERT_EQ(ladder.Load(scratch.File("in.lad")), rcOk);
    EXPECT_TRUE(ladder.CanGenerateIssue());
    ASSERT_EQ(ladder.GenerateIssue(), rcOk);
    EXPECT_EQ(ladder.IssueNumber(), MaxIssueNumber);
    EXPECT_FALSE(ladder.CanGenerateIssue());

    Beat('B', 'A');
    ASSERT_EQ(ladder.PostResults(false), rcOk);
    Beat('A', 'B');
    std::string before;
    ladder.SaveToText(before);
    EXPECT_EQ(ladder.GenerateIssue(), rcIssueLimit);
    EXPECT_EQ(ErrorMessageText(rcIssueLimit).find("Unknown"), std::string::npos);
    std::string after;
    ladder.SaveToText(after);
    EXPECT_EQ(after, before);
    EXPECT_EQ(ladder.PendingResultCount(), 1);

    ASSERT_TRUE(ladder.Save(scratch.File("saved.lad")));
    Ladder back;
    ASSERT_EQ(back.Load(scratch.File("saved.lad")), rcOk);
    EXPECT_EQ(back.IssueNumber(), MaxIssueNumber);
    EXPECT_EQ(back.CountResultsOfIssue(MaxIssueNumber + 1), 1);
}

// Every number a file may hold, at either end of its range, leaves room for
// what posting, issuing and the report do with it: counters saturate. (The
// sanitizer build shows that nothing overflows on the way.)
TEST(LadderArithmetic, ValuesAtTheirExtremesLeaveRoomForPostingIssuingAndTheReport) {
    TempFolder scratch;
    for (const long long extreme :
         {static_cast<long long>(INT_MIN), static_cast<long long>(INT_MAX)})
        for (const char* system : {"0", "1"}) {
            SCOPED_TRACE(std::to_string(extreme) + " system " + system);
            const std::string e = std::to_string(extreme);
            const std::string real = extreme < 0 ? "-3.40282346638529e+38" : "3.40282346638529e+38";
            std::string file = "Ladder{\r\n v=*2.1\r\n t=D\r\n";
            for (const char* key : {"o", "r", "s", "p", "y", "z", "d"})
                file += std::string(" ") + key + "=" + e + "\r\n";
            file += " M{\r\n  w=" + e + "\r\n  l=" + e + "\r\n  e=" + e + "\r\n  c=" + e +
                    "\r\n  p=" + real + "\r\n  t=" + real + "\r\n  m=" + real + "\r\n }\r\n";
            file += " i=" + std::to_string(MaxIssueNumber - 1) + "\r\n a=1\r\n";
            file += std::string(" S{\r\n  l=") + system + "\r\n  d=2\r\n  p=" + e + "\r\n }\r\n";
            for (int id = 1; id <= 4; ++id) {
                file += " P{\r\n  f=F\r\n  l=L" + std::to_string(id) +
                        "\r\n  n=" + std::to_string(id) + "\r\n";
                for (const char* key : {"i", "z", "o", "x", "v", "t"})
                    file += std::string("  ") + key + "=" + e + "\r\n";
                file += " }\r\n A{\r\n  l=Mate\r\n }\r\n";
            }
            file += " R{\r\n  s=2147483647-0\r\n  d=20090101\r\n  w=4\r\n  l=1\r\n  i=-1\r\n"
                    "  x=3\r\n  z=2\r\n  m=4\r\n  n=1\r\n  o=3\r\n  p=2\r\n }\r\n";
            file += " R{\r\n  d=20090102\r\n  w=1\r\n  l=4\r\n  i=-1\r\n  t=1\r\n }\r\n}\r\n";
            WriteFile(scratch.File("in.lad"), file);
            Ladder ladder;
            ASSERT_EQ(ladder.Load(scratch.File("in.lad")), rcOk);

            std::vector<std::string> lines;
            const auto report = [&] {
                for (int n = 1; n <= ladder.ResultCount(); ++n)
                    lines.push_back(ladder.ResultText(n));
                rxReport writer(lines);
                ladder.PrintReport(writer);
            };
            ChallengeOutcome outcome;
            ladder.CheckChallenge(ladder.PlayerDisplayName(4), "", ladder.PlayerDisplayName(1), "",
                                  outcome);
            report();
            ASSERT_EQ(ladder.PostResults(false), rcOk);
            ASSERT_EQ(ladder.GenerateIssue(), rcOk);
            ASSERT_EQ(ladder.EnterResult("1/3/09", ladder.PlayerDisplayName(2),
                                         ladder.PlayerDisplayName(3), "6-0", false),
                      rcOk);
            ASSERT_EQ(ladder.PostResults(false), rcOk);
            report();
            EXPECT_EQ(ladder.GenerateIssue(), rcIssueLimit);
            EXPECT_FALSE(lines.empty());

            const int won = ladder.Player(ladder.PositionOfId(4))->wins;
            const int lost = ladder.Player(ladder.PositionOfId(1))->losses;
            const int tied = ladder.Player(ladder.PositionOfId(4))->ties;
            const int idle = ladder.Player(ladder.PositionOfId(2))->inactivity;
            if (extreme > 0) {
                EXPECT_EQ(won, INT_MAX);
                EXPECT_EQ(lost, INT_MAX);
                EXPECT_EQ(tied, INT_MAX);
            } else {
                EXPECT_EQ(won, INT_MIN + 1);
                EXPECT_EQ(lost, INT_MIN + 1);
                EXPECT_EQ(tied, INT_MIN + 1);
            }
            EXPECT_EQ(idle, -1); // played in the last posting
        }
}

// A load that fails leaves no value behind that posting, issuing or the
// report could not take: the issue number is checked as it is read.
TEST(LadderArithmetic, AFailedLoadLeavesNoIssueNumberPastTheLimit) {
    TempFolder scratch;
    const std::string players = " P{\r\n  l=A\r\n  n=1\r\n }\r\n P{\r\n  l=B\r\n  n=2\r\n }\r\n";
    const std::string v2Players =
        "2\r\n/1/x/A////////// 0 0 0 1 0 0\r\n/2/x/B////////// 0 0 0 2 0 0\r\n";
    for (const std::string& file :
         {"Ladder{\r\n v=*2.1\r\n" + players + " i=2147483647\r\n}\r\n",
          "Ladder{\r\n v=*2.1\r\n" + players + " i=1000000\r\n}\r\n",
          "*2.0\r\nS 0 25 5 4\r\n2147483647\r\n\r\n\r\n\r\n\r\n\r\n\r\n" + v2Players}) {
        SCOPED_TRACE(file);
        WriteFile(scratch.File("in.lad"), file);
        Ladder ladder;
        EXPECT_EQ(ladder.Load(scratch.File("in.lad")), rcBadData);
        EXPECT_LE(ladder.IssueNumber(), MaxIssueNumber);
        std::vector<std::string> lines;
        rxReport writer(lines);
        ladder.PrintReport(writer);
        EXPECT_EQ(ladder.PostResults(false), rcOk);
        EXPECT_EQ(ladder.GenerateIssue(), rcOk);
    }
    // And one result whose issue is past any issue is not kept either.
    WriteFile(scratch.File("in.lad"), "Ladder{\r\n v=*2.1\r\n" + players +
                                          " R{\r\n  w=1\r\n  l=2\r\n  i=" +
                                          std::to_string(MaxIssueNumber + 2) + "\r\n }\r\n}\r\n");
    Ladder ladder;
    EXPECT_EQ(ladder.Load(scratch.File("in.lad")), rcBadData);
    EXPECT_EQ(ladder.ResultCount(), 0);
}

TEST(ScoreParsing, SetsTiebreaksAndOverflow) {
    int w = 0, l = 0;
    EXPECT_TRUE(Ladder::ParseScore("6-3 (ret)", w, l));
    EXPECT_EQ(w * 100 + l, 603);
    EXPECT_TRUE(Ladder::ParseScore(" 6 - 3 , 4-6,7-6(5)", w, l));
    EXPECT_EQ(w * 100 + l, 1715);
    EXPECT_FALSE(Ladder::ParseScore("7-6(5", w, l));
    EXPECT_FALSE(Ladder::ParseScore("6-3,", w, l));
    EXPECT_FALSE(Ladder::ParseScore("6-3-1", w, l));
    EXPECT_FALSE(Ladder::ParseScore("-3", w, l));
    EXPECT_FALSE(Ladder::ParseScore("", w, l));
    // Numbers too large for an integer, alone or summed, do not read.
    EXPECT_TRUE(Ladder::ParseScore("2147483647-0", w, l));
    EXPECT_FALSE(Ladder::ParseScore("2147483648-0", w, l));
    EXPECT_FALSE(Ladder::ParseScore("99999999999999999999-1", w, l));
    EXPECT_FALSE(Ladder::ParseScore("2000000000-0,2000000000-0", w, l));
}
