#pragma once
// A random order of the whole numbers a to n, drawn from the runtime's
// generator after seeding it from the clock. The draw places its players
// with it; the schedule's generators order their players with it too, and
// the mixer seeds from the clock the same way.

#include <vector>

// Seeds the runtime's generator with the clock's time in seconds.
void SeedRandomFromClock();

class RandomNumbers {
public:
    // Every construction reseeds from the clock, so two orders built within
    // the same second draw the same random values. An empty or reversed
    // range, or one below 1, gives no order.
    RandomNumbers(int a, int n);

    bool IsValid() const { return valid_; }
    int Count() const { return count_; }
    // The i-th number of the order (1-based); 0 outside the order, or when
    // there is none.
    int At(int i) const;

private:
    bool valid_ = false;
    int count_ = 0;
    std::vector<int> numbers_;
};
