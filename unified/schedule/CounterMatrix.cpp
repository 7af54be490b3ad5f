#include "unified/schedule/CounterMatrix.h"

#include <new>

CounterMatrix::CounterMatrix(int rows, int columns) {
    if (rows < 0 || columns < 0) return;
    try {
        rows_.assign(static_cast<std::size_t>(rows),
                     std::vector<std::uint8_t>(static_cast<std::size_t>(columns), 0));
    } catch (const std::bad_alloc&) {
        rows_.clear();
        return;
    }
    rowCount_ = rows;
    columnCount_ = columns;
    valid_ = true;
}

void CounterMatrix::Increment(int r, int c) {
    if (!InRange(r, c)) return;
    std::uint8_t& count = rows_[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)];
    if (count < 255) ++count;
}

void CounterMatrix::Decrement(int r, int c) {
    if (!InRange(r, c)) return;
    std::uint8_t& count = rows_[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)];
    if (count > 0) --count;
}

int CounterMatrix::Get(int r, int c, bool symmetric) const {
    if (!InRange(r, c)) return 255;
    if (symmetric && r > c) return rows_[static_cast<std::size_t>(c)][static_cast<std::size_t>(r)];
    return rows_[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)];
}
