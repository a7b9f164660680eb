// MeasureAmount: where the number that ParseAmount reads ends. It follows the
// same syntax as ParseAmount's lexer but keeps no digits and rounds nothing,
// so callers can tell a figure read whole from one with text left over.
#include "number_text.h"

namespace {

bool IsBlank(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Skips a run of digits from `pos`; returns where it ends.
std::size_t SkipDigits(std::string_view text, std::size_t pos) {
    while (pos < text.size() && IsDigit(text[pos])) {
        ++pos;
    }
    return pos;
}

}  // namespace

std::size_t MeasureAmount(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) {
        ++i;
    }
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        ++i;
    }
    // Step 1: the mantissa needs a digit before or after its optional point.
    const std::size_t integerEnd = SkipDigits(text, i);
    bool hasDigits = integerEnd > i;
    i = integerEnd;
    if (i < text.size() && text[i] == '.') {
        const std::size_t fractionEnd = SkipDigits(text, i + 1);
        hasDigits = hasDigits || fractionEnd > i + 1;
        i = fractionEnd;
    }
    if (!hasDigits) {
        return 0;
    }
    // Step 2: an exponent counts only with at least one digit after its
    // marker and optional sign; otherwise the number ends before the marker.
    if (i < text.size()) {
        const char marker = text[i];
        if (marker == 'e' || marker == 'E' || marker == 'd' || marker == 'D') {
            std::size_t j = i + 1;
            if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
                ++j;
            }
            const std::size_t exponentEnd = SkipDigits(text, j);
            if (exponentEnd > j) {
                i = exponentEnd;
            }
        }
    }
    return i;
}
