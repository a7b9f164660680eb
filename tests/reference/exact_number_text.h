// A slow, exact second implementation of the two number text rules, built on
// GMP's unbounded integers and rationals in the plainest way we could write
// it. It shares no code with the calculator's own conversions and serves as
// the oracle of the differential tests and the fuzz targets.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace exact {

// The text read as the calculator reads a typed figure: the longest leading
// number, its exact decimal value rounded once to the nearest double, an exact
// tie going to the neighbour of smaller magnitude.
double ParseAmount(std::string_view text);

// How a result differs from the exact rounding of a text.
enum class ParseAgreement {
    kSame,             // bit for bit
    kSubnormalLeeway,  // exact value below the smallest normal double, and the
                       // result is one of the two doubles around it
    kDifferent,
};

// Compares `result` (from another implementation) with the exact rounding of
// `text`. Results in the subnormal range may be off by one unit in the last
// place: the calculator allows that there.
ParseAgreement CompareParse(std::string_view text, double result);

// Every decimal digit of a double's exact value, for example
// "0.1000000000000000055511151231257827021181583404541015625"; a "-" in front
// of negative values. Only for finite values.
std::string WriteExactDecimal(double value);

// The exact decimal value halfway between `lower` and the next double above it
// (the next representable magnitude for finite positive `lower`).
std::string WriteMidpointDecimal(double lower);

// A value as 0.d1d2d3... x 10^decpt with at most 17 significant digits, or one
// of "1#INF", "1#QNAN", "1#IND", "1#SNAN" in place of the digits.
struct DecimalForm {
    bool negative = false;
    std::string digits;
    long decpt = 0;
};

// What the 17-digit step does when the exact expansion has exactly 18
// significant digits and the last is a 5: the calculator rounds it away from
// zero, but for magnitudes of 10^14 and more it may also cut it.
enum class EighteenthFive { kRoundAway, kCut };

DecimalForm MakeDecimalForm(double value, EighteenthFive rule = EighteenthFive::kRoundAway);

// True when `value` is 10^14 or more in magnitude and its exact expansion has
// exactly 18 significant digits, the last a 5: the one place where the
// 17-digit step may go either way.
bool HasEighteenthFive(double value);

// Steps 2 to 4 of the fixed-point layout on a decimal form.
std::string LayOutFixed(DecimalForm form, int minWidth, int decimals);

// The fixed-point text of `value`, as the result fields show it.
std::string FormatFixed(double value, int minWidth, int decimals,
                        EighteenthFive rule = EighteenthFive::kRoundAway);

// Whether `text` is an acceptable fixed-point text for the value: the exact
// one, or the cut alternative where HasEighteenthFive allows it.
bool IsAcceptableFixed(double value, int minWidth, int decimals, std::string_view text);

// The bits of a double, for messages in hexadecimal floating form.
std::string DescribeDouble(double value);

}  // namespace exact
