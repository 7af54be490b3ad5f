// Posting and issue generation on a full-size ladder: 800 players, 1,500
// pending results, inactive players to drop.
#include "tests/support/FullEvents.h"
#include "unified/ladder/Ladder.h"

#include <benchmark/benchmark.h>

namespace {

void Run(benchmark::State& state, bool points, bool generate) {
    for (auto _ : state) {
        state.PauseTiming();
        Ladder ladder;
        BuildFullLadder(ladder, points);
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
