// Writing a whole number's decimal digits, for the exponents of the number
// texts and the counts and line numbers of the messages.
#pragma once

#include <cstddef>

// The most digits AppendDecimalDigits writes: 2^64 - 1 has 20.
constexpr std::size_t kMaxDecimalDigits = 20;

// Writes the digits of `value`, most significant first and "0" for zero, at
// out + length, and returns the length after them. `out` must have room for
// them: at most kMaxDecimalDigits, and as many as the value has.
inline std::size_t AppendDecimalDigits(char* out, std::size_t length, unsigned long long value) {
    char reversed[kMaxDecimalDigits];
    std::size_t count = 0;
    do {
        reversed[count++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    while (count > 0) {
        out[length++] = reversed[--count];
    }
    return length;
}
