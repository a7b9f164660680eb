#include "inventory.h"

#include <cstring>

#include "double_bits.h"
#include "model_build.h"
#include "number_text.h"
#include "wide_float.h"

const char* const kResultLabels[kResultCount] = {
    "Annual Sales",  "Gross Profit",      "Gross Profit Percentage",
    "Months Supply", "Average Inventory", "Return on Inventory",
};

namespace {

constexpr int kResultDecimals = 2;
constexpr int kReturnWidth = 16;

constexpr char kInfiniteText[] = "Infinite";
constexpr char kNegativeText[] = "Negative";
constexpr char kAboveLimitText[] = ">1000.00%";
constexpr char kZeroPercentText[] = "0.00%";
constexpr char kZeroMonthsText[] = "0.00  ";

std::string_view CutToReadLimit(std::string_view text) {
    // No substr: its range check would pull the exception machinery into
    // kem.exe for a case that cannot happen here.
    return std::string_view(text.data(),
                            text.size() < kInputReadLimit ? text.size() : kInputReadLimit);
}

// Only a "$" in the very first position is the currency sign; anything else
// is left to ParseAmount, which reads a misplaced one as "no number".
std::string_view SkipDollar(std::string_view text) {
    if (!text.empty() && text[0] == '$') {
        text.remove_prefix(1);
    }
    return text;
}

// The zero tests of the result rules: true for both zeros and for NaN.
bool CountsAsZero(double value) {
    return value == 0.0 || IsNaNBits(BitsOf(value));
}

// Copies a fixed text of `size` bytes, its terminator included; returns its
// length.
std::size_t CopyFixedText(const char* text, std::size_t size, char (&out)[kResultTextSize]) {
    std::memcpy(out, text, size);
    return size - 1;
}

// One of the fixed texts above, its size known where it is named.
template <std::size_t kSize>
std::size_t CopyText(const char (&text)[kSize], char (&out)[kResultTextSize]) {
    static_assert(kSize <= kResultTextSize, "a fixed text fits a result text");
    return CopyFixedText(text, kSize, out);
}

// prefix + FormatFixed(value, width, 2) + suffix, or kTooLargeText when the
// whole would not fit in the result buffer; returns the text's length.
std::size_t FormatAround(const char* prefix, std::size_t prefixLength, double value, int width,
                         const char* suffix, std::size_t suffixSize, char (&out)[kResultTextSize]) {
    char* number = out + prefixLength;
    const std::size_t room = kResultTextSize - prefixLength - (suffixSize - 1);
    const std::size_t length = FormatFixed(value, width, kResultDecimals, number, room);
    if (length >= room) {
        return CopyText(kTooLargeText, out);
    }
    std::memcpy(out, prefix, prefixLength);
    std::memcpy(number + length, suffix, suffixSize);
    return prefixLength + length + suffixSize - 1;
}

// FormatAround with the lengths of its literals known where they are named.
template <std::size_t kPrefixSize, std::size_t kSuffixSize>
std::size_t FormatTemplate(const char (&prefix)[kPrefixSize], double value, int width,
                           const char (&suffix)[kSuffixSize], char (&out)[kResultTextSize]) {
    return FormatAround(prefix, kPrefixSize - 1, value, width, suffix, kSuffixSize, out);
}

WideFloat WideConstant(double value) {
    return Widen(value);
}

#if !KEM_MODEL_SMALL
// Built for speed, the figures are first worked out in plain double
// arithmetic, which gives the same bits as the wide operations whenever
// every operation's exact result lies in the normal range: both then round
// it to 53 significant bits, and nothing overflows or underflows. A double
// result proves that when it is finite and above the smallest normal,
// 2^-1022, in magnitude (an exact result below 2^-1022 rounds to at most
// 2^-1022); this test asks for an exponent field of at least 2, that is
// 2^-1021 and up. Zeros, infinities, not-a-numbers and the ends of the range
// go through the wide operations.
bool IsInsideNormalRange(double result) {
    const std::uint64_t field = (BitsOf(result) & kExponentMask) >> kFractionBits;
    return field - 2 < kExponentFieldMax - 2;
}

// dividend / divisor * 100 in plain doubles, where that is the wide result.
bool TryPlainPercentage(double dividend, double divisor, double& percentage) {
    const double quotient = dividend / divisor;
    percentage = quotient * 100.0;
    return IsInsideNormalRange(quotient) && IsInsideNormalRange(percentage);
}
#endif

// A percentage dividend / divisor * 100, computed wide (the quotient is not
// narrowed before the multiplication).
WideFloat WidePercentage(double dividend, double divisor) {
#if !KEM_MODEL_SMALL
    double percentage;
    if (TryPlainPercentage(dividend, divisor, percentage)) {
        return NormalizeWide(percentage, 0);
    }
#endif
    return MultiplyWide(DivideWide(Widen(dividend), Widen(divisor)), WideConstant(100.0));
}

// buyPerMonth / sellPerMonth, rounded once and narrowed.
double MonthsOfSupply(double buyPerMonth, double sellPerMonth) {
#if !KEM_MODEL_SMALL
    const double quotient = buyPerMonth / sellPerMonth;
    if (IsInsideNormalRange(quotient)) {
        return quotient;
    }
#endif
    return Narrow(DivideWide(Widen(buyPerMonth), Widen(sellPerMonth)));
}

// ComputeFigures through the wide operations alone.
InventoryFigures ComputeFiguresWidely(const InventoryInputs& inputs) {
    const WideFloat price = Widen(inputs.price);
    const WideFloat cost = Widen(inputs.cost);
    const WideFloat bought = Widen(inputs.buyPerMonth);
    const WideFloat sold = Widen(inputs.sellPerMonth);
    const WideFloat twelve = WideConstant(12.0);

    InventoryFigures figures;
    // annualSales = (sellPerMonth * price) * 12
    figures.annualSales = Narrow(MultiplyWide(MultiplyWide(sold, price), twelve));
    // grossProfit = annualSales - ((cost * sellPerMonth) * 12); the subtrahend
    // stays wide, so an overflowed annualSales gives an infinity, not a NaN.
    figures.grossProfit = Narrow(
        SubtractWide(Widen(figures.annualSales), MultiplyWide(MultiplyWide(cost, sold), twelve)));
    // averageInventory = (buyPerMonth * cost) * 0.5
    figures.averageInventory = Narrow(MultiplyWide(MultiplyWide(bought, cost), WideConstant(0.5)));
    return figures;
}

}  // namespace

InventoryInputs ParseInputs(std::string_view price, std::string_view cost, std::string_view bought,
                            std::string_view sold) {
    InventoryInputs inputs;
    inputs.price = ParseAmount(SkipDollar(CutToReadLimit(price)));
    inputs.cost = ParseAmount(SkipDollar(CutToReadLimit(cost)));
    inputs.buyPerMonth = ParseAmount(CutToReadLimit(bought));
    inputs.sellPerMonth = ParseAmount(CutToReadLimit(sold));
    return inputs;
}

// The operations run in exactly this order, each rounded to 53 bits with a
// wide exponent, and each figure is narrowed to a double once it is complete:
// the order and the narrowing points fix the last bit of the results.
InventoryFigures ComputeFigures(const InventoryInputs& inputs) {
#if !KEM_MODEL_SMALL
    // The same operations in the same order in plain doubles, kept when every
    // result is inside the normal range (see IsInsideNormalRange).
    const double sales = inputs.sellPerMonth * inputs.price;
    const double annualSales = sales * 12.0;
    const double costs = inputs.cost * inputs.sellPerMonth;
    const double annualCosts = costs * 12.0;
    const double grossProfit = annualSales - annualCosts;
    const double stock = inputs.buyPerMonth * inputs.cost;
    const double averageInventory = stock * 0.5;
    if (IsInsideNormalRange(sales) && IsInsideNormalRange(annualSales) &&
        IsInsideNormalRange(costs) && IsInsideNormalRange(annualCosts) &&
        IsInsideNormalRange(grossProfit) && IsInsideNormalRange(stock) &&
        IsInsideNormalRange(averageInventory)) {
        InventoryFigures figures;
        figures.annualSales = annualSales;
        figures.grossProfit = grossProfit;
        figures.averageInventory = averageInventory;
        return figures;
    }
#endif
    return ComputeFiguresWidely(inputs);
}

std::size_t FormatMoneyText(double amount, char (&out)[kResultTextSize]) {
    return FormatTemplate("$", amount, 1, "  ", out);
}

std::size_t FormatGrossProfitPercentText(double grossProfit, double annualSales,
                                         char (&out)[kResultTextSize]) {
    if (!CountsAsZero(annualSales)) {
        return FormatTemplate("", Narrow(WidePercentage(grossProfit, annualSales)), 1, "%", out);
    }
    if (!CountsAsZero(grossProfit)) {
        return CopyText(kInfiniteText, out);
    }
    return CopyText(kZeroPercentText, out);
}

std::size_t FormatMonthsSupplyText(double buyPerMonth, double sellPerMonth,
                                   char (&out)[kResultTextSize]) {
    if (!CountsAsZero(sellPerMonth)) {
        return FormatTemplate("", MonthsOfSupply(buyPerMonth, sellPerMonth), 1, "  ", out);
    }
    if (!CountsAsZero(buyPerMonth)) {
        return CopyText(kInfiniteText, out);
    }
    return CopyText(kZeroMonthsText, out);
}

namespace {

// The band decides the text; `r` is the wide quotient, set for every band
// but the two whose divisor counts as zero.
ReturnBand ClassifyReturn(double grossProfit, double averageInventory, WideFloat& r) {
    if (CountsAsZero(averageInventory)) {
        return CountsAsZero(grossProfit) ? kReturnZero : kReturnInfinite;
    }
    // The bands are tested on the wide value, before any narrowing or
    // rounding for display: 1000.004 is above the limit, and a negative value
    // too small for a double is still negative.
#if !KEM_MODEL_SMALL
    double plain;
    if (TryPlainPercentage(grossProfit, averageInventory, plain)) {
        // A normal double, so neither zero nor a NaN: its sign tells the
        // shown figures from the negative ones.
        r = NormalizeWide(plain, 0);
        if (plain > kReturnShownLimit) {
            return kReturnAboveLimit;
        }
        return plain > 0.0 ? kReturnShown : kReturnNegative;
    }
#endif
    r = WidePercentage(grossProfit, averageInventory);
    if (IsGreaterWide(r, kReturnShownLimit)) {
        return kReturnAboveLimit;
    }
    if (!IsNaNWide(r) && (!IsNegativeWide(r) || r.significand == 0.0)) {
        return kReturnShown;
    }
    return kReturnNegative;
}

}  // namespace

std::size_t FormatReturnOnInventoryText(double grossProfit, double averageInventory,
                                        char (&out)[kResultTextSize]) {
    WideFloat r = {};
    switch (ClassifyReturn(grossProfit, averageInventory, r)) {
        case kReturnZero:
            return CopyText(kZeroPercentText, out);
        case kReturnShown:
            return FormatTemplate("", Narrow(r), kReturnWidth, "%", out);
        case kReturnNegative:
            return CopyText(kNegativeText, out);
        case kReturnAboveLimit:
            return CopyText(kAboveLimitText, out);
        case kReturnInfinite:
            break;
    }
    return CopyText(kInfiniteText, out);
}

ReturnBand FindReturnBand(double grossProfit, double averageInventory, double& value) {
    WideFloat r = {};
    const ReturnBand band = ClassifyReturn(grossProfit, averageInventory, r);
    switch (band) {
        case kReturnZero:
            value = 0.0;
            break;
        case kReturnInfinite:
            value = DoubleFromBits(kInfinityBits);
            break;
        default:
            value = Narrow(r);
            break;
    }
    return band;
}

ResultTexts ComputeResultTexts(const InventoryInputs& inputs) {
    return ComputeResultTexts(inputs, ComputeFigures(inputs));
}

ResultTexts ComputeResultTexts(const InventoryInputs& inputs, const InventoryFigures& figures) {
    ResultTexts texts;
    std::size_t* length = texts.length;
    length[kAnnualSales] = FormatMoneyText(figures.annualSales, texts.text[kAnnualSales]);
    length[kGrossProfit] = FormatMoneyText(figures.grossProfit, texts.text[kGrossProfit]);
    length[kGrossProfitPercent] = FormatGrossProfitPercentText(
        figures.grossProfit, figures.annualSales, texts.text[kGrossProfitPercent]);
    length[kMonthsSupply] =
        FormatMonthsSupplyText(inputs.buyPerMonth, inputs.sellPerMonth, texts.text[kMonthsSupply]);
    length[kAverageInventory] =
        FormatMoneyText(figures.averageInventory, texts.text[kAverageInventory]);
    length[kReturnOnInventory] = FormatReturnOnInventoryText(
        figures.grossProfit, figures.averageInventory, texts.text[kReturnOnInventory]);
    return texts;
}

namespace {

// ParseAmount's leading white space, also the only text allowed after a
// figure that is read whole.
bool IsAllWhiteSpace(std::string_view text) {
    for (char c : text) {
        if (!IsAmountBlank(c)) {
            return false;
        }
    }
    return true;
}

// The value of a quotient text whose zero cases are "Infinite" and a zero
// text: +infinity, 0, or the quotient itself (narrowed).
double QuotientValue(double dividend, double divisor, double quotient) {
    if (!CountsAsZero(divisor)) {
        return quotient;
    }
    return CountsAsZero(dividend) ? 0.0 : DoubleFromBits(kInfinityBits);
}

}  // namespace

namespace {

// One field as ParseInputs reads it, and in `readWhole` whether nothing but
// white space is left over.
double ReadField(std::string_view text, bool skipsDollar, bool& readWhole) {
    const std::string_view read = CutToReadLimit(text);
    const std::size_t numberStart = skipsDollar ? read.size() - SkipDollar(read).size() : 0;
    // remove_prefix, not substr: see CutToReadLimit.
    std::string_view number = read;
    number.remove_prefix(numberStart);
    const AmountReading amount = ReadAmount(number);
    if (amount.length == 0) {
        readWhole = IsAllWhiteSpace(text);
    } else {
        std::string_view rest = text;
        rest.remove_prefix(numberStart + amount.length);
        readWhole = IsAllWhiteSpace(rest);
    }
    return amount.value;
}

}  // namespace

bool IsInputReadWhole(std::string_view text, bool skipsDollar) {
    bool readWhole = false;
    ReadField(text, skipsDollar, readWhole);
    return readWhole;
}

InputReading ReadInputs(std::string_view price, std::string_view cost, std::string_view bought,
                        std::string_view sold) {
    InputReading reading;
    reading.inputs.price = ReadField(price, true, reading.readWhole[0]);
    reading.inputs.cost = ReadField(cost, true, reading.readWhole[1]);
    reading.inputs.buyPerMonth = ReadField(bought, false, reading.readWhole[2]);
    reading.inputs.sellPerMonth = ReadField(sold, false, reading.readWhole[3]);
    return reading;
}

double GrossProfitPercentValue(double grossProfit, double annualSales) {
    return QuotientValue(grossProfit, annualSales,
                         Narrow(WidePercentage(grossProfit, annualSales)));
}

double MonthsSupplyValue(double buyPerMonth, double sellPerMonth) {
    return QuotientValue(buyPerMonth, sellPerMonth, MonthsOfSupply(buyPerMonth, sellPerMonth));
}

double ReturnOnInventoryValue(double grossProfit, double averageInventory) {
    double value = 0.0;
    FindReturnBand(grossProfit, averageInventory, value);
    return value;
}
