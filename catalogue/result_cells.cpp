#include "result_cells.h"

#include <cmath>

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

ResultCells MakeNumberCells(const InventoryResults& results, bool decimalComma,
                            NumberTexts& numbers) {
    ResultCells cells;
    for (int field = 0; field < kResultCount; ++field) {
        cells.cell[field] =
            FormatNumberCell(results.figure[field], decimalComma, numbers.text[field]);
    }
    return cells;
}
