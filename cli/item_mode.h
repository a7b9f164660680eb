// kemcalc PRICE COST BOUGHT SOLD: the six results of one item, one labelled
// line each, for a person at a terminal.
#pragma once

#include <string>
#include <vector>

#include "byte_sink.h"
#include "options.h"

// Returns the exit status; `notes` gets the line about figures that were
// not read whole, when some were, for the caller to print last.
int RunItemMode(const Options& options, ByteSink& output, std::vector<std::string>& notes);
