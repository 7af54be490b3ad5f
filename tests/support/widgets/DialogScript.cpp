// The widgets part of the test responders: the modal dialogs.

#include "tests/support/Responders.h"

#include <QDialog>

void FailUnexpectedDialog(QDialog& dialog) {
    ADD_FAILURE() << "unexpected dialog " << dialog.metaObject()->className();
}

DialogScript::DialogScript()
    : previous_(SetModalResponder([this](QDialog& dialog) {
          if (expected_.empty()) {
              FailUnexpectedDialog(dialog);
              return;
          }
          auto action = expected_.front();
          expected_.pop_front();
          action(dialog);
      })) {
}

DialogScript::~DialogScript() {
    SetModalResponder(previous_);
    if (!expected_.empty()) ADD_FAILURE() << expected_.size() << " expected dialog(s) never shown";
}

void InstallStrictDialogResponder() {
    SetModalResponder(FailUnexpectedDialog);
}
