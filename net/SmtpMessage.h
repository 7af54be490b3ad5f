#pragma once
// What the SMTP client sends, built from the settings without a socket: the
// envelope addresses, the header lines in their fixed order, and the message
// lines of DATA, dot-stuffed. Player texts reach all of them, so nothing in
// them may end a line, add one, or end the data early.

#include <cstddef>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

// No line sent, command, header or message line, is longer than this
// (without its CR LF).
inline constexpr std::size_t SmtpMaxLineLength = 998;

// The charset of the message's Content-Type: the report is UTF-8.
inline constexpr const char* SmtpDefaultCharSet = "utf-8";

enum class SmtpAddressStatus {
    Ok,
    Empty,   // nothing but blanks: skipped
    Refused, // holds CR, LF or NUL, or a lone "<" or ">"
};

// The address of a recipient or sender line: trimmed, and only the part
// between "<" and ">" when it has both.
SmtpAddressStatus SmtpAddress(std::string_view line, std::string& address);

// "MAIL FROM:<address>" and "RCPT TO:<address>".
std::string SmtpMailFromCommand(std::string_view address);
std::string SmtpRcptToCommand(std::string_view address);

// The values of the header lines. Content type is "text/plain" or "text/html".
struct SmtpHeaderFields {
    std::string HdrReplyTo, HdrReturnPath, HdrFrom, HdrTo, HdrCc, HdrSubject, HdrSender;
    std::string ContentType = "text/plain";
    std::string CharSet = SmtpDefaultCharSet;
    // Not empty for a message with attachments: the Content-Type line names
    // the multipart form and this boundary instead.
    std::string Boundary;
};

// The header lines in their fixed order, without the empty line that ends
// them. CR, LF and NUL in the values become blanks; a line longer than
// SmtpMaxLineLength is folded before a blank (or cut), each piece on a line
// of its own that starts with a blank or a tab.
std::vector<std::string> SmtpHeaderLines(const SmtpHeaderFields& fields, std::time_t now);

// The lines to send for one entry of the message text: split at CR LF, CR or
// LF, each cut to SmtpMaxLineLength bytes without halving a character, and
// dot-stuffed, so that no line of "." ends the data early.
std::vector<std::string> SmtpDataLines(std::string_view entry);

// A line that begins with "." gets a second one in front.
std::string DotStuff(std::string_view line);
