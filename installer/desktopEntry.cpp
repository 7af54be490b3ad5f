#include "installer/desktopEntry.h"

#include <string_view>

namespace {

// The characters that make an argument need quotes.
constexpr std::string_view kReserved = " \t\n\"'\\><~|&;$*?#()`";
// The characters escaped with a backslash inside quotes.
constexpr std::string_view kEscapedInQuotes = "\"`$\\";

} // namespace

std::string QuoteExecArgument(const std::string& argument) {
    const bool quote = argument.empty() || argument.find_first_of(kReserved) != std::string::npos;
    std::string out;
    if (quote) out += '"';
    for (const char c : argument) {
        if (c == '%')
            out += "%%";
        else {
            if (quote && kEscapedInQuotes.find(c) != std::string_view::npos) out += '\\';
            out += c;
        }
    }
    if (quote) out += '"';
    return out;
}

std::string ExecLine(const std::vector<std::string>& arguments, const std::string& fieldCode) {
    std::string line;
    // Some desktops look the program up before they turn "%%" into "%", and
    // find none; env is found, and is given the program's path as written.
    if (!arguments.empty() && arguments.front().find('%') != std::string::npos) line = "env";
    for (const std::string& argument : arguments) {
        if (!line.empty()) line += ' ';
        line += QuoteExecArgument(argument);
    }
    if (!fieldCode.empty()) line += ' ' + fieldCode;
    return line;
}

std::string EscapeDesktopValue(const std::string& value) {
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\r':
            out += "\\r";
            break;
        case ' ':
            out += i == 0 ? "\\s" : " ";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string DesktopEntryText(const DesktopEntry& entry) {
    std::string text = "[Desktop Entry]\nType=Application\n";
    text += "Name=" + EscapeDesktopValue(entry.name) + "\n";
    text += "Exec=" + EscapeDesktopValue(entry.exec) + "\n";
    if (!entry.icon.empty()) text += "Icon=" + EscapeDesktopValue(entry.icon) + "\n";
    if (!entry.mimeType.empty()) text += "MimeType=" + EscapeDesktopValue(entry.mimeType) + ";\n";
    if (entry.noDisplay) text += "NoDisplay=true\n";
    text += "Terminal=false\n";
    return text;
}
