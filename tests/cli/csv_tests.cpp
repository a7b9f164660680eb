// kemcalc --csv through the built binary: quoting both ways, line ends,
// delimiters, totals, and every kind of unreadable file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kemcalc_runner.h"

namespace {

// The six result columns that follow the input's own in the header row.
const std::string kResultHeaders =
    ",Annual Sales,Gross Profit,Gross Profit Percentage,Months Supply,Average Inventory,"
    "Return on Inventory\r\n";
const std::string kHeaderOut = "price,cost,bought,sold" + kResultHeaders;

// The result columns of the item 2, 1, 3, 2 as CSV: texts with blanks at an
// end are quoted so that no import trims them.
const std::string kItemResults =
    "\"$48.00  \",\"$24.00  \",50.00%,\"1.50  \",\"$1.50  \",>1000.00%\r\n";

TEST(CsvRows, ExampleItemsRoundTrip) {
    KemcalcRun run = RunKemcalc({"--csv"},
                                "price,cost,bought,sold\n"
                                "2,1,3,2\n"
                                "$10,$8,50,5\n"
                                "5,6,10,10\n"
                                "0,5,0,10\n"
                                "0,5,10,0\n");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, kHeaderOut + "2,1,3,2," + kItemResults +
                           "$10,$8,50,5,\"$600.00  \",\"$120.00  \",20.00%,\"10.00  \",\"$200.00  "
                           "\",\"           60.00%\"\r\n"
                           "5,6,10,10,\"$600.00  \",\"$-120.00  \",-20.00%,\"1.00  \",\"$30.00  \","
                           "Negative\r\n"
                           "0,5,0,10,\"$0.00  \",\"$-600.00  \",Infinite,\"0.00  \",\"$0.00  \","
                           "Infinite\r\n"
                           "0,5,10,0,\"$0.00  \",\"$0.00  \",0.00%,Infinite,\"$25.00  \",\""
                           "            0.00%\"\r\n");
}

struct QuotedCase {
    const char* what;
    const char* record;   // as written in the input
    const char* echoed;   // the four input fields as written back
    const char* results;  // the six result fields
};

const QuotedCase kQuotedCases[] = {
    // "1,000" is one field; the window reads it as 1.
    {"comma inside quotes", "\"1,000\",0,0,1", "\"1,000\",0,0,1",
     "\"$12.00  \",\"$12.00  \",100.00%,\"0.00  \",\"$0.00  \",Infinite"},
    {"doubled quotes", "\"2\"\"x\",1,3,2", "\"2\"\"x\",1,3,2",
     "\"$48.00  \",\"$24.00  \",50.00%,\"1.50  \",\"$1.50  \",>1000.00%"},
    {"quotes that need none", "\"2\",\"1\",\"3\",\"2\"", "2,1,3,2",
     "\"$48.00  \",\"$24.00  \",50.00%,\"1.50  \",\"$1.50  \",>1000.00%"},
    {"empty fields", ",,\"\",", ",,,",
     "\"$0.00  \",\"$0.00  \",0.00%,\"0.00  \",\"$0.00  \",0.00%"},
    {"blanks kept", " 2,1 ,3,2", "\" 2\",\"1 \",3,2",
     "\"$48.00  \",\"$24.00  \",50.00%,\"1.50  \",\"$1.50  \",>1000.00%"},
    // A line end inside quotes belongs to the field and is written back.
    {"line end inside quotes", "2,1,\"3\n units\",2", "2,1,\"3\n units\",2",
     "\"$48.00  \",\"$24.00  \",50.00%,\"1.50  \",\"$1.50  \",>1000.00%"},
    {"CR LF inside quotes", "2,1,\"3\r\n\",2", "2,1,\"3\r\n\",2",
     "\"$48.00  \",\"$24.00  \",50.00%,\"1.50  \",\"$1.50  \",>1000.00%"},
};

TEST(CsvRows, QuotedFieldsAreReadAndWrittenBack) {
    for (const QuotedCase& item : kQuotedCases) {
        KemcalcRun run =
            RunKemcalc({"--csv"}, std::string("price,cost,bought,sold\n") + item.record + "\n");
        ASSERT_EQ(run.status, 0) << item.what << ": " << run.err;
        EXPECT_EQ(run.out, kHeaderOut + item.echoed + "," + item.results + "\r\n") << item.what;
    }
}

TEST(CsvRows, CrLfAndLfLineEndsReadAlike) {
    KemcalcRun lf = RunKemcalc({"--csv"}, "price,cost,bought,sold\n2,1,3,2\n5,6,10,10");
    KemcalcRun crlf = RunKemcalc({"--csv"}, "price,cost,bought,sold\r\n2,1,3,2\r\n5,6,10,10\r\n");
    ASSERT_EQ(lf.status, 0) << lf.err;
    ASSERT_EQ(crlf.status, 0) << crlf.err;
    EXPECT_EQ(lf.out, crlf.out);
    EXPECT_EQ(SplitLines(lf.out).size(), 3u);
}

// The header is the user's: it is found without regard to case and written
// back as read.
TEST(CsvRows, HeaderIgnoresCaseAndTheByteOrderMarkIsKept) {
    KemcalcRun run = RunKemcalc({"--csv"}, "\xEF\xBB\xBFPrice,COST,Bought,sold\r\n2,1,3,2\r\n");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "\xEF\xBB\xBFPrice,COST,Bought,sold" + kResultHeaders + "2,1,3,2," + kItemResults);
}

TEST(CsvRows, HeaderOnlyGivesHeaderOnly) {
    KemcalcRun run = RunKemcalc({"--csv"}, "price,cost,bought,sold\n");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, kHeaderOut);
}

TEST(CsvRows, SemicolonDelimiterAppliesToInputAndOutput) {
    for (const char* option : {"--delimiter", "--delimiter=;"}) {
        std::vector<std::string> args = {"--csv", option};
        if (std::string(option) == "--delimiter") {
            args.push_back(";");
        }
        KemcalcRun run = RunKemcalc(args,
                                    "price;cost;bought;sold\n"
                                    "\"2;5\";1,5;3;2\n");
        ASSERT_EQ(run.status, 0) << option << ": " << run.err;
        // Decimal commas read like the window reads them: 1,5 is 1.
        EXPECT_EQ(run.out,
                  "price;cost;bought;sold;Annual Sales;Gross Profit;Gross Profit Percentage;"
                  "Months Supply;Average Inventory;Return on Inventory\r\n"
                  "\"2;5\";1,5;3;2;\"$48.00  \";\"$24.00  \";50.00%;\"1.50  \";\"$1.50  \";"
                  ">1000.00%\r\n")
            << option;
    }
}

TEST(CsvRows, EchoParsedAddsFourColumns) {
    KemcalcRun run = RunKemcalc({"--csv", "--echo-parsed"}, "price,cost,bought,sold\n$10,,-0,3\n");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "price,cost,bought,sold,parsed_price,parsed_cost,parsed_bought,parsed_sold,"
              "Annual Sales,Gross Profit,Gross Profit Percentage,Months Supply,Average Inventory,"
              "Return on Inventory\r\n"
              "$10,,-0,3,0x1.4p+3,0x0p+0,-0x0p+0,0x1.8p+1,\"$360.00  \",\"$360.00  \",100.00%,"
              "\"0.00  \",\"$0.00  \",Infinite\r\n");
}

TEST(CsvTotals, TotalsRecordComesLast) {
    KemcalcRun run =
        RunKemcalc({"--csv", "--totals"}, "price,cost,bought,sold\n2,1,3,2\n$10,$8,50,5\n");
    ASSERT_EQ(run.status, 0) << run.err;
    std::vector<std::string> lines = SplitLines(run.out);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[3],
              "Total,,,,\"$648.00  \",\"$144.00  \",22.22%,,\"$201.50  \",\"           71.46%\"\r");
}

TEST(CsvTotals, EchoParsedAndDelimiter) {
    KemcalcRun run = RunKemcalc({"--csv", "--totals", "--echo-parsed", "--delimiter", ";"},
                                "price;cost;bought;sold\n");
    ASSERT_EQ(run.status, 0) << run.err;
    std::vector<std::string> lines = SplitLines(run.out);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1], "Total;;;;;;;;\"$0.00  \";\"$0.00  \";0.00%;;\"$0.00  \";0.00%\r");
}

struct BadCsvCase {
    const char* what;
    std::string input;
    const char* message;     // the whole of standard error
    std::size_t rowsBefore;  // output lines written before the bad record
};

TEST(CsvInput, BadRecordsStopTheRunAndNameTheLine) {
    const BadCsvCase cases[] = {
        {"empty input", "",
         "kemcalc: standard input: line 1: the input is empty: expected the header row\n", 0},
        {"no header", "2,1,3,2\n",
         "kemcalc: standard input: line 1: no column \"price\" in the header; its columns are "
         "\"2\", \"1\", \"3\", \"2\"; name the four with --columns PRICE,COST,BOUGHT,SOLD\n",
         0},
        {"three fields", "price,cost,bought,sold\n2,1,3,2\n2,1,3\n",
         "kemcalc: standard input: line 3: 3 fields, expected 4\n", 2},
        // Empty fields past the last column are dropped; one with text is not.
        {"five fields", "price,cost,bought,sold\n2,1,3,2,,x\n",
         "kemcalc: standard input: line 2: 6 fields, expected 4\n", 1},
        {"unquoted 1,000", "price,cost,bought,sold\n1,000,1,2,3\n",
         "kemcalc: standard input: line 2: 5 fields, expected 4\n", 1},
        {"text after a closing quote", "price,cost,bought,sold\n2,1,\"3\"x,2\n",
         "kemcalc: standard input: line 2: field 3: text after the closing double quote of a "
         "field\n",
         1},
        {"quote never closed", "price,cost,bought,sold\n2,1,3,2\n2,1,\"3,2\n4,5\n",
         "kemcalc: standard input: line 3: field 3: a quoted field is not closed before the end "
         "of the input\n",
         2},
        {"quote opened on a later line of the record", "price,cost,bought,sold\n\"2\n\",\"1\n",
         "kemcalc: standard input: line 3: field 2: a quoted field is not closed before the end "
         "of the input\n",
         1},
    };
    for (const BadCsvCase& item : cases) {
        KemcalcRun run = RunKemcalc({"--csv"}, item.input);
        EXPECT_EQ(run.status, 1) << item.what;
        EXPECT_EQ(run.err, item.message) << item.what;
        EXPECT_EQ(SplitLines(run.out).size(), item.rowsBefore) << item.what;
    }
}

TEST(CsvInput, MessageNamesTheFile) {
    std::string path = ScratchPath(".csv");
    WriteFile(path, "price,cost,bought,sold\n2,1,3\n");
    KemcalcRun run = RunKemcalc({"--csv", path});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "kemcalc: " + path + ": line 2: 3 fields, expected 4\n");
}

}  // namespace
