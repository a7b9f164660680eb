// One pass over a catalogue: bytes in, rows out. The caller pushes the input
// in chunks of any size (kemcalc from a file, the browser from a dropped
// File) and gives a sink for the output; the run keeps only the current line
// or record, the header, the totals and the groups, so memory does not grow
// with the length of the catalogue. Reports joined to it (sales by item,
// purchases) are read whole first, into join tables.
//
//   CatalogueRun run;
//   StartCatalogueRun(run, options, "prices.csv", sink);
//   JoinReport(run, salesTable);  // for each of options.joins, in order
//   while (more bytes && FeedCatalogue(run, bytes, count) == kRunGoing) {}
//   status = FinishCatalogue(run);  // after the last chunk, unless a feed failed
//
// Then run.error says what stopped a run that failed with kRunBadData, and
// DescribeMisreads(run.misreads, true, summary) gives the line about figures
// that were not read whole, for every run; run.notes and the joins' counts
// what a front end may hint about.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "byte_sink.h"
#include "catalogue_options.h"
#include "catalogue_totals.h"
#include "column_map.h"
#include "figure_reading.h"
#include "figures_used.h"
#include "group_totals.h"
#include "join_table.h"
#include "misread_log.h"
#include "record_reader.h"
#include "row_writer.h"
#include "run_error.h"

enum RunStatus {
    kRunGoing,        // feed the next chunk
    kRunDone,         // every row answered and written to the sink
    kRunBadData,      // the input cannot be answered: see run.error; rows before it are written
    kRunWriteFailed,  // the sink's writer failed
};

// A row the run has just written, for a front end that shows the rows as
// well as writing them: the browser's table finds each row's bytes in the
// output by the sink's byte count at each call, and sorts by the figures.
enum WrittenRowKind { kHeaderRowWritten, kItemRowWritten };

struct WrittenRow {
    WrittenRowKind kind;
    unsigned long long line;          // where the row's record starts in the input
    const InventoryInputs* perMonth;  // the figures per month, before any change; null
                                      // for the header
    const InventoryResults* results;  // worked out from the figures used; null likewise
    std::string_view group;           // the row's value in the group column
};

using RowWatcher = void (*)(void* context, const WrittenRow& row);

// What a front end may hint about: signs that the input was read in the
// wrong mode, or is not UTF-8.
struct RunNotes {
    bool looksLikeCsv = false;     // headerless TSV whose first line holds "," or ";" and no tab
    bool looksLikeHeader = false;  // headerless TSV whose first line names its columns
    unsigned long long notUtf8Lines = 0;
    unsigned long long firstNotUtf8Line = 0;
};

// A report joined to the run.
struct JoinedReport {
    JoinTable* table = nullptr;
    std::size_t mainKey = 0;      // the key's column in the main file
    std::size_t firstColumn = 0;  // where the report's columns start in the run's header
    unsigned long long itemsWithoutRow = 0;
};

struct CatalogueRun {
    CatalogueOptions options;
    RowFormat format;
    std::string_view inputName;
    ByteSink* sink = nullptr;
    RunStatus status = kRunGoing;
    bool stopAfterHeader = false;  // read the header and stop, as a front end's first look

    RecordReader reader;
    bool headerRead = false;
    // The main file's columns, then each report's columns but its key.
    HeaderColumns header;
    std::size_t mainColumns = 0;
    std::size_t figureColumn[kFigureCount] = {};
    std::size_t groupColumn = 0;
    bool changesFigures = false;
    FigureRules rules;  // how the options say figures are written
    std::size_t joinCount = 0;
    JoinedReport joins[kMaxJoins];
    std::vector<std::string_view> row;  // the current row's fields with its reports'
    bool markWritten = false;

    RewrittenFigures rewritten;
    CatalogueTotals totals;
    GroupTotals groups;
    MisreadLog misreads;
    RunNotes notes;
    RunError error;

    RowWatcher watcher = nullptr;  // told of every header and item row written, when set
    void* watcherContext = nullptr;
};

// `inputName` names the input in messages ("standard input", a file name)
// and must outlive the run; so must the texts inside `options`.
void StartCatalogueRun(CatalogueRun& run, const CatalogueOptions& options,
                       std::string_view inputName, ByteSink& sink);

// Joins the next report of options.joins: `table` has been read whole
// (FinishJoinTable) and must outlive the run. Call after StartCatalogueRun,
// once for each report, in order.
void JoinReport(CatalogueRun& run, JoinTable& table);

// Has `watcher` told of each header and item row once it is in the sink;
// call after StartCatalogueRun, which clears it.
void WatchCatalogueRows(CatalogueRun& run, RowWatcher watcher, void* context);

// Reads the next chunk of input; the bytes are not used after the call.
RunStatus FeedCatalogue(CatalogueRun& run, const char* bytes, std::size_t count);

// Ends the input: the last line, then the totals rows. Flushes the sink.
RunStatus FinishCatalogue(CatalogueRun& run);
