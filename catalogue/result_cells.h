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

// Either the six texts or the six numbers are filled; `length` says how long
// each is (0 for an empty number cell).
struct ResultCells {
    ResultTexts texts;
    char numbers[kResultCount][kNumberTextSize];
    bool holdsNumbers;
    std::size_t length[kResultCount];
};

inline std::string_view GetCell(const ResultCells& cells, int field) {
    return std::string_view(cells.holdsNumbers ? cells.numbers[field] : cells.texts.text[field],
                            cells.length[field]);
}

// The item's result texts, or its numbers: each figure through FormatFixed
// with width 1 and 2 places, nothing around it; return on inventory as its
// value whatever its band; an empty cell for "Infinite", an infinity or a
// not-a-number.
ResultCells MakeItemCells(const InventoryInputs& inputs, bool numbers, bool decimalComma);

// The same for a totals row; its months supply is always empty.
ResultCells MakeTotalsCells(const CatalogueTotals& totals, bool numbers, bool decimalComma);

// Turns the decimal point of a number text into a comma.
void UseDecimalComma(char* text, std::size_t length);
