#include "item_mode.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "error_report.h"
#include "exit_codes.h"
#include "figure_reading.h"
#include "figures_used.h"
#include "misread_log.h"
#include "result_cells.h"
#include "run_messages.h"

namespace {

// A figure longer than this is shown cut in the hint; the window reads fewer.
constexpr std::size_t kHintFigureLimit = 40;

void WriteLabelledResults(const ResultCells& cells, ByteSink& output) {
    // The texts start in one column, after the longest label and its colon.
    std::size_t labelWidth = 0;
    for (const char* label : kResultLabels) {
        labelWidth = std::max(labelWidth, std::strlen(label));
    }
    for (int field = 0; field < kResultCount; ++field) {
        std::size_t labelLength = std::strlen(kResultLabels[field]);
        AppendBytes(output, kResultLabels[field], labelLength);
        AppendChar(output, ':');
        for (std::size_t i = labelLength; i <= labelWidth; ++i) {
            AppendChar(output, ' ');
        }
        AppendText(output, cells.cell[field]);
        AppendChar(output, '\n');
    }
}

// A Unix shell needs '$10' in single quotes, but cmd.exe gives a single quote
// no meaning and passes it on as part of the figure, which then reads as 0.
bool IsSingleQuoted(std::string_view figure) {
    return figure.size() >= 2 && figure.front() == '\'' && figure.back() == '\'';
}

// One line naming the figures that came in single quotes and showing all four
// as they are typed in cmd.exe, or an empty message when none did. The
// figures themselves are still read as the window reads them.
void DescribeQuotedFigures(const std::string_view (&figures)[kFigureCount], MessageText& hint) {
    ClearMessage(hint);
    std::size_t quoted = 0;
    for (std::string_view figure : figures) {
        quoted += IsSingleQuoted(figure) ? 1 : 0;
    }
    if (quoted == 0) {
        return;
    }
    std::size_t named = 0;
    for (std::size_t i = 0; i < kFigureCount; ++i) {
        if (IsSingleQuoted(figures[i])) {
            ++named;
            AppendMessage(hint, named == 1 ? "" : named == quoted ? " and " : ", ");
            AppendMessage(hint, kFigureNames[i]);
        }
    }
    AppendMessage(hint,
                  " came in single quotes, which cmd.exe passes on as part of the figure; in "
                  "cmd.exe type the figures without quotes:");
    for (std::string_view figure : figures) {
        if (IsSingleQuoted(figure)) {
            figure = figure.substr(1, figure.size() - 2);
        }
        AppendMessage(hint, " ");
        // An empty figure is typed as "" in cmd.exe.
        if (figure.empty()) {
            AppendMessage(hint, "\"\"");
        } else if (!AppendMessageEscaped(hint, figure, kHintFigureLimit)) {
            AppendMessage(hint, "...");
        }
    }
}

}  // namespace

int RunItemMode(const Options& options, ByteSink& output, std::vector<std::string>& notes) {
    const CatalogueOptions& catalogue = options.catalogue;
    const std::string_view figures[kFigureCount] = {options.itemTexts[0], options.itemTexts[1],
                                                    options.itemTexts[2], options.itemTexts[3]};
    FigureRules rules;
    rules.decimalComma = catalogue.decimalComma;
    rules.thousandsComma = catalogue.thousandsComma;
    rules.currency = catalogue.currency;
    RewrittenFigures rewritten;
    FigureReading reading = ReadFigures(figures, rules, rewritten);
    // An empty argument is typed on purpose, as an empty field of the window.
    for (bool& empty : reading.empty) {
        empty = false;
    }
    const std::string_view columns[kFigureCount] = {kFigureNames[0], kFigureNames[1],
                                                    kFigureNames[2], kFigureNames[3]};
    MessageText hint;
    DescribeQuotedFigures(figures, hint);
    if (hint.length != 0) {
        ReportError(MessageView(hint));
    }

    MisreadLog misreads;
    StartMisreadLog(misreads);
    RunError error;
    ClearRunError(error);
    const bool counted[kFigureCount] = {true, true, true, true};
    // Line 0: the figures come from the command line.
    const FigurePlace place{"", 0, columns};
    if (!NoteItemFigures(misreads, place, figures, reading, counted, rules, catalogue.strict,
                         error)) {
        ReportRunError(error);
        return kExitBadData;
    }
    const InventoryInputs used =
        ChangesFigures(catalogue) ? UseFigures(reading.inputs, catalogue, true) : reading.inputs;
    CellForm form;
    form.decimalComma = catalogue.decimalComma;
    form.currency = catalogue.currency;
    CellTexts texts;
    WriteLabelledResults(MakeResultCells(ComputeResults(used), nullptr, form, texts), output);
    DescribeFigureNotes(misreads, false, notes);
    return kExitOk;
}
