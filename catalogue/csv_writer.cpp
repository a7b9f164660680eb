#include "csv_writer.h"

namespace {

bool NeedsQuotes(std::string_view field, char delimiter) {
    if (field.empty()) {
        return false;
    }
    if (field.front() == ' ' || field.back() == ' ') {
        return true;
    }
    for (char c : field) {
        if (c == delimiter || c == '"' || c == '\r' || c == '\n') {
            return true;
        }
    }
    return false;
}

}  // namespace

void AppendCsvField(ByteSink& sink, std::string_view field, char delimiter) {
    if (!NeedsQuotes(field, delimiter)) {
        AppendText(sink, field);
        return;
    }
    AppendChar(sink, '"');
    for (char c : field) {
        if (c == '"') {
            AppendChar(sink, '"');
        }
        AppendChar(sink, c);
    }
    AppendChar(sink, '"');
}
