#include "unified/core/RXEvent.h"

#include "unified/core/rxreport.h"

#include <algorithm>

RXEvent* CurrentEvent = nullptr;
Ladder* CurrentLadder = nullptr;
std::string ErrorLocation;

void SetErrorLocation(std::source_location where) {
    ErrorLocation = " at " + std::string(where.file_name()) + " " + std::to_string(where.line());
}

namespace {
const std::string kNoText;
}

RXEvent::RXEvent() = default;

RXEvent::~RXEvent() = default;

void RXEvent::DebugDump(const std::string&) {
}

short RXEvent::UpdatePlayer(const std::string&, const ::Player&, const ::Player*) {
    SetErrorLocation();
    return 400;
}

void RXEvent::SaveToText(std::string& text) {
    text = "NOT IMPLEMENTED";
}

short RXEvent::LoadFromText(const std::string&) {
    return 400;
}

bool RXEvent::ExportPlayers(const std::string&) {
    return false;
}

int RXEvent::RoundCount() const {
    return 0;
}

void RXEvent::EnterManualMode() {
    manualMode = true;
}

void RXEvent::NameColumnWidths(rxReport& report, int& first, int& last, int& total) const {
    const int w = report.TextWidth("n");
    first = 2 * w;
    last = 2 * w;
    for (int n = 1; n <= playerCount; ++n) {
        const ::Player* player = Player(n);
        if (player == nullptr) continue;
        first = std::max(first, report.TextWidth(player->firstName));
        last = std::max(last, report.TextWidth(player->lastName));
    }
    total = first + last + w;
}

void RXEvent::SetPrintOptions(const PrintOptions& options) {
    printOptions = options;
    state = StateChanged;
}

void RXEvent::SetMargins(float left, float right, float top, float bottom) {
    printOptions.leftMargin = left;
    printOptions.rightMargin = right;
    printOptions.topMargin = top;
    printOptions.bottomMargin = bottom;
    state = StateChanged;
}

::Player* RXEvent::Player(int n) {
    return n > playerCount ? nullptr : players.Item(n);
}

const ::Player* RXEvent::Player(int n) const {
    return n > playerCount ? nullptr : players.Item(n);
}

void RXEvent::SetHeading(const std::string& text) {
    reportTexts.heading = text;
    state = StateChanged;
}

const std::string& RXEvent::Note(int n) const {
    return n >= 1 && n <= 5 ? reportTexts.notes[n - 1] : kNoText;
}

void RXEvent::SetNote(int n, const std::string& text) {
    if (n >= 1 && n <= 5) reportTexts.notes[n - 1] = text;
    state = StateChanged;
}

void RXEvent::SetEmailSubject(const std::string& text) {
    reportTexts.emailSubject = text;
    state = StateChanged;
}

void RXEvent::ResetTexts() {
    reportTexts = ReportOpts();
}
