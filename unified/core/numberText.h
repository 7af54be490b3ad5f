#pragma once
// Numbers as event files hold them, read in the C locale whatever the
// user's: leading blanks, a sign, the number and nothing more. Anything else,
// or a number past the type's range, is no number.

#include <charconv>
#include <string_view>

template <typename T> bool ParseNumber(std::string_view text, T& value) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return false;
    text.remove_prefix(first);
    if (text.size() > 1 && text[0] == '+' && text[1] != '-') text.remove_prefix(1);
    T v{};
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || end != text.data() + text.size()) return false;
    value = v;
    return true;
}
