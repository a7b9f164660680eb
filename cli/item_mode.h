// kemcalc PRICE COST BOUGHT SOLD: the six results of one item, one labelled
// line each, for a person at a terminal.
#pragma once

#include "byte_sink.h"
#include "message_text.h"
#include "options.h"

// Returns the exit status; `summary` gets the line about figures that were
// not read whole, empty when there were none, for the caller to print last.
int RunItemMode(const Options& options, ByteSink& output, MessageText& summary);
