#pragma once
// The challenge ladder event: players in ladder order, the results entered
// as they come in and posted into numbered issues, the challenge range, and
// the traditional and points systems.

#include "unified/core/RXEvent.h"

#include <cstdint>
#include <string>
#include <vector>

// The most results a ladder holds; also the tournament reader's match limit.
constexpr int MaxLadderResults = 1500;
// The highest player id a ladder gives out or a ladder file may hold.
constexpr int MaxLadderPlayers = 800;
// The highest issue number a ladder file may hold; Generate Issue stops
// there.
constexpr int MaxIssueNumber = 999999;

// Characters of n written in decimal ("%d"), a minus sign included.
int DigitCount(int n);

// One ladder result. Ids name players (0 none); the positions are those at
// entry, kept as texts.
struct LResult {
    int winner = 0; // first-named side of a tie
    int loser = 0;
    int issue = 0;     // -1 while pending
    std::string score; // up to 50 characters, as typed
    std::string date;  // YYYYMMDD (room for 10 characters)
    std::uint8_t tie = 0;
    int winnerPartner = 0; // a two-result doubles entry; 0 none
    int loserPartner = 0;
    std::string winnerPos;
    std::string loserPos;
    std::string winnerPartnerPos; // "0" for no partner
    std::string loserPartnerPos;
};

// The settings the options dialog edits in place.
struct LadderSettings {
    std::uint8_t ladderSystem = 0;   // 0 traditional, 1 points
    std::uint8_t displayResults = 0; // 0 pending, 1 pending and next issue, 2 all
    std::int32_t issueMask = 1;      // Ladder::CurrentIssue | NextIssue | PreviousIssues
};

// What a challenge check found, for the caller's warning.
struct ChallengeOutcome {
    int winnerPos = 0; // the winner side's better position
    int loserPos = 0;  // the loser side's worse position
    int spread = 0;
    int allowed = 0;
    const char* unit = ""; // "%" or " pos."
};

class Ladder : public RXEvent {
public:
    // Report options (display flags).
    enum : int {
        ShowWinLoss = 2,
        ResultsBottom = 4,
        NoPosChange = 8, // the position-change column left out
        PreMatchPos = 16,
        AllOneLine = 32,
    };
    // Issues the report prints (issue mask).
    enum : int {
        CurrentIssue = 1,
        NextIssue = 2,
        PreviousIssues = 4,
    };

    Ladder();
    ~Ladder() override;

    bool IsModified() const override;
    void Reset() override;
    void SetSingles() override;
    void SetDoubles() override;
    bool IsDoubles() const override;
    short AddPlayer(const ::Player& player, const ::Player* partner) override;
    short PlayerDeleted(int number) override;
    short CheckPlayersEditable() override;
    // Reads a ladder file of any form, by its first line; the ladder keeps
    // what was read up to a failure, with its id map rebuilt.
    short Load(const std::string& path) override;
    // Writes the tree form whole, or leaves the old file as it was.
    bool Save(const std::string& path) override;
    // The tree form percent-encoded, for an upload; the state is kept.
    void SaveToText(std::string& text) override;
    // Fills the ladder from a downloaded tree text; on any failure the
    // ladder stays as it was.
    short LoadFromText(const std::string& text) override;
    // One line a player: its names and phones between separators.
    bool ExportPlayersVer1(const std::string& path) override;
    int ResultCount() const override;
    void ClearResults(bool initialisePoints) override;
    void PrintReport(rxReport& report) override;
    std::string FileExtension() const override;
    std::string FileFilter() const override;

    char TypeChar() const { return typeChar; }
    int DisplayFlags() const { return displayFlags; }
    int ChallengePercent() const { return challengePercent; }
    int ChallengePositions() const { return challengePositions; }
    int IssueNumber() const { return issueNumber; }
    bool PostedThisIssue() const { return postedThisIssue != 0; }
    int MaxId() const { return maxId; }
    LadderSettings* SystemSettings() { return &settings; }
    bool IsPointsSystem() const { return settings.ladderSystem == 1; }
    int DisplayResults() const { return settings.displayResults; }
    int IssueMask() const { return settings.issueMask; }

    // Result n (1 to ResultCount()), or null.
    const LResult* Result(int n) const { return results.Item(n); }
    bool IsResultPending(int n) const;
    int ResultIssue(int n) const;
    int CountResultsOfIssue(int issue) const;
    int PendingResultCount() const;

    // The allowed challenge distance in positions; 0 when not checked.
    int ChallengeRange() const;
    // Whether a result between these sides stays within the challenge range
    // (partner names may be empty).
    bool CheckChallenge(const std::string& winner, const std::string& winnerPartner,
                        const std::string& loser, const std::string& loserPartner,
                        ChallengeOutcome& outcome) const;
    short EnterResult(const std::string& date, const std::string& winner, const std::string& loser,
                      const std::string& score, bool tie, const std::string& winnerPartner = {},
                      const std::string& loserPartner = {});
    // Removes the k-th pending result (1-based, counting pending ones only).
    short CancelPendingResult(int k);
    // The line of result n in the results pane, and in the cancel list.
    const std::string& ResultText(int n);
    const std::string& PendingResultText(int n);
    // Reads "m-d-y", "m.d.y" or "m/d/y" and rewrites the text as YYYYMMDD.
    static bool ParseResultDate(std::string& date);
    // The id of the player with this display name; 0 when none.
    int PlayerIdByName(const std::string& name) const;
    // Position of the player with this id; 0 for no player.
    int PositionOfId(int id) const;
    void RebuildPositionMap();

    // Applies the pending results to the ladder; with `generate` also drops
    // inactive players (traditional system).
    short PostResults(bool generate);
    // Posts and makes the next issue current; rcIssueLimit, with nothing
    // changed, when the ladder is at the last issue a file can hold.
    short GenerateIssue();
    bool CanGenerateIssue() const { return issueNumber < MaxIssueNumber; }

    // The tree form: the whole file from its root, and the root's children
    // written into a root. WriteTree is false when memory ran out part-way.
    short ReadTreeFile(const std::string& path);
    short LoadTree(Tree& root);
    bool WriteTree(Tree& root) const;

    // Games won by each side over all sets of a score; false when the score
    // cannot be read.
    static bool ParseScore(const std::string& score, int& winnerGames, int& loserGames);
    static bool ParseSetScore(const std::string& set, int& winnerGames, int& loserGames);

    int PenaltyDist() const { return penaltyDist; }
    int PenaltyStart() const { return penaltyStart; }
    int PenaltyCycle() const { return penaltyCycle; }
    int TopNoDrop() const { return topNoDrop; }
    int PointsWinner() const { return pointsWinner; }
    int PointsLoser() const { return pointsLoser; }
    int PointsTie() const { return pointsTie; }
    int ChalWins() const { return chalWins; }
    float PerPosAdvanced() const { return perPosAdvanced; }
    float PerPctAdvanced() const { return perPctAdvanced; }
    float PerScoreMargin() const { return perScoreMargin; }

    void SetChallengePercent(int value);
    void SetChallengePositions(int value);
    void SetDisplayFlags(int bits);
    void ClearDisplayFlags(int bits);
    void SetLadderSystem(int value);
    void SetDisplayResults(int value);
    void SetIssueMask(int value);
    void SetPenaltyDist(int value);
    void SetPenaltyStart(int value);
    void SetPenaltyCycle(int value);
    void SetTopNoDrop(int value);
    void SetPointsOptions(int winner, int loser, int tie, int challenger, float perPosition,
                          float perPercent, float perMargin);

private:
    // The older line forms "*1.0" and, with version 2, "*2.0", from the
    // file's whole text.
    short ReadLadderV1(const std::string& text, int version);
    // A player or result read from a file, appended: 5 for an id past the
    // id map (or a player id already held), 10 when the list cannot grow.
    short StoreLoadedPlayer(const ::Player& player);
    short StoreLoadedResult(const LResult& result);
    // The ending of every load: the highest id covers the players and the
    // ids the results keep, and the id map is rebuilt.
    short FinishLoad(short code);
    // Takes over every field of a ladder loaded aside.
    void TakeOver(Ladder& loaded);

    // Counts one side of a result for the player at a position; the points
    // given.
    int UpdatePlayerCounts(int position, bool tie, bool win);
    void ScoreResult(const LResult& result);
    void OrderPendingByDate(std::vector<int>& order) const;
    std::string SideText(int id, int partnerId) const;
    // First initial, ". " and last name.
    static std::string Initialled(const ::Player& player);
    // YYYYMMDD as MM/DD/YYYY, or MM/DD/YY.
    static std::string ResultDate(const std::string& date, bool twoDigitYear);

    // The steps of the report.
    struct ReportColumns;
    void ReportHeader(rxReport& report) const;
    void ReportNameWidth(rxReport& report);
    void ReportResults(rxReport& report);
    void ReportResultLine(rxReport& report) const;
    std::string ReportSide(rxReport& report, int id, int partnerId) const;
    void ReportStandings(rxReport& report);
    void ReportPlayer(rxReport& report, const ReportColumns& columns) const;
    void ReportNameAndContacts(rxReport& report, const ReportColumns& columns,
                               const ::Player& player) const;
    void ReportLegend(rxReport& report) const;

    char typeChar = 'S'; // 'S' singles, 'D' doubles
    int displayFlags = 0;
    int challengePercent = 25;   // -1 when the range is in positions
    int challengePositions = -1; // -1 when the range is in percent
    int penaltyDist = 5;         // percent of the players
    int penaltyStart = 4;        // periods before the first drop
    int penaltyCycle = 1;        // at least 1
    int topNoDrop = 0;
    int pointsWinner = 0;
    int pointsLoser = 0;
    int pointsTie = 0;
    int chalWins = 0;
    float perPosAdvanced = 0;
    float perPctAdvanced = 0;
    float perScoreMargin = 0;
    int issueNumber = 0;
    std::uint8_t postedThisIssue = 0;
    std::int16_t maxId = 0;
    std::int16_t resultCount = 0;
    MyArray<LResult> results;
    std::vector<std::int16_t> positionOfId; // ids 0 to MaxLadderPlayers
    std::string textBuffer;
    LadderSettings settings;
    // Kept while the report runs.
    int reportNameWidth = 0;
    int reportResult = 0;
    int reportPlayer = 0;
};
