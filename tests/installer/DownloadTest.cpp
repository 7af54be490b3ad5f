// Installing by download and making an installation CD, against pyftpdlib
// on 127.0.0.1 serving a folder laid out as the server's: the CD's layout
// below "rostrix", its text files in this platform's line ends, which an
// ASCII transfer turns into CR LF.

#include "installer/MainForm.h"
#include "installer/installTables.h"
#include "platform/ApplicationState.h"
#include "platform/Environment.h"
#include "platform/Registry.h"
#include "tests/installer/FtpPeer.h"
#include "tests/installer/InstallerFixture.h"
#include "tests/net/SocketPeers.h"

#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <chrono>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

const unsigned kError = MB_OK | MB_ICONSTOP;
const unsigned kInformation = MB_OK | MB_ICONINFORMATION;

std::string WithoutCr(const std::string& text) {
    std::string out;
    for (char c : text)
        if (c != '\r') out += c;
    return out;
}

std::string WithCrLf(const std::string& text) {
    std::string out;
    for (char c : WithoutCr(text)) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

std::string PathOf(const std::string& root, const InstallFileRow& row, bool installed) {
    const std::string subdir = installed ? row.installSubdir : row.cdSubdir;
    return fs::path(root + "/" + subdir + "/" + row.name).lexically_normal().string();
}

std::map<std::string, std::string> Contents(const std::string& root) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        if (entry.is_regular_file())
            files[fs::relative(entry.path(), root).string()] = ReadFile(entry.path().string());
    return files;
}

// A server script that greets, takes any login, and then gives each line
// the answer `answer` has for it, until the client closes.
std::function<void(int fd)> LoggedInPeer(std::function<std::string(const std::string&)> answer) {
    return [answer](int fd) {
        WriteAll(fd, "220 ready\r\n");
        for (std::string line = PeerLine(fd); !line.empty(); line = PeerLine(fd)) {
            if (line.rfind("USER", 0) == 0)
                WriteAll(fd, "331 password please\r\n");
            else if (line.rfind("PASS", 0) == 0)
                WriteAll(fd, "230 in\r\n");
            else
                WriteAll(fd, answer(line) + "\r\n");
        }
    };
}

// The files that one tree has and the other lacks or holds otherwise, one a
// line, so that a failure names them.
std::string Differences(const std::map<std::string, std::string>& before,
                        const std::map<std::string, std::string>& after) {
    std::string out;
    for (const auto& [name, bytes] : before) {
        const auto found = after.find(name);
        if (found == after.end())
            out += "gone: " + name + "\n";
        else if (found->second != bytes)
            out += "changed: " + name + " (" + std::to_string(bytes.size()) + " -> " +
                   std::to_string(found->second.size()) + " bytes)\n";
    }
    for (const auto& [name, bytes] : after)
        if (before.count(name) == 0)
            out += "new: " + name + " (" + std::to_string(bytes.size()) + " bytes)\n";
    return out;
}

class FtpInstall : public ScratchHome {
protected:
    FtpInstall()
        : port(FreeLoopbackPort()),
          url("ROSTRIX_FTP_URL", "ftp://127.0.0.1:" + std::to_string(port) + "/rostrix") {
        cd = MakeCd(Home() + "/cd");
        served = Home() + "/server";
        for (const InstallFileRow& row : FileTable()) {
            const std::string file = PathOf(served + "/rostrix", row, false);
            fs::create_directories(fs::path(file).parent_path());
            const std::string bytes = ReadFile(PathOf(cd, row, false));
            WriteFile(file, row.binary ? bytes : WithoutCr(bytes));
        }
        dest = Home() + "/Apps/Rostrix";
    }

    void SetUp() override {
        if (!PyftpdlibInstalled()) GTEST_SKIP() << "python3-pyftpdlib is not installed";
    }

    void StartServer() {
        server.reset();
        server = StartOnFreePort(
            [this](unsigned short free) { return PyftpdlibCommand(served, free, false); }, port);
        ASSERT_TRUE(server->Running());
        setenv("ROSTRIX_FTP_URL", ("ftp://127.0.0.1:" + std::to_string(port) + "/rostrix").c_str(),
               1);
    }

    // What a file of the table looks like once downloaded.
    std::string Downloaded(const InstallFileRow& row) const {
        const std::string bytes = ReadFile(PathOf(cd, row, false));
        return row.binary ? bytes : WithCrLf(bytes);
    }

    std::unique_ptr<TMainForm> StartIn(BoxScript& boxes, int mode, const std::string& folder) {
        auto form = Start(boxes);
        form->InstallFrom->SetItemIndex(mode);
        form->DestDir->setText(QString::fromStdString(folder));
        progress.clear();
        QObject::connect(form->ProgressBar1, &QProgressBar::valueChanged,
                         [this](int value) { progress.push_back(value); });
        return form;
    }

    void MakeCdInto(const std::string& folder) {
        BoxScript boxes;
        auto form = StartIn(boxes, TMainForm::ModeMakeCd, folder);
        boxes.Expect("Information", "Copy is complete.", kInformation);
        form->Install->click();
        EXPECT_FALSE(form->isVisible());
    }

    unsigned short port;
    ScopedEnv url;
    std::string cd, served, dest;
    std::unique_ptr<ServerProcess> server;
    std::vector<int> progress;
};

std::vector<int> Stages(int to, std::initializer_list<int> then) {
    std::vector<int> stages;
    for (int value = 5; value <= to; value += 5)
        stages.push_back(value);
    stages.insert(stages.end(), then);
    return stages;
}

TEST_F(FtpInstall, DownloadInstallsEveryFileStageByStage) {
    StartServer();
    BoxScript boxes;
    auto form = StartIn(boxes, TMainForm::ModeInternet, dest);
    boxes.Expect("Information", "Installation is complete.", kInformation);
    form->Install->click();
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(progress, Stages(90, {91, 93, 95, 97, 100}));
    std::set<std::string> expected;
    for (const InstallFileRow& row : FileTable()) {
        const std::string file = PathOf(dest, row, true);
        EXPECT_EQ(ReadFile(file), Downloaded(row)) << row.name;
        EXPECT_EQ(access(file.c_str(), X_OK) == 0, IsProgramFile(row)) << row.name;
        expected.insert(fs::relative(file, Home() + "/Apps").string());
    }
    expected.insert({"Rostrix", "Rostrix/sample", "Rostrix/doc"});
    // Nothing but the files: no partial download is left.
    EXPECT_EQ(Tree(Home() + "/Apps"), expected);
    TRegistry registry;
    registry.SetRootKey(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(registry.OpenKeyReadOnly("\\Software\\Palomet Software\\Rostrix"));
    EXPECT_EQ(registry.ReadString("installDirectory"), dest);
    EXPECT_TRUE(FileExists(Applications() + "/Rostrix/Challenge Ladder.desktop"));
    EXPECT_FALSE(form->FtpClient1.Connected());
}

TEST_F(FtpInstall, AMissingFileStopsTheDownloadAndLeavesThePreviousInstallationWhole) {
    {
        BoxScript boxes;
        auto form = Start(boxes, {"-C"});
        form->SourceDir->setText(QString::fromStdString(cd));
        form->DestDir->setText(QString::fromStdString(dest));
        boxes.Expect("Information", "Installation is complete.", kInformation);
        form->Install->click();
    }
    const auto before = Contents(Home() + "/Apps");
    const std::string missing = served + "/rostrix/sample/importFile.txt";
    const std::string kept = ReadFile(missing);
    fs::remove(missing);
    WriteFile(served + "/rostrix/programs/rostrix", "#!/bin/sh\n# the new version\n");
    StartServer();
    BoxScript boxes;
    auto form = StartIn(boxes, TMainForm::ModeInternet, dest);
    boxes.Expect("Error",
                 "Failed to download file sample/importFile.txt: 550 No such file or directory.",
                 kError);
    boxes.Expect("Error", "An error occurred; installation was not completed!", kError);
    form->Install->click();
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->Progress(), 30);
    EXPECT_FALSE(form->FtpClient1.Connected());
    // Every file is there and whole: the old one, or the new one that came
    // before the failure.
    auto after = Contents(Home() + "/Apps");
    EXPECT_EQ(after["Rostrix/rostrix"], "#!/bin/sh\n# the new version\n");
    after["Rostrix/rostrix"] = before.at("Rostrix/rostrix");
    EXPECT_EQ(Differences(before, after), "");
    TRegistry registry;
    registry.SetRootKey(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(registry.OpenKeyReadOnly("\\Software\\Palomet Software\\Rostrix"));
    EXPECT_EQ(registry.ReadString("installDirectory"), dest);

    // A second click starts a session of its own.
    WriteFile(missing, kept);
    boxes.Expect("Information", "Installation is complete.", kInformation);
    form->Install->click();
    EXPECT_FALSE(form->isVisible());
}

TEST_F(FtpInstall, ARefusedLoginIsDroppedSoTheNextInstallConnectsAfresh) {
    BoxScript boxes;
    auto form = StartIn(boxes, TMainForm::ModeInternet, dest);
    {
        bool closed = false;
        ScriptedPeer refusing([&](int fd) {
            WriteAll(fd, "220 ready\r\n");
            PeerLine(fd);
            WriteAll(fd, "331 password please\r\n");
            PeerLine(fd);
            WriteAll(fd, "530 Login incorrect.\r\n");
            closed = PeerLine(fd).empty();
        });
        ScopedEnv refusingUrl("ROSTRIX_FTP_URL",
                              "ftp://127.0.0.1:" + std::to_string(refusing.port) + "/rostrix");
        boxes.Expect("Error", "Failed to connect to FTP site: 530 Login incorrect.", kError);
        boxes.Expect("Error", "An error occurred; installation was not completed!", kError);
        form->Install->click();
        EXPECT_FALSE(form->FtpClient1.Connected());
        ASSERT_TRUE(refusing.Finished());
        EXPECT_TRUE(closed);
    }
    StartServer();
    boxes.Expect("Information", "Installation is complete.", kInformation);
    form->Install->click();
    EXPECT_FALSE(form->isVisible());
}

TEST_F(FtpInstall, ExitDuringAStalledDownloadStopsItAtOnceAndClosesTheWindow) {
    ScriptedPeer stalling(LoggedInPeer([](const std::string& line) -> std::string {
        // The data never comes.
        if (line.rfind("RETR", 0) == 0) return "150 here it comes";
        return "200 ok";
    }));
    ScopedEnv stallingUrl("ROSTRIX_FTP_URL",
                          "ftp://127.0.0.1:" + std::to_string(stalling.port) + "/rostrix");
    BoxScript boxes;
    auto form = StartIn(boxes, TMainForm::ModeInternet, dest);
    QTimer::singleShot(300, form.get(), [&] { form->Exit->click(); });
    const auto start = std::chrono::steady_clock::now();
    form->Install->click();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(boxes.Seen().size(), 1u);
    EXPECT_FALSE(form->FtpClient1.Connected());
    EXPECT_FALSE(fs::exists(dest + "/rostrix"));
    EXPECT_EQ(Tree(dest), (std::set<std::string>{"sample", "doc"}));
}

TEST_F(FtpInstall, ARefusedTransferTypeFailsTheFileBeforeItIsFetched) {
    bool retrieved = false;
    ScriptedPeer refusing(LoggedInPeer([&](const std::string& line) -> std::string {
        if (line.rfind("TYPE", 0) == 0) return "504 Type not implemented.";
        if (line.rfind("QUIT", 0) == 0) return "221 bye";
        retrieved = retrieved || line.rfind("RETR", 0) == 0;
        return "200 ok";
    }));
    ScopedEnv refusingUrl("ROSTRIX_FTP_URL",
                          "ftp://127.0.0.1:" + std::to_string(refusing.port) + "/rostrix");
    BoxScript boxes;
    auto form = StartIn(boxes, TMainForm::ModeInternet, dest);
    boxes.Expect("Error", "Failed to download file programs/rostrix: 504 Type not implemented.",
                 kError);
    boxes.Expect("Error", "An error occurred; installation was not completed!", kError);
    form->Install->click();
    EXPECT_FALSE(form->FtpClient1.Connected());
    ASSERT_TRUE(refusing.Finished());
    EXPECT_FALSE(retrieved);
    EXPECT_EQ(Tree(dest), (std::set<std::string>{"sample", "doc"}));
}

// Tests run side by side: another process may listen on the port chosen
// for the server before the server binds it. The server, unable to bind, is
// gone, and nothing is sent to the other's listener to find that out.
TEST_F(FtpInstall, AServerPortTakenByAnotherProcessIsNotMistakenForTheServer) {
    const unsigned short taken = port;
    const int other = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(taken);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(bind(other, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(listen(other, 5), 0);
    {
        ServerProcess onTaken(PyftpdlibCommand(served, taken, false), taken);
        EXPECT_FALSE(onTaken.Running());
        EXPECT_FALSE(onTaken.OwnsPort(taken));
    }
    pollfd waiting{other, POLLIN, 0};
    EXPECT_EQ(poll(&waiting, 1, 0), 0) << "a connection reached the other's listener";
    StartServer();
    EXPECT_TRUE(server->OwnsPort(port));
    close(other);
    BoxScript boxes;
    auto form = StartIn(boxes, TMainForm::ModeInternet, dest);
    boxes.Expect("Information", "Installation is complete.", kInformation);
    form->Install->click();
    EXPECT_FALSE(form->isVisible());
}

TEST_F(FtpInstall, AMadeCdHoldsTheServersFilesAndInstallsAsItIs) {
    StartServer();
    const std::string made = Home() + "/made";
    // A link that someone left at a temporary name in a shared folder is
    // never written through.
    fs::create_directories(made + "/programs");
    WriteFile(Home() + "/theirs", "theirs");
    fs::create_symlink(Home() + "/theirs", made + "/programs/.rostrix.download");
    MakeCdInto(made);
    EXPECT_EQ(ReadFile(Home() + "/theirs"), "theirs");
    EXPECT_EQ(progress, Stages(95, {100}));
    for (const InstallFileRow& row : FileTable()) {
        const std::string file = PathOf(made, row, false);
        EXPECT_EQ(ReadFile(file), Downloaded(row)) << row.name;
        EXPECT_EQ(access(file.c_str(), X_OK) == 0, IsProgramFile(row)) << row.name;
    }
    EXPECT_EQ(ReadFile(made + "/setup"), ReadFile(made + "/installer/rxInstaller"));
    EXPECT_EQ(access((made + "/setup").c_str(), X_OK), 0);

    BoxScript boxes;
    auto form = Start(boxes, {"-C"});
    form->SourceDir->setText(QString::fromStdString(made));
    form->DestDir->setText(QString::fromStdString(dest));
    boxes.Expect("Information", "Installation is complete.", kInformation);
    form->Install->click();
    for (const InstallFileRow& row : FileTable())
        EXPECT_EQ(ReadFile(PathOf(dest, row, true)), ReadFile(PathOf(made, row, false)))
            << row.name;
}

TEST_F(FtpInstall, MakingACdTwiceFailsAtTheSetupCopyAndEveryWayOutEndsTheSession) {
    StartServer();
    const std::string made = Home() + "/made";
    fs::create_directories(made);
    MakeCdInto(made);

    BoxScript boxes;
    auto form = StartIn(boxes, TMainForm::ModeMakeCd, made);
    boxes.Expect("Error", "Failed to create the setup.exe copy.", kError);
    boxes.Expect("Error", "An error occurred; copy was not completed!", kError);
    form->Install->click();
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(form->FtpClient1.Connected());

    // The copy of the installer raises: the application's box, and the
    // session ends all the same.
    fs::remove(made + "/setup");
    fs::remove(made + "/rxInstaller");
    fs::create_symlink("installer/rxInstaller", made + "/rxInstaller");
    boxes.Expect(ApplicationTitle(),
                 "Cannot copy file \"" + made + "/installer/rxInstaller\" onto itself.", kError);
    form->Install->click();
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(form->FtpClient1.Connected());
    EXPECT_TRUE(form->Install->isEnabled());

    fs::remove(made + "/rxInstaller");
    boxes.Expect("Information", "Copy is complete.", kInformation);
    form->Install->click();
    EXPECT_FALSE(form->isVisible());
}

TEST_F(FtpInstall, TheProposedCdFolderIsMadeWhenMissing) {
    StartServer();
    BoxScript boxes;
    auto form = Start(boxes);
    form->InstallFrom->SetItemIndex(TMainForm::ModeMakeCd);
    boxes.Expect("Information", "Copy is complete.", kInformation);
    form->Install->click();
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(ReadFile(Home() + "/Rostrix CD/setup"), ReadFile(cd + "/installer/rxInstaller"));
}

TEST(InstallServer, TheDefaultOrTheEnvironmentsUrl) {
    const struct {
        std::optional<std::string> url;
        const char *host, *port, *folder;
    } cases[] = {
        {std::nullopt, "ftp.rostrix.example", "ftp", "rostrix"},
        {"", "ftp.rostrix.example", "ftp", "rostrix"},
        {"ftp://127.0.0.1:2121/rostrix", "127.0.0.1", "2121", "rostrix"},
        {"ftp://mirror.example/pub/rostrix/", "mirror.example", "ftp", "pub/rostrix"},
        {"ftp://mirror.example", "mirror.example", "ftp", ""},
    };
    for (const auto& c : cases) {
        ScopedEnv url("ROSTRIX_FTP_URL", c.url);
        const InstallServer server = InstallServerLocation();
        EXPECT_EQ(server.host, c.host) << c.url.value_or("unset");
        EXPECT_EQ(server.port, c.port) << c.url.value_or("unset");
        EXPECT_EQ(server.folder, c.folder) << c.url.value_or("unset");
    }
}

} // namespace
