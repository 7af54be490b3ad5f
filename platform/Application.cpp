#include "platform/Application.h"

#include "platform/Environment.h"
#include "platform/MessageBox.h"
#include "platform/OutputFile.h"

#include <QIcon>
#include <QPointer>
#include <QWidget>
#include <clocale>

namespace {

std::string& Title() {
    static std::string title;
    return title;
}

std::string& IconPath() {
    static std::string path;
    return path;
}

QPointer<QWidget>& MainWindow() {
    static QPointer<QWidget> window;
    return window;
}

void ShowExceptionText(std::string text) {
    if (!text.empty() && text.back() != '.') text += '.';
    MessageBox(text, Title(), MB_OK | MB_ICONSTOP);
}

} // namespace

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
    // Numbers are read and written in the C locale, whatever the user's.
    std::setlocale(LC_NUMERIC, "C");
    IgnoreFileSizeLimitSignal();
}

bool Application::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        ShowException(error);
    } catch (...) {
        ShowUnknownException();
    }
    return false;
}

const std::string& ApplicationTitle() {
    return Title();
}

void SetApplicationTitle(const std::string& title) {
    Title() = title;
}

bool SetApplicationIcon(const std::string& path) {
    if (!FileExists(path)) return false;
    IconPath() = path;
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr)
        QGuiApplication::setWindowIcon(QIcon(QString::fromStdString(path)));
    return true;
}

const std::string& ApplicationIconPath() {
    return IconPath();
}

void SetMainWindow(QWidget* window) {
    MainWindow() = window;
}

void SetMainWindowCaption(const std::string& caption) {
    if (MainWindow()) MainWindow()->setWindowTitle(QString::fromStdString(caption));
}

void ShowException(const std::exception& error) {
    ShowExceptionText(error.what());
}

void ShowUnknownException() {
    ShowExceptionText("Unknown exception");
}
