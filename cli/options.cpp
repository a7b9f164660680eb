#include "options.h"

#include <cstdio>
#include <cstring>

const char kUsageText[] =
    "Usage: kemcalc PRICE COST BOUGHT SOLD\n"
    "       kemcalc --tsv [--echo-parsed] [--totals] [FILE]\n"
    "       kemcalc --csv [--echo-parsed] [--totals] [--delimiter C] [FILE]\n"
    "\n"
    "Works out the return on inventory of stock items, with exactly the texts the\n"
    "KEM Calculator window shows. Each figure is read like the window reads it:\n"
    "its first 19 characters, a leading \"$\" skipped in PRICE and COST, the\n"
    "leading number taken and anything else read as 0.\n"
    "\n"
    "  PRICE COST BOUGHT SOLD  one item: selling price, cost, units bought per\n"
    "                          month, units sold per month; prints the six results\n"
    "  --tsv            read lines of four tab-separated figures, write the six\n"
    "                   result texts of each line, tab-separated\n"
    "  --csv            read CSV with the header row price,cost,bought,sold, write\n"
    "                   it back with the six result columns added\n"
    "  --echo-parsed    also write the four figures as read, in C99 hexadecimal\n"
    "                   floating form (0x1.8p+1), before the results\n"
    "  --totals         add a last row for the whole catalogue\n"
    "  --delimiter C    CSV field delimiter, one character (default ,)\n"
    "  FILE             read FILE instead of standard input (- also means\n"
    "                   standard input)\n"
    "  -h, --help       show this text\n"
    "  -V, --version    show the version\n"
    "\n"
    "Exit status: 0 all rows answered, 1 bad input data (the message names the\n"
    "line), 2 bad command line, 3 a file could not be opened, read or written.\n";

namespace {

// "-" alone names standard input, and "-5" or "-.5" is a negative figure, so
// neither is taken for an option.
bool IsOption(const char* arg) {
    if (arg[0] != '-' || arg[1] == '\0') {
        return false;
    }
    char next = arg[1];
    return !((next >= '0' && next <= '9') || next == '.');
}

bool Fail(char (&error)[kOptionErrorSize], const char* format, const char* detail = "") {
    std::snprintf(error, sizeof error, format, detail);
    return false;
}

bool SetMode(Options& options, RunMode mode, char (&error)[kOptionErrorSize]) {
    if (options.mode == kModeTsv || options.mode == kModeCsv) {
        if (mode != options.mode) {
            return Fail(error, "--tsv and --csv cannot be used together");
        }
    }
    if (options.mode != kModeHelp && options.mode != kModeVersion) {
        options.mode = mode;
    }
    return true;
}

bool SetDelimiter(Options& options, const char* value, char (&error)[kOptionErrorSize]) {
    if (std::strlen(value) != 1) {
        return Fail(error, "--delimiter takes exactly one character, not '%s'", value);
    }
    if (value[0] == '"' || value[0] == '\r' || value[0] == '\n') {
        return Fail(error, "--delimiter cannot be a double quote or a line end");
    }
    options.delimiter = value[0];
    return true;
}

// Checks the combinations once every argument is known.
bool CheckOptions(Options& options, bool delimiterGiven, const char* const* positional,
                  int positionalCount, char (&error)[kOptionErrorSize]) {
    if (options.mode == kModeHelp || options.mode == kModeVersion) {
        return true;
    }
    bool streaming = options.mode == kModeTsv || options.mode == kModeCsv;
    if (!streaming && options.echoParsed) {
        return Fail(error, "--echo-parsed needs --tsv or --csv");
    }
    if (!streaming && options.totals) {
        return Fail(error, "--totals needs --tsv or --csv");
    }
    if (delimiterGiven && options.mode != kModeCsv) {
        return Fail(error, "--delimiter needs --csv");
    }
    if (streaming) {
        if (positionalCount > 1) {
            return Fail(error, "only one input file can be given");
        }
        options.inputPath = positionalCount == 1 ? positional[0] : nullptr;
        return true;
    }
    if (positionalCount != kItemFieldCount) {
        char count[16];
        std::snprintf(count, sizeof count, "%d", positionalCount);
        return Fail(error, "expected four figures, PRICE COST BOUGHT SOLD, but got %s", count);
    }
    for (int i = 0; i < kItemFieldCount; ++i) {
        options.itemTexts[i] = positional[i];
    }
    return true;
}

}  // namespace

bool ParseOptions(int argc, char** argv, Options& options, char (&error)[kOptionErrorSize]) {
    options = Options();
    error[0] = '\0';
    // Only four figures or one file are ever used; a few more are kept so
    // that the count in the message is right.
    const char* positional[kItemFieldCount + 1] = {};
    int positionalCount = 0;
    bool delimiterGiven = false;
    bool optionsEnded = false;

    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (optionsEnded || !IsOption(arg)) {
            if (positionalCount < kItemFieldCount + 1) {
                positional[positionalCount] = arg;
            }
            ++positionalCount;
            continue;
        }
        if (std::strcmp(arg, "--") == 0) {
            optionsEnded = true;
        } else if (std::strcmp(arg, "--tsv") == 0) {
            if (!SetMode(options, kModeTsv, error)) {
                return false;
            }
        } else if (std::strcmp(arg, "--csv") == 0) {
            if (!SetMode(options, kModeCsv, error)) {
                return false;
            }
        } else if (std::strcmp(arg, "--echo-parsed") == 0) {
            options.echoParsed = true;
        } else if (std::strcmp(arg, "--totals") == 0) {
            options.totals = true;
        } else if (std::strcmp(arg, "--delimiter") == 0) {
            if (i + 1 >= argc) {
                return Fail(error, "--delimiter needs a character after it");
            }
            if (!SetDelimiter(options, argv[++i], error)) {
                return false;
            }
            delimiterGiven = true;
        } else if (std::strncmp(arg, "--delimiter=", 12) == 0) {
            if (!SetDelimiter(options, arg + 12, error)) {
                return false;
            }
            delimiterGiven = true;
        } else if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
            options.mode = kModeHelp;
        } else if (std::strcmp(arg, "--version") == 0 || std::strcmp(arg, "-V") == 0) {
            if (options.mode != kModeHelp) {
                options.mode = kModeVersion;
            }
        } else {
            return Fail(error, "unknown option '%s'", arg);
        }
    }
    return CheckOptions(options, delimiterGiven, positional, positionalCount, error);
}
