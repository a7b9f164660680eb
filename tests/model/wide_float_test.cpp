#include <gtest/gtest.h>

#include "test_support.h"
#include "wide_float.h"

namespace {

void ExpectBits(double actual, double expected) {
    EXPECT_EQ(BitsOf(actual), BitsOf(expected))
        << "got " << Describe(actual) << ", expected " << Describe(expected);
}

TEST(WideFloat, ProductsKeepTheirExponentUntilNarrowed) {
    const WideFloat big = MultiplyWide(Widen(0x1p1000), Widen(0x1p1000));
    ExpectBits(Narrow(big), DoubleFromBits(0x7FF0000000000000u));
    ExpectBits(Narrow(MultiplyWide(MultiplyWide(big, Widen(0x1p-750)), Widen(0x1p-750))), 0x1p500);
    const WideFloat tiny = MultiplyWide(Widen(0x1p-1000), Widen(0x1p-1000));
    ExpectBits(Narrow(MultiplyWide(MultiplyWide(tiny, Widen(0x1p995)), Widen(0x1p995))), 0x1p-10);
    ExpectBits(Narrow(DivideWide(Widen(0x1p-1000), Widen(0x1p1000))), 0.0);
    ExpectBits(Narrow(Widen(0x0.0000000000003p-1022)), 0x0.0000000000003p-1022);
}

TEST(WideFloat, NarrowingRoundsSubnormalsToEven) {
    // 53-bit significands with exponents below the normal range.
    struct Case {
        double significand;
        int exponent;
        double expected;
    } cases[] = {
        {1.0, -1075, 0.0},                        // half the smallest: tie to 0
        {1.5, -1075, 0x1p-1074},                  // above half
        {1.5, -1074, 0x1p-1073},                  // 1.5 units: tie to 2
        {1.25, -1073, 0x1p-1073},                 // 2.5 units: tie to 2
        {0x1.fffffffffffffp0, -1023, 0x1p-1022},  // carries into the smallest normal
        {1.0, -1100, 0.0},
        {-1.5, -1075, -0x1p-1074},
        {-1.0, -1076, -0.0},
    };
    for (const Case& c : cases) {
        const WideFloat value = MultiplyWide(Widen(c.significand), Widen(0x1p-1000));
        const WideFloat scaled = MultiplyWide(
            value,
            Widen(DoubleFromBits(static_cast<std::uint64_t>(kExponentBias + c.exponent + 1000)
                                 << kFractionBits)));
        ExpectBits(Narrow(scaled), c.expected);
    }
}

TEST(WideFloat, SubtractionIsOneRounding) {
    ExpectBits(Narrow(SubtractWide(Widen(1.0), Widen(0x1p-80))), 1.0);
    ExpectBits(Narrow(SubtractWide(Widen(1.0), Widen(0x1p-53))), 1.0 - 0x1p-53);
    ExpectBits(Narrow(SubtractWide(Widen(1.0), Widen(0x1p-54))), 1.0);  // tie to even
    ExpectBits(Narrow(SubtractWide(Widen(0x1p-80), Widen(1.0))), -1.0);
    ExpectBits(Narrow(SubtractWide(Widen(3.0), Widen(3.0))), 0.0);
    ExpectBits(Narrow(SubtractWide(Widen(-0.0), Widen(0.0))), -0.0);
    ExpectBits(Narrow(SubtractWide(Widen(0.0), Widen(2.0))), -2.0);
    const double inf = DoubleFromBits(0x7FF0000000000000u);
    // An infinity minus a value too large for a double stays infinite.
    const WideFloat huge = MultiplyWide(Widen(0x1p1000), Widen(0x1p100));
    ExpectBits(Narrow(SubtractWide(Widen(inf), huge)), inf);
    ExpectBits(Narrow(SubtractWide(Widen(inf), Widen(inf))), DoubleFromBits(0xFFF8000000000000u));
}

TEST(WideFloat, InvalidOperationsGiveTheSameNaNEverywhere) {
    const double inf = DoubleFromBits(0x7FF0000000000000u);
    const std::uint64_t invalid = 0xFFF8000000000000u;
    EXPECT_EQ(BitsOf(Narrow(MultiplyWide(Widen(0.0), Widen(inf)))), invalid);
    EXPECT_EQ(BitsOf(Narrow(DivideWide(Widen(-inf), Widen(inf)))), invalid);
    EXPECT_EQ(BitsOf(Narrow(DivideWide(Widen(0.0), Widen(-0.0)))), invalid);
    ExpectBits(Narrow(DivideWide(Widen(-1.0), Widen(0.0))), -inf);
    ExpectBits(Narrow(DivideWide(Widen(1.0), Widen(-inf))), -0.0);
}

TEST(WideFloat, ComparisonsSeeTheWideValue) {
    EXPECT_TRUE(IsGreaterWide(Widen(1000.0000000000001), 1000.0));
    EXPECT_FALSE(IsGreaterWide(Widen(1000.0), 1000.0));
    EXPECT_TRUE(IsGreaterWide(MultiplyWide(Widen(0x1p1000), Widen(0x1p100)), 1000.0));
    EXPECT_FALSE(IsGreaterWide(Widen(DoubleFromBits(0xFFF8000000000000u)), 1000.0));
    const WideFloat tinyNegative = MultiplyWide(Widen(-0x1p-1000), Widen(0x1p-100));
    EXPECT_TRUE(IsNegativeWide(tinyNegative));
    ExpectBits(Narrow(tinyNegative), -0.0);
}

}  // namespace
