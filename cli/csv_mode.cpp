#include "csv_mode.h"

#include <cstdio>
#include <string_view>

#include "catalogue_totals.h"
#include "csv_reader.h"
#include "csv_writer.h"
#include "error_report.h"
#include "exit_codes.h"
#include "inventory.h"
#include "row_texts.h"

namespace {

const char* const kInputColumns[kCsvColumnCount] = {"price", "cost", "bought", "sold"};
const char* const kParsedColumns[kCsvColumnCount] = {"parsed_price", "parsed_cost", "parsed_bought",
                                                     "parsed_sold"};
// Written in the price column of the totals row.
constexpr std::string_view kTotalsRowName = "Total";

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i] >= 'A' && a[i] <= 'Z' ? static_cast<char>(a[i] - 'A' + 'a') : a[i];
        if (x != b[i]) {
            return false;
        }
    }
    return true;
}

bool IsExpectedHeader(const CsvRecord& header) {
    if (header.fieldCount != kCsvColumnCount) {
        return false;
    }
    for (std::size_t i = 0; i < kCsvColumnCount; ++i) {
        if (!EqualIgnoringCase(GetCsvField(header, i), kInputColumns[i])) {
            return false;
        }
    }
    return true;
}

void AppendHeader(OutputBuffer& output, const Options& options) {
    for (const char* column : kInputColumns) {
        AppendCsvField(output, column, options.delimiter);
        AppendChar(output, options.delimiter);
    }
    for (std::size_t i = 0; options.echoParsed && i < kCsvColumnCount; ++i) {
        AppendCsvField(output, kParsedColumns[i], options.delimiter);
        AppendChar(output, options.delimiter);
    }
    for (int field = 0; field < kResultCount; ++field) {
        if (field != 0) {
            AppendChar(output, options.delimiter);
        }
        AppendCsvField(output, kResultLabels[field], options.delimiter);
    }
    AppendText(output, kCsvRecordEnd);
}

void AppendResultFields(OutputBuffer& output, const ResultTexts& texts, char delimiter) {
    for (int field = 0; field < kResultCount; ++field) {
        if (field != 0) {
            AppendChar(output, delimiter);
        }
        AppendCsvField(output, GetResultText(texts, field), delimiter);
    }
    AppendText(output, kCsvRecordEnd);
}

void AppendItemRecord(OutputBuffer& output, const Options& options, const CsvRecord& record,
                      const InventoryInputs& inputs) {
    for (std::size_t i = 0; i < kCsvColumnCount; ++i) {
        AppendCsvField(output, GetCsvField(record, i), options.delimiter);
        AppendChar(output, options.delimiter);
    }
    if (options.echoParsed) {
        ParsedFigureTexts parsed = FormatParsedFigures(inputs);
        for (std::size_t i = 0; i < kCsvColumnCount; ++i) {
            AppendCsvField(output, std::string_view(parsed.text[i], parsed.length[i]),
                           options.delimiter);
            AppendChar(output, options.delimiter);
        }
    }
    AppendResultFields(output, ComputeResultTexts(inputs), options.delimiter);
}

void AppendTotalsRecord(OutputBuffer& output, const Options& options,
                        const CatalogueTotals& totals) {
    AppendCsvField(output, kTotalsRowName, options.delimiter);
    std::size_t emptyColumns = kCsvColumnCount * (options.echoParsed ? 2 : 1);
    for (std::size_t i = 0; i < emptyColumns; ++i) {
        AppendChar(output, options.delimiter);
    }
    AppendResultFields(output, FormatTotalsTexts(totals), options.delimiter);
}

// Reports a failed record read; returns the exit status it calls for.
int ReportRecordError(const LineReader& input, const char* inputName, const CsvRecord& record,
                      CsvStatus status) {
    if (status == kCsvReadFailed) {
        ReportSystemError("cannot read", inputName, input.readErrno);
        return kExitIo;
    }
    char message[160];
    if (record.errorField != 0) {
        std::snprintf(message, sizeof message, "field %zu: %s", record.errorField,
                      DescribeCsvStatus(status));
    } else {
        std::snprintf(message, sizeof message, "%s", DescribeCsvStatus(status));
    }
    ReportLineError(inputName, record.errorLine, message);
    return kExitBadData;
}

void ReportFieldCount(const char* inputName, const CsvRecord& record) {
    char message[96];
    std::snprintf(message, sizeof message, "%zu field%s, expected 4", record.fieldCount,
                  record.fieldCount == 1 ? "" : "s");
    ReportLineError(inputName, record.firstLine, message);
}

}  // namespace

int RunCsvMode(const Options& options, LineReader& input, const char* inputName,
               OutputBuffer& output) {
    CsvRecord record;
    StartCsvRecord(record);

    CsvStatus status = ReadCsvRecord(input, options.delimiter, record);
    if (status == kCsvEnd) {
        ReportLineError(inputName, 1, "the input is empty: expected the header row");
        return kExitBadData;
    }
    if (status != kCsvRecordRead) {
        return ReportRecordError(input, inputName, record, status);
    }
    if (!IsExpectedHeader(record)) {
        char message[96];
        std::snprintf(message, sizeof message, "expected the header row price%ccost%cbought%csold",
                      options.delimiter, options.delimiter, options.delimiter);
        ReportLineError(inputName, record.firstLine, message);
        return kExitBadData;
    }
    AppendHeader(output, options);

    CatalogueTotals totals;
    for (;;) {
        status = ReadCsvRecord(input, options.delimiter, record);
        if (status == kCsvEnd) {
            break;
        }
        if (status != kCsvRecordRead) {
            return ReportRecordError(input, inputName, record, status);
        }
        if (record.fieldCount != kCsvColumnCount) {
            ReportFieldCount(inputName, record);
            return kExitBadData;
        }
        InventoryInputs inputs = ParseInputs(GetCsvField(record, 0), GetCsvField(record, 1),
                                             GetCsvField(record, 2), GetCsvField(record, 3));
        AppendItemRecord(output, options, record, inputs);
        if (options.totals) {
            AddItemToTotals(totals, inputs);
        }
        if (output.writeErrno != 0) {
            return kExitIo;
        }
    }
    if (options.totals) {
        AppendTotalsRecord(output, options, totals);
    }
    return kExitOk;
}
