// The plans the mixer makes, box for box, under fixed seeds. Each folder
// under mixer/ is one shape:
//   shape      players (and the genders, a pattern repeated over them),
//              court types, rounds, target, options, disparity threshold,
//              diversity limit and the seeds of the clock
//   plans.txt  per seed the mixer's code and one line per round: each box
//              as "1,2/3,4" (positions 1 and 2 against 3 and 4), "-" when
//              empty; a plan of more than 16 courts keeps a digest of each
//              round's line instead
// ROSTRIX_UPDATE_GOLDEN=1 rewrites plans.txt from what the mixer makes.
#include "platform/Clock.h"
#include "tests/support/Golden.h"
#include "tests/support/Players.h"
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

struct MixerShape {
    int players = 0;
    std::string genders = " ";
    std::string courtTypes;
    int rounds = 0;
    int target = 0;
    std::uint32_t setOptions = 0;
    std::uint32_t clearOptions = 0;
    int threshold = 100;
    int diversity = 2;
    std::vector<unsigned> seeds;
};

std::uint32_t OptionNamed(const std::string& name) {
    if (name == "StrictlyMixed") return StrictlyMixed;
    if (name == "Gaps") return Gaps;
    if (name == "GenderImbal") return GenderImbal;
    if (name == "SkillDisparity") return SkillDisparity;
    ADD_FAILURE() << "no option " << name;
    return 0;
}

MixerShape ReadShape(const std::string& text) {
    MixerShape shape;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        std::string key;
        words >> key;
        if (key == "players") {
            words >> shape.players >> shape.genders;
            if (shape.genders == "-") shape.genders = " ";
        } else if (key == "courts") {
            words >> shape.courtTypes;
        } else if (key == "rounds") {
            words >> shape.rounds;
        } else if (key == "target") {
            words >> shape.target;
        } else if (key == "options") {
            for (std::string option; words >> option;)
                (option[0] == '+' ? shape.setOptions : shape.clearOptions) |=
                    OptionNamed(option.substr(1));
        } else if (key == "threshold") {
            words >> shape.threshold;
        } else if (key == "diversity") {
            words >> shape.diversity;
        } else if (key == "seeds") {
            for (unsigned seed; words >> seed;)
                shape.seeds.push_back(seed);
        } else if (!key.empty()) {
            ADD_FAILURE() << "unknown line: " << line;
        }
    }
    return shape;
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
std::vector<std::string> RunShape(const MixerShape& shape, unsigned seed,
                                  std::vector<std::string>& roundTexts) {
    Matches plan;
    for (int i = 1; i <= shape.players; ++i) {
        Player player = Named("P" + std::to_string(i), "X");
        player.gender = shape.genders[static_cast<std::size_t>(i - 1) % shape.genders.size()];
        EXPECT_EQ(plan.AddPlayer(player, nullptr), 0);
    }
    const std::string types = " " + shape.courtTypes;
    std::vector<std::string> notations(static_cast<std::size_t>(shape.rounds) + 1);
    EXPECT_TRUE(plan.SetCourtTypes(static_cast<int>(shape.courtTypes.size()), types.c_str()));
    EXPECT_TRUE(plan.SetRounds(shape.rounds, notations.data()));
    plan.SetOptions(shape.setOptions);
    plan.ClearOptions(shape.clearOptions);
    plan.SetDisparityThreshold(shape.threshold);
    plan.SetDiversityLimit(shape.diversity);
    SetFixedClock(seed);
    int initial = 0;
    int final = 0;
    const short code = RunMixer(plan, shape.target, nullptr, initial, final);
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
    const MixerShape shape = ReadShape(ReadFile(In("shape")));
    ASSERT_FALSE(shape.seeds.empty());
    const bool update = std::getenv("ROSTRIX_UPDATE_GOLDEN") != nullptr;
    std::istringstream recorded(update ? std::string() : ReadFile(In("plans.txt")));
    std::string expected;
    std::string made;
    bool differs = false;
    for (unsigned seed : shape.seeds) {
        std::vector<std::string> roundTexts;
        const std::vector<std::string> lines = RunShape(shape, seed, roundTexts);
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
