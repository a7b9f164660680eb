// The command line of kemcalc, read into one plain struct before anything runs.
#pragma once

#include <cstddef>

#include "catalogue_options.h"

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
    CatalogueOptions catalogue;       // how --tsv and --csv read and write; the figure
                                      // rules (decimalComma, strict) also apply to one item
    const char* inputPath = nullptr;  // nullptr or "-" reads standard input
    const char* itemTexts[kItemFieldCount] = {};
    const char* joinPaths[kMaxJoins] = {};  // the reports of catalogue.joins, in order
};

constexpr std::size_t kOptionErrorSize = 320;

// Fills `options` from argv. Returns false with a one-line reason in `error`
// when the command line cannot be run.
bool ParseOptions(int argc, char** argv, Options& options, char (&error)[kOptionErrorSize]);

// The text of --help.
extern const char kUsageText[];
