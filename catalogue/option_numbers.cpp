#include "option_numbers.h"

#include <cmath>

#include "column_map.h"
#include "inventory.h"

bool ReadOptionNumber(std::string_view text, double& value) {
    const FieldReading reading = ReadInputField(text, false);
    value = reading.value;
    return reading.readWhole && !TrimBlanks(text).empty() && std::isfinite(value);
}

bool ReadOptionPercent(std::string_view text, bool needsSign, double& percent) {
    text = TrimBlanks(text);
    const bool hasSign = !text.empty() && text.back() == '%';
    if (needsSign && !hasSign) {
        return false;
    }
    if (hasSign) {
        text.remove_suffix(1);
    }
    return ReadOptionNumber(text, percent);
}
