#pragma once
// The rule every event file keeps, as a fuzzing oracle: an event that loaded
// saves, opens again with code 0 and the same data, and saves again to the
// same bytes. A broken rule aborts the run. The kinds' oracles say what an
// event holds with the pieces below.

#include "tests/fuzz/FuzzSupport.h"
#include "unified/core/RXEvent.h"

#include <sstream>
#include <string>

// `contents` gives what an event of the kind holds that a user sees, one
// field after another, so that data that moved or changed on reopening shows
// even where the saved bytes come out the same.
template <typename Event>
void CheckEventFileRoundTrip(Event& event, std::string (*contents)(const Event&)) {
    static const std::string first = ScratchFile("first." + event.FileExtension());
    static const std::string second = ScratchFile("second." + event.FileExtension());
    if (!event.Save(first)) Fail("an event that loaded does not save");
    Event again;
    const short code = again.Load(first);
    if (code != rcOk) Fail("the saved event does not open again: code " + std::to_string(code));
    CheckSameContents(contents(event), contents(again), "the reopened event holds other data");
    if (!again.Save(second)) Fail("the reopened event does not save");
    if (ReadBytes(first) != ReadBytes(second)) Fail("the second save differs from the first");
}

// A record's 13 texts, quoted one after another.
inline std::string QuotedTexts(const Player& p) {
    std::string out;
    for (const std::string* text : PlayerTexts(p))
        out += Quoted(*text);
    return out;
}

// The heading, the notes and the subject, quoted, and the print options: what
// every kind keeps besides its players and its own data.
inline std::string ReportTextsAndPrintOptions(const RXEvent& event) {
    std::ostringstream out;
    out << Quoted(event.Heading());
    for (int n = 1; n <= 5; ++n)
        out << Quoted(event.Note(n));
    const PrintOptions& print = event.PrintOpts();
    out << Quoted(event.EmailSubject()) << '\n'
        << print.leftMargin << ' ' << print.rightMargin << ' ' << print.topMargin << ' '
        << print.bottomMargin << ' ' << print.playersPerPage << ' ' << print.roundsPerPage << ' '
        << int(print.orientation) << ' ' << print.fontSize << '\n';
    return out.str();
}
