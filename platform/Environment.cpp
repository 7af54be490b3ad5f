#include "platform/Environment.h"

#include "platform/Text.h"

#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

std::string GetCurrentDir() {
    std::vector<char> buffer(4096);
    while (getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE) return std::string();
        buffer.resize(buffer.size() * 2);
    }
    return buffer.data();
}

bool SetCurrentDir(const std::string& path) {
    return chdir(path.c_str()) == 0;
}

std::optional<std::string> GetEnvironmentVariable(const std::string& name) {
    const char* value = std::getenv(name.c_str());
    if (value == nullptr) return std::nullopt;
    return std::string(value);
}

bool DirectoryExists(const std::string& path) {
    struct stat st {};
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool FileExists(const std::string& path) {
    struct stat st {};
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string DocumentsFolder() {
    const auto home = GetEnvironmentVariable("HOME");
    if (!home || home->empty()) return std::string();
    const auto configHome = GetEnvironmentVariable("XDG_CONFIG_HOME");
    const std::string dirsFile =
        (configHome && !configHome->empty() ? *configHome : *home + "/.config") + "/user-dirs.dirs";
    std::ifstream in(dirsFile);
    const std::string key = "XDG_DOCUMENTS_DIR=";
    for (std::string line; std::getline(in, line);) {
        if (line.compare(0, key.size(), key) != 0) continue;
        std::string value = line.substr(key.size());
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        if (value.compare(0, 5, "$HOME") == 0) value = *home + value.substr(5);
        // The user-dirs file names $HOME itself when the folder is disabled.
        if (!value.empty() && value[0] == '/' && value != *home) return value;
        break;
    }
    return *home + "/Documents";
}

std::string FileNameOnly(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FindFileAnyCase(const std::string& path) {
    struct stat st {};
    if (path.empty() || stat(path.c_str(), &st) == 0) return path;
    const auto slash = path.rfind('/');
    const std::string parent = slash == std::string::npos
                                   ? "."
                                   : (slash == 0 ? "/" : FindFileAnyCase(path.substr(0, slash)));
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    DIR* dir = opendir(parent.c_str());
    if (dir == nullptr) return path;
    std::string found = path;
    while (const dirent* entry = readdir(dir)) {
        if (SameTextAscii(entry->d_name, name)) {
            found = (slash == std::string::npos ? "" : (parent == "/" ? "/" : parent + "/")) +
                    entry->d_name;
            break;
        }
    }
    closedir(dir);
    return found;
}
