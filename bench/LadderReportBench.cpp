// The ladder report of a full-size ladder: 800 players with phones, e-mail
// and a contact line, 1,500 results spread over the issues, every issue
// printed, into the text file, HTML file and string-list sinks.
#include "unified/core/rxreport.h"
#include "unified/ladder/Ladder.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace {

std::string Name(int i) {
    return "Player" + std::to_string(i) + ", Firstname";
}

Ladder& FullLadder() {
    static Ladder ladder;
    if (ladder.PlayerCount() > 0) return ladder;
    constexpr int kPlayers = 800;
    for (int i = 1; i <= kPlayers; ++i) {
        ::Player p;
        p.firstName = "Firstname";
        p.lastName = "Player" + std::to_string(i);
        p.workPhone = "555-" + std::to_string(1000 + i);
        p.homePhone = "555-" + std::to_string(5000 + i);
        p.email = "player" + std::to_string(i) + "@example.org";
        p.other1 = "Plays on Tuesdays";
        ladder.AddPlayer(p, nullptr);
    }
    std::mt19937 rng(11);
    for (int n = 0; n < MaxLadderResults; ++n) {
        const int loser = 1 + static_cast<int>(rng() % (kPlayers - 5));
        const int winner = loser + 1 + static_cast<int>(rng() % 5);
        const std::string date =
            std::to_string(1 + rng() % 12) + "/" + std::to_string(1 + rng() % 28) + "/24";
        ladder.EnterResult(date, Name(winner), Name(loser), "6-3, 4-6, 7-6(5)", false);
        if (n % 300 == 299) ladder.GenerateIssue();
    }
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
