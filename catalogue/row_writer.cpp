#include "row_writer.h"

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
    const CatalogueOptions& options;
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
        AppendCsvField(row.sink, text, row.options.delimiter);
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

// The text of input column `index` of a totals row.
std::string_view TotalsLabel(const TotalsLabels& labels, std::size_t index) {
    if (labels.grouped && index == labels.groupColumn) {
        return labels.groupName;
    }
    return index == labels.priceColumn ? kTotalsRowName : std::string_view();
}

}  // namespace

void WriteHeaderRow(ByteSink& sink, const CatalogueOptions& options, const HeaderColumns& header) {
    if (options.output == kOutputJsonLines) {
        return;
    }
    RowWriter row{sink, options};
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

void WriteItemRow(ByteSink& sink, const CatalogueOptions& options, const HeaderColumns* header,
                  const std::vector<std::string_view>& fields, const InventoryInputs& inputs) {
    ResultCells cells;
    MakeItemCells(inputs, options.numbers, options.decimalComma, cells);
    RowWriter row{sink, options};
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

void WriteTotalsRow(ByteSink& sink, const CatalogueOptions& options, const HeaderColumns* header,
                    const TotalsLabels& labels, const CatalogueTotals& totals) {
    ResultCells cells;
    MakeTotalsCells(totals, options.numbers, options.decimalComma, cells);
    RowWriter row{sink, options};
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
