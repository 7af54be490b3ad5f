#include "unified/Program.h"

#include "platform/Application.h"
#include "unified/window/MainForm.h"
#include "unified/window/eventFactory.h"

void CreateWindows(const std::vector<std::string>& arguments) {
    MainForm = new TMainForm(arguments);
}

void DestroyWindows() {
    delete MainForm;
    MainForm = nullptr;
    DestroyCurrentEvent();
}

int RostrixMain(int argc, char** argv) {
    Application application(argc, argv);
    try {
        // The application object has taken its own switches out of argv.
        const std::vector<std::string> arguments(argv + 1, argv + argc);
        CreateWindows(arguments);
        MainForm->show();
        Application::exec();
    } catch (const std::exception& error) {
        ShowException(error);
    } catch (...) {
        ShowUnknownException();
    }
    DestroyWindows();
    return 0;
}
