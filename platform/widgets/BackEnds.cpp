#include "platform/widgets/BackEnds.h"

#include "platform/ApplicationState.h"
#include "platform/Environment.h"
#include "platform/FileDialog.h"
#include "platform/MessageBox.h"
#include "platform/ShellOpen.h"
#include "platform/ShowModal.h"
#include "platform/widgets/SystemPrinter.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QIcon>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPointer>
#include <QPrintDialog>
#include <QUrl>
#include <QWidget>

namespace {

QPointer<QWidget>& MainWindow() {
    static QPointer<QWidget> window;
    return window;
}

// The message box.

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

int ShowMessageBox(const MessageBoxCall& call) {
    QMessageBox box(IconOf(call.flags), QString::fromStdString(call.caption),
                    QString::fromStdString(call.text), ButtonsOf(call.flags),
                    QApplication::activeWindow());
    // Player names and server replies reach these boxes: never rich text.
    box.setTextFormat(Qt::PlainText);
    if ((call.flags & MB_TYPEMASK) == MB_YESNO) box.setEscapeButton(QMessageBox::NoButton);
    return ResultOf(box.exec());
}

// Modal dialogs.

int ModalResultOf(int result) {
    return result == QDialog::Rejected ? mrCancel : result;
}

int RunModal(QDialog& dialog, const ModalResponder& responder) {
    if (!responder) return ModalResultOf(dialog.exec());

    dialog.setResult(mrNone);
    dialog.show();
    responder(dialog);
    if (dialog.isVisible()) dialog.reject();
    return ModalResultOf(dialog.result());
}

// The open and save dialogs.

// The folder the last dialog was left in; the next dialog without a start
// folder opens there, as the old dialogs did.
std::string& LastFolder() {
    static std::string folder;
    return folder;
}

bool HasWildcard(const std::string& name) {
    return name.find_first_of("*?") != std::string::npos;
}

bool RunFileDialog(FileDialog& request, bool save) {
    QFileDialog dialog(QApplication::activeWindow(), QString::fromStdString(request.title));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setNameFilter(QString::fromStdString(PlatformFileFilter(request.filter)));
    dialog.setDefaultSuffix(QString::fromStdString(request.defaultExtension));
    std::string folder = request.initialDir;
    if (folder.empty()) folder = LastFolder();
    if (folder.empty()) folder = GetCurrentDir();
    dialog.setDirectory(QString::fromStdString(folder));
    // A name of wildcards only narrows the list, which the filter does here.
    if (!request.fileName.empty() && !HasWildcard(request.fileName))
        dialog.selectFile(QString::fromStdString(request.fileName));

    const int result = dialog.exec();
    LastFolder() = dialog.directory().absolutePath().toStdString();
    if (result != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    request.fileName = dialog.selectedFiles().front().toStdString();
    return true;
}

// Shell open.

bool OpenWithDesktop(const std::string& target, bool localFile) {
    const QString text = QString::fromStdString(target);
    return QDesktopServices::openUrl(localFile ? QUrl::fromLocalFile(text) : QUrl(text));
}

// The printer's dialogs, for the system printer only: another printer (one
// that records) has no device to choose.

template <typename Dialog> bool RunPrinterDialog(Printer& printer) {
    auto* system = dynamic_cast<SystemPrinter*>(&printer);
    if (system == nullptr) return false;
    Dialog dialog(&system->Device(), QApplication::activeWindow());
    return ShowModal(dialog) == mrOk;
}

// The icon and the caption.

void ShowIcon(const std::string& path) {
    QGuiApplication::setWindowIcon(QIcon(QString::fromStdString(path)));
}

void ShowCaption(const std::string& caption) {
    if (MainWindow()) MainWindow()->setWindowTitle(QString::fromStdString(caption));
}

} // namespace

void InstallWidgetBackEnds() {
    SetMessageBoxBackEnd(ShowMessageBox);
    SetModalBackEnd(RunModal);
    SetFileDialogBackEnd(RunFileDialog);
    SetShellOpenBackEnd(OpenWithDesktop);
    SetPrinterBackEnd({[] { return std::unique_ptr<Printer>(std::make_unique<SystemPrinter>()); },
                       RunPrinterDialog<QPrintDialog>, RunPrinterDialog<QPageSetupDialog>});
    SetApplicationBackEnd({ShowIcon, ShowCaption});
}

void RemoveWidgetBackEnds() {
    SetMessageBoxBackEnd({});
    SetModalBackEnd({});
    SetFileDialogBackEnd({});
    SetShellOpenBackEnd({});
    SetPrinterBackEnd({});
    SetApplicationBackEnd({});
}

void SetMainWindow(QWidget* window) {
    MainWindow() = window;
}
