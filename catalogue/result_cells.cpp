#include "result_cells.h"

#include <cmath>
#include <cstring>

#include "number_text.h"

namespace {

constexpr int kNumberDecimals = 2;

void SetNumberCell(ResultCells& cells, int field, double value, bool decimalComma) {
    char* out = cells.numbers[field];
    std::size_t length = 0;
    if (std::isfinite(value)) {
        length = FormatFixed(value, 1, kNumberDecimals, out, kNumberTextSize);
    }
    if (decimalComma) {
        UseDecimalComma(out, length);
    }
    cells.length[field] = length;
}

void MeasureTextCells(ResultCells& cells, bool decimalComma) {
    cells.holdsNumbers = false;
    for (int field = 0; field < kResultCount; ++field) {
        char* text = cells.texts.text[field];
        cells.length[field] = std::strlen(text);
        if (decimalComma) {
            UseDecimalComma(text, cells.length[field]);
        }
    }
}

}  // namespace

void UseDecimalComma(char* text, std::size_t length) {
    for (std::size_t i = 0; i < length; ++i) {
        if (text[i] == '.') {
            text[i] = ',';
        }
    }
}

ResultCells MakeItemCells(const InventoryInputs& inputs, bool numbers, bool decimalComma) {
    ResultCells cells;
    if (!numbers) {
        cells.texts = ComputeResultTexts(inputs);
        MeasureTextCells(cells, decimalComma);
        return cells;
    }
    cells.holdsNumbers = true;
    const InventoryFigures figures = ComputeFigures(inputs);
    SetNumberCell(cells, kAnnualSales, figures.annualSales, decimalComma);
    SetNumberCell(cells, kGrossProfit, figures.grossProfit, decimalComma);
    SetNumberCell(cells, kGrossProfitPercent,
                  GrossProfitPercentValue(figures.grossProfit, figures.annualSales), decimalComma);
    SetNumberCell(cells, kMonthsSupply, MonthsSupplyValue(inputs.buyPerMonth, inputs.sellPerMonth),
                  decimalComma);
    SetNumberCell(cells, kAverageInventory, figures.averageInventory, decimalComma);
    SetNumberCell(cells, kReturnOnInventory,
                  ReturnOnInventoryValue(figures.grossProfit, figures.averageInventory),
                  decimalComma);
    return cells;
}

ResultCells MakeTotalsCells(const CatalogueTotals& totals, bool numbers, bool decimalComma) {
    ResultCells cells;
    if (!numbers) {
        cells.texts = FormatTotalsTexts(totals);
        MeasureTextCells(cells, decimalComma);
        return cells;
    }
    cells.holdsNumbers = true;
    const TotalsFigures figures = ComputeTotalsFigures(totals);
    SetNumberCell(cells, kAnnualSales, figures.annualSales, decimalComma);
    SetNumberCell(cells, kGrossProfit, figures.grossProfit, decimalComma);
    SetNumberCell(cells, kGrossProfitPercent, figures.grossProfitPercent, decimalComma);
    cells.length[kMonthsSupply] = 0;
    SetNumberCell(cells, kAverageInventory, figures.averageInventory, decimalComma);
    SetNumberCell(cells, kReturnOnInventory, figures.returnOnInventory, decimalComma);
    return cells;
}
