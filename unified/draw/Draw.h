#pragma once
// The tournament draw event: a knockout draw of the event's players, its
// matches kept round by round, the final last.

#include "unified/core/MyArray.h"
#include "unified/core/RXEvent.h"

#include <cstdint>
#include <string>
#include <vector>

struct TournBlockData;

// One match of a draw. Player numbers are places in the player list; 0 is an
// empty slot, or no winner yet.
struct TResult {
    std::int32_t first = 0;
    std::int32_t second = 0;
    std::int32_t winner = 0;
    std::string dateTime; // at most 24 characters
    std::string location; // at most 24
    std::string score;    // at most 28
};

// The smallest power of two at or above n; 1 for n of 1 or less.
int DrawSize(int n);

class Draw : public RXEvent {
public:
    // Bits of the option word.
    enum : std::uint32_t {
        ByesToSeeded = 1, // the byes go to the seeded players first
    };

    Draw();
    ~Draw() override;

    bool IsModified() const override;
    void Reset() override;
    void SetSingles() override;
    void SetDoubles() override;
    bool IsDoubles() const override;
    short AddPlayer(const ::Player& player, const ::Player* partner) override;
    short PlayerDeleted(int number) override;
    short CheckPlayersEditable() override;
    short Load(const std::string& path) override;
    bool Save(const std::string& path) override;
    bool ExportPlayersVer1(const std::string& path) override;
    int ResultCount() const override;
    int RoundCount() const override;
    void ClearResults(bool initialisePoints) override;
    void PrintReport(rxReport& report) override;
    std::string FileExtension() const override;
    std::string FileFilter() const override;
    void EnterManualMode() override;

    void SetType(char type);
    char Type() const { return type; }

    // The matches of round r: half the draw in round 1, one in the final.
    int MatchesInRound(int round) const;
    // The list index of match m of round r; 0 when it lies outside the list.
    int MatchIndex(int round, int match) const;
    // A copy of match m of round r (an empty match outside the draw).
    TResult GetMatch(int round, int match) const;
    // Puts a player into slot 1 or 2 of a match; another slot, or a player
    // outside the list, changes nothing.
    void SetSlot(int round, int match, int slot, int player);
    // Records a match's texts and winner (1 the first player, 2 the second,
    // 0 none) and moves the winner on: 201, 202 or 203 with nothing changed,
    // and rcBadData for a match outside the draw. Texts are cut to their
    // limits.
    short EnterResult(int round, int match, const std::string& dateTime,
                      const std::string& location, const std::string& score, int winner);
    // Moves every round-1 player without an opponent into round 2; 10 when
    // a round-2 match it would fill is already decided.
    short AdvanceByes();
    // Whether no match has two players and a winner.
    bool HasNoResults() const;
    // Empties the draw (not the players) when there is one.
    void ClearDraw();

    void SetOption(std::uint32_t bits);
    void ClearOptions();
    void ClearOption(std::uint32_t bits);
    bool HasOption(std::uint32_t bits) const { return (options & bits) != 0; }

    // The seeds of a draw of this many players when none are asked for.
    int DefaultSeedCount() const;
    // The seeds of the last automatic draw, or the default.
    int SeedCount() const;
    // The automatic draw: seeds at their places, byes over the quarters, the
    // others at random; rcOk, rcNoMemory or rcInternal (then no draw is
    // left), or rcBadData with nothing changed for a seed count outside 0
    // to half the players.
    short CreateDraw(int seedCount);
    // The empty draw that a manual draw starts from.
    short CreateEmptyDraw();
    // Pairs a and b (0 for none) in match m of round r, taking them out of
    // every other slot; rcBadData, with nothing changed, for a match outside
    // the draw or a player outside the list.
    short SetPairing(int round, int match, int a, int b);
    // Whether a manual draw is complete; else why not.
    bool CheckManualDraw(std::string& message) const;

    // The text of a slot in the draw grid: side 1 the first player, 2 the
    // second, 0 the winner, of the match at a list index (0: empty text).
    std::string SlotText(int side, int index) const;
    std::string FirstPlayerText(int index) const { return SlotText(1, index); }
    std::string SecondPlayerText(int index) const { return SlotText(2, index); }
    std::string WinnerText(int index) const { return SlotText(0, index); }

    // The report: player p's text in a bracket cell of `width` characters
    // ("BYE" for an empty round-1 slot) and its seed mark (0 unseeded).
    void ReportSlotText(int p, int round, int width, std::string& text, int& seed) const;
    // The cell of the match at the report's current round and match.
    void FillBracketCell(TournBlockData& cell) const;

protected:
    // Match m of round r, or null when the draw has no such match.
    TResult* MatchAt(int round, int match);

    // Files: the tree form and the older line form, and what every load
    // ends with: the bracket's checks, or no draw after a failure.
    short ReadTreeFile(const std::string& path);
    short ReadDrawV1(const std::string& text);
    short StoreLoadedPlayer(::Player& player);
    short StoreLoadedMatch(TResult& match);
    short FinishLoad(short code);
    // rcBadData unless the bracket is one the program can hold: its size
    // that of the players, its slots and winners theirs, and outside manual
    // mode every winner a player of the match, every later slot a player of
    // the match that feeds it, every bye advanced.
    short CheckBracket() const;
    bool WriteTree(Tree& root) const;
    // No draw: the list emptied, no rounds.
    void DropBracket();

    char type = 'S';         // 'S' singles, 'D' doubles
    char secondLetter = 'E'; // kept from the file, used nowhere else
    std::uint32_t options = 0xFFFF;
    std::int16_t rounds = 0;
    std::int16_t seeds = -1;    // -1: the default count
    MyArray<TResult> matchList; // round 1 first, the final last; empty: no draw

    // Where the report stands while it is written.
    int reportPage = 1;
    int reportRound = 1;
    int reportMatch = 1;

private:
    void ReportTitle(rxReport& report);
    void ReportPlayers(rxReport& report, const std::vector<PlayerSortEntry>& entries);
};
