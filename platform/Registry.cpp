#include "platform/Registry.h"

#include "platform/Environment.h"
#include "platform/OutputFile.h"
#include "platform/Text.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <set>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <unordered_map>
#include <utility>
#include <vector>

struct RegistryKey {
    int root;
    std::string path;
};

namespace {

// ---- Handles ----

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

// ---- Key paths ----

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

bool IsBelow(std::string_view path, std::string_view parent) {
    return path.size() > parent.size() && path[parent.size()] == '\\' &&
           SameTextAscii(path.substr(0, parent.size()), parent);
}

bool ValidValueName(std::string_view name) {
    return !HasControlCharacter(name) && name.find('=') == std::string_view::npos;
}

// ---- Keys and values in memory, and the walk along a key path ----

// Names are found case-blind, without a lower-cased copy of the name sought.
struct CaseBlindHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const noexcept {
        std::size_t hash = 14695981039346656037u; // FNV-1a
        for (char c : text) {
            hash ^= static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
            hash *= 1099511628211u;
        }
        return hash;
    }
};

struct CaseBlindEqual {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const noexcept {
        return SameTextAscii(a, b);
    }
};

// Positions in a list, by name.
using NameIndex = std::unordered_map<std::string, std::size_t, CaseBlindHash, CaseBlindEqual>;

struct Value {
    std::string name;
    std::uint32_t type;
    std::string data; // the text, or the number in decimal
};

// A key's values in the order first written, found by name case-blind.
class Key {
public:
    explicit Key(std::string path) : path_(std::move(path)) {}

    const std::string& Path() const { return path_; }
    const std::vector<Value>& Values() const { return values_; }

    const Value* Find(std::string_view name) const {
        if (!byName_.empty()) {
            const auto at = byName_.find(name);
            return at == byName_.end() ? nullptr : &values_[at->second];
        }
        for (const Value& v : values_)
            if (SameTextAscii(v.name, name)) return &v;
        return nullptr;
    }

    // Replaces the value of that name, which keeps its name as first
    // written, or adds it.
    void Set(Value value) {
        if (const Value* old = Find(value.name)) {
            value.name = old->name;
            values_[static_cast<std::size_t>(old - values_.data())] = std::move(value);
            return;
        }
        values_.push_back(std::move(value));
        // A key of many values (none the program writes) indexes them, so
        // that reading it stays linear.
        if (values_.size() == kIndexedFrom) {
            for (std::size_t i = 0; i < values_.size(); ++i)
                byName_.emplace(values_[i].name, i);
        } else if (values_.size() > kIndexedFrom) {
            byName_.emplace(values_.back().name, values_.size() - 1);
        }
    }

private:
    static constexpr std::size_t kIndexedFrom = 16;

    std::string path_;
    std::vector<Value> values_;
    NameIndex byName_; // empty below kIndexedFrom values
};

// One root's keys, in the order first made. The root itself (path "")
// always exists, and every key's parents come before it.
class Hive {
public:
    Hive() { Add(""); }

    const Key* Find(std::string_view path) const {
        const auto at = byPath_.find(path);
        return at == byPath_.end() ? nullptr : &keys_[at->second];
    }
    Key* Find(std::string_view path) { return const_cast<Key*>(std::as_const(*this).Find(path)); }

    // Adds the key and each parent that is missing, without recursion: up to
    // the deepest level that exists, then down adding the rest.
    Key& Create(std::string_view path) {
        std::size_t end = path.size(); // where the level found ends
        Key* key = Find(path);
        while (key == nullptr) { // the root always exists
            const std::size_t slash = path.rfind('\\', end - 1);
            end = slash == std::string_view::npos ? 0 : slash;
            key = Find(path.substr(0, end));
        }
        while (end < path.size()) {
            end = std::min(path.find('\\', end + 1), path.size());
            key = &Add(std::string(path.substr(0, end)));
        }
        return *key;
    }

    // Removes the key with every key below it.
    bool Remove(std::string_view path) {
        if (path.empty() || Find(path) == nullptr) return false;
        std::erase_if(keys_, [&](const Key& k) {
            return SameTextAscii(k.Path(), path) || IsBelow(k.Path(), path);
        });
        byPath_.clear();
        for (std::size_t i = 0; i < keys_.size(); ++i)
            byPath_.emplace(keys_[i].Path(), i);
        return true;
    }

    const std::vector<Key>& Keys() const { return keys_; }

private:
    Key& Add(std::string path) {
        byPath_.emplace(path, keys_.size());
        return keys_.emplace_back(std::move(path));
    }

    std::vector<Key> keys_;
    NameIndex byPath_;
};

// ---- The parse ----
// A root file holds each key as a line "[path]" followed by its values, one
// a line: "sz name=text" or "dword name=number". Read in one pass.

bool IsNumber32(std::string_view digits) {
    if (digits.empty() || digits.size() > 10) return false;
    std::uint64_t n = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return false;
        n = n * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return n <= 0xFFFFFFFFu;
}

bool ParseValue(std::string_view line, Value& value) {
    const auto blank = line.find(' ');
    const auto equals = line.find('=', blank == std::string_view::npos ? 0 : blank);
    if (blank == std::string_view::npos || equals == std::string_view::npos) return false;
    const std::string_view type = line.substr(0, blank);
    value.name = line.substr(blank + 1, equals - blank - 1);
    value.data = line.substr(equals + 1);
    if (type == "dword" && IsNumber32(value.data))
        value.type = REG_DWORD;
    else if (type == "sz")
        value.type = REG_SZ;
    else
        return false;
    return ValidValueName(value.name) && !HasControlCharacter(value.data);
}

// False when a line is not of the form; the hive then holds what came before.
bool ParseHive(std::string_view text, Hive& hive) {
    Key* current = nullptr;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty()) continue;
        if (line.front() == '[' && line.back() == ']') {
            std::string path;
            if (!NormalisePath(line.substr(1, line.size() - 2), path)) return false;
            current = &hive.Create(path);
            continue;
        }
        Value value;
        if (current == nullptr || !ParseValue(line, value)) return false;
        current->Set(std::move(value));
    }
    return true;
}

std::string FormatHive(const Hive& hive) {
    std::string out;
    for (const Key& k : hive.Keys()) {
        out += '[';
        out += k.Path();
        out += "]\n";
        for (const Value& v : k.Values()) {
            out += v.type == REG_DWORD ? "dword " : "sz ";
            out += v.name;
            out += '=';
            out += v.data;
            out += '\n';
        }
        out += '\n';
    }
    return out;
}

// ---- The cache: each root file read once, until it changes ----

std::string RootFile(int root) {
    return RegistryFolder() + "/" + kRootNames[root];
}

// A root's file as last read. The file read stays open, so that its inode
// cannot be reused while it is remembered. Every writer replaces the file
// by rename, never writes into it, so while the path names that inode with
// the same size and times (which catch an edit in place, by hand) the
// bytes are those read.
struct StoreFile {
    enum State {
        Missing,
        Read,
        Malformed,  // read, but not of the form: kept aside when written over
        CannotRead, // there, but not to be opened or read: never written over
    };

    State state = Missing;
    Hive hive; // empty unless Read
    int fd = -1;
    struct stat seen {};

    void Forget() {
        if (fd >= 0) close(fd);
        fd = -1;
        state = Missing;
        hive = Hive();
    }
};

// Made on first use: a global object may read the registry before this
// file's objects are built.
StoreFile& Remembered(int root) {
    static StoreFile files[3];
    return files[root];
}

bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
           a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec &&
           a.st_ctim.tv_sec == b.st_ctim.tv_sec && a.st_ctim.tv_nsec == b.st_ctim.tv_nsec;
}

// The file's bytes, up to one past the limit (a file may grow as it is read).
bool ReadAll(int fd, std::string& bytes) {
    char buffer[65536];
    while (bytes.size() <= kRegistryFileLimit) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n == 0) return true;
        if (n < 0 && errno != EINTR) return false;
        if (n > 0) bytes.append(buffer, static_cast<std::size_t>(n));
    }
    return true;
}

// The root's file as it is now. Only a Read file has keys.
StoreFile& ReadStore(int root) {
    StoreFile& store = Remembered(root);
    const std::string path = RootFile(root);
    struct stat now {};
    if (store.fd >= 0 && stat(path.c_str(), &now) == 0 && SameFile(now, store.seen)) return store;
    store.Forget();
    // Not blocking: a pipe put in the file's place must not hang the program.
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        if (errno != ENOENT) store.state = StoreFile::CannotRead;
        return store;
    }
    // Too large a file is not read into memory at all: it is malformed.
    std::string bytes;
    const bool regular = fstat(fd, &store.seen) == 0 && S_ISREG(store.seen.st_mode);
    const bool tooLarge =
        regular && static_cast<std::uintmax_t>(store.seen.st_size) > kRegistryFileLimit;
    if (!regular || (!tooLarge && !ReadAll(fd, bytes))) {
        close(fd);
        store.state = StoreFile::CannotRead;
        return store;
    }
    store.fd = fd;
    const bool parsed =
        !tooLarge && bytes.size() <= kRegistryFileLimit && ParseHive(bytes, store.hive);
    store.state = parsed ? StoreFile::Read : StoreFile::Malformed;
    if (store.state == StoreFile::Malformed) store.hive = Hive();
    return store;
}

const Hive& ReadHive(int root) {
    return ReadStore(root).hive;
}

// ---- Writing ----

bool MakeFolders(const std::string& folder) {
    for (std::size_t i = 1; i <= folder.size(); ++i) {
        if (i < folder.size() && folder[i] != '/') continue;
        const std::string part = folder.substr(0, i);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
    }
    return DirectoryExists(folder);
}

// Moves a malformed root file out of the way, to ".unreadable", or to
// ".unreadable.2", ".unreadable.3", ... when that is taken: no copy kept
// earlier is written over.
bool KeepAside(int root) {
    const std::string file = RootFile(root);
    for (int n = 1;; ++n) {
        const std::string aside = file + ".unreadable" + (n == 1 ? "" : "." + std::to_string(n));
        struct stat taken {};
        if (lstat(aside.c_str(), &taken) == 0) continue;
        return errno == ENOENT && std::rename(file.c_str(), aside.c_str()) == 0;
    }
}

bool SaveStore(int root, const StoreFile& store) {
    if (store.state == StoreFile::Malformed && !KeepAside(root)) return false;
    OutputFile file;
    if (!file.Open(RootFile(root))) return false;
    file.Write(FormatHive(store.hive));
    return file.Commit();
}

// ---- The lock ----

// How long a write waits for another program's read-change-write, which
// takes milliseconds: one that holds the lock longer is taken to be stuck,
// and the write fails rather than hanging the program.
constexpr auto kLockWait = std::chrono::seconds(10);
constexpr auto kLockRetry = std::chrono::milliseconds(1);

// An advisory lock on a file beside the root files, held across each
// read-change-write so that two running programs never write over each
// other's changes. Closing the file releases it, also when a program dies.
class StoreLock {
public:
    explicit StoreLock(const std::string& folder)
        : fd_(open((folder + "/lock").c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0666)) {
        const auto deadline = std::chrono::steady_clock::now() + kLockWait;
        while (fd_ >= 0 && flock(fd_, LOCK_EX | LOCK_NB) != 0) {
            if ((errno != EWOULDBLOCK && errno != EINTR) ||
                std::chrono::steady_clock::now() >= deadline) {
                close(fd_);
                fd_ = -1;
            } else {
                std::this_thread::sleep_for(kLockRetry);
            }
        }
    }
    ~StoreLock() {
        if (fd_ >= 0) close(fd_);
    }
    StoreLock(const StoreLock&) = delete;
    StoreLock& operator=(const StoreLock&) = delete;

    bool Held() const { return fd_ >= 0; }

private:
    int fd_;
};

// ---- Read, change, write ----

// Lets `change` alter the root's keys as they are now and writes them back,
// all under the lock. False when change finds nothing to do or the file
// cannot be written.
bool ChangeStore(int root, const std::function<bool(Hive&)>& change) {
    const std::string folder = RegistryFolder();
    if (!MakeFolders(folder)) return false;
    const StoreLock lock(folder);
    if (!lock.Held()) return false;
    StoreFile& store = ReadStore(root);
    // A file that is there but cannot be read may hold keys: it stays.
    if (store.state == StoreFile::CannotRead) return false;
    const bool ok = change(store.hive) && SaveStore(root, store);
    store.Forget(); // what it holds is no longer the file's
    return ok;
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
    if (ReadHive(RootOf(key)).Find(path) == nullptr) return ERROR_FILE_NOT_FOUND;
    *result = new RegistryKey{RootOf(key), path};
    OpenHandles().insert(*result);
    return ERROR_SUCCESS;
}

long RegQueryValueExA(HKEY key, const char* valueName, std::uint32_t*, std::uint32_t* type,
                      unsigned char* data, std::uint32_t* dataSize) {
    if (!IsValidHandle(key)) return ERROR_INVALID_HANDLE;
    if (data != nullptr && dataSize == nullptr) return ERROR_INVALID_PARAMETER;
    const Key* k = ReadHive(RootOf(key)).Find(PathOf(key));
    const Value* v = k == nullptr ? nullptr : k->Find(valueName == nullptr ? "" : valueName);
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
    if (ReadHive(RootOf(root_)).Find(path) == nullptr) {
        if (!canCreate) return false;
        const bool created = ChangeStore(RootOf(root_), [&](Hive& hive) {
            hive.Create(path);
            return true;
        });
        if (!created) return false;
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
    return NormalisePath(Resolve(key), path) && ReadHive(RootOf(root_)).Find(path) != nullptr;
}

bool TRegistry::ValueExists(const std::string& name) const {
    const Key* k = ReadHive(RootOf(root_)).Find(path_);
    return open_ && k != nullptr && k->Find(name) != nullptr;
}

std::string TRegistry::ReadString(const std::string& name) const {
    const Key* k = open_ ? ReadHive(RootOf(root_)).Find(path_) : nullptr;
    const Value* v = k == nullptr ? nullptr : k->Find(name);
    if (v == nullptr) return std::string();
    if (v->type != REG_SZ) throw ERegistryException("Invalid data type for '" + name + "'");
    return v->data;
}

void TRegistry::WriteString(const std::string& name, const std::string& value) {
    const std::string failure = "Failed to set data for '" + name + "'";
    if (!open_ || readOnly_ || !ValidValueName(name) || HasControlCharacter(value))
        throw ERegistryException(failure);
    const bool written = ChangeStore(RootOf(root_), [&](Hive& hive) {
        Key* k = hive.Find(path_);
        if (k == nullptr) return false;
        k->Set({name, REG_SZ, value});
        return true;
    });
    if (!written) throw ERegistryException(failure);
}

bool TRegistry::DeleteKey(const std::string& key) {
    std::string path;
    if (!NormalisePath(Resolve(key), path)) return false;
    return ChangeStore(RootOf(root_), [&](Hive& hive) { return hive.Remove(path); });
}
