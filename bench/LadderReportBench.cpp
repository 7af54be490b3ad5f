// The ladder report of the largest ladder: 800 doubles players with
// partners and every contact at its limit, 1,500 results spread over the
// issues, every issue printed, into the text file, HTML file and string-list
// sinks.
#include "tests/support/FullEvents.h"
#include "unified/core/rxreport.h"
#include "unified/ladder/Ladder.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>
#include <filesystem>
#include <string>
#include <vector>

namespace {

Ladder& FullLadder() {
    static Ladder ladder;
    if (ladder.PlayerCount() > 0) return ladder;
    BuildLargestLadder(ladder);
    ladder.SetIssueMask(Ladder::CurrentIssue | Ladder::NextIssue | Ladder::PreviousIssues);
    ladder.SetDisplayFlags(Ladder::PreMatchPos | Ladder::ShowWinLoss);
    return ladder;
}

void BM_TextFile(benchmark::State& state) {
    Ladder& ladder = FullLadder();
    const std::string path = std::filesystem::temp_directory_path() / "rostrix-ladder-bench.txt";
    for (auto _ : state) {
        rxReport report(path, rxReport::SinkTextFile);
        ladder.PrintReport(report);
    }
    std::filesystem::remove(path);
}

void BM_HtmlFile(benchmark::State& state) {
    Ladder& ladder = FullLadder();
    const std::string path = std::filesystem::temp_directory_path() / "rostrix-ladder-bench.html";
    for (auto _ : state) {
        rxReport report(path, rxReport::SinkHtml, "Ladder");
        ladder.PrintReport(report);
    }
    std::filesystem::remove(path);
}

void BM_StringList(benchmark::State& state) {
    Ladder& ladder = FullLadder();
    for (auto _ : state) {
        std::vector<std::string> list;
        rxReport report(list);
        ladder.PrintReport(report);
        benchmark::DoNotOptimize(list.data());
        state.counters["lines"] = static_cast<double>(list.size());
    }
}

} // namespace

#define REPORT_BENCH(fn)                                                                           \
    BENCHMARK(fn)                                                                                  \
        ->Unit(benchmark::kMillisecond)                                                            \
        ->Iterations(20)                                                                           \
        ->Repetitions(5)                                                                           \
        ->ReportAggregatesOnly(true)
REPORT_BENCH(BM_TextFile);
REPORT_BENCH(BM_HtmlFile);
REPORT_BENCH(BM_StringList);

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
