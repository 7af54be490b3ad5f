#pragma once
// What the transfer benchmarks measure of a client and of curl beside it:
// wall time and processor time, the best of several rounds, and the file
// both fetch.

#include <cstdint>
#include <string>
#include <vector>

struct Cost {
    double seconds = 0;
    double cpu = 0;
};

// Seconds on a steady clock.
double Now();
// Processor time (user and system) this process has spent so far.
double OwnCpuSeconds();
// Runs the program to its end; wall time, and the processor time of the
// child alone. A failure to start or a non-zero exit is said on stderr.
Cost RunProgram(std::vector<std::string> argv);
// The round with the least wall time.
Cost Best(const std::vector<Cost>& costs);
// A file of real bytes (no hole), so that the server reads it as it would a
// user's file: from the page cache after the first round.
void WritePatternFile(const std::string& path, std::int64_t bytes);
// A scratch folder below /tmp named from `prefix`, holding "root/big.bin" of
// that many pattern bytes; "" when it cannot be made.
std::string ScratchWithBigFile(const std::string& prefix, std::int64_t bytes);
// "what  ours N MB/s (cpu) curl N MB/s (cpu) share N %" for a transfer of
// `bytes`; with no bytes, the wall and processor times alone.
void ReportCosts(const char* what, double bytes, const Cost& ours, const Cost& curl);
