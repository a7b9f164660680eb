#include "misread_log.h"

#include "column_map.h"
#include "number_text.h"
#include "result_cells.h"
#include "shortest_decimal.h"

namespace {

// A figure's text is shown up to this many bytes; a column name too.
constexpr std::size_t kShownTextLimit = 40;

// The figures in the line about empty ones, one and many.
const char* const kFigureNouns[kFigureCount][2] = {
    {" empty price", " empty prices"},
    {" empty cost", " empty costs"},
    {" empty bought count", " empty bought counts"},
    {" empty sold count", " empty sold counts"},
};

void AppendCount(MessageText& message, unsigned long long count, std::string_view one,
                 std::string_view many) {
    AppendMessageNumber(message, count);
    AppendMessage(message, count == 1 ? one : many);
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::size_t CountDigitsFrom(std::string_view text, std::size_t i) {
    std::size_t count = 0;
    while (i + count < text.size() && IsDigit(text[i + count])) {
        ++count;
    }
    return count;
}

// A figure with commas between digits: one comma and other than three
// digits after it ("12,50", "1.299,5") looks written with a decimal comma;
// commas each followed by exactly three digits, then the end or a point
// ("1,400", "$1,400.00"), look like thousands groups. A list such as
// "10,8,50,5" looks like neither.
void NoteCommaSigns(std::string_view text, MisreadSigns& signs) {
    text = TrimBlanks(text);
    std::size_t commas = 0;
    bool groups = true;
    std::size_t lastDigits = 0;
    for (std::size_t at = text.find(','); at != std::string_view::npos;
         at = text.find(',', at + 1)) {
        if (at == 0 || !IsDigit(text[at - 1])) {
            return;
        }
        ++commas;
        lastDigits = CountDigitsFrom(text, at + 1);
        const std::size_t next = at + 1 + lastDigits;
        groups = groups && lastDigits == 3 &&
                 (next == text.size() || text[next] == '.' || text[next] == ',');
    }
    if (commas == 0 || lastDigits == 0) {
        return;
    }
    if (groups) {
        signs.thousandsComma = true;
    } else if (commas == 1) {
        signs.decimalComma = true;
    }
}

// The text of a price or cost around its number, when it is no number, no
// blank and no "$": "€" in "12,50 €", "EUR" in "EUR 12.50".
bool IsCurrencyByte(char c) {
    return !IsDigit(c) && c != '-' && c != '+' && c != '.' && c != ',' && c != '$' &&
           !IsAmountBlank(c);
}

// What a currency looks like: a sign beyond ASCII (€, £, ¥, zł) or a code of
// three capital letters (EUR, GBP); "12a" or "12 pcs" are no prices.
bool LooksLikeCurrency(std::string_view text) {
    bool beyondAscii = false;
    bool capitals = text.size() == 3;
    for (char c : text) {
        beyondAscii = beyondAscii || static_cast<unsigned char>(c) >= 0x80;
        capitals = capitals && c >= 'A' && c <= 'Z';
    }
    return (beyondAscii && text.size() <= 8) || capitals;
}

void NoteCurrencySign(std::string_view text, MisreadSigns& signs) {
    if (!signs.currency.empty()) {
        return;
    }
    text = TrimBlanks(text);
    std::size_t start = 0;
    while (start < text.size() && IsCurrencyByte(text[start])) {
        ++start;
    }
    std::size_t end = text.size();
    while (end > start && IsCurrencyByte(text[end - 1])) {
        --end;
    }
    std::string_view candidate = start > 0 ? text.substr(0, start) : text.substr(end);
    const std::string_view number = TrimBlanks(text.substr(start, end - start));
    if ((start > 0) == (end < text.size()) || number.empty() || !IsDigit(number.back()) ||
        !IsCurrencyText(candidate) || !LooksLikeCurrency(candidate)) {
        return;
    }
    signs.currency.assign(candidate.data(), candidate.size());
}

void NoteSigns(std::string_view text, std::size_t figure, const FigureRules& rules,
               MisreadSigns& signs) {
    if (!rules.decimalComma && !rules.thousandsComma) {
        NoteCommaSigns(text, signs);
    }
    if (IsMoneyFigure(figure) && rules.currency.empty()) {
        NoteCurrencySign(text, signs);
    }
}

void NoteMisread(MisreadLog& log, const FigurePlace& place, std::string_view column,
                 std::string_view text, double value, bool decimalComma) {
    ++log.figures;
    if (log.shown == kMisreadsShown) {
        return;
    }
    AppendMessage(log.notes, log.shown == 0 ? "" : "; ");
    if (place.line != 0) {
        AppendMessage(log.notes, place.inputName);
        AppendMessage(log.notes, ": line ");
        AppendMessageNumber(log.notes, place.line);
        AppendMessage(log.notes, ": ");
    }
    DescribeMisread(log.notes, column, text, value, decimalComma);
    ++log.shown;
}

void NoteEmpty(MisreadLog& log, const FigurePlace& place, std::size_t figure,
               std::string_view column) {
    bool first = true;
    for (unsigned long long count : log.empty) {
        first = first && count == 0;
    }
    ++log.empty[figure];
    if (!first) {
        return;
    }
    if (place.line != 0) {
        AppendMessage(log.firstEmpty, place.inputName);
        AppendMessage(log.firstEmpty, ": line ");
        AppendMessageNumber(log.firstEmpty, place.line);
        AppendMessage(log.firstEmpty, ": ");
    }
    AppendMessageEscaped(log.firstEmpty, TrimBlanks(column), kShownTextLimit);
}

void SetFigureError(RunProblem problem, const FigurePlace& place, std::size_t figure,
                    std::string_view text, double value, bool decimalComma, RunError& error) {
    error.problem = problem;
    error.figure = figure;
    error.name.assign(place.columns[figure].data(), place.columns[figure].size());
    error.text.assign(text.data(), text.size());
    error.value = value;
    error.decimalComma = decimalComma;
}

}  // namespace

void StartMisreadLog(MisreadLog& log) {
    log.figures = 0;
    log.rows = 0;
    log.shown = 0;
    ClearMessage(log.notes);
    log.signs = MisreadSigns();
    for (unsigned long long& count : log.empty) {
        count = 0;
    }
    ClearMessage(log.firstEmpty);
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

bool DescribeEmptyFigures(const MisreadLog& log, MessageText& summary) {
    ClearMessage(summary);
    std::size_t kinds = 0;
    for (unsigned long long count : log.empty) {
        kinds += count != 0 ? 1 : 0;
    }
    if (kinds == 0) {
        return false;
    }
    std::size_t listed = 0;
    for (std::size_t figure = 0; figure < kFigureCount; ++figure) {
        if (log.empty[figure] == 0) {
            continue;
        }
        ++listed;
        if (listed > 1) {
            AppendMessage(summary, listed == kinds ? " and " : ", ");
        }
        AppendCount(summary, log.empty[figure], kFigureNouns[figure][0], kFigureNouns[figure][1]);
    }
    AppendMessage(summary, " read as 0; the first: ");
    AppendMessage(summary, MessageView(log.firstEmpty));
    return true;
}

bool NoteItemFigures(MisreadLog& log, const FigurePlace& place,
                     const std::string_view (&figures)[kFigureCount], const FigureReading& reading,
                     const bool (&counted)[kFigureCount], const FigureRules& rules, bool strict,
                     RunError& error) {
    const double values[kFigureCount] = {reading.inputs.price, reading.inputs.cost,
                                         reading.inputs.buyPerMonth, reading.inputs.sellPerMonth};
    bool noted = false;
    for (std::size_t i = 0; i < kFigureCount; ++i) {
        if (!counted[i] || (reading.readWhole[i] && !reading.empty[i])) {
            continue;
        }
        const RunProblem problem = reading.empty[i] ? kProblemEmptyFigure : kProblemMisread;
        if (strict) {
            SetFigureError(problem, place, i, figures[i], values[i], rules.decimalComma, error);
            return false;
        }
        if (problem == kProblemEmptyFigure) {
            NoteEmpty(log, place, i, place.columns[i]);
            continue;
        }
        NoteMisread(log, place, place.columns[i], figures[i], values[i], rules.decimalComma);
        NoteSigns(figures[i], i, rules, log.signs);
        noted = true;
    }
    if (noted) {
        ++log.rows;
    }
    return true;
}
