// A slow, plainly exact decimal writer for the tests: the full expansion of
// m * 2^e by schoolbook arithmetic on digit strings. It shares nothing with
// the model's own conversion code, so the two can check each other.
#pragma once

#include <cstdint>
#include <string>

namespace exact {

// Multiplies a decimal digit string (most significant first) by a small factor.
inline void MultiplyDigits(std::string& digits, int factor) {
    int carry = 0;
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        const int product = (*it - '0') * factor + carry;
        *it = static_cast<char>('0' + product % 10);
        carry = product / 10;
    }
    while (carry > 0) {
        digits.insert(digits.begin(), static_cast<char>('0' + carry % 10));
        carry /= 10;
    }
}

// The exact value of m * 2^e as plain decimal text, "123.456" or "0.00123",
// with no trailing zeros after the point and no point for integers.
inline std::string Decimal(std::uint64_t m, int e) {
    std::string digits = std::to_string(m);
    for (int i = 0; i < e; ++i) {
        MultiplyDigits(digits, 2);
    }
    if (e >= 0) {
        return digits;
    }
    // m * 2^e = m * 5^-e / 10^-e.
    for (int i = 0; i < -e; ++i) {
        MultiplyDigits(digits, 5);
    }
    const std::size_t places = static_cast<std::size_t>(-e);
    if (digits.size() <= places) {
        digits.insert(0, places - digits.size() + 1, '0');
    }
    std::string text =
        digits.substr(0, digits.size() - places) + "." + digits.substr(digits.size() - places);
    while (text.back() == '0') {
        text.pop_back();
    }
    if (text.back() == '.') {
        text.pop_back();
    }
    return text;
}

}  // namespace exact
