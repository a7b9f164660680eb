// kemcalc --tsv: one line of four tab-separated figures in, one line of six
// tab-separated result texts out, line for line.
#pragma once

#include "line_reader.h"
#include "options.h"
#include "output_buffer.h"

// Returns the exit status. Every failure has been reported on stderr except
// a failed write, which the caller reports once the output is closed.
int RunTsvMode(const Options& options, LineReader& input, const char* inputName,
               OutputBuffer& output);
