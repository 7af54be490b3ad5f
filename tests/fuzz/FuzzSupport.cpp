#include "tests/fuzz/FuzzSupport.h"

#include "platform/MessageBox.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
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

void AnswerEveryBox() {
    SetMessageBoxResponder([](const MessageBoxCall&) { return IDOK; });
}
