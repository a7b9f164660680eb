// ParseAmount against the exact reference: hard cases built from bit
// patterns (ties, one step either side of them, the ends of the range, long
// texts decided by their last digit) and seeded random sweeps.
#include "double_bits.h"
#include "exact_number_text.h"
#include "number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

// Long texts are shown by their ends: the middle is a run of one digit.
std::string Abbreviate(const std::string& text) {
    if (text.size() <= 120) {
        return "\"" + text + "\"";
    }
    return "\"" + text.substr(0, 60) + "..." + text.substr(text.size() - 60) + "\" (" +
           std::to_string(text.size()) + " characters)";
}

// Every text must give the reference's double bit for bit; below the
// smallest normal double one unit of difference is allowed, and counted.
struct ParseChecker {
    int leeway = 0;

    void Check(const std::string& text) {
        double got = ParseAmount(text);
        exact::ParseAgreement agreement = exact::CompareParse(text, got);
        if (agreement == exact::ParseAgreement::kSubnormalLeeway) {
            ++leeway;
        }
        EXPECT_NE(agreement, exact::ParseAgreement::kDifferent)
            << "text " << Abbreviate(text) << ": ParseAmount gives " << exact::DescribeDouble(got)
            << ", exact " << exact::DescribeDouble(exact::ParseAmount(text));
    }

    ~ParseChecker() {
        if (leeway > 0) {
            std::printf("%d subnormal results one unit away from the nearest\n", leeway);
        }
    }
};

// A text just below a decimal text that ends in a nonzero digit: the last
// digit lowered by one and a run of nines after it.
std::string WriteJustBelow(std::string text) {
    text.back() = static_cast<char>(text.back() - 1);
    if (text.find('.') == std::string::npos) {
        text += '.';
    }
    return text + "9999999999";
}

std::string WriteJustAbove(const std::string& text) {
    return text + (text.find('.') == std::string::npos ? ".0000000001" : "0000000001");
}

// The places where rounding decisions are made: the midpoint to the next
// double and a hair either side, for each of these doubles.
const std::vector<double> kTieNeighbours = {
    0x1p+53,                // 2^53 + 1 is the first odd tie
    0x1.0000000000001p+53,  // 2^53 + 3
    0x1p+54,
    0x1.fffffffffffffp+52,
    1.0,
    0x1.fffffffffffffp-1,
    0x1.999999999999ap-4,     // 0.1
    0x1.47ae147ae147bp-8,     // 0.005
    0x1.5666666666666p+1,     // 2.675
    0x1.0147ae147ae14p+0,     // 1.005
    0x1p-1022,                // smallest normal
    0x1.fffffffffffffp-1023,  // largest subnormal
    0x0.0000000000001p-1022,  // smallest subnormal
    0x0.0000000000002p-1022,
    0x0.8000000000001p-1022,
    0x0.012688b70e62bp-1022,  // near 1e-310
    0.0,                      // half the smallest subnormal
    0x1.ffffffffffffep+1023,
    0x1.fffffffffffffp+1023,  // DBL_MAX: the midpoint is the overflow threshold
    0x1.5af1d78b58c4p+66,     // 10^20
    0x1p+60,
};

TEST(ParseAmountDifferential, WorkedExamples) {
    ParseChecker checker;
    for (const char* text : {"  12.5abc",
                             "1,000",
                             "1e3",
                             "1d3",
                             "1E+3",
                             ".5",
                             "5.",
                             "+7",
                             "",
                             "-",
                             ".",
                             "$5",
                             "inf",
                             "0x10",
                             "1e400",
                             "-1e400",
                             "1e-400",
                             "1e-310",
                             "-0",
                             "9007199254740993",
                             "9007199254740995",
                             "18014398509481987",
                             "0.00499999999999999",
                             "0.004999999999999999",
                             "1e",
                             "1e+",
                             "1e-",
                             "1.e5",
                             "-.5e-3",
                             "1e5200",
                             "1e5201",
                             "1e-5200",
                             "1e-5201",
                             "1e99999999999999999999",
                             "1e-99999999999999999999",
                             "-0e400",
                             "\x0b\x0c\r\n\t 8",
                             "\x85 9",
                             "1d-1",
                             "1D+1",
                             "4.9406564584124654e-324",
                             "2.4703282292062327e-324",
                             "2.4703282292062328e-324",
                             "1.7976931348623157e308",
                             "1.7976931348623158e308",
                             "1.7976931348623159e308",
                             "2.2250738585072011e-308",
                             "2.2250738585072012e-308",
                             "0.105",
                             "1.075",
                             "2.675",
                             "1.005",
                             "999.995",
                             "1152921504606846976"}) {
        checker.Check(text);
    }
}

TEST(ParseAmountDifferential, TiesAndTheirNeighbours) {
    ParseChecker checker;
    for (double lower : kTieNeighbours) {
        std::string midpoint = exact::WriteMidpointDecimal(lower);
        for (const std::string& text :
             {midpoint, WriteJustBelow(midpoint), WriteJustAbove(midpoint), "-" + midpoint,
              "-" + WriteJustAbove(midpoint), exact::WriteExactDecimal(lower),
              "  +" + midpoint + "e0", "00" + midpoint + "e-0", midpoint + "x"}) {
            checker.Check(text);
        }
    }
}

TEST(ParseAmountDifferential, DecimalDigitsAroundTwoPlaceTies) {
    ParseChecker checker;
    // "0.004" followed by n nines, up to the 19-character cut and beyond.
    for (int nines = 0; nines <= 30; ++nines) {
        checker.Check("0.004" + std::string(nines, '9'));
        checker.Check("-999.994" + std::string(nines, '9'));
    }
}

TEST(ParseAmountDifferential, LongTextsDecidedByTheirLastDigit) {
    ParseChecker checker;
    for (double lower : kTieNeighbours) {
        std::string midpoint = exact::WriteMidpointDecimal(lower);
        std::string point = midpoint.find('.') == std::string::npos ? "." : "";
        for (std::size_t padding : {1000u, 4000u}) {
            std::string zeros(padding, '0');
            checker.Check(midpoint + point + zeros);        // still a tie
            checker.Check(midpoint + point + zeros + "1");  // just above it
            checker.Check(WriteJustBelow(midpoint) + std::string(padding, '9'));
            checker.Check(std::string(padding, '0') + midpoint);
            if (!point.empty()) {
                checker.Check("0." + zeros + midpoint + "e" +
                              std::to_string(padding + midpoint.size()));
            }
        }
    }
    // Thousands of significant digits, then an exponent that brings them back.
    std::string ones(3000, '1');
    checker.Check(ones + "e-3000");
    checker.Check("0." + ones + "e-300");
    checker.Check(ones + "e-2700");
    checker.Check(ones + "e-3308");
}

TEST(ParseAmountDifferential, ExponentCap) {
    ParseChecker checker;
    std::string zeros(5000, '0');
    for (const char* exponent : {"e5199", "e5200", "e5201", "e5202", "e99999999999"}) {
        checker.Check("0." + zeros + "1" + exponent);
        checker.Check("-0." + zeros + "17976931348623157" + exponent);
    }
    // More significant digits than the exponent takes away: the whole value
    // still decides, far below the cap.
    checker.Check("1" + zeros + "1e-5201");
    checker.Check("1" + zeros + "1e-5300");
    checker.Check(std::string(6000, '9') + "e-5700");
    checker.Check("0." + zeros + zeros + "1e99999");
}

TEST(ParseAmountDifferential, RandomDoublesWrittenOut) {
    ParseChecker checker;
    std::mt19937_64 random(1);
    for (int i = 0; i < 20000; ++i) {
        double value = DoubleFromBits(random());
        if (!std::isfinite(value)) {
            continue;
        }
        char text[80];
        const char* formats[] = {"%.17g", "%.16g", "%.15g", "%.25e", "%.3e"};
        std::snprintf(text, sizeof text, formats[i % 5], value);
        checker.Check(text);
    }
}

TEST(ParseAmountDifferential, RandomMidpoints) {
    ParseChecker checker;
    std::mt19937_64 random(2);
    for (int i = 0; i < 6000; ++i) {
        double lower = std::fabs(DoubleFromBits(random()));
        if (i % 3 == 0) {
            // Most ties of interest are near the figures people type.
            lower = std::ldexp(static_cast<double>(random() >> 11),
                               static_cast<int>(random() % 120) - 100);
        }
        if (!std::isfinite(lower)) {
            continue;
        }
        std::string midpoint = exact::WriteMidpointDecimal(lower);
        checker.Check(midpoint);
        checker.Check(WriteJustBelow(midpoint));
        checker.Check(WriteJustAbove(midpoint));
    }
}

// Short random texts over the characters the syntax cares about.
TEST(ParseAmountDifferential, RandomSyntax) {
    ParseChecker checker;
    std::mt19937_64 random(3);
    const std::string alphabet = "0123456789000999..+-eEdD \t$x,5";
    for (int i = 0; i < 50000; ++i) {
        std::string text(random() % 24, ' ');
        for (char& c : text) {
            c = alphabet[random() % alphabet.size()];
        }
        checker.Check(text);
    }
}

// Figures of up to 24 significant digits with exponents across the range.
TEST(ParseAmountDifferential, RandomScientific) {
    ParseChecker checker;
    std::mt19937_64 random(4);
    for (int i = 0; i < 50000; ++i) {
        std::string digits(1 + random() % 24, '0');
        for (char& c : digits) {
            c = static_cast<char>('0' + random() % 10);
        }
        std::size_t point = random() % (digits.size() + 1);
        std::string text = (random() % 2 ? "-" : "") + digits.substr(0, point) + "." +
                           digits.substr(point) + "e" +
                           std::to_string(static_cast<int>(random() % 700) - 350);
        checker.Check(text);
    }
}

}  // namespace

namespace {

// The edges of the fast paths: 19 significant digits and 20, with and
// without trailing zeros; decimal exponents at both ends of the power
// table and of the exact 128-bit powers; midpoints and doubles whose text
// has a point and more than 53 bits of digits (decided by dividing out the
// power of five).
TEST(ParseAmountDifferential, FastPathEdges) {
    ParseChecker checker;
    for (const char* digits : {"1", "9", "4503599627370497", "9007199254740993",
                               "1234567890123456789", "9999999999999999999", "18446744073709551615",
                               "12345678901234567890", "1000000000000000000000"}) {
        for (int q : {-348, -345, -344, -343, -342, -330, -326, -325, -324, -323, -307, -306,
                      -28,  -27,  -23,  -22,  -1,   0,    1,    18,   19,   22,   23,   27,
                      28,   55,   56,   57,   288,  289,  290,  307,  308,  309,  310}) {
            checker.Check(std::string(digits) + "e" + std::to_string(q));
            checker.Check(std::string(digits) + ".000e" + std::to_string(q));
        }
    }
    for (double lower : {0x1.0000000000001p+50, 0x1.0000000000001p+51, 0x1.fffffffffffffp+51,
                         0x1.0000000000003p+52, 0x1.fffffffffffffp+52, 0x1.8p+49}) {
        const std::string midpoint = exact::WriteMidpointDecimal(lower);
        checker.Check(midpoint);
        checker.Check(midpoint + "0000");
        checker.Check(WriteJustBelow(midpoint));
        checker.Check(WriteJustAbove(midpoint));
        checker.Check(exact::WriteExactDecimal(lower) + ".0");
    }
}

}  // namespace
