// kemcalc's command line: one item, help and version, usage errors and their
// exit status, and write errors.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kemcalc_runner.h"

namespace {

TEST(ItemMode, PrintsTheSixLabelledResults) {
    KemcalcRun run = RunKemcalc({"$10", "$8", "50", "5"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "Annual Sales:            $600.00  \n"
              "Gross Profit:            $120.00  \n"
              "Gross Profit Percentage: 20.00%\n"
              "Months Supply:           10.00  \n"
              "Average Inventory:       $200.00  \n"
              "Return on Inventory:                60.00%\n");
    EXPECT_EQ(run.err, "");
}

TEST(ItemMode, FiguresThatLookLikeOptions) {
    // A leading minus followed by a digit or point is a figure.
    KemcalcRun run = RunKemcalc({"-5", "-.5", "1", "1"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(SplitLines(run.out).at(0), "Annual Sales:            $-60.00  ");
    // After "--" everything is a figure, and "-" alone reads as 0.
    run = RunKemcalc({"--", "-x", "-", "", "1"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(SplitLines(run.out).at(1), "Gross Profit:            $0.00  ");
}

TEST(ItemMode, EmptyFiguresGiveTheStartUpTexts) {
    KemcalcRun run = RunKemcalc({"", "", "", ""});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "Annual Sales:            $0.00  \n"
              "Gross Profit:            $0.00  \n"
              "Gross Profit Percentage: 0.00%\n"
              "Months Supply:           0.00  \n"
              "Average Inventory:       $0.00  \n"
              "Return on Inventory:     0.00%\n");
}

TEST(HelpAndVersion, PrintToStandardOutput) {
    for (const char* option : {"--help", "-h"}) {
        KemcalcRun run = RunKemcalc({option});
        EXPECT_EQ(run.status, 0) << option;
        EXPECT_EQ(run.out.rfind("Usage: kemcalc PRICE COST BOUGHT SOLD\n", 0), 0u) << option;
        EXPECT_NE(run.out.find("Exit status:"), std::string::npos) << option;
        EXPECT_EQ(run.err, "") << option;
    }
    for (const char* option : {"--version", "-V"}) {
        KemcalcRun run = RunKemcalc({option});
        EXPECT_EQ(run.status, 0) << option;
        EXPECT_EQ(run.out, "kemcalc " KEMCALC_VERSION "\n") << option;
    }
    // Help wins over anything else on the line, even a wrong combination.
    KemcalcRun run = RunKemcalc({"--totals", "1", "--help"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out.rfind("Usage: kemcalc", 0), 0u);
}

struct UsageCase {
    std::vector<std::string> args;
    const char* reason;  // the first line of standard error, after "kemcalc: "
};

TEST(UsageErrors, ExitWithStatusTwoAndSayWhy) {
    const UsageCase cases[] = {
        {{}, "expected four figures, PRICE COST BOUGHT SOLD, but got 0"},
        // Three figures is what a shell leaves of kemcalc $10 $8 50 5.
        {{"1", "2", "3"},
         "expected four figures, PRICE COST BOUGHT SOLD, but got 3; in a shell, put a figure "
         "with a $ in single quotes ('$10'), or the shell drops the $ and what follows"},
        {{"1", "2", "3", "4", "5"}, "expected four figures, PRICE COST BOUGHT SOLD, but got 5"},
        {{"1", "2", "3", "4", "5", "6", "7"},
         "expected four figures, PRICE COST BOUGHT SOLD, but got 7"},
        {{"--tsv", "--csv"}, "--tsv and --csv cannot be used together"},
        {{"--totals", "1", "2", "3", "4"}, "--totals needs --tsv or --csv"},
        {{"--echo-parsed", "1", "2", "3", "4"}, "--echo-parsed needs --tsv or --csv"},
        {{"--tsv", "--delimiter", ";"}, "--delimiter needs --csv"},
        {{"--csv", "--delimiter"}, "--delimiter needs a character after it"},
        {{"--csv", "--delimiter", ";;"}, "--delimiter takes exactly one character, not ';;'"},
        {{"--csv", "--delimiter="}, "--delimiter takes exactly one character, not ''"},
        {{"--csv", "--delimiter", "\""}, "--delimiter cannot be a double quote or a line end"},
        {{"--tsv", "a.tsv", "b.tsv"}, "only one input file can be given"},
        {{"--frobnicate"}, "unknown option '--frobnicate'"},
        {{"-x", "1", "2", "3"}, "unknown option '-x'"},
    };
    for (const UsageCase& item : cases) {
#ifdef _WIN32
        if (!item.args.empty() && item.args.back() == "\"") {
            continue;  // cmd.exe cannot pass a lone double quote
        }
#endif
        std::string shown;
        for (const std::string& arg : item.args) {
            shown += " [" + arg + "]";
        }
        KemcalcRun run = RunKemcalc(item.args);
        EXPECT_EQ(run.status, 2) << shown;
        EXPECT_EQ(run.err, std::string("kemcalc: ") + item.reason +
                               "\nTry 'kemcalc --help' for more information.\n")
            << shown;
        EXPECT_EQ(run.out, "") << shown;
    }
}

#ifndef _WIN32
// A full disk must not pass for success: every mode checks its writes.
TEST(WriteErrors, FullDeviceFailsWithStatusThree) {
    const std::vector<std::string> argLists[] = {
        {"2", "1", "3", "2"}, {"--tsv"}, {"--csv"}, {"--help"}};
    for (const std::vector<std::string>& args : argLists) {
        KemcalcRun run = RunKemcalcTo(args, "price,cost,bought,sold\n2,1,3,2\n", "/dev/full");
        EXPECT_EQ(run.status, 3) << args[0];
        EXPECT_EQ(run.err.rfind("kemcalc: cannot write standard output: ", 0), 0u)
            << args[0] << ": " << run.err;
    }
}
#endif

}  // namespace
