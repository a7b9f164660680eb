// The command line of kemcalc, read into one plain struct before anything runs.
#pragma once

#include <cstddef>

enum RunMode {
    kModeItem,  // four figures on the command line
    kModeTsv,
    kModeCsv,
    kModeHelp,
    kModeVersion,
};

constexpr int kItemFieldCount = 4;

struct Options {
    RunMode mode = kModeItem;
    bool echoParsed = false;
    bool totals = false;
    char delimiter = ',';
    const char* inputPath = nullptr;  // nullptr or "-" reads standard input
    const char* itemTexts[kItemFieldCount] = {};
};

constexpr std::size_t kOptionErrorSize = 160;

// Fills `options` from argv. Returns false with a one-line reason in `error`
// when the command line cannot be run.
bool ParseOptions(int argc, char** argv, Options& options, char (&error)[kOptionErrorSize]);

// The text of --help.
extern const char kUsageText[];
