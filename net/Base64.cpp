#include "net/Base64.h"

#include <cstdint>

namespace {

const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int Value(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

} // namespace

std::string Base64Encode(std::string_view bytes) {
    std::string text;
    text.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t at = 0; at < bytes.size(); at += 3) {
        std::size_t n = std::min<std::size_t>(3, bytes.size() - at);
        std::uint32_t group = std::uint32_t(std::uint8_t(bytes[at])) << 16;
        if (n > 1) group |= std::uint32_t(std::uint8_t(bytes[at + 1])) << 8;
        if (n > 2) group |= std::uint8_t(bytes[at + 2]);
        text += kAlphabet[group >> 18];
        text += kAlphabet[(group >> 12) & 63];
        text += n > 1 ? kAlphabet[(group >> 6) & 63] : '=';
        text += n > 2 ? kAlphabet[group & 63] : '=';
    }
    return text;
}

std::string Base64Decode(std::string_view text) {
    std::string bytes;
    std::uint32_t bits = 0;
    int count = 0;
    for (char c : text) {
        int value = Value(c);
        if (value < 0) break;
        bits = bits << 6 | std::uint32_t(value);
        count += 6;
        if (count >= 8) {
            count -= 8;
            bytes += char((bits >> count) & 0xFF);
        }
    }
    return bytes;
}
