// 128-bit approximations of the powers of five, for the fast path of
// ParseAmount when the decimal exponent is too large for exact 64-bit work.
#pragma once

#include <cstdint>

// 5^q is approximately (high * 2^64 + low) * 2^exponent, with the top bit of
// `high` set. For q >= 0 the 128 bits are 5^q's leading bits rounded down;
// for q < 0 they are rounded up. Either way they are within one unit of the
// exact value in their last place.
struct PowerOfFive128 {
    std::uint64_t high;
    std::uint64_t low;
    int exponent;
};

constexpr int kMinApproximatedPower = -325;
constexpr int kMaxApproximatedPower = 308;

// q in [kMinApproximatedPower, kMaxApproximatedPower]. The table is built
// once, exactly, from big integers on first use.
const PowerOfFive128& ApproximatePowerOfFive(int q);
