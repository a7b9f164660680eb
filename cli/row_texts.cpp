#include "row_texts.h"

ParsedFigureTexts FormatParsedFigures(const InventoryInputs& inputs) {
    ParsedFigureTexts texts;
    const double figures[4] = {inputs.price, inputs.cost, inputs.buyPerMonth, inputs.sellPerMonth};
    for (int i = 0; i < 4; ++i) {
        texts.length[i] = FormatHexFloat(figures[i], texts.text[i]);
    }
    return texts;
}
