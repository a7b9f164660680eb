#include "figure_reading.h"

namespace {

// UTF-8 of U+00A0 (no-break space) and U+202F (narrow no-break space), which
// spreadsheets in many languages put between groups of digits.
constexpr std::string_view kNoBreakSpace = "\xC2\xA0";
constexpr std::string_view kNarrowNoBreakSpace = "\xE2\x80\xAF";

bool IsDigitAt(std::string_view text, std::size_t i) {
    return i < text.size() && text[i] >= '0' && text[i] <= '9';
}

// The length of a thousands separator at text[i], 0 when there is none.
std::size_t SeparatorLength(std::string_view text, std::size_t i) {
    if (text[i] == '.' || text[i] == ' ') {
        return 1;
    }
    const std::string_view rest = text.substr(i);
    if (rest.substr(0, kNoBreakSpace.size()) == kNoBreakSpace) {
        return kNoBreakSpace.size();
    }
    if (rest.substr(0, kNarrowNoBreakSpace.size()) == kNarrowNoBreakSpace) {
        return kNarrowNoBreakSpace.size();
    }
    return 0;
}

}  // namespace

void RewriteDecimalComma(std::string_view figure, std::string& out) {
    out.clear();
    for (std::size_t i = 0; i < figure.size(); ++i) {
        const std::size_t separator = SeparatorLength(figure, i);
        if (separator != 0 && i > 0 && IsDigitAt(figure, i - 1) &&
            IsDigitAt(figure, i + separator)) {
            i += separator - 1;
            continue;
        }
        out.push_back(figure[i] == ',' ? '.' : figure[i]);
    }
}

namespace {

FigureReading ReadFigureTexts(const std::string_view (&texts)[kFigureCount]) {
    static_assert(IsMoneyFigure(kPriceFigure) && IsMoneyFigure(kCostFigure) &&
                      !IsMoneyFigure(kBoughtFigure) && !IsMoneyFigure(kSoldFigure),
                  "price and cost are money");
    // One field at a time, straight into the result: a loop over an array
    // of the four destinations costs more here than the reading itself.
    FigureReading reading;
    FieldReading field = ReadInputField(texts[kPriceFigure], true);
    reading.inputs.price = field.value;
    reading.readWhole[kPriceFigure] = field.readWhole;
    field = ReadInputField(texts[kCostFigure], true);
    reading.inputs.cost = field.value;
    reading.readWhole[kCostFigure] = field.readWhole;
    field = ReadInputField(texts[kBoughtFigure], false);
    reading.inputs.buyPerMonth = field.value;
    reading.readWhole[kBoughtFigure] = field.readWhole;
    field = ReadInputField(texts[kSoldFigure], false);
    reading.inputs.sellPerMonth = field.value;
    reading.readWhole[kSoldFigure] = field.readWhole;
    return reading;
}

}  // namespace

FigureReading ReadFigures(const std::string_view (&figures)[kFigureCount], bool decimalComma,
                          RewrittenFigures& rewritten) {
    if (!decimalComma) {
        // Straight from the caller's views, not through a copy of them: the
        // copy would read back whole what was just stored in halves, which
        // stalls the processor.
        return ReadFigureTexts(figures);
    }
    std::string_view texts[kFigureCount];
    for (std::size_t i = 0; i < kFigureCount; ++i) {
        RewriteDecimalComma(figures[i], rewritten.text[i]);
        texts[i] = rewritten.text[i];
    }
    return ReadFigureTexts(texts);
}
