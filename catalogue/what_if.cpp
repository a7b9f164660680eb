#include "what_if.h"

#include "figures_used.h"

void ComputeWhatIf(const WhatIfRows& rows, const CatalogueOptions& options, bool oneGroup,
                   std::size_t group, WhatIfTotals& totals, ResultFigure* returns) {
    totals.groups.assign(rows.groupCount, CatalogueTotals());
    totals.all = CatalogueTotals();
    // The figures are already per month: only the changes are left to make.
    CatalogueOptions changes = options;
    changes.boughtMonths = 0.0;
    changes.soldMonths = 0.0;
    for (std::size_t row = 0; row < rows.count; ++row) {
        const double* figures = rows.perMonth + 4 * row;
        const InventoryInputs perMonth{figures[0], figures[1], figures[2], figures[3]};
        const std::size_t rowGroup = rows.group != nullptr ? rows.group[row] : 0;
        const bool adjust = !oneGroup || (rows.group != nullptr && rowGroup == group);
        const InventoryResults results = ComputeResults(UseFigures(perMonth, changes, adjust));
        AddItemToTotals(totals.all, results);
        if (rows.group != nullptr && rowGroup < rows.groupCount) {
            AddItemToTotals(totals.groups[rowGroup], results);
        }
        if (returns != nullptr) {
            returns[row] = results.figure[kReturnOnInventory];
        }
    }
}
