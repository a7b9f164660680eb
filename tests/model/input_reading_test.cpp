// What the model tells front ends beyond the texts: where a typed number
// ends, whether a field was read whole, and the figures behind the
// percentage and ratio texts.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include "inventory.h"
#include "amount_reading.h"
#include "number_text.h"
#include "test_support.h"

namespace {

TEST(MeasureAmount, EndsWhereParseAmountStopsReading) {
    struct Case {
        const char* text;
        std::size_t length;
    };
    const Case cases[] = {
        {"12.5abc", 4}, {"  12", 4},  {"\t\r\n7 ", 4}, {"", 0},      {"-", 0},    {".", 0},
        {"+.", 0},      {"$5", 0},    {"inf", 0},      {"- 5", 0},   {".5", 2},   {"5.", 2},
        {"-.5e-3x", 6}, {"1e", 1},    {"1e+", 1},      {"1E+5x", 4}, {"1d3", 3},  {"1D-3", 4},
        {"0x10", 1},    {"1,000", 1}, {"1.2.3", 3},    {"1e5e5", 3}, {"12-3", 2}, {"+7", 2},
    };
    for (const Case& item : cases) {
        EXPECT_EQ(MeasureAmount(item.text), item.length) << '"' << item.text << '"';
    }
}

// Seeded texts from the bytes that matter: the measured prefix always reads
// as the same double as the whole text.
TEST(MeasureAmount, PrefixReadsAsTheWholeText) {
    const char alphabet[] = "0123456789..++--eEdD $x\t";
    std::uint64_t state = 2024;
    for (int i = 0; i < 200000; ++i) {
        std::string text;
        state = state * 6364136223846793005u + 1442695040888963407u;
        const int length = static_cast<int>(state >> 60);
        for (int k = 0; k < length; ++k) {
            state = state * 6364136223846793005u + 1442695040888963407u;
            text += alphabet[(state >> 33) % (sizeof alphabet - 1)];
        }
        const std::size_t measured = MeasureAmount(text);
        ASSERT_LE(measured, text.size()) << '"' << text << '"';
        const double whole = ParseAmount(text);
        const double prefix = ParseAmount(std::string_view(text).substr(0, measured));
        ASSERT_EQ(BitsOf(prefix), BitsOf(whole)) << '"' << text << '"';
        // A number ends with a digit of its mantissa or exponent, or the point.
        if (measured > 0) {
            const char last = text[measured - 1];
            ASSERT_TRUE((last >= '0' && last <= '9') || last == '.') << '"' << text << '"';
        }
    }
}

TEST(ReadInputField, ReadWholeUnlessTextOtherThanBlanksIsLeftOver) {
    struct Case {
        const char* text;
        bool money;
        bool whole;
    };
    const Case cases[] = {
        {"", false, true},
        {"   ", false, true},
        {"12", false, true},
        {" 12.5 \r", false, true},
        {"$10", true, true},
        {"$10", false, false},  // a "$" before a count is no number
        {"$", true, false},
        {" $10", true, false},  // a blank before the "$" defeats the skip
        {"$$10", true, false},
        {"12,50", false, false},
        {"1e3", false, true},
        {"1e", false, false},
        {"12abc", false, false},
        {"x", false, false},
        // 19 characters are read; what lies beyond them counts as left over.
        {"1000000000000000000", false, true},
        {"10000000000000000000", false, false},
        {"1000000000000000000   ", false, true},
        {"$100000000000000000", true, true},
        {"$1000000000000000000", true, false},
    };
    for (const Case& item : cases) {
        EXPECT_EQ(ReadInputField(item.text, item.money).readWhole, item.whole)
            << '"' << item.text << "\" money " << item.money;
    }
}

// Where a percentage or ratio text shows a number, the value formats to the
// same digits; elsewhere the value says why.
TEST(ResultValues, AgreeWithTheTexts) {
    std::uint64_t state = 7;
    auto next = [&state]() {
        state = state * 6364136223846793005u + 1442695040888963407u;
        return state >> 11;
    };
    const double figures[] = {0.0, -0.0, 1.0, 2.0, 3.5, 12.25, 1e-3, 1e6, -5.0, 1e300, 1e-300};
    const std::size_t count = sizeof figures / sizeof figures[0];
    for (int i = 0; i < 20000; ++i) {
        InventoryInputs inputs;
        inputs.price = figures[next() % count];
        inputs.cost = figures[next() % count];
        inputs.buyPerMonth = figures[next() % count];
        inputs.sellPerMonth = figures[next() % count];
        const ResultTexts texts = ComputeResultTexts(inputs);
        for (int field = 0; field < kResultCount; ++field) {
            ASSERT_EQ(texts.length[field], std::strlen(texts.text[field])) << texts.text[field];
        }
        const InventoryResults results = ComputeResults(inputs);
        const int fields[] = {kGrossProfitPercent, kMonthsSupply, kReturnOnInventory};
        const double values[] = {results.figure[fields[0]].value, results.figure[fields[1]].value,
                                 results.figure[fields[2]].value};
        for (int k = 0; k < 3; ++k) {
            std::string text = texts.text[fields[k]];
            const std::string where = text + " for " + Describe(inputs.price) + " " +
                                      Describe(inputs.cost) + " " + Describe(inputs.buyPerMonth) +
                                      " " + Describe(inputs.sellPerMonth);
            if (text == "Infinite") {
                EXPECT_TRUE(std::isinf(values[k]) && values[k] > 0) << where;
            } else if (text == ">1000.00%") {
                EXPECT_GT(values[k], 1000.0) << where;
            } else if (text == kTooLargeText) {
                EXPECT_GT(std::fabs(values[k]), 1e70) << where;
            } else if (text == "Negative") {
                // A return below the smallest double narrows to -0.
                EXPECT_TRUE(std::signbit(values[k]) || std::isnan(values[k])) << where;
            } else {
                // The text is the number through its template: strip the
                // padding and the "%" or the two trailing blanks.
                while (!text.empty() && (text.back() == ' ' || text.back() == '%')) {
                    text.pop_back();
                }
                text.erase(0, text.find_first_not_of(' '));
                char number[400];
                FormatFixed(values[k], 1, 2, number, sizeof number);
                EXPECT_EQ(text, number) << where;
            }
        }
    }
}

}  // namespace
