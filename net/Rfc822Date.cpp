#include "net/Rfc822Date.h"

#include "platform/Clock.h"

#include <cstdio>
#include <cstdlib>

namespace {
const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                               "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
} // namespace

std::string Rfc822DateTime(std::time_t moment) {
    std::tm local = LocalTime(moment);
    // The zone is written as the offset west of Greenwich turned round: east
    // is "+", and an offset of nought keeps the "-".
    long bias = -local.tm_gmtoff / 60;
    long size = std::labs(bias);
    char text[80];
    std::snprintf(text, sizeof text, "%s, %d %s %04d %02d:%02d:%02d %c%02ld%02ld",
                  kDays[(local.tm_wday % 7 + 7) % 7], local.tm_mday,
                  kMonths[(local.tm_mon % 12 + 12) % 12], local.tm_year + 1900, local.tm_hour,
                  local.tm_min, local.tm_sec, bias < 0 ? '+' : '-', size / 60, size % 60);
    return text;
}
