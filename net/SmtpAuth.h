#pragma once
// The answers of the SMTP client's authentication methods.

#include <string>
#include <string_view>

// HMAC-MD5 of RFC 2104: the 16 digest bytes. A key longer than the 64-byte
// block is hashed first, as the RFC orders, never cut.
std::string HmacMd5(std::string_view key, std::string_view data);

// The CRAM-MD5 answer to a "334 <challenge>" reply: Base64 of the user name,
// a blank and the HMAC-MD5 of the decoded challenge, keyed by the password,
// in lower-case hexadecimal. False for a reply of four characters or fewer.
bool CramMd5Answer(std::string_view reply, std::string_view username, std::string_view password,
                   std::string& answer);

// The argument of "AUTH PLAIN": the message of RFC 4616 (no authorisation
// identity, a zero byte, the user name, a zero byte, the password) in Base64.
std::string AuthPlainArgument(std::string_view username, std::string_view password);
