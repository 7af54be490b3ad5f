// Loading and saving a full-size ladder file: 800 players with their
// contacts and 1,500 results, after an issue and a posting; and the same
// ladder through the online text form.
#include "bench/FullLadder.h"
#include "tests/ladder/OnlineForm.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

const std::string& Folder() {
    static const std::string folder = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "ladderXXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) std::abort();
        return pattern;
    }();
    return folder;
}

// Half the results posted into an issue, a quarter into the next, the rest
// pending; every player with phones, e-mail and an address.
void Build(Ladder& ladder) {
    BuildFullLadder(ladder, false);
    ladder.SetHeading("Riverside Club Ladder");
    ladder.SetNote(1, "Challenges within 25% of the ladder; play within two weeks.");
    for (int p = 1; p <= ladder.PlayerCount(); ++p) {
        ::Player& player = *ladder.Player(p);
        player.workPhone = "555-01" + std::to_string(p % 100);
        player.homePhone = "555-02" + std::to_string(p % 100);
        player.email = "player" + std::to_string(p) + "@example.org";
        player.address1 = std::to_string(p) + " Main Street";
        player.city = "Springfield";
        player.postalCode = "62701";
    }
    for (int k = 1; k <= 750; ++k)
        ladder.CancelPendingResult(ladder.PendingResultCount());
    ladder.GenerateIssue();
    for (int n = 0; n < 750; ++n)
        ladder.EnterResult("1/" + std::to_string(1 + n % 28) + "/10", FullLadderName(2 + n % 400),
                           FullLadderName(1 + n % 400), "6-4, 6-4", false);
    ladder.PostResults(false);
}

const std::string& SavedFile() {
    static const std::string path = [] {
        Ladder ladder;
        Build(ladder);
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
