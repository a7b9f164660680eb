// FormatFixed: a double to fixed-point text by a double rounding.
//
// Step 1 builds the decimal form of the value: 17 significant digits of its
// exact binary value, rounded half away from zero by the 18th digit. Step 2
// rounds that digit string to `decimals` places, half away from zero again.
// Step 3 lays out the text; step 4 pads it to the minimum width.
//
// Only the first 18 digits of the exact expansion are ever needed, because
// the 18th digit alone decides the first rounding (a 5 rounds up whatever
// follows it). They come from integer arithmetic: one 64x64-bit product and
// a shift for magnitudes from about 10^-9 to 10^18, big integers beyond.
// Where the rounded figure fits a 64-bit integer, steps 2 to 4 run on that
// integer too; the digit-string path below serves every other case.

#include <cstdint>
#include <cstring>

#include "big_integer.h"
#include "double_bits.h"
#include "number_text.h"
#include "small_powers.h"
#include "uint128.h"

namespace {

constexpr int kSignificantDigits = 17;
constexpr int kDigitsNeeded = kSignificantDigits + 1;

struct DecimalForm {
    bool negative;
    char digits[kDigitsNeeded];  // digits, or the "1#INF" family for non-finite values
    int count;
    int decpt;  // value = 0.d1d2d3... * 10^decpt
};

// Gathers the leading significant digits of an expansion that is produced
// most significant digit first.
struct DigitCollector {
    char digits[kDigitsNeeded];
    int count;
};

void CollectDigit(DigitCollector& collector, char digit) {
    if (collector.count < kDigitsNeeded) {
        collector.digits[collector.count++] = digit;
    }
}

// Any m * 2^e: the exact expansion through big integers.
// m * 2^e = m * 5^-e / 10^-e for e < 0.
void CollectExact(std::uint64_t m, int e, DigitCollector& collector, int& decpt) {
    BigInteger n;
    SetBigInteger(n, m);
    if (e >= 0) {
        ShiftLeft(n, e);
    } else {
        MultiplyByPowerOfFive(n, -e);
    }
    char digits[9 * kBigIntegerWords + 9];
    const int count = ExtractDecimalDigits(n, digits);
    for (int i = 0; i < count && i < kDigitsNeeded; ++i) {
        CollectDigit(collector, digits[i]);
    }
    decpt = e >= 0 ? count : count + e;
}

// Adds one to the last of `count` characters, carrying through '9's. A
// character other than a digit goes up by one character code and stops the
// carry, which is how "1#INF" rounds to "1#J". Returns true when the carry
// ran out of the first position (every character was '9').
bool IncrementLast(char* chars, int count) {
    for (int i = count - 1; i >= 0; --i) {
        if (chars[i] == '9') {
            chars[i] = '0';
        } else {
            ++chars[i];
            return false;
        }
    }
    return true;
}

void SetSpecial(DecimalForm& form, const char* text) {
    form.count = 0;
    for (; *text != '\0'; ++text) {
        form.digits[form.count++] = *text;
    }
    form.decpt = 1;
}

// floor(k * log10(2)) for |k| <= 1100: 78913 / 2^18 is log10(2) to within
// 2^-20, and the offset keeps the shifted value positive so that the shift
// rounds down.
constexpr int FloorLog10PowerOfTwo(int k) {
    constexpr int kOffset = 1000;  // 1000 * 2^18 > 1100 * 78913
    return ((k * 78913 + kOffset * 262144) >> 18) - kOffset;
}

// 10^16, 10^17 and 10^18: the smallest numbers of 17, 18 and 19 digits.
constexpr std::uint64_t kSmallest17Digits = 10000000000000000u;
constexpr std::uint64_t kSmallest18Digits = 100000000000000000u;
constexpr std::uint64_t kSmallest19Digits = 1000000000000000000u;

// Step 1 in 64-bit integers, for m * 2^e with m nonzero and below 2^53:
// `digits` gets the first 17 significant digits rounded half away from zero
// by the 18th, a number in [10^16, 10^17), and value ~ digits * 10^(decpt -
// 17). With 2^b <= value < 2^(b+1), decpt is floor(b * log10(2)) + 1 or one
// more; with p = 18 - that estimate, floor(value * 10^p) = floor(m * 5^p *
// 2^(e+p)) has 18 or 19 digits and is exact: m * 5^p < 2^117 is one 128-bit
// product for p <= 27, and the power of two is a shift. False where p is out
// of that range (magnitudes below about 10^-9 or from 10^18 up).
bool TrySeventeenDigits(std::uint64_t m, int e, std::uint64_t& digits, int& decpt) {
    const int estimate = FloorLog10PowerOfTwo(e + BitWidth64(m) - 1) + 1;
    const int p = 18 - estimate;
    if (p < 0 || p > kMaxPowerOfFive64) {
        return false;
    }
    const Uint128 product = Multiply64(m, kPowersOfFive64.value[p]);
    const int shift = e + p;  // value * 10^p = product * 2^shift
    std::uint64_t leading;
    if (shift >= 0) {
        leading = product.low << shift;  // below 10^19: nothing is lost
    } else if (shift > -64) {
        leading = (product.low >> -shift) | (product.high << (64 + shift));
    } else if (shift > -128) {
        leading = product.high >> (-shift - 64);
    } else {
        return false;
    }
    // One digit too many when the estimate was one low: floor(floor(x) / 10)
    // = floor(x / 10). Chosen without a branch, which would be a coin toss.
    const bool oneLow = leading >= kSmallest19Digits;
    leading = oneLow ? leading / 10 : leading;
    decpt = estimate + (oneLow ? 1 : 0);
    digits = leading / 10 + (leading % 10 >= 5 ? 1 : 0);
    if (digits == kSmallest18Digits) {
        digits = kSmallest17Digits;  // 99...9 became 100...0
        ++decpt;
    }
    return true;
}

// Step 1.
void BuildDecimalForm(double value, DecimalForm& form) {
    const DoubleParts parts = DecodeDouble(value);
    form.negative = parts.negative;
    if (parts.exponentField == kExponentFieldMax) {
        if (parts.fraction == 0) {
            SetSpecial(form, "1#INF");
        } else if (BitsOf(value) == kInvalidNaNBits) {
            SetSpecial(form, "1#IND");
        } else if ((parts.fraction & kQuietBit) != 0) {
            SetSpecial(form, "1#QNAN");
        } else {
            SetSpecial(form, "1#SNAN");
        }
        return;
    }
    if (parts.significand == 0) {
        form.negative = false;
        form.digits[0] = '0';
        form.count = 1;
        form.decpt = 0;
        return;
    }
    // value = m * 2^e, m < 2^53.
    const std::uint64_t m = parts.significand;
    const int e = parts.exponent;

    std::uint64_t rounded;
    int decpt = 0;
    if (TrySeventeenDigits(m, e, rounded, decpt)) {
        int count = kSignificantDigits;
        for (int i = count - 1; i >= 0; --i) {
            form.digits[i] = static_cast<char>('0' + rounded % 10);
            rounded /= 10;
        }
        while (count > 1 && form.digits[count - 1] == '0') {
            --count;
        }
        form.count = count;
        form.decpt = decpt;
        return;
    }
    DigitCollector collector{};
    CollectExact(m, e, collector, decpt);
    int count = collector.count;
    if (count == kDigitsNeeded) {
        count = kSignificantDigits;
        if (collector.digits[kSignificantDigits] >= '5' &&
            IncrementLast(collector.digits, kSignificantDigits)) {
            collector.digits[0] = '1';  // 99...9 became 100...0
            count = 1;
            ++decpt;
        }
    }
    while (count > 1 && collector.digits[count - 1] == '0') {
        --count;
    }
    for (int i = 0; i < count; ++i) {
        form.digits[i] = collector.digits[i];
    }
    form.count = count;
    form.decpt = decpt;
}

// floor(x / 10^k) for 0 <= k <= 17. Built for speed, a division by a
// constant is a multiply and a shift, while one by a variable power costs as
// much as the rest of a text; built for size (kem.exe), one plain division.
#if defined(__OPTIMIZE_SIZE__)
std::uint64_t DivideByPowerOfTen(std::uint64_t x, int k) {
    return (x >> k) / kPowersOfFive64.value[k];  // 10^k = 5^k * 2^k
}
#else
std::uint64_t DivideByPowerOfTen(std::uint64_t x, int k) {
    switch (k) {
        case 0:
            return x;
        case 1:
            return x / 10u;
        case 2:
            return x / 100u;
        case 3:
            return x / 1000u;
        case 4:
            return x / 10000u;
        case 5:
            return x / 100000u;
        case 6:
            return x / 1000000u;
        case 7:
            return x / 10000000u;
        case 8:
            return x / 100000000u;
        case 9:
            return x / 1000000000u;
        case 10:
            return x / 10000000000u;
        case 11:
            return x / 100000000000u;
        case 12:
            return x / 1000000000000u;
        case 13:
            return x / 10000000000000u;
        case 14:
            return x / 100000000000000u;
        case 15:
            return x / 1000000000000000u;
        case 16:
            return x / 10000000000000000u;
        default:
            return x / 100000000000000000u;
    }
}
#endif

#if !defined(__OPTIMIZE_SIZE__)
// "00" to "99", for writing two digits per division.
constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";
#endif

// The number of decimal digits of n < 10^19, 0 for 0: with b bits, n has
// floor(b * log10(2)) digits or one more (1233 / 2^12 is log10(2) to within
// 2^-14, exact enough for b <= 64); 10^t = 5^t * 2^t tells which.
int CountDigits(std::uint64_t n) {
    const int t = (BitWidth64(n) * 1233) >> 12;
    return t + (n >= (kPowersOfFive64.value[t] << t) ? 1 : 0);
}

// Writes the lowest `count` digits of n just before `end`, two at a time
// where the build is for speed, takes them off n, and returns where they
// begin.
char* WriteDigitsBefore(char* end, std::uint64_t& n, int count) {
#if !defined(__OPTIMIZE_SIZE__)
    for (; count >= 2; count -= 2) {
        const std::uint64_t pair = n % 100;
        n /= 100;
        end -= 2;
        std::memcpy(end, kDigitPairs + 2 * pair, 2);
    }
#endif
    for (; count > 0; --count) {
        *--end = static_cast<char>('0' + n % 10);
        n /= 10;
    }
    return end;
}

// The length of the whole text: the body padded with blanks to minWidth.
// Returns false, leaving an empty string in `out` when it has room for one,
// when the text and its terminator do not fit in outSize bytes.
bool FitsWithPadding(std::size_t bodyLength, int minWidth, char* out, std::size_t outSize,
                     std::size_t& length) {
    const std::size_t width = minWidth > 0 ? static_cast<std::size_t>(minWidth) : 0;
    length = bodyLength < width ? width : bodyLength;
    if (length < outSize) {
        return true;
    }
    if (outSize > 0) {
        out[0] = '\0';
    }
    return false;
}

// The most places the integer path takes: 10^17 is the largest figure it
// writes, so 17 places keep every text within 19 digits.
constexpr int kMaxIntegerPathDecimals = 17;

// Steps 1 to 4 for values whose rounded figure, scaled by 10^decimals, is an
// integer below 10^18: n = the figure without its point. False when the
// digit-string path is needed (non-finite values, more than 17 digits before
// the last place, magnitudes TrySeventeenDigits leaves out).
bool TryFormatAsInteger(double value, int minWidth, int decimals, char* out, std::size_t outSize,
                        std::size_t& length) {
    const DoubleParts parts = DecodeDouble(value);
    if (parts.exponentField == kExponentFieldMax || decimals > kMaxIntegerPathDecimals) {
        return false;
    }
    bool negative = parts.negative;
    std::uint64_t n = 0;
    if (parts.significand == 0) {
        negative = false;  // zero of either sign
    } else {
        std::uint64_t digits;
        int decpt;
        if (!TrySeventeenDigits(parts.significand, parts.exponent, digits, decpt)) {
            return false;
        }
        const int kept = decimals + decpt;  // digits before the last place
        if (kept > kSignificantDigits) {
            return false;
        }
        if (kept >= 0) {
            // Step 2: half away from zero on the digit after the last kept
            // one; adding half a unit carries exactly when that digit is 5
            // or more.
            const int dropped = kSignificantDigits - kept;
            // Half of 10^dropped = 5^dropped * 2^dropped.
            const std::uint64_t halfUnit =
                dropped == 0 ? 0 : kPowersOfFive64.value[dropped] << (dropped - 1);
            n = DivideByPowerOfTen(digits + halfUnit, dropped);
        }
    }
    // Step 3: sign, integer part (at least "0"), point, `decimals` places,
    // written from the end backwards once the length is known.
    const int significantDigits = CountDigits(n);
    const int digitCount = significantDigits > decimals ? significantDigits : decimals + 1;
    const std::size_t bodyLength =
        (negative ? 1u : 0u) + static_cast<std::size_t>(digitCount) + (decimals > 0 ? 1u : 0u);
    if (!FitsWithPadding(bodyLength, minWidth, out, outSize, length)) {
        return true;
    }
    char* p = out + length;
    *p = '\0';
    if (decimals > 0) {
        p = WriteDigitsBefore(p, n, decimals);
        *--p = '.';
    }
    p = WriteDigitsBefore(p, n, digitCount - decimals);
    if (negative) {
        *--p = '-';
    }
    // Step 4: blanks in front up to the minimum width.
    while (p != out) {
        *--p = ' ';
    }
    return true;
}

// The digit string after step 2: `head` holds its first characters (those
// that rounding may change, plus a carried-out '1'); every position from
// headCount to `length` is '0'.
struct RoundedDigits {
    char head[kDigitsNeeded + 1];
    int headCount;
    int length;
    int decpt;
};

// Step 2.
void RoundToPlaces(const DecimalForm& form, int decimals, RoundedDigits& rounded) {
    rounded.decpt = form.decpt;
    rounded.headCount = 0;
    rounded.length = 0;
    const int n = decimals + form.decpt;
    if (n < 0) {
        return;  // every digit lies beyond the last place: nothing is rounded
    }
    const int taken = n < form.count ? n : form.count;
    for (int i = 0; i < taken; ++i) {
        rounded.head[i] = form.digits[i];
    }
    rounded.headCount = taken;
    rounded.length = n;
    const char next = n < form.count ? form.digits[n] : '0';
    if (next < '5') {
        return;
    }
    if (taken == 0 || IncrementLast(rounded.head, taken)) {
        // Carry out of the first position (or n == 0): a '1' goes in front.
        for (int i = taken; i > 0; --i) {
            rounded.head[i] = rounded.head[i - 1];
        }
        rounded.head[0] = '1';
        ++rounded.headCount;
        ++rounded.length;
        ++rounded.decpt;
    }
}

char DigitAt(const RoundedDigits& rounded, int index) {
    return index < rounded.headCount ? rounded.head[index] : '0';
}

}  // namespace

std::size_t FormatFixed(double value, int minWidth, int decimals, char* out, std::size_t outSize) {
    if (decimals < 0) {
        decimals = 0;
    }
    if (decimals > kMaxFixedDecimals) {
        decimals = kMaxFixedDecimals;
    }
    std::size_t length;
    if (TryFormatAsInteger(value, minWidth, decimals, out, outSize, length)) {
        return length;
    }
    DecimalForm form;
    BuildDecimalForm(value, form);
    RoundedDigits rounded;
    RoundToPlaces(form, decimals, rounded);

    // Step 3: sign, integer part, point, exactly `decimals` places.
    const int integerDigits = rounded.decpt > 0 ? rounded.decpt : 0;
    const std::size_t bodyLength = (form.negative ? 1u : 0u) +
                                   static_cast<std::size_t>(integerDigits > 0 ? integerDigits : 1) +
                                   (decimals > 0 ? 1u + static_cast<std::size_t>(decimals) : 0u);
    if (!FitsWithPadding(bodyLength, minWidth, out, outSize, length)) {
        return length;
    }

    std::size_t pos = 0;
    // Step 4: blanks in front up to the minimum width.
    for (std::size_t i = bodyLength; i < length; ++i) {
        out[pos++] = ' ';
    }
    if (form.negative) {
        out[pos++] = '-';
    }
    int index = 0;  // next position of the rounded digit string
    if (integerDigits == 0) {
        out[pos++] = '0';
    }
    for (; index < integerDigits; ++index) {
        out[pos++] = DigitAt(rounded, index);
    }
    if (decimals > 0) {
        out[pos++] = '.';
        const int leadingZeros =
            rounded.decpt < 0 ? (-rounded.decpt < decimals ? -rounded.decpt : decimals) : 0;
        for (int i = 0; i < leadingZeros; ++i) {
            out[pos++] = '0';
        }
        for (int i = leadingZeros; i < decimals; ++i, ++index) {
            out[pos++] = DigitAt(rounded, index);
        }
    }
    out[pos] = '\0';
    return length;
}
