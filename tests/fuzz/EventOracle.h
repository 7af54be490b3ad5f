#pragma once
// The rule every event file keeps, as a fuzzing oracle: an event that loaded
// saves, opens again with code 0 and the same data, and saves again to the
// same bytes. A broken rule aborts the run. The kinds' oracles say what an
// event holds with the pieces below.

#include "tests/fuzz/FuzzSupport.h"
#include "unified/core/RXEvent.h"
#include "unified/core/rxreport.h"

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

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

// Loads the bytes as a file into the event; when it loads, the round-trip
// rule. The report is written whatever the load gave, since the window keeps
// what a failed load read.
template <typename Event>
void CheckEventFile(Event& event, const std::uint8_t* data, std::size_t size,
                    std::string (*contents)(const Event&)) {
    static const std::string input = ScratchFile("input." + event.FileExtension());
    WriteBytes(input, data, size);
    if (event.Load(input) == rcOk) CheckEventFileRoundTrip(event, contents);
    std::vector<std::string> lines;
    rxReport report(lines);
    event.PrintReport(report);
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
