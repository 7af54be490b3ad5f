// The settings store on a root file whose bytes are the input, through the
// calls the program makes: the settings read at start, the API's open and
// query of a key and value the file names, and the registry class's open,
// read, write and key delete. A write keeps what the store held, and reads
// back.

#include "platform/Registry.h"
#include "platform/Text.h"
#include "tests/fuzz/FuzzSupport.h"
#include "unified/core/rxProgram.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace {

const char* const kWrittenKey = "\\Software\\Rostrix Fuzz";
const char* const kWrittenSubKey = "\\Software\\Rostrix Fuzz\\Scratch";

std::string folder;

// The first key the file names and the first value name after it, so that
// the queries reach what the file holds.
void FirstKeyAndValue(std::string_view text, std::string& key, std::string& value) {
    bool haveKey = false;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (!haveKey && line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            key.assign(line.substr(1, line.size() - 2));
            haveKey = true;
        } else if (haveKey) {
            const std::size_t blank = line.find(' ');
            const std::size_t equals = line.find('=', blank == line.npos ? 0 : blank);
            if (blank == line.npos || equals == line.npos) continue;
            value.assign(line.substr(blank + 1, equals - blank - 1));
            return;
        }
    }
}

// The API's query as the program makes it: the size first, then too small
// a buffer, then one of the size given. The three agree.
void QueryThroughApi(const std::string& key, const std::string& value) {
    HKEY handle = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_QUERY_VALUE, &handle) !=
        ERROR_SUCCESS)
        return;
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    if (RegQueryValueExA(handle, value.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
        std::vector<unsigned char> buffer(size + 1);
        std::uint32_t small = size - 1;
        if (size > 0 && (RegQueryValueExA(handle, value.c_str(), nullptr, nullptr, buffer.data(),
                                          &small) != ERROR_MORE_DATA ||
                         small != size))
            Fail("too small a buffer is not answered with the size needed");
        std::uint32_t exact = size;
        std::uint32_t typeAgain = 0;
        if (RegQueryValueExA(handle, value.c_str(), nullptr, &typeAgain, buffer.data(), &exact) !=
                ERROR_SUCCESS ||
            exact != size || typeAgain != type)
            Fail("a value does not read into a buffer of the size given for it");
    }
    if (RegCloseKey(handle) != ERROR_SUCCESS) Fail("an open key does not close");
}

void UseThroughClass(const std::string& key, const std::string& value) {
    TRegistry registry;
    registry.SetRootKey(HKEY_CURRENT_USER);
    const std::string held = "\\" + key;
    const bool hadKey = !key.empty() && registry.OpenKeyReadOnly(held);
    std::string before;
    bool hadValue = false;
    if (hadKey) {
        hadValue = registry.ValueExists(value);
        try {
            before = registry.ReadString(value);
        } catch (const ERegistryException&) {
            hadValue = false; // a number value
        }
    }
    // The written key itself may be what the file named.
    const bool ours =
        SameTextAscii(std::string_view(held).substr(0, std::strlen(kWrittenKey)), kWrittenKey);

    if (!registry.OpenKey(kWrittenSubKey, true)) return;
    try {
        registry.WriteString("Value", "written");
    } catch (const ERegistryException&) {
        return; // refused, and the caller is told
    }
    if (registry.ReadString("Value") != "written") Fail("a written value does not read back");
    if (hadKey && !ours) {
        if (!registry.KeyExists(held)) Fail("a write lost a key the store held");
        if (hadValue && registry.OpenKeyReadOnly(held) && registry.ReadString(value) != before)
            Fail("a write changed a value the store held");
    }
    if (registry.DeleteKey(kWrittenKey) && registry.KeyExists(kWrittenSubKey))
        Fail("a deleted key's child is still there");
    if (hadKey && !ours && !registry.KeyExists(held)) Fail("a delete lost another key");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    folder = ScratchFile("registry");
    setenv("ROSTRIX_REGISTRY", folder.c_str(), 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (folder.empty()) Fail("the store's scratch folder was not set up");
    // A new folder each time: nothing is left of the last input, not even a
    // file kept aside.
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    std::filesystem::create_directories(folder, ignored);
    WriteBytes(folder + "/HKEY_LOCAL_MACHINE", data, size);
    WriteBytes(folder + "/HKEY_CURRENT_USER", data, size);

    const rxProgram settings; // reads the installation folder, as at start
    std::string key;
    std::string value;
    FirstKeyAndValue(std::string_view(reinterpret_cast<const char*>(data), size), key, value);
    QueryThroughApi(key, value);
    UseThroughClass(key, value);
    return 0;
}
