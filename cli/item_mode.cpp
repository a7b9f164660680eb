#include "item_mode.h"

#include <algorithm>
#include <cstring>

#include "exit_codes.h"
#include "figure_reading.h"
#include "figures_used.h"
#include "misread_log.h"
#include "result_cells.h"
#include "run_messages.h"

namespace {

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
