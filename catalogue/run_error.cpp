#include "run_error.h"

#include "column_map.h"
#include "misread_log.h"

namespace {

// A name or key is shown up to this many bytes.
constexpr std::size_t kQuotedLimit = 40;

void AppendCount(MessageText& message, std::size_t count, std::string_view one,
                 std::string_view many) {
    AppendMessageNumber(message, count);
    AppendMessage(message, count == 1 ? one : many);
}

void AppendDelimiterName(MessageText& message, char delimiter) {
    AppendMessage(message, "'");
    AppendMessage(message, std::string_view(&delimiter, 1));
    AppendMessage(message, "'");
}

// "; the header holds ';' and no ','": why a wanted name was not found.
void AppendDelimiterFact(const RunError& error, MessageText& message) {
    if (error.delimiterFound == 0) {
        return;
    }
    if (error.delimiterFound == '\t') {
        AppendMessage(message, "; the header holds tabs");
        return;
    }
    AppendMessage(message, "; the header holds ");
    AppendDelimiterName(message, error.delimiterFound);
    if (error.tsv) {
        AppendMessage(message, " and no tab");
    } else {
        AppendMessage(message, " and no ");
        AppendDelimiterName(message, error.delimiterUsed);
    }
}

void DescribeColumnProblem(const RunError& error, std::string_view advice, MessageText& message) {
    switch (error.problem) {
        case kProblemMissingColumn:
            AppendMessage(message, "no column ");
            AppendMessageQuoted(message, error.name, kQuotedLimit);
            AppendMessage(message, " in the header; its columns are ");
            AppendMessage(message, MessageView(error.columns));
            AppendDelimiterFact(error, message);
            AppendMessage(message, advice);
            return;
        case kProblemDoubledColumn:
            AppendMessage(message, "more than one column is named ");
            AppendMessageQuoted(message, error.name, kQuotedLimit);
            AppendMessage(message, " (columns ");
            AppendMessageNumber(message, error.column);
            AppendMessage(message, " and ");
            AppendMessageNumber(message, error.otherColumn);
            AppendMessage(message, ")");
            AppendMessage(message, advice);
            AppendMessage(message, "; the header's columns are ");
            AppendMessage(message, MessageView(error.columns));
            return;
        case kProblemNoSuchColumn:
            AppendMessage(message, "there is no column ");
            AppendMessageNumber(message, error.column);
            AppendMessage(message, ": the header has ");
            AppendCount(message, error.count, " column, ", " columns, ");
            AppendMessage(message, MessageView(error.columns));
            AppendMessage(message, advice);
            return;
        case kProblemSharedName:
            // The numbers are of the joined header, as --columns takes them.
            AppendMessage(message, "the name ");
            AppendMessageQuoted(message, error.name, kQuotedLimit);
            AppendMessage(message, " is in ");
            AppendMessage(message, error.files[0]);
            AppendMessage(message, " (column ");
            AppendMessageNumber(message, error.column);
            AppendMessage(message, ") and in ");
            AppendMessage(message, error.files[1]);
            AppendMessage(message, " (column ");
            AppendMessageNumber(message, error.otherColumn);
            AppendMessage(message, ")");
            AppendMessage(message, advice);
            return;
        default:
            break;
    }
}

void DescribeNameProblem(const RunError& error, std::string_view advice, MessageText& message) {
    switch (error.problem) {
        case kProblemNameNotUtf8:
            AppendMessage(message, "the name of column ");
            AppendMessageNumber(message, error.column);
            AppendMessage(message, " is not UTF-8 text, which JSON output needs");
            break;
        case kProblemNameTaken:
            AppendMessage(message, "column ");
            AppendMessageNumber(message, error.column);
            AppendMessage(message, " is named ");
            AppendMessageQuoted(message, error.name, kQuotedLimit);
            AppendMessage(message, ", the name of a column the results add");
            break;
        case kProblemNameUsedTwice:
            AppendMessage(message, "the name ");
            AppendMessageQuoted(message, error.name, kQuotedLimit);
            AppendMessage(message, " is used twice (column ");
            AppendMessageNumber(message, error.column);
            AppendMessage(message, " and column ");
            AppendMessageNumber(message, error.otherColumn);
            AppendMessage(message, "); JSON output needs distinct names");
            break;
        case kProblemFieldNotUtf8:
            AppendMessage(message, "column ");
            AppendMessageNumber(message, error.column);
            if (!error.name.empty()) {
                AppendMessage(message, " (");
                AppendMessageEscaped(message, TrimBlanks(error.name), kQuotedLimit);
                AppendMessage(message, ")");
            }
            AppendMessage(message, " is not UTF-8 text, which JSON output needs");
            break;
        default:
            break;
    }
    AppendMessage(message, advice);
}

void DescribeRecordProblem(const RunError& error, std::string_view advice, MessageText& message) {
    if (error.field != 0) {
        AppendMessage(message, "field ");
        AppendMessageNumber(message, error.field);
        AppendMessage(message, ": ");
    }
    switch (error.problem) {
        case kProblemTextAfterQuote:
            AppendMessage(message, "text after the closing double quote of a field");
            break;
        case kProblemUnclosedQuote:
            AppendMessage(message, "a quoted field is not closed before the end of the input");
            break;
        case kProblemRecordTooLong:
        case kProblemLineTooLong:
            AppendMessage(message, error.problem == kProblemLineTooLong ? "line" : "record");
            AppendMessage(message, " longer than ");
            AppendMessageNumber(message, error.count);
            AppendMessage(message, " bytes");
            break;
        case kProblemFieldCount:
            AppendMessageNumber(message, error.count);
            if (error.tsv) {
                AppendMessage(message, " tab-separated fields, expected at most ");
            } else {
                AppendMessage(message,
                              error.count == 1 ? " field, expected " : " fields, expected ");
            }
            AppendMessageNumber(message, error.expected);
            break;
        default:
            break;
    }
    AppendMessage(message, advice);
}

}  // namespace

bool IsAboutChosenColumn(const RunError& error) {
    switch (error.problem) {
        case kProblemMissingColumn:
        case kProblemDoubledColumn:
        case kProblemNoSuchColumn:
        case kProblemSharedName:
        case kProblemBadColumnRef:
        case kProblemBadColumnList:
            return error.chosen || error.use != kUseFigure;
        default:
            break;
    }
    return false;
}

void ClearRunError(RunError& error) {
    error = RunError();
    ClearMessage(error.columns);
}

void DescribeRunError(const RunError& error, std::string_view advice, MessageText& message) {
    switch (error.problem) {
        case kProblemNone:
            AppendMessage(message, advice);
            return;
        case kProblemEmptyInput:
            AppendMessage(message, "the input is empty: expected the header row");
            break;
        case kProblemUtf16:
        case kProblemUtf32:
            AppendMessage(message, error.problem == kProblemUtf16 ? "the file is UTF-16"
                                                                  : "the file is UTF-32");
            break;
        case kProblemWorkbook:
            AppendMessage(message, "the file is a spreadsheet workbook, not text");
            break;
        case kProblemRecordTooLong:
        case kProblemLineTooLong:
        case kProblemTextAfterQuote:
        case kProblemUnclosedQuote:
        case kProblemFieldCount:
            DescribeRecordProblem(error, advice, message);
            return;
        case kProblemBadColumnList:
            AppendMessage(message, "four columns are needed, price, cost, bought and sold");
            break;
        case kProblemBadColumnRef:
            AppendMessage(message, "a column is named, or numbered from 1");
            break;
        case kProblemMissingColumn:
        case kProblemDoubledColumn:
        case kProblemNoSuchColumn:
        case kProblemSharedName:
            DescribeColumnProblem(error, advice, message);
            return;
        case kProblemNameNotUtf8:
        case kProblemNameTaken:
        case kProblemNameUsedTwice:
        case kProblemFieldNotUtf8:
            DescribeNameProblem(error, advice, message);
            return;
        case kProblemMisread:
            DescribeMisread(message, error.name, error.text, error.value, error.decimalComma);
            AppendMessage(message, ", not the whole figure");
            break;
        case kProblemEmptyFigure:
            AppendMessageEscaped(message, TrimBlanks(error.name), kQuotedLimit);
            AppendMessage(message, " is empty, read as 0");
            break;
        case kProblemDuplicateKey:
            AppendMessage(message, "the key ");
            AppendMessageQuoted(message, error.text, kQuotedLimit);
            AppendMessage(message, " is on line ");
            AppendMessageNumber(message, error.otherLine);
            AppendMessage(message, " too; each key may be on one row only");
            break;
        case kProblemReportTooLarge:
            AppendMessage(message, "the report is larger than a joined file may be (4 GiB)");
            break;
        case kProblemEmptyKey:
            AppendMessage(message, "the key column ");
            AppendMessageQuoted(message, TrimBlanks(error.name), kQuotedLimit);
            AppendMessage(message, " is empty");
            break;
    }
    AppendMessage(message, advice);
}

void DescribeErrorPlace(const RunError& error, MessageText& message) {
    if (error.inputName.empty()) {
        return;  // figures from a command line
    }
    AppendMessage(message, error.inputName);
    if (error.line != 0) {
        AppendMessage(message, ": line ");
        AppendMessageNumber(message, error.line);
    }
    AppendMessage(message, ": ");
}
