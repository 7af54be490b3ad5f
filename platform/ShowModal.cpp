#include "platform/ShowModal.h"

namespace {

ModalResponder& Responder() {
    static ModalResponder responder;
    return responder;
}

ModalBackEnd& BackEnd() {
    static ModalBackEnd backEnd;
    return backEnd;
}

} // namespace

int ShowModal(QDialog& dialog) {
    if (!BackEnd()) return mrCancel;
    // A copy, so that a responder may replace itself for nested dialogs.
    const ModalResponder responder = Responder();
    return BackEnd()(dialog, responder);
}

ModalResponder SetModalResponder(ModalResponder responder) {
    ModalResponder previous = std::move(Responder());
    Responder() = std::move(responder);
    return previous;
}

void SetModalBackEnd(ModalBackEnd backEnd) {
    BackEnd() = std::move(backEnd);
}
