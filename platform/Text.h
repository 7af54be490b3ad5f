#pragma once
// Texts are UTF-8 std::strings. Where the program counts characters (field
// limits, column widths, padding, cuts) it counts code points, and never cuts
// a multi-byte sequence in half.

#include <string>
#include <string_view>

// Characters (code points) in a UTF-8 text. A stray byte counts as one.
std::size_t Utf8Length(std::string_view text);

// The first `chars` characters of the text.
std::string Utf8Cut(std::string_view text, std::size_t chars);

// The text cut to at most `chars` characters and padded with blanks to
// exactly `width` characters: on the right when leftAlign, else on the left.
// This is what "%-*.*s" (or "%*.*s") does when it counts characters.
std::string Utf8Pad(std::string_view text, std::size_t width, bool leftAlign = true,
                    std::size_t chars = std::string_view::npos);

bool IsValidUtf8(std::string_view text);

// Windows-1252 bytes to UTF-8; the five undefined bytes map to U+FFFD.
std::string Windows1252ToUtf8(std::string_view text);

// A text read from a file: kept as it is when it is valid UTF-8, otherwise
// taken as Windows-1252 (files of older versions) and converted.
std::string TextFromFile(std::string_view bytes);

// ASCII case-blind comparison and lowering; other bytes compare as they are.
bool SameTextAscii(std::string_view a, std::string_view b);
std::string LowerAscii(std::string_view text);
