#include "csv_reader.h"

static_assert(kMaxRecordLength == 65536, "DescribeCsvStatus names the limit");

namespace {

enum FieldState {
    kFieldStart,
    kUnquotedField,
    kQuotedField,
    kQuoteInQuotedField,  // a " inside quotes: doubled quote or closing quote
};

void EndField(CsvRecord& record) {
    if (record.fieldCount < kCsvColumnCount) {
        record.fieldEnd[record.fieldCount] = record.text.size();
    }
    ++record.fieldCount;
}

// Runs the field state machine over one line. Returns kCsvRecordRead when the
// line was consumed without a quoting error.
CsvStatus ScanLine(std::string_view line, unsigned long long lineNumber, char delimiter,
                   CsvRecord& record, FieldState& state) {
    for (char c : line) {
        switch (state) {
            case kFieldStart:
                if (c == '"') {
                    state = kQuotedField;
                    record.quoteLine = lineNumber;
                } else if (c == delimiter) {
                    EndField(record);
                } else {
                    record.text.push_back(c);
                    state = kUnquotedField;
                }
                break;
            case kUnquotedField:
                if (c == delimiter) {
                    EndField(record);
                    state = kFieldStart;
                } else if (c == '"') {
                    return kCsvQuoteInUnquotedField;
                } else {
                    record.text.push_back(c);
                }
                break;
            case kQuotedField:
                if (c == '"') {
                    state = kQuoteInQuotedField;
                } else {
                    record.text.push_back(c);
                }
                break;
            case kQuoteInQuotedField:
                if (c == '"') {
                    record.text.push_back('"');
                    state = kQuotedField;
                } else if (c == delimiter) {
                    EndField(record);
                    state = kFieldStart;
                } else {
                    return kCsvTextAfterClosingQuote;
                }
                break;
        }
    }
    return kCsvRecordRead;
}

}  // namespace

void StartCsvRecord(CsvRecord& record) {
    record.text.reserve(kMaxRecordLength + 2);
}

CsvStatus ReadCsvRecord(LineReader& reader, char delimiter, CsvRecord& record) {
    record.text.clear();
    record.fieldCount = 0;
    record.errorField = 0;

    Line line;
    LineStatus lineStatus = ReadLine(reader, line);
    if (lineStatus == kLineEnd) {
        return kCsvEnd;
    }
    record.firstLine = reader.lineNumber;
    record.errorLine = reader.lineNumber;
    if (lineStatus == kLineReadFailed) {
        return kCsvReadFailed;
    }
    if (lineStatus == kLineTooLong) {
        return kCsvRecordTooLong;
    }

    FieldState state = kFieldStart;
    for (;;) {
        CsvStatus status = ScanLine(line.text, reader.lineNumber, delimiter, record, state);
        if (status != kCsvRecordRead) {
            record.errorField = record.fieldCount + 1;
            return status;
        }
        if (state != kQuotedField) {
            break;
        }
        // A line end inside quotes is part of the field, kept as it was written.
        record.text.append(line.endsWithCrLf ? "\r\n" : "\n");
        lineStatus = ReadLine(reader, line);
        if (lineStatus == kLineEnd) {
            record.errorLine = record.quoteLine;
            record.errorField = record.fieldCount + 1;
            return kCsvUnclosedQuote;
        }
        record.errorLine = reader.lineNumber;
        if (lineStatus == kLineReadFailed) {
            return kCsvReadFailed;
        }
        if (lineStatus == kLineTooLong ||
            record.text.size() + line.text.size() > kMaxRecordLength) {
            return kCsvRecordTooLong;
        }
    }
    EndField(record);
    return kCsvRecordRead;
}

std::string_view GetCsvField(const CsvRecord& record, std::size_t index) {
    std::size_t start = index == 0 ? 0 : record.fieldEnd[index - 1];
    return std::string_view(record.text.data() + start, record.fieldEnd[index] - start);
}

const char* DescribeCsvStatus(CsvStatus status) {
    switch (status) {
        case kCsvQuoteInUnquotedField:
            return "a double quote inside a field that does not start with one";
        case kCsvTextAfterClosingQuote:
            return "text after the closing double quote of a field";
        case kCsvUnclosedQuote:
            return "a quoted field is not closed before the end of the input";
        case kCsvRecordTooLong:
            return "record longer than 65536 bytes";
        case kCsvReadFailed:
            return "cannot read the input";
        case kCsvRecordRead:
        case kCsvEnd:
            break;
    }
    return "";
}
