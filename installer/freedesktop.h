#pragma once
// Where this desktop keeps menu entries and file types, and how the
// installer adds to them: the user's applications folder stands for the
// Start menu's Programs folder, a MIME package defines the event-file
// types, and the user's mimeapps.list names the default program of each.

#include <string>
#include <utility>
#include <vector>

// $XDG_DATA_HOME (or $HOME/.local/share) and $XDG_CONFIG_HOME (or
// $HOME/.config); empty when neither is known.
std::string DataHome();
std::string ConfigHome();

// The applications folder below the data home, in `path`; false when there
// is no data home.
bool CommonProgramsPath(std::string& path);

// The MIME package naming the given types with their globs.
std::string MimePackageText(const std::vector<std::string>& mimeTypes);

// A mimeapps.list with, for each (type, desktop entry), the entry added to
// the type's added associations and made its default unless the user
// already chose one; every other line stays as it was.
std::string MergeMimeApps(const std::string& text,
                          const std::vector<std::pair<std::string, std::string>>& defaults);

// Writes a file whole or not at all.
bool WriteWholeFile(const std::string& path, const std::string& bytes);

// Rebuilds the desktop's caches of file types and entries below the data
// home with the update tools that are present.
void NotifyAssociationChange();
