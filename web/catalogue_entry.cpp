// The catalogue library's entry points for the browser's catalogue view. A
// worker writes each chunk of a dropped file into the input buffer and feeds
// it; the run writes exactly what kemcalc --csv writes with the same
// options, and after each call the worker takes the output bytes and, for
// every item row, where the row ends in the output, its line and the six
// figures it sorts by. Reports joined to the file are read whole first, a
// chunk at a time too, and kept for the runs after.
//
// A run that keeps its rows for what-if also keeps, here, each item row's
// figures per month, its group and its return on inventory: totals under
// other changes are worked out from them without reading the file again.
//
// One run at a time: the worker owns this module.
#include <emscripten/emscripten.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "catalogue_messages.h"
#include "catalogue_run.h"
#include "option_numbers.h"
#include "what_if.h"

namespace {

// Per item row, one value in each of rowValues: where it ends in the
// output, its line, then one sort key per result column in ResultField
// order. A value to an array, so that the worker takes each array whole.
constexpr std::size_t kRowEnd = 0;
constexpr std::size_t kRowLine = 1;
constexpr std::size_t kRowKeys = 2;
constexpr std::size_t kRowValues = kRowKeys + kResultCount;

// Texts the run's options point into; the worker fills them before a run.
enum OptionText {
    kInputNameText,
    kColumnsText,
    kGroupByText,
    kCurrencyText,
    // The numbers, as typed: read here by kemcalc's rules for the numbers
    // of its options, so that the page and kemcalc read the same text alike.
    kBoughtMonthsText,
    kSoldMonthsText,
    kTargetReturnText,
    kAdjustTexts,  // then cost, bought, sold: a percentage, empty for none
    kJoinTexts = kAdjustTexts + kFigureCount,  // then for each report: its name,
                                               // the main key, its own key
    kOptionTextCount = kJoinTexts + 3 * kMaxJoins,
};

// The numbers read from their texts by kemcat_read_options.
enum OptionNumber {
    kBoughtMonths,
    kSoldMonths,
    kTargetReturn,
    kAdjustPrice,  // then cost, bought, sold: a percentage, or not-a-number for none
    kOptionNumberCount = kAdjustPrice + kFigureCount,
};

// kemcat_read_options' answer has bit n set when number n cannot be read,
// and this one when the currency cannot name one.
constexpr int kBadCurrency = 1 << kOptionNumberCount;

// The flags of kemcat_start.
constexpr int kFlagDecimalComma = 1;
constexpr int kFlagNumbers = 2;
constexpr int kFlagThousandsComma = 4;
constexpr int kFlagKeepRows = 8;  // keep each row's figures for what-if

// A header row is looked for in this much of a file's start: no export has
// a longer one.
constexpr std::size_t kHeaderPrefix = std::size_t{1} << 20;

constexpr double kInfinity = std::numeric_limits<double>::infinity();

// What a run that keeps its rows keeps of each for what-if.
struct WhatIfRowsKept {
    std::vector<double> perMonth;  // four a row: price, cost, bought, sold
    std::vector<std::uint32_t> groups;
    std::vector<double> returnKeys;  // each row's return on inventory, as sorted
    std::vector<std::string> groupNames;
    bool grouped = false;
    std::string groupKey;  // reused to look a group up without allocating
};

// The last what-if worked out: its changes, the totals, and each row's
// return on inventory after them.
struct WhatIfAnswer {
    CatalogueOptions changes;
    bool oneGroup = false;
    std::size_t group = 0;
    WhatIfTotals totals;
    std::vector<double> changeKeys;  // the return after the change less the return before
    std::vector<ResultFigure> returns;
    InventoryResults row;   // of the row asked for last
    TargetOrder rowTarget;  // its order for the target return, when one is set
};

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
    std::vector<double> rowValues[kRowValues];
    std::vector<unsigned char> rowBands;  // the ResultKind of each item row's return on inventory
    double headerEnd = 0;
    double lastRowEnd = 0;  // where the items end once the run is over
    std::string text;       // the text asked for last
    bool keepRows = false;  // the run going keeps its rows for what-if
    WhatIfRowsKept kept;
    WhatIfAnswer whatIf;
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

// The row's group, in order of first appearance as the run's own group
// totals keep them. The run is told of a row before it adds the row to its
// group's totals, so a group it does not know yet is the next one.
std::uint32_t FindGroupIndex(const CatalogueRun& run, std::string_view group,
                             std::string& lookupKey) {
    const GroupTotals& groups = run.groups;
    if (!groups.names.empty() && groups.names[groups.lastGroup] == group) {
        return static_cast<std::uint32_t>(groups.lastGroup);
    }
    lookupKey.assign(group.data(), group.size());
    const auto found = groups.indexOf.find(lookupKey);
    return static_cast<std::uint32_t>(found != groups.indexOf.end() ? found->second
                                                                    : groups.names.size());
}

void KeepRowForWhatIf(CatalogueSession& s, const WrittenRow& row, double returnKey) {
    const InventoryInputs& perMonth = *row.perMonth;
    const double figures[kFigureCount] = {perMonth.price, perMonth.cost, perMonth.buyPerMonth,
                                          perMonth.sellPerMonth};
    s.kept.perMonth.insert(s.kept.perMonth.end(), figures, figures + kFigureCount);
    s.kept.groups.push_back(s.kept.grouped ? FindGroupIndex(s.run, row.group, s.kept.groupKey) : 0);
    s.kept.returnKeys.push_back(returnKey);
}

void NoteItemRow(CatalogueSession& s, const WrittenRow& row, double end) {
    const InventoryResults& results = *row.results;
    s.rowValues[kRowEnd].push_back(end);
    s.rowValues[kRowLine].push_back(static_cast<double>(row.line));
    for (int field = 0; field < kResultCount; ++field) {
        s.rowValues[kRowKeys + field].push_back(SortKey(results.figure[field]));
    }
    s.rowBands.push_back(static_cast<unsigned char>(results.figure[kReturnOnInventory].kind));
    if (s.keepRows) {
        KeepRowForWhatIf(s, row, s.rowValues[kRowKeys + kReturnOnInventory].back());
    }
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

void ClearRows(CatalogueSession& s) {
    for (std::vector<double>& values : s.rowValues) {
        values.clear();
    }
    s.rowBands.clear();
}

// A run that kept its rows has ended: its groups are the what-if's.
void NoteRunEnd(CatalogueSession& s) {
    if (s.keepRows && s.run.status != kRunGoing) {
        s.kept.groupNames = s.run.groups.names;
        s.keepRows = false;
    }
}

std::string& JoinText(std::size_t join, std::size_t which) {
    return session.optionTexts[kJoinTexts + 3 * join + which];
}

// Reads the option number `which` from its text; `none` when the text is
// empty. Months and the target return must be above 0.
bool ReadNumberText(int which, double none) {
    const std::string& text = session.optionTexts[kBoughtMonthsText + which];
    double& number = session.optionNumbers[which];
    if (TrimBlanks(text).empty()) {
        number = none;
        return true;
    }
    const bool isMonths = which == kBoughtMonths || which == kSoldMonths;
    const bool read =
        isMonths ? ReadOptionNumber(text, number) : ReadOptionPercent(text, false, number);
    return read && (which >= kAdjustPrice || number > 0.0);
}

void JoinReportsRead(CatalogueRun& run) {
    for (std::size_t j = 0; j < session.joinCount; ++j) {
        JoinReport(run, session.joins[j]);
    }
}

void SetJoinOptions(CatalogueOptions& options) {
    options.joinCount = session.joinCount;
    for (std::size_t j = 0; j < session.joinCount; ++j) {
        options.joins[j] = JoinKeys{JoinText(j, 1), JoinText(j, 2)};
    }
}

// The options the page shows, as kemcalc --csv would take them; the numbers
// as kemcat_read_options read them last.
CatalogueOptions MakeOptions(char delimiter, int flags) {
    CatalogueOptions options;
    options.input = kInputCsv;
    options.delimiter = delimiter;
    options.decimalComma = (flags & kFlagDecimalComma) != 0;
    options.numbers = (flags & kFlagNumbers) != 0;
    options.thousandsComma = (flags & kFlagThousandsComma) != 0;
    // Totals come last, so the output without them is its first part: the
    // view always shows them and the download leaves them out when asked.
    options.totals = true;
    options.columns = session.optionTexts[kColumnsText];
    options.groupBy = session.optionTexts[kGroupByText];
    options.currency = session.optionTexts[kCurrencyText];
    const double* numbers = session.optionNumbers;
    options.boughtMonths = numbers[kBoughtMonths];
    options.soldMonths = numbers[kSoldMonths];
    options.targetReturn = numbers[kTargetReturn];
    for (std::size_t i = 0; i < kFigureCount; ++i) {
        const double percent = numbers[kAdjustPrice + i];
        options.adjusted[i] = !std::isnan(percent);
        options.adjustPercent[i] = options.adjusted[i] ? percent : 0.0;
    }
    SetJoinOptions(options);
    return options;
}

// Reads as much of the input buffer as needed for the header: `ended` says
// the buffer holds the whole file. With `joined`, the reports read are
// joined to it, so that its columns are those of a run.
void ReadHeaderOnly(char delimiter, std::size_t count, bool ended, bool joined) {
    CatalogueRun& run = session.run;
    CatalogueOptions options;
    options.delimiter = delimiter;
    if (joined) {
        SetJoinOptions(options);
    }
    StartByteSink(session.sink, KeepOutput, &session);
    StartCatalogueRun(run, options, session.optionTexts[kInputNameText], session.sink);
    if (joined) {
        JoinReportsRead(run);
    }
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

bool IsKeptRow(int row) {
    return row >= 0 && static_cast<std::size_t>(row) < session.kept.groups.size();
}

std::size_t CountOf(int count) {
    return static_cast<std::size_t>(count < 0 ? 0 : count);
}

// The totals of the last what-if: of group `group`, or of the whole
// catalogue for -1.
InventoryResults ReadWhatIfTotals(int group) {
    const WhatIfTotals& totals = session.whatIf.totals;
    const bool inGroup = group >= 0 && static_cast<std::size_t>(group) < totals.groups.size();
    return ReadTotals(inGroup ? totals.groups[group] : totals.all);
}

// The text of cell `field` of `results`, as the run writes it: a result,
// or after them a cell of `target` when it is not null.
const char* KeepResultText(const InventoryResults& results, const TargetOrder* target, int field) {
    CellTexts texts;
    const ResultCells cells = MakeResultCells(results, target, session.run.format.cells, texts);
    if (field < 0 || static_cast<std::size_t>(field) >= cells.count) {
        return KeepText(std::string_view());
    }
    return KeepText(cells.cell[field]);
}

// How far the change moved a row's return on inventory, as a sort key: the
// key after less the key before. Where both are the same infinity, or a
// not-a-number came in, the return did not move in any way that sorts.
double ChangeKey(double before, double after) {
    const double change = after - before;
    return std::isnan(change) ? 0.0 : change;
}

}  // namespace

extern "C" {

// Where the worker writes an option's UTF-8 text, `size` bytes long: 0 the
// input's name, 1 the four columns as for --columns, 2 the group column as
// for --group-by, 3 the currency, 4 and 5 the months bought and sold count
// over, 6 the target return, 7 to 10 the change in percent of price, cost,
// bought and sold (each empty for none), then for each report its name, the
// main file's key and its own key (as --on MAIN=JOINED). The texts must stay
// until the next run starts.
EMSCRIPTEN_KEEPALIVE char* kemcat_option_text(int which, int size) {
    if (which < 0 || which >= kOptionTextCount || size < 0) {
        return nullptr;
    }
    std::string& text = session.optionTexts[which];
    text.assign(static_cast<std::size_t>(size), '\0');
    return text.data();
}

// Reads the numbers of the option texts, and checks the currency, for the
// next run or what-if. Returns 0, or the bits of the ones that cannot be
// read: 1 << n for number n (0 months bought, 1 months sold, 2 target
// return, 3 to 6 the changes), 1 << 7 for the currency.
EMSCRIPTEN_KEEPALIVE int kemcat_read_options() {
    int bad = 0;
    for (int which = 0; which < kOptionNumberCount; ++which) {
        const double none = which < kAdjustPrice ? 0.0 : std::numeric_limits<double>::quiet_NaN();
        bad |= ReadNumberText(which, none) ? 0 : 1 << which;
    }
    const std::string& currency = session.optionTexts[kCurrencyText];
    if (!currency.empty() && !IsCurrencyText(currency)) {
        bad |= kBadCurrency;
    }
    return bad;
}

// Whether the numbers read last change any figure: a change of 0 % leaves
// every figure as it is.
EMSCRIPTEN_KEEPALIVE int kemcat_changes_figures() {
    for (std::size_t i = 0; i < kFigureCount; ++i) {
        const double percent = session.optionNumbers[kAdjustPrice + i];
        if (!std::isnan(percent) && percent != 0.0) {
            return 1;
        }
    }
    return 0;
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
        ReadHeaderOnly(delimiter, CountOf(count), ended != 0, false);
        const std::size_t columns = session.run.headerRead ? CountColumns(session.run.header) : 0;
        if (columns > most) {
            best = delimiter;
            most = columns;
        }
    }
    return best;
}

// Reads the header of the file in the input buffer, as kemcalc --csv with
// `delimiter` would, with the reports read joined to it when `joined`:
// kemcat_status() then says whether it was read or why not, and
// kemcat_column_count() and the functions after it describe it.
EMSCRIPTEN_KEEPALIVE int kemcat_read_header(int count, int ended, int delimiter, int joined) {
    ReadHeaderOnly(static_cast<char>(delimiter), CountOf(count), ended != 0, joined != 0);
    return session.run.headerRead ? 1 : 0;
}

// The reports joined to the next run and header: how many (at most 8).
EMSCRIPTEN_KEEPALIVE void kemcat_join_count(int count) {
    session.joinCount = CountOf(count) < kMaxJoins ? CountOf(count) : kMaxJoins;
}

// Starts reading report `join`, its texts set, with `delimiter`; what it
// held before is forgotten.
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

// The rows report `join` holds.
EMSCRIPTEN_KEEPALIVE double kemcat_join_rows(int join) {
    return IsJoin(join) ? static_cast<double>(CountJoinedRows(session.joins[join])) : 0.0;
}

// Starts a run with the option texts and numbers as they are now (after
// kemcat_read_options), joined to the reports read. `delimiter` is the CSV
// delimiter; `flags` or-s 1 a decimal comma, 2 plain numbers, 4 thousands
// commas, 8 keep the rows for what-if. `adjustGroup` is the group of the
// last run that kept its rows that the changes are for, or -1 for every
// row. Totals, per group with a group column, are always worked out.
EMSCRIPTEN_KEEPALIVE void kemcat_start(int delimiter, int flags, int adjustGroup) {
    session.output.clear();
    session.outputTaken = 0;
    ClearRows(session);
    session.headerEnd = 0;
    session.lastRowEnd = 0;
    CatalogueOptions options = MakeOptions(static_cast<char>(delimiter), flags);
    if (adjustGroup >= 0 &&
        static_cast<std::size_t>(adjustGroup) < session.kept.groupNames.size()) {
        options.adjustOneGroup = true;
        options.adjustGroup = session.kept.groupNames[adjustGroup];
    }
    session.keepRows = (flags & kFlagKeepRows) != 0;
    if (session.keepRows) {
        session.kept.perMonth.clear();
        session.kept.groups.clear();
        session.kept.returnKeys.clear();
        session.kept.groupNames.clear();
        session.kept.grouped = !options.groupBy.empty();
        session.whatIf = WhatIfAnswer();
    }
    // The reports are kept from run to run: which of their rows an item
    // found is this run's to count.
    for (std::size_t j = 0; j < session.joinCount; ++j) {
        std::vector<bool>& matched = session.joins[j].matched;
        std::fill(matched.begin(), matched.end(), false);
    }
    StartByteSink(session.sink, KeepOutput, &session);
    StartCatalogueRun(session.run, options, session.optionTexts[kInputNameText], session.sink);
    JoinReportsRead(session.run);
    WatchCatalogueRows(session.run, WatchRow, &session);
}

// Feeds the first `count` bytes of the input buffer; returns the RunStatus.
EMSCRIPTEN_KEEPALIVE int kemcat_feed(int count) {
    const int status = FeedCatalogue(session.run, session.input.data(), CountOf(count));
    NoteRunEnd(session);
    return status;
}

// Ends the input; returns the RunStatus.
EMSCRIPTEN_KEEPALIVE int kemcat_finish() {
    const int status = FinishCatalogue(session.run);
    NoteRunEnd(session);
    return status;
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

// The item rows written since the worker last took them: value `which`
// (0 where each ends in the output, 1 its line, 2 to 7 its sort keys) of
// each row, and the ResultKind of each row's return on inventory.
EMSCRIPTEN_KEEPALIVE const double* kemcat_rows_data(int which) {
    return which >= 0 && static_cast<std::size_t>(which) < kRowValues
               ? session.rowValues[which].data()
               : nullptr;
}

EMSCRIPTEN_KEEPALIVE const unsigned char* kemcat_row_bands() {
    return session.rowBands.data();
}

EMSCRIPTEN_KEEPALIVE int kemcat_rows_count() {
    return static_cast<int>(session.rowBands.size());
}

EMSCRIPTEN_KEEPALIVE void kemcat_rows_taken() {
    ClearRows(session);
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
// its rows that matched no item (counted once the run is done).
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
// `value`: 0 return on inventory, 1 average inventory, 2 gross profit.
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
    const ResultField fields[] = {kReturnOnInventory, kAverageInventory, kGrossProfit};
    const InventoryResults totals = ReadTotals(session.run.groups.totals[group]);
    return totals.figure[fields[which >= 0 && which < 3 ? which : 0]].value;
}

// --- What if ------------------------------------------------------------------

// How many rows the last run that kept its rows kept, and its groups.
EMSCRIPTEN_KEEPALIVE int kemcat_kept_rows() {
    return static_cast<int>(session.kept.groups.size());
}

EMSCRIPTEN_KEEPALIVE int kemcat_kept_groups() {
    return session.kept.grouped ? static_cast<int>(session.kept.groupNames.size()) : 0;
}

// Works out the totals of the kept rows again with the changes read last
// (kemcat_read_options), for the rows of group `group` alone when it is 0 or
// more, else for every row. Then kemcat_what_if_total and the functions
// after it read the totals, and kemcat_what_if_changes holds how far each
// row's return on inventory moved, as a sort key.
EMSCRIPTEN_KEEPALIVE void kemcat_what_if(int group) {
    WhatIfRowsKept& kept = session.kept;
    WhatIfAnswer& answer = session.whatIf;
    const std::size_t count = kept.groups.size();
    WhatIfRows rows;
    rows.perMonth = kept.perMonth.data();
    rows.group = kept.grouped ? kept.groups.data() : nullptr;
    rows.count = count;
    rows.groupCount = kept.grouped ? kept.groupNames.size() : 0;
    answer.changes = MakeOptions(',', 0);
    // The kept figures are per month already: only the changes are left.
    answer.changes.boughtMonths = 0.0;
    answer.changes.soldMonths = 0.0;
    answer.oneGroup = group >= 0;
    answer.group = CountOf(group);
    answer.returns.resize(count);
    ComputeWhatIf(rows, answer.changes, answer.oneGroup, answer.group, answer.totals,
                  answer.returns.data());
    answer.changeKeys.resize(count);
    for (std::size_t row = 0; row < count; ++row) {
        answer.changeKeys[row] = ChangeKey(kept.returnKeys[row], SortKey(answer.returns[row]));
    }
}

EMSCRIPTEN_KEEPALIVE const double* kemcat_what_if_changes() {
    return session.whatIf.changeKeys.data();
}

// A totals figure after the change: of group `group`, or of the whole
// catalogue for -1; `field` a ResultField. Its value, its ResultKind, and its
// text as the totals row shows it.
EMSCRIPTEN_KEEPALIVE double kemcat_what_if_total(int group, int field) {
    return field >= 0 && field < kResultCount ? ReadWhatIfTotals(group).figure[field].value : 0.0;
}

EMSCRIPTEN_KEEPALIVE int kemcat_what_if_kind(int group, int field) {
    return field >= 0 && field < kResultCount ? ReadWhatIfTotals(group).figure[field].kind
                                              : kResultNone;
}

EMSCRIPTEN_KEEPALIVE const char* kemcat_what_if_text(int group, int field) {
    return KeepResultText(ReadWhatIfTotals(group), nullptr, field);
}

// Works out kept row `row` with the last what-if's changes (when they are
// for it): kemcat_what_if_row_value, _kind and _text then read its results,
// and with a target return its order and months supply after them.
EMSCRIPTEN_KEEPALIVE void kemcat_what_if_row(int row) {
    WhatIfAnswer& answer = session.whatIf;
    if (!IsKeptRow(row)) {
        answer.row = InventoryResults();
        return;
    }
    const WhatIfRowsKept& kept = session.kept;
    const double* figures = &kept.perMonth[kFigureCount * static_cast<std::size_t>(row)];
    const InventoryInputs perMonth{figures[0], figures[1], figures[2], figures[3]};
    const bool adjust = !answer.oneGroup || (kept.grouped && kept.groups[row] == answer.group);
    const InventoryInputs used = UseFigures(perMonth, answer.changes, adjust);
    answer.row = ComputeResults(used);
    if (answer.changes.targetReturn != 0.0) {
        answer.rowTarget = ComputeTargetOrder(used, answer.row, answer.changes.targetReturn);
    }
}

EMSCRIPTEN_KEEPALIVE double kemcat_what_if_row_value(int field) {
    return field >= 0 && field < kResultCount ? session.whatIf.row.figure[field].value : 0.0;
}

EMSCRIPTEN_KEEPALIVE int kemcat_what_if_row_kind(int field) {
    return field >= 0 && field < kResultCount ? session.whatIf.row.figure[field].kind : kResultNone;
}

// Its text as the run writes it: `field` a ResultField, or after them the
// target's two cells.
EMSCRIPTEN_KEEPALIVE const char* kemcat_what_if_row_text(int field) {
    const WhatIfAnswer& answer = session.whatIf;
    const bool target = answer.changes.targetReturn != 0.0;
    return KeepResultText(answer.row, target ? &answer.rowTarget : nullptr, field);
}
}
