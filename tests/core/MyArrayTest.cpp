#include "unified/core/MyArray.h"
#include "unified/core/Player.h"

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
    Counted(Counted&& o) noexcept : value(o.value) { ++transfers; }
    Counted& operator=(const Counted& o) {
        value = o.value;
        ++transfers;
        return *this;
    }
    Counted& operator=(Counted&& o) noexcept {
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
    EXPECT_EQ(a.Item(0), nullptr);
    EXPECT_EQ(a.Item(1), nullptr);
    EXPECT_EQ(a.SetAt(0, Counted(1)), -1);
    EXPECT_EQ(a.InsertAt(-1, Counted(1)), -1);
    EXPECT_EQ(a.DeleteAt(1), -1);

    // SetAt past the end leaves a gap of cleared elements.
    EXPECT_EQ(a.SetAt(5, Counted(5)), 0);
    EXPECT_EQ(a.Count(), 5);
    EXPECT_EQ(a.Capacity(), 5);
    EXPECT_EQ(Values(a), "0 0 0 0 5 ");
    EXPECT_EQ(a.Item(6), nullptr);
    EXPECT_EQ(a.Item(0), nullptr);

    EXPECT_EQ(a.InsertAt(1, Counted(1)), 0); // moves everything up
    EXPECT_EQ(a.InsertAt(9, Counted(9)), 0); // past the count: SetAt
    EXPECT_EQ(Values(a), "1 0 0 0 0 5 0 0 9 ");
    EXPECT_EQ(a.DeleteAt(10), -1);
    EXPECT_EQ(a.DeleteAt(2), 0);
    EXPECT_EQ(a.DeleteAt(8), 0);
    EXPECT_EQ(Values(a), "1 0 0 0 5 0 0 ");
    // A place freed at the end reads as cleared when SetAt reaches past it.
    EXPECT_EQ(a.SetAt(9, Counted(7)), 0);
    EXPECT_EQ(Values(a), "1 0 0 0 5 0 0 0 7 ");

    a.Clear();
    EXPECT_EQ(a.Count(), 0);
    EXPECT_EQ(a.Capacity(), 0);
    EXPECT_EQ(a.Item(1), nullptr);
}

TEST(MyArray, AnElementOfTheArrayCanBeInsertedIntoIt) {
    MyArray<Counted> a;
    for (int i = 1; i <= 3; ++i)
        a.SetAt(i, Counted(i));
    EXPECT_EQ(a.InsertAt(1, *a.Item(3)), 0);
    EXPECT_EQ(Values(a), "3 1 2 3 ");
}

TEST(MyArray, GrowingOneAtATimeIsNotQuadratic) {
    MyArray<Counted> a;
    Counted::transfers = 0;
    const int n = 20000;
    for (int i = 1; i <= n; ++i)
        ASSERT_EQ(a.InsertAt(a.Count() + 1, Counted(i)), 0);
    EXPECT_EQ(a.Count(), n);
    EXPECT_EQ(a.Item(n)->value, n);
    // Growing by one place each time would copy about n * n / 2 elements.
    EXPECT_LT(Counted::transfers, 10L * n);
}

TEST(MyArray, PartnersMoveWithTheirEntries) {
    MyArray<Player> a;
    Player p;
    p.lastName = "Lee";
    p.partner.Set(Player());
    p.partner->lastName = "Partner";
    a.SetAt(1, p);
    a.SetAt(2, Player());
    a.InsertAt(1, Player());
    a.DeleteAt(1);
    ASSERT_TRUE(a.Item(1)->partner);
    EXPECT_EQ(a.Item(1)->partner->lastName, "Partner");
    // The array's copy is its own.
    p.partner->lastName = "Changed";
    EXPECT_EQ(a.Item(1)->partner->lastName, "Partner");
    EXPECT_FALSE(a.Item(2)->partner);
}
