#pragma once
// A file written in place of another: the bytes go to a temporary file in the
// same folder, which takes the file's place only once every byte is written.
// A save that fails (full disk, folder gone) leaves the old file whole.

#include <fstream>
#include <string>

class AtomicFile {
public:
    explicit AtomicFile(std::string path);
    // Removes the temporary file unless Commit put it in place.
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Opens the stream on a new temporary file beside the target.
    bool Open(std::ofstream& stream);
    // Closes the stream and, when every write succeeded, puts the temporary
    // file in the target's place with the target's permissions (a new file
    // gets the usual ones).
    bool Commit(std::ofstream& stream);

private:
    void Discard();

    std::string path_;
    std::string temp_;
    int fd_ = -1;
};
