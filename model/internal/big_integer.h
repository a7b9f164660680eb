// Unsigned integers of a few thousand bits in a fixed array, for the exact
// slow paths of the number conversions. Only what those paths need is here:
// building from small parts, scaling by powers of 2, 5 and 10, comparison,
// subtraction and the digits of the decimal expansion.
#pragma once

#include <cstddef>
#include <cstdint>

// 5120 bits. The largest operand in either conversion stays below 4000 bits:
// reading needs at most 10^1125 shifted by 55 bits (the long division in
// parse_amount.cpp), and formatting at most 2^53 * 5^1074, about 2550 bits.
constexpr int kBigIntegerWords = 160;

struct BigInteger {
    std::uint32_t words[kBigIntegerWords];  // little-endian: words[0] is least significant
    int size;                               // words in use; words[size - 1] != 0 unless size == 0
};

void SetBigInteger(BigInteger& x, std::uint64_t value);
void MultiplyAddSmall(BigInteger& x, std::uint32_t factor, std::uint32_t addend);
void MultiplyByPowerOfTen(BigInteger& x, int exponent);
void MultiplyByPowerOfFive(BigInteger& x, int exponent);
void ShiftLeft(BigInteger& x, int bits);
// x /= divisor (1 to 2^32 - 1), rounded down; returns the remainder.
std::uint32_t DivideBySmall(BigInteger& x, std::uint32_t divisor);
// Returns -1, 0 or 1 as a is less than, equal to or greater than b.
int CompareBig(const BigInteger& a, const BigInteger& b);
// a -= b; requires a >= b.
void SubtractBig(BigInteger& a, const BigInteger& b);
int BitLength(const BigInteger& x);
bool IsZero(const BigInteger& x);
// Writes the decimal digits of x (most significant first, "0" for zero) into
// `digits`, which must have room for 9 * size + 9 characters, and returns
// their count. Destroys x.
int ExtractDecimalDigits(BigInteger& x, char* digits);
