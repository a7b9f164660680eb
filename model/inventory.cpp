#include "inventory.h"

#include <cstring>

#include "double_bits.h"
#include "model_build.h"
#include "amount_reading.h"
#include "number_text.h"
#include "wide_float.h"

const char* const kResultLabels[kResultCount] = {
    "Annual Sales",  "Gross Profit",      "Gross Profit Percentage",
    "Months Supply", "Average Inventory", "Return on Inventory",
};

namespace {

constexpr int kResultDecimals = 2;

constexpr char kInfiniteText[] = "Infinite";
constexpr char kNegativeText[] = "Negative";
constexpr char kAboveLimitText[] = ">1000.00%";
static_assert(kReturnShownLimit == 1000.0, "the text above the limit names it");

constexpr int kReturnWidth = 16;
constexpr char kZeroPercentText[] = "0.00%";
constexpr char kZeroMonthsText[] = "0.00  ";

std::string_view CutToReadLimit(std::string_view text) {
    // No substr: its range check would pull the exception machinery into
    // kem.exe for a case that cannot happen here.
    return std::string_view(text.data(),
                            text.size() < kInputReadLimit ? text.size() : kInputReadLimit);
}

// The zero tests of the result rules: true for both zeros and for NaN.
bool CountsAsZero(double value) {
    return value == 0.0 || IsNaNBits(BitsOf(value));
}

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

// Copies one of the fixed texts above, its size known where it is named;
// returns its length.
template <std::size_t kSize>
std::size_t CopyText(const char (&text)[kSize], char (&out)[kResultTextSize]) {
    static_assert(kSize <= kResultTextSize, "a fixed text fits a result text");
    std::memcpy(out, text, kSize);
    return kSize - 1;
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

// What a field shows for a figure that is no number: the fixed texts. Only
// the quotients have a zero text: "0.00%" for the percentages, "0.00  " for
// months supply (a money figure is always a number).
std::size_t CopyKindText(ResultField field, ResultKind kind, char (&out)[kResultTextSize]) {
    switch (kind) {
        case kResultZero:
            return field == kMonthsSupply ? CopyText(kZeroMonthsText, out)
                                          : CopyText(kZeroPercentText, out);
        case kResultInfinite:
            return CopyText(kInfiniteText, out);
        case kResultNegative:
            return CopyText(kNegativeText, out);
        case kResultAboveLimit:
            return CopyText(kAboveLimitText, out);
        case kResultNumber:
        case kResultNone:
            break;
    }
    return CopyText("", out);
}

// Each field through its template, "$%1.2f  " for money, "%1.2f%%" for the
// gross profit percentage, "%1.2f  " for months supply and "%16.2f%%" for
// return on inventory, or its fixed text. One function a template, called
// directly: the literals' sizes are known where they are copied.
std::size_t RenderMoney(const ResultFigure& figure, char (&out)[kResultTextSize]) {
    if (figure.kind == kResultNumber) {
        return FormatTemplate("$", figure.value, 1, "  ", out);
    }
    return CopyKindText(kAnnualSales, figure.kind, out);
}

std::size_t RenderGrossProfitPercent(const ResultFigure& figure, char (&out)[kResultTextSize]) {
    if (figure.kind == kResultNumber) {
        return FormatTemplate("", figure.value, 1, "%", out);
    }
    return CopyKindText(kGrossProfitPercent, figure.kind, out);
}

std::size_t RenderMonthsSupply(const ResultFigure& figure, char (&out)[kResultTextSize]) {
    if (figure.kind == kResultNumber) {
        return FormatTemplate("", figure.value, 1, "  ", out);
    }
    return CopyKindText(kMonthsSupply, figure.kind, out);
}

std::size_t RenderReturnOnInventory(const ResultFigure& figure, char (&out)[kResultTextSize]) {
    if (figure.kind == kResultNumber) {
        return FormatTemplate("", figure.value, kReturnWidth, "%", out);
    }
    return CopyKindText(kReturnOnInventory, figure.kind, out);
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
    return MultiplyWide(DivideWide(Widen(dividend), Widen(divisor)), Widen(100.0));
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

// The money figures of one item, each already narrowed to a double.
struct MoneyFigures {
    double annualSales;
    double grossProfit;
    double averageInventory;
};

// The money figures through the wide operations alone.
MoneyFigures ComputeMoneyWidely(const InventoryInputs& inputs) {
    const WideFloat price = Widen(inputs.price);
    const WideFloat cost = Widen(inputs.cost);
    const WideFloat bought = Widen(inputs.buyPerMonth);
    const WideFloat sold = Widen(inputs.sellPerMonth);
    const WideFloat twelve = Widen(12.0);

    MoneyFigures money;
    // annualSales = (sellPerMonth * price) * 12
    money.annualSales = Narrow(MultiplyWide(MultiplyWide(sold, price), twelve));
    // grossProfit = annualSales - ((cost * sellPerMonth) * 12); the subtrahend
    // stays wide, so an overflowed annualSales gives an infinity, not a NaN.
    money.grossProfit = Narrow(
        SubtractWide(Widen(money.annualSales), MultiplyWide(MultiplyWide(cost, sold), twelve)));
    // averageInventory = (buyPerMonth * cost) * 0.5
    money.averageInventory = Narrow(MultiplyWide(MultiplyWide(bought, cost), Widen(0.5)));
    return money;
}

// The operations run in exactly this order, each rounded to 53 bits with a
// wide exponent, and each figure is narrowed to a double once it is complete:
// the order and the narrowing points fix the last bit of the results.
MoneyFigures ComputeMoney(const InventoryInputs& inputs) {
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
        return MoneyFigures{annualSales, grossProfit, averageInventory};
    }
#endif
    return ComputeMoneyWidely(inputs);
}

ResultFigure Number(double value) {
    return ResultFigure{value, kResultNumber};
}

// A quotient whose divisor may count as zero: then "Infinite" under a
// dividend that does not, else the zero text.
ResultFigure ZeroDivisorFigure(double dividend) {
    if (!CountsAsZero(dividend)) {
        return ResultFigure{DoubleFromBits(kInfinityBits), kResultInfinite};
    }
    return ResultFigure{0.0, kResultZero};
}

ResultFigure GrossProfitPercent(double grossProfit, double annualSales) {
    if (CountsAsZero(annualSales)) {
        return ZeroDivisorFigure(grossProfit);
    }
    return Number(Narrow(WidePercentage(grossProfit, annualSales)));
}

// Return on inventory: the kind is decided on the wide quotient r, before
// any narrowing or rounding for display: 1000.004 is above the limit, and a
// negative value too small for a double is still negative.
ResultFigure ReturnOnInventory(double grossProfit, double averageInventory) {
    if (CountsAsZero(averageInventory)) {
        return ZeroDivisorFigure(grossProfit);
    }
#if !KEM_MODEL_SMALL
    double plain;
    if (TryPlainPercentage(grossProfit, averageInventory, plain)) {
        // A normal double, so neither zero nor a NaN: its sign tells the
        // shown figures from the negative ones.
        if (plain > kReturnShownLimit) {
            return ResultFigure{plain, kResultAboveLimit};
        }
        return ResultFigure{plain, plain > 0.0 ? kResultNumber : kResultNegative};
    }
#endif
    const WideFloat r = WidePercentage(grossProfit, averageInventory);
    ResultKind kind = kResultNegative;
    if (IsGreaterWide(r, kReturnShownLimit)) {
        kind = kResultAboveLimit;
    } else if (!IsNaNWide(r) && (!IsNegativeWide(r) || r.significand == 0.0)) {
        kind = kResultNumber;
    }
    return ResultFigure{Narrow(r), kind};
}

InventoryResults MakeResults(const MoneyFigures& money, ResultFigure monthsSupply) {
    InventoryResults results;
    results.figure[kAnnualSales] = Number(money.annualSales);
    results.figure[kGrossProfit] = Number(money.grossProfit);
    results.figure[kGrossProfitPercent] = GrossProfitPercent(money.grossProfit, money.annualSales);
    results.figure[kMonthsSupply] = monthsSupply;
    results.figure[kAverageInventory] = Number(money.averageInventory);
    results.figure[kReturnOnInventory] =
        ReturnOnInventory(money.grossProfit, money.averageInventory);
    return results;
}

}  // namespace

FieldReading ReadInputField(std::string_view text, bool isMoney) {
    std::string_view number = CutToReadLimit(text);
    // Only a "$" in the very first position is the currency sign; anything
    // else is left to ParseAmount, which reads a misplaced one as "no number".
    const std::size_t skipped = isMoney && !number.empty() && number[0] == '$' ? 1 : 0;
    // remove_prefix, not substr: see CutToReadLimit.
    number.remove_prefix(skipped);
    const AmountReading amount = ReadAmount(number);
    std::string_view rest = text;
    // A text with no number is read whole only when it is all white space.
    rest.remove_prefix(amount.length == 0 ? 0 : skipped + amount.length);
    const bool readWhole = IsAllWhiteSpace(rest);
    return FieldReading{amount.value, readWhole, readWhole && amount.length == 0};
}

InventoryInputs ParseInputs(std::string_view price, std::string_view cost, std::string_view bought,
                            std::string_view sold) {
    InventoryInputs inputs;
    inputs.price = ReadInputField(price, true).value;
    inputs.cost = ReadInputField(cost, true).value;
    inputs.buyPerMonth = ReadInputField(bought, false).value;
    inputs.sellPerMonth = ReadInputField(sold, false).value;
    return inputs;
}

InventoryResults ComputeResults(const InventoryInputs& inputs) {
    const double bought = inputs.buyPerMonth;
    const double sold = inputs.sellPerMonth;
    return MakeResults(ComputeMoney(inputs), CountsAsZero(sold)
                                                 ? ZeroDivisorFigure(bought)
                                                 : Number(MonthsOfSupply(bought, sold)));
}

InventoryResults ComputeTotalsResults(double annualSales, double grossProfit,
                                      double averageInventory) {
    return MakeResults(MoneyFigures{annualSales, grossProfit, averageInventory},
                       ResultFigure{DoubleFromBits(kInfinityBits | kQuietBit), kResultNone});
}

std::size_t RenderResultText(ResultField field, const ResultFigure& figure,
                             char (&out)[kResultTextSize]) {
    switch (field) {
        case kGrossProfitPercent:
            return RenderGrossProfitPercent(figure, out);
        case kMonthsSupply:
            return RenderMonthsSupply(figure, out);
        case kReturnOnInventory:
            return RenderReturnOnInventory(figure, out);
        default:
            break;
    }
    return RenderMoney(figure, out);
}

void RenderResultTexts(const InventoryResults& results, ResultTexts& texts) {
    const ResultFigure* figure = results.figure;
    std::size_t* length = texts.length;
    length[kAnnualSales] = RenderMoney(figure[kAnnualSales], texts.text[kAnnualSales]);
    length[kGrossProfit] = RenderMoney(figure[kGrossProfit], texts.text[kGrossProfit]);
    length[kGrossProfitPercent] =
        RenderGrossProfitPercent(figure[kGrossProfitPercent], texts.text[kGrossProfitPercent]);
    length[kMonthsSupply] = RenderMonthsSupply(figure[kMonthsSupply], texts.text[kMonthsSupply]);
    length[kAverageInventory] =
        RenderMoney(figure[kAverageInventory], texts.text[kAverageInventory]);
    length[kReturnOnInventory] =
        RenderReturnOnInventory(figure[kReturnOnInventory], texts.text[kReturnOnInventory]);
}

ResultTexts ComputeResultTexts(const InventoryInputs& inputs) {
    ResultTexts texts;
    RenderResultTexts(ComputeResults(inputs), texts);
    return texts;
}
