// The result columns of one output row, ready to write: the window's texts,
// or with --numbers plain numbers a spreadsheet can sum and sort; with a
// decimal comma when the run uses one, and the run's currency in place of
// "$". After the six results may come the two cells of a target return.
#pragma once

#include <cstddef>
#include <string_view>

#include "figure_reading.h"
#include "figures_used.h"
#include "inventory.h"

// FormatFixed's longest finite text with 2 places is 313 characters.
constexpr std::size_t kNumberTextSize = 320;

// The six results and the order and months supply that reach a target.
constexpr std::size_t kTargetCells = 2;
constexpr std::size_t kMaxResultCells = kResultCount + kTargetCells;

// Written where no order reaches the target.
constexpr std::string_view kNoTargetText = "None";

// Views of the cells, into texts the caller keeps; an empty cell for no
// number. Each view starts a text buffer of at least kCellBufferBytes bytes,
// so a writer may copy a short cell in whole words that run past its end.
constexpr std::size_t kCellBufferBytes = kResultTextSize;
static_assert(kNumberTextSize >= kCellBufferBytes, "number texts are cell buffers too");

struct ResultCells {
    std::string_view cell[kMaxResultCells];
    std::size_t count = kResultCount;
};

// Room for the cells' texts.
struct CellTexts {
    ResultTexts results;
    // Money texts with another currency, and the target's texts.
    char money[kResultCount][kResultTextSize + kMaxCurrencyLength];
    char target[kTargetCells][kResultTextSize];
    char numbers[kMaxResultCells][kNumberTextSize];
};

// How the cells are written.
struct CellForm {
    bool numbers = false;       // plain numbers instead of texts
    bool decimalComma = false;  // a decimal comma in every number
    std::string_view currency;  // in place of "$", empty for "$"
};

// The cells of a record, and of a target order when `target` is not null.
// The results are rendered into `texts`; the views point into it.
ResultCells MakeResultCells(const InventoryResults& results, const TargetOrder* target,
                            const CellForm& form, CellTexts& texts);

// Turns the decimal point of a number text into a comma.
void UseDecimalComma(char* text, std::size_t length);
