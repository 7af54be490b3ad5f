#pragma once
// Data-driven golden tests: a folder of cases, one sub-folder each, holding
// an input and the outputs it must give. ROSTRIX_UPDATE_GOLDEN=1 rewrites the
// expected files from what the test produced.

#include <gtest/gtest.h>
#include <string>
#include <vector>

// The sub-folders of `folder`, sorted.
std::vector<std::string> GoldenCases(const std::string& folder);

// A case folder's name as a test name.
std::string GoldenCaseName(const testing::TestParamInfo<std::string>& info);

// Checks `actual` against the file at `path`.
void CompareGolden(const std::string& path, const std::string& actual);

// One line of a case's script: an operation and its fields, separated by
// "|".
class ScriptLine {
public:
    explicit ScriptLine(const std::string& text);

    const std::string& Text() const { return text_; }
    const std::string& Op() const { return fields_[0]; }
    std::size_t FieldCount() const { return fields_.size(); }
    // Field i (the operation is field 0); empty past the last.
    std::string Arg(std::size_t i) const;
    int Num(std::size_t i) const;

private:
    std::string text_;
    std::vector<std::string> fields_;
};

// The lines of a script, without empty lines and "#" comments.
std::vector<ScriptLine> ScriptLines(const std::string& script);
