// How a catalogue is read and written: the choices a front end (kemcalc's
// command line, the browser's catalogue view) makes before the first byte.
#pragma once

#include <string_view>

enum InputFormat {
    kInputCsv,  // RFC 4180 records; the first record is the header
    kInputTsv,  // tab-separated lines; positional unless `header` is set
};

enum OutputFormat {
    kOutputDelimited,  // the input's own format: CSV records or tab-separated lines
    kOutputJsonLines,  // one JSON object per row
};

enum EchoForm {
    kEchoNone,
    kEchoHex,      // each figure as read, in C99 hexadecimal floating form
    kEchoDecimal,  // each figure as read, in the shortest decimal that reads back
};

// The most reports one run joins to its main file.
constexpr std::size_t kMaxJoins = 8;

// A joined report's key: `mainKey` in the main file (a name or a 1-based
// number of the main file's own columns), `joinedKey` in the report (a name
// or a number of its columns).
struct JoinKeys {
    std::string_view mainKey;
    std::string_view joinedKey;
};

struct CatalogueOptions {
    InputFormat input = kInputCsv;
    bool header = false;  // TSV only: the first line names the columns (CSV always does)
    char delimiter = ',';
    OutputFormat output = kOutputDelimited;
    bool numbers = false;       // six plain numbers instead of the six result texts
    EchoForm echo = kEchoNone;  // the four figures used, before the results
    bool totals = false;
    bool decimalComma = false;    // figures written 1.299,50; numbers written with ","
    bool thousandsComma = false;  // figures written 1,299.50
    std::string_view currency;    // written around prices and costs, and in place of "$"
    bool strict = false;          // a figure not read whole, or empty, ends the run
    std::string_view columns;  // "P,C,B,S": names or 1-based numbers; empty for the default names
    std::string_view groupBy;  // a name or 1-based number; empty for no group totals
    std::string_view prefix;   // put before the name of every column the run adds
    // The months the bought and sold columns count over: each figure is
    // divided by its count; 0 for figures that are already per month.
    double boughtMonths = 0.0;
    double soldMonths = 0.0;
    // What-if changes: each figure used is the figure times (1 + percent / 100).
    bool adjusted[4] = {};  // by FigureIndex
    double adjustPercent[4] = {};
    // The changes are only for the rows of one group of `groupBy`, when set.
    bool adjustOneGroup = false;
    std::string_view adjustGroup;
    // The return on inventory to reach: adds the monthly order that reaches
    // it and the months supply at that order; 0 for none.
    double targetReturn = 0.0;
    // Reports joined to the main file, in order; their tables are given to
    // the run apart from the options.
    std::size_t joinCount = 0;
    JoinKeys joins[kMaxJoins];
};
// Whether the run reads a header row, and so maps its columns by name.
inline bool HasHeader(const CatalogueOptions& options) {
    return options.input == kInputCsv || options.header;
}
