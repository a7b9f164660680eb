#include "record_reader.h"

#include "byte_scan.h"
#include "utf8.h"

namespace {

// Fields are made in place (emplace_back): a view built first and copied in
// would go through memory in two halves and be read back whole, which the
// processor cannot forward from the store.
void SplitTsvLine(std::string_view line, std::vector<std::string_view>& fields) {
    fields.clear();
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = FindByte(line, start, '\t');
        fields.emplace_back(line.data() + start, end - start);
        if (end == line.size()) {
            return;
        }
        start = end + 1;
    }
}

// Whether any byte of `text` is above 0x7F, eight at a time: the common
// line of plain ASCII is passed over without decoding it.
bool HasHighBytes(std::string_view text) {
    std::uint64_t any = 0;
    std::size_t i = 0;
    for (; i + kWordBytes <= text.size(); i += kWordBytes) {
        any |= LoadWord(text.data() + i);
    }
    any |= LoadUpToEightBytes(text.data() + i, text.size() - i);
    return (any & kHighBits) != 0;
}

void CheckUtf8(RecordReader& reader, const InputLine& line) {
    if (HasHighBytes(line.text) && !IsUtf8(line.text)) {
        if (reader.notUtf8Lines == 0) {
            reader.firstNotUtf8Line = line.number;
        }
        ++reader.notUtf8Lines;
    }
}

RecordStatus Fail(RunProblem problem, unsigned long long line, RunError& error) {
    error.problem = problem;
    error.line = line;
    return kRecordBad;
}

RecordStatus FailOnCsv(const RecordReader& reader, CsvStatus status, RunError& error) {
    error.field = reader.record.errorField;
    switch (status) {
        case kCsvTextAfterClosingQuote:
            return Fail(kProblemTextAfterQuote, reader.record.errorLine, error);
        case kCsvUnclosedQuote:
            return Fail(kProblemUnclosedQuote, reader.record.errorLine, error);
        default:
            break;
    }
    error.field = 0;
    error.count = kMaxRecordLength;
    return Fail(kProblemRecordTooLong, reader.record.errorLine, error);
}

// One line into the record under way. Returns kRecordReady when it
// completes one, kRecordNeedsInput when it is skipped or leaves a quoted
// field open.
RecordStatus TakeLine(RecordReader& reader, const InputLine& line, Record& out, RunError& error) {
    CheckUtf8(reader, line);
    if (reader.input == kInputTsv) {
        SplitTsvLine(line.text, reader.fields);
        // Tab-separated fields are written back as they are.
        out = Record{&reader.fields, line.text, line.number};
        return kRecordReady;
    }
    // An empty line is no record, as other CSV readers have it.
    if (!reader.record.open && line.text.empty()) {
        return kRecordNeedsInput;
    }
    const CsvStatus status = ScanCsvLine(reader.record, line, reader.delimiter);
    if (status == kCsvRecordOpen) {
        return kRecordNeedsInput;
    }
    if (status != kCsvRecordDone) {
        return FailOnCsv(reader, status, error);
    }
    out = Record{&reader.record.fields, reader.record.verbatim, reader.record.firstLine};
    return kRecordReady;
}

}  // namespace

void StartRecordReader(RecordReader& reader, InputFormat input, char delimiter) {
    reader.input = input;
    reader.delimiter = delimiter;
    StartLineSplitter(reader.lines);
    StartCsvRecord(reader.record);
    reader.fields.clear();
    reader.notUtf8Lines = 0;
    reader.firstNotUtf8Line = 0;
}

void FeedRecordReader(RecordReader& reader, const char* bytes, std::size_t count) {
    FeedLineSplitter(reader.lines, bytes, count);
}

void EndRecordReader(RecordReader& reader) {
    EndLineSplitter(reader.lines);
}

RecordStatus NextRecord(RecordReader& reader, Record& record, RunError& error) {
    InputLine line;
    for (;;) {
        switch (NextLine(reader.lines, line)) {
            case kLineReady: {
                const RecordStatus status = TakeLine(reader, line, record, error);
                if (status != kRecordNeedsInput) {
                    return status;
                }
                break;
            }
            case kLineNeedsInput:
                return kRecordNeedsInput;
            case kLineEnd:
                if (reader.record.open) {
                    return FailOnCsv(reader, EndOpenCsvRecord(reader.record), error);
                }
                return kRecordEnd;
            case kLineTooLong:
                if (reader.input == kInputCsv) {
                    error.count = kMaxRecordLength;
                    return Fail(kProblemRecordTooLong, line.number, error);
                }
                error.count = kMaxLineLength;
                return Fail(kProblemLineTooLong, line.number, error);
            case kLineUtf16:
                return Fail(kProblemUtf16, 0, error);
            case kLineUtf32:
                return Fail(kProblemUtf32, 0, error);
            case kLineWorkbook:
                return Fail(kProblemWorkbook, 0, error);
        }
    }
}
