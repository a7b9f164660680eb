// The double-to-text rule, done on the exact decimal expansion of the double:
// every binary fraction m x 2^-k equals m x 5^k / 10^k, so its digits are
// those of the integer m x 5^k.
#include "exact_number_text.h"

#include <gmpxx.h>

// The layout constants only: the decoding below is the reference's own.
#include "double_bits.h"

#include <algorithm>
#include <cstring>

namespace exact {
namespace {

// The largest count of places the calculator accepts; more are clamped.
constexpr int kMaxDecimals = 400;

// Significant digits kept by the first rounding step.
constexpr std::size_t kKeptDigits = 17;

// The fields of an IEEE 754 binary64 value.
struct DoubleFields {
    bool negative = false;
    int biasedExponent = 0;      // 0 for zeros and subnormals, kExponentFieldMax for the rest
    std::uint64_t fraction = 0;  // the kFractionBits stored significand bits
    std::uint64_t bits = 0;
};

DoubleFields SplitDouble(double value) {
    DoubleFields fields;
    fields.bits = BitsOf(value);
    fields.negative = (fields.bits >> 63) != 0;
    fields.biasedExponent = static_cast<int>(fields.bits >> kFractionBits) & kExponentFieldMax;
    fields.fraction = fields.bits & ((std::uint64_t{1} << kFractionBits) - 1);
    return fields;
}

// The digits of m x 2^e2 (m > 0): value = 0.digits x 10^decpt, no leading or
// trailing zeros in `digits`.
DecimalForm ExpandDyadic(const mpz_class& m, long e2) {
    mpz_class whole = m;
    long tenPower = 0;
    if (e2 >= 0) {
        mpz_mul_2exp(whole.get_mpz_t(), whole.get_mpz_t(), e2);
    } else {
        mpz_class five;
        mpz_ui_pow_ui(five.get_mpz_t(), 5, -e2);
        whole *= five;
        tenPower = e2;
    }
    DecimalForm form;
    form.digits = whole.get_str(10);
    form.decpt = static_cast<long>(form.digits.size()) + tenPower;
    form.digits.erase(form.digits.find_last_not_of('0') + 1);
    return form;
}

// The significand and power of two of a finite nonzero double's magnitude.
void SplitFinite(const DoubleFields& fields, mpz_class& m, long& e2) {
    std::uint64_t significand = fields.fraction;
    long exponent = kSubnormalExponent;  // subnormals: 0.fraction x 2^-1022
    if (fields.biasedExponent != 0) {
        significand |= std::uint64_t{1} << kFractionBits;
        exponent = static_cast<long>(fields.biasedExponent) - kExponentBias - kFractionBits;
    }
    mpz_import(m.get_mpz_t(), 1, 1, sizeof significand, 0, 0, &significand);
    e2 = exponent;
}

// Adds one to the character at `pos`, a "9" becoming "0" and carrying into
// the one before it; any other character just moves to the next code, which
// is how the "1#INF" family rounds. Returns true when the carry ran out of
// the first position.
bool RaiseAt(std::string& text, std::size_t pos) {
    for (std::size_t i = pos + 1; i-- > 0;) {
        if (text[i] != '9') {
            ++text[i];
            return false;
        }
        text[i] = '0';
    }
    return true;
}

char CharAt(const std::string& text, long pos) {
    return pos < static_cast<long>(text.size()) ? text[pos] : '0';
}

// Every digit of a decimal form with the point in its place, nothing rounded.
std::string WriteAllDigits(const DecimalForm& form) {
    long size = static_cast<long>(form.digits.size());
    if (form.decpt <= 0) {
        return "0." + std::string(-form.decpt, '0') + form.digits;
    }
    if (form.decpt >= size) {
        return form.digits + std::string(form.decpt - size, '0');
    }
    return form.digits.substr(0, form.decpt) + "." + form.digits.substr(form.decpt);
}

// The "1.#INF" family, chosen by the bits of a not-a-number.
const char* NameNotANumber(const DoubleFields& fields) {
    // Negative, quiet, no other fraction bit: what invalid arithmetic makes.
    constexpr std::uint64_t kInvalidArithmeticNan = 0xFFF8000000000000u;
    const std::uint64_t quietBit = std::uint64_t{1} << (kFractionBits - 1);
    if (fields.bits == kInvalidArithmeticNan) {
        return "1#IND";
    }
    return (fields.fraction & quietBit) != 0 ? "1#QNAN" : "1#SNAN";
}

}  // namespace

DecimalForm MakeDecimalForm(double value, EighteenthFive rule) {
    DoubleFields fields = SplitDouble(value);
    DecimalForm form;
    if (fields.biasedExponent == kExponentFieldMax) {
        form.negative = fields.negative;
        form.digits = fields.fraction == 0 ? "1#INF" : NameNotANumber(fields);
        form.decpt = 1;
        return form;
    }
    if (fields.biasedExponent == 0 && fields.fraction == 0) {
        form.digits = "0";
        return form;
    }
    mpz_class m;
    long e2 = 0;
    SplitFinite(fields, m, e2);
    form = ExpandDyadic(m, e2);
    form.negative = fields.negative;
    if (form.digits.size() > kKeptDigits) {
        char eighteenth = form.digits[kKeptDigits];
        bool lastIsFive = eighteenth == '5' && form.digits.size() == kKeptDigits + 1;
        form.digits.resize(kKeptDigits);
        bool roundUp = eighteenth >= '5' && !(lastIsFive && rule == EighteenthFive::kCut);
        if (roundUp && RaiseAt(form.digits, kKeptDigits - 1)) {
            form.digits = "1";
            ++form.decpt;
        }
        form.digits.erase(form.digits.find_last_not_of('0') + 1);
    }
    return form;
}

bool HasEighteenthFive(double value) {
    DoubleFields fields = SplitDouble(value);
    if (fields.biasedExponent == kExponentFieldMax ||
        (fields.biasedExponent == 0 && fields.fraction == 0)) {
        return false;
    }
    mpz_class m;
    long e2 = 0;
    SplitFinite(fields, m, e2);
    DecimalForm form = ExpandDyadic(m, e2);
    // 10^14 and more: 15 or more integer digits.
    return form.decpt >= 15 && form.digits.size() == kKeptDigits + 1 && form.digits.back() == '5';
}

std::string LayOutFixed(DecimalForm form, int minWidth, int decimals) {
    decimals = std::clamp(decimals, 0, kMaxDecimals);

    // Round to `decimals` places on the digit string: keep n characters,
    // the one after them decides.
    long n = decimals + form.decpt;
    std::string kept;
    if (n >= 0) {
        for (long i = 0; i < n; ++i) {
            kept += CharAt(form.digits, i);
        }
        if (CharAt(form.digits, n) >= '5') {
            if (n == 0) {
                kept = "1";
                ++form.decpt;
            } else if (RaiseAt(kept, n - 1)) {
                kept.insert(kept.begin(), '1');
                ++form.decpt;
            }
        }
    }

    // Sign, integer part, then exactly `decimals` places.
    std::string text = form.negative ? "-" : "";
    if (form.decpt > 0) {
        text += kept.substr(0, form.decpt);
    } else {
        text += "0";
    }
    if (decimals > 0) {
        text += ".";
        if (form.decpt < 0) {
            text.append(std::min<long>(decimals, -form.decpt), '0');
        }
        if (n >= 0) {
            text += kept.substr(std::max<long>(form.decpt, 0));
        }
    }
    if (static_cast<long>(text.size()) < minWidth) {
        text.insert(0, minWidth - text.size(), ' ');
    }
    return text;
}

std::string FormatFixed(double value, int minWidth, int decimals, EighteenthFive rule) {
    return LayOutFixed(MakeDecimalForm(value, rule), minWidth, decimals);
}

bool IsAcceptableFixed(double value, int minWidth, int decimals, std::string_view text) {
    if (text == FormatFixed(value, minWidth, decimals)) {
        return true;
    }
    return HasEighteenthFive(value) &&
           text == FormatFixed(value, minWidth, decimals, EighteenthFive::kCut);
}

std::string WriteExactDecimal(double value) {
    DoubleFields fields = SplitDouble(value);
    std::string sign = fields.negative ? "-" : "";
    if (fields.biasedExponent == 0 && fields.fraction == 0) {
        return sign + "0";
    }
    mpz_class m;
    long e2 = 0;
    SplitFinite(fields, m, e2);
    return sign + WriteAllDigits(ExpandDyadic(m, e2));
}

std::string WriteMidpointDecimal(double lower) {
    DoubleFields fields = SplitDouble(lower);
    mpz_class m;
    long e2 = kSubnormalExponent;
    if (fields.biasedExponent != 0 || fields.fraction != 0) {
        SplitFinite(fields, m, e2);
    }
    // Doubles of one binade are m x 2^e2 with consecutive m, so the midpoint
    // is (2m + 1) x 2^(e2 - 1); at the top of a binade m + 1 = 2^53 is still
    // the next double, and above DBL_MAX this is the overflow threshold.
    return WriteAllDigits(ExpandDyadic(2 * m + 1, e2 - 1));
}

}  // namespace exact
