// The plan's checks and report at their largest: the warnings and the report
// of 100 players on 25 doubles courts for 99 rounds, and the match analysis
// of 99 players (at 100 it gives only its "too many players" line), each to
// take less than 50 ms; and the report to a text file of 100, 200, 400 and
// 800 players on a doubles court for every four for 99 rounds, growing about
// linearly with the plan.
#include "unified/core/rxreport.h"
#include "unified/schedule/Matches.h"

#include <QCoreApplication>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <filesystem>
#include <map>
#include <memory>
#include <numeric>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kRounds = Matches::MaxRounds;

// `players` players with genders on `courts` doubles courts for 99 rounds
// with notations, shuffled anew each round (a fixed seed) and seated box by
// box; a box that gets fewer than four is a singles match.
void BuildFullPlan(Matches& plan, int players, int courts) {
    for (int n = 1; n <= players; ++n) {
        ::Player p;
        p.firstName = "First" + std::to_string(n);
        p.lastName = "Last name of player " + std::to_string(n);
        p.workPhone = "555-01" + std::to_string(n);
        p.email = "player" + std::to_string(n) + "@example.org";
        p.gender = n % 2 ? 'M' : 'F';
        plan.AddPlayer(p, nullptr);
    }
    std::vector<std::string> notations(kRounds + 1);
    for (int r = 1; r <= kRounds; ++r)
        notations[r] = "Week " + std::to_string(r) + " Mon";
    plan.SetCourts(courts, 'D');
    plan.SetRounds(kRounds, notations.data());
    std::mt19937 random(11);
    std::vector<int> order(static_cast<std::size_t>(players));
    for (int r = 1; r <= kRounds; ++r) {
        std::iota(order.begin(), order.end(), 1);
        std::shuffle(order.begin(), order.end(), random);
        std::size_t next = 0;
        for (int c = 1; c <= courts && next + 1 < order.size(); ++c) {
            const bool doubles = next + 3 < order.size();
            const int seats[] = {1, 3, 2, 4};
            for (int i = 0; i < (doubles ? 4 : 2); ++i)
                plan.PutSlot(r, c, seats[i], order[next++]);
        }
    }
}

Matches& FullPlan(int players, int courts = 25) {
    static std::map<std::pair<int, int>, std::unique_ptr<Matches>> plans;
    std::unique_ptr<Matches>& plan = plans[{players, courts}];
    if (plan == nullptr) {
        plan = std::make_unique<Matches>();
        BuildFullPlan(*plan, players, courts);
        // Every check on, the skill disparity too.
        plan->SetOptions(0xFFFF);
    }
    return *plan;
}

void BM_CheckWarnings(benchmark::State& state) {
    Matches& plan = FullPlan(100);
    std::vector<std::string> summary, details;
    for (auto _ : state) {
        benchmark::DoNotOptimize(plan.CheckWarnings(summary, details));
        state.counters["details"] = static_cast<double>(details.size());
    }
}

void BM_WriteAnalysis(benchmark::State& state) {
    const Matches& plan = FullPlan(99);
    std::vector<std::string> list;
    for (auto _ : state) {
        plan.WriteAnalysis(list, false);
        state.counters["lines"] = static_cast<double>(list.size());
    }
}

void BM_ReportStringList(benchmark::State& state) {
    Matches& plan = FullPlan(100);
    for (auto _ : state) {
        std::vector<std::string> list;
        rxReport report(list);
        plan.PrintReport(report);
        state.counters["lines"] = static_cast<double>(list.size());
    }
}

void BM_ReportHtmlFile(benchmark::State& state) {
    Matches& plan = FullPlan(100);
    const std::string path = std::filesystem::temp_directory_path() / "rostrix-plan-bench.html";
    for (auto _ : state) {
        rxReport report(path, rxReport::SinkHtml, "Plan");
        plan.PrintReport(report);
    }
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
    std::filesystem::remove(path);
}

// Every box full.
void BM_ReportTextFile(benchmark::State& state) {
    const int players = static_cast<int>(state.range(0));
    Matches& plan = FullPlan(players, players / 4);
    const std::string path = std::filesystem::temp_directory_path() / "rostrix-plan-bench.txt";
    for (auto _ : state) {
        rxReport report(path, rxReport::SinkTextFile);
        plan.PrintReport(report);
    }
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
    // Steady while the time grows linearly with the plan.
    state.counters["per_box"] =
        benchmark::Counter(kRounds * players / 4.0, benchmark::Counter::kIsIterationInvariantRate |
                                                        benchmark::Counter::kInvert);
    std::filesystem::remove(path);
}

} // namespace

#define PLAN_BENCH(fn)                                                                             \
    BENCHMARK(fn)                                                                                  \
        ->Unit(benchmark::kMillisecond)                                                            \
        ->Iterations(20)                                                                           \
        ->Repetitions(5)                                                                           \
        ->ReportAggregatesOnly(true)
PLAN_BENCH(BM_CheckWarnings);
PLAN_BENCH(BM_WriteAnalysis);
PLAN_BENCH(BM_ReportStringList);
PLAN_BENCH(BM_ReportHtmlFile);
BENCHMARK(BM_ReportTextFile)
    ->Unit(benchmark::kMillisecond)
    ->Arg(100)
    ->Arg(200)
    ->Arg(400)
    ->Arg(800)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
