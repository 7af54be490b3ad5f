#include "platform/AtomicFile.h"

#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

mode_t NewFileMode() {
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

} // namespace

AtomicFile::AtomicFile(std::string path) : path_(std::move(path)) {
}

AtomicFile::~AtomicFile() {
    Discard();
}

bool AtomicFile::Open(std::ofstream& stream) {
    Discard();
    temp_ = path_ + ".XXXXXX";
    fd_ = mkstemp(temp_.data());
    if (fd_ < 0) {
        temp_.clear();
        return false;
    }
    stream.open(temp_, std::ios::out | std::ios::binary | std::ios::trunc);
    if (!stream) {
        Discard();
        return false;
    }
    return true;
}

bool AtomicFile::Commit(std::ofstream& stream) {
    if (fd_ < 0) return false;
    stream.close(); // flushes: a failed flush sets the fail bit
    bool ok = !stream.fail();
    struct stat old;
    const mode_t mode = stat(path_.c_str(), &old) == 0 ? (old.st_mode & 07777) : NewFileMode();
    ok = ok && fchmod(fd_, mode) == 0;
    ok = ok && fsync(fd_) == 0;
    ok = (close(fd_) == 0) && ok;
    fd_ = -1;
    ok = ok && std::rename(temp_.c_str(), path_.c_str()) == 0;
    if (ok) temp_.clear();
    Discard();
    return ok;
}

void AtomicFile::Discard() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
    if (!temp_.empty()) unlink(temp_.c_str());
    temp_.clear();
}
