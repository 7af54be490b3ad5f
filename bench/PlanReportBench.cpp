// The plan's checks and report at their largest: the warnings and the report
// of 100 players on 25 doubles courts for 99 rounds, and the match analysis
// of 99 players (at 100 it gives only its "too many players" line). Each is
// to take less than 50 ms.
#include "tests/support/FullEvents.h"
#include "unified/core/rxreport.h"
#include "unified/schedule/Matches.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>
#include <filesystem>
#include <string>
#include <vector>

namespace {

Matches& FullPlan(int players) {
    static Matches full, analysed;
    Matches& plan = players == 100 ? full : analysed;
    if (plan.PlayerCount() == 0) {
        BuildFullPlan(plan, players);
        // Every check on, the skill disparity too.
        plan.SetOptions(0xFFFF);
    }
    return plan;
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

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
