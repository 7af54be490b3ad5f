#pragma once
// The match schedule event: rounds by courts of match boxes, each holding up
// to four player numbers. A player number is the player's place in the list,
// and the list order is the skill order, player 1 strongest.

#include "unified/core/RXEvent.h"
#include "unified/schedule/BoxMatrix.h"
#include "unified/schedule/CounterMatrix.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// How a plan was made.
enum ScheduleType : std::int16_t {
    stNone = 0, // none, or edited by hand
    stMixer = 100,
    stSinglesRoundRobin = 200,
    stSinglesRoundRobinPartial = 210,
    stDoublesRoundRobin = 300,
    stDoublesRoundRobinPartial = 310,
    stFixedPartnerRoundRobin = 350,
    stFixedPartnerRoundRobinPartial = 360,
    stMixedRoundRobin = 400,
    stMixedRoundRobinPartial = 410,
    stMixedRoundRobinExtended = 420,
    stLeague = 500,
    stLeaguePartial = 510,
};

// The bits of the plan's option word; bits not named here are kept as read.
enum PlanOptions : std::uint32_t {
    RoundsPerPlayer = 0x1,
    SinglesPerPlayer = 0x2,
    GenderImbal = 0x4,
    SkillDisparity = 0x8,
    ScheduleDiversity = 0x10,
    Gaps = 0x20,
    GenderRequired = 0x100, // by the oldest file form's reader
    OptimizeLayout = 0x1000,
    TwoColumn = 0x2000,
    StrictlyMixed = 0x10000,
    SkipUnsched = 0x20000,
    ShowNames = 0x40000,
};
constexpr std::uint32_t DefaultPlanOptions = 0xFFF7;

class Matches;

// A new shape of courts and rounds, collected by a dialog before it is
// applied; courts and rounds 1-based, entry 0 unused.
struct SetupDataCR {
    int courts = 0;
    char courtTypes[256] = {};
    int rounds = 0;
    std::string roundNotations[100];

    // Copies the plan's court types; the Court Types choice that fits them:
    // 1 doubles (also for no courts), 0 singles, 2 custom.
    int LoadCourtTypes(const Matches& plan);
    // Copies the plan's notations and empties the entries past its rounds.
    void LoadRoundNotations(const Matches& plan);
    // Any type other than 'S' or 'D' becomes 'D'.
    void NormalizeCourtTypes();
};

class Matches : public RXEvent {
public:
    static constexpr int MaxRounds = 99;
    static constexpr int MaxCourts = 255;
    static constexpr std::size_t MaxNotation = 14;

    Matches();
    ~Matches() override;

    void DebugDump(const std::string& caller) override;
    bool IsModified() const override;
    void Reset() override;
    // Singles and doubles belong to each court, not to the event.
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

    int CourtCount() const { return courts; }
    // 'S' or 'D'; '?' outside the courts.
    char CourtType(int c) const;
    // 4 on a doubles court, 2 on any other, 0 outside the courts.
    int PlayersPerCourt(int c) const;
    // True also when there are no courts.
    bool AllCourtsOfType(char type) const;
    // Round r's notation; empty outside the rounds.
    std::string RoundName(int r) const;

    // The player in position p of box (r, c); 0 outside the grid.
    int GetSlot(int r, int c, int p) const;
    // The checked write of one position: 0, 5 (outside the grid or no such
    // player), 301 (already in the round) or 302 (a full box that is not
    // one man and one woman a side while the plan is strictly mixed).
    short SetSlot(int r, int c, int p, int n);
    // Writes a position without the player checks; 5 outside the grid.
    short PutSlot(int r, int c, int p, int n);
    // Empties box (r, c) and writes the players of its two sides as the
    // manual assignment does, each side filled from its first position:
    // SetSlot's code, and on a refusal the box (and whether the plan was
    // changed) as it was before.
    short WriteBox(int r, int c, const int (&players)[4]);
    // Whether the box with position p holding n breaks the strictly mixed
    // rule; a box with an empty position never does.
    bool IsNotMixedBox(int r, int c, int p, int n) const;
    // SetSlot without the strictly mixed check: a generator's pattern stands
    // whatever the genders, and an option left from a mixer run must not
    // leave its boxes half written.
    short SetPatternSlot(int r, int c, int p, int n);

    // The lowest court on which n plays in round r; 0 when idle.
    int CourtOfPlayer(int r, int n) const;
    bool IsScheduled(int n) const;
    // Whether any box of rounds a to b, or of courts a to b, holds a player.
    bool HasMatchesInRounds(int a, int b) const;
    bool HasMatchesInCourts(int a, int b) const;
    void ClearBoxes();

    bool SetCourts(int count, char type);
    // Types 1 to count are read; singles courts lose positions 2 and 4.
    bool SetCourtTypes(int count, const char* types);
    // Notations 1 to count are read, and cut to 14 characters in the
    // caller's array too.
    bool SetRounds(int count, std::string* notations);

    // How the plan was made: 0 none or by hand, else the generator's code.
    int ScheduleType() const { return scheduleType; }
    void SetScheduleType(int code);
    std::uint32_t Options() const { return options; }
    void SetOptions(std::uint32_t bits);
    void ClearOptions(std::uint32_t bits);
    bool HasOption(std::uint32_t bits) const { return (options & bits) != 0; }
    int DisparityThreshold() const { return disparityThreshold; }
    void SetDisparityThreshold(int percent);
    int DiversityLimit() const { return diversityLimit; }
    void SetDiversityLimit(int limit);
    bool ManuallyModified() const { return manuallyModified != 0; }
    void SetManuallyModified() { manuallyModified = 1; }
    // The rounds of a generator's pattern that the plan holds.
    int BaseRounds() const { return baseRounds; }
    void SetBaseRounds(int count) { baseRounds = count; }
    // Lines for the trace part of the match analysis.
    const std::vector<std::string>& TraceList() const { return traceList; }
    void AddTrace(const std::string& line) { traceList.push_back(line); }
    void ClearTraceList() { traceList.clear(); }

    // The first box whose sides hold different numbers of players: 0, or
    // 303 with the box kept for IncompleteMatch.
    short CheckComplete();
    struct IncompleteBox {
        int round = 0;
        int court = 0;
        int found = 0;
    };
    IncompleteBox IncompleteMatch() const { return incomplete; }

    // The longest run of idle rounds a perfect rotation leaves a player.
    void ComputeGapThreshold();
    int GapThreshold() const { return gapThreshold; }
    // How far apart two players are in skill, as a percentage of the list.
    int SkillDistance(int a, int b) const;
    void GenderCounts(int& men, int& women, int& others) const;
    // The courts and rounds a full round robin of the type needs.
    void RoundRobinSize(int type, int& roundCount, int& courtCount) const;

    // Evens out who hosts (position 1): three passes and the information,
    // or the warning for a league, which keeps its home sides.
    void DesignateHosts();
    void BalanceHosts();
    // Makes the list neighbours 1-2, 3-4 ... partners in round r by
    // exchanging player numbers throughout the plan.
    void ApplyPreferredPartners(int r);
    void SwapPlayerNumbers(int a, int b);

    // Keeps every box pointing at the same people after a player was
    // inserted at, or deleted from, a place in the list; 0 or 4.
    short RenumberPlayers(bool deleting, int position);

    // The warnings the option word enables: summary lines for the box the
    // user sees first, and the details behind them. True when any enabled
    // check found something.
    bool CheckWarnings(std::vector<std::string>& summary, std::vector<std::string>& details);
    // The match analysis: who met whom, on which court, who hosted; the
    // trace of the last assignment run follows under "-Z".
    void WriteAnalysis(std::vector<std::string>& list) const;
    void WriteAnalysis(std::vector<std::string>& list, bool trace) const;

protected:
    // The file forms: each reader leaves what it read when it fails.
    short ReadTreeFile(const std::string& path);
    short ReadPlanV1(const std::string& text);
    short ReadCourtTypes(Tree& node, bool expected);
    short ReadNotations(Tree& node, bool expected);
    // Box `index` of the grid, counted round by round.
    short ReadBoxNode(Tree& node, int index);
    // SetSlot's checks without the strictly mixed one.
    short PutLoadedSlot(int r, int c, int p, int n);
    short FinishLoad(short code);
    bool WriteTree(Tree& root) const;

    // The warning checks; each adds to the details and reports whether it
    // found something.
    void AddSummaryLine(const std::string& line);
    bool CheckRoundsAndSingles(std::vector<std::string>& details);
    void ReportSpread(const std::vector<int>& counts, const char* word,
                      std::vector<std::string>& details) const;
    bool CheckGenders(std::vector<std::string>& details);
    bool CheckSkillAndDiversity(std::vector<std::string>& details);
    bool CheckGaps(std::vector<std::string>& details);
    bool OutOfMemory(std::vector<std::string>& details);

    // The plan report's sections.
    void PrintPageHeader(rxReport& report, bool notes);
    void PrintChartPage(rxReport& report, int baseRound, int baseCourt);
    std::string BoxSideText(int first, int second) const;
    void PrintCourtAssignments(rxReport& report);
    void PrintPlayerNumbers(rxReport& report);

    // The mixer works in the plan's own work storage.
    friend class Mixer;

    // Work storage of the assignment engines.
    int mixerTarget = 0;
    std::array<std::uint8_t, MaxPlayers + 1> roundsPlayed{};
    std::array<std::uint8_t, MaxPlayers + 1> singlesPlayed{};
    std::array<std::uint8_t, MaxPlayers + 1> genderCode{};
    unsigned allSingles = 0;
    // How often two players met, and were partners, in the mixer's run;
    // none outside a run.
    std::unique_ptr<CounterMatrix> meetingCounts;
    std::unique_ptr<CounterMatrix> partnerCounts;
    int baseRounds = 0;
    int gapThreshold = -1;
    // The warning check's summary goes to the caller's list.
    int summaryCount = 0;
    std::vector<std::string>* summaryList = nullptr;
    std::vector<std::string> traceList;
    std::uint8_t manuallyModified = 0;

    std::int16_t rounds = 0;
    std::int16_t courts = 0;
    std::vector<char> courtTypes;            // 1-based
    std::vector<std::string> roundNotations; // 1-based
    BoxMatrix boxes;
    // Whether the grid stands; a reset takes it away until the next shape.
    bool hasGrid = true;
    IncompleteBox incomplete;
    std::int16_t scheduleType = stNone;
    std::uint32_t options = DefaultPlanOptions;
    int disparityThreshold = 100;
    int diversityLimit = 2;
    // What the report keeps while it prints.
    struct ReportWork {
        int numberWidth = 0;     // characters of the player count
        std::uint8_t names = 0;  // names instead of numbers in the chart
        std::uint8_t across = 0; // rounds across the page, courts down
        int cellWidth = 0;       // characters
        int columnsPerPage = 0;
        int rowsPerPage = 0;
        int page = 0;
    } reportWork;
};

// A new plan, or null when memory runs out.
Matches* NewMatchPlan();
// The current event as a plan; only while the event kind is the schedule.
Matches* AsMatchPlan();
