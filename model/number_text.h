// The two conversions between figures and text. They are the only ones the
// calculator uses: the C library's strtod and printf follow other rounding
// rules, treat the sign of zero differently and depend on the locale.
#pragma once

#include <cstddef>
#include <string_view>

// The white space ParseAmount skips before a number (0x09-0x0D, 0x20), the
// only text a figure read whole may have after its number, and the blanks
// around a column name.
inline bool IsAmountBlank(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// Reads the longest leading number of `text` and returns the double nearest to
// its exact decimal value; an exact tie goes to the neighbour of smaller
// magnitude. Syntax: leading white space (0x09-0x0D, 0x20), an optional sign,
// digits with at most one ".", and an optional exponent introduced by e, E, d
// or D. Anything after the number is ignored; a text without a number gives +0.
// Overflow gives an infinity and underflow a zero, both with the written sign.
// Never fails; linear in the length of the text, with bounded memory.
double ParseAmount(std::string_view text);

// The largest `decimals` FormatFixed accepts; larger requests are clamped.
constexpr int kMaxFixedDecimals = 400;

// Renders `value` in fixed-point notation with `decimals` places (no point
// when 0), blanks on the left up to `minWidth` characters. The value is
// rounded twice, halves away from zero both times: first to 17 significant
// digits of its exact binary value, then to `decimals` places. Negative zero
// prints without a sign; infinities and not-a-numbers print in the
// "1.#INF" family, rounded like digits ("1.#J" for infinity at 2 places).
//
// Writes the text and its terminator to `out` only when the whole text fits
// in `outSize` bytes (outSize > length); otherwise `out` gets an empty string
// when it has room for one. Returns the length of the whole text either way,
// so a caller can tell a text that did not fit and never shows a cut number.
std::size_t FormatFixed(double value, int minWidth, int decimals, char* out, std::size_t outSize);
