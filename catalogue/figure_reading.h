// Reads the four figures of a catalogue row exactly as the window reads its
// fields, after the catalogue's own rewriting (decimal comma, thousands
// groups, a currency), and says which of them were empty or not read whole,
// so that a catalogue of thousands of rows never misreads a figure without a
// word.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "column_map.h"
#include "inventory.h"

// How a catalogue writes its figures, beyond the window's own rules.
struct FigureRules {
    // 1.299,50: "." and blanks group thousands, "," is the decimal point.
    bool decimalComma = false;
    // 1,299.50: "," groups thousands.
    bool thousandsComma = false;
    // Written before or after price and cost ("12,50 €", "£12.50"), with
    // blanks around it; empty for none. "$" needs none: the window skips it.
    std::string_view currency;
};

// The longest currency text a catalogue may name.
constexpr std::size_t kMaxCurrencyLength = 16;

// Whether `text` can name a currency: 1 to kMaxCurrencyLength bytes, and
// none of them a digit, a sign, a point, a comma, a blank, a quote or a
// control byte, any of which would read as part of a number or a field.
bool IsCurrencyText(std::string_view text);

// Rewrites a figure written with a decimal comma into the window's form. A
// "." or blank (the space, and UTF-8's no-break and narrow no-break spaces)
// groups thousands where a digit stands before it and exactly three digits
// and then a non-digit (or the end) after it: it is dropped. The first ","
// becomes the decimal point. Any other "." becomes "," and so ends the
// number, as do blanks that group nothing: "1.299,50" -> "1299.50",
// "1 299,5" -> "1299.5", "12.50" -> "12,50" (read as 12, not whole).
void RewriteDecimalComma(std::string_view figure, std::string& out);

// Rewrites a figure written with "," between groups of thousands: a ","
// before the decimal point, with a digit before it and exactly three digits
// and then a non-digit (or the end) after it, is dropped; "$1,400.00" ->
// "$1400.00". Any other "," stays and ends the number.
void RewriteThousandsComma(std::string_view figure, std::string& out);

// `figure` without `currency` before it or after it, and without the blanks
// around it; as it is when the currency is not there.
std::string_view StripCurrency(std::string_view figure, std::string_view currency);

// The four figures, and for each whether it was read whole and whether its
// text was empty or blank (read as 0, as an empty field of the window).
struct FigureReading {
    InventoryInputs inputs;
    bool readWhole[kFigureCount];
    bool empty[kFigureCount];
};

// Room for the rewritten figures of one row, reused from row to row so that
// it stops growing once it holds the longest figure.
struct RewrittenFigures {
    std::string text[kFigureCount];
};

// The figures price, cost, bought, sold as the window reads them (through
// ReadInputField), each first stripped of the currency and rewritten by the
// rules: the rewritten text is then what the window's rules (the first 19
// characters, a leading "$") apply to. Rewriting first is what keeps
// "1.234.567,89" whole: its separators do not use up the 19.
FigureReading ReadFigures(const std::string_view (&figures)[kFigureCount], const FigureRules& rules,
                          RewrittenFigures& rewritten);
