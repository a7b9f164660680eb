// A catalogue run gives the same bytes, the same error and the same summary
// whatever the sizes of the chunks its input arrives in: a browser reads a
// dropped file in slices, kemcalc in blocks, and a line may be cut anywhere.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "chunked_run.h"

namespace {

CatalogueOptions CsvOptions() {
    CatalogueOptions options;
    options.input = kInputCsv;
    return options;
}

CatalogueOptions TsvOptions(bool header) {
    CatalogueOptions options;
    options.input = kInputTsv;
    options.header = header;
    return options;
}

struct ChunkCase {
    const char* what;
    CatalogueOptions options;
    std::string input;
    RunStatus status;
};

std::vector<ChunkCase> MakeChunkCases() {
    CatalogueOptions grouped = CsvOptions();
    grouped.totals = true;
    grouped.groupBy = "category";
    grouped.echo = kEchoDecimal;
    CatalogueOptions json = CsvOptions();
    json.output = kOutputJsonLines;
    json.numbers = true;
    CatalogueOptions decimalComma = TsvOptions(false);
    decimalComma.decimalComma = true;
    decimalComma.totals = true;
    const std::string longName(70000, 'n');
    return {
        {"quoted fields over several lines, a mark, CR LF and empty lines", CsvOptions(),
         "\xEF\xBB\xBFsku,name,price,cost,bought,sold\r\n\r\nA1,\"two\r\nlines, \"\"quoted\"\"\","
         "2,1,3,2\r\nA2,plain,$10,$8,50,5\r\n\nA3,\"\",12abc,1,1,1",
         kRunDone},
        {"groups and the figures as read", grouped,
         "category,price,cost,bought,sold\nTools,2,1,3,2\nToys,5,6,10,10\nTools,1e3,1,1,1\n",
         kRunDone},
        {"JSON numbers", json, "price,cost,bought,sold\n2,1,3,2\n0,5,10,0\n", kRunDone},
        {"decimal commas with totals", decimalComma, "1.299,50\t850\t5\t3\n12,5\t4\t40\t35\n",
         kRunDone},
        {"TSV with a header and short lines", TsvOptions(true),
         "price\tcost\tbought\tsold\tnote\n2\t1\n\n$10\t$8\t50\t5\tx\n", kRunDone},
        {"a quote left open", CsvOptions(), "price,cost,bought,sold\n2,1,3,2\n\"2,1,3,2\n",
         kRunBadData},
        // A long description in a column that is only passed through.
        {"a long line", CsvOptions(), "name,price,cost,bought,sold\n" + longName + ",2,1,3,2\n",
         kRunDone},
        {"a long record across lines", CsvOptions(),
         "price,cost,bought,sold,name\n2,1,3,2,\"" + longName + "\n" + longName + "\"\n", kRunDone},
        // Lines that end in CR alone, decided from the first 64 KiB.
        {"CR line ends", CsvOptions(),
         "price,cost,bought,sold,name\r2,1,3,2,\"two\rlines\"\r$10,$8,50,5,x\r", kRunDone},
        {"a quote inside unquoted fields and trailing empty cells", CsvOptions(),
         "name,price,cost,bought,sold\nNail 3\" galvanised,2,1,3,2,,\n", kRunDone},
        {"a workbook", CsvOptions(), std::string("PK\x03\x04\x14\x00\x06\x00xl", 10), kRunBadData},
        {"UTF-16", TsvOptions(false),
         std::string("\xFF\xFE"
                     "2\0\t\0",
                     6),
         kRunBadData},
        {"a missing column", TsvOptions(true), "price\tcost\n", kRunBadData},
    };
}

TEST(ChunkedRun, ChunkSizesDoNotChangeTheResult) {
    for (const ChunkCase& item : MakeChunkCases()) {
        const ChunkedRunResult whole = RunInChunks(item.options, item.input, item.input.size() + 1);
        EXPECT_EQ(whole.status, item.status) << item.what << ": " << whole.error;
        for (std::size_t chunkSize : {1, 2, 3, 4, 5, 7, 13, 64, 4096, 65537}) {
            const ChunkedRunResult chunked = RunInChunks(item.options, item.input, chunkSize);
            const std::string where =
                std::string(item.what) + ", chunks of " + std::to_string(chunkSize);
            EXPECT_EQ(chunked.status, whole.status) << where;
            EXPECT_EQ(chunked.output, whole.output) << where;
            EXPECT_EQ(chunked.errorLine, whole.errorLine) << where;
            EXPECT_EQ(chunked.error, whole.error) << where;
            EXPECT_EQ(chunked.summary, whole.summary) << where;
        }
    }
}

// The whole-input results themselves, for the cases above whose texts show
// that each piece was read where it stood.
TEST(ChunkedRun, WholeInputResults) {
    const std::vector<ChunkCase> cases = MakeChunkCases();
    ChunkedRunResult first = RunInChunks(cases[0].options, cases[0].input, 5);
    EXPECT_EQ(first.output,
              "\xEF\xBB\xBFsku,name,price,cost,bought,sold,Annual Sales,Gross Profit,Gross Profit "
              "Percentage,Months Supply,Average Inventory,Return on Inventory\r\n"
              "A1,\"two\r\nlines, \"\"quoted\"\"\",2,1,3,2,\"$48.00  \",\"$24.00  \",50.00%,"
              "\"1.50  \",\"$1.50  \",>1000.00%\r\n"
              "A2,plain,$10,$8,50,5,\"$600.00  \",\"$120.00  \",20.00%,\"10.00  \",\"$200.00  "
              "\",\"           60.00%\"\r\n"
              "A3,,12abc,1,1,1,\"$144.00  \",\"$132.00  \",91.67%,\"1.00  \",\"$0.50  \","
              ">1000.00%\r\n");
    EXPECT_EQ(first.summary,
              "1 figure in 1 row was not read whole: input: line 7: price: \"12abc\" read as 12");

    ChunkedRunResult open = RunInChunks(cases[5].options, cases[5].input, 3);
    EXPECT_EQ(open.errorLine, 3u);
    EXPECT_EQ(open.error, "field 1: a quoted field is not closed before the end of the input");

    // The long fields come back whole, quoted where they hold a line end.
    const std::string longName(70000, 'n');
    EXPECT_NE(RunInChunks(cases[6].options, cases[6].input, 4096)
                  .output.find("Inventory\r\n" + longName + ",2,1,3,2,\"$48.00  \""),
              std::string::npos);
    EXPECT_NE(RunInChunks(cases[7].options, cases[7].input, 4096)
                  .output.find("2,1,3,2,\"" + longName + "\n" + longName + "\","),
              std::string::npos);
}

// Past the limit a line or record stops the run, wherever the chunks end.
TEST(ChunkedRun, RecordsOverTheLimitStopTheRun) {
    const std::string tooLong(kMaxLineLength + 1, 'n');
    const std::string half(kMaxLineLength / 2 + 1, 'n');
    struct LimitCase {
        const char* what;
        std::string input;
        unsigned long long line;  // where the record goes past the limit
    };
    const LimitCase cases[] = {
        {"one line", "price,cost,bought,sold\n2,1,3,2\n" + tooLong + ",1,1,1\n", 3},
        {"a quoted field across lines",
         "price,cost,bought,sold\n2,1,3,2\n\"" + half + "\n" + half + "\",1,1,1\n", 4},
    };
    for (const LimitCase& item : cases) {
        for (std::size_t chunkSize : {std::size_t{65537}, item.input.size()}) {
            const ChunkedRunResult run = RunInChunks(CsvOptions(), item.input, chunkSize);
            EXPECT_EQ(run.status, kRunBadData) << item.what;
            EXPECT_EQ(run.errorLine, item.line) << item.what;
            EXPECT_EQ(run.error, "record longer than 16777216 bytes") << item.what;
        }
    }
}

// A writer that fails ends the run with kRunWriteFailed, and the rows after
// the failure are not made.
TEST(ChunkedRun, FailedWriterStopsTheRun) {
    ByteSink sink;
    int calls = 0;
    StartByteSink(
        sink,
        [](void* context, const char*, std::size_t) {
            ++*static_cast<int*>(context);
            return false;
        },
        &calls);
    CatalogueRun run;
    StartCatalogueRun(run, TsvOptions(false), "input", sink);
    std::string input;
    for (int i = 0; i < 100000; ++i) {
        input += "2\t1\t3\t2\n";
    }
    EXPECT_EQ(FeedCatalogue(run, input.data(), input.size()), kRunWriteFailed);
    EXPECT_EQ(FinishCatalogue(run), kRunWriteFailed);
    EXPECT_EQ(calls, 1);
}

}  // namespace
