#include "net/SmtpAuth.h"

#include "net/Base64.h"
#include "net/Md5.h"

namespace {

constexpr std::size_t kBlock = 64;

std::string Md5Bytes(std::string_view a, std::string_view b = {}) {
    TMD5Context context;
    MD5Init(context);
    for (std::string_view part : {a, b})
        if (!part.empty()) MD5Update(context, part.data(), part.size());
    TMD5Digest digest;
    MD5Final(digest, context);
    return std::string(reinterpret_cast<const char*>(digest), sizeof digest);
}

} // namespace

std::string HmacMd5(std::string_view key, std::string_view data) {
    std::string shortKey = key.size() > kBlock ? Md5Bytes(key) : std::string(key);
    std::string inner(kBlock, '\x36'), outer(kBlock, '\x5C');
    for (std::size_t i = 0; i < shortKey.size(); ++i) {
        inner[i] = char(inner[i] ^ shortKey[i]);
        outer[i] = char(outer[i] ^ shortKey[i]);
    }
    return Md5Bytes(outer, Md5Bytes(inner, data));
}

bool CramMd5Answer(std::string_view reply, std::string_view username, std::string_view password,
                   std::string& answer) {
    if (reply.size() <= 4) return false;
    static const char hex[] = "0123456789abcdef";
    std::string digest = HmacMd5(password, Base64Decode(reply.substr(4)));
    std::string text(username);
    text += ' ';
    for (unsigned char byte : digest) {
        text += hex[byte >> 4];
        text += hex[byte & 15];
    }
    answer = Base64Encode(text);
    return true;
}

std::string AuthPlainArgument(std::string_view username, std::string_view password) {
    std::string message(1, '\0');
    message += username;
    message += '\0';
    message += password;
    return Base64Encode(message);
}
