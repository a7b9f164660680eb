// Access to the IEEE 754 binary64 layout: 1 sign bit, 11 exponent bits
// (bias 1023), 52 fraction bits. Building a double from its bits is exact on
// every toolchain, unlike arithmetic on an x87 unit.
#pragma once

#include <cstdint>
#include <cstring>

constexpr std::uint64_t kSignBit = 0x8000000000000000u;
constexpr std::uint64_t kExponentMask = 0x7FF0000000000000u;
constexpr std::uint64_t kFractionMask = 0x000FFFFFFFFFFFFFu;
constexpr std::uint64_t kHiddenBit = 0x0010000000000000u;  // 2^52
constexpr std::uint64_t kQuietBit = 0x0008000000000000u;   // top fraction bit
constexpr std::uint64_t kInfinityBits = 0x7FF0000000000000u;
// The not-a-number that invalid arithmetic (0 * inf, inf - inf, inf / inf)
// produces: negative, quiet, no other fraction bit.
constexpr std::uint64_t kInvalidNaNBits = 0xFFF8000000000000u;

inline int CountLeadingZeros64(std::uint64_t x) {
    if (x == 0) {
        return 64;
    }
    int n = 0;
    for (int step = 32; step > 0; step /= 2) {
        if ((x >> (64 - step)) == 0) {
            n += step;
            x <<= step;
        }
    }
    return n;
}

inline std::uint64_t BitsOf(double value) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

inline double DoubleFromBits(std::uint64_t bits) {
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

inline bool IsNaNBits(std::uint64_t bits) {
    return (bits & kExponentMask) == kExponentMask && (bits & kFractionMask) != 0;
}

// The double m * 2^e for 0 <= m <= 2^53, where m * 2^e is exact in binary64
// or m < 2^52 with e = -1074 (a subnormal): the biased exponent field and the
// hidden bit add up, so a significand of exactly 2^52 or 2^53 carries into
// the exponent by itself. Returns the magnitude's bits (no sign); a result at
// or above 2^1024 gives the bits of infinity.
inline std::uint64_t BitsFromSignificand(std::uint64_t m, int e) {
    if (m == 0) {
        return 0;
    }
    // Normalise to m in [2^52, 2^53) unless that would go below 2^-1074.
    if (m < kHiddenBit) {
        int shift = CountLeadingZeros64(m) - 11;
        if (shift > e + 1074) {
            shift = e + 1074;
        }
        m <<= shift;
        e -= shift;
    }
    if (e + 52 > 1023) {
        return kInfinityBits;
    }
    const std::uint64_t bits = (static_cast<std::uint64_t>(e + 1074) << 52) + m;
    return bits >= kInfinityBits ? kInfinityBits : bits;
}
