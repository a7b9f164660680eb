#include "run_header.h"

#include "json_text.h"

bool FailRun(CatalogueRun& run, RunProblem problem, unsigned long long line) {
    run.status = kRunBadData;
    run.error.problem = problem;
    run.error.line = line;
    run.error.inputName.assign(run.inputName.data(), run.inputName.size());
    run.error.tsv = run.options.input == kInputTsv;
    return false;
}

namespace {

// The main file's name for -1, else the report's.
std::string_view FileName(const CatalogueRun& run, int report) {
    return report < 0 ? run.inputName : std::string_view(run.joins[report].table->inputName);
}

// Finds a column of the run's header. A name that two files share is not
// the user's mistake in one file but a choice to make: said apart.
bool ResolveRunColumn(CatalogueRun& run, const ColumnRef& ref, ColumnUse use, bool chosen,
                      std::size_t& index, unsigned long long line) {
    if (ResolveColumn(run.header, ref, run.options, index, run.error)) {
        return true;
    }
    run.error.use = use;
    run.error.chosen = chosen;
    RunProblem problem = run.error.problem;
    const int first = FindReportOf(run, run.error.column - 1);
    const int second = FindReportOf(run, run.error.otherColumn - 1);
    if (problem == kProblemDoubledColumn && first != second) {
        problem = kProblemSharedName;
        run.error.files[0] = std::string(FileName(run, first));
        run.error.files[1] = std::string(FileName(run, second));
    }
    return FailRun(run, problem, line);
}

bool ResolveFigureColumns(CatalogueRun& run, unsigned long long line) {
    ColumnRef refs[kFigureCount];
    const bool chosen = !run.options.columns.empty();
    if (!chosen) {
        for (std::size_t i = 0; i < kFigureCount; ++i) {
            refs[i].name = kFigureNames[i];
        }
    } else if (!ParseColumnList(run.options.columns, refs)) {
        return FailRun(run, kProblemBadColumnList, 0);
    }
    for (std::size_t i = 0; i < kFigureCount; ++i) {
        run.error.figure = i;
        if (!ResolveRunColumn(run, refs[i], kUseFigure, chosen, run.figureColumn[i], line)) {
            return false;
        }
    }
    return true;
}

bool ResolveGroupColumn(CatalogueRun& run, unsigned long long line) {
    ColumnRef ref;
    if (!ParseColumnRef(run.options.groupBy, ref)) {
        run.error.use = kUseGroup;
        return FailRun(run, kProblemBadColumnRef, 0);
    }
    return ResolveRunColumn(run, ref, kUseGroup, true, run.groupColumn, line);
}

// The main file's key of each report, among the main file's own columns.
bool ResolveMainKeys(CatalogueRun& run, const HeaderColumns& mainHeader, unsigned long long line) {
    for (std::size_t j = 0; j < run.joinCount; ++j) {
        ColumnRef ref;
        if (!ParseColumnRef(run.options.joins[j].mainKey, ref)) {
            run.error.use = kUseKey;
            return FailRun(run, kProblemBadColumnRef, 0);
        }
        if (!ResolveColumn(mainHeader, ref, run.options, run.joins[j].mainKey, run.error)) {
            run.error.use = kUseKey;
            run.error.chosen = true;
            return FailRun(run, run.error.problem, line);
        }
    }
    return true;
}

// The main file's columns, then each report's but its key.
void CombineHeaders(CatalogueRun& run, const std::vector<std::string_view>& fields) {
    std::vector<std::string_view> names(fields);
    for (std::size_t j = 0; j < run.joinCount; ++j) {
        const JoinTable& table = *run.joins[j].table;
        run.joins[j].firstColumn = names.size();
        for (std::size_t c = 0; c < CountColumns(table.header); ++c) {
            if (c != table.keyColumn) {
                names.push_back(GetColumnName(table.header, c));
            }
        }
    }
    StoreHeader(run.header, names);
}

// Every name the run adds must differ from the header's names, as a reader
// of the output finds columns by name: two columns of one name would make it
// pick one without a word.
bool CheckAddedNames(CatalogueRun& run, unsigned long long line) {
    std::vector<std::string_view> added;
    ListAddedNames(run.format, added);
    for (std::size_t i = 0; i < CountColumns(run.header); ++i) {
        for (std::string_view name : added) {
            if (IsSameColumnName(GetColumnName(run.header, i), name)) {
                run.error.column = i + 1;
                run.error.name = std::string(GetColumnName(run.header, i));
                return FailRun(run, kProblemNameTaken, line);
            }
        }
    }
    return true;
}

// A JSON object's keys are the header's names: each must be UTF-8 and none
// may come twice, or a reader of the output would lose a column.
bool CheckJsonKeys(CatalogueRun& run, unsigned long long line) {
    const std::size_t count = CountColumns(run.header);
    for (std::size_t i = 0; i < count; ++i) {
        const std::string_view name = GetColumnName(run.header, i);
        if (!IsUtf8(name)) {
            run.error.column = i + 1;
            return FailRun(run, kProblemNameNotUtf8, line);
        }
        for (std::size_t j = i + 1; j < count; ++j) {
            if (name == GetColumnName(run.header, j)) {
                run.error.name = std::string(name);
                run.error.column = i + 1;
                run.error.otherColumn = j + 1;
                return FailRun(run, kProblemNameUsedTwice, line);
            }
        }
    }
    return true;
}

}  // namespace

// The report whose columns hold combined column `column`, or -1 for the
// main file's own.
int FindReportOf(const CatalogueRun& run, std::size_t column) {
    int report = -1;
    for (std::size_t j = 0; j < run.joinCount; ++j) {
        if (column >= run.joins[j].firstColumn) {
            report = static_cast<int>(j);
        }
    }
    return report;
}

bool ResolveRunHeader(CatalogueRun& run, const Record& record) {
    const std::vector<std::string_view>& fields = *record.fields;
    run.mainColumns = fields.size();
    HeaderColumns mainHeader;
    StoreHeader(mainHeader, fields);
    CombineHeaders(run, fields);
    run.headerRead = true;
    return ResolveMainKeys(run, mainHeader, record.line) &&
           ResolveFigureColumns(run, record.line) &&
           (!IsGrouped(run) || ResolveGroupColumn(run, record.line)) &&
           CheckAddedNames(run, record.line) &&
           (!IsJsonOutput(run) || CheckJsonKeys(run, record.line));
}
