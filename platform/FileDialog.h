#pragma once
// The open and save dialogs. A dialog is described in the old form: a title,
// the folder to start in, a proposed name, a filter of "description|pattern"
// pairs (patterns separated by ";") and a default extension without its
// point. On OK the chosen path replaces the name. Tests install a responder
// that sees each dialog and answers with a path or Cancel. The widgets part
// shows the dialogs; without it every dialog answers Cancel.
//
// The save dialog never asks about an existing file: the program asks its
// own question.

#include <functional>
#include <optional>
#include <string>

struct FileDialog {
    std::string title;            // empty: the platform's own
    std::string initialDir;       // empty: where the last dialog was left
    std::string fileName;         // proposed name; on OK the chosen path
    std::string filter;           // "Text files (*.txt)|*.txt|All files (*.*)|*.*"
    std::string defaultExtension; // added to a name typed without one
};

// True on OK, with the chosen path in dialog.fileName; false on Cancel,
// with the dialog unchanged.
bool ExecuteOpenDialog(FileDialog& dialog);
bool ExecuteSaveDialog(FileDialog& dialog);

// The filter in the platform dialog's form: one "description (patterns)"
// entry each pair, joined by ";;". "*.*" matches every name, as it did.
std::string PlatformFileFilter(const std::string& filter);

struct FileDialogCall {
    bool save = false;
    FileDialog dialog; // as asked
};

// A responder answers with the chosen path, or nothing for Cancel. Empty
// restores the window; the previous responder is given back.
using FileDialogResponder = std::function<std::optional<std::string>(const FileDialogCall&)>;
FileDialogResponder SetFileDialogResponder(FileDialogResponder responder);

// Installs the dialog window: true on OK with the chosen path in
// dialog.fileName, false on Cancel with the dialog unchanged. Empty removes it.
using FileDialogBackEnd = std::function<bool(FileDialog& dialog, bool save)>;
void SetFileDialogBackEnd(FileDialogBackEnd backEnd);
