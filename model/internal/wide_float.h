// Double-precision arithmetic with a wide exponent range.
//
// Inside a formula the calculator rounds every operation to a 53-bit
// significand but lets the exponent run beyond that of a double (as an 80-bit
// extended intermediate would); values are narrowed to doubles only where the
// model says so. A WideFloat keeps the significand in a double in [1, 2) and
// the exponent in an int, so each operation is one correctly rounded double
// operation on numbers near 1, which never overflows or underflows, and gives
// the same bits on every IEEE 754 toolchain.
#pragma once

#include <cstdint>

#include "double_bits.h"
#include "model_build.h"

struct WideFloat {
    double significand;  // finite nonzero: magnitude in [1, 2); otherwise the zero, infinity or NaN
    std::int32_t exponent;  // value = significand * 2^exponent; 0 unless finite nonzero
};

// The complete operations, for every kind of operand. The inline versions
// below take the common case (finite nonzero normal values) themselves in a
// build for speed; a build for size (kem.exe) calls these alone.
WideFloat WidenSlowly(double value);
double NarrowSlowly(WideFloat value);
WideFloat MultiplyWideSlowly(WideFloat a, WideFloat b);
WideFloat DivideWideSlowly(WideFloat a, WideFloat b);

// A finite nonzero value: its significand lies in [1, 2) in magnitude, so
// its exponent field is the bias. Zeros, infinities and NaNs have 0 or all
// ones there.
inline bool IsRegularWide(WideFloat value) {
    return ((BitsOf(value.significand) >> kFractionBits) & kExponentFieldMax) == kExponentBias;
}

// A finite nonzero normal double split into significand in [1, 2) and
// exponent, `exponent` added to the latter. Exact.
inline WideFloat NormalizeWide(double value, std::int32_t exponent) {
    constexpr std::uint64_t kUnitField = std::uint64_t{kExponentBias} << kFractionBits;
    const std::uint64_t bits = BitsOf(value);
    const int field = static_cast<int>((bits & kExponentMask) >> kFractionBits);
    return WideFloat{DoubleFromBits((bits & ~kExponentMask) | kUnitField),
                     exponent + field - kExponentBias};
}

inline WideFloat Widen(double value) {
#if !KEM_MODEL_SMALL
    const std::uint64_t field = BitsOf(value) & kExponentMask;
    if (field != 0 && field != kExponentMask) {
        return NormalizeWide(value, 0);
    }
#endif
    return WidenSlowly(value);
}

// Rounds to a double: exact in the normal range, an infinity above it,
// a subnormal or zero (round to nearest, ties to even) below it.
inline double Narrow(WideFloat value) {
#if !KEM_MODEL_SMALL
    if (IsRegularWide(value) && value.exponent >= kMinNormalExponent &&
        value.exponent <= kExponentBias) {
        return DoubleFromBits(
            (BitsOf(value.significand) & ~kExponentMask) |
            (static_cast<std::uint64_t>(value.exponent + kExponentBias) << kFractionBits));
    }
#endif
    return NarrowSlowly(value);
}

// The product of two significands lies in [1, 4) and their quotient in
// (1/2, 2): one correctly rounded double operation, never out of range.
inline WideFloat MultiplyWide(WideFloat a, WideFloat b) {
#if !KEM_MODEL_SMALL
    if (IsRegularWide(a) && IsRegularWide(b)) {
        return NormalizeWide(a.significand * b.significand, a.exponent + b.exponent);
    }
#endif
    return MultiplyWideSlowly(a, b);
}

inline WideFloat DivideWide(WideFloat a, WideFloat b) {
#if !KEM_MODEL_SMALL
    if (IsRegularWide(a) && IsRegularWide(b)) {
        return NormalizeWide(a.significand / b.significand, a.exponent - b.exponent);
    }
#endif
    return DivideWideSlowly(a, b);
}

WideFloat SubtractWide(WideFloat a, WideFloat b);

bool IsNaNWide(WideFloat value);
bool IsNegativeWide(WideFloat value);  // sign bit set, zeros included
// value > bound for a finite positive double `bound`; false for NaN.
bool IsGreaterWide(WideFloat value, double bound);
