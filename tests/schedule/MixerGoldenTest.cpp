// The plans the mixer makes, box for box, under fixed seeds. Each folder
// under mixer/ is one shape:
//   plan       the plan's script (see PlanScript.h): options, disparity
//              threshold, diversity limit, players and their genders,
//              courts and rounds; then "target|n", the rounds each player
//              is to play, and "seeds|a|b ...", the clock's seeds
//   plans.txt  per seed the mixer's code and one line per round: each box
//              as "1,2/3,4" (positions 1 and 2 against 3 and 4), "-" when
//              empty; a plan of more than 16 courts keeps a digest of each
//              round's line instead
// ROSTRIX_UPDATE_GOLDEN=1 rewrites plans.txt from what the mixer makes.
#include "platform/Clock.h"
#include "tests/schedule/PlanScript.h"
#include "tests/support/Scratch.h"
#include "unified/schedule/Mixer.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <sstream>

namespace {

const std::string kCases = std::string(SCHEDULE_TEST_DIR) + "/mixer";
constexpr int kLargestFullPlan = 16; // courts

// A case's script: the plan's lines, and the run's.
struct MixerCase {
    std::string plan;
    int target = 0;
    std::vector<unsigned> seeds;
};

MixerCase ReadCase(const std::string& script) {
    MixerCase run;
    std::istringstream lines(script);
    for (std::string text; std::getline(lines, text);) {
        const ScriptLine line(text);
        if (line.Op() == "target") {
            run.target = line.Num(1);
        } else if (line.Op() == "seeds") {
            for (std::size_t i = 1; i < line.FieldCount(); ++i)
                run.seeds.push_back(static_cast<unsigned>(line.Num(i)));
        } else {
            run.plan += text + "\n";
        }
    }
    return run;
}

std::string BoxText(const Matches& plan, int r, int c) {
    int p[4];
    for (int i = 0; i < 4; ++i)
        p[i] = plan.GetSlot(r, c, i + 1);
    if (p[0] == 0 && p[1] == 0 && p[2] == 0 && p[3] == 0) return "-";
    return std::to_string(p[0]) + "," + std::to_string(p[1]) + "/" + std::to_string(p[2]) + "," +
           std::to_string(p[3]);
}

std::string RoundText(const Matches& plan, int r) {
    std::string line;
    for (int c = 1; c <= plan.CourtCount(); ++c)
        line += (c > 1 ? " " : "") + BoxText(plan, r, c);
    return line;
}

std::string Digest(const std::string& text) {
    std::uint64_t hash = 14695981039346656037ull; // FNV-1a
    for (unsigned char ch : text)
        hash = (hash ^ ch) * 1099511628211ull;
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    return std::string("#") + hex;
}

// One run: the code, then each round as a line, or its digest.
std::vector<std::string> RunShape(const MixerCase& run, unsigned seed,
                                  std::vector<std::string>& roundTexts) {
    ScriptedPlan plan;
    PlayPlanScript(run.plan, plan);
    SetFixedClock(seed);
    int initial = 0;
    int final = 0;
    const short code = RunMixer(plan, run.target, nullptr, initial, final);
    ClearFixedClock();
    std::vector<std::string> lines{"seed " + std::to_string(seed) + ": code " +
                                   std::to_string(code)};
    roundTexts.assign(1, "");
    for (int r = 1; r <= plan.RoundCount(); ++r) {
        roundTexts.push_back(RoundText(plan, r));
        const bool full = plan.CourtCount() <= kLargestFullPlan;
        lines.push_back(std::to_string(r) + ": " +
                        (full ? roundTexts.back() : Digest(roundTexts.back())));
    }
    return lines;
}

// Where two round lines part: the first court whose box differs.
std::string FirstDifference(const std::string& expected, const std::string& actual) {
    std::istringstream a(expected);
    std::istringstream b(actual);
    std::string x;
    std::string y;
    a >> x; // the round's number
    b >> y;
    for (int c = 1;; ++c) {
        const bool moreA = static_cast<bool>(a >> x);
        const bool moreB = static_cast<bool>(b >> y);
        if (!moreA && !moreB) return "no box";
        if (!moreA || !moreB || x != y)
            return "court " + std::to_string(c) + ": expected " + (moreA ? x : "nothing") +
                   ", made " + (moreB ? y : "nothing");
    }
}

class MixerGolden : public testing::TestWithParam<std::string> {
protected:
    std::string In(const std::string& name) const { return kCases + "/" + GetParam() + "/" + name; }
};

TEST_P(MixerGolden, PlansAreTheRecordedOnes) {
    const MixerCase run = ReadCase(ReadFile(In("plan")));
    ASSERT_FALSE(run.seeds.empty());
    const bool update = std::getenv("ROSTRIX_UPDATE_GOLDEN") != nullptr;
    std::istringstream recorded(update ? std::string() : ReadFile(In("plans.txt")));
    std::string expected;
    std::string made;
    bool differs = false;
    for (unsigned seed : run.seeds) {
        std::vector<std::string> roundTexts;
        const std::vector<std::string> lines = RunShape(run, seed, roundTexts);
        for (std::size_t i = 0; i < lines.size(); ++i) {
            made += lines[i] + "\n";
            if (differs || update) continue;
            if (!std::getline(recorded, expected)) {
                ADD_FAILURE() << GetParam() << ", seed " << seed << ": no line recorded for\n"
                              << lines[i];
                differs = true;
            } else if (expected != lines[i]) {
                std::string where = lines[i];
                if (i > 0 && expected.find('#') == std::string::npos)
                    where = FirstDifference(expected, lines[i]);
                else if (i > 0)
                    where = "the round now reads " + roundTexts[i];
                ADD_FAILURE() << GetParam() << ", seed " << seed
                              << (i == 0 ? std::string(", the code")
                                         : ", round " + std::to_string(i))
                              << " differs: " << where << "\nrecorded: " << expected
                              << "\nmade:     " << lines[i];
                differs = true;
            }
        }
    }
    if (update)
        WriteFile(In("plans.txt"), made);
    else if (!differs && std::getline(recorded, expected))
        ADD_FAILURE() << GetParam() << ": more lines recorded, from " << expected;
}

INSTANTIATE_TEST_SUITE_P(Shapes, MixerGolden, testing::ValuesIn(GoldenCases(kCases)),
                         GoldenCaseName);

} // namespace
