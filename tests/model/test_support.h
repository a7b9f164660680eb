#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "double_bits.h"

// A double as hexadecimal floating text with its bits, for failure messages.
inline std::string Describe(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%a (bits %016llx)", value,
                  static_cast<unsigned long long>(BitsOf(value)));
    return text;
}
