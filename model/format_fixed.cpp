// FormatFixed: a double to fixed-point text by a double rounding.
//
// Step 1 builds the decimal form of the value: 17 significant digits of its
// exact binary value, rounded half away from zero by the 18th digit. Step 2
// rounds that digit string to `decimals` places, half away from zero again.
// Step 3 lays out the text; step 4 pads it to the minimum width.
//
// Only the first 18 digits of the exact expansion are ever needed, because
// the 18th digit alone decides the first rounding (a 5 rounds up whatever
// follows it). They come from integer arithmetic: 64-bit for the values met
// in practice, big integers for the rest.

#include <cstdint>

#include "big_integer.h"
#include "double_bits.h"
#include "number_text.h"

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

int WriteUnsignedDigits(std::uint64_t value, char (&buffer)[20]) {
    // 2^64 - 1 has 20 digits.
    int count = 0;
    char reversed[20];
    do {
        reversed[count++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    for (int i = 0; i < count; ++i) {
        buffer[i] = reversed[count - 1 - i];
    }
    return count;
}

// value = m * 2^e with e >= 0 and m * 2^e < 2^64: an integer.
void CollectInteger(std::uint64_t n, DigitCollector& collector, int& decpt) {
    char digits[20];
    const int count = WriteUnsignedDigits(n, digits);
    for (int i = 0; i < count; ++i) {
        CollectDigit(collector, digits[i]);
    }
    decpt = count;
}

// value = m / 2^k with 1 <= k <= 60: the integer part m >> k, then the
// fraction F / 2^k one digit at a time (10 * F < 2^64 because F < 2^60).
void CollectFraction(std::uint64_t m, int k, DigitCollector& collector, int& decpt) {
    const std::uint64_t mask = (std::uint64_t{1} << k) - 1;
    const std::uint64_t integerPart = m >> k;
    std::uint64_t fraction = m & mask;
    decpt = 0;
    if (integerPart != 0) {
        CollectInteger(integerPart, collector, decpt);
    }
    while (fraction != 0 && collector.count < kDigitsNeeded) {
        fraction *= 10;
        const char digit = static_cast<char>('0' + (fraction >> k));
        fraction &= mask;
        if (collector.count == 0 && digit == '0') {
            --decpt;  // a zero before the first significant digit
        } else {
            CollectDigit(collector, digit);
        }
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

int BitWidth(std::uint64_t value) {
    int bits = 0;
    for (; value != 0; value >>= 1) {
        ++bits;
    }
    return bits;
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

// Step 1.
void BuildDecimalForm(double value, DecimalForm& form) {
    const std::uint64_t bits = BitsOf(value);
    form.negative = (bits & kSignBit) != 0;
    const std::uint64_t exponentField = (bits & kExponentMask) >> 52;
    const std::uint64_t fraction = bits & kFractionMask;

    if (exponentField == 0x7FF) {
        if (fraction == 0) {
            SetSpecial(form, "1#INF");
        } else if (bits == kInvalidNaNBits) {
            SetSpecial(form, "1#IND");
        } else if ((fraction & kQuietBit) != 0) {
            SetSpecial(form, "1#QNAN");
        } else {
            SetSpecial(form, "1#SNAN");
        }
        return;
    }
    if (exponentField == 0 && fraction == 0) {
        form.negative = false;
        form.digits[0] = '0';
        form.count = 1;
        form.decpt = 0;
        return;
    }
    // value = m * 2^e, m < 2^53.
    const std::uint64_t m = exponentField == 0 ? fraction : fraction | kHiddenBit;
    const int e = exponentField == 0 ? -1074 : static_cast<int>(exponentField) - 1075;

    DigitCollector collector{};
    int decpt = 0;
    if (e >= 0 && BitWidth(m) + e <= 64) {
        CollectInteger(m << e, collector, decpt);
    } else if (e < 0 && e >= -60) {
        CollectFraction(m, -e, collector, decpt);
    } else {
        CollectExact(m, e, collector, decpt);
    }

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
    DecimalForm form;
    BuildDecimalForm(value, form);
    RoundedDigits rounded;
    RoundToPlaces(form, decimals, rounded);

    // Step 3: sign, integer part, point, exactly `decimals` places.
    const int integerDigits = rounded.decpt > 0 ? rounded.decpt : 0;
    const std::size_t bodyLength = (form.negative ? 1u : 0u) +
                                   static_cast<std::size_t>(integerDigits > 0 ? integerDigits : 1) +
                                   (decimals > 0 ? 1u + static_cast<std::size_t>(decimals) : 0u);
    const std::size_t width = minWidth > 0 ? static_cast<std::size_t>(minWidth) : 0;
    const std::size_t length = bodyLength < width ? width : bodyLength;
    if (length >= outSize) {
        if (outSize > 0) {
            out[0] = '\0';
        }
        return length;
    }

    std::size_t pos = 0;
    // Step 4: blanks in front up to the minimum width.
    for (std::size_t i = bodyLength; i < width; ++i) {
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
