#include "platform/Clock.h"

#include <optional>

namespace {
std::optional<std::time_t> fixedMoment;
}

std::time_t ClockNow() {
    return fixedMoment ? *fixedMoment : std::time(nullptr);
}

std::tm LocalTime(std::time_t moment) {
    std::tm result{};
    localtime_r(&moment, &result);
    return result;
}

void SetFixedClock(std::time_t moment) {
    fixedMoment = moment;
}
void ClearFixedClock() {
    fixedMoment.reset();
}
