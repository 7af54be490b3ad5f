#include "platform/Registry.h"

#include "platform/Environment.h"
#include "platform/OutputFile.h"
#include "platform/Text.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <set>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
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

bool IsControl(char c) {
    return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
}

bool HasControlCharacter(std::string_view text) {
    return std::any_of(text.begin(), text.end(), IsControl);
}

// Names are found case-blind, without a lower-cased copy of the name sought:
// a name's hash is FNV-1a over its bytes with the ASCII capitals made small.
constexpr std::uint32_t kHashStart = 2166136261u;

std::uint32_t HashByte(std::uint32_t hash, char c) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return (hash ^ static_cast<unsigned char>(c)) * 16777619u;
}

std::uint32_t CaseBlindHash(std::string_view text) {
    std::uint32_t hash = kHashStart;
    for (char c : text)
        hash = HashByte(hash, c);
    return hash;
}

// A key path without leading or trailing "\", and its hash.
struct KeyPath {
    std::string_view text;
    std::uint32_t hash;
};

// False when a part of the path is empty or holds a control character, or
// when the path is deeper than the limit. One look at each byte checks and
// hashes it.
bool ReadKeyPath(std::string_view path, KeyPath& key) {
    while (path.starts_with('\\'))
        path.remove_prefix(1);
    while (path.ends_with('\\'))
        path.remove_suffix(1);
    std::uint32_t hash = kHashStart;
    std::size_t parts = 1;
    for (std::size_t i = 0; i < path.size(); ++i) {
        const char c = path[i];
        if (IsControl(c)) return false;
        // After the trim, a "\\" is never the path's first byte.
        if (c == '\\' && (path[i - 1] == '\\' || ++parts > kRegistryKeyDepthLimit)) return false;
        hash = HashByte(hash, c);
    }
    key = {path, hash};
    return true;
}

// The key path without leading or trailing "\"; false when it is not one.
bool NormalisePath(std::string_view path, std::string& out) {
    KeyPath key;
    if (!ReadKeyPath(path, key)) return false;
    out.assign(key.text);
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

// ---- Lines ----
// A root file holds each key as a line "[path]" followed by its values, one
// a line: "sz name=text" or "dword name=number".

// Takes the text's first line, without its LF or CR LF; false when another
// control character ends it, which no line of a root file may hold. One
// look at each byte finds both.
bool NextLine(std::string_view& text, std::string_view& line) {
    const auto end = std::find_if(text.begin(), text.end(), IsControl);
    line = text.substr(0, static_cast<std::size_t>(end - text.begin()));
    text.remove_prefix(line.size());
    if (text.starts_with('\r')) text.remove_prefix(1); // a CR LF, or a CR at the end
    if (text.starts_with('\n'))
        text.remove_prefix(1);
    else if (!text.empty())
        return false;
    return true;
}

bool IsNumber32(std::string_view digits) {
    if (digits.empty() || digits.size() > 10) return false;
    std::uint64_t n = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return false;
        n = n * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return n <= 0xFFFFFFFFu;
}

// A name or text lies in the root file's bytes as read, or in the hive's own
// copy of what was written since.
struct Value {
    std::string_view name;
    std::uint32_t type;
    std::string_view data; // the text, or the number in decimal
};

// False when a line without control characters is not a value of the form.
bool ReadValueLine(std::string_view line, Value& value) {
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
    return true;
}

// ---- Keys and values in memory, and the walk along a key path ----

// Positions in a list, found by the case-blind hash of their names, which
// the caller works out once: open addressing in one array never more than
// half full, so that a read of many keys makes no allocation for each.
class NameIndex {
public:
    static constexpr std::uint32_t kNone = UINT32_MAX;

    // The position of that hash which `isSought` takes, or kNone.
    template <class IsSought> std::uint32_t Find(std::uint32_t hash, IsSought isSought) const {
        if (slots_.empty()) return kNone;
        for (std::size_t at = hash;; ++at) {
            const Slot& slot = slots_[at & (slots_.size() - 1)];
            if (slot.position == kNone) return kNone;
            if (slot.hash == hash && isSought(slot.position)) return slot.position;
        }
    }

    void Add(std::uint32_t hash, std::size_t position) {
        if (2 * (count_ + 1) > slots_.size()) {
            std::vector<Slot> old(std::max<std::size_t>(16, 2 * slots_.size()), Slot{0, kNone});
            old.swap(slots_);
            for (const Slot& slot : old)
                if (slot.position != kNone) Place(slot);
        }
        Place({hash, static_cast<std::uint32_t>(position)});
        ++count_;
    }

    void Clear() {
        std::fill(slots_.begin(), slots_.end(), Slot{0, kNone});
        count_ = 0;
    }

private:
    struct Slot {
        std::uint32_t hash;
        std::uint32_t position; // kNone when free
    };

    void Place(Slot slot) {
        std::size_t at = slot.hash;
        while (slots_[at & (slots_.size() - 1)].position != kNone)
            ++at;
        slots_[at & (slots_.size() - 1)] = slot;
    }

    std::vector<Slot> slots_; // a power of two of them
    std::size_t count_ = 0;
};

// Values in the order first written, found by name case-blind.
class ValueList {
public:
    const std::vector<Value>& All() const { return values_; }

    const Value* Find(std::string_view name) const {
        if (values_.size() >= kIndexedFrom) {
            const std::uint32_t at = byName_.Find(CaseBlindHash(name), [&](std::uint32_t i) {
                return SameTextAscii(values_[i].name, name);
            });
            return at == NameIndex::kNone ? nullptr : &values_[at];
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
            values_[static_cast<std::size_t>(old - values_.data())] = value;
            return;
        }
        values_.push_back(value);
        // A key of many values (none the program writes) indexes them, so
        // that reading it stays linear.
        if (values_.size() == kIndexedFrom) {
            for (std::size_t i = 0; i < values_.size(); ++i)
                byName_.Add(CaseBlindHash(values_[i].name), i);
        } else if (values_.size() > kIndexedFrom) {
            byName_.Add(CaseBlindHash(value.name), values_.size() - 1);
        }
    }

private:
    static constexpr std::size_t kIndexedFrom = 16;

    std::vector<Value> values_;
    NameIndex byName_; // empty below kIndexedFrom values
};

// A key's path and values. The value lines read for a key are checked as the
// file is read, but put into its list only when one of its values is asked
// for: a program asks for few of a large store's values.
class Key {
public:
    explicit Key(std::string_view path) : path_(path) {}

    std::string_view Path() const { return path_; }

    ValueList& Values() {
        if (!values_) values_ = std::make_unique<ValueList>();
        std::string_view line;
        Value value;
        while (!unread_.empty())
            if (NextLine(unread_, line) && ReadValueLine(line, value)) values_->Set(value);
        return *values_;
    }

    // Takes value lines read for the key, each of the form, after any taken
    // before: a key may be named more than once in a file.
    void AddLines(std::string_view lines) {
        if (!unread_.empty()) Values();
        unread_ = lines;
    }

private:
    std::string_view path_;
    std::string_view unread_;           // value lines not yet put in
    std::unique_ptr<ValueList> values_; // made when first asked for
};

// One root's keys, in the order first made. The root itself (path "")
// always exists, and every key's parents come before it. Names and texts lie
// in the bytes read, which must outlive the hive, or in its own copies.
class Hive {
public:
    Hive() { Add("", CaseBlindHash("")); }

    // Empties the hive, keeping its memory for the next read.
    void Clear() {
        keys_.clear();
        byPath_.Clear();
        lastParent_ = nullptr;
        kept_.clear();
        Add("", CaseBlindHash(""));
    }

    Key* Find(std::string_view path) { return Find(path, CaseBlindHash(path)); }

    // Adds the key and each parent that is missing.
    Key& Create(std::string_view path) { return Make(Keep(path), CaseBlindHash(path)); }

    // Removes the key with every key below it.
    bool Remove(std::string_view path) {
        if (path.empty() || Find(path) == nullptr) return false;
        std::erase_if(keys_, [&](const Key& k) {
            return SameTextAscii(k.Path(), path) || IsBelow(k.Path(), path);
        });
        byPath_.Clear();
        lastParent_ = nullptr;
        for (std::size_t i = 0; i < keys_.size(); ++i)
            byPath_.Add(CaseBlindHash(keys_[i].Path()), i);
        return true;
    }

    std::deque<Key>& Keys() { return keys_; }

    // A copy of a name or text written, as long as the hive lives.
    std::string_view Keep(std::string_view text) { return kept_.emplace_back(text); }

    bool Read(std::string_view text);

private:
    Key* Find(std::string_view path, std::uint32_t hash) {
        const std::uint32_t at = byPath_.Find(
            hash, [&](std::uint32_t i) { return SameTextAscii(keys_[i].Path(), path); });
        return at == NameIndex::kNone ? nullptr : &keys_[at];
    }

    // Finds the key or adds it with each parent that is missing, without
    // recursion: up to the deepest level that exists, then down adding the
    // rest. The path must live as long as the hive.
    Key& Make(std::string_view path, std::uint32_t hash) {
        std::size_t end = path.size(); // where the level found ends
        Key* key = Find(path, hash);
        while (key == nullptr) { // the root always exists
            const std::size_t slash = path.rfind('\\', end - 1);
            end = slash == std::string_view::npos ? 0 : slash;
            // A file names most keys right after their parent or a sibling.
            key = lastParent_ != nullptr && lastParent_->Path() == path.substr(0, end)
                      ? lastParent_
                      : Find(path.substr(0, end));
        }
        while (end < path.size()) {
            lastParent_ = key;
            end = std::min(path.find('\\', end + 1), path.size());
            const std::string_view level = path.substr(0, end);
            key = &Add(level, end == path.size() ? hash : CaseBlindHash(level));
        }
        return *key;
    }

    Key& Add(std::string_view path, std::uint32_t hash) {
        byPath_.Add(hash, keys_.size());
        return keys_.emplace_back(path);
    }

    std::deque<Key> keys_;
    NameIndex byPath_;
    Key* lastParent_ = nullptr;    // the parent of the key last added
    std::deque<std::string> kept_; // never moves what it holds
};

// Reads a root file's bytes in one pass: each line is checked as it comes, a
// key's path is hashed once, and names and texts stay where they lie. False
// when a line is not of the form.
bool Hive::Read(std::string_view text) {
    Key* key = nullptr;          // the key whose value lines are being read
    const char* lines = nullptr; // where they begin
    const auto giveLines = [&](const char* end) {
        if (key != nullptr) key->AddLines({lines, static_cast<std::size_t>(end - lines)});
    };
    while (!text.empty()) {
        const char* begin = text.data();
        std::string_view line;
        if (!NextLine(text, line)) return false;
        if (line.empty()) continue;
        if (line.front() == '[' && line.back() == ']') {
            KeyPath path;
            if (!ReadKeyPath(line.substr(1, line.size() - 2), path)) return false;
            giveLines(begin);
            key = &Make(path.text, path.hash);
            lines = text.data();
            continue;
        }
        Value value; // only checked here: the key puts it in when asked
        if (key == nullptr || !ReadValueLine(line, value)) return false;
    }
    giveLines(text.data());
    return true;
}

std::string FormatHive(Hive& hive) {
    std::string out;
    for (Key& k : hive.Keys()) {
        out += '[';
        out += k.Path();
        out += "]\n";
        for (const Value& v : k.Values().All()) {
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
    std::string bytes; // as last read: the hive's names and texts lie in them
    Hive hive;         // empty unless Read
    int fd = -1;
    struct stat seen {};

    void Forget() {
        if (fd >= 0) close(fd);
        fd = -1;
        state = Missing;
        hive.Clear();
        bytes.clear();
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

// The file's bytes, up to one past the limit (a file may grow as it is
// read), read in one piece when the file keeps the size it had when opened.
bool ReadAll(int fd, std::size_t expected, std::string& bytes) {
    bytes.resize(std::min(expected, kRegistryFileLimit) + 1);
    std::size_t size = 0;
    while (size <= kRegistryFileLimit) {
        if (size == bytes.size()) bytes.resize(std::min(2 * size, kRegistryFileLimit + 1));
        const ssize_t n = read(fd, bytes.data() + size, bytes.size() - size);
        if (n == 0) break;
        if (n < 0 && errno != EINTR) return false;
        if (n > 0) size += static_cast<std::size_t>(n);
    }
    bytes.resize(size);
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
    const bool regular = fstat(fd, &store.seen) == 0 && S_ISREG(store.seen.st_mode);
    const bool tooLarge =
        regular && static_cast<std::uintmax_t>(store.seen.st_size) > kRegistryFileLimit;
    if (!regular ||
        (!tooLarge && !ReadAll(fd, static_cast<std::size_t>(store.seen.st_size), store.bytes))) {
        close(fd);
        store.state = StoreFile::CannotRead;
        return store;
    }
    store.fd = fd;
    const bool parsed =
        !tooLarge && store.bytes.size() <= kRegistryFileLimit && store.hive.Read(store.bytes);
    store.state = parsed ? StoreFile::Read : StoreFile::Malformed;
    if (store.state == StoreFile::Malformed) store.hive.Clear();
    return store;
}

Hive& ReadHive(int root) {
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

bool SaveStore(int root, StoreFile& store) {
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
    Key* k = ReadHive(RootOf(key)).Find(PathOf(key));
    const Value* v =
        k == nullptr ? nullptr : k->Values().Find(valueName == nullptr ? "" : valueName);
    if (v == nullptr) return ERROR_FILE_NOT_FOUND;

    std::string bytes;
    if (v->type == REG_DWORD) {
        std::uint32_t n = 0;
        std::from_chars(v->data.data(), v->data.data() + v->data.size(), n);
        for (int i = 0; i < 4; ++i)
            bytes += static_cast<char>((n >> (8 * i)) & 0xFF);
    } else {
        bytes.assign(v->data);
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
    Key* k = ReadHive(RootOf(root_)).Find(path_);
    return open_ && k != nullptr && k->Values().Find(name) != nullptr;
}

std::string TRegistry::ReadString(const std::string& name) const {
    Key* k = open_ ? ReadHive(RootOf(root_)).Find(path_) : nullptr;
    const Value* v = k == nullptr ? nullptr : k->Values().Find(name);
    if (v == nullptr) return std::string();
    if (v->type != REG_SZ) throw ERegistryException("Invalid data type for '" + name + "'");
    return std::string(v->data);
}

void TRegistry::WriteString(const std::string& name, const std::string& value) {
    const std::string failure = "Failed to set data for '" + name + "'";
    if (!open_ || readOnly_ || !ValidValueName(name) || HasControlCharacter(value))
        throw ERegistryException(failure);
    const bool written = ChangeStore(RootOf(root_), [&](Hive& hive) {
        Key* k = hive.Find(path_);
        if (k == nullptr) return false;
        k->Values().Set({hive.Keep(name), REG_SZ, hive.Keep(value)});
        return true;
    });
    if (!written) throw ERegistryException(failure);
}

bool TRegistry::DeleteKey(const std::string& key) {
    std::string path;
    if (!NormalisePath(Resolve(key), path)) return false;
    return ChangeStore(RootOf(root_), [&](Hive& hive) { return hive.Remove(path); });
}
