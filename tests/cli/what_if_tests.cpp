// kemcalc's what-if options: each figure changed by a percentage, alone or
// with others, for every row or one group's; and the monthly order that
// reaches a target return, with the months supply at that order.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kemcalc_runner.h"

namespace {

// The README's $10 item, and one whose cost is above its price.
const std::string kItems =
    "sku,category,price,cost,bought,sold\n"
    "A,tools,10,8,50,5\n"
    "B,decor,5,6,10,10\n";

struct AdjustCase {
    const char* what;
    std::vector<std::string> adjust;
    const char* parsed;   // the four figures used for item A, as --echo-parsed=decimal gives them
    const char* results;  // its six result texts
};

TEST(WhatIf, EachFigureChangedByAPercentage) {
    const AdjustCase cases[] = {
        // q = 5 / 100, m = 1 + q, price * m: 10.5.
        {"price up 5%",
         {"--adjust", "price=+5%"},
         "10.5,8,50,5",
         "\"$630.00  \",\"$150.00  \",23.81%,\"10.00  \",\"$200.00  \",\"           75.00%\""},
        {"cost down 10%",
         {"--adjust", "cost=-10%"},
         "10,7.2,50,5",
         "\"$600.00  \",\"$168.00  \",28.00%,\"10.00  \",\"$180.00  \",\"           93.33%\""},
        {"bought down 20%",
         {"--adjust", "bought=-20%"},
         "10,8,40,5",
         "\"$600.00  \",\"$120.00  \",20.00%,\"8.00  \",\"$160.00  \",\"           75.00%\""},
        {"sold up 50%",
         {"--adjust", "sold=50%"},
         "10,8,50,7.5",
         "\"$900.00  \",\"$180.00  \",20.00%,\"6.67  \",\"$200.00  \",\"           90.00%\""},
        {"two together",
         {"--adjust", "price=+5%", "--adjust", "bought=-20%"},
         "10.5,8,40,5",
         "\"$630.00  \",\"$150.00  \",23.81%,\"8.00  \",\"$160.00  \",\"           93.75%\""},
        // A figure that turns negative is computed as usual.
        {"cost down 150%",
         {"--adjust", "cost=-150%"},
         "10,-4,50,5",
         "\"$600.00  \",\"$840.00  \",140.00%,\"10.00  \",\"$-100.00  \",Negative"},
        // 1 + 0.1 / 100 is not exactly 1.001: the operations decide the bits.
        {"a change that rounds",
         {"--adjust", "price=0.1%"},
         "10.009999999999998,8,50,5",
         "\"$600.60  \",\"$120.60  \",20.08%,\"10.00  \",\"$200.00  \",\"           60.30%\""},
    };
    for (const AdjustCase& item : cases) {
        std::vector<std::string> args = {"--csv", "--echo-parsed=decimal"};
        args.insert(args.end(), item.adjust.begin(), item.adjust.end());
        KemcalcRun run = RunKemcalc(args, kItems);
        ASSERT_EQ(run.status, 0) << item.what << ": " << run.err;
        const std::string row = SplitLines(run.out).at(1);
        // The input columns are written as read.
        EXPECT_EQ(row.substr(0, 18), "A,tools,10,8,50,5,") << item.what;
        EXPECT_EQ(row.substr(18), std::string(item.parsed) + "," + item.results + "\r")
            << item.what;
    }
}

// A period divides first, then the change applies: 150 over 3 months is 50,
// less 20% is 40.
TEST(WhatIf, ChangesApplyAfterThePeriod) {
    KemcalcRun run =
        RunKemcalc({"--csv", "--echo-parsed=decimal", "--months", "3", "--adjust", "bought=-20%"},
                   "price,cost,bought,sold\n10,8,150,15\n");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(SplitFields(SplitLines(run.out).at(1), ',').at(6), "40");
}

// With --adjust-group the changes are for the rows of one group alone; the
// totals of the other groups stay as they were.
TEST(WhatIf, ChangesForOneGroup) {
    const std::vector<std::string> grouped = {"--csv", "--totals", "--group-by", "category"};
    KemcalcRun before = RunKemcalc(grouped, kItems);
    std::vector<std::string> args = grouped;
    args.insert(args.end(), {"--adjust", "price=+5%", "--adjust-group", "decor"});
    KemcalcRun after = RunKemcalc(args, kItems);
    ASSERT_EQ(after.status, 0) << after.err;
    const std::vector<std::string> was = SplitLines(before.out);
    const std::vector<std::string> is = SplitLines(after.out);
    ASSERT_EQ(is.size(), 6u);
    EXPECT_EQ(is[1], was[1]);  // item A, tools
    EXPECT_EQ(is[3], was[3]);  // the tools totals
    // 5.25 * 10 * 12 = 630 of sales for item B.
    EXPECT_EQ(is[2].substr(0, 30), "B,decor,5,6,10,10,\"$630.00  \",");
    EXPECT_NE(is[4], was[4]);
}

struct TargetCase {
    const char* what;
    std::string item;     // price,cost,bought,sold
    const char* target;   // the two added cells as texts
    const char* numbers;  // with --numbers
};

TEST(WhatIf, OrderThatReachesATargetReturn) {
    const TargetCase cases[] = {
        // g = 120, a = 24000, b = 8 * 300 = 2400: 10 a month, 2 months supply.
        {"the README's item", "10,8,50,5", "\"10.00  \",\"2.00  \"", "10.00,2.00"},
        // A target it is above already: a larger order still earns it.
        {"an order larger than today's", "2,1,3,2", "\"16.00  \",\"8.00  \"", "16.00,8.00"},
        // A loss: no quantity earns a positive return.
        {"gross profit below zero", "5,6,10,10", "None,None", ","},
        {"no gross profit", "8,8,10,10", "None,None", ","},
        // Free stock: any order earns an infinite return.
        {"a cost of 0", "10,0,5,5", "None,None", ","},
        // Nothing sold is no gross profit either, and makes any stock last
        // for ever.
        {"nothing sold", "10,8,50,0", "None,Infinite", ","},
    };
    for (const TargetCase& item : cases) {
        const std::string input = "price,cost,bought,sold\n" + item.item + "\n";
        KemcalcRun run = RunKemcalc({"--csv", "--target-return", "300"}, input);
        ASSERT_EQ(run.status, 0) << item.what << ": " << run.err;
        const std::vector<std::string> lines = SplitLines(run.out);
        const std::string names = "Bought per Month for 300%,Months Supply for 300%\r";
        EXPECT_EQ(lines.at(0).substr(lines[0].size() - names.size()), names) << item.what;
        const std::string row = lines.at(1);
        EXPECT_EQ(row.substr(row.size() - std::string(item.target).size() - 1),
                  std::string(item.target) + "\r")
            << item.what;
        KemcalcRun numbers = RunKemcalc({"--csv", "--numbers", "--target-return", "300%"}, input);
        const std::string plain = SplitLines(numbers.out).at(1);
        EXPECT_EQ(plain.substr(plain.size() - std::string(item.numbers).size() - 1),
                  std::string(item.numbers) + "\r")
            << item.what;
    }
}

// In JSON the cells are numbers or null; a totals row leaves them empty.
TEST(WhatIf, TargetInJsonAndTotals) {
    KemcalcRun run =
        RunKemcalc({"--csv", "--json", "--numbers", "--totals", "--target-return", "12.5"},
                   "price,cost,bought,sold\n10,8,50,5\n5,6,10,10\n");
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> lines = SplitLines(run.out);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_NE(lines[0].find("\"Bought per Month for 12.5%\":240.00,\"Months Supply for 12.5%\""
                            ":48.00}"),
              std::string::npos)
        << lines[0];
    EXPECT_NE(
        lines[1].find("\"Bought per Month for 12.5%\":null,\"Months Supply for 12.5%\":null}"),
        std::string::npos)
        << lines[1];
    EXPECT_NE(lines[2].find("\"Row\":\"Totals\""), std::string::npos) << lines[2];
    EXPECT_NE(lines[2].find("\"Months Supply for 12.5%\":null}"), std::string::npos) << lines[2];
}

TEST(WhatIf, BadChangesAndTargetsAreUsageErrors) {
    struct BadCase {
        std::vector<std::string> args;
        const char* message;
    };
    const BadCase cases[] = {
        {{"--csv", "--adjust", "price=5"},
         "--adjust takes FIGURE=CHANGE, FIGURE one of price, cost, bought, sold and CHANGE a "
         "percentage such as +5% or -20%, not 'price=5'"},
        {{"--csv", "--adjust", "margin=+5%"},
         "--adjust takes FIGURE=CHANGE, FIGURE one of price, cost, bought, sold and CHANGE a "
         "percentage such as +5% or -20%, not 'margin=+5%'"},
        {{"--csv", "--adjust", "cost=five%"},
         "--adjust takes FIGURE=CHANGE, FIGURE one of price, cost, bought, sold and CHANGE a "
         "percentage such as +5% or -20%, not 'cost=five%'"},
        {{"--csv", "--adjust", "cost=+5%", "--adjust", "cost=-5%"},
         "--adjust: cost is changed twice"},
        {{"--csv", "--target-return", "0"},
         "--target-return takes a percentage above 0, such as 300, not '0'"},
        {{"--csv", "--target-return", "-300"},
         "--target-return takes a percentage above 0, such as 300, not '-300'"},
        {{"--csv", "--adjust", "price=+5%", "--adjust-group", "tools"},
         "--adjust-group needs --adjust and --group-by"},
        {{"10", "8", "50", "5", "--target-return", "300"}, "--target-return needs --tsv or --csv"},
    };
    for (const BadCase& item : cases) {
        KemcalcRun run = RunKemcalc(item.args, kItems);
        EXPECT_EQ(run.status, 2) << item.message;
        EXPECT_EQ(SplitLines(run.err).at(0), std::string("kemcalc: ") + item.message);
        EXPECT_EQ(run.out, "");
    }
}

}  // namespace
