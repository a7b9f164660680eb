// The facts a run gathers beyond its rows, as a list of notes for the lines
// that follow it: figures not read whole or empty, how the reports matched,
// signs of a wrong mode, lines that are not UTF-8. Each note is worded for
// any front end; each front end adds its own advice by the note's kind.
#pragma once

#include <string>
#include <vector>

#include "catalogue_run.h"
#include "misread_log.h"

enum RunNoteKind {
    kNoteMisreads,         // "3 figures in 2 rows were not read whole: ..."
    kNoteEmptyFigures,     // "3 empty costs read as 0; the first: ..."
    kNoteItemsWithoutRow,  // "120 items had no row in sales.csv"
    kNoteUnmatchedRows,    // "5 rows of sales.csv matched no item"
    kNoteLooksLikeCsv,     // a headerless TSV whose first line is a CSV line
    kNoteLooksLikeHeader,  // a headerless TSV whose first line names columns
    kNoteNotUtf8,          // "3 lines of shop.csv are not UTF-8 text; ..."
};

struct RunNote {
    RunNoteKind kind;
    std::string text;
};

// The notes on the figures of `log`; `countRows` is false for figures from
// a command line.
void ListFigureNotes(const MisreadLog& log, bool countRows, std::vector<RunNote>& notes);

// Those, then the run's other notes.
void ListRunNotes(const CatalogueRun& run, std::vector<RunNote>& notes);
