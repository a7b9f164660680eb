#include "hex_float.h"

#include <cstdint>
#include <cstring>

#include "decimal_digits.h"
#include "double_bits.h"

namespace {

std::size_t AppendText(char* out, std::size_t length, const char* text) {
    std::size_t textLength = std::strlen(text);
    std::memcpy(out + length, text, textLength);
    return length + textLength;
}

// Decimal digits of the binary exponent, at most 4 of them (|e| <= 1023).
std::size_t AppendExponent(char* out, std::size_t length, int exponent) {
    out[length++] = 'p';
    out[length++] = exponent < 0 ? '-' : '+';
    unsigned magnitude =
        exponent < 0 ? static_cast<unsigned>(-exponent) : static_cast<unsigned>(exponent);
    return AppendDecimalDigits(out, length, magnitude);
}

}  // namespace

std::size_t FormatHexFloat(double value, char (&out)[kHexFloatSize]) {
    const DoubleParts parts = DecodeDouble(value);
    const std::uint64_t fraction = parts.fraction;

    std::size_t length = 0;
    if (parts.negative) {
        out[length++] = '-';
    }
    if (parts.exponentField == kExponentFieldMax) {
        length = AppendText(out, length, fraction == 0 ? "inf" : "nan");
        out[length] = '\0';
        return length;
    }
    if (parts.exponentField == 0 && fraction == 0) {
        length = AppendText(out, length, "0x0p+0");
        out[length] = '\0';
        return length;
    }

    // A subnormal keeps the exponent of the smallest normal, 2^-1022, and
    // shows its missing leading bit as "0x0.", exactly like glibc.
    const bool subnormal = parts.exponentField == 0;
    const int exponent = subnormal ? kMinNormalExponent : parts.exponentField - kExponentBias;
    length = AppendText(out, length, subnormal ? "0x0" : "0x1");

    // 52 fraction bits are 13 hex digits; trailing zero digits are dropped.
    if (fraction != 0) {
        out[length++] = '.';
        static const char kHexDigits[] = "0123456789abcdef";
        int shift = kFractionBits - 4;
        std::uint64_t rest = fraction;
        while (rest != 0) {
            out[length++] = kHexDigits[(rest >> shift) & 0xF];
            rest &= (std::uint64_t{1} << shift) - 1;
            shift -= 4;
        }
    }
    length = AppendExponent(out, length, exponent);
    out[length] = '\0';
    return length;
}
