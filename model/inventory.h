// The inventory return model: four figures that describe one stock item and
// the six results derived from them, as one record of values and kinds and
// as the exact texts the window shows.
#pragma once

#include <cstddef>
#include <string_view>

struct InventoryInputs {
    double price = 0.0;         // selling price of one unit
    double cost = 0.0;          // cost of one unit
    double buyPerMonth = 0.0;   // units bought per month
    double sellPerMonth = 0.0;  // units sold per month
};

// The window reads at most this many characters of each input field.
constexpr std::size_t kInputReadLimit = 19;

// Every result text fits in this many bytes with its terminator.
constexpr std::size_t kResultTextSize = 80;

// Shown instead of a figure whose text would not fit in kResultTextSize - 1
// characters: a cut number would be a wrong number.
constexpr const char kTooLargeText[] = "Too large";

enum ResultField {
    kAnnualSales,
    kGrossProfit,
    kGrossProfitPercent,
    kMonthsSupply,
    kAverageInventory,
    kReturnOnInventory,
    kResultCount
};

// The labels beside the result fields, in ResultField order.
extern const char* const kResultLabels[kResultCount];

// Return on inventory is shown as a number only up to this percentage.
constexpr double kReturnShownLimit = 1000.0;

// What a result shows. The kind says what the value alone cannot: a
// "Negative" return may have narrowed to -0 or be not-a-number, and an
// overflowing return above the limit is +infinity like "Infinite".
enum ResultKind {
    kResultNumber,      // the value through the field's template
    kResultZero,        // nothing over nothing: "0.00%" or "0.00  "; value 0
    kResultInfinite,    // "Infinite": something over nothing; value +infinity
    kResultNegative,    // "Negative": a return below 0 or not a number
    kResultAboveLimit,  // ">1000.00%": a return above kReturnShownLimit
    kResultNone,        // no figure at all (a totals row's months supply): an
                        // empty text; value not-a-number
};

struct ResultFigure {
    double value;  // narrowed to a double; for the money figures the figure itself
    ResultKind kind;
};

// The six results of one item or of a totals row, in ResultField order:
// worked out once, and read by every front end for its texts, numbers,
// totals, sort keys and chart bands.
struct InventoryResults {
    ResultFigure figure[kResultCount];
};

struct ResultTexts {
    char text[kResultCount][kResultTextSize];
    std::size_t length[kResultCount];  // of each text, without its terminator
};

// One input field read by the window's rules: the text cut to
// kInputReadLimit characters, a "$" in its very first position skipped for
// price and cost (`isMoney`), the rest read with ParseAmount. `readWhole`
// says whether nothing but white space is left over, inside the cut or
// beyond it; a text of white space alone counts as read whole (an empty
// field is 0 on purpose), and `blank` says it was one.
struct FieldReading {
    double value;
    bool readWhole;
    bool blank;
};

FieldReading ReadInputField(std::string_view text, bool isMoney);

// The four field texts read by ReadInputField.
InventoryInputs ParseInputs(std::string_view price, std::string_view cost, std::string_view bought,
                            std::string_view sold);

// The six results of an item. The operations run in a fixed order, each
// rounded to 53 bits with a wide exponent range, and each figure is narrowed
// to a double once it is complete (docs/number-rules.md).
InventoryResults ComputeResults(const InventoryInputs& inputs);

// The results of a totals row from its three money sums: the percentages
// worked out from the sums by the same rules as an item's, and no months
// supply (a ratio of counts of different items means nothing).
InventoryResults ComputeTotalsResults(double annualSales, double grossProfit,
                                      double averageInventory);

// The text of one result through its field's template or fixed texts: at
// most kResultTextSize - 1 characters, or kTooLargeText. Returns its length.
std::size_t RenderResultText(ResultField field, const ResultFigure& figure,
                             char (&out)[kResultTextSize]);

// The six texts of a record, made where they stay.
void RenderResultTexts(const InventoryResults& results, ResultTexts& texts);

// The six texts of an item, as the window shows them.
ResultTexts ComputeResultTexts(const InventoryInputs& inputs);
