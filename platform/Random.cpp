#include "platform/Random.h"

#include <cstdint>

namespace {
std::uint32_t state = 1;
}

void RandSeed(unsigned seed) {
    state = seed;
}

int Rand() {
    state = state * 22695477u + 1u;
    return static_cast<int>((state >> 16) & RandMax);
}
