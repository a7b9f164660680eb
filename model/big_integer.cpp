#include "big_integer.h"

#include <cassert>

namespace {

void Trim(BigInteger& x) {
    while (x.size > 0 && x.words[x.size - 1] == 0) {
        --x.size;
    }
}

void PushWord(BigInteger& x, std::uint32_t word) {
    assert(x.size < kBigIntegerWords);
    x.words[x.size++] = word;
}

}  // namespace

std::uint32_t DivideBySmall(BigInteger& x, std::uint32_t divisor) {
    std::uint64_t remainder = 0;
    for (int i = x.size - 1; i >= 0; --i) {
        std::uint64_t current = (remainder << 32) | x.words[i];
        x.words[i] = static_cast<std::uint32_t>(current / divisor);
        remainder = current % divisor;
    }
    Trim(x);
    return static_cast<std::uint32_t>(remainder);
}

void SetBigInteger(BigInteger& x, std::uint64_t value) {
    x.size = 0;
    while (value != 0) {
        PushWord(x, static_cast<std::uint32_t>(value));
        value >>= 32;
    }
}

void MultiplyAddSmall(BigInteger& x, std::uint32_t factor, std::uint32_t addend) {
    std::uint64_t carry = addend;
    for (int i = 0; i < x.size; ++i) {
        // factor * word + carry < 2^32 * 2^32: no overflow of the 64-bit product.
        std::uint64_t product = static_cast<std::uint64_t>(x.words[i]) * factor + carry;
        x.words[i] = static_cast<std::uint32_t>(product);
        carry = product >> 32;
    }
    if (carry != 0) {
        PushWord(x, static_cast<std::uint32_t>(carry));
    }
    Trim(x);
}

void MultiplyByPowerOfFive(BigInteger& x, int exponent) {
    // 5^13 = 1220703125 is the largest power of five below 2^32.
    for (; exponent >= 13; exponent -= 13) {
        MultiplyAddSmall(x, 1220703125u, 0);
    }
    std::uint32_t rest = 1;
    for (; exponent > 0; --exponent) {
        rest *= 5;
    }
    MultiplyAddSmall(x, rest, 0);
}

void MultiplyByPowerOfTen(BigInteger& x, int exponent) {
    MultiplyByPowerOfFive(x, exponent);
    ShiftLeft(x, exponent);
}

void ShiftLeft(BigInteger& x, int bits) {
    if (x.size == 0 || bits == 0) {
        return;
    }
    const int wordShift = bits / 32;
    const int bitShift = bits % 32;
    assert(x.size + wordShift + 1 <= kBigIntegerWords);
    x.words[x.size + wordShift] = 0;
    for (int i = x.size - 1; i >= 0; --i) {
        const std::uint32_t word = x.words[i];
        if (bitShift != 0) {
            x.words[i + wordShift + 1] |= word >> (32 - bitShift);
        }
        x.words[i + wordShift] = word << bitShift;
    }
    for (int i = 0; i < wordShift; ++i) {
        x.words[i] = 0;
    }
    x.size += wordShift + 1;
    Trim(x);
}

int CompareBig(const BigInteger& a, const BigInteger& b) {
    if (a.size != b.size) {
        return a.size < b.size ? -1 : 1;
    }
    for (int i = a.size - 1; i >= 0; --i) {
        if (a.words[i] != b.words[i]) {
            return a.words[i] < b.words[i] ? -1 : 1;
        }
    }
    return 0;
}

void SubtractBig(BigInteger& a, const BigInteger& b) {
    assert(CompareBig(a, b) >= 0);
    std::int64_t borrow = 0;
    for (int i = 0; i < a.size; ++i) {
        std::int64_t difference =
            static_cast<std::int64_t>(a.words[i]) - (i < b.size ? b.words[i] : 0) - borrow;
        borrow = difference < 0 ? 1 : 0;
        a.words[i] = static_cast<std::uint32_t>(difference + (borrow << 32));
    }
    Trim(a);
}

int BitLength(const BigInteger& x) {
    if (x.size == 0) {
        return 0;
    }
    int bits = 32 * (x.size - 1);
    for (std::uint32_t top = x.words[x.size - 1]; top != 0; top >>= 1) {
        ++bits;
    }
    return bits;
}

bool IsZero(const BigInteger& x) {
    return x.size == 0;
}

int ExtractDecimalDigits(BigInteger& x, char* digits) {
    if (x.size == 0) {
        digits[0] = '0';
        return 1;
    }
    // Peel off nine decimal digits at a time from the bottom, then reverse.
    int count = 0;
    while (x.size > 0) {
        std::uint32_t chunk = DivideBySmall(x, 1000000000u);
        for (int i = 0; i < 9; ++i) {
            digits[count++] = static_cast<char>('0' + chunk % 10);
            chunk /= 10;
        }
    }
    while (count > 1 && digits[count - 1] == '0') {
        --count;
    }
    for (int i = 0, j = count - 1; i < j; ++i, --j) {
        const char t = digits[i];
        digits[i] = digits[j];
        digits[j] = t;
    }
    return count;
}
