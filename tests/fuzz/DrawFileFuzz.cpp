// The tournament reader on a file whose bytes are the input: the tree form
// and the older "*1.0" line form, told apart by the first line. A draw that
// loads keeps the round-trip rule, and the report is written after any load.

#include "tests/fuzz/EventOracle.h"
#include "tests/fuzz/FuzzSupport.h"
#include "unified/draw/Draw.h"

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

namespace {

// What the draw holds that a user sees: its texts and options, its players
// (without genders, which a draw does not keep) and its matches round by
// round.
std::string Contents(const Draw& draw) {
    std::ostringstream out;
    out << ReportTextsAndPrintOptions(draw) << Quoted(std::string(1, draw.Type())) << " manual "
        << draw.IsManualMode() << " byes to seeds " << draw.HasOption(Draw::ByesToSeeded)
        << " seeds " << draw.SeedCount() << " rounds " << draw.RoundCount() << " matches "
        << draw.ResultCount() << '\n';
    for (int n = 1; n <= draw.PlayerCount(); ++n) {
        const Player& p = *draw.Player(n);
        out << QuotedTexts(p);
        if (p.partner) out << " partner " << QuotedTexts(*p.partner);
        out << '\n';
    }
    for (int r = 1; r <= draw.RoundCount(); ++r)
        for (int m = 1; m <= draw.MatchesInRound(r); ++m) {
            const TResult match = draw.GetMatch(r, m);
            out << match.first << ' ' << match.second << ' ' << match.winner << ' '
                << Quoted(match.dateTime) << Quoted(match.location) << Quoted(match.score) << '\n';
        }
    return out.str();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Draw draw;
    CheckEventFile(draw, data, size, Contents);
    return 0;
}
