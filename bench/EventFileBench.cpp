// Loading and saving an event file of doubles players with every text at its
// limit, and its round trip through the percent form of the online service.
// The load is measured at several sizes to show it grows linearly.

#include "tests/core/FileEvent.h"
#include "tests/support/FullEvents.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <filesystem>
#include <string>

namespace {

void FillEvent(FileEvent& event, int players) {
    for (int n = 1; n <= players; ++n) {
        const ::Player partner = FullPlayer(n, "A");
        event.AddPlayer(FullPlayer(n, "P"), &partner);
    }
}

std::string ScratchFile(const std::string& name) {
    return (std::filesystem::temp_directory_path() / ("rostrix-bench-" + name)).string();
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// What the service does with the form field, and what a download hands back:
// the standard form decoding, then the lines joined with CR LF.
std::string DecodeAsTheServiceDoes(const std::string& form) {
    std::string text;
    text.reserve(form.size() + form.size() / 8);
    for (std::size_t i = 0; i < form.size(); ++i) {
        char c = form[i];
        if (c == '%' && i + 2 < form.size() && HexValue(form[i + 1]) >= 0 &&
            HexValue(form[i + 2]) >= 0) {
            c = static_cast<char>(HexValue(form[i + 1]) * 16 + HexValue(form[i + 2]));
            i += 2;
        } else if (c == '+') {
            c = ' ';
        }
        if (c == '\n') text += '\r';
        text += c;
    }
    return text;
}

void BM_LoadEventFile(benchmark::State& state) {
    const int players = static_cast<int>(state.range(0));
    FileEvent source(true);
    FillEvent(source, players);
    const std::string path = ScratchFile("load-" + std::to_string(players) + ".tst");
    if (!source.Save(path)) state.SkipWithError("cannot write the file");
    const auto bytes = std::filesystem::file_size(path);
    for (auto _ : state) {
        FileEvent event(true);
        if (event.Load(path) != 0 || event.PlayerCount() != players)
            state.SkipWithError("load failed");
        benchmark::DoNotOptimize(event.PlayerCount());
    }
    state.counters["file_bytes"] = static_cast<double>(bytes);
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes));
    std::remove(path.c_str());
}
BENCHMARK(BM_LoadEventFile)->Arg(200)->Arg(400)->Arg(800)->Unit(benchmark::kMillisecond);

void BM_SaveEventFile(benchmark::State& state) {
    FileEvent event(true);
    FillEvent(event, MaxPlayers);
    const std::string path = ScratchFile("save.tst");
    for (auto _ : state)
        if (!event.Save(path)) state.SkipWithError("save failed");
    state.counters["file_bytes"] = static_cast<double>(std::filesystem::file_size(path));
    std::remove(path.c_str());
}
BENCHMARK(BM_SaveEventFile)->Unit(benchmark::kMillisecond);

void BM_PercentFormRoundTrip(benchmark::State& state) {
    FileEvent event(true);
    FillEvent(event, MaxPlayers);
    std::size_t formBytes = 0;
    for (auto _ : state) {
        Tree out("Event");
        event.BuildTree(out);
        std::string form;
        out.SaveToFormText(form);
        formBytes = form.size();
        std::string text = DecodeAsTheServiceDoes(form);
        Tree in;
        in.LoadFromText(text);
        int read = 0;
        while (Tree* node = in.NextChild()) {
            ::Player p;
            if (node->Name() == "P" && RXEvent::ReadPlayerNode(*node, p) == 0) ++read;
        }
        if (in.HasError() || read != MaxPlayers) state.SkipWithError("round trip failed");
    }
    state.counters["form_bytes"] = static_cast<double>(formBytes);
}
BENCHMARK(BM_PercentFormRoundTrip)->Unit(benchmark::kMillisecond);

} // namespace
