#include "platform/OutputFile.h"

#include <climits>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The file a save of this path replaces: the end of its chain of symbolic
// links (which need not exist yet), or the path itself. Empty for a chain
// that does not end, which a direct write would refuse too.
std::string SaveTarget(std::string path) {
    constexpr int kMostLinks = 40; // as the system follows them
    for (int i = 0; i < kMostLinks; ++i) {
        struct stat info {};
        if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
        std::string link(PATH_MAX, '\0');
        const ssize_t length = readlink(path.c_str(), link.data(), link.size());
        if (length <= 0 || static_cast<std::size_t>(length) >= link.size()) return {};
        link.resize(static_cast<std::size_t>(length));
        const auto slash = path.rfind('/');
        if (link.front() != '/' && slash != std::string::npos) link.insert(0, path, 0, slash + 1);
        path = std::move(link);
    }
    return {};
}

// Whether a file that exists may not be written by this user.
bool IsWriteProtected(const std::string& path) {
    return faccessat(AT_FDCWD, path.c_str(), F_OK, AT_EACCESS) == 0 &&
           faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0;
}

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
    std::string target = SaveTarget(path);
    if (target.empty() || IsWriteProtected(target)) return false;
    std::string temp = target + ".XXXXXX";
    const int fd = mkstemp(temp.data());
    if (fd < 0) return false;
    file_ = fdopen(fd, "wb");
    if (file_ == nullptr) {
        close(fd);
        unlink(temp.c_str());
        return false;
    }
    path_ = std::move(target);
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

void IgnoreFileSizeLimitSignal() {
    std::signal(SIGXFSZ, SIG_IGN);
}
