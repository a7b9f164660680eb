// A figure as read, in the shortest decimal that reads back to the same
// double through ParseAmount: 12, 0.105, 1e+300, -0, inf.
#pragma once

#include <cstddef>

// Room for the longest text, "-1.2345678901234567e-308", and its terminator.
constexpr std::size_t kShortestDecimalSize = 32;

// Writes the fewest significant digits d1...dk (k <= 17) such that
// ParseAmount reads them back as `value` bit for bit; of two such decimals
// with k digits, the one nearer the value. ParseAmount takes a tie to the
// smaller magnitude, so a decimal that lies halfway between two doubles is
// used only when it reads back as `value` itself.
//
// Layout: plain digits for magnitudes from 1e-6 up to below 1e21 ("12",
// "0.105", "0.000001", "123456789012345680000"), otherwise one digit, the
// rest after a point, and a signed exponent ("1e+300", "1.5e-7"). Zeros are
// "0" and "-0", infinities "inf" and "-inf", not-a-numbers "nan" and "-nan".
// Returns the length; `out` gets a terminator.
std::size_t FormatShortestDecimal(double value, char (&out)[kShortestDecimalSize]);
