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

// Adds an item's money figures.
void AddItemToTotals(CatalogueTotals& totals, const InventoryResults& item);

// The results of a totals row: the three sums, and the percentages worked
// out from them by the same rules as one item's.
InventoryResults ReadTotals(const CatalogueTotals& totals);
