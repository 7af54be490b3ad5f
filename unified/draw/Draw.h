#pragma once
// The tournament draw event: a knockout draw of the event's players, its
// matches kept round by round, the final last.

#include "unified/core/MyArray.h"
#include "unified/core/RXEvent.h"

#include <cstdint>
#include <string>

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
    // -1 while the seed count is left to the draw's default.
    int SeedCount() const { return seeds; }
    // Empties the draw (not the players) when there is one.
    void ClearDraw();

protected:
    char type = 'S';         // 'S' singles, 'D' doubles
    char secondLetter = 'E'; // kept from the file, used nowhere else
    std::uint32_t options = 0xFFFF;
    std::int16_t matches = 0; // draw size less one; 0 while there is no draw
    std::int16_t rounds = 0;
    std::int16_t seeds = -1;
    MyArray<TResult> matchList; // round 1 first, the final last
};
