#include "unified/Program.h"

#include "platform/Application.h"
#include "unified/window/AUPlayerBox.h"
#include "unified/window/DelPlayerBox.h"
#include "unified/window/MainForm.h"
#include "unified/window/UpdPlayerBox.h"
#include "unified/window/eventFactory.h"

namespace {

template <typename Window> void Destroy(Window*& window) {
    delete window;
    window = nullptr;
}

} // namespace

void CreateWindows(const std::vector<std::string>& arguments) {
    MainForm = new TMainForm(arguments);
    AUPlayerBox = new TAUPlayerBox(MainForm);
    UpdPlayerBox = new TUpdPlayerBox(MainForm);
    DelPlayerBox = new TDelPlayerBox(MainForm);
}

void DestroyWindows() {
    Destroy(DelPlayerBox);
    Destroy(UpdPlayerBox);
    Destroy(AUPlayerBox);
    Destroy(MainForm);
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
