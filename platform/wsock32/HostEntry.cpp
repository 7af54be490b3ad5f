#include "platform/wsock32/HostEntry.h"

#include <cstring>

namespace {

std::size_t AlignUp(std::size_t n) {
    return (n + alignof(char*) - 1) & ~(alignof(char*) - 1);
}

} // namespace

std::size_t PackedSize(const HostAnswer& a, std::size_t addresses, std::size_t aliases) {
    std::size_t size = AlignUp(sizeof(HOSTENT)) + (addresses + 1 + aliases + 1) * sizeof(char*) +
                       addresses * 4 + a.name.size() + 1;
    for (std::size_t i = 0; i < aliases; ++i)
        size += a.aliases[i].size() + 1;
    return size;
}

bool PackHostEnt(const HostAnswer& a, char* buffer, std::size_t length, std::size_t& needed) {
    std::size_t addresses = a.addresses.size(), aliases = a.aliases.size();
    needed = PackedSize(a, addresses, aliases);
    while (aliases > 0 && PackedSize(a, addresses, aliases) > length)
        --aliases;
    while (addresses > 1 && PackedSize(a, addresses, aliases) > length)
        --addresses;
    if (buffer == nullptr || addresses == 0 || PackedSize(a, addresses, aliases) > length)
        return false;

    std::size_t at = AlignUp(sizeof(HOSTENT));
    char* addressList = buffer + at;
    at += (addresses + 1) * sizeof(char*);
    char* aliasList = buffer + at;
    at += (aliases + 1) * sizeof(char*);
    auto putPointer = [](char* slot, char* value) { std::memcpy(slot, &value, sizeof value); };
    for (std::size_t i = 0; i < addresses; ++i) {
        std::memcpy(buffer + at, &a.addresses[i], 4);
        putPointer(addressList + i * sizeof(char*), buffer + at);
        at += 4;
    }
    putPointer(addressList + addresses * sizeof(char*), nullptr);
    char* name = buffer + at;
    std::memcpy(name, a.name.c_str(), a.name.size() + 1);
    at += a.name.size() + 1;
    for (std::size_t i = 0; i < aliases; ++i) {
        std::memcpy(buffer + at, a.aliases[i].c_str(), a.aliases[i].size() + 1);
        putPointer(aliasList + i * sizeof(char*), buffer + at);
        at += a.aliases[i].size() + 1;
    }
    putPointer(aliasList + aliases * sizeof(char*), nullptr);
    HOSTENT entry{name, reinterpret_cast<char**>(aliasList), short(WS_AF_INET), 4,
                  reinterpret_cast<char**>(addressList)};
    std::memcpy(buffer, &entry, sizeof entry);
    return true;
}
