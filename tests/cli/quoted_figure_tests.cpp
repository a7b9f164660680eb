// One item typed as a Unix shell needs it, '$10', but in cmd.exe, which passes
// the single quotes on: the figure still reads as 0 and is counted as not read
// whole, and a hint says how to type it there.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kemcalc_runner.h"

namespace {

const std::string kHintMiddle =
    " in single quotes, which cmd.exe passes on as part of the figure; in cmd.exe type the "
    "figures without quotes:";

struct QuotedCase {
    const char* what;
    std::vector<std::string> args;
    std::string hint;  // the first line on standard error, empty for none
};

TEST(QuotedFigures, HintNamesTheQuotedFiguresAndShowsThemBare) {
    const QuotedCase cases[] = {
        {"price and cost as a Unix shell wants them",
         {"'$10'", "'$8'", "50", "5"},
         "kemcalc: price and cost came" + kHintMiddle + " $10 $8 50 5"},
        {"all four",
         {"'1'", "'2'", "'3'", "'4'"},
         "kemcalc: price, cost, bought and sold came" + kHintMiddle + " 1 2 3 4"},
        {"a count alone",
         {"10", "8", "50", "'5'"},
         "kemcalc: sold came" + kHintMiddle + " 10 8 50 5"},
        {"an empty figure in quotes",
         {"''", "8", "50", "5"},
         "kemcalc: price came" + kHintMiddle + " \"\" 8 50 5"},
        {"a figure longer than the hint shows",
         {"'" + std::string(45, '9') + "'", "8", "50", "5"},
         "kemcalc: price came" + kHintMiddle + " " + std::string(40, '9') + "... 8 50 5"},
        {"no quotes", {"$10", "$8", "50", "5"}, ""},
        {"a quote at one end only", {"'$10", "$8'", "50", "5"}, ""},
        {"a lone quote", {"'", "8", "50", "5"}, ""},
    };
    for (const QuotedCase& c : cases) {
        SCOPED_TRACE(c.what);
        const KemcalcRun run = RunKemcalc(c.args);
        EXPECT_EQ(run.status, 0);
        const std::vector<std::string> lines = SplitLines(run.err);
        if (c.hint.empty()) {
            EXPECT_EQ(run.err.find("cmd.exe"), std::string::npos) << run.err;
        } else {
            ASSERT_FALSE(lines.empty());
            EXPECT_EQ(lines[0], c.hint);
        }
    }
}

TEST(QuotedFigures, StillReadAsTheWindowReadsThem) {
    // '$10' and '$8' read as 0: no sales and no stock at cost, 50 bought, 5 sold.
    const KemcalcRun run = RunKemcalc({"'$10'", "'$8'", "50", "5"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out,
              "Annual Sales:            $0.00  \n"
              "Gross Profit:            $0.00  \n"
              "Gross Profit Percentage: 0.00%\n"
              "Months Supply:           10.00  \n"
              "Average Inventory:       $0.00  \n"
              "Return on Inventory:     0.00%\n");
    const std::vector<std::string> lines = SplitLines(run.err);
    ASSERT_EQ(lines.size(), 2u) << run.err;
    EXPECT_EQ(lines[1],
              "kemcalc: 2 figures were not read whole: price: \"'$10'\" read as 0; cost: "
              "\"'$8'\" read as 0");
}

TEST(QuotedFigures, StrictStopsAfterTheHint) {
    const KemcalcRun run = RunKemcalc({"--strict", "'$10'", "$8", "50", "5"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    const std::vector<std::string> lines = SplitLines(run.err);
    ASSERT_EQ(lines.size(), 2u) << run.err;
    EXPECT_EQ(lines[0], "kemcalc: price came" + kHintMiddle + " $10 $8 50 5");
    EXPECT_NE(lines[1].find("--strict"), std::string::npos) << lines[1];
}

}  // namespace
