#include "unified/ladder/Ladder.h"

Ladder::Ladder() {
    state = StateClean;
}

bool Ladder::IsModified() const {
    return state == StateChanged;
}

void Ladder::Reset() {
    players.Clear();
    playerCount = 0;
    state = StateClean;
}

void Ladder::SetSingles() {
    type_ = 'S';
    state = StateChanged;
}

void Ladder::SetDoubles() {
    type_ = 'D';
    state = StateChanged;
}

bool Ladder::IsDoubles() const {
    return type_ == 'D';
}

// Players, files, results and the report of this kind are not built yet:
// each says so with the "not provided" code or a failure.
short Ladder::AddPlayer(const ::Player&, const ::Player*) {
    return 400;
}

short Ladder::PlayerDeleted(int) {
    return 0;
}

short Ladder::CheckPlayersEditable() {
    return 0;
}

short Ladder::Load(const std::string&) {
    return 400;
}

bool Ladder::Save(const std::string&) {
    return false;
}

bool Ladder::ExportPlayersVer1(const std::string&) {
    return false;
}

int Ladder::ResultCount() const {
    return 0;
}

void Ladder::ClearResults(bool) {
}

void Ladder::PrintReport(rxReport&) {
}

std::string Ladder::FileExtension() const {
    return "lad";
}

std::string Ladder::FileFilter() const {
    return "Ladder files (*.lad)|*.lad|All files (*.*)|*.*";
}

void Ladder::SetLadderSystem(std::uint8_t system) {
    ladderSystem_ = system;
    state = StateChanged;
}

int Ladder::PendingResultCount() const {
    return 0; // results are not kept yet
}
