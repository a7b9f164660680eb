// The catalogue view's words for what the catalogue library reports: its
// facts, with the page's own controls as the way out. The page never shows
// a command-line option: it has none.
#pragma once

#include <string>

#include "catalogue_run.h"
#include "run_error.h"

// "NAME: line N: what is wrong, and which control settles it".
std::string PhrasePageError(const RunError& error);

// The lines about a finished run: figures not read whole (and how to read
// them), empty figures, the reports' matches, lines that are not UTF-8.
std::string PhrasePageNotes(const CatalogueRun& run);
