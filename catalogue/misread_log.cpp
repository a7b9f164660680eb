#include "misread_log.h"

#include "column_map.h"
#include "result_cells.h"
#include "shortest_decimal.h"

namespace {

// A figure's text is shown up to this many bytes; a column name too.
constexpr std::size_t kShownTextLimit = 40;

void AppendCount(MessageText& message, unsigned long long count, std::string_view one,
                 std::string_view many) {
    AppendMessageNumber(message, count);
    AppendMessage(message, count == 1 ? one : many);
}

}  // namespace

void StartMisreadLog(MisreadLog& log) {
    log.figures = 0;
    log.rows = 0;
    log.shown = 0;
    ClearMessage(log.notes);
}

void DescribeMisread(MessageText& message, std::string_view column, std::string_view text,
                     double value, bool decimalComma) {
    AppendMessageEscaped(message, TrimBlanks(column), kShownTextLimit);
    AppendMessage(message, ": ");
    AppendMessageQuoted(message, text, kShownTextLimit);
    AppendMessage(message, " read as ");
    char number[kShortestDecimalSize];
    const std::size_t length = FormatShortestDecimal(value, number);
    if (decimalComma) {
        UseDecimalComma(number, length);
    }
    AppendMessage(message, std::string_view(number, length));
}

void NoteMisread(MisreadLog& log, std::string_view inputName, unsigned long long line,
                 std::string_view column, std::string_view text, double value, bool decimalComma) {
    ++log.figures;
    if (log.shown == kMisreadsShown) {
        return;
    }
    AppendMessage(log.notes, log.shown == 0 ? "" : "; ");
    if (line != 0) {
        AppendMessage(log.notes, inputName);
        AppendMessage(log.notes, ": line ");
        AppendMessageNumber(log.notes, line);
        AppendMessage(log.notes, ": ");
    }
    DescribeMisread(log.notes, column, text, value, decimalComma);
    ++log.shown;
}

void NoteMisreadRow(MisreadLog& log) {
    ++log.rows;
}

bool DescribeMisreads(const MisreadLog& log, bool countRows, MessageText& summary) {
    ClearMessage(summary);
    if (log.figures == 0) {
        return false;
    }
    AppendCount(summary, log.figures, " figure", " figures");
    if (countRows) {
        AppendMessage(summary, " in ");
        AppendCount(summary, log.rows, " row", " rows");
    }
    AppendMessage(summary, log.figures == 1 ? " was" : " were");
    AppendMessage(summary, " not read whole: ");
    AppendMessage(summary, MessageView(log.notes));
    if (log.figures > log.shown) {
        AppendMessage(summary, "; and ");
        AppendMessageNumber(summary, log.figures - log.shown);
        AppendMessage(summary, " more");
    }
    return true;
}

bool NoteItemMisreads(MisreadLog& log, std::string_view inputName, unsigned long long line,
                      const std::string_view (&columns)[kFigureCount],
                      const std::string_view (&figures)[kFigureCount], const FigureReading& reading,
                      bool decimalComma, bool strict, MessageText& strictMessage) {
    const double values[kFigureCount] = {reading.inputs.price, reading.inputs.cost,
                                         reading.inputs.buyPerMonth, reading.inputs.sellPerMonth};
    bool noted = false;
    for (std::size_t i = 0; i < kFigureCount; ++i) {
        if (reading.readWhole[i]) {
            continue;
        }
        if (strict) {
            ClearMessage(strictMessage);
            DescribeMisread(strictMessage, columns[i], figures[i], values[i], decimalComma);
            AppendMessage(strictMessage, ", not the whole figure (--strict)");
            return false;
        }
        NoteMisread(log, inputName, line, columns[i], figures[i], values[i], decimalComma);
        noted = true;
    }
    if (noted) {
        NoteMisreadRow(log);
    }
    return true;
}
