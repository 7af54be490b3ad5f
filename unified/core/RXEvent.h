#pragma once
// The base of the three event kinds: what every event keeps (print options,
// report texts, players, the modified state, manual mode) and the operations
// through which the windows, reports and online service reach the kind.

#include "unified/core/MyArray.h"
#include "unified/core/Player.h"
#include "unified/core/RXCode.h"

#include <cstddef>
#include <cstdint>
#include <source_location>
#include <string>

class IndexedLeafPlaces;
class rxReport;
class Tree;

// No event holds more players.
constexpr int MaxPlayers = 800;
// Characters of the report heading, of each note and of the e-mail subject,
// as the report options take them; a file holding more is refused.
constexpr std::size_t kReportTextLimit = 60;

// A player in a sorted report list: its number, and whether its partner's
// names are the ones compared.
struct PlayerSortEntry {
    std::int16_t number;
    std::uint8_t usePartner;
};

// Printed page set-up, stored in every event file.
struct PrintOptions {
    float leftMargin = 1.0f; // inches
    float rightMargin = 1.0f;
    float topMargin = 1.0f;
    float bottomMargin = 1.0f;
    std::int32_t playersPerPage = 16; // tournament report
    std::int32_t roundsPerPage = 4;   // tournament report
    std::int8_t orientation = 0;      // 0 leave the printer, 1 portrait, 2 landscape
    std::int32_t fontSize = 10;       // points; 0 or less prints at 10
};

// The report texts every event carries.
struct ReportOpts {
    std::string heading;
    std::string notes[5];
    std::string emailSubject;
};

// Modified states.
enum : std::uint8_t {
    StateClean = 0,    // new or just emptied
    StateChanged = 1,  // changed since the last load or save
    StateSaved = 2,    // just loaded or saved
    StateUnusable = 3, // construction failed
};

class RXEvent {
public:
    RXEvent();
    virtual ~RXEvent();
    RXEvent(const RXEvent&) = delete;
    RXEvent& operator=(const RXEvent&) = delete;

    // The operations each kind supplies or keeps, in their fixed order.
    virtual void DebugDump(const std::string& caller);
    virtual bool IsModified() const = 0;
    virtual void Reset() = 0;
    virtual void SetSingles() = 0;
    virtual void SetDoubles() = 0;
    virtual bool IsDoubles() const = 0;
    virtual short AddPlayer(const Player& player, const Player* partner) = 0;
    virtual short UpdatePlayer(const std::string& oldName, const Player& player,
                               const Player* partner);
    virtual short PlayerDeleted(int number) = 0;
    virtual short CheckPlayersEditable() = 0;
    virtual short Load(const std::string& path) = 0;
    virtual bool Save(const std::string& path) = 0;
    virtual void SaveToText(std::string& text);
    virtual short LoadFromText(const std::string& text);
    virtual bool ExportPlayers(const std::string& path);
    virtual bool ExportPlayersVer1(const std::string& path) = 0;
    virtual int ResultCount() const = 0;
    virtual int RoundCount() const;
    virtual void ClearResults(bool initialisePoints) = 0;
    virtual void PrintReport(rxReport& report) = 0;
    virtual std::string FileExtension() const = 0;
    virtual std::string FileFilter() const = 0;
    virtual void EnterManualMode();

    std::uint8_t State() const { return state; }

    const PrintOptions& PrintOpts() const { return printOptions; }
    void SetPrintOptions(const PrintOptions& options);
    void SetMargins(float left, float right, float top, float bottom);

    int PlayerCount() const { return playerCount; }
    // Player n, or null when n is outside 1 to PlayerCount().
    ::Player* Player(int n);
    const ::Player* Player(int n) const;

    // "last, first" of player n; empty for a number outside the list.
    std::string PlayerDisplayName(int n) const;
    // The first player whose display name is the given one (a name without
    // a comma also finds a player with that last name and no first name);
    // 0 when none.
    int FindPlayerByName(const std::string& displayName) const;
    // Copies the named player and its number; 400 when not found.
    short GetPlayerByName(const std::string& displayName, ::Player& player, int& number) const;
    short DeletePlayer(int n);
    short DeletePlayerByName(const std::string& displayName);
    // Moves player `from` to position `to` (at most the last); the caller
    // marks the change.
    void MovePlayer(int from, int to);
    void ClearPlayers();
    // Gives player n a copy of the record as its partner.
    void AttachPartner(int n, const ::Player& partner);
    std::string PlayerFirstName(int n) const;
    std::string PlayerLastName(int n) const;
    int PlayerPoints(int n) const;
    int PlayerWins(int n) const;
    int PlayerLosses(int n) const;
    int PlayerTies(int n) const;
    // Periods of inactivity; a negative count reads as 0.
    int PlayerInactivity(int n) const;
    static void ClearPlayerRecord(::Player& player);

    // Reads a tab-separated player list with a header row of column labels
    // and adds its players through AddPlayer: 0, 1 (cannot open), 5 (unknown
    // labels, after a warning box), 7 (the player limit) or AddPlayer's code.
    short ImportPlayers(const std::string& path);

    // The nodes every event file shares: "T" with the print options, and the
    // player node ("P" for a player, "A" for its partner, written without
    // counters). The gender leaf is written only by kinds that keep genders.
    void WritePrintOptions(Tree& parent) const;
    void ReadPrintOptions(Tree& node);
    void WritePlayerNode(Tree& node, const ::Player& player, bool counters) const;
    // Reads a player node into a cleared record; 5 when a text is over its
    // limit.
    static short ReadPlayerNode(Tree& node, ::Player& player);
    // The five notes as "n" leaves that keep their places, and one such leaf
    // read back into the note at its place (a place past the fifth keeps
    // nothing): 5 when the note is over kReportTextLimit.
    void WriteNotes(Tree& parent) const;
    short ReadNote(const Tree& leaf, IndexedLeafPlaces& places);
    // Whether this kind keeps its players' genders (in its files and player
    // lists); the tournament draw does not.
    bool KeepsGender() const { return keepsGender; }

    const std::string& Heading() const { return reportTexts.heading; }
    void SetHeading(const std::string& text);
    // Note n for n from 1 to 5; any other n reads as empty and stores nothing.
    const std::string& Note(int n) const;
    void SetNote(int n, const std::string& text);
    const std::string& EmailSubject() const { return reportTexts.emailSubject; }
    void SetEmailSubject(const std::string& text);
    void ResetTexts();

    bool IsManualMode() const { return manualMode; }
    void ClearManualMode() { manualMode = false; }

    // Report column widths of the names, in the writer's units: first and
    // last name each as wide as the widest such name but at least two "n",
    // and the total of both with one "n" between them.
    void NameColumnWidths(rxReport& report, int& first, int& last, int& total) const;

protected:
    PrintOptions printOptions;
    std::uint8_t state = StateClean;
    std::int16_t playerCount = 0;
    MyArray<::Player> players;
    bool manualMode = false;
    ReportOpts reportTexts;
    bool keepsGender = true; // the tournament kind clears it
};

// Orders two list entries by last name, then first name, byte by byte, of
// the current event's players (of their partners when the entry says so).
int ComparePlayerEntries(const PlayerSortEntry& a, const PlayerSortEntry& b);

// The one current event, and the same object as a ladder while the kind is
// the ladder (null otherwise).
class Ladder;
extern RXEvent* CurrentEvent;
extern Ladder* CurrentLadder;

// Where an operation that fails with code 10 or 400 detected the failure:
// " at " followed by the source file and line. The error box shows it once.
extern std::string ErrorLocation;
void SetErrorLocation(std::source_location where = std::source_location::current());
