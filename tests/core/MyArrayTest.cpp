#include "unified/core/MyArray.h"

#include <gtest/gtest.h>
#include <string>

namespace {

// Counts how often elements are copied or moved.
struct Counted {
    static inline long transfers = 0;
    int value = 0;
    Counted() = default;
    explicit Counted(int v) : value(v) {}
    Counted(const Counted& o) : value(o.value) { ++transfers; }
    Counted& operator=(const Counted& o) {
        value = o.value;
        ++transfers;
        return *this;
    }
};

std::string Values(const MyArray<Counted>& a) {
    std::string out;
    for (int i = 1; i <= a.Count(); ++i)
        out += std::to_string(a.Item(i)->value) + " ";
    return out;
}

} // namespace

TEST(MyArray, PositionsAreOneBased) {
    MyArray<Counted> a;
    EXPECT_EQ(a.SetAt(0, Counted(1)), -1);
    EXPECT_EQ(a.InsertAt(-1, Counted(1)), -1);
    EXPECT_EQ(a.DeleteAt(1), -1);
    EXPECT_EQ(a.SetAt(5, Counted(5)), 0); // a gap of cleared elements
    EXPECT_EQ(a.Capacity(), 5);
    EXPECT_EQ(a.Item(0), nullptr);
    EXPECT_EQ(a.Item(6), nullptr);
    EXPECT_EQ(a.InsertAt(1, Counted(1)), 0);
    EXPECT_EQ(a.InsertAt(9, Counted(9)), 0); // past the count: SetAt
    EXPECT_EQ(Values(a), "1 0 0 0 0 5 0 0 9 ");
    EXPECT_EQ(a.DeleteAt(10), -1);
    EXPECT_EQ(a.DeleteAt(9), 0);
    EXPECT_EQ(a.SetAt(10, Counted(7)), 0); // the freed place reads as cleared
    EXPECT_EQ(Values(a), "1 0 0 0 0 5 0 0 0 7 ");
    EXPECT_EQ(a.InsertAt(1, *a.Item(10)), 0); // an element of the array itself
    EXPECT_EQ(a.Item(1)->value, 7);
    a.Clear();
    EXPECT_EQ(a.Count() + a.Capacity(), 0);
    EXPECT_EQ(a.Item(1), nullptr);
}

TEST(MyArray, GrowingOneAtATimeIsNotQuadratic) {
    MyArray<Counted> a;
    Counted::transfers = 0;
    const int n = 20000;
    for (int i = 1; i <= n; ++i)
        ASSERT_EQ(a.InsertAt(a.Count() + 1, Counted(i)), 0);
    EXPECT_EQ(a.Item(n)->value, n);
    // Growing the storage by one place each time would copy about n * n / 2.
    EXPECT_LT(Counted::transfers, 10L * n);
}
