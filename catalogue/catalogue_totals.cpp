#include "catalogue_totals.h"

#include <cmath>

namespace {

void AddToSum(CompensatedSum& total, double value) {
    double sum = total.sum + value;
    // The smaller addend is the one whose low bits the addition lost.
    if (std::fabs(total.sum) >= std::fabs(value)) {
        total.compensation += (total.sum - sum) + value;
    } else {
        total.compensation += (value - sum) + total.sum;
    }
    total.sum = sum;
}

double ReadSum(const CompensatedSum& total) {
    // Once the sum is infinite or not a number the compensation is meaningless
    // (inf - inf); the plain sum already says what the row should show.
    if (!std::isfinite(total.sum)) {
        return total.sum;
    }
    return total.sum + total.compensation;
}

}  // namespace

void AddItemToTotals(CatalogueTotals& totals, const InventoryResults& item) {
    AddToSum(totals.annualSales, item.figure[kAnnualSales].value);
    AddToSum(totals.grossProfit, item.figure[kGrossProfit].value);
    AddToSum(totals.averageInventory, item.figure[kAverageInventory].value);
}

InventoryResults ReadTotals(const CatalogueTotals& totals) {
    return ComputeTotalsResults(ReadSum(totals.annualSales), ReadSum(totals.grossProfit),
                                ReadSum(totals.averageInventory));
}
