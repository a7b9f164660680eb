// 128-bit approximations of the powers of five, for the fast path of
// ParseAmount: every decimal exponent a significand of at most 19 digits can
// meet without the value being an infinity by its magnitude alone, down to
// values of about 10^-306. Below that (subnormals and their neighbours) the
// exact path takes over, which keeps the table 272 bytes smaller.
#pragma once

#include <cstdint>

constexpr int kMinPowerOfFive = -325;
constexpr int kMaxPowerOfFive = 308;
constexpr int kPowerOfFiveCount = kMaxPowerOfFive - kMinPowerOfFive + 1;

// kPowersOfFive[q - kMinPowerOfFive] = {high, low} holds T, the leading 128
// bits of 5^q: 2^127 <= T < 2^128 and 5^q ~ T * 2^(FloorLog2PowerOfFive(q) -
// 127). For q >= 0 the bits are cut (exact for q <= 55, where 5^q has at
// most 128 bits); for q < 0 they are raised. Either way T is within one unit
// of the exact scaled power. Worked out in exact integers when the program
// starts, before any other static initialiser runs: the code is a few
// hundred bytes, the 10 KB table it replaces would be in every program that
// reads a number, kem.exe and the two WebAssembly modules a browser
// downloads among them.
extern const std::uint64_t (&kPowersOfFive)[kPowerOfFiveCount][2];

// floor(log2(5^q)) = floor(q * log2(5)) for q in the table's range:
// 152170 / 2^16 is log2(5) to within 2^-17, and the offset keeps the
// shifted value positive so that the shift rounds down.
constexpr int FloorLog2PowerOfFive(int q) {
    constexpr int kOffset = 1000;  // 1000 * 2^16 > 325 * 152170
    return ((q * 152170 + kOffset * 65536) >> 16) - kOffset;
}
