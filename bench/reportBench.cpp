// Times a report of 800 player rows (cells, a mail link, a rule every 50
// rows, a buffered two-column table of the same players) through the text
// file, HTML file and string-list sinks; each should take at most 20 ms.
// Repeated runs report their mean, median and spread.

#include "unified/core/rxreport.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr int kRows = 800;
constexpr int kRepetitions = 10;

void WriteReport(rxReport& report) {
    report.WriteLine("Spring Ladder <Open> - standings");
    report.WriteRule();
    for (int i = 1; i <= kRows; ++i) {
        const std::string n = std::to_string(i);
        report.WriteCellFit(n + ".", "9999. ", rxReport::AlignRight);
        report.WriteCellFit("Player " + n + ", Zoë", "NNNNNNNNNNNNNNNNNNNNNNNNNNNNNN",
                            rxReport::AlignLeft);
        report.WriteCellFit(std::to_string(i % 17), "999 ", rxReport::AlignRight);
        report.WriteCellFit(std::to_string(i % 13), "999 ", rxReport::AlignRight);
        report.WriteCellFit("555-" + n, "99999999999999", rxReport::AlignLeft);
        report.EndRowMailto("player" + n + "@example.org");
        if (i % 50 == 0) report.WriteRule();
    }
    report.BeginTable(true);
    for (int i = 1; i <= kRows; ++i) {
        report.BufferCellFit(std::to_string(i), "9999 ", rxReport::AlignRight);
        report.BufferEndRow("Player " + std::to_string(i));
    }
    report.EndTable();
    report.Close();
}

std::string ScratchFile(const char* name) {
    return (std::filesystem::temp_directory_path() / name).string();
}

void TextFile(benchmark::State& state) {
    const std::string path = ScratchFile("rostrix-bench.txt");
    for (auto _ : state) {
        rxReport report(path, rxReport::SinkTextFile);
        WriteReport(report);
    }
    std::filesystem::remove(path);
}
BENCHMARK(TextFile)->Unit(benchmark::kMillisecond);

void HtmlFile(benchmark::State& state) {
    const std::string path = ScratchFile("rostrix-bench.html");
    for (auto _ : state) {
        rxReport report(path, rxReport::SinkHtml, "Spring Ladder");
        WriteReport(report);
    }
    std::filesystem::remove(path);
}
BENCHMARK(HtmlFile)->Unit(benchmark::kMillisecond);

void StringList(benchmark::State& state) {
    for (auto _ : state) {
        std::vector<std::string> list;
        rxReport report(list);
        WriteReport(report);
        benchmark::DoNotOptimize(list.data());
    }
}
BENCHMARK(StringList)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    // Medians by default; flags on the command line still win.
    std::vector<char*> arguments(argv, argv + argc);
    std::string repetitions = "--benchmark_repetitions=" + std::to_string(kRepetitions);
    std::string aggregates = "--benchmark_report_aggregates_only=true";
    arguments.insert(arguments.begin() + 1, {repetitions.data(), aggregates.data()});
    int count = static_cast<int>(arguments.size());
    benchmark::Initialize(&count, arguments.data());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
