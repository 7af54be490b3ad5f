// A large match plan's file: 100 players on 25 doubles courts for 99
// rounds, every box full, saved and loaded.
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

constexpr int kPlayers = 100;
constexpr int kCourts = 25;
constexpr int kRounds = 99;

const std::string& Folder() {
    static const std::string folder = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "planXXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) std::abort();
        return pattern;
    }();
    return folder;
}

void BuildPlan(Matches& plan) {
    for (int p = 1; p <= kPlayers; ++p) {
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
    if (!plan.SetCourts(kCourts, 'D') || !plan.SetRounds(kRounds, notations.data())) std::abort();
    std::mt19937 random(7);
    std::vector<int> order(kPlayers);
    for (int r = 1; r <= kRounds; ++r) {
        std::iota(order.begin(), order.end(), 1);
        std::shuffle(order.begin(), order.end(), random);
        for (int c = 1; c <= kCourts; ++c)
            for (int p = 1; p <= 4; ++p)
                if (plan.SetSlot(r, c, p, order[(c - 1) * 4 + p - 1]) != 0) std::abort();
    }
}

const std::string& SavedFile() {
    static const std::string path = [] {
        Matches plan;
        plan.ClearOptions(StrictlyMixed);
        BuildPlan(plan);
        const std::string file = Folder() + "/large.rxd";
        if (!plan.Save(file)) std::abort();
        return file;
    }();
    return path;
}

void BM_SavePlan(benchmark::State& state) {
    Matches plan;
    if (plan.Load(SavedFile()) != 0) std::abort();
    const std::string file = Folder() + "/saved.rxd";
    for (auto _ : state)
        if (!plan.Save(file)) std::abort();
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(file));
}

void BM_LoadPlan(benchmark::State& state) {
    const std::string& file = SavedFile();
    for (auto _ : state) {
        Matches plan;
        if (plan.Load(file) != 0) std::abort();
        benchmark::DoNotOptimize(plan.GetSlot(kRounds, kCourts, 4));
    }
}

} // namespace

#define PLAN_BENCH(fn)                                                                             \
    BENCHMARK(fn)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true)
PLAN_BENCH(BM_SavePlan);
PLAN_BENCH(BM_LoadPlan);

BENCHMARK_MAIN();
