#include "unified/draw/RandomNumbers.h"

#include "platform/Clock.h"
#include "platform/Random.h"

#include <new>

void SeedRandomFromClock() {
    RandSeed(static_cast<unsigned>(ClockNow()));
}

RandomNumbers::RandomNumbers(int a, int n) {
    if (a < 1 || n < 1 || n < a) return;
    const int count = n - a + 1;
    try {
        numbers_.assign(static_cast<std::size_t>(count), 0);
    } catch (const std::bad_alloc&) {
        return; // no order: every At gives 0
    }
    count_ = count;
    valid_ = true;
    SeedRandomFromClock();
    // Each value takes a random entry, or the next free one after it.
    for (int v = a; v <= n; ++v) {
        int b = Rand() % count;
        while (numbers_[static_cast<std::size_t>(b)] != 0)
            b = (b + 1) % count;
        numbers_[static_cast<std::size_t>(b)] = v;
    }
}

int RandomNumbers::At(int i) const {
    if (!valid_ || i < 1 || i > count_) return 0;
    return numbers_[static_cast<std::size_t>(i - 1)];
}
