// What-if totals worked out from kept figures give the very texts of a run
// with the same changes: the front end that recomputes them without reading
// the file again shows what the download holds.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "chunked_run.h"
#include "number_text.h"
#include "what_if.h"

namespace {

struct Catalogue {
    std::string csv;
    std::vector<double> perMonth;  // four a row, as the run reads them
    std::vector<std::uint32_t> groups;
};

// Seeded items in three groups, figures with cents and counts.
Catalogue MakeCatalogue(int rows) {
    Catalogue catalogue;
    catalogue.csv = "group,price,cost,bought,sold\n";
    std::uint64_t state = 99;
    auto next = [&state](int limit) {
        state = state * 6364136223846793005u + 1442695040888963407u;
        return static_cast<int>((state >> 33) % static_cast<std::uint64_t>(limit));
    };
    for (int row = 0; row < rows; ++row) {
        const std::uint32_t group = static_cast<std::uint32_t>(next(3));
        const std::string figures[4] = {
            std::to_string(next(5000)) + "." + std::to_string(next(100)),
            std::to_string(next(4000)) + ".5", std::to_string(next(200)),
            std::to_string(next(150))};
        catalogue.csv += "g" + std::to_string(group);
        for (const std::string& figure : figures) {
            catalogue.csv += "," + figure;
            catalogue.perMonth.push_back(ParseAmount(figure));
        }
        catalogue.csv += "\n";
        catalogue.groups.push_back(group);
    }
    return catalogue;
}

// The totals rows of a run's output, by group in order of first appearance
// and the whole last: the six result cells of each.
std::vector<std::string> TotalsCells(const std::string& output, std::size_t rows) {
    std::vector<std::string> totals;
    std::size_t at = 0;
    for (std::size_t line = 0; line <= rows; ++line) {
        at = output.find("\r\n", at) + 2;
    }
    while (at < output.size()) {
        const std::size_t end = output.find("\r\n", at);
        const std::string record = output.substr(at, end - at);
        // The results follow the five input columns.
        std::size_t cells = 0;
        for (int comma = 0; comma < 5; ++comma) {
            cells = record.find(',', cells) + 1;
        }
        totals.push_back(record.substr(cells));
        at = end + 2;
    }
    return totals;
}

std::string CsvCells(const InventoryResults& results) {
    CellTexts texts;
    const ResultCells cells = MakeResultCells(results, nullptr, CellForm(), texts);
    std::string line;
    for (std::size_t i = 0; i < cells.count; ++i) {
        const std::string cell(cells.cell[i]);
        const bool quoted = !cell.empty() && (cell.front() == ' ' || cell.back() == ' ');
        line += (i == 0 ? "" : ",") + (quoted ? "\"" + cell + "\"" : cell);
    }
    return line;
}

TEST(WhatIf, TotalsAreThoseOfARunWithTheSameChanges) {
    const int kRows = 3000;
    const Catalogue catalogue = MakeCatalogue(kRows);
    struct ChangeCase {
        const char* what;
        bool oneGroup;
    };
    for (const ChangeCase& item : {ChangeCase{"every row", false}, ChangeCase{"group g1", true}}) {
        CatalogueOptions options;
        options.totals = true;
        options.groupBy = "group";
        options.adjusted[kPriceFigure] = true;
        options.adjustPercent[kPriceFigure] = 5;
        options.adjusted[kBoughtFigure] = true;
        options.adjustPercent[kBoughtFigure] = -20;
        options.adjustOneGroup = item.oneGroup;
        options.adjustGroup = "g1";
        const ChunkedRunResult run = RunInChunks(options, catalogue.csv, 65536);
        ASSERT_EQ(run.status, kRunDone) << run.error;
        const std::vector<std::string> expected = TotalsCells(run.output, kRows);

        // The groups in order of first appearance, as the run keeps them.
        std::vector<std::uint32_t> order(3, 3);
        std::uint32_t seen = 0;
        std::vector<std::uint32_t> groups;
        for (std::uint32_t group : catalogue.groups) {
            if (order[group] == 3) {
                order[group] = seen++;
            }
            groups.push_back(order[group]);
        }
        WhatIfRows rows;
        rows.perMonth = catalogue.perMonth.data();
        rows.group = groups.data();
        rows.count = groups.size();
        rows.groupCount = seen;
        WhatIfTotals totals;
        ComputeWhatIf(rows, options, item.oneGroup, order[1], totals, nullptr);
        ASSERT_EQ(expected.size(), seen + 1u) << item.what;
        for (std::uint32_t group = 0; group < seen; ++group) {
            EXPECT_EQ(CsvCells(ReadTotals(totals.groups[group])), expected[group]) << item.what;
        }
        EXPECT_EQ(CsvCells(ReadTotals(totals.all)), expected.back()) << item.what;
    }
}

}  // namespace
