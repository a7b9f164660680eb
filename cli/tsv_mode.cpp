#include "tsv_mode.h"

#include <cstdio>
#include <cstring>
#include <string_view>

#include "catalogue_totals.h"
#include "error_report.h"
#include "exit_codes.h"
#include "inventory.h"
#include "row_texts.h"

static_assert(kMaxLineLength == 65536, "the message names the limit");

namespace {

constexpr int kInputFieldCount = 4;

struct TsvFields {
    std::string_view field[kInputFieldCount];  // missing fields stay empty
    std::size_t count = 0;                     // fields on the line, also past the fourth
};

TsvFields SplitTsvLine(std::string_view line) {
    TsvFields fields;
    std::size_t start = 0;
    for (;;) {
        const void* tab = std::memchr(line.data() + start, '\t', line.size() - start);
        std::size_t end =
            tab != nullptr ? static_cast<std::size_t>(static_cast<const char*>(tab) - line.data())
                           : line.size();
        if (fields.count < kInputFieldCount) {
            fields.field[fields.count] = line.substr(start, end - start);
        }
        ++fields.count;
        if (tab == nullptr) {
            return fields;
        }
        start = end + 1;
    }
}

void AppendResultRow(OutputBuffer& output, const ResultTexts& texts) {
    for (int field = 0; field < kResultCount; ++field) {
        if (field != 0) {
            AppendChar(output, '\t');
        }
        AppendText(output, GetResultText(texts, field));
    }
    AppendChar(output, '\n');
}

void AppendParsedFigures(OutputBuffer& output, const InventoryInputs& inputs) {
    ParsedFigureTexts parsed = FormatParsedFigures(inputs);
    for (int i = 0; i < kInputFieldCount; ++i) {
        AppendBytes(output, parsed.text[i], parsed.length[i]);
        AppendChar(output, '\t');
    }
}

// Reports a line with too many fields; a fifth field would otherwise be
// dropped without a word.
void ReportFieldCount(const char* inputName, unsigned long long line, std::size_t count) {
    char message[96];
    std::snprintf(message, sizeof message, "%zu tab-separated fields, expected at most 4", count);
    ReportLineError(inputName, line, message);
}

}  // namespace

int RunTsvMode(const Options& options, LineReader& input, const char* inputName,
               OutputBuffer& output) {
    CatalogueTotals totals;
    Line line;
    for (;;) {
        LineStatus status = ReadLine(input, line);
        if (status == kLineEnd) {
            break;
        }
        if (status == kLineReadFailed) {
            ReportSystemError("cannot read", inputName, input.readErrno);
            return kExitIo;
        }
        if (status == kLineTooLong) {
            ReportLineError(inputName, input.lineNumber, "line longer than 65536 bytes");
            return kExitBadData;
        }
        TsvFields fields = SplitTsvLine(line.text);
        if (fields.count > kInputFieldCount) {
            ReportFieldCount(inputName, input.lineNumber, fields.count);
            return kExitBadData;
        }
        InventoryInputs inputs =
            ParseInputs(fields.field[0], fields.field[1], fields.field[2], fields.field[3]);
        if (options.echoParsed) {
            AppendParsedFigures(output, inputs);
        }
        AppendResultRow(output, ComputeResultTexts(inputs));
        if (options.totals) {
            AddItemToTotals(totals, inputs);
        }
        if (output.writeErrno != 0) {
            return kExitIo;
        }
    }
    if (options.totals) {
        // The figure columns of the totals row are empty: it was not read.
        for (int i = 0; options.echoParsed && i < kInputFieldCount; ++i) {
            AppendChar(output, '\t');
        }
        AppendResultRow(output, FormatTotalsTexts(totals));
    }
    return kExitOk;
}
