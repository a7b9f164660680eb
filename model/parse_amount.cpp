// ParseAmount: text to the nearest double, exact ties to the smaller magnitude.
//
// Step 1 lexes the text into a decimal significand D (its significant digits,
// at most kMaxDigits of them plus a sticky digit) and an exponent b with
// value = D * 10^b. Step 2 takes a fast path when D has at most 19 digits and
// |b| is small: one exact double operation, or exact 128-bit integer
// arithmetic. Step 3 rounds exactly with big integers otherwise.

#include <cassert>
#include <cstdint>

#include "big_integer.h"
#include "double_bits.h"
#include "uint128.h"
#include "number_text.h"
#include "power_of_five.h"

namespace {

// The exact decimal expansion of a midpoint between two adjacent doubles has
// at most 767 significant digits (the longest is near 2^-1074). Keeping 800
// digits and replacing everything beyond by one sticky nonzero digit cannot
// move the value across a midpoint, a double, or the overflow threshold:
// all of those are multiples of a unit of the 800th digit, and the true value
// and the truncated-plus-sticky value lie strictly between the same two
// neighbouring multiples.
constexpr int kMaxDigits = 800;

// Written exponents saturate here: from 5201 on their value no longer matters.
constexpr int kExponentLimit = 5200;

// 10^309 > DBL_MAX (about 1.8 * 10^308) and 10^-324 < 2^-1075 (half of the
// smallest subnormal, about 2.47 * 10^-324). A value in [10^(e-1), 10^e) with
// e above 310 is therefore an infinity and with e below -324 a zero, whatever
// its digits. The written rule (an adjusted exponent beyond +-5200) only ever
// decides values far outside these bounds.
constexpr int kOverflowDecimalExponent = 310;
constexpr int kUnderflowDecimalExponent = -324;

// 2^53 = 9007199254740992: every integer up to it is an exact double.
constexpr std::uint64_t kMaxExactInteger = 9007199254740992u;

// 10^0 ... 10^22 are exact doubles (5^22 < 2^53).
constexpr double kExactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                        1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr int kMaxExactPowerOfTen = 22;

struct DecimalNumber {
    bool negative;
    bool hasNumber;
    char digits[kMaxDigits + 1];  // significant digits, no leading or trailing zeros
    int count;                    // 0 for a zero
    std::int64_t exponent;        // value = 0.digits * 10^exponent
};

bool IsBlank(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

void AddDigit(DecimalNumber& number, char c, bool& sticky) {
    if (number.count == 0 && c == '0') {
        return;  // leading zeros are not significant
    }
    if (number.count < kMaxDigits) {
        number.digits[number.count++] = c;
    } else if (c != '0') {
        sticky = true;
    }
}

// Reads the written exponent after its marker; returns how many characters it
// used, 0 when the marker is not followed by digits (the number then ends
// before the marker).
std::size_t ReadExponent(std::string_view text, std::size_t pos, std::int64_t& exponent) {
    std::size_t i = pos;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i >= text.size() || !IsDigit(text[i])) {
        return 0;
    }
    std::int64_t magnitude = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        if (magnitude <= kExponentLimit) {
            magnitude = magnitude * 10 + (text[i] - '0');
        }
    }
    if (magnitude > kExponentLimit) {
        magnitude = kExponentLimit + 1;
    }
    exponent = negative ? -magnitude : magnitude;
    return i - pos;
}

// Step 1: the syntax, without rounding anything.
void LexNumber(std::string_view text, DecimalNumber& number) {
    number.negative = false;
    number.hasNumber = false;
    number.count = 0;
    number.exponent = 0;

    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) {
        ++i;
    }
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        number.negative = text[i] == '-';
        ++i;
    }
    bool sticky = false;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        number.hasNumber = true;
        AddDigit(number, text[i], sticky);
        if (number.count > 0) {
            ++number.exponent;  // one more integer digit
        }
    }
    if (i < text.size() && text[i] == '.') {
        for (++i; i < text.size() && IsDigit(text[i]); ++i) {
            number.hasNumber = true;
            if (number.count == 0 && text[i] == '0') {
                --number.exponent;  // a zero between the point and the first significant digit
            }
            AddDigit(number, text[i], sticky);
        }
    }
    if (!number.hasNumber) {
        return;
    }
    if (i < text.size()) {
        const char marker = text[i];
        if (marker == 'e' || marker == 'E' || marker == 'd' || marker == 'D') {
            std::int64_t written = 0;
            if (ReadExponent(text, i + 1, written) > 0) {
                number.exponent += written;
            }
        }
    }
    if (sticky) {
        // Nonzero digits were dropped: the kept zeros are not trailing ones.
        number.digits[number.count++] = '1';
        return;
    }
    while (number.count > 0 && number.digits[number.count - 1] == '0') {
        --number.count;
    }
}

// D as an integer, for D of at most 19 digits (below 10^19 < 2^64).
std::uint64_t SmallSignificand(const DecimalNumber& number) {
    std::uint64_t d = 0;
    for (int i = 0; i < number.count; ++i) {
        d = d * 10 + static_cast<std::uint64_t>(number.digits[i] - '0');
    }
    return d;
}

// 5^k < 2^63 for k <= 27: the largest powers that fit a 64-bit divisor.
constexpr int kMaxFivePower = 27;

std::uint64_t PowerOfFive(int k) {
    std::uint64_t power = 1;
    for (int i = 0; i < k; ++i) {
        power *= 5;
    }
    return power;
}

// The double nearest x * 2^e, where `sticky` says that the true value lies
// strictly above x * 2^e (by less than 2^e). Ties go to the smaller
// magnitude: the rounding bit alone, with nothing below it, stays.
double RoundScaled(Uint128 x, bool sticky, int e) {
    const int length = BitLength128(x);
    if (length <= 53) {
        return DoubleFromBits(BitsFromSignificand(x.low, e));  // exact (sticky is never set here)
    }
    // Keep the top 53 bits; the next one is the rounding bit, and any 1
    // below it (or the sticky flag) makes the rest more than half a unit.
    const int shift = length - 53;
    std::uint64_t kept;
    bool roundBit;
    bool rest = sticky;
    if (shift < 64) {
        kept = (x.low >> shift) | (x.high << (64 - shift));
        roundBit = ((x.low >> (shift - 1)) & 1) != 0;
        rest = rest || (x.low & ((std::uint64_t{1} << (shift - 1)) - 1)) != 0;
    } else {
        const int highShift = shift - 64;
        kept = x.high >> highShift;
        if (highShift == 0) {
            roundBit = (x.low >> 63) != 0;
            rest = rest || (x.low << 1) != 0;
        } else {
            roundBit = ((x.high >> (highShift - 1)) & 1) != 0;
            rest =
                rest || (x.high & ((std::uint64_t{1} << (highShift - 1)) - 1)) != 0 || x.low != 0;
        }
    }
    const std::uint64_t m = roundBit && rest ? kept + 1 : kept;
    return DoubleFromBits(BitsFromSignificand(m, e + shift));
}

// Step 2, the fast paths, for D below 2^64 (at most 19 digits) and |b| <= 27.
//
// 2a. D <= 2^53 and |b| <= 22: D and 10^|b| are exact doubles. IEEE division
// rounds correctly, and D / 10^k is never a tie: it is a dyadic fraction
// only when 5^k divides D, and then (D / 5^k) / 2^k has at most 53
// significant bits and is exact. A product D * 10^k that stays below 2^53 is
// exact.
//
// 2b. Otherwise in integers: D * 10^b = (D * 5^b) * 2^b with D * 5^b an exact
// 128-bit product; D / 10^k = (D * 2^s / 5^k) * 2^(-s-k) with s chosen so
// that the quotient has 55 or 56 bits, the remainder telling whether the
// value lies above it.
bool TryFastPath(const DecimalNumber& number, std::int64_t b, double& result) {
    if (number.count > 19 || b < -kMaxFivePower || b > kMaxFivePower) {
        return false;
    }
    const std::uint64_t d = SmallSignificand(number);
    const int k = static_cast<int>(b < 0 ? -b : b);
    if (d <= kMaxExactInteger && k <= kMaxExactPowerOfTen) {
        if (b <= 0) {
            result = static_cast<double>(d) / kExactPowersOfTen[k];
            return true;
        }
        // 10^15 < 2^53 < 10^16: only k <= 15 leaves room for a product below 2^53.
        if (k <= 15 && d <= kMaxExactInteger / (PowerOfFive(k) << k)) {
            result = static_cast<double>(d) * kExactPowersOfTen[k];
            return true;
        }
    }
    const std::uint64_t fivePower = PowerOfFive(k);
    if (b >= 0) {
        result = RoundScaled(Multiply64(d, fivePower), false, k);
        return true;
    }
    const int fiveBits = 64 - CountLeadingZeros64(fivePower);
    const int dBits = 64 - CountLeadingZeros64(d);
    int s = 55 - dBits + fiveBits;
    if (s < 0) {
        s = 0;  // D is already 55 bits longer than 5^k
    }
    // D * 2^s < 2^(55 + fiveBits), so its high half is below 5^k.
    std::uint64_t remainder;
    const std::uint64_t q = Divide128(ShiftLeft128(Uint128{0, d}, s), fivePower, remainder);
    result = RoundScaled(Uint128{0, q}, remainder != 0, -s - k);
    return true;
}

// Step 2c, for D below 2^64 and a value well inside the normal range whose
// exponent is too large for 2b. With w = D shifted up to 64 bits and T the
// 128-bit approximation of 5^b, H = floor(w * T / 2^64) lies within two
// units of the exact scaled value (T is within one unit of 5^b, w < 2^64).
// The rounding is then decided by H unless H lies within those two units of
// a rounding boundary, where the exact path decides. No value here is a tie
// or exact in 53 bits: with |b| > 27 the odd part of D * 10^b has 5^b in it
// (more than 53 bits) or 5^-b would have to divide D < 2^64.
constexpr int kMinApproximatedDecimalExponent = -306;  // 10^-307 > DBL_MIN
constexpr int kMaxApproximatedDecimalExponent = 308;   // 10^308 < DBL_MAX

bool TryApproximatePath(const DecimalNumber& number, std::int64_t b, double& result) {
    if (number.count > 19 || number.exponent < kMinApproximatedDecimalExponent ||
        number.exponent > kMaxApproximatedDecimalExponent) {
        return false;
    }
    const PowerOfFive128& power = ApproximatePowerOfFive(static_cast<int>(b));
    const std::uint64_t d = SmallSignificand(number);
    const int lz = CountLeadingZeros64(d);
    const std::uint64_t w = d << lz;
    const Uint128 upper = Multiply64(w, power.high);
    const Uint128 lower = Multiply64(w, power.low);
    Uint128 h{upper.high, upper.low + lower.high};
    if (h.low < lower.high) {
        ++h.high;
    }
    // H has 127 or 128 bits: 53 are kept, then the rounding bit, then the
    // rest, which is all of h.low and the lowest 9 or 10 bits of h.high.
    const int restBitsInHigh = BitLength128(h) - 53 - 1 - 64;
    const std::uint64_t mask = (std::uint64_t{1} << restBitsInHigh) - 1;
    const std::uint64_t rest = h.high & mask;
    const std::uint64_t allOnes = ~std::uint64_t{0};
    if ((rest == 0 && h.low <= 2) || (rest == mask && h.low >= allOnes - 2)) {
        return false;  // too close to a boundary to tell
    }
    // Not a tie and not exact: a set rounding bit means more than half.
    result = RoundScaled(h, true, 64 - lz + power.exponent + static_cast<int>(b));
    return true;
}

// Step 3, the exact path, for a value in [10^-325, 10^310]. With V = D * 10^b
// = N / M in integers, find the binary exponent u of the last place kept
// (u = E - 52 for V in [2^E, 2^(E+1)), at least -1074), divide to get
// q = floor(V / 2^(u-1)) of at most 55 bits, whose lowest bit is the rounding
// bit; the remainder tells a tie from more than half.
double RoundExactly(const DecimalNumber& number, std::int64_t b) {
    BigInteger numerator, denominator;
    SetBigInteger(numerator, 0);
    for (int i = 0; i < number.count; ++i) {
        MultiplyAddSmall(numerator, 10, static_cast<std::uint32_t>(number.digits[i] - '0'));
    }
    SetBigInteger(denominator, 1);
    if (b >= 0) {
        MultiplyByPowerOfTen(numerator, static_cast<int>(b));
    } else {
        MultiplyByPowerOfTen(denominator, static_cast<int>(-b));
    }

    // 2^E <= N/M < 2^(E+1): E is bitlen(N) - bitlen(M) or one less.
    int e = BitLength(numerator) - BitLength(denominator);
    {
        BigInteger scaledN = numerator;
        BigInteger scaledM = denominator;
        if (e >= 0) {
            ShiftLeft(scaledM, e);
        } else {
            ShiftLeft(scaledN, -e);
        }
        if (CompareBig(scaledN, scaledM) < 0) {
            --e;
        }
    }
    int u = e - 52;
    if (u < -1074) {
        u = -1074;
    }
    // q = floor(N * 2^(1-u) / M): scale whichever side keeps the integers whole.
    if (u - 1 < 0) {
        ShiftLeft(numerator, 1 - u);
    } else {
        ShiftLeft(denominator, u - 1);
    }
    // Restoring long division for the 55 bits of q: compare the remainder
    // with the divisor times 2^54, doubling the remainder each step.
    ShiftLeft(denominator, 54);
    std::uint64_t q = 0;
    for (int bit = 54; bit >= 0; --bit) {
        q <<= 1;
        if (CompareBig(numerator, denominator) >= 0) {
            SubtractBig(numerator, denominator);
            q |= 1;
        }
        ShiftLeft(numerator, 1);
    }
    const bool roundBit = (q & 1) != 0;
    const bool moreThanHalf = roundBit && !IsZero(numerator);
    std::uint64_t m = q >> 1;
    if (moreThanHalf) {
        ++m;  // an exact tie (round bit alone) stays at the smaller magnitude
    }
    return DoubleFromBits(BitsFromSignificand(m, u));
}

}  // namespace

double ParseAmount(std::string_view text) {
    DecimalNumber number;
    LexNumber(text, number);
    if (!number.hasNumber) {
        return 0.0;  // a lone sign is no number, and no number is +0
    }
    const std::uint64_t signBit = number.negative ? kSignBit : 0;
    if (number.count == 0) {
        return DoubleFromBits(signBit);  // all digits zero: a zero of the written sign
    }
    // value = D * 10^b with D the digits as an integer.
    const std::int64_t b = number.exponent - number.count;
    double magnitude;
    if (number.exponent > kOverflowDecimalExponent) {
        magnitude = DoubleFromBits(kInfinityBits);
    } else if (number.exponent < kUnderflowDecimalExponent) {
        magnitude = 0.0;
    } else if (!TryFastPath(number, b, magnitude) && !TryApproximatePath(number, b, magnitude)) {
        magnitude = RoundExactly(number, b);
    }
    return DoubleFromBits(BitsOf(magnitude) | signBit);
}
