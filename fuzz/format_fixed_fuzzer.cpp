// Any 64-bit pattern into FormatFixed with one of the result fields' widths
// (1 or 16) and 0 to 6 places, chosen by a ninth byte (none: width 1, 2
// places, as the money fields use): the text must be the exact reference's,
// it must be written only into a buffer that holds it whole, and its length
// must stay within the bound of a double's longest text. One layout per run
// rather than all fourteen: the model's exact conversion under the
// sanitizers costs about 80 microseconds a call, and fourteen of them would
// hold the fuzzer to some 800 runs a second.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "double_bits.h"
#include "exact_number_text.h"
#include "number_text.h"

namespace {

// "-", 309 integer digits (DBL_MAX is below 10^309), "." and the places.
constexpr std::size_t kLongestIntegerPart = 309;

std::size_t BoundLength(int minWidth, int decimals) {
    std::size_t number = 1 + kLongestIntegerPart + (decimals > 0 ? 1 + decimals : 0);
    return std::max<std::size_t>(number, minWidth);
}

// The reference's decimal form of one value, made once for all the layouts
// (the exact expansion is the slow part), with the cut alternative where the
// 17-digit step may go either way.
struct ExactForms {
    double value;
    exact::DecimalForm rounded;
    exact::DecimalForm cut;
    bool eitherWay;
};

[[noreturn]] void Fail(const ExactForms& forms, int minWidth, int decimals, const char* what,
                       const std::string& got) {
    std::fprintf(stderr, "%s width %d decimals %d: %s: got \"%s\", exact \"%s\"\n",
                 exact::DescribeDouble(forms.value).c_str(), minWidth, decimals, what, got.c_str(),
                 exact::LayOutFixed(forms.rounded, minWidth, decimals).c_str());
    std::abort();
}

// Formats into a heap buffer of exactly outSize bytes, so that a write past
// its end is an AddressSanitizer report.
std::string FormatInto(double value, int minWidth, int decimals, std::size_t outSize,
                       std::size_t& length) {
    std::unique_ptr<char[]> out(new char[outSize]);
    std::memset(out.get(), 'x', outSize);
    length = FormatFixed(value, minWidth, decimals, out.get(), outSize);
    return std::string(out.get(), strnlen(out.get(), outSize));
}

void CheckOne(const ExactForms& forms, int minWidth, int decimals) {
    std::size_t length = 0;
    std::string whole =
        FormatInto(forms.value, minWidth, decimals, BoundLength(minWidth, decimals) + 1, length);
    if (length != whole.size()) {
        Fail(forms, minWidth, decimals, "returned length is not the text's", whole);
    }
    if (whole != exact::LayOutFixed(forms.rounded, minWidth, decimals) &&
        !(forms.eitherWay && whole == exact::LayOutFixed(forms.cut, minWidth, decimals))) {
        Fail(forms, minWidth, decimals, "wrong text", whole);
    }
    // Exactly its own room: the same text, though it is then written a
    // character at a time rather than a word at a time.
    std::size_t fitLength = 0;
    std::string fit = FormatInto(forms.value, minWidth, decimals, length + 1, fitLength);
    if (fitLength != length || fit != whole) {
        Fail(forms, minWidth, decimals, "differs in a buffer of exactly its size", fit);
    }
    // One byte short of the terminator: nothing but an empty text.
    std::size_t shortLength = 0;
    std::string cut = FormatInto(forms.value, minWidth, decimals, length, shortLength);
    if (shortLength != length || !cut.empty()) {
        Fail(forms, minWidth, decimals, "wrote a text that did not fit", cut);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, data, std::min(size, sizeof bits));
    const double value = DoubleFromBits(bits);
    int minWidth = 1;
    int decimals = 2;
    if (size > sizeof bits) {
        constexpr int kLayouts = 2 * 7;  // widths 1 and 16, 0 to 6 places
        int layout = data[sizeof bits] % kLayouts;
        minWidth = layout < 7 ? 1 : 16;
        decimals = layout % 7;
    }
    ExactForms forms{value, exact::MakeDecimalForm(value),
                     exact::MakeDecimalForm(value, exact::EighteenthFive::kCut),
                     exact::HasEighteenthFive(value)};
    CheckOne(forms, minWidth, decimals);
    return 0;
}
