// Figures that were not read whole, and figures that were empty: how many,
// in how many rows, and the first few, for the summary lines at the end of a
// run; the signs of how the file writes its figures, for a front end's hint;
// and the error that a strict run stops with.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "figure_reading.h"
#include "message_text.h"
#include "run_error.h"

// The summary names this many figures; the rest are only counted.
constexpr std::size_t kMisreadsShown = 3;

// What the figures not read whole look like, for a hint on how to read them.
struct MisreadSigns {
    bool decimalComma = false;    // 12,50 or 1.299,50
    bool thousandsComma = false;  // 1,400 or $1,400.00
    std::string currency;         // the first text around a price or cost that
                                  // looks like a currency: "€", "EUR"
};

struct MisreadLog {
    unsigned long long figures = 0;
    unsigned long long rows = 0;
    std::size_t shown = 0;
    MessageText notes;  // the first kMisreadsShown, "; " between them
    MisreadSigns signs;
    // Empty figures, by FigureIndex, and where the first was.
    unsigned long long empty[kFigureCount] = {};
    MessageText firstEmpty;
};

void StartMisreadLog(MisreadLog& log);

// `column: "text" read as value`, the value in the shortest decimal that
// reads back, with a decimal comma when `decimalComma` is set.
void DescribeMisread(MessageText& message, std::string_view column, std::string_view text,
                     double value, bool decimalComma);

// The summary line, without a program name in front: "3 figures in 2 rows
// were not read whole: NAME: line 2: price: "12,50" read as 12; ...".
// `countRows` is false when the figures came from the command line. Returns
// false, leaving `summary` empty, when every figure was read whole.
bool DescribeMisreads(const MisreadLog& log, bool countRows, MessageText& summary);

// The line about empty figures: "3 empty costs and 1 empty price read as 0;
// the first: NAME: line 4: Cost". Returns false, leaving `summary` empty,
// when no figure was empty.
bool DescribeEmptyFigures(const MisreadLog& log, MessageText& summary);

// Where the figures of one item came from, for the notes and the error.
struct FigurePlace {
    std::string_view inputName;
    unsigned long long line = 0;                // 0: the command line; the notes then name no input
    const std::string_view* columns = nullptr;  // kFigureCount column names
};

// Notes the figures of one item that `reading` says were empty or not read
// whole, each under its column name. `counted` says which figures count:
// one taken from a joined report's missing row is 0 on purpose. With
// `strict` the first such figure is not noted: `error` says which, and the
// result is false.
bool NoteItemFigures(MisreadLog& log, const FigurePlace& place,
                     const std::string_view (&figures)[kFigureCount], const FigureReading& reading,
                     const bool (&counted)[kFigureCount], const FigureRules& rules, bool strict,
                     RunError& error);
