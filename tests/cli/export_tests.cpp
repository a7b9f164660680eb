// Real exports read right or not at all, never wrong in silence: blank
// figures, dot decimals among decimal commas, grouped thousands, other
// currencies, the wrong mode, names the results would repeat, and what
// spreadsheets write (inch marks, trailing delimiters, long descriptions).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kemcalc_runner.h"

namespace {

const std::string kResultLabels =
    "Annual Sales,Gross Profit,Gross Profit Percentage,Months Supply,Average Inventory,"
    "Return on Inventory";

// The README's item as CSV result cells, and with a euro sign.
const std::string kDollarItem =
    "\"$600.00  \",\"$120.00  \",20.00%,\"10.00  \",\"$200.00  \",\"           60.00%\"";

struct ExportCase {
    const char* what;
    std::vector<std::string> args;
    std::string input;
    int status;
    std::string row;    // the second line of standard output, without its CR LF
    std::string error;  // the first line of standard error, without "kemcalc: "
};

TEST(Exports, FiguresAreReadRightOrSaidToBeWrong) {
    const ExportCase cases[] = {
        // A blank cost is unknown, not free: counted, and --strict stops.
        {"a blank cost",
         {"--csv"},
         "price,cost,bought,sold\n10,,50,5\n",
         0,
         "10,,50,5,\"$600.00  \",\"$600.00  \",100.00%,\"10.00  \",\"$0.00  \",Infinite",
         "1 empty cost read as 0; the first: standard input: line 2: cost"},
        {"a blank cost, strict",
         {"--csv", "--strict"},
         "price,cost,bought,sold\n10, ,50,5\n",
         1,
         "",
         "standard input: line 2: cost is empty, read as 0 (--strict)"},
        // A row of nothing at all is an empty line, not four empty figures.
        {"a spreadsheet's empty row",
         {"--csv", "--strict"},
         "price,cost,bought,sold\n,,,\n",
         0,
         ",,,,\"$0.00  \",\"$0.00  \",0.00%,\"0.00  \",\"$0.00  \",0.00%",
         ""},
        // With a decimal comma, a point before anything but three digits
        // ends the number: 12.50 is 12, not 1250.
        {"a dot decimal among decimal commas",
         {"--csv", "--delimiter", ";", "--decimal-comma"},
         "price;cost;bought;sold\n12.50;8;50;5\n",
         0,
         "12.50;8;50;5;\"$720,00  \";\"$240,00  \";33,33%;\"10,00  \";\"$200,00  \";\"   "
         "       120,00%\"",
         "1 figure in 1 row was not read whole: standard input: line 2: price: \"12.50\" read as "
         "12"},
        {"thousands commas",
         {"--csv", "--thousands", ","},
         "price,cost,bought,sold\n\"$1,400.00\",\"1,120\",50,5\n",
         0,
         "\"$1,400.00\",\"1,120\",50,5,\"$84000.00  \",\"$16800.00  \",20.00%,\"10.00  \","
         "\"$28000.00  \",\"           60.00%\"",
         ""},
        // A comma that groups nothing still ends the number.
        {"a comma that groups nothing",
         {"--csv", "--thousands", ","},
         "price,cost,bought,sold\n\"10,5\",8,50,5\n",
         0,
         "\"10,5\",8,50,5," + kDollarItem,
         "1 figure in 1 row was not read whole: standard input: line 2: price: \"10,5\" read as "
         "10"},
        {"a currency after the figure, in place of $",
         {"--csv", "--delimiter", ";", "--decimal-comma", "--currency", "\xE2\x82\xAC"},
         "price;cost;bought;sold\n10,00 \xE2\x82\xAC;\xE2\x82\xAC 8;50;5\n",
         0,
         "10,00 \xE2\x82\xAC;\xE2\x82\xAC 8;50;5;\"\xE2\x82\xAC"
         "600,00  \";\"\xE2\x82\xAC"
         "120,00  \";20,00%;\"10,00  \";\"\xE2\x82\xAC"
         "200,00  \";\"           60,00%\"",
         ""},
        {"a currency code before the figure",
         {"--csv", "--currency", "GBP"},
         "price,cost,bought,sold\nGBP 10,GBP8,50,5\n",
         0,
         "GBP 10,GBP8,50,5,\"GBP600.00  \",\"GBP120.00  \",20.00%,\"10.00  \",\"GBP200.00  \","
         "\"           60.00%\"",
         ""},
        // Old Mac files end their lines in CR alone.
        {"CR line ends",
         {"--csv"},
         "price,cost,bought,sold\r10,8,50,5\r",
         0,
         "10,8,50,5," + kDollarItem,
         ""},
    };
    for (const ExportCase& item : cases) {
        KemcalcRun run = RunKemcalc(item.args, item.input);
        EXPECT_EQ(run.status, item.status) << item.what << ": " << run.err;
        const std::vector<std::string> lines = SplitLines(run.out);
        EXPECT_EQ(lines.size() > 1 ? lines[1] : "", item.row.empty() ? "" : item.row + "\r")
            << item.what;
        const std::vector<std::string> errors = SplitLines(run.err);
        EXPECT_EQ(errors.empty() ? "" : errors[0],
                  item.error.empty() ? "" : "kemcalc: " + item.error)
            << item.what;
    }
}

// What spreadsheets write is read as they read it.
TEST(Exports, WhatSpreadsheetsWriteIsRead) {
    const std::string description(70000, 'd');
    const ExportCase cases[] = {
        // A quote inside a field that does not start with one is text; it
        // comes back quoted, its quotes doubled.
        {"an inch mark",
         {"--csv"},
         "name,price,cost,bought,sold\nNail 3\" galvanised,10,8,50,5\n",
         0,
         "\"Nail 3\"\" galvanised\",10,8,50,5," + kDollarItem,
         ""},
        {"coordinates",
         {"--csv"},
         "where,price,cost,bought,sold\n37\xC2\xB0"
         "36'37.8\"N,10,8,50,5\n",
         0,
         "\"37\xC2\xB0"
         "36'37.8\"\"N\",10,8,50,5," +
             kDollarItem,
         ""},
        // Trailing delimiters and the empty cells a spreadsheet leaves past
        // the last column are dropped, so the results stay under their header.
        {"a trailing delimiter",
         {"--csv"},
         "price,cost,bought,sold\n10,8,50,5,\n",
         0,
         "10,8,50,5," + kDollarItem,
         ""},
        {"trailing empty cells",
         {"--csv", "--delimiter", ";"},
         "price;cost;bought;sold\n10;8;50;5;;;\n",
         0,
         "10;8;50;5;\"$600.00  \";\"$120.00  \";20.00%;\"10.00  \";\"$200.00  \";\"         "
         "  60.00%\"",
         ""},
        // A description far longer than a line used to be, in a column
        // kemcalc only passes through.
        {"a 70 KB description",
         {"--csv"},
         "description,price,cost,bought,sold\n" + description + ",10,8,50,5\n",
         0,
         description + ",10,8,50,5," + kDollarItem,
         ""},
    };
    for (const ExportCase& item : cases) {
        KemcalcRun run = RunKemcalc(item.args, item.input);
        EXPECT_EQ(run.status, item.status) << item.what << ": " << run.err;
        EXPECT_EQ(run.err, "") << item.what;
        const std::vector<std::string> lines = SplitLines(run.out);
        ASSERT_EQ(lines.size(), 2u) << item.what;
        EXPECT_EQ(lines[1], item.row + "\r") << item.what;
    }
}

// The wrong mode, or a file that is not text, is named with the way out.
TEST(Exports, TheWrongModeIsSaidWithTheWayOut) {
    const std::string shop = ScratchPath("shop.csv");
    WriteFile(shop, "price,cost,bought,sold\n10,8,50,5\n");
    const std::string workbook = ScratchPath("shop.xlsx");
    WriteFile(workbook, std::string("PK\x03\x04\x14\x00\x06\x00", 8) + "[Content_Types].xml");
    const ExportCase cases[] = {
        {"a file named without a mode",
         {shop},
         "",
         2,
         "",
         shop + " is a file, not four figures: to read a catalogue add --csv (or --tsv for "
                "tab-separated lines), as in kemcalc --csv FILE"},
        {"a workbook",
         {"--csv", workbook},
         "",
         1,
         "",
         workbook + ": the file is a spreadsheet workbook, not text: save it as CSV (in Excel: "
                    "Save As, CSV UTF-8) and give kemcalc that file"},
        {"CSV read as TSV",
         {"--tsv"},
         "10,8,50,5\n",
         0,
         "",
         "1 figure in 1 row was not read whole: standard input: line 1: price: \"10,8,50,5\" "
         "read as 10"},
        {"a header read as TSV figures",
         {"--tsv"},
         "price\tcost\tbought\tsold\n10\t8\t50\t5\n",
         0,
         "",
         "4 figures in 1 row were not read whole: standard input: line 1: price: "
         "\"price\" read as 0; standard input: line 1: cost: \"cost\" read as 0; standard "
         "input: line 1: bought: \"bought\" read as 0; and 1 more"},
        // The added names must differ from the file's; --prefix is the way out.
        {"a column named like a result",
         {"--csv"},
         "price,cost,bought,sold,gross profit\n10,8,50,5,120\n",
         1,
         "",
         "standard input: line 1: column 5 is named \"gross profit\", the name of a column the "
         "results add: rename that column, or name the added columns with --prefix TEXT"},
    };
    for (const ExportCase& item : cases) {
        KemcalcRun run = RunKemcalc(item.args, item.input);
        EXPECT_EQ(run.status, item.status) << item.what << ": " << run.err;
        EXPECT_EQ(SplitLines(run.err).at(0), "kemcalc: " + item.error) << item.what;
    }
    // The hints that follow the summary of a TSV that is not one.
    KemcalcRun csv = RunKemcalc({"--tsv"}, "10,8,50,5\n");
    EXPECT_EQ(SplitLines(csv.err).back(),
              "kemcalc: the first line holds commas or semicolons and no tab: for CSV give --csv "
              "instead of --tsv");
    KemcalcRun header = RunKemcalc({"--tsv"}, "price\tcost\tbought\tsold\n10\t8\t50\t5\n");
    EXPECT_EQ(SplitLines(header.err).back(),
              "kemcalc: the first line looks like column names, not figures: give --header to "
              "read it as the header");
    KemcalcRun prefixed = RunKemcalc({"--csv", "--prefix", "KEM "},
                                     "price,cost,bought,sold,Gross Profit\n10,8,50,5,120\n");
    EXPECT_EQ(prefixed.status, 0) << prefixed.err;
    EXPECT_EQ(SplitLines(prefixed.out).at(0),
              "price,cost,bought,sold,Gross Profit,KEM Annual Sales,KEM Gross Profit,KEM Gross "
              "Profit Percentage,KEM Months Supply,KEM Average Inventory,KEM Return on "
              "Inventory\r");
}

// A file saved as Windows-1252 passes through byte for byte, with a note.
TEST(Exports, TextThatIsNotUtf8IsNamed) {
    KemcalcRun run = RunKemcalc({"--csv"},
                                "name,price,cost,bought,sold\nGr\xF6\xDF"
                                "e,10,8,50,5\n"
                                "Ok,10,8,50,5\n");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(SplitLines(run.out).at(1),
              "Gr\xF6\xDF"
              "e,10,8,50,5," +
                  kDollarItem + "\r");
    EXPECT_EQ(run.err,
              "kemcalc: 1 line of standard input is not UTF-8 text: line 2: if the file was saved "
              "as Windows-1252 (ANSI), names in it show wrongly; save it as CSV UTF-8, or convert "
              "it with iconv -f windows-1252 -t utf-8\n");
}

}  // namespace
