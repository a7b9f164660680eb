#include "row_writer.h"

#include <cstring>

#include "csv_writer.h"
#include "hex_float.h"
#include "json_text.h"
#include "result_cells.h"
#include "shortest_decimal.h"

const char* const kParsedColumnNames[kFigureCount] = {"parsed_price", "parsed_cost",
                                                      "parsed_bought", "parsed_sold"};

namespace {

// Lines of tab-separated output end in LF, like the input they answer.
constexpr char kTsvLineEnd = '\n';

// One output row under construction: separators, quoting and keys depend on
// the format only here.
struct RowWriter {
    ByteSink& sink;
    const RowFormat& format;
    const CatalogueOptions& options = format.options;
    bool first = true;
};

bool IsJson(const RowWriter& row) {
    return row.options.output == kOutputJsonLines;
}

void BeginRow(RowWriter& row) {
    if (IsJson(row)) {
        AppendChar(row.sink, '{');
    }
}

void BeginCell(RowWriter& row, std::string_view key) {
    if (IsJson(row)) {
        if (!row.first) {
            AppendChar(row.sink, ',');
        }
        AppendJsonString(row.sink, key);
        AppendChar(row.sink, ':');
    } else if (!row.first) {
        AppendChar(row.sink, row.options.input == kInputCsv ? row.options.delimiter : '\t');
    }
    row.first = false;
}

void AddTextCell(RowWriter& row, std::string_view key, std::string_view text) {
    BeginCell(row, key);
    if (IsJson(row)) {
        AppendJsonString(row.sink, text);
    } else if (row.options.input == kInputCsv) {
        AppendCsvField(row.sink, text, row.format.quoting);
    } else {
        AppendText(row.sink, text);
    }
}

// A result cell: a JSON number (or null for an empty cell) with --numbers,
// otherwise a text.
void AddResultCell(RowWriter& row, std::string_view key, std::string_view text) {
    if (!IsJson(row) || !row.options.numbers) {
        AddTextCell(row, key, text);
        return;
    }
    BeginCell(row, key);
    AppendText(row.sink, text.empty() ? std::string_view("null") : text);
}

void EndRow(RowWriter& row) {
    if (IsJson(row)) {
        AppendText(row.sink, "}\n");
    } else if (row.options.input == kInputCsv) {
        AppendText(row.sink, kCsvRecordEnd);
    } else {
        AppendChar(row.sink, kTsvLineEnd);
    }
}

void AddParsedCells(RowWriter& row, const InventoryInputs& inputs) {
    const double figures[kFigureCount] = {inputs.price, inputs.cost, inputs.buyPerMonth,
                                          inputs.sellPerMonth};
    for (std::size_t i = 0; i < kFigureCount; ++i) {
        if (row.options.echo == kEchoHex) {
            char text[kHexFloatSize];
            AddTextCell(row, kParsedColumnNames[i],
                        std::string_view(text, FormatHexFloat(figures[i], text)));
        } else {
            char text[kShortestDecimalSize];
            const std::size_t length = FormatShortestDecimal(figures[i], text);
            if (row.options.decimalComma) {
                UseDecimalComma(text, length);
            }
            AddTextCell(row, kParsedColumnNames[i], std::string_view(text, length));
        }
    }
}

void AddResultCells(RowWriter& row, const ResultCells& cells) {
    for (int field = 0; field < kResultCount; ++field) {
        AddResultCell(row, kResultLabels[field], cells.cell[field]);
    }
}

// Whether --numbers cells get a decimal comma: not in JSON, whose numbers
// always have a point (the texts, being strings, keep their comma).
bool HasCommaNumbers(const RowFormat& format) {
    return format.options.decimalComma && format.options.output != kOutputJsonLines;
}

// The text of input column `index` of a totals row.
std::string_view TotalsLabel(const TotalsLabels& labels, std::size_t index) {
    if (labels.grouped && index == labels.groupColumn) {
        return labels.groupName;
    }
    return index == labels.priceColumn ? kTotalsRowName : std::string_view();
}

// A cell of at most this many bytes is copied as this many bytes at once:
// its buffer has room (kCellBufferBytes), and so has the output.
constexpr std::size_t kShortCell = 32;
static_assert(kShortCell <= kCellBufferBytes, "short cells are read within their buffers");

char* CopyCell(char* to, std::string_view cell) {
    if (cell.size() <= kShortCell) {
        std::memcpy(to, cell.data(), kShortCell);
    } else {
        std::memcpy(to, cell.data(), cell.size());
    }
    return to + cell.size();
}

// A result cell as AppendCsvField writes it, into room already reserved.
char* WriteCsvCell(char* to, std::string_view cell, const CsvQuoting& quoting) {
    switch (ClassifyCsvField(cell, quoting)) {
        case kCsvPlain:
            return CopyCell(to, cell);
        case kCsvQuoted:
            *to = '"';
            to = CopyCell(to + 1, cell);
            *to = '"';
            return to + 1;
        case kCsvQuotedDoubling:
            break;
    }
    *to++ = '"';
    for (char c : cell) {
        if (c == '"') {
            *to++ = '"';
        }
        *to++ = c;
    }
    *to++ = '"';
    return to;
}

// The six result cells and the row's end, written into room reserved once
// for all of them: each cell at most doubles with its quotes, and the last
// one may be copied kShortCell bytes long.
void WriteResultCells(ByteSink& sink, bool csv, char separator, const CsvQuoting& quoting,
                      const ResultCells& cells) {
    std::size_t room = kCsvRecordEnd.size() + kShortCell;
    for (const std::string_view& cell : cells.cell) {
        room += 2 * cell.size() + 3;
    }
    char* const start = ReserveBytes(sink, room);
    char* p = start;
    for (int field = 0; field < kResultCount; ++field) {
        if (field != 0) {
            *p++ = separator;
        }
        p = csv ? WriteCsvCell(p, cells.cell[field], quoting) : CopyCell(p, cells.cell[field]);
    }
    if (csv) {
        std::memcpy(p, kCsvRecordEnd.data(), kCsvRecordEnd.size());
        p += kCsvRecordEnd.size();
    } else {
        *p++ = kTsvLineEnd;
    }
    sink.used += static_cast<std::size_t>(p - start);
}

// The common case, kept lean because it runs once per row of a catalogue of
// millions: CSV or tab-separated output, no parsed figures.
void WriteDelimitedItemRow(ByteSink& sink, const RowFormat& format, const HeaderColumns* header,
                           const std::vector<std::string_view>& fields, std::string_view verbatim,
                           const ResultCells& cells) {
    const CatalogueOptions& options = format.options;
    const bool csv = options.input == kInputCsv;
    const char separator = csv ? options.delimiter : '\t';
    std::size_t columns = header != nullptr ? CountColumns(*header) : 0;
    if (columns != 0 && columns == fields.size() && !verbatim.empty()) {
        AppendText(sink, verbatim);
        AppendChar(sink, separator);
        columns = 0;
    }
    for (std::size_t i = 0; i < columns; ++i) {
        const std::string_view field = i < fields.size() ? fields[i] : std::string_view();
        if (csv) {
            AppendCsvField(sink, field, format.quoting);
        } else {
            AppendText(sink, field);
        }
        AppendChar(sink, separator);
    }
    WriteResultCells(sink, csv, separator, format.quoting, cells);
}

}  // namespace

RowFormat MakeRowFormat(const CatalogueOptions& options) {
    RowFormat format;
    format.options = options;
    format.quoting = MakeCsvQuoting(options.delimiter);
    return format;
}

void WriteHeaderRow(ByteSink& sink, const RowFormat& format, const HeaderColumns& header) {
    const CatalogueOptions& options = format.options;
    if (options.output == kOutputJsonLines) {
        return;
    }
    RowWriter row{sink, format};
    for (std::size_t i = 0; i < CountColumns(header); ++i) {
        AddTextCell(row, "", GetColumnName(header, i));
    }
    for (std::size_t i = 0; options.echo != kEchoNone && i < kFigureCount; ++i) {
        AddTextCell(row, "", kParsedColumnNames[i]);
    }
    for (const char* label : kResultLabels) {
        AddTextCell(row, "", label);
    }
    EndRow(row);
}

namespace {

void WriteItemCells(ByteSink& sink, const RowFormat& format, const HeaderColumns* header,
                    const std::vector<std::string_view>& fields, std::string_view verbatim,
                    const InventoryInputs& inputs, const ResultCells& cells) {
    const CatalogueOptions& options = format.options;
    if (options.output == kOutputDelimited && options.echo == kEchoNone) {
        WriteDelimitedItemRow(sink, format, header, fields, verbatim, cells);
        return;
    }
    RowWriter row{sink, format};
    BeginRow(row);
    if (header != nullptr) {
        for (std::size_t i = 0; i < CountColumns(*header); ++i) {
            AddTextCell(row, GetColumnName(*header, i),
                        i < fields.size() ? fields[i] : std::string_view());
        }
    } else if (IsJson(row)) {
        for (std::size_t i = 0; i < kFigureCount; ++i) {
            AddTextCell(row, kFigureNames[i], i < fields.size() ? fields[i] : std::string_view());
        }
    }
    if (options.echo != kEchoNone) {
        AddParsedCells(row, inputs);
    }
    AddResultCells(row, cells);
    EndRow(row);
}

void WriteTotalsCells(ByteSink& sink, const RowFormat& format, const HeaderColumns* header,
                      const TotalsLabels& labels, const ResultCells& cells) {
    const CatalogueOptions& options = format.options;
    RowWriter row{sink, format};
    BeginRow(row);
    if (header != nullptr) {
        for (std::size_t i = 0; i < CountColumns(*header); ++i) {
            AddTextCell(row, GetColumnName(*header, i), TotalsLabel(labels, i));
        }
    } else if (IsJson(row)) {
        for (std::size_t i = 0; i < kFigureCount; ++i) {
            AddTextCell(row, kFigureNames[i], TotalsLabel(labels, i));
        }
    }
    // The figure columns of a totals row are empty: it was not read.
    for (std::size_t i = 0; options.echo != kEchoNone && i < kFigureCount; ++i) {
        AddTextCell(row, kParsedColumnNames[i], "");
    }
    AddResultCells(row, cells);
    EndRow(row);
}

}  // namespace

void WriteItemRow(ByteSink& sink, const RowFormat& format, const HeaderColumns* header,
                  const std::vector<std::string_view>& fields, std::string_view verbatim,
                  const InventoryInputs& inputs, const InventoryResults& results) {
    if (format.options.numbers) {
        NumberTexts numbers;
        const ResultCells cells = MakeNumberCells(results, HasCommaNumbers(format), numbers);
        WriteItemCells(sink, format, header, fields, verbatim, inputs, cells);
        return;
    }
    // Initialised from the call, so the texts are made where they stay.
    ResultTexts texts = RenderResultTexts(results);
    const ResultCells cells = ViewTextCells(texts, format.options.decimalComma);
    WriteItemCells(sink, format, header, fields, verbatim, inputs, cells);
}

void WriteTotalsRow(ByteSink& sink, const RowFormat& format, const HeaderColumns* header,
                    const TotalsLabels& labels, const InventoryResults& totals) {
    if (format.options.numbers) {
        NumberTexts numbers;
        WriteTotalsCells(sink, format, header, labels,
                         MakeNumberCells(totals, HasCommaNumbers(format), numbers));
        return;
    }
    ResultTexts texts = RenderResultTexts(totals);
    WriteTotalsCells(sink, format, header, labels,
                     ViewTextCells(texts, format.options.decimalComma));
}
