// The small rules of reading a catalogue: the decimal-comma rewrite, column
// references and header names, and the messages' quoting of odd bytes.
#include <gtest/gtest.h>

#include <string>

#include "column_map.h"
#include "figure_reading.h"
#include "message_text.h"

namespace {

TEST(DecimalComma, RewritesSeparatorsAndThePoint) {
    struct Case {
        const char* figure;
        const char* rewritten;
    };
    const Case cases[] = {
        {"12,50", "12.50"},
        {"1.299,00", "1299.00"},
        {"1.234.567", "1234567"},
        {"1 299", "1299"},
        {"1\xC2\xA0"
         "299,5",
         "1299.5"},
        {"1\xE2\x80\xAF"
         "299,5",
         "1299.5"},
        // A point that groups nothing ends the number: it becomes a comma.
        // Blanks that group nothing stay, and end it too.
        {".5", ",5"},
        {"5.", "5,"},
        {" 12 ", " 12 "},
        {"1. 2", "1, 2"},
        {"12.50", "12,50"},
        {"1.2345", "1,2345"},
        {"12 50", "12 50"},
        {"1.299.5", "1299,5"},
        // A group is exactly three digits, then a non-digit or the end.
        {"1.299", "1299"},
        {"1.299 €", "1299 €"},
        {"1 299 000,5", "1299000.5"},
        {"\xC2\xA0"
         "5",
         "\xC2\xA0"
         "5"},
        {"$1.000,5", "$1000.5"},
        // After the decimal comma nothing groups; a second comma ends it.
        {"1,2,3", "1.2,3"},
        {"1,234.567", "1.234,567"},
        {"", ""},
    };
    std::string out;
    for (const Case& item : cases) {
        RewriteDecimalComma(item.figure, out);
        EXPECT_EQ(out, item.rewritten) << item.figure;
    }
}

TEST(DecimalComma, RewrittenFigureIsReadLikeTheWindowReadsIt) {
    RewrittenFigures rewritten;
    // 20 characters as written, 16 once rewritten: all of it is read.
    const std::string_view figures[kFigureCount] = {"1.234.567.890.123,45", "$8,5", "1.000",
                                                    "2 Stk"};
    FigureRules rules;
    rules.decimalComma = true;
    const FigureReading reading = ReadFigures(figures, rules, rewritten);
    EXPECT_EQ(reading.inputs.price, 1234567890123.45);
    EXPECT_EQ(reading.inputs.cost, 8.5);
    EXPECT_EQ(reading.inputs.buyPerMonth, 1000.0);
    EXPECT_EQ(reading.inputs.sellPerMonth, 2.0);
    EXPECT_TRUE(reading.readWhole[kPriceFigure]);
    EXPECT_TRUE(reading.readWhole[kCostFigure]);
    EXPECT_TRUE(reading.readWhole[kBoughtFigure]);
    EXPECT_FALSE(reading.readWhole[kSoldFigure]);
}

TEST(ThousandsComma, DropsOnlyCommasBeforeGroupsOfThree) {
    struct Case {
        const char* figure;
        const char* rewritten;
    };
    const Case cases[] = {
        {"$1,400.00", "$1400.00"},  {"1,234,567", "1234567"},      {"12,50", "12,50"},
        {"1,2345", "1,2345"},       {"1,234.5,678", "1234.5,678"}, {",123", ",123"},
        {"10,8,50,5", "10,8,50,5"}, {"1,234 kg", "1234 kg"},       {"", ""},
    };
    std::string out;
    for (const Case& item : cases) {
        RewriteThousandsComma(item.figure, out);
        EXPECT_EQ(out, item.rewritten) << item.figure;
    }
}

TEST(Currency, StrippedBeforeOrAfterWithItsBlanks) {
    struct Case {
        const char* figure;
        const char* currency;
        const char* stripped;
    };
    const Case cases[] = {
        {"12,50 \xE2\x82\xAC", "\xE2\x82\xAC", "12,50"},
        {" \xE2\x82\xAC"
         "12.50 ",
         "\xE2\x82\xAC", "12.50"},
        {"\xC2\xA3"
         "12.50",
         "\xC2\xA3", "12.50"},
        {"EUR 7", "EUR", "7"},
        {"7 EUR", "EUR", "7"},
        // Only at an end: elsewhere the figure stays as written.
        {"1 EUR 2", "EUR", "1 EUR 2"},
        {"12.50", "EUR", "12.50"},
    };
    for (const Case& item : cases) {
        EXPECT_EQ(StripCurrency(item.figure, item.currency), item.stripped) << item.figure;
    }
    for (const char* text : {"\xE2\x82\xAC", "EUR", "kr", "z\xC5\x82"}) {
        EXPECT_TRUE(IsCurrencyText(text)) << text;
    }
    // Anything a number or a field would read as its own.
    for (const char* text :
         {"", "1", "-", "+", ".", ",", " ", "E U", "\"", "'", "\t", "ABCDEFGHIJKLMNOPQ"}) {
        EXPECT_FALSE(IsCurrencyText(text)) << text;
    }
}

TEST(ColumnRefs, NumbersNamesAndLists) {
    struct Case {
        const char* text;
        bool valid;
        std::size_t number;
    };
    const Case cases[] = {
        {"3", true, 3},  {"007", true, 7}, {" 12 ", true, 12}, {"price", true, 0},
        {"3a", true, 0}, {"0", false, 0},  {"", false, 0},     {"  ", false, 0},
    };
    for (const Case& item : cases) {
        ColumnRef ref;
        EXPECT_EQ(ParseColumnRef(item.text, ref), item.valid) << item.text;
        if (item.valid) {
            EXPECT_EQ(ref.number, item.number) << item.text;
            EXPECT_EQ(ref.name.empty(), item.number != 0) << item.text;
        }
    }
    ColumnRef refs[kFigureCount];
    EXPECT_TRUE(ParseColumnList("Preis,2, Zugang ,4", refs));
    EXPECT_EQ(refs[0].name, "Preis");
    EXPECT_EQ(refs[1].number, 2u);
    EXPECT_EQ(refs[2].name, " Zugang ");
    for (const char* list : {"a,b,c", "a,b,c,d,e", "a,,c,d", "a,b,c,0", ""}) {
        EXPECT_FALSE(ParseColumnList(list, refs)) << list;
    }
}

TEST(ColumnRefs, NamesMatchWithoutCaseAndSurroundingBlanks) {
    EXPECT_TRUE(IsSameColumnName(" Price ", "price"));
    EXPECT_TRUE(IsSameColumnName("\tSOLD\r", "sold"));
    EXPECT_FALSE(IsSameColumnName("pri ce", "price"));
    EXPECT_FALSE(IsSameColumnName("prices", "price"));
    // Letters beyond ASCII are compared as bytes.
    EXPECT_FALSE(
        IsSameColumnName("\xC3\x84"
                         "pfel",
                         "\xC3\xA4"
                         "pfel"));
}

TEST(Messages, QuotedTextShowsOddBytesAndIsCut) {
    struct Case {
        std::string text;
        std::size_t limit;
        const char* shown;
    };
    const Case cases[] = {
        {"12,50", 40, "\"12,50\""},
        {"a\"b\\c", 40, "\"a\\\"b\\\\c\""},
        {"tab\tcr\rlf\n", 40, "\"tab\\tcr\\rlf\\n\""},
        {std::string("nul\0", 4), 40, "\"nul\\x00\""},
        {"Caf\xC3\xA9", 40, "\"Caf\xC3\xA9\""},
        {"Caf\xE9", 40, "\"Caf\\xe9\""},
        {"abcdef", 3, "\"abc\"..."},
        // Never half a character.
        {"ab\xE2\x82\xAC", 4, "\"ab\"..."},
    };
    for (const Case& item : cases) {
        MessageText message;
        ClearMessage(message);
        AppendMessageQuoted(message, item.text, item.limit);
        EXPECT_EQ(MessageView(message), item.shown) << item.text;
    }
    MessageText full;
    ClearMessage(full);
    for (int i = 0; i < 2000; ++i) {
        AppendMessage(full, "x");
    }
    EXPECT_EQ(full.length, kMessageSize - 1);
    EXPECT_EQ(full.text[full.length], '\0');
}

}  // namespace
