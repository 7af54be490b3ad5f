#pragma once
// The match schedule event.

#include "unified/core/RXEvent.h"

class Matches : public RXEvent {
public:
    Matches();

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

    int CourtCount() const { return courtCount_; }

private:
    char type_ = 'S'; // 'S' singles, 'D' doubles
    int courtCount_ = 0;
};
