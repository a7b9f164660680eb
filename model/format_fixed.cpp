// FormatFixed: a double to fixed-point text by a double rounding.
//
// Step 1 builds the decimal form of the value: 17 significant digits of its
// exact binary value, rounded half away from zero by the 18th digit. Step 2
// rounds that digit string to `decimals` places, half away from zero again.
// Step 3 lays out the text; step 4 pads it to the minimum width.
//
// Only the first 18 digits of the exact expansion are ever needed, because
// the 18th digit alone decides the first rounding (a 5 rounds up whatever
// follows it). They come from integer arithmetic: one 64x64-bit product and
// a shift for magnitudes from about 10^-9 to 10^18, big integers beyond.
// Where the rounded figure fits a 64-bit integer, steps 1 and 2 merge into
// one division of that product and steps 3 and 4 write its digits a word at
// a time (built for speed); the digit-string path serves every other case,
// and, built for size, every case.

#include <cstdint>
#include <cstring>

#include "big_integer.h"
#include "model_build.h"
#include "double_bits.h"
#include "number_text.h"
#include "small_powers.h"
#include "uint128.h"

namespace {

constexpr int kSignificantDigits = 17;
constexpr int kDigitsNeeded = kSignificantDigits + 1;

struct DecimalForm {
    bool negative;
    char digits[kDigitsNeeded];  // digits, or the "1#INF" family for non-finite values
    int count;
    int decpt;  // value = 0.d1d2d3... * 10^decpt
};

// Gathers the leading significant digits of an expansion that is produced
// most significant digit first.
struct DigitCollector {
    char digits[kDigitsNeeded];
    int count;
};

void CollectDigit(DigitCollector& collector, char digit) {
    if (collector.count < kDigitsNeeded) {
        collector.digits[collector.count++] = digit;
    }
}

// Any m * 2^e: the exact expansion through big integers.
// m * 2^e = m * 5^-e / 10^-e for e < 0.
void CollectExact(std::uint64_t m, int e, DigitCollector& collector, int& decpt) {
    BigInteger n;
    SetBigInteger(n, m);
    if (e >= 0) {
        ShiftLeft(n, e);
    } else {
        MultiplyByPowerOfFive(n, -e);
    }
    char digits[9 * kBigIntegerWords + 9];
    const int count = ExtractDecimalDigits(n, digits);
    for (int i = 0; i < count && i < kDigitsNeeded; ++i) {
        CollectDigit(collector, digits[i]);
    }
    decpt = e >= 0 ? count : count + e;
}

// Adds one to the last of `count` characters, carrying through '9's. A
// character other than a digit goes up by one character code and stops the
// carry, which is how "1#INF" rounds to "1#J". Returns true when the carry
// ran out of the first position (every character was '9').
bool IncrementLast(char* chars, int count) {
    for (int i = count - 1; i >= 0; --i) {
        if (chars[i] == '9') {
            chars[i] = '0';
        } else {
            ++chars[i];
            return false;
        }
    }
    return true;
}

void SetSpecial(DecimalForm& form, const char* text) {
    form.count = 0;
    for (; *text != '\0'; ++text) {
        form.digits[form.count++] = *text;
    }
    form.decpt = 1;
}

// floor(k * log10(2)) for |k| <= 1100: 78913 / 2^18 is log10(2) to within
// 2^-20, and the offset keeps the shifted value positive so that the shift
// rounds down.
constexpr int FloorLog10PowerOfTwo(int k) {
    constexpr int kOffset = 1000;  // 1000 * 2^18 > 1100 * 78913
    return ((k * 78913 + kOffset * 262144) >> 18) - kOffset;
}

// 10^16, 10^17 and 10^18: the smallest numbers of 17, 18 and 19 digits.
constexpr std::uint64_t kSmallest17Digits = 10000000000000000u;
constexpr std::uint64_t kSmallest18Digits = 100000000000000000u;
constexpr std::uint64_t kSmallest19Digits = 1000000000000000000u;

// 10^19 < 2^64 < 10^20. (Only the speed paths use it.)
[[maybe_unused]] constexpr int kMaxPowerOfTen64 = 19;

// 10^k for 0 <= k <= 19: 5^k * 2^k.
std::uint64_t PowerOfTen(int k) {
    return kPowersOfFive64.value[k] << k;
}

#if KEM_MODEL_SMALL
// floor(x / 10^k) for 1 <= k <= 19: built for size (kem.exe), one plain
// division.
std::uint64_t DivideByPowerOfTen(std::uint64_t x, int k) {
    return (x >> k) / kPowersOfFive64.value[k];  // 10^k = 5^k * 2^k
}
#else
// Built for speed, a division by a power of ten that varies from call to
// call is a product with its reciprocal, which costs a multiplication
// instead of a division or a jump through a table. floor(x / 10^k) =
// floor(y / 5^k) with y = floor(x / 2^k) < 2^(64-k). For a divisor d and y <
// 2^N, M = ceil(2^L / d) gives floor(y * M / 2^L) = floor(y / d) whenever d
// <= 2^(L-N): with M * d = 2^L + r, 0 <= r < d, and y = q * d + t, y * M /
// 2^L = q + t / d + y * r / (d * 2^L), and y * r < 2^N * 2^(L-N) keeps the
// last two terms below (d - 1) / d + 1 / d = 1. Here L = 64 + s, where s is
// the smallest shift with 2^(s+k) >= 5^k; then M < 2^64 for k >= 1.
struct Reciprocal {
    std::uint64_t multiplier;  // M = ceil(2^(64+s) / 5^k)
    int shift;                 // s
};

constexpr Reciprocal MakeReciprocalOfPowerOfFive(int k) {
    const std::uint64_t d = kPowersOfFive64.value[k];
    int s = 0;
    while ((std::uint64_t{1} << (s + k)) < d) {
        ++s;
    }
    // floor(2^(64+s) / d) by long division, one bit at a time; the
    // remainder stays below d < 2^45, so doubling it never overflows.
    std::uint64_t quotient = 0;
    std::uint64_t remainder = 1;
    for (int bit = 0; bit < 64 + s; ++bit) {
        remainder *= 2;
        quotient *= 2;
        if (remainder >= d) {
            remainder -= d;
            quotient |= 1;
        }
    }
    return Reciprocal{quotient + (remainder != 0 ? 1 : 0), s};
}

struct ReciprocalTable {
    Reciprocal entry[kMaxPowerOfTen64 + 1];
};

constexpr ReciprocalTable MakeReciprocalTable() {
    ReciprocalTable table{};
    for (int k = 1; k <= kMaxPowerOfTen64; ++k) {
        table.entry[k] = MakeReciprocalOfPowerOfFive(k);
    }
    return table;
}

constexpr ReciprocalTable kReciprocals = MakeReciprocalTable();

// floor(x / 10^k) for 1 <= k <= 19.
std::uint64_t DivideByPowerOfTen(std::uint64_t x, int k) {
    const Reciprocal& r = kReciprocals.entry[k];
    return Multiply64(x >> k, r.multiplier).high >> r.shift;
}
#endif

// Step 1's product, for m * 2^e with m nonzero and below 2^53: `scaled` gets
// floor(value * 10^p), a number of 18 or 19 digits, and `power` gets p. With
// 2^b <= value < 2^(b+1), value has floor(b * log10(2)) + 1 digits before
// its point or one more (with the point in front: its decimal exponent); p
// is 18 minus that estimate. floor(value * 10^p) = floor(m * 5^p * 2^(e+p))
// is exact: m * 5^p < 2^116 is one 128-bit product for 0 <= p <= 27, and the
// power of two is a shift. False where p is out of that range (magnitudes
// below about 10^-9 or from 10^18 up).
bool TryScaleToDigits(std::uint64_t m, int e, std::uint64_t& scaled, int& power) {
    const int estimate = FloorLog10PowerOfTwo(e + BitWidth64(m) - 1) + 1;
    const int p = 18 - estimate;
    if (p < 0 || p > kMaxPowerOfFive64) {
        return false;
    }
    const Uint128 product = Multiply64(m, kPowersOfFive64.value[p]);
    const int shift = e + p;  // value * 10^p = product * 2^shift
    if (shift >= 0) {
        scaled = product.low << shift;  // below 10^19: nothing is lost
    } else if (shift > -128) {
        scaled = ShiftRight128(product, -shift);
    } else {
        return false;
    }
    power = p;
    return true;
}

// Whether floor(value * 10^p) came out with 19 digits, the estimate of the
// decimal exponent having been one low: then the 18th significant digit is
// its tens digit, not its units digit.
int ExtraDigit(std::uint64_t scaled) {
    return scaled >= kSmallest19Digits ? 1 : 0;
}

// Step 1 in 64-bit integers: `digits` gets the first 17 significant digits
// rounded half away from zero by the 18th, a number in [10^16, 10^17), and
// value ~ digits * 10^(decpt - 17). With L = floor(value * 10^p) and o its
// extra digit, the 18th digit is the units digit of floor(L / 10^o), so the
// 17 digits are floor((floor(L / 10^o) + 5) / 10) = floor((L + 5 * 10^o) /
// 10^(o+1)): a floor of a floor plus an integer merges into one.
bool TrySeventeenDigits(std::uint64_t m, int e, std::uint64_t& digits, int& decpt) {
    std::uint64_t scaled;
    int p;
    if (!TryScaleToDigits(m, e, scaled, p)) {
        return false;
    }
    const int o = ExtraDigit(scaled);
    digits = DivideByPowerOfTen(scaled + 5 * PowerOfTen(o), o + 1);
    decpt = 18 - p + o;
    if (digits == kSmallest18Digits) {
        digits = kSmallest17Digits;  // 99...9 became 100...0
        ++decpt;
    }
    return true;
}

// Step 1.
void BuildDecimalForm(double value, DecimalForm& form) {
    const DoubleParts parts = DecodeDouble(value);
    form.negative = parts.negative;
    if (parts.exponentField == kExponentFieldMax) {
        if (parts.fraction == 0) {
            SetSpecial(form, "1#INF");
        } else if (BitsOf(value) == kInvalidNaNBits) {
            SetSpecial(form, "1#IND");
        } else if ((parts.fraction & kQuietBit) != 0) {
            SetSpecial(form, "1#QNAN");
        } else {
            SetSpecial(form, "1#SNAN");
        }
        return;
    }
    if (parts.significand == 0) {
        form.negative = false;
        form.digits[0] = '0';
        form.count = 1;
        form.decpt = 0;
        return;
    }
    // value = m * 2^e, m < 2^53.
    const std::uint64_t m = parts.significand;
    const int e = parts.exponent;

    std::uint64_t rounded;
    int decpt = 0;
    if (TrySeventeenDigits(m, e, rounded, decpt)) {
        int count = kSignificantDigits;
        for (int i = count - 1; i >= 0; --i) {
            form.digits[i] = static_cast<char>('0' + rounded % 10);
            rounded /= 10;
        }
        while (count > 1 && form.digits[count - 1] == '0') {
            --count;
        }
        form.count = count;
        form.decpt = decpt;
        return;
    }
    DigitCollector collector{};
    CollectExact(m, e, collector, decpt);
    int count = collector.count;
    if (count == kDigitsNeeded) {
        count = kSignificantDigits;
        if (collector.digits[kSignificantDigits] >= '5' &&
            IncrementLast(collector.digits, kSignificantDigits)) {
            collector.digits[0] = '1';  // 99...9 became 100...0
            count = 1;
            ++decpt;
        }
    }
    while (count > 1 && collector.digits[count - 1] == '0') {
        --count;
    }
    for (int i = 0; i < count; ++i) {
        form.digits[i] = collector.digits[i];
    }
    form.count = count;
    form.decpt = decpt;
}

// The digit string after step 2: `head` holds its first characters (those
// that rounding may change, plus a carried-out '1'); every position from
// headCount to `length` is '0'.
struct RoundedDigits {
    char head[kDigitsNeeded + 1];
    int headCount;
    int length;
    int decpt;
};

// Step 2.
void RoundToPlaces(const DecimalForm& form, int decimals, RoundedDigits& rounded) {
    rounded.decpt = form.decpt;
    rounded.headCount = 0;
    rounded.length = 0;
    const int n = decimals + form.decpt;
    if (n < 0) {
        return;  // every digit lies beyond the last place: nothing is rounded
    }
    const int taken = n < form.count ? n : form.count;
    for (int i = 0; i < taken; ++i) {
        rounded.head[i] = form.digits[i];
    }
    rounded.headCount = taken;
    rounded.length = n;
    const char next = n < form.count ? form.digits[n] : '0';
    if (next < '5') {
        return;
    }
    if (taken == 0 || IncrementLast(rounded.head, taken)) {
        // Carry out of the first position (or n == 0): a '1' goes in front.
        for (int i = taken; i > 0; --i) {
            rounded.head[i] = rounded.head[i - 1];
        }
        rounded.head[0] = '1';
        ++rounded.headCount;
        ++rounded.length;
        ++rounded.decpt;
    }
}

char DigitAt(const RoundedDigits& rounded, int index) {
    return index < rounded.headCount ? rounded.head[index] : '0';
}
// The length of the whole text: the body padded with blanks to minWidth.
// Returns false, leaving an empty string in `out` when it has room for one,
// when the text and its terminator do not fit in outSize bytes.
bool FitsWithPadding(std::size_t bodyLength, int minWidth, char* out, std::size_t outSize,
                     std::size_t& length) {
    const std::size_t width = minWidth > 0 ? static_cast<std::size_t>(minWidth) : 0;
    length = bodyLength < width ? width : bodyLength;
    if (length < outSize) {
        return true;
    }
    if (outSize > 0) {
        out[0] = '\0';
    }
    return false;
}

#if !KEM_MODEL_SMALL
// The integer path: steps 1 to 4 in 64-bit integers for every value whose
// figure, rounded and scaled by 10^decimals, has at most 18 digits, which is
// nearly every figure the calculator shows. Built for size (kem.exe), the
// digit-string path below takes every value instead: the same texts, from
// less code.

// The figure after steps 1 and 2, scaled by 10^decimals: an integer of at
// most 18 digits.
struct ScaledFigure {
    std::uint64_t n;
    int digits;  // how many n has, 0 for 0
};

// Steps 1 and 2 in 64-bit integers, for value = m * 2^e with m nonzero and
// below 2^53. With L = floor(value * 10^p) and o as in TrySeventeenDigits,
// the 17 digits D = floor((L + 5 * 10^o) / 10^(o+1)) stand for D * 10^(o + 1
// - p). Rounding that to the places, half away from zero again, drops the
// last j = p - decimals - o - 1 digits of D: n = floor((D + 5 * 10^(j-1)) /
// 10^j), or D itself for j = 0. The floors merge as in TrySeventeenDigits,
// so with J = p - decimals = j + o + 1
//
//     n = floor((L + 5 * 10^o + 5 * 10^(J-1)) / 10^J),
//
// without the last term when j = 0. The sum stays below 10^19 + 50 + 5 *
// 10^18 < 2^64 for J <= 19, and n <= 10^17: at most 17 digits were kept,
// plus a carry. As L has 18 + o digits, n has b = 18 + o - J of them, or b +
// 1 when the rounding carried it to 10^b, which is known without counting
// them. For J > 19 (j >= 18 - o) no digit of D reaches the last place, and
// like the digit-string path the value rounds to 0. False for j < 0, where
// more than 17 digits would stand before the last place (the digit-string
// path pads with zeros), and where TryScaleToDigits is.
bool TryRoundToPlaces(std::uint64_t m, int e, int decimals, ScaledFigure& figure) {
    std::uint64_t scaled;
    int p;
    if (!TryScaleToDigits(m, e, scaled, p)) {
        return false;
    }
    const int o = ExtraDigit(scaled);
    const int bigJ = p - decimals;
    if (bigJ < o + 1) {
        return false;
    }
    if (bigJ > kMaxPowerOfTen64) {
        figure = ScaledFigure{0, 0};
        return true;
    }
    const std::uint64_t placeHalf = bigJ > o + 1 ? 5 * PowerOfTen(bigJ - 1) : 0;
    figure.n = DivideByPowerOfTen(scaled + 5 * PowerOfTen(o) + placeHalf, bigJ);
    // b < 0 only for J = 19 with o = 0, where n is 0.
    const int b = 18 + o - bigJ > 0 ? 18 + o - bigJ : 0;
    figure.digits = b + (figure.n >= PowerOfTen(b) ? 1 : 0);
    return true;
}

// The most places the integer path takes: 10^17 is the largest figure it
// writes, so 17 places keep every text within 19 digits.
constexpr int kMaxIntegerPathDecimals = 17;

// How a scaled figure n = the figure * 10^decimals is laid out: sign,
// integer part (at least "0"), point, `decimals` places, and blanks in front
// up to the minimum width.
struct FixedLayout {
    bool negative;
    int decimals;
    int integerDigits;
    std::size_t bodyLength;  // without the blanks
    std::size_t padding;
    std::size_t length;  // of the whole text
};

FixedLayout LayOutScaledFigure(bool negative, int significantDigits, int decimals) {
    const int digitCount = significantDigits > decimals ? significantDigits : decimals + 1;
    FixedLayout layout{};
    layout.negative = negative;
    layout.decimals = decimals;
    layout.integerDigits = digitCount - decimals;
    layout.bodyLength =
        (negative ? 1u : 0u) + static_cast<std::size_t>(digitCount) + (decimals > 0 ? 1u : 0u);
    return layout;
}

// Writes the text one character at a time from its end: the plain way, for
// any layout and any room.
void WriteByDigits(const FixedLayout& layout, std::uint64_t n, char* out) {
    char* p = out + layout.length;
    *p = '\0';
    for (int i = 0; i < layout.decimals; ++i) {
        *--p = static_cast<char>('0' + n % 10);
        n /= 10;
    }
    if (layout.decimals > 0) {
        *--p = '.';
    }
    for (int i = 0; i < layout.integerDigits; ++i) {
        *--p = static_cast<char>('0' + n % 10);
        n /= 10;
    }
    if (layout.negative) {
        *--p = '-';
    }
    while (p != out) {
        *--p = ' ';
    }
}

// The digits are made eight at a time in a word and the text is written in
// whole words from left to right: each word may run past its part of the
// text, and the next word, written after it, covers that. The last word
// holds the point, the places and the terminator, and runs up to 7 bytes
// past the terminator, so this way needs that much room in `out`.
constexpr std::size_t kWordBytes = 8;
// The place count of every text the calculator shows, given code of its own.
constexpr int kTwoPlaces = 2;
constexpr int kWordDecimals = 6;  // the point, 6 places and a terminator fill a word

// The eight decimal digits of x < 10^8, leading zeros included, as a word
// whose lowest byte is the first digit. The digits are split in halving
// steps with every part in its own lane of the word, so each step is one
// multiplication for all lanes: x / 10^4 and x % 10^4 in 32-bit lanes, each
// of those by 100 into 16-bit lanes, each of those by 10 into bytes.
// floor(a * 10486 / 2^20) = floor(a / 100) for a < 10^4 (the error a *
// 2.3e-7 stays below 0.01), and floor(c * 103 / 2^10) = floor(c / 10) for c
// < 100 (the error c * 5.9e-4 stays below 0.1). No lane's product reaches
// the next lane, and what a shift brings down from a higher lane falls
// outside the mask.
std::uint64_t EncodeEightDigits(std::uint32_t x) {
    const std::uint64_t halves = (x / 10000) | (static_cast<std::uint64_t>(x % 10000) << 32);
    const std::uint64_t hundreds = ((halves * 10486) >> 20) & 0x0000007F0000007Fu;
    const std::uint64_t pairs = hundreds | ((halves - hundreds * 100) << 16);
    const std::uint64_t tens = ((pairs * 103) >> 10) & 0x000F000F000F000Fu;
    return (tens | ((pairs - tens * 10) << 8)) + 0x3030303030303030u;
}

// Stores a word whose lowest byte goes first, on any host.
void StoreWord(char* at, std::uint64_t word) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    word = __builtin_bswap64(word);
#endif
    std::memcpy(at, &word, sizeof word);
}

// The last `count` (1 to 8) of the eight digits of x < 10^8, in the lowest
// bytes of a word whose higher bytes are zero.
std::uint64_t EncodeLastDigits(std::uint64_t x, int count) {
    return EncodeEightDigits(static_cast<std::uint32_t>(x)) >> (8 * (8 - count));
}

constexpr std::uint64_t kEightDigits = 100000000;  // 10^8

bool FitsWordByWord(const FixedLayout& layout, std::size_t outSize) {
    const std::size_t tail =
        layout.decimals > 0 ? static_cast<std::size_t>(layout.decimals) + 1 : 0;
    return layout.decimals <= kWordDecimals && layout.length - tail + kWordBytes <= outSize;
}

// The digits of n are written as one run, in blocks of eight with the first
// block short; the word of the point, the places and the terminator then
// goes over the places, which it holds moved one byte on. The places are the
// last bytes of the last block. `decimals` is layout.decimals, passed apart
// so that a caller with a constant count gets code for that count.
inline void WriteByWords(const FixedLayout& layout, std::uint64_t n, int decimals, char* out) {
    for (std::size_t i = 0; i < layout.padding; i += kWordBytes) {
        StoreWord(out + i, 0x2020202020202020u);
    }
    // The sign without a branch: a '-' that is not wanted is covered by the
    // first digits.
    char* p = out + layout.padding;
    *p = '-';
    p += layout.negative ? 1 : 0;
    int left = layout.integerDigits + decimals;
    for (int block = 2; block >= 1; --block) {
        if (left > 8 * block) {
            const std::uint64_t unit = block == 2 ? kEightDigits * kEightDigits : kEightDigits;
            const std::uint64_t head = n / unit;
            StoreWord(p, EncodeLastDigits(head, left - 8 * block));
            p += left - 8 * block;
            n -= head * unit;
            left = 8 * block;
        }
    }
    // At least decimals + 1 digits are left for the last block.
    const std::uint64_t last = EncodeEightDigits(static_cast<std::uint32_t>(n));
    StoreWord(p, last >> (8 * (8 - left)));
    p += left;
    std::uint64_t tail = 0;  // the terminator, and zeros
    if (decimals > 0) {
        p -= decimals;
        tail = '.' | ((last >> (8 * (8 - decimals))) << 8);
    }
    StoreWord(p, tail);
}

// Steps 3 and 4 for the figure scaled by 10^decimals.
void WriteScaledFigure(bool negative, const ScaledFigure& figure, int minWidth, int decimals,
                       char* out, std::size_t outSize, std::size_t& length) {
    FixedLayout layout = LayOutScaledFigure(negative, figure.digits, decimals);
    if (!FitsWithPadding(layout.bodyLength, minWidth, out, outSize, length)) {
        return;
    }
    layout.length = length;
    layout.padding = length - layout.bodyLength;
    if (FitsWordByWord(layout, outSize)) {
        if (decimals == kTwoPlaces) {
            WriteByWords(layout, figure.n, kTwoPlaces, out);
        } else {
            WriteByWords(layout, figure.n, decimals, out);
        }
        return;
    }
    WriteByDigits(layout, figure.n, out);
}

// Steps 1 to 4 for values whose rounded figure, scaled by 10^decimals, is an
// integer of at most 18 digits. False when the digit-string path is needed
// (non-finite values, more than 17 digits before the last place, magnitudes
// TryScaleToDigits leaves out).
bool TryFormatAsInteger(double value, int minWidth, int decimals, char* out, std::size_t outSize,
                        std::size_t& length) {
    const DoubleParts parts = DecodeDouble(value);
    if (parts.exponentField == kExponentFieldMax || decimals > kMaxIntegerPathDecimals) {
        return false;
    }
    bool negative = parts.negative;
    ScaledFigure figure{0, 0};
    if (parts.significand == 0) {
        negative = false;  // zero of either sign
    } else if (!TryRoundToPlaces(parts.significand, parts.exponent, decimals, figure)) {
        return false;
    }
    WriteScaledFigure(negative, figure, minWidth, decimals, out, outSize, length);
    return true;
}

#endif

// Steps 1 to 4 through the digit string: every value and place count.
// Kept out of FormatFixed's own code, whose common case then needs fewer
// registers saved and restored.
KEM_OUT_OF_LINE std::size_t FormatDigitString(double value, int minWidth, int decimals, char* out,
                                              std::size_t outSize) {
    DecimalForm form;
    BuildDecimalForm(value, form);
    RoundedDigits rounded;
    RoundToPlaces(form, decimals, rounded);

    // Step 3: sign, integer part, point, exactly `decimals` places.
    const int integerDigits = rounded.decpt > 0 ? rounded.decpt : 0;
    const std::size_t bodyLength = (form.negative ? 1u : 0u) +
                                   static_cast<std::size_t>(integerDigits > 0 ? integerDigits : 1) +
                                   (decimals > 0 ? 1u + static_cast<std::size_t>(decimals) : 0u);
    std::size_t length;
    if (!FitsWithPadding(bodyLength, minWidth, out, outSize, length)) {
        return length;
    }

    std::size_t pos = 0;
    // Step 4: blanks in front up to the minimum width.
    for (std::size_t i = bodyLength; i < length; ++i) {
        out[pos++] = ' ';
    }
    if (form.negative) {
        out[pos++] = '-';
    }
    int index = 0;  // next position of the rounded digit string
    if (integerDigits == 0) {
        out[pos++] = '0';
    }
    for (; index < integerDigits; ++index) {
        out[pos++] = DigitAt(rounded, index);
    }
    if (decimals > 0) {
        out[pos++] = '.';
        const int leadingZeros =
            rounded.decpt < 0 ? (-rounded.decpt < decimals ? -rounded.decpt : decimals) : 0;
        for (int i = 0; i < leadingZeros; ++i) {
            out[pos++] = '0';
        }
        for (int i = leadingZeros; i < decimals; ++i, ++index) {
            out[pos++] = DigitAt(rounded, index);
        }
    }
    out[pos] = '\0';
    return length;
}

}  // namespace

std::size_t FormatFixed(double value, int minWidth, int decimals, char* out, std::size_t outSize) {
    if (decimals < 0) {
        decimals = 0;
    }
    if (decimals > kMaxFixedDecimals) {
        decimals = kMaxFixedDecimals;
    }
#if !KEM_MODEL_SMALL
    std::size_t length;
    if (TryFormatAsInteger(value, minWidth, decimals, out, outSize, length)) {
        return length;
    }
#endif
    return FormatDigitString(value, minWidth, decimals, out, outSize);
}
