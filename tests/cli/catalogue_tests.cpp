// kemcalc on catalogues as shops export them: columns found by name among
// others, passed through in place, figures with a decimal comma, numbers a
// spreadsheet can sum, JSON Lines read back by a real JSON parser, and totals
// per group. Every case runs the built binary.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kemcalc_runner.h"

namespace {

const std::string kResultLabels =
    "Annual Sales,Gross Profit,Gross Profit Percentage,Months Supply,Average Inventory,"
    "Return on Inventory";
const std::string kTsvResultLabels =
    "Annual Sales\tGross Profit\tGross Profit Percentage\tMonths Supply\tAverage "
    "Inventory\tReturn on Inventory";

// The result columns of the items 2 1 3 2 and $10 $8 50 5, as CSV and TSV.
const std::string kSmallItem =
    "\"$48.00  \",\"$24.00  \",50.00%,\"1.50  \",\"$1.50  \",>1000.00%\r\n";
const std::string kDollarItem =
    "\"$600.00  \",\"$120.00  \",20.00%,\"10.00  \",\"$200.00  \",\"           60.00%\"\r\n";
const std::string kSmallItemTsv = "$48.00  \t$24.00  \t50.00%\t1.50  \t$1.50  \t>1000.00%\n";

struct ExportCase {
    const char* what;
    std::vector<std::string> args;
    std::string input;
    std::string output;
};

TEST(CatalogueExports, ColumnsAreFoundByNameAndPassedThrough) {
    const ExportCase cases[] = {
        {"columns before, between and after the four",
         {"--csv"},
         "sku,price,name,cost,bought,sold,note\n"
         "A1,2,\"Hammer, claw\",1,3,2,x\n",
         "sku,price,name,cost,bought,sold,note," + kResultLabels + "\r\n" +
             "A1,2,\"Hammer, claw\",1,3,2,x," + kSmallItem},
        {"quoted names with quotes and a line break",
         {"--csv"},
         "sku,name,price,cost,bought,sold\r\n"
         "B2,\"Say \"\"hi\"\"\nand bye\",$10,$8,50,5\r\n",
         "sku,name,price,cost,bought,sold," + kResultLabels + "\r\n" +
             "B2,\"Say \"\"hi\"\"\nand bye\",$10,$8,50,5," + kDollarItem},
        // Names match without regard to case and blanks; the header is
        // written back as read (quoted where it has blanks at an end).
        {"header case and blanks",
         {"--csv"},
         " Price , COST ,bought,SOLD\n2,1,3,2\n",
         "\" Price \",\" COST \",bought,SOLD," + kResultLabels + "\r\n" + "2,1,3,2," + kSmallItem},
        // The byte order mark comes back, for a spreadsheet to read the output as UTF-8.
        {"byte order mark and CR LF",
         {"--csv"},
         "\xEF\xBB\xBFsku,price,cost,bought,sold\r\nA1,2,1,3,2\r\n",
         "\xEF\xBB\xBFsku,price,cost,bought,sold," + kResultLabels + "\r\n" + "A1,2,1,3,2," +
             kSmallItem},
        {"--columns by name, in any case",
         {"--csv", "--columns", "Preis,einkauf,ZUGANG,Abgang"},
         "Artikel,Abgang,Preis,Zugang,Einkauf\nA1,2,2,3,1\n",
         "Artikel,Abgang,Preis,Zugang,Einkauf," + kResultLabels + "\r\n" + "A1,2,2,3,1," +
             kSmallItem},
        {"--columns by number",
         {"--csv", "--columns=3,5,4,2"},
         "Artikel,Abgang,Preis,Zugang,Einkauf\nA1,2,2,3,1\n",
         "Artikel,Abgang,Preis,Zugang,Einkauf," + kResultLabels + "\r\n" + "A1,2,2,3,1," +
             kSmallItem},
        // An empty line is no record, wherever it stands.
        {"empty lines anywhere",
         {"--csv"},
         "\n\r\nprice,cost,bought,sold\n\n2,1,3,2\r\n\r\n\n$10,$8,50,5\n\n",
         "price,cost,bought,sold," + kResultLabels + "\r\n" + "2,1,3,2," + kSmallItem +
             "$10,$8,50,5," + kDollarItem},
        {"the last line empty, CR LF",
         {"--csv"},
         "price,cost,bought,sold\r\n2,1,3,2\r\n\r\n",
         "price,cost,bought,sold," + kResultLabels + "\r\n" + "2,1,3,2," + kSmallItem},
        // A short line's missing fields are empty, and padded on the way out.
        {"TSV with --header",
         {"--tsv", "--header"},
         "bought\tsold\tsku\tprice\tcost\n3\t2\tA1\t2\t1\n\n",
         "bought\tsold\tsku\tprice\tcost\t" + kTsvResultLabels + "\n" + "3\t2\tA1\t2\t1\t" +
             kSmallItemTsv + "\t\t\t\t\t$0.00  \t$0.00  \t0.00%\t0.00  \t$0.00  \t0.00%\n"},
    };
    for (const ExportCase& item : cases) {
        KemcalcRun run = RunKemcalc(item.args, item.input);
        EXPECT_EQ(run.status, 0) << item.what << ": " << run.err;
        EXPECT_EQ(run.err, "") << item.what;
        EXPECT_EQ(run.out, item.output) << item.what;
    }
}

struct HeaderErrorCase {
    const char* what;
    std::vector<std::string> args;
    std::string input;
    std::string message;  // after "kemcalc: standard input: line N: "
    int line;
    std::size_t rowsBefore;  // output lines written before the error
};

// Each case stops the run with status 1, names its line, and keeps the rows
// written before it.
template <std::size_t N>
void ExpectBadDataStops(const HeaderErrorCase (&cases)[N]) {
    for (const HeaderErrorCase& item : cases) {
        KemcalcRun run = RunKemcalc(item.args, item.input);
        EXPECT_EQ(run.status, 1) << item.what;
        // Notes on the input may follow the error (lines that are not UTF-8).
        EXPECT_EQ(SplitLines(run.err).at(0), "kemcalc: standard input: line " +
                                                 std::to_string(item.line) + ": " + item.message)
            << item.what;
        EXPECT_EQ(SplitLines(run.out).size(), item.rowsBefore) << item.what;
    }
}

TEST(CatalogueExports, MissingOrDoubledColumnsAreNamed) {
    const HeaderErrorCase cases[] = {
        {"a missing column",
         {"--csv"},
         "sku,price,cost,bought\n",
         "no column \"sold\" in the header; its columns are \"sku\", \"price\", \"cost\", "
         "\"bought\"; name the four with --columns PRICE,COST,BOUGHT,SOLD",
         1,
         0},
        {"a doubled column",
         {"--csv"},
         "price,cost,bought,sold, PRICE\n",
         "more than one column is named \"price\" (columns 1 and 5): give its number instead, "
         "with --columns; the header's columns are \"price\", \"cost\", \"bought\", \"sold\", "
         "\" PRICE\"",
         1,
         0},
        {"a doubled column, by --columns",
         {"--tsv", "--header", "--columns", "a,b,c,d"},
         "a\tb\tc\td\tB\n",
         "--columns: more than one column is named \"b\" (columns 2 and 5): give its number "
         "instead, with --columns; the header's columns are \"a\", \"b\", \"c\", \"d\", \"B\"",
         1,
         0},
        {"--columns names a missing column",
         {"--csv", "--columns", "Preis,cost,bought,sold"},
         "\nprice,cost,bought,sold\n",
         "--columns: no column \"Preis\" in the header; its columns are \"price\", \"cost\", "
         "\"bought\", \"sold\"",
         2,
         0},
        {"--columns number past the last column",
         {"--csv", "--columns", "1,2,3,9"},
         "price,cost,bought,sold\n",
         "--columns: there is no column 9: the header has 4 columns, \"price\", \"cost\", "
         "\"bought\", \"sold\"",
         1,
         0},
        {"--group-by names a missing column",
         {"--csv", "--totals", "--group-by", "category"},
         "price,cost,bought,sold\n",
         "--group-by: no column \"category\" in the header; its columns are \"price\", \"cost\", "
         "\"bought\", \"sold\"",
         1,
         0},
        {"a record with fewer fields than the header",
         {"--csv"},
         "sku,price,cost,bought,sold\nA1,2,1,3\n",
         "4 fields, expected 5",
         2,
         1},
        {"a TSV line with more fields than the header",
         {"--tsv", "--header"},
         "price\tcost\tbought\tsold\n2\t1\t3\t2\tx\n",
         "5 tab-separated fields, expected at most 4",
         2,
         1},
    };
    ExpectBadDataStops(cases);
}

TEST(CatalogueExports, DecimalCommaFiguresAndTexts) {
    KemcalcRun run = RunKemcalc({"--csv", "--delimiter", ";", "--decimal-comma"},
                                "price;cost;bought;sold\n"
                                "\"1.299,00\";850,00;5;3\n"
                                "12,50;4,20;40;35\n");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    // 1299 * 3 * 12 = 46764, less 850 * 3 * 12 = 30600: 16164, 34.57%; 5 / 3
    // months; 5 * 850 / 2 = 2125 of stock, returning 760.66%.
    EXPECT_EQ(run.out,
              "price;cost;bought;sold;Annual Sales;Gross Profit;Gross Profit Percentage;Months "
              "Supply;Average Inventory;Return on Inventory\r\n"
              "1.299,00;850,00;5;3;\"$46764,00  \";\"$16164,00  \";34,57%;\"1,67  \";"
              "\"$2125,00  \";\"          760,66%\"\r\n"
              "12,50;4,20;40;35;\"$5250,00  \";\"$3486,00  \";66,40%;\"1,14  \";\"$84,00  \";"
              ">1000,00%\r\n");
}

struct ParsedCase {
    const char* figure;  // written with a decimal comma
    const char* parsed;  // as read, in the shortest decimal, with a comma
};

TEST(CatalogueExports, DecimalCommaDropsThousandsSeparators) {
    const ParsedCase cases[] = {
        {"1.299,50", "1299,5"},
        {"1 299,5", "1299,5"},
        {"1\xC2\xA0"
         "299,5",
         "1299,5"},  // no-break space
        {"1\xE2\x80\xAF"
         "299,5",
         "1299,5"},  // narrow no-break space
        {"1.234.567,891", "1234567,891"},
        {"-0,5", "-0,5"},
        {",25", "0,25"},
        {"$12,50", "12,5"},
        // The separators do not use up the window's 19 characters.
        {"1.234.567.890.123,45", "1234567890123,45"},
    };
    std::string input;
    for (const ParsedCase& item : cases) {
        input += std::string(item.figure) + "\t0\t0\t1\n";
    }
    KemcalcRun run = RunKemcalc({"--tsv", "--decimal-comma", "--echo-parsed=decimal"}, input);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    std::vector<std::string> lines = SplitLines(run.out);
    ASSERT_EQ(lines.size(), std::size(cases));
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(SplitFields(lines[i], '\t').at(0), cases[i].parsed) << cases[i].figure;
    }
}

TEST(CatalogueNumbers, PlainNumbersForEveryCase) {
    struct NumbersCase {
        const char* what;
        const char* line;
        const char* numbers;
    };
    const NumbersCase cases[] = {
        {"nothing sold: Infinite months", "0\t5\t10\t0", "0.00\t0.00\t0.00\t\t25.00\t0.00"},
        {"no sales: Infinite percentages", "0\t5\t0\t10", "0.00\t-600.00\t\t0.00\t0.00\t"},
        {"Negative return as its value", "5\t6\t10\t10",
         "600.00\t-120.00\t-20.00\t1.00\t30.00\t-400.00"},
        {">1000.00% as its value", "2\t1\t3\t2", "48.00\t24.00\t50.00\t1.50\t1.50\t1600.00"},
        {"all zero", "", "0.00\t0.00\t0.00\t0.00\t0.00\t0.00"},
        {"overflowing sales", "1e300\t1e300\t1e-300\t1e10", "\t\t\t0.00\t0.50\t"},
    };
    std::string input;
    for (const NumbersCase& item : cases) {
        input += std::string(item.line) + "\n";
    }
    KemcalcRun run = RunKemcalc({"--tsv", "--numbers", "--totals"}, input);
    ASSERT_EQ(run.status, 0) << run.err;
    std::vector<std::string> lines = SplitLines(run.out);
    ASSERT_EQ(lines.size(), std::size(cases) + 1);
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(lines[i], cases[i].numbers) << cases[i].what;
    }
    // Sales and profit sum to infinities; the stock sums to 25 + 30 + 1.5 +
    // 0.5, and the return on it is infinite.
    EXPECT_EQ(lines.back(), "\t\t\t\t57.00\t");

    run = RunKemcalc({"--csv", "--numbers", "--totals"},
                     "price,cost,bought,sold\n2,1,3,2\n$10,$8,50,5\n");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "price,cost,bought,sold," + kResultLabels + "\r\n" +
                           "2,1,3,2,48.00,24.00,50.00,1.50,1.50,1600.00\r\n"
                           "$10,$8,50,5,600.00,120.00,20.00,10.00,200.00,60.00\r\n"
                           "Total,,,,648.00,144.00,22.22,,201.50,71.46\r\n");
}

// --- JSON Lines, checked by Python's json module ------------------------------------

#ifndef _WIN32
// Each line of `jsonLines` parsed by Python and written back with sorted keys
// and Python's separators; a line that is not one JSON object fails the run.
std::string ParseWithPython(const std::string& jsonLines) {
    const std::string path = ScratchPath(".jsonl");
    const std::string parsed = ScratchPath(".parsed");
    WriteFile(path, jsonLines);
    const std::string command =
        "python3 -c 'import json, sys\n"
        "for line in open(sys.argv[1], encoding=\"utf-8\"):\n"
        "    value = json.loads(line)\n"
        "    assert isinstance(value, dict)\n"
        "    print(json.dumps(value, sort_keys=True))' '" +
        path + "' > '" + parsed + "'";
    EXPECT_EQ(std::system(command.c_str()), 0) << jsonLines;
    return ReadFile(parsed);
}
#endif

TEST(CatalogueJson, LinesParseBackToTheColumnsAndResults) {
#ifdef _WIN32
    GTEST_SKIP() << "python3 checks the JSON natively";
#else
    const std::string input =
        "sku,name,price,cost,bought,sold\n"
        "A1,\"Say \"\"hi\"\"\nthere\",2,1,3,2\n"
        "B2,Caf\xC3\xA9,0,5,10,0\n";
    KemcalcRun run = RunKemcalc({"--csv", "--json"}, input);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ParseWithPython(run.out),
              "{\"Annual Sales\": \"$48.00  \", \"Average Inventory\": \"$1.50  \", \"Gross "
              "Profit\": \"$24.00  \", \"Gross Profit Percentage\": \"50.00%\", \"Months "
              "Supply\": \"1.50  \", \"Return on Inventory\": \">1000.00%\", \"bought\": \"3\", "
              "\"cost\": \"1\", \"name\": \"Say \\\"hi\\\"\\nthere\", \"price\": \"2\", \"sku\": "
              "\"A1\", \"sold\": \"2\"}\n"
              "{\"Annual Sales\": \"$0.00  \", \"Average Inventory\": \"$25.00  \", \"Gross "
              "Profit\": \"$0.00  \", \"Gross Profit Percentage\": \"0.00%\", \"Months Supply\": "
              "\"Infinite\", \"Return on Inventory\": \"            0.00%\", \"bought\": \"10\", "
              "\"cost\": \"5\", \"name\": \"Caf\\u00e9\", \"price\": \"0\", \"sku\": \"B2\", "
              "\"sold\": \"0\"}\n");

    run = RunKemcalc({"--csv", "--json", "--numbers", "--totals", "--echo-parsed=decimal"}, input);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ParseWithPython(run.out),
              "{\"Annual Sales\": 48.0, \"Average Inventory\": 1.5, \"Gross Profit\": 24.0, "
              "\"Gross Profit Percentage\": 50.0, \"Months Supply\": 1.5, \"Return on "
              "Inventory\": 1600.0, \"bought\": \"3\", \"cost\": \"1\", \"name\": \"Say "
              "\\\"hi\\\"\\nthere\", \"parsed_bought\": \"3\", \"parsed_cost\": \"1\", "
              "\"parsed_price\": \"2\", \"parsed_sold\": \"2\", \"price\": \"2\", \"sku\": "
              "\"A1\", \"sold\": \"2\"}\n"
              "{\"Annual Sales\": 0.0, \"Average Inventory\": 25.0, \"Gross Profit\": 0.0, "
              "\"Gross Profit Percentage\": 0.0, \"Months Supply\": null, \"Return on "
              "Inventory\": 0.0, \"bought\": \"10\", \"cost\": \"5\", \"name\": \"Caf\\u00e9\", "
              "\"parsed_bought\": \"10\", \"parsed_cost\": \"5\", \"parsed_price\": \"0\", "
              "\"parsed_sold\": \"0\", \"price\": \"0\", \"sku\": \"B2\", \"sold\": \"0\"}\n"
              "{\"Annual Sales\": 48.0, \"Average Inventory\": 26.5, \"Gross Profit\": 24.0, "
              "\"Gross Profit Percentage\": 50.0, \"Group\": null, \"Months Supply\": null, "
              "\"Return on Inventory\": 90.57, \"Row\": \"Totals\", \"bought\": \"\", \"cost\": "
              "\"\", \"name\": \"\", "
              "\"parsed_bought\": \"\", \"parsed_cost\": \"\", \"parsed_price\": \"\", "
              "\"parsed_sold\": \"\", \"price\": \"Total\", \"sku\": \"\", \"sold\": \"\"}\n");
#endif
}

// JSON numbers always have a point; texts keep the run's decimal comma.
TEST(CatalogueJson, DecimalCommaStaysInTheTexts) {
#ifdef _WIN32
    GTEST_SKIP() << "python3 checks the JSON natively";
#else
    const std::string input = "price;cost;bought;sold\n12,50;4;40;35\n";
    KemcalcRun run =
        RunKemcalc({"--csv", "--delimiter", ";", "--decimal-comma", "--json", "--numbers"}, input);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ParseWithPython(run.out),
              "{\"Annual Sales\": 5250.0, \"Average Inventory\": 80.0, \"Gross Profit\": 3570.0, "
              "\"Gross Profit Percentage\": 68.0, \"Months Supply\": 1.14, \"Return on "
              "Inventory\": 4462.5, \"bought\": \"40\", \"cost\": \"4\", \"price\": \"12,50\", "
              "\"sold\": \"35\"}\n");
    run = RunKemcalc({"--csv", "--delimiter", ";", "--decimal-comma", "--json"}, input);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(ParseWithPython(run.out).find("\"Annual Sales\": \"$5250,00  \""), std::string::npos)
        << run.out;
#endif
}

TEST(CatalogueJson, HeadlessTsvUsesTheFigureNames) {
    KemcalcRun run = RunKemcalc({"--tsv", "--json"}, "2\t1\n");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "{\"price\":\"2\",\"cost\":\"1\",\"bought\":\"\",\"sold\":\"\",\"Annual "
              "Sales\":\"$0.00  \",\"Gross Profit\":\"$0.00  \",\"Gross Profit "
              "Percentage\":\"0.00%\",\"Months Supply\":\"0.00  \",\"Average "
              "Inventory\":\"$0.00  \",\"Return on Inventory\":\"0.00%\"}\n");
}

TEST(CatalogueJson, NamesAndTextsJsonCannotHoldAreErrors) {
    const HeaderErrorCase cases[] = {
        {"a column named twice",
         {"--csv", "--json"},
         "price,cost,bought,sold,note,note\n",
         "the name \"note\" is used twice (column 5 and column 6); JSON output needs distinct "
         "names: rename one",
         1,
         0},
        {"a column named like a result",
         {"--csv", "--json"},
         "price,cost,bought,sold,Months Supply\n",
         "column 5 is named \"Months Supply\", the name of a column the results add: rename "
         "that column, or name the added columns with --prefix TEXT",
         1,
         0},
        {"a field that is not UTF-8",
         {"--csv", "--json"},
         "price,cost,bought,sold,name\n2,1,3,2,Caf\xE9\n",
         "column 5 (name) is not UTF-8 text, which JSON output needs: save the file as UTF-8",
         2,
         0},
    };
    ExpectBadDataStops(cases);
}

// --- Totals per group ---------------------------------------------------------------------

TEST(CatalogueGroups, OneTotalsRowPerGroupThenTheWhole) {
    const std::string input =
        "sku,category,price,cost,bought,sold\n"
        "A,Tools,2,1,3,2\n"
        "B,Toys,$10,$8,50,5\n"
        "C,Tools,5,6,10,10\n"
        "D,,0,0,0,0\n";
    const std::string header = "sku,category,price,cost,bought,sold," + kResultLabels + "\r\n";
    // Tools: sales 48 + 600, profit 24 - 120, stock 1.5 + 30. Toys: the item
    // $10 $8 50 5. The last group has an empty name. The whole: sales 1248,
    // profit 24, stock 231.5.
    const std::string totals =
        ",Tools,Total,,,,\"$648.00  \",\"$-96.00  \",-14.81%,,\"$31.50  \",Negative\r\n"
        ",Toys,Total,,,,\"$600.00  \",\"$120.00  \",20.00%,,\"$200.00  \",\"           "
        "60.00%\"\r\n"
        ",,Total,,,,\"$0.00  \",\"$0.00  \",0.00%,,\"$0.00  \",0.00%\r\n"
        ",,Total,,,,\"$1248.00  \",\"$24.00  \",1.92%,,\"$231.50  \",\"           10.37%\"\r\n";
    for (const char* column : {"category", "2", " CATEGORY "}) {
        KemcalcRun run = RunKemcalc({"--csv", "--totals", "--group-by", column}, input);
        ASSERT_EQ(run.status, 0) << column << ": " << run.err;
        std::vector<std::string> lines = SplitLines(run.out);
        ASSERT_EQ(lines.size(), 9u) << column;
        EXPECT_EQ(lines[0] + "\n", header) << column;
        std::string last;
        for (std::size_t i = 5; i < lines.size(); ++i) {
            last += lines[i] + "\n";
        }
        EXPECT_EQ(last, totals) << column;
    }
}

}  // namespace
