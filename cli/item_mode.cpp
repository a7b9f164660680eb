#include "item_mode.h"

#include <algorithm>
#include <cstring>

#include "exit_codes.h"
#include "inventory.h"

int RunItemMode(const Options& options, OutputBuffer& output) {
    InventoryInputs inputs = ParseInputs(options.itemTexts[0], options.itemTexts[1],
                                         options.itemTexts[2], options.itemTexts[3]);
    ResultTexts texts = ComputeResultTexts(inputs);

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
        AppendText(output, texts.text[field]);
        AppendChar(output, '\n');
    }
    return kExitOk;
}
