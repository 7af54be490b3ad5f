#include "platform/ShowModal.h"

#include <QDialog>

namespace {

ModalResponder& Responder() {
    static ModalResponder responder;
    return responder;
}

int ModalResultOf(int result) {
    return result == QDialog::Rejected ? mrCancel : result;
}

} // namespace

int ShowModal(QDialog& dialog) {
    if (!Responder()) return ModalResultOf(dialog.exec());

    dialog.setResult(mrNone);
    dialog.show();
    // A copy, so that a responder may replace itself for nested dialogs.
    ModalResponder responder = Responder();
    responder(dialog);
    if (dialog.isVisible()) dialog.reject();
    return ModalResultOf(dialog.result());
}

ModalResponder SetModalResponder(ModalResponder responder) {
    ModalResponder previous = std::move(Responder());
    Responder() = std::move(responder);
    return previous;
}
