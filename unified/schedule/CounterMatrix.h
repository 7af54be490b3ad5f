#pragma once
// Byte counters for pairs of players, rows and columns numbered from 0: the
// mixer counts in one how often two players have shared a box, and in
// another how often they have been partners.

#include <cstdint>
#include <vector>

class CounterMatrix {
public:
    // Every counter 0; not valid when the rows could not be allocated.
    CounterMatrix(int rows, int columns);

    bool IsValid() const { return valid_; }
    int RowCount() const { return rowCount_; }
    int ColumnCount() const { return columnCount_; }

    // Change one counter for r and c from 1 to the last row and column;
    // elsewhere nothing. A counter stays within 0 to 255 rather than wrap.
    void Increment(int r, int c);
    void Decrement(int r, int c);
    // The counter of (r, c), or of (c, r) when symmetric and r > c: a pair's
    // count is kept in the row of the smaller number. 255 outside the range.
    int Get(int r, int c, bool symmetric) const;

private:
    bool InRange(int r, int c) const {
        return r >= 1 && r < rowCount_ && c >= 1 && c < columnCount_;
    }

    bool valid_ = false;
    int rowCount_ = 0;
    int columnCount_ = 0;
    std::vector<std::vector<std::uint8_t>> rows_;
};
