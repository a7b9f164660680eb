// kemcalc given what no catalogue should be: a folder, binary bytes, a line
// of ten megabytes, an output that cannot be written. Each must end with one
// clear message and its status, never a crash, and never with fewer rows than
// were answered; CR LF line ends and empty files are no errors at all.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#ifdef _WIN32
#include <direct.h>
#else
#include <sys/stat.h>
#include <sys/wait.h>
#endif

#include "kemcalc_runner.h"

namespace {

// Texts of the worked examples: 2 1 3 2, $10 $8 50 5, and an item with
// nothing readable in it.
const std::string kItemRow = "$48.00  \t$24.00  \t50.00%\t1.50  \t$1.50  \t>1000.00%\n";
const std::string kDollarRow =
    "$600.00  \t$120.00  \t20.00%\t10.00  \t$200.00  \t           60.00%\n";
const std::string kZeroRow = "$0.00  \t$0.00  \t0.00%\t0.00  \t$0.00  \t0.00%\n";

const std::string kCsvHeaderOut =
    "price,cost,bought,sold,Annual Sales,Gross Profit,Gross Profit Percentage,Months Supply,"
    "Average Inventory,Return on Inventory\r\n";

// One byte over the longest line or record a catalogue may have, 16 MiB.
constexpr std::size_t kOverTheLimit = 16 * 1024 * 1024 + 1;

// The message the C library gives for `error`, as kemcalc prints it.
std::string Reason(int error) {
    return std::strerror(error);
}

bool MakeFolder(const std::string& path) {
#ifdef _WIN32
    return _mkdir(path.c_str()) == 0 || errno == EEXIST;
#else
    return mkdir(path.c_str(), 0755) == 0 || errno == EEXIST;
#endif
}

// Repeatable bytes for the garbage inputs (a 64-bit linear congruential
// generator; its top byte is the output).
struct ByteSource {
    std::uint64_t state;
};

unsigned char NextByte(ByteSource& source) {
    source.state = source.state * 6364136223846793005u + 1442695040888963407u;
    return static_cast<unsigned char>(source.state >> 56);
}

std::string RandomBytes(std::uint64_t seed, std::size_t count) {
    ByteSource source = {seed};
    std::string bytes(count, '\0');
    for (char& c : bytes) {
        c = static_cast<char>(NextByte(source));
    }
    return bytes;
}

// Bytes a number can begin with, leading blanks and "$" included.
bool StartsNumber(unsigned char c) {
    return (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.' || c == '$' || c == ' ' ||
           (c >= 9 && c <= 13);
}

// --- Files that cannot be read ------------------------------------------------

struct UnreadableCase {
    const char* what;
    const char* mode;
    std::string path;
    const char* failure;  // "open" or "read"
    int error;
};

TEST(BadInputFiles, MissingFileOrFolderIsAnIoError) {
    const std::string folder = ScratchPath(".folder");
    ASSERT_TRUE(MakeFolder(folder)) << folder;
#ifdef _WIN32
    // The C runtime refuses to open a folder as a file.
    const char* folderFailure = "open";
    const int folderError = EACCES;
#else
    // A folder opens like a file; its first read fails.
    const char* folderFailure = "read";
    const int folderError = EISDIR;
#endif
    const UnreadableCase cases[] = {
        {"missing CSV file", "--csv", ScratchPath(".does-not-exist"), "open", ENOENT},
        {"folder for TSV", "--tsv", folder, folderFailure, folderError},
        {"folder for CSV", "--csv", folder, folderFailure, folderError},
    };
    for (const UnreadableCase& item : cases) {
        KemcalcRun run = RunKemcalc({item.mode, item.path});
        EXPECT_EQ(run.status, 3) << item.what;
        EXPECT_EQ(run.err, std::string("kemcalc: cannot ") + item.failure + " " + item.path + ": " +
                               Reason(item.error) + "\n")
            << item.what;
        EXPECT_EQ(run.out, "") << item.what;
    }
}

// --- Lines far over the limit ---------------------------------------------------

struct OversizedCase {
    const char* what;
    const char* mode;
    std::string input;
    std::string message;
    std::string rowsBefore;  // the whole output, written before the bad line
};

TEST(BadInputData, LineOverTheLimitStopsAfterTheRowsBeforeIt) {
    const std::string overLimit(kOverTheLimit, '7');
    const OversizedCase cases[] = {
        {"TSV line of digits", "--tsv",
         "2\t1\t3\t2\n$10\t$8\t50\t5\n" + overLimit + "\n2\t1\t3\t2\n",
         "line 3: line longer than 16777216 bytes", kItemRow + kDollarRow},
        // Four fields of the right form, but each far too long.
        {"TSV line of four huge fields", "--tsv",
         "2\t1\t3\t2\n" + overLimit + "\t1\t1\t" + overLimit + "\n",
         "line 2: line longer than 16777216 bytes", kItemRow},
        {"TSV last line without line end", "--tsv", "2\t1\t3\t2\n" + overLimit,
         "line 2: line longer than 16777216 bytes", kItemRow},
        {"CSV record", "--csv", "price,cost,bought,sold\n2,1,3,2\n" + overLimit + ",1,1,1\n",
         "line 3: record longer than 16777216 bytes",
         kCsvHeaderOut + "2,1,3,2,\"$48.00  \",\"$24.00  \",50.00%,\"1.50  \",\"$1.50  \","
                         ">1000.00%\r\n"},
        // A quoted field that never closes would otherwise swallow the file.
        {"CSV quote left open past the limit", "--csv",
         "price,cost,bought,sold\n\"2" + overLimit + "\n",
         "line 2: record longer than 16777216 bytes", kCsvHeaderOut},
    };
    for (const OversizedCase& item : cases) {
        KemcalcRun run = RunKemcalc({item.mode}, item.input);
        EXPECT_EQ(run.status, 1) << item.what;
        EXPECT_EQ(run.err, "kemcalc: standard input: " + item.message + "\n") << item.what;
        EXPECT_EQ(run.out, item.rowsBefore) << item.what;
    }
}

// --- Binary bytes ---------------------------------------------------------------

// Binary fields that hold no number: their first byte can begin none (no
// digit, sign, point, blank or dollar sign), so every row is the zero row.
TEST(BadInputData, BinaryFieldsWithoutFiguresGiveZeroRows) {
    ByteSource source = {2024};
    std::string input;
    const int kLines = 300;
    for (int line = 0; line < kLines; ++line) {
        const int fieldCount = 1 + NextByte(source) % 4;
        for (int field = 0; field < fieldCount; ++field) {
            if (field != 0) {
                input += '\t';
            }
            const int length = 1 + NextByte(source) % 40;
            for (int i = 0; i < length; ++i) {
                unsigned char c = NextByte(source);
                if (c == '\t' || c == '\n' || (i == 0 && StartsNumber(c))) {
                    c = 0xFF;
                }
                input += static_cast<char>(c);
            }
        }
        input += line % 3 == 0 ? "\r\n" : "\n";
    }
    KemcalcRun run = RunKemcalc({"--tsv"}, input);
    ASSERT_EQ(run.status, 0) << run.err;
    std::string expected;
    for (int line = 0; line < kLines; ++line) {
        expected += kZeroRow;
    }
    EXPECT_EQ(run.out, expected);
}

// Where any bytes at all may stand, the rule alone says where the run stops:
// the first line over 65536 bytes or with more than four tab-separated fields.
struct TsvVerdict {
    std::size_t goodLines = 0;  // lines answered before the first bad one
    std::string message;        // empty when every line is good
};

TsvVerdict JudgeTsv(const std::string& input) {
    TsvVerdict verdict;
    std::size_t start = 0;
    while (start < input.size()) {
        std::size_t end = input.find('\n', start);
        const bool hasLineEnd = end != std::string::npos;
        if (!hasLineEnd) {
            end = input.size();
        }
        std::string line = input.substr(start, end - start);
        if (hasLineEnd && !line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        const std::string lineName = "line " + std::to_string(verdict.goodLines + 1) + ": ";
        if (line.size() > kOverTheLimit - 1) {
            verdict.message = lineName + "line longer than 16777216 bytes";
            return verdict;
        }
        // Empty fields at the end of a line are dropped before they are counted.
        while (!line.empty() && line.back() == '\t') {
            line.pop_back();
        }
        std::size_t fields = 1;
        for (char c : line) {
            fields += c == '\t' ? 1 : 0;
        }
        if (fields > 4) {
            verdict.message =
                lineName + std::to_string(fields) + " tab-separated fields, expected at most 4";
            return verdict;
        }
        ++verdict.goodLines;
        start = end + 1;
    }
    return verdict;
}

// The summary line "kemcalc: N figures in M rows were not read whole: ...":
// at least one figure in each counted row, at most four, in no more rows than
// were answered.
void ExpectMisreadCounts(const std::string& line, std::size_t answeredRows,
                         const std::string& where) {
    unsigned long long figures = 0;
    unsigned long long rows = 0;
    ASSERT_EQ(std::sscanf(line.c_str(), "kemcalc: %llu figures in %llu rows", &figures, &rows), 2)
        << where << ": " << line;
    EXPECT_NE(line.find(" not read whole: standard input: line "), std::string::npos) << where;
    EXPECT_GE(figures, rows) << where;
    EXPECT_LE(figures, 4 * rows) << where;
    EXPECT_LE(rows, answeredRows) << where;
}

TEST(BadInputData, RandomBytesStopAtTheFirstBadLineWithWholeRows) {
    for (std::uint64_t seed = 1; seed <= 6; ++seed) {
        // Short lines for the early seeds, so that some runs get through whole.
        std::string input = RandomBytes(seed, seed <= 2 ? 3000 : 200000);
        for (std::size_t i = 16; seed <= 2 && i < input.size(); i += 17) {
            input[i] = '\n';
        }
        input[0] = 'x';  // no byte order mark by chance
        const TsvVerdict verdict = JudgeTsv(input);
        KemcalcRun run = RunKemcalc({"--tsv"}, input);
        const std::string where = "seed " + std::to_string(seed);
        std::vector<std::string> messages = SplitLines(run.err);
        ASSERT_FALSE(messages.empty()) << where;
        if (verdict.message.empty()) {
            EXPECT_EQ(run.status, 0) << where << ": " << run.err;
        } else {
            EXPECT_EQ(run.status, 1) << where;
            EXPECT_EQ(messages[0], "kemcalc: standard input: " + verdict.message) << where;
            messages.erase(messages.begin());
        }
        // Then the notes: binary fields are not read whole, some are empty,
        // the lines are not UTF-8, and the first may look like CSV; nothing else.
        std::size_t misreadLines = 0;
        for (const std::string& note : messages) {
            if (note.find(" not read whole: ") != std::string::npos) {
                ExpectMisreadCounts(note, verdict.goodLines, where);
                ++misreadLines;
            } else {
                EXPECT_TRUE(note.find(" read as 0; the first: standard input: line ") !=
                                std::string::npos ||
                            note.find(" not UTF-8 text") != std::string::npos ||
                            note.find("give --csv instead of --tsv") != std::string::npos)
                    << where << ": " << note;
            }
        }
        EXPECT_EQ(misreadLines, 1u) << where << ": " << run.err;
        // Every answered line has its whole row: six texts of 1 to 79 characters.
        std::vector<std::string> rows = SplitLines(run.out);
        EXPECT_EQ(rows.size(), verdict.goodLines) << where;
        EXPECT_TRUE(run.out.empty() || run.out.back() == '\n') << where;
        for (const std::string& row : rows) {
            std::vector<std::string> texts = SplitFields(row, '\t');
            ASSERT_EQ(texts.size(), 6u) << where << ": " << row;
            for (const std::string& text : texts) {
                EXPECT_GE(text.size(), 1u) << where << ": " << row;
                EXPECT_LE(text.size(), 79u) << where << ": " << row;
            }
        }
    }
}

// A field of 1 to 30 binary bytes whose first byte begins no number.
std::string MakeBinaryField(ByteSource& source) {
    std::string field;
    const int length = 1 + NextByte(source) % 30;
    for (int i = 0; i < length; ++i) {
        unsigned char c = NextByte(source);
        if (i == 0 && StartsNumber(c)) {
            c = 0x80;
        }
        field += static_cast<char>(c);
    }
    return field;
}

// CSV quoting done the plain way: quotes around a field that holds a comma,
// a quote, CR or LF or that begins or ends with a blank, each quote doubled.
std::string QuoteCsvField(const std::string& field, bool always) {
    const bool needed = field.find_first_of(",\"\r\n") != std::string::npos ||
                        field.front() == ' ' || field.back() == ' ';
    if (!needed && !always) {
        return field;
    }
    std::string quoted = "\"";
    for (char c : field) {
        quoted += c == '"' ? "\"\"" : std::string(1, c);
    }
    return quoted + "\"";
}

// Binary fields in CSV, quoted where they must be and now and then where they
// need not be: each record comes back with its fields as written and the
// zero-row texts.
TEST(BadInputData, BinaryCsvFieldsRoundTrip) {
    ByteSource source = {77};
    std::string input = "price,cost,bought,sold\n";
    std::string expected = kCsvHeaderOut;
    for (int record = 0; record < 300; ++record) {
        for (int column = 0; column < 4; ++column) {
            const std::string field = MakeBinaryField(source);
            input += QuoteCsvField(field, NextByte(source) % 4 == 0) + (column < 3 ? "," : "");
            expected += QuoteCsvField(field, false) + ",";
        }
        input += NextByte(source) % 2 == 0 ? "\r\n" : "\n";
        expected += "\"$0.00  \",\"$0.00  \",0.00%,\"0.00  \",\"$0.00  \",0.00%\r\n";
    }
    KemcalcRun run = RunKemcalc({"--csv"}, input);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, expected);
}

// --- Not errors -------------------------------------------------------------------

struct AcceptedCase {
    const char* what;
    std::vector<std::string> args;
    std::string fileBytes;  // written to the file named by "FILE" in args
    std::string output;
};

TEST(AcceptedInput, CrLfLineEndsAndEmptyFiles) {
    const std::string path = ScratchPath(".input");
    const AcceptedCase cases[] = {
        {"CR LF line ends",
         {"--tsv", "FILE"},
         "2\t1\t3\t2\r\n$10\t$8\t50\t5\r\n\r\n",
         kItemRow + kDollarRow + kZeroRow},
        {"CR LF, last line without one",
         {"--tsv", "FILE"},
         "$10\t$8\t50\t5\r\n2\t1\t3\t2",
         kDollarRow + kItemRow},
        // A CR not followed by LF is an ordinary byte: after the figure, ignored.
        {"CR inside a line", {"--tsv", "FILE"}, "2\r\t1\r\t3\r\t2\r\r\n", kItemRow},
        {"CR LF with totals",
         {"--tsv", "--totals", "FILE"},
         "2\t1\t3\t2\r\n$10\t$8\t50\t5\r\n",
         kItemRow + kDollarRow + "$648.00  \t$144.00  \t22.22%\t\t$201.50  \t           71.46%\n"},
        {"CR LF in CSV",
         {"--csv", "FILE"},
         "price,cost,bought,sold\r\n2,1,3,2\r\n",
         kCsvHeaderOut + "2,1,3,2,\"$48.00  \",\"$24.00  \",50.00%,\"1.50  \",\"$1.50  \","
                         ">1000.00%\r\n"},
        {"empty file", {"--tsv", "FILE"}, "", ""},
        {"byte order mark alone", {"--tsv", "FILE"}, "\xEF\xBB\xBF", ""},
    };
    for (const AcceptedCase& item : cases) {
        WriteFile(path, item.fileBytes);
        std::vector<std::string> args = item.args;
        for (std::string& arg : args) {
            arg = arg == "FILE" ? path : arg;
        }
        KemcalcRun run = RunKemcalc(args);
        EXPECT_EQ(run.status, 0) << item.what << ": " << run.err;
        EXPECT_EQ(run.err, "") << item.what;
        EXPECT_EQ(run.out, item.output) << item.what;
    }
}

#ifndef _WIN32
// --- Streams a shell can break (POSIX only) ----------------------------------------

std::string ShellQuote(const std::string& text) {
    EXPECT_EQ(text.find('\''), std::string::npos) << text;
    return "'" + text + "'";
}

// Runs kemcalc with standard input and output redirected as written, for the
// streams the shared runner cannot give: a folder, a device, or none at all.
KemcalcRun RunRedirected(const std::vector<std::string>& args, const std::string& redirections) {
    std::string command = ShellQuote(KEMCALC_PATH);
    for (const std::string& arg : args) {
        command += " " + ShellQuote(arg);
    }
    const std::string errorPath = ScratchPath(".err");
    command += " " + redirections + " 2> " + ShellQuote(errorPath);
    KemcalcRun run;
    const int result = std::system(command.c_str());
    run.status = WIFEXITED(result) ? WEXITSTATUS(result) : -1;
    run.err = ReadFile(errorPath);
    return run;
}

struct StreamCase {
    const char* what;
    std::vector<std::string> args;
    std::string redirections;
    int status;
    std::string message;  // the whole of standard error
};

// Enough rows that the output passes several of kemcalc's 256 KiB blocks, so
// a failing device shows in the middle of the run, not only at its end.
std::string ManyItems(const char* header, const char* line) {
    std::string input = header;
    for (int i = 0; i < 100000; ++i) {
        input += line;
    }
    return input;
}

TEST(BadStreams, UnusableInputAndOutputEndWithOneMessage) {
    const std::string folder = ScratchPath(".folder");
    ASSERT_TRUE(MakeFolder(folder)) << folder;
    const std::string bigTsv = ScratchPath(".big.tsv");
    const std::string bigCsv = ScratchPath(".big.csv");
    WriteFile(bigTsv, ManyItems("", "2\t1\t3\t2\n"));
    WriteFile(bigCsv, ManyItems("price,cost,bought,sold\n", "2,1,3,2\n"));
    const std::string noSpace = "kemcalc: cannot write standard output: " + Reason(ENOSPC) + "\n";
    const std::string closed = "kemcalc: cannot write standard output: " + Reason(EBADF) + "\n";
    const std::string out = "> " + ShellQuote(ScratchPath(".out"));

    const StreamCase cases[] = {
        {"TSV catalogue to a full device",
         {"--tsv"},
         "< " + ShellQuote(bigTsv) + " > /dev/full",
         3,
         noSpace},
        {"CSV catalogue to a full device",
         {"--csv"},
         "< " + ShellQuote(bigCsv) + " > /dev/full",
         3,
         noSpace},
        {"TSV catalogue, output closed", {"--tsv"}, "< " + ShellQuote(bigTsv) + " >&-", 3, closed},
        // The input file may get the number of the closed output.
        {"named TSV file, output closed", {"--tsv", bigTsv}, "< /dev/null >&-", 3, closed},
        {"one item, output closed", {"2", "1", "3", "2"}, "< /dev/null >&-", 3, closed},
        {"folder as standard input",
         {"--tsv"},
         "< " + ShellQuote(folder) + " " + out,
         3,
         "kemcalc: cannot read standard input: " + Reason(EISDIR) + "\n"},
        {"standard input closed",
         {"--tsv"},
         "<&- " + out,
         3,
         "kemcalc: cannot read standard input: " + Reason(EBADF) + "\n"},
        // Endless zero bytes: one line without end, given up after the limit.
        {"endless zero bytes",
         {"--tsv", "/dev/zero"},
         "< /dev/null " + out,
         1,
         "kemcalc: /dev/zero: line 1: line longer than 16777216 bytes\n"},
    };
    for (const StreamCase& item : cases) {
        KemcalcRun run = RunRedirected(item.args, item.redirections);
        EXPECT_EQ(run.status, item.status) << item.what;
        EXPECT_EQ(run.err, item.message) << item.what;
    }
}
#endif

}  // namespace
