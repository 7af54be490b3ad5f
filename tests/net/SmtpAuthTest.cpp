#include "net/SmtpAuth.h"

#include <gtest/gtest.h>
#include <string>

namespace {

std::string Hex(const std::string& bytes) {
    static const char hex[] = "0123456789abcdef";
    std::string text;
    for (unsigned char byte : bytes)
        text += {hex[byte >> 4], hex[byte & 15]};
    return text;
}

std::string Counting(int from, int to) {
    std::string bytes;
    for (int b = from; b <= to; ++b)
        bytes += char(b);
    return bytes;
}

struct HmacCase {
    std::string key, data;
    const char* digest;
};

// RFC 2202's seven HMAC-MD5 cases; the last two have 80-byte keys, longer
// than the block, which must be hashed rather than cut.
const HmacCase kHmac[] = {
    {std::string(16, '\x0b'), "Hi There", "9294727a3638bb1c13f48ef8158bfc9d"},
    {"Jefe", "what do ya want for nothing?", "750c783e6ab0b503eaa86e310a5db738"},
    {std::string(16, '\xaa'), std::string(50, '\xdd'), "56be34521d144c88dbb8c733f0e8b3f6"},
    {Counting(1, 25), std::string(50, '\xcd'), "697eaf0aca3a3aea3a75164746ffaa79"},
    {std::string(16, '\x0c'), "Test With Truncation", "56461ef2342edc00f9bab995690efd4c"},
    {std::string(80, '\xaa'), "Test Using Larger Than Block-Size Key - Hash Key First",
     "6b1ab7fe4bd7bf8f0b62e6ce61b9d0cd"},
    {std::string(80, '\xaa'),
     "Test Using Larger Than Block-Size Key and Larger Than One Block-Size Data",
     "6f630fad67cda0ee1fb1f562db3aa53e"},
};

TEST(SmtpAuth, HmacMd5OfRfc2202) {
    for (const HmacCase& c : kHmac)
        EXPECT_EQ(Hex(HmacMd5(c.key, c.data)), c.digest) << c.data;
}

struct AnswerCase {
    const char* reply;
    const char* user;
    const char* password;
    const char* answer; // nullptr: refused
};

const AnswerCase kAnswers[] = {
    // RFC 2195's example.
    {"334 PDE4OTYuNjk3MTcwOTUyQHBvc3RvZmZpY2UucmVzdG9uLm1jaS5uZXQ+", "tim", "tanstaaftanstaaf",
     "dGltIGI5MTNhNjAyYzdlZGE3YTQ5NWI0ZTZlNzMzNGQzODkw"},
    {"334", "tim", "x", nullptr},
    {"334 ", "tim", "x", nullptr},
};

TEST(SmtpAuth, CramMd5Answers) {
    for (const AnswerCase& c : kAnswers) {
        SCOPED_TRACE(c.reply);
        std::string answer = "untouched";
        EXPECT_EQ(CramMd5Answer(c.reply, c.user, c.password, answer), c.answer != nullptr);
        EXPECT_EQ(answer, c.answer ? c.answer : "untouched");
    }
}

TEST(SmtpAuth, PlainPutsTheUserBeforeThePassword) {
    // RFC 4616: [authzid] NUL authcid NUL passwd.
    EXPECT_EQ(AuthPlainArgument("tim", "tanstaaf"), "AHRpbQB0YW5zdGFhZg==");
    EXPECT_EQ(AuthPlainArgument("J\xC3\xB6", "p:w"), "AErDtgBwOnc=");
}

} // namespace
