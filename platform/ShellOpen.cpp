#include "platform/ShellOpen.h"

#include "platform/Environment.h"

#include <QDesktopServices>
#include <QUrl>

namespace {

ShellOpenResponder& Responder() {
    static ShellOpenResponder responder;
    return responder;
}

constexpr int kSuccess = 42;

bool IsAddress(const std::string& target) {
    return target.find("://") != std::string::npos || target.rfind("mailto:", 0) == 0;
}

} // namespace

int ShellOpen(const std::string& target, const std::string& directory) {
    if (Responder()) return Responder()({target, directory});

    QUrl url;
    if (IsAddress(target)) {
        url = QUrl(QString::fromStdString(target));
    } else {
        // A relative path is taken from the working directory.
        const std::string path = target.empty() || target[0] == '/' || directory.empty()
                                     ? target
                                     : directory + "/" + target;
        const std::string found = FindFileAnyCase(path);
        if (!FileExists(found) && !DirectoryExists(found)) return SE_ERR_FNF;
        url = QUrl::fromLocalFile(QString::fromStdString(found));
    }
    return QDesktopServices::openUrl(url) ? kSuccess : SE_ERR_NOASSOC;
}

ShellOpenResponder SetShellOpenResponder(ShellOpenResponder responder) {
    ShellOpenResponder previous = std::move(Responder());
    Responder() = std::move(responder);
    return previous;
}
