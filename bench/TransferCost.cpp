#include "bench/TransferCost.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

double CpuOf(const rusage& r) {
    return double(r.ru_utime.tv_sec + r.ru_stime.tv_sec) +
           double(r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1e6;
}

double Now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

std::string SelfPath() {
    std::error_code error;
    return std::filesystem::read_symlink("/proc/self/exe", error).string();
}

Cost RunProgram(std::vector<std::string> argv) {
    const double start = Now();
    pid_t pid = fork();
    if (pid == 0) {
        std::vector<char*> a;
        for (std::string& s : argv)
            a.push_back(s.data());
        a.push_back(nullptr);
        execv(a[0], a.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        std::fprintf(stderr, "%s failed with %d\n", argv[0].c_str(), status);
    return {Now() - start, CpuOf(usage)};
}

Cost Median(std::vector<Cost> costs) {
    if (costs.empty()) return {};
    const std::size_t middle = costs.size() / 2;
    Cost median;
    std::nth_element(costs.begin(), costs.begin() + long(middle), costs.end(),
                     [](const Cost& a, const Cost& b) { return a.seconds < b.seconds; });
    median.seconds = costs[middle].seconds;
    std::nth_element(costs.begin(), costs.begin() + long(middle), costs.end(),
                     [](const Cost& a, const Cost& b) { return a.cpu < b.cpu; });
    median.cpu = costs[middle].cpu;
    return median;
}

void WritePatternFile(const std::string& path, std::int64_t bytes) {
    std::ofstream out(path, std::ios::binary);
    std::string block(1 << 20, '\0');
    for (std::size_t i = 0; i < block.size(); ++i)
        block[i] = char(i * 131 % 251);
    for (std::int64_t i = 0; i < bytes; i += std::int64_t(block.size()))
        out.write(block.data(), std::streamsize(block.size()));
}

std::string ScratchWithBigFile(const std::string& prefix, std::int64_t bytes) {
    std::string folder = "/tmp/" + prefix + "-XXXXXX";
    if (mkdtemp(folder.data()) == nullptr) return "";
    std::filesystem::create_directories(folder + "/root");
    WritePatternFile(folder + "/root/big.bin", bytes);
    return folder;
}

void ReportCosts(const char* what, double bytes, const Cost& ours, const Cost& curl) {
    if (bytes > 0)
        std::printf("%-28s ours %6.0f MB/s (cpu %.3f s)  curl %6.0f MB/s (cpu %.3f s)  rate "
                    "%5.1f %%  cpu %.2f x\n",
                    what, bytes / ours.seconds / 1e6, ours.cpu, bytes / curl.seconds / 1e6,
                    curl.cpu, 100 * curl.seconds / ours.seconds,
                    curl.cpu > 0 ? ours.cpu / curl.cpu : 0.0);
    else
        std::printf("%-28s ours %.2f s wall, %.3f s cpu   curl %.2f s wall, %.3f s cpu\n", what,
                    ours.seconds, ours.cpu, curl.seconds, curl.cpu);
}

void Compare(const char* what, double bytes, const std::vector<std::string>& ours,
             const std::vector<std::string>& curl, int rounds) {
    std::vector<Cost> o, c;
    for (int round = 0; round < rounds; ++round) {
        o.push_back(RunProgram(ours));
        c.push_back(RunProgram(curl));
    }
    ReportCosts(what, bytes, Median(o), Median(c));
}
