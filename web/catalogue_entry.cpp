// The catalogue library's entry points for the browser's catalogue view. A
// worker writes each chunk of a dropped file into the input buffer and feeds
// it; the run writes exactly what kemcalc --csv writes, and after each call
// the worker takes the output bytes and, for every item row, where the row
// ends in the output, its line and the six figures it sorts by.
//
// One run at a time: the worker owns this module.
#include <emscripten/emscripten.h>

#include <cmath>
#include <cstddef>
#include <limits>
#include <string>
#include <vector>

#include "catalogue_run.h"

namespace {

// Per item row, in rowValues: where it ends in the output, its line, then
// one sort key per result column in ResultField order.
constexpr std::size_t kRowEnd = 0;
constexpr std::size_t kRowLine = 1;
constexpr std::size_t kRowKeys = 2;
constexpr std::size_t kRowValues = kRowKeys + kResultCount;

// Texts the run's options point into; the worker fills them before a run.
enum OptionText { kInputNameText, kColumnsText, kGroupByText, kOptionTextCount };

// Enough of a file's start to hold its header record in any case: the
// longest record, a byte order mark and a CR LF.
constexpr std::size_t kHeaderPrefix = kMaxRecordLength + kByteOrderMarkRoom + 2;

constexpr double kInfinity = std::numeric_limits<double>::infinity();

struct CatalogueSession {
    std::string optionTexts[kOptionTextCount];
    ByteSink sink;
    CatalogueRun run;
    std::vector<char> input;
    // Bytes the sink handed out since the worker last took them, and how
    // many it took before: their sum and the sink's unflushed bytes are the
    // output's length so far.
    std::vector<char> output;
    double outputTaken = 0;
    std::vector<double> rowValues;
    std::vector<unsigned char> rowBands;  // the ResultKind of each item row's return on inventory
    double headerEnd = 0;
    double lastRowEnd = 0;  // where the items end once the run is over
    std::string text;       // the text asked for last
};

CatalogueSession session;

bool KeepOutput(void* context, const char* bytes, std::size_t count) {
    std::vector<char>& output = static_cast<CatalogueSession*>(context)->output;
    output.insert(output.end(), bytes, bytes + count);
    return true;
}

double OutputLength(const CatalogueSession& s) {
    return s.outputTaken + static_cast<double>(s.output.size() + s.sink.used);
}

// A result's sort key. "Negative" sorts below every shown figure by its
// value; where the value cannot say so (not-a-number, or a negative too
// small for a double that narrowed to -0) it goes just below zero, and a
// not-a-number anywhere goes to the bottom: it comes only from infinite
// inputs, and a sort that kept NaN in place would be no order. The other
// kinds already order by their values: "Infinite" is +infinity at the top,
// ">1000.00%" above 1000, the zero texts 0.
double SortKey(const ResultFigure& figure) {
    if (std::isnan(figure.value)) {
        return -kInfinity;
    }
    if (figure.kind == kResultNegative && !(figure.value < 0.0)) {
        return -std::numeric_limits<double>::denorm_min();
    }
    return figure.value;
}

void NoteItemRow(CatalogueSession& s, const WrittenRow& row, double end) {
    const InventoryResults& results = *row.results;
    double values[kRowValues];
    values[kRowEnd] = end;
    values[kRowLine] = static_cast<double>(row.line);
    for (int field = 0; field < kResultCount; ++field) {
        values[kRowKeys + field] = SortKey(results.figure[field]);
    }
    s.rowValues.insert(s.rowValues.end(), values, values + kRowValues);
    s.rowBands.push_back(static_cast<unsigned char>(results.figure[kReturnOnInventory].kind));
}

void WatchRow(void* context, const WrittenRow& row) {
    CatalogueSession& s = *static_cast<CatalogueSession*>(context);
    const double end = OutputLength(s);
    s.lastRowEnd = end;
    if (row.kind == kHeaderRowWritten) {
        s.headerEnd = end;
    } else {
        NoteItemRow(s, row, end);
    }
}

CatalogueOptions MakeOptions(char delimiter, bool decimalComma, bool numbers) {
    CatalogueOptions options;
    options.input = kInputCsv;
    options.delimiter = delimiter;
    options.decimalComma = decimalComma;
    options.numbers = numbers;
    // Totals come last, so the output without them is its first part: the
    // view always shows them and the download leaves them out when asked.
    options.totals = true;
    options.columns = session.optionTexts[kColumnsText];
    options.groupBy = session.optionTexts[kGroupByText];
    return options;
}

// Reads as much of the input buffer as needed for the header: `ended` says
// the buffer holds the whole file.
void ReadHeaderOnly(CatalogueRun& run, ByteSink& sink, char delimiter, std::size_t count,
                    bool ended) {
    CatalogueOptions options;
    options.delimiter = delimiter;
    StartByteSink(sink, KeepOutput, &session);
    StartCatalogueRun(run, options, session.optionTexts[kInputNameText], sink);
    const std::size_t used = count < kHeaderPrefix ? count : kHeaderPrefix;
    if (FeedCatalogue(run, session.input.data(), used) == kRunGoing && ended && used == count) {
        FinishCatalogue(run);
    }
}

const char* KeepText(const std::string& text) {
    session.text = text;
    return session.text.c_str();
}

const char* KeepText(std::string_view text) {
    return KeepText(std::string(text));
}

bool IsGroup(int group) {
    return group >= 0 && static_cast<std::size_t>(group) < session.run.groups.names.size();
}

}  // namespace

extern "C" {

// Where the worker writes an option's UTF-8 text (0 the input's name, 1 the
// four columns as for --columns, 2 the group column as for --group-by),
// `size` bytes long; the texts must stay until the next run starts.
EMSCRIPTEN_KEEPALIVE char* kemcat_option_text(int which, int size) {
    if (which < 0 || which >= kOptionTextCount || size < 0) {
        return nullptr;
    }
    std::string& text = session.optionTexts[which];
    text.assign(static_cast<std::size_t>(size), '\0');
    return text.data();
}

// How many of a file's first bytes the header needs at most.
EMSCRIPTEN_KEEPALIVE int kemcat_header_bytes() {
    return static_cast<int>(kHeaderPrefix);
}

// Where the worker writes the next chunk of input, `size` bytes.
EMSCRIPTEN_KEEPALIVE char* kemcat_input_buffer(int size) {
    session.input.resize(size < 0 ? 0 : static_cast<std::size_t>(size));
    return session.input.data();
}

// The delimiter a CSV file in the input buffer uses, ',' or ';': the one
// that splits the header into more columns, ',' when neither does. The
// buffer holds the file's first `count` bytes, all of it when `ended`.
EMSCRIPTEN_KEEPALIVE int kemcat_detect_delimiter(int count, int ended) {
    const std::size_t used = static_cast<std::size_t>(count < 0 ? 0 : count);
    std::size_t columns[2] = {};
    const char delimiters[2] = {',', ';'};
    for (int i = 0; i < 2; ++i) {
        ReadHeaderOnly(session.run, session.sink, delimiters[i], used, ended != 0);
        columns[i] = session.run.headerRead ? CountColumns(session.run.header) : 0;
    }
    return columns[1] > columns[0] ? ';' : ',';
}

// Reads the header of the file in the input buffer, as kemcalc --csv with
// `delimiter` would: kemcat_status() then says whether it was read or why
// not, and kemcat_column_count() and the functions after it describe it.
EMSCRIPTEN_KEEPALIVE int kemcat_read_header(int count, int ended, int delimiter) {
    ReadHeaderOnly(session.run, session.sink, static_cast<char>(delimiter),
                   static_cast<std::size_t>(count < 0 ? 0 : count), ended != 0);
    return session.run.headerRead ? 1 : 0;
}

// Starts a run with the option texts as they are now; `delimiter` is the
// CSV delimiter, and the flags are --decimal-comma and --numbers. Totals,
// per group with a group column, are always worked out.
EMSCRIPTEN_KEEPALIVE void kemcat_start(int delimiter, int decimalComma, int numbers) {
    session.output.clear();
    session.outputTaken = 0;
    session.rowValues.clear();
    session.rowBands.clear();
    session.headerEnd = 0;
    session.lastRowEnd = 0;
    StartByteSink(session.sink, KeepOutput, &session);
    StartCatalogueRun(session.run,
                      MakeOptions(static_cast<char>(delimiter), decimalComma != 0, numbers != 0),
                      session.optionTexts[kInputNameText], session.sink);
    WatchCatalogueRows(session.run, WatchRow, &session);
}

// Feeds the first `count` bytes of the input buffer; returns the RunStatus.
EMSCRIPTEN_KEEPALIVE int kemcat_feed(int count) {
    return FeedCatalogue(session.run, session.input.data(),
                         static_cast<std::size_t>(count < 0 ? 0 : count));
}

// Ends the input; returns the RunStatus.
EMSCRIPTEN_KEEPALIVE int kemcat_finish() {
    return FinishCatalogue(session.run);
}

EMSCRIPTEN_KEEPALIVE int kemcat_status() {
    return session.run.status;
}

// The output bytes handed out since the worker last took them.
EMSCRIPTEN_KEEPALIVE const char* kemcat_output_data() {
    return session.output.data();
}

EMSCRIPTEN_KEEPALIVE int kemcat_output_size() {
    return static_cast<int>(session.output.size());
}

EMSCRIPTEN_KEEPALIVE void kemcat_output_taken() {
    session.outputTaken += static_cast<double>(session.output.size());
    session.output.clear();
}

// The item rows written since the worker last took them: kemcat_row_values()
// of each row in kemcat_rows_data(), and the ResultKind of each row's return
// on inventory.
EMSCRIPTEN_KEEPALIVE const double* kemcat_rows_data() {
    return session.rowValues.data();
}

EMSCRIPTEN_KEEPALIVE const unsigned char* kemcat_row_bands() {
    return session.rowBands.data();
}

EMSCRIPTEN_KEEPALIVE int kemcat_rows_count() {
    return static_cast<int>(session.rowBands.size());
}

EMSCRIPTEN_KEEPALIVE int kemcat_row_values() {
    return static_cast<int>(kRowValues);
}

EMSCRIPTEN_KEEPALIVE void kemcat_rows_taken() {
    session.rowValues.clear();
    session.rowBands.clear();
}

// Where the header row ends in the output, and where the last item row ends:
// the totals rows, when any, follow it.
EMSCRIPTEN_KEEPALIVE double kemcat_header_end() {
    return session.headerEnd;
}

EMSCRIPTEN_KEEPALIVE double kemcat_items_end() {
    return session.lastRowEnd;
}

// The texts below are kept until the next one is asked for; each returns its
// bytes, and kemcat_text_size() their number.
EMSCRIPTEN_KEEPALIVE int kemcat_text_size() {
    return static_cast<int>(session.text.size());
}

// What stopped a run that could not be answered, as kemcalc words it after
// its own name: "NAME: line N: message", or "NAME: message" for the whole
// input; empty when nothing did.
EMSCRIPTEN_KEEPALIVE const char* kemcat_error_text() {
    const CatalogueRun& run = session.run;
    if (run.status != kRunBadData) {
        return KeepText(std::string_view());
    }
    MessageText where;
    ClearMessage(where);
    AppendMessage(where, run.inputName);
    if (run.error.line != 0) {
        AppendMessage(where, ": line ");
        AppendMessageNumber(where, run.error.line);
    }
    AppendMessage(where, ": ");
    return KeepText(std::string(MessageView(where)) + std::string(MessageView(run.error.message)));
}

// The line about figures that were not read whole; empty when all were.
EMSCRIPTEN_KEEPALIVE const char* kemcat_misread_text() {
    MessageText summary;
    DescribeMisreads(session.run.misreads, true, summary);
    return KeepText(MessageView(summary));
}

// The columns of the header read last; 0 before one is read.
EMSCRIPTEN_KEEPALIVE int kemcat_column_count() {
    return session.run.headerRead ? static_cast<int>(CountColumns(session.run.header)) : 0;
}

EMSCRIPTEN_KEEPALIVE const char* kemcat_column_name(int column) {
    if (column < 0 || column >= kemcat_column_count()) {
        return KeepText(std::string_view());
    }
    return KeepText(GetColumnName(session.run.header, static_cast<std::size_t>(column)));
}

// The 0-based column that kemcalc takes by default for figure 0 (price),
// 1 (cost), 2 (bought) or 3 (sold); -1 when no column or more than one has
// its name.
EMSCRIPTEN_KEEPALIVE int kemcat_default_column(int figure) {
    if (figure < 0 || figure >= static_cast<int>(kFigureCount) || kemcat_column_count() == 0) {
        return -1;
    }
    ColumnRef ref;
    ref.name = kFigureNames[figure];
    std::size_t index = 0;
    MessageText unused;
    if (!ResolveColumn(session.run.header, ref, std::string_view(), session.run.options, index,
                       unused)) {
        return -1;
    }
    return static_cast<int>(index);
}

// The groups of a finished run with a group column, in order of first
// appearance: their names, and the figures of their totals rows.
EMSCRIPTEN_KEEPALIVE int kemcat_group_count() {
    return static_cast<int>(session.run.groups.names.size());
}

EMSCRIPTEN_KEEPALIVE const char* kemcat_group_name(int group) {
    return KeepText(IsGroup(group) ? std::string_view(session.run.groups.names[group])
                                   : std::string_view());
}

// The ResultKind of the group's return on inventory, and its figure in
// `value`: 0 return on inventory, 1 average inventory.
EMSCRIPTEN_KEEPALIVE int kemcat_group_band(int group) {
    if (!IsGroup(group)) {
        return kResultZero;
    }
    return ReadTotals(session.run.groups.totals[group]).figure[kReturnOnInventory].kind;
}

EMSCRIPTEN_KEEPALIVE double kemcat_group_figure(int group, int which) {
    if (!IsGroup(group)) {
        return 0.0;
    }
    const InventoryResults totals = ReadTotals(session.run.groups.totals[group]);
    return totals.figure[which == 0 ? kReturnOnInventory : kAverageInventory].value;
}
}
