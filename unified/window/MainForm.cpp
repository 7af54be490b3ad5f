#include "unified/window/MainForm.h"

#include "platform/Application.h"
#include "platform/Environment.h"
#include "unified/core/RXEvent.h"
#include "unified/core/rxProgram.h"
#include "unified/core/rxerrors.h"
#include "unified/window/eventFactory.h"

TMainForm* MainForm = nullptr;

TMainForm::TMainForm(const std::vector<std::string>& arguments) {
    SetMainWindow(this);
    ParseCommandLine(Settings, arguments);
    SetCurrentFileName("");

    CreateEvent(Settings.doubles);

    if (!Settings.eventFile.empty() && IsEventUsable()) {
        const short code = CurrentEvent->Load(Settings.eventFile);
        if (code != 0)
            ShowErrorMessage(code);
        else
            SetCurrentFileName(Settings.eventFile);
    }

    splitterRatio = 0.5f;
    selectionKind = 0;
    selectedNumber = 0;
}

void TMainForm::SetCurrentFileName(const std::string& name) {
    currentFileName = name;
    const std::string caption = name.empty()
                                    ? Settings.ProductTitle()
                                    : CurrentFileNameOnly() + " - " + Settings.ProductTitle();
    setWindowTitle(QString::fromStdString(caption));
    SetApplicationTitle(caption);
}

std::string TMainForm::CurrentFileNameOnly() const {
    return FileNameOnly(currentFileName);
}
