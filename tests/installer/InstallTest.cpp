#include "installer/MainForm.h"
#include "installer/installTables.h"
#include "platform/Environment.h"
#include "platform/Registry.h"
#include "tests/installer/InstallerFixture.h"
#include "unified/core/rxProgram.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;

const unsigned kError = MB_OK | MB_ICONSTOP;
const unsigned kInformation = MB_OK | MB_ICONINFORMATION;

struct Output {
    int exitCode = -1;
    std::string text;
};

Output RunTool(const QString& program, const QStringList& arguments,
               const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    Output output;
    if (!process.waitForStarted() || !process.waitForFinished(30000)) {
        output.text = "did not run: " + program.toStdString();
        return output;
    }
    output.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    output.text = process.readAll().toStdString();
    return output;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::string RegistryString(HKEY root, const std::string& key, const std::string& name) {
    TRegistry registry;
    registry.SetRootKey(root);
    if (!registry.OpenKeyReadOnly("\\" + key)) return "<no key " + key + ">";
    return registry.ReadString(name);
}

class InstallFromCd : public ScratchHome {
protected:
    InstallFromCd() {
        cd = MakeCd(Home() + "/cd");
        // Every character that the quoting rules must carry through.
        parent = Home() + "/Apps/Ro\"s\\t `$HOME` %u 'q'";
        dest = parent + "/Rostrix";
    }

    std::unique_ptr<TMainForm> StartCd(BoxScript& boxes) {
        auto form = Start(boxes, {"-C"});
        form->SourceDir->setText(QString::fromStdString(cd));
        form->DestDir->setText(QString::fromStdString(dest));
        return form;
    }

    std::unique_ptr<TMainForm> Install(BoxScript& boxes) {
        auto form = StartCd(boxes);
        QObject::connect(form->ProgressBar1, &QProgressBar::valueChanged,
                         [this](int value) { progress.push_back(value); });
        boxes.Expect("Information", "Installation is complete.", kInformation);
        form->Install->click();
        EXPECT_FALSE(form->isVisible());
        return form;
    }

    // Starts a desktop entry as the desktop does and gives back the
    // arguments the started program saw, its own path first.
    std::vector<std::string> Launch(const std::string& entry, const QStringList& files = {}) {
        const std::string out = Home() + "/launched-" + std::to_string(++launches);
        const std::string bin = Home() + "/bin";
        if (!FileExists(bin + "/xdg-open")) {
            fs::create_directories(bin);
            fs::copy_file(cd + "/programs/rostrix", bin + "/xdg-open");
        }
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("ROSTRIX_ARGS_OUT", QString::fromStdString(out));
        environment.insert("PATH", QString::fromStdString(bin) + ":" + environment.value("PATH"));
        const Output launched = RunTool(
            "gio", QStringList{"launch", QString::fromStdString(entry)} + files, environment);
        EXPECT_EQ(launched.exitCode, 0) << launched.text;
        // The program runs on its own after the launch returns.
        for (int i = 0; i < 200 && !FileExists(out); ++i)
            QThread::msleep(25);
        QThread::msleep(50);
        return Lines(ReadFile(out));
    }

    std::string cd, parent, dest;
    std::vector<int> progress;
    int launches = 0;
};

TEST_F(InstallFromCd, InstallsTheTreeAndTheRegistryValuesThatRostrixReadsStageByStage) {
    BoxScript boxes;
    Install(boxes);
    std::vector<int> stages;
    for (int value = 5; value <= 85; value += 5)
        stages.push_back(value);
    stages.insert(stages.end(), {90, 91, 93, 95, 97, 100});
    EXPECT_EQ(progress, stages);
    const std::set<std::string> installed = {"rostrix",
                                             "libwsock32.so",
                                             "Rostrix.ico",
                                             "tourndrw.ico",
                                             "Challad.ico",
                                             "autorun.sh",
                                             "sample",
                                             "sample/Sample.rxd",
                                             "sample/Sample.lad",
                                             "sample/Sample.trn",
                                             "sample/importFile.txt",
                                             "sample/importFile.xls",
                                             "doc",
                                             "doc/logo.gif",
                                             "doc/contents.html",
                                             "doc/index.html",
                                             "doc/ladderGuide.html",
                                             "doc/survey.html",
                                             "doc/userMan.html"};
    EXPECT_EQ(Tree(dest), installed);
    // The installer lies beside the installation folder.
    EXPECT_EQ(Tree(parent).size(), installed.size() + 2);
    EXPECT_TRUE(FileExists(parent + "/rxInstaller"));
    EXPECT_EQ(ReadFile(dest + "/sample/Sample.lad"), ReadFile(cd + "/sample/Sample.lad"));
    EXPECT_EQ(access((dest + "/rostrix").c_str(), X_OK), 0);

    const std::string product = "Software\\Palomet Software\\Rostrix";
    EXPECT_EQ(RegistryString(HKEY_LOCAL_MACHINE, product, "installDirectory"), dest);
    EXPECT_EQ(RegistryString(HKEY_LOCAL_MACHINE, product, "progFolder"), "Rostrix");
    const struct {
        const char *extension, *progId, *letter;
    } types[] = {{".lad", "Rostrix.ChallengeLadder.1", "L"},
                 {".trn", "Rostrix.TournamentDraw.1", "T"},
                 {".rxd", "Rostrix.MatchScheduling.1", "P"}};
    for (const auto& t : types) {
        EXPECT_EQ(RegistryString(HKEY_CLASSES_ROOT, t.extension, ""), t.progId);
        EXPECT_EQ(
            RegistryString(HKEY_CLASSES_ROOT, std::string(t.progId) + "\\shell\\open\\command", ""),
            "\"" + dest + "/rostrix\" -" + t.letter + " \"%1\"");
    }
    // What the organiser's program reads at its start.
    const rxProgram settings;
    EXPECT_EQ(settings.InstallDirectory(), dest);
}

TEST_F(InstallFromCd, MenuEntriesAreValidAndStartWhatTheyName) {
    BoxScript boxes;
    Install(boxes);
    const std::string menu = Applications() + "/Rostrix";
    EXPECT_EQ(Tree(menu),
              (std::set<std::string>{"Challenge Ladder.desktop", "Match Scheduling.desktop",
                                     "Tournament Draw.desktop", "User Manual.desktop",
                                     "Uninstall.desktop"}));
    const struct {
        std::string entry;
        std::vector<std::string> started;
    } cases[] = {
        {menu + "/Challenge Ladder.desktop", {dest + "/rostrix", "-L"}},
        {menu + "/Match Scheduling.desktop", {dest + "/rostrix", "-P"}},
        {menu + "/Tournament Draw.desktop", {dest + "/rostrix", "-T"}},
        {menu + "/User Manual.desktop", {Home() + "/bin/xdg-open", dest + "/doc/index.html"}},
        {menu + "/Uninstall.desktop", {parent + "/rxInstaller", "-U"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.entry);
        const Output valid = RunTool("desktop-file-validate", {QString::fromStdString(c.entry)});
        EXPECT_EQ(valid.exitCode, 0);
        EXPECT_EQ(valid.text, "");
        EXPECT_EQ(Launch(c.entry), c.started);
    }
    // The key file doubles the backslash of the folder's name.
    std::string icon = "Icon=";
    for (const char c : dest + "/Challad.ico")
        icon += c == '\\' ? std::string("\\\\") : std::string(1, c);
    EXPECT_NE(ReadFile(menu + "/Challenge Ladder.desktop").find(icon + "\n"), std::string::npos);
}

TEST_F(InstallFromCd, AssociationsGiveTheTypeAndOpenTheFileInTheProgram) {
    fs::create_directories(ConfigHome());
    WriteFile(ConfigHome() + "/mimeapps.list", "[Default Applications]\ntext/html=mine.desktop\n");
    BoxScript boxes;
    Install(boxes);
    const std::string file = Home() + "/club $1 %f.lad";
    WriteFile(file, ReadFile(cd + "/sample/Sample.lad"));
    const struct {
        const char *progId, *mimeType, *letter, *extension;
    } types[] = {{"Rostrix.ChallengeLadder.1", "application/x-rostrix-ladder", "-L", ".lad"},
                 {"Rostrix.TournamentDraw.1", "application/x-rostrix-tournament", "-T", ".trn"},
                 {"Rostrix.MatchScheduling.1", "application/x-rostrix-schedule", "-P", ".rxd"}};
    for (const auto& t : types) {
        SCOPED_TRACE(t.progId);
        const std::string entry = Applications() + "/" + t.progId + ".desktop";
        const Output valid = RunTool("desktop-file-validate", {QString::fromStdString(entry)});
        EXPECT_EQ(valid.exitCode, 0);
        EXPECT_EQ(valid.text, "");
        const std::string sample = Home() + "/x" + t.extension;
        WriteFile(sample, "x");
        const Output type = RunTool(
            "gio", {"info", "-a", "standard::content-type", QString::fromStdString(sample)});
        EXPECT_NE(type.text.find(std::string("standard::content-type: ") + t.mimeType),
                  std::string::npos)
            << type.text;
        const Output app = RunTool("gio", {"mime", t.mimeType});
        EXPECT_NE(app.text.find(std::string("”: ") + t.progId + ".desktop\n"), std::string::npos)
            << app.text;
    }
    EXPECT_EQ(Launch(Applications() + "/Rostrix.ChallengeLadder.1.desktop",
                     {QString::fromStdString(file)}),
              (std::vector<std::string>{dest + "/rostrix", "-L", file}));
    EXPECT_NE(ReadFile(ConfigHome() + "/mimeapps.list").find("text/html=mine.desktop\n"),
              std::string::npos);
}

TEST_F(InstallFromCd, WithoutAssociationsNothingOfTheFileTypesIsWritten) {
    BoxScript boxes;
    auto form = StartCd(boxes);
    for (QCheckBox* box : {form->CheckBoxLad, form->CheckBoxRxd, form->CheckBoxTrn})
        box->setChecked(false);
    boxes.Expect("Information", "Installation is complete.", kInformation);
    form->Install->click();
    TRegistry classes;
    classes.SetRootKey(HKEY_CLASSES_ROOT);
    EXPECT_FALSE(classes.KeyExists("\\.lad"));
    EXPECT_FALSE(classes.KeyExists("\\Rostrix.ChallengeLadder.1"));
    EXPECT_FALSE(fs::exists(DataHome() + "/mime"));
    EXPECT_FALSE(fs::exists(ConfigHome() + "/mimeapps.list"));
    EXPECT_EQ(Tree(Applications()).count("Rostrix.ChallengeLadder.1.desktop"), 0u);
}

TEST_F(InstallFromCd, AFileMissingOnTheCdStopsTheInstallAndKeepsWhatWasCopied) {
    fs::remove(cd + "/sample/importFile.xls");
    BoxScript boxes;
    auto form = StartCd(boxes);
    boxes.Expect("Error", "An error occurred in copying files!", kError);
    boxes.Expect("Error", "An error occurred; installation was not completed!", kError);
    form->Install->click();
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->Progress(), 30);
    EXPECT_EQ(Tree(dest), (std::set<std::string>{"rostrix", "libwsock32.so", "sample", "doc",
                                                 "sample/Sample.rxd", "sample/Sample.lad",
                                                 "sample/Sample.trn", "sample/importFile.txt"}));
    EXPECT_FALSE(ProductKeyExists());
    EXPECT_FALSE(fs::exists(Applications() + "/Rostrix"));
    // The fields stay as they were, and the inputs come back.
    EXPECT_EQ(form->DestDir->text().toStdString(), dest);
    EXPECT_TRUE(form->Install->isEnabled());
    EXPECT_TRUE(form->DestDir->isEnabled());
}

TEST_F(InstallFromCd, ASecondInstallClickAndChangedFieldsDuringTheCopyAreIgnored) {
    BoxScript boxes;
    auto form = StartCd(boxes);
    const std::string other = Home() + "/Other";
    bool locked = false;
    QMetaObject::invokeMethod(
        qApp,
        [&] {
            locked = form->SequenceRunning() && !form->Install->isEnabled() &&
                     !form->DestDir->isEnabled() && !form->InstallFrom->isEnabled() &&
                     !form->CheckBoxLad->isEnabled() && form->Exit->isEnabled();
            form->DestDir->setText(QString::fromStdString(other));
            form->ProgFolder->setText("Other");
            form->OkClick();
        },
        Qt::QueuedConnection);
    boxes.Expect("Information", "Installation is complete.", kInformation);
    form->Install->click();
    EXPECT_TRUE(locked);
    EXPECT_EQ(Tree(dest).size(), 19u);
    EXPECT_FALSE(fs::exists(other));
    EXPECT_EQ(RegistryString(HKEY_LOCAL_MACHINE, "Software\\Palomet Software\\Rostrix",
                             "installDirectory"),
              dest);
    EXPECT_TRUE(fs::exists(Applications() + "/Rostrix"));
}

TEST_F(InstallFromCd, ExitOrClosingTheWindowDuringTheCopyStopsItAndClosesTheWindow) {
    for (const bool byExit : {true, false}) {
        SCOPED_TRACE(byExit ? "Exit" : "closed");
        BoxScript boxes;
        auto form = StartCd(boxes);
        QMetaObject::invokeMethod(
            qApp,
            [&] {
                if (byExit)
                    form->Exit->click();
                else
                    form->close();
            },
            Qt::QueuedConnection);
        form->Install->click();
        EXPECT_FALSE(form->isVisible());
        EXPECT_EQ(boxes.Seen().size(), 1u);
        EXPECT_EQ(Tree(dest), (std::set<std::string>{"rostrix", "sample", "doc"}));
        EXPECT_FALSE(ProductKeyExists());
        fs::remove_all(dest);
    }
}

TEST_F(InstallFromCd, UninstallRemovesExactlyWhatWasInstalledAndKeepsUserFiles) {
    const std::set<std::string> before = Tree();
    {
        BoxScript boxes;
        Install(boxes);
    }
    WriteFile(dest + "/sample/my club.lad", "mine");
    progress.clear();
    BoxScript boxes;
    auto form = Start(boxes, {"-U"});
    EXPECT_EQ(form->DestDir->text().toStdString(), dest);
    EXPECT_EQ(form->ProgFolder->text(), "Rostrix");
    QObject::connect(form->ProgressBar1, &QProgressBar::valueChanged,
                     [this](int value) { progress.push_back(value); });
    boxes.Expect("Error", "Warning:  unable to completely remove installation directory, " + dest,
                 kError);
    boxes.Expect("Information", "The uninstall is complete.", kInformation);
    form->Install->click();
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(progress, (std::vector<int>{50, 100}));
    EXPECT_EQ(Tree(dest), (std::set<std::string>{"sample", "sample/my club.lad"}));
    EXPECT_FALSE(ProductKeyExists());

    // Everything else that is new in the home: the installer beside the
    // folder and the associations, which stay, and the registry store.
    fs::remove(dest + "/sample/my club.lad");
    fs::remove(dest + "/sample");
    fs::remove(dest);
    std::set<std::string> added;
    for (const std::string& path : Tree())
        if (!before.count(path) && path.rfind("registry", 0) != 0 &&
            path.rfind(".local/share/mime/", 0) != 0 && path.rfind(".cache", 0) != 0)
            added.insert(path);
    const std::string apps = ".local/share/applications/";
    const std::string beside = fs::relative(parent, Home()).string();
    EXPECT_EQ(added, (std::set<std::string>{"Apps", beside, beside + "/rxInstaller", ".local",
                                            ".local/share", ".local/share/mime",
                                            ".local/share/applications", apps + "mimeinfo.cache",
                                            apps + "Rostrix.ChallengeLadder.1.desktop",
                                            apps + "Rostrix.TournamentDraw.1.desktop",
                                            apps + "Rostrix.MatchScheduling.1.desktop", ".config",
                                            ".config/mimeapps.list"}));
    TRegistry classes;
    classes.SetRootKey(HKEY_CLASSES_ROOT);
    EXPECT_TRUE(classes.KeyExists("\\.lad"));
}

TEST_F(InstallFromCd, UninstallWithoutAProgramFolderLeavesTheMenuAlone) {
    fs::create_directories(dest + "/doc");
    WriteFile(dest + "/rostrix", "program");
    WriteFile(dest + "/doc/index.html", "page");
    fs::create_directories(Applications() + "/Rostrix");
    WriteFile(Applications() + "/Rostrix/Uninstall.desktop", "the user's own");
    WriteProductKey(dest, "");
    BoxScript boxes;
    auto form = Start(boxes, {"-U"});
    boxes.Expect("Information", "The uninstall is complete.", kInformation);
    form->Install->click();
    EXPECT_FALSE(fs::exists(dest));
    EXPECT_TRUE(FileExists(Applications() + "/Rostrix/Uninstall.desktop"));
    EXPECT_FALSE(ProductKeyExists());
}

// Links inside the installation go, and what they point to stays.
TEST_F(InstallFromCd, UninstallRemovesLinksAndNeverWhatTheyPointTo) {
    {
        BoxScript boxes;
        Install(boxes);
    }
    const std::string elsewhere = Home() + "/elsewhere";
    fs::create_directories(elsewhere);
    const std::string links[] = {dest + "/doc", dest + "/rostrix", Applications() + "/Rostrix"};
    for (const std::string& link : links) {
        const std::string target = elsewhere + "/" + std::to_string(&link - links);
        fs::rename(link, target);
        fs::create_symlink(target, link);
    }
    const std::set<std::string> kept = Tree(elsewhere);
    BoxScript boxes;
    auto form = Start(boxes, {"-U"});
    boxes.Expect("Information", "The uninstall is complete.", kInformation);
    form->Install->click();
    for (const std::string& link : links)
        EXPECT_FALSE(fs::exists(fs::symlink_status(link))) << link;
    EXPECT_EQ(Tree(elsewhere), kept);
}

TEST_F(InstallFromCd, TheBuiltCdInstallsEveryFileAsItIs) {
    BoxScript boxes;
    auto form = Start(boxes, {"-C"});
    form->SourceDir->setText(ROSTRIX_CD);
    form->DestDir->setText(QString::fromStdString(Home() + "/Rostrix"));
    boxes.Expect("Information", "Installation is complete.", kInformation);
    form->Install->click();
    for (const InstallFileRow& row : FileTable()) {
        const std::string cdFile = std::string(ROSTRIX_CD) + "/" + row.cdSubdir + "/" + row.name;
        const std::string installed = Home() + "/Rostrix/" + row.installSubdir + "/" + row.name;
        EXPECT_EQ(ReadFile(installed), ReadFile(cdFile)) << row.name;
    }
    EXPECT_EQ(access((Home() + "/Rostrix/rostrix").c_str(), X_OK), 0);
    EXPECT_EQ(access((Home() + "/rxInstaller").c_str(), X_OK), 0);
    EXPECT_EQ(ReadFile(std::string(ROSTRIX_CD) + "/setup"),
              ReadFile(std::string(ROSTRIX_CD) + "/installer/rxInstaller"));
}

TEST_F(InstallFromCd, TheSetupCopyOnTheCdIsMadeOnceAndNeverReplaced) {
    BoxScript boxes;
    auto form = Start(boxes);
    const std::string image = Home() + "/image";
    fs::create_directories(image + "/installer");
    WriteFile(image + "/installer/rxInstaller", "first");
    EXPECT_TRUE(form->CopySetupToCdRoot(image));
    EXPECT_EQ(ReadFile(image + "/setup"), "first");
    WriteFile(image + "/installer/rxInstaller", "second");
    boxes.Expect("Error", "Failed to create the setup.exe copy.", kError);
    EXPECT_FALSE(form->CopySetupToCdRoot(image));
    EXPECT_EQ(ReadFile(image + "/setup"), "first");
}

} // namespace
