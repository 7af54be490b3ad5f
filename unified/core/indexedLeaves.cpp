#include "unified/core/indexedLeaves.h"

#include "unified/core/Tree.h"

#include <algorithm>

void WriteIndexedLeaves(Tree& parent, const std::string& key, std::span<const std::string> values) {
    const auto lastFilled = std::find_if(values.rbegin(), values.rend(),
                                         [](const std::string& v) { return !v.empty(); });
    const bool gap =
        std::any_of(lastFilled, values.rend(), [](const std::string& v) { return v.empty(); });
    for (std::size_t i = 0; i < values.size(); ++i)
        parent.AddValue(gap ? key + std::to_string(i + 1) : key, values[i]);
}

int IndexedLeafPlaces::Next(std::string_view name) {
    ++position_;
    const std::string_view place = name.substr(std::min(keyLength_, name.size()));
    if (place.empty() ||
        !std::all_of(place.begin(), place.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return position_;
    // A place of more digits than any list has is no place.
    const std::size_t digits = place.find_first_not_of('0');
    if (digits == std::string_view::npos || place.size() - digits > 6) return 0;
    int value = 0;
    for (char c : place.substr(digits))
        value = value * 10 + (c - '0');
    return value;
}
