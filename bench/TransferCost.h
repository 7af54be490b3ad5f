#pragma once
// What the transfer benchmarks measure of a client and of curl beside it:
// wall time and processor time of each as a process of its own, from its
// start to its exit, the median of several rounds, and the file both fetch.

#include <cstdint>
#include <string>
#include <vector>

struct Cost {
    double seconds = 0;
    double cpu = 0;
};

// This program's own path, so that it can run its client and its servers
// as processes of their own.
std::string SelfPath();
// Runs the program to its end; wall time, and the processor time of the
// child alone. A failure to start or a non-zero exit is said on stderr.
Cost RunProgram(std::vector<std::string> argv);
// The median wall time and the median processor time of the rounds.
Cost Median(std::vector<Cost> costs);
// A file of real bytes (no hole), so that the server reads it as it would a
// user's file: from the page cache after the first round.
void WritePatternFile(const std::string& path, std::int64_t bytes);
// A scratch folder below /tmp named from `prefix`, holding "root/big.bin" of
// that many pattern bytes; "" when it cannot be made.
std::string ScratchWithBigFile(const std::string& prefix, std::int64_t bytes);
// Runs our client and curl in turn, the given number of rounds each, so
// that a drift of the machine's speed meets both; reports the medians.
void Compare(const char* what, double bytes, const std::vector<std::string>& ours,
             const std::vector<std::string>& curl, int rounds);
// "what  ours N MB/s (cpu) curl N MB/s (cpu) rate N % cpu N x" for a
// transfer of `bytes`: ours as a share of curl's rate and as a multiple of
// its processor time; with no bytes, the wall and processor times alone.
void ReportCosts(const char* what, double bytes, const Cost& ours, const Cost& curl);
