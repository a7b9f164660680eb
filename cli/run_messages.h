// kemcalc's words for what the catalogue library reports: its facts, with
// the option that is the way out, on standard error as "kemcalc: ...".
#pragma once

#include <string>
#include <vector>

#include "catalogue_run.h"
#include "misread_log.h"
#include "run_error.h"

// "kemcalc: NAME: line N: what is wrong, and what to do".
void ReportRunError(const RunError& error);

// The exit status of a run that `error` stopped: 2 when the command line
// must say more (a name two files share), else 1.
int ExitStatusOf(const RunError& error);

// The lines that follow a run, without "kemcalc: ": the figures not read
// whole and how to read them, the empty ones; and for a catalogue run those
// and the reports' matches and the signs of a wrong mode or encoding.
void DescribeFigureNotes(const MisreadLog& log, bool countRows, std::vector<std::string>& lines);
void DescribeRunNotes(const CatalogueRun& run, std::vector<std::string>& lines);
