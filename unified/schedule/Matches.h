#pragma once
// The match schedule event: rounds by courts of match boxes, each holding up
// to four player numbers. A player number is the player's place in the list,
// and the list order is the skill order, player 1 strongest.

#include "unified/core/RXEvent.h"
#include "unified/schedule/BoxMatrix.h"

#include <cstdint>

class Matches : public RXEvent {
public:
    static constexpr int MaxRounds = 99;
    static constexpr int MaxCourts = 255;

    Matches();
    ~Matches() override;

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

    // The player in position p of box (r, c); 0 outside the grid.
    int GetSlot(int r, int c, int p) const;
    // Writes a position without any check.
    void PutSlot(int r, int c, int p, int n);
    // Whether any box of rounds a to b holds a player.
    bool HasMatchesInRounds(int a, int b) const;

    // How the plan was made: 0 none or by hand, else the generator's code.
    int ScheduleType() const { return scheduleType; }
    void SetScheduleType(int code);

    // Keeps every box pointing at the same people after a player was
    // inserted at, or deleted from, a place in the list; 0 or 4.
    short RenumberPlayers(bool deleting, int position);

protected:
    std::int16_t rounds = 0;
    std::int16_t courts = 0;
    BoxMatrix boxes;
    std::int16_t scheduleType = 0;
};
