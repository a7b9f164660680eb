// A report joined to a catalogue (sales by item, purchases): read whole into
// memory before the catalogue streams past it, its rows found by key. The
// key is compared byte for byte after trimming the blanks around it; a key
// may be on one row only.
//
//   JoinTable table;
//   StartJoinTable(table, options, "sales.csv", keyRef);
//   while (more bytes && FeedJoinTable(table, bytes, count)) {}
//   ok = FinishJoinTable(table);   // else table.error says why
//
// Memory: the report's fields and line numbers, and a hash table of its
// keys: about the file's size plus 24 bytes a row and 4 bytes a field.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue_options.h"
#include "column_map.h"
#include "record_reader.h"
#include "run_error.h"

// Row numbers and field offsets are kept in 32 bits: a report may have up
// to about 4 billion rows and 4 GiB of fields.
constexpr std::size_t kMaxJoinedRows = 0xFFFFFFFEu;
constexpr std::size_t kMaxJoinedBytes = 0xFFFFFFFFu;

struct JoinTable {
    std::string inputName;
    ColumnRef keyRef;
    RecordReader reader;
    bool headerRead = false;
    HeaderColumns header;
    std::size_t keyColumn = 0;
    // The fields of every row, one after another: row r's column c is field
    // r * CountColumns(header) + c, ending at fieldEnds of it in `text`.
    std::string text;
    std::vector<std::uint32_t> fieldEnds;
    std::vector<unsigned long long> lines;  // where each row starts
    std::vector<std::uint32_t> keyHashes;
    std::vector<std::uint32_t> slots;  // open addressing: row + 1, 0 for none
    std::vector<bool> matched;         // a catalogue row found it
    bool failed = false;
    RunError error;
};

// `keyRef` names the key column of the report; `inputName` and the options'
// texts must outlive the table.
void StartJoinTable(JoinTable& table, const CatalogueOptions& options, std::string_view inputName,
                    const ColumnRef& keyRef);

// Reads the next chunk; false once the report cannot be read on.
bool FeedJoinTable(JoinTable& table, const char* bytes, std::size_t count);

// Ends the report; false when it could not be read whole (table.error).
bool FinishJoinTable(JoinTable& table);

inline std::size_t CountJoinedRows(const JoinTable& table) {
    return table.lines.size();
}

// The row whose key is `key` (blanks around it trimmed), or -1.
long long FindJoinedRow(const JoinTable& table, std::string_view key);

// Field `column` of row `row`.
std::string_view GetJoinedField(const JoinTable& table, std::size_t row, std::size_t column);

// How many rows no catalogue row found.
unsigned long long CountUnmatchedRows(const JoinTable& table);
