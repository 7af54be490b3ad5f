#include "platform/Registry.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/Scratch.h"

#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <set>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Holds children back until Open(), so that they start at the same moment:
// each blocks reading a pipe whose writing end closes.
class StartGate {
public:
    StartGate() {
        if (pipe(ends_) != 0) ends_[0] = ends_[1] = -1;
    }
    ~StartGate() { Open(); }
    void WaitInChild() {
        close(ends_[1]);
        char c;
        (void)read(ends_[0], &c, 1);
    }
    void Open() {
        if (ends_[1] >= 0) close(ends_[1]);
        ends_[1] = -1;
    }

private:
    int ends_[2];
};

// Counts how often a file of a folder is opened, as the kernel tells it.
// Closes are watched too, since the kernel merges repeated events that
// follow each other unread.
class OpenCounter {
public:
    OpenCounter(const std::string& folder, std::string name)
        : fd_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)), name_(std::move(name)) {
        inotify_add_watch(fd_, folder.c_str(), IN_OPEN | IN_CLOSE);
    }
    ~OpenCounter() { close(fd_); }

    // The opens since the last call; -1 when events were lost.
    int Take() {
        int opens = 0;
        alignas(inotify_event) char buffer[4096];
        for (ssize_t n; (n = read(fd_, buffer, sizeof buffer)) > 0;) {
            for (ssize_t at = 0; at < n;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                if (event->mask & IN_Q_OVERFLOW) return -1;
                if ((event->mask & IN_OPEN) && event->len > 0 && name_ == event->name) ++opens;
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            }
        }
        return opens;
    }

private:
    int fd_;
    std::string name_;
};

// A key path of `parts` parts.
std::string PathOfParts(std::size_t parts) {
    std::string path = "k";
    for (std::size_t i = 1; i < parts; ++i)
        path += "\\k";
    return path;
}

class RegistryTest : public testing::Test {
protected:
    TempFolder folder;
    ScopedEnv registry{"ROSTRIX_REGISTRY", folder.Path() + "/registry"};

    std::string RootFile(const char* root) { return folder.Path() + "/registry/" + root; }

    // Reads a value through the API calls, with a buffer of `size` bytes.
    long Query(HKEY root, const char* key, const char* name, std::string& value,
               std::uint32_t size = 100) {
        HKEY handle = nullptr;
        long result = RegOpenKeyExA(root, key, 0, KEY_QUERY_VALUE, &handle);
        if (result != ERROR_SUCCESS) return result;
        std::string buffer(size, '\0');
        std::uint32_t type = 0;
        result = RegQueryValueExA(handle, name, nullptr, &type,
                                  reinterpret_cast<unsigned char*>(buffer.data()), &size);
        EXPECT_EQ(RegCloseKey(handle), ERROR_SUCCESS);
        if (result == ERROR_SUCCESS) {
            EXPECT_EQ(type, static_cast<std::uint32_t>(REG_SZ));
            value = buffer.substr(0, size - 1);
        } else if (result == ERROR_MORE_DATA) {
            value = std::to_string(size);
        }
        return result;
    }
};

} // namespace

TEST_F(RegistryTest, WritesNestedKeysLevelByLevelAndReadsThemBack) {
    TRegistry reg;
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(reg.OpenKey("Software", true));
    ASSERT_TRUE(reg.OpenKey("Palomet Software", true));
    ASSERT_TRUE(reg.OpenKey("Rostrix", true));
    EXPECT_EQ(reg.CurrentPath(), "Software\\Palomet Software\\Rostrix");
    reg.WriteString("installDirectory", "/opt/rostrix");
    reg.CloseKey();

    std::string value;
    ASSERT_EQ(Query(HKEY_LOCAL_MACHINE, "SOFTWARE\\Palomet Software\\Rostrix\\", "installDirectory",
                    value),
              ERROR_SUCCESS);
    EXPECT_EQ(value, "/opt/rostrix");
    // The roots are apart: nothing of it under the user's root.
    EXPECT_EQ(Query(HKEY_CURRENT_USER, "Software", "", value), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryTest, KeyAndValueNamesAreCaseBlind) {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("Software\\Palomet Software\\Rostrix\\online", true));
    reg.WriteString("userId", "club42");
    reg.CloseKey();
    ASSERT_TRUE(reg.OpenKeyReadOnly("SOFTWARE\\palomet software\\ROSTRIX\\Online"));
    EXPECT_EQ(reg.ReadString("userID"), "club42");
    EXPECT_TRUE(reg.ValueExists("USERID"));
    // Writing under another case replaces the one value.
    reg.CloseKey();
    ASSERT_TRUE(reg.OpenKey("software\\palomet software\\rostrix\\online", false));
    reg.WriteString("USERID", "club43");
    EXPECT_EQ(reg.ReadString("userId"), "club43");
}

TEST_F(RegistryTest, OpeningWithoutCreateFailsOnAMissingKey) {
    TRegistry reg;
    EXPECT_FALSE(reg.OpenKey("Software", false));
    EXPECT_FALSE(reg.KeyExists("Software"));
    EXPECT_TRUE(reg.OpenKey("", false)); // the root itself always opens
    EXPECT_EQ(reg.ReadString("missing"), "");
}

TEST_F(RegistryTest, TheDefaultValueHasTheEmptyName) {
    TRegistry reg;
    reg.SetRootKey(HKEY_CLASSES_ROOT);
    ASSERT_TRUE(reg.OpenKey(".lad", true));
    reg.WriteString("", "Rostrix.ChallengeLadder.1");
    reg.CloseKey();
    std::string value;
    ASSERT_EQ(Query(HKEY_CLASSES_ROOT, ".lad", nullptr, value), ERROR_SUCCESS);
    EXPECT_EQ(value, "Rostrix.ChallengeLadder.1");
}

TEST_F(RegistryTest, QueryReportsTheSizeWhenTheBufferIsTooSmall) {
    TRegistry reg;
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(reg.OpenKey("Software\\P", true));
    reg.WriteString("v", std::string(100, 'x'));
    std::string value;
    // 100 characters and the closing NUL need 101 bytes.
    EXPECT_EQ(Query(HKEY_LOCAL_MACHINE, "Software\\P", "v", value, 100), ERROR_MORE_DATA);
    EXPECT_EQ(value, "101");
    EXPECT_EQ(Query(HKEY_LOCAL_MACHINE, "Software\\P", "v", value, 101), ERROR_SUCCESS);
    EXPECT_EQ(value, std::string(100, 'x'));
}

TEST_F(RegistryTest, RefusesValuesWithControlCharacters) {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("Software", true));
    EXPECT_THROW(reg.WriteString("name", "line one\nline two"), ERegistryException);
    EXPECT_THROW(reg.WriteString("tab\tname", "x"), ERegistryException);
    EXPECT_THROW(reg.WriteString("a=b", "x"), ERegistryException);
    EXPECT_FALSE(reg.ValueExists("name"));
    // A read-only key takes no writes.
    reg.CloseKey();
    ASSERT_TRUE(reg.OpenKeyReadOnly("Software"));
    EXPECT_THROW(reg.WriteString("name", "x"), ERegistryException);
}

TEST_F(RegistryTest, DeleteKeyTakesEverythingBelowIt) {
    TRegistry reg;
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(reg.OpenKey("Software\\Palomet Software\\Rostrix\\sub", true));
    reg.WriteString("a", "1");
    ASSERT_TRUE(reg.OpenKey("\\Software\\Palomet Software\\Rostrix2", true));
    reg.CloseKey();
    ASSERT_TRUE(reg.OpenKey("Software\\Palomet Software", false));
    EXPECT_TRUE(reg.DeleteKey("Rostrix"));
    EXPECT_FALSE(reg.KeyExists("Rostrix"));
    EXPECT_FALSE(reg.KeyExists("\\Software\\Palomet Software\\Rostrix\\sub"));
    // A key whose name only begins the same stays.
    EXPECT_TRUE(reg.KeyExists("Rostrix2"));
    EXPECT_FALSE(reg.DeleteKey("Rostrix"));
}

TEST_F(RegistryTest, RewritesAtomicallyAndLeavesNoTemporaryFile) {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("Software", true));
    reg.WriteString("a", "1");
    reg.WriteString("b", "2");
    const std::string text = ReadFile(RootFile("HKEY_CURRENT_USER"));
    EXPECT_EQ(text, "[]\n\n[Software]\nsz a=1\nsz b=2\n\n");
    // Beside the root file only the lock that writers take.
    std::set<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path() + "/registry"))
        files.insert(entry.path().filename().string());
    EXPECT_EQ(files, (std::set<std::string>{"HKEY_CURRENT_USER", "lock"}));
}

TEST_F(RegistryTest, ARewriteReplacesTheFileRatherThanWritingIntoIt) {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("Software", true));
    reg.WriteString("a", "1");
    struct stat before {
    }, after{};
    ASSERT_EQ(stat(RootFile("HKEY_CURRENT_USER").c_str(), &before), 0);
    reg.WriteString("a", "2");
    ASSERT_EQ(stat(RootFile("HKEY_CURRENT_USER").c_str(), &after), 0);
    // A reader that has the old file open keeps reading the old whole file.
    EXPECT_NE(before.st_ino, after.st_ino);
}

TEST_F(RegistryTest, AWriteThatCannotBeSavedRaises) {
    // The registry folder's place is taken by a file: nothing can be saved.
    WriteFile(folder.Path() + "/registry", "not a folder");
    TRegistry reg;
    EXPECT_FALSE(reg.OpenKey("Software", true));
    ASSERT_TRUE(reg.OpenKey("", false));
    EXPECT_THROW(reg.WriteString("a", "1"), ERegistryException);
    EXPECT_EQ(ReadFile(folder.Path() + "/registry"), "not a folder");
}

TEST_F(RegistryTest, ACorruptFileReadsAsEmptyWithoutACrash) {
    const std::string bad[] = {
        "garbage without a key\n",
        "[Software]\nsz\n",
        "[Software]\nxx a=1\n",
        "[Software]\ndword n=99999999999\n",
        "[Software]\ndword n=12a\n",
        "[Soft\\\\ware]\n",
        std::string("[Software]\nsz a=1\x01\n"),
        std::string(5000, '\xff'),
        // Other control characters, and lines wrong in other ways.
        "[Software]\nsz a=12345678\x7f\n",
        std::string("[Software]\nsz a\0b=1\n", 20),
        "[Software]\n[Soft\tware]\n",
        "[Software]\nsz a=1\rsz b=2\n",
        "[Software]\r\r\nsz a=1\n",
        "sz a=1\n[Software]\n",
        "[Software]\nSZ a=1\n",
        "[Software]\ndword n=4294967296\n",
        "[Software]\ndword n=\n",
    };
    std::filesystem::create_directories(folder.Path() + "/registry");
    // Each also with good lines after it, so that what is wrong is not at
    // the file's end.
    for (const std::string& text : bad) {
        for (const std::string& file : {text, text + "[Software\\Well-formed]\nsz a=1\n"}) {
            WriteFile(RootFile("HKEY_CURRENT_USER"), file);
            TRegistry reg;
            EXPECT_FALSE(reg.KeyExists("Software")) << file;
            std::string value;
            EXPECT_EQ(Query(HKEY_CURRENT_USER, "Software", "a", value), ERROR_FILE_NOT_FOUND);
        }
    }
    // A well-formed file reads whole, and a write keeps it as read: CR LF
    // lines (the last with no LF), a key or value named again in another
    // case, bytes above ASCII, a key of thousands of values, a key whose
    // parent is not named.
    constexpr int kMany = 5000;
    std::string text =
        "[\\Software\\]\r\nsz a=1 \r\nsz b=first\r\ndword n=7\r\n\r\n[SOFTWARE\\Many]\n";
    for (int i = 0; i < kMany; ++i)
        text += "sz v" + std::to_string(i) + "=" + std::to_string(i) + "\n";
    text +=
        "[SOFTWARE]\nsz B=M\xc3\xbcller\n[Club\\Rostrix]\nsz x=1\n[software\\many]\nsz V3=again\r";
    WriteFile(RootFile("HKEY_CURRENT_USER"), text);
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("Software", false));
    EXPECT_EQ(reg.ReadString("a"), "1 ");
    EXPECT_EQ(reg.ReadString("b"), "M\xc3\xbcller");
    EXPECT_THROW(reg.ReadString("n"), ERegistryException);
    ASSERT_TRUE(reg.OpenKey("Many", false));
    EXPECT_EQ(reg.ReadString("v3"), "again");
    EXPECT_EQ(reg.ReadString("v4999"), "4999");
    ASSERT_TRUE(reg.OpenKey("\\Club", false));
    reg.WriteString("y", "2");
    std::string many;
    for (int i = 0; i < kMany; ++i)
        many += "sz v" + std::to_string(i) + "=" + (i == 3 ? "again" : std::to_string(i)) + "\n";
    EXPECT_EQ(ReadFile(RootFile("HKEY_CURRENT_USER")),
              "[]\n\n[Software]\nsz a=1 \nsz b=M\xc3\xbcller\ndword n=7\n\n[SOFTWARE\\Many]\n" +
                  many + "\n[Club]\nsz y=2\n\n[Club\\Rostrix]\nsz x=1\n\n");
}

TEST_F(RegistryTest, EveryUnreadableFileIsKeptBesideInACopyOfItsOwn) {
    std::filesystem::create_directories(folder.Path() + "/registry");
    const std::string store = RootFile("HKEY_CURRENT_USER");
    const std::string copies[] = {store + ".unreadable", store + ".unreadable.2",
                                  store + ".unreadable.3"};
    const auto unreadable = [](int n) {
        return "[Software\\email]\nsz fromName=Club " + std::to_string(n) + "\nqword future=1\n";
    };
    for (int n = 0; n < 3; ++n) {
        WriteFile(store, unreadable(n));
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey("Software\\online", true));
        reg.WriteString("userId", "club42");
        EXPECT_EQ(reg.ReadString("userId"), "club42");
        for (int m = 0; m <= n; ++m)
            EXPECT_EQ(ReadFile(copies[m]), unreadable(m)) << m;
    }
}

TEST_F(RegistryTest, AFileOverTheSizeLimitIsUnreadableNotReadIntoMemory) {
    std::filesystem::create_directories(folder.Path() + "/registry");
    const std::string store = RootFile("HKEY_CURRENT_USER");
    // Well formed but for its size: blank lines are skipped.
    const std::string key = "[Software]\n";
    for (const std::size_t size : {kRegistryFileLimit, kRegistryFileLimit + 1}) {
        const std::string text = key + std::string(size - key.size(), '\n');
        WriteFile(store, text);
        TRegistry reg;
        EXPECT_EQ(reg.KeyExists("Software"), size <= kRegistryFileLimit) << size;
        ASSERT_TRUE(reg.OpenKey("Other", true));
        if (size > kRegistryFileLimit) {
            EXPECT_EQ(std::filesystem::file_size(store + ".unreadable"), text.size());
        }
    }
}

TEST_F(RegistryTest, HandlesAreCheckedAndClosedOnce) {
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "", 0, KEY_READ, &key), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
    std::uint32_t size = 0;
    EXPECT_EQ(RegQueryValueExA(key, "a", nullptr, nullptr, nullptr, &size), ERROR_INVALID_HANDLE);
}

TEST_F(RegistryTest, KeyPathsDeeperThanTheLimitAreRefused) {
    const std::size_t limit = kRegistryKeyDepthLimit;
    const std::string store = RootFile("HKEY_CURRENT_USER");
    std::filesystem::create_directories(folder.Path() + "/registry");

    // A file with a key deeper than the limit reads as unreadable: empty, and
    // kept aside whole by the next write. The two deepest overflowed the
    // stack of a walk that recursed.
    const struct {
        std::size_t parts;
        bool readable;
    } files[] = {{limit, true}, {limit + 1, false}, {20'000, false}, {100'000, false}};
    for (const auto& c : files) {
        const std::string text = "[" + PathOfParts(c.parts) + "]\nsz v=1\n";
        WriteFile(store, text);
        TRegistry reg;
        EXPECT_EQ(reg.KeyExists("k"), c.readable) << c.parts;
        ASSERT_TRUE(reg.OpenKey("other", true)) << c.parts;
        if (!c.readable) {
            EXPECT_TRUE(ReadFile(store + ".unreadable") == text) << c.parts;
        }
        std::filesystem::remove(store + ".unreadable");
        std::filesystem::remove(store);
    }

    // Keys are made and opened up to the limit and no deeper, however the
    // path is reached.
    const struct {
        std::string path;
        bool opens;
    } paths[] = {
        {PathOfParts(limit), true},
        {PathOfParts(limit + 1), false},
        {PathOfParts(100'000), false},
        {std::string(100'000, '\\') + "k" + std::string(100'000, '\\'), true},
    };
    for (const auto& c : paths) {
        TRegistry reg;
        EXPECT_EQ(reg.OpenKey(c.path, true), c.opens) << c.path.size();
        EXPECT_EQ(reg.KeyExists("\\" + c.path), c.opens) << c.path.size();
    }
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(PathOfParts(limit), false));
    EXPECT_FALSE(reg.OpenKey("below", true));
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, PathOfParts(limit).c_str(), 0, KEY_READ, &key),
              ERROR_SUCCESS);
    HKEY below = nullptr;
    EXPECT_EQ(RegOpenKeyExA(key, "below", 0, KEY_READ, &below), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

TEST_F(RegistryTest, ReadsTheFileAgainOnlyWhenItHasChanged) {
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey("Software", true));
        reg.WriteString("a", "1");
    }
    OpenCounter opens(folder.Path() + "/registry", "HKEY_CURRENT_USER");
    std::string value;
    for (int i = 0; i < 20; ++i)
        ASSERT_EQ(Query(HKEY_CURRENT_USER, "Software", "a", value), ERROR_SUCCESS);
    EXPECT_EQ(value, "1");
    EXPECT_EQ(opens.Take(), 1);

    // Another program's write replaces the file.
    EXPECT_EQ(ChildProcess([] {
                  TRegistry reg;
                  if (!reg.OpenKey("Software", false)) return std::string("no key");
                  reg.WriteString("a", "2");
                  return std::string();
              }).Wait(),
              "");
    opens.Take();
    for (int i = 0; i < 20; ++i)
        ASSERT_EQ(Query(HKEY_CURRENT_USER, "Software", "a", value), ERROR_SUCCESS);
    EXPECT_EQ(value, "2");
    EXPECT_EQ(opens.Take(), 1);
}

TEST_F(RegistryTest, AFileChangedInAnyWayIsReadAgain) {
    const std::string store = RootFile("HKEY_CURRENT_USER");
    const struct {
        const char* change;
        std::function<void()> apply;
        const char* value; // null: no such value
    } cases[] = {
        {"replaced by one of the same size and times",
         [&] {
             struct stat old {};
             stat(store.c_str(), &old);
             WriteFile(store + ".new", "[Software]\nsz a=2\n");
             const timespec times[2] = {old.st_atim, old.st_mtim};
             utimensat(AT_FDCWD, (store + ".new").c_str(), times, 0);
             std::filesystem::rename(store + ".new", store);
         },
         "2"},
        {"written over in place", [&] { WriteFile(store, "[Software]\nsz a=22\n"); }, "22"},
        {"removed", [&] { std::filesystem::remove(store); }, nullptr},
        {"replaced by one that cannot be read", [&] { WriteFile(store, "[Software]\n?\n"); },
         nullptr},
    };
    std::filesystem::create_directories(folder.Path() + "/registry");
    for (const auto& c : cases) {
        WriteFile(store, "[Software]\nsz a=1\n");
        std::string value;
        ASSERT_EQ(Query(HKEY_CURRENT_USER, "Software", "a", value), ERROR_SUCCESS) << c.change;
        ASSERT_EQ(value, "1");
        c.apply();
        const long result = Query(HKEY_CURRENT_USER, "Software", "a", value);
        if (c.value == nullptr) {
            EXPECT_NE(result, ERROR_SUCCESS) << c.change;
        } else {
            EXPECT_EQ(result, ERROR_SUCCESS) << c.change;
            EXPECT_EQ(value, c.value) << c.change;
        }
    }
}

TEST_F(RegistryTest, TwoProgramsWritingAtOnceLoseNoValue) {
    // Enough writes to interleave many times; few enough that one writer
    // never keeps the other from the lock for the whole of its wait when a
    // busy disk makes every write slow.
    constexpr int kEach = 150;
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey("Software\\Race", true));
    }
    StartGate gate;
    const auto writer = [&](char prefix) {
        return [&gate, prefix] {
            gate.WaitInChild();
            TRegistry reg;
            if (!reg.OpenKey("Software\\Race", false)) return std::string("no key");
            for (int i = 0; i < kEach; ++i)
                reg.WriteString(prefix + std::to_string(i), "x");
            return std::string();
        };
    };
    ChildProcess first(writer('a')), second(writer('b'));
    gate.Open();
    EXPECT_EQ(first.Wait(), "");
    EXPECT_EQ(second.Wait(), "");

    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("Software\\Race", false));
    int kept = 0;
    for (int i = 0; i < kEach; ++i)
        kept += reg.ValueExists("a" + std::to_string(i)) + reg.ValueExists("b" + std::to_string(i));
    EXPECT_EQ(kept, 2 * kEach);
}

TEST_F(RegistryTest, AStoreThatCannotBeOpenedTakesNoWrite) {
    const std::string store = RootFile("HKEY_CURRENT_USER");
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey("Software", true));
        reg.WriteString("a", "1");
    }
    const std::string text = ReadFile(store);
    // The child, unprivileged, owns the folder but may not open the file.
    if (geteuid() == 0) {
        ASSERT_EQ(chmod(folder.Path().c_str(), 0711), 0);
        ASSERT_EQ(
            chown((folder.Path() + "/registry").c_str(), kUnprivilegedUser, kUnprivilegedUser), 0);
    }
    ASSERT_EQ(chmod(store.c_str(), 0), 0);

    const struct {
        const char* write;
        std::function<bool()> reportsSuccess;
    } writes[] = {
        {"creating a key", [] { return TRegistry().OpenKey("Software\\New", true); }},
        {"writing a value",
         [] {
             TRegistry reg;
             if (!reg.OpenKey("", false)) return false;
             try {
                 reg.WriteString("b", "2");
                 return true;
             } catch (const ERegistryException&) {
                 return false;
             }
         }},
        {"deleting a key", [] { return TRegistry().DeleteKey("Software"); }},
    };
    const auto tryEach = [&] {
        std::string problems;
        if (open(store.c_str(), O_RDONLY) >= 0) problems += "the file can be opened; ";
        for (const auto& w : writes)
            if (w.reportsSuccess()) problems += std::string(w.write) + " succeeded; ";
        // Reads go on as before: the store reads as empty.
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &key) != ERROR_FILE_NOT_FOUND)
            problems += "the key was found; ";
        return problems;
    };
    EXPECT_EQ(ChildProcess(tryEach, true).Wait(), "");

    ASSERT_EQ(chmod(store.c_str(), 0600), 0);
    EXPECT_EQ(ReadFile(store), text);
    EXPECT_FALSE(std::filesystem::exists(store + ".unreadable"));
}
