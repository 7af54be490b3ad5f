#include "unified/Program.h"

#include "platform/Application.h"
#include "unified/window/AUPlayerBox.h"
#include "unified/window/DelPlayerBox.h"
#include "unified/window/HelpAboutBox.h"
#include "unified/window/MainForm.h"
#include "unified/window/NewEventBox.h"
#include "unified/window/OptionsPrintBox.h"
#include "unified/window/PreviewBox.h"
#include "unified/window/ProgressBox.h"
#include "unified/window/ReportOptionsBox.h"
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
    // Each dialog lives until the program ends and is shown again for each
    // use; the main window owns it as its parent.
    AUPlayerBox = new TAUPlayerBox(MainForm);
    PreviewBox = new TPreviewBox(MainForm);
    HelpAboutBox = new THelpAboutBox(MainForm);
    ReportOptionsBox = new TReportOptionsBox(MainForm);
    NewEventBox = new TNewEventBox(MainForm);
    OptionsPrintBox = new TOptionsPrintBox(MainForm);
    UpdPlayerBox = new TUpdPlayerBox(MainForm);
    ProgressBox = new TProgressBox(MainForm);
    DelPlayerBox = new TDelPlayerBox(MainForm);
}

void DestroyWindows() {
    // The dialogs first, in the reverse order, then the main window.
    Destroy(DelPlayerBox);
    Destroy(ProgressBox);
    Destroy(UpdPlayerBox);
    Destroy(OptionsPrintBox);
    Destroy(NewEventBox);
    Destroy(ReportOptionsBox);
    Destroy(HelpAboutBox);
    Destroy(PreviewBox);
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
