#include "platform/MessageBox.h"

#include <cstdio>

namespace {

MessageBoxResponder& Responder() {
    static MessageBoxResponder responder;
    return responder;
}

MessageBoxBackEnd& BackEnd() {
    static MessageBoxBackEnd backEnd;
    return backEnd;
}

} // namespace

int MessageBox(const std::string& text, const std::string& caption, unsigned flags) {
    if (Responder()) return Responder()({text, caption, flags});
    if (BackEnd()) return BackEnd()({text, caption, flags});

    // No window system: say it on the console and take the safe answer.
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    return (flags & MB_TYPEMASK) == MB_OK ? IDOK : IDCANCEL;
}

MessageBoxResponder SetMessageBoxResponder(MessageBoxResponder responder) {
    MessageBoxResponder previous = std::move(Responder());
    Responder() = std::move(responder);
    return previous;
}

void SetMessageBoxBackEnd(MessageBoxBackEnd backEnd) {
    BackEnd() = std::move(backEnd);
}
