// Posting and issue generation on a full-size ladder: 800 players, 1,500
// pending results, inactive players to drop.
#include "unified/ladder/Ladder.h"

#include <benchmark/benchmark.h>
#include <random>
#include <string>

namespace {

std::string Name(int i) {
    return "Player" + std::to_string(i) + ", F";
}

// The ladder before each timed run. Results are played in the top part of
// the ladder, mostly by a lower player beating one a few places above;
// the bottom part sits idle for 0 to 8 periods, so that about a third of
// it drops when an issue is generated.
void Build(Ladder& ladder, bool points) {
    constexpr int kPlayers = 800;
    constexpr int kActive = 500;
    if (points) {
        ladder.SetLadderSystem(1);
        ladder.SetPointsOptions(3, 1, 2, 2, 0.5f, 0.25f, 1.0f);
    }
    ladder.SetPenaltyStart(4);
    ladder.SetPenaltyCycle(2);
    for (int i = 1; i <= kPlayers; ++i) {
        ::Player p;
        p.firstName = "F";
        p.lastName = "Player" + std::to_string(i);
        ladder.AddPlayer(p, nullptr);
        ladder.Player(i)->inactivity = i > kActive ? i % 9 : 0;
    }
    std::mt19937 rng(7);
    for (int n = 0; n < MaxLadderResults; ++n) {
        const int loser = 1 + static_cast<int>(rng() % (kActive - 5));
        const int winner = loser + 1 + static_cast<int>(rng() % 5);
        const bool upset = rng() % 4 != 0;
        const std::string date =
            std::to_string(1 + rng() % 12) + "/" + std::to_string(1 + rng() % 28) + "/09";
        ladder.EnterResult(date, Name(upset ? winner : loser), Name(upset ? loser : winner),
                           "6-3, 4-6, 7-6(5)", rng() % 20 == 0);
    }
}

void Run(benchmark::State& state, bool points, bool generate) {
    for (auto _ : state) {
        state.PauseTiming();
        Ladder ladder;
        Build(ladder, points);
        state.ResumeTiming();
        benchmark::DoNotOptimize(generate ? ladder.GenerateIssue() : ladder.PostResults(false));
    }
}

void BM_PostTraditional(benchmark::State& state) {
    Run(state, false, false);
}
void BM_PostPoints(benchmark::State& state) {
    Run(state, true, false);
}
void BM_GenerateIssueTraditional(benchmark::State& state) {
    Run(state, false, true);
}
void BM_GenerateIssuePoints(benchmark::State& state) {
    Run(state, true, true);
}

} // namespace

#define LADDER_BENCH(fn)                                                                           \
    BENCHMARK(fn)                                                                                  \
        ->Unit(benchmark::kMillisecond)                                                            \
        ->Iterations(20)                                                                           \
        ->Repetitions(5)                                                                           \
        ->ReportAggregatesOnly(true)
LADDER_BENCH(BM_PostTraditional);
LADDER_BENCH(BM_PostPoints);
LADDER_BENCH(BM_GenerateIssueTraditional);
LADDER_BENCH(BM_GenerateIssuePoints);

BENCHMARK_MAIN();
