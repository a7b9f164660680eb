// ParseAmount: text to the nearest double, exact ties to the smaller magnitude.
//
// Step 1 lexes the text in one pass: the sign, the decimal exponent of the
// point, and the first 19 significant digits straight into a 64-bit integer
// w, so that value = w * 10^q. Step 2 rounds such a w without big integers:
// one exact double operation when w and 10^|q| are exact doubles, otherwise
// one 64x128-bit product with a power of five, which decides the rounding
// unless the value lies within the product's error of a halfway point.
// Step 3 rounds exactly with big integers: texts with more significant
// digits, and the rare values step 2 cannot tell from a halfway point (ties
// among them).
//
// Built for speed, the digits are read by plain loops whose branches the
// processor predicts, not by branch-free arithmetic on whole words. Measured
// on an AMD EPYC, finding where a run of digits ends (or where the point is)
// by bit tricks on words makes everything after it wait for that answer,
// while a loop lets the processor run ahead on its guess, and it guesses
// well; only runs of eight digits are taken a word at a time.

#include <cstdint>
#include <cstring>

#include "big_integer.h"
#include "model_build.h"
#include "byte_words.h"
#include "double_bits.h"
#include "amount_reading.h"
#include "number_text.h"
#include "power_of_five.h"
#include "small_powers.h"
#include "uint128.h"

namespace {

// The exact decimal expansion of a midpoint between two adjacent doubles has
// at most 768 significant digits: the longest are (2m + 1) * 2^-1075 with
// 2m + 1 just below 2^54, whose 5^1075 * (2m + 1) has 768 digits (for
// example (2^53 + 1) * 2^-1075). Keeping 800 digits and replacing everything
// beyond by one sticky nonzero digit cannot move the value across a
// midpoint, a double, or the overflow threshold: each of those within the
// value's decade is a multiple of a unit of the 800th digit (they have fewer
// digits), and the true value and the truncated-plus-sticky value lie
// strictly between the same two neighbouring multiples.
constexpr int kMaxDigits = 800;

// Written exponents saturate here: from 5201 on their value no longer matters.
constexpr int kExponentLimit = 5200;

// A value in [10^(e-1), 10^e) with e above 309 is at least 10^309 > DBL_MAX
// (about 1.8 * 10^308) and so an infinity; with e below -323 it is below
// 10^-324 < 2^-1075 (half the smallest subnormal, about 2.47 * 10^-324) and
// so a zero, whatever its digits. This magnitude rule and the written rule
// (an adjusted exponent beyond +-5200 gives an infinity or a zero) agree for
// every text of fewer than 4,878 significant digits: a text whose adjusted
// exponent is below -5200 and whose value still reaches 10^-324 needs at
// least 5201 - 323 = 4,878 of them. Above +5200 the value is far beyond
// 10^309 anyway.
constexpr int kOverflowDecimalExponent = 309;
constexpr int kUnderflowDecimalExponent = -323;

// Significands of at most 19 digits stay below 10^19 < 2^64.
constexpr int kMaxFastDigits = 19;
static_assert(kOverflowDecimalExponent - 1 <= kMaxPowerOfFive, "the table reaches the top");

// 2^53 = 9007199254740992: every integer up to it is an exact double.
constexpr std::uint64_t kMaxExactInteger = std::uint64_t{1} << kSignificandBits;

// 10^0 ... 10^22 are exact doubles (5^22 < 2^53).
constexpr double kExactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                        1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr int kMaxExactPowerOfTen = 22;

// How the part of a value below its last kept bit compares with half a unit
// of that bit.
enum class Remainder { kBelowHalf, kHalf, kAboveHalf };

// The one rounding decision of every path: nearest, and a value exactly
// halfway between two doubles goes to the one of smaller magnitude.
bool RoundsAwayFromZero(Remainder remainder) {
    return remainder == Remainder::kAboveHalf;
}

struct LexedNumber {
    bool negative = false;
    bool hasNumber = false;
    std::uint64_t significand = 0;  // w: the first kMaxFastDigits significant digits
    int count = 0;                  // significant digits, trailing zeros included; 0 for a zero
    std::int64_t exponent = 0;      // value = 0.d1d2d3... * 10^exponent
    std::size_t mantissaBegin = 0;  // where the digits and the point start
    std::size_t mantissaEnd = 0;
    std::size_t end = 0;  // where the number ends, its exponent included; 0 without a number
};

bool IsDigit(char c) {
    return static_cast<unsigned char>(c - '0') <= 9;
}

#if !KEM_MODEL_SMALL
// The value of a word of eight digit values (0 to 9 per byte), the lowest
// byte the most significant digit, by combining neighbours in place: bytes
// into pairs (10a + b <= 99), pairs into fours (100p + q <= 9999), fours
// into the whole. No lane ever carries.
std::uint64_t CombineEightDigits(std::uint64_t v) {
    v = (v * 10 + (v >> 8)) & 0x00FF00FF00FF00FFu;
    v = (v * 100 + (v >> 16)) & 0x0000FFFF0000FFFFu;
    return (v & 0xFFFFFFFFu) * 10000 + (v >> 32);
}
#endif

// Reads a run of digits from `p` into w and returns where the run ends. w
// is only meaningful while the significant digits number at most
// kMaxFastDigits (beyond, it wraps around and the caller reads the text
// again); the caller counts digits from the pointers. One digit a step;
// built for speed, eight at a step first while eight digits follow (with x
// the bytes less '0', a byte is a digit when it is at most 9, and
// (x | (x + 0x76)) has its high bit set exactly for the others, as long as
// no byte before it borrowed or carried: so the test is exact for "all
// eight are digits").
inline const char* TakeDigits(const char* p, const char* end, std::uint64_t& significand) {
    // A local until the end: a store through the reference could alias the
    // text's bytes and would be repeated on every step.
    std::uint64_t w = significand;
#if !KEM_MODEL_SMALL
    while (end - p >= 8) {
        const std::uint64_t x = LoadUpToEightBytes(p, 8) - 0x3030303030303030u;
        if (((x | (x + 0x7676767676767676u)) & 0x8080808080808080u) != 0) {
            break;
        }
        w = w * 100000000u + CombineEightDigits(x);
        p += 8;
    }
#endif
    for (; p != end; ++p) {
        const unsigned digit = static_cast<unsigned char>(*p) - unsigned{'0'};
        if (digit > 9) {
            break;
        }
        w = w * 10 + digit;
    }
    significand = w;
    return p;
}

// Reads the written exponent that follows its marker at `p` into
// `exponent`, saturated at kExponentLimit + 1 in magnitude, and returns
// where it ends. A marker not followed by digits (after an optional sign)
// leaves `exponent` alone and returns null: the number then ends before the
// marker.
const char* ReadExponent(const char* p, const char* end, std::int64_t& exponent) {
    bool negative = false;
    if (p != end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    if (p == end || !IsDigit(*p)) {
        return nullptr;
    }
    int magnitude = 0;
    for (; p != end; ++p) {
        const unsigned digit = static_cast<unsigned char>(*p) - unsigned{'0'};
        if (digit > 9) {
            break;
        }
        if (magnitude <= kExponentLimit) {
            magnitude = magnitude * 10 + static_cast<int>(digit);
        }
    }
    if (magnitude > kExponentLimit) {
        magnitude = kExponentLimit + 1;
    }
    exponent += negative ? -magnitude : magnitude;
    return p;
}

// Step 1: the syntax, without rounding anything. Leading zeros are skipped;
// every digit from the first nonzero one on is significant, trailing zeros
// included (they change nothing but the count). Works on locals throughout:
// stores through a reference could alias the text's bytes.
KEM_BUILT_IN LexedNumber LexNumber(std::string_view text) {
    const char* const begin = text.data();
    const char* const end = begin + text.size();
    const char* p = begin;
    while (p != end && IsAmountBlank(*p)) {
        ++p;
    }
    bool negative = false;
    if (p != end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    const char* const mantissaBegin = p;
    while (p != end && *p == '0') {
        ++p;
    }
    std::uint64_t w = 0;
    const char* const integerBegin = p;
    p = TakeDigits(p, end, w);
    std::int64_t count = p - integerBegin;
    std::int64_t exponent = count;  // the integer digits
    bool hasNumber = p != mantissaBegin;
    if (p != end && *p == '.') {
        const char* const afterPoint = ++p;
        const char* fractionBegin = afterPoint;
        if (count == 0) {
            // Zeros between the point and the first significant digit.
            while (p != end && *p == '0') {
                ++p;
            }
            exponent -= p - fractionBegin;
            fractionBegin = p;
        }
        p = TakeDigits(p, end, w);
        count += p - fractionBegin;
        hasNumber = hasNumber || p != afterPoint;
    }
    LexedNumber number;
    number.negative = negative;
    number.hasNumber = hasNumber;
    number.significand = w;
    // Many digits only need to be told from few: the exact path counts again.
    number.count = count <= kMaxFastDigits ? static_cast<int>(count) : kMaxFastDigits + 1;
    number.mantissaBegin = static_cast<std::size_t>(mantissaBegin - begin);
    number.mantissaEnd = static_cast<std::size_t>(p - begin);
    number.end = hasNumber ? number.mantissaEnd : 0;
    // 'E' and 'D' are 'e' and 'd' less 0x20; no other byte is.
    if (hasNumber && p != end && ((*p | 0x20) == 'e' || (*p | 0x20) == 'd')) {
        const char* exponentEnd = ReadExponent(p + 1, end, exponent);
        if (exponentEnd != nullptr) {
            number.end = static_cast<std::size_t>(exponentEnd - begin);
        }
    }
    number.exponent = exponent;
    return number;
}

// The double m * 2^e for 0 <= m <= 2^53, where m * 2^e is exact in binary64
// or m < 2^52 with e = -1074 (a subnormal): the biased exponent field and the
// hidden bit add up, so a significand of exactly 2^52 or 2^53 carries into
// the exponent by itself. Returns the magnitude's bits (no sign); a result at
// or above 2^1024 gives the bits of infinity.
std::uint64_t BitsFromSignificand(std::uint64_t m, int e) {
    if (m == 0) {
        return 0;
    }
    // Normalise to m in [2^52, 2^53) unless that would go below 2^-1074.
    if (m < kHiddenBit) {
        int shift = CountLeadingZeros64(m) - (64 - kSignificandBits);
        if (shift > e - kSubnormalExponent) {
            shift = e - kSubnormalExponent;
        }
        m <<= shift;
        e -= shift;
    }
    if (e + kFractionBits > kExponentBias) {
        return kInfinityBits;
    }
    const std::uint64_t bits =
        (static_cast<std::uint64_t>(e - kSubnormalExponent) << kFractionBits) + m;
    return bits >= kInfinityBits ? kInfinityBits : bits;
}

// Step 2a: w and 10^|q| are both exact doubles. IEEE division rounds
// correctly, and w / 10^k is never a tie: it is a dyadic fraction only when
// 5^k divides w, and then (w / 5^k) / 2^k has at most 53 significant bits
// and is exact. A product w * 10^k is taken only when w * 5^k stays within
// 2^53, where it is exact; the product path decides the others exactly.
bool TryExactDoublePath(std::uint64_t w, int q, double& result) {
    if (w > kMaxExactInteger || q < -kMaxExactPowerOfTen || q >= kMaxFastDigits) {
        return false;
    }
    // w <= 2^53 fits a signed conversion, which is one instruction.
    const double exact = static_cast<double>(static_cast<std::int64_t>(w));
    if (q <= 0) {
        result = exact / kExactPowersOfTen[-q];
        return true;
    }
    const Uint128 odd = Multiply64(w, kPowersOfFive64.value[q]);  // 10^q = 5^q * 2^q
    if (odd.high != 0 || odd.low > kMaxExactInteger) {
        return false;
    }
    result = exact * kExactPowersOfTen[q];
    return true;
}

// The double nearest x * 2^e for a value in the normal range.
double RoundScaledInteger(std::uint64_t x, int e) {
    const int length = BitWidth64(x);
    if (length <= kSignificandBits) {
        return DoubleFromBits(BitsFromSignificand(x, e));  // exact
    }
    const int shift = length - kSignificandBits;
    const std::uint64_t halfUnit = std::uint64_t{1} << (shift - 1);
    const std::uint64_t rest = x & ((halfUnit << 1) - 1);
    const Remainder remainder = rest < halfUnit    ? Remainder::kBelowHalf
                                : rest == halfUnit ? Remainder::kHalf
                                                   : Remainder::kAboveHalf;
    const std::uint64_t m = x >> shift;
    return DoubleFromBits(
        BitsFromSignificand(RoundsAwayFromZero(remainder) ? m + 1 : m, e + shift));
}

// A value w * 10^q with q < 0 is a double or a midpoint between two only
// when 5^-q divides w: then it is the integer w / 5^-q times 2^q, rounded
// here exactly. Other values near a midpoint are left to step 3.
bool TryExactQuotient(std::uint64_t w, int q, double& result) {
    if (q >= 0 || q < -kMaxPowerOfFive64) {
        return false;
    }
    const std::uint64_t power = kPowersOfFive64.value[-q];
    if (w % power != 0) {
        return false;
    }
    result = RoundScaledInteger(w / power, q);
    return true;
}

// Step 2b: with W = w * 2^lz in [2^63, 2^64) and T the table's 128 bits of
// 5^q, the exact value is Y * 2^s with Y = W * T' / 2^64, where T' is the
// exact scaled power, s = q - lz + FloorLog2PowerOfFive(q) - 63, and
// 2^126 <= Y < 2^128. The product W * T is exact in 192 bits; H is its top
// 128 bits and r the low 64, so W * T = H * 2^64 + r.
//
// For 0 <= q <= 55, T = T' and Y = H + r / 2^64 exactly: the rounding is
// decided exactly, ties included. Otherwise T is within one unit of T', so
// W * T is within W < 2^64 of W * T', and Y lies in (H - 1, H + 2). Then the
// rounding follows from H unless that interval reaches a multiple of half a
// unit in the last place (a midpoint or a double): those are settled by
// dividing out the power of five where that is exact, otherwise by step 3.
// Results below the smallest normal double are left to step 3 as well.
constexpr int kMaxExactPowerOfFive = 55;  // 5^55 < 2^128

KEM_OUT_OF_LINE bool TryProductPathFully(std::uint64_t w, int q, double& result) {
    const std::uint64_t* t = kPowersOfFive[q - kMinPowerOfFive];
    const int lz = CountLeadingZeros64(w);
    const std::uint64_t scaled = w << lz;
    // H = W * T_high + floor(W * T_low / 2^64), the second term below 2^64:
    // it moves H's high word by a carry at most. While the bits of that word
    // below the rounding bit stay clear of 0 and of all ones, such a carry
    // changes neither the rounding nor the edge tests below, and the second
    // product is not needed (and r is never looked at).
    Uint128 h = Multiply64(scaled, t[0]);
    std::uint64_t r = 0;
    const std::uint64_t firstMask = (std::uint64_t{1} << (9 + (h.high >> 63))) - 1;
    if ((h.high & firstMask) - 1 >= firstMask - 2) {
        const Uint128 lower = Multiply64(scaled, t[1]);
        h.low += lower.high;
        if (h.low < lower.high) {
            ++h.high;
        }
        r = lower.low;
    }

    // H has 127 or 128 bits, so Y's leading bit weighs 2^e with e below.
    const int topBit = static_cast<int>(h.high >> 63);
    const int e = 126 + topBit + q - lz + FloorLog2PowerOfFive(q) - 63;
    if (e < kMinNormalExponent) {
        return false;  // a subnormal or zero: rare, left to step 3
    }
    // A normal result keeps 53 bits: H = m * 2^shift + roundBit *
    // 2^(shift - 1) + below with shift = 74 + topBit, below held as its part
    // in h.high (under `mask`) and all of h.low.
    const int highShift = 10 + topBit;
    const std::uint64_t m = h.high >> highShift;
    const std::uint64_t roundBit = (h.high >> (highShift - 1)) & 1;
    const std::uint64_t mask = (std::uint64_t{1} << (highShift - 1)) - 1;
    const std::uint64_t belowHigh = h.high & mask;

    // Y lies in (H - 1, H + 2). When below is at least 1 and at most
    // 2^(shift - 1) - 2, that interval sits strictly inside one cell between
    // neighbouring multiples of half a unit, so the rounding bit alone tells
    // a value below the midpoint from one above it.
    Remainder remainder = roundBit == 0 ? Remainder::kBelowHalf : Remainder::kAboveHalf;
    const bool nearLowerEdge = belowHigh == 0 && h.low == 0;
    const bool nearUpperEdge = belowHigh == mask && h.low == ~std::uint64_t{0};
    if (nearLowerEdge || nearUpperEdge) {
        if (q < 0 || q > kMaxExactPowerOfFive) {
            return TryExactQuotient(w, q, result);
        }
        // Exact: Y = H + r / 2^64, so the rest below the rounding bit is
        // zero only when below and r are.
        if (roundBit != 0 && belowHigh == 0 && h.low == 0 && r == 0) {
            remainder = Remainder::kHalf;
        }
    }
    // m in [2^52, 2^53): the exponent field is e + 1023, and a rounding
    // carry to 2^53 moves into it by itself; past the largest finite
    // exponent the bits reach those of infinity.
    const std::uint64_t rounded = RoundsAwayFromZero(remainder) ? m + 1 : m;
    const std::uint64_t bits =
        (static_cast<std::uint64_t>(e + kExponentBias - 1) << kFractionBits) + rounded;
    result = DoubleFromBits(bits < kInfinityBits ? bits : kInfinityBits);
    return true;
}

// Step 2b as nearly every value takes it: when the bits of H's high word
// below the rounding bit are neither 0, 1 short of all ones, nor all ones,
// the second product could only carry into them, no edge is near, and the
// rounding bit alone decides. A normal result below the top binade (where
// rounding up could reach infinity) is then one shift and one addition
// away. The rest (and, built for size, everything) goes the whole way
// above.
KEM_BUILT_IN bool TryProductPath(std::uint64_t w, int q, std::uint64_t& bits) {
#if !KEM_MODEL_SMALL
    const int lz = CountLeadingZeros64(w);
    const Uint128 h = Multiply64(w << lz, kPowersOfFive[q - kMinPowerOfFive][0]);
    const int topBit = static_cast<int>(h.high >> 63);
    const int e = 126 + topBit + q - lz + FloorLog2PowerOfFive(q) - 63;
    const std::uint64_t below = (std::uint64_t{1} << (9 + topBit)) - 1;
    if ((h.high & below) - 1 < below - 2 && e >= kMinNormalExponent && e < kExponentBias) {
        // m * 2 + roundBit, plus one, halved: m, or m + 1 above the midpoint.
        const std::uint64_t rounded = ((h.high >> (9 + topBit)) + 1) >> 1;
        bits = (static_cast<std::uint64_t>(e + kExponentBias - 1) << kFractionBits) + rounded;
        return true;
    }
#endif
    double result;
    if (!TryProductPathFully(w, q, result)) {
        return false;
    }
    bits = BitsOf(result);
    return true;
}

// Step 3, the exact path, for D * 10^b in [10^-324, 10^309). With V = N / M
// in integers, find the binary exponent u of the last place kept (u = E - 52
// for V in [2^E, 2^(E+1)), at least -1074), divide to get q = floor(V /
// 2^(u-1)) of at most 55 bits, whose lowest bit is the rounding bit; the
// remainder tells a tie from more than half.
double RoundExactly(const BigInteger& digits, std::int64_t b) {
    BigInteger numerator = digits;
    BigInteger denominator;
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
    int u = e - kFractionBits;
    if (u < kSubnormalExponent) {
        u = kSubnormalExponent;
    }
    // q = floor(N * 2^(1-u) / M): scale whichever side keeps the integers whole.
    if (u - 1 < 0) {
        ShiftLeft(numerator, 1 - u);
    } else {
        ShiftLeft(denominator, u - 1);
    }
    // Restoring long division for the 55 bits of q: compare the remainder
    // with the divisor times 2^54, doubling the remainder each step.
    ShiftLeft(denominator, kSignificandBits + 1);
    std::uint64_t q = 0;
    for (int bit = kSignificandBits + 1; bit >= 0; --bit) {
        q <<= 1;
        if (CompareBig(numerator, denominator) >= 0) {
            SubtractBig(numerator, denominator);
            q |= 1;
        }
        ShiftLeft(numerator, 1);
    }
    const Remainder remainder = (q & 1) == 0        ? Remainder::kBelowHalf
                                : IsZero(numerator) ? Remainder::kHalf
                                                    : Remainder::kAboveHalf;
    const std::uint64_t m = RoundsAwayFromZero(remainder) ? (q >> 1) + 1 : q >> 1;
    return DoubleFromBits(BitsFromSignificand(m, u));
}

// The significant digits of a text with more than kMaxFastDigits of them, as
// a big integer: the first kMaxDigits, then a sticky 1 when a nonzero digit
// follows, trailing zeros dropped. Returns how many digits it holds.
int CollectManyDigits(std::string_view mantissa, BigInteger& digits) {
    SetBigInteger(digits, 0);
    int count = 0;     // digits in `digits`
    int position = 0;  // significant positions seen
    int zeros = 0;     // zeros waiting for a nonzero digit
    bool sticky = false;
    for (char c : mantissa) {
        if (c == '.' || (position == 0 && c == '0')) {
            continue;  // the point, or a leading zero
        }
        ++position;
        if (c == '0') {
            ++zeros;
        } else if (position <= kMaxDigits) {
            for (; zeros > 0; --zeros, ++count) {
                MultiplyAddSmall(digits, 10, 0);
            }
            MultiplyAddSmall(digits, 10, static_cast<std::uint32_t>(c - '0'));
            ++count;
        } else {
            sticky = true;
        }
    }
    if (sticky) {
        // Nonzero digits were dropped: the zeros up to the last kept position
        // are not trailing ones (count is the position of the last nonzero).
        while (count < kMaxDigits) {
            MultiplyAddSmall(digits, 10, 0);
            ++count;
        }
        MultiplyAddSmall(digits, 10, 1);
        ++count;
    }
    return count;
}

// Everything step 2 leaves: magnitudes decided by their decimal exponent,
// texts with many digits, and values near a rounding boundary. Rare, so the
// lexed number is copied into its call, and the common case keeps it in
// registers.
KEM_OUT_OF_LINE double RoundSlowly(std::string_view text, LexedNumber number) {
    if (number.exponent > kOverflowDecimalExponent) {
        return DoubleFromBits(kInfinityBits);
    }
    if (number.exponent < kUnderflowDecimalExponent) {
        return 0.0;
    }
    BigInteger digits;
    if (number.count > kMaxFastDigits) {
        const std::string_view mantissa(text.data() + number.mantissaBegin,
                                        number.mantissaEnd - number.mantissaBegin);
        const int count = CollectManyDigits(mantissa, digits);
        return RoundExactly(digits, number.exponent - count);
    }
    const std::uint64_t w = number.significand;
    const int q = static_cast<int>(number.exponent) - number.count;
    SetBigInteger(digits, w);
    return RoundExactly(digits, q);
}

// The bits of the magnitude of a number with a nonzero digit: the sign is
// added to them, not to a double, which would cost two moves between the
// processor's integer and floating-point registers on the way out.
KEM_BUILT_IN std::uint64_t RoundMagnitude(std::string_view text, const LexedNumber& number) {
    if (number.count <= kMaxFastDigits && number.exponent <= kOverflowDecimalExponent &&
        number.exponent - number.count >= kMinPowerOfFive) {
        // value = w * 10^q, q within the table.
        const int q = static_cast<int>(number.exponent) - number.count;
        double result;
        if (TryExactDoublePath(number.significand, q, result)) {
            return BitsOf(result);
        }
        std::uint64_t bits;
        if (TryProductPath(number.significand, q, bits)) {
            return bits;
        }
    }
    return BitsOf(RoundSlowly(text, number));
}

// Steps 1 to 3. Built into each entry point below, so that ParseAmount, the
// window's and kemcalc's hot call, pays for no call of its own.
KEM_BUILT_IN AmountReading ReadAmountFully(std::string_view text) {
    const LexedNumber number = LexNumber(text);
    AmountReading reading{0.0, number.end};
    if (!number.hasNumber) {
        return reading;  // a lone sign is no number, and no number is +0
    }
    const std::uint64_t signBit = number.negative ? kSignBit : 0;
    if (number.count == 0) {
        reading.value = DoubleFromBits(signBit);  // all digits zero: a zero of the written sign
        return reading;
    }
    reading.value = DoubleFromBits(RoundMagnitude(text, number) | signBit);
    return reading;
}

}  // namespace

AmountReading ReadAmount(std::string_view text) {
    return ReadAmountFully(text);
}

double ParseAmount(std::string_view text) {
    return ReadAmountFully(text).value;
}

std::size_t MeasureAmount(std::string_view text) {
    return ReadAmount(text).length;
}
