#pragma once
// The program's one modal message box: text, caption, button and icon flags,
// and the button pressed as the result. Tests install a responder that sees
// every box and answers it instead of a window. The window itself is the
// widgets part's back end; without one (no window system) the box is written
// to the error output and the safe answer taken: OK for a box of OK alone,
// Cancel for any other.

#include <functional>
#include <string>

enum : unsigned {
    MB_OK = 0x00,
    MB_OKCANCEL = 0x01,
    MB_YESNOCANCEL = 0x03,
    MB_YESNO = 0x04,
    MB_ICONHAND = 0x10,
    MB_ICONSTOP = MB_ICONHAND,
    MB_ICONQUESTION = 0x20,
    MB_ICONEXCLAMATION = 0x30,
    MB_ICONINFORMATION = 0x40,
};
constexpr unsigned MB_TYPEMASK = 0x0F;
constexpr unsigned MB_ICONMASK = 0xF0;

enum : int { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

struct MessageBoxCall {
    std::string text;
    std::string caption;
    unsigned flags = 0;
};

int MessageBox(const std::string& text, const std::string& caption, unsigned flags);

// Replaces the window with `responder` (empty restores the window) and
// gives back the responder that was installed before.
using MessageBoxResponder = std::function<int(const MessageBoxCall&)>;
MessageBoxResponder SetMessageBoxResponder(MessageBoxResponder responder);

// Installs the window that shows the boxes; empty removes it.
using MessageBoxBackEnd = std::function<int(const MessageBoxCall&)>;
void SetMessageBoxBackEnd(MessageBoxBackEnd backEnd);
