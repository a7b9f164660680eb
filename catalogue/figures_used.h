// The figures a catalogue row is answered with: the four as read, divided by
// the months their columns count over (a sales report over 90 days, a
// purchases report over 6 months), then changed by the what-if percentages.
// Each step is one IEEE double operation per figure, in a fixed order, so
// that every front end gives the same bits.
#pragma once

#include "catalogue_options.h"
#include "inventory.h"

// Whether any figure is scaled or changed, so the common run skips it all.
bool ChangesFigures(const CatalogueOptions& options);

// Per month: bought / boughtMonths and sold / soldMonths, where set. Then,
// when `adjust` (the row is one the changes are for), for each figure with
// a change of P percent: q = P / 100, m = 1 + q, and the figure times m.
InventoryInputs UseFigures(const InventoryInputs& read, const CatalogueOptions& options,
                           bool adjust);

// The monthly order at which return on inventory reaches `targetPercent`,
// the other figures kept, and the months supply at that order; each a value
// and what it shows. With g the gross profit the model works out:
// a = g * 200, b = cost * P, quantity = a / b, months supply = quantity /
// sold. No quantity reaches a positive return when g is 0 or below (or not
// a number) or the cost counts as zero: the quantity is kResultNone, and so
// is the months supply, but where the sold count is zero: that months supply
// is "Infinite", as an item's is.
struct TargetOrder {
    ResultFigure quantity;
    ResultFigure monthsSupply;
};

TargetOrder ComputeTargetOrder(const InventoryInputs& used, const InventoryResults& results,
                               double targetPercent);
