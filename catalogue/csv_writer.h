// Writes RFC 4180 fields, quoting only those that need it.
#pragma once

#include <string_view>

#include "byte_sink.h"

// RFC 4180 ends every record with CR LF.
constexpr std::string_view kCsvRecordEnd = "\r\n";

// For each byte, what it means inside a field: made once per run, so that
// writing a field is one pass that copies and classifies each byte together.
struct CsvQuoting {
    char delimiter = ',';
    unsigned char byteClass[256] = {};
};

CsvQuoting MakeCsvQuoting(char delimiter);

// How a field is written: as it is, in double quotes, or in double quotes
// with its own quotes doubled.
enum CsvFieldForm { kCsvPlain, kCsvQuoted, kCsvQuotedDoubling };

// In quotes when it holds the delimiter, a quote, CR or LF, or begins or
// ends with a blank: the result texts keep their blanks, and some
// spreadsheet imports trim unquoted fields. The quotes inside are doubled.
CsvFieldForm ClassifyCsvField(std::string_view field, const CsvQuoting& quoting);

// Appends `field` in the form ClassifyCsvField gives.
void AppendCsvField(ByteSink& sink, std::string_view field, const CsvQuoting& quoting);
