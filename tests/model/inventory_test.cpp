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

TEST(FindReturnBand, TheBandIsTheOneTheTextShows) {
    struct BandCase {
        const char* inputs[4];
        ReturnBand band;
        const char* text;
    };
    const BandCase cases[] = {
        {{"", "", "", ""}, kReturnZero, "0.00%"},
        {{"$10", "$8", "50", "5"}, kReturnShown, "           60.00%"},
        {{"2", "1", "24", "10"}, kReturnShown, "         1000.00%"},
        {{"1.8333366666666667", "1", "2", "1"}, kReturnAboveLimit, ">1000.00%"},
        // Above the limit and beyond a double: +infinity, like "Infinite".
        {{"1e300", "1e300", "1e-300", "1e10"}, kReturnAboveLimit, ">1000.00%"},
        {{"5", "6", "10", "10"}, kReturnNegative, "Negative"},
        // A loss narrowed to -0, and a NaN: both read "Negative".
        {{"0", "1e-100", "1e300", "1e-200"}, kReturnNegative, "Negative"},
        {{"1e400", "2", "1", "0"}, kReturnNegative, "Negative"},
        {{"0", "5", "0", "10"}, kReturnInfinite, "Infinite"},
        {{"-1e400", "0", "0", "1"}, kReturnInfinite, "Infinite"},
    };
    for (const BandCase& c : cases) {
        const InventoryInputs inputs =
            ParseInputs(c.inputs[0], c.inputs[1], c.inputs[2], c.inputs[3]);
        const InventoryFigures figures = ComputeFigures(inputs);
        double value = 1.0;
        const ReturnBand band =
            FindReturnBand(figures.grossProfit, figures.averageInventory, value);
        const std::string where = std::string("price \"") + c.inputs[0] + "\" cost \"" +
                                  c.inputs[1] + "\" bought \"" + c.inputs[2] + "\" sold \"" +
                                  c.inputs[3] + "\"";
        EXPECT_EQ(band, c.band) << where;
        EXPECT_STREQ(ComputeResultTexts(inputs).text[kReturnOnInventory], c.text) << where;
        // The same bits as ReturnOnInventoryValue, NaN included.
        const double expected =
            ReturnOnInventoryValue(figures.grossProfit, figures.averageInventory);
        EXPECT_EQ(std::memcmp(&value, &expected, sizeof value), 0)
            << where << ": " << value << " and " << expected;
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
    char shown[kResultTextSize];
    FormatMonthsSupplyText(ParseInputs("", "", typed, "").buyPerMonth, 1.0, shown);
    EXPECT_STREQ(shown, "0.00  ");
    FormatMonthsSupplyText(ParseAmount(typed), 1.0, shown);
    EXPECT_STREQ(shown, "0.01  ");
}

}  // namespace
