#include "figure_reading.h"

#include "number_text.h"

namespace {

// UTF-8 of U+00A0 (no-break space) and U+202F (narrow no-break space), which
// spreadsheets in many languages put between groups of digits.
constexpr std::string_view kNoBreakSpace = "\xC2\xA0";
constexpr std::string_view kNarrowNoBreakSpace = "\xE2\x80\xAF";

// A group of thousands has this many digits.
constexpr std::size_t kGroupDigits = 3;

bool IsDigitAt(std::string_view text, std::size_t i) {
    return i < text.size() && text[i] >= '0' && text[i] <= '9';
}

// Whether a separator at `at` groups thousands: a digit before it, then,
// from `after` (just past it), exactly three digits and a non-digit or the
// end.
bool IsGroupSeparator(std::string_view text, std::size_t at, std::size_t after) {
    if (at == 0 || !IsDigitAt(text, at - 1)) {
        return false;
    }
    for (std::size_t i = 0; i < kGroupDigits; ++i) {
        if (!IsDigitAt(text, after + i)) {
            return false;
        }
    }
    return !IsDigitAt(text, after + kGroupDigits);
}

// The length of a blank or point that may group thousands at text[i], 0 when
// there is none.
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

bool IsAllBlank(std::string_view text) {
    for (char c : text) {
        if (!IsAmountBlank(c)) {
            return false;
        }
    }
    return true;
}

bool NeedsRewriting(const FigureRules& rules) {
    return rules.decimalComma || rules.thousandsComma || !rules.currency.empty();
}

// One figure through the rules, into `out` when it has to change.
std::string_view ApplyRules(std::string_view figure, bool isMoney, const FigureRules& rules,
                            std::string& out) {
    if (isMoney && !rules.currency.empty()) {
        figure = StripCurrency(figure, rules.currency);
    }
    if (rules.decimalComma) {
        RewriteDecimalComma(figure, out);
        return out;
    }
    if (rules.thousandsComma) {
        RewriteThousandsComma(figure, out);
        return out;
    }
    return figure;
}

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
    reading.empty[kPriceFigure] = field.blank;
    field = ReadInputField(texts[kCostFigure], true);
    reading.inputs.cost = field.value;
    reading.readWhole[kCostFigure] = field.readWhole;
    reading.empty[kCostFigure] = field.blank;
    field = ReadInputField(texts[kBoughtFigure], false);
    reading.inputs.buyPerMonth = field.value;
    reading.readWhole[kBoughtFigure] = field.readWhole;
    reading.empty[kBoughtFigure] = field.blank;
    field = ReadInputField(texts[kSoldFigure], false);
    reading.inputs.sellPerMonth = field.value;
    reading.readWhole[kSoldFigure] = field.readWhole;
    reading.empty[kSoldFigure] = field.blank;
    return reading;
}

}  // namespace

bool IsCurrencyText(std::string_view text) {
    if (text.empty() || text.size() > kMaxCurrencyLength) {
        return false;
    }
    for (char c : text) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || (c >= '0' && c <= '9') || c == '+' || c == '-' ||
            c == '.' || c == ',' || c == ' ' || c == '"' || c == '\'') {
            return false;
        }
    }
    return true;
}

void RewriteDecimalComma(std::string_view figure, std::string& out) {
    out.clear();
    bool afterDecimalComma = false;
    for (std::size_t i = 0; i < figure.size(); ++i) {
        const std::size_t separator = afterDecimalComma ? 0 : SeparatorLength(figure, i);
        if (separator != 0 && IsGroupSeparator(figure, i, i + separator)) {
            i += separator - 1;
            continue;
        }
        const char c = figure[i];
        if (c == ',' && !afterDecimalComma) {
            out.push_back('.');
            afterDecimalComma = true;
        } else {
            // A point that groups nothing is no decimal point here: as a
            // comma it ends the number, which then counts as not read whole.
            out.push_back(c == '.' ? ',' : c);
        }
    }
}

void RewriteThousandsComma(std::string_view figure, std::string& out) {
    out.clear();
    bool afterPoint = false;
    for (std::size_t i = 0; i < figure.size(); ++i) {
        const char c = figure[i];
        if (c == ',' && !afterPoint && IsGroupSeparator(figure, i, i + 1)) {
            continue;
        }
        afterPoint = afterPoint || c == '.';
        out.push_back(c);
    }
}

std::string_view StripCurrency(std::string_view figure, std::string_view currency) {
    std::string_view text = TrimBlanks(figure);
    if (text.substr(0, currency.size()) == currency) {
        text.remove_prefix(currency.size());
    } else if (text.size() >= currency.size() &&
               text.substr(text.size() - currency.size()) == currency) {
        text.remove_suffix(currency.size());
    } else {
        return figure;
    }
    return TrimBlanks(text);
}

FigureReading ReadFigures(const std::string_view (&figures)[kFigureCount], const FigureRules& rules,
                          RewrittenFigures& rewritten) {
    if (!NeedsRewriting(rules)) {
        // Straight from the caller's views, not through a copy of them: the
        // copy would read back whole what was just stored in halves, which
        // stalls the processor.
        return ReadFigureTexts(figures);
    }
    std::string_view texts[kFigureCount];
    for (std::size_t i = 0; i < kFigureCount; ++i) {
        texts[i] = ApplyRules(figures[i], IsMoneyFigure(i), rules, rewritten.text[i]);
    }
    // Blank as written: a currency alone is no figure either.
    FigureReading reading = ReadFigureTexts(texts);
    for (std::size_t i = 0; i < kFigureCount; ++i) {
        reading.empty[i] = reading.empty[i] || IsAllBlank(figures[i]);
    }
    return reading;
}
