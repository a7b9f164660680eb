#include "row_writer.h"

#include <cstring>

#include "hex_float.h"
#include "json_text.h"
#include "shortest_decimal.h"

const char* const kParsedColumnNames[kFigureCount] = {"parsed_price", "parsed_cost",
                                                      "parsed_bought", "parsed_sold"};

namespace {

// Lines of tab-separated output end in LF, like the input they answer.
constexpr char kTsvLineEnd = '\n';

// The keys that mark a JSON totals row, and the value of the first.
constexpr std::string_view kRowKey = "Row";
constexpr std::string_view kGroupKey = "Group";
constexpr std::string_view kTotalsRowKind = "Totals";

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

bool IsCsv(const CatalogueOptions& options) {
    return options.input == kInputCsv;
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
        AppendChar(row.sink, IsCsv(row.options) ? row.options.delimiter : '\t');
    }
    row.first = false;
}

void AddTextCell(RowWriter& row, std::string_view key, std::string_view text) {
    BeginCell(row, key);
    if (IsJson(row)) {
        AppendJsonString(row.sink, text);
    } else if (IsCsv(row.options)) {
        AppendCsvField(row.sink, text, row.format.quoting);
    } else {
        AppendText(row.sink, text);
    }
}

// A JSON value written as it is: a number, null.
void AddJsonValue(RowWriter& row, std::string_view key, std::string_view value) {
    BeginCell(row, key);
    AppendText(row.sink, value);
}

// A result cell: a JSON number (or null for an empty cell) with --numbers,
// otherwise a text.
void AddResultCell(RowWriter& row, std::string_view key, std::string_view text) {
    if (!IsJson(row) || !row.options.numbers) {
        AddTextCell(row, key, text);
        return;
    }
    AddJsonValue(row, key, text.empty() ? std::string_view("null") : text);
}

void EndRow(RowWriter& row) {
    if (IsJson(row)) {
        AppendText(row.sink, "}\n");
    } else if (IsCsv(row.options)) {
        AppendText(row.sink, kCsvRecordEnd);
    } else {
        AppendChar(row.sink, kTsvLineEnd);
    }
}

void AddParsedCells(RowWriter& row, const InventoryInputs& used) {
    const double figures[kFigureCount] = {used.price, used.cost, used.buyPerMonth,
                                          used.sellPerMonth};
    for (std::size_t i = 0; i < kFigureCount; ++i) {
        const std::string& name = row.format.names.parsed[i];
        if (row.options.echo == kEchoHex) {
            char text[kHexFloatSize];
            AddTextCell(row, name, std::string_view(text, FormatHexFloat(figures[i], text)));
        } else {
            char text[kShortestDecimalSize];
            const std::size_t length = FormatShortestDecimal(figures[i], text);
            if (row.options.decimalComma) {
                UseDecimalComma(text, length);
            }
            AddTextCell(row, name, std::string_view(text, length));
        }
    }
}

// The names of the result cells, in order.
std::string_view ResultCellName(const RowFormat& format, std::size_t cell) {
    return cell < kResultCount ? std::string_view(format.names.results[cell])
                               : std::string_view(format.names.target[cell - kResultCount]);
}

void AddResultCells(RowWriter& row, const ResultCells& cells) {
    for (std::size_t cell = 0; cell < cells.count; ++cell) {
        AddResultCell(row, ResultCellName(row.format, cell), cells.cell[cell]);
    }
}

// Whether --numbers cells get a decimal comma: not in JSON, whose numbers
// always have a point (the texts, being strings, keep their comma).
bool HasCommaNumbers(const CatalogueOptions& options) {
    return options.decimalComma && options.output != kOutputJsonLines;
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

// The result cells and the row's end, written into room reserved once for
// all of them: each cell at most doubles with its quotes, and the last one
// may be copied kShortCell bytes long.
void WriteResultCells(ByteSink& sink, bool csv, char separator, const CsvQuoting& quoting,
                      const ResultCells& cells) {
    std::size_t room = kCsvRecordEnd.size() + kShortCell;
    for (std::size_t cell = 0; cell < cells.count; ++cell) {
        room += 2 * cells.cell[cell].size() + 3;
    }
    char* const start = ReserveBytes(sink, room);
    char* p = start;
    for (std::size_t cell = 0; cell < cells.count; ++cell) {
        if (cell != 0) {
            *p++ = separator;
        }
        p = csv ? WriteCsvCell(p, cells.cell[cell], quoting) : CopyCell(p, cells.cell[cell]);
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
// millions: CSV or tab-separated output, no figures written back.
void WriteDelimitedItemRow(ByteSink& sink, const RowFormat& format, const ItemRow& item,
                           const ResultCells& cells) {
    const CatalogueOptions& options = format.options;
    const bool csv = IsCsv(options);
    const char separator = csv ? options.delimiter : '\t';
    const std::vector<std::string_view>& fields = *item.fields;
    const std::size_t columns = item.header != nullptr ? CountColumns(*item.header) : 0;
    std::size_t i = 0;
    if (columns != 0 && !item.verbatim.empty() && item.verbatimFields <= fields.size()) {
        AppendText(sink, item.verbatim);
        AppendChar(sink, separator);
        i = item.verbatimFields;
    }
    for (; i < columns; ++i) {
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

void WriteItemCells(ByteSink& sink, const RowFormat& format, const ItemRow& item,
                    const ResultCells& cells) {
    const CatalogueOptions& options = format.options;
    if (options.output == kOutputDelimited && options.echo == kEchoNone) {
        WriteDelimitedItemRow(sink, format, item, cells);
        return;
    }
    const std::vector<std::string_view>& fields = *item.fields;
    RowWriter row{sink, format};
    BeginRow(row);
    if (item.header != nullptr) {
        for (std::size_t i = 0; i < CountColumns(*item.header); ++i) {
            AddTextCell(row, GetColumnName(*item.header, i),
                        i < fields.size() ? fields[i] : std::string_view());
        }
    } else if (IsJson(row)) {
        for (std::size_t i = 0; i < kFigureCount; ++i) {
            AddTextCell(row, kFigureNames[i], i < fields.size() ? fields[i] : std::string_view());
        }
    }
    if (options.echo != kEchoNone) {
        AddParsedCells(row, *item.used);
    }
    AddResultCells(row, cells);
    EndRow(row);
}

void WriteTotalsCells(ByteSink& sink, const RowFormat& format, const HeaderColumns* header,
                      const TotalsLabels& labels, const ResultCells& cells) {
    const CatalogueOptions& options = format.options;
    RowWriter row{sink, format};
    BeginRow(row);
    if (IsJson(row)) {
        // JSON has no place for a row's kind but its keys.
        AddTextCell(row, format.names.row, kTotalsRowKind);
        if (labels.grouped) {
            AddTextCell(row, format.names.group, labels.groupName);
        } else {
            AddJsonValue(row, format.names.group, "null");
        }
    }
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
        AddTextCell(row, format.names.parsed[i], "");
    }
    AddResultCells(row, cells);
    EndRow(row);
}

std::string Prefixed(std::string_view prefix, std::string_view name) {
    std::string text(prefix);
    text.append(name.data(), name.size());
    return text;
}

// "300" in "Bought per Month for 300%".
std::string TargetText(const CatalogueOptions& options) {
    char text[kShortestDecimalSize];
    const std::size_t length = FormatShortestDecimal(options.targetReturn, text);
    if (options.decimalComma) {
        UseDecimalComma(text, length);
    }
    return std::string(text, length);
}

AddedNames MakeAddedNames(const CatalogueOptions& options) {
    AddedNames names;
    for (std::size_t i = 0; i < kFigureCount; ++i) {
        names.parsed[i] = Prefixed(options.prefix, kParsedColumnNames[i]);
    }
    for (int field = 0; field < kResultCount; ++field) {
        names.results[field] = Prefixed(options.prefix, kResultLabels[field]);
    }
    const std::string target = TargetText(options);
    names.target[0] = Prefixed(options.prefix, "Bought per Month for " + target + "%");
    names.target[1] = Prefixed(options.prefix, "Months Supply for " + target + "%");
    names.row = Prefixed(options.prefix, kRowKey);
    names.group = Prefixed(options.prefix, kGroupKey);
    return names;
}

}  // namespace

RowFormat MakeRowFormat(const CatalogueOptions& options) {
    RowFormat format;
    format.options = options;
    format.quoting = MakeCsvQuoting(options.delimiter);
    format.cells.numbers = options.numbers;
    format.cells.decimalComma = options.numbers ? HasCommaNumbers(options) : options.decimalComma;
    format.cells.currency = options.currency;
    format.names = MakeAddedNames(options);
    return format;
}

void ListAddedNames(const RowFormat& format, std::vector<std::string_view>& names) {
    const CatalogueOptions& options = format.options;
    for (std::size_t i = 0; options.echo != kEchoNone && i < kFigureCount; ++i) {
        names.push_back(format.names.parsed[i]);
    }
    for (const std::string& name : format.names.results) {
        names.push_back(name);
    }
    for (std::size_t i = 0; options.targetReturn != 0.0 && i < kTargetCells; ++i) {
        names.push_back(format.names.target[i]);
    }
    if (options.output == kOutputJsonLines && options.totals) {
        names.push_back(format.names.row);
        names.push_back(format.names.group);
    }
}

void WriteHeaderRow(ByteSink& sink, const RowFormat& format, const HeaderColumns& header) {
    if (format.options.output == kOutputJsonLines) {
        return;
    }
    RowWriter row{sink, format};
    for (std::size_t i = 0; i < CountColumns(header); ++i) {
        AddTextCell(row, "", GetColumnName(header, i));
    }
    std::vector<std::string_view> added;
    ListAddedNames(format, added);
    for (std::string_view name : added) {
        AddTextCell(row, "", name);
    }
    EndRow(row);
}

void WriteItemRow(ByteSink& sink, const RowFormat& format, const ItemRow& row) {
    CellTexts texts;
    WriteItemCells(sink, format, row,
                   MakeResultCells(*row.results, row.target, format.cells, texts));
}

void WriteTotalsRow(ByteSink& sink, const RowFormat& format, const HeaderColumns* header,
                    const TotalsLabels& labels, const InventoryResults& totals) {
    CellTexts texts;
    ResultCells cells = MakeResultCells(totals, nullptr, format.cells, texts);
    // A totals row has no order to reach a target: its cells stay empty.
    if (format.options.targetReturn != 0.0) {
        for (std::size_t i = kResultCount; i < kMaxResultCells; ++i) {
            cells.cell[i] = std::string_view();
        }
        cells.count = kMaxResultCells;
    }
    WriteTotalsCells(sink, format, header, labels, cells);
}
