#include "column_map.h"

#include "number_text.h"

const char* const kFigureNames[kFigureCount] = {"price", "cost", "bought", "sold"};

namespace {

// Each listed name is cut here, and the list stops once the message holds
// this much, so that a header of hundreds of columns still gives a short line.
constexpr std::size_t kListedNameLimit = 40;
constexpr std::size_t kListLimit = 600;

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsAllDigits(std::string_view text) {
    for (char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return !text.empty();
}

// Each listed name is quoted; the list stops once it holds kListLimit bytes.
void ListColumns(const HeaderColumns& header, MessageText& list) {
    const std::size_t count = CountColumns(header);
    for (std::size_t i = 0; i < count; ++i) {
        if (list.length > kListLimit) {
            AppendMessage(list, ", ... (");
            AppendMessageNumber(list, count);
            AppendMessage(list, " in all)");
            return;
        }
        AppendMessage(list, i == 0 ? "" : ", ");
        AppendMessageQuoted(list, GetColumnName(header, i), kListedNameLimit);
    }
}

// A header read as one column that holds another usual delimiter was most
// likely split at the wrong character: that character, or 0.
char FindOtherDelimiter(const HeaderColumns& header, const CatalogueOptions& options) {
    if (CountColumns(header) != 1) {
        return 0;
    }
    const std::string_view name = GetColumnName(header, 0);
    const bool csv = options.input == kInputCsv;
    const auto holds = [name](char c) { return name.find(c) != std::string_view::npos; };
    if (csv && options.delimiter != ';' && holds(';')) {
        return ';';
    }
    if (csv && options.delimiter != '\t' && holds('\t')) {
        return '\t';
    }
    if ((!csv || options.delimiter != ',') && holds(',')) {
        return ',';
    }
    if (!csv && holds(';')) {
        return ';';
    }
    return 0;
}

bool ReportColumnProblem(RunProblem problem, const HeaderColumns& header, std::string_view name,
                         RunError& error) {
    error.problem = problem;
    error.name.assign(name.data(), name.size());
    ClearMessage(error.columns);
    ListColumns(header, error.columns);
    error.count = CountColumns(header);
    return false;
}

}  // namespace

bool ParseColumnRef(std::string_view text, ColumnRef& ref) {
    ref = ColumnRef();
    if (TrimBlanks(text).empty()) {
        return false;
    }
    if (!IsAllDigits(TrimBlanks(text))) {
        ref.name = text;
        return true;
    }
    // Leading zeros are allowed; a number this long names no column anyway.
    std::size_t number = 0;
    for (char c : TrimBlanks(text)) {
        number = number > 1000000000 ? number : number * 10 + static_cast<std::size_t>(c - '0');
    }
    ref.number = number;
    return number != 0;
}

bool ParseColumnList(std::string_view list, ColumnRef (&refs)[kFigureCount]) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < kFigureCount; ++i) {
        const std::size_t comma = list.find(',', start);
        const bool last = i + 1 == kFigureCount;
        if (last != (comma == std::string_view::npos)) {
            return false;
        }
        const std::size_t end = last ? list.size() : comma;
        if (!ParseColumnRef(list.substr(start, end - start), refs[i])) {
            return false;
        }
        start = end + 1;
    }
    return true;
}

void StoreHeader(HeaderColumns& header, const std::vector<std::string_view>& fields) {
    header.text.clear();
    header.ends.clear();
    for (std::string_view field : fields) {
        header.text.append(field.data(), field.size());
        header.ends.push_back(header.text.size());
    }
}

std::string_view GetColumnName(const HeaderColumns& header, std::size_t index) {
    const std::size_t start = index == 0 ? 0 : header.ends[index - 1];
    return std::string_view(header.text.data() + start, header.ends[index] - start);
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsAmountBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsAmountBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

bool IsSameColumnName(std::string_view headerName, std::string_view wanted) {
    headerName = TrimBlanks(headerName);
    wanted = TrimBlanks(wanted);
    if (headerName.size() != wanted.size()) {
        return false;
    }
    for (std::size_t i = 0; i < wanted.size(); ++i) {
        if (LowerAscii(headerName[i]) != LowerAscii(wanted[i])) {
            return false;
        }
    }
    return true;
}

bool ResolveColumn(const HeaderColumns& header, const ColumnRef& ref,
                   const CatalogueOptions& options, std::size_t& index, RunError& error) {
    const std::size_t count = CountColumns(header);
    error.tsv = options.input == kInputTsv;
    error.delimiterUsed = options.delimiter;
    if (ref.number != 0) {
        if (ref.number > count) {
            error.column = ref.number;
            return ReportColumnProblem(kProblemNoSuchColumn, header, "", error);
        }
        index = ref.number - 1;
        return true;
    }
    bool found = false;
    for (std::size_t i = 0; i < count; ++i) {
        if (!IsSameColumnName(GetColumnName(header, i), ref.name)) {
            continue;
        }
        if (found) {
            error.column = index + 1;
            error.otherColumn = i + 1;
            return ReportColumnProblem(kProblemDoubledColumn, header, ref.name, error);
        }
        index = i;
        found = true;
    }
    if (!found) {
        error.delimiterFound = FindOtherDelimiter(header, options);
        return ReportColumnProblem(kProblemMissingColumn, header, ref.name, error);
    }
    return true;
}
