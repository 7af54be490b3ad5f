#include "unified/ladder/Ladder.h"
#include "tests/ladder/LadderPlayers.h"

#include <climits>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Order(const Ladder& ladder) {
    std::vector<std::string> names;
    for (int p = 1; p <= ladder.PlayerCount(); ++p)
        names.push_back(ladder.Player(p)->lastName);
    return names;
}

} // namespace

TEST(LadderModel, SettersKeepTheirRules) {
    Ladder ladder;
    EXPECT_FALSE(ladder.IsModified());
    ladder.SetPenaltyCycle(0); // the drop rule divides by it
    EXPECT_EQ(ladder.PenaltyCycle(), 1);
    ladder.SetChallengePositions(3); // one way of giving the range at a time
    EXPECT_EQ(ladder.ChallengePercent(), -1);
    ladder.SetChallengePercent(30);
    EXPECT_EQ(ladder.ChallengePositions(), -1);
    ladder.SetDisplayFlags(Ladder::ShowWinLoss | Ladder::AllOneLine);
    ladder.ClearDisplayFlags(Ladder::ShowWinLoss);
    EXPECT_EQ(ladder.DisplayFlags(), Ladder::AllOneLine);
    EXPECT_TRUE(ladder.IsModified());
    EXPECT_EQ(DigitCount(0), 1);
    EXPECT_EQ(DigitCount(-5), 2);
    EXPECT_EQ(DigitCount(1500), 4);
    EXPECT_EQ(DigitCount(INT_MIN), 11);
}

TEST(LadderModel, AddingPlayersRefusesBadNamesAndGivesNewIds) {
    Ladder ladder;
    EXPECT_EQ(ladder.AddPlayer(Named("  ", " "), nullptr), rcNoName);
    ASSERT_EQ(ladder.AddPlayer(Named("Ann", "Baker"), nullptr), rcOk);
    EXPECT_EQ(ladder.AddPlayer(Named("Ann", "Baker"), nullptr), rcDuplicateName);
    EXPECT_EQ(ladder.AddPlayer(Named("ann", "Baker"), nullptr), rcOk); // case counts
    ::Player partner = Named("Eve", "Partner");
    ::Player withOwn = Named("Dan", "Doubles");
    withOwn.partner.Set(Named("Stale", "Record"));
    withOwn.wins = 7;
    ASSERT_EQ(ladder.AddPlayer(withOwn, &partner), rcOk);
    const ::Player* dan = ladder.Player(3);
    EXPECT_EQ(dan->number, 3);
    EXPECT_EQ(dan->prevPosition, 3);
    EXPECT_EQ(dan->wins, 0);
    EXPECT_EQ(dan->partner->firstName, "Eve");
    ASSERT_EQ(ladder.AddPlayer(Named("Solo", "Player"), nullptr), rcOk);
    EXPECT_FALSE(ladder.Player(4)->partner);

    // Ids are never reused after a delete, and the map follows the order.
    EXPECT_EQ(ladder.DeletePlayer(1), rcOk);
    ASSERT_EQ(ladder.AddPlayer(Named("New", "Comer"), nullptr), rcOk);
    EXPECT_EQ(ladder.Player(4)->number, 5);
    EXPECT_EQ(ladder.PositionOfId(1), 0);
    EXPECT_EQ(ladder.PositionOfId(5), 4);
    EXPECT_EQ(ladder.PlayerIdByName("Doubles, Dan"), 3);
    EXPECT_EQ(ladder.PositionOfId(3), 2);
}

TEST(LadderModel, AddedPlayerGoesWhereTheSystemPutsIt) {
    Ladder trad;
    Fill(trad, 3);
    trad.AddPlayer(Named("X", "Second", 2), nullptr);
    trad.AddPlayer(Named("Y", "Bottom", 9), nullptr); // past the end
    trad.AddPlayer(Named("Z", "Last", 0), nullptr);
    EXPECT_EQ(Order(trad),
              (std::vector<std::string>{"P1", "Second", "P2", "P3", "Bottom", "Last"}));
    EXPECT_EQ(trad.Player(2)->points, 0);

    Ladder points;
    points.SetLadderSystem(1);
    points.AddPlayer(Named("A", "Ten", 10), nullptr);
    points.AddPlayer(Named("B", "Five", 5), nullptr);
    points.AddPlayer(Named("C", "AlsoTen", 10), nullptr); // below the existing 10
    points.AddPlayer(Named("D", "Top", 11), nullptr);
    EXPECT_EQ(Order(points), (std::vector<std::string>{"Top", "Ten", "AlsoTen", "Five"}));
    EXPECT_EQ(points.Player(1)->points, 11);
}

TEST(LadderModel, PlayerLimitAndIdLimit) {
    Ladder ladder;
    Fill(ladder, MaxPlayers);
    EXPECT_EQ(ladder.AddPlayer(Named("One", "More"), nullptr), rcPlayerLimit);
    // With every id given out, a free place still takes no one: the next id
    // would lie past the id map.
    ladder.DeletePlayer(400);
    EXPECT_EQ(ladder.MaxId(), MaxLadderPlayers);
    EXPECT_EQ(ladder.AddPlayer(Named("One", "More"), nullptr), rcPlayerLimit);
    EXPECT_EQ(ladder.PlayerCount(), MaxPlayers - 1);
    EXPECT_EQ(ladder.PositionOfId(MaxLadderPlayers), MaxPlayers - 1);
    for (const int id : {-1, 0, MaxLadderPlayers + 1, 40000})
        EXPECT_EQ(ladder.PositionOfId(id), 0) << id; // ids from older results
}

TEST(ChallengeRange, PercentPositionsAndOff) {
    Ladder ladder;
    Fill(ladder, 9);
    EXPECT_EQ(ladder.ChallengeRange(), 2);
    Ladder small;
    Fill(small, 3);
    EXPECT_EQ(small.ChallengeRange(), 1); // (3 - 1) x 25 / 100 = 0
    ladder.SetChallengePositions(4);
    EXPECT_EQ(ladder.ChallengeRange(), 4);
    ladder.SetChallengePositions(0);
    EXPECT_EQ(ladder.ChallengeRange(), 0);
    ladder.SetChallengePercent(0);
    EXPECT_EQ(ladder.ChallengeRange(), 0);
}

TEST(ChallengeRange, CheckMeasuresTheSidesSpread) {
    Ladder ladder;
    Fill(ladder, 21);
    ChallengeOutcome out;
    ladder.SetChallengePositions(3);
    EXPECT_TRUE(ladder.CheckChallenge(Name(5), "", Name(4), "", out)); // just above
    EXPECT_TRUE(ladder.CheckChallenge(Name(2), "", Name(9), "", out)); // beat someone below
    EXPECT_TRUE(ladder.CheckChallenge(Name(5), "", Name(2), "", out));
    EXPECT_FALSE(ladder.CheckChallenge(Name(7), "", Name(2), "", out));
    EXPECT_EQ(out.winnerPos, 7);
    EXPECT_EQ(out.loserPos, 2);
    EXPECT_EQ(out.spread, 5);
    EXPECT_EQ(out.allowed, 3);
    EXPECT_STREQ(out.unit, " pos.");
    // Sides: the winner's better position, the loser's worse one.
    EXPECT_TRUE(ladder.CheckChallenge(Name(7), Name(5), Name(2), Name(3), out));
    EXPECT_EQ(out.spread, 2);
    EXPECT_FALSE(ladder.CheckChallenge("Nobody, X", "", Name(2), "", out));

    ladder.SetChallengePercent(25);
    EXPECT_TRUE(ladder.CheckChallenge(Name(10), "", Name(5), "", out));
    EXPECT_EQ(out.spread, 25); // 5 x 100 / 20
    EXPECT_STREQ(out.unit, "%");
    ladder.SetChallengePercent(24);
    EXPECT_FALSE(ladder.CheckChallenge(Name(10), "", Name(5), "", out));
    ladder.SetChallengePercent(0);
    EXPECT_TRUE(ladder.CheckChallenge(Name(21), "", Name(1), "", out));

    // A ladder of one: nothing to divide by.
    Ladder one;
    Fill(one, 1);
    EXPECT_TRUE(one.CheckChallenge(Name(1), "", Name(1), "", out));
    EXPECT_EQ(out.spread, 0);
}

TEST(LadderResults, EnterChecksLimitsAndRecordsPositions) {
    Ladder ladder;
    Fill(ladder, 4);
    EXPECT_EQ(ladder.EnterResult("7/4/07", "Nobody, X", Name(1), "6-1", false), rcInternal);
    EXPECT_EQ(ladder.EnterResult("07/04/2007x", Name(2), Name(1), "6-1", false), rcInternal);
    EXPECT_EQ(ladder.EnterResult("7/4/07", Name(2), Name(1), std::string(51, '6'), false),
              rcInternal);
    EXPECT_EQ(ladder.EnterResult("2/30/04", Name(2), Name(1), "6-1", false), rcBadDate);
    ErrorLocation.clear();
    EXPECT_EQ(ladder.ResultCount(), 0);

    // Limits count characters; line breaks are dropped from the score.
    std::string accented;
    for (int i = 0; i < 48; ++i)
        accented += "\xC3\xA9";
    ASSERT_EQ(
        ladder.EnterResult("7-4-50", Name(4), Name(2), accented + "\r\n" + "!!", true, Name(3), ""),
        0);
    const LResult* r = ladder.Result(1);
    EXPECT_EQ(r->date, "20500704");
    EXPECT_EQ(r->score, accented + "!!");
    EXPECT_EQ(r->issue, -1);
    EXPECT_EQ(r->tie, 1);
    EXPECT_EQ(r->winnerPartner, 3);
    EXPECT_EQ(r->loserPartner, 0);
    EXPECT_EQ(r->winnerPos + r->loserPos + r->winnerPartnerPos + r->loserPartnerPos, "4230");
}

TEST(LadderResults, ResultLimit) {
    Ladder ladder;
    Fill(ladder, 2);
    for (int i = 0; i < MaxLadderResults; ++i)
        ASSERT_EQ(ladder.EnterResult("1/1/08", Name(1), Name(2), "6-0", false), rcOk);
    EXPECT_EQ(ladder.EnterResult("1/1/08", Name(1), Name(2), "6-0", false), rcResultLimit);
    EXPECT_EQ(ladder.ResultCount(), MaxLadderResults);
}

TEST(LadderResults, CancelCountsPendingOnlyAndClearResets) {
    Ladder ladder;
    Fill(ladder, 4);
    ladder.EnterResult("1/1/08", Name(2), Name(1), "a", false);
    ladder.PostResults(false);
    ladder.EnterResult("1/2/08", Name(3), Name(4), "b", false);
    ladder.EnterResult("1/3/08", Name(4), Name(3), "c", false);
    ladder.EnterResult("1/4/08", Name(1), Name(3), "d", false);
    EXPECT_EQ(ladder.CancelPendingResult(4), rcInternal);
    ErrorLocation.clear();
    ASSERT_EQ(ladder.CancelPendingResult(2), rcOk); // the posted result is skipped
    ASSERT_EQ(ladder.ResultCount(), 3);
    EXPECT_EQ(ladder.Result(1)->score, "a");
    EXPECT_EQ(ladder.Result(2)->score, "b");
    EXPECT_EQ(ladder.Result(3)->score, "d");
    EXPECT_EQ(ladder.PendingResultCount(), 2);
    EXPECT_EQ(ladder.CountResultsOfIssue(1), 1);

    ladder.GenerateIssue();
    ladder.SetLadderSystem(1);
    ladder.ClearResults(true);
    EXPECT_EQ(ladder.ResultCount(), 0);
    EXPECT_EQ(ladder.IssueNumber(), 0);
    for (int p = 1; p <= 4; ++p) {
        EXPECT_EQ(ladder.Player(p)->points, 5 - p);
        EXPECT_EQ(ladder.Player(p)->prevPosition, p);
        EXPECT_EQ(ladder.Player(p)->wins + ladder.Player(p)->losses + ladder.Player(p)->inactivity,
                  0);
    }
    ladder.ClearResults(false);
    EXPECT_EQ(ladder.Player(1)->points, 0);
}

TEST(LadderResults, ResultLinesNameEachSide) {
    Ladder ladder;
    ladder.SetDoubles();
    ::Player partner = Named("Eve", "Partner");
    ladder.AddPlayer(Named("Ann", "Baker"), &partner);
    ladder.AddPlayer(Named("Bob", "Cole"), nullptr);
    ladder.AddPlayer(Named("", "Cher"), nullptr);
    ladder.AddPlayer(Named("\xC3\x89mile", "Dupont"), nullptr);
    ladder.EnterResult("3/9/2008", "Baker, Ann", "Cole, Bob", "6-4", false);
    ladder.EnterResult("3/10/2008", "Cole, Bob", "Dupont, \xC3\x89mile", "3-3", true, "Cher", "");
    EXPECT_EQ(ladder.ResultText(1), "03/09/2008 A. Baker / E. Partner d. Bob Cole 6-4");
    // No initial for an empty first name, and a multi-byte initial whole.
    EXPECT_EQ(ladder.ResultText(2), "03/10/2008 B. Cole/Cher TIE \xC3\x89mile Dupont 3-3");
    EXPECT_EQ(ladder.PendingResultText(1), "03/09/2008 Baker/Cole 6-4");
    EXPECT_EQ(ladder.ResultText(3), "");

    ladder.SetDisplayResults(2);
    ladder.PostResults(false);
    ladder.EnterResult("3/11/2008", "Cole, Bob", "Baker, Ann", "7-5", false);
    ladder.DeletePlayerByName("Cher"); // a deleted partner: as if there were none
    ladder.DeletePlayerByName("Baker, Ann");
    EXPECT_EQ(ladder.ResultText(1), "[1] 03/09/2008 *Deleted* d. Bob Cole 6-4");
    EXPECT_EQ(ladder.ResultText(2), "[1] 03/10/2008 Bob Cole TIE \xC3\x89mile Dupont 3-3");
    EXPECT_EQ(ladder.ResultText(3), "[ ] 03/11/2008 Bob Cole d. *Deleted* 7-5");
    EXPECT_EQ(ladder.PendingResultText(3), "03/11/2008 Cole/*Deleted* 7-5");
}
