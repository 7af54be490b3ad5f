#pragma once
// A host entry as the library answers it: the name, its aliases and its
// IPv4 addresses, and how it is packed into a caller's buffer.

#include "platform/Winsock.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct HostAnswer {
    int error = 0;
    std::string name;
    std::vector<std::string> aliases;
    std::vector<std::uint32_t> addresses; // network order
};

// The bytes a packed entry with the first `addresses` addresses and the
// first `aliases` aliases takes.
std::size_t PackedSize(const HostAnswer& answer, std::size_t addresses, std::size_t aliases);

// Packs the entry (a HOSTENT followed by what it points to) into the
// buffer and never past its length: with too little room the later aliases,
// then the later addresses are left out. False, writing nothing, when not
// even the name and one address fit; `needed` is then the size of the
// whole entry.
bool PackHostEnt(const HostAnswer& answer, char* buffer, std::size_t length, std::size_t& needed);
