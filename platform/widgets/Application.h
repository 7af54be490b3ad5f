#pragma once
// The application object of the windowed program. An exception that escapes
// a command is shown in the standard exception box and the program carries
// on, as the event dispatch catches it. Making it installs the Qt back ends
// of the platform's seams; they go with it.

#include "platform/ApplicationState.h"
#include "platform/widgets/BackEnds.h"

#include <QApplication>

class Application : public QApplication {
public:
    Application(int& argc, char** argv);
    ~Application() override;

    bool notify(QObject* receiver, QEvent* event) override;
};
