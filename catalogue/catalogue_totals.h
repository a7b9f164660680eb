// The catalogue's last row: money figures summed over all items, with the
// percentages worked out from the sums (averaging percentages would weigh a
// one-dollar item like a thousand-dollar one).
#pragma once

#include "inventory.h"

// A running sum with Neumaier's compensation: the rounding error of every
// addition is kept aside and added back at the end, so a million rows of
// cents do not drift into the shown digits.
struct CompensatedSum {
    double sum = 0.0;
    double compensation = 0.0;
};

struct CatalogueTotals {
    CompensatedSum annualSales;
    CompensatedSum grossProfit;
    CompensatedSum averageInventory;
};

// Adds an item's figures, ComputeFigures of its inputs.
void AddItemToTotals(CatalogueTotals& totals, const InventoryFigures& figures);

// The totals through the same templates and fixed texts as one item's results;
// the months supply text is empty, since a sum of counts of different items
// means nothing.
ResultTexts FormatTotalsTexts(const CatalogueTotals& totals);

// The figures behind a totals row, for --numbers: the three sums and the two
// percentages worked out from them (months supply has no total).
struct TotalsFigures {
    double annualSales;
    double grossProfit;
    double grossProfitPercent;
    double averageInventory;
    double returnOnInventory;
};

TotalsFigures ComputeTotalsFigures(const CatalogueTotals& totals);
