#pragma once
// The installer's file work: folders made with their parents, files copied
// whole or not at all, a rename that never replaces, removal that never
// follows a link, and the test every folder the installer writes or removes
// must pass.

#include <stdexcept>
#include <string>

// Raised when a file cannot be opened, created, written or closed.
class EFileStreamError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// True when the folder exists afterwards; its missing parents are made
// first, the last "/" splitting off the parent.
bool ForceDirectories(const std::string& path);

// Copies sourceDir/name to destDir/name through a temporary file in destDir
// that replaces the target only when every byte is written and the file is
// closed; the target keeps the source's permission bits. Raises
// EFileStreamError, leaving any old target whole, when the source cannot be
// read, the target cannot be written, or both are the same file.
void CopyFileInto(const std::string& name, const std::string& sourceDir,
                  const std::string& destDir);

// Creates a new, empty file for writing in dir under a name of its own,
// ".<name>.<random>", which goes to `path`: never through a link, never over
// an entry someone else made, with the permissions of a new file. The
// descriptor, or -1.
int CreateTemporaryBeside(const std::string& dir, const std::string& name, std::string& path);

// Renames a file, failing when the new name already exists.
bool RenameNoReplace(const std::string& from, const std::string& to);

enum class EntryKind { File, Folder };

// Removes base/relative without going through a link below base: each
// folder on the way must be a real folder, and a link at the end is removed
// itself, never what it names. A file (or link) is removed as a File, an
// empty folder (or link) as a Folder; false when nothing was removed.
bool RemoveInside(const std::string& base, const std::string& relative, EntryKind kind);

enum class FolderKind { Absolute, Relative };

// A folder the installer may write into or remove from: no control
// characters and no "." or ".." parts; an absolute one names more than "/",
// a relative one is not empty and cannot climb out of its base.
bool IsAcceptableFolder(const std::string& text, FolderKind kind);
