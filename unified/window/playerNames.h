#pragma once
// The current event's players as the choosing lists show them.

#include <string>
#include <vector>

// Every player's "last, first", sorted as the lists sort: ASCII case-blind,
// then byte by byte.
std::vector<std::string> SortedPlayerNames();
