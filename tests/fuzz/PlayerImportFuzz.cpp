// The player list import on a file whose bytes are the input, through every
// kind: singles and doubles ladders and draws, and the match schedule. What
// an import leaves in an event exports, imports again the same, and in a
// ladder saves and opens again.

#include "tests/fuzz/FuzzSupport.h"
#include "tests/fuzz/LadderOracle.h"
#include "unified/draw/Draw.h"
#include "unified/ladder/Ladder.h"
#include "unified/schedule/Matches.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace {

enum class Kind { LadderSingles, LadderDoubles, DrawSingles, DrawDoubles, Schedule };

std::unique_ptr<RXEvent> MakeEvent(Kind kind) {
    std::unique_ptr<RXEvent> event;
    if (kind == Kind::LadderSingles || kind == Kind::LadderDoubles)
        event = std::make_unique<Ladder>();
    else if (kind == Kind::Schedule)
        event = std::make_unique<Matches>();
    else
        event = std::make_unique<Draw>();
    if (kind == Kind::LadderDoubles || kind == Kind::DrawDoubles)
        event->SetDoubles();
    else
        event->SetSingles();
    return event;
}

void CheckExportImportsAgain(RXEvent& event, Kind kind) {
    static const std::string first = ScratchFile("first.txt");
    static const std::string second = ScratchFile("second.txt");
    if (!event.ExportPlayers(first)) Fail("the imported players do not export");
    std::unique_ptr<RXEvent> again = MakeEvent(kind);
    const short code = again->ImportPlayers(first);
    if (code != rcOk && code != rcPlayerLimit)
        Fail("an exported list does not import again: code " + std::to_string(code));
    if (!again->ExportPlayers(second)) Fail("the players imported again do not export");
    if (ReadBytes(first) != ReadBytes(second)) Fail("the second export differs from the first");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    AnswerEveryBox();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string input = ScratchFile("input.txt");
    WriteBytes(input, data, size);
    for (Kind kind : {Kind::LadderSingles, Kind::LadderDoubles, Kind::DrawSingles,
                      Kind::DrawDoubles, Kind::Schedule}) {
        std::unique_ptr<RXEvent> event = MakeEvent(kind);
        event->ImportPlayers(input);
        // The window keeps an event that an import gave players, whatever
        // the code.
        if (event->PlayerCount() == 0) continue;
        CheckExportImportsAgain(*event, kind);
        if (auto* ladder = dynamic_cast<Ladder*>(event.get())) {
            CheckFileRoundTrip(*ladder);
            CheckOnlineRoundTrip(*ladder);
        }
    }
    return 0;
}
