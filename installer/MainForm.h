#pragma once
// The installer's one window: the installation mode, the source,
// destination and program folders, the file associations to make, the
// progress, and the sequences that the Install button starts: install from
// a CD folder, uninstall, and the local parts of making a CD.

#include <QWidget>
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

int InstallerMain(int argc, char** argv);
