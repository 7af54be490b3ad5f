#include "platform/widgets/Application.h"

#include "platform/OutputFile.h"

#include <clocale>

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
    // Numbers are read and written in the C locale, whatever the user's.
    std::setlocale(LC_NUMERIC, "C");
    IgnoreFileSizeLimitSignal();
    InstallWidgetBackEnds();
}

Application::~Application() {
    RemoveWidgetBackEnds();
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
