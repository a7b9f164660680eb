// kemcalc --tsv and --csv: a catalogue file, and the reports joined to it,
// through the catalogue reader, its rows to standard output and its
// problems to standard error.
#pragma once

#include <string>
#include <vector>

#include "file_sink.h"
#include "options.h"

// Returns the exit status; `notes` gets the lines about figures that were
// not read whole or empty, the reports' matches and the like, for the
// caller to print last.
int RunStreamMode(const Options& options, FileSink& output, std::vector<std::string>& notes);
