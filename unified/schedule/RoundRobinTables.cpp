#include "unified/schedule/RoundRobinTables.h"

#include <iterator>

namespace {

// Base rounds of the doubles round robin for 4, 8, ... 24 players: over the
// n - 1 rounds every two players partner once and oppose twice.
constexpr std::int8_t WhistBase[][24] = {
    {-1, 0, 1, 2},
    {-1, 0, 4, 5, 1, 3, 2, 6},
    {-1, 0, 4, 5, 1, 10, 2, 8, 3, 7, 6, 9},
    {-1, 0, 5, 10, 1, 2, 4, 8, 3, 11, 12, 14, 6, 9, 7, 13},
    {-1, 0, 11, 12, 3, 9, 16, 1, 4, 14, 13, 18, 6, 8, 5, 2, 7, 15, 10, 17},
    {-1, 0, 7, 10, 1, 8, 12, 22, 5, 6, 2, 11, 3, 9, 14, 18, 17, 19, 4, 16, 15, 20, 13, 21},
};

// The mixed tables that schedules of 6, 12 and 20 players have always
// followed; kept as they are, repeated partners included.
constexpr std::uint8_t FixedMixed6[] = {
    3, 6, 5, 2, 1, 4, 3, 2, 1, 6, 5, 4,
};
constexpr std::uint8_t FixedMixed12[] = {
    5, 8, 1,  4, 9, 12, 3, 6,  11, 2, 7,  10, 7, 12, 1, 8,  11, 4,  3,  10,
    9, 2, 5,  6, 7, 2,  5, 12, 9,  4, 11, 10, 1, 6,  3, 8,  3,  12, 5,  4,
    1, 2, 11, 6, 9, 10, 7, 8,  3,  4, 7,  6,  9, 8,  1, 12, 5,  10, 11, 2,
};
constexpr std::uint8_t FixedMixed20[] = {
    2,  19, 16, 3,  4,  7,  17, 18, 13, 14, 15, 20, 9,  10, 11, 12, 1,  6,  5,  8,  2,  3,  4,
    17, 5,  6,  7,  8,  1,  12, 11, 10, 13, 14, 15, 16, 9,  18, 19, 20, 2,  5,  9,  14, 12, 17,
    16, 19, 3,  8,  10, 13, 7,  18, 11, 20, 1,  4,  6,  15, 4,  9,  8,  13, 1,  10, 3,  20, 5,
    16, 11, 18, 2,  15, 12, 17, 6,  19, 14, 7,  7,  14, 9,  16, 5,  18, 10, 19, 6,  17, 13, 20,
    1,  4,  2,  11, 3,  12, 8,  15, 9,  16, 13, 12, 8,  17, 14, 11, 3,  18, 4,  19, 5,  20, 15,
    10, 1,  2,  7,  6,  1,  14, 12, 5,  4,  13, 11, 6,  2,  7,  9,  20, 8,  19, 17, 10, 3,  18,
    16, 15, 3,  14, 11, 6,  4,  13, 12, 5,  8,  15, 9,  18, 7,  16, 10, 17, 1,  20, 19, 2,  2,
    5,  11, 16, 3,  12, 7,  4,  6,  15, 10, 9,  1,  8,  14, 19, 13, 20, 18, 17,
};

// Men's tables and partner tables of the other sizes, found and checked by
// tools/samdrr-tables.py: no spouses in a box, every woman once a round,
// each man partnering each other woman once.
constexpr std::uint8_t SamdrrMen2[] = {
    1,
    2,
};
constexpr std::uint8_t SamdrrMen4[] = {
    2, 1, 4, 3, 1, 3, 2, 4, 1, 4, 2, 3,
};
constexpr std::uint8_t SamdrrMen5[] = {
    2, 5, 3, 4, 3, 1, 4, 5, 4, 2, 5, 1, 5, 3, 1, 2, 1, 4, 2, 3,
};
constexpr std::uint8_t SamdrrMen7[] = {
    2, 7, 3, 6, 4, 5, 3, 1, 4, 7, 5, 6, 4, 2, 5, 1, 6, 7, 5, 3, 6,
    2, 7, 1, 6, 4, 7, 3, 1, 2, 7, 5, 1, 4, 2, 3, 1, 6, 2, 5, 3, 4,
};
constexpr std::uint8_t SamdrrMen8[] = {
    1, 2, 3, 4, 5, 6, 7, 8, 1, 3, 2, 4, 5, 7, 6, 8, 1, 4, 2, 3, 5, 8, 6, 7, 1, 5, 2, 6,
    3, 7, 4, 8, 1, 6, 2, 5, 3, 8, 4, 7, 1, 7, 2, 8, 3, 5, 4, 6, 1, 8, 2, 7, 3, 6, 4, 5,
};
constexpr std::uint8_t SamdrrMen9[] = {
    2, 3, 4, 7, 5, 9, 6, 8, 1, 3, 4, 9, 5, 8, 6, 7, 1, 2, 4, 8, 5, 7, 6, 9,
    1, 7, 2, 9, 3, 8, 5, 6, 1, 9, 2, 8, 3, 7, 4, 6, 1, 8, 2, 7, 3, 9, 4, 5,
    1, 4, 2, 6, 3, 5, 8, 9, 1, 6, 2, 5, 3, 4, 7, 9, 1, 5, 2, 4, 3, 6, 7, 8,
};
constexpr std::uint8_t SamdrrMen11[] = {
    2,  11, 3,  10, 4,  9,  5,  8, 6,  7, 3, 1, 4,  11, 5,  10, 6,  9,  7, 8, 4,  2,
    5,  1,  6,  11, 7,  10, 8,  9, 5,  3, 6, 2, 7,  1,  8,  11, 9,  10, 6, 4, 7,  3,
    8,  2,  9,  1,  10, 11, 7,  5, 8,  4, 9, 3, 10, 2,  11, 1,  8,  6,  9, 5, 10, 4,
    11, 3,  1,  2,  9,  7,  10, 6, 11, 5, 1, 4, 2,  3,  10, 8,  11, 7,  1, 6, 2,  5,
    3,  4,  11, 9,  1,  8,  2,  7, 3,  6, 4, 5, 1,  10, 2,  9,  3,  8,  4, 7, 5,  6,
};
constexpr std::uint8_t SamdrrMen12[] = {
    1, 2,  12, 3,  11, 4,  10, 5,  9,  6,  8, 7,  1, 12, 11, 2,  10, 3,  9,  4,  8, 5,
    7, 6,  1,  11, 10, 12, 9,  2,  8,  3,  7, 4,  6, 5,  1,  10, 9,  11, 8,  12, 7, 2,
    6, 3,  5,  4,  1,  9,  8,  10, 7,  11, 6, 12, 5, 2,  4,  3,  1,  8,  7,  9,  6, 10,
    5, 11, 4,  12, 3,  2,  1,  7,  6,  8,  5, 9,  4, 10, 3,  11, 2,  12, 1,  6,  5, 7,
    4, 8,  3,  9,  2,  10, 12, 11, 1,  5,  4, 6,  3, 7,  2,  8,  12, 9,  11, 10, 1, 4,
    3, 5,  2,  6,  12, 7,  11, 8,  10, 9,  1, 3,  2, 4,  12, 5,  11, 6,  10, 7,  9, 8,
};
constexpr std::uint8_t SamdrrPartners4[] = {
    1, 3, 4, 2, 4, 2, 1, 3, 2, 4, 3, 1, 3, 1, 2, 4,
};
constexpr std::uint8_t SamdrrPartners8[] = {
    1, 4, 7, 6, 8, 5, 2, 3, 3, 2, 5, 8, 6, 7, 4, 1, 5, 8, 3, 2, 4, 1, 6, 7, 7, 6, 1, 4, 2, 3, 8, 5,
    4, 1, 6, 7, 5, 8, 3, 2, 2, 3, 8, 5, 7, 6, 1, 4, 8, 5, 2, 3, 1, 4, 7, 6, 6, 7, 4, 1, 3, 2, 5, 8,
};
constexpr std::uint8_t SamdrrPartners9[] = {
    1, 8, 6, 5, 3, 7, 9, 4, 2, 4, 2, 9, 8, 6, 1, 3, 7, 5, 7, 5, 3, 2, 9, 4, 6, 1, 8,
    3, 7, 5, 4, 2, 9, 8, 6, 1, 6, 1, 8, 7, 5, 3, 2, 9, 4, 9, 4, 2, 1, 8, 6, 5, 3, 7,
    2, 9, 4, 6, 1, 8, 7, 5, 3, 5, 3, 7, 9, 4, 2, 1, 8, 6, 8, 6, 1, 3, 7, 5, 4, 2, 9,
};
constexpr std::uint8_t SamdrrPartners12[] = {
    1,  12, 10, 9,  2,  11, 8,  6,  5, 3, 4,  7,  7,  2,  11, 8,  4,  10, 5,  12, 6,  1,  3, 9,
    9,  5,  3,  6,  12, 1,  4,  10, 7, 8, 2,  11, 6,  3,  12, 4,  7,  8,  11, 2,  10, 5,  9, 1,
    11, 1,  7,  10, 5,  3,  12, 9,  4, 6, 8,  2,  10, 4,  9,  5,  8,  6,  2,  11, 1,  12, 7, 3,
    3,  11, 6,  1,  9,  12, 7,  5,  2, 4, 10, 8,  4,  9,  2,  3,  1,  7,  10, 8,  12, 11, 5, 6,
    8,  7,  5,  11, 6,  4,  3,  1,  9, 2, 12, 10, 2,  8,  4,  12, 3,  9,  6,  7,  11, 10, 1, 5,
    12, 6,  1,  2,  10, 5,  9,  3,  8, 7, 11, 4,  5,  10, 8,  7,  11, 2,  1,  4,  3,  9,  6, 12,
};

template <std::size_t Size> SamdrrMenTable MenTable(const std::uint8_t (&pairs)[Size], int h) {
    return {static_cast<int>(Size) / (2 * (h / 2)), pairs};
}

} // namespace

const std::int8_t* WhistBaseRound(int n) {
    if (n < 4 || n > 24 || n % 4 != 0) return nullptr;
    return WhistBase[n / 4 - 1];
}

const std::uint8_t* FixedMixedTable(int n, int& rounds) {
    switch (n) {
    case 6:
        rounds = static_cast<int>(std::size(FixedMixed6)) / 4;
        return FixedMixed6;
    case 12:
        rounds = static_cast<int>(std::size(FixedMixed12)) / 12;
        return FixedMixed12;
    case 20:
        rounds = static_cast<int>(std::size(FixedMixed20)) / 20;
        return FixedMixed20;
    default:
        rounds = 0;
        return nullptr;
    }
}

SamdrrMenTable SamdrrMen(int h) {
    switch (h) {
    case 2:
        return MenTable(SamdrrMen2, h);
    case 4:
        return MenTable(SamdrrMen4, h);
    case 5:
        return MenTable(SamdrrMen5, h);
    case 7:
        return MenTable(SamdrrMen7, h);
    case 8:
        return MenTable(SamdrrMen8, h);
    case 9:
        return MenTable(SamdrrMen9, h);
    case 11:
        return MenTable(SamdrrMen11, h);
    case 12:
        return MenTable(SamdrrMen12, h);
    default:
        return {};
    }
}

const std::uint8_t* SamdrrPartnerRows(int h) {
    switch (h) {
    case 4:
        return SamdrrPartners4;
    case 8:
        return SamdrrPartners8;
    case 9:
        return SamdrrPartners9;
    case 12:
        return SamdrrPartners12;
    default:
        return nullptr;
    }
}
