#include "unified/schedule/Matches.h"

Matches::Matches() {
    state = StateClean;
}

bool Matches::IsModified() const {
    return state == StateChanged;
}

void Matches::Reset() {
    players.Clear();
    playerCount = 0;
    state = StateClean;
}

void Matches::SetSingles() {
    type_ = 'S';
    state = StateChanged;
}

void Matches::SetDoubles() {
    type_ = 'D';
    state = StateChanged;
}

bool Matches::IsDoubles() const {
    return type_ == 'D';
}

// Players, files, results and the report of this kind are not built yet:
// each says so with the "not provided" code or a failure.
short Matches::AddPlayer(const ::Player&, const ::Player*) {
    return 400;
}

short Matches::PlayerDeleted(int) {
    return 0;
}

short Matches::CheckPlayersEditable() {
    return 0;
}

short Matches::Load(const std::string&) {
    return 400;
}

bool Matches::Save(const std::string&) {
    return false;
}

bool Matches::ExportPlayersVer1(const std::string&) {
    return false;
}

int Matches::ResultCount() const {
    return 0;
}

void Matches::ClearResults(bool) {
}

void Matches::PrintReport(rxReport&) {
}

std::string Matches::FileExtension() const {
    return "rxd";
}

std::string Matches::FileFilter() const {
    return "Rostrix files (*.rxd)|*.rxd|All files (*.*)|*.*";
}
