// The inventory return model: four figures that describe one stock item and
// the six result texts derived from them, exactly as the window shows them.
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

struct ResultTexts {
    char text[kResultCount][kResultTextSize];
    std::size_t length[kResultCount];  // of each text, without its terminator
};

// The money figures of one item, each already narrowed to a double.
struct InventoryFigures {
    double annualSales = 0.0;
    double grossProfit = 0.0;
    double averageInventory = 0.0;
};

// Turns the four field texts into the stored figures: each text is cut to
// kInputReadLimit characters, a "$" in the very first position of price and
// cost is skipped, and the rest is read with ParseAmount.
InventoryInputs ParseInputs(std::string_view price, std::string_view cost, std::string_view bought,
                            std::string_view sold);

InventoryFigures ComputeFigures(const InventoryInputs& inputs);

// The six result texts of an item, in ResultField order.
ResultTexts ComputeResultTexts(const InventoryInputs& inputs);

// The same from figures already worked out, which must be
// ComputeFigures(inputs): a front end that also totals or sorts by the
// figures works them out once.
ResultTexts ComputeResultTexts(const InventoryInputs& inputs, const InventoryFigures& figures);

// The templates behind the result texts, for front ends that show figures of
// their own (catalogue totals). Each writes a text of at most
// kResultTextSize - 1 characters, or kTooLargeText, and returns its length.
std::size_t FormatMoneyText(double amount, char (&out)[kResultTextSize]);
std::size_t FormatGrossProfitPercentText(double grossProfit, double annualSales,
                                         char (&out)[kResultTextSize]);
std::size_t FormatMonthsSupplyText(double buyPerMonth, double sellPerMonth,
                                   char (&out)[kResultTextSize]);
std::size_t FormatReturnOnInventoryText(double grossProfit, double averageInventory,
                                        char (&out)[kResultTextSize]);

// Whether ParseInputs reads the whole of `text`: after the cut to
// kInputReadLimit characters and, for price and cost (`skipsDollar`), the
// "$" rule, a number is read and nothing but white space follows it, inside
// the cut or beyond it. A text of white space alone counts as read whole: it
// is an empty field, 0 on purpose.
bool IsInputReadWhole(std::string_view text, bool skipsDollar);

// ParseInputs and IsInputReadWhole together, each text read once: the four
// figures, and for each of price, cost, bought and sold whether it was read
// whole.
struct InputReading {
    InventoryInputs inputs;
    bool readWhole[4];
};

InputReading ReadInputs(std::string_view price, std::string_view cost, std::string_view bought,
                        std::string_view sold);

// The figures behind the percentage and ratio texts, for front ends that
// write numbers instead of texts: the quotient the text shows (narrowed to a
// double, also where the text is ">1000.00%", "Negative" or "Too large"),
// +infinity where the text is "Infinite", and 0 where both operands count as
// zero.
double GrossProfitPercentValue(double grossProfit, double annualSales);
double MonthsSupplyValue(double buyPerMonth, double sellPerMonth);
double ReturnOnInventoryValue(double grossProfit, double averageInventory);

// Which of its texts return on inventory shows, for front ends that sort or
// draw the figure: the band says what the number alone cannot, since a
// "Negative" figure may have narrowed to -0 or be not-a-number, and an
// overflowing figure above the limit is +infinity like "Infinite".
enum ReturnBand {
    kReturnZero,        // "0.00%": no inventory and no profit
    kReturnShown,       // the figure as a number, 0 to 1000
    kReturnNegative,    // "Negative": below 0, or not-a-number
    kReturnAboveLimit,  // ">1000.00%"
    kReturnInfinite,    // "Infinite": a profit or loss on no inventory
};

// Return on inventory is shown as a number only up to this percentage.
constexpr double kReturnShownLimit = 1000.0;

// The band of return on inventory, and in `value` the figure that
// ReturnOnInventoryValue gives.
ReturnBand FindReturnBand(double grossProfit, double averageInventory, double& value);
