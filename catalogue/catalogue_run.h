// One pass over a catalogue: bytes in, rows out. The caller pushes the input
// in chunks of any size (kemcalc from a file, the browser from a dropped
// File) and gives a sink for the output; the run keeps only the current line
// or record, the header, the totals and the groups, so memory does not grow
// with the length of the catalogue.
//
//   CatalogueRun run;
//   StartCatalogueRun(run, options, "prices.csv", sink);
//   while (more bytes && FeedCatalogue(run, bytes, count) == kRunGoing) {}
//   status = FinishCatalogue(run);  // after the last chunk, unless a feed failed
//
// Then run.error says what stopped a run that failed with kRunBadData, and
// DescribeMisreads(run.misreads, true, summary) gives the line about figures
// that were not read whole, for every run.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "byte_sink.h"
#include "catalogue_options.h"
#include "catalogue_totals.h"
#include "column_map.h"
#include "csv_record.h"
#include "figure_reading.h"
#include "group_totals.h"
#include "line_splitter.h"
#include "message_text.h"
#include "misread_log.h"
#include "row_writer.h"

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
    const InventoryInputs* inputs;    // the four figures as read; null for the header
    const InventoryResults* results;  // ComputeResults(*inputs), worked out once; null likewise
};

using RowWatcher = void (*)(void* context, const WrittenRow& row);

struct RunError {
    unsigned long long line = 0;  // 0 when the message is about the whole input
    MessageText message;
};

struct CatalogueRun {
    CatalogueOptions options;
    RowFormat format;
    std::string_view inputName;
    ByteSink* sink = nullptr;
    RunStatus status = kRunGoing;

    LineSplitter lines;
    CsvRecord record;
    std::vector<std::string_view> fields;  // the current TSV line's fields

    bool headerRead = false;
    HeaderColumns header;
    std::size_t figureColumn[kFigureCount] = {};
    std::size_t groupColumn = 0;

    RewrittenFigures rewritten;
    CatalogueTotals totals;
    GroupTotals groups;
    MisreadLog misreads;
    RunError error;

    RowWatcher watcher = nullptr;  // told of every header and item row written, when set
    void* watcherContext = nullptr;
};

// `inputName` names the input in messages ("standard input", a file name)
// and must outlive the run; so must the texts inside `options`.
void StartCatalogueRun(CatalogueRun& run, const CatalogueOptions& options,
                       std::string_view inputName, ByteSink& sink);

// Has `watcher` told of each header and item row once it is in the sink;
// call after StartCatalogueRun, which clears it.
void WatchCatalogueRows(CatalogueRun& run, RowWatcher watcher, void* context);

// Reads the next chunk of input; the bytes are not used after the call.
RunStatus FeedCatalogue(CatalogueRun& run, const char* bytes, std::size_t count);

// Ends the input: the last line, then the totals rows. Flushes the sink.
RunStatus FinishCatalogue(CatalogueRun& run);
