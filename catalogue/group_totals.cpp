#include "group_totals.h"

CatalogueTotals& FindGroupTotals(GroupTotals& groups, std::string_view name) {
    // Exports are often sorted by the grouping column: most rows belong to
    // the same group as the row before.
    if (!groups.names.empty() && groups.names[groups.lastGroup] == name) {
        return groups.totals[groups.lastGroup];
    }
    groups.lookupKey.assign(name.data(), name.size());
    auto found = groups.indexOf.find(groups.lookupKey);
    if (found != groups.indexOf.end()) {
        groups.lastGroup = found->second;
    } else {
        groups.lastGroup = groups.names.size();
        groups.names.push_back(groups.lookupKey);
        groups.totals.push_back(CatalogueTotals());
        groups.indexOf.emplace(groups.lookupKey, groups.lastGroup);
    }
    return groups.totals[groups.lastGroup];
}
