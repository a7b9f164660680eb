// The six result columns of one output row, ready to write: the window's
// texts, or with --numbers plain numbers a spreadsheet can sum and sort; with
// a decimal comma when the run uses one.
#pragma once

#include <cstddef>
#include <string_view>

#include "catalogue_totals.h"
#include "inventory.h"

// FormatFixed's longest finite text with 2 places is 313 characters.
constexpr std::size_t kNumberTextSize = 320;

struct ResultCells {
    ResultTexts texts;
    char numbers[kResultCount][kNumberTextSize];
    std::string_view cell[kResultCount];  // into texts or numbers; empty for no number
};

// The item's result texts, or its numbers: each figure through FormatFixed
// with width 1 and 2 places, nothing around it; return on inventory as its
// value whatever its band; an empty cell for "Infinite", an infinity or a
// not-a-number.
void MakeItemCells(const InventoryInputs& inputs, bool numbers, bool decimalComma,
                   ResultCells& cells);

// The same for a totals row; its months supply is always empty.
void MakeTotalsCells(const CatalogueTotals& totals, bool numbers, bool decimalComma,
                     ResultCells& cells);

// Turns the decimal point of a number text into a comma.
void UseDecimalComma(char* text, std::size_t length);
