// The ladder read from the online service's text, on any bytes. A ladder
// that loads keeps the round-trip rule through the online text and through
// a file, and through the report, posting and issuing.

#include "tests/fuzz/LadderOracle.h"
#include "unified/ladder/Ladder.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    Ladder ladder;
    if (ladder.LoadFromText(text) != rcOk) return 0;
    CheckOnlineRoundTrip(ladder);
    CheckFileRoundTrip(ladder);
    CheckLadderCommands(ladder);
    return 0;
}
