#include "platform/ShellOpen.h"

#include "platform/Environment.h"

namespace {

ShellOpenResponder& Responder() {
    static ShellOpenResponder responder;
    return responder;
}

ShellOpenBackEnd& BackEnd() {
    static ShellOpenBackEnd backEnd;
    return backEnd;
}

constexpr int kSuccess = 42;

bool IsAddress(const std::string& target) {
    return target.find("://") != std::string::npos || target.rfind("mailto:", 0) == 0;
}

} // namespace

int ShellOpen(const std::string& target, const std::string& directory) {
    if (Responder()) return Responder()({target, directory});

    std::string opened = target;
    const bool localFile = !IsAddress(target);
    if (localFile) {
        // A relative path is taken from the working directory.
        const std::string path = target.empty() || target[0] == '/' || directory.empty()
                                     ? target
                                     : directory + "/" + target;
        opened = FindFileAnyCase(path);
        if (!FileExists(opened) && !DirectoryExists(opened)) return SE_ERR_FNF;
    }
    return BackEnd() && BackEnd()(opened, localFile) ? kSuccess : SE_ERR_NOASSOC;
}

ShellOpenResponder SetShellOpenResponder(ShellOpenResponder responder) {
    ShellOpenResponder previous = std::move(Responder());
    Responder() = std::move(responder);
    return previous;
}

void SetShellOpenBackEnd(ShellOpenBackEnd backEnd) {
    BackEnd() = std::move(backEnd);
}
