#include "platform/FileDialog.h"

#include <vector>

namespace {

FileDialogResponder& Responder() {
    static FileDialogResponder responder;
    return responder;
}

FileDialogBackEnd& BackEnd() {
    static FileDialogBackEnd backEnd;
    return backEnd;
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::string::size_type start = 0;
    for (;;) {
        const auto end = text.find(separator, start);
        parts.push_back(text.substr(start, end - start));
        if (end == std::string::npos) return parts;
        start = end + 1;
    }
}

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

bool Execute(FileDialog& request, bool save) {
    if (Responder()) {
        const std::optional<std::string> answer = Responder()({save, request});
        if (!answer) return false;
        request.fileName = *answer;
        return true;
    }
    return BackEnd() && BackEnd()(request, save);
}

} // namespace

std::string PlatformFileFilter(const std::string& filter) {
    const std::vector<std::string> parts = Split(filter, '|');
    std::string result;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        std::string description = parts[i];
        // A description that shows its patterns shows the ones used here.
        const auto open = description.rfind('(');
        if (!description.empty() && description.back() == ')' && open != std::string::npos &&
            description.find('*', open) != std::string::npos)
            description = Trimmed(description.substr(0, open));
        std::string patterns;
        for (std::string pattern : Split(parts[i + 1], ';')) {
            pattern = Trimmed(pattern);
            if (pattern.empty()) continue;
            if (pattern == "*.*") pattern = "*";
            patterns += (patterns.empty() ? "" : " ") + pattern;
        }
        if (!result.empty()) result += ";;";
        result += (description.empty() ? "" : description + " ") + "(" + patterns + ")";
    }
    return result;
}

bool ExecuteOpenDialog(FileDialog& dialog) {
    return Execute(dialog, false);
}

bool ExecuteSaveDialog(FileDialog& dialog) {
    return Execute(dialog, true);
}

FileDialogResponder SetFileDialogResponder(FileDialogResponder responder) {
    FileDialogResponder previous = std::move(Responder());
    Responder() = std::move(responder);
    return previous;
}

void SetFileDialogBackEnd(FileDialogBackEnd backEnd) {
    BackEnd() = std::move(backEnd);
}
