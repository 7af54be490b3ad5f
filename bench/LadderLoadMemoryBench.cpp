// The peak memory of loading the largest ladder file (800 doubles players
// with partners, every text at its limit, 1,500 results), as a multiple of
// the file's size: the file reader's, and the online text form's. The heap
// is counted by this program's own operator new and delete, which keep each
// block's size in front of it; the peak is the most bytes live at once
// during the load, above what was live before it.
#include "tests/ladder/OnlineForm.h"
#include "tests/support/FullEvents.h"
#include "unified/ladder/Ladder.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <string>

namespace {

std::size_t liveBytes = 0;
std::size_t peakBytes = 0;

// Room in front of each block for its size, keeping the alignment new
// promises.
constexpr std::size_t kHeader = alignof(std::max_align_t);

void* Allocate(std::size_t size) {
    void* block = std::malloc(size + kHeader);
    if (block == nullptr) return nullptr;
    *static_cast<std::size_t*>(block) = size;
    liveBytes += size;
    if (liveBytes > peakBytes) peakBytes = liveBytes;
    return static_cast<char*>(block) + kHeader;
}

void Release(void* p) {
    if (p == nullptr) return;
    void* block = static_cast<char*>(p) - kHeader;
    liveBytes -= *static_cast<std::size_t*>(block);
    std::free(block);
}

// Starts a measurement; the peak above the live bytes now.
class PeakAbove {
public:
    PeakAbove() : base_(liveBytes) { peakBytes = liveBytes; }
    std::size_t Peak() const { return peakBytes - base_; }

private:
    std::size_t base_;
};

const std::string& SavedFile() {
    static const std::string path = [] {
        Ladder ladder;
        BuildLargestLadder(ladder);
        const std::string file =
            (std::filesystem::temp_directory_path() / "rostrix-largest.lad").string();
        if (!ladder.Save(file) || ladder.ResultCount() != MaxLadderResults ||
            ladder.PlayerCount() != MaxPlayers)
            std::abort();
        return file;
    }();
    return path;
}

// A load may take at most this many times its file's size at its peak.
constexpr double kMostTimesTheFile = 20;

void Report(benchmark::State& state, std::size_t peak, std::size_t bytes) {
    const double times = static_cast<double>(peak) / static_cast<double>(bytes);
    state.counters["file_MB"] = static_cast<double>(bytes) / 1e6;
    state.counters["peak_MB"] = static_cast<double>(peak) / 1e6;
    state.counters["peak_x_file"] = times;
    if (times > kMostTimesTheFile) state.SkipWithError("the peak is above 20 times the file");
}

void BM_LoadLargestLadderFile(benchmark::State& state) {
    const std::string& file = SavedFile();
    const auto bytes = std::filesystem::file_size(file);
    std::size_t peak = 0;
    for (auto _ : state) {
        Ladder ladder;
        const PeakAbove measure;
        if (ladder.Load(file) != 0 || ladder.PlayerCount() != MaxPlayers) std::abort();
        peak = measure.Peak();
    }
    Report(state, peak, bytes);
}

void BM_LoadLargestLadderText(benchmark::State& state) {
    const std::string& file = SavedFile();
    const auto bytes = std::filesystem::file_size(file);
    Ladder source;
    if (source.Load(file) != 0) std::abort();
    std::string form;
    source.SaveToText(form);
    const std::string text = Downloaded(form);
    form.clear();
    form.shrink_to_fit();
    std::size_t peak = 0;
    for (auto _ : state) {
        Ladder ladder;
        const PeakAbove measure;
        if (ladder.LoadFromText(text) != 0 || ladder.PlayerCount() != MaxPlayers) std::abort();
        peak = measure.Peak();
    }
    Report(state, peak, bytes);
}

} // namespace

void* operator new(std::size_t size) {
    if (void* p = Allocate(size)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    return operator new(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return Allocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return Allocate(size);
}
void operator delete(void* p) noexcept {
    Release(p);
}
void operator delete[](void* p) noexcept {
    Release(p);
}
void operator delete(void* p, std::size_t) noexcept {
    Release(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    Release(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    Release(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
    Release(p);
}

BENCHMARK(BM_LoadLargestLadderFile)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_LoadLargestLadderText)->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();
