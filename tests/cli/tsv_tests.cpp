// kemcalc --tsv through the built binary: the texts of known items written
// out by hand, the stored figures in hexadecimal, totals, and bad input.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kemcalc_runner.h"

namespace {

struct ItemCase {
    const char* what;
    const char* line;      // the four tab-separated figures as typed
    const char* texts[6];  // Annual Sales ... Return on Inventory
};

// Each row's figures worked out by hand from the typed texts.
const ItemCase kItemCases[] = {
    {"margin 50%, over 1000%",
     "2\t1\t3\t2",
     {"$48.00  ", "$24.00  ", "50.00%", "1.50  ", "$1.50  ", ">1000.00%"}},
    {"dollar signs on price and cost",
     "$10\t$8\t50\t5",
     {"$600.00  ", "$120.00  ", "20.00%", "10.00  ", "$200.00  ", "           60.00%"}},
    {"selling at a loss",
     "5\t6\t10\t10",
     {"$600.00  ", "$-120.00  ", "-20.00%", "1.00  ", "$30.00  ", "Negative"}},
    {"no sales but a cost",
     "0\t5\t0\t10",
     {"$0.00  ", "$-600.00  ", "Infinite", "0.00  ", "$0.00  ", "Infinite"}},
    {"nothing sold",
     "0\t5\t10\t0",
     {"$0.00  ", "$0.00  ", "0.00%", "Infinite", "$25.00  ", "            0.00%"}},
    {"empty line", "", {"$0.00  ", "$0.00  ", "0.00%", "0.00  ", "$0.00  ", "0.00%"}},
    {"fewer fields", "2\t1", {"$0.00  ", "$0.00  ", "0.00%", "0.00  ", "$0.00  ", "0.00%"}},
    {"only the first 19 characters",
     "100000000000000000000\t0\t0\t1",
     {"$12000000000000000000.00  ", "$12000000000000000000.00  ", "100.00%", "0.00  ", "$0.00  ",
      "Infinite"}},
    {"blank before the dollar sign",
     " $5\t0\t0\t1",
     {"$0.00  ", "$0.00  ", "0.00%", "0.00  ", "$0.00  ", "0.00%"}},
    {"two dollar signs",
     "$$5\t0\t0\t1",
     {"$0.00  ", "$0.00  ", "0.00%", "0.00  ", "$0.00  ", "0.00%"}},
    {"dollar sign in bought",
     "5\t0\t$5\t1",
     {"$60.00  ", "$60.00  ", "100.00%", "0.00  ", "$0.00  ", "Infinite"}},
    {"dollar sign in sold",
     "5\t0\t1\t$5",
     {"$0.00  ", "$0.00  ", "0.00%", "Infinite", "$0.00  ", "0.00%"}},
    {"text after the number",
     "12abc\t2x\t3.5 units\t1",
     {"$144.00  ", "$120.00  ", "83.33%", "3.50  ", "$3.50  ", ">1000.00%"}},
    {"return exactly 1000%",
     "11\t1\t24\t1",
     {"$132.00  ", "$120.00  ", "90.91%", "24.00  ", "$12.00  ", "         1000.00%"}},
    {"return just over 1000%",
     "11\t1\t23.9\t1",
     {"$132.00  ", "$120.00  ", "90.91%", "23.90  ", "$11.95  ", ">1000.00%"}},
    {"return 12.5% filled to 16",
     "1.125\t1\t24\t1",
     {"$13.50  ", "$1.50  ", "11.11%", "24.00  ", "$12.00  ", "           12.50%"}},
    {"zero times an infinite price",
     "1e400\t0\t0\t0",
     {"$-1.#J  ", "$-1.#J  ", "0.00%", "0.00  ", "$0.00  ", "0.00%"}},
    {"sales overflow",
     "1e300\t1e300\t1e-300\t1e10",
     {"$1.#J  ", "$1.#J  ", "-1.#J%", "0.00  ", "$0.50  ", ">1000.00%"}},
    {"infinite bought",
     "0\t0\t1e400\t1",
     {"$0.00  ", "$0.00  ", "0.00%", "1.#J  ", "$-1.#J  ", "0.00%"}},
    {"negative infinite bought",
     "0\t0\t-1e400\t1",
     {"$0.00  ", "$0.00  ", "0.00%", "-1.#J  ", "$-1.#J  ", "0.00%"}},
    {"trailing CR of a CR LF line end",
     "2\t1\t3\t2\r",
     {"$48.00  ", "$24.00  ", "50.00%", "1.50  ", "$1.50  ", ">1000.00%"}},
};

// Months supply is bought / sold, so with sold 1 it shows the bought figure
// itself through "%1.2f  ", and every other result is a zero text.
struct MonthsCase {
    const char* bought;
    const char* months;
};

const MonthsCase kMonthsCases[] = {
    // Reading the text.
    {"  12.5abc", "12.50  "},
    {"1,000", "1.00  "},
    {"1e3", "1000.00  "},
    {"1d3", "1000.00  "},
    {"1E+3", "1000.00  "},
    {".5", "0.50  "},
    {"5.", "5.00  "},
    {"+7", "7.00  "},
    {"-", "0.00  "},
    {".", "0.00  "},
    {"inf", "0.00  "},
    {"0x10", "0.00  "},
    {"1e", "1.00  "},
    {"1e+", "1.00  "},
    {"1e-400", "0.00  "},
    {"-0", "0.00  "},
    // Only 19 characters are read: 0.004 and fourteen nines stays below 0.005.
    {"0.004999999999999999999", "0.00  "},
    // Rounding for display.
    {"0.125", "0.13  "},
    {"0.625", "0.63  "},
    {"2.675", "2.67  "},
    {"1.005", "1.00  "},
    {"0.105", "0.11  "},
    {"1.075", "1.08  "},
    {"0.005", "0.01  "},
    {"999.995", "1000.00  "},
    {"1e20", "100000000000000000000.00  "},
    {"1152921504606846976", "1152921504606847000.00  "},
    {"-0.001", "-0.00  "},
    {"-0.005", "-0.01  "},
};

// The stored figures in hexadecimal, worked out by hand.
struct ParsedCase {
    const char* line;
    const char* parsed[4];
};

const ParsedCase kParsedCases[] = {
    {"3\t0.5\t1.5\t-2", {"0x1.8p+1", "0x1p-1", "0x1.8p+0", "-0x1p+1"}},
    {"\t-0\t1e-400\t-1e-400", {"0x0p+0", "-0x0p+0", "0x0p+0", "-0x0p+0"}},
    {"1e400\t-1e400\t$5\tinf", {"inf", "-inf", "0x0p+0", "0x0p+0"}},
    {"$10\t$-8\t 7\t1e3", {"0x1.4p+3", "-0x1p+3", "0x1.cp+2", "0x1.f4p+9"}},
    // 2^53 + 1 and 2^53 + 3 are ties and go to the smaller magnitude;
    // 2^54 + 3 is three quarters of the way to 2^54 + 4.
    {"9007199254740993\t9007199254740995\t18014398509481987\t0",
     {"0x1p+53", "0x1.0000000000001p+53", "0x1.0000000000001p+54", "0x0p+0"}},
    // 5e-324 is nearest the smallest subnormal, 2^-1074.
    {"5e-324\t-5e-324\t0\t0",
     {"0x0.0000000000001p-1022", "-0x0.0000000000001p-1022", "0x0p+0", "0x0p+0"}},
};

std::string JoinFields(const char* const* fields, int count) {
    std::string line;
    for (int i = 0; i < count; ++i) {
        if (i != 0) {
            line += '\t';
        }
        line += fields[i];
    }
    return line;
}

TEST(TsvRows, KnownItemsGiveTheirTexts) {
    std::string input;
    for (const ItemCase& item : kItemCases) {
        input += std::string(item.line) + "\n";
    }
    KemcalcRun run = RunKemcalc({"--tsv"}, input);
    ASSERT_EQ(run.status, 0) << run.err;
    std::vector<std::string> lines = SplitLines(run.out);
    ASSERT_EQ(lines.size(), std::size(kItemCases));
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i], JoinFields(kItemCases[i].texts, 6))
            << kItemCases[i].what << ": input line \"" << kItemCases[i].line << "\"";
    }
}

TEST(TsvRows, MonthsSupplyShowsTheBoughtFigure) {
    std::string input;
    for (const MonthsCase& item : kMonthsCases) {
        input += std::string("0\t0\t") + item.bought + "\t1\n";
    }
    KemcalcRun run = RunKemcalc({"--tsv"}, input);
    ASSERT_EQ(run.status, 0) << run.err;
    std::vector<std::string> lines = SplitLines(run.out);
    ASSERT_EQ(lines.size(), std::size(kMonthsCases));
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const char* texts[6] = {"$0.00  ", "$0.00  ", "0.00%", kMonthsCases[i].months,
                                "$0.00  ", "0.00%"};
        EXPECT_EQ(lines[i], JoinFields(texts, 6)) << "bought \"" << kMonthsCases[i].bought << "\"";
    }
}

TEST(TsvRows, EchoParsedWritesTheStoredFiguresFirst) {
    std::string input;
    for (const ParsedCase& item : kParsedCases) {
        input += std::string(item.line) + "\n";
    }
    KemcalcRun run = RunKemcalc({"--tsv", "--echo-parsed"}, input);
    ASSERT_EQ(run.status, 0) << run.err;
    std::vector<std::string> lines = SplitLines(run.out);
    ASSERT_EQ(lines.size(), std::size(kParsedCases));
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::vector<std::string> fields = SplitFields(lines[i], '\t');
        ASSERT_EQ(fields.size(), 10u) << lines[i];
        for (int f = 0; f < 4; ++f) {
            EXPECT_EQ(fields[f], kParsedCases[i].parsed[f])
                << "field " << f + 1 << " of input line \"" << kParsedCases[i].line << "\"";
        }
    }
}

TEST(TsvRows, EchoParsedKeepsTheResultTexts) {
    KemcalcRun run = RunKemcalc({"--echo-parsed", "--tsv"}, "$10\t$8\t50\t5\n");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "0x1.4p+3\t0x1p+3\t0x1.9p+5\t0x1.4p+2\t$600.00  \t$120.00  \t20.00%\t10.00  \t"
              "$200.00  \t           60.00%\n");
}

TEST(TsvRows, SubnormalFigureIsNotZero) {
    KemcalcRun run = RunKemcalc({"--tsv", "--echo-parsed"}, "0\t0\t1e-310\t1\n");
    ASSERT_EQ(run.status, 0) << run.err;
    std::vector<std::string> fields = SplitFields(SplitLines(run.out).at(0), '\t');
    ASSERT_EQ(fields.size(), 10u);
    EXPECT_EQ(fields[2].rfind("0x0.", 0), 0u) << fields[2];
    EXPECT_NE(fields[2], "0x0p+0");
    EXPECT_EQ(fields[2].substr(fields[2].size() - 6), "p-1022") << fields[2];
}

// The input has no line end after its last line, and a UTF-8 byte order mark,
// which the output keeps.
TEST(TsvRows, LastLineWithoutLineEndAndByteOrderMark) {
    KemcalcRun run = RunKemcalc({"--tsv"},
                                "\xEF\xBB\xBF"
                                "2\t1\t3\t2\n5\t6\t10\t10");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "\xEF\xBB\xBF$48.00  \t$24.00  \t50.00%\t1.50  \t$1.50  \t>1000.00%\n"
              "$600.00  \t$-120.00  \t-20.00%\t1.00  \t$30.00  \tNegative\n");
}

TEST(TsvRows, EmptyInputGivesNoRows) {
    KemcalcRun run = RunKemcalc({"--tsv"}, "");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "");
}

// Enough lines to cross many read and write blocks: no row may be lost,
// doubled or cut where a block ends.
TEST(TsvRows, ManyLinesStayInStep) {
    const int kLineCount = 60000;
    std::string input;
    for (int i = 0; i < kLineCount; ++i) {
        input += i % 2 == 0 ? "2\t1\t3\t2\n" : "$10\t$8\t50\t5\n";
    }
    KemcalcRun run = RunKemcalc({"--tsv"}, input);
    ASSERT_EQ(run.status, 0) << run.err;
    std::vector<std::string> lines = SplitLines(run.out);
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(kLineCount));
    const std::string even = "$48.00  \t$24.00  \t50.00%\t1.50  \t$1.50  \t>1000.00%";
    const std::string odd = "$600.00  \t$120.00  \t20.00%\t10.00  \t$200.00  \t           60.00%";
    for (int i = 0; i < kLineCount; ++i) {
        ASSERT_EQ(lines[i], i % 2 == 0 ? even : odd) << "output line " << i + 1;
    }
}

TEST(TsvRows, LineOfTheMaximumLengthIsRead) {
    // 65536 bytes: a price of 1 and 65535 zeros, read as its first 19.
    std::string line = "1" + std::string(65535 - 6, '0') + "\t0\t0\t1";
    ASSERT_EQ(line.size(), 65536u);
    KemcalcRun run = RunKemcalc({"--tsv"}, line + "\n");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "$12000000000000000000.00  \t$12000000000000000000.00  \t100.00%\t0.00  \t$0.00  \t"
              "Infinite\n");
}

struct TotalsCase {
    const char* what;
    const char* input;
    const char* totals[6];
};

const TotalsCase kTotalsCases[] = {
    {"no items", "", {"$0.00  ", "$0.00  ", "0.00%", "", "$0.00  ", "0.00%"}},
    // Sales 48 + 600, profit 24 + 120, inventory 1.5 + 200: the percentages
    // come from the sums (144 / 648, 144 / 201.5), not from 50% and 20%.
    {"two items",
     "2\t1\t3\t2\n$10\t$8\t50\t5\n",
     {"$648.00  ", "$144.00  ", "22.22%", "", "$201.50  ", "           71.46%"}},
    // Sales 48 + 600 + 600 + 0 + 0, profit 24 + 120 - 120 - 600 + 0,
    // inventory 1.5 + 200 + 30 + 0 + 25.
    {"five items",
     "2\t1\t3\t2\n$10\t$8\t50\t5\n5\t6\t10\t10\n0\t5\t0\t10\n0\t5\t10\t0\n",
     {"$1248.00  ", "$-576.00  ", "-46.15%", "", "$256.50  ", "Negative"}},
    // 1.2e16 plus four times 0.75: each plain addition rounds the 0.75 away,
    // the exact sum 1.2e16 + 3 rounds to 1.2e16 + 4.
    {"small amounts beside a large one",
     "1e15\t0\t0\t1\n0.0625\t0\t0\t1\n0.0625\t0\t0\t1\n0.0625\t0\t0\t1\n0.0625\t0\t0\t1\n",
     {"$12000000000000004.00  ", "$12000000000000004.00  ", "100.00%", "", "$0.00  ", "Infinite"}},
};

TEST(TsvTotals, LastRowSumsTheMoneyFigures) {
    for (const TotalsCase& item : kTotalsCases) {
        KemcalcRun run = RunKemcalc({"--tsv", "--totals"}, item.input);
        ASSERT_EQ(run.status, 0) << item.what << ": " << run.err;
        std::vector<std::string> lines = SplitLines(run.out);
        ASSERT_FALSE(lines.empty()) << item.what;
        EXPECT_EQ(lines.size(), SplitLines(item.input).size() + 1) << item.what;
        EXPECT_EQ(lines.back(), JoinFields(item.totals, 6)) << item.what;
    }
}

TEST(TsvTotals, EchoParsedLeavesTheFigureColumnsEmpty) {
    KemcalcRun run = RunKemcalc({"--tsv", "--totals", "--echo-parsed"}, "2\t1\t3\t2\n");
    ASSERT_EQ(run.status, 0) << run.err;
    std::vector<std::string> lines = SplitLines(run.out);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1], "\t\t\t\t$48.00  \t$24.00  \t50.00%\t\t$1.50  \t>1000.00%");
}

TEST(TsvInput, ReadsANamedFile) {
    std::string path = ScratchPath(".tsv");
    WriteFile(path, "2\t1\t3\t2\n");
    KemcalcRun run = RunKemcalc({"--tsv", path});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "$48.00  \t$24.00  \t50.00%\t1.50  \t$1.50  \t>1000.00%\n");
    // "-" is standard input.
    run = RunKemcalc({"--tsv", "-"}, "2\t1\t3\t2\n");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "$48.00  \t$24.00  \t50.00%\t1.50  \t$1.50  \t>1000.00%\n");
}

struct BadInputCase {
    const char* what;
    std::string input;
    const char* message;     // the whole of standard error
    std::size_t rowsBefore;  // rows written before the bad line
};

TEST(TsvInput, BadLinesStopTheRunAndNameTheLine) {
    const BadInputCase cases[] = {
        {"five fields", "2\t1\t3\t2\n1\t2\t3\t4\t5\n2\t1\t3\t2\n",
         "kemcalc: standard input: line 2: 5 tab-separated fields, expected at most 4\n", 1},
        // Empty fields past the fourth are dropped, as spreadsheets leave them;
        // one with text is not.
        {"seven fields on the first line", "1\t\t\t\t\t\tx\n",
         "kemcalc: standard input: line 1: 7 tab-separated fields, expected at most 4\n", 0},
    };
    for (const BadInputCase& item : cases) {
        KemcalcRun run = RunKemcalc({"--tsv"}, item.input);
        EXPECT_EQ(run.status, 1) << item.what;
        EXPECT_EQ(run.err, item.message) << item.what;
        EXPECT_EQ(SplitLines(run.out).size(), item.rowsBefore) << item.what;
    }
}

TEST(TsvInput, MissingFileIsAnIoError) {
    std::string path = ScratchPath(".does-not-exist");
    KemcalcRun run = RunKemcalc({"--tsv", path});
    EXPECT_EQ(run.status, 3);
    EXPECT_EQ(run.err.rfind("kemcalc: cannot open " + path + ": ", 0), 0u) << run.err;
    EXPECT_EQ(run.out, "");
}

}  // namespace
