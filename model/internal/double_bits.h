// The IEEE 754 binary64 layout, named once: 1 sign bit, 11 exponent bits
// (bias 1023), 52 fraction bits. Building a double from its bits is exact on
// every toolchain, unlike arithmetic on an x87 unit.
#pragma once

#include <cstdint>
#include <cstring>

// Marks a function that the compiler must not inline into its callers: the
// rare slow path of a hot function, whose common case then needs fewer
// registers saved and restored.
#if defined(__GNUC__)
#define KEM_OUT_OF_LINE __attribute__((noinline))
#else
#define KEM_OUT_OF_LINE
#endif

// Marks the body of a hot function that two entry points share, so that
// each gets its own copy instead of a call.
#if defined(__GNUC__)
#define KEM_BUILT_IN inline __attribute__((always_inline))
#else
#define KEM_BUILT_IN inline
#endif

constexpr int kFractionBits = 52;
constexpr int kSignificandBits = kFractionBits + 1;  // with the hidden bit
constexpr int kExponentBias = 1023;
// The exponent field of infinities and not-a-numbers.
constexpr int kExponentFieldMax = 0x7FF;
// 2^kMinNormalExponent is the smallest normal double, 2^-1022.
constexpr int kMinNormalExponent = 1 - kExponentBias;
// The weight of the last significand bit of the subnormals and of the
// smallest normals: 2^-1074 is the smallest subnormal.
constexpr int kSubnormalExponent = kMinNormalExponent - kFractionBits;
// A field f of a normal double weighs its last significand bit 2^(f - 1075).
constexpr int kFieldToExponent = kExponentBias + kFractionBits;

constexpr std::uint64_t kSignBit = std::uint64_t{1} << 63;
constexpr std::uint64_t kFractionMask = (std::uint64_t{1} << kFractionBits) - 1;
constexpr std::uint64_t kExponentMask = std::uint64_t{kExponentFieldMax} << kFractionBits;
constexpr std::uint64_t kHiddenBit = std::uint64_t{1} << kFractionBits;
constexpr std::uint64_t kQuietBit = kHiddenBit >> 1;  // top fraction bit
constexpr std::uint64_t kInfinityBits = kExponentMask;
// The not-a-number that invalid arithmetic (0 * inf, inf - inf, inf / inf)
// produces: negative, quiet, no other fraction bit.
constexpr std::uint64_t kInvalidNaNBits = kSignBit | kExponentMask | kQuietBit;

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

// The fields of a double and, for finite values, the integers m and e with
// |value| = m * 2^e: m below 2^53, and e = -1074 for zeros and subnormals.
struct DoubleParts {
    bool negative;
    int exponentField;       // 0 for zeros and subnormals, kExponentFieldMax for the rest
    std::uint64_t fraction;  // the 52 stored bits
    std::uint64_t significand;
    int exponent;
};

inline DoubleParts DecodeDouble(double value) {
    const std::uint64_t bits = BitsOf(value);
    DoubleParts parts;
    parts.negative = (bits & kSignBit) != 0;
    parts.exponentField = static_cast<int>((bits & kExponentMask) >> kFractionBits);
    parts.fraction = bits & kFractionMask;
    const bool subnormal = parts.exponentField == 0;
    parts.significand = subnormal ? parts.fraction : parts.fraction | kHiddenBit;
    parts.exponent = subnormal ? kSubnormalExponent : parts.exponentField - kFieldToExponent;
    return parts;
}

inline int CountLeadingZeros64(std::uint64_t x) {
    if (x == 0) {
        return 64;
    }
#if defined(__GNUC__)
    return __builtin_clzll(x);
#else
    int n = 0;
    for (int step = 32; step > 0; step /= 2) {
        if ((x >> (64 - step)) == 0) {
            n += step;
            x <<= step;
        }
    }
    return n;
#endif
}

inline int BitWidth64(std::uint64_t x) {
    return 64 - CountLeadingZeros64(x);
}
