#pragma once
// The runtime's random generator: a seeded linear congruential sequence of
// numbers from 0 to RandMax. Seeding from the clock seam makes a run
// repeatable under a fixed clock.

constexpr int RandMax = 0x7FFF;

void RandSeed(unsigned seed);
int Rand();
