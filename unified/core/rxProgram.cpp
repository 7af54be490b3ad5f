#include "unified/core/rxProgram.h"

#include "platform/ApplicationState.h"
#include "platform/Environment.h"
#include "platform/Registry.h"
#include "platform/Text.h"

rxProgram Settings;

namespace {
const char* const kProductKey = "SOFTWARE\\Palomet Software\\Rostrix\\";
constexpr std::uint32_t kValueBufferSize = 100;
} // namespace

bool ReadRegistryValue(const std::string& subkey, const std::string& name, std::string& value) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, (kProductKey + subkey).c_str(), 0, KEY_QUERY_VALUE,
                      &key) != ERROR_SUCCESS)
        return false;
    unsigned char buffer[kValueBufferSize];
    std::uint32_t size = sizeof buffer;
    std::uint32_t type = 0;
    const long result = RegQueryValueExA(key, name.c_str(), nullptr, &type, buffer, &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || size > kValueBufferSize) return false;
    // A string's size counts its closing NUL.
    std::size_t length = size;
    while (length > 0 && buffer[length - 1] == '\0')
        --length;
    value.assign(reinterpret_cast<const char*>(buffer), length);
    return true;
}

rxProgram::rxProgram() {
    std::string folder;
    if (ReadRegistryValue("", "installDirectory", folder)) installDirectory = folder;
}

void rxProgram::SetVersionTexts(const std::string& version, const std::string& years) {
    versionText = version;
    yearsText = years;
}

void rxProgram::SetEventKind(int kind) {
    eventKind = static_cast<std::uint8_t>(kind);
    const bool known = kind >= 0 && kind <= 2;
    SetVersionTexts(known ? "2.3.1" : "Unknown", "1997-2007");

    static const char* const kIcons[] = {"challad.ico", "tourndrw.ico", "rostrix.ico"};
    const std::string icon = known ? kIcons[kind] : "unknown.xyz.ico";
    SetApplicationIcon(FindFileAnyCase(installDirectory + "/" + icon));

    title = "Rostrix";
    SetMainWindowCaption(title);
    SetApplicationTitle(title);
}

void ParseCommandLine(rxProgram& settings, const std::vector<std::string>& arguments) {
    settings.doubles = false;
    settings.importFile.clear();
    settings.eventFile.clear();
    int kind = settings.eventKind;

    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "-Z") {
            settings.zFlag = true;
            settings.installDirectory = GetCurrentDir();
        } else if (argument == "-L") {
            kind = 0;
        } else if (argument == "-T") {
            kind = 1;
        } else if (argument == "-P") {
            kind = 2;
        } else if (argument == "-u") {
            settings.doubles = true;
        } else if (argument == "-i" && i + 1 < arguments.size()) {
            settings.importFile = arguments[++i];
        } else {
            settings.eventFile = argument;
        }
    }

    settings.dataDirectory = GetCurrentDir();
    if (!settings.zFlag &&
        LowerAscii(settings.installDirectory) == LowerAscii(settings.dataDirectory)) {
        // Never start the file dialogs in the program's own folder.
        if (const auto home = GetEnvironmentVariable("HOME")) {
            const std::string documents = DocumentsFolder();
            if (DirectoryExists(documents))
                settings.dataDirectory = documents;
            else if (DirectoryExists(*home))
                settings.dataDirectory = *home;
            else
                settings.dataDirectory = "/";
        }
    }
    settings.SetEventKind(kind);
}
