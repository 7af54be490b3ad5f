#include "installer/MainForm.h"

#include "installer/desktopEntry.h"
#include "installer/fileOps.h"
#include "installer/freedesktop.h"
#include "installer/installTables.h"
#include "platform/ApplicationState.h"
#include "platform/Environment.h"
#include "platform/MessageBox.h"
#include "platform/Registry.h"
#include "platform/widgets/Application.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFile>
#include <QFont>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* const kIntroduction =
    "Rostrix software installer\n"
    "\n"
    "This installation program provides four capabilities: \n"
    "1.  Install the software from a CD.\n"
    "2.  Install the software by downloading from the Internet.\n"
    "3.  Create an installation CD by downloading from the Internet.  The CD can be used to "
    "install later, and can serve as a backup copy.\n"
    "4.  Uninstall the software.\n"
    "\n"
    "In most cases, the appropriate default values will be pre-populated, so you can just click "
    "the button at the bottom of the next screen.\n\t";

const char* const kRegistryWriteError = "Error occurred writing to the registry!";
const char* const kSoftwareNotFound = "Error occurred attempting to find the software!";
const char* const kDefaultFtpServer = "ftp.rostrix.example";
const char* const kDefaultFtpFolder = "rostrix";
// The connection and the files share the download's range in this many steps.
constexpr int kDownloadSteps = 18;
const char* const kProgFolderRefused =
    "Program Folder name must be a folder name below the Start Menu, without \".\" or \"..\" "
    "parts.";

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

std::string S(const QString& text) {
    return text.toStdString();
}

QLabel* BuddyLabel(const char* caption, QLineEdit* edit) {
    auto* label = new QLabel(caption);
    label->setBuddy(edit);
    return label;
}

// A manual page opens with the desktop's handler; a program runs itself.
bool IsDocument(const std::string& target) {
    return target.size() > 5 && target.compare(target.size() - 5, 5, ".html") == 0;
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// Ends the FTP session however a sequence leaves it, exceptions included,
// so that the next Install finds the client free: QUIT, or an abort when
// QUIT fails.
class FtpSession {
public:
    explicit FtpSession(TFtpClient& client) : ftp(client) {}
    ~FtpSession() { End(); }
    FtpSession(const FtpSession&) = delete;
    FtpSession& operator=(const FtpSession&) = delete;
    void End() {
        if (ended) return;
        ended = true;
        if (!ftp.Quit()) ftp.Abort();
    }

private:
    TFtpClient& ftp;
    bool ended = false;
};

// The sequences write below the folder rather than change the process's
// current folder; the folder must be one that can be entered.
bool FolderAccessible(const std::string& path) {
    return DirectoryExists(path) && ::access(path.c_str(), X_OK) == 0;
}

} // namespace

InstallServer InstallServerLocation() {
    InstallServer server;
    server.host = kDefaultFtpServer;
    server.folder = kDefaultFtpFolder;
    const auto url = GetEnvironmentVariable("ROSTRIX_FTP_URL");
    if (!url || url->empty()) return server;
    std::string rest = *url;
    if (rest.rfind("ftp://", 0) == 0) rest.erase(0, 6);
    const std::size_t slash = rest.find('/');
    std::string authority = rest.substr(0, slash);
    server.folder = slash == std::string::npos ? std::string() : rest.substr(slash + 1);
    while (!server.folder.empty() && server.folder.back() == '/')
        server.folder.pop_back();
    const std::size_t colon = authority.rfind(':');
    if (colon != std::string::npos) {
        server.port = authority.substr(colon + 1);
        authority.erase(colon);
    }
    server.host = authority;
    return server;
}

std::string DefaultInstallDirectory() {
    const std::string data = DataHome();
    return data.empty() ? std::string() : data + "/Palomet Software/Rostrix";
}

std::string DefaultCdDirectory() {
    const auto home = GetEnvironmentVariable("HOME");
    return home && !home->empty() ? *home + "/Rostrix CD" : std::string();
}

InstallModeGroup::InstallModeGroup(QWidget* parent)
    : QWidget(parent), box(new QGroupBox("Installation Mode")), group(new QButtonGroup(this)) {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(box);
    auto* grid = new QGridLayout(box);
    const char* const items[] = {"Install from &CD", "Install from &Internet",
                                 "&Make an Installation CD", "&Uninstall"};
    // Two columns, filled column by column.
    for (int i = 0; i < 4; ++i) {
        auto* button = new QRadioButton(items[i]);
        group->addButton(button, i);
        grid->addWidget(button, i % 2, i / 2);
        buttons.push_back(button);
    }
    setFocusProxy(buttons.front());
    // Code that sets the mode runs the handler as a click does.
    connect(group, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked) emit Changed();
    });
}

int InstallModeGroup::ItemIndex() const {
    return group->checkedId();
}

void InstallModeGroup::SetItemIndex(int index) {
    if (index >= 0 && index < static_cast<int>(buttons.size()))
        buttons[static_cast<std::size_t>(index)]->setChecked(true);
}

TMainForm::TMainForm(std::vector<std::string> args, QWidget* parent)
    : QWidget(parent), arguments(std::move(args)) {
    setWindowTitle("Rostrix Installer");
    auto* layout = new QVBoxLayout(this);

    auto* title = new QLabel("Rostrix Installer");
    QFont titleFont = title->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.5);
    title->setFont(titleFont);
    layout->addWidget(title, 0, Qt::AlignHCenter);
    layout->addWidget(new QLabel("Palomet Software"), 0, Qt::AlignHCenter);

    InstallFrom = new InstallModeGroup;
    layout->addWidget(InstallFrom);
    connect(InstallFrom, &InstallModeGroup::Changed, this, &TMainForm::InstallFromClick);

    auto* folders = new QGridLayout;
    SourceDir = new QLineEdit;
    DestDir = new QLineEdit;
    ProgFolder = new QLineEdit;
    sdLabel = BuddyLabel("&Source Directory", SourceDir);
    ddLabel = BuddyLabel("&Destination Directory", DestDir);
    pfLabel = BuddyLabel("&Program Folder", ProgFolder);
    HelpSD = new QPushButton("Help");
    HelpDD = new QPushButton("Help");
    HelpPF = new QPushButton("Help");
    const std::pair<QLabel*, std::pair<QLineEdit*, QPushButton*>> rows[] = {
        {sdLabel, {SourceDir, HelpSD}},
        {ddLabel, {DestDir, HelpDD}},
        {pfLabel, {ProgFolder, HelpPF}}};
    int row = 0;
    for (const auto& [label, fields] : rows) {
        folders->addWidget(label, row, 0);
        folders->addWidget(fields.first, row, 1);
        folders->addWidget(fields.second, row, 2);
        ++row;
    }
    folders->setColumnStretch(1, 1);
    // Wide enough to show a whole folder below the home.
    for (QLineEdit* edit : {SourceDir, DestDir, ProgFolder})
        edit->setMinimumWidth(edit->fontMetrics().averageCharWidth() * 48);
    layout->addLayout(folders);
    connect(HelpSD, &QPushButton::clicked, this, &TMainForm::HelpSDClick);
    connect(HelpDD, &QPushButton::clicked, this, &TMainForm::HelpDDClick);
    connect(HelpPF, &QPushButton::clicked, this, &TMainForm::HelpPFClick);

    auto* panel = new QFrame;
    panel->setFrameShape(QFrame::StyledPanel);
    auto* panelLayout = new QVBoxLayout(panel);
    auto* optional = new QLabel("Optional Entries");
    QFont bold = optional->font();
    bold.setBold(true);
    optional->setFont(bold);
    panelLayout->addWidget(optional);
    panelLayout->addWidget(new QLabel("Create file associations for:"));
    CheckBoxLad = new QCheckBox(".LAD (Challenge Ladder)");
    CheckBoxRxd = new QCheckBox(".RXD (Match Scheduling)");
    CheckBoxTrn = new QCheckBox(".TRN (Tournament Draw)");
    panelLayout->addWidget(CheckBoxLad);
    panelLayout->addWidget(CheckBoxRxd);
    panelLayout->addWidget(CheckBoxTrn);
    layout->addWidget(panel);

    ProgressLabel = new QLabel("Progress");
    ProgressBar1 = new QProgressBar;
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    layout->addWidget(ProgressLabel);
    layout->addWidget(ProgressBar1);

    auto* buttons = new QHBoxLayout;
    Install = new QPushButton("Ins&tall");
    About = new QPushButton("A&bout");
    Exit = new QPushButton("E&xit");
    Install->setDefault(true);
    buttons->addStretch(1);
    buttons->addWidget(Install);
    buttons->addWidget(About);
    buttons->addWidget(Exit);
    layout->addLayout(buttons);
    connect(Install, &QPushButton::clicked, this, &TMainForm::OkClick);
    connect(About, &QPushButton::clicked, this, &TMainForm::AboutClick);
    connect(Exit, &QPushButton::clicked, this, &TMainForm::ExitClick);
}

void TMainForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (shown) return;
    shown = true;
    FormShow();
}

void TMainForm::closeEvent(QCloseEvent* event) {
    // Closing the window during a sequence stops it first, as Exit does.
    if (running) {
        StopSequence();
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void TMainForm::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Cancel)) {
        Exit->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TMainForm::FormShow() {
    InstallFrom->SetItemIndex(ModeInternet);
    for (const std::string& argument : arguments) {
        if (argument == "-C")
            InstallFrom->SetItemIndex(ModeCd);
        else if (argument == "-U")
            InstallFrom->SetItemIndex(ModeUninstall);
    }
    SetupModeFields();
    ShowInformation(kIntroduction);
}

void TMainForm::InstallFromClick() {
    if (InstallFrom->ItemIndex() == ModeUninstall) {
        TRegistry registry;
        registry.SetRootKey(HKEY_LOCAL_MACHINE);
        if (!registry.OpenKeyReadOnly("Software") ||
            !registry.OpenKeyReadOnly("Palomet Software") || !registry.OpenKeyReadOnly("Rostrix")) {
            ShowError(kSoftwareNotFound);
            return;
        }
        try {
            installedDirectory = registry.ReadString("installDirectory");
            installedProgFolder = registry.ReadString("progFolder");
        } catch (const ERegistryException&) {
            // A value of another type names no folder.
            installedDirectory.clear();
            installedProgFolder.clear();
        }
        registry.CloseKey();
    }
    SetupModeFields();
}

void TMainForm::SetupModeFields() {
    const int index = InstallFrom->ItemIndex();
    const bool cd = index == ModeCd;
    const bool install = index == ModeCd || index == ModeInternet;
    sdLabel->setEnabled(cd);
    SourceDir->setEnabled(cd);
    SourceDir->setText(cd ? QCoreApplication::applicationDirPath() : QString());
    pfLabel->setEnabled(install);
    ProgFolder->setEnabled(install);
    ProgFolder->setText(install                  ? QString("Rostrix")
                        : index == ModeUninstall ? Q(installedProgFolder)
                                                 : QString());
    DestDir->setText(install               ? Q(DefaultInstallDirectory())
                     : index == ModeMakeCd ? Q(DefaultCdDirectory())
                                           : Q(installedDirectory));
    ddLabel->setEnabled(index != ModeUninstall);
    DestDir->setEnabled(index != ModeUninstall);
    Install->setText(install ? "Ins&tall" : index == ModeMakeCd ? "Make CD" : "Unins&tall");
    for (QCheckBox* box : {CheckBoxLad, CheckBoxRxd, CheckBoxTrn}) {
        box->setEnabled(install);
        box->setChecked(install);
    }
}

void TMainForm::ShowInformation(const std::string& text) {
    MessageBox(text, "Information", MB_OK | MB_ICONINFORMATION);
}

void TMainForm::ShowError(const std::string& text) {
    MessageBox(text, "Error", MB_OK | MB_ICONSTOP);
}

void TMainForm::SetProgress(int value) {
    ProgressBar1->setValue(value);
    ProgressLabel->setText(Q("Progress:  " + std::to_string(value) + "%"));
    progress = value;
}

void TMainForm::RaiseProgress(int value) {
    if (value > progress) SetProgress(value);
}

void TMainForm::StepProgress(int step, int limit) {
    if (progress + step <= limit) RaiseProgress(progress + step);
}

void TMainForm::AboutClick() {
    ShowInformation(kInstallerVersionText);
}

void TMainForm::HelpSDClick() {
    ShowInformation("The Source Directory is the location from which the software is installed "
                    "-- typically a CD.  For example, if the CD is loaded in the D drive, the "
                    "value would be D: \nThis information is not needed when installing via the "
                    "Internet.");
}

void TMainForm::HelpDDClick() {
    ShowInformation("The Destination Directory is the location to which the software is "
                    "installed.  The standard location is in the Program Files directory on the "
                    "C: drive, but you can change it to another location.");
}

void TMainForm::HelpPFClick() {
    ShowInformation("The Program Folder is the name that appears in the Start Menu, and "
                    "contains the icons for launching the installed programs.");
}

void TMainForm::ExitClick() {
    // A running sequence stops at its next step and then closes the window.
    if (running) {
        StopSequence();
        return;
    }
    close();
}

void TMainForm::StopSequence() {
    aborted = true;
    // A download waiting on the server ends now rather than at its end.
    if (FtpClient1.State() != ftpReady && FtpClient1.State() != ftpInternalReady)
        FtpClient1.AbortAsync();
}

bool TMainForm::CheckEntries() {
    const std::string source = S(SourceDir->text());
    const std::string dest = S(DestDir->text());
    const std::string folder = S(ProgFolder->text());
    auto refuse = [](const std::string& text, QLineEdit* field) {
        ShowError(text);
        field->setFocus();
        field->selectAll();
        return false;
    };
    if (mode == ModeUninstall) {
        // Nothing is removed relative to a folder that is missing, the root,
        // or one that would reach outside itself.
        if (!IsAcceptableFolder(installedDirectory, FolderKind::Absolute) ||
            (!installedProgFolder.empty() &&
             !IsAcceptableFolder(installedProgFolder, FolderKind::Relative))) {
            ShowError(kSoftwareNotFound);
            return false;
        }
        return true;
    }
    if (mode == ModeCd) {
        if (source.empty()) return refuse("Source Directory name is required.", SourceDir);
        if (!IsAcceptableFolder(source, FolderKind::Absolute) || !DirectoryExists(source))
            return refuse("Error occurred in accessing the source directory, " + source +
                              ".  Please verify your entry and try again.",
                          SourceDir);
    }
    if (mode == ModeMakeCd && !IsAcceptableFolder(dest, FolderKind::Absolute))
        return refuse("Destination Directory name is required, and must include at least a "
                      "drive letter and colon.  It may also include a full path name.  For "
                      "example:  D:  or  C:\\Rostrix",
                      DestDir);
    if (mode == ModeCd || mode == ModeInternet) {
        if (!IsAcceptableFolder(dest, FolderKind::Absolute))
            return refuse("Destination Directory name is required, and must include a drive "
                          "letter and a full path name.  For example:  C:\\Rostrix",
                          DestDir);
        if (folder.empty())
            return refuse("Program Folder name (for the Start Menu) is required.", ProgFolder);
        // The entries must land inside the applications folder.
        if (!IsAcceptableFolder(folder, FolderKind::Relative))
            return refuse(kProgFolderRefused, ProgFolder);
    }
    return true;
}

void TMainForm::TakeEntries() {
    entries.sourceDir = S(SourceDir->text());
    entries.destDir = S(DestDir->text());
    entries.progFolder = S(ProgFolder->text());
    entries.lad = CheckBoxLad->isChecked();
    entries.trn = CheckBoxTrn->isChecked();
    entries.rxd = CheckBoxRxd->isChecked();
}

void TMainForm::LockInputs(bool lock) {
    if (lock) {
        lockedInputs.clear();
        for (QWidget* input : std::initializer_list<QWidget*>{
                 InstallFrom, SourceDir, HelpSD, DestDir, HelpDD, ProgFolder, HelpPF, CheckBoxLad,
                 CheckBoxRxd, CheckBoxTrn, Install, About}) {
            lockedInputs.emplace_back(input, input->isEnabled());
            input->setEnabled(false);
        }
        return;
    }
    for (const auto& [input, enabled] : lockedInputs)
        input->setEnabled(enabled);
    lockedInputs.clear();
}

void TMainForm::OkClick() {
    if (running) return;
    mode = InstallFrom->ItemIndex();
    if (!CheckEntries()) return;
    TakeEntries();
    SetProgress(0);
    // Every mode that writes starts by making its folder, the CD's as well.
    if (mode != ModeUninstall && !ForceDirectories(entries.destDir)) {
        ShowError("Error occurred in creating destination directory, " + entries.destDir);
        DestDir->setFocus();
        return;
    }
    running = true;
    aborted = false;
    LockInputs(true);
    try {
        if (mode == ModeUninstall) {
            Uninstall();
        } else if (mode == ModeMakeCd) {
            MakeInstallCd();
        } else {
            InstallSoftware();
        }
    } catch (const std::exception& error) {
        // The application's exception box, and the window stays usable.
        ShowException(error);
    }
    running = false;
    LockInputs(false);
    if (aborted) close();
}

void TMainForm::InstallSoftware() {
    for (const std::string& subdir : InstallSubdirectories()) {
        const std::string path = entries.destDir + "/" + subdir;
        if (!ForceDirectories(path)) {
            ShowError("Error occurred in creating destination directory, " + path);
            DestDir->setFocus();
            return;
        }
    }
    bool failed = false;
    if (mode == ModeInternet) {
        // The download has shown its own message.
        if (!DownloadInstallFiles(90)) {
            if (aborted) return;
            failed = true;
        }
    } else {
        try {
            if (!CopyFilesFromCd(90)) {
                if (aborted) return;
                failed = true;
            }
        } catch (const EFileStreamError&) {
            failed = true;
        }
        if (failed) ShowError("An error occurred in copying files!");
    }
    if (!failed && !CreateShortcuts(93)) {
        ShowError("An error occurred in creating Start menu icons!");
        failed = true;
    }
    if (!failed && !WriteRegistry(97)) {
        ShowError("An error occurred in creating registry entries!");
        failed = true;
    }
    if (failed) {
        ShowError("An error occurred; installation was not completed!");
        return;
    }
    RaiseProgress(100);
    ShowInformation("Installation is complete.");
    close();
}

bool TMainForm::CopyFilesFromCd(int limit) {
    const int step = (limit - progress) / static_cast<int>(FileTable().size());
    for (const InstallFileRow& row : FileTable()) {
        std::string source = entries.sourceDir;
        if (*row.cdSubdir != '\0') source += std::string("/") + row.cdSubdir;
        std::string dest = entries.destDir;
        if (*row.installSubdir != '\0') dest += std::string("/") + row.installSubdir;
        CopyFile(row.name, source, dest);
        StepProgress(step, limit);
        // The window keeps painting, and Exit can stop the copy.
        QCoreApplication::processEvents();
        if (aborted) return false;
    }
    RaiseProgress(limit);
    return true;
}

void TMainForm::CopyFile(const std::string& name, const std::string& sourceDir,
                         const std::string& destDir) {
    CopyFileInto(name, sourceDir, destDir);
}

bool TMainForm::ConnectToServer() {
    const InstallServer server = InstallServerLocation();
    FtpClient1.HostName = server.host;
    FtpClient1.Port = server.port;
    FtpClient1.UserName = "anonymous";
    FtpClient1.PassWord = "quietlark";
    if (FtpClient1.Connect()) return true;
    if (!aborted) ShowError("Failed to connect to FTP site: " + FtpClient1.ErrorMessage());
    // A login that was refused leaves the connection open, and every later
    // Connect would fail as "already connected".
    FtpClient1.Abort();
    return false;
}

bool TMainForm::DownloadFile(const InstallFileRow& row, const std::string& remote,
                             const std::string& local, std::string& failure) {
    const std::string folder = InstallServerLocation().folder;
    // A type the server refused would bring a text file with the wrong line
    // ends, or a binary one altered.
    if (!(row.binary ? FtpClient1.TypeBinary() : FtpClient1.TypeAscii())) {
        failure = FtpClient1.ErrorMessage();
        return false;
    }
    FtpClient1.HostFileName = folder.empty() ? remote : folder + "/" + remote;
    // The file it replaces stays whole until this one has come whole, into
    // a new file of its own: never through a link left in a shared folder.
    const std::filesystem::path target(local);
    std::string partial;
    const int fd =
        CreateTemporaryBeside(target.parent_path().string(), target.filename().string(), partial);
    QFile file;
    if (fd < 0 || !file.open(fd, QIODevice::WriteOnly | QIODevice::Unbuffered,
                             QFileDevice::AutoCloseHandle)) {
        if (fd >= 0) {
            ::close(fd);
            ::unlink(partial.c_str());
        }
        failure = "Unable to open local file " + partial;
        return false;
    }
    FtpClient1.SetLocalStream(&file);
    const bool fetched = FtpClient1.Get();
    FtpClient1.SetLocalStream(nullptr);
    struct stat status {};
    if (fetched && IsProgramFile(row) && ::fstat(fd, &status) == 0)
        ::fchmod(fd, (status.st_mode | ((status.st_mode & 0444) >> 2)) & 07777);
    // The stream is this side's: a failed write or close is told here.
    bool written = file.error() == QFileDevice::NoError;
    file.close();
    written = written && file.error() == QFileDevice::NoError;
    if (!fetched || !written) {
        failure = written ? FtpClient1.ErrorMessage() : "426 Error writing local file " + partial;
        ::unlink(partial.c_str());
        return false;
    }
    if (std::rename(partial.c_str(), local.c_str()) != 0) {
        failure = "Unable to replace " + local;
        ::unlink(partial.c_str());
        return false;
    }
    return true;
}

bool TMainForm::DownloadTable(
    int step, int limit,
    const std::function<std::string(const InstallFileRow& row, const std::string& remote)>&
        localOf) {
    for (const InstallFileRow& row : FileTable()) {
        const std::string remote = std::string(row.cdSubdir) + "/" + row.name;
        std::string failure;
        if (!DownloadFile(row, remote, localOf(row, remote), failure)) {
            if (!aborted) ShowError("Failed to download file " + remote + ": " + failure);
            return false;
        }
        StepProgress(step, limit);
        if (aborted) return false;
    }
    return true;
}

bool TMainForm::DownloadInstallFiles(int limit) {
    const int step = (limit - progress) / kDownloadSteps;
    if (!FolderAccessible(entries.destDir)) {
        ShowError("An error occurred accessing directory " + entries.destDir);
        return false;
    }
    if (!ConnectToServer()) return false;
    FtpSession session(FtpClient1);
    StepProgress(step, limit);
    const bool downloaded =
        DownloadTable(step, limit, [this](const InstallFileRow& row, const std::string&) {
            std::string local = entries.destDir + "/";
            if (*row.installSubdir != '\0') local += std::string(row.installSubdir) + "/";
            return std::filesystem::path(local + row.name).lexically_normal().string();
        });
    if (!downloaded) return false;
    session.End();
    RaiseProgress(limit);
    return true;
}

void TMainForm::MakeInstallCd() {
    if (DownloadCdFiles(100)) {
        ShowInformation("Copy is complete.");
        close();
    } else if (!aborted) {
        ShowError("An error occurred; copy was not completed!");
    }
}

bool TMainForm::DownloadCdFiles(int limit) {
    const int step = (limit - progress) / kDownloadSteps;
    const std::string& cd = entries.destDir;
    if (!FolderAccessible(cd)) {
        ShowError("An error occurred accessing directory " + cd);
        return false;
    }
    for (const std::string& subdir : CdSubdirectories()) {
        const std::string path = cd + "/" + subdir;
        if (!ForceDirectories(path)) {
            ShowError("Error occurred in creating destination sub-directory, " + path);
            return false;
        }
    }
    if (!ConnectToServer()) return false;
    FtpSession session(FtpClient1);
    StepProgress(step, limit);
    // The root's file keeps its empty folder: "/autorun.sh".
    const bool downloaded =
        DownloadTable(step, limit, [&cd](const InstallFileRow&, const std::string& remote) {
            return cd + "/" + remote;
        });
    if (!downloaded) return false;
    if (!CopySetupToCdRoot(cd)) return false;
    session.End();
    RaiseProgress(limit);
    return true;
}

bool TMainForm::CreateShortcuts(int limit) {
    const int start = progress;
    std::string programs;
    if (!CommonProgramsPath(programs)) return false;
    const std::string folder = programs + "/" + entries.progFolder;
    if (!ForceDirectories(folder)) return false;
    RaiseProgress(start + (limit - start) / 2);
    for (const ShortcutRow& row : ShortcutTable()) {
        const std::string target =
            std::filesystem::path(entries.destDir + "/" + row.target).lexically_normal().string();
        std::vector<std::string> command;
        if (IsDocument(target)) command.push_back("xdg-open");
        command.push_back(target);
        if (*row.arguments != '\0') command.push_back(row.arguments);
        DesktopEntry entry;
        entry.name = row.caption;
        entry.exec = ExecLine(command);
        if (*row.icon != '\0')
            entry.icon = FindFileAnyCase(entries.destDir + "/" + row.icon + ".ico");
        if (!WriteWholeFile(folder + "/" + row.caption + ".desktop", DesktopEntryText(entry)))
            return false;
    }
    RaiseProgress(limit);
    return true;
}

bool TMainForm::WriteRegistry(int limit) {
    const int start = progress;
    TRegistry registry;
    registry.SetRootKey(HKEY_LOCAL_MACHINE);
    try {
        if (!registry.OpenKey("Software", true) || !registry.OpenKey("Palomet Software", true) ||
            !registry.OpenKey("Rostrix", true)) {
            ShowError(kRegistryWriteError);
            return false;
        }
        registry.WriteString("installDirectory", entries.destDir);
        registry.WriteString("progFolder", entries.progFolder);
    } catch (const ERegistryException&) {
        ShowError(kRegistryWriteError);
        return false;
    }
    registry.CloseKey();
    RaiseProgress(start + (limit - start) / 2);

    std::vector<std::pair<std::string, std::string>> defaults;
    const std::pair<bool, char> boxes[] = {
        {entries.lad, 'L'}, {entries.trn, 'T'}, {entries.rxd, 'P'}};
    TRegistry classes;
    classes.SetRootKey(HKEY_CLASSES_ROOT);
    for (const auto& [checked, letter] : boxes) {
        if (!checked) continue;
        if (!RegisterFileType(classes, letter)) return false;
        const FileTypeRow& type = FileTypeFor(letter);
        defaults.emplace_back(type.mimeType, ProgId(type) + ".desktop");
    }
    if (!defaults.empty()) {
        std::vector<std::string> types;
        for (const auto& [type, entry] : defaults)
            types.push_back(type);
        const std::string packages = DataHome() + "/mime/packages";
        const std::string config = ConfigHome();
        const std::string list = config + "/mimeapps.list";
        if (DataHome().empty() || config.empty() || !ForceDirectories(packages) ||
            !WriteWholeFile(packages + "/rostrix.xml", MimePackageText(types)) ||
            !ForceDirectories(config) ||
            !WriteWholeFile(list, MergeMimeApps(ReadWholeFile(list), defaults))) {
            ShowError(kRegistryWriteError);
            return false;
        }
        NotifyAssociationChange();
    }
    RaiseProgress(limit);
    return true;
}

bool TMainForm::RegisterFileType(TRegistry& registry, char letter) {
    const FileTypeRow& type = FileTypeFor(letter);
    const std::string progId = ProgId(type);
    const std::string program = entries.destDir + "/rostrix";
    const std::string switchText = std::string("-") + letter;
    try {
        if (!registry.OpenKey("\\" + progId, true) || !registry.OpenKey("shell", true) ||
            !registry.OpenKey("open", true) || !registry.OpenKey("command", true)) {
            ShowError(kRegistryWriteError);
            return false;
        }
        registry.WriteString("", "\"" + program + "\" " + switchText + " \"%1\"");
        registry.CloseKey();
        if (!registry.OpenKey("\\", false) || !registry.OpenKey(type.extension, true)) {
            ShowError(kRegistryWriteError);
            return false;
        }
        registry.WriteString("", progId);
        registry.CloseKey();
    } catch (const ERegistryException&) {
        ShowError(kRegistryWriteError);
        return false;
    }
    // The desktop's form of the same association: a hidden entry that opens
    // files of the type.
    std::string programs;
    DesktopEntry entry;
    entry.name = progId;
    entry.exec = ExecLine({program, switchText}, "%f");
    entry.mimeType = type.mimeType;
    entry.noDisplay = true;
    if (!CommonProgramsPath(programs) || !ForceDirectories(programs) ||
        !WriteWholeFile(programs + "/" + progId + ".desktop", DesktopEntryText(entry))) {
        ShowError(kRegistryWriteError);
        return false;
    }
    return true;
}

void TMainForm::Uninstall() {
    const std::string& installed = installedDirectory;
    // A link inside the installation goes, and what it names stays.
    for (const InstallFileRow& row : FileTable()) {
        // The installer beside the installation folder lies outside it and stays.
        if (std::string(row.installSubdir) == "..") continue;
        std::string path;
        if (*row.installSubdir != '\0') path = std::string(row.installSubdir) + "/";
        RemoveInside(installed, path + row.name, EntryKind::File);
    }
    RaiseProgress(50);
    for (const std::string& subdir : InstallSubdirectories())
        RemoveInside(installed, subdir, EntryKind::Folder);
    if (::rmdir(installed.c_str()) != 0)
        ShowError("Warning:  unable to completely remove installation directory, " + installed);
    RemoveShortcuts();
    RemoveRegistryKey();
    RaiseProgress(100);
    ShowInformation("The uninstall is complete.");
    close();
}

void TMainForm::RemoveShortcuts() {
    // An installation without a program folder made no menu entries.
    if (installedProgFolder.empty()) return;
    const char* const warning = "Warning:  unable to completely remove icons from Start menu";
    std::string programs;
    if (!CommonProgramsPath(programs)) {
        ShowError(warning);
        return;
    }
    for (const ShortcutRow& row : ShortcutTable())
        RemoveInside(programs, installedProgFolder + "/" + row.caption + ".desktop",
                     EntryKind::File);
    if (!RemoveInside(programs, installedProgFolder, EntryKind::Folder)) ShowError(warning);
}

void TMainForm::RemoveRegistryKey() {
    TRegistry registry;
    registry.SetRootKey(HKEY_LOCAL_MACHINE);
    if (!registry.OpenKey("Software", false) || !registry.OpenKey("Palomet Software", false)) {
        ShowError("Error occurred opening the registry entry!");
        return;
    }
    if (!registry.DeleteKey("Rostrix")) ShowError("Error occurred deleting the registry entry!");
    registry.CloseKey();
}

bool TMainForm::CopySetupToCdRoot(const std::string& cd) {
    CopyFile("rxInstaller", cd + "/installer", cd);
    // A setup left by an earlier copy is kept, and this copy fails.
    if (!RenameNoReplace(cd + "/rxInstaller", cd + "/setup")) {
        ShowError("Failed to create the setup.exe copy.");
        return false;
    }
    return true;
}

int InstallerMain(int argc, char** argv) {
    Application application(argc, argv);
    TMainForm* form = nullptr;
    try {
        const std::vector<std::string> arguments(argv + 1, argv + argc);
        form = new TMainForm(arguments);
        form->show();
        Application::exec();
    } catch (const std::exception& error) {
        ShowException(error);
    } catch (...) {
        ShowUnknownException();
    }
    delete form;
    return 0;
}
