#pragma once
// The growable array of the event model: positions 1 to Count(), position 0
// exists and is never used. Players, ladder results and draw matches live in
// one each. Operations return 0 on success and -1 on failure.

#include <algorithm>
#include <new>
#include <stdexcept>
#include <utility>
#include <vector>

template <typename T> class MyArray {
public:
    int Count() const { return count_; }
    int Capacity() const { return capacity_; }

    // The element at n, or null when n is outside 1 to Count().
    T* Item(int n) { return n <= 0 || n > count_ ? nullptr : &items_[n]; }
    const T* Item(int n) const { return n <= 0 || n > count_ ? nullptr : &items_[n]; }

    // Stores a copy at n, growing to exactly n positions when n is past the
    // capacity; positions between the old count and n hold cleared elements.
    int SetAt(int n, const T& element) {
        if (n <= 0) return -1;
        if (n > capacity_ && !Grow(n)) return -1;
        items_[n] = element;
        if (count_ < n) count_ = n;
        return 0;
    }

    // Inserts a copy at n, moving n and everything after it up by one; past
    // the count it is SetAt.
    int InsertAt(int n, const T& element) {
        if (n <= 0) return -1;
        if (n > count_) return SetAt(n, element);
        T copy = element; // the element may live in this array
        if (count_ + 1 > capacity_ && !Grow(capacity_ + 1)) return -1;
        std::move_backward(items_.begin() + n, items_.begin() + count_ + 1,
                           items_.begin() + count_ + 2);
        items_[n] = std::move(copy);
        ++count_;
        return 0;
    }

    // Removes position n, moving everything after it down by one.
    int DeleteAt(int n) {
        if (n <= 0 || n > count_) return -1;
        std::move(items_.begin() + n + 1, items_.begin() + count_ + 1, items_.begin() + n);
        items_[count_] = T();
        --count_;
        return 0;
    }

    void Clear() {
        items_.clear();
        items_.shrink_to_fit();
        count_ = 0;
        capacity_ = 0;
    }

private:
    // The positions grow to exactly the capacity asked for; the storage
    // behind them grows geometrically, so that a list built one insertion
    // at a time is not copied whole at each one.
    bool Grow(int newCapacity) {
        const std::size_t positions = static_cast<std::size_t>(newCapacity) + 1;
        try {
            if (positions > items_.capacity())
                items_.reserve(std::max(positions, 2 * items_.capacity()));
            items_.resize(positions);
        } catch (const std::bad_alloc&) {
            return false;
        } catch (const std::length_error&) {
            return false;
        }
        capacity_ = newCapacity;
        return true;
    }

    std::vector<T> items_;
    int count_ = 0;
    int capacity_ = 0;
};
