#include "tests/support/Golden.h"

#include "tests/support/Scratch.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sstream>

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

ScriptLine::ScriptLine(const std::string& text) : text_(text) {
    std::size_t start = 0;
    for (;;) {
        const std::size_t bar = text.find('|', start);
        fields_.push_back(text.substr(start, bar - start));
        if (bar == std::string::npos) return;
        start = bar + 1;
    }
}

std::string ScriptLine::Arg(std::size_t i) const {
    return i < fields_.size() ? fields_[i] : std::string();
}

int ScriptLine::Num(std::size_t i) const {
    return std::atoi(Arg(i).c_str());
}

std::vector<ScriptLine> ScriptLines(const std::string& script) {
    std::vector<ScriptLine> lines;
    std::istringstream in(script);
    for (std::string line; std::getline(in, line);)
        if (!line.empty() && line[0] != '#') lines.emplace_back(line);
    return lines;
}
