// A catalogue's totals worked out again under other what-if changes, from
// each row's figures per month kept by a front end, without reading the file
// again: the totals per group and for the whole catalogue, and each row's
// return on inventory after the change. The same operations in the same
// order as a run with those changes, so the totals are the ones a new run
// writes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "catalogue_options.h"
#include "catalogue_totals.h"

struct WhatIfRows {
    const double* perMonth = nullptr;      // four a row: price, cost, bought, sold
    const std::uint32_t* group = nullptr;  // each row's group, or null without groups
    std::size_t count = 0;
    std::size_t groupCount = 0;
};

struct WhatIfTotals {
    std::vector<CatalogueTotals> groups;
    CatalogueTotals all;
};

// Totals of the rows with `options`' changes (adjusted, adjustPercent), for
// every row, or with `oneGroup` for the rows of group `group` alone. Each
// row's return on inventory after the change goes to `returns` (the value
// and its kind), when it is not null.
void ComputeWhatIf(const WhatIfRows& rows, const CatalogueOptions& options, bool oneGroup,
                   std::size_t group, WhatIfTotals& totals, ResultFigure* returns);
