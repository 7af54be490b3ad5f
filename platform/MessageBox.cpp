#include "platform/MessageBox.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>

namespace {

MessageBoxResponder& Responder() {
    static MessageBoxResponder responder;
    return responder;
}

QMessageBox::StandardButtons ButtonsOf(unsigned flags) {
    switch (flags & MB_TYPEMASK) {
    case MB_OKCANCEL:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case MB_YESNOCANCEL:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MB_YESNO:
        return QMessageBox::Yes | QMessageBox::No;
    default:
        return QMessageBox::Ok;
    }
}

QMessageBox::Icon IconOf(unsigned flags) {
    switch (flags & MB_ICONMASK) {
    case MB_ICONHAND:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONEXCLAMATION:
        return QMessageBox::Warning;
    case MB_ICONINFORMATION:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

int ResultOf(int button) {
    switch (button) {
    case QMessageBox::Ok:
        return IDOK;
    case QMessageBox::Yes:
        return IDYES;
    case QMessageBox::No:
        return IDNO;
    default:
        return IDCANCEL;
    }
}

} // namespace

int MessageBox(const std::string& text, const std::string& caption, unsigned flags) {
    if (Responder()) return Responder()({text, caption, flags});

    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
        // No window system: say it on the console and take the safe answer.
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
        return (flags & MB_TYPEMASK) == MB_OK ? IDOK : IDCANCEL;
    }

    QMessageBox box(IconOf(flags), QString::fromStdString(caption), QString::fromStdString(text),
                    ButtonsOf(flags), QApplication::activeWindow());
    // Player names and server replies reach these boxes: never rich text.
    box.setTextFormat(Qt::PlainText);
    if ((flags & MB_TYPEMASK) == MB_YESNO) box.setEscapeButton(QMessageBox::NoButton);
    return ResultOf(box.exec());
}

MessageBoxResponder SetMessageBoxResponder(MessageBoxResponder responder) {
    MessageBoxResponder previous = std::move(Responder());
    Responder() = std::move(responder);
    return previous;
}
