#include "power_of_five.h"

#include "big_integer.h"

namespace {

constexpr int kTableSize = kMaxApproximatedPower - kMinApproximatedPower + 1;

bool BitAt(const BigInteger& x, int index) {
    if (index < 0 || index >= 32 * x.size) {
        return false;
    }
    return ((x.words[index / 32] >> (index % 32)) & 1) != 0;
}

// The 128 bits of x from bit `top` down (bits below 0 read as zero).
PowerOfFive128 TakeBits(const BigInteger& x, int top) {
    PowerOfFive128 bits{0, 0, 0};
    for (int i = 0; i < 64; ++i) {
        bits.high = (bits.high << 1) | (BitAt(x, top - i) ? 1u : 0u);
        bits.low = (bits.low << 1) | (BitAt(x, top - 64 - i) ? 1u : 0u);
    }
    return bits;
}

// 5^q for q >= 0: its leading 128 bits, the rest cut off.
PowerOfFive128 ApproximatePositive(int q) {
    BigInteger power;
    SetBigInteger(power, 1);
    MultiplyByPowerOfFive(power, q);
    const int length = BitLength(power);
    PowerOfFive128 result = TakeBits(power, length - 1);
    result.exponent = length - 128;
    return result;
}

// 5^q = 1 / 5^-q for q < 0, by long division of a power of two, one bit at
// a time, rounded up. With 2^(L-1) <= 5^-q < 2^L, the first quotient bit of
// 2^(L-1+j) / 5^-q that is 1 is at j = 0 or j = 1.
PowerOfFive128 ApproximateNegative(int q) {
    BigInteger divisor;
    SetBigInteger(divisor, 1);
    MultiplyByPowerOfFive(divisor, -q);
    const int length = BitLength(divisor);
    BigInteger remainder;
    SetBigInteger(remainder, 1);
    ShiftLeft(remainder, length - 1);  // below the divisor: quotient bit 0 so far
    int scale = length - 1;            // remainder = 2^scale mod divisor, scaled
    PowerOfFive128 result{0, 0, 0};
    int taken = 0;
    while (taken < 128) {
        ShiftLeft(remainder, 1);
        ++scale;
        const bool bit = CompareBig(remainder, divisor) >= 0;
        if (bit) {
            SubtractBig(remainder, divisor);
        }
        if (taken == 0 && !bit) {
            continue;  // a leading zero of the quotient
        }
        result.high = (result.high << 1) | (result.low >> 63);
        result.low = (result.low << 1) | (bit ? 1u : 0u);
        ++taken;
    }
    // 2^scale / 5^-q = quotient + remainder, with a nonzero remainder (no
    // power of two is a multiple of five): round up.
    if (++result.low == 0 && ++result.high == 0) {
        return PowerOfFive128{std::uint64_t{1} << 63, 0, -scale + 1};  // all ones became 2^128
    }
    result.exponent = -scale;
    return result;
}

struct PowerTable {
    PowerOfFive128 entries[kTableSize];
    PowerTable() {
        for (int q = kMinApproximatedPower; q <= kMaxApproximatedPower; ++q) {
            entries[q - kMinApproximatedPower] =
                q >= 0 ? ApproximatePositive(q) : ApproximateNegative(q);
        }
    }
};

}  // namespace

const PowerOfFive128& ApproximatePowerOfFive(int q) {
    // Built on first use; a function-local static is initialised once, also
    // when several threads race for it.
    static const PowerTable table;
    return table.entries[q - kMinApproximatedPower];
}
