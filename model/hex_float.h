// Exact text of a stored figure, so a row can be checked bit for bit without
// any decimal rounding getting in the way.
#pragma once

#include <cstddef>

// Room for the longest text, "-0x1.fffffffffffffp+1023", and its terminator.
constexpr std::size_t kHexFloatSize = 32;

// Writes `value` as C99 hexadecimal floating text, the same as glibc's
// printf("%a"): "0x1.8p+1" (normal: leading 1, fraction digits without
// trailing zeros, the point only when there are digits, decimal binary
// exponent with its sign), "0x0.0000000000001p-1022" (subnormal: leading 0,
// exponent always -1022), "0x0p+0" and "-0x0p+0" (zeros), "inf", "-inf",
// "nan", "-nan". A "-" is written whenever the sign bit is set. Returns the
// length of the text; `out` also gets a terminator.
std::size_t FormatHexFloat(double value, char (&out)[kHexFloatSize]);
