#include "net/SmtpMessage.h"

#include "net/Rfc822Date.h"

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool HasLineBreak(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

std::string OneLine(std::string_view text) {
    std::string line(text);
    for (char& c : line)
        if (c == '\r' || c == '\n' || c == '\0') c = ' ';
    return line;
}

// The longest cut of at most `limit` bytes that ends on a character boundary.
std::size_t Utf8CutPoint(std::string_view text, std::size_t limit) {
    if (text.size() <= limit) return text.size();
    std::size_t cut = limit;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
        --cut;
    return cut == 0 ? limit : cut;
}

// Folds a header line before blanks so that no piece is too long.
void AddFolded(std::vector<std::string>& lines, std::string line) {
    while (line.size() > SmtpMaxLineLength) {
        std::size_t fold = line.find_last_of(" \t", SmtpMaxLineLength);
        if (fold == std::string::npos || fold == 0) {
            // No blank to fold before: cut, and go on after a blank of our own.
            std::size_t cut = Utf8CutPoint(line, SmtpMaxLineLength);
            lines.push_back(line.substr(0, cut));
            line = " " + line.substr(cut);
        } else {
            lines.push_back(line.substr(0, fold));
            line.erase(0, fold);
        }
    }
    lines.push_back(line);
}

} // namespace

SmtpAddressStatus SmtpAddress(std::string_view line, std::string& address) {
    address.clear();
    std::string_view text = TrimBlanks(line);
    if (HasLineBreak(text)) return SmtpAddressStatus::Refused;
    std::size_t open = text.find('<');
    std::size_t close = open == std::string_view::npos ? text.find('>') : text.find('>', open);
    if (open != std::string_view::npos && close != std::string_view::npos)
        text = TrimBlanks(text.substr(open + 1, close - open - 1));
    else if (open != std::string_view::npos || close != std::string_view::npos)
        return SmtpAddressStatus::Refused;
    if (text.find_first_of("<>") != std::string_view::npos) return SmtpAddressStatus::Refused;
    if (text.empty()) return SmtpAddressStatus::Empty;
    address = text;
    return SmtpAddressStatus::Ok;
}

std::string SmtpMailFromCommand(std::string_view address) {
    return "MAIL FROM:<" + std::string(address) + ">";
}

std::string SmtpRcptToCommand(std::string_view address) {
    return "RCPT TO:<" + std::string(address) + ">";
}

std::vector<std::string> SmtpHeaderLines(const SmtpHeaderFields& f, std::time_t now) {
    std::vector<std::string> lines;
    auto add = [&lines](std::string_view name, std::string_view value) {
        AddFolded(lines, std::string(name) + OneLine(value));
    };
    if (!TrimBlanks(f.HdrReplyTo).empty()) add("Reply-To: ", f.HdrReplyTo);
    if (!TrimBlanks(f.HdrReturnPath).empty()) add("Return-Path: ", f.HdrReturnPath);
    if (!f.HdrFrom.empty()) add("From: ", f.HdrFrom);
    if (!f.HdrTo.empty()) add("To: ", f.HdrTo);
    if (!f.HdrCc.empty()) add("Cc: ", f.HdrCc);
    add("Subject: ", f.HdrSubject);
    if (!TrimBlanks(f.HdrSender).empty())
        add("Sender: ", f.HdrSender);
    else if (!TrimBlanks(f.HdrFrom).empty())
        add("Sender: ", f.HdrFrom);
    lines.push_back("Mime-Version: 1.0");
    if (f.Boundary.empty()) {
        add("Content-Type: ", f.ContentType + "; charset=\"" + f.CharSet + "\"");
    } else {
        lines.push_back("Content-Type: multipart/mixed;");
        add("\tboundary=", "\"" + f.Boundary + "\"");
    }
    lines.push_back("Date: " + Rfc822DateTime(now));
    lines.push_back("X-Mailer: Tovrin SMTP Component V2.28");
    return lines;
}

std::string DotStuff(std::string_view line) {
    return line.starts_with('.') ? "." + std::string(line) : std::string(line);
}

std::vector<std::string> SmtpDataLines(std::string_view entry) {
    std::vector<std::string> lines;
    while (true) {
        std::size_t end = entry.find_first_of("\r\n");
        std::string_view line = entry.substr(0, end);
        // A long line goes out in pieces; the second "." counts towards the limit.
        do {
            std::size_t room = SmtpMaxLineLength - (line.starts_with('.') ? 1 : 0);
            std::size_t cut = Utf8CutPoint(line, room);
            lines.push_back(DotStuff(line.substr(0, cut)));
            line.remove_prefix(cut);
        } while (!line.empty());
        if (end == std::string_view::npos) break;
        std::size_t next =
            end + (entry[end] == '\r' && end + 1 < entry.size() && entry[end + 1] == '\n' ? 2 : 1);
        entry.remove_prefix(next);
    }
    return lines;
}
