// Reading one value from a settings store of many keys through the calls the
// program makes at start (open the key, query the value, close it): as a
// process's first read, while the root file stays as it is, and as the first
// read after another program replaced it, at several sizes to show that
// reading the file grows linearly, also when one key holds every value. Two
// stores of 50,000 keys: one short value a key (about 2.2 MB), and the
// e-mail settings' five values a key (about 8.6 MB). And one value written
// into such a store.
#include "platform/Registry.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// A scratch registry folder, made the program's for this run and removed at
// its end.
struct Scratch {
    Scratch() {
        std::string pattern = (std::filesystem::temp_directory_path() / "registryXXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) std::abort();
        folder = pattern;
        setenv("ROSTRIX_REGISTRY", folder.c_str(), 1);
    }
    ~Scratch() {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
    std::string folder;
};

const std::string& Folder() {
    static const Scratch scratch;
    return scratch.folder;
}

std::string RootFile() {
    return Folder() + "/HKEY_LOCAL_MACHINE";
}

const std::string kProductKey = "Software\\Palomet Software\\Rostrix";

std::string ClubKey(int k) {
    return kProductKey + "\\club" + std::to_string(k);
}

// `keys` keys below the product key, each with the e-mail settings' values.
void WriteClubKeys(const std::string& path, int keys) {
    std::ofstream out(path, std::ios::binary);
    out << "[]\n\n[Software]\n\n[Software\\Palomet Software]\n\n[" << kProductKey
        << "]\nsz installDirectory=/opt/rostrix\n\n";
    for (int k = 0; k < keys; ++k)
        out << '[' << ClubKey(k) << "]\nsz fromName=Club " << k << "\nsz fromAddress=secretary" << k
            << "@example.org\nsz smtpServer=mail.example.org\nsz auth=1\nsz userId=club" << k
            << "\n\n";
}

// `keys` keys of one short value each.
void WriteOneValueKeys(const std::string& path, int keys) {
    std::ofstream out(path, std::ios::binary);
    out << "[]\n\n[Software]\n\n[Software\\Clubs]\n\n";
    for (int k = 0; k < keys; ++k)
        out << "[Software\\Clubs\\c" << k << "]\nsz name=Club " << k << "\n\n";
}

std::string OneValueKey(int k) {
    return "Software\\Clubs\\c" + std::to_string(k);
}

// A store's shape, and the value the program reads from it: one of the last
// key, so that a reader that stops early is not favoured.
struct Store {
    void (*write)(const std::string& path, int keys);
    std::string (*key)(int k);
    const char* value;
};
const Store kOneValueKeys{WriteOneValueKeys, OneValueKey, "name"};
const Store kClubSettings{WriteClubKeys, ClubKey, "smtpServer"};

void CountBytes(benchmark::State& state, const std::string& path) {
    state.counters["MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
}

// The product key alone, with `values` values.
void WriteManyValues(const std::string& path, int values) {
    std::ofstream out(path, std::ios::binary);
    out << '[' << kProductKey << "]\n";
    for (int v = 0; v < values; ++v)
        out << "sz value" << v << '=' << v << '\n';
}

// Reads the value as the program reads one at start; false when it cannot.
bool ReadValue(const std::string& key, const char* name) {
    HKEY handle = nullptr;
    char buffer[100];
    std::uint32_t size = sizeof buffer;
    std::uint32_t type = 0;
    const bool read =
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_QUERY_VALUE, &handle) ==
            ERROR_SUCCESS &&
        RegQueryValueExA(handle, name, nullptr, &type, reinterpret_cast<unsigned char*>(buffer),
                         &size) == ERROR_SUCCESS;
    RegCloseKey(handle);
    benchmark::DoNotOptimize(buffer);
    return read;
}

void ReadValue(benchmark::State& state, const std::string& key, const char* name) {
    if (!ReadValue(key, name)) state.SkipWithError("the value cannot be read");
}

// A process's first read, with none of the reader's memory yet in use: each
// read is made by a child process started for it, which tells its time.
// Registered first, so that this process has read nothing it would share.
void BM_FirstReadOfTheFile(benchmark::State& state, const Store& store) {
    const int keys = static_cast<int>(state.range(0));
    store.write(RootFile(), keys);
    CountBytes(state, RootFile());
    for (auto _ : state) {
        int ends[2];
        if (pipe(ends) != 0) state.SkipWithError("no pipe");
        const pid_t child = fork();
        if (child == 0) {
            const auto start = std::chrono::steady_clock::now();
            double seconds = -1;
            if (ReadValue(store.key(keys - 1), store.value))
                seconds =
                    std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            _exit(write(ends[1], &seconds, sizeof seconds) == sizeof seconds ? 0 : 1);
        }
        double seconds = -1;
        if (child < 0 || read(ends[0], &seconds, sizeof seconds) != sizeof seconds || seconds < 0)
            state.SkipWithError("the child did not read the value");
        if (child > 0) waitpid(child, nullptr, 0);
        close(ends[0]);
        close(ends[1]);
        state.SetIterationTime(std::max(seconds, 0.0));
    }
}
BENCHMARK_CAPTURE(BM_FirstReadOfTheFile, one_value_a_key, kOneValueKeys)
    ->Arg(50'000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FirstReadOfTheFile, five_values_a_key, kClubSettings)
    ->Arg(50'000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

void BM_ReadValueFromAnUnchangedFile(benchmark::State& state) {
    const int keys = static_cast<int>(state.range(0));
    WriteClubKeys(RootFile(), keys);
    ReadValue(state, ClubKey(keys - 1), "smtpServer"); // the first read of the file
    for (auto _ : state)
        ReadValue(state, ClubKey(keys - 1), "smtpServer");
}
BENCHMARK(BM_ReadValueFromAnUnchangedFile)->Arg(50'000)->Unit(benchmark::kMicrosecond);

// Before each read the root file is replaced, by rename as every writer
// does, with one of two copies in turn, so that it is never the file last
// read.
void ReadAfterEachReplace(benchmark::State& state,
                          const std::function<void(const std::string&)>& write,
                          const std::string& key, const char* name) {
    const std::string copies[2] = {Folder() + "/copy-a", Folder() + "/copy-b"};
    for (const std::string& copy : copies)
        write(copy);
    const std::string next = Folder() + "/next";
    int turn = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::remove(next.c_str());
        if (link(copies[turn].c_str(), next.c_str()) != 0 ||
            std::rename(next.c_str(), RootFile().c_str()) != 0)
            state.SkipWithError("cannot replace the file");
        turn = 1 - turn;
        state.ResumeTiming();
        ReadValue(state, key, name);
    }
    state.SetComplexityN(state.range(0));
}

void BM_ReadValueAfterTheFileChanged(benchmark::State& state, const Store& store) {
    const int keys = static_cast<int>(state.range(0));
    ReadAfterEachReplace(
        state, [&](const std::string& path) { store.write(path, keys); }, store.key(keys - 1),
        store.value);
    CountBytes(state, RootFile());
}
BENCHMARK_CAPTURE(BM_ReadValueAfterTheFileChanged, one_value_a_key, kOneValueKeys)
    ->Arg(50'000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadValueAfterTheFileChanged, five_values_a_key, kClubSettings)
    ->Arg(5'000)
    ->Arg(20'000)
    ->Arg(50'000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

void BM_ReadOneKeyOfManyValuesAfterTheFileChanged(benchmark::State& state) {
    const int values = static_cast<int>(state.range(0));
    ReadAfterEachReplace(
        state, [&](const std::string& path) { WriteManyValues(path, values); }, kProductKey,
        "VALUE0");
}
BENCHMARK(BM_ReadOneKeyOfManyValuesAfterTheFileChanged)
    ->Arg(50'000)
    ->Arg(200'000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

// Each write reads the file, changes one value and writes the whole file
// again (forced to the disk).
void BM_WriteValue(benchmark::State& state) {
    const int keys = static_cast<int>(state.range(0));
    WriteClubKeys(RootFile(), keys);
    TRegistry reg;
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    if (!reg.OpenKey(ClubKey(keys - 1), false)) state.SkipWithError("the key cannot be opened");
    int n = 0;
    for (auto _ : state)
        reg.WriteString("userId", "club" + std::to_string(++n));
}
BENCHMARK(BM_WriteValue)->Arg(50'000)->Unit(benchmark::kMillisecond);

} // namespace
