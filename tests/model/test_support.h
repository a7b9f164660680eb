#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

inline std::uint64_t Bits(double value) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

inline double FromBits(std::uint64_t bits) {
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// A double as hexadecimal floating text with its bits, for failure messages.
inline std::string Describe(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%a (bits %016llx)", value,
                  static_cast<unsigned long long>(Bits(value)));
    return text;
}
