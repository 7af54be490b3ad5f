#include "tests/support/Golden.h"

#include "tests/support/Scratch.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

std::vector<std::string> GoldenCases(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.is_directory()) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string GoldenCaseName(const testing::TestParamInfo<std::string>& info) {
    std::string name = info.param;
    std::replace(name.begin(), name.end(), '-', '_');
    return name;
}

void CompareGolden(const std::string& path, const std::string& actual) {
    if (std::getenv("ROSTRIX_UPDATE_GOLDEN") != nullptr) WriteFile(path, actual);
    ASSERT_TRUE(std::filesystem::exists(path)) << path;
    EXPECT_EQ(ReadFile(path), actual) << path;
}

std::vector<std::string> SplitFields(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t bar = line.find('|', start);
        fields.push_back(line.substr(start, bar - start));
        if (bar == std::string::npos) return fields;
        start = bar + 1;
    }
}
