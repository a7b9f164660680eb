// kemcalc PRICE COST BOUGHT SOLD: the six results of one item, one labelled
// line each, for a person at a terminal.
#pragma once

#include "options.h"
#include "output_buffer.h"

int RunItemMode(const Options& options, OutputBuffer& output);
