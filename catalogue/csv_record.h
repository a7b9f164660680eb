// Reads RFC 4180 records line by line: fields split by a delimiter; a field
// in double quotes may hold the delimiter, line ends and doubled quotes. A
// record ends at a line end outside quotes. A double quote inside a field
// that does not start with one is part of its text, as spreadsheets read it
// (Nail 3" galvanised).
//
// Fields are views: into the line itself where a field needs no unquoting,
// otherwise into the record's own scratch text, which is reserved once and
// grows only as a record needs it (the views into it are moved with it). A
// record that goes on over several lines is copied into the scratch text line
// by line, since the earlier lines do not stay in place.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "line_splitter.h"

// A record with quoted line ends spans several lines; all of it together is
// held to the same limit as one line.
constexpr std::size_t kMaxRecordLength = kMaxLineLength;

enum CsvStatus {
    kCsvRecordDone,
    kCsvRecordOpen,             // a quoted field goes on: give the next line
    kCsvTextAfterClosingQuote,  // "12"3: only a delimiter or a line end may follow
    kCsvUnclosedQuote,          // the input ends inside a quoted field; errorLine is
                                // where that field opened
    kCsvRecordTooLong,          // over kMaxRecordLength bytes
};

struct CsvRecord {
    std::vector<std::string_view> fields;  // unquoted, in order
    std::string scratch;                   // unquoted text of fields that are not views
    std::string moving;                    // holds the open field while the scratch is rearranged
    bool open = false;                     // a quoted field goes on to the next line
    // The record's one line, when writing its fields back one by one (with
    // AppendCsvField and the same delimiter) gives exactly these bytes, so
    // the line can be copied whole; empty otherwise.
    std::string_view verbatim;
    std::size_t openFieldStart = 0;    // where the open field begins in scratch
    unsigned long long firstLine = 0;  // where the record starts
    unsigned long long errorLine = 0;  // where reading it failed
    unsigned long long quoteLine = 0;  // where the last quoted field opened
    std::size_t errorField = 0;        // 1-based field of a quoting error
};

void StartCsvRecord(CsvRecord& record);

// Reads one line: the first of a record, or the next one of an open record.
CsvStatus ScanCsvLine(CsvRecord& record, const InputLine& line, char delimiter);

// The input ended while the record was open.
CsvStatus EndOpenCsvRecord(CsvRecord& record);
