// Where ParseAmount's number ends, for the model's reading of a field
// (whether anything is left over) and for the tests.
#pragma once

#include <cstddef>
#include <string_view>

// The length of the leading part of `text` that ParseAmount reads as its
// number, leading white space included; 0 when the text holds no number.
// Whatever follows that length is what ParseAmount ignores.
std::size_t MeasureAmount(std::string_view text);

// ParseAmount's value and MeasureAmount's length, from one reading of the
// text.
struct AmountReading {
    double value;
    std::size_t length;
};

AmountReading ReadAmount(std::string_view text);
