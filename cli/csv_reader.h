// Reads RFC 4180 records: fields split by a delimiter, a field in double
// quotes may hold the delimiter, line ends and doubled quotes. A record ends
// at a line end outside quotes (LF or CR LF).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "line_reader.h"

// Every record of a catalogue has the four input columns.
constexpr std::size_t kCsvColumnCount = 4;

// A record with quoted line ends spans several lines; all of it together is
// held to the same limit as one line.
constexpr std::size_t kMaxRecordLength = kMaxLineLength;

struct CsvRecord {
    std::string text;  // the unquoted fields, one after another
    std::size_t fieldEnd[kCsvColumnCount] = {};
    std::size_t fieldCount = 0;        // every field seen, also past the fourth
    unsigned long long firstLine = 0;  // where the record starts
    unsigned long long errorLine = 0;  // where reading it failed
    unsigned long long quoteLine = 0;  // where the last quoted field opened
    std::size_t errorField = 0;        // 1-based field of a quoting error
};

enum CsvStatus {
    kCsvRecordRead,
    kCsvEnd,
    kCsvQuoteInUnquotedField,   // a " inside a field that does not start with one
    kCsvTextAfterClosingQuote,  // "12"3: only a delimiter or a line end may follow
    kCsvUnclosedQuote,          // the input ends inside a quoted field; errorLine is
                                // where that field opened
    kCsvRecordTooLong,
    kCsvReadFailed,
};

void StartCsvRecord(CsvRecord& record);

CsvStatus ReadCsvRecord(LineReader& reader, char delimiter, CsvRecord& record);

// Field `index` (below kCsvColumnCount and below fieldCount) without its quotes.
std::string_view GetCsvField(const CsvRecord& record, std::size_t index);

// Says what went wrong for a status other than kCsvRecordRead and kCsvEnd.
const char* DescribeCsvStatus(CsvStatus status);
