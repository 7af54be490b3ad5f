#pragma once
// Opens a document or a web page with the desktop's handler for it, as the
// shell's "open" verb does. The result follows the shell's convention: above
// 32 is success, 32 or less a failure code. Tests install a responder that
// records what would be opened and chooses the result. The desktop's handlers
// are reached through the widgets part; without it nothing has a handler.

#include <functional>
#include <string>

// Failure codes of the shell's convention.
enum : int { SE_ERR_FNF = 2, SE_ERR_NOASSOC = 31 };

struct ShellOpenCall {
    std::string target;    // a path or an address
    std::string directory; // the working directory, empty for none
};

int ShellOpen(const std::string& target, const std::string& directory);

using ShellOpenResponder = std::function<int(const ShellOpenCall&)>;
ShellOpenResponder SetShellOpenResponder(ShellOpenResponder responder);

// Installs what hands an address, or an existing local file or folder (when
// localFile), to the desktop; true when a handler took it. Empty removes it.
using ShellOpenBackEnd = std::function<bool(const std::string& target, bool localFile)>;
void SetShellOpenBackEnd(ShellOpenBackEnd backEnd);
