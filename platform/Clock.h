#pragma once
// The one clock of the program. Tests fix it so that dates in reports, mail
// and random seeds are repeatable.

#include <ctime>

std::time_t ClockNow();

// Local calendar time of a moment.
std::tm LocalTime(std::time_t moment);

// Fixes the clock at a moment (tests); ClearFixedClock returns to real time.
void SetFixedClock(std::time_t moment);
void ClearFixedClock();
