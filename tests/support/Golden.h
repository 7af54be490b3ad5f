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

// The fields of a script line separated by "|".
std::vector<std::string> SplitFields(const std::string& line);
