#pragma once
// The challenge ladder event.

#include "unified/core/RXEvent.h"

class Ladder : public RXEvent {
public:
    Ladder();

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
    void ClearResults(bool initialisePoints) override;
    void PrintReport(rxReport& report) override;
    std::string FileExtension() const override;
    std::string FileFilter() const override;

    bool IsPointsSystem() const { return ladderSystem_ == 1; }
    void SetLadderSystem(std::uint8_t system);
    // The number of the last generated issue.
    int IssueNumber() const { return issueNumber_; }
    int PendingResultCount() const;

private:
    char type_ = 'S'; // 'S' singles, 'D' doubles

    std::uint8_t ladderSystem_ = 0; // 0 traditional, 1 points
    int issueNumber_ = 0;
};
