#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <string>

#include "byte_words.h"
#include "exact_decimal.h"
#include "amount_reading.h"
#include "number_text.h"
#include "test_support.h"

namespace {

struct ParseCase {
    const char* text;
    double expected;
};

void ExpectParses(const std::string& text, double expected) {
    const double actual = ParseAmount(text);
    EXPECT_EQ(BitsOf(actual), BitsOf(expected))
        << "text \"" << text << "\"\n  got      " << Describe(actual) << "\n  expected "
        << Describe(expected);
}

// Texts that take each way through the conversion: one double division,
// the 64x128-bit product (with and without its second half), the power of
// five divided out of a tie behind the point, and the exact path for many
// digits and for results below the smallest normal double. Expected values
// are the nearest doubles, ties worked out by hand.
TEST(ParseAmount, EveryPathGivesTheNearestDouble) {
    const ParseCase cases[] = {
        {"1234567890123456789", 0x1.12210f47de981p+60},
        {"0.1234567890123456789", 0x1.f9add3746f65fp-4},
        {"12345678.12345678", 0x1.78c29c3f35ba2p+23},
        {"98765432109876543e-300", 0x1.d5f884c7bd815p-941},
        {"123456789012345678e-320", 0x1.b178b6060cddbp-1007},
        {"2.2250738585072014e-308", 0x1p-1022},
        {"1.7976931348623157e308", 0x1.fffffffffffffp+1023},
        // Halfway between 2^52 + 1 and 2^52 + 2, and between 2^52 + 2 and
        // 2^52 + 3: the smaller magnitude both times, odd or even.
        {"4503599627370497.5", 0x1.0000000000001p+52},
        {"-4503599627370498.5", -0x1.0000000000002p+52},
        // 2^53 + 1 with trailing zeros past 19 digits: still the tie.
        {"9007199254740993.0000", 0x1p+53},
        {"9007199254740993.0001", 0x1.0000000000001p+53},
    };
    for (const ParseCase& c : cases) {
        ExpectParses(c.text, c.expected);
    }
}

TEST(ParseAmount, ReadsTheLongestLeadingNumber) {
    const ParseCase cases[] = {
        {"  12.5abc", 12.5},
        {"1,000", 1.0},
        {"1e3", 1000.0},
        {"1d3", 1000.0},
        {"1E+3", 1000.0},
        {"1D-2", 0x1.47ae147ae147bp-7},
        {".5", 0.5},
        {"5.", 5.0},
        {"+7", 7.0},
        {"0x10", 0.0},
        {"1e", 1.0},
        {"1e+", 1.0},
        {"1e-", 1.0},
        {"2.5e+x", 2.5},
        {"3-4", 3.0},
        {"1.2.3", 1.2},
        {"\t\n\v\f\r 42", 42.0},
        {"007.50", 7.5},
        {"-12.25", -12.25},
        {"0.000", 0.0},
        {"12 34", 12.0},
        {"1e0003", 1000.0},
        {"+.5e1", 5.0},
    };
    for (const ParseCase& c : cases) {
        ExpectParses(c.text, c.expected);
    }
}

TEST(ParseAmount, TextWithoutANumberGivesPositiveZero) {
    for (const char* text :
         {"", "-", "+", ".", "-.", "- 5", "$5", "inf", "nan", "e5", " ", "abc"}) {
        ExpectParses(text, 0.0);
    }
}

TEST(ParseAmount, ZerosKeepTheWrittenSign) {
    ExpectParses("-0", -0.0);
    ExpectParses("-0.000e5", -0.0);
    ExpectParses("-0e-999999", -0.0);
    ExpectParses("0e999999", 0.0);
    ExpectParses("-1e-400", -0.0);
    ExpectParses("1e-400", 0.0);
}

TEST(ParseAmount, OverflowGivesASignedInfinity) {
    const double inf = DoubleFromBits(0x7FF0000000000000u);
    ExpectParses("1e400", inf);
    ExpectParses("-1e400", -inf);
    ExpectParses("1e99999999999999999999", inf);
    ExpectParses("0.0000001e5210", inf);
    // The largest double is 1.7976931348623157e308; the overflow threshold is
    // 2^1024 - 2^970 (half a unit above it), which ties to the largest double.
    ExpectParses("1.7976931348623157e308", 0x1.fffffffffffffp+1023);
    ExpectParses("1.7976931348623159e308", inf);
}

TEST(ParseAmount, ExponentSaturatesBeyond5200) {
    // Digits after the exponent passed 5200 change nothing.
    ExpectParses("1e-5201", 0.0);
    ExpectParses("1e-52019999999", 0.0);
    ExpectParses("1e5201", DoubleFromBits(0x7FF0000000000000u));
}

TEST(ParseAmount, ExactTiesGoToTheSmallerMagnitude) {
    const ParseCase cases[] = {
        {"9007199254740993", 0x1p53},                 // 2^53 + 1: tie, even and smaller agree
        {"9007199254740995", 0x1.0000000000001p53},   // 2^53 + 3: tie, smaller is 2^53 + 2
        {"18014398509481987", 0x1.0000000000001p54},  // 2^54 + 3: 3/4 of a unit, nearest
        {"-9007199254740995", -0x1.0000000000001p53},
        {"9007199254740995e0", 0x1.0000000000001p53},
        {"900719925474099.5e1", 0x1.0000000000001p53},
    };
    for (const ParseCase& c : cases) {
        ExpectParses(c.text, c.expected);
    }
}

TEST(ParseAmount, SubnormalsUnderflowGradually) {
    ExpectParses("1e-310", 0x0.012688b70e62bp-1022);
    ExpectParses("4.9406564584124654e-324", 0x0.0000000000001p-1022);
    ExpectParses("2.2250738585072014e-308", 0x1p-1022);
    ExpectParses("2.2250738585072009e-308", 0x0.fffffffffffffp-1022);
    // Half the smallest subnormal is a tie and goes to zero; a hair above it does not.
    ExpectParses("2.4703282292062327e-324", 0.0);
    ExpectParses("2.4703282292062328e-324", 0x0.0000000000001p-1022);
}

TEST(ParseAmount, LongTextsAreExact) {
    // A digit a thousand places after the point decides a tie.
    ExpectParses("9007199254740993." + std::string(1000, '0') + "1", 0x1.0000000000001p53);
    ExpectParses("9007199254740993." + std::string(1000, '0'), 0x1p53);
    ExpectParses("0." + std::string(5000, '0') + "1e5001", 1.0);
    ExpectParses(std::string(400, '9'), DoubleFromBits(0x7FF0000000000000u));
    ExpectParses("1." + std::string(100000, '0') + "1", 1.0);
    ExpectParses("0." + std::string(100000, '0') + "1", 0.0);
    // The written exponent saturates whatever the mantissa: 10^100000 * 10^-5201.
    ExpectParses("1" + std::string(100000, '0') + "e-100000", DoubleFromBits(0x7FF0000000000000u));
}

// Midpoints between neighbouring doubles, written out in full: the midpoint
// itself goes to the smaller magnitude, a hair above it to the larger one,
// and a hair below to the smaller.
struct Neighbours {
    std::uint64_t lowerBits;  // the upper neighbour is lowerBits + 1
};

std::string DecrementDigits(std::string text) {
    for (auto it = text.rbegin(); it != text.rend(); ++it) {
        if (*it == '.') {
            continue;
        }
        if (*it != '0') {
            --*it;
            break;
        }
        *it = '9';
    }
    return text;
}

void CheckMidpoint(std::uint64_t lowerBits) {
    const DoubleParts parts = DecodeDouble(DoubleFromBits(lowerBits));
    const std::uint64_t m = parts.significand;
    const int e = parts.exponent;
    const std::string midpoint = exact::Decimal(2 * m + 1, e - 1);
    const bool hasPoint = midpoint.find('.') != std::string::npos;
    const std::string above = midpoint + (hasPoint ? "0001" : ".0001");
    const std::string below = DecrementDigits(midpoint) + (hasPoint ? "9999" : ".9999");
    const double lower = DoubleFromBits(lowerBits);
    const double upper = DoubleFromBits(lowerBits + 1);
    for (const char* sign : {"", "-"}) {
        const double s = *sign == '-' ? -1.0 : 1.0;
        ExpectParses(sign + midpoint, s * lower);
        ExpectParses(sign + above, s * upper);
        ExpectParses(sign + below, s * lower);
    }
}

TEST(ParseAmount, MidpointsBetweenNeighbours) {
    const std::uint64_t fixed[] = {
        0x0000000000000000u,                       // 0 and the smallest subnormal
        0x0000000000000001u, 0x000FFFFFFFFFFFFFu,  // subnormal into the smallest normal
        0x0010000000000000u, 0x3FF0000000000000u,  // 1
        0x3FB999999999999Au,                       // 0.1
        0x433FFFFFFFFFFFFFu, 0x4340000000000000u,  // around 2^53
        0x7FEFFFFFFFFFFFFEu, 0x7FEFFFFFFFFFFFFFu,  // the largest doubles (upper: infinity)
    };
    for (std::uint64_t bits : fixed) {
        CheckMidpoint(bits);
    }
    std::mt19937_64 random(20261207);
    for (int i = 0; i < 150; ++i) {
        CheckMidpoint(random() % 0x7FF0000000000000u);
    }
}

TEST(ParseAmount, ShortTextsRoundTrip) {
    // Every double printed with 17 significant digits reads back as itself.
    std::mt19937_64 random(7);
    for (int i = 0; i < 20000; ++i) {
        const double value = DoubleFromBits(random() % 0x7FF0000000000000u);
        char text[40];
        std::snprintf(text, sizeof text, "%.16e", value);
        ExpectParses(text, value);
    }
}

// Runs of digits are taken eight at a time only where eight bytes follow: a
// text read as it stands and with letters after it (so that eight bytes
// always follow) must give the same number, bit for bit, ending at the same
// place. ParseAmount is ReadAmount's value.
TEST(ReadAmount, ShortAndLongReadingsAgree) {
    const std::string alphabet = "0123456789000999..+-eEdD \t$x,5";
    std::mt19937_64 random(16);
    for (int i = 0; i < 100000; ++i) {
        std::string text(random() % 16, ' ');
        for (char& c : text) {
            c = alphabet[random() % alphabet.size()];
        }
        const AmountReading asShort = ReadAmount(text);
        const AmountReading asLong = ReadAmount(text + std::string(16 + random() % 8, 'x'));
        ASSERT_EQ(BitsOf(asShort.value), BitsOf(asLong.value)) << '"' << text << '"';
        ASSERT_EQ(asShort.length, asLong.length) << '"' << text << '"';
        ASSERT_EQ(BitsOf(ParseAmount(text)), BitsOf(asShort.value)) << '"' << text << '"';
    }
}

// The loads behind the word-at-a-time readers: the bytes wanted, the first
// lowest, zeros past them, and nothing read outside the text (the text is
// copied to its own allocation so that a sanitizer sees any byte beyond).
TEST(ByteWords, LoadsOnlyTheTextsBytes) {
    const std::string source = "0123456789abcdefghij";
    for (std::size_t size = 0; size <= source.size(); ++size) {
        const std::unique_ptr<char[]> text(new char[size == 0 ? 1 : size]);
        std::memcpy(text.get(), source.data(), size);
        for (std::size_t at = 0; at <= size; ++at) {
            std::uint64_t want = 0;
            for (std::size_t i = 0; i < 8 && at + i < size; ++i) {
                want |= std::uint64_t{static_cast<unsigned char>(source[at + i])} << (8 * i);
            }
            const std::size_t left = size - at;
            EXPECT_EQ(LoadUpToEightBytes(text.get() + at, left < 8 ? left : 8), want)
                << "size " << size << " at " << at;
        }
    }
}

}  // namespace
