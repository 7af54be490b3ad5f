#pragma once
// Bytes on the wire written as spaced hexadecimal pairs ("05 01 00"), the
// form in which the tests pin requests and replies, and back.

#include <string>

inline std::string Hex(const std::string& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        if (!out.empty()) out += ' ';
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

inline std::string Bytes(const std::string& hex) {
    std::string out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 3)
        out += char(std::stoi(hex.substr(i, 2), nullptr, 16));
    return out;
}
