// Figures that were not read whole: how many, in how many rows, and the first
// few, for the one summary line at the end of a run; and the message that
// --strict stops with.
#pragma once

#include <cstddef>
#include <string_view>

#include "figure_reading.h"
#include "message_text.h"

// The summary names this many figures; the rest are only counted.
constexpr std::size_t kMisreadsShown = 3;

struct MisreadLog {
    unsigned long long figures = 0;
    unsigned long long rows = 0;
    std::size_t shown = 0;
    MessageText notes;  // the first kMisreadsShown, "; " between them
};

void StartMisreadLog(MisreadLog& log);

// `column: "text" read as value`, the value in the shortest decimal that
// reads back, with a decimal comma when `decimalComma` is set.
void DescribeMisread(MessageText& message, std::string_view column, std::string_view text,
                     double value, bool decimalComma);

// Counts a figure not read whole. `line` 0 stands for the command line: the
// note then names no input and line.
void NoteMisread(MisreadLog& log, std::string_view inputName, unsigned long long line,
                 std::string_view column, std::string_view text, double value, bool decimalComma);

// Counts a row that had at least one such figure.
void NoteMisreadRow(MisreadLog& log);

// The summary line, without a program name in front: "3 figures in 2 rows
// were not read whole: NAME: line 2: price: "12,50" read as 12; ...".
// `countRows` is false when the figures came from the command line. Returns
// false, leaving `summary` empty, when every figure was read whole.
bool DescribeMisreads(const MisreadLog& log, bool countRows, MessageText& summary);

// Notes the figures of one item that `reading` says were not read whole,
// each under its column name in `columns`, and the row if there was one.
// With `strict` the first such figure is not noted: its message, ending
// "(--strict)", goes into `strictMessage` and the result is false.
bool NoteItemMisreads(MisreadLog& log, std::string_view inputName, unsigned long long line,
                      const std::string_view (&columns)[kFigureCount],
                      const std::string_view (&figures)[kFigureCount], const FigureReading& reading,
                      bool decimalComma, bool strict, MessageText& strictMessage);
