// The mixer's time and the quality of its plans, over fixed seeds per shape:
// how often the same two players partner, oppose and share a box, and how
// evenly rounds and singles are spread. Two shapes have perfect plans to
// compare against: 16 players on 4 courts for 5 rounds, where no two meet
// twice, and 12 players on 3 courts for 11 rounds, where every two partner
// exactly once. The largest shapes are the sizes the assignment dialog
// takes, up to its maximum of 800 players on 255 courts for 99 rounds; the
// label carries a digest of the first seed's plan, so that two builds can
// be shown to make the same plans.
#include "platform/Clock.h"
#include "unified/schedule/Mixer.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kSeeds = 100;

struct Shape {
    int players;
    int rounds;
    std::string courtTypes; // one character per court
    int diversity = 2;      // the program's default limit
    std::string genders = " "; // repeated over the players
    bool strictlyMixed = false;
};

// What one plan shows.
struct Quality {
    int mostPartnered = 0;
    int mostOpposed = 0;
    int partnerRepeats = 0; // over every pair, partnered beyond once
    int opposeRepeats = 0;
    int meetRepeats = 0; // in one box beyond once
    int roundsSpread = 0;
    int singlesSpread = 0;
};

void BuildPlan(Matches& plan, const Shape& shape) {
    for (int i = 1; i <= shape.players; ++i) {
        ::Player player;
        player.firstName = "First" + std::to_string(i);
        player.lastName = "Last" + std::to_string(i);
        player.gender = shape.genders[static_cast<std::size_t>(i - 1) % shape.genders.size()];
        if (plan.AddPlayer(player, nullptr) != 0) std::abort();
    }
    std::vector<std::string> notations(static_cast<std::size_t>(shape.rounds) + 1);
    const std::string types = " " + shape.courtTypes;
    if (!plan.SetCourtTypes(static_cast<int>(shape.courtTypes.size()), types.c_str()) ||
        !plan.SetRounds(shape.rounds, notations.data()))
        std::abort();
}

// Rounds per player as the assignment dialog asks for them.
int TargetOf(const Matches& plan) {
    int seats = 0;
    for (int c = 1; c <= plan.CourtCount(); ++c)
        seats += plan.PlayersPerCourt(c);
    return std::min(plan.RoundCount(), seats * plan.RoundCount() / plan.PlayerCount());
}

// FNV-1a over every position of the grid.
std::string Digest(const Matches& plan) {
    std::uint64_t hash = 14695981039346656037ull;
    for (int r = 1; r <= plan.RoundCount(); ++r)
        for (int c = 1; c <= plan.CourtCount(); ++c)
            for (int p = 1; p <= 4; ++p) {
                const int x = plan.GetSlot(r, c, p);
                for (int byte : {x & 0xFF, (x >> 8) & 0xFF})
                    hash = (hash ^ static_cast<std::uint64_t>(byte)) * 1099511628211ull;
            }
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    return hex;
}

Quality Measure(const Matches& plan) {
    const int n = plan.PlayerCount();
    std::vector<int> partners((n + 1) * (n + 1)), opposed((n + 1) * (n + 1)),
        met((n + 1) * (n + 1));
    std::vector<int> rounds(n + 1), singles(n + 1);
    const auto pair = [&](std::vector<int>& counts, int a, int b) {
        if (a != 0 && b != 0) ++counts[std::min(a, b) * (n + 1) + std::max(a, b)];
    };
    for (int r = 1; r <= plan.RoundCount(); ++r)
        for (int c = 1; c <= plan.CourtCount(); ++c) {
            int p[5];
            for (int i = 1; i <= 4; ++i)
                p[i] = plan.GetSlot(r, c, i);
            const bool single = p[2] == 0 && p[4] == 0;
            for (int i = 1; i <= 4; ++i) {
                if (p[i] == 0) continue;
                ++rounds[p[i]];
                if (single) ++singles[p[i]];
                for (int j = i + 1; j <= 4; ++j)
                    pair(met, p[i], p[j]);
            }
            pair(partners, p[1], p[2]);
            pair(partners, p[3], p[4]);
            for (int i : {1, 2})
                for (int j : {3, 4})
                    pair(opposed, p[i], p[j]);
        }
    Quality q;
    for (int a = 1; a <= n; ++a)
        for (int b = a + 1; b <= n; ++b) {
            const std::size_t k = static_cast<std::size_t>(a) * (n + 1) + b;
            q.mostPartnered = std::max(q.mostPartnered, partners[k]);
            q.mostOpposed = std::max(q.mostOpposed, opposed[k]);
            q.partnerRepeats += std::max(0, partners[k] - 1);
            q.opposeRepeats += std::max(0, opposed[k] - 1);
            q.meetRepeats += std::max(0, met[k] - 1);
        }
    const auto spread = [&](const std::vector<int>& counts) {
        const auto [least, most] = std::minmax_element(counts.begin() + 1, counts.end());
        return *most - *least;
    };
    q.roundsSpread = spread(rounds);
    q.singlesSpread = spread(singles);
    return q;
}

// One run per seed; the counters show the worst over the seeds and the mean
// of the sums, and how many plans reached the perfect one where there is one.
void BM_Mixer(benchmark::State& state, Shape shape) {
    Quality worst;
    double partnerRepeats = 0, opposeRepeats = 0, meetRepeats = 0;
    int runs = 0, noMeetingTwice = 0, partnersOnce = 0, finalPenalty = 0;
    for (auto _ : state) {
        state.PauseTiming();
        Matches plan;
        BuildPlan(plan, shape);
        plan.SetDiversityLimit(shape.diversity);
        if (shape.strictlyMixed) plan.SetOptions(StrictlyMixed);
        SetFixedClock(1000 + runs);
        const int target = TargetOf(plan);
        state.ResumeTiming();
        int initial = 0, final = 0;
        if (RunMixer(plan, target, nullptr, initial, final) != 0) std::abort();
        state.PauseTiming();
        if (runs == 0) state.SetLabel("plan " + Digest(plan));
        const Quality q = Measure(plan);
        worst.mostPartnered = std::max(worst.mostPartnered, q.mostPartnered);
        worst.mostOpposed = std::max(worst.mostOpposed, q.mostOpposed);
        worst.roundsSpread = std::max(worst.roundsSpread, q.roundsSpread);
        worst.singlesSpread = std::max(worst.singlesSpread, q.singlesSpread);
        partnerRepeats += q.partnerRepeats;
        opposeRepeats += q.opposeRepeats;
        meetRepeats += q.meetRepeats;
        noMeetingTwice += q.meetRepeats == 0;
        partnersOnce += q.mostPartnered == 1 && q.partnerRepeats == 0;
        finalPenalty = std::max(finalPenalty, final);
        ++runs;
        state.ResumeTiming();
    }
    ClearFixedClock();
    state.counters["mostPartnered"] = worst.mostPartnered;
    state.counters["mostOpposed"] = worst.mostOpposed;
    state.counters["partnerRepeats"] = partnerRepeats / runs;
    state.counters["opposeRepeats"] = opposeRepeats / runs;
    state.counters["meetRepeats"] = meetRepeats / runs;
    state.counters["roundsSpread"] = worst.roundsSpread;
    state.counters["singlesSpread"] = worst.singlesSpread;
    state.counters["noMeetingTwice"] = noMeetingTwice;
    state.counters["partnersOnce"] = partnersOnce;
    state.counters["worstPenalty"] = finalPenalty;
}

} // namespace

BENCHMARK_CAPTURE(BM_Mixer, 12_on_3_for_11, Shape{12, 11, "DDD"})
    ->Iterations(kSeeds)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Mixer, 16_on_4_for_5, Shape{16, 5, "DDDD"})
    ->Iterations(kSeeds)
    ->Unit(benchmark::kMillisecond);
// The two shapes with a perfect plan again, with the diversity limit at 1.
BENCHMARK_CAPTURE(BM_Mixer, 12_on_3_for_11_diversity_1, Shape{12, 11, "DDD", 1})
    ->Iterations(kSeeds)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Mixer, 16_on_4_for_5_diversity_1, Shape{16, 5, "DDDD", 1})
    ->Iterations(kSeeds)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Mixer, 24_on_6_for_12, Shape{24, 12, std::string(6, 'D')})
    ->Iterations(kSeeds)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Mixer, 40_on_10_for_20, Shape{40, 20, std::string(10, 'D')})
    ->Iterations(kSeeds)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Mixer, 100_on_25_for_20, Shape{100, 20, std::string(25, 'D')})
    ->Iterations(kSeeds)
    ->Unit(benchmark::kMillisecond);
// A season for a large club, and the sizes the dialog takes at most.
BENCHMARK_CAPTURE(BM_Mixer, 100_on_25_for_99, Shape{100, 99, std::string(25, 'D')})
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Mixer, 200_on_50_for_99, Shape{200, 99, std::string(50, 'D')})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Mixer, 400_on_100_for_99, Shape{400, 99, std::string(100, 'D')})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Mixer, 800_on_200_for_20, Shape{800, 20, std::string(200, 'D')})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Mixer, 800_on_200_for_99, Shape{800, 99, std::string(200, 'D')})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Mixer, 800_on_255_for_99, Shape{800, 99, std::string(255, 'D')})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
// Twice as many men as women, 534 and 266, at the largest doubles size:
// without and with strictly mixed boxes, the women then setting how often
// the men can play.
BENCHMARK_CAPTURE(BM_Mixer, 800_on_200_for_99_two_men_to_a_woman,
                  Shape{800, 99, std::string(200, 'D'), 2, "MMF"})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Mixer, 800_on_200_for_99_two_men_to_a_woman_strictly_mixed,
                  Shape{800, 99, std::string(200, 'D'), 2, "MMF", true})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
// Two singles and four doubles courts for 22 players: two rest each round.
BENCHMARK_CAPTURE(BM_Mixer, 22_on_2S_4D_for_10, Shape{22, 10, "SSDDDD"})
    ->Iterations(kSeeds)
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
