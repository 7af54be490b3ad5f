// The main window's file commands: the save-changes check that runs before
// the current event is replaced, loading and saving events, printing, the
// report files, and closing the window.

#include "unified/window/MainForm.h"

#include "platform/MessageBox.h"
#include "platform/Printer.h"
#include "platform/ShowModal.h"
#include "platform/Text.h"
#include "unified/core/RXEvent.h"
#include "unified/core/rxProgram.h"
#include "unified/core/rxerrors.h"
#include "unified/core/rxreport.h"
#include "unified/window/NewEventBox.h"
#include "unified/window/eventFactory.h"
#include "unified/window/onlineLink.h"

#include <QCloseEvent>

namespace {

constexpr const char* kPendingUpload =
    "You have downloaded a file from the Internet, but you have not uploaded the file back to "
    "the Internet. \n"
    "Click Yes to upload the (possibly changed) file. \n"
    "Click No to not upload (cancels the online update lock).";

constexpr const char* kTextFilter = "Text files (*.txt)|*.txt|All files (*.*)|*.*";
constexpr const char* kHtmlFilter =
    "HTML files (*.html)|*.html|HTML files (*.htm)|*.htm|All files (*.*)|*.*";

void ShowWriteError() {
    MessageBox("Error writing file.", "Error", MB_OK | MB_ICONEXCLAMATION);
}

} // namespace

bool TMainForm::QuerySaveChanges() {
    // The running transfer works on the current event.
    if (transferRunning) return false;
    // Only a ladder can be what was downloaded: another kind would go up as
    // no ladder at all.
    if (onlineLink != nullptr && onlineLink->DownloadAwaitsUpload() && Settings.IsLadder()) {
        switch (MessageBox(kPendingUpload, "Pending online update!",
                           MB_YESNOCANCEL | MB_ICONQUESTION)) {
        case IDYES:
            if (UploadEvent("")) return true;
            break;
        case IDNO:
            if (UploadEvent("unlock")) return true;
            break;
        default:
            return false;
        }
        // The upload or unlock failed: the downloaded ladder, perhaps changed
        // since, is not thrown away unasked; it can still be saved here.
    }
    return !IsEventUsable() || AskToSaveChanges("Data has changed!");
}

void TMainForm::LoadEventFile(const std::string& path) {
    DestroyCurrentEvent();
    // The file itself says singles or doubles.
    CreateEvent(false);
    if (Settings.IsDraw())
        SizeDrawGrid();
    else if (Settings.IsMatchPlan())
        SizeMatchGrid();
    if (!IsEventUsable()) {
        // The factory has shown the memory error; the old file name no
        // longer belongs to any event.
        SetCurrentFileName("");
        return;
    }
    const short code = CurrentEvent->Load(path);
    if (code != rcOk) {
        ShowErrorMessage(code);
        SetCurrentFileName("");
    } else {
        SetCurrentFileName(path);
    }
}

void TMainForm::New1Click() {
    if (!QuerySaveChanges()) return;
    // The dialog's OK makes the new event.
    if (ShowModal(*NewEventBox) != mrOk) return;
    SetCurrentFileName("");
    UpdateMenusForKind();
    RefreshViews();
}

void TMainForm::Open1Click() {
    if (!QuerySaveChanges()) return;
    // Without an event (its making failed) any file may be chosen.
    const bool usable = IsEventUsable();
    if (RunOpenDialog(usable ? CurrentEvent->FileExtension() : "",
                      usable ? CurrentEvent->FileFilter() : "All files (*.*)|*.*"))
        LoadEventFile(OpenDialog.fileName);
    RefreshViews();
}

void TMainForm::Save1Click() {
    if (CheckDataPresent(true) && LeaveManualMode()) SaveEvent();
}

void TMainForm::SaveAs1Click() {
    if (CheckDataPresent(true) && LeaveManualMode()) SaveEventAs();
}

bool TMainForm::SaveEvent() {
    if (currentFileName.empty()) return SaveEventAs();
    if (!CurrentEvent->Save(currentFileName)) {
        ShowWriteError();
        return false;
    }
    return true;
}

bool TMainForm::SaveEventAs() {
    if (!RunSaveDialog("Save As", currentFileName, CurrentEvent->FileExtension(),
                       CurrentEvent->FileFilter()))
        return false;
    if (!CurrentEvent->Save(SaveDialog.fileName)) {
        ShowWriteError();
        return false;
    }
    SetCurrentFileName(SaveDialog.fileName);
    return true;
}

std::string TMainForm::DefaultOutputFileName(const std::string& extension) const {
    const std::string& name = currentFileName;
    const std::string own = IsEventUsable() ? "." + CurrentEvent->FileExtension() : std::string();
    if (name.size() < 4 || own.size() != 4 ||
        LowerAscii(name.substr(name.size() - 4)) != LowerAscii(own))
        return "*" + extension;
    return name.substr(0, name.size() - 4) + extension;
}

Printer* TMainForm::ThePrinter() {
    if (!printer) printer = NewSystemPrinter();
    return printer.get();
}

void TMainForm::Print1Click() {
    if (!CheckDataPresent(true) || !LeaveManualMode()) return;
    const PrintOptions& options = CurrentEvent->PrintOpts();
    const int fontSize = options.fontSize > 0 ? options.fontSize : 10;
    Printer* chosen = ThePrinter();
    if (chosen == nullptr || !PrintDialog(*chosen)) return;
    Printer& device = *chosen;
    device.SetFontSize(fontSize);
    if (options.orientation == 1)
        device.SetOrientation(PrinterOrientation::Portrait);
    else if (options.orientation == 2)
        device.SetOrientation(PrinterOrientation::Landscape);
    if (!device.BeginDoc()) {
        MessageBox("Unable to start printing.", "Error", MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    rxReport report(device, options);
    CurrentEvent->PrintReport(report);
    device.EndDoc();
}

void TMainForm::PrintSetup1Click() {
    if (Printer* printer = ThePrinter()) PrinterSetupDialog(*printer);
}

void TMainForm::PrintToFile1Click() {
    if (!CheckDataPresent(true) || !LeaveManualMode()) return;
    if (RunSaveTextDialog("Print to File", DefaultOutputFileName(".txt")))
        WriteReportFile(SaveDialog.fileName, rxReport::SinkTextFile);
}

void TMainForm::PrinttoHTML1Click() {
    if (!CheckDataPresent(true) || !LeaveManualMode()) return;
    if (RunSaveDialog("Print to HTML", DefaultOutputFileName(".html"), "htm", kHtmlFilter))
        WriteReportFile(SaveDialog.fileName, rxReport::SinkHtml);
}

void TMainForm::WriteReportFile(const std::string& path, unsigned char sink) {
    // The writer shows its own box when the file cannot be written; an HTML
    // page is titled with the report's heading.
    rxReport report(path, sink, CurrentEvent->Heading());
    CurrentEvent->PrintReport(report);
}

void TMainForm::ImportPlayers1Click() {
    if (transferRunning) return;
    if (IsEventUsable() && CurrentEvent->PlayerCount() > 0 &&
        MessageBox("Existing player list and event data will be overwritten.", "Warning",
                   MB_OKCANCEL | MB_ICONEXCLAMATION) != IDOK)
        return;
    // A cancelled choice leaves the event, and so its file name, as it was.
    if (!RunOpenDialog("txt", kTextFilter)) return;
    const bool doubles = IsEventUsable() && CurrentEvent->IsDoubles();
    // The new event takes the old one's place only when the list gave it
    // players: a file that cannot be read, or whose labels are unknown,
    // leaves the current event as it was.
    RXEvent* const previous = CurrentEvent;
    Ladder* const previousLadder = CurrentLadder;
    CurrentEvent = nullptr;
    CurrentLadder = nullptr;
    CreateEvent(doubles);
    short code = rcNoMemory;
    if (IsEventUsable()) {
        code = CurrentEvent->ImportPlayers(OpenDialog.fileName);
        if (code != rcOk) ShowErrorMessage(code);
    }
    if (code != rcOk && (!IsEventUsable() || CurrentEvent->PlayerCount() == 0)) {
        DestroyCurrentEvent();
        CurrentEvent = previous;
        CurrentLadder = previousLadder;
    } else {
        delete previous;
        SetCurrentFileName("");
    }
    RefreshViews();
}

void TMainForm::ExportPlayerList1Click() {
    if (!CheckDataPresent(false)) return;
    if (!RunSaveTextDialog("Export Player List", DefaultOutputFileName(".txt"))) return;
    if (!CurrentEvent->ExportPlayers(SaveDialog.fileName)) ShowWriteError();
}

void TMainForm::Exit1Click() {
    close();
}

void TMainForm::closeEvent(QCloseEvent* event) {
    bool canClose = true;
    FormCloseQuery(canClose);
    if (canClose)
        QMainWindow::closeEvent(event);
    else
        event->ignore();
}

void TMainForm::FormCloseQuery(bool& canClose) {
    canClose = QuerySaveChanges();
}
