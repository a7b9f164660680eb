// Totals per distinct value of one column, kept in the order in which each
// value first appears. Memory grows with the number of groups only.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "catalogue_totals.h"

struct GroupTotals {
    std::vector<std::string> names;       // in order of first appearance
    std::vector<CatalogueTotals> totals;  // totals[i] belongs to names[i]
    std::unordered_map<std::string, std::size_t> indexOf;
    std::string lookupKey;      // reused, so finding a known group allocates nothing
    std::size_t lastGroup = 0;  // the previous row's group; valid when names is not empty
};

// The totals of the group named exactly `name` (bytes compared as they are),
// created empty on its first appearance.
CatalogueTotals& FindGroupTotals(GroupTotals& groups, std::string_view name);
