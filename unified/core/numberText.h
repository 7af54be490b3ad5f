#pragma once
// Numbers as event files hold them, read in the C locale whatever the
// user's: leading blanks, a sign, the number and nothing more. Anything else,
// or a number past the type's range, is no number.

#include <charconv>
#include <limits>
#include <string_view>
#include <type_traits>

template <typename T> bool ParseNumber(std::string_view text, T& value) {
    // Most numbers in a file are a few digits and nothing else, which any
    // integer of the type holds: those the short way.
    if constexpr (std::is_integral_v<T>) {
        if (!text.empty() && text.size() <= std::numeric_limits<T>::digits10) {
            T v = 0;
            std::size_t i = 0;
            for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
                v = static_cast<T>(v * 10 + (text[i] - '0'));
            if (i == text.size()) {
                value = v;
                return true;
            }
        }
    }
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
