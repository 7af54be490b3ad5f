// The ladder reader on a file whose bytes are the input: the tree form and
// the older "*2.0" and "*1.0" line forms, told apart by the first line. A
// ladder that loads keeps the round-trip rule through a file and through
// the online text, and through the report, posting and issuing.

#include "tests/fuzz/FuzzSupport.h"
#include "tests/fuzz/LadderOracle.h"
#include "unified/ladder/Ladder.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string input = ScratchFile("input.lad");
    WriteBytes(input, data, size);
    Ladder ladder;
    if (ladder.Load(input) != rcOk) return 0;
    CheckFileRoundTrip(ladder);
    CheckOnlineRoundTrip(ladder);
    CheckLadderCommands(ladder);
    return 0;
}
