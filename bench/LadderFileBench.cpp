// Loading and saving the largest ladder file: 800 doubles players with
// partners, every text at its limit, and 1,500 results over four issues;
// and the same ladder through the online text form.
#include "bench/ScratchFolder.h"
#include "tests/ladder/OnlineForm.h"
#include "tests/support/FullEvents.h"
#include "unified/ladder/Ladder.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

const std::string& Folder() {
    return ScratchFolder("ladder");
}

const std::string& SavedFile() {
    static const std::string path = [] {
        Ladder ladder;
        BuildLargestLadder(ladder);
        const std::string file = Folder() + "/full.lad";
        if (!ladder.Save(file) || ladder.ResultCount() != MaxLadderResults) std::abort();
        return file;
    }();
    return path;
}

void BM_LoadLadderFile(benchmark::State& state) {
    const std::string& file = SavedFile();
    for (auto _ : state) {
        Ladder ladder;
        if (ladder.Load(file) != 0) std::abort();
        benchmark::DoNotOptimize(ladder.PlayerCount());
    }
}

void BM_SaveLadderFile(benchmark::State& state) {
    Ladder ladder;
    if (ladder.Load(SavedFile()) != 0) std::abort();
    const std::string file = Folder() + "/saved.lad";
    for (auto _ : state)
        if (!ladder.Save(file)) std::abort();
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(file));
}

void BM_SaveToText(benchmark::State& state) {
    Ladder ladder;
    if (ladder.Load(SavedFile()) != 0) std::abort();
    std::string text;
    for (auto _ : state) {
        ladder.SaveToText(text);
        benchmark::DoNotOptimize(text.data());
    }
}

void BM_LoadFromText(benchmark::State& state) {
    Ladder ladder;
    if (ladder.Load(SavedFile()) != 0) std::abort();
    std::string form;
    ladder.SaveToText(form);
    const std::string text = Downloaded(form);
    for (auto _ : state)
        if (ladder.LoadFromText(text) != 0) std::abort();
}

} // namespace

#define LADDER_FILE_BENCH(fn)                                                                      \
    BENCHMARK(fn)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true)
LADDER_FILE_BENCH(BM_LoadLadderFile);
LADDER_FILE_BENCH(BM_SaveLadderFile);
LADDER_FILE_BENCH(BM_SaveToText);
LADDER_FILE_BENCH(BM_LoadFromText);

BENCHMARK_MAIN();
