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

void ListColumns(const HeaderColumns& header, MessageText& error) {
    const std::size_t count = CountColumns(header);
    for (std::size_t i = 0; i < count; ++i) {
        if (error.length > kListLimit) {
            AppendMessage(error, ", ... (");
            AppendMessageNumber(error, count);
            AppendMessage(error, " in all)");
            return;
        }
        AppendMessage(error, i == 0 ? "" : ", ");
        AppendMessageQuoted(error, GetColumnName(header, i), kListedNameLimit);
    }
}

// A header read as one column that holds another usual delimiter was most
// likely split at the wrong character.
void SuggestDelimiter(const HeaderColumns& header, const CatalogueOptions& options,
                      MessageText& error) {
    if (CountColumns(header) != 1) {
        return;
    }
    const std::string_view name = GetColumnName(header, 0);
    const bool csv = options.input == kInputCsv;
    if (csv && options.delimiter != ';' && name.find(';') != std::string_view::npos) {
        AppendMessage(error, "; the header holds ';' and no '");
        AppendMessage(error, std::string_view(&options.delimiter, 1));
        AppendMessage(error, "': try --delimiter ';'");
    } else if (csv && name.find('\t') != std::string_view::npos) {
        AppendMessage(error, "; the header holds tabs: try --tsv --header, or --delimiter $'\\t'");
    } else if (csv && options.delimiter != ',' && name.find(',') != std::string_view::npos) {
        AppendMessage(error, "; the header holds ',' and no '");
        AppendMessage(error, std::string_view(&options.delimiter, 1));
        AppendMessage(error, "': try --delimiter ','");
    } else if (!csv && name.find(',') != std::string_view::npos) {
        AppendMessage(error, "; the header holds ',' and no tab: try --csv");
    } else if (!csv && name.find(';') != std::string_view::npos) {
        AppendMessage(error, "; the header holds ';' and no tab: try --csv --delimiter ';'");
    }
}

void BeginError(MessageText& error, std::string_view optionName) {
    ClearMessage(error);
    if (!optionName.empty()) {
        AppendMessage(error, optionName);
        AppendMessage(error, ": ");
    }
}

bool ReportMissingName(const HeaderColumns& header, const ColumnRef& ref,
                       std::string_view optionName, const CatalogueOptions& options,
                       MessageText& error) {
    BeginError(error, optionName);
    AppendMessage(error, "no column ");
    AppendMessageQuoted(error, ref.name, kListedNameLimit);
    AppendMessage(error, " in the header; its columns are ");
    ListColumns(header, error);
    const std::size_t before = error.length;
    SuggestDelimiter(header, options, error);
    if (error.length == before && optionName.empty()) {
        AppendMessage(error, "; name the four with --columns PRICE,COST,BOUGHT,SOLD");
    }
    return false;
}

bool ReportDoubledName(const HeaderColumns& header, const ColumnRef& ref, std::size_t first,
                       std::size_t second, std::string_view optionName, MessageText& error) {
    BeginError(error, optionName);
    AppendMessage(error, "more than one column is named ");
    AppendMessageQuoted(error, ref.name, kListedNameLimit);
    AppendMessage(error, " (columns ");
    AppendMessageNumber(error, first + 1);
    AppendMessage(error, " and ");
    AppendMessageNumber(error, second + 1);
    AppendMessage(error, "): give its number instead, with ");
    AppendMessage(error, optionName.empty() ? std::string_view("--columns") : optionName);
    AppendMessage(error, "; the header's columns are ");
    ListColumns(header, error);
    return false;
}

bool ReportMissingNumber(const HeaderColumns& header, const ColumnRef& ref,
                         std::string_view optionName, MessageText& error) {
    BeginError(error, optionName);
    AppendMessage(error, "there is no column ");
    AppendMessageNumber(error, ref.number);
    AppendMessage(error, ": the header has ");
    AppendMessageNumber(error, CountColumns(header));
    AppendMessage(error, CountColumns(header) == 1 ? " column, " : " columns, ");
    ListColumns(header, error);
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

bool ResolveColumn(const HeaderColumns& header, const ColumnRef& ref, std::string_view optionName,
                   const CatalogueOptions& options, std::size_t& index, MessageText& error) {
    const std::size_t count = CountColumns(header);
    if (ref.number != 0) {
        if (ref.number > count) {
            return ReportMissingNumber(header, ref, optionName, error);
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
            return ReportDoubledName(header, ref, index, i, optionName, error);
        }
        index = i;
        found = true;
    }
    return found || ReportMissingName(header, ref, optionName, options, error);
}
