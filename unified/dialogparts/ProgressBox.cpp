#include "unified/dialogparts/ProgressBox.h"

#include "platform/WindowMessages.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPlainTextEdit>
#include <QVBoxLayout>
#include <QWindow>

TProgressBox* ProgressBox = nullptr;

namespace {

// What keeps windows painted and laid out; every other event outside the
// box waits (input) or is dropped while the work runs.
bool IsPaintingEvent(QEvent::Type type) {
    switch (type) {
    case QEvent::Paint:
    case QEvent::UpdateRequest:
    case QEvent::UpdateLater:
    case QEvent::Expose:
    case QEvent::Resize:
    case QEvent::Move:
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::ShowToParent:
    case QEvent::HideToParent:
    case QEvent::Polish:
    case QEvent::PolishRequest:
    case QEvent::LayoutRequest:
    case QEvent::PlatformSurface:
    case QEvent::WinIdChange:
    case QEvent::ScreenChangeInternal:
    case QEvent::StyleChange:
    case QEvent::FontChange:
    case QEvent::PaletteChange:
    case QEvent::ChildAdded:
    case QEvent::ChildPolished:
    case QEvent::ChildRemoved:
    // The box's showing and hiding moves the focus and the active window.
    case QEvent::WindowActivate:
    case QEvent::WindowDeactivate:
    case QEvent::ActivationChange:
    case QEvent::WindowStateChange:
    case QEvent::ApplicationStateChange:
    case QEvent::FocusIn:
    case QEvent::FocusOut:
    case QEvent::FocusAboutToChange:
        return true;
    default:
        return false;
    }
}

} // namespace

TProgressBox::TProgressBox(QWidget* parent) : QDialog(parent) {
    setObjectName("ProgressBox");
    Memo1 = new QPlainTextEdit;
    Memo1->setReadOnly(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Memo1);
    resize(320, 120);
}

void TProgressBox::SetProgressText(const std::string& text) {
    Memo1->setPlainText(QString::fromStdString(text));
    if (!isVisible()) return;
    Memo1->viewport()->repaint();
    repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TProgressBox::ReportProgress(const std::string& text, bool now) {
    const DWORD tick = GetTickCount();
    if (reported && !(now && text != shownText) && !TickReached(tick, lastShown + RepaintInterval))
        return;
    reported = true;
    lastShown = tick;
    shownText = text;
    SetProgressText(text);
}

void TProgressBox::BeginWork(const std::string& caption, const std::string& text) {
    setWindowTitle(QString::fromStdString(caption));
    show();
    if (!working) QCoreApplication::instance()->installEventFilter(this);
    working = true;
    reported = false;
    SetProgressText(text);
}

void TProgressBox::EndWork() {
    if (working) QCoreApplication::instance()->removeEventFilter(this);
    working = false;
    hide();
}

bool TProgressBox::eventFilter(QObject* watched, QEvent* event) {
    if (!working || IsPaintingEvent(event->type())) return QDialog::eventFilter(watched, event);
    const auto* widget = qobject_cast<const QWidget*>(watched);
    const auto* window = qobject_cast<const QWindow*>(watched);
    const bool own = (widget != nullptr && (widget == this || isAncestorOf(widget))) ||
                     (window != nullptr && window == windowHandle());
    if (own) return QDialog::eventFilter(watched, event);
    return true;
}
