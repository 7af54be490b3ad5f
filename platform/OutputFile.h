#pragma once
// A file written whole or not at all: the bytes go to a temporary file in
// the target's folder, which replaces the target only when committed, with
// the target's permissions (a new file gets the usual ones). A save that
// fails (full disk, folder gone) leaves the old file whole.
//
// A path that is a symbolic link is saved to the file it points to, so the
// link stays a link. A file the user may not write is refused, as a direct
// write would refuse it, even where its folder would allow replacing it.

#include <cstdio>
#include <string>
#include <string_view>

class OutputFile {
public:
    OutputFile() = default;
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // False when the temporary file cannot be made (no such folder, no right
    // to write there) or the file itself may not be written.
    bool Open(const std::string& path);
    bool IsOpen() const { return file_ != nullptr; }
    void Write(std::string_view bytes);
    // Puts the file in place; false (and nothing changed) when any write failed.
    bool Commit();
    void Discard();

private:
    std::FILE* file_ = nullptr;
    std::string path_;
    std::string temp_;
    bool failed_ = false;
};

// A write past the process's file-size limit kills the process unless the
// signal it raises is ignored; ignored, the write fails and is reported like
// any other. Each program calls this at start.
void IgnoreFileSizeLimitSignal();
