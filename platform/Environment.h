#pragma once
// The process environment as the program sees it: current folder, variables,
// the user's folders and file-system tests. Paths use "/".

#include <optional>
#include <string>

std::string GetCurrentDir();
bool SetCurrentDir(const std::string& path);

// The variable's value, or nothing when it is not set.
std::optional<std::string> GetEnvironmentVariable(const std::string& name);

bool DirectoryExists(const std::string& path);
bool FileExists(const std::string& path);

// The user's documents folder: XDG_DOCUMENTS_DIR from the user-dirs file
// when it names one, else $HOME/Documents. Empty when HOME is not set.
std::string DocumentsFolder();

// The text after the last "/", the whole path when it has none.
std::string FileNameOnly(const std::string& path);

// The path of an existing file or folder whose name matches `path` but for
// the case of its letters (installed files were named without regard to
// case); `path` itself when nothing matches.
std::string FindFileAnyCase(const std::string& path);
