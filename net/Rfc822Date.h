#pragma once
// The date of a mail's "Date: " line: "Mon, 7 Dec 2026 23:30:00 +0100", with
// the English names whatever the locale, and the local zone's offset at that
// moment.

#include <ctime>
#include <string>

std::string Rfc822DateTime(std::time_t moment);
