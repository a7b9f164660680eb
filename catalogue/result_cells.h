// The six result columns of one output row, ready to write: the window's
// texts, or with --numbers plain numbers a spreadsheet can sum and sort; with
// a decimal comma when the run uses one.
#pragma once

#include <cstddef>
#include <string_view>

#include "inventory.h"

// FormatFixed's longest finite text with 2 places is 313 characters.
constexpr std::size_t kNumberTextSize = 320;

// Views of the six cells, into texts the caller keeps; an empty cell for no
// number. Each view starts a text buffer of at least kCellBufferBytes bytes,
// so a writer may copy a short cell in whole words that run past its end.
constexpr std::size_t kCellBufferBytes = kResultTextSize;
static_assert(kNumberTextSize >= kCellBufferBytes, "number texts are cell buffers too");

struct ResultCells {
    std::string_view cell[kResultCount];
};

struct NumberTexts {
    char text[kResultCount][kNumberTextSize];
};

// The cells of the six result texts, which get a decimal comma in place
// when `decimalComma` is set.
ResultCells ViewTextCells(ResultTexts& texts, bool decimalComma);

// The six numbers of a record: each value through FormatFixed with width 1
// and 2 places, nothing around it; return on inventory as its value whatever
// its kind; an empty cell for "Infinite", no figure, an infinity or a
// not-a-number.
ResultCells MakeNumberCells(const InventoryResults& results, bool decimalComma,
                            NumberTexts& numbers);

// Turns the decimal point of a number text into a comma.
void UseDecimalComma(char* text, std::size_t length);
