#include "power_of_five.h"

#include "big_integer.h"

namespace {

// Zeros until the filler below runs. MinGW's linker puts the sections that
// -fdata-sections makes of zero data with the initialised data, in the
// file; named .bss, the table takes no room in kem.exe.
#if defined(_WIN32) && defined(__GNUC__)
__attribute__((section(".bss")))
#endif
std::uint64_t powers[kPowerOfFiveCount][2];

// The 32 bits of x from bit `from` upward; bits below 0 and above x read as 0.
std::uint32_t TakeWord(const BigInteger& x, int from) {
    std::uint64_t word = 0;
    for (int k = 0; k < 2; ++k) {
        // The two words of x that the 32 bits may straddle, as one 64-bit value.
        const int index = (from >= 0 ? from / 32 : (from - 31) / 32) + k;
        if (index >= 0 && index < x.size) {
            word |= static_cast<std::uint64_t>(x.words[index]) << (32 * k);
        }
    }
    const int shift = from - 32 * (from >= 0 ? from / 32 : (from - 31) / 32);
    return static_cast<std::uint32_t>(word >> shift);
}

// Bits [from, from + 128) of x, as the table's {high, low}.
void TakeBits(const BigInteger& x, int from, std::uint64_t (&entry)[2]) {
    for (int half = 0; half < 2; ++half) {
        const int base = from + 64 * (1 - half);
        entry[half] = static_cast<std::uint64_t>(TakeWord(x, base + 32)) << 32 | TakeWord(x, base);
    }
}

// Step 1: 5^q for q >= 0, exactly, one factor of five at a time; T is its
// bits from floor(log2(5^q)) - 127 upward, the bits below cut.
void FillNonNegativePowers() {
    BigInteger power;
    SetBigInteger(power, 1);
    for (int q = 0; q <= kMaxPowerOfFive; ++q) {
        TakeBits(power, FloorLog2PowerOfFive(q) - 127, powers[q - kMinPowerOfFive]);
        MultiplyAddSmall(power, 5, 0);
    }
}

// Step 2: for q = -m < 0, with L the bit length of 5^m (FloorLog2PowerOfFive
// gives -L), T = ceil(2^(127 + L) / 5^m). With R_m = floor(2^E / 5^m),
// floor(R_m / 2^s) = floor(2^(E - s) / 5^m) (a floor of a floor by integers
// is one floor), so s = E - 127 - L gives the quotient rounded down; no power
// of two is a multiple of five, so the quotient is never whole and adding 1
// raises it. R_m = floor(R_(m-1) / 5) for the same reason, so R is divided by
// five once a step. E = 896 >= 127 + L for every m in the table (L <= 755).
constexpr int kDividendBits = 896;

void FillNegativePowers() {
    BigInteger quotient;
    SetBigInteger(quotient, 1);
    ShiftLeft(quotient, kDividendBits);
    for (int m = 1; m <= -kMinPowerOfFive; ++m) {
        DivideBySmall(quotient, 5);
        std::uint64_t(&entry)[2] = powers[-m - kMinPowerOfFive];
        TakeBits(quotient, kDividendBits - 127 + FloorLog2PowerOfFive(-m), entry);
        entry[1] += 1;
        entry[0] += entry[1] == 0 ? 1 : 0;
    }
}

struct PowerTableFiller {
    PowerTableFiller() {
        FillNonNegativePowers();
        FillNegativePowers();
    }
};

// Filled before every other static initialiser of the program, which may
// read a number: a priority runs before all initialisers without one.
#if defined(__GNUC__)
__attribute__((init_priority(101)))
#endif
PowerTableFiller filler;

}  // namespace

const std::uint64_t (&kPowersOfFive)[kPowerOfFiveCount][2] = powers;
