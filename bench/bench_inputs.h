// The same inputs for the model and for the standard library beside it, made
// once from a fixed seed so that every run measures the same work.
#pragma once

#include <string>
#include <vector>

#include "inventory.h"

// Every benchmark goes through a whole pool per iteration; one size for all
// keeps the per-item times comparable.
constexpr int kPoolSize = 4096;

struct TextPool {
    std::vector<std::string> texts;  // NUL-terminated for strtod
};

// What people type: prices with cents and whole counts, 1 to 8 characters.
TextPool MakeTypedTexts();
// 19-character decimals with 18 or 19 significant digits: past what a
// double holds, so the exact decimal value decides the rounding.
TextPool MakeLongTexts();
// Mantissas with exponents across the whole double range.
TextPool MakeExponentTexts();

// Money amounts as the model computes them: price x count x 12, in cents.
std::vector<double> MakeMoneyFigures();
// Quotients times 100, as the percentages are: full 53-bit fractions.
std::vector<double> MakePercentFigures();
// Magnitudes from 10^-3 to 10^15 with full fractions.
std::vector<double> MakeWideFigures();

// Items as the window would read them from typed prices and counts.
std::vector<InventoryInputs> MakeItems();
// The four texts of each item in MakeItems, for ParseInputs.
std::vector<std::string> MakeItemTexts();
