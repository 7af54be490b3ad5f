// Large match plans' files: 100, 200, 400 and 800 players on a doubles court
// for every four of them for 99 rounds, every box full, saved and loaded. The
// times grow with the size of the file, about linearly.
#include "bench/ScratchFolder.h"
#include "unified/schedule/Matches.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <numeric>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kRounds = 99;

const std::string& Folder() {
    return ScratchFolder("plan");
}

void BuildPlan(Matches& plan, int players) {
    const int courts = players / 4;
    for (int p = 1; p <= players; ++p) {
        ::Player player;
        player.firstName = "First" + std::to_string(p);
        player.lastName = "Last" + std::to_string(p);
        player.email = "player" + std::to_string(p) + "@example.org";
        player.gender = p % 2 == 0 ? 'F' : 'M';
        if (plan.AddPlayer(player, nullptr) != 0) std::abort();
    }
    std::vector<std::string> notations(kRounds + 1);
    for (int r = 1; r <= kRounds; ++r)
        notations[r] = "Round " + std::to_string(r);
    if (!plan.SetCourts(courts, 'D') || !plan.SetRounds(kRounds, notations.data())) std::abort();
    std::mt19937 random(7);
    std::vector<int> order(static_cast<std::size_t>(players));
    for (int r = 1; r <= kRounds; ++r) {
        std::iota(order.begin(), order.end(), 1);
        std::shuffle(order.begin(), order.end(), random);
        for (int c = 1; c <= courts; ++c)
            for (int p = 1; p <= 4; ++p)
                if (plan.SetSlot(r, c, p, order[(c - 1) * 4 + p - 1]) != 0) std::abort();
    }
}

// The plan of that many players, saved once.
std::string SavedFile(int players) {
    const std::string file = Folder() + "/large" + std::to_string(players) + ".rxd";
    if (!std::filesystem::exists(file)) {
        Matches plan;
        plan.ClearOptions(StrictlyMixed);
        BuildPlan(plan, players);
        if (!plan.Save(file)) std::abort();
    }
    return file;
}

void BM_SavePlan(benchmark::State& state) {
    Matches plan;
    if (plan.Load(SavedFile(static_cast<int>(state.range(0)))) != 0) std::abort();
    const std::string file = Folder() + "/saved.rxd";
    for (auto _ : state)
        if (!plan.Save(file)) std::abort();
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(file));
}

void BM_LoadPlan(benchmark::State& state) {
    const int players = static_cast<int>(state.range(0));
    const std::string file = SavedFile(players);
    for (auto _ : state) {
        Matches plan;
        if (plan.Load(file) != 0) std::abort();
        benchmark::DoNotOptimize(plan.GetSlot(kRounds, players / 4, 4));
    }
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(file));
    // Steady while the time grows linearly with the plan.
    state.counters["per_box"] =
        benchmark::Counter(kRounds * players / 4.0, benchmark::Counter::kIsIterationInvariantRate |
                                                        benchmark::Counter::kInvert);
}

} // namespace

#define PLAN_BENCH(fn)                                                                             \
    BENCHMARK(fn)                                                                                  \
        ->Unit(benchmark::kMillisecond)                                                            \
        ->Arg(100)                                                                                 \
        ->Arg(200)                                                                                 \
        ->Arg(400)                                                                                 \
        ->Arg(800)                                                                                 \
        ->Repetitions(5)                                                                           \
        ->ReportAggregatesOnly(true)
PLAN_BENCH(BM_SavePlan);
PLAN_BENCH(BM_LoadPlan);

BENCHMARK_MAIN();
