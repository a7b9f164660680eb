// The powers of five that fit a 64-bit integer, for the exact integer steps
// of both conversions; 10^k is 5^k * 2^k, a shift away.
#pragma once

#include <cstdint>

// 5^27 is the largest power of five below 2^64.
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

inline constexpr PowerTable64<kMaxPowerOfFive64 + 1> kPowersOfFive64 =
    MakePowerTable64<kMaxPowerOfFive64 + 1>(5);
