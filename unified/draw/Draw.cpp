#include "unified/draw/Draw.h"

Draw::Draw() {
    keepsGender = false; // a draw's files and lists carry no gender
    state = StateClean;
}

bool Draw::IsModified() const {
    return state == StateChanged;
}

void Draw::Reset() {
    players.Clear();
    playerCount = 0;
    state = StateClean;
}

void Draw::SetSingles() {
    type_ = 'S';
    state = StateChanged;
}

void Draw::SetDoubles() {
    type_ = 'D';
    state = StateChanged;
}

bool Draw::IsDoubles() const {
    return type_ == 'D';
}

// Players, files, results and the report of this kind are not built yet:
// each says so with the "not provided" code or a failure.
short Draw::AddPlayer(const ::Player&, const ::Player*) {
    return 400;
}

short Draw::PlayerDeleted(int) {
    return 0;
}

short Draw::CheckPlayersEditable() {
    return 0;
}

short Draw::Load(const std::string&) {
    return 400;
}

bool Draw::Save(const std::string&) {
    return false;
}

bool Draw::ExportPlayersVer1(const std::string&) {
    return false;
}

int Draw::ResultCount() const {
    return 0;
}

void Draw::ClearResults(bool) {
}

void Draw::PrintReport(rxReport&) {
}

std::string Draw::FileExtension() const {
    return "trn";
}

std::string Draw::FileFilter() const {
    return "Tournament files (*.trn)|*.trn|All files (*.*)|*.*";
}
