#pragma once
// The MIME form of a mail with attachments: the text part first, then each
// file in Base64, between boundary lines.

#include <ctime>
#include <string>
#include <string_view>
#include <vector>

// Attachments are sent as Base64 lines of this many characters (45 bytes).
inline constexpr std::size_t MimeBase64LineLength = 60;

// "= Multipart Boundary " and the local time as mmddyyhhnn.
std::string MimeBoundary(const std::tm& local);

// The lines that open the message text before the user's own lines.
std::vector<std::string> MimeTextPartLines(std::string_view boundary, std::string_view contentType,
                                           std::string_view charSet);

// The lines that open one attachment: an empty line, the boundary, the
// content type and file name without its folder, the encoding and the
// disposition, the caller's extra lines, and the empty line before the data.
std::vector<std::string> MimeAttachmentLines(std::string_view boundary, std::string_view fileName,
                                             std::string_view contentType,
                                             const std::vector<std::string>& extraLines);

// A file's bytes as Base64 lines of MimeBase64LineLength characters.
std::vector<std::string> MimeBase64Lines(std::string_view bytes);

// The lines after the last attachment: an empty line and the closing boundary.
std::vector<std::string> MimeClosingLines(std::string_view boundary);
