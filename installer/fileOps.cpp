#include "installer/fileOps.h"

#include "platform/Environment.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

bool ForceDirectories(const std::string& path) {
    if (DirectoryExists(path)) return true;
    const std::size_t slash = path.rfind('/');
    if (slash != std::string::npos && slash + 1 != path.size() && slash > 0 &&
        !ForceDirectories(path.substr(0, slash)))
        return false;
    return !path.empty() && mkdir(path.c_str(), 0777) == 0;
}

namespace {

constexpr std::size_t kCopyBufferSize = 64 * 1024;

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int Get() const { return fd_; }
    void Reset(int fd) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = fd;
    }
    // Closes now and tells whether the close succeeded.
    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

bool WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

// The names between the slashes of a path; false for a "." or ".." part.
bool PathParts(const std::string& path, std::vector<std::string>& parts) {
    for (std::size_t start = 0; start <= path.size();) {
        std::size_t end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        std::string part = path.substr(start, end - start);
        if (part == "." || part == "..") return false;
        if (!part.empty()) parts.push_back(std::move(part));
        start = end + 1;
    }
    return true;
}

} // namespace

int CreateTemporaryBeside(const std::string& dir, const std::string& name, std::string& path) {
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string suffix(6, ' ');
        for (char& c : suffix)
            c = kLetters[random() % (sizeof kLetters - 1)];
        path = dir + "/." + name + "." + suffix;
        // O_EXCL fails on any entry at the name, a link to elsewhere too.
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

void CopyFileInto(const std::string& name, const std::string& sourceDir,
                  const std::string& destDir) {
    const std::string source = sourceDir + "/" + name;
    const std::string target = destDir + "/" + name;
    FileDescriptor in(::open(source.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat sourceStat {};
    if (in.Get() < 0 || fstat(in.Get(), &sourceStat) != 0 || !S_ISREG(sourceStat.st_mode))
        throw EFileStreamError("Cannot open file \"" + source + "\"");
    // Writing a file onto itself would empty it before it is read.
    struct stat targetStat {};
    if (stat(target.c_str(), &targetStat) == 0 && targetStat.st_dev == sourceStat.st_dev &&
        targetStat.st_ino == sourceStat.st_ino)
        throw EFileStreamError("Cannot copy file \"" + source + "\" onto itself");

    std::string temp;
    FileDescriptor out(CreateTemporaryBeside(destDir, name, temp));
    if (out.Get() < 0) throw EFileStreamError("Cannot create file \"" + target + "\"");
    bool ok = fchmod(out.Get(), (sourceStat.st_mode & 07777) | S_IWUSR) == 0;
    std::vector<char> buffer(kCopyBufferSize);
    while (ok) {
        const ssize_t got = ::read(in.Get(), buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            ok = got == 0;
            break;
        }
        ok = WriteAll(out.Get(), buffer.data(), static_cast<std::size_t>(got));
    }
    in.Close();
    ok = ok && fsync(out.Get()) == 0;
    ok = out.Close() && ok;
    if (!ok || std::rename(temp.c_str(), target.c_str()) != 0) {
        ::unlink(temp.c_str());
        throw EFileStreamError("Cannot write file \"" + target + "\"");
    }
}

bool RenameNoReplace(const std::string& from, const std::string& to) {
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    // A file system without the flag: a hard link refuses an existing name too.
    if (::link(from.c_str(), to.c_str()) != 0) return false;
    ::unlink(from.c_str());
    return true;
}

bool RemoveInside(const std::string& base, const std::string& relative, EntryKind kind) {
    std::vector<std::string> parts;
    if (!PathParts(relative, parts) || parts.empty()) return false;
    FileDescriptor folder(::open(base.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    for (std::size_t i = 0; i + 1 < parts.size() && folder.Get() >= 0; ++i)
        folder.Reset(::openat(folder.Get(), parts[i].c_str(),
                              O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    struct stat entry {};
    const char* const name = parts.back().c_str();
    if (folder.Get() < 0 || fstatat(folder.Get(), name, &entry, AT_SYMLINK_NOFOLLOW) != 0)
        return false;
    const bool isFolder = S_ISDIR(entry.st_mode);
    if (isFolder != (kind == EntryKind::Folder) && !S_ISLNK(entry.st_mode)) return false;
    return unlinkat(folder.Get(), name, isFolder ? AT_REMOVEDIR : 0) == 0;
}

bool IsAcceptableFolder(const std::string& text, FolderKind kind) {
    if (text.empty()) return false;
    if ((text[0] == '/') != (kind == FolderKind::Absolute)) return false;
    std::vector<std::string> parts;
    if (!PathParts(text, parts)) return false;
    for (const unsigned char c : text)
        if (c < 0x20 || c == 0x7F) return false;
    return !parts.empty();
}
