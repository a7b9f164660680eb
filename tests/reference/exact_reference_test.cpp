// Checks of the exact reference itself, before it is trusted as an oracle:
// the worked examples of the two rules, and cross-checks against the C
// library, whose conversions are exact but break ties differently.
#include "double_bits.h"
#include "exact_number_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

std::string PrintWith(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr double kSmallestSubnormal = 0x1p-1074;

struct ParseCase {
    std::string text;
    double expected;
};

void ExpectParse(const std::vector<ParseCase>& cases) {
    for (const ParseCase& c : cases) {
        double got = exact::ParseAmount(c.text);
        EXPECT_EQ(BitsOf(got), BitsOf(c.expected))
            << "text \"" << c.text << "\": got " << exact::DescribeDouble(got) << ", want "
            << exact::DescribeDouble(c.expected);
    }
}

TEST(ExactParseAmount, ReadsTheLeadingNumberOnly) {
    ExpectParse({
        {"  12.5abc", 0x1.9p+3},
        {"\t\n\v\f\r 3", 3.0},
        {"1,000", 1.0},
        {"1e3", 1000.0},
        {"1d3", 1000.0},
        {"1E+3", 1000.0},
        {"1D-1", 0x1.999999999999ap-4},
        {".5", 0.5},
        {"5.", 5.0},
        {"+7", 7.0},
        {"0x10", 0.0},
        {"1e", 1.0},
        {"1e+", 1.0},
        {"1e+-3", 1.0},
        {"1-2", 1.0},
        {"1.2.3", 0x1.3333333333333p+0},
        {"- 5", 0.0},
        {"+-5", 0.0},
        {"\x85"
         "5",
         0.0},
    });
}

TEST(ExactParseAmount, NoNumberGivesPositiveZero) {
    ExpectParse({{"", 0.0},
                 {"-", 0.0},
                 {".", 0.0},
                 {"-.", 0.0},
                 {"$5", 0.0},
                 {"inf", 0.0},
                 {"-inf", 0.0},
                 {"nan", 0.0},
                 {"e5", 0.0},
                 {"-.e5", 0.0}});
}

TEST(ExactParseAmount, ZerosKeepTheWrittenSign) {
    ExpectParse({{"-0", -0.0},
                 {"-0.000e-5", -0.0},
                 {"0.0e999", 0.0},
                 {"-0e99999999999999999999999", -0.0},
                 {"1e-400", 0.0},
                 {"-1e-400", -0.0},
                 {"-1e-99999999999999999999", -0.0}});
}

TEST(ExactParseAmount, OverflowGivesSignedInfinity) {
    ExpectParse({{"1e400", kInfinity},
                 {"-1e400", -kInfinity},
                 {"1e5200", kInfinity},
                 {"1e99999999999999999999", kInfinity},
                 {"-0.0001e99999999999999999999", -kInfinity}});
}

TEST(ExactParseAmount, ExactTiesGoToTheSmallerMagnitude) {
    ExpectParse({
        {"9007199254740993", 0x1p+53},                // 2^53 + 1
        {"9007199254740995", 0x1.0000000000001p+53},  // 2^53 + 3 -> 2^53 + 2
        {"-9007199254740995", -0x1.0000000000001p+53},
        {"18014398509481987", 0x1.0000000000001p+54},  // 2^54 + 3: not a tie
        {"9007199254740993.0000000000000000000001", 0x1.0000000000001p+53},
        {"9007199254740992.9999999999999999999999", 0x1p+53},
    });
}

TEST(ExactParseAmount, BoundariesOfTheRange) {
    std::string halfSmallest = exact::WriteMidpointDecimal(0.0);
    std::string overflowThreshold = exact::WriteMidpointDecimal(0x1.fffffffffffffp+1023);
    ExpectParse({
        {halfSmallest, 0.0},
        {"-" + halfSmallest, -0.0},
        {halfSmallest + "1", kSmallestSubnormal},
        {exact::WriteMidpointDecimal(kSmallestSubnormal), kSmallestSubnormal},
        {overflowThreshold, 0x1.fffffffffffffp+1023},
        {overflowThreshold + ".0000001", kInfinity},
        {"-" + overflowThreshold + "1", -kInfinity},
    });
    EXPECT_EQ(halfSmallest.substr(0, 12), "0.0000000000");
    EXPECT_EQ(overflowThreshold.size(), 309u);
}

TEST(ExactParseAmount, CapsTheWrittenExponent) {
    // The exponent counts as 5201 however large it is written, so a long run
    // of leading zeros brings the value back into range.
    std::string zeros(5000, '0');
    ExpectParse({{"0." + zeros + "1e5300", std::strtod("1e200", nullptr)},
                 {"0." + zeros + "1e5201", std::strtod("1e200", nullptr)},
                 {"0." + zeros + "1e5200", std::strtod("1e199", nullptr)},
                 {"1" + zeros + "e-5201", std::strtod("1e-201", nullptr)},
                 {"1" + zeros + "1e-5201", std::strtod("1e-200", nullptr)}});
}

TEST(ExactParseAmount, FirstNineteenCharactersOfALongerFigure) {
    ExpectParse({{"100000000000000000000", 0x1.5af1d78b58c4p+66},
                 {"1000000000000000000", 0x1.bc16d674ec8p+59}});
}

TEST(ExactParseAmount, RoundTripsSeventeenDigits) {
    std::mt19937_64 random(20240601);
    for (int i = 0; i < 20000; ++i) {
        double value = DoubleFromBits(random());
        if (!std::isfinite(value)) {
            continue;
        }
        for (const char* format : {"%.17g", "%.40e"}) {
            std::string text = PrintWith(format, value);
            double got = exact::ParseAmount(text);
            ASSERT_EQ(BitsOf(got), BitsOf(value))
                << "text " << text << ": got " << exact::DescribeDouble(got);
        }
    }
}

// A decimal text without trailing zeros after its point, or a bare point.
std::string TrimDecimal(std::string text) {
    if (text.find('.') != std::string::npos) {
        text.erase(text.find_last_not_of('0') + 1);
        if (text.back() == '.') {
            text.pop_back();
        }
    }
    return text;
}

// strtod breaks ties to even; everywhere else it must agree with us, and where
// it does not the text must be exactly halfway and we must hold the smaller.
TEST(ExactParseAmount, AgreesWithStrtodExceptOnTies) {
    std::mt19937_64 random(7);
    int ties = 0;
    for (int i = 0; i < 20000; ++i) {
        double lower = std::fabs(DoubleFromBits(random()));
        if (!std::isfinite(lower) || lower == 0x1.fffffffffffffp+1023) {
            continue;
        }
        std::string text = exact::WriteMidpointDecimal(lower);
        if (i % 2 == 1) {
            text = text.substr(0, 1 + random() % text.size());
        }
        double ours = exact::ParseAmount(text);
        double library = std::strtod(text.c_str(), nullptr);
        if (ours == library) {
            continue;
        }
        ++ties;
        // Texts here are positive, so the smaller magnitude is the lower one.
        ASSERT_TRUE(ours < library && std::nextafter(ours, kInfinity) == library &&
                    TrimDecimal(text) == exact::WriteMidpointDecimal(ours))
            << "text " << text << ": ours " << exact::DescribeDouble(ours) << ", strtod "
            << exact::DescribeDouble(library);
    }
    // Half the texts are whole midpoints, and about half of those are ties
    // that the two rules break differently.
    EXPECT_GT(ties, 2000);
}

struct FormatCase {
    double value;
    int minWidth;
    int decimals;
    std::string expected;
};

void ExpectFormat(const std::vector<FormatCase>& cases) {
    for (const FormatCase& c : cases) {
        EXPECT_EQ(exact::FormatFixed(c.value, c.minWidth, c.decimals), c.expected)
            << exact::DescribeDouble(c.value) << " width " << c.minWidth << " decimals "
            << c.decimals;
    }
}

TEST(ExactFormatFixed, RoundsTwiceHalvesAwayFromZero) {
    ExpectFormat({
        {0.125, 1, 2, "0.13"},
        {0.625, 1, 2, "0.63"},
        {0x1.5666666666666p+1, 1, 2, "2.67"},     // 2.675, held below
        {0x1.0147ae147ae14p+0, 1, 2, "1.00"},     // 1.005, held below
        {0x1.ae147ae147ae1p-4, 1, 2, "0.11"},     // 0.105, held below, 17 digits say 0.105
        {0x1.1333333333333p+0, 1, 2, "1.08"},     // 1.075, held below, 17 digits say 1.075
        {0x1.47ae147ae147bp-8, 1, 2, "0.01"},     // 0.005, held above
        {0x1.f3ff5c28f5c29p+9, 1, 2, "1000.00"},  // 999.995, held above
        {0x1.5af1d78b58c4p+66, 1, 2, "100000000000000000000.00"},
        {0x1p+60, 1, 2, "1152921504606847000.00"},
        {-0.0, 1, 2, "0.00"},
        {-0x1.0624dd2f1a9fcp-10, 1, 2, "-0.00"},  // -0.001
        {-0x1.47ae147ae147bp-8, 1, 2, "-0.01"},   // -0.005
        {12.5, 16, 2, "           12.50"},
    });
}

TEST(ExactFormatFixed, PlacesAndWidths) {
    ExpectFormat({
        {2.5, 1, 0, "3"},
        {0.4, 1, 0, "0"},
        {-0.4, 1, 0, "-0"},
        {0.5, 1, 0, "1"},
        {9.5, 3, 0, " 10"},
        {0x1.47ae147ae147bp-8, 1, 1, "0.0"},
        {0x1.47ae147ae147bp-8, 1, 3, "0.005"},
        {0.0, 0, 2, "0.00"},
        {0.0, 6, 0, "     0"},
        {123456.0, 3, 1, "123456.0"},
        {kSmallestSubnormal, 1, 6, "0.000000"},
        {0x1.fffffffffffffp+1023, 1, 2, "17976931348623157" + std::string(292, '0') + ".00"},
        {-0x1.fffffffffffffp+1023, 1, 2, "-17976931348623157" + std::string(292, '0') + ".00"},
        {0x1p-1, 1, 400, "0.5" + std::string(399, '0')},
        {0x1p-1, 1, 401, "0.5" + std::string(399, '0')},
    });
    // 4.9406564584124654e-324, carried through all 400 places.
    std::string smallest = exact::FormatFixed(kSmallestSubnormal, 1, 400);
    EXPECT_EQ(smallest, "0." + std::string(323, '0') + "49406564584124654" +
                            std::string(400 - 323 - 17, '0'));
}

TEST(ExactFormatFixed, NonFiniteValuesRoundTheirNames) {
    const double inf = kInfinity;
    const double ind = DoubleFromBits(0xFFF8000000000000u);
    const double qnan = DoubleFromBits(0x7FF8000000000000u);
    const double snan = DoubleFromBits(0x7FF0000000000001u);
    ExpectFormat({
        {inf, 1, 2, "1.#J"},
        {-inf, 1, 2, "-1.#J"},
        {ind, 1, 2, "-1.#J"},
        {qnan, 1, 2, "1.#R"},
        {DoubleFromBits(0xFFF8000000000001u), 1, 2, "-1.#R"},
        {snan, 1, 2, "1.#T"},
        {DoubleFromBits(0xFFF0000000000001u), 1, 2, "-1.#T"},
        {inf, 1, 0, "1"},
        {inf, 1, 1, "1.$"},
        {inf, 1, 3, "1.#IO"},
        {inf, 1, 4, "1.#INF"},
        {inf, 1, 6, "1.#INF00"},
        {qnan, 1, 5, "1.#QNAN"},
        {inf, 16, 2, "            1.#J"},
    });
}

TEST(ExactFormatFixed, TheFiveAfterSeventeenDigits) {
    // 10^15 + 0.25 = 1000000000000000.25: exactly 18 significant digits.
    const double value = 0x1.c6bf526340002p+49;
    EXPECT_TRUE(exact::HasEighteenthFive(value));
    EXPECT_EQ(exact::FormatFixed(value, 1, 2), "1000000000000000.30");
    EXPECT_EQ(exact::FormatFixed(value, 1, 2, exact::EighteenthFive::kCut), "1000000000000000.20");
    EXPECT_TRUE(exact::IsAcceptableFixed(value, 1, 2, "1000000000000000.20"));
    EXPECT_FALSE(exact::IsAcceptableFixed(value, 1, 2, "1000000000000000.40"));
    EXPECT_FALSE(exact::HasEighteenthFive(0x1p+60));
    EXPECT_FALSE(exact::HasEighteenthFive(0.125));
}

TEST(ExactFormatFixed, ThroughBothRules) {
    std::string text = "0.004" + std::string(16, '9');
    EXPECT_EQ(exact::FormatFixed(exact::ParseAmount(text), 1, 2), "0.01");
    EXPECT_EQ(exact::FormatFixed(exact::ParseAmount(text.substr(0, 19)), 1, 2), "0.00");
}

// printf's "%.16e" rounds the exact value to 17 digits, ties to even: the
// digit strings agree except where the expansion ends in a single 5 at the
// eighteenth place.
TEST(ExactFormatFixed, SeventeenDigitsAgreeWithPrintf) {
    std::mt19937_64 random(99);
    for (int i = 0; i < 20000; ++i) {
        double value = std::fabs(DoubleFromBits(random()));
        if (!std::isfinite(value) || value == 0.0) {
            continue;
        }
        std::string expansion = exact::WriteExactDecimal(value);
        expansion.erase(std::remove(expansion.begin(), expansion.end(), '.'), expansion.end());
        expansion.erase(0, expansion.find_first_not_of('0'));
        expansion.erase(expansion.find_last_not_of('0') + 1);
        if (expansion.size() == 18 && expansion.back() == '5') {
            continue;  // the one place where ties to even and away from zero differ
        }
        exact::DecimalForm form = exact::MakeDecimalForm(value);
        std::string printed = PrintWith("%.16e", value);
        std::string digits = printed.substr(0, 1) + printed.substr(2, 16);
        long decpt = std::strtol(printed.c_str() + 19, nullptr, 10) + 1;
        digits.erase(digits.find_last_not_of('0') + 1);
        ASSERT_EQ(form.digits, digits) << exact::DescribeDouble(value);
        ASSERT_EQ(form.decpt, decpt) << exact::DescribeDouble(value);
    }
}

TEST(ExactDecimal, WritesEveryDigit) {
    EXPECT_EQ(exact::WriteExactDecimal(0.1),
              "0.1000000000000000055511151231257827021181583404541015625");
    EXPECT_EQ(exact::WriteExactDecimal(-2.5), "-2.5");
    EXPECT_EQ(exact::WriteExactDecimal(0x1p+60), "1152921504606846976");
    EXPECT_EQ(exact::WriteMidpointDecimal(0x1p+53), "9007199254740993");
    EXPECT_EQ(exact::WriteMidpointDecimal(1.0),
              "1.00000000000000011102230246251565404236316680908203125");
    EXPECT_EQ(exact::WriteExactDecimal(kSmallestSubnormal).size(), 2u + 1074u);
}

}  // namespace
