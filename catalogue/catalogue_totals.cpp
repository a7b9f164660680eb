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

void AddItemToTotals(CatalogueTotals& totals, const InventoryFigures& figures) {
    AddToSum(totals.annualSales, figures.annualSales);
    AddToSum(totals.grossProfit, figures.grossProfit);
    AddToSum(totals.averageInventory, figures.averageInventory);
}

ResultTexts FormatTotalsTexts(const CatalogueTotals& totals) {
    double annualSales = ReadSum(totals.annualSales);
    double grossProfit = ReadSum(totals.grossProfit);
    double averageInventory = ReadSum(totals.averageInventory);

    ResultTexts texts;
    std::size_t* length = texts.length;
    length[kAnnualSales] = FormatMoneyText(annualSales, texts.text[kAnnualSales]);
    length[kGrossProfit] = FormatMoneyText(grossProfit, texts.text[kGrossProfit]);
    length[kGrossProfitPercent] =
        FormatGrossProfitPercentText(grossProfit, annualSales, texts.text[kGrossProfitPercent]);
    texts.text[kMonthsSupply][0] = '\0';
    length[kMonthsSupply] = 0;
    length[kAverageInventory] = FormatMoneyText(averageInventory, texts.text[kAverageInventory]);
    length[kReturnOnInventory] =
        FormatReturnOnInventoryText(grossProfit, averageInventory, texts.text[kReturnOnInventory]);
    return texts;
}

TotalsFigures ComputeTotalsFigures(const CatalogueTotals& totals) {
    TotalsFigures figures;
    figures.annualSales = ReadSum(totals.annualSales);
    figures.grossProfit = ReadSum(totals.grossProfit);
    figures.grossProfitPercent = GrossProfitPercentValue(figures.grossProfit, figures.annualSales);
    figures.averageInventory = ReadSum(totals.averageInventory);
    figures.returnOnInventory =
        ReturnOnInventoryValue(figures.grossProfit, figures.averageInventory);
    return figures;
}
