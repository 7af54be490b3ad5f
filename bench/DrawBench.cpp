// The largest draw's steps: making an automatic draw of 800 doubles players
// with 128 seeds, entering every result, saving the file and loading it.
#include "bench/ScratchFolder.h"
#include "tests/support/FullEvents.h"
#include "unified/draw/Draw.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

constexpr int kSeeds = 128;

const std::string& Folder() {
    return ScratchFolder("draw");
}

const std::string& SavedFile() {
    static const std::string path = [] {
        Draw draw;
        BuildFullDraw(draw);
        const std::string file = Folder() + "/full.trn";
        if (!draw.Save(file) || draw.ResultCount() != 1023) std::abort();
        return file;
    }();
    return path;
}

void BM_CreateDraw(benchmark::State& state) {
    Draw draw;
    AddFullDrawPlayers(draw);
    draw.SetOption(Draw::ByesToSeeded);
    for (auto _ : state) {
        draw.ClearDraw();
        if (draw.CreateDraw(kSeeds) != 0) std::abort();
        benchmark::DoNotOptimize(draw.ResultCount());
    }
}

void BM_EnterEveryResult(benchmark::State& state) {
    Draw draw;
    AddFullDrawPlayers(draw);
    draw.SetOption(Draw::ByesToSeeded);
    for (auto _ : state) {
        state.PauseTiming();
        draw.ClearDraw();
        if (draw.CreateDraw(kSeeds) != 0) std::abort();
        state.ResumeTiming();
        EnterEveryResult(draw);
    }
    if (draw.GetMatch(draw.RoundCount(), 1).winner == 0) std::abort();
}

void BM_SaveDraw(benchmark::State& state) {
    Draw draw;
    if (draw.Load(SavedFile()) != 0) std::abort();
    const std::string file = Folder() + "/saved.trn";
    for (auto _ : state)
        if (!draw.Save(file)) std::abort();
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(file));
}

void BM_LoadDraw(benchmark::State& state) {
    const std::string& file = SavedFile();
    for (auto _ : state) {
        Draw draw;
        if (draw.Load(file) != 0) std::abort();
        benchmark::DoNotOptimize(draw.ResultCount());
    }
}

} // namespace

#define DRAW_BENCH(fn)                                                                             \
    BENCHMARK(fn)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true)
DRAW_BENCH(BM_CreateDraw);
DRAW_BENCH(BM_EnterEveryResult);
DRAW_BENCH(BM_SaveDraw);
DRAW_BENCH(BM_LoadDraw);

BENCHMARK_MAIN();
