#include "wide_float.h"

#include "double_bits.h"

namespace {

// The exponent field of a double in [1, 2).
constexpr std::uint64_t kUnitField = std::uint64_t{kExponentBias} << kFractionBits;

bool IsFiniteNonzero(double value) {
    const std::uint64_t bits = BitsOf(value);
    return (bits & kExponentMask) != kExponentMask && (bits & ~kSignBit) != 0;
}

// 2^k for -1022 <= k <= 1023, built from its bits.
double PowerOfTwo(int k) {
    return DoubleFromBits(static_cast<std::uint64_t>(kExponentBias + k) << kFractionBits);
}

WideFloat Special(double value) {
    return WideFloat{value, 0};
}

// The result of an operation with a zero, infinite or NaN operand follows
// from the operands' classes and signs alone, so plain double arithmetic on
// the significands (which keep class and sign) gives it. A NaN operand is
// passed on; a NaN made here is the one of invalid arithmetic, fixed to its
// x86 bits so that every platform shows the same text for it.
WideFloat FinishSpecial(double result) {
    return Special(IsNaNBits(BitsOf(result)) ? DoubleFromBits(kInvalidNaNBits) : result);
}

bool PassNaN(WideFloat a, WideFloat b, WideFloat& result) {
    if (IsNaNWide(a)) {
        result = a;
        return true;
    }
    if (IsNaNWide(b)) {
        result = b;
        return true;
    }
    return false;
}

}  // namespace

WideFloat WidenSlowly(double value) {
    if (!IsFiniteNonzero(value)) {
        return Special(value);
    }
    std::uint64_t bits = BitsOf(value);
    if ((bits & kExponentMask) != 0) {
        return NormalizeWide(value, 0);
    }
    // Subnormal: m * 2^-1074 with m < 2^52; shift m up to the hidden bit.
    const int shift = CountLeadingZeros64(bits & kFractionMask) - (64 - kSignificandBits);
    const std::uint64_t m = (bits & kFractionMask) << shift;
    const int exponent = kMinNormalExponent - shift;
    const double significand = DoubleFromBits((bits & kSignBit) | kUnitField | (m & kFractionMask));
    return WideFloat{significand, exponent};
}

double NarrowSlowly(WideFloat value) {
    if (!IsFiniteNonzero(value.significand)) {
        return value.significand;
    }
    const std::uint64_t bits = BitsOf(value.significand);
    const std::uint64_t sign = bits & kSignBit;
    const int e = value.exponent;
    if (e > kExponentBias) {
        return DoubleFromBits(sign | kInfinityBits);
    }
    if (e >= kMinNormalExponent) {
        return DoubleFromBits((bits & ~kExponentMask) |
                              (static_cast<std::uint64_t>(e + kExponentBias) << kFractionBits));
    }
    // Subnormal: m * 2^(e-52) rounded to a multiple of 2^-1074, ties to even.
    const std::uint64_t m = (bits & kFractionMask) | kHiddenBit;
    const int shift = kMinNormalExponent - e;  // >= 1
    if (shift > 54) {
        return DoubleFromBits(sign);  // below a quarter of the smallest subnormal
    }
    std::uint64_t q = m >> shift;
    const std::uint64_t remainder = m & ((std::uint64_t{1} << shift) - 1);
    const std::uint64_t half = std::uint64_t{1} << (shift - 1);
    if (remainder > half || (remainder == half && (q & 1) != 0)) {
        ++q;  // q may reach 2^52, the bits of the smallest normal
    }
    return DoubleFromBits(sign | q);
}

WideFloat MultiplyWideSlowly(WideFloat a, WideFloat b) {
    WideFloat result;
    if (PassNaN(a, b, result)) {
        return result;
    }
    if (IsFiniteNonzero(a.significand) && IsFiniteNonzero(b.significand)) {
        // The product of two significands lies in [1, 4): no overflow, no
        // underflow, one rounding.
        return NormalizeWide(a.significand * b.significand, a.exponent + b.exponent);
    }
    return FinishSpecial(a.significand * b.significand);
}

WideFloat DivideWideSlowly(WideFloat a, WideFloat b) {
    WideFloat result;
    if (PassNaN(a, b, result)) {
        return result;
    }
    if (IsFiniteNonzero(a.significand) && IsFiniteNonzero(b.significand)) {
        // The quotient lies in (1/2, 2).
        return NormalizeWide(a.significand / b.significand, a.exponent - b.exponent);
    }
    return FinishSpecial(a.significand / b.significand);
}

WideFloat SubtractWide(WideFloat a, WideFloat b) {
    WideFloat result;
    if (PassNaN(a, b, result)) {
        return result;
    }
    const bool aRegular = IsFiniteNonzero(a.significand);
    const bool bRegular = IsFiniteNonzero(b.significand);
    if (aRegular && bRegular) {
        const int difference = a.exponent - b.exponent;
        // When the exponents are more than 64 apart, the smaller operand is
        // below a quarter of the larger's last place and the larger one is
        // the correctly rounded result.
        if (difference > 64) {
            return a;
        }
        if (difference < -64) {
            return WideFloat{-b.significand, b.exponent};
        }
        // Align both to the smaller exponent: scaling by at most 2^64 is
        // exact, and the difference is then one correctly rounded operation.
        const int base = difference >= 0 ? b.exponent : a.exponent;
        const double x = a.significand * PowerOfTwo(a.exponent - base);
        const double y = b.significand * PowerOfTwo(b.exponent - base);
        const double d = x - y;
        if (d == 0.0) {
            return Special(0.0);  // exact cancellation gives +0
        }
        return NormalizeWide(d, base);
    }
    if (aRegular && b.significand == 0.0) {
        return a;
    }
    if (bRegular && a.significand == 0.0) {
        return WideFloat{-b.significand, b.exponent};
    }
    return FinishSpecial(a.significand - b.significand);
}

bool IsNaNWide(WideFloat value) {
    return IsNaNBits(BitsOf(value.significand));
}

bool IsNegativeWide(WideFloat value) {
    return (BitsOf(value.significand) & kSignBit) != 0;
}

bool IsGreaterWide(WideFloat value, double bound) {
    if (IsNaNWide(value) || IsNegativeWide(value) || value.significand == 0.0) {
        return false;
    }
    if (!IsFiniteNonzero(value.significand)) {
        return true;  // +infinity
    }
    const WideFloat limit = Widen(bound);
    if (value.exponent != limit.exponent) {
        return value.exponent > limit.exponent;
    }
    return value.significand > limit.significand;
}
