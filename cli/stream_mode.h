// kemcalc --tsv and --csv: a catalogue file through the catalogue reader,
// its rows to standard output and its problems to standard error.
#pragma once

#include "file_sink.h"
#include "message_text.h"
#include "options.h"

// Returns the exit status; `summary` gets the line about figures that were
// not read whole, empty when there were none, for the caller to print last.
int RunStreamMode(const Options& options, FileSink& output, MessageText& summary);
