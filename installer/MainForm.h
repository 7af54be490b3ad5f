#pragma once
// The installer's one window: the installation mode, the source,
// destination and program folders, the file associations to make, the
// progress, and the sequences that the Install button starts: install from
// a CD folder or by FTP download, make an installation CD, and uninstall.

#include "installer/FtpCli.h"

#include <QWidget>
#include <functional>
#include <string>
#include <utility>
#include <vector>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class TRegistry;
struct InstallFileRow;

// The captioned group of the four modes in two columns. Its handler runs
// whenever the chosen mode changes, also when code changes it.
class InstallModeGroup : public QWidget {
    Q_OBJECT

public:
    explicit InstallModeGroup(QWidget* parent = nullptr);
    int ItemIndex() const;
    void SetItemIndex(int index);
    QRadioButton* Button(int index) const { return buttons.at(static_cast<std::size_t>(index)); }

signals:
    void Changed();

private:
    QGroupBox* box;
    QButtonGroup* group;
    std::vector<QRadioButton*> buttons;
};

class TMainForm : public QWidget {
    Q_OBJECT

public:
    enum Mode : int { ModeCd = 0, ModeInternet = 1, ModeMakeCd = 2, ModeUninstall = 3 };

    explicit TMainForm(std::vector<std::string> arguments, QWidget* parent = nullptr);

    InstallModeGroup* InstallFrom;
    QLabel* sdLabel;
    QLineEdit* SourceDir;
    QPushButton* HelpSD;
    QLabel* ddLabel;
    QLineEdit* DestDir;
    QPushButton* HelpDD;
    QLabel* pfLabel;
    QLineEdit* ProgFolder;
    QPushButton* HelpPF;
    QCheckBox* CheckBoxLad;
    QCheckBox* CheckBoxRxd;
    QCheckBox* CheckBoxTrn;
    QLabel* ProgressLabel;
    QProgressBar* ProgressBar1;
    QPushButton* Install;
    QPushButton* About;
    QPushButton* Exit;
    // Every download goes through it.
    TFtpClient FtpClient1;

    void FormShow();
    void InstallFromClick();
    void OkClick();
    void ExitClick();
    void AboutClick();
    void HelpSDClick();
    void HelpDDClick();
    void HelpPFClick();

    void SetupModeFields();
    void SetProgress(int value);
    void RaiseProgress(int value);
    void StepProgress(int step, int limit);
    int Progress() const { return progress; }
    bool SequenceRunning() const { return running; }
    const std::string& InstalledDirectory() const { return installedDirectory; }
    const std::string& InstalledProgFolder() const { return installedProgFolder; }

    static void ShowInformation(const std::string& text);
    static void ShowError(const std::string& text);

    // The sequences, working on the fields as Install took them.
    void InstallSoftware();
    bool CopyFilesFromCd(int limit);
    bool DownloadInstallFiles(int limit);
    void MakeInstallCd();
    bool DownloadCdFiles(int limit);
    void CopyFile(const std::string& name, const std::string& sourceDir,
                  const std::string& destDir);
    bool CreateShortcuts(int limit);
    bool WriteRegistry(int limit);
    bool RegisterFileType(TRegistry& registry, char letter);
    void Uninstall();
    void RemoveShortcuts();
    void RemoveRegistryKey();
    // The make-CD sequence's last local step: the CD's installer copied to
    // the CD's root as "setup".
    bool CopySetupToCdRoot(const std::string& cd);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // Escape presses Exit, the window's cancel button.
    void keyPressEvent(QKeyEvent* event) override;

private:
    // What Install reads, taken once when it is clicked.
    struct Entries {
        std::string sourceDir;
        std::string destDir;
        std::string progFolder;
        bool lad = false;
        bool trn = false;
        bool rxd = false;
    };

    // Logs in to the server that holds the installation files; a failed
    // login is reported and the half-open session dropped.
    bool ConnectToServer();
    // One file of the server's folder into a temporary file beside `local`
    // that replaces it only when the whole file came; false with the reason.
    bool DownloadFile(const InstallFileRow& row, const std::string& remote,
                      const std::string& local, std::string& failure);
    // Every file of the table from the server, each to the path `localOf`
    // gives for it, moving the progress a step after each; a failure is
    // shown (unless the sequence was stopped) and ends the loop.
    bool DownloadTable(int step, int limit,
                       const std::function<std::string(const InstallFileRow& row,
                                                       const std::string& remote)>& localOf);
    void StopSequence();
    bool CheckEntries();
    void TakeEntries();
    void LockInputs(bool lock);

    std::vector<std::string> arguments;
    int mode = ModeInternet;
    std::string installedDirectory;
    std::string installedProgFolder;
    int progress = 0;
    Entries entries;
    bool running = false;
    bool aborted = false;
    bool shown = false;
    std::vector<std::pair<QWidget*, bool>> lockedInputs;
};

// The window's defaults on this platform.
std::string DefaultInstallDirectory();
std::string DefaultCdDirectory();

// Where the installation files are: the server, its port, and the folder
// that holds the CD's layout. ROSTRIX_FTP_URL ("ftp://host[:port][/folder]")
// replaces the default.
struct InstallServer {
    std::string host;
    std::string port = "ftp";
    std::string folder;
};
InstallServer InstallServerLocation();

int InstallerMain(int argc, char** argv);
