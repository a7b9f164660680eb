// Finds the columns a run needs in a catalogue's header row: by name,
// compared without regard to letter case and surrounding blanks, or by a
// 1-based number. A missing or doubled name is an error that names it and
// lists the header's columns, so the user sees what the file holds.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue_options.h"
#include "message_text.h"
#include "run_error.h"

// The four input figures, in the order of InventoryInputs.
enum FigureIndex { kPriceFigure, kCostFigure, kBoughtFigure, kSoldFigure };
constexpr std::size_t kFigureCount = 4;

// Price and cost are money: the window skips a "$" before them.
constexpr bool IsMoneyFigure(std::size_t figure) {
    return figure == kPriceFigure || figure == kCostFigure;
}

// The default column names of the figures, also the names of the fields of a
// headerless TSV line.
extern const char* const kFigureNames[kFigureCount];

struct ColumnRef {
    std::size_t number = 0;  // 1-based; 0 when the column is named
    std::string_view name;
};

// A column given by the user: a number when it is all digits, otherwise a
// name. Returns false for an empty reference or the number 0.
bool ParseColumnRef(std::string_view text, ColumnRef& ref);

// Splits "PRICE,COST,BOUGHT,SOLD" into its four references; returns false
// unless there are exactly four and each is a valid reference.
bool ParseColumnList(std::string_view list, ColumnRef (&refs)[kFigureCount]);

// The header row as read, kept for the whole run: written back, used as JSON
// keys and named in messages.
struct HeaderColumns {
    std::string text;               // the names one after another
    std::vector<std::size_t> ends;  // where each name ends in `text`
};

void StoreHeader(HeaderColumns& header, const std::vector<std::string_view>& fields);

inline std::size_t CountColumns(const HeaderColumns& header) {
    return header.ends.size();
}

std::string_view GetColumnName(const HeaderColumns& header, std::size_t index);

// Whether a header name stands for `wanted`: equal once surrounding blanks are
// dropped and ASCII letters compared without case.
bool IsSameColumnName(std::string_view headerName, std::string_view wanted);

// The name without surrounding blanks, for messages.
std::string_view TrimBlanks(std::string_view text);

// Finds `ref` in the header. On failure `error` says why (the problem, the
// name or number, the header's columns, and the delimiter the header seems
// to hold when it looks split at the wrong character); the caller says what
// the column was for and where.
bool ResolveColumn(const HeaderColumns& header, const ColumnRef& ref,
                   const CatalogueOptions& options, std::size_t& index, RunError& error);
