#include "platform/wsock32/HostEntry.h"

#include <cstring>
#include <gtest/gtest.h>
#include <vector>

namespace {

HostAnswer Answer(std::size_t addresses, std::size_t aliases, std::size_t aliasLength) {
    HostAnswer answer;
    answer.name = "many.example";
    for (std::size_t i = 0; i < addresses; ++i)
        answer.addresses.push_back(0x0100000A + std::uint32_t(i << 24));
    for (std::size_t i = 0; i < aliases; ++i)
        answer.aliases.push_back(std::string(aliasLength, char('a' + i % 26)));
    return answer;
}

TEST(HostEntry, PackingStaysWithinTheCallersLength) {
    struct Case {
        std::size_t addresses, aliases, aliasLength, length;
        bool packs;
        std::size_t addressesPacked, aliasesPacked;
    };
    const std::size_t exact = PackedSize(Answer(3, 2, 10), 3, 2);
    const Case cases[] = {
        {1, 0, 0, 1025, true, 1, 0},       {3, 2, 10, exact, true, 3, 2}, // fits to the byte
        {3, 2, 10, exact - 1, true, 3, 1}, // an alias is left out first
        {100, 0, 0, 1025, true, 80, 0},    // a hundred addresses: as many as fit
        {250, 0, 0, 4096, true, 250, 0},   {2, 5, 400, 1025, true, 2, 2}, // long aliases give way
        {1, 0, 0, 30, false, 0, 0}, // not even the entry itself fits
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.addresses << " addresses, length " << c.length);
        HostAnswer answer = Answer(c.addresses, c.aliases, c.aliasLength);
        std::vector<char> memory(c.length + 64, 0x5A);
        std::size_t needed = 0;
        bool packed = PackHostEnt(answer, memory.data(), c.length, needed);
        ASSERT_EQ(packed, c.packs);
        EXPECT_EQ(needed, PackedSize(answer, c.addresses, c.aliases));
        for (std::size_t i = c.length; i < memory.size(); ++i)
            ASSERT_EQ(memory[i], 0x5A) << i;
        if (!packed) {
            for (std::size_t i = 0; i < c.length; ++i)
                ASSERT_EQ(memory[i], 0x5A);
            continue;
        }
        HOSTENT entry;
        std::memcpy(&entry, memory.data(), sizeof entry);
        EXPECT_STREQ(entry.h_name, "many.example");
        const char* begin = memory.data();
        const char* end = begin + c.length;
        std::size_t count = 0;
        for (char** at = entry.h_addr_list; *at != nullptr; ++at, ++count) {
            ASSERT_TRUE(*at >= begin && *at + 4 <= end);
            std::uint32_t address;
            std::memcpy(&address, *at, 4);
            EXPECT_EQ(address, answer.addresses[count]);
        }
        EXPECT_EQ(count, c.addressesPacked);
        std::size_t aliases = 0;
        for (char** at = entry.h_aliases; *at != nullptr; ++at, ++aliases)
            ASSERT_TRUE(*at >= begin && *at + std::strlen(*at) < end);
        EXPECT_EQ(aliases, c.aliasesPacked);
    }
}

} // namespace
