#include "run_messages.h"

#include "error_report.h"
#include "run_summary.h"

namespace {

// The option that chose a column, for a message about it.
const char* OptionOf(const RunError& error) {
    switch (error.use) {
        case kUseFigure:
            return "--columns";
        case kUseGroup:
            return "--group-by";
        case kUseKey:
        case kUseJoinedKey:
            break;
    }
    return "--on";
}

// "try --delimiter ';'" and the like, for a header read as one column.
std::string AdviseDelimiter(const RunError& error) {
    const char found = error.delimiterFound;
    if (error.tsv) {
        return found == ',' ? ": try --csv" : ": try --csv --delimiter ';'";
    }
    if (found == '\t') {
        return ": try --tsv --header, or --delimiter $'\\t'";
    }
    return std::string(": try --delimiter '") + found + "'";
}

std::string AdviseColumn(const RunError& error) {
    switch (error.problem) {
        case kProblemMissingColumn:
            if (error.delimiterFound != 0) {
                return AdviseDelimiter(error);
            }
            if (error.use == kUseFigure && !error.chosen) {
                return "; name the four with --columns PRICE,COST,BOUGHT,SOLD";
            }
            return "";
        case kProblemDoubledColumn:
            return std::string(": give its number instead, with ") + OptionOf(error);
        case kProblemSharedName:
            return std::string(": give the number of the one you mean, with ") + OptionOf(error);
        default:
            break;
    }
    return "";
}

std::string Advise(const RunError& error) {
    switch (error.problem) {
        case kProblemUtf16:
        case kProblemUtf32:
            return "; save it as UTF-8 (CSV UTF-8)";
        case kProblemWorkbook:
            return ": save it as CSV (in Excel: Save As, CSV UTF-8) and give kemcalc that file";
        case kProblemNameNotUtf8:
        case kProblemFieldNotUtf8:
            return ": save the file as UTF-8";
        case kProblemNameTaken:
            return ": rename that column, or name the added columns with --prefix TEXT";
        case kProblemNameUsedTwice:
            return ": rename one";
        case kProblemMisread:
        case kProblemEmptyFigure:
            return " (--strict)";
        case kProblemMissingColumn:
        case kProblemDoubledColumn:
        case kProblemSharedName:
            return AdviseColumn(error);
        default:
            break;
    }
    return "";
}

std::string FigureHints(const MisreadSigns& signs) {
    std::string hints;
    if (signs.decimalComma) {
        hints += "; for figures written like 12,50 give --decimal-comma";
    }
    if (signs.thousandsComma) {
        hints += "; for figures written like 1,400.00 give --thousands ,";
    }
    if (!signs.currency.empty()) {
        hints += "; for prices written with " + signs.currency + " give --currency '" +
                 signs.currency + "'";
    }
    return hints;
}

std::string AdviseOnNote(const RunNote& note, const MisreadSigns& signs) {
    switch (note.kind) {
        case kNoteMisreads:
            return FigureHints(signs);
        case kNoteItemsWithoutRow:
            return ": their figures from it read as 0";
        case kNoteUnmatchedRows:
            return ": their keys are not in the main file as written there";
        case kNoteLooksLikeCsv:
            return ": for CSV give --csv instead of --tsv";
        case kNoteLooksLikeHeader:
            return ": give --header to read it as the header";
        case kNoteNotUtf8:
            return ": if the file was saved as Windows-1252 (ANSI), names in it show wrongly; "
                   "save it as CSV UTF-8, or convert it with iconv -f windows-1252 -t utf-8";
        case kNoteEmptyFigures:
            break;
    }
    return "";
}

void PhraseNotes(const std::vector<RunNote>& notes, const MisreadSigns& signs,
                 std::vector<std::string>& lines) {
    for (const RunNote& note : notes) {
        lines.push_back(note.text + AdviseOnNote(note, signs));
    }
}

}  // namespace

void ReportRunError(const RunError& error) {
    MessageText message;
    ClearMessage(message);
    DescribeErrorPlace(error, message);
    if (IsAboutChosenColumn(error)) {
        AppendMessage(message, OptionOf(error));
        AppendMessage(message, ": ");
    }
    DescribeRunError(error, Advise(error), message);
    ReportError(MessageView(message));
}

int ExitStatusOf(const RunError& error) {
    return error.problem == kProblemSharedName ? 2 : 1;
}

void DescribeFigureNotes(const MisreadLog& log, bool countRows, std::vector<std::string>& lines) {
    std::vector<RunNote> notes;
    ListFigureNotes(log, countRows, notes);
    PhraseNotes(notes, log.signs, lines);
}

void DescribeRunNotes(const CatalogueRun& run, std::vector<std::string>& lines) {
    std::vector<RunNote> notes;
    ListRunNotes(run, notes);
    PhraseNotes(notes, run.misreads.signs, lines);
}
