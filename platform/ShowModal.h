#pragma once
// The one entry point for modal dialogs. A dialog ends with done(mrOk),
// done(mrCancel) or a close (taken as mrCancel). Tests install a responder
// that gets the dialog already shown (its on-show logic has run), sets its
// controls and presses its buttons. The widgets part runs the dialogs; the
// entry point itself needs no widgets, so it stands beside the other seams.

#include <functional>

class QDialog;

enum : int { mrNone = 0, mrOk = 1, mrCancel = 2, mrYes = 6, mrNo = 7 };

// The button the dialog ended with; mrCancel when no back end is installed,
// since then no dialog can be shown.
int ShowModal(QDialog& dialog);

// Replaces the modal loop with `responder` (empty restores it) and gives back
// the responder that was installed before. A dialog still open when the
// responder returns is cancelled.
using ModalResponder = std::function<void(QDialog&)>;
ModalResponder SetModalResponder(ModalResponder responder);

// Installs what runs a dialog: under the responder it is given when that is
// not empty, else in the modal loop. Empty removes it.
using ModalBackEnd = std::function<int(QDialog&, const ModalResponder&)>;
void SetModalBackEnd(ModalBackEnd backEnd);
