// FormatFixed against the exact reference: hard cases from bit patterns,
// the output-buffer contract, and seeded random sweeps over every kind of
// double.
#include "double_bits.h"
#include "exact_number_text.h"
#include "number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

// Room for the longest text any test asks for: 400 places, 309 integer
// digits, sign and point.
constexpr std::size_t kRoom = 1024;

// Formats through the model with ample room and checks the text against the
// reference, allowing the cut of a lone eighteenth-digit 5 where it may go
// either way (those are counted).
struct FormatChecker {
    int cuts = 0;

    void Check(double value, int minWidth, int decimals) {
        char out[kRoom];
        std::size_t length = FormatFixed(value, minWidth, decimals, out, sizeof out);
        ASSERT_LT(length, sizeof out) << exact::DescribeDouble(value);
        std::string got(out);
        std::string want = exact::FormatFixed(value, minWidth, decimals);
        EXPECT_EQ(got.size(), length) << exact::DescribeDouble(value);
        if (got != want && exact::IsAcceptableFixed(value, minWidth, decimals, got)) {
            ++cuts;
            return;
        }
        EXPECT_EQ(got, want) << exact::DescribeDouble(value) << " width " << minWidth
                             << " decimals " << decimals;
    }

    void CheckTemplates(double value) {
        for (int decimals = 0; decimals <= 6; ++decimals) {
            Check(value, 1, decimals);
            Check(value, 16, decimals);
        }
    }

    ~FormatChecker() {
        if (cuts > 0) {
            std::printf("%d texts cut a lone eighteenth-digit 5\n", cuts);
        }
    }
};

const std::vector<double> kHardValues = {
    0.125,
    0.625,
    0x1.5666666666666p+1,  // 2.675, held below
    0x1.0147ae147ae14p+0,  // 1.005, held below
    0x1.ae147ae147ae1p-4,  // 0.105, held below; 17 digits say 0.105
    0x1.1333333333333p+0,  // 1.075, held below; 17 digits say 1.075
    0x1.47ae147ae147bp-8,  // 0.005, held above
    0x1.f3ff5c28f5c29p+9,  // 999.995, held above
    0x1.3fd70a3d70a3dp+3,  // 9.995
    0x1.eb851eb851eb8p-7,  // 0.015
    0x1.5af1d78b58c4p+66,  // 10^20
    0x1p+60,               // 1152921504606846976: the 18th digit rounds the 17th up
    0x1p+53,
    0x1.c6bf526340002p+49,    // 10^15 + 0.25: exactly 18 digits, the last a 5
    0x1.fffffffffffffp+1023,  // DBL_MAX
    0x1p-1022,
    0x0.0000000000001p-1022,
    0x0.012688b70e62bp-1022,  // 1e-310
    0.5,
    1.5,
    2.5,
    9.5,
    99.5,
    0.05,
    0.0049999999999999999,
    0.0,
    0x1.fffffffffffffp-1,
    1e16,
    99999999999999999.0,
    0x1.0624dd2f1a9fcp-10,  // 0.001
    12.5,
    1000.0,
    0x1.f400000000001p+9,  // just above 1000
};

TEST(FormatFixedDifferential, HardValuesEveryTemplate) {
    FormatChecker checker;
    for (double value : kHardValues) {
        checker.CheckTemplates(value);
        checker.CheckTemplates(-value);
    }
}

TEST(FormatFixedDifferential, HardValuesManyPlaces) {
    FormatChecker checker;
    for (double value : kHardValues) {
        for (int decimals : {7, 16, 17, 18, 20, 40, 330, 399, 400, 401, 5000}) {
            checker.Check(value, 1, decimals);
            checker.Check(-value, 40, decimals);
        }
    }
}

TEST(FormatFixedDifferential, NonFiniteValues) {
    FormatChecker checker;
    for (std::uint64_t bits :
         {0x7FF0000000000000u, 0xFFF0000000000000u, 0xFFF8000000000000u, 0x7FF8000000000000u,
          0xFFF8000000000001u, 0x7FF0000000000001u, 0xFFF0000000000001u, 0x7FFFFFFFFFFFFFFFu,
          0xFFFFFFFFFFFFFFFFu, 0x7FF7FFFFFFFFFFFFu, 0x7FFC000000000000u}) {
        double value = DoubleFromBits(bits);
        checker.CheckTemplates(value);
        for (int decimals : {7, 8, 20}) {
            checker.Check(value, 1, decimals);
        }
    }
}

// The text and its terminator are written only when both fit; the length of
// the whole text comes back either way, and nothing past outSize is touched.
TEST(FormatFixedDifferential, WritesOnlyWholeTexts) {
    constexpr char kUntouched = '\x7f';
    for (double value : {0.0, -0.001, 12.5, 0x1.fffffffffffffp+1023, -HUGE_VAL}) {
        for (int minWidth : {1, 16}) {
            std::string want = exact::FormatFixed(value, minWidth, 2);
            for (std::size_t outSize = 0; outSize <= want.size() + 2; ++outSize) {
                char out[kRoom];
                std::memset(out, kUntouched, sizeof out);
                std::size_t length = FormatFixed(value, minWidth, 2, out, outSize);
                EXPECT_EQ(length, want.size()) << exact::DescribeDouble(value);
                std::string expected = outSize > want.size() ? want : "";
                if (outSize > 0) {
                    EXPECT_EQ(std::string(out), expected)
                        << exact::DescribeDouble(value) << " outSize " << outSize;
                }
                for (std::size_t i = outSize; i < sizeof out; ++i) {
                    ASSERT_EQ(out[i], kUntouched)
                        << exact::DescribeDouble(value) << " outSize " << outSize << " byte " << i;
                }
            }
        }
    }
}

TEST(FormatFixedDifferential, RandomBitPatterns) {
    FormatChecker checker;
    std::mt19937_64 random(5);
    for (int i = 0; i < 20000; ++i) {
        checker.CheckTemplates(DoubleFromBits(random()));
    }
}

// Doubles a few units either side of two-place and one-place ties, where the
// two roundings meet.
TEST(FormatFixedDifferential, RandomNearDecimalTies) {
    FormatChecker checker;
    std::mt19937_64 random(6);
    for (int i = 0; i < 20000; ++i) {
        long long cents = static_cast<long long>(random() % 100000000000ull);
        double tie = (static_cast<double>(cents) + 0.5) / (i % 2 ? 100.0 : 10.0);
        for (int step = 0; step < static_cast<int>(random() % 3); ++step) {
            tie = std::nextafter(tie, random() % 2 ? 0.0 : HUGE_VAL);
        }
        checker.CheckTemplates(random() % 4 == 0 ? -tie : tie);
    }
}

// Magnitudes from 10^14 to 2^53 with a quarter or three quarters: exactly
// 18 significant digits, the last a 5, where the 17-digit step has leeway.
TEST(FormatFixedDifferential, RandomEighteenthFives) {
    FormatChecker checker;
    std::mt19937_64 random(7);
    for (int i = 0; i < 5000; ++i) {
        double whole = static_cast<double>(100000000000000ull + random() % 1000000000000000ull);
        double value = whole + (random() % 2 ? 0.25 : 0.75);
        checker.CheckTemplates(value);
    }
}

TEST(FormatFixedDifferential, RandomMagnitudes) {
    FormatChecker checker;
    std::mt19937_64 random(8);
    for (int i = 0; i < 20000; ++i) {
        double value =
            std::ldexp(static_cast<double>(random() >> 11), static_cast<int>(random() % 140) - 120);
        checker.CheckTemplates(value);
    }
}

}  // namespace

namespace {

// The edges of the integer path: magnitudes around each power of ten from
// 10^-12 to 10^20 (where the 17 digits stop coming from one 64-bit product),
// and place counts around 17 (where the rounded figure stops fitting).
TEST(FormatFixedDifferential, IntegerPathEdges) {
    FormatChecker checker;
    for (int k = -12; k <= 20; ++k) {
        const double power = std::strtod(("1e" + std::to_string(k)).c_str(), nullptr);
        double value = power;
        for (int step = 0; step < 3; ++step) {
            value = std::nextafter(value, 0.0);
        }
        for (int step = 0; step < 7; ++step, value = std::nextafter(value, HUGE_VAL)) {
            for (int decimals : {0, 1, 2, 3, 15, 16, 17, 18, 19}) {
                checker.Check(value, 1, decimals);
                checker.Check(-value, 16, decimals);
            }
        }
        // Nines up to the 17th digit: the carry out of the first place.
        checker.Check(power * (1 - 0x1p-50), 1, 2);
    }
}

}  // namespace

namespace {

// The integer path for every place count it takes (0 to 17), over the
// magnitudes it covers and a little past them: the rounding to the places
// divides by every power of ten from 10^1 to 10^19.
TEST(FormatFixedDifferential, IntegerPathEveryPlaceCount) {
    FormatChecker checker;
    std::mt19937_64 random(9);
    for (int i = 0; i < 20000; ++i) {
        const double value =
            std::ldexp(static_cast<double>(random() >> 11), static_cast<int>(random() % 110) - 90);
        const int decimals = static_cast<int>(random() % 18);
        checker.Check(random() % 2 ? -value : value, random() % 2 ? 1 : 24, decimals);
    }
}

// A text written a word at a time needs room past its end; with exactly its
// own room (and one byte more or less) it is written a digit at a time. Both
// give the same text, and nothing past outSize is touched.
TEST(FormatFixedDifferential, TightRoomGivesTheSameText) {
    constexpr char kUntouched = '\x7f';
    std::mt19937_64 random(10);
    for (int i = 0; i < 20000; ++i) {
        const double value =
            std::ldexp(static_cast<double>(random() >> 11), static_cast<int>(random() % 80) - 60);
        const int decimals = static_cast<int>(random() % 8);
        const int minWidth = random() % 2 ? 1 : 20;
        char ample[kRoom];
        const std::size_t length = FormatFixed(value, minWidth, decimals, ample, sizeof ample);
        for (std::size_t outSize = length; outSize <= length + 8; ++outSize) {
            char tight[kRoom];
            std::memset(tight, kUntouched, sizeof tight);
            ASSERT_EQ(FormatFixed(value, minWidth, decimals, tight, outSize), length);
            ASSERT_EQ(std::string(tight), outSize > length ? std::string(ample) : "")
                << exact::DescribeDouble(value) << " decimals " << decimals << " outSize "
                << outSize;
            for (std::size_t at = outSize; at < sizeof tight; ++at) {
                ASSERT_EQ(tight[at], kUntouched) << exact::DescribeDouble(value) << " byte " << at;
            }
        }
    }
}

}  // namespace
