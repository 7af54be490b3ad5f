#include "tests/fuzz/FuzzSupport.h"

#include "platform/MessageBox.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <system_error>

namespace {

std::string scratchFolder;

void RemoveScratch() {
    std::error_code ignored;
    std::filesystem::remove_all(scratchFolder, ignored);
}

} // namespace

std::string ScratchFile(const std::string& name) {
    if (scratchFolder.empty()) {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern =
            std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/rostrix-fuzz-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr) Fail("no scratch folder under " + pattern);
        scratchFolder = pattern;
        std::atexit(RemoveScratch);
    }
    return scratchFolder + "/" + name;
}

void WriteBytes(const std::string& path, const std::uint8_t* data, std::size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (!out.flush()) Fail("cannot write the scratch file " + path);
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    WriteBytes(path, reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Fail(const std::string& rule) {
    std::fprintf(stderr, "==FUZZ RULE BROKEN== %s\n", rule.c_str());
    std::fflush(stderr);
    std::abort();
}

std::string Quoted(const std::string& text) {
    std::string out = "[";
    for (unsigned char c : text) {
        if (c < 0x20 || c == 0x7F) {
            const char* const hex = "0123456789abcdef";
            out += "\\x";
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "]";
}

void CheckSameContents(const std::string& before, const std::string& after,
                       const std::string& rule) {
    if (before == after) return;
    std::istringstream a(before);
    std::istringstream b(after);
    std::string lineA;
    std::string lineB;
    while (true) {
        const bool moreA = static_cast<bool>(std::getline(a, lineA));
        const bool moreB = static_cast<bool>(std::getline(b, lineB));
        if (!moreA) lineA = "(nothing)";
        if (!moreB) lineB = "(nothing)";
        if (lineA != lineB || (!moreA && !moreB))
            Fail(rule + "\n  before: " + lineA + "\n  after:  " + lineB);
    }
}

void AnswerEveryBox() {
    SetMessageBoxResponder([](const MessageBoxCall&) { return IDOK; });
}
