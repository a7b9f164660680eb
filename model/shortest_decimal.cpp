// FormatShortestDecimal by search: the candidates come from the 17-digit
// decimal form that FormatFixed gives of the value, and each is accepted only
// when ParseAmount reads it back as the same double.
//
// Why the 17-digit form D17 is enough: it lies within half a unit of its 17th
// digit of the value, and that is less than half the distance to either
// neighbouring double (a 17th-digit unit is at most 1e-16 of the value, the
// gap to a neighbour at least 2^-53 of it). So a k-digit decimal reads back
// exactly when the k-digit decimal just below or just above D17 does, and D17
// itself always reads back.

#include "shortest_decimal.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "big_integer.h"
#include "decimal_digits.h"
#include "double_bits.h"
#include "number_text.h"

namespace {

constexpr int kMaxDigits = 17;

// log10(2), to estimate the decimal exponent from the binary one.
constexpr double kLog10Of2 = 0.30102999566398120;

// FormatFixed's longest text here: 309 integer digits, or "0." and the
// places that reach 18 significant digits of the smallest subnormal (341).
constexpr std::size_t kFixedTextSize = 400;

// Plain digits are written for 1e-6 <= |value| < 1e21, as in JavaScript.
constexpr int kSmallestPlainDecpt = -5;
constexpr int kLargestPlainDecpt = 21;

// A decimal 0.d1d2...dcount * 10^decpt.
struct Decimal {
    char digits[kMaxDigits + 1];
    int count;
    int decpt;
};

// Which of the two k-digit neighbours is nearer the value.
enum Nearer { kLowerIsNearer, kUpperIsNearer, kBothAsNear };

// Step 1: D17, read off FormatFixed with enough places for 17 significant
// digits. 2^(e-1) <= |value| < 2^e puts its decimal exponent at `estimate`
// or one above, so 18 - estimate places always reach the 17th digit, and
// FormatFixed's second rounding then only sees zeros after it.
Decimal MakeSeventeenDigitForm(double magnitude) {
    int binaryExponent = 0;
    std::frexp(magnitude, &binaryExponent);
    const int estimate = static_cast<int>(std::floor((binaryExponent - 1) * kLog10Of2)) + 1;
    int places = kMaxDigits + 1 - estimate;
    places = places < 0 ? 0 : (places > kMaxFixedDecimals ? kMaxFixedDecimals : places);

    char text[kFixedTextSize];
    const std::size_t length = FormatFixed(magnitude, 1, places, text, sizeof text);
    const std::size_t point = static_cast<std::size_t>(std::find(text, text + length, '.') - text);
    std::size_t first = 0;
    while (first < length && (text[first] == '0' || text[first] == '.')) {
        ++first;
    }
    Decimal form = {};
    // value = 0.d1d2... * 10^decpt, counted from the first significant digit.
    form.decpt =
        first < point ? static_cast<int>(point - first) : -static_cast<int>(first - point - 1);
    for (std::size_t i = first; i < length && form.count < kMaxDigits; ++i) {
        if (text[i] != '.') {
            form.digits[form.count++] = text[i];
        }
    }
    while (form.count > 1 && form.digits[form.count - 1] == '0') {
        --form.count;
    }
    return form;
}

// The first k digits of `form`, cut.
Decimal TakeLower(const Decimal& form, int k) {
    Decimal lower = form;
    lower.count = k;
    return lower;
}

// The first k digits of `form` plus one unit of the k-th, with carry.
Decimal TakeUpper(const Decimal& form, int k) {
    Decimal upper = TakeLower(form, k);
    int i = k - 1;
    while (i >= 0 && upper.digits[i] == '9') {
        upper.digits[i--] = '0';
    }
    if (i < 0) {
        upper.digits[0] = '1';
        upper.count = 1;
        ++upper.decpt;
    } else {
        ++upper.digits[i];
    }
    while (upper.count > 1 && upper.digits[upper.count - 1] == '0') {
        --upper.count;
    }
    return upper;
}

// Whether ParseAmount reads "0.<digits>e<decpt>" as `magnitude`, bit for bit.
bool ReadsBack(const Decimal& decimal, double magnitude) {
    char text[kShortestDecimalSize];
    std::size_t length = 0;
    text[length++] = '0';
    text[length++] = '.';
    std::memcpy(text + length, decimal.digits, static_cast<std::size_t>(decimal.count));
    length += static_cast<std::size_t>(decimal.count);
    text[length++] = 'e';
    int exponent = decimal.decpt;
    if (exponent < 0) {
        text[length++] = '-';
        exponent = -exponent;
    }
    length = AppendDecimalDigits(text, length, static_cast<unsigned>(exponent));
    const double read = ParseAmount(std::string_view(text, length));
    return std::memcmp(&read, &magnitude, sizeof read) == 0;
}

// The sign of magnitude - 0.<form digits> * 10^decpt, exactly: with the
// double as m * 2^e and the decimal as d * 10^q, m * 2^e against d * 10^q
// once every negative power has moved to the other side. The largest number
// met is m * 10^340 (a 53-bit significand times the scale of the smallest
// subnormal's 17-digit form), about 1200 bits, well within a BigInteger.
int CompareWithDecimal(double magnitude, const Decimal& form) {
    const DoubleParts parts = DecodeDouble(magnitude);
    std::uint64_t d = 0;
    for (int i = 0; i < form.count; ++i) {
        d = d * 10 + static_cast<std::uint64_t>(form.digits[i] - '0');
    }
    const int e = parts.exponent;
    const int q = form.decpt - form.count;
    BigInteger left;
    BigInteger right;
    SetBigInteger(left, parts.significand);
    SetBigInteger(right, d);
    ShiftLeft(e >= 0 ? left : right, e >= 0 ? e : -e);
    MultiplyByPowerOfTen(q >= 0 ? right : left, q >= 0 ? q : -q);
    return CompareBig(left, right);
}

// The value against the midpoint between the two k-digit neighbours. The
// digits of `form` after the k-th decide it, since rounding to 17 digits never
// crosses a decimal of 17 digits or fewer; only when they are exactly "5" is
// `form` the midpoint itself, and then the value is compared with it exactly.
Nearer CompareRest(const Decimal& form, int k, double magnitude) {
    if (form.digits[k] != '5') {
        return form.digits[k] < '5' ? kLowerIsNearer : kUpperIsNearer;
    }
    if (form.count > k + 1) {
        return kUpperIsNearer;
    }
    const int side = CompareWithDecimal(magnitude, form);
    return side < 0 ? kLowerIsNearer : (side > 0 ? kUpperIsNearer : kBothAsNear);
}

// FormatFixed takes an exact half at the 18th digit away from zero; the
// 17-digit decimal below is then as near, and the one with the even last
// digit is taken, as in every shortest conversion.
Decimal TakeNearestSeventeen(const Decimal& form, double magnitude) {
    if (form.count < kMaxDigits || (form.digits[kMaxDigits - 1] - '0') % 2 == 0) {
        return form;
    }
    Decimal lower = form;
    int i = kMaxDigits - 1;
    while (lower.digits[i] == '0') {
        lower.digits[i--] = '9';
    }
    --lower.digits[i];
    Decimal midpoint = lower;
    midpoint.digits[kMaxDigits] = '5';
    midpoint.count = kMaxDigits + 1;
    if (lower.digits[0] == '0' || CompareWithDecimal(magnitude, midpoint) != 0) {
        return form;
    }
    return ReadsBack(lower, magnitude) ? lower : form;
}

// Step 2: the k-digit decimal for the value, or count 0 when none reads back.
Decimal FindWithDigits(const Decimal& form, int k, double magnitude) {
    if (k >= form.count) {
        return ReadsBack(form, magnitude) ? TakeNearestSeventeen(form, magnitude) : Decimal{};
    }
    const Decimal lower = TakeLower(form, k);
    const Decimal upper = TakeUpper(form, k);
    const bool lowerReads = ReadsBack(lower, magnitude);
    const bool upperReads = ReadsBack(upper, magnitude);
    if (lowerReads && upperReads) {
        switch (CompareRest(form, k, magnitude)) {
            case kLowerIsNearer:
                return lower;
            case kUpperIsNearer:
                return upper;
            case kBothAsNear:
                // An even last digit, as the usual shortest conversions choose.
                return (lower.digits[k - 1] - '0') % 2 == 0 ? lower : upper;
        }
    }
    if (lowerReads) {
        return lower;
    }
    return upperReads ? upper : Decimal{};
}

// Step 2 for every k at once: a k-digit decimal that reads back gives a
// (k+1)-digit one (append a zero), so the fewest digits are found by
// halving the range.
Decimal FindShortest(const Decimal& form, double magnitude) {
    int low = 1;
    int high = form.count;
    Decimal best = FindWithDigits(form, high, magnitude);
    while (low < high) {
        const int middle = (low + high) / 2;
        const Decimal found = FindWithDigits(form, middle, magnitude);
        if (found.count > 0) {
            best = found;
            high = middle;
        } else {
            low = middle + 1;
        }
    }
    return best.count > 0 ? best : form;
}

std::size_t AppendChars(char* out, std::size_t length, const char* text, std::size_t count) {
    std::memcpy(out + length, text, count);
    return length + count;
}

std::size_t AppendRepeated(char* out, std::size_t length, char c, int count) {
    for (int i = 0; i < count; ++i) {
        out[length++] = c;
    }
    return length;
}

// Step 3: the layout.
std::size_t LayOut(const Decimal& decimal, char* out, std::size_t length) {
    const int count = decimal.count;
    const int decpt = decimal.decpt;
    if (decpt >= kSmallestPlainDecpt && decpt <= kLargestPlainDecpt) {
        if (decpt <= 0) {
            length = AppendChars(out, length, "0.", 2);
            length = AppendRepeated(out, length, '0', -decpt);
            return AppendChars(out, length, decimal.digits, static_cast<std::size_t>(count));
        }
        if (count <= decpt) {
            length = AppendChars(out, length, decimal.digits, static_cast<std::size_t>(count));
            return AppendRepeated(out, length, '0', decpt - count);
        }
        length = AppendChars(out, length, decimal.digits, static_cast<std::size_t>(decpt));
        out[length++] = '.';
        return AppendChars(out, length, decimal.digits + decpt,
                           static_cast<std::size_t>(count - decpt));
    }
    out[length++] = decimal.digits[0];
    if (count > 1) {
        out[length++] = '.';
        length = AppendChars(out, length, decimal.digits + 1, static_cast<std::size_t>(count - 1));
    }
    int exponent = decpt - 1;
    out[length++] = 'e';
    out[length++] = exponent < 0 ? '-' : '+';
    exponent = exponent < 0 ? -exponent : exponent;
    return AppendDecimalDigits(out, length, static_cast<unsigned>(exponent));
}

std::size_t Finish(char (&out)[kShortestDecimalSize], std::size_t length) {
    out[length] = '\0';
    return length;
}

}  // namespace

std::size_t FormatShortestDecimal(double value, char (&out)[kShortestDecimalSize]) {
    std::size_t length = 0;
    if (std::signbit(value)) {
        out[length++] = '-';
    }
    if (std::isnan(value)) {
        return Finish(out, AppendChars(out, length, "nan", 3));
    }
    if (std::isinf(value)) {
        return Finish(out, AppendChars(out, length, "inf", 3));
    }
    if (value == 0.0) {
        out[length++] = '0';
        return Finish(out, length);
    }
    const double magnitude = std::fabs(value);
    const Decimal shortest = FindShortest(MakeSeventeenDigitForm(magnitude), magnitude);
    return Finish(out, LayOut(shortest, out, length));
}
