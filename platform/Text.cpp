#include "platform/Text.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace {

bool IsContinuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

// Length of the valid UTF-8 sequence starting at text[i], or 0 when invalid.
std::size_t SequenceLength(std::string_view text, std::size_t i) {
    const auto c = static_cast<unsigned char>(text[i]);
    std::size_t n;
    char32_t min;
    if (c < 0x80) return 1;
    if ((c & 0xE0) == 0xC0) {
        n = 2;
        min = 0x80;
    } else if ((c & 0xF0) == 0xE0) {
        n = 3;
        min = 0x800;
    } else if ((c & 0xF8) == 0xF0) {
        n = 4;
        min = 0x10000;
    } else {
        return 0;
    }
    if (i + n > text.size()) return 0;
    char32_t cp = c & (0x7F >> n);
    for (std::size_t k = 1; k < n; ++k) {
        const auto b = static_cast<unsigned char>(text[i + k]);
        if (!IsContinuation(b)) return 0;
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return n;
}

// Bytes of the character at i: a valid sequence, or one stray byte. Most
// text is ASCII, which takes the short way.
std::size_t CharBytes(std::string_view text, std::size_t i) {
    if (static_cast<unsigned char>(text[i]) < 0x80) return 1;
    const std::size_t n = SequenceLength(text, i);
    return n == 0 ? 1 : n;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Windows-1252 bytes 0x80 to 0x9F; 0 marks the five that are undefined.
constexpr std::array<char16_t, 32> kHigh1252 = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

} // namespace

std::size_t Utf8Length(std::string_view text) {
    std::size_t chars = 0;
    for (std::size_t i = 0; i < text.size(); i += CharBytes(text, i))
        ++chars;
    return chars;
}

std::string Utf8Cut(std::string_view text, std::size_t chars) {
    std::size_t i = 0;
    for (std::size_t n = 0; n < chars && i < text.size(); ++n)
        i += CharBytes(text, i);
    return std::string(text.substr(0, i));
}

std::string Utf8Pad(std::string_view text, std::size_t width, bool leftAlign, std::size_t chars) {
    std::string cut = Utf8Cut(text, chars);
    const std::size_t length = Utf8Length(cut);
    if (length >= width) return cut;
    const std::string fill(width - length, ' ');
    return leftAlign ? cut + fill : fill + cut;
}

bool IsValidUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        // Eight ASCII bytes at a time: most text is nothing else.
        std::uint64_t eight;
        if (i + sizeof eight <= text.size()) {
            std::memcpy(&eight, text.data() + i, sizeof eight);
            if ((eight & 0x8080808080808080u) == 0) {
                i += sizeof eight;
                continue;
            }
        }
        if (static_cast<unsigned char>(text[i]) < 0x80) {
            ++i;
            continue;
        }
        const std::size_t n = SequenceLength(text, i);
        if (n == 0) return false;
        i += n;
    }
    return true;
}

std::string Windows1252ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 4);
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        char32_t cp = c;
        if (c >= 0x80 && c <= 0x9F) {
            cp = kHigh1252[c - 0x80];
            if (cp == 0) cp = 0xFFFD;
        }
        AppendUtf8(out, cp);
    }
    return out;
}

std::string TextFromFile(std::string_view bytes) {
    return IsValidUtf8(bytes) ? std::string(bytes) : Windows1252ToUtf8(bytes);
}

bool SameTextAscii(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

std::string LowerAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}
