#include "unified/window/playerNames.h"

#include "platform/Text.h"
#include "unified/core/RXEvent.h"

#include <algorithm>

std::vector<std::string> SortedPlayerNames() {
    std::vector<std::string> names;
    const int count = CurrentEvent == nullptr ? 0 : CurrentEvent->PlayerCount();
    for (int n = 1; n <= count; ++n)
        names.push_back(CurrentEvent->PlayerDisplayName(n));
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const std::string la = LowerAscii(a);
        const std::string lb = LowerAscii(b);
        return la != lb ? la < lb : a < b;
    });
    return names;
}
