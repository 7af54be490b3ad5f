#include "tests/support/Scratch.h"

#include "platform/Clock.h"
#include "platform/Environment.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

TempFolder::TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "rostrix-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "cannot make a scratch folder";
    path_ = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

ScopedEnv::ScopedEnv(std::string name, const std::optional<std::string>& value)
    : name_(std::move(name)), old_(GetEnvironmentVariable(name_)) {
    if (value)
        setenv(name_.c_str(), value->c_str(), 1);
    else
        unsetenv(name_.c_str());
}

ScopedEnv::~ScopedEnv() {
    if (old_)
        setenv(name_.c_str(), old_->c_str(), 1);
    else
        unsetenv(name_.c_str());
}

ScopedHome::ScopedHome(const std::string& folder)
    : home_("HOME", folder), data_("XDG_DATA_HOME", folder + "/.local/share"),
      config_("XDG_CONFIG_HOME", folder + "/.config"), cache_("XDG_CACHE_HOME", folder + "/.cache"),
      state_("XDG_STATE_HOME", folder + "/.local/state") {
}

ScopedCurrentDir::ScopedCurrentDir(const std::string& path) : old_(GetCurrentDir()) {
    EXPECT_TRUE(SetCurrentDir(path)) << path;
}

ScopedCurrentDir::~ScopedCurrentDir() {
    SetCurrentDir(old_);
}

ScopedFixedDate::ScopedFixedDate(int year, int month, int day) {
    std::tm noon{};
    noon.tm_year = year - 1900;
    noon.tm_mon = month - 1;
    noon.tm_mday = day;
    noon.tm_hour = 12;
    noon.tm_isdst = -1;
    SetFixedClock(std::mktime(&noon));
}

ScopedFixedDate::~ScopedFixedDate() {
    ClearFixedClock();
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}
