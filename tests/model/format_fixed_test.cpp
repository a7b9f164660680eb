#include <gtest/gtest.h>

#include <random>
#include <string>

#include "exact_decimal.h"
#include "number_text.h"
#include "test_support.h"

namespace {

std::string Format(double value, int minWidth = 1, int decimals = 2) {
    char text[512];
    const std::size_t length = FormatFixed(value, minWidth, decimals, text, sizeof text);
    EXPECT_LT(length, sizeof text);
    EXPECT_EQ(length, std::strlen(text)) << Describe(value);
    return text;
}

struct FormatCase {
    double value;
    const char* expected;
};

// Magnitudes at the ends of the 64-bit route (about 10^-9, and 17 digits
// before the last place) and past them, worked out from the exact values.
TEST(FormatFixed, EdgesOfTheIntegerRoute) {
    struct PlacesCase {
        double value;
        int decimals;
        const char* expected;
    };
    const PlacesCase cases[] = {
        {0x1.12e0be826d695p-30, 2, "0.00"},  // nearest 1e-9
        {0x1.12e0be826d695p-30, 17, "0.00000000100000000"},
        {0x1.12e0be826d694p-30, 17, "0.00000000100000000"},
        {0x1.19799812dea11p-40, 17, "0.00000000000100000"},  // nearest 1e-12
        {0x1.c12218377de6bp+46, 2, "123456789012345.67"},
        {0x1.c12218377de6bp+46, 17, "123456789012345.67000000000000000"},
        {0x1.c6bf52633ffffp+49, 2, "999999999999999.88"},  // 999999999999999.875
        {0x1.1c37937e08000p+53, 2, "10000000000000000.00"},
        {0x1.6345785d8a000p+56, 2, "100000000000000000.00"},
        {0x1.5666666666666p+1, 17, "2.67499999999999980"},
    };
    for (const PlacesCase& c : cases) {
        EXPECT_EQ(Format(c.value, 1, c.decimals), c.expected) << Describe(c.value);
    }
}

TEST(FormatFixed, RoundsTwiceHalvesAwayFromZero) {
    const FormatCase cases[] = {
        {0.125, "0.13"},
        {0.625, "0.63"},
        {2.675, "2.67"},  // held below 2.675, and so is its 17-digit form
        {1.005, "1.00"},  // likewise below 1.005
        {0.105, "0.11"},  // held below 0.105, but its 17-digit form is 0.105
        {1.075, "1.08"},
        {0.005, "0.01"},  // held just above 0.005
        {999.995, "1000.00"},
        {0.995, "1.00"},
        {9.995, "9.99"},  // 9.9949999999999992 at 17 digits: stays below the tie
        {-0.005, "-0.01"},
        {-0.001, "-0.00"},
        {-0.0, "0.00"},
        {0.0, "0.00"},
        {0x1p-1074, "0.00"},
        {-0x1p-1074, "-0.00"},
        {1e20, "100000000000000000000.00"},
        {0x1p60, "1152921504606847000.00"},  // 1152921504606846976 at 17 digits
        {123456789.125, "123456789.13"},
        {-42.0, "-42.00"},
    };
    for (const FormatCase& c : cases) {
        EXPECT_EQ(Format(c.value), c.expected) << Describe(c.value);
    }
}

TEST(FormatFixed, PadsToTheMinimumWidthAndNeverCuts) {
    EXPECT_EQ(Format(12.5, 16), "           12.50");
    EXPECT_EQ(Format(-12.5, 8), "  -12.50");
    EXPECT_EQ(Format(123456.0, 3), "123456.00");
    EXPECT_EQ(Format(0.0, 0), "0.00");
}

TEST(FormatFixed, OtherPlaceCounts) {
    EXPECT_EQ(Format(2.5, 1, 0), "3");
    EXPECT_EQ(Format(0.4, 1, 0), "0");
    EXPECT_EQ(Format(-0.5, 1, 0), "-1");
    EXPECT_EQ(Format(0.1, 1, 20), "0.10000000000000001000");  // 18th digit 5 rounds the 17th up
    EXPECT_EQ(Format(1.0 / 3.0, 1, 6), "0.333333");
}

TEST(FormatFixed, NonFiniteValuesRoundLikeDigits) {
    const FormatCase cases[] = {
        {DoubleFromBits(0x7FF0000000000000u), "1.#J"},
        {DoubleFromBits(0xFFF0000000000000u), "-1.#J"},
        {DoubleFromBits(0xFFF8000000000000u), "-1.#J"},  // the NaN of invalid arithmetic
        {DoubleFromBits(0x7FF8000000000000u), "1.#R"},
        {DoubleFromBits(0xFFF8000000000001u), "-1.#R"},
        {DoubleFromBits(0x7FF0000000000001u), "1.#T"},
        {DoubleFromBits(0x7FF4000000000000u), "1.#T"},
    };
    for (const FormatCase& c : cases) {
        EXPECT_EQ(Format(c.value), c.expected) << Describe(c.value);
    }
    EXPECT_EQ(Format(DoubleFromBits(0x7FF0000000000000u), 1, 0), "1");
    EXPECT_EQ(Format(DoubleFromBits(0x7FF0000000000000u), 1, 1), "1.$");
    EXPECT_EQ(Format(DoubleFromBits(0x7FF0000000000000u), 1, 6), "1.#INF00");
    EXPECT_EQ(Format(DoubleFromBits(0xFFF8000000000000u), 1, 3), "-1.#IO");
}

TEST(FormatFixed, WritesOnlyWhatFits) {
    char text[8] = "xxxxxxx";
    EXPECT_EQ(FormatFixed(1234.5, 1, 2, text, 8), 7u);
    EXPECT_STREQ(text, "1234.50");
    EXPECT_EQ(FormatFixed(12345.5, 1, 2, text, 8), 8u);
    EXPECT_STREQ(text, "");
    EXPECT_EQ(FormatFixed(1.0, 1, 2, nullptr, 0), 4u);
    // The longest finite text at two places: "-", 309 digits, ".", 2 places.
    char longest[400];
    EXPECT_EQ(FormatFixed(-0x1.fffffffffffffp+1023, 1, 2, longest, sizeof longest), 313u);
    EXPECT_EQ(std::string(longest, 18), "-17976931348623157");
}

// The plain reference: round the full exact expansion to 17 significant
// digits by its 18th digit, then to the places, halves up both times.
std::string ReferenceFormat(double value, int decimals) {
    const DoubleParts parts = DecodeDouble(value);
    const std::uint64_t m = parts.significand;
    const int e = parts.exponent;
    const bool negative = value < 0;
    if (m == 0) {
        return "0." + std::string(decimals, '0');
    }
    std::string text = exact::Decimal(m, e);
    std::size_t point = text.find('.');
    if (point == std::string::npos) {
        point = text.size();
    }
    std::string digits =
        text.substr(0, point) + (point < text.size() ? text.substr(point + 1) : "");
    int decpt = static_cast<int>(point);
    while (digits[0] == '0') {
        digits.erase(0, 1);
        --decpt;
    }
    auto roundAt = [&](std::size_t keep) {
        if (digits.size() <= keep) {
            return;
        }
        const bool up = digits[keep] >= '5';
        digits.resize(keep);
        if (!up) {
            return;
        }
        int i = static_cast<int>(keep) - 1;
        for (; i >= 0 && digits[i] == '9'; --i) {
            digits[i] = '0';
        }
        if (i >= 0) {
            ++digits[i];
        } else {
            digits.insert(0, "1");
            ++decpt;
        }
    };
    roundAt(17);
    const int n = decimals + decpt;
    if (n < 0) {
        digits.clear();
    } else if (n == 0) {
        digits = !digits.empty() && digits[0] >= '5' ? "1" : "";
        decpt += digits.empty() ? 0 : 1;
    } else {
        roundAt(static_cast<std::size_t>(n));
    }
    // Lay out with exactly `decimals` places.
    std::string all = digits;
    std::string integer, fraction;
    if (decpt > 0) {
        all.resize(std::max<std::size_t>(all.size(), decpt + decimals), '0');
        integer = all.substr(0, decpt);
        fraction = all.substr(decpt, decimals);
    } else {
        integer = "0";
        all.insert(0, static_cast<std::size_t>(-decpt), '0');
        all.resize(std::max<std::size_t>(all.size(), decimals), '0');
        fraction = all.substr(0, decimals);
    }
    return (negative ? "-" : "") + integer + (decimals > 0 ? "." + fraction : "");
}

TEST(FormatFixed, AgreesWithThePlainReference) {
    std::mt19937_64 random(1207);
    for (int i = 0; i < 3000; ++i) {
        // Mostly values of everyday size, some from the whole range.
        const double value =
            i % 4 == 0 ? DoubleFromBits(random() % 0x7FF0000000000000u)
                       : static_cast<double>(static_cast<std::int64_t>(random() % 2000000001) -
                                             1000000000) /
                             static_cast<double>(1u << (random() % 20));
        const int decimals = static_cast<int>(random() % 7);
        EXPECT_EQ(Format(value, 1, decimals), ReferenceFormat(value, decimals))
            << Describe(value) << " decimals " << decimals;
    }
    // Ties at two places held exactly: x.xx5 with few binary digits.
    for (int cents = -5000; cents <= 5000; ++cents) {
        const double value = (cents * 10 + 5) / 1000.0;
        EXPECT_EQ(Format(value), ReferenceFormat(value, 2)) << Describe(value);
    }
}

}  // namespace
