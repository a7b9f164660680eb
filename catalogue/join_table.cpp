#include "join_table.h"

namespace {

// FNV-1a, 32 bits: keys are short (SKUs), and a byte loop is all they need.
std::uint32_t HashKey(std::string_view key) {
    std::uint32_t hash = 2166136261u;
    for (char c : key) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    }
    return hash;
}

std::size_t FieldStart(const JoinTable& table, std::size_t field) {
    return field == 0 ? 0 : table.fieldEnds[field - 1];
}

std::string_view RowKey(const JoinTable& table, std::size_t row) {
    return TrimBlanks(GetJoinedField(table, row, table.keyColumn));
}

bool Fail(JoinTable& table, RunProblem problem, unsigned long long line) {
    table.failed = true;
    table.error.problem = problem;
    table.error.line = line;
    table.error.inputName = table.inputName;
    return false;
}

// The slots hold twice as many places as rows, at least: probes stay short.
// Indexes the first `rows` rows again, in slots for one more.
void Rehash(JoinTable& table, std::size_t rows) {
    std::size_t size = 64;
    while (size < 2 * (rows + 1) + 2) {
        size *= 2;
    }
    table.slots.assign(size, 0);
    const std::size_t mask = size - 1;
    for (std::size_t row = 0; row < rows; ++row) {
        std::size_t at = table.keyHashes[row] & mask;
        while (table.slots[at] != 0) {
            at = (at + 1) & mask;
        }
        table.slots[at] = static_cast<std::uint32_t>(row + 1);
    }
}

// Adds the last row stored to the slots, or fails on a key that is empty or
// already there.
bool IndexLastRow(JoinTable& table) {
    const std::size_t row = CountJoinedRows(table) - 1;
    const std::string_view key = RowKey(table, row);
    if (key.empty()) {
        table.error.name = std::string(GetColumnName(table.header, table.keyColumn));
        table.error.column = table.keyColumn + 1;
        return Fail(table, kProblemEmptyKey, table.lines[row]);
    }
    const std::uint32_t hash = HashKey(key);
    table.keyHashes.push_back(hash);
    if (2 * CountJoinedRows(table) + 2 > table.slots.size()) {
        Rehash(table, row);
    }
    const std::size_t mask = table.slots.size() - 1;
    std::size_t at = hash & mask;
    while (table.slots[at] != 0) {
        const std::size_t other = table.slots[at] - 1;
        if (table.keyHashes[other] == hash && RowKey(table, other) == key) {
            table.error.text = std::string(key);
            table.error.otherLine = table.lines[other];
            table.error.column = table.keyColumn + 1;
            return Fail(table, kProblemDuplicateKey, table.lines[row]);
        }
        at = (at + 1) & mask;
    }
    table.slots[at] = static_cast<std::uint32_t>(row + 1);
    return true;
}

bool ReadJoinedHeader(JoinTable& table, const Record& record) {
    StoreHeader(table.header, *record.fields);
    table.headerRead = true;
    CatalogueOptions options;
    options.input = table.reader.input;
    options.delimiter = table.reader.delimiter;
    if (!ResolveColumn(table.header, table.keyRef, options, table.keyColumn, table.error)) {
        table.error.use = kUseJoinedKey;
        table.error.chosen = true;
        return Fail(table, table.error.problem, record.line);
    }
    return true;
}

// A report row: as many fields as the header has, as in the catalogue (empty
// ones past its last column are dropped; a tab-separated line may stop early).
bool StoreRow(JoinTable& table, const Record& record) {
    const std::vector<std::string_view>& fields = *record.fields;
    const std::size_t columns = CountColumns(table.header);
    std::size_t count = fields.size();
    while (count > columns && fields[count - 1].empty()) {
        --count;
    }
    const bool tsv = table.reader.input == kInputTsv;
    if (count > columns || (!tsv && count < columns)) {
        table.error.count = count;
        table.error.expected = columns;
        table.error.tsv = tsv;
        return Fail(table, kProblemFieldCount, record.line);
    }
    // Offsets and row numbers are 32 bits wide.
    if (CountJoinedRows(table) == kMaxJoinedRows ||
        table.text.size() > kMaxJoinedBytes - kMaxRecordLength) {
        return Fail(table, kProblemReportTooLarge, record.line);
    }
    for (std::size_t i = 0; i < columns; ++i) {
        if (i < count) {
            table.text.append(fields[i].data(), fields[i].size());
        }
        table.fieldEnds.push_back(static_cast<std::uint32_t>(table.text.size()));
    }
    table.lines.push_back(record.line);
    return IndexLastRow(table);
}

void ReadRecords(JoinTable& table) {
    Record record;
    while (!table.failed) {
        switch (NextRecord(table.reader, record, table.error)) {
            case kRecordReady:
                if (!table.headerRead) {
                    ReadJoinedHeader(table, record);
                } else {
                    StoreRow(table, record);
                }
                break;
            case kRecordNeedsInput:
            case kRecordEnd:
                return;
            case kRecordBad:
                Fail(table, table.error.problem, table.error.line);
                return;
        }
    }
}

}  // namespace

void StartJoinTable(JoinTable& table, const CatalogueOptions& options, std::string_view inputName,
                    const ColumnRef& keyRef) {
    table.inputName.assign(inputName.data(), inputName.size());
    table.keyRef = keyRef;
    StartRecordReader(table.reader, options.input, options.delimiter);
    table.headerRead = false;
    table.header = HeaderColumns();
    table.keyColumn = 0;
    table.text.clear();
    table.fieldEnds.clear();
    table.lines.clear();
    table.keyHashes.clear();
    table.slots.assign(64, 0);
    table.matched.clear();
    table.failed = false;
    ClearRunError(table.error);
}

bool FeedJoinTable(JoinTable& table, const char* bytes, std::size_t count) {
    if (table.failed) {
        return false;
    }
    FeedRecordReader(table.reader, bytes, count);
    ReadRecords(table);
    return !table.failed;
}

bool FinishJoinTable(JoinTable& table) {
    if (!table.failed) {
        EndRecordReader(table.reader);
        ReadRecords(table);
    }
    if (!table.failed && !table.headerRead) {
        return Fail(table, kProblemEmptyInput, 1);
    }
    table.matched.assign(CountJoinedRows(table), false);
    return !table.failed;
}

long long FindJoinedRow(const JoinTable& table, std::string_view key) {
    key = TrimBlanks(key);
    if (key.empty() || CountJoinedRows(table) == 0) {
        return -1;
    }
    const std::uint32_t hash = HashKey(key);
    const std::size_t mask = table.slots.size() - 1;
    for (std::size_t at = hash & mask; table.slots[at] != 0; at = (at + 1) & mask) {
        const std::size_t row = table.slots[at] - 1;
        if (table.keyHashes[row] == hash && RowKey(table, row) == key) {
            return static_cast<long long>(row);
        }
    }
    return -1;
}

std::string_view GetJoinedField(const JoinTable& table, std::size_t row, std::size_t column) {
    const std::size_t field = row * CountColumns(table.header) + column;
    const std::size_t start = FieldStart(table, field);
    return std::string_view(table.text.data() + start, table.fieldEnds[field] - start);
}

unsigned long long CountUnmatchedRows(const JoinTable& table) {
    unsigned long long count = 0;
    for (bool found : table.matched) {
        count += found ? 0 : 1;
    }
    return count;
}
