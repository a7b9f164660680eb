#include "csv_record.h"

#include <functional>

#include "byte_scan.h"

namespace {

// The most the scratch text holds: a whole record's unquoted text and the
// line ends inside it.
constexpr std::size_t kScratchLimit = kMaxRecordLength + 16;
// What it starts with, enough for every record of most files.
constexpr std::size_t kScratchStart = 1 << 16;

// The field being read: a view while it is one piece of the line, in the
// scratch text from its second piece on (a doubled quote, a line end).
struct FieldText {
    std::string_view view;
    bool started = false;
    bool inScratch = false;
    std::size_t scratchStart = 0;
};

bool IsInScratch(const CsvRecord& record, std::string_view field) {
    const std::less<const char*> before;
    const char* begin = record.scratch.data();
    return !before(field.data(), begin) && before(field.data(), begin + record.scratch.size());
}

// Grows the scratch text to hold `needed` bytes; the fields that are views
// into it move with it.
void GrowScratch(CsvRecord& record, std::size_t needed) {
    std::size_t capacity = record.scratch.capacity() < 1024 ? 1024 : record.scratch.capacity();
    while (capacity < needed) {
        capacity *= 2;
    }
    std::string grown;
    grown.reserve(capacity < kScratchLimit ? capacity : kScratchLimit);
    grown.append(record.scratch);
    for (std::string_view& field : record.fields) {
        if (IsInScratch(record, field)) {
            const std::size_t offset =
                static_cast<std::size_t>(field.data() - record.scratch.data());
            field = std::string_view(grown.data() + offset, field.size());
        }
    }
    record.scratch.swap(grown);
}

// Appends, growing the scratch text up to its limit: false beyond it.
bool AppendScratch(CsvRecord& record, std::string_view text) {
    const std::size_t needed = record.scratch.size() + text.size();
    if (needed > kScratchLimit) {
        return false;
    }
    if (needed > record.scratch.capacity()) {
        GrowScratch(record, needed);
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

// A line end inside quotes is kept as written.
std::string_view LineEndText(LineEnd end) {
    switch (end) {
        case kEndCrLf:
            return "\r\n";
        case kEndCr:
            return "\r";
        case kEndLf:
            break;
    }
    return "\n";
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
    if (!AppendScratch(record, record.moving) || !AppendScratch(record, LineEndText(line.end))) {
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

// An unquoted field from `i` to the delimiter or the end of the line. A
// quote inside it is text; the field is then written back in quotes, with
// its quotes doubled, so the line is not written back as it was read.
std::size_t ScanUnquoted(CsvRecord& record, std::string_view text, std::size_t i, char delimiter) {
    std::size_t end = FindEitherByte(text, i, delimiter, '"');
    while (end < text.size() && text[end] == '"') {
        record.verbatim = std::string_view();
        end = FindEitherByte(text, end + 1, delimiter, '"');
    }
    return end;
}

}  // namespace

void StartCsvRecord(CsvRecord& record) {
    record.fields.clear();
    record.scratch.clear();
    record.scratch.reserve(kScratchStart);
    record.moving.clear();
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
            const std::size_t end = ScanUnquoted(record, text, i, delimiter);
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
