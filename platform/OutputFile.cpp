#include "platform/OutputFile.h"

#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The permissions a newly created file gets (mkstemp makes it private).
mode_t NewFileMode() {
    const mode_t mask = umask(0);
    umask(mask);
    return static_cast<mode_t>(0666 & ~mask);
}

} // namespace

OutputFile::~OutputFile() {
    Discard();
}

bool OutputFile::Open(const std::string& path) {
    Discard();
    std::string temp = path + ".XXXXXX";
    const int fd = mkstemp(temp.data());
    if (fd < 0) return false;
    file_ = fdopen(fd, "wb");
    if (file_ == nullptr) {
        close(fd);
        unlink(temp.c_str());
        return false;
    }
    path_ = path;
    temp_ = std::move(temp);
    failed_ = false;
    return true;
}

void OutputFile::Write(std::string_view bytes) {
    if (file_ == nullptr || bytes.empty()) return;
    if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) failed_ = true;
}

bool OutputFile::Commit() {
    if (file_ == nullptr) return false;
    struct stat old {};
    const mode_t mode = stat(path_.c_str(), &old) == 0 ? (old.st_mode & 07777) : NewFileMode();
    bool ok = !failed_ && std::fflush(file_) == 0 && fchmod(fileno(file_), mode) == 0 &&
              fsync(fileno(file_)) == 0;
    ok = std::fclose(file_) == 0 && ok;
    file_ = nullptr;
    ok = ok && std::rename(temp_.c_str(), path_.c_str()) == 0;
    if (!ok) unlink(temp_.c_str());
    return ok;
}

void OutputFile::Discard() {
    if (file_ == nullptr) return;
    std::fclose(file_);
    file_ = nullptr;
    unlink(temp_.c_str());
}
