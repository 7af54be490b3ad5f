// Times a report of 800 player rows (cells, a mail link, a rule every 50
// rows, a buffered two-column table of the same players) through the text
// file, HTML file and string-list sinks. Prints the minimum and median of
// each over repeated runs, in milliseconds.
//
//   report_bench [runs]

#include "unified/core/rxreport.h"

#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int kRows = 800;

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

double Milliseconds(const std::function<void()>& run) {
    const auto start = std::chrono::steady_clock::now();
    run();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

void Report(const char* sink, std::vector<double> times) {
    std::sort(times.begin(), times.end());
    std::printf("%-12s min %6.2f ms  median %6.2f ms  max %6.2f ms  (%zu runs)\n", sink,
                times.front(), times[times.size() / 2], times.back(), times.size());
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 30;
    const std::filesystem::path folder = std::filesystem::temp_directory_path();
    const std::string text = (folder / "rostrix-bench.txt").string();
    const std::string html = (folder / "rostrix-bench.html").string();

    std::vector<double> textTimes, htmlTimes, listTimes;
    for (int r = 0; r < runs; ++r) {
        textTimes.push_back(Milliseconds([&] {
            rxReport report(text, rxReport::SinkTextFile);
            WriteReport(report);
        }));
        htmlTimes.push_back(Milliseconds([&] {
            rxReport report(html, rxReport::SinkHtml, "Spring Ladder");
            WriteReport(report);
        }));
        listTimes.push_back(Milliseconds([&] {
            std::vector<std::string> list;
            rxReport report(list);
            WriteReport(report);
        }));
    }
    Report("text file", textTimes);
    Report("HTML file", htmlTimes);
    Report("string list", listTimes);
    std::filesystem::remove(text);
    std::filesystem::remove(html);
    return 0;
}
