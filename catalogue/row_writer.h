// Writes the rows of a catalogue run: the header row, one row per item and
// the totals rows, as CSV records, tab-separated lines or JSON Lines. Every
// input column passes through in place; the four figures as read (with
// --echo-parsed) and the six results follow the file's own columns.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "byte_sink.h"
#include "catalogue_options.h"
#include "column_map.h"
#include "csv_writer.h"
#include "inventory.h"

// Names of the columns of the figures as read.
extern const char* const kParsedColumnNames[kFigureCount];

// Written in the price column of a totals row.
constexpr std::string_view kTotalsRowName = "Total";

// How the rows of a run are written: its options and, for CSV, the quoting
// table of its delimiter, made once.
struct RowFormat {
    CatalogueOptions options;
    CsvQuoting quoting;
};

RowFormat MakeRowFormat(const CatalogueOptions& options);

// The header row; JSON Lines has none.
void WriteHeaderRow(ByteSink& sink, const RowFormat& format, const HeaderColumns& header);

// One item's row. `header` is null for a headerless TSV line, whose fields
// are not written back (JSON keys them by the default figure names). A row
// with fewer fields than the header gets empty ones. `verbatim`, when not
// empty, is the fields as read, delimiters and quoting included, and known to
// be exactly what writing them back one by one would give: it is copied whole.
// `results` is ComputeResults(inputs).
void WriteItemRow(ByteSink& sink, const RowFormat& format, const HeaderColumns* header,
                  const std::vector<std::string_view>& fields, std::string_view verbatim,
                  const InventoryInputs& inputs, const InventoryResults& results);

// Where a totals row puts its labels: "Total" in the price column and, for a
// group's row, the group's value in the grouping column.
struct TotalsLabels {
    std::size_t priceColumn = 0;
    bool grouped = false;
    std::size_t groupColumn = 0;
    std::string_view groupName;
};

void WriteTotalsRow(ByteSink& sink, const RowFormat& format, const HeaderColumns* header,
                    const TotalsLabels& labels, const InventoryResults& totals);
