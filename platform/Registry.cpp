#include "platform/Registry.h"

#include "platform/Environment.h"
#include "platform/OutputFile.h"
#include "platform/Text.h"

#include <algorithm>
#include <bit>
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

// ---- Bytes, many at a time ----
// The reader's scans over a root file take eight or sixteen bytes per step.
// A word of eight is loaded with the first byte of the text lowest.

constexpr std::uint64_t kEachByte = 0x0101010101010101u;
constexpr std::uint64_t kHighBits = 0x8080808080808080u;

std::uint64_t LoadWord(const char* at) {
    std::uint64_t word;
    std::memcpy(&word, at, sizeof word);
    if constexpr (std::endian::native == std::endian::big) word = __builtin_bswap64(word);
    return word;
}

// The text's word from `at`: its last bytes filled with zero past the end.
std::uint64_t WordAt(std::string_view text, std::size_t at) {
    const std::size_t rest = text.size() - at;
    if (rest >= 8) return LoadWord(text.data() + at);
    if (text.size() >= 8) return LoadWord(text.data() + text.size() - 8) >> 8 * (8 - rest);
    std::uint64_t word = 0;
    for (std::size_t i = text.size(); i-- > at;)
        word = word << 8 | static_cast<unsigned char>(text[i]);
    return word;
}

bool IsControl(unsigned char c) {
    return c < 0x20 || c == 0x7F;
}

// The word with its ASCII capitals made small.
std::uint64_t LowerWord(std::uint64_t word) {
    const std::uint64_t seven = word & (0x7F * kEachByte);
    const std::uint64_t fromA = seven + (0x80 - 'A') * kEachByte;
    const std::uint64_t afterZ = seven + (0x7F - 'Z') * kEachByte;
    return word | ((fromA & ~afterZ & ~word & kHighBits) >> 2);
}

// Which of eight bytes, as they lie in memory, is the first with its marks
// set in `marks`.
std::size_t FirstMarked(std::uint64_t marks) {
    return static_cast<std::size_t>(std::endian::native == std::endian::little
                                        ? std::countr_zero(marks)
                                        : std::countl_zero(marks)) /
           8;
}

// Where the text's first control character is, or its size. Sixteen bytes
// are compared at a time.
std::size_t PlainLength(std::string_view text) {
    using Bytes = unsigned char __attribute__((vector_size(16)));
    std::size_t at = 0;
    for (; at + 16 <= text.size(); at += 16) {
        Bytes bytes;
        std::memcpy(&bytes, text.data() + at, sizeof bytes);
        const auto control = (bytes < 0x20) | (bytes == 0x7F);
        std::uint64_t halves[2];
        std::memcpy(halves, &control, sizeof halves);
        if (halves[0] != 0) return at + FirstMarked(halves[0]);
        if (halves[1] != 0) return at + 8 + FirstMarked(halves[1]);
    }
    while (at < text.size() && !IsControl(static_cast<unsigned char>(text[at])))
        ++at;
    return at;
}

// The high bit of each zero byte of the word, exactly.
std::uint64_t ZeroBytes(std::uint64_t word) {
    const std::uint64_t seven = 0x7F * kEachByte;
    return ~((((word & seven) + seven) | word) | seven);
}

// Where the text's first byte `c` (not NUL) is, or its size.
std::size_t FindByte(std::string_view text, char c) {
    for (std::size_t at = 0; at < text.size(); at += 8)
        if (const std::uint64_t found =
                ZeroBytes(WordAt(text, at) ^ static_cast<unsigned char>(c) * kEachByte))
            return at + static_cast<std::size_t>(std::countr_zero(found)) / 8;
    return text.size();
}

// A name's hash is blind to the case of ASCII letters, as the names are:
// every byte is folded as a letter folds, which pairs a few other bytes too
// (names that differ only in those are told apart when compared). Hashed a
// word at a time, the last word filled with zero bytes.
std::uint64_t MixWord(std::uint64_t hash, std::uint64_t word) {
    return std::rotl((hash ^ (word | 0x20 * kEachByte)) * 0x9E3779B97F4A7C15u, 29);
}

std::uint32_t FinishHash(std::uint64_t hash) {
    return static_cast<std::uint32_t>(hash ^ (hash >> 32));
}

std::uint32_t CaseBlindHash(std::string_view text) {
    std::uint64_t hash = text.size();
    for (std::size_t at = 0; at < text.size(); at += 8)
        hash = MixWord(hash, WordAt(text, at));
    return FinishHash(hash);
}

// The same names as SameTextAscii finds, compared a word at a time.
bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    if (a == b) return true;
    for (std::size_t at = 0; at < a.size(); at += 8)
        if (LowerWord(WordAt(a, at)) != LowerWord(WordAt(b, at))) return false;
    return true;
}

// ---- Key paths ----

bool HasControlCharacter(std::string_view text) {
    return PlainLength(text) != text.size();
}

// A key path as a root file or a caller gives it, without leading or
// trailing "\", with its hash and where its parent's path ends.
struct KeyPath {
    std::string_view path;
    std::uint32_t hash;
    std::size_t parentEnd; // at the last "\", 0 below the root
};

// False when a part of the path is empty or the path is deeper than the
// limit; control characters are for the caller to refuse. What is left of
// the path is read once, a word at a time.
bool ReadKeyPath(std::string_view text, KeyPath& key) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && text[begin] == '\\')
        ++begin;
    while (end > begin && text[end - 1] == '\\')
        --end;
    key.path = text.substr(begin, end - begin);
    key.parentEnd = 0;
    std::uint64_t hash = key.path.size();
    std::size_t depth = 0;
    std::uint64_t slashBefore = 0; // marks the first byte when the word before ended in "\"
    for (std::size_t at = 0; at < key.path.size(); at += 8) {
        const std::uint64_t word = WordAt(key.path, at);
        if (const std::uint64_t slashes = ZeroBytes(word ^ '\\' * kEachByte)) {
            if ((slashes & ((slashes << 8) | slashBefore)) != 0) return false;
            depth += ((slashes >> 7) * kEachByte) >> 56; // the marks summed
            key.parentEnd = at + static_cast<std::size_t>(63 - std::countl_zero(slashes)) / 8;
            slashBefore = slashes >> 56;
        } else {
            slashBefore = 0;
        }
        hash = MixWord(hash, word);
    }
    key.hash = FinishHash(hash);
    return depth < kRegistryKeyDepthLimit;
}

// The key path without leading or trailing "\"; false when a part is empty
// or holds a control character, or when the path is deeper than the limit.
bool NormalisePath(std::string_view path, std::string& out) {
    KeyPath key;
    if (HasControlCharacter(path) || !ReadKeyPath(path, key)) return false;
    out.assign(key.path);
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
// control character ends it.
bool NextLine(std::string_view& text, std::string_view& line) {
    const std::size_t plain = PlainLength(text);
    std::size_t skip = plain + 1; // to the next line
    if (plain < text.size() && text[plain] == '\r' &&
        (plain + 1 == text.size() || text[plain + 1] == '\n'))
        ++skip;
    else if (plain < text.size() && text[plain] != '\n')
        return false;
    line = text.substr(0, plain);
    text.remove_prefix(std::min(skip, text.size()));
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

struct ValueLine {
    std::uint32_t type;
    std::size_t name;   // where the name begins
    std::size_t equals; // where the "=" after it is
};

// False when a line without control characters is not a value of the form.
bool ReadValueLine(std::string_view line, ValueLine& value) {
    // The type is what comes before the first blank.
    if (line.starts_with("sz ")) {
        value.type = REG_SZ;
        value.name = 3;
    } else if (line.starts_with("dword ")) {
        value.type = REG_DWORD;
        value.name = 6;
    } else {
        return false;
    }
    value.equals = value.name + FindByte(line.substr(value.name), '=');
    return value.equals < line.size() &&
           (value.type != REG_DWORD || IsNumber32(line.substr(value.equals + 1)));
}

// ---- Keys and values in memory, and the walk along a key path ----

constexpr std::uint32_t kNone = UINT32_MAX;

// Positions in a list, found by the case-blind hash of their names: open
// addressing, never more than half full. Which position holds the name
// sought is for the caller to say; the index keeps only the hashes.
class NameIndex {
public:
    template <class HasName> std::uint32_t Find(std::uint32_t hash, HasName hasName) const {
        if (slots_.empty()) return kNone;
        for (std::size_t at = hash & Mask();; at = (at + 1) & Mask()) {
            const Slot& slot = slots_[at];
            if (slot.position == kNone) return kNone;
            if (slot.hash == hash && hasName(slot.position)) return slot.position;
        }
    }

    // Asks for the memory that Find and Add will look at first.
    void Fetch(std::uint32_t hash) const {
        if (!slots_.empty()) __builtin_prefetch(&slots_[hash & Mask()]);
    }

    void Add(std::uint32_t hash, std::uint32_t position) {
        if (2 * (count_ + 1) > slots_.size()) {
            std::vector<Slot> old(std::max<std::size_t>(16, 2 * slots_.size()), Slot{0, kNone});
            old.swap(slots_);
            for (const Slot& slot : old)
                if (slot.position != kNone) Place(slot);
        }
        Place({hash, position});
        ++count_;
    }

    void Clear() {
        std::fill(slots_.begin(), slots_.end(), Slot{0, kNone});
        count_ = 0;
    }

private:
    struct Slot {
        std::uint32_t hash;
        std::uint32_t position; // kNone in a free slot
    };

    std::size_t Mask() const { return slots_.size() - 1; }
    void Place(Slot slot) {
        std::size_t at = slot.hash & Mask();
        while (slots_[at].position != kNone)
            at = (at + 1) & Mask();
        slots_[at] = slot;
    }

    std::vector<Slot> slots_; // a power of two of them
    std::size_t count_ = 0;
};

// A list that grows a block at a time and never moves what it holds: a
// large read spends no time copying it as it grows. Clearing it keeps the
// blocks for the next read.
template <class T> class BlockList {
public:
    T& operator[](std::uint32_t at) { return blocks_[at / kBlock][at % kBlock]; }
    const T& operator[](std::uint32_t at) const { return blocks_[at / kBlock][at % kBlock]; }
    std::uint32_t size() const { return size_; }

    void push_back(const T& item) {
        if (size_ == blocks_.size() * kBlock)
            blocks_.push_back(std::make_unique_for_overwrite<T[]>(kBlock));
        (*this)[size_++] = item;
    }
    void clear() { size_ = 0; }

private:
    static constexpr std::uint32_t kBlock = 4096;
    std::vector<std::unique_ptr<T[]>> blocks_;
    std::uint32_t size_ = 0;
};

// A value's name and data lie together as "name=data": in the root file's
// bytes as read, or in the hive's own copy of what was written since.
struct Value {
    const char* at;
    std::uint32_t nameSize;
    std::uint32_t dataSize; // the text, or the number in decimal
    std::uint32_t type;
    std::uint32_t next; // the key's next value, or kNone

    std::string_view Name() const { return {at, nameSize}; }
    std::string_view Data() const { return {at + nameSize + 1, dataSize}; }
};

// A key's values are a chain in the order first written. The value lines of
// a key read once from a file stay unread in its bytes until one of its
// values is asked for.
struct Key {
    const char* path;
    std::size_t pathSize;
    const char* unread;
    std::size_t unreadSize;
    std::uint32_t first; // of its values, or kNone
    std::uint32_t last;
    std::uint32_t count;
    // A key of many values (none the program writes) indexes them, so that
    // reading it stays linear: which of the hive's indexes is its own.
    std::uint32_t byName;
    // A mark for each size its values' names have, modulo 64: a name of a
    // size not marked is not there, which spares most searches.
    std::uint64_t nameSizes;

    std::string_view Path() const { return {path, pathSize}; }
};

// One root's keys, in the order first made, and their values. The root
// itself (path "") always exists, and every key's parents come before it.
// Names read lie in the bytes parsed, which must outlive what the hive holds.
class Hive {
public:
    Hive() { AddKey("", CaseBlindHash("")); }

    // Empties the hive, keeping its memory for the next read.
    void Clear() {
        written_.clear();
        keys_.clear();
        values_.clear();
        byPath_.Clear();
        valueIndexes_.clear();
        lastParent_ = kNone;
        AddKey("", CaseBlindHash(""));
    }

    bool Has(std::string_view path) const { return FindKey(path, CaseBlindHash(path)) != kNone; }

    // The key's value of that name, or null.
    const Value* Find(std::string_view path, std::string_view name) {
        const std::uint32_t key = FindKey(path, CaseBlindHash(path));
        if (key == kNone) return nullptr;
        TakeUnread(key);
        const std::uint32_t at = FindValue(keys_[key], name);
        return at == kNone ? nullptr : &values_[at];
    }

    // Adds the key and each parent that is missing.
    void Create(std::string_view path) {
        KeyPath key;
        ReadKeyPath(Keep(path), key);
        Make(key);
    }

    // Replaces the key's value of that name, which keeps its name as first
    // written, or adds it. False when there is no such key, or for a name or
    // text too long to be held.
    bool Set(std::string_view path, std::string_view name, std::uint32_t type,
             std::string_view data) {
        const std::uint32_t key = FindKey(path, CaseBlindHash(path));
        if (key == kNone || name.size() >= UINT32_MAX || data.size() >= UINT32_MAX) return false;
        TakeUnread(key);
        const std::uint32_t known = FindValue(keys_[key], name);
        Put(key, Keep(known == kNone ? name : values_[known].Name(), data), name.size(), type);
        return true;
    }

    // Removes the key with every key below it.
    bool Remove(std::string_view path) {
        if (path.empty() || !Has(path)) return false;
        BlockList<Key> kept;
        for (std::uint32_t at = 0; at < keys_.size(); ++at)
            if (!SameTextAscii(keys_[at].Path(), path) && !IsBelow(keys_[at].Path(), path))
                kept.push_back(keys_[at]);
        keys_ = std::move(kept);
        byPath_.Clear();
        lastParent_ = kNone;
        for (std::uint32_t at = 0; at < keys_.size(); ++at)
            byPath_.Add(CaseBlindHash(keys_[at].Path()), at);
        return true;
    }

    bool Parse(std::string_view text);
    std::string Format();

private:
    std::uint32_t FindKey(std::string_view path, std::uint32_t hash) const {
        return byPath_.Find(hash,
                            [&](std::uint32_t at) { return SameName(keys_[at].Path(), path); });
    }

    static std::uint64_t SizeMark(std::string_view name) {
        return std::uint64_t{1} << name.size() % 64;
    }

    std::uint32_t FindValue(const Key& key, std::string_view name) const {
        const auto named = [&](std::uint32_t at) {
            return values_[at].nameSize == name.size() && SameName(values_[at].Name(), name);
        };
        if ((key.nameSizes & SizeMark(name)) == 0) return kNone;
        if (key.byName != kNone) return valueIndexes_[key.byName].Find(CaseBlindHash(name), named);
        for (std::uint32_t at = key.first; at != kNone; at = values_[at].next)
            if (named(at)) return at;
        return kNone;
    }

    std::uint32_t AddKey(std::string_view path, std::uint32_t hash) {
        const std::uint32_t at = keys_.size();
        keys_.push_back({path.data(), path.size(), nullptr, 0, kNone, kNone, 0, kNone, 0});
        byPath_.Add(hash, at);
        return at;
    }

    // The key of that path, made with each missing parent when missing, the
    // path being the hive's own: up to the deepest level that exists, then
    // down adding the rest, without recursion.
    std::uint32_t Make(const KeyPath& made) {
        const std::string_view path = made.path;
        std::uint32_t key = FindKey(path, made.hash);
        if (key != kNone) return key;
        // Keys are most often made one after another below one parent.
        std::size_t end = made.parentEnd; // where the level found ends
        const std::string_view parent = path.substr(0, end);
        key = lastParent_ < keys_.size() && keys_[lastParent_].Path() == parent
                  ? lastParent_
                  : FindKey(parent, CaseBlindHash(parent));
        while (key == kNone) { // the root always exists
            const std::size_t slash = path.rfind('\\', end - 1);
            end = slash == std::string_view::npos ? 0 : slash;
            key = FindKey(path.substr(0, end), CaseBlindHash(path.substr(0, end)));
        }
        while (end < path.size()) {
            lastParent_ = key;
            end = end >= made.parentEnd ? path.size()
                                        : std::min(path.find('\\', end + 1), path.size());
            const std::string_view level = path.substr(0, end);
            key = AddKey(level, end == path.size() ? made.hash : CaseBlindHash(level));
        }
        return key;
    }

    // Set, with the name and data "name=data" in `entry`, the hive's own.
    void Put(std::uint32_t keyAt, std::string_view entry, std::size_t nameSize,
             std::uint32_t type) {
        const std::string_view name = entry.substr(0, nameSize);
        const auto dataSize = static_cast<std::uint32_t>(entry.size() - nameSize - 1);
        Key& key = keys_[keyAt];
        if (const std::uint32_t at = FindValue(key, name); at != kNone) {
            Value& value = values_[at];
            if (value.Name() != name) entry = Keep(value.Name(), entry.substr(nameSize + 1));
            value.at = entry.data();
            value.dataSize = dataSize;
            value.type = type;
            return;
        }
        const std::uint32_t at = values_.size();
        values_.push_back(
            {entry.data(), static_cast<std::uint32_t>(nameSize), dataSize, type, kNone});
        (key.last == kNone ? key.first : values_[key.last].next) = at;
        key.last = at;
        key.nameSizes |= SizeMark(name);
        if (++key.count >= kIndexedFrom) Index(key, at);
    }

    // Gives the key the value lines read for it: left unread in the bytes when
    // it has no values yet, else put in now.
    void Take(std::uint32_t keyAt, std::string_view lines) {
        Key& key = keys_[keyAt];
        if (key.count == 0 && key.unreadSize == 0) {
            key.unread = lines.data();
            key.unreadSize = lines.size();
            return;
        }
        TakeUnread(keyAt);
        PutLines(keyAt, lines);
    }

    void TakeUnread(std::uint32_t keyAt) {
        const std::string_view lines(keys_[keyAt].unread, keys_[keyAt].unreadSize);
        keys_[keyAt].unreadSize = 0;
        PutLines(keyAt, lines);
    }

    // Puts in the values of lines read before, which are of the form.
    void PutLines(std::uint32_t keyAt, std::string_view lines) {
        std::string_view line;
        while (!lines.empty() && NextLine(lines, line)) {
            ValueLine value;
            if (ReadValueLine(line, value))
                Put(keyAt, line.substr(value.name), value.equals - value.name, value.type);
        }
    }

    void Index(Key& key, std::uint32_t added) {
        if (key.count > kIndexedFrom) {
            valueIndexes_[key.byName].Add(CaseBlindHash(values_[added].Name()), added);
            return;
        }
        key.byName = static_cast<std::uint32_t>(valueIndexes_.size());
        NameIndex& index = valueIndexes_.emplace_back();
        for (std::uint32_t at = key.first; at != kNone; at = values_[at].next)
            index.Add(CaseBlindHash(values_[at].Name()), at);
    }

    // A copy that lives as long as the hive.
    std::string_view Keep(std::string_view path) { return written_.emplace_back(path); }
    std::string_view Keep(std::string_view name, std::string_view data) {
        std::string& entry = written_.emplace_back();
        entry.reserve(name.size() + 1 + data.size());
        return entry.append(name).append(1, '=').append(data);
    }

    static constexpr std::uint32_t kIndexedFrom = 16;

    std::deque<std::string> written_; // names and texts written since
    BlockList<Key> keys_;
    BlockList<Value> values_; // those of removed keys too
    NameIndex byPath_;
    std::vector<NameIndex> valueIndexes_;
    std::uint32_t lastParent_ = kNone; // the parent of the key last made
};

// Reads the file's bytes in one pass: the scan that finds each line's end
// also finds any control character in it, a key's path is hashed once as it
// is read, and names and texts stay where they are in the bytes. False when
// a line is not of the form; the hive then holds what came before.
bool Hive::Parse(std::string_view text) {
    // A key is looked up and given its lines only when the next key or the
    // end is reached: the index's memory the lookup needs, asked for as the
    // key was read, has come by then.
    KeyPath key;
    bool inKey = false;
    const char* lines = nullptr; // the key's value lines begin
    const auto takeKey = [&](const char* end) {
        if (inKey) Take(Make(key), {lines, static_cast<std::size_t>(end - lines)});
    };
    while (!text.empty()) {
        const char* begin = text.data();
        std::string_view line;
        if (!NextLine(text, line)) return false;
        if (line.empty()) continue;
        if (line.front() == '[' && line.back() == ']') {
            KeyPath next;
            if (!ReadKeyPath(line.substr(1, line.size() - 2), next)) return false;
            byPath_.Fetch(next.hash);
            takeKey(begin);
            key = next;
            inKey = true;
            lines = text.data();
            continue;
        }
        ValueLine value;
        if (!inKey || !ReadValueLine(line, value)) return false;
    }
    takeKey(text.data());
    return true;
}

std::string Hive::Format() {
    std::string out;
    for (std::uint32_t at = 0; at < keys_.size(); ++at) {
        TakeUnread(at);
        const Key& k = keys_[at];
        out += '[';
        out += k.Path();
        out += "]\n";
        for (std::uint32_t v = k.first; v != kNone; v = values_[v].next) {
            const Value& value = values_[v];
            out += value.type == REG_DWORD ? "dword " : "sz ";
            out += value.Name();
            out += '=';
            out += value.Data();
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

// A file's bytes, in a buffer kept from one read to the next.
struct FileBytes {
    std::unique_ptr<char[]> data;
    std::size_t capacity = 0;
    std::size_t size = 0;
};

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
    FileBytes bytes; // as last read: the hive's names lie in them
    Hive hive;       // empty unless Read
    int fd = -1;
    struct stat seen {};

    // The memory of the bytes and the hive is kept for the next read.
    void Forget() {
        if (fd >= 0) close(fd);
        fd = -1;
        state = Missing;
        bytes.size = 0;
        hive.Clear();
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
// read), in a buffer with room for the size it had when opened.
bool ReadAll(int fd, std::size_t expected, FileBytes& bytes) {
    const auto grow = [&](std::size_t capacity) {
        auto larger = std::make_unique_for_overwrite<char[]>(capacity);
        if (bytes.size > 0) std::memcpy(larger.get(), bytes.data.get(), bytes.size);
        bytes.data = std::move(larger);
        bytes.capacity = capacity;
    };
    bytes.size = 0;
    if (bytes.capacity <= std::min(expected, kRegistryFileLimit))
        grow(std::min(expected, kRegistryFileLimit) + 1);
    while (bytes.size <= kRegistryFileLimit) {
        if (bytes.size == bytes.capacity)
            grow(std::min(2 * bytes.capacity, kRegistryFileLimit + 1));
        const ssize_t n = read(fd, bytes.data.get() + bytes.size, bytes.capacity - bytes.size);
        if (n == 0) return true;
        if (n < 0 && errno != EINTR) return false;
        if (n > 0) bytes.size += static_cast<std::size_t>(n);
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
    const bool parsed = !tooLarge && store.bytes.size <= kRegistryFileLimit &&
                        store.hive.Parse({store.bytes.data.get(), store.bytes.size});
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
    file.Write(store.hive.Format());
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
    if (!ReadHive(RootOf(key)).Has(path)) return ERROR_FILE_NOT_FOUND;
    *result = new RegistryKey{RootOf(key), path};
    OpenHandles().insert(*result);
    return ERROR_SUCCESS;
}

long RegQueryValueExA(HKEY key, const char* valueName, std::uint32_t*, std::uint32_t* type,
                      unsigned char* data, std::uint32_t* dataSize) {
    if (!IsValidHandle(key)) return ERROR_INVALID_HANDLE;
    if (data != nullptr && dataSize == nullptr) return ERROR_INVALID_PARAMETER;
    const Value* v = ReadHive(RootOf(key)).Find(PathOf(key), valueName == nullptr ? "" : valueName);
    if (v == nullptr) return ERROR_FILE_NOT_FOUND;

    std::string bytes;
    if (v->type == REG_DWORD) {
        std::uint32_t n = 0;
        std::from_chars(v->Data().data(), v->Data().data() + v->dataSize, n);
        for (int i = 0; i < 4; ++i)
            bytes += static_cast<char>((n >> (8 * i)) & 0xFF);
    } else {
        bytes = v->Data();
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
    if (!ReadHive(RootOf(root_)).Has(path)) {
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
    return NormalisePath(Resolve(key), path) && ReadHive(RootOf(root_)).Has(path);
}

bool TRegistry::ValueExists(const std::string& name) const {
    const Value* v = ReadHive(RootOf(root_)).Find(path_, name);
    return open_ && v != nullptr;
}

std::string TRegistry::ReadString(const std::string& name) const {
    if (!open_) return std::string();
    const Value* v = ReadHive(RootOf(root_)).Find(path_, name);
    if (v == nullptr) return std::string();
    if (v->type != REG_SZ) throw ERegistryException("Invalid data type for '" + name + "'");
    return std::string(v->Data());
}

void TRegistry::WriteString(const std::string& name, const std::string& value) {
    const std::string failure = "Failed to set data for '" + name + "'";
    if (!open_ || readOnly_ || !ValidValueName(name) || HasControlCharacter(value))
        throw ERegistryException(failure);
    const bool written = ChangeStore(
        RootOf(root_), [&](Hive& hive) { return hive.Set(path_, name, REG_SZ, value); });
    if (!written) throw ERegistryException(failure);
}

bool TRegistry::DeleteKey(const std::string& key) {
    std::string path;
    if (!NormalisePath(Resolve(key), path)) return false;
    return ChangeStore(RootOf(root_), [&](Hive& hive) { return hive.Remove(path); });
}
