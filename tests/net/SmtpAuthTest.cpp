#include "net/SmtpAuth.h"

#include <gtest/gtest.h>
#include <string>

namespace {

std::string Hex(const std::string& bytes) {
    std::string text;
    for (unsigned char byte : bytes)
        text += {"0123456789abcdef"[byte >> 4], "0123456789abcdef"[byte & 15]};
    return text;
}

TEST(SmtpAuth, HmacMd5OfRfc2202) {
    std::string counting;
    for (char b = 1; b <= 25; ++b)
        counting += b;
    // The last two keys are longer than the block: hashed, never cut.
    const std::string cases[][3] = {
        {std::string(16, '\x0b'), "Hi There", "9294727a3638bb1c13f48ef8158bfc9d"},
        {"Jefe", "what do ya want for nothing?", "750c783e6ab0b503eaa86e310a5db738"},
        {std::string(16, '\xaa'), std::string(50, '\xdd'), "56be34521d144c88dbb8c733f0e8b3f6"},
        {counting, std::string(50, '\xcd'), "697eaf0aca3a3aea3a75164746ffaa79"},
        {std::string(16, '\x0c'), "Test With Truncation", "56461ef2342edc00f9bab995690efd4c"},
        {std::string(80, '\xaa'), "Test Using Larger Than Block-Size Key - Hash Key First",
         "6b1ab7fe4bd7bf8f0b62e6ce61b9d0cd"},
        {std::string(80, '\xaa'),
         "Test Using Larger Than Block-Size Key and Larger Than One Block-Size Data",
         "6f630fad67cda0ee1fb1f562db3aa53e"},
    };
    for (const auto& [key, data, digest] : cases)
        EXPECT_EQ(Hex(HmacMd5(key, data)), digest) << data;
}

TEST(SmtpAuth, CramMd5AndPlainAnswers) {
    // RFC 2195's example.
    std::string answer = "untouched";
    EXPECT_TRUE(CramMd5Answer("334 PDE4OTYuNjk3MTcwOTUyQHBvc3RvZmZpY2UucmVzdG9uLm1jaS5uZXQ+", "tim",
                              "tanstaaftanstaaf", answer));
    EXPECT_EQ(answer, "dGltIGI5MTNhNjAyYzdlZGE3YTQ5NWI0ZTZlNzMzNGQzODkw");
    for (const char* reply : {"334", "334 "}) {
        answer = "untouched";
        EXPECT_FALSE(CramMd5Answer(reply, "tim", "x", answer)) << reply;
        EXPECT_EQ(answer, "untouched");
    }
    // RFC 4616: [authzid] NUL authcid NUL passwd.
    EXPECT_EQ(AuthPlainArgument("tim", "tanstaaf"), "AHRpbQB0YW5zdGFhZg==");
    EXPECT_EQ(AuthPlainArgument("J\xC3\xB6", "p:w"), "AErDtgBwOnc=");
}

} // namespace
