// The generated power-of-five table, recomputed with GMP's unbounded
// integers: every entry must be 5^q cut (q >= 0) or raised (q < 0) to its
// leading 128 bits, and its binary exponent must be the one ParseAmount
// derives from q.
#include "power_of_five.h"

#include <gmpxx.h>
#include <gtest/gtest.h>

#include <cstdint>

namespace {

mpz_class FromHalves(std::uint64_t high, std::uint64_t low) {
    mpz_class value = static_cast<unsigned long>(high >> 32);
    for (std::uint64_t part : {high & 0xFFFFFFFFu, low >> 32, low & 0xFFFFFFFFu}) {
        value = (value << 32) + static_cast<unsigned long>(part);
    }
    return value;
}

// 5^q = t * 2^shift exactly, with t an integer and shift chosen so that t
// has between 127 and 128 bits before the cut: t = 5^q * 2^-shift.
TEST(PowerOfFiveTable, EveryEntryIsTheExactPowerCutTo128Bits) {
    for (int q = kMinPowerOfFive; q <= kMaxPowerOfFive; ++q) {
        const std::uint64_t* entry = kPowersOfFive[q - kMinPowerOfFive];
        const mpz_class table = FromHalves(entry[0], entry[1]);
        // 2^127 <= T < 2^128 with 5^q ~ T * 2^(f - 127), f = floor(log2(5^q)).
        const int f = FloorLog2PowerOfFive(q);
        mpz_class power;
        mpz_ui_pow_ui(power.get_mpz_t(), 5, static_cast<unsigned long>(q < 0 ? -q : q));
        mpz_class expected;
        if (q >= 0) {
            // 2^f <= 5^q < 2^(f+1): f is the bit length less one.
            ASSERT_EQ(mpz_sizeinbase(power.get_mpz_t(), 2), static_cast<std::size_t>(f + 1))
                << "q = " << q;
            const int shift = 127 - f;
            expected = shift >= 0 ? mpz_class(power << shift) : mpz_class(power >> -shift);
        } else {
            // 2^f < 5^q < 2^(f+1) means 2^-(f+1) < 5^-q < 2^-f.
            ASSERT_EQ(mpz_sizeinbase(power.get_mpz_t(), 2), static_cast<std::size_t>(-f))
                << "q = " << q;
            const mpz_class numerator = mpz_class(1) << (127 - f);
            mpz_cdiv_q(expected.get_mpz_t(), numerator.get_mpz_t(), power.get_mpz_t());
        }
        EXPECT_EQ(table, expected)
            << "q = " << q << ": table " << table.get_str(16) << ", exact " << expected.get_str(16);
        EXPECT_GE(mpz_sizeinbase(table.get_mpz_t(), 2), 128u) << "q = " << q;
    }
}

}  // namespace
