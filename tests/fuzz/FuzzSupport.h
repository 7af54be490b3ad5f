#pragma once
// What every fuzz target shares: one scratch folder per process for the
// files a reader is given and a writer makes, and the stop that turns a
// broken rule into a finding.

#include <cstddef>
#include <cstdint>
#include <string>

// A path in the process's scratch folder, made under $TMPDIR at first use
// and removed when the process ends normally.
std::string ScratchFile(const std::string& name);

void WriteBytes(const std::string& path, const std::uint8_t* data, std::size_t size);
void WriteBytes(const std::string& path, const std::string& bytes);
// The whole file; empty when it cannot be read.
std::string ReadBytes(const std::string& path);

// Reports a broken rule on standard error and aborts, which libFuzzer keeps
// as a crash.
[[noreturn]] void Fail(const std::string& rule);

// A text in brackets, its control characters as "\xNN", so that every
// difference shows on one line.
std::string Quoted(const std::string& text);
// Fails with the rule and the first line in which two contents differ.
void CheckSameContents(const std::string& before, const std::string& after,
                       const std::string& rule);

// Answers every message box with OK, since no window can show it.
void AnswerEveryBox();
