#pragma once
// Scratch state for tests, each put back when the test ends: a new empty
// folder, an environment variable, a home, the current folder, the clock.

#include <optional>
#include <string>

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

class ScopedEnv {
public:
    // Sets the variable, or unsets it when value is nothing.
    ScopedEnv(std::string name, const std::optional<std::string>& value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string name_;
    std::optional<std::string> old_;
};

// HOME and the XDG folders below it (data, config, cache, state) point into a
// folder, so that nothing written below a home reaches the user's.
class ScopedHome {
public:
    explicit ScopedHome(const std::string& folder);

private:
    ScopedEnv home_;
    ScopedEnv data_;
    ScopedEnv config_;
    ScopedEnv cache_;
    ScopedEnv state_;
};

class ScopedCurrentDir {
public:
    explicit ScopedCurrentDir(const std::string& path);
    ~ScopedCurrentDir();
    ScopedCurrentDir(const ScopedCurrentDir&) = delete;
    ScopedCurrentDir& operator=(const ScopedCurrentDir&) = delete;

private:
    std::string old_;
};

// Fixes the program's clock at noon, local time, of a day.
class ScopedFixedDate {
public:
    ScopedFixedDate(int year, int month, int day);
    ~ScopedFixedDate();
    ScopedFixedDate(const ScopedFixedDate&) = delete;
    ScopedFixedDate& operator=(const ScopedFixedDate&) = delete;
};

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);
