#include "csv_record.h"

#include <functional>

#include "byte_scan.h"

static_assert(kMaxRecordLength == 65536, "DescribeCsvStatus names the limit");

namespace {

// Room for a whole record's unquoted text and the line ends inside it.
constexpr std::size_t kScratchSize = kMaxRecordLength + 16;

// The field being read: a view while it is one piece of the line, in the
// scratch text from its second piece on (a doubled quote, a line end).
struct FieldText {
    std::string_view view;
    bool started = false;
    bool inScratch = false;
    std::size_t scratchStart = 0;
};

// Appends without ever growing the scratch text, so views into it stay valid.
bool AppendScratch(CsvRecord& record, std::string_view text) {
    if (record.scratch.size() + text.size() > record.scratch.capacity()) {
        return false;
    }
    record.scratch.append(text.data(), text.size());
    return true;
}

bool AddPiece(CsvRecord& record, FieldText& field, std::string_view piece) {
    if (!field.started) {
        field.view = piece;
        field.started = true;
        return true;
    }
    if (!field.inScratch) {
        field.scratchStart = record.scratch.size();
        field.inScratch = true;
        if (!AppendScratch(record, field.view)) {
            return false;
        }
    }
    return AppendScratch(record, piece);
}

std::string_view FieldView(const CsvRecord& record, const FieldText& field) {
    if (!field.inScratch) {
        return field.view;
    }
    return std::string_view(record.scratch.data() + field.scratchStart,
                            record.scratch.size() - field.scratchStart);
}

bool IsInScratch(const CsvRecord& record, std::string_view field) {
    const std::less<const char*> before;
    const char* begin = record.scratch.data();
    return !before(field.data(), begin) && before(field.data(), begin + record.scratch.size());
}

enum QuotedEnd { kQuoteClosed, kQuoteOpen, kQuoteTooLong };

// Reads quoted content from text[i] up to and past its closing quote, or to
// the end of the line when the quotes stay open.
QuotedEnd ScanQuoted(CsvRecord& record, std::string_view text, std::size_t& i, FieldText& field) {
    for (;;) {
        const std::size_t quote = FindByte(text, i, '"');
        if (quote == text.size()) {
            const bool added = AddPiece(record, field, text.substr(i));
            i = text.size();
            return added ? kQuoteOpen : kQuoteTooLong;
        }
        if (!AddPiece(record, field, text.substr(i, quote - i))) {
            return kQuoteTooLong;
        }
        i = quote + 1;
        if (i < text.size() && text[i] == '"') {
            // A doubled quote is one quote of the field.
            if (!AddPiece(record, field, text.substr(quote, 1))) {
                return kQuoteTooLong;
            }
            ++i;
            continue;
        }
        return kQuoteClosed;
    }
}

// The line ended inside quotes: the lines before this one will not stay in
// place, so every field read so far moves into the scratch text, with the open
// field last, followed by the line end as it was written.
CsvStatus KeepRecordOpen(CsvRecord& record, const FieldText& field, const InputLine& line) {
    record.verbatim = std::string_view();
    if (field.inScratch) {
        record.moving.assign(record.scratch, field.scratchStart, std::string::npos);
        record.scratch.resize(field.scratchStart);
    } else {
        record.moving.assign(field.view.data(), field.view.size());
    }
    for (std::string_view& done : record.fields) {
        if (!IsInScratch(record, done)) {
            const std::size_t start = record.scratch.size();
            if (!AppendScratch(record, done)) {
                return kCsvRecordTooLong;
            }
            done = std::string_view(record.scratch.data() + start, done.size());
        }
    }
    record.openFieldStart = record.scratch.size();
    if (!AppendScratch(record, record.moving) ||
        !AppendScratch(record, line.endsWithCrLf ? "\r\n" : "\n")) {
        return kCsvRecordTooLong;
    }
    record.open = true;
    return kCsvRecordOpen;
}

// The first line of a record starts with an empty field list. A CR inside
// the line would be quoted on the way out, so such a line is never verbatim.
void BeginRecord(CsvRecord& record, const InputLine& line) {
    record.fields.clear();
    record.scratch.clear();
    record.firstLine = line.number;
    record.errorLine = line.number;
    record.errorField = 0;
    const bool hasReturn = FindByte(line.text, 0, '\r') < line.text.size();
    record.verbatim = hasReturn ? std::string_view() : line.text;
}

bool HasBlankAtEnd(std::string_view field) {
    return !field.empty() && (field.front() == ' ' || field.back() == ' ');
}

// Whether a field written without quotes comes back without them, and one
// written in quotes (on one line) comes back in quotes, as AppendCsvField
// decides: quotes for the delimiter, a quote or a blank at an end.
bool IsWrittenAsRead(std::string_view field, bool quoted, bool doubledQuote, char delimiter) {
    if (!quoted) {
        return !HasBlankAtEnd(field);
    }
    return doubledQuote || HasBlankAtEnd(field) || FindByte(field, 0, delimiter) < field.size();
}

}  // namespace

void StartCsvRecord(CsvRecord& record) {
    record.fields.clear();
    record.scratch.clear();
    record.scratch.reserve(kScratchSize);
    record.moving.clear();
    record.moving.reserve(kScratchSize);
    record.open = false;
}

CsvStatus ScanCsvLine(CsvRecord& record, const InputLine& line, char delimiter) {
    const std::string_view text = line.text;
    std::size_t i = 0;
    FieldText field;
    bool inQuotes = record.open;
    if (record.open) {
        record.errorLine = line.number;
        if (record.scratch.size() + text.size() > kMaxRecordLength) {
            return kCsvRecordTooLong;
        }
        field.started = true;
        field.inScratch = true;
        field.scratchStart = record.openFieldStart;
        record.open = false;
    } else {
        BeginRecord(record, line);
    }
    for (;;) {
        if (!inQuotes && i < text.size() && text[i] == '"') {
            record.quoteLine = line.number;
            inQuotes = true;
            field = FieldText{};
            ++i;
        }
        if (inQuotes) {
            inQuotes = false;
            const QuotedEnd end = ScanQuoted(record, text, i, field);
            if (end == kQuoteTooLong) {
                return kCsvRecordTooLong;
            }
            if (end == kQuoteOpen) {
                return KeepRecordOpen(record, field, line);
            }
            if (i < text.size() && text[i] != delimiter) {
                record.errorField = record.fields.size() + 1;
                return kCsvTextAfterClosingQuote;
            }
            // Made in place, as in SplitTsvLine.
            const std::string_view unquoted = FieldView(record, field);
            record.fields.emplace_back(unquoted.data(), unquoted.size());
            if (!IsWrittenAsRead(record.fields.back(), true, field.inScratch, delimiter)) {
                record.verbatim = std::string_view();
            }
        } else {
            const std::size_t end = FindEitherByte(text, i, delimiter, '"');
            if (end < text.size() && text[end] == '"') {
                record.errorField = record.fields.size() + 1;
                return kCsvQuoteInUnquotedField;
            }
            record.fields.emplace_back(text.data() + i, end - i);
            if (!IsWrittenAsRead(record.fields.back(), false, false, delimiter)) {
                record.verbatim = std::string_view();
            }
            i = end;
        }
        if (i == text.size()) {
            return kCsvRecordDone;
        }
        ++i;  // past the delimiter
    }
}

CsvStatus EndOpenCsvRecord(CsvRecord& record) {
    record.errorLine = record.quoteLine;
    record.errorField = record.fields.size() + 1;
    record.open = false;
    return kCsvUnclosedQuote;
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
        case kCsvRecordDone:
        case kCsvRecordOpen:
            break;
    }
    return "";
}
