// What stopped a catalogue run, as data: a code, where it happened and the
// names and numbers involved. The library words the facts
// (DescribeRunError); each front end adds its own advice in its own terms,
// since only it knows whether the way out is an option (kemcalc) or a
// control (the browser's catalogue view).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "message_text.h"

enum RunProblem {
    kProblemNone,
    // The input as a whole.
    kProblemEmptyInput,   // no header row
    kProblemUtf16,        // a UTF-16 byte order mark
    kProblemUtf32,        // a UTF-32 byte order mark
    kProblemWorkbook,     // a spreadsheet's own file (xlsx, ods, xls), not text
    kProblemLineTooLong,  // `count` is the limit
    // One record.
    kProblemRecordTooLong,   // `count` is the limit
    kProblemTextAfterQuote,  // "12"3 in field `field`
    kProblemUnclosedQuote,   // field `field` opened on `line` and never closed
    kProblemFieldCount,      // `count` fields where the header has `expected`
    kProblemFieldNotUtf8,    // JSON output: field `column` (`name`) is not UTF-8
    // Columns.
    kProblemBadColumnList,  // the four figure columns are not four references
    kProblemBadColumnRef,   // a column reference is empty or 0
    kProblemMissingColumn,  // no column named `name`
    kProblemDoubledColumn,  // `name` is column `column` and column `otherColumn`
    kProblemNoSuchColumn,   // column number `column`; the header has `count`
    kProblemSharedName,     // `name` is column `column` of files[0], `otherColumn` of files[1]
    kProblemNameNotUtf8,    // JSON output: the name of column `column` is not UTF-8
    kProblemNameTaken,      // an added column's name `name` is already column `column`
    kProblemNameUsedTwice,  // JSON output: `name` is column `column` and `otherColumn`
    // Figures.
    kProblemMisread,      // figure `figure` of column `name`: `text` read as `value`
    kProblemEmptyFigure,  // figure `figure` of column `name` is empty
    // Joined files.
    kProblemDuplicateKey,    // key `text` on `line` and on `otherLine` of `inputName`
    kProblemEmptyKey,        // a joined row with no key, on `line`
    kProblemReportTooLarge,  // a joined file beyond what a report may hold
};

// What a column was looked for.
enum ColumnUse {
    kUseFigure,     // one of the four figures: `figure`
    kUseGroup,      // the column of the group totals
    kUseKey,        // the main file's key of a join
    kUseJoinedKey,  // a joined file's key
};

struct RunError {
    RunProblem problem = kProblemNone;
    std::string inputName;        // the file the problem is in
    unsigned long long line = 0;  // 0 when it is about the whole input
    unsigned long long otherLine = 0;
    std::size_t field = 0;   // 1-based field of a record
    std::size_t column = 0;  // 1-based column
    std::size_t otherColumn = 0;
    std::size_t count = 0;
    std::size_t expected = 0;
    ColumnUse use = kUseFigure;
    std::size_t figure = 0;     // FigureIndex, for kUseFigure and the figure problems
    bool chosen = false;        // the column was named by the user, not by default
    bool tsv = false;           // the input is tab-separated lines, not CSV
    std::string name;           // the column name concerned
    std::string files[2];       // the files of `column` and `otherColumn`, when two
    std::string text;           // the figure or key text concerned
    double value = 0.0;         // a figure as read
    bool decimalComma = false;  // `value` is written with a decimal comma
    // The header seems split at the wrong character: the delimiter it holds
    // instead ('\t' for tabs), 0 when it does not.
    char delimiterFound = 0;
    char delimiterUsed = ',';
    MessageText columns;  // the header's columns, quoted, for listing
};

void ClearRunError(RunError& error);

// Whether the problem is with a column the user chose, or one looked for
// apart from the four figures: a front end then names the option or control
// it was chosen with before the facts ("--columns: ", "Columns: ").
bool IsAboutChosenColumn(const RunError& error);

// The facts of `error`, without a file name or line, with the front end's
// `advice` (possibly empty) where it reads best: after the facts it answers
// and before any list of columns, or last. "no column "sold" in the header;
// its columns are "sku", "price"" + advice.
void DescribeRunError(const RunError& error, std::string_view advice, MessageText& message);

// "NAME: line N: " or "NAME: " for a problem about the whole input.
void DescribeErrorPlace(const RunError& error, MessageText& message);
