#include "tests/installer/InstallerFixture.h"

#include "installer/installTables.h"
#include "platform/Registry.h"

#include <filesystem>
#include <sys/stat.h>

namespace fs = std::filesystem;

const char* const kIntroductionText =
    "Rostrix software installer\n\nThis installation program provides four capabilities: \n"
    "1.  Install the software from a CD.\n"
    "2.  Install the software by downloading from the Internet.\n"
    "3.  Create an installation CD by downloading from the Internet.  The CD can be used to "
    "install later, and can serve as a backup copy.\n"
    "4.  Uninstall the software.\n\n"
    "In most cases, the appropriate default values will be pre-populated, so you can just "
    "click the button at the bottom of the next screen.\n\t";

namespace {

const char* const kRecordingProgram =
    "#!/bin/sh\n"
    "[ -n \"$ROSTRIX_ARGS_OUT\" ] || exit 1\n"
    "{ printf '%s\\n' \"$0\"; for a in \"$@\"; do\n"
    "    printf '%s\\n' \"$a\"; done; } > \"$ROSTRIX_ARGS_OUT.part\"\n"
    // Renamed once whole: a test reads the file as soon as it is there.
    "mv \"$ROSTRIX_ARGS_OUT.part\" \"$ROSTRIX_ARGS_OUT\"\n";

} // namespace

ScratchHome::ScratchHome()
    : homeVars(home.Path()), registry("ROSTRIX_REGISTRY", home.Path() + "/registry"),
      ftpUrl("ROSTRIX_FTP_URL", "ftp://127.0.0.1:1/rostrix") {
}

std::string ScratchHome::MakeCd(const std::string& folder) const {
    const std::string dist = std::string(ROSTRIX_SOURCE) + "/dist";
    for (const InstallFileRow& row : FileTable()) {
        const std::string subdir = row.cdSubdir;
        const fs::path target = fs::path(folder) / subdir / row.name;
        fs::create_directories(target.parent_path());
        const std::string name = row.name;
        if (name == "rostrix" || name == "rxInstaller") {
            WriteFile(target.string(), kRecordingProgram);
            chmod(target.c_str(), 0755);
            continue;
        }
        if (name == "libwsock32.so") {
            WriteFile(target.string(), "socket library");
            continue;
        }
        // The icons lie at dist/'s root, the rest in the folders the CD has.
        const fs::path source =
            subdir == "icons" ? fs::path(dist) / name : fs::path(dist) / subdir / name;
        fs::copy_file(source, target, fs::copy_options::overwrite_existing);
    }
    return folder;
}

std::unique_ptr<TMainForm> ScratchHome::Start(BoxScript& boxes,
                                              const std::vector<std::string>& arguments) {
    boxes.Expect("Information", kIntroductionText, MB_OK | MB_ICONINFORMATION);
    auto form = std::make_unique<TMainForm>(arguments);
    form->show();
    return form;
}

void ScratchHome::WriteProductKey(const std::string& installDirectory,
                                  const std::string& progFolder) {
    TRegistry registry;
    registry.SetRootKey(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(registry.OpenKey("\\Software\\Palomet Software\\Rostrix", true));
    registry.WriteString("installDirectory", installDirectory);
    registry.WriteString("progFolder", progFolder);
}

bool ScratchHome::ProductKeyExists() const {
    TRegistry registry;
    registry.SetRootKey(HKEY_LOCAL_MACHINE);
    return registry.KeyExists("\\Software\\Palomet Software\\Rostrix");
}

std::set<std::string> ScratchHome::Tree() const {
    return Tree(home.Path());
}

std::set<std::string> ScratchHome::Tree(const std::string& root) const {
    std::set<std::string> paths;
    if (!fs::exists(root)) return paths;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        paths.insert(fs::relative(entry.path(), root).string());
    return paths;
}
