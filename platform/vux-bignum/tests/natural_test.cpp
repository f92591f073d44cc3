// Natural arithmetic against mpz, canonical form, and the underflow and division errors.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "MpzOracle.h"
#include "VUX/Num/Natural.h"
#include "VUX/Num/Primitives.h"

using namespace VUX::Num::Natural;
using namespace bignum_test;

namespace {

::testing::AssertionResult same_natural(const Value& got, mpz_srcptr want) {
    if (!natural_canonical(got) || naturalCheck_hash(got) != 1) return ::testing::AssertionFailure() << "not canonical";
    Mpz g = mpz_of_natural(got);
    if (mpz_cmp(g, want) != 0) return ::testing::AssertionFailure() << "got " << g.str();
    return ::testing::AssertionSuccess();
}

Mpz random_natural(RandomOperands& rnd, unsigned long bits = 5000) {
    Mpz a = rnd.next(bits);
    mpz_abs(a, a);
    return a;
}

TEST(Natural, ArithmeticMatchesMpz) {
    RandomOperands rnd(3);
    for (int i = 0; i < 300; ++i) {
        Mpz a = random_natural(rnd), b = random_natural(rnd, i % 2 ? 5000 : 130);
        Value x = natural_of(a), y = natural_of(b);
        SCOPED_TRACE(a.str() + " , " + b.str());
        Mpz sum, prod, g, andv, orv, xorv, andnot, nb;
        mpz_add(sum, a, b);
        mpz_mul(prod, a, b);
        mpz_gcd(g, a, b);
        mpz_and(andv, a, b);
        mpz_ior(orv, a, b);
        mpz_xor(xorv, a, b);
        mpz_com(nb, b);
        mpz_and(andnot, a, nb);
        EXPECT_TRUE(same_natural(naturalAdd(x, y), sum));
        EXPECT_TRUE(same_natural(naturalMul(x, y), prod));
        EXPECT_TRUE(same_natural(naturalGcd(x, y), g));
        EXPECT_TRUE(same_natural(naturalAnd(x, y), andv));
        EXPECT_TRUE(same_natural(naturalOr(x, y), orv));
        EXPECT_TRUE(same_natural(naturalXor(x, y), xorv));
        EXPECT_TRUE(same_natural(naturalAndNot(x, y), andnot));
        int c = mpz_cmp(a, b);
        EXPECT_EQ(naturalLt_hash(x, y), c < 0);
        EXPECT_EQ(naturalEq_hash(x, y), c == 0);
        std::optional<Value> diff = naturalSub(x, y);
        EXPECT_EQ(diff.has_value(), c >= 0);
        if (diff) {
            Mpz d;
            mpz_sub(d, a, b);
            EXPECT_TRUE(same_natural(*diff, d));
            EXPECT_TRUE(same_natural(naturalSubThrow(x, y), d));
        }
        if (mpz_sgn(b) != 0) {
            Mpz q, r;
            mpz_tdiv_qr(q, r, a, b);
            auto [oq, orr] = naturalQuotRem_hash(x, y);
            EXPECT_TRUE(same_natural(oq, q));
            EXPECT_TRUE(same_natural(orr, r));
            Mpz m = random_natural(rnd, 300);
            if (mpz_sgn(m) != 0) {
                Mpz e = random_natural(rnd, 100), want;
                mpz_powm(want, a, e, m);
                EXPECT_TRUE(same_natural(naturalPowMod(x, natural_of(e), natural_of(m)), want));
            }
        }
        uint64_t k = rnd.below(300);
        Mpz l, r;
        mpz_mul_2exp(l, a, k);
        mpz_fdiv_q_2exp(r, a, k);
        EXPECT_TRUE(same_natural(naturalShiftL_hash(x, k), l));
        EXPECT_TRUE(same_natural(naturalShiftR_hash(x, k), r));
        EXPECT_EQ(naturalPopCount_hash(x), mpz_popcount(a));
        EXPECT_EQ(naturalToDecimal(x), a.str());
        EXPECT_TRUE(same_natural(*naturalFromDecimal(a.str()), a));
    }
}

// Truncation toward zero against mpz_set_d, on random finite non-negative doubles of every
// exponent and on values just around the integers; negative values above -1 give 0, from -1 down
// they underflow.
TEST(Natural, FromDoubleTruncatesLikeMpz) {
    std::mt19937_64 gen(5);
    const double max = std::numeric_limits<double>::max(), tiny = std::numeric_limits<double>::denorm_min();
    std::vector<double> samples = {0.0,    -0.0,          0.5,    1.0, 1.5, 0x1p52 + 0.5,
                                   0x1p63, 0x1p64 - 2048, 0x1p64, max, tiny};
    for (int i = 0; i < 5000; ++i) {
        double d = std::bit_cast<double>(gen() >> 1);  // sign clear
        if (std::isfinite(d)) samples.push_back(d);
    }
    for (int i = 0; i < 500; ++i)
        samples.push_back(std::ldexp(static_cast<double>(gen() >> 11), -static_cast<int>(i % 60)));
    for (double d : samples) {
        Mpz want;
        mpz_set_d(want, d);
        EXPECT_TRUE(same_natural(naturalFromDouble(d), want)) << std::hexfloat << d;
    }
    EXPECT_TRUE(naturalIsZero_hash(naturalFromDouble(-0.75)));
    for (double d : {-1.0, -2.5, -0x1p70}) {
        try {
            naturalFromDouble(d);
            ADD_FAILURE() << "no exception for " << d;
        } catch (const rts::Exception& e) {
            EXPECT_EQ(e.kind(), rts::RtsError::Underflow);
        }
    }
}

TEST(Natural, SubtractionBelowZeroRaisesUnderflow) {
    for (auto [a, b] : {std::pair{NS(3), NS(5)}, std::pair{NS(3), naturalBit_hash(70)},
                        std::pair{naturalBit_hash(70), naturalBit_hash(71)}}) {
        EXPECT_FALSE(naturalSub(a, b).has_value());
        try {
            naturalSubThrow(a, b);
            ADD_FAILURE() << "no exception";
        } catch (const rts::Exception& e) {
            EXPECT_EQ(e.kind(), rts::RtsError::Underflow);
            EXPECT_EQ(rts::display(e), "arithmetic underflow");
        }
    }
    EXPECT_TRUE(naturalIsZero_hash(naturalSubThrow(naturalBit_hash(70), naturalBit_hash(70))));
    EXPECT_THROW(naturalNegate(NS(1)), rts::Exception);
    EXPECT_TRUE(naturalIsZero_hash(naturalNegate(NS(0))));
}

TEST(Natural, ZeroDivisorRaisesDivideByZero) {
    for (auto op : {naturalQuot, naturalRem}) {
        try {
            op(naturalBit_hash(80), NS(0));
            ADD_FAILURE() << "no exception";
        } catch (const rts::Exception& e) {
            EXPECT_EQ(e.kind(), rts::RtsError::DivideByZero);
        }
    }
    EXPECT_THROW(naturalPowMod(NS(2), NS(3), NS(0)), rts::Exception);
}

TEST(Natural, WordBoundaryAndLogarithms) {
    Value max = NS(~uint64_t(0));
    Value over = naturalAdd(max, NS(1));
    EXPECT_EQ(over->tag, NB_tag);
    EXPECT_EQ(naturalSubThrow(over, NS(1))->tag, NS_tag);
    EXPECT_EQ(naturalMul(NS(uint64_t(1) << 32), NS(uint64_t(1) << 32))->tag, NB_tag);
    EXPECT_EQ(naturalLog2_hash(over), 64u);
    EXPECT_EQ(naturalLog2_hash(NS(0)), 0u);
    EXPECT_EQ(naturalLogBaseWord_hash(10, NS(999)), 2u);
    EXPECT_EQ(naturalSizeInBase_hash(16, NS(255)), 2u);
    EXPECT_EQ(naturalSizeInBase_hash(10, NS(0)), 0u);
    EXPECT_THROW(naturalLogBaseWord_hash(1, NS(5)), rts::Exception);
    EXPECT_EQ(naturalPow(NS(2), 10)->tag, NS_tag);
    EXPECT_EQ(naturalToDecimal(naturalPow(NS(10), 30)), "1" + std::string(30, '0'));
    EXPECT_EQ(naturalToDouble_hash(over), 18446744073709551616.0);
    EXPECT_EQ(VUX::Num::Primitives::wordLogBase_hash(10, 1000), 3u);
    EXPECT_EQ(VUX::Num::Primitives::wordLogBase_hash(16, 255), 1u);
}

}  // namespace
