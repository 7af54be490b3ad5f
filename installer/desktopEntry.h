#pragma once
// Menu entries and the hidden entries of the file types, written as desktop
// entry files. Every Exec line is built by the desktop-entry quoting rules,
// so that a folder holding quotes, backslashes, "$", "`" or "%" reaches the
// program as one argument and never as a command or a field code.

#include <string>
#include <vector>

// One argument of an Exec line: in double quotes (with '"', '`', '$' and
// '\' escaped) when it holds a reserved character or is empty; '%' doubled.
std::string QuoteExecArgument(const std::string& argument);

// The quoted arguments joined by blanks, then the field code (such as
// "%f"), unquoted as field codes must be, when there is one. A program
// whose path holds "%" is started through env.
std::string ExecLine(const std::vector<std::string>& arguments, const std::string& fieldCode = "");

// A string value of the entry file: backslashes doubled, line ends and tabs
// as escapes, a leading blank as "\s".
std::string EscapeDesktopValue(const std::string& value);

struct DesktopEntry {
    std::string name;
    std::string exec;     // already an Exec line
    std::string icon;     // a path, empty for none
    std::string mimeType; // empty for none
    bool noDisplay = false;
};

std::string DesktopEntryText(const DesktopEntry& entry);
