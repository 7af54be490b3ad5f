#pragma once
// Scripts of the message boxes, modal dialogs and file dialogs that a test
// expects, in order. A box or dialog that no script expects fails the test; so does an
// expected one that never came. DialogScript is built in the widgets part of the test
// support, since only widget tests have dialogs.

#include "platform/FileDialog.h"
#include "platform/MessageBox.h"
#include "platform/ShellOpen.h"
#include "platform/ShowModal.h"

#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

class BoxScript {
public:
    BoxScript();
    ~BoxScript();
    BoxScript(const BoxScript&) = delete;
    BoxScript& operator=(const BoxScript&) = delete;

    // The next box must have this caption, text and flags; it is answered.
    BoxScript& Expect(const std::string& caption, const std::string& text, unsigned flags,
                      int answer = IDOK);
    // Every box seen so far.
    const std::vector<MessageBoxCall>& Seen() const { return seen_; }

private:
    struct Expected {
        MessageBoxCall call;
        int answer;
    };
    int Answer(const MessageBoxCall& call);

    std::deque<Expected> expected_;
    std::vector<MessageBoxCall> seen_;
    MessageBoxResponder previous_;
};

// Fails the test, naming the dialog's class.
void FailUnexpectedDialog(QDialog& dialog);

class DialogScript {
public:
    DialogScript();
    ~DialogScript();
    DialogScript(const DialogScript&) = delete;
    DialogScript& operator=(const DialogScript&) = delete;

    // The next modal dialog must be a Dialog; the action gets it shown and
    // presses its buttons.
    template <typename Dialog> DialogScript& Expect(std::function<void(Dialog&)> action) {
        expected_.push_back([action](QDialog& dialog) {
            auto* typed = dynamic_cast<Dialog*>(&dialog);
            if (typed == nullptr) {
                FailUnexpectedDialog(dialog);
                return;
            }
            action(*typed);
        });
        return *this;
    }

private:
    std::deque<std::function<void(QDialog&)>> expected_;
    ModalResponder previous_;
};

class FileDialogScript {
public:
    FileDialogScript();
    ~FileDialogScript();
    FileDialogScript(const FileDialogScript&) = delete;
    FileDialogScript& operator=(const FileDialogScript&) = delete;

    // The next file dialog is answered with this path, or cancelled with
    // nothing.
    FileDialogScript& Answer(std::optional<std::string> path);
    // Every file dialog asked so far, as it was asked.
    const std::vector<FileDialogCall>& Seen() const { return seen_; }

private:
    std::deque<std::optional<std::string>> answers_;
    std::vector<FileDialogCall> seen_;
    FileDialogResponder previous_;
};

class ShellOpenScript {
public:
    ShellOpenScript();
    ~ShellOpenScript();
    ShellOpenScript(const ShellOpenScript&) = delete;
    ShellOpenScript& operator=(const ShellOpenScript&) = delete;

    // The next shell open returns this code (above 32 is success).
    ShellOpenScript& Answer(int result);
    // Every shell open asked so far.
    const std::vector<ShellOpenCall>& Seen() const { return seen_; }

private:
    std::deque<int> answers_;
    std::vector<ShellOpenCall> seen_;
    ShellOpenResponder previous_;
};

// Installed for every test by the test main: any box, dialog, file dialog or
// shell open fails. The widgets test main then installs the dialog responder
// that names the dialog.
void InstallStrictResponders();
void InstallStrictDialogResponder();
