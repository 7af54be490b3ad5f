#pragma once
// The MD5 message digest of RFC 1321: the running context, its steps, and
// the digest of a whole buffer or text as upper-case hexadecimal.

#include <cstdint>
#include <string>
#include <string_view>

struct TMD5Context {
    std::uint32_t State[4];
    std::uint32_t Count[2]; // message length in bits, low half first
    std::uint8_t Buffer[64];
};

using TMD5Digest = std::uint8_t[16];

void MD5Init(TMD5Context& context);
void MD5Update(TMD5Context& context, const void* data, std::size_t length);
// Pads, appends the bit count, writes the digest and zeroes the context.
void MD5Final(TMD5Digest digest, TMD5Context& context);
void MD5Transform(std::uint32_t state[4], const std::uint8_t block[64]);
// MD5Update in pieces of at most 16384 bytes, each copied into a block first.
void MD5UpdateBuffer(TMD5Context& context, const void* data, std::size_t length);

std::string GetMD5(const void* data, std::size_t length);
std::string StrMD5(std::string_view text);
