// The pieces of an output row shared by the TSV and CSV front ends.
#pragma once

#include <string_view>

#include "hex_float.h"
#include "inventory.h"

// The four stored figures of an item as hexadecimal floating texts.
struct ParsedFigureTexts {
    char text[4][kHexFloatSize];
    std::size_t length[4];
};

ParsedFigureTexts FormatParsedFigures(const InventoryInputs& inputs);

inline std::string_view GetResultText(const ResultTexts& texts, int field) {
    return std::string_view(texts.text[field]);
}
