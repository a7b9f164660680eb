#include "csv_writer.h"

namespace {

// Byte classes; or-ed together over a field.
constexpr unsigned char kNeedsQuotes = 1;  // the delimiter, CR or LF
constexpr unsigned char kQuote = 2;        // a double quote, which is doubled as well

void AppendDoubledQuotes(ByteSink& sink, std::string_view field) {
    AppendChar(sink, '"');
    for (char c : field) {
        if (c == '"') {
            AppendChar(sink, '"');
        }
        AppendChar(sink, c);
    }
    AppendChar(sink, '"');
}

}  // namespace

CsvQuoting MakeCsvQuoting(char delimiter) {
    CsvQuoting quoting;
    quoting.delimiter = delimiter;
    quoting.byteClass[static_cast<unsigned char>(delimiter)] = kNeedsQuotes;
    quoting.byteClass[static_cast<unsigned char>('\r')] = kNeedsQuotes;
    quoting.byteClass[static_cast<unsigned char>('\n')] = kNeedsQuotes;
    quoting.byteClass[static_cast<unsigned char>('"')] = kQuote;
    return quoting;
}

CsvFieldForm ClassifyCsvField(std::string_view field, const CsvQuoting& quoting) {
    unsigned char classes = 0;
    for (char c : field) {
        classes |= quoting.byteClass[static_cast<unsigned char>(c)];
    }
    if ((classes & kQuote) != 0) {
        return kCsvQuotedDoubling;
    }
    const bool blankAtEnd = !field.empty() && (field.front() == ' ' || field.back() == ' ');
    return classes != 0 || blankAtEnd ? kCsvQuoted : kCsvPlain;
}

void AppendCsvField(ByteSink& sink, std::string_view field, const CsvQuoting& quoting) {
    switch (ClassifyCsvField(field, quoting)) {
        case kCsvPlain:
            AppendText(sink, field);
            return;
        case kCsvQuoted:
            AppendChar(sink, '"');
            AppendText(sink, field);
            AppendChar(sink, '"');
            return;
        case kCsvQuotedDoubling:
            break;
    }
    AppendDoubledQuotes(sink, field);
}
