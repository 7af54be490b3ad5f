#include "net/Md5.h"

#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>
#include <string>

namespace {

struct DigestCase {
    std::string text;
    const char* digest;
};

// The suite of RFC 1321, and runs of "a" on both sides of the lengths where
// the padding needs a second block (56) and where a block is full (64).
const DigestCase kDigests[] = {
    {"", "D41D8CD98F00B204E9800998ECF8427E"},
    {"a", "0CC175B9C0F1B6A831C399E269772661"},
    {"abc", "900150983CD24FB0D6963F7D28E17F72"},
    {"message digest", "F96B697D7CB7938D525A2F31AAF161D0"},
    {"abcdefghijklmnopqrstuvwxyz", "C3FCD3D76192E4007DFB496CCA67E13B"},
    {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
     "D174AB98D277D9F5A5611C2C9F419D9F"},
    {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
     "57EDF4A22BE3C955AC49DA2E2107B67A"},
    {std::string(55, 'a'), "EF1772B6DFF9A122358552954AD0DF65"},
    {std::string(56, 'a'), "3B0C8AC703F828B04C6C197006D17218"},
    {std::string(63, 'a'), "B06521F39153D618550606BE297466D5"},
    {std::string(64, 'a'), "014842D480B571495A4A0363793F7367"},
    {std::string(65, 'a'), "C743A45E0D2E6A95CB859ADAE0248435"},
    {std::string(40000, 'a'), "15725C9AAAC02FDA4D458AD5416F6992"},
};

std::string Hex(const TMD5Digest digest) {
    static const char hex[] = "0123456789ABCDEF";
    std::string text;
    for (int i = 0; i < 16; ++i)
        text += {hex[digest[i] >> 4], hex[digest[i] & 15]};
    return text;
}

TEST(Md5, DigestsOfTheSuiteAndAroundThePaddingBoundary) {
    for (const DigestCase& c : kDigests) {
        SCOPED_TRACE(c.text.size());
        EXPECT_EQ(StrMD5(c.text), c.digest);

        // The same bytes fed in uneven pieces, and through the copying
        // update, give the same digest.
        TMD5Context pieces;
        MD5Init(pieces);
        for (std::size_t at = 0, piece = 1; at < c.text.size();
             at += piece, piece = piece * 3 % 71 + 1)
            MD5Update(pieces, c.text.data() + at, std::min(piece, c.text.size() - at));
        TMD5Digest digest;
        MD5Final(digest, pieces);
        EXPECT_EQ(Hex(digest), c.digest);

        TMD5Context buffered;
        MD5Init(buffered);
        MD5UpdateBuffer(buffered, c.text.data(), c.text.size());
        MD5UpdateBuffer(buffered, c.text.data(), 0);
        MD5Final(digest, buffered);
        EXPECT_EQ(Hex(digest), c.digest);
    }
    // An empty piece may come without a buffer (the sanitizer build catches
    // a null pointer handed on to the copy).
    EXPECT_EQ(GetMD5(nullptr, 0), "D41D8CD98F00B204E9800998ECF8427E");
}

TEST(Md5, FinalLeavesTheContextZeroed) {
    TMD5Context context;
    MD5Init(context);
    MD5Update(context, "abc", 3);
    TMD5Digest digest;
    MD5Final(digest, context);
    const TMD5Context zero{};
    EXPECT_EQ(std::memcmp(&context, &zero, sizeof context), 0);
}

} // namespace
