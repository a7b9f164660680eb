// Turns a byte stream that arrives in chunks into records: CSV records, or
// tab-separated lines, each with its fields and the line it starts on. Used
// for a catalogue as it streams past and for a report read whole before it.
// Notes lines that are not UTF-8 text on the way, for a front end's hint.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "catalogue_options.h"
#include "csv_record.h"
#include "line_splitter.h"
#include "run_error.h"

enum RecordStatus {
    kRecordReady,
    kRecordNeedsInput,  // feed the next chunk
    kRecordEnd,         // the input is finished and every record handed out
    kRecordBad,         // the input cannot be read on: the error says why and where
};

struct Record {
    std::vector<std::string_view>* fields = nullptr;  // the reader's; a caller may drop some
    // The record as read, when writing its fields back one by one gives
    // exactly these bytes, so it can be copied whole; empty otherwise.
    std::string_view verbatim;
    unsigned long long line = 0;  // where the record starts
};

struct RecordReader {
    InputFormat input = kInputCsv;
    char delimiter = ',';
    LineSplitter lines;
    CsvRecord record;
    std::vector<std::string_view> fields;  // the current TSV line's fields
    unsigned long long notUtf8Lines = 0;   // lines that are not UTF-8 text
    unsigned long long firstNotUtf8Line = 0;
};

void StartRecordReader(RecordReader& reader, InputFormat input, char delimiter);

// Gives the next chunk; its bytes must stay until NextRecord needs input.
void FeedRecordReader(RecordReader& reader, const char* bytes, std::size_t count);

// Says that no more chunks will come.
void EndRecordReader(RecordReader& reader);

// The next record; on kRecordBad, `error` says what and where (its problem,
// line and field; the caller adds the input's name).
RecordStatus NextRecord(RecordReader& reader, Record& record, RunError& error);

// Whether the stream began with UTF-8's byte order mark.
inline bool HadUtf8Mark(const RecordReader& reader) {
    return reader.lines.hadUtf8Mark;
}
