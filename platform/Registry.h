#pragma once
// The registry: keys with string and number values under three roots, kept
// in one text file per root under a folder ($ROSTRIX_REGISTRY when set, else
// $XDG_CONFIG_HOME/rostrix/registry). Key and value names are case-blind;
// the empty value name is the key's default value. Every change rewrites its
// root's file atomically, under a lock that every running program takes, so
// that none loses another's change. A root file is read again only when it
// has changed. One that is there but cannot be read reads as empty and takes
// no write; a malformed one reads as empty and is kept aside by the next write.
//
// Two shapes, as callers use them: the API calls (open, query into the
// caller's buffer, close) and the registry class TRegistry.

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

struct RegistryKey;
using HKEY = RegistryKey*;

extern HKEY const HKEY_CLASSES_ROOT;
extern HKEY const HKEY_CURRENT_USER;
extern HKEY const HKEY_LOCAL_MACHINE;

enum : long {
    ERROR_SUCCESS = 0,
    ERROR_FILE_NOT_FOUND = 2,
    ERROR_ACCESS_DENIED = 5,
    ERROR_INVALID_HANDLE = 6,
    ERROR_INVALID_PARAMETER = 87,
    ERROR_MORE_DATA = 234,
};

enum : std::uint32_t { REG_SZ = 1, REG_DWORD = 4 };

enum : std::uint32_t {
    KEY_QUERY_VALUE = 0x0001,
    KEY_SET_VALUE = 0x0002,
    KEY_READ = 0x20019,
    KEY_ALL_ACCESS = 0xF003F,
};

// The most parts a key path may have. The program's deepest keys have four
// (a file type's "shell\open\command" below its name, the e-mail settings
// under "Software\Palomet Software\Rostrix"); the limit leaves room for
// keys added by hand and keeps every walk along a path short. Deeper keys
// are neither made nor opened, and a root file holding one is unreadable.
constexpr std::size_t kRegistryKeyDepthLimit = 16;

// The largest root file read. The program's own stores hold a few keys; one
// of 50,000 keys with five values each is under 9 MB. A larger file is read
// as unreadable, as a malformed one is, rather than into memory.
constexpr std::size_t kRegistryFileLimit = 64u << 20;

// The folder that holds the root files.
std::string RegistryFolder();

long RegOpenKeyExA(HKEY key, const char* subKey, std::uint32_t options, std::uint32_t desired,
                   HKEY* result);
// A string's data is its bytes and a closing NUL; a number's is 4 bytes.
// When data is null only the size is given; when the buffer is too small the
// result is ERROR_MORE_DATA with the size needed.
long RegQueryValueExA(HKEY key, const char* valueName, std::uint32_t* reserved, std::uint32_t* type,
                      unsigned char* data, std::uint32_t* dataSize);
long RegCloseKey(HKEY key);

class ERegistryException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The registry class: a root (HKEY_CURRENT_USER at first) and at most one
// open key. A key name starting with "\" is taken from the root, any other
// from the open key (from the root when none is open).
class TRegistry {
public:
    TRegistry();
    ~TRegistry();
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;

    HKEY RootKey() const { return root_; }
    void SetRootKey(HKEY root);

    bool OpenKey(const std::string& key, bool canCreate);
    bool OpenKeyReadOnly(const std::string& key);
    void CloseKey();
    // The open key's path below the root, without a leading "\".
    const std::string& CurrentPath() const { return path_; }

    bool KeyExists(const std::string& key) const;
    bool ValueExists(const std::string& name) const;

    // A missing value reads as the empty text; a number value raises.
    std::string ReadString(const std::string& name) const;
    // Raises ERegistryException when the value cannot be written.
    void WriteString(const std::string& name, const std::string& value);
    // Deletes the key with its values and every key below it.
    bool DeleteKey(const std::string& key);

private:
    std::string Resolve(const std::string& key) const;

    HKEY root_;
    std::string path_;
    bool open_ = false;
    bool readOnly_ = false;
};
