#include "catalogue_run.h"

#include "byte_scan.h"
#include "json_text.h"
#include "row_writer.h"

static_assert(kMaxLineLength == 65536, "the messages name the limit");

namespace {

constexpr std::string_view kUtf16Message = "the file is UTF-16; save it as UTF-8 (CSV UTF-8)";
constexpr std::string_view kUtf32Message = "the file is UTF-32; save it as UTF-8 (CSV UTF-8)";
constexpr std::string_view kNotUtf8Advice =
    " is not UTF-8 text, which JSON output needs: save the "
    "file as UTF-8";
constexpr std::size_t kQuotedNameLimit = 40;

bool IsCsv(const CatalogueRun& run) {
    return run.options.input == kInputCsv;
}

bool IsGrouped(const CatalogueRun& run) {
    return !run.options.groupBy.empty();
}

// Ends the run with `message` about line `line` (0: the whole input).
bool Fail(CatalogueRun& run, unsigned long long line, std::string_view message) {
    run.status = kRunBadData;
    run.error.line = line;
    ClearMessage(run.error.message);
    AppendMessage(run.error.message, message);
    return false;
}

// The same, for a message already built in run.error.message.
bool FailWithBuiltMessage(CatalogueRun& run, unsigned long long line) {
    run.status = kRunBadData;
    run.error.line = line;
    return false;
}

void TellWatcher(const CatalogueRun& run, WrittenRowKind kind, unsigned long long line,
                 const InventoryInputs* inputs, const InventoryResults* results) {
    if (run.watcher != nullptr) {
        run.watcher(run.watcherContext, WrittenRow{kind, line, inputs, results});
    }
}

bool CheckSink(CatalogueRun& run) {
    if (run.sink->failed) {
        run.status = kRunWriteFailed;
        return false;
    }
    return true;
}

// Fields are made in place (emplace_back): a view built first and copied in
// would go through memory in two halves and be read back whole, which the
// processor cannot forward from the store.
void SplitTsvLine(std::string_view line, std::vector<std::string_view>& fields) {
    fields.clear();
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = FindByte(line, start, '\t');
        fields.emplace_back(line.data() + start, end - start);
        if (end == line.size()) {
            return;
        }
        start = end + 1;
    }
}

// --- The header row -----------------------------------------------------------

bool ResolveFigureColumns(CatalogueRun& run, unsigned long long line) {
    ColumnRef refs[kFigureCount];
    std::string_view optionName = "--columns";
    if (run.options.columns.empty()) {
        optionName = std::string_view();
        for (std::size_t i = 0; i < kFigureCount; ++i) {
            refs[i].name = kFigureNames[i];
        }
    } else if (!ParseColumnList(run.options.columns, refs)) {
        return Fail(run, 0, "--columns takes four columns, PRICE,COST,BOUGHT,SOLD");
    }
    for (std::size_t i = 0; i < kFigureCount; ++i) {
        if (!ResolveColumn(run.header, refs[i], optionName, run.options, run.figureColumn[i],
                           run.error.message)) {
            return FailWithBuiltMessage(run, line);
        }
    }
    return true;
}

bool ResolveGroupColumn(CatalogueRun& run, unsigned long long line) {
    ColumnRef ref;
    if (!ParseColumnRef(run.options.groupBy, ref)) {
        return Fail(run, 0, "--group-by takes a column name or number");
    }
    if (!ResolveColumn(run.header, ref, "--group-by", run.options, run.groupColumn,
                       run.error.message)) {
        return FailWithBuiltMessage(run, line);
    }
    return true;
}

// A JSON object's keys are the header's names, the parsed columns' and the
// results' labels: each must be UTF-8 and none may come twice, or a reader
// of the output would lose a column without a word.
bool CheckJsonKeys(CatalogueRun& run, unsigned long long line) {
    std::vector<std::string_view> keys;
    for (std::size_t i = 0; i < CountColumns(run.header); ++i) {
        keys.push_back(GetColumnName(run.header, i));
    }
    const std::size_t columnCount = keys.size();
    for (std::size_t i = 0; run.options.echo != kEchoNone && i < kFigureCount; ++i) {
        keys.push_back(kParsedColumnNames[i]);
    }
    for (const char* label : kResultLabels) {
        keys.push_back(label);
    }
    MessageText& message = run.error.message;
    for (std::size_t i = 0; i < columnCount; ++i) {
        if (!IsUtf8(keys[i])) {
            ClearMessage(message);
            AppendMessage(message, "the name of column ");
            AppendMessageNumber(message, i + 1);
            AppendMessage(message, kNotUtf8Advice);
            return FailWithBuiltMessage(run, line);
        }
        for (std::size_t j = i + 1; j < keys.size(); ++j) {
            if (keys[i] != keys[j]) {
                continue;
            }
            ClearMessage(message);
            AppendMessage(message, "the name ");
            AppendMessageQuoted(message, keys[i], kQuotedNameLimit);
            AppendMessage(message, " is used twice (column ");
            AppendMessageNumber(message, i + 1);
            if (j < columnCount) {
                AppendMessage(message, " and column ");
                AppendMessageNumber(message, j + 1);
            } else {
                AppendMessage(message, " and a column kemcalc adds");
            }
            AppendMessage(message, "); JSON output needs distinct names: rename one");
            return FailWithBuiltMessage(run, line);
        }
    }
    return true;
}

bool ReadHeader(CatalogueRun& run, const std::vector<std::string_view>& fields,
                unsigned long long line) {
    StoreHeader(run.header, fields);
    run.headerRead = true;
    if (!ResolveFigureColumns(run, line)) {
        return false;
    }
    if (IsGrouped(run) && !ResolveGroupColumn(run, line)) {
        return false;
    }
    if (run.options.output == kOutputJsonLines && !CheckJsonKeys(run, line)) {
        return false;
    }
    WriteHeaderRow(*run.sink, run.format, run.header);
    TellWatcher(run, kHeaderRowWritten, line, nullptr, nullptr);
    return CheckSink(run);
}

// --- Item rows ------------------------------------------------------------------

bool CheckFieldCount(CatalogueRun& run, std::size_t count, unsigned long long line) {
    const std::size_t expected = HasHeader(run.options) ? CountColumns(run.header) : kFigureCount;
    // Every record of a CSV file has the header's columns; a tab-separated
    // line may end early, its missing fields empty.
    const bool csv = IsCsv(run);
    if (csv ? count == expected : count <= expected) {
        return true;
    }
    MessageText& message = run.error.message;
    ClearMessage(message);
    AppendMessageNumber(message, count);
    if (csv) {
        AppendMessage(message, count == 1 ? " field, expected " : " fields, expected ");
    } else {
        AppendMessage(message, " tab-separated fields, expected at most ");
    }
    AppendMessageNumber(message, expected);
    return FailWithBuiltMessage(run, line);
}

std::string_view FieldOrEmpty(const std::vector<std::string_view>& fields, std::size_t index) {
    return index < fields.size() ? fields[index] : std::string_view();
}

std::string_view FigureColumnName(const CatalogueRun& run, std::size_t figure) {
    return HasHeader(run.options) ? GetColumnName(run.header, run.figureColumn[figure])
                                  : std::string_view(kFigureNames[figure]);
}

// Notes the figures that were not read whole; under --strict the first one
// ends the run instead.
bool CheckFiguresReadWhole(CatalogueRun& run, const std::string_view (&figures)[kFigureCount],
                           const FigureReading& reading, unsigned long long line) {
    if (reading.readWhole[0] && reading.readWhole[1] && reading.readWhole[2] &&
        reading.readWhole[3]) {
        return true;  // the common case, without touching the figures
    }
    std::string_view columns[kFigureCount];
    for (std::size_t i = 0; i < kFigureCount; ++i) {
        columns[i] = FigureColumnName(run, i);
    }
    if (!NoteItemMisreads(run.misreads, run.inputName, line, columns, figures, reading,
                          run.options.decimalComma, run.options.strict, run.error.message)) {
        return FailWithBuiltMessage(run, line);
    }
    return true;
}

bool CheckJsonValues(CatalogueRun& run, const std::vector<std::string_view>& fields,
                     unsigned long long line) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (IsUtf8(fields[i])) {
            continue;
        }
        MessageText& message = run.error.message;
        ClearMessage(message);
        AppendMessage(message, "column ");
        AppendMessageNumber(message, i + 1);
        if (HasHeader(run.options)) {
            AppendMessage(message, " (");
            AppendMessageEscaped(message, TrimBlanks(GetColumnName(run.header, i)),
                                 kQuotedNameLimit);
            AppendMessage(message, ")");
        }
        AppendMessage(message, kNotUtf8Advice);
        return FailWithBuiltMessage(run, line);
    }
    return true;
}

bool HandleItem(CatalogueRun& run, const std::vector<std::string_view>& fields,
                std::string_view verbatim, unsigned long long line) {
    if (!CheckFieldCount(run, fields.size(), line)) {
        return false;
    }
    const bool header = HasHeader(run.options);
    std::string_view figures[kFigureCount];
    for (std::size_t i = 0; i < kFigureCount; ++i) {
        figures[i] = FieldOrEmpty(fields, header ? run.figureColumn[i] : i);
    }
    const FigureReading reading = ReadFigures(figures, run.options.decimalComma, run.rewritten);
    if (!CheckFiguresReadWhole(run, figures, reading, line)) {
        return false;
    }
    if (run.options.output == kOutputJsonLines && !CheckJsonValues(run, fields, line)) {
        return false;
    }
    // Worked out once for the texts, the watcher and the totals.
    const InventoryResults results = ComputeResults(reading.inputs);
    WriteItemRow(*run.sink, run.format, header ? &run.header : nullptr, fields, verbatim,
                 reading.inputs, results);
    TellWatcher(run, kItemRowWritten, line, &reading.inputs, &results);
    if (run.options.totals) {
        AddItemToTotals(run.totals, results);
        if (IsGrouped(run)) {
            AddItemToTotals(FindGroupTotals(run.groups, FieldOrEmpty(fields, run.groupColumn)),
                            results);
        }
    }
    return CheckSink(run);
}

// --- Lines and records -------------------------------------------------------------

// `verbatim`: the record as read, when it can be written back whole.
bool HandleRecord(CatalogueRun& run, const std::vector<std::string_view>& fields,
                  std::string_view verbatim, unsigned long long line) {
    if (HasHeader(run.options) && !run.headerRead) {
        return ReadHeader(run, fields, line);
    }
    return HandleItem(run, fields, verbatim, line);
}

bool FailOnRecord(CatalogueRun& run, CsvStatus status) {
    MessageText& message = run.error.message;
    ClearMessage(message);
    if (run.record.errorField != 0) {
        AppendMessage(message, "field ");
        AppendMessageNumber(message, run.record.errorField);
        AppendMessage(message, ": ");
    }
    AppendMessage(message, DescribeCsvStatus(status));
    return FailWithBuiltMessage(run, run.record.errorLine);
}

bool HandleLine(CatalogueRun& run, const InputLine& line) {
    if (!IsCsv(run)) {
        SplitTsvLine(line.text, run.fields);
        // Tab-separated fields are written back as they are.
        return HandleRecord(run, run.fields, line.text, line.number);
    }
    // An empty line is no record, as other CSV readers have it.
    if (!run.record.open && line.text.empty()) {
        return true;
    }
    const CsvStatus status = ScanCsvLine(run.record, line, run.options.delimiter);
    if (status == kCsvRecordOpen) {
        return true;
    }
    if (status != kCsvRecordDone) {
        return FailOnRecord(run, status);
    }
    return HandleRecord(run, run.record.fields, run.record.verbatim, run.record.firstLine);
}

void ReadLines(CatalogueRun& run) {
    InputLine line;
    for (;;) {
        switch (NextLine(run.lines, line)) {
            case kLineReady:
                if (!HandleLine(run, line)) {
                    return;
                }
                break;
            case kLineNeedsInput:
            case kLineEnd:
                return;
            case kLineTooLong:
                Fail(run, line.number,
                     IsCsv(run) ? DescribeCsvStatus(kCsvRecordTooLong)
                                : "line longer than 65536 bytes");
                return;
            case kLineUtf16:
                Fail(run, 0, kUtf16Message);
                return;
            case kLineUtf32:
                Fail(run, 0, kUtf32Message);
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
    if (run.record.open) {
        FailOnRecord(run, EndOpenCsvRecord(run.record));
        return;
    }
    if (HasHeader(run.options) && !run.headerRead) {
        Fail(run, 1, "the input is empty: expected the header row");
        return;
    }
    if (run.options.totals) {
        WriteTotals(run);
    }
    run.status = kRunDone;
}

}  // namespace

void StartCatalogueRun(CatalogueRun& run, const CatalogueOptions& options,
                       std::string_view inputName, ByteSink& sink) {
    run.options = options;
    run.format = MakeRowFormat(options);
    run.inputName = inputName;
    run.sink = &sink;
    run.status = kRunGoing;
    StartLineSplitter(run.lines);
    StartCsvRecord(run.record);
    run.fields.clear();
    run.headerRead = false;
    run.header = HeaderColumns();
    run.groupColumn = 0;
    run.totals = CatalogueTotals();
    run.groups = GroupTotals();
    StartMisreadLog(run.misreads);
    run.error.line = 0;
    ClearMessage(run.error.message);
    run.watcher = nullptr;
    run.watcherContext = nullptr;
}

void WatchCatalogueRows(CatalogueRun& run, RowWatcher watcher, void* context) {
    run.watcher = watcher;
    run.watcherContext = context;
}

RunStatus FeedCatalogue(CatalogueRun& run, const char* bytes, std::size_t count) {
    if (run.status != kRunGoing) {
        return run.status;
    }
    FeedLineSplitter(run.lines, bytes, count);
    ReadLines(run);
    return run.status;
}

RunStatus FinishCatalogue(CatalogueRun& run) {
    if (run.status == kRunGoing) {
        EndLineSplitter(run.lines);
        ReadLines(run);
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
