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
    cells.cell[field] = std::string_view(out, length);
}

void SetTextCells(ResultCells& cells, bool decimalComma) {
    for (int field = 0; field < kResultCount; ++field) {
        char* text = cells.texts.text[field];
        const std::size_t length = std::strlen(text);
        if (decimalComma) {
            UseDecimalComma(text, length);
        }
        cells.cell[field] = std::string_view(text, length);
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

void MakeItemCells(const InventoryInputs& inputs, bool numbers, bool decimalComma,
                   ResultCells& cells) {
    if (!numbers) {
        cells.texts = ComputeResultTexts(inputs);
        SetTextCells(cells, decimalComma);
        return;
    }
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
}

void MakeTotalsCells(const CatalogueTotals& totals, bool numbers, bool decimalComma,
                     ResultCells& cells) {
    if (!numbers) {
        cells.texts = FormatTotalsTexts(totals);
        SetTextCells(cells, decimalComma);
        return;
    }
    const TotalsFigures figures = ComputeTotalsFigures(totals);
    SetNumberCell(cells, kAnnualSales, figures.annualSales, decimalComma);
    SetNumberCell(cells, kGrossProfit, figures.grossProfit, decimalComma);
    SetNumberCell(cells, kGrossProfitPercent, figures.grossProfitPercent, decimalComma);
    cells.cell[kMonthsSupply] = std::string_view();
    SetNumberCell(cells, kAverageInventory, figures.averageInventory, decimalComma);
    SetNumberCell(cells, kReturnOnInventory, figures.returnOnInventory, decimalComma);
}
