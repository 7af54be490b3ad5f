#pragma once
// The one settings object of the program: what the command line asked for,
// the event kind with its title and version texts, and the installation and
// data folders.

#include <cstdint>
#include <string>
#include <vector>

class rxProgram {
public:
    // Reads the installation folder from the registry (empty when missing).
    rxProgram();

    bool IsLadder() const { return eventKind == 0; }
    bool IsDraw() const { return eventKind == 1; }
    bool IsMatchPlan() const { return eventKind == 2; }
    int EventKind() const { return eventKind; }

    const std::string& InstallDirectory() const { return installDirectory; }
    const std::string& ProductTitle() const { return title; }
    bool ZSwitch() const { return zFlag; }
    const std::string& DataDirectory() const { return dataDirectory; }
    void SetDataDirectory(const std::string& folder) { dataDirectory = folder; }
    void SetVersionTexts(const std::string& version, const std::string& years);
    const std::string& VersionText() const { return versionText; }
    const std::string& YearsText() const { return yearsText; }

    // Sets the kind (0 ladder, 1 tournament draw, 2 match schedule), its
    // version texts and icon, and the title on the main window's caption.
    void SetEventKind(int kind);

    bool doubles = false;   // "-u": the first event is doubles
    std::string importFile; // "-i": player file to import at start
    std::string eventFile;  // event file to open at start

private:
    friend void ParseCommandLine(rxProgram& settings, const std::vector<std::string>& arguments);

    std::uint8_t eventKind = 2;
    std::string title;
    std::string installDirectory;
    std::string dataDirectory;
    std::string versionText;
    std::string yearsText;
    bool zFlag = false;
};

extern rxProgram Settings;

// Reads a text value below the product's key of HKEY_LOCAL_MACHINE. True,
// and the value set, only when it exists and fits 100 bytes.
bool ReadRegistryValue(const std::string& subkey, const std::string& name, std::string& value);

// Parses the arguments after the program's name into the settings, fixes the
// data folder and sets the event kind.
void ParseCommandLine(rxProgram& settings, const std::vector<std::string>& arguments);
