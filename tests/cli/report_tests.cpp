// kemcalc on the data shops really have: a products export joined by key
// with a sales report and a purchases report, each counted over its own
// period. Every case runs the built binary on files in the scratch folder.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kemcalc_runner.h"

namespace {

const std::string kProducts =
    "SKU,Title,Category,Price,Cost\n"
    "SKU-001,Hammer,Tools,12.50,8.00\n"
    "SKU-002,Screwdriver,Tools,9.99,4.10\n"
    "SKU-003,Paint,Decor,14.00,9.80\n"
    "SKU-004,Brush,Decor,5.00,2.00\n";

// Sold over 90 days: 3 months. The key is written with blanks once, and one
// row's key is written differently from the products' ("sku-009").
const std::string kSales =
    "sku,sold\n"
    "SKU-001,120\n"
    " SKU-002 ,105\n"
    "SKU-003,60\n"
    "sku-009,5\n";

// Received over 6 months.
const std::string kPurchases =
    "Item,bought\n"
    "SKU-001,300\n"
    "SKU-002,180\n"
    "SKU-003,480\n";

const std::string kResultLabels =
    "Annual Sales,Gross Profit,Gross Profit Percentage,Months Supply,Average Inventory,"
    "Return on Inventory";

// The figures per month of the three matched items are those of the
// README's shop: 50 and 40, 30 and 35, 80 and 20.
const std::string kJoinedOutput =
    "SKU,Title,Category,Price,Cost,sold,bought," + kResultLabels + "\r\n" +
    "SKU-001,Hammer,Tools,12.50,8.00,120,300,\"$6000.00  \",\"$2160.00  \",36.00%,\"1.25  \","
    "\"$200.00  \",>1000.00%\r\n"
    "SKU-002,Screwdriver,Tools,9.99,4.10,105,180,\"$4195.80  \",\"$2473.80  \",58.96%,\"0.86  "
    "\",\"$61.50  \",>1000.00%\r\n"
    "SKU-003,Paint,Decor,14.00,9.80,60,480,\"$3360.00  \",\"$1008.00  \",30.00%,\"4.00  \","
    "\"$392.00  \",\"          257.14%\"\r\n"
    "SKU-004,Brush,Decor,5.00,2.00,,,\"$0.00  \",\"$0.00  \",0.00%,\"0.00  \",\"$0.00  "
    "\",0.00%\r\n";

// The three files written to the scratch folder, and their paths.
struct ReportFiles {
    std::string products = ScratchPath("products.csv");
    std::string sales = ScratchPath("sales.csv");
    std::string purchases = ScratchPath("purchases.csv");
};

ReportFiles WriteReportFiles(const std::string& sales = kSales) {
    ReportFiles files;
    WriteFile(files.products, kProducts);
    WriteFile(files.sales, sales);
    WriteFile(files.purchases, kPurchases);
    return files;
}

std::vector<std::string> JoinArgs(const ReportFiles& files) {
    return {"--csv",  "--join",          files.sales, "--on",        "SKU=sku",
            "--join", files.purchases,   "--on",      "SKU=Item",    "--sold-months",
            "3",      "--bought-months", "6",         files.products};
}

TEST(Reports, ProductsJoinedWithSalesAndPurchasesOverTheirPeriods) {
    const ReportFiles files = WriteReportFiles();
    KemcalcRun run = RunKemcalc(JoinArgs(files));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, kJoinedOutput);
    // The item missing from both reports, and the report row whose key
    // matched no item, are counted; neither stops the run.
    EXPECT_EQ(run.err, "kemcalc: 1 item had no row in " + files.sales +
                           ": their figures from it read as 0\n"
                           "kemcalc: 1 row of " +
                           files.sales +
                           " matched no item: their keys are not in the main file as written "
                           "there\n"
                           "kemcalc: 1 item had no row in " +
                           files.purchases + ": their figures from it read as 0\n");
    // Neither count trips --strict, and a missing row's figures are no empty ones.
    std::vector<std::string> strict = JoinArgs(files);
    strict.insert(strict.begin() + 1, "--strict");
    KemcalcRun strictRun = RunKemcalc(strict);
    EXPECT_EQ(strictRun.status, 0) << strictRun.err;
    EXPECT_EQ(strictRun.out, kJoinedOutput);
}

// The figures used are the ones per month, one division each: --echo-parsed
// shows them, and --months sets both periods at once.
TEST(Reports, PeriodsDivideTheCountsAndEchoShowsTheFiguresUsed) {
    struct PeriodCase {
        const char* what;
        std::vector<std::string> periods;
        const char* parsed;  // parsed_bought,parsed_sold of SKU-001
    };
    const PeriodCase cases[] = {
        {"each its own", {"--sold-months", "3", "--bought-months", "6"}, "50,40"},
        {"both at once", {"--months", "3"}, "100,40"},
        // The column's own period says more than --months, in any order.
        {"one overriding both", {"--bought-months", "6", "--months", "3"}, "50,40"},
        {"a fraction of a month", {"--months", "0.25"}, "1200,480"},
        {"none: per month already", {}, "300,120"},
    };
    const ReportFiles files = WriteReportFiles();
    for (const PeriodCase& item : cases) {
        std::vector<std::string> args = {
            "--csv",  "--echo-parsed=decimal", "--join", files.sales, "--on", "SKU=sku",
            "--join", files.purchases,         "--on",   "SKU=Item"};
        args.insert(args.end(), item.periods.begin(), item.periods.end());
        args.push_back(files.products);
        KemcalcRun run = RunKemcalc(args);
        ASSERT_EQ(run.status, 0) << item.what << ": " << run.err;
        const std::vector<std::string> fields = SplitFields(SplitLines(run.out).at(1), ',');
        ASSERT_GE(fields.size(), 11u) << item.what;
        EXPECT_EQ(fields[9] + "," + fields[10], item.parsed) << item.what;
    }
}

// Columns and groups by name or by number in the joined header; the main
// file may repeat keys.
TEST(Reports, ColumnsAndGroupsOfTheJoinedHeader) {
    const ReportFiles files = WriteReportFiles();
    WriteFile(files.products, kProducts + "SKU-001,Hammer again,Tools,12.50,8.00\n");
    KemcalcRun run = RunKemcalc({"--csv", "--join", files.sales, "--on", "SKU=sku", "--join",
                                 files.purchases, "--on", "1=1", "--columns", "4,5,7,6", "--totals",
                                 "--group-by", "sold", "--months", "1", files.products});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> lines = SplitLines(run.out);
    ASSERT_EQ(lines.size(), 11u) << run.out;
    // Both rows of SKU-001 found their report rows.
    EXPECT_EQ(lines[5].substr(0, 45), "SKU-001,Hammer again,Tools,12.50,8.00,120,300");
    // A group per value of the sales column, the missing ones empty.
    EXPECT_EQ(lines[6].substr(0, 16), ",,,Total,,120,,\"");
    EXPECT_EQ(lines[9].substr(0, 13), ",,,Total,,,,\"");
}

struct JoinErrorCase {
    const char* what;
    std::vector<std::string> args;  // SALES, PURCHASES and PRODUCTS stand for the files
    std::string sales;
    int status;
    std::string message;  // the first line of standard error, after "kemcalc: "
};

TEST(Reports, BadJoinsStopWithAMessageAndNoOutput) {
    const JoinErrorCase cases[] = {
        {"a key on two rows of a report",
         {"--csv", "--join", "SALES", "--on", "SKU=sku", "PRODUCTS"},
         "sku,sold\nSKU-001,1\nSKU-002,2\n SKU-001,3\n",
         1,
         "SALES: line 4: the key \"SKU-001\" is on line 2 too; each key may be on one row only"},
        {"an empty key in a report",
         {"--csv", "--join", "SALES", "--on", "SKU=sku", "PRODUCTS"},
         "sku,sold\nSKU-001,1\n ,2\n",
         1,
         "SALES: line 3: the key column \"sku\" is empty"},
        {"no key column in the report",
         {"--csv", "--join", "SALES", "--on", "SKU=Code", "PRODUCTS"},
         kSales,
         1,
         "SALES: line 1: --on: no column \"Code\" in the header; its columns are \"sku\", "
         "\"sold\""},
        {"no key column in the main file",
         {"--csv", "--join", "SALES", "--on", "Code=sku", "PRODUCTS"},
         kSales,
         1,
         "PRODUCTS: line 1: --on: no column \"Code\" in the header; its columns are \"SKU\", "
         "\"Title\", \"Category\", \"Price\", \"Cost\""},
        // A name in two files is a choice to make on the command line.
        {"a name in two files",
         {"--csv", "--join", "SALES", "--on", "SKU=sku", "--columns", "Price,cost,sold,sold",
          "PRODUCTS"},
         "sku,sold,price\nSKU-001,1,2\n",
         2,
         "PRODUCTS: line 1: --columns: the name \"Price\" is in PRODUCTS (column 4) and in "
         "SALES (column 7): give the number of the one you mean, with --columns"},
        {"a report that cannot be opened",
         {"--csv", "--join", "MISSING", "--on", "SKU", "PRODUCTS"},
         kSales,
         3,
         "cannot open MISSING: No such file or directory"},
        {"--on without --join",
         {"--csv", "--on", "SKU", "PRODUCTS"},
         kSales,
         2,
         "--on 'SKU' needs a --join FILE before it, one --on for each --join"},
        {"--join without --on",
         {"--csv", "--join", "SALES", "PRODUCTS"},
         kSales,
         2,
         "--join SALES needs --on KEY after it"},
        {"a join without a header",
         {"--tsv", "--join", "SALES", "--on", "SKU", "PRODUCTS"},
         kSales,
         2,
         "--join needs --csv, or --tsv with --header"},
        {"months of zero",
         {"--csv", "--months", "0", "PRODUCTS"},
         kSales,
         2,
         "--months takes a number of months above 0, not '0'"},
        {"months not a number",
         {"--csv", "--sold-months", "3x", "PRODUCTS"},
         kSales,
         2,
         "--sold-months takes a number of months above 0, not '3x'"},
        {"months without end",
         {"--csv", "--bought-months", "1e999", "PRODUCTS"},
         kSales,
         2,
         "--bought-months takes a number of months above 0, not '1e999'"},
    };
    for (const JoinErrorCase& item : cases) {
        const ReportFiles files = WriteReportFiles(item.sales);
        const std::string missing = ScratchPath("missing.csv");
        std::vector<std::string> args = item.args;
        std::string message = item.message;
        const std::pair<const char*, std::string> names[] = {
            {"SALES", files.sales}, {"PRODUCTS", files.products}, {"MISSING", missing}};
        for (const auto& [name, path] : names) {
            for (std::string& arg : args) {
                arg = arg == name ? path : arg;
            }
            for (std::size_t at = message.find(name); at != std::string::npos;
                 at = message.find(name, at + path.size())) {
                message.replace(at, std::string(name).size(), path);
            }
        }
        KemcalcRun run = RunKemcalc(args);
        EXPECT_EQ(run.status, item.status) << item.what;
        EXPECT_EQ(SplitLines(run.err).at(0), "kemcalc: " + message) << item.what;
        // Nothing is written that looks complete: nothing at all.
        EXPECT_EQ(run.out, "") << item.what;
    }
}

}  // namespace
