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

struct CatalogueOptions {
    InputFormat input = kInputCsv;
    bool header = false;  // TSV only: the first line names the columns (CSV always does)
    char delimiter = ',';
    OutputFormat output = kOutputDelimited;
    bool numbers = false;       // six plain numbers instead of the six result texts
    EchoForm echo = kEchoNone;  // the four figures as read, before the results
    bool totals = false;
    bool decimalComma = false;  // figures written 1.299,50; numbers written with ","
    bool strict = false;        // a figure not read whole ends the run
    std::string_view columns;   // "P,C,B,S": names or 1-based numbers; empty for the default names
    std::string_view groupBy;   // a name or 1-based number; empty for no group totals
};

// Whether the run reads a header row, and so maps its columns by name.
inline bool HasHeader(const CatalogueOptions& options) {
    return options.input == kInputCsv || options.header;
}
