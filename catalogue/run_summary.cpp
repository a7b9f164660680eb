#include "run_summary.h"

namespace {

void AppendCount(MessageText& message, unsigned long long count, std::string_view one,
                 std::string_view many) {
    AppendMessageNumber(message, count);
    AppendMessage(message, count == 1 ? one : many);
}

void AddNote(RunNoteKind kind, const MessageText& text, std::vector<RunNote>& notes) {
    notes.push_back(RunNote{kind, std::string(MessageView(text))});
}

// "120 items had no row in sales.csv": their figures from it read as 0.
void NoteItemsWithoutRow(const JoinedReport& report, std::vector<RunNote>& notes) {
    if (report.itemsWithoutRow == 0) {
        return;
    }
    MessageText text;
    ClearMessage(text);
    AppendCount(text, report.itemsWithoutRow, " item had no row in ", " items had no row in ");
    AppendMessage(text, report.table->inputName);
    AddNote(kNoteItemsWithoutRow, text, notes);
}

// "5 rows of sales.csv matched no item": a key written differently
// ("sku-001" against "SKU-001") must not go unnoticed.
void NoteUnmatchedRows(const JoinedReport& report, std::vector<RunNote>& notes) {
    const unsigned long long count = CountUnmatchedRows(*report.table);
    if (count == 0) {
        return;
    }
    MessageText text;
    ClearMessage(text);
    AppendCount(text, count, " row of ", " rows of ");
    AppendMessage(text, report.table->inputName);
    AppendMessage(text, " matched no item");
    AddNote(kNoteUnmatchedRows, text, notes);
}

void NoteNotUtf8(const CatalogueRun& run, std::vector<RunNote>& notes) {
    const RunNotes& seen = run.notes;
    if (seen.notUtf8Lines == 0) {
        return;
    }
    MessageText text;
    ClearMessage(text);
    AppendCount(text, seen.notUtf8Lines, " line of ", " lines of ");
    AppendMessage(text, run.inputName);
    AppendMessage(text, seen.notUtf8Lines == 1 ? " is not UTF-8 text: line "
                                               : " are not UTF-8 text; the first: line ");
    AppendMessageNumber(text, seen.firstNotUtf8Line);
    AddNote(kNoteNotUtf8, text, notes);
}

}  // namespace

void ListFigureNotes(const MisreadLog& log, bool countRows, std::vector<RunNote>& notes) {
    MessageText text;
    if (DescribeMisreads(log, countRows, text)) {
        AddNote(kNoteMisreads, text, notes);
    }
    if (DescribeEmptyFigures(log, text)) {
        AddNote(kNoteEmptyFigures, text, notes);
    }
}

void ListRunNotes(const CatalogueRun& run, std::vector<RunNote>& notes) {
    ListFigureNotes(run.misreads, true, notes);
    // A run that stopped early has not met every report row it would have.
    for (std::size_t j = 0; j < run.joinCount; ++j) {
        NoteItemsWithoutRow(run.joins[j], notes);
        if (run.status == kRunDone) {
            NoteUnmatchedRows(run.joins[j], notes);
        }
    }
    if (run.notes.looksLikeCsv) {
        notes.push_back(
            RunNote{kNoteLooksLikeCsv, "the first line holds commas or semicolons and no tab"});
    } else if (run.notes.looksLikeHeader) {
        notes.push_back(
            RunNote{kNoteLooksLikeHeader, "the first line looks like column names, not figures"});
    }
    NoteNotUtf8(run, notes);
}
