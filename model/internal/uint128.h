// 128-bit unsigned arithmetic from 64-bit halves, for the exact fast paths of
// the number conversions. Portable: the 32-bit Windows compiler has no
// 128-bit integer type, so it multiplies in 32-bit pieces; compilers that
// have one use it for the same exact product in one instruction, except for
// WebAssembly (below).
#pragma once

#include <cstdint>

#include "double_bits.h"

struct Uint128 {
    std::uint64_t high;
    std::uint64_t low;
};

// Where the compiler's 128-bit integers are one instruction or two. In
// WebAssembly they are calls into the runtime, slower than the four
// products below done inline.
#if defined(__SIZEOF_INT128__) && !defined(__wasm__)
#define KEM_NATIVE_UINT128 1
#endif

// a * b, exact.
inline Uint128 Multiply64(std::uint64_t a, std::uint64_t b) {
#if defined(KEM_NATIVE_UINT128)
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

// floor(x / 2^s), which must fit 64 bits, for 0 < s < 128.
inline std::uint64_t ShiftRight128(Uint128 x, int s) {
#if defined(KEM_NATIVE_UINT128)
    __extension__ typedef unsigned __int128 NativeUint128;
    return static_cast<std::uint64_t>(((static_cast<NativeUint128>(x.high) << 64) | x.low) >> s);
#else
    if (s >= 64) {
        return x.high >> (s - 64);
    }
    return (x.low >> s) | (x.high << (64 - s));
#endif
}
