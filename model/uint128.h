// 128-bit unsigned arithmetic from 64-bit halves, for the exact fast paths of
// the number conversions. Portable: the 32-bit Windows compiler has no
// 128-bit integer type, so it multiplies in 32-bit pieces; compilers that
// have one use it for the same exact product in one instruction.
#pragma once

#include <cstdint>

#include "double_bits.h"

struct Uint128 {
    std::uint64_t high;
    std::uint64_t low;
};

inline int BitLength128(Uint128 x) {
    return x.high != 0 ? 128 - CountLeadingZeros64(x.high) : 64 - CountLeadingZeros64(x.low);
}

// a * b, exact.
inline Uint128 Multiply64(std::uint64_t a, std::uint64_t b) {
#if defined(__SIZEOF_INT128__)
    __extension__ typedef unsigned __int128 NativeUint128;
    const NativeUint128 product = static_cast<NativeUint128>(a) * b;
    return Uint128{static_cast<std::uint64_t>(product >> 64), static_cast<std::uint64_t>(product)};
#else
    const std::uint64_t aLow = a & 0xFFFFFFFFu, aHigh = a >> 32;
    const std::uint64_t bLow = b & 0xFFFFFFFFu, bHigh = b >> 32;
    const std::uint64_t lowLow = aLow * bLow;
    const std::uint64_t highLow = aHigh * bLow;
    const std::uint64_t lowHigh = aLow * bHigh;
    const std::uint64_t highHigh = aHigh * bHigh;
    // Each partial product is below 2^64 and `middle` below 3 * 2^32.
    const std::uint64_t middle = (lowLow >> 32) + (highLow & 0xFFFFFFFFu) + (lowHigh & 0xFFFFFFFFu);
    return Uint128{highHigh + (highLow >> 32) + (lowHigh >> 32) + (middle >> 32),
                   (middle << 32) | (lowLow & 0xFFFFFFFFu)};
#endif
}

inline Uint128 ShiftLeft128(Uint128 x, int bits) {
    if (bits == 0) {
        return x;
    }
    if (bits >= 64) {
        return Uint128{x.low << (bits - 64), 0};
    }
    return Uint128{(x.high << bits) | (x.low >> (64 - bits)), x.low << bits};
}

// floor(n / d) and n mod d for n.high < d, so that the quotient fits in 64
// bits: schoolbook division in base 2^32 with the divisor normalised so that
// each estimated quotient digit is at most two too large (Knuth, TAOCP
// vol. 2, 4.3.1, algorithm D; the layout of Hacker's Delight's divlu).
inline std::uint64_t Divide128(Uint128 n, std::uint64_t d, std::uint64_t& remainder) {
    const int shift = CountLeadingZeros64(d);
    d <<= shift;
    const Uint128 u = ShiftLeft128(n, shift);  // n.high < d keeps u.high < d << shift
    const std::uint64_t dHigh = d >> 32, dLow = d & 0xFFFFFFFFu;
    const std::uint64_t uLowHigh = u.low >> 32, uLowLow = u.low & 0xFFFFFFFFu;

    // First quotient digit, from the top three base-2^32 digits of u.
    std::uint64_t q1 = u.high / dHigh;
    std::uint64_t r = u.high - q1 * dHigh;
    while ((q1 >> 32) != 0 || q1 * dLow > ((r << 32) | uLowHigh)) {
        --q1;
        r += dHigh;
        if ((r >> 32) != 0) {
            break;
        }
    }
    // Arithmetic modulo 2^64: the true difference is below d.
    const std::uint64_t rest = ((u.high << 32) | uLowHigh) - q1 * d;

    std::uint64_t q0 = rest / dHigh;
    r = rest - q0 * dHigh;
    while ((q0 >> 32) != 0 || q0 * dLow > ((r << 32) | uLowLow)) {
        --q0;
        r += dHigh;
        if ((r >> 32) != 0) {
            break;
        }
    }
    remainder = (((rest << 32) | uLowLow) - q0 * d) >> shift;
    return (q1 << 32) | q0;
}
