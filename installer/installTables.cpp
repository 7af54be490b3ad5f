#include "installer/installTables.h"

#include <stdexcept>

const char* const kInstallerVersionText = "Rostrix Installer, 5/21/2007";

const std::vector<InstallFileRow>& FileTable() {
    // Programs carry no ".exe" here; the CD's start file is this platform's
    // autorun script.
    static const std::vector<InstallFileRow> table = {
        {"rostrix", true, "programs", ""},
        // The socket layer loads it from beside the program.
        {"libwsock32.so", true, "programs", ""},
        {"Sample.rxd", false, "sample", "sample"},
        {"Sample.lad", false, "sample", "sample"},
        {"Sample.trn", false, "sample", "sample"},
        {"importFile.txt", false, "sample", "sample"},
        {"importFile.xls", true, "sample", "sample"},
        {"Rostrix.ico", true, "icons", ""},
        {"tourndrw.ico", true, "icons", ""},
        {"Challad.ico", true, "icons", ""},
        {"logo.gif", true, "doc", "doc"},
        {"contents.html", false, "doc", "doc"},
        {"index.html", false, "doc", "doc"},
        {"ladderGuide.html", false, "doc", "doc"},
        {"survey.html", false, "doc", "doc"},
        {"userMan.html", false, "doc", "doc"},
        {"rxInstaller", true, "installer", ".."},
        // A script keeps its line ends: it comes as an image, never as text.
        {"autorun.sh", true, "", ""},
    };
    return table;
}

const std::vector<ShortcutRow>& ShortcutTable() {
    static const std::vector<ShortcutRow> table = {
        {"Challenge Ladder", "challad", "-L", "rostrix"},
        {"Match Scheduling", "rostrix", "-P", "rostrix"},
        {"Tournament Draw", "tourndrw", "-T", "rostrix"},
        {"User Manual", "", "", "doc/index.html"},
        {"Uninstall", "", "-U", "../rxInstaller"},
    };
    return table;
}

const std::vector<std::string>& CdSubdirectories() {
    static const std::vector<std::string> list = {"programs", "sample", "icons", "doc",
                                                  "installer"};
    return list;
}

const std::vector<std::string>& InstallSubdirectories() {
    static const std::vector<std::string> list = {"sample", "doc"};
    return list;
}

const std::vector<FileTypeRow>& FileTypes() {
    static const std::vector<FileTypeRow> types = {
        {'L', "ChallengeLadder", ".lad", "application/x-rostrix-ladder"},
        {'T', "TournamentDraw", ".trn", "application/x-rostrix-tournament"},
        {'P', "MatchScheduling", ".rxd", "application/x-rostrix-schedule"},
    };
    return types;
}

const FileTypeRow& FileTypeFor(char letter) {
    for (const FileTypeRow& type : FileTypes())
        if (type.letter == letter) return type;
    throw std::invalid_argument("no file type for this letter");
}

bool IsProgramFile(const InstallFileRow& row) {
    const std::string name = row.name;
    return name == "rostrix" || name == "rxInstaller" || name == "autorun.sh";
}

std::string ProgId(const FileTypeRow& type) {
    return std::string("Rostrix.") + type.typeWord + ".1";
}
