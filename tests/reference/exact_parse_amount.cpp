// The text-to-double rule, done with exact rationals: read the syntax, form
// the value D x 10^b as a fraction, and round that fraction once.
#include "exact_number_text.h"

#include <gmpxx.h>

// The layout constants only: the rounding below is the reference's own.
#include "double_bits.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace exact {
namespace {

// A written exponent counts with its value up to this magnitude; anything
// larger counts as kExponentCap + 1 and its further digits have no effect.
constexpr long kExponentCap = 5200;

// A double has kSignificandBits (53) significant bits; the smallest normal
// is 2^-1022 and the smallest subnormal 2^-1074, so no result has a unit in
// the last place below 2^-1074. Magnitudes of 2^1024 and more are infinite.
constexpr long kSmallestUnitExponent = kSubnormalExponent;
constexpr long kSmallestNormalExponent = kMinNormalExponent;
constexpr long kInfiniteExponent = kExponentBias + 1;

enum class AmountKind { kZero, kFinite };

// The number at the start of a text, before any rounding.
struct ExactAmount {
    AmountKind kind = AmountKind::kZero;
    bool negative = false;
    mpq_class magnitude;  // only for kFinite; positive
};

bool IsBlank(char c) {
    return c == ' ' || (c >= 0x09 && c <= 0x0D);
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsExponentMarker(char c) {
    return c == 'e' || c == 'E' || c == 'd' || c == 'D';
}

// 2^exponent as a fraction, for either sign of the exponent.
mpq_class PowerOfTwo(long exponent) {
    mpz_class power = 1;
    mpz_mul_2exp(power.get_mpz_t(), power.get_mpz_t(), std::labs(exponent));
    if (exponent >= 0) {
        return mpq_class(power);
    }
    return mpq_class(mpz_class(1), power);
}

mpz_class PowerOfTen(long exponent) {
    mpz_class power;
    mpz_ui_pow_ui(power.get_mpz_t(), 10, exponent);
    return power;
}

ExactAmount ReadAmount(std::string_view text) {
    ExactAmount amount;
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) {
        ++i;
    }
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        amount.negative = text[i] == '-';
        ++i;
    }

    // The mantissa: digits with at most one point among them.
    std::string digits;
    long long fractionDigits = 0;
    bool sawPoint = false;
    for (; i < text.size(); ++i) {
        if (IsDigit(text[i])) {
            digits += text[i];
            if (sawPoint) {
                ++fractionDigits;
            }
        } else if (text[i] == '.' && !sawPoint) {
            sawPoint = true;
        } else {
            break;
        }
    }
    if (digits.empty()) {
        // No number at all: +0, whatever sign came before.
        return ExactAmount{};
    }

    // The exponent counts only when a digit follows the marker and its sign.
    long long exponent = 0;
    if (i < text.size() && IsExponentMarker(text[i])) {
        std::size_t j = i + 1;
        bool exponentNegative = false;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
            exponentNegative = text[j] == '-';
            ++j;
        }
        if (j < text.size() && IsDigit(text[j])) {
            long magnitude = 0;
            for (; j < text.size() && IsDigit(text[j]); ++j) {
                if (magnitude <= kExponentCap) {
                    magnitude = magnitude * 10 + (text[j] - '0');
                }
            }
            if (magnitude > kExponentCap) {
                magnitude = kExponentCap + 1;
            }
            exponent = exponentNegative ? -magnitude : magnitude;
        }
    }

    // D: the significant digits, leading and trailing zeros dropped; b: the
    // power of ten that goes with D. No shortcut on b: however long the text,
    // its whole exact value is rounded.
    std::size_t first = digits.find_first_not_of('0');
    if (first == std::string::npos) {
        amount.kind = AmountKind::kZero;
        return amount;
    }
    std::size_t last = digits.find_last_not_of('0');
    long long droppedTrailing = static_cast<long long>(digits.size() - 1 - last);
    long long b = exponent - fractionDigits + droppedTrailing;

    mpz_class significand(digits.substr(first, last - first + 1), 10);
    amount.kind = AmountKind::kFinite;
    if (b >= 0) {
        amount.magnitude = mpq_class(significand * PowerOfTen(b));
    } else {
        amount.magnitude = mpq_class(significand, PowerOfTen(-b));
        amount.magnitude.canonicalize();
    }
    return amount;
}

// The e with 2^e <= q < 2^(e+1), for a positive q.
long FindBinaryExponent(const mpq_class& q) {
    long e = static_cast<long>(mpz_sizeinbase(q.get_num_mpz_t(), 2)) -
             static_cast<long>(mpz_sizeinbase(q.get_den_mpz_t(), 2));
    // The bit lengths put q in [2^(e-1), 2^(e+1)).
    if (q < PowerOfTwo(e)) {
        --e;
    }
    return e;
}

// The spacing of doubles at q: 2^(e-52) for normal magnitudes, 2^-1074 below.
long FindUnitExponent(const mpq_class& q) {
    return std::max(FindBinaryExponent(q) - (kSignificandBits - 1), kSmallestUnitExponent);
}

// q / 2^unit split into its whole part and the fraction left over.
void SplitAtUnit(const mpq_class& q, long unit, mpz_class& whole, mpq_class& rest) {
    mpq_class scaled = q / PowerOfTwo(unit);
    mpz_fdiv_q(whole.get_mpz_t(), scaled.get_num_mpz_t(), scaled.get_den_mpz_t());
    rest = scaled - mpq_class(whole);
}

// The double nearest a positive q, exact ties to the smaller magnitude.
double RoundMagnitude(const mpq_class& q) {
    if (FindBinaryExponent(q) >= kInfiniteExponent) {
        return std::numeric_limits<double>::infinity();
    }
    long unit = FindUnitExponent(q);
    mpz_class whole;
    mpq_class rest;
    SplitAtUnit(q, unit, whole, rest);
    // Only a remainder strictly above one half goes up.
    if (rest > mpq_class(1, 2)) {
        whole += 1;
    }
    // whole <= 2^53 is exact in a double; ldexp overflows to infinity when
    // rounding up carried the value to 2^1024.
    return std::ldexp(whole.get_d(), static_cast<int>(unit));
}

}  // namespace

double ParseAmount(std::string_view text) {
    ExactAmount amount = ReadAmount(text);
    double magnitude = 0.0;
    if (amount.kind == AmountKind::kFinite) {
        magnitude = RoundMagnitude(amount.magnitude);
    }
    return amount.negative ? -magnitude : magnitude;
}

ParseAgreement CompareParse(std::string_view text, double result) {
    double expected = ParseAmount(text);
    if (std::memcmp(&expected, &result, sizeof expected) == 0) {
        return ParseAgreement::kSame;
    }
    ExactAmount amount = ReadAmount(text);
    if (amount.kind != AmountKind::kFinite || std::signbit(result) != amount.negative ||
        amount.magnitude >= PowerOfTwo(kSmallestNormalExponent)) {
        return ParseAgreement::kDifferent;
    }
    // Below the smallest normal double every unit is 2^-1074: either whole
    // multiple of it around the exact value is within one unit.
    mpz_class whole;
    mpq_class rest;
    SplitAtUnit(amount.magnitude, kSmallestUnitExponent, whole, rest);
    double below = std::ldexp(whole.get_d(), static_cast<int>(kSmallestUnitExponent));
    double above =
        std::ldexp(mpz_class(whole + 1).get_d(), static_cast<int>(kSmallestUnitExponent));
    double magnitude = std::fabs(result);
    if (magnitude == below || (rest != 0 && magnitude == above)) {
        return ParseAgreement::kSubnormalLeeway;
    }
    return ParseAgreement::kDifferent;
}

std::string DescribeDouble(double value) {
    const std::uint64_t bits = BitsOf(value);
    char text[80];
    std::snprintf(text, sizeof text, "%a (bits %016llx)", value,
                  static_cast<unsigned long long>(bits));
    return text;
}

}  // namespace exact
