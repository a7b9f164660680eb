// Reads the four figures of a catalogue row exactly as the window reads its
// fields, and says which of them were not read whole, so that a catalogue of
// thousands of rows never misreads a figure without a word.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "column_map.h"
#include "inventory.h"

// Rewrites a figure written with a decimal comma into the window's form:
// "." and blanks (the space, and UTF-8's no-break and narrow no-break spaces)
// that stand between two digits are thousands separators and are dropped,
// and "," becomes the decimal point: "1.299,50" -> "1299.50", "1 299,5" ->
// "1299.5". Everything else is kept, so a figure that was not written this
// way still shows as not read whole.
void RewriteDecimalComma(std::string_view figure, std::string& out);

// The four figures, and for each whether it was read whole.
struct FigureReading {
    InventoryInputs inputs;
    bool readWhole[kFigureCount];
};

// Room for the rewritten figures of one row, reused from row to row so that
// it stops growing once it holds the longest figure.
struct RewrittenFigures {
    std::string text[kFigureCount];
};

// The figures price, cost, bought, sold as the window reads them (through
// ReadInputField), each first rewritten by RewriteDecimalComma when
// `decimalComma` is set: the rewritten text is then what the window's rules
// (the first 19 characters, a leading "$") apply to. Rewriting first is what
// keeps "1.234.567,89" whole: its separators do not use up the 19.
FigureReading ReadFigures(const std::string_view (&figures)[kFigureCount], bool decimalComma,
                          RewrittenFigures& rewritten);
