// The shortest decimal of a figure as read, against a brute-force search over
// the value's exact decimal expansion (GMP): for k = 1, 2, ... digits, the
// k-digit decimals just below and just above the value, each kept only when
// ParseAmount reads it back as the same double; the first k with one wins,
// the nearer of two, the even one of two as near.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>

#include "exact_number_text.h"
#include "number_text.h"
#include "shortest_decimal.h"

namespace {

struct Digits {
    std::string digits;  // significant digits, no trailing zeros
    long decpt = 0;      // value = 0.digits * 10^decpt
};

bool SameDouble(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// All significant digits of a finite positive double.
Digits ExactDigits(double magnitude) {
    const std::string exact = exact::WriteExactDecimal(magnitude);
    const std::size_t point = exact.find('.') == std::string::npos ? exact.size() : exact.find('.');
    Digits d;
    bool started = false;
    for (std::size_t i = 0; i < exact.size(); ++i) {
        if (exact[i] == '.') {
            continue;
        }
        if (!started && exact[i] == '0') {
            continue;
        }
        if (!started) {
            started = true;
            d.decpt = i < point ? static_cast<long>(point - i) : -static_cast<long>(i - point - 1);
        }
        d.digits += exact[i];
    }
    while (!d.digits.empty() && d.digits.back() == '0') {
        d.digits.pop_back();
    }
    return d;
}

bool ReadsBack(const Digits& d, double magnitude) {
    const std::string text = "0." + d.digits + "e" + std::to_string(d.decpt);
    return SameDouble(ParseAmount(text), magnitude);
}

Digits Trim(Digits d) {
    while (d.digits.size() > 1 && d.digits.back() == '0') {
        d.digits.pop_back();
    }
    return d;
}

Digits RoundUp(Digits d) {
    int i = static_cast<int>(d.digits.size()) - 1;
    while (i >= 0 && d.digits[i] == '9') {
        d.digits[i--] = '0';
    }
    if (i < 0) {
        d.digits = "1" + d.digits;
        ++d.decpt;
    } else {
        ++d.digits[i];
    }
    return Trim(d);
}

Digits ReferenceShortest(double magnitude) {
    const Digits exact = ExactDigits(magnitude);
    for (std::size_t k = 1;; ++k) {
        if (k >= exact.digits.size()) {
            return exact;
        }
        const Digits lower = Trim({exact.digits.substr(0, k), exact.decpt});
        const Digits upper = RoundUp({exact.digits.substr(0, k), exact.decpt});
        const bool lowerReads = ReadsBack(lower, magnitude);
        const bool upperReads = ReadsBack(upper, magnitude);
        if (lowerReads && upperReads) {
            // The rest of the exact digits against a half unit of the k-th.
            const std::string rest = exact.digits.substr(k);
            const std::string half = "5" + std::string(rest.size() - 1, '0');
            if (rest != half) {
                return rest < half ? lower : upper;
            }
            return (exact.digits[k - 1] - '0') % 2 == 0 ? lower : upper;
        }
        if (lowerReads || upperReads) {
            return lowerReads ? lower : upper;
        }
    }
}

// Plain digits from 1e-6 up to below 1e21, otherwise d.ddd e+N.
std::string LayOut(const Digits& d) {
    const long count = static_cast<long>(d.digits.size());
    if (d.decpt >= -5 && d.decpt <= 21) {
        if (d.decpt <= 0) {
            return "0." + std::string(static_cast<std::size_t>(-d.decpt), '0') + d.digits;
        }
        if (count <= d.decpt) {
            return d.digits + std::string(static_cast<std::size_t>(d.decpt - count), '0');
        }
        return d.digits.substr(0, d.decpt) + "." + d.digits.substr(d.decpt);
    }
    std::string text = d.digits.substr(0, 1);
    if (count > 1) {
        text += "." + d.digits.substr(1);
    }
    const long exponent = d.decpt - 1;
    return text + "e" + (exponent < 0 ? "-" : "+") + std::to_string(std::labs(exponent));
}

std::string Reference(double value) {
    const std::string sign = std::signbit(value) ? "-" : "";
    if (std::isinf(value)) {
        return sign + "inf";
    }
    if (value == 0.0) {
        return sign + "0";
    }
    return sign + LayOut(ReferenceShortest(std::fabs(value)));
}

std::string Ours(double value) {
    char text[kShortestDecimalSize];
    const std::size_t length = FormatShortestDecimal(value, text);
    EXPECT_EQ(length, std::strlen(text));
    return text;
}

void ExpectLikeReference(double value) {
    ASSERT_EQ(Ours(value), Reference(value)) << exact::DescribeDouble(value);
}

TEST(ShortestDecimal, PowersOfTwoAndTheirNeighbours) {
    for (int e = -1074; e <= 1023; ++e) {
        const double power = std::ldexp(1.0, e);
        ExpectLikeReference(power);
        ExpectLikeReference(std::nextafter(power, 0.0));
        ExpectLikeReference(-std::nextafter(power, INFINITY));
    }
}

TEST(ShortestDecimal, SubnormalsAndZeros) {
    for (std::uint64_t bits = 1; bits < 3000; ++bits) {
        double value;
        std::memcpy(&value, &bits, sizeof value);
        ExpectLikeReference(value);
    }
    std::mt19937_64 random(11);
    for (int i = 0; i < 3000; ++i) {
        const std::uint64_t bits = random() & 0x000FFFFFFFFFFFFFu;
        double value;
        std::memcpy(&value, &bits, sizeof value);
        ExpectLikeReference(value);
    }
    ExpectLikeReference(0.0);
    ExpectLikeReference(-0.0);
    ExpectLikeReference(INFINITY);
    ExpectLikeReference(-INFINITY);
}

// Doubles whose short decimals lie exactly halfway to a neighbour: integers
// just above 2^53 and 2^54, and halves, quarters and eighths of large ones.
TEST(ShortestDecimal, ValuesWithTiesNearby) {
    for (int e = 53; e <= 60; ++e) {
        double value = std::ldexp(1.0, e);
        for (int i = 0; i < 200; ++i) {
            ExpectLikeReference(value);
            value = std::nextafter(value, INFINITY);
        }
    }
    for (int e = 48; e <= 52; ++e) {
        for (int i = 0; i < 200; ++i) {
            ExpectLikeReference(std::ldexp(1.0, e) + i * 0.125);
        }
    }
}

TEST(ShortestDecimal, RandomBitsAndTypedFigures) {
    std::mt19937_64 random(2024);
    for (int i = 0; i < 30000; ++i) {
        const std::uint64_t bits = random();
        double value;
        std::memcpy(&value, &bits, sizeof value);
        if (!std::isnan(value)) {
            ExpectLikeReference(value);
        }
    }
    // Prices with cents and counts, as typed into a catalogue.
    for (int i = 0; i < 20000; ++i) {
        const std::string typed =
            std::to_string(random() % 100000) + "." + std::to_string(random() % 100);
        ExpectLikeReference(ParseAmount(typed));
    }
}

}  // namespace
