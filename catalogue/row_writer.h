// Writes the rows of a catalogue run: the header row, one row per item and
// the totals rows, as CSV records, tab-separated lines or JSON Lines. Every
// input column passes through in place (a joined report's columns after the
// file's own); the figures used (with --echo-parsed), the six results and
// the two of a target return follow them.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "byte_sink.h"
#include "catalogue_options.h"
#include "column_map.h"
#include "csv_writer.h"
#include "figures_used.h"
#include "inventory.h"
#include "result_cells.h"

// Names of the columns of the figures used, before the run's prefix.
extern const char* const kParsedColumnNames[kFigureCount];

// Written in the price column of a totals row.
constexpr std::string_view kTotalsRowName = "Total";

// The names of everything a run adds, each with the run's prefix: the
// columns of the figures used, of the results and of a target return, and
// the keys that mark a JSON totals row ("Row": "Totals", "Group": its group).
struct AddedNames {
    std::string parsed[kFigureCount];
    std::string results[kResultCount];
    std::string target[kTargetCells];
    std::string row;
    std::string group;
};

// How the rows of a run are written: its options, the quoting table of its
// delimiter, its cells and its added names, made once.
struct RowFormat {
    CatalogueOptions options;
    CsvQuoting quoting;
    CellForm cells;
    AddedNames names;
};

RowFormat MakeRowFormat(const CatalogueOptions& options);

// The names the run adds to a header row or to JSON objects, in order.
void ListAddedNames(const RowFormat& format, std::vector<std::string_view>& names);

// The header row; JSON Lines has none.
void WriteHeaderRow(ByteSink& sink, const RowFormat& format, const HeaderColumns& header);

struct ItemRow {
    // Null for a headerless TSV line, whose fields are not written back (JSON
    // keys them by the default figure names).
    const HeaderColumns* header = nullptr;
    // The row's fields; a row with fewer than the header gets empty ones.
    const std::vector<std::string_view>* fields = nullptr;
    // When not empty, the first `verbatimFields` fields as read, delimiters
    // and quoting included, and known to be exactly what writing them back
    // one by one would give: copied whole.
    std::string_view verbatim;
    std::size_t verbatimFields = 0;
    const InventoryInputs* used = nullptr;      // the figures the results are worked out from
    const InventoryResults* results = nullptr;  // ComputeResults(*used)
    const TargetOrder* target = nullptr;        // null without a target return
};

void WriteItemRow(ByteSink& sink, const RowFormat& format, const ItemRow& row);

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
