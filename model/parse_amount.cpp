// ParseAmount: text to the nearest double, exact ties to the smaller magnitude.
//
// Step 1 lexes the text into a decimal significand D (its significant digits,
// at most kMaxDigits of them plus a sticky digit) and an exponent b with
// value = D * 10^b. Step 2 takes the fast path when D and 10^|b| are exact
// doubles; step 3 rounds exactly with big integers otherwise.

#include <cassert>
#include <cstdint>

#include "big_integer.h"
#include "double_bits.h"
#include "number_text.h"

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

// The 128-bit product a * b of two values below 2^64, as high and low halves.
void Multiply64(std::uint64_t a, std::uint64_t b, std::uint64_t& high, std::uint64_t& low) {
    const std::uint64_t aLow = a & 0xFFFFFFFFu, aHigh = a >> 32;
    const std::uint64_t bLow = b & 0xFFFFFFFFu, bHigh = b >> 32;
    const std::uint64_t lowLow = aLow * bLow;
    const std::uint64_t highLow = aHigh * bLow;
    const std::uint64_t lowHigh = aLow * bHigh;
    const std::uint64_t highHigh = aHigh * bHigh;
    const std::uint64_t middle = (lowLow >> 32) + (highLow & 0xFFFFFFFFu) + (lowHigh & 0xFFFFFFFFu);
    low = (middle << 32) | (lowLow & 0xFFFFFFFFu);
    high = highHigh + (highLow >> 32) + (lowHigh >> 32) + (middle >> 32);
}

// Step 2, the fast path. D <= 2^53 and |b| <= 22, so D and 10^|b| are exact.
// D / 10^k: IEEE division rounds correctly, and the quotient is never a tie:
// it is a dyadic fraction only when 5^k divides D, and then D / 10^k =
// (D / 5^k) / 2^k has at most 53 significant bits and is exact. D * 10^k can
// be a tie, so it is rounded here in integers: D * 5^k < 2^53 * 2^52 is an
// exact 128-bit product, rounded to 53 bits with ties down, times 2^k.
bool TryFastPath(const DecimalNumber& number, std::int64_t b, double& result) {
    if (number.count > 19 || b < -kMaxExactPowerOfTen || b > kMaxExactPowerOfTen) {
        return false;
    }
    const std::uint64_t d = SmallSignificand(number);
    if (d > kMaxExactInteger) {
        return false;
    }
    if (b <= 0) {
        result = static_cast<double>(d) / kExactPowersOfTen[-b];
        return true;
    }
    std::uint64_t fivePower = 1;
    for (int i = 0; i < b; ++i) {
        fivePower *= 5;
    }
    std::uint64_t high, low;
    Multiply64(d, fivePower, high, low);
    // Shift the 128-bit product right until it is below 2^53. The last bit
    // shifted out is the rounding bit; any 1 below it makes the rest more
    // than half a unit, and the rounding bit alone is a tie, which stays.
    int shift = 0;
    bool roundBit = false, sticky = false;
    while (high != 0 || low >= kMaxExactInteger) {
        sticky = sticky || roundBit;
        roundBit = (low & 1) != 0;
        low = (low >> 1) | (high << 63);
        high >>= 1;
        ++shift;
    }
    if (roundBit && sticky) {
        ++low;
    }
    result = DoubleFromBits(BitsFromSignificand(low, static_cast<int>(b) + shift));
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
    } else if (!TryFastPath(number, b, magnitude)) {
        magnitude = RoundExactly(number, b);
    }
    return DoubleFromBits(BitsOf(magnitude) | signBit);
}
