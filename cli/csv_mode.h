// kemcalc --csv: a catalogue in CSV with the header price,cost,bought,sold,
// written back record for record with the six result columns added.
#pragma once

#include "line_reader.h"
#include "options.h"
#include "output_buffer.h"

// Returns the exit status. Every failure has been reported on stderr except
// a failed write, which the caller reports once the output is closed.
int RunCsvMode(const Options& options, LineReader& input, const char* inputName,
               OutputBuffer& output);
