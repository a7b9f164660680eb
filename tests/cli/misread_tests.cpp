// Figures that are not read whole: the window's rule (the leading number
// counts) stays, standard output does not change by a byte, and standard
// error says what was read; --strict stops at the first. Also the figures as
// read in decimals, empty CSV lines, and the hints of the error messages.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kemcalc_runner.h"

namespace {

const std::string kCsvHeader =
    "price,cost,bought,sold,Annual Sales,Gross Profit,Gross Profit Percentage,Months Supply,"
    "Average Inventory,Return on Inventory\r\n";
const std::string kSemicolonHeader =
    "price;cost;bought;sold;Annual Sales;Gross Profit;Gross Profit Percentage;Months Supply;"
    "Average Inventory;Return on Inventory\r\n";
const std::string kZeroRowTsv = "$0.00  \t$0.00  \t0.00%\t0.00  \t$0.00  \t0.00%\n";

struct MisreadCase {
    const char* what;
    std::vector<std::string> args;
    std::string input;
    std::string output;  // exactly what the window's rule gives
    std::string summary;
};

// The summary names the first figures, counts all, and says how the file
// seems to write them.
TEST(Misreads, SummaryLineNamesTheFirstFiguresAndCountsAll) {
    const MisreadCase cases[] = {
        // 12 * 35 * 12 = 5040 of sales, less 4 * 35 * 12 = 1680.
        {"decimal commas without --decimal-comma",
         {"--csv", "--delimiter", ";"},
         "price;cost;bought;sold\n12,50;4,20;40;35\n",
         kSemicolonHeader +
             "12,50;4,20;40;35;\"$5040.00  \";\"$3360.00  \";66.67%;\"1.14  \";\"$80.00  \";"
             ">1000.00%\r\n",
         "2 figures in 1 row were not read whole: standard input: line 2: price: \"12,50\" read "
         "as 12; standard input: line 2: cost: \"4,20\" read as 4; for figures written like "
         "12,50 give --decimal-comma"},
        // A price of 1.299 against a cost of 850.
        {"thousands dots and a decimal comma",
         {"--csv", "--delimiter", ";"},
         "price;cost;bought;sold\n\"1.299,00\";850,00;5;3\n",
         kSemicolonHeader +
             "1.299,00;850,00;5;3;\"$46.76  \";\"$-30553.24  \";-65334.95%;\"1.67  \";"
             "\"$2125.00  \";Negative\r\n",
         "2 figures in 1 row were not read whole: standard input: line 2: price: \"1.299,00\" "
         "read as 1.299; standard input: line 2: cost: \"850,00\" read as 850; for figures "
         "written like 12,50 give --decimal-comma"},
        {"a euro sign",
         {"--csv", "--delimiter", ";"},
         "price;cost;bought;sold\n\xE2\x82\xAC 9,99;1;1;1\n",
         kSemicolonHeader + "\xE2\x82\xAC 9,99;1;1;1;\"$0.00  \";\"$-12.00  \";Infinite;"
                            "\"1.00  \";\"$0.50  \";Negative\r\n",
         "1 figure in 1 row was not read whole: standard input: line 2: price: "
         "\"\xE2\x82\xAC 9,99\" read as 0; for figures written like 12,50 give "
         "--decimal-comma; for prices written with \xE2\x82\xAC give --currency "
         "'\xE2\x82\xAC'"},
        {"thousands commas in a plain CSV",
         {"--csv"},
         "price,cost,bought,sold\n\"1,299.00\",1,1,1\n",
         kCsvHeader + "\"1,299.00\",1,1,1,\"$12.00  \",\"$0.00  \",0.00%,\"1.00  \",\"$0.50  \","
                      "\"            0.00%\"\r\n",
         "1 figure in 1 row was not read whole: standard input: line 2: price: \"1,299.00\" read "
         "as 1; for figures written like 1,400.00 give --thousands ,"},
        {"blanks between four figures on a TSV line",
         {"--tsv"},
         "1 2 3 4\n",
         kZeroRowTsv,
         "1 figure in 1 row was not read whole: standard input: line 1: price: \"1 2 3 4\" read "
         "as 1\nkemcalc: 1 empty cost, 1 empty bought count and 1 empty sold count read as 0; "
         "the first: standard input: line 1: cost"},
        // Only 19 characters are read.
        {"a figure longer than the window reads",
         {"--tsv"},
         "100000000000000000000\t0\t0\t1\n",
         "$12000000000000000000.00  \t$12000000000000000000.00  \t100.00%\t0.00  \t$0.00  \t"
         "Infinite\n",
         "1 figure in 1 row was not read whole: standard input: line 1: price: "
         "\"100000000000000000000\" read as 1000000000000000000"},
        {"a dollar sign in a count, and more than three",
         {"--tsv"},
         "x\t$1\t$5\t$5\n2\t1\t3\t2\n1a\t1\t1\t1\n",
         kZeroRowTsv + "$48.00  \t$24.00  \t50.00%\t1.50  \t$1.50  \t>1000.00%\n" +
             "$12.00  \t$0.00  \t0.00%\t1.00  \t$0.50  \t            0.00%\n",
         "4 figures in 2 rows were not read whole: standard input: line 1: price: \"x\" read as "
         "0; standard input: line 1: bought: \"$5\" read as 0; standard input: line 1: sold: "
         "\"$5\" read as 0; and 1 more"},
        {"the column's name from the header",
         {"--csv", "--columns", "Preis,Kosten,Zugang,Abgang"},
         "Preis,Kosten,Zugang,Abgang\n2,1,3,2 Stk\n",
         "Preis,Kosten,Zugang,Abgang,Annual Sales,Gross Profit,Gross Profit Percentage,Months "
         "Supply,Average Inventory,Return on Inventory\r\n2,1,3,2 Stk,\"$48.00  \",\"$24.00  \","
         "50.00%,\"1.50  \",\"$1.50  \",>1000.00%\r\n",
         "1 figure in 1 row was not read whole: standard input: line 2: Abgang: \"2 Stk\" read "
         "as 2"},
        // 10 * 5 * 12 = 600 of sales, 1 * 8 / 2 = 4 of stock.
        {"one item on the command line",
         {"10", "8", "1,000", "5"},
         "",
         "Annual Sales:            $600.00  \nGross Profit:            $120.00  \nGross Profit "
         "Percentage: 20.00%\nMonths Supply:           0.20  \nAverage Inventory:       $4.00  "
         "\nReturn on Inventory:     >1000.00%\n",
         "1 figure was not read whole: bought: \"1,000\" read as 1; for figures written like "
         "1,400.00 give --thousands ,"},
    };
    for (const MisreadCase& item : cases) {
        KemcalcRun run = RunKemcalc(item.args, item.input);
        EXPECT_EQ(run.status, 0) << item.what;
        EXPECT_EQ(run.out, item.output) << item.what;
        EXPECT_EQ(run.err, "kemcalc: " + item.summary + "\n") << item.what;

        // Each of them stops a --strict run, after the rows before it.
        std::vector<std::string> args = item.args;
        args.insert(args.begin(), "--strict");
        KemcalcRun strict = RunKemcalc(args, item.input);
        EXPECT_EQ(strict.status, 1) << item.what;
        EXPECT_NE(strict.err.find(", not the whole figure (--strict)\n"), std::string::npos)
            << item.what << ": " << strict.err;
        EXPECT_EQ(item.output.compare(0, strict.out.size(), strict.out), 0) << item.what;
        EXPECT_LT(strict.out.size(), item.output.size()) << item.what;
    }
}

TEST(Misreads, FiguresReadWholeAreNotReported) {
    // Empty and blank fields are 0 on purpose; blanks around a figure, a "$"
    // before price and cost, exponents and signs are all part of reading it.
    KemcalcRun run =
        RunKemcalc({"--tsv"}, "\t \t\t\n$10\t$8\t 50 \t5\r\n1e3\t-0\t+7\t.5\n12.\t1E-2\t1d2\t0x\n");
    EXPECT_EQ(run.status, 0);
    std::vector<std::string> lines = SplitLines(run.out);
    EXPECT_EQ(lines.size(), 4u);
    // Only the last line's "0x" is left over.
    EXPECT_EQ(run.err,
              "kemcalc: 1 figure in 1 row was not read whole: standard input: line 4: sold: "
              "\"0x\" read as 0\n");
}

struct StrictCase {
    const char* what;
    std::vector<std::string> args;
    std::string input;
    std::string output;   // the rows before the figure
    std::string message;  // the whole of standard error
};

TEST(Misreads, StrictStopsAtTheFirstFigureNotReadWhole) {
    const StrictCase cases[] = {
        {"CSV",
         {"--csv", "--strict", "--delimiter", ";"},
         "price;cost;bought;sold\n2;1;3;2\n12,50;4,20;40;35\n5;6;10;10\n",
         kSemicolonHeader +
             "2;1;3;2;\"$48.00  \";\"$24.00  \";50.00%;\"1.50  \";\"$1.50  \";>1000.00%\r\n",
         "kemcalc: standard input: line 3: price: \"12,50\" read as 12, not the whole figure "
         "(--strict)\n"},
        {"TSV, a later figure of the line",
         {"--strict", "--tsv"},
         "2\t1\t3\t2 units\n",
         "",
         "kemcalc: standard input: line 1: sold: \"2 units\" read as 2, not the whole figure "
         "(--strict)\n"},
        {"one item",
         {"--strict", "10", "8", "1,000", "5"},
         "",
         "",
         "kemcalc: bought: \"1,000\" read as 1, not the whole figure (--strict)\n"},
        // With a decimal comma a point groups thousands only before three
        // digits: in 12.50 it groups nothing and ends the number.
        {"a dot decimal with --decimal-comma",
         {"--strict", "--decimal-comma", "--tsv"},
         "12,50\t4,20\t40\t35\n12.50\t0\t0\t1\n",
         "$5250,00  \t$3486,00  \t66,40%\t1,14  \t$84,00  \t>1000,00%\n",
         "kemcalc: standard input: line 2: price: \"12.50\" read as 12, not the whole figure "
         "(--strict)\n"},
    };
    for (const StrictCase& item : cases) {
        KemcalcRun run = RunKemcalc(item.args, item.input);
        EXPECT_EQ(run.status, item.message.empty() ? 0 : 1) << item.what;
        EXPECT_EQ(run.err, item.message) << item.what;
        if (item.message.empty()) {
            EXPECT_EQ(SplitLines(run.out).at(0) + "\n", item.output) << item.what;
        } else {
            EXPECT_EQ(run.out, item.output) << item.what;
        }
    }
}

// --- --echo-parsed=decimal ----------------------------------------------------------

struct DecimalCase {
    const char* typed;
    const char* shown;
};

// Each typed figure (at most 19 characters, as the window reads it) and the
// shortest decimal that ParseAmount reads back as the same double.
const DecimalCase kDecimalCases[] = {
    {"12", "12"},
    {"0.105", "0.105"},
    {"1e300", "1e+300"},
    {"-0", "-0"},
    {"", "0"},
    {"1e400", "inf"},
    {"-1e400", "-inf"},
    {"0.1", "0.1"},
    {"100000", "100000"},
    {"1e21", "1e+21"},
    {"1e-7", "1e-7"},
    {"0.000001", "0.000001"},
    {"123456789012345678", "123456789012345680"},
    // Powers of two.
    {"0.125", "0.125"},
    {"1152921504606846976", "1152921504606847000"},
    {"18014398509481984", "18014398509481984"},
    // Ties: 2^53 + 1 and 2^53 + 3 read as the smaller neighbour.
    {"9007199254740993", "9007199254740992"},
    {"9007199254740995", "9007199254740994"},
    // 2^54 + 4: the 16-digit 18014398509481990 lies halfway to 2^54 + 8 and
    // reads back as the smaller, so it is the shortest (a reader that takes
    // ties to even would need 18014398509481988).
    {"18014398509481988", "18014398509481990"},
    // Subnormals, and what lies below half the smallest.
    {"5e-324", "5e-324"},
    {"2.5e-324", "5e-324"},
    {"2.4e-324", "0"},
    {"-1e-310", "-1e-310"},
    {"4.9406564584124654", "4.940656458412465"},
};

TEST(EchoParsedDecimal, ShortestDecimalThatReadsBack) {
    std::string input;
    for (const DecimalCase& item : kDecimalCases) {
        input += std::string("0\t0\t") + item.typed + "\t1\n";
    }
    KemcalcRun run = RunKemcalc({"--tsv", "--echo-parsed=decimal"}, input);
    ASSERT_EQ(run.status, 0) << run.err;
    std::vector<std::string> lines = SplitLines(run.out);
    ASSERT_EQ(lines.size(), std::size(kDecimalCases));
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::vector<std::string> fields = SplitFields(lines[i], '\t');
        ASSERT_EQ(fields.size(), 10u) << lines[i];
        EXPECT_EQ(fields[2], kDecimalCases[i].shown) << "typed " << kDecimalCases[i].typed;
    }
}

TEST(EchoParsedDecimal, HexadecimalStaysTheDefault) {
    for (const char* option : {"--echo-parsed", "--echo-parsed=hex"}) {
        KemcalcRun run = RunKemcalc({"--csv", option}, "price,cost,bought,sold\n$10,,-0,3\n");
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(SplitLines(run.out).at(1),
                  "$10,,-0,3,0x1.4p+3,0x0p+0,-0x0p+0,0x1.8p+1,\"$360.00  \",\"$360.00  \","
                  "100.00%,\"0.00  \",\"$0.00  \",Infinite\r")
            << option;
    }
}

// --- Messages that say how to fix the input --------------------------------------------

struct HintCase {
    const char* what;
    std::vector<std::string> args;
    std::string input;
    std::string message;  // the whole of standard error
};

TEST(Hints, HeaderAndEncodingErrorsSayWhatToDo) {
    const HintCase cases[] = {
        {"a semicolon file read with commas",
         {"--csv"},
         "price;cost;bought;sold\n12,50;4,20;40;35\n",
         "kemcalc: standard input: line 1: no column \"price\" in the header; its columns are "
         "\"price;cost;bought;sold\"; the header holds ';' and no ',': try --delimiter ';'\n"},
        {"a tab-separated file read as CSV",
         {"--csv"},
         "price\tcost\tbought\tsold\n",
         "kemcalc: standard input: line 1: no column \"price\" in the header; its columns are "
         "\"price\\tcost\\tbought\\tsold\"; the header holds tabs: try --tsv --header, or "
         "--delimiter $'\\t'\n"},
        {"a comma file read with semicolons",
         {"--csv", "--delimiter", ";"},
         "price,cost,bought,sold\n",
         "kemcalc: standard input: line 1: no column \"price\" in the header; its columns are "
         "\"price,cost,bought,sold\"; the header holds ',' and no ';': try --delimiter ','\n"},
        {"a CSV file read as TSV with a header",
         {"--tsv", "--header"},
         "price,cost,bought,sold\n",
         "kemcalc: standard input: line 1: no column \"price\" in the header; its columns are "
         "\"price,cost,bought,sold\"; the header holds ',' and no tab: try --csv\n"},
        {"UTF-16, little-endian",
         {"--csv"},
         std::string("\xFF\xFEp\0r\0i\0", 8),
         "kemcalc: standard input: the file is UTF-16; save it as UTF-8 (CSV UTF-8)\n"},
        {"UTF-16, big-endian, as TSV",
         {"--tsv"},
         std::string("\xFE\xFF\0"
                     "2\0\t",
                     6),
         "kemcalc: standard input: the file is UTF-16; save it as UTF-8 (CSV UTF-8)\n"},
        {"UTF-32",
         {"--csv"},
         std::string("\xFF\xFE\0\0p\0\0\0", 8),
         "kemcalc: standard input: the file is UTF-32; save it as UTF-8 (CSV UTF-8)\n"},
        {"the byte order mark alone",
         {"--csv"},
         "\xFF\xFE",
         "kemcalc: standard input: the file is UTF-16; save it as UTF-8 (CSV UTF-8)\n"},
        {"a delimiter written as backslash t",
         {"--csv", "--delimiter", "\\t"},
         "",
         "kemcalc: --delimiter takes exactly one character, not '\\t'; for a tab write "
         "--delimiter $'\\t'\nTry 'kemcalc --help' for more information.\n"},
    };
    for (const HintCase& item : cases) {
        KemcalcRun run = RunKemcalc(item.args, item.input);
        EXPECT_NE(run.status, 0) << item.what;
        EXPECT_EQ(run.err, item.message) << item.what;
        EXPECT_EQ(run.out, "") << item.what;
    }
}

TEST(Hints, HelpSaysEmptyLinesAreSkipped) {
    KemcalcRun run = RunKemcalc({"--help"});
    ASSERT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("empty lines are skipped"), std::string::npos);
    // --delimiter no longer promises to read decimal commas.
    EXPECT_EQ(run.out.find("for spreadsheets set up for a decimal comma"), std::string::npos);
}

}  // namespace
