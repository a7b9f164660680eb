// Word-at-a-time byte search for the hot loops of reading and writing CSV:
// eight bytes are tested at once for the few bytes that matter (delimiter,
// quote, line ends). Loads go through memcpy, so no alignment is assumed, and
// a mask is read back in memory order, so neither is a byte order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "byte_words.h"

constexpr std::size_t kWordBytes = sizeof(std::uint64_t);
constexpr std::uint64_t kLowBits = 0x0101010101010101u;
constexpr std::uint64_t kHighBits = 0x8080808080808080u;

inline std::uint64_t RepeatByte(char c) {
    return kLowBits * static_cast<unsigned char>(c);
}

// The high bit of each byte is set exactly where `word` holds the byte
// repeated in `pattern`. For a byte b of x = word ^ pattern, (b & 0x7F) + 0x7F
// has its high bit set unless b & 0x7F is 0 and cannot carry into the next
// byte; or-ing b itself leaves the high bit clear only for b == 0.
inline std::uint64_t MarkByte(std::uint64_t word, std::uint64_t pattern) {
    const std::uint64_t x = word ^ pattern;
    return ~(((x & ~kHighBits) + ~kHighBits) | x | ~kHighBits);
}

inline std::uint64_t LoadWord(const char* bytes) {
    std::uint64_t word;
    std::memcpy(&word, bytes, sizeof word);
    return word;
}

// The last bytes of a text, fewer than eight, in a word filled up with
// `filler`, a byte that none of the searched bytes equals. The word is built
// from loads within the text and shifts: bytes stored one by one and loaded
// as a word would stall the processor's store-to-load forwarding.
inline std::uint64_t LoadTail(const char* bytes, std::size_t count, char filler) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    // count < 8, so the shift stays below 64.
    return LoadUpToEightBytes(bytes, count) | (RepeatByte(filler) << (8 * count));
#else
    char padded[kWordBytes];
    for (std::size_t i = 0; i < kWordBytes; ++i) {
        padded[i] = i < count ? bytes[i] : filler;
    }
    return LoadWord(padded);
#endif
}

// The index, in memory order, of the first byte whose high bit is set in a
// nonzero mask.
inline std::size_t FirstMarkedByte(std::uint64_t mask) {
#if defined(__GNUC__) && defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    return static_cast<std::size_t>(__builtin_ctzll(mask)) / 8;
#else
    unsigned char bytes[kWordBytes];
    std::memcpy(bytes, &mask, sizeof bytes);
    std::size_t i = 0;
    while (bytes[i] == 0) {
        ++i;
    }
    return i;
#endif
}

// A byte that is neither `a` nor `b`, to fill up a last word.
inline char PickFiller(char a, char b) {
    return a != 'x' && b != 'x' ? 'x' : (a != 'y' && b != 'y' ? 'y' : 'z');
}

// The position of the first `a` or `b` in text[from...], or text.size().
inline std::size_t FindEitherByte(std::string_view text, std::size_t from, char a, char b) {
    const std::uint64_t patternA = RepeatByte(a);
    const std::uint64_t patternB = RepeatByte(b);
    std::size_t i = from;
    for (; i + kWordBytes <= text.size(); i += kWordBytes) {
        const std::uint64_t word = LoadWord(text.data() + i);
        const std::uint64_t mask = MarkByte(word, patternA) | MarkByte(word, patternB);
        if (mask != 0) {
            return i + FirstMarkedByte(mask);
        }
    }
    if (i < text.size()) {
        const std::uint64_t word = LoadTail(text.data() + i, text.size() - i, PickFiller(a, b));
        const std::uint64_t mask = MarkByte(word, patternA) | MarkByte(word, patternB);
        if (mask != 0) {
            return i + FirstMarkedByte(mask);
        }
    }
    return text.size();
}

// The position of the first `c` in text[from...], or text.size().
inline std::size_t FindByte(std::string_view text, std::size_t from, char c) {
    return FindEitherByte(text, from, c, c);
}
