// The figures of an item against the wide arithmetic written out plainly
// here, at the ends of the double range: where plain double arithmetic
// would round differently (subnormal or overflowing intermediate results)
// the model must give the wide operations' bits, and everywhere else too.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <string>

#include "inventory.h"
#include "test_support.h"
#include "wide_float.h"

namespace {

// The six figures exactly as the rules state them: every operation on
// WideFloat values, narrowed where a figure is complete.
struct WideFigures {
    double annualSales;
    double grossProfit;
    double averageInventory;
    double grossProfitPercent;
    double monthsSupply;
    double returnValue;
    ResultKind returnKind;
};

bool CountsAsZero(double value) {
    return value == 0.0 || std::isnan(value);
}

WideFloat Percentage(double dividend, double divisor) {
    return MultiplyWide(DivideWide(Widen(dividend), Widen(divisor)), Widen(100.0));
}

double QuotientOrZeroCase(double dividend, double divisor, double quotient) {
    if (!CountsAsZero(divisor)) {
        return quotient;
    }
    return CountsAsZero(dividend) ? 0.0 : HUGE_VAL;
}

WideFigures ComputeWidely(const InventoryInputs& in) {
    const WideFloat price = Widen(in.price);
    const WideFloat cost = Widen(in.cost);
    const WideFloat bought = Widen(in.buyPerMonth);
    const WideFloat sold = Widen(in.sellPerMonth);
    WideFigures wide;
    wide.annualSales = Narrow(MultiplyWide(MultiplyWide(sold, price), Widen(12.0)));
    wide.grossProfit = Narrow(
        SubtractWide(Widen(wide.annualSales), MultiplyWide(MultiplyWide(cost, sold), Widen(12.0))));
    wide.averageInventory = Narrow(MultiplyWide(MultiplyWide(bought, cost), Widen(0.5)));
    const double gp = wide.grossProfit;
    const double sales = wide.annualSales;
    const double average = wide.averageInventory;
    wide.grossProfitPercent = QuotientOrZeroCase(gp, sales, Narrow(Percentage(gp, sales)));
    wide.monthsSupply =
        QuotientOrZeroCase(in.buyPerMonth, in.sellPerMonth, Narrow(DivideWide(bought, sold)));
    if (CountsAsZero(average)) {
        wide.returnKind = CountsAsZero(gp) ? kResultZero : kResultInfinite;
        wide.returnValue = CountsAsZero(gp) ? 0.0 : HUGE_VAL;
        return wide;
    }
    const WideFloat r = Percentage(gp, average);
    wide.returnValue = Narrow(r);
    if (IsGreaterWide(r, 1000.0)) {
        wide.returnKind = kResultAboveLimit;
    } else if (!IsNaNWide(r) && (!IsNegativeWide(r) || r.significand == 0.0)) {
        wide.returnKind = kResultNumber;
    } else {
        wide.returnKind = kResultNegative;
    }
    return wide;
}

void ExpectSameBits(double got, double want, const std::string& what) {
    EXPECT_EQ(BitsOf(got), BitsOf(want))
        << what << ": " << Describe(got) << ", wide " << Describe(want);
}

void ExpectWideFigures(const InventoryInputs& in) {
    const std::string where = "price " + Describe(in.price) + " cost " + Describe(in.cost) +
                              " bought " + Describe(in.buyPerMonth) + " sold " +
                              Describe(in.sellPerMonth);
    const WideFigures wide = ComputeWidely(in);
    const InventoryResults results = ComputeResults(in);
    const double expected[kResultCount] = {wide.annualSales,        wide.grossProfit,
                                           wide.grossProfitPercent, wide.monthsSupply,
                                           wide.averageInventory,   wide.returnValue};
    for (int field = 0; field < kResultCount; ++field) {
        ExpectSameBits(results.figure[field].value, expected[field],
                       std::string(kResultLabels[field]) + " for " + where);
    }
    EXPECT_EQ(results.figure[kReturnOnInventory].kind, wide.returnKind) << where;
}

// Operands whose products, sums and quotients land on the smallest normals,
// the subnormals below them and the largest finite values.
TEST(PlainFigures, AgreeWithTheWideOperationsAtTheEndsOfTheRange) {
    const double scales[] = {0x1p-1074, 0x1p-1023, 0x1p-1022, 0x1p-1021,
                             0x1p-520,  0x1p-511,  0x1p-510,  0x1p-502,
                             0x1p-11,   1.0,       0x1p+500,  0x1p+508,
                             0x1p+509,  0x1p+511,  0x1p+1020, 0x1.fffffffffffffp+1023};
    const double significands[] = {1.0, 1.5, 0x1.fffffffffffffp+0, 1.2, 0x1.5555555555555p+0};
    std::mt19937_64 random(31);
    auto pick = [&]() {
        const double scale = scales[random() % (sizeof scales / sizeof scales[0])];
        const double significand =
            significands[random() % (sizeof significands / sizeof significands[0])];
        const double value = scale * significand;
        return random() % 4 == 0 ? -value : value;
    };
    for (int i = 0; i < 40000; ++i) {
        InventoryInputs in;
        in.price = pick();
        in.cost = pick();
        in.buyPerMonth = pick();
        in.sellPerMonth = pick();
        ExpectWideFigures(in);
        if (HasFailure()) {
            return;
        }
    }
}

// Everyday items, where every result is well inside the range, and random
// bit patterns, where most are not.
TEST(PlainFigures, AgreeWithTheWideOperationsOnRandomItems) {
    std::mt19937_64 random(32);
    for (int i = 0; i < 20000; ++i) {
        InventoryInputs in;
        if (i % 2 == 0) {
            in.price = static_cast<double>(random() % 1000000) / 100.0;
            in.cost = static_cast<double>(random() % 1000000) / 100.0;
            in.buyPerMonth = static_cast<double>(random() % 100000);
            in.sellPerMonth = static_cast<double>(random() % 100000);
        } else {
            in.price = DoubleFromBits(random());
            in.cost = DoubleFromBits(random());
            in.buyPerMonth = DoubleFromBits(random());
            in.sellPerMonth = DoubleFromBits(random());
        }
        ExpectWideFigures(in);
        if (HasFailure()) {
            return;
        }
    }
}

}  // namespace
