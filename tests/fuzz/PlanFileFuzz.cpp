// The match plan reader on a file whose bytes are the input: the tree form
// and the older "*1.0" line form, told apart by the first line. A plan that
// loads keeps the round-trip rule, and the report, the warnings and the
// match analysis run after any load.

#include "tests/fuzz/EventOracle.h"
#include "tests/fuzz/FuzzSupport.h"
#include "unified/schedule/Matches.h"

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

namespace {

// What the plan holds that a user sees: its texts and settings, its courts
// and rounds, its players with their genders, and every box.
std::string Contents(const Matches& plan) {
    std::ostringstream out;
    out << ReportTextsAndPrintOptions(plan) << "type " << plan.ScheduleType() << " options "
        << plan.Options() << " disparity " << plan.DisparityThreshold() << " diversity "
        << plan.DiversityLimit() << " courts ";
    for (int c = 1; c <= plan.CourtCount(); ++c)
        out << plan.CourtType(c);
    out << '\n';
    for (int r = 1; r <= plan.RoundCount(); ++r)
        out << Quoted(plan.RoundName(r));
    out << '\n';
    for (int n = 1; n <= plan.PlayerCount(); ++n) {
        const Player& p = *plan.Player(n);
        out << QuotedTexts(p) << " g" << int(p.gender);
        if (p.partner)
            out << " partner " << QuotedTexts(*p.partner) << " g" << int(p.partner->gender);
        out << '\n';
    }
    for (int r = 1; r <= plan.RoundCount(); ++r) {
        for (int c = 1; c <= plan.CourtCount(); ++c)
            for (int p = 1; p <= 4; ++p)
                out << plan.GetSlot(r, c, p) << (p < 4 ? ' ' : '|');
        out << '\n';
    }
    return out.str();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    AnswerEveryBox();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Matches plan;
    CheckEventFile(plan, data, size, Contents);
    std::vector<std::string> summary, details, analysis;
    plan.CheckComplete();
    plan.CheckWarnings(summary, details);
    plan.WriteAnalysis(analysis, true);
    return 0;
}
