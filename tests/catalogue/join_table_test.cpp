// A joined report read whole: every key found after the table has grown
// many times, keys trimmed of blanks, a key twice or empty refused with its
// lines, and the same table whatever the chunks.
#include <gtest/gtest.h>

#include <string>

#include "join_table.h"

namespace {

struct LoadedTable {
    JoinTable table;
    bool ok = false;
};

void Load(LoadedTable& loaded, const std::string& text, std::size_t chunkSize,
          const char* key = "sku") {
    CatalogueOptions options;
    ColumnRef ref;
    ParseColumnRef(key, ref);
    StartJoinTable(loaded.table, options, "report.csv", ref);
    bool going = true;
    for (std::size_t at = 0; at < text.size() && going; at += chunkSize) {
        const std::string chunk = text.substr(at, chunkSize);
        going = FeedJoinTable(loaded.table, chunk.data(), chunk.size());
    }
    loaded.ok = going && FinishJoinTable(loaded.table);
}

std::string KeyOf(int row) {
    return "SKU-" + std::to_string(row * 7919 % 100003);
}

TEST(JoinTable, EveryKeyIsFoundAfterTheTableGrows) {
    std::string text = "units,sku\n";
    const int kRows = 30000;
    for (int row = 0; row < kRows; ++row) {
        text += std::to_string(row) + "," + KeyOf(row) + "\n";
    }
    LoadedTable loaded;
    Load(loaded, text, 4093);
    ASSERT_TRUE(loaded.ok);
    ASSERT_EQ(CountJoinedRows(loaded.table), static_cast<std::size_t>(kRows));
    for (int row = 0; row < kRows; ++row) {
        ASSERT_EQ(FindJoinedRow(loaded.table, KeyOf(row)), row) << KeyOf(row);
        ASSERT_EQ(GetJoinedField(loaded.table, row, 0), std::to_string(row));
    }
    // Blanks around a key do not count; letter case does.
    EXPECT_EQ(FindJoinedRow(loaded.table, "  " + KeyOf(5) + "\t"), 5);
    EXPECT_EQ(FindJoinedRow(loaded.table, "sku-0"), -1);
    EXPECT_EQ(FindJoinedRow(loaded.table, ""), -1);
    EXPECT_EQ(CountUnmatchedRows(loaded.table), static_cast<unsigned long long>(kRows));
}

TEST(JoinTable, RefusedReportsNameTheirLines) {
    struct RefusedCase {
        const char* what;
        std::string text;
        RunProblem problem;
        unsigned long long line;
        unsigned long long otherLine;
    };
    std::string late = "sku,units\n";
    for (int row = 0; row < 5000; ++row) {
        late += KeyOf(row) + ",1\n";
    }
    const RefusedCase cases[] = {
        {"a key twice, written with blanks", "sku,units\nA,1\nB,2\n A ,3\n", kProblemDuplicateKey,
         4, 2},
        // Found after the table grew several times.
        {"a key twice, far apart", late + KeyOf(17) + ",2\n", kProblemDuplicateKey, 5002, 19},
        {"an empty key", "sku,units\nA,1\n\t,2\n", kProblemEmptyKey, 3, 0},
        {"no key column", "code,units\nA,1\n", kProblemMissingColumn, 1, 0},
        {"a field too many", "sku,units\nA,1,x\n", kProblemFieldCount, 2, 0},
        {"nothing at all", "", kProblemEmptyInput, 1, 0},
    };
    for (const RefusedCase& item : cases) {
        for (std::size_t chunkSize : {std::size_t{1}, std::size_t{7}, item.text.size() + 1}) {
            LoadedTable loaded;
            Load(loaded, item.text, chunkSize);
            EXPECT_FALSE(loaded.ok) << item.what;
            EXPECT_EQ(loaded.table.error.problem, item.problem) << item.what;
            EXPECT_EQ(loaded.table.error.line, item.line) << item.what;
            EXPECT_EQ(loaded.table.error.otherLine, item.otherLine) << item.what;
            EXPECT_EQ(loaded.table.error.inputName, "report.csv") << item.what;
        }
    }
}

}  // namespace
