#include "catalogue_messages.h"

#include "misread_log.h"
#include "run_summary.h"

namespace {

// The page's controls, as their labels name them (catalogue.html).
constexpr char kColumnsControl[] = "Columns";
constexpr char kGroupControl[] = "Totals per group of";
constexpr char kKeyControl[] = "Key";
constexpr char kDelimiterControl[] = "Delimiter";
constexpr char kDecimalCommaControl[] = "Figures written with a decimal comma";
constexpr char kThousandsControl[] = "Figures written with thousands commas";
constexpr char kCurrencyControl[] = "Currency";

const char* ControlOf(const RunError& error) {
    switch (error.use) {
        case kUseFigure:
            return kColumnsControl;
        case kUseGroup:
            return kGroupControl;
        case kUseKey:
        case kUseJoinedKey:
            break;
    }
    return kKeyControl;
}

const char* DelimiterChoice(char delimiter) {
    switch (delimiter) {
        case ';':
            return "Semicolon ;";
        case '\t':
            return "Tab";
        default:
            break;
    }
    return "Comma ,";
}

std::string AdviseColumn(const RunError& error) {
    switch (error.problem) {
        case kProblemMissingColumn:
            if (error.delimiterFound != 0) {
                return std::string(": choose \"") + DelimiterChoice(error.delimiterFound) +
                       "\" under " + kDelimiterControl;
            }
            if (error.use == kUseFigure && !error.chosen) {
                return std::string("; choose the four under ") + kColumnsControl;
            }
            return "";
        case kProblemDoubledColumn:
        case kProblemSharedName:
            return std::string(": choose the one you mean by its number under ") + ControlOf(error);
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
            return ": save it as CSV (in Excel: Save As, CSV UTF-8) and open that file here";
        case kProblemNameTaken:
            return ": rename that column in the file";
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
        hints +=
            std::string("; for figures written like 12,50 tick \"") + kDecimalCommaControl + "\"";
    }
    if (signs.thousandsComma) {
        hints +=
            std::string("; for figures written like 1,400.00 tick \"") + kThousandsControl + "\"";
    }
    if (!signs.currency.empty()) {
        hints += "; for prices written with " + signs.currency + " enter " + signs.currency +
                 " under " + kCurrencyControl;
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
        case kNoteNotUtf8:
            return ": names in them may show wrongly; if the file was saved as Windows-1252 "
                   "(ANSI), save it again as CSV UTF-8";
        case kNoteEmptyFigures:
        case kNoteLooksLikeCsv:
        case kNoteLooksLikeHeader:
            break;
    }
    return "";
}

}  // namespace

std::string PhrasePageError(const RunError& error) {
    MessageText message;
    ClearMessage(message);
    DescribeErrorPlace(error, message);
    if (IsAboutChosenColumn(error)) {
        AppendMessage(message, ControlOf(error));
        AppendMessage(message, ": ");
    }
    DescribeRunError(error, Advise(error), message);
    return std::string(MessageView(message));
}

std::string PhrasePageNotes(const CatalogueRun& run) {
    std::vector<RunNote> notes;
    ListRunNotes(run, notes);
    std::string lines;
    for (const RunNote& note : notes) {
        lines += lines.empty() ? "" : "\n";
        lines += note.text + AdviseOnNote(note, run.misreads.signs);
    }
    return lines;
}
