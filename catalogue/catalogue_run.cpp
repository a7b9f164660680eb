#include "catalogue_run.h"

#include "json_text.h"
#include "run_header.h"

namespace {

// UTF-8's byte order mark: written back when the input had it, so that a
// spreadsheet opening the output reads its names as UTF-8 too.
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

void TellWatcher(const CatalogueRun& run, const WrittenRow& row) {
    if (run.watcher != nullptr) {
        run.watcher(run.watcherContext, row);
    }
}

bool CheckSink(CatalogueRun& run) {
    if (run.sink->failed) {
        run.status = kRunWriteFailed;
        return false;
    }
    return true;
}

void WriteMarkOnce(CatalogueRun& run) {
    if (run.markWritten) {
        return;
    }
    if (HadUtf8Mark(run.reader) && !IsJsonOutput(run)) {
        AppendText(*run.sink, kUtf8Mark);
    }
    run.markWritten = true;
}

bool ReadHeader(CatalogueRun& run, const Record& record) {
    if (!ResolveRunHeader(run, record)) {
        return false;
    }
    if (run.stopAfterHeader) {
        run.status = kRunDone;
        return false;
    }
    WriteMarkOnce(run);
    WriteHeaderRow(*run.sink, run.format, run.header);
    TellWatcher(run, WrittenRow{kHeaderRowWritten, record.line, nullptr, nullptr, {}});
    return CheckSink(run);
}

// --- Item rows ------------------------------------------------------------------

// A record has as many fields as the header; the empty ones a spreadsheet
// leaves past the last column are dropped. A tab-separated line may end
// early (its missing fields are empty), not run long.
bool CheckFieldCount(CatalogueRun& run, Record& record, std::size_t expected) {
    std::vector<std::string_view>& fields = *record.fields;
    std::size_t count = fields.size();
    if (count > expected) {
        while (count > expected && fields[count - 1].empty()) {
            --count;
        }
        if (count == expected) {
            fields.resize(expected);
            // The line as read has the delimiters of the dropped fields.
            record.verbatim = std::string_view();
        }
    }
    const bool tsv = run.options.input == kInputTsv;
    if (tsv ? count <= expected : count == expected) {
        return true;
    }
    run.error.count = count;
    run.error.expected = expected;
    return FailRun(run, kProblemFieldCount, record.line);
}

std::string_view FieldOrEmpty(const std::vector<std::string_view>& fields, std::size_t index) {
    return index < fields.size() ? fields[index] : std::string_view();
}

std::string_view FigureColumnName(const CatalogueRun& run, std::size_t figure) {
    return HasHeader(run.options) ? GetColumnName(run.header, run.figureColumn[figure])
                                  : std::string_view(kFigureNames[figure]);
}

// The main fields and each report's fields for the row's key; a report
// with no row for it gives empty fields, and `missing` says so.
const std::vector<std::string_view>& JoinReports(CatalogueRun& run,
                                                 const std::vector<std::string_view>& fields,
                                                 bool (&missing)[kMaxJoins]) {
    std::vector<std::string_view>& row = run.row;
    row.assign(fields.begin(), fields.end());
    row.resize(run.mainColumns);
    for (std::size_t j = 0; j < run.joinCount; ++j) {
        JoinedReport& report = run.joins[j];
        JoinTable& table = *report.table;
        const long long found = FindJoinedRow(table, row[report.mainKey]);
        missing[j] = found < 0;
        if (missing[j]) {
            ++report.itemsWithoutRow;
        } else {
            table.matched[static_cast<std::size_t>(found)] = true;
        }
        for (std::size_t c = 0; c < CountColumns(table.header); ++c) {
            if (c != table.keyColumn) {
                row.push_back(missing[j]
                                  ? std::string_view()
                                  : GetJoinedField(table, static_cast<std::size_t>(found), c));
            }
        }
    }
    return row;
}

// A figure from a report's missing row is 0 on purpose (an item missing
// from a sales report sold nothing): it is neither empty nor misread.
void FindCountedFigures(const CatalogueRun& run, const bool (&missing)[kMaxJoins],
                        bool (&counted)[kFigureCount]) {
    for (std::size_t i = 0; i < kFigureCount; ++i) {
        const int report = FindReportOf(run, run.figureColumn[i]);
        counted[i] = report < 0 || !missing[report];
    }
}

// The common case: every figure read whole and none empty.
bool IsReadClean(const FigureReading& reading) {
    return reading.readWhole[0] & reading.readWhole[1] & reading.readWhole[2] &
           reading.readWhole[3] &
           !(reading.empty[0] | reading.empty[1] | reading.empty[2] | reading.empty[3]);
}

bool IsBlankRecord(const std::vector<std::string_view>& fields) {
    for (std::string_view field : fields) {
        if (!TrimBlanks(field).empty()) {
            return false;
        }
    }
    return true;
}

// Notes the figures that were empty or not read whole; under --strict the
// first one ends the run instead. A record of nothing but blanks (a
// spreadsheet's empty row, an empty tab-separated line) is no item with
// empty figures: it shows the start-up texts, as an empty window does.
bool CheckFigures(CatalogueRun& run, const std::string_view (&figures)[kFigureCount],
                  FigureReading& reading, const bool (&counted)[kFigureCount],
                  const FigureRules& rules, const Record& record) {
    bool anyEmpty = false;
    for (std::size_t i = 0; i < kFigureCount; ++i) {
        anyEmpty = anyEmpty || reading.empty[i];
    }
    if (anyEmpty && IsBlankRecord(*record.fields)) {
        return true;
    }
    const unsigned long long line = record.line;
    std::string_view columns[kFigureCount];
    for (std::size_t i = 0; i < kFigureCount; ++i) {
        columns[i] = FigureColumnName(run, i);
    }
    const FigurePlace place{run.inputName, line, columns};
    if (!NoteItemFigures(run.misreads, place, figures, reading, counted, rules, run.options.strict,
                         run.error)) {
        return FailRun(run, run.error.problem, line);
    }
    return true;
}

bool CheckJsonValues(CatalogueRun& run, const std::vector<std::string_view>& fields,
                     unsigned long long line) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (IsUtf8(fields[i])) {
            continue;
        }
        run.error.column = i + 1;
        if (HasHeader(run.options)) {
            run.error.name = std::string(GetColumnName(run.header, i));
        }
        return FailRun(run, kProblemFieldNotUtf8, line);
    }
    return true;
}

bool HasDigit(std::string_view text) {
    for (char c : text) {
        if (c >= '0' && c <= '9') {
            return true;
        }
    }
    return false;
}

// The first line of a headerless tab-separated input, read as figures: one
// field holding commas or semicolons is a CSV line; four fields of words
// without a digit are column names.
void NoteFirstTsvLine(CatalogueRun& run, const std::vector<std::string_view>& fields) {
    if (fields.size() == 1) {
        const std::string_view line = fields[0];
        run.notes.looksLikeCsv =
            line.find(',') != std::string_view::npos || line.find(';') != std::string_view::npos;
        return;
    }
    bool words = fields.size() == kFigureCount;
    for (std::size_t i = 0; words && i < kFigureCount; ++i) {
        words = !TrimBlanks(fields[i]).empty() && !HasDigit(fields[i]);
    }
    run.notes.looksLikeHeader = words;
}

bool IsAdjustedRow(const CatalogueRun& run, const std::vector<std::string_view>& fields) {
    return !run.options.adjustOneGroup ||
           FieldOrEmpty(fields, run.groupColumn) == run.options.adjustGroup;
}

void AddToTotals(CatalogueRun& run, const std::vector<std::string_view>& fields,
                 const InventoryResults& results) {
    AddItemToTotals(run.totals, results);
    if (IsGrouped(run)) {
        AddItemToTotals(FindGroupTotals(run.groups, FieldOrEmpty(fields, run.groupColumn)),
                        results);
    }
}

FigureRules MakeFigureRules(const CatalogueOptions& options) {
    FigureRules rules;
    rules.decimalComma = options.decimalComma;
    rules.thousandsComma = options.thousandsComma;
    rules.currency = options.currency;
    return rules;
}

bool HandleItem(CatalogueRun& run, Record& record) {
    const bool header = HasHeader(run.options);
    if (!CheckFieldCount(run, record, header ? run.mainColumns : kFigureCount)) {
        return false;
    }
    WriteMarkOnce(run);
    bool missing[kMaxJoins] = {};
    const std::vector<std::string_view>& fields =
        run.joinCount == 0 ? *record.fields : JoinReports(run, *record.fields, missing);
    std::string_view figures[kFigureCount];
    for (std::size_t i = 0; i < kFigureCount; ++i) {
        figures[i] = FieldOrEmpty(fields, header ? run.figureColumn[i] : i);
    }
    const FigureRules& rules = run.rules;
    FigureReading reading = ReadFigures(figures, rules, run.rewritten);
    if (!IsReadClean(reading)) {
        bool counted[kFigureCount] = {true, true, true, true};
        if (run.joinCount != 0) {
            FindCountedFigures(run, missing, counted);
        }
        if (!CheckFigures(run, figures, reading, counted, rules, record)) {
            return false;
        }
    }
    if (!header && record.line == 1) {
        NoteFirstTsvLine(run, fields);
    }
    if (IsJsonOutput(run) && !CheckJsonValues(run, fields, record.line)) {
        return false;
    }
    // Worked out once for the texts, the watcher and the totals.
    const InventoryInputs used =
        run.changesFigures ? UseFigures(reading.inputs, run.options, IsAdjustedRow(run, fields))
                           : reading.inputs;
    const InventoryResults results = ComputeResults(used);
    TargetOrder target;
    ItemRow row;
    row.header = header ? &run.header : nullptr;
    row.fields = &fields;
    // The line as read covers the main file's fields, when it has all of them.
    if (record.fields->size() == run.mainColumns || !header) {
        row.verbatim = record.verbatim;
        row.verbatimFields = record.fields->size();
    }
    row.used = &used;
    row.results = &results;
    if (run.options.targetReturn != 0.0) {
        target = ComputeTargetOrder(used, results, run.options.targetReturn);
        row.target = &target;
    }
    WriteItemRow(*run.sink, run.format, row);
    if (run.watcher != nullptr) {
        const InventoryInputs perMonth =
            run.changesFigures ? UseFigures(reading.inputs, run.options, false) : reading.inputs;
        const std::string_view group =
            IsGrouped(run) ? FieldOrEmpty(fields, run.groupColumn) : std::string_view();
        TellWatcher(run, WrittenRow{kItemRowWritten, record.line, &perMonth, &results, group});
    }
    if (run.options.totals) {
        AddToTotals(run, fields, results);
    }
    return CheckSink(run);
}

bool HandleRecord(CatalogueRun& run, Record& record) {
    if (HasHeader(run.options) && !run.headerRead) {
        return ReadHeader(run, record);
    }
    return HandleItem(run, record);
}

void ReadRecords(CatalogueRun& run) {
    Record record;
    for (;;) {
        switch (NextRecord(run.reader, record, run.error)) {
            case kRecordReady:
                if (!HandleRecord(run, record)) {
                    return;
                }
                break;
            case kRecordNeedsInput:
            case kRecordEnd:
                return;
            case kRecordBad:
                FailRun(run, run.error.problem, run.error.line);
                return;
        }
    }
}

// --- The end of the input -------------------------------------------------------------

TotalsLabels MakeTotalsLabels(const CatalogueRun& run) {
    TotalsLabels labels;
    labels.priceColumn = HasHeader(run.options) ? run.figureColumn[kPriceFigure] : 0;
    labels.groupColumn = run.groupColumn;
    return labels;
}

void WriteTotals(CatalogueRun& run) {
    WriteMarkOnce(run);
    const HeaderColumns* header = HasHeader(run.options) ? &run.header : nullptr;
    TotalsLabels labels = MakeTotalsLabels(run);
    labels.grouped = true;
    for (std::size_t i = 0; IsGrouped(run) && i < run.groups.names.size(); ++i) {
        labels.groupName = run.groups.names[i];
        WriteTotalsRow(*run.sink, run.format, header, labels, ReadTotals(run.groups.totals[i]));
    }
    labels.grouped = false;
    WriteTotalsRow(*run.sink, run.format, header, labels, ReadTotals(run.totals));
}

void EndInput(CatalogueRun& run) {
    if (HasHeader(run.options) && !run.headerRead) {
        FailRun(run, kProblemEmptyInput, 1);
        return;
    }
    if (run.options.totals) {
        WriteTotals(run);
    }
    run.status = kRunDone;
}

void TakeReaderNotes(CatalogueRun& run) {
    run.notes.notUtf8Lines = run.reader.notUtf8Lines;
    run.notes.firstNotUtf8Line = run.reader.firstNotUtf8Line;
}

}  // namespace

void StartCatalogueRun(CatalogueRun& run, const CatalogueOptions& options,
                       std::string_view inputName, ByteSink& sink) {
    run.options = options;
    run.format = MakeRowFormat(options);
    run.inputName = inputName;
    run.sink = &sink;
    run.status = kRunGoing;
    run.stopAfterHeader = false;
    StartRecordReader(run.reader, options.input, options.delimiter);
    run.headerRead = false;
    run.header = HeaderColumns();
    run.mainColumns = 0;
    run.groupColumn = 0;
    run.changesFigures = ChangesFigures(options);
    run.rules = MakeFigureRules(options);
    run.joinCount = 0;
    run.row.clear();
    run.markWritten = false;
    run.totals = CatalogueTotals();
    run.groups = GroupTotals();
    StartMisreadLog(run.misreads);
    run.notes = RunNotes();
    ClearRunError(run.error);
    run.watcher = nullptr;
    run.watcherContext = nullptr;
}

void JoinReport(CatalogueRun& run, JoinTable& table) {
    if (run.joinCount < kMaxJoins) {
        run.joins[run.joinCount] = JoinedReport{&table, 0, 0, 0};
        ++run.joinCount;
    }
}

void WatchCatalogueRows(CatalogueRun& run, RowWatcher watcher, void* context) {
    run.watcher = watcher;
    run.watcherContext = context;
}

RunStatus FeedCatalogue(CatalogueRun& run, const char* bytes, std::size_t count) {
    if (run.status != kRunGoing) {
        return run.status;
    }
    FeedRecordReader(run.reader, bytes, count);
    ReadRecords(run);
    TakeReaderNotes(run);
    return run.status;
}

RunStatus FinishCatalogue(CatalogueRun& run) {
    if (run.status == kRunGoing) {
        EndRecordReader(run.reader);
        ReadRecords(run);
        TakeReaderNotes(run);
    }
    if (run.status == kRunGoing) {
        EndInput(run);
    }
    FlushByteSink(*run.sink);
    if (run.status == kRunDone && run.sink->failed) {
        run.status = kRunWriteFailed;
    }
    return run.status;
}
