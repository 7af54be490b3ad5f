#pragma once
// Base64 with the standard alphabet and "=" padding, without line breaks:
// credentials in HTTP and SMTP, attachments in MIME.

#include <string>
#include <string_view>

std::string Base64Encode(std::string_view bytes);

// Decodes up to the first "=" or the first character outside the alphabet;
// a trailing group of fewer than four characters gives the bytes it holds.
std::string Base64Decode(std::string_view text);
