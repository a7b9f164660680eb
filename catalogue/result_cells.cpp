#include "result_cells.h"

#include <cmath>
#include <cstring>

#include "number_text.h"

namespace {

constexpr int kNumberDecimals = 2;

// An empty cell where there is no finite number to write: "Infinite", no
// figure at all, or a figure that overflowed or is not a number.
bool HasNumberCell(const ResultFigure& figure) {
    return figure.kind != kResultInfinite && figure.kind != kResultNone &&
           std::isfinite(figure.value);
}

std::string_view FormatNumberCell(const ResultFigure& figure, bool decimalComma,
                                  char (&out)[kNumberTextSize]) {
    std::size_t length = 0;
    if (HasNumberCell(figure)) {
        length = FormatFixed(figure.value, 1, kNumberDecimals, out, kNumberTextSize);
    }
    if (decimalComma) {
        UseDecimalComma(out, length);
    }
    return std::string_view(out, length);
}

bool IsMoneyField(int field) {
    return field == kAnnualSales || field == kGrossProfit || field == kAverageInventory;
}

// A money text with `currency` in place of its "$" ("Too large" has none).
std::string_view UseCurrency(std::string_view text, std::string_view currency,
                             char (&out)[kResultTextSize + kMaxCurrencyLength]) {
    if (text.empty() || text[0] != '$') {
        return text;
    }
    std::memcpy(out, currency.data(), currency.size());
    std::memcpy(out + currency.size(), text.data() + 1, text.size() - 1);
    return std::string_view(out, currency.size() + text.size() - 1);
}

std::string_view MakeTextCell(const ResultFigure& figure, char (&out)[kResultTextSize]) {
    if (figure.kind == kResultNone) {
        // Copied, so the cell starts a buffer like every other.
        std::memcpy(out, kNoTargetText.data(), kNoTargetText.size());
        return std::string_view(out, kNoTargetText.size());
    }
    // The months supply template: two decimals and two blanks.
    return std::string_view(out, RenderResultText(kMonthsSupply, figure, out));
}

void AddTargetCells(const TargetOrder& target, const CellForm& form, CellTexts& texts,
                    ResultCells& cells) {
    const ResultFigure* figures[kTargetCells] = {&target.quantity, &target.monthsSupply};
    for (std::size_t i = 0; i < kTargetCells; ++i) {
        std::string_view& cell = cells.cell[kResultCount + i];
        if (form.numbers) {
            cell =
                FormatNumberCell(*figures[i], form.decimalComma, texts.numbers[kResultCount + i]);
            continue;
        }
        cell = MakeTextCell(*figures[i], texts.target[i]);
        if (form.decimalComma && figures[i]->kind == kResultNumber) {
            UseDecimalComma(texts.target[i], cell.size());
        }
    }
    cells.count = kMaxResultCells;
}

// A decimal comma in each text, and the run's currency in place of "$".
void UseCellForm(const CellForm& form, CellTexts& texts, ResultCells& cells) {
    ResultTexts& rendered = texts.results;
    for (int field = 0; field < kResultCount; ++field) {
        if (form.decimalComma) {
            UseDecimalComma(rendered.text[field], rendered.length[field]);
        }
        if (!form.currency.empty() && IsMoneyField(field)) {
            cells.cell[field] = UseCurrency(cells.cell[field], form.currency, texts.money[field]);
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

ResultCells MakeResultCells(const InventoryResults& results, const TargetOrder* target,
                            const CellForm& form, CellTexts& texts) {
    ResultCells cells;
    if (form.numbers) {
        for (int field = 0; field < kResultCount; ++field) {
            cells.cell[field] =
                FormatNumberCell(results.figure[field], form.decimalComma, texts.numbers[field]);
        }
    } else {
        ResultTexts& rendered = texts.results;
        RenderResultTexts(results, rendered);
        for (int field = 0; field < kResultCount; ++field) {
            cells.cell[field] = std::string_view(rendered.text[field], rendered.length[field]);
        }
        if (form.decimalComma || !form.currency.empty()) {
            UseCellForm(form, texts, cells);
        }
    }
    if (target != nullptr) {
        AddTargetCells(*target, form, texts, cells);
    }
    return cells;
}
