// The powers of ten and five that fit a 64-bit integer, for the exact
// integer steps of both conversions.
#pragma once

#include <cstdint>

// 10^19 is the largest power of ten below 2^64, 5^27 the largest of five.
constexpr int kMaxPowerOfTen64 = 19;
constexpr int kMaxPowerOfFive64 = 27;

template <int kCount>
struct PowerTable64 {
    std::uint64_t value[kCount];
};

template <int kCount>
constexpr PowerTable64<kCount> MakePowerTable64(std::uint64_t base) {
    PowerTable64<kCount> table{};
    std::uint64_t power = 1;
    for (int i = 0; i < kCount; ++i) {
        table.value[i] = power;
        power *= base;  // wraps once, after the last entry, into an unused value
    }
    return table;
}

inline constexpr PowerTable64<kMaxPowerOfTen64 + 1> kPowersOfTen64 =
    MakePowerTable64<kMaxPowerOfTen64 + 1>(10);
inline constexpr PowerTable64<kMaxPowerOfFive64 + 1> kPowersOfFive64 =
    MakePowerTable64<kMaxPowerOfFive64 + 1>(5);
