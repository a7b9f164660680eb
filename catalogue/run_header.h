// A catalogue run's header row: the run's header (the main file's columns,
// then each joined report's but its key), the columns of the four figures,
// of the groups and of the keys, and the names the run adds, each checked.
// Runs once a file, so the browser builds it for size.
#pragma once

#include "catalogue_run.h"

inline bool IsGrouped(const CatalogueRun& run) {
    return !run.options.groupBy.empty();
}

inline bool IsJsonOutput(const CatalogueRun& run) {
    return run.options.output == kOutputJsonLines;
}

// Ends the run with the problem described in run.error, on `line` of the
// main input (0: about the whole input). Returns false.
bool FailRun(CatalogueRun& run, RunProblem problem, unsigned long long line);

// The report whose columns hold column `column` of the run's header, or -1
// for the main file's own.
int FindReportOf(const CatalogueRun& run, std::size_t column);

// Reads the header record into the run; false when the run cannot go on
// (run.status and run.error say why).
bool ResolveRunHeader(CatalogueRun& run, const Record& record);
