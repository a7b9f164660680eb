// Loading the bytes of a text a word at a time without reading past its
// end, for the scanning loops of the number reader and the catalogue reader.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

// Up to eight bytes at `p` as one integer, the first byte lowest, on any
// host; the bytes beyond `count` read as zero, and nothing beyond them is
// touched. Four to seven bytes are two overlapping four-byte loads (the
// bytes they share are the same, so or-ing them changes nothing); one to
// three are the first, the middle and the last byte.
inline std::uint32_t LoadFourBytes(const char* p) {
    std::uint32_t chunk;
    std::memcpy(&chunk, p, sizeof chunk);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    chunk = __builtin_bswap32(chunk);
#endif
    return chunk;
}

inline std::uint64_t LoadUpToEightBytes(const char* p, std::size_t count) {
    if (count >= 8) {
        std::uint64_t chunk;
        std::memcpy(&chunk, p, sizeof chunk);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
        chunk = __builtin_bswap64(chunk);
#endif
        return chunk;
    }
    if (count >= 4) {
        const std::uint64_t high = LoadFourBytes(p + count - 4);
        return LoadFourBytes(p) | (high << (8 * (count - 4)));
    }
    if (count == 0) {
        return 0;
    }
    const std::uint64_t first = static_cast<unsigned char>(p[0]);
    const std::uint64_t middle = static_cast<unsigned char>(p[count / 2]);
    const std::uint64_t last = static_cast<unsigned char>(p[count - 1]);
    return first | (middle << (8 * (count / 2))) | (last << (8 * (count - 1)));
}
