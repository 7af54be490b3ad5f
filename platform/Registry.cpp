#include "platform/Registry.h"

#include "platform/Environment.h"
#include "platform/OutputFile.h"
#include "platform/Text.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <set>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

struct RegistryKey {
    int root;
    std::string path;
};

namespace {

// The roots are known by their address alone, never by their fields: a
// global object may read the registry before this file's objects are built.
RegistryKey rootKeys[3];
const char* const kRootNames[3] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE"};

bool IsRoot(HKEY key) {
    return key == &rootKeys[0] || key == &rootKeys[1] || key == &rootKeys[2];
}

std::set<HKEY>& OpenHandles() {
    static std::set<HKEY> handles;
    return handles;
}

bool IsValidHandle(HKEY key) {
    return IsRoot(key) || OpenHandles().count(key) != 0;
}

int RootOf(HKEY key) {
    return IsRoot(key) ? static_cast<int>(key - rootKeys) : key->root;
}

std::string PathOf(HKEY key) {
    return IsRoot(key) ? std::string() : key->path;
}

bool HasControlCharacter(std::string_view text) {
    for (unsigned char c : text)
        if (c < 0x20 || c == 0x7F) return true;
    return false;
}

// A key path without leading or trailing "\"; false when a part is empty or
// holds a control character, or when the path is deeper than the limit.
bool NormalisePath(std::string_view path, std::string& out) {
    const auto first = path.find_first_not_of('\\');
    if (first == std::string_view::npos) {
        out.clear();
        return true;
    }
    path = path.substr(first, path.find_last_not_of('\\') + 1 - first);
    if (HasControlCharacter(path) || path.find("\\\\") != std::string_view::npos) return false;
    if (static_cast<std::size_t>(std::count(path.begin(), path.end(), '\\')) >=
        kRegistryKeyDepthLimit)
        return false;
    out.assign(path);
    return true;
}

std::string JoinPath(const std::string& base, const std::string& sub) {
    if (base.empty()) return sub;
    if (sub.empty()) return base;
    return base + "\\" + sub;
}

bool IsBelow(const std::string& path, const std::string& parent) {
    return path.size() > parent.size() && path[parent.size()] == '\\' &&
           SameTextAscii(std::string_view(path).substr(0, parent.size()), parent);
}

bool ValidValueName(const std::string& name) {
    return !HasControlCharacter(name) && name.find('=') == std::string::npos;
}

struct Value {
    std::string name;
    std::uint32_t type;
    std::string data; // the text, or the number in decimal
};

struct Key {
    std::string path;
    std::vector<Value> values;

    Value* FindValue(const std::string& name) {
        for (Value& v : values)
            if (SameTextAscii(v.name, name)) return &v;
        return nullptr;
    }
};

// One root's keys. The root itself (path "") always exists; every key's
// parents are listed before it.
class Hive {
public:
    Key* Find(const std::string& path) {
        for (Key& k : keys_)
            if (SameTextAscii(k.path, path)) return &k;
        return nullptr;
    }

    // Walks down from the root, adding each level that is missing.
    Key& Create(const std::string& path) {
        Key* key = &keys_.front();
        for (std::size_t end = 0; end < path.size();) {
            end = std::min(path.find('\\', end + 1), path.size());
            const std::string level = path.substr(0, end);
            key = Find(level);
            if (key == nullptr) {
                keys_.push_back({level, {}});
                key = &keys_.back();
            }
        }
        return *key;
    }

    bool Remove(const std::string& path) {
        if (path.empty() || Find(path) == nullptr) return false;
        std::erase_if(keys_, [&](const Key& k) {
            return SameTextAscii(k.path, path) || IsBelow(k.path, path);
        });
        return true;
    }

    bool Parse(std::istream& in);
    std::string Format() const;

    // The root's file was there but could not be read.
    bool unreadable = false;

private:
    std::vector<Key> keys_{{"", {}}};
};

bool Hive::Parse(std::istream& in) {
    Key* current = nullptr;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        if (line.front() == '[' && line.back() == ']') {
            std::string path;
            if (!NormalisePath(line.substr(1, line.size() - 2), path)) return false;
            current = &Create(path);
            continue;
        }
        const auto blank = line.find(' ');
        const auto equals = line.find('=', blank == std::string::npos ? 0 : blank);
        if (current == nullptr || blank == std::string::npos || equals == std::string::npos)
            return false;
        const std::string type = line.substr(0, blank);
        Value value{line.substr(blank + 1, equals - blank - 1), REG_SZ, line.substr(equals + 1)};
        if (type == "dword") {
            value.type = REG_DWORD;
            if (value.data.empty() || value.data.size() > 10 ||
                value.data.find_first_not_of("0123456789") != std::string::npos ||
                std::stoull(value.data) > 0xFFFFFFFFull)
                return false;
        } else if (type != "sz") {
            return false;
        }
        if (!ValidValueName(value.name) || HasControlCharacter(value.data)) return false;
        if (Value* old = current->FindValue(value.name))
            *old = value;
        else
            current->values.push_back(value);
    }
    return true;
}

std::string Hive::Format() const {
    std::ostringstream out;
    for (const Key& k : keys_) {
        out << '[' << k.path << "]\n";
        for (const Value& v : k.values)
            out << (v.type == REG_DWORD ? "dword " : "sz ") << v.name << '=' << v.data << '\n';
        out << '\n';
    }
    return out.str();
}

std::string RootFile(int root) {
    return RegistryFolder() + "/" + kRootNames[root];
}

// A root whose file is missing or unreadable is empty.
Hive LoadHive(int root) {
    std::ifstream in(RootFile(root), std::ios::binary);
    Hive hive;
    if (in && !hive.Parse(in)) {
        hive = Hive();
        hive.unreadable = true;
    }
    return hive;
}

bool MakeFolders(const std::string& folder) {
    for (std::size_t i = 1; i <= folder.size(); ++i) {
        if (i < folder.size() && folder[i] != '/') continue;
        const std::string part = folder.substr(0, i);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
    }
    return DirectoryExists(folder);
}

bool SaveHive(int root, const Hive& hive) {
    if (!MakeFolders(RegistryFolder())) return false;
    // A file that could not be read is kept beside the new one, not lost.
    if (hive.unreadable)
        std::rename(RootFile(root).c_str(), (RootFile(root) + ".unreadable").c_str());
    OutputFile file;
    if (!file.Open(RootFile(root))) return false;
    file.Write(hive.Format());
    return file.Commit();
}

} // namespace

HKEY const HKEY_CLASSES_ROOT = &rootKeys[0];
HKEY const HKEY_CURRENT_USER = &rootKeys[1];
HKEY const HKEY_LOCAL_MACHINE = &rootKeys[2];

std::string RegistryFolder() {
    if (auto folder = GetEnvironmentVariable("ROSTRIX_REGISTRY"); folder && !folder->empty())
        return *folder;
    if (auto config = GetEnvironmentVariable("XDG_CONFIG_HOME"); config && !config->empty())
        return *config + "/rostrix/registry";
    return GetEnvironmentVariable("HOME").value_or("") + "/.config/rostrix/registry";
}

long RegOpenKeyExA(HKEY key, const char* subKey, std::uint32_t, std::uint32_t, HKEY* result) {
    if (result == nullptr) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    if (!IsValidHandle(key)) return ERROR_INVALID_HANDLE;
    std::string sub, path;
    if (!NormalisePath(subKey == nullptr ? "" : subKey, sub) ||
        !NormalisePath(JoinPath(PathOf(key), sub), path))
        return ERROR_FILE_NOT_FOUND;
    Hive hive = LoadHive(RootOf(key));
    if (hive.Find(path) == nullptr) return ERROR_FILE_NOT_FOUND;
    *result = new RegistryKey{RootOf(key), path};
    OpenHandles().insert(*result);
    return ERROR_SUCCESS;
}

long RegQueryValueExA(HKEY key, const char* valueName, std::uint32_t*, std::uint32_t* type,
                      unsigned char* data, std::uint32_t* dataSize) {
    if (!IsValidHandle(key)) return ERROR_INVALID_HANDLE;
    if (data != nullptr && dataSize == nullptr) return ERROR_INVALID_PARAMETER;
    Hive hive = LoadHive(RootOf(key));
    Key* k = hive.Find(PathOf(key));
    Value* v = k == nullptr ? nullptr : k->FindValue(valueName == nullptr ? "" : valueName);
    if (v == nullptr) return ERROR_FILE_NOT_FOUND;

    std::string bytes;
    if (v->type == REG_DWORD) {
        const auto n = static_cast<std::uint32_t>(std::stoul(v->data));
        for (int i = 0; i < 4; ++i)
            bytes += static_cast<char>((n >> (8 * i)) & 0xFF);
    } else {
        bytes = v->data;
        bytes += '\0';
    }
    if (type != nullptr) *type = v->type;
    if (dataSize == nullptr) return ERROR_SUCCESS;
    const auto needed = static_cast<std::uint32_t>(bytes.size());
    if (data != nullptr && *dataSize < needed) {
        *dataSize = needed;
        return ERROR_MORE_DATA;
    }
    if (data != nullptr) std::memcpy(data, bytes.data(), bytes.size());
    *dataSize = needed;
    return ERROR_SUCCESS;
}

long RegCloseKey(HKEY key) {
    if (IsRoot(key)) return ERROR_SUCCESS;
    if (OpenHandles().erase(key) == 0) return ERROR_INVALID_HANDLE;
    delete key;
    return ERROR_SUCCESS;
}

TRegistry::TRegistry() : root_(HKEY_CURRENT_USER) {
}

TRegistry::~TRegistry() {
    CloseKey();
}

void TRegistry::SetRootKey(HKEY root) {
    CloseKey();
    if (IsRoot(root)) root_ = root;
}

std::string TRegistry::Resolve(const std::string& key) const {
    if (!key.empty() && key.front() == '\\') return key;
    return JoinPath(open_ ? path_ : std::string(), key);
}

bool TRegistry::OpenKey(const std::string& key, bool canCreate) {
    std::string path;
    if (!NormalisePath(Resolve(key), path)) return false;
    Hive hive = LoadHive(RootOf(root_));
    if (hive.Find(path) == nullptr) {
        if (!canCreate) return false;
        hive.Create(path);
        if (!SaveHive(RootOf(root_), hive)) return false;
    }
    path_ = path;
    open_ = true;
    readOnly_ = false;
    return true;
}

bool TRegistry::OpenKeyReadOnly(const std::string& key) {
    if (!OpenKey(key, false)) return false;
    readOnly_ = true;
    return true;
}

void TRegistry::CloseKey() {
    path_.clear();
    open_ = false;
    readOnly_ = false;
}

bool TRegistry::KeyExists(const std::string& key) const {
    std::string path;
    return NormalisePath(Resolve(key), path) && LoadHive(RootOf(root_)).Find(path) != nullptr;
}

bool TRegistry::ValueExists(const std::string& name) const {
    Hive hive = LoadHive(RootOf(root_));
    Key* k = hive.Find(path_);
    return open_ && k != nullptr && k->FindValue(name) != nullptr;
}

std::string TRegistry::ReadString(const std::string& name) const {
    Hive hive = LoadHive(RootOf(root_));
    Key* k = open_ ? hive.Find(path_) : nullptr;
    Value* v = k == nullptr ? nullptr : k->FindValue(name);
    if (v == nullptr) return std::string();
    if (v->type != REG_SZ) throw ERegistryException("Invalid data type for '" + name + "'");
    return v->data;
}

void TRegistry::WriteString(const std::string& name, const std::string& value) {
    const std::string failure = "Failed to set data for '" + name + "'";
    if (!open_ || readOnly_ || !ValidValueName(name) || HasControlCharacter(value))
        throw ERegistryException(failure);
    Hive hive = LoadHive(RootOf(root_));
    Key* k = hive.Find(path_);
    if (k == nullptr) throw ERegistryException(failure);
    if (Value* v = k->FindValue(name))
        *v = {v->name, REG_SZ, value};
    else
        k->values.push_back({name, REG_SZ, value});
    if (!SaveHive(RootOf(root_), hive)) throw ERegistryException(failure);
}

bool TRegistry::DeleteKey(const std::string& key) {
    std::string path;
    if (!NormalisePath(Resolve(key), path)) return false;
    Hive hive = LoadHive(RootOf(root_));
    return hive.Remove(path) && SaveHive(RootOf(root_), hive);
}
