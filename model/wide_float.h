// Double-precision arithmetic with a wide exponent range.
//
// Inside a formula the calculator rounds every operation to a 53-bit
// significand but lets the exponent run beyond that of a double (as an 80-bit
// extended intermediate would); values are narrowed to doubles only where the
// model says so. A WideFloat keeps the significand in a double in [1, 2) and
// the exponent in an int, so each operation is one correctly rounded double
// operation on numbers near 1, which never overflows or underflows, and gives
// the same bits on every IEEE 754 toolchain.
#pragma once

#include <cstdint>

struct WideFloat {
    double significand;  // finite nonzero: magnitude in [1, 2); otherwise the zero, infinity or NaN
    std::int32_t exponent;  // value = significand * 2^exponent; 0 unless finite nonzero
};

WideFloat Widen(double value);
// Rounds to a double: exact in the normal range, an infinity above it,
// a subnormal or zero (round to nearest, ties to even) below it.
double Narrow(WideFloat value);

WideFloat MultiplyWide(WideFloat a, WideFloat b);
WideFloat DivideWide(WideFloat a, WideFloat b);
WideFloat SubtractWide(WideFloat a, WideFloat b);

bool IsNaNWide(WideFloat value);
bool IsNegativeWide(WideFloat value);  // sign bit set, zeros included
// value > bound for a finite positive double `bound`; false for NaN.
bool IsGreaterWide(WideFloat value, double bound);
