#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "inventory.h"
#include "number_text.h"

namespace {

struct ItemCase {
    const char* inputs[4];  // price, cost, bought, sold as typed
    const char* texts[kResultCount];
};

void ExpectTexts(const ItemCase& c) {
    const ResultTexts texts =
        ComputeResultTexts(ParseInputs(c.inputs[0], c.inputs[1], c.inputs[2], c.inputs[3]));
    for (int i = 0; i < kResultCount; ++i) {
        EXPECT_EQ(texts.length[i], std::strlen(texts.text[i])) << kResultLabels[i];
        EXPECT_EQ(std::string(texts.text[i]), c.texts[i])
            << kResultLabels[i] << " for price \"" << c.inputs[0] << "\" cost \"" << c.inputs[1]
            << "\" bought \"" << c.inputs[2] << "\" sold \"" << c.inputs[3] << "\"";
    }
}

TEST(ComputeResultTexts, ExampleItems) {
    const ItemCase cases[] = {
        {{"2", "1", "3", "2"},
         {"$48.00  ", "$24.00  ", "50.00%", "1.50  ", "$1.50  ", ">1000.00%"}},
        {{"$10", "$8", "50", "5"},
         {"$600.00  ", "$120.00  ", "20.00%", "10.00  ", "$200.00  ", "           60.00%"}},
        {{"5", "6", "10", "10"},
         {"$600.00  ", "$-120.00  ", "-20.00%", "1.00  ", "$30.00  ", "Negative"}},
        {{"0", "5", "0", "10"},
         {"$0.00  ", "$-600.00  ", "Infinite", "0.00  ", "$0.00  ", "Infinite"}},
        {{"0", "5", "10", "0"},
         {"$0.00  ", "$0.00  ", "0.00%", "Infinite", "$25.00  ", "            0.00%"}},
        {{"", "", "", ""}, {"$0.00  ", "$0.00  ", "0.00%", "0.00  ", "$0.00  ", "0.00%"}},
    };
    for (const ItemCase& c : cases) {
        ExpectTexts(c);
    }
}

TEST(ComputeResultTexts, ReturnOnInventoryBands) {
    const ItemCase cases[] = {
        // r exactly 1000 is still a number, right-aligned in 16 characters.
        {{"2", "1", "24", "10"},
         {"$240.00  ", "$120.00  ", "50.00%", "2.40  ", "$12.00  ", "         1000.00%"}},
        // r = 1000.004 is above the limit, although it would print as 1000.00.
        {{"1.8333366666666667", "1", "2", "1"},
         {"$22.00  ", "$10.00  ", "45.45%", "2.00  ", "$1.00  ", ">1000.00%"}},
        // A loss too small for a double is still a loss.
        {{"0", "1e-100", "1e300", "1e-200"},
         {"$0.00  ", "$-0.00  ", "Infinite", "1.#J  ", "Too large", "Negative"}},
        // A gain too small for a double shows as zero.
        {{"2e-100", "1e-100", "1e300", "1e-200"},
         {"$0.00  ", "$0.00  ", "50.00%", "1.#J  ", "Too large", "            0.00%"}},
    };
    for (const ItemCase& c : cases) {
        ExpectTexts(c);
    }
}

TEST(ComputeResultTexts, InfinitiesAndNotANumbers) {
    const ItemCase cases[] = {
        // Annual sales overflow; gross profit stays infinite because the cost
        // product keeps its wide exponent; infinity over infinity is the NaN
        // of invalid arithmetic.
        {{"1e300", "1e300", "1e-300", "1e10"},
         {"$1.#J  ", "$1.#J  ", "-1.#J%", "0.00  ", "$0.50  ", ">1000.00%"}},
        // Zero times infinity: a NaN counts as zero in the zero tests.
        {{"1e400", "2", "1", "0"},
         {"$-1.#J  ", "$-1.#J  ", "0.00%", "Infinite", "$1.00  ", "Negative"}},
        {{"-1e400", "0", "0", "1"},
         {"$-1.#J  ", "$-1.#J  ", "-1.#J%", "0.00  ", "$0.00  ", "Infinite"}},
    };
    for (const ItemCase& c : cases) {
        ExpectTexts(c);
    }
}

TEST(ComputeResultTexts, FiguresTooLongForTheFieldShowTooLarge) {
    ResultTexts texts = ComputeResultTexts(ParseInputs("8e71", "0", "0", "1"));
    EXPECT_EQ(std::strlen(texts.text[kAnnualSales]), 79u) << texts.text[kAnnualSales];
    texts = ComputeResultTexts(ParseInputs("1e72", "0", "0", "1"));
    EXPECT_STREQ(texts.text[kAnnualSales], "Too large");
    EXPECT_STREQ(texts.text[kGrossProfit], "Too large");
    EXPECT_STREQ(texts.text[kGrossProfitPercent], "100.00%");
    texts = ComputeResultTexts(ParseInputs("0", "8e70", "0", "1"));
    EXPECT_EQ(std::strlen(texts.text[kGrossProfit]), 79u) << texts.text[kGrossProfit];
    texts = ComputeResultTexts(ParseInputs("0", "1e71", "0", "1"));
    EXPECT_STREQ(texts.text[kGrossProfit], "Too large");
    texts = ComputeResultTexts(ParseInputs("0", "0", "1e300", "1e-300"));
    EXPECT_STREQ(texts.text[kMonthsSupply], "1.#J  ");
    texts = ComputeResultTexts(ParseInputs("0", "0", "1e300", "1e-8"));
    EXPECT_STREQ(texts.text[kMonthsSupply], "Too large");
}

// The kind of each result is the one its text shows, for an item and for
// a totals row.
TEST(ComputeResults, TheKindIsTheOneTheTextShows) {
    struct KindCase {
        const char* inputs[4];
        ResultField field;
        ResultKind kind;
        const char* text;
    };
    const KindCase cases[] = {
        {{"", "", "", ""}, kReturnOnInventory, kResultZero, "0.00%"},
        {{"$10", "$8", "50", "5"}, kReturnOnInventory, kResultNumber, "           60.00%"},
        {{"2", "1", "24", "10"}, kReturnOnInventory, kResultNumber, "         1000.00%"},
        {{"1.8333366666666667", "1", "2", "1"}, kReturnOnInventory, kResultAboveLimit, ">1000.00%"},
        // Above the limit and beyond a double: +infinity, like "Infinite".
        {{"1e300", "1e300", "1e-300", "1e10"}, kReturnOnInventory, kResultAboveLimit, ">1000.00%"},
        {{"5", "6", "10", "10"}, kReturnOnInventory, kResultNegative, "Negative"},
        // A loss narrowed to -0, and a NaN: both read "Negative".
        {{"0", "1e-100", "1e300", "1e-200"}, kReturnOnInventory, kResultNegative, "Negative"},
        {{"1e400", "2", "1", "0"}, kReturnOnInventory, kResultNegative, "Negative"},
        {{"0", "5", "0", "10"}, kReturnOnInventory, kResultInfinite, "Infinite"},
        {{"-1e400", "0", "0", "1"}, kReturnOnInventory, kResultInfinite, "Infinite"},
        {{"", "", "", ""}, kGrossProfitPercent, kResultZero, "0.00%"},
        {{"0", "5", "0", "10"}, kGrossProfitPercent, kResultInfinite, "Infinite"},
        {{"5", "6", "10", "10"}, kGrossProfitPercent, kResultNumber, "-20.00%"},
        {{"", "", "", ""}, kMonthsSupply, kResultZero, "0.00  "},
        {{"0", "5", "10", "0"}, kMonthsSupply, kResultInfinite, "Infinite"},
        {{"0", "0", "1e300", "1e-8"}, kMonthsSupply, kResultNumber, kTooLargeText},
        {{"", "", "", ""}, kAverageInventory, kResultNumber, "$0.00  "},
    };
    for (const KindCase& c : cases) {
        const InventoryInputs inputs =
            ParseInputs(c.inputs[0], c.inputs[1], c.inputs[2], c.inputs[3]);
        const ResultFigure figure = ComputeResults(inputs).figure[c.field];
        const std::string where = std::string(kResultLabels[c.field]) + " for price \"" +
                                  c.inputs[0] + "\" cost \"" + c.inputs[1] + "\" bought \"" +
                                  c.inputs[2] + "\" sold \"" + c.inputs[3] + "\"";
        EXPECT_EQ(figure.kind, c.kind) << where;
        EXPECT_STREQ(ComputeResultTexts(inputs).text[c.field], c.text) << where;
        char text[kResultTextSize];
        EXPECT_EQ(RenderResultText(c.field, figure, text), std::strlen(c.text)) << where;
    }
}

// A totals row: the percentages from the sums, no months supply.
TEST(ComputeTotalsResults, PercentagesFromTheSumsAndNoMonthsSupply) {
    struct TotalsCase {
        double sums[3];  // annual sales, gross profit, average inventory
        const char* texts[kResultCount];
    };
    const TotalsCase cases[] = {
        {{13555.8, 5641.8, 653.5},
         {"$13555.80  ", "$5641.80  ", "41.62%", "", "$653.50  ", "          863.32%"}},
        {{0, 0, 0}, {"$0.00  ", "$0.00  ", "0.00%", "", "$0.00  ", "0.00%"}},
        {{0, -600, 0}, {"$0.00  ", "$-600.00  ", "Infinite", "", "$0.00  ", "Infinite"}},
        {{600, -120, 30}, {"$600.00  ", "$-120.00  ", "-20.00%", "", "$30.00  ", "Negative"}},
    };
    for (const TotalsCase& c : cases) {
        const InventoryResults results = ComputeTotalsResults(c.sums[0], c.sums[1], c.sums[2]);
        EXPECT_EQ(results.figure[kMonthsSupply].kind, kResultNone);
        ResultTexts texts;
        RenderResultTexts(results, texts);
        for (int field = 0; field < kResultCount; ++field) {
            EXPECT_STREQ(texts.text[field], c.texts[field])
                << kResultLabels[field] << " for sums " << c.sums[0] << ", " << c.sums[1] << ", "
                << c.sums[2];
        }
    }
}

struct InputCase {
    const char* price;
    const char* cost;
    const char* bought;
    const char* sold;
    InventoryInputs expected;
};

TEST(ParseInputs, CutsAndDollarSigns) {
    const InputCase cases[] = {
        {"$10", "$8", "50", "5", {10, 8, 50, 5}},
        {" $10", "$$8", "$50", "$5", {0, 0, 0, 0}},
        {"12abc", "1,5", "3 4", "-2", {12, 1, 3, -2}},
        // Only the first 19 characters are read.
        {"100000000000000000000",
         "$1000000000000000000",
         "1234567890123456789012",
         "0.0049999999999999999",
         {1e18, 1e17, 1234567890123456789.0, 0.004'9999'9999'9999'99}},
    };
    for (const InputCase& c : cases) {
        const InventoryInputs actual = ParseInputs(c.price, c.cost, c.bought, c.sold);
        EXPECT_EQ(actual.price, c.expected.price) << c.price;
        EXPECT_EQ(actual.cost, c.expected.cost) << c.cost;
        EXPECT_EQ(actual.buyPerMonth, c.expected.buyPerMonth) << c.bought;
        EXPECT_EQ(actual.sellPerMonth, c.expected.sellPerMonth) << c.sold;
    }
}

TEST(ParseInputs, TheNineteenCharacterCutDecidesTheRounding) {
    // 0.004 and sixteen nines is the double nearest 0.005 (0.01 at two
    // places); its first 19 characters are just below 0.005.
    const std::string typed = "0.004" + std::string(16, '9');
    const InventoryInputs cut = ParseInputs("", "", typed, "1");
    EXPECT_STREQ(ComputeResultTexts(cut).text[kMonthsSupply], "0.00  ");
    InventoryInputs whole = cut;
    whole.buyPerMonth = ParseAmount(typed);
    EXPECT_STREQ(ComputeResultTexts(whole).text[kMonthsSupply], "0.01  ");
}

}  // namespace
