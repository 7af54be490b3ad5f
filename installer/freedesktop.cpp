#include "installer/freedesktop.h"

#include "installer/installTables.h"
#include "platform/Environment.h"
#include "platform/OutputFile.h"

#include <QProcess>
#include <QStandardPaths>
#include <sstream>

namespace {

std::string BaseFolder(const char* variable, const char* belowHome) {
    const auto value = GetEnvironmentVariable(variable);
    if (value && !value->empty() && (*value)[0] == '/') return *value;
    const auto home = GetEnvironmentVariable("HOME");
    if (!home || home->empty()) return std::string();
    return *home + belowHome;
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

bool IsHeader(const std::string& line) {
    return !line.empty() && line[0] == '[';
}

// The line after the last non-blank line of the section that starts at
// `header`.
std::size_t SectionEnd(const std::vector<std::string>& lines, std::size_t header) {
    std::size_t end = header + 1;
    while (end < lines.size() && !IsHeader(lines[end]))
        ++end;
    while (end > header + 1 && lines[end - 1].find_first_not_of(" \t\r") == std::string::npos)
        --end;
    return end;
}

std::size_t FindOrAddSection(std::vector<std::string>& lines, const std::string& name) {
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (lines[i] == name) return i;
    if (!lines.empty() && !lines.back().empty()) lines.push_back("");
    lines.push_back(name);
    return lines.size() - 1;
}

// The index of the line "key=..." of the section, or npos.
std::size_t FindKey(const std::vector<std::string>& lines, std::size_t header,
                    const std::string& key) {
    for (std::size_t i = header + 1; i < lines.size() && !IsHeader(lines[i]); ++i) {
        const std::size_t equals = lines[i].find('=');
        if (equals == std::string::npos) continue;
        std::string name = lines[i].substr(0, equals);
        while (!name.empty() && (name.back() == ' ' || name.back() == '\t'))
            name.pop_back();
        if (name == key) return i;
    }
    return std::string::npos;
}

bool ListHolds(const std::string& list, const std::string& item) {
    std::istringstream in(list);
    for (std::string entry; std::getline(in, entry, ';');)
        if (entry == item) return true;
    return false;
}

void RunIfPresent(const QString& tool, const std::string& folder) {
    const QString program = QStandardPaths::findExecutable(tool);
    if (program.isEmpty()) return;
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, {QString::fromStdString(folder)});
    // The tools take a moment; one that hangs must not hold the installer.
    if (process.waitForStarted() && !process.waitForFinished(60000)) process.kill();
    process.waitForFinished();
}

} // namespace

std::string DataHome() {
    return BaseFolder("XDG_DATA_HOME", "/.local/share");
}

std::string ConfigHome() {
    return BaseFolder("XDG_CONFIG_HOME", "/.config");
}

bool CommonProgramsPath(std::string& path) {
    const std::string data = DataHome();
    if (data.empty()) return false;
    path = data + "/applications";
    return true;
}

std::string MimePackageText(const std::vector<std::string>& mimeTypes) {
    std::string text =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n";
    for (const FileTypeRow& type : FileTypes()) {
        bool wanted = false;
        for (const std::string& name : mimeTypes)
            wanted = wanted || name == type.mimeType;
        if (!wanted) continue;
        text += std::string("  <mime-type type=\"") + type.mimeType + "\">\n" + "    <comment>" +
                ProgId(type) + "</comment>\n" + "    <glob pattern=\"*" + type.extension +
                "\"/>\n" + "  </mime-type>\n";
    }
    return text + "</mime-info>\n";
}

std::string MergeMimeApps(const std::string& text,
                          const std::vector<std::pair<std::string, std::string>>& defaults) {
    std::vector<std::string> lines = SplitLines(text);
    for (const auto& [type, entry] : defaults) {
        std::size_t header = FindOrAddSection(lines, "[Added Associations]");
        const std::size_t added = FindKey(lines, header, type);
        if (added == std::string::npos) {
            lines.insert(lines.begin() + static_cast<long>(SectionEnd(lines, header)),
                         type + "=" + entry + ";");
        } else {
            std::string& line = lines[added];
            const std::string list = line.substr(line.find('=') + 1);
            if (!ListHolds(list, entry)) {
                if (!line.empty() && line.back() != ';' && line.back() != '=') line += ';';
                line += entry + ";";
            }
        }
        header = FindOrAddSection(lines, "[Default Applications]");
        if (FindKey(lines, header, type) == std::string::npos)
            lines.insert(lines.begin() + static_cast<long>(SectionEnd(lines, header)),
                         type + "=" + entry);
    }
    std::string out;
    for (const std::string& line : lines)
        out += line + "\n";
    return out;
}

bool WriteWholeFile(const std::string& path, const std::string& bytes) {
    OutputFile file;
    if (!file.Open(path)) return false;
    file.Write(bytes);
    return file.Commit();
}

void NotifyAssociationChange() {
    const std::string data = DataHome();
    if (data.empty()) return;
    RunIfPresent("update-mime-database", data + "/mime");
    RunIfPresent("update-desktop-database", data + "/applications");
}
