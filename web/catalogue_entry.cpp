// The catalogue library's entry points for the browser's catalogue view. A
// worker writes each chunk of a dropped file into the input buffer and feeds
// it; the run writes exactly what kemcalc --csv writes with the same
// options, and after each call the worker takes the output bytes and, for
// every item row, where the row ends in the output, its line, the six
// figures it sorts by and its figures per month (for what-if totals).
// Reports joined to the file are read whole first, a chunk at a time too.
//
// One run at a time: the worker owns this module.
#include <emscripten/emscripten.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "catalogue_messages.h"
#include "catalogue_run.h"
#include "what_if.h"

namespace {

// Per item row, in rowValues: where it ends in the output, its line, one
// sort key per result column in ResultField order, then its four figures
// per month, price, cost, bought and sold.
constexpr std::size_t kRowEnd = 0;
constexpr std::size_t kRowLine = 1;
constexpr std::size_t kRowKeys = 2;
constexpr std::size_t kRowFigures = kRowKeys + kResultCount;
constexpr std::size_t kRowValues = kRowFigures + kFigureCount;

// Texts the run's options point into; the worker fills them before a run.
enum OptionText {
    kInputNameText,
    kColumnsText,
    kGroupByText,
    kCurrencyText,
    kAdjustGroupText,
    kJoinTexts,  // then for each report: its name, the main key, its own key
    kOptionTextCount = kJoinTexts + 3 * kMaxJoins,
};

// The numbers of a run's options, set one by one before it starts.
enum OptionNumber {
    kBoughtMonths,
    kSoldMonths,
    kTargetReturn,
    kAdjustPrice,  // then cost, bought, sold: a percentage, or not-a-number for none
    kOptionNumberCount = kAdjustPrice + kFigureCount,
};

// A header row is looked for in this much of a file's start: no export has
// a longer one.
constexpr std::size_t kHeaderPrefix = std::size_t{1} << 20;

constexpr double kInfinity = std::numeric_limits<double>::infinity();

struct CatalogueSession {
    std::string optionTexts[kOptionTextCount];
    double optionNumbers[kOptionNumberCount] = {};
    ByteSink sink;
    CatalogueRun run;
    JoinTable joins[kMaxJoins];
    std::size_t joinCount = 0;
    std::vector<char> input;
    // Bytes the sink handed out since the worker last took them, and how
    // many it took before: their sum and the sink's unflushed bytes are the
    // output's length so far.
    std::vector<char> output;
    double outputTaken = 0;
    std::vector<double> rowValues;
    std::vector<unsigned char> rowBands;   // the ResultKind of each item row's return on inventory
    std::vector<std::uint32_t> rowGroups;  // each item row's group, in order of first appearance
    double headerEnd = 0;
    double lastRowEnd = 0;  // where the items end once the run is over
    std::string text;       // the text asked for last
    // What-if totals: the rows' figures and groups are handed in by the worker.
    std::vector<double> whatIfFigures;
    std::vector<std::uint32_t> whatIfGroups;
    std::vector<double> whatIfReturns;
    std::vector<unsigned char> whatIfBands;
    WhatIfTotals whatIf;
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

// The group's index, in order of first appearance: the run's own group
// totals keep that order.
std::uint32_t FindGroupIndex(const CatalogueRun& run, std::string_view group) {
    const auto found = run.groups.indexOf.find(std::string(group));
    return found != run.groups.indexOf.end() ? static_cast<std::uint32_t>(found->second) : 0;
}

void NoteItemRow(CatalogueSession& s, const WrittenRow& row, double end) {
    const InventoryResults& results = *row.results;
    const InventoryInputs& perMonth = *row.perMonth;
    double values[kRowValues];
    values[kRowEnd] = end;
    values[kRowLine] = static_cast<double>(row.line);
    for (int field = 0; field < kResultCount; ++field) {
        values[kRowKeys + field] = SortKey(results.figure[field]);
    }
    values[kRowFigures + kPriceFigure] = perMonth.price;
    values[kRowFigures + kCostFigure] = perMonth.cost;
    values[kRowFigures + kBoughtFigure] = perMonth.buyPerMonth;
    values[kRowFigures + kSoldFigure] = perMonth.sellPerMonth;
    s.rowValues.insert(s.rowValues.end(), values, values + kRowValues);
    s.rowBands.push_back(static_cast<unsigned char>(results.figure[kReturnOnInventory].kind));
    s.rowGroups.push_back(s.run.options.groupBy.empty() ? 0 : FindGroupIndex(s.run, row.group));
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

const std::string& JoinText(std::size_t join, std::size_t which) {
    return session.optionTexts[kJoinTexts + 3 * join + which];
}

// The options the page shows, as kemcalc --csv would take them.
CatalogueOptions MakeOptions(char delimiter, int flags) {
    CatalogueOptions options;
    options.input = kInputCsv;
    options.delimiter = delimiter;
    options.decimalComma = (flags & 1) != 0;
    options.numbers = (flags & 2) != 0;
    options.thousandsComma = (flags & 4) != 0;
    options.adjustOneGroup = (flags & 8) != 0;
    // Totals come last, so the output without them is its first part: the
    // view always shows them and the download leaves them out when asked.
    options.totals = true;
    options.columns = session.optionTexts[kColumnsText];
    options.groupBy = session.optionTexts[kGroupByText];
    options.currency = session.optionTexts[kCurrencyText];
    options.adjustGroup = session.optionTexts[kAdjustGroupText];
    const double* numbers = session.optionNumbers;
    options.boughtMonths = numbers[kBoughtMonths];
    options.soldMonths = numbers[kSoldMonths];
    options.targetReturn = numbers[kTargetReturn];
    for (std::size_t i = 0; i < kFigureCount; ++i) {
        const double percent = numbers[kAdjustPrice + i];
        options.adjusted[i] = !std::isnan(percent);
        options.adjustPercent[i] = options.adjusted[i] ? percent : 0.0;
    }
    options.joinCount = session.joinCount;
    for (std::size_t j = 0; j < session.joinCount; ++j) {
        options.joins[j] = JoinKeys{JoinText(j, 1), JoinText(j, 2)};
    }
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
    run.stopAfterHeader = true;
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

bool IsJoin(int join) {
    return join >= 0 && static_cast<std::size_t>(join) < kMaxJoins;
}

std::size_t CountOf(int count) {
    return static_cast<std::size_t>(count < 0 ? 0 : count);
}

}  // namespace

extern "C" {

// Where the worker writes an option's UTF-8 text, `size` bytes long: 0 the
// input's name, 1 the four columns as for --columns, 2 the group column as
// for --group-by, 3 the currency, 4 the group the changes are for, then for
// each report its name, the main file's key and its own key (as --on
// MAIN=JOINED). The texts must stay until the next run starts.
EMSCRIPTEN_KEEPALIVE char* kemcat_option_text(int which, int size) {
    if (which < 0 || which >= kOptionTextCount || size < 0) {
        return nullptr;
    }
    std::string& text = session.optionTexts[which];
    text.assign(static_cast<std::size_t>(size), '\0');
    return text.data();
}

// Sets a number of the next run's options: 0 the months bought counts over,
// 1 the months sold counts over (0: per month already), 2 the target return
// (0: none), 3 to 6 the change in percent of price, cost, bought and sold
// (not-a-number: none).
EMSCRIPTEN_KEEPALIVE void kemcat_option_number(int which, double value) {
    if (which >= 0 && which < kOptionNumberCount) {
        session.optionNumbers[which] = value;
    }
}

// How many of a file's first bytes the header needs at most.
EMSCRIPTEN_KEEPALIVE int kemcat_header_bytes() {
    return static_cast<int>(kHeaderPrefix);
}

// Where the worker writes the next chunk of input, `size` bytes.
EMSCRIPTEN_KEEPALIVE char* kemcat_input_buffer(int size) {
    session.input.resize(CountOf(size));
    return session.input.data();
}

// The delimiter a CSV file in the input buffer uses, ',', ';' or a tab: the
// one that splits the header into the most columns, ',' when none does. The
// buffer holds the file's first `count` bytes, all of it when `ended`.
EMSCRIPTEN_KEEPALIVE int kemcat_detect_delimiter(int count, int ended) {
    const char delimiters[] = {',', ';', '\t'};
    char best = ',';
    std::size_t most = 0;
    for (char delimiter : delimiters) {
        ReadHeaderOnly(session.run, session.sink, delimiter, CountOf(count), ended != 0);
        const std::size_t columns = session.run.headerRead ? CountColumns(session.run.header) : 0;
        if (columns > most) {
            best = delimiter;
            most = columns;
        }
    }
    return best;
}

// Reads the header of the file in the input buffer, as kemcalc --csv with
// `delimiter` would: kemcat_status() then says whether it was read or why
// not, and kemcat_column_count() and the functions after it describe it.
EMSCRIPTEN_KEEPALIVE int kemcat_read_header(int count, int ended, int delimiter) {
    ReadHeaderOnly(session.run, session.sink, static_cast<char>(delimiter), CountOf(count),
                   ended != 0);
    return session.run.headerRead ? 1 : 0;
}

// The reports joined to the next run: how many (at most 8; the ones before
// are forgotten).
EMSCRIPTEN_KEEPALIVE void kemcat_join_count(int count) {
    session.joinCount = CountOf(count) < kMaxJoins ? CountOf(count) : kMaxJoins;
}

// Starts reading report `join`, its texts set, with `delimiter`.
EMSCRIPTEN_KEEPALIVE void kemcat_join_start(int join, int delimiter) {
    if (!IsJoin(join)) {
        return;
    }
    CatalogueOptions options;
    options.delimiter = static_cast<char>(delimiter);
    ColumnRef key;
    ParseColumnRef(JoinText(join, 2), key);
    StartJoinTable(session.joins[join], options, JoinText(join, 0), key);
}

// Feeds report `join` the first `count` bytes of the input buffer; 0 once
// it cannot be read on.
EMSCRIPTEN_KEEPALIVE int kemcat_join_feed(int join, int count) {
    return IsJoin(join) && FeedJoinTable(session.joins[join], session.input.data(), CountOf(count))
               ? 1
               : 0;
}

// Ends report `join`; 0 when it could not be read whole
// (kemcat_join_error_text says why).
EMSCRIPTEN_KEEPALIVE int kemcat_join_finish(int join) {
    return IsJoin(join) && FinishJoinTable(session.joins[join]) ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE const char* kemcat_join_error_text(int join) {
    if (!IsJoin(join) || !session.joins[join].failed) {
        return KeepText(std::string_view());
    }
    return KeepText(PhrasePageError(session.joins[join].error));
}

// Starts a run with the option texts and numbers as they are now, joined to
// the reports read. `delimiter` is the CSV delimiter; `flags` or-s 1 a
// decimal comma, 2 plain numbers, 4 thousands commas, 8 changes for one
// group only. Totals, per group with a group column, are always worked out.
EMSCRIPTEN_KEEPALIVE void kemcat_start(int delimiter, int flags) {
    session.output.clear();
    session.outputTaken = 0;
    session.rowValues.clear();
    session.rowBands.clear();
    session.rowGroups.clear();
    session.headerEnd = 0;
    session.lastRowEnd = 0;
    StartByteSink(session.sink, KeepOutput, &session);
    StartCatalogueRun(session.run, MakeOptions(static_cast<char>(delimiter), flags),
                      session.optionTexts[kInputNameText], session.sink);
    for (std::size_t j = 0; j < session.joinCount; ++j) {
        JoinReport(session.run, session.joins[j]);
    }
    WatchCatalogueRows(session.run, WatchRow, &session);
}

// Feeds the first `count` bytes of the input buffer; returns the RunStatus.
EMSCRIPTEN_KEEPALIVE int kemcat_feed(int count) {
    return FeedCatalogue(session.run, session.input.data(), CountOf(count));
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
// of each row in kemcat_rows_data(), the ResultKind of each row's return on
// inventory, and each row's group.
EMSCRIPTEN_KEEPALIVE const double* kemcat_rows_data() {
    return session.rowValues.data();
}

EMSCRIPTEN_KEEPALIVE const unsigned char* kemcat_row_bands() {
    return session.rowBands.data();
}

EMSCRIPTEN_KEEPALIVE const std::uint32_t* kemcat_row_groups() {
    return session.rowGroups.data();
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
    session.rowGroups.clear();
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

// What stopped a run that could not be answered, in the page's words:
// "NAME: line N: message", or "NAME: message" for the whole input; empty
// when nothing did.
EMSCRIPTEN_KEEPALIVE const char* kemcat_error_text() {
    if (session.run.status != kRunBadData) {
        return KeepText(std::string_view());
    }
    return KeepText(PhrasePageError(session.run.error));
}

// The lines about the run: figures not read whole or empty, the reports'
// matches, lines that are not UTF-8; empty when there is nothing to say.
EMSCRIPTEN_KEEPALIVE const char* kemcat_notes_text() {
    return KeepText(PhrasePageNotes(session.run));
}

// For report `join` of the last run: 0 the items that had no row in it, 1
// its rows that matched no item.
EMSCRIPTEN_KEEPALIVE double kemcat_join_matches(int join, int which) {
    if (!IsJoin(join) || static_cast<std::size_t>(join) >= session.run.joinCount) {
        return 0;
    }
    const JoinedReport& report = session.run.joins[join];
    return static_cast<double>(which == 0 ? report.itemsWithoutRow
                                          : CountUnmatchedRows(*report.table));
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
    RunError unused;
    if (!ResolveColumn(session.run.header, ref, session.run.options, index, unused)) {
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

// --- What if ------------------------------------------------------------------

// Room for `count` rows' figures per month (four each) and groups, which the
// worker fills before kemcat_what_if.
EMSCRIPTEN_KEEPALIVE double* kemcat_what_if_figures(int count) {
    session.whatIfFigures.resize(4 * CountOf(count));
    session.whatIfGroups.resize(CountOf(count));
    return session.whatIfFigures.data();
}

EMSCRIPTEN_KEEPALIVE std::uint32_t* kemcat_what_if_groups() {
    return session.whatIfGroups.data();
}

// The totals of the rows handed in, with the changes of the option numbers
// (for the rows of group `group` alone when it is 0 or more), among
// `groupCount` groups (0: none): kemcat_what_if_total then reads them, and
// each row's return on inventory after the change is in
// kemcat_what_if_returns (a sort key) and kemcat_what_if_bands.
EMSCRIPTEN_KEEPALIVE void kemcat_what_if(int group, int groupCount) {
    const std::size_t count = session.whatIfGroups.size();
    WhatIfRows rows;
    rows.perMonth = session.whatIfFigures.data();
    rows.group = groupCount > 0 ? session.whatIfGroups.data() : nullptr;
    rows.count = count;
    rows.groupCount = CountOf(groupCount);
    std::vector<ResultFigure> returns(count);
    ComputeWhatIf(rows, MakeOptions(',', 0), group >= 0, CountOf(group), session.whatIf,
                  returns.data());
    session.whatIfReturns.resize(count);
    session.whatIfBands.resize(count);
    for (std::size_t row = 0; row < count; ++row) {
        session.whatIfReturns[row] = SortKey(returns[row]);
        session.whatIfBands[row] = static_cast<unsigned char>(returns[row].kind);
    }
}

EMSCRIPTEN_KEEPALIVE const double* kemcat_what_if_returns() {
    return session.whatIfReturns.data();
}

EMSCRIPTEN_KEEPALIVE const unsigned char* kemcat_what_if_bands() {
    return session.whatIfBands.data();
}

// A totals figure after the change: of group `group`, or of the whole
// catalogue for -1; `field` a ResultField; its value, and in
// kemcat_what_if_kind its ResultKind.
EMSCRIPTEN_KEEPALIVE double kemcat_what_if_total(int group, int field) {
    const WhatIfTotals& totals = session.whatIf;
    const bool inGroup = group >= 0 && static_cast<std::size_t>(group) < totals.groups.size();
    if (field < 0 || field >= kResultCount) {
        return 0.0;
    }
    return ReadTotals(inGroup ? totals.groups[group] : totals.all).figure[field].value;
}

EMSCRIPTEN_KEEPALIVE int kemcat_what_if_kind(int group, int field) {
    const WhatIfTotals& totals = session.whatIf;
    const bool inGroup = group >= 0 && static_cast<std::size_t>(group) < totals.groups.size();
    if (field < 0 || field >= kResultCount) {
        return kResultNone;
    }
    return ReadTotals(inGroup ? totals.groups[group] : totals.all).figure[field].kind;
}

// The text of a totals figure after the change, as the totals row shows it.
EMSCRIPTEN_KEEPALIVE const char* kemcat_what_if_text(int group, int field) {
    const WhatIfTotals& totals = session.whatIf;
    const bool inGroup = group >= 0 && static_cast<std::size_t>(group) < totals.groups.size();
    if (field < 0 || field >= kResultCount) {
        return KeepText(std::string_view());
    }
    CellTexts texts;
    const ResultCells cells =
        MakeResultCells(ReadTotals(inGroup ? totals.groups[group] : totals.all), nullptr,
                        session.run.format.cells, texts);
    return KeepText(cells.cell[field]);
}
}
