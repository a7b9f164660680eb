#include "result_cells.h"

#include <cmath>

#include "number_text.h"

namespace {

constexpr int kNumberDecimals = 2;

std::string_view FormatNumberCell(double value, bool decimalComma, char (&out)[kNumberTextSize]) {
    std::size_t length = 0;
    if (std::isfinite(value)) {
        length = FormatFixed(value, 1, kNumberDecimals, out, kNumberTextSize);
    }
    if (decimalComma) {
        UseDecimalComma(out, length);
    }
    return std::string_view(out, length);
}

}  // namespace

void UseDecimalComma(char* text, std::size_t length) {
    for (std::size_t i = 0; i < length; ++i) {
        if (text[i] == '.') {
            text[i] = ',';
        }
    }
}

ResultCells ViewTextCells(ResultTexts& texts, bool decimalComma) {
    for (int field = 0; decimalComma && field < kResultCount; ++field) {
        UseDecimalComma(texts.text[field], texts.length[field]);
    }
    // Built whole rather than filled in: default views would first be
    // cleared, which costs as much as the rest of this.
    static_assert(kResultCount == 6, "one view per result field");
    auto view = [&texts](int field) {
        return std::string_view(texts.text[field], texts.length[field]);
    };
    return ResultCells{{view(0), view(1), view(2), view(3), view(4), view(5)}};
}

ResultCells MakeItemNumbers(const InventoryInputs& inputs, const InventoryFigures& figures,
                            bool decimalComma, NumberTexts& numbers) {
    const double values[kResultCount] = {
        figures.annualSales,
        figures.grossProfit,
        GrossProfitPercentValue(figures.grossProfit, figures.annualSales),
        MonthsSupplyValue(inputs.buyPerMonth, inputs.sellPerMonth),
        figures.averageInventory,
        ReturnOnInventoryValue(figures.grossProfit, figures.averageInventory),
    };
    ResultCells cells;
    for (int field = 0; field < kResultCount; ++field) {
        cells.cell[field] = FormatNumberCell(values[field], decimalComma, numbers.text[field]);
    }
    return cells;
}

ResultCells MakeTotalsNumbers(const CatalogueTotals& totals, bool decimalComma,
                              NumberTexts& numbers) {
    const TotalsFigures figures = ComputeTotalsFigures(totals);
    // Months supply has no total: a NaN gives its empty cell.
    const double values[kResultCount] = {
        figures.annualSales, figures.grossProfit,      figures.grossProfitPercent,
        std::nan(""),        figures.averageInventory, figures.returnOnInventory,
    };
    ResultCells cells;
    for (int field = 0; field < kResultCount; ++field) {
        cells.cell[field] = FormatNumberCell(values[field], decimalComma, numbers.text[field]);
    }
    return cells;
}
