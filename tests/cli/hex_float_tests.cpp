// The hexadecimal text of --echo-parsed: a table built from bit patterns, and
// natively a sweep against glibc's printf("%a"), which it is meant to match.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>

#include "hex_float.h"

namespace {

double FromBits(std::uint64_t bits) {
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

std::string HexText(double value) {
    char text[kHexFloatSize];
    std::size_t length = FormatHexFloat(value, text);
    EXPECT_EQ(length, std::strlen(text));
    return std::string(text, length);
}

struct HexCase {
    std::uint64_t bits;
    const char* text;
};

const HexCase kHexCases[] = {
    {0x0000000000000000, "0x0p+0"},
    {0x8000000000000000, "-0x0p+0"},
    {0x3FF0000000000000, "0x1p+0"},
    {0x4008000000000000, "0x1.8p+1"},                  // 3
    {0xC000000000000000, "-0x1p+1"},                   // -2
    {0x3FE0000000000000, "0x1p-1"},                    // 0.5
    {0x3FB999999999999A, "0x1.999999999999ap-4"},      // 0.1
    {0x3FF0000000000001, "0x1.0000000000001p+0"},      // 1 + 2^-52
    {0x7FEFFFFFFFFFFFFF, "0x1.fffffffffffffp+1023"},   // largest double
    {0xFFEFFFFFFFFFFFFF, "-0x1.fffffffffffffp+1023"},  // the longest text
    {0x0010000000000000, "0x1p-1022"},                 // smallest normal
    {0x000FFFFFFFFFFFFF, "0x0.fffffffffffffp-1022"},   // largest subnormal
    {0x0000000000000001, "0x0.0000000000001p-1022"},   // smallest subnormal
    {0x8000000000000001, "-0x0.0000000000001p-1022"},
    {0x0008000000000000, "0x0.8p-1022"},
    {0x7FF0000000000000, "inf"},
    {0xFFF0000000000000, "-inf"},
    {0x7FF8000000000000, "nan"},
    {0xFFF8000000000000, "-nan"},
    {0x7FF0000000000001, "nan"},  // signalling: same text as quiet
    {0x4340000000000000, "0x1p+53"},
    {0x3CB0000000000000, "0x1p-52"},
    {0x408F400000000000, "0x1.f4p+9"},  // 1000
};

TEST(HexFloat, TableOfBitPatterns) {
    for (const HexCase& item : kHexCases) {
        EXPECT_EQ(HexText(FromBits(item.bits)), item.text) << std::hex << "bits 0x" << item.bits;
    }
}

#ifndef _WIN32
std::string PrintfText(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%a", value);
    return text;
}

// Random bit patterns, weighted towards the edges of the exponent range and
// towards fractions with few bits set, where trailing digits are dropped.
TEST(HexFloat, MatchesGlibcPrintf) {
    std::mt19937_64 random(20240601);
    for (int i = 0; i < 200000; ++i) {
        std::uint64_t bits = random();
        switch (i % 4) {
            case 0:
                break;
            case 1:  // subnormal or zero exponent
                bits &= 0x800FFFFFFFFFFFFF;
                break;
            case 2:  // few fraction bits
                bits &= 0xFFFFF00000000000 | (random() & 0xF);
                break;
            case 3:  // top and bottom of the exponent range
                bits = (bits & 0x800FFFFFFFFFFFFF) |
                       ((i % 8 == 3 ? std::uint64_t{1} : std::uint64_t{0x7FE}) << 52);
                break;
        }
        double value = FromBits(bits);
        if (value != value) {
            continue;  // glibc prints every NaN as nan or -nan: in the table
        }
        ASSERT_EQ(HexText(value), PrintfText(value)) << std::hex << "bits 0x" << bits;
    }
}
#endif

}  // namespace
