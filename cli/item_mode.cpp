#include "item_mode.h"

#include <algorithm>
#include <cstring>

#include "error_report.h"
#include "exit_codes.h"
#include "figure_reading.h"
#include "misread_log.h"
#include "result_cells.h"

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

int RunItemMode(const Options& options, ByteSink& output, MessageText& summary) {
    const CatalogueOptions& catalogue = options.catalogue;
    const std::string_view figures[kFigureCount] = {options.itemTexts[0], options.itemTexts[1],
                                                    options.itemTexts[2], options.itemTexts[3]};
    RewrittenFigures rewritten;
    const FigureReading reading = ReadFigures(figures, catalogue.decimalComma, rewritten);
    const std::string_view columns[kFigureCount] = {kFigureNames[0], kFigureNames[1],
                                                    kFigureNames[2], kFigureNames[3]};
    MisreadLog misreads;
    StartMisreadLog(misreads);
    MessageText strictMessage;
    // Line 0: the figures come from the command line.
    if (!NoteItemMisreads(misreads, "", 0, columns, figures, reading, catalogue.decimalComma,
                          catalogue.strict, strictMessage)) {
        ReportError(MessageView(strictMessage));
        return kExitBadData;
    }

    ResultTexts texts = ComputeResultTexts(reading.inputs);
    const ResultCells cells = ViewTextCells(texts, catalogue.decimalComma);
    WriteLabelledResults(cells, output);
    DescribeMisreads(misreads, false, summary);
    return kExitOk;
}
