// Integer arithmetic against GMP's mpz functions on random operands, canonical form after every
// operation, floating-point rounding boundaries, decimal text and the arithmetic exceptions.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <random>
#include <span>
#include <vector>

#include "MpzOracle.h"
#include "Testing.h"
#include "VUX/Num/Integer.h"
#include "VUX/Num/Natural.h"
#include "VUX/Types.h"

using namespace VUX::Num::Integer;
using namespace bignum_test;

namespace {

constexpr int kRounds = 1000;

::testing::AssertionResult same_integer(const Value& got, mpz_srcptr want) {
    if (!integer_canonical(got)) return ::testing::AssertionFailure() << "not canonical: " << integerToDecimal(got);
    if (integerCheck_hash(got) != 1) return ::testing::AssertionFailure() << "integerCheck# disagrees";
    Mpz g = mpz_of_integer(got);
    if (mpz_cmp(g, want) != 0) {
        Mpz w;
        mpz_set(w, want);
        return ::testing::AssertionFailure() << "got " << g.str() << ", want " << w.str();
    }
    return ::testing::AssertionSuccess();
}

struct BinaryCase {
    const char* name;
    Value (*ours)(const Value&, const Value&);
    void (*reference)(mpz_ptr, mpz_srcptr, mpz_srcptr);
    bool divides;  // skip a zero second operand
};

void ref_lcm(mpz_ptr r, mpz_srcptr a, mpz_srcptr b) { mpz_lcm(r, a, b); }

const BinaryCase kBinary[] = {
    {"add", [](const Value& a, const Value& b) { return integerAdd(a, b); }, mpz_add, false},
    {"sub", [](const Value& a, const Value& b) { return integerSub(a, b); }, mpz_sub, false},
    {"mul", [](const Value& a, const Value& b) { return integerMul(a, b); }, mpz_mul, false},
    {"quot", integerQuot, mpz_tdiv_q, true},
    {"rem", integerRem, mpz_tdiv_r, true},
    {"div", integerDiv, mpz_fdiv_q, true},
    {"mod", integerMod, mpz_fdiv_r, true},
    {"gcd", integerGcd, mpz_gcd, false},
    {"lcm", integerLcm, ref_lcm, false},
    {"and", integerAnd, mpz_and, false},
    {"or", integerOr, mpz_ior, false},
    {"xor", integerXor, mpz_xor, false},
};

class IntegerBinary : public ::testing::TestWithParam<BinaryCase> {};

TEST_P(IntegerBinary, MatchesMpz) {
    const BinaryCase& c = GetParam();
    RandomOperands rnd(1234);
    for (int i = 0; i < kRounds; ++i) {
        Mpz a = rnd.next(), b = rnd.next();
        if (i % 7 == 0) mpz_set(b, a);  // equal operands
        if (c.divides && mpz_sgn(b) == 0) continue;
        Mpz want;
        c.reference(want, a, b);
        SCOPED_TRACE(a.str() + " " + c.name + " " + b.str());
        ASSERT_TRUE(same_integer(c.ours(integer_of(a), integer_of(b)), want));
    }
}

INSTANTIATE_TEST_SUITE_P(Ops, IntegerBinary, ::testing::ValuesIn(kBinary),
                         [](const auto& info) { return std::string(info.param.name); });

// Operands of one and two limbs around the machine-integer and limb boundaries, every pair and
// sign: the short paths meet every carry and every result size from zero to four limbs.
TEST(Integer, OperandsAtLimbBoundariesMatchMpz) {
    const char* magnitudes[] = {
        "0",
        "1",
        "9223372036854775807",                      // 2^63 - 1
        "9223372036854775808",                      // 2^63
        "9223372036854775809",                      // 2^63 + 1
        "18446744073709551615",                     // 2^64 - 1
        "18446744073709551616",                     // 2^64
        "170141183460469231731687303715884105727",  // 2^127 - 1
        "170141183460469231731687303715884105728",  // 2^127
        "340282366920938463463374607431768211455",  // 2^128 - 1
    };
    std::vector<Mpz> operands;
    for (const char* m : magnitudes) {
        operands.emplace_back(m);
        operands.emplace_back(m);
        mpz_neg(operands.back(), operands.back());
    }
    for (const BinaryCase& c : kBinary) {
        for (const Mpz& a : operands) {
            for (const Mpz& b : operands) {
                if (c.divides && mpz_sgn(b.z) == 0) continue;
                Mpz want;
                c.reference(want, a, b);
                SCOPED_TRACE(a.str() + " " + c.name + " " + b.str());
                ASSERT_TRUE(same_integer(c.ours(integer_of(a), integer_of(b)), want));
            }
        }
    }
}

// Every operation of `cases` on every pair of non-zero magnitudes, each in both signs and both
// forms.
void expect_signed_pairs_match(const std::vector<Mpz>& magnitudes, std::span<const BinaryCase> cases) {
    std::vector<std::pair<Mpz, Form>> operands;
    for (const Mpz& m : magnitudes)
        for (bool negative : {false, true})
            for (Form form : {Form::Bytes, Form::Inline}) {
                operands.emplace_back(m, form);
                if (negative) mpz_neg(operands.back().first, operands.back().first);
            }
    for (const BinaryCase& c : cases) {
        for (const auto& [a, fa] : operands) {
            for (const auto& [b, fb] : operands) {
                Mpz want;
                c.reference(want, a, b);
                SCOPED_TRACE(std::string(c.name) + " of " + std::to_string(mpz_size(a)) + " and " +
                             std::to_string(mpz_size(b)) + " limbs");
                ASSERT_TRUE(same_integer(c.ours(integer_of(a, fa), integer_of(b, fb)), want));
            }
        }
    }
}

// Magnitudes around the longest that a constructor holds inline (254 limbs), in both forms and
// signs: results on either side of that limit, and operands of either form, meet every operation.
TEST(Integer, OperandsAtTheInlineLimitMatchMpz) {
    std::vector<Mpz> magnitudes;
    for (unsigned long limbs : {1ul, 126ul, 127ul, 253ul, 254ul, 255ul}) {
        Mpz power;
        mpz_setbit(power, 64 * limbs);  // 2^(64 limbs): limbs + 1 limbs
        Mpz below;
        mpz_sub_ui(below, power, 1);  // all ones: limbs limbs
        magnitudes.emplace_back(power);
        magnitudes.emplace_back(below);
    }
    expect_signed_pairs_match(magnitudes, kBinary);
}

// Sums and differences of longer magnitudes whose carries and borrows run through every limb or
// stop at the top one: results that gain a limb, lose limbs down to a few, become small or zero.
// Lengths on both sides of the switch from the short carry loop to GMP's (16 limbs). Every pair,
// sign and form.
TEST(Integer, CarriesAndBorrowsAcrossLimbsMatchMpz) {
    std::vector<Mpz> magnitudes;
    for (unsigned long limbs : {3ul, 10ul, 16ul, 17ul}) {
        Mpz power;
        mpz_setbit(power, 64 * limbs);
        for (long offset : {-1l, 0l, 1l, 5l}) {  // all ones, and just past a limb boundary
            magnitudes.emplace_back(power);
            if (offset < 0) mpz_sub_ui(magnitudes.back(), power, 1);
            if (offset > 0) mpz_add_ui(magnitudes.back(), power, static_cast<unsigned long>(offset));
        }
        magnitudes.emplace_back(power);
        mpz_setbit(magnitudes.back(), 64);  // 2^64 above the power: a borrow stops in limb one
    }
    for (const char* m : {"1", "18446744073709551615", "340282366920938463463374607431768211455"})
        magnitudes.emplace_back(m);  // 1, 2^64 - 1, 2^128 - 1
    expect_signed_pairs_match(magnitudes, std::span(kBinary, 2));  // add and sub
}

// Sums beyond the limbs a constructor holds get an array as long as their top limbs say: one limb
// more when those overflow, none when they stay below all ones, and when they sum to all ones
// exactly, room that a carry from below fills or that is cut when none comes. Operands of 300
// limbs (B = 2^64): tops 2^63 or 2^63 - 1 over all ones, a one or zeros; all ones, which a one
// carries out of; and a top of 3, which nothing carries out of. Every pair, sign and form.
TEST(Integer, LongSumsWhoseTopLimbsDecideTheCarryMatchMpz) {
    constexpr unsigned long kLimbs = 300;
    auto top_over = [](unsigned long top, unsigned long low_ones, unsigned long low) {
        Mpz r;
        mpz_set_ui(r, top);
        mpz_mul_2exp(r, r, 64 * (kLimbs - 1));  // top * B^299
        Mpz below;
        mpz_setbit(below, 64 * low_ones);
        mpz_sub_ui(below, below, 1);  // the low limbs all ones
        mpz_add(r, r, below);
        mpz_add_ui(r, r, low);
        return r;
    };
    const unsigned long half = 1ul << 63;
    std::vector<Mpz> magnitudes;
    magnitudes.push_back(top_over(half, kLimbs - 1, 0));      // 2^63 over all ones
    magnitudes.push_back(top_over(half - 1, 0, 1));           // 2^63 - 1 over a one
    magnitudes.push_back(top_over(half - 1, 0, 0));           // 2^63 - 1 over zeros
    magnitudes.push_back(top_over(~0ul, kLimbs - 1, 0));      // all ones
    magnitudes.push_back(top_over(3, 0, 0));                  // 3 over zeros
    magnitudes.emplace_back("1");
    expect_signed_pairs_match(magnitudes, std::span(kBinary, 2));  // add and sub
}

// Sums and differences beyond the limbs a constructor holds are written straight into the array
// of their magnitude, which is then cut to the result's length. Of each size, one result dropped at
// once, one kept to the end and one whose magnitude alone is kept (shared through a BigNat#): every
// value kept still has its limbs after all the later results.
TEST(Integer, BigResultsKeepTheirLimbsAfterLaterOnes) {
    gmp_randstate_t state;
    gmp_randinit_default(state);
    gmp_randseed_ui(state, 17);
    std::vector<std::pair<Value, Mpz>> kept;
    std::vector<std::pair<Value, Mpz>> magnitudes;
    for (unsigned long limbs : {300ul, 300ul, 600ul, 280ul, 700ul, 255ul, 1000ul, 20000ul, 300ul, 299ul}) {
        for (int use = 0; use < 3; ++use) {
            Mpz a, b, want;
            mpz_rrandomb(a, state, 64 * limbs);
            mpz_urandomb(b, state, 64 * limbs - 1);
            if (use == 1) mpz_neg(b, b);  // a difference, one limb shorter than the sum's room
            mpz_add(want, a, b);
            Value sum = integerAdd(integer_of(a), integer_of(b));
            ASSERT_TRUE(same_integer(sum, want)) << limbs << " limbs";
            if (use == 1) kept.emplace_back(std::move(sum), want);
            if (use == 2) magnitudes.emplace_back(integerToBigNatSign_hash(sum).second, want);
        }
    }
    for (const auto& [value, want] : kept) EXPECT_TRUE(same_integer(value, want));
    for (const auto& [mag, want] : magnitudes) {
        Mpz got;
        set_from_bignat(got, mag);
        EXPECT_EQ(mpz_cmp(got, want), 0);
    }
    gmp_randclear(state);
}

TEST(Integer, DivisionPairsMatchMpz) {
    RandomOperands rnd(99);
    for (int i = 0; i < kRounds; ++i) {
        Mpz a = rnd.next(), b = rnd.next(i % 2 ? 5000 : 200);
        if (mpz_sgn(b) == 0) continue;
        Mpz q, r, d, m;
        mpz_tdiv_qr(q, r, a, b);
        mpz_fdiv_qr(d, m, a, b);
        auto [oq, orr] = integerQuotRem_hash(integer_of(a), integer_of(b));
        auto [od, om] = integerDivMod_hash(integer_of(a), integer_of(b));
        SCOPED_TRACE(a.str() + " / " + b.str());
        EXPECT_TRUE(same_integer(oq, q));
        EXPECT_TRUE(same_integer(orr, r));
        EXPECT_TRUE(same_integer(od, d));
        EXPECT_TRUE(same_integer(om, m));
    }
}

TEST(Integer, UnaryOperationsMatchMpz) {
    RandomOperands rnd(7);
    for (int i = 0; i < kRounds; ++i) {
        Mpz a = rnd.next();
        Value v = integer_of(a);
        SCOPED_TRACE(a.str());
        Mpz neg, abs, com, sq;
        mpz_neg(neg, a);
        mpz_abs(abs, a);
        mpz_com(com, a);
        mpz_mul(sq, a, a);
        EXPECT_TRUE(same_integer(integerNegate(v), neg));
        EXPECT_TRUE(same_integer(integerAbs(v), abs));
        EXPECT_TRUE(same_integer(integerComplement(v), com));
        EXPECT_TRUE(same_integer(integerSqr(v), sq));
        EXPECT_TRUE(same_integer(integerSignum(v), Mpz(static_cast<long>(mpz_sgn(a)))));
        EXPECT_EQ(integerSignum_hash(v), mpz_sgn(a));
        EXPECT_EQ(integerIsNegative_hash(v), mpz_sgn(a) < 0);
        Mpz abs_pop;
        mpz_abs(abs_pop, a);
        auto pop = static_cast<int64_t>(mpz_popcount(abs_pop));
        EXPECT_EQ(integerPopCount_hash(v), mpz_sgn(a) < 0 ? -pop : pop);
        EXPECT_EQ(integerLog2_hash(v), mpz_sgn(a) > 0 ? mpz_sizeinbase(a, 2) - 1 : 0);
        // The low 64 bits of the two's complement value.
        Mpz low;
        mpz_fdiv_r_2exp(low, a, 64);
        uint64_t want_word = mpz_size(low) ? mpz_getlimbn(low, 0) : 0;
        EXPECT_EQ(integerToWord_hash(v), want_word);
        EXPECT_EQ(integerToInt_hash(v), static_cast<int64_t>(want_word));
    }
}

TEST(Integer, ComparisonsMatchMpz) {
    RandomOperands rnd(11);
    for (int i = 0; i < kRounds; ++i) {
        Mpz a = rnd.next(), b = rnd.next();
        if (i % 5 == 0) mpz_set(b, a);
        Value x = integer_of(a), y = integer_of(b);
        int c = mpz_cmp(a, b);
        c = (c > 0) - (c < 0);
        SCOPED_TRACE(a.str() + " vs " + b.str());
        EXPECT_EQ(integerCompare(x, y)->tag, c + 1);
        EXPECT_EQ(integerLt_hash(x, y), c < 0);
        EXPECT_EQ(integerLe_hash(x, y), c <= 0);
        EXPECT_EQ(integerGt_hash(x, y), c > 0);
        EXPECT_EQ(integerGe_hash(x, y), c >= 0);
        EXPECT_EQ(integerEq_hash(x, y), c == 0);
        EXPECT_EQ(integerNe_hash(x, y), c != 0);
        EXPECT_EQ(VUX::Types::isTrue(integerLe(x, y)), c <= 0);
    }
}

TEST(Integer, ShiftsAndBitsMatchMpz) {
    RandomOperands rnd(13);
    for (int i = 0; i < kRounds; ++i) {
        Mpz a = rnd.next();
        uint64_t k = rnd.below(i % 4 == 0 ? 6000 : 200);
        Value v = integer_of(a);
        SCOPED_TRACE(a.str() + " shift " + std::to_string(k));
        Mpz l, r;
        mpz_mul_2exp(l, a, k);
        mpz_fdiv_q_2exp(r, a, k);
        EXPECT_TRUE(same_integer(integerShiftL_hash(v, k), l));
        EXPECT_TRUE(same_integer(integerShiftR_hash(v, k), r));
        EXPECT_EQ(integerTestBit_hash(v, k), mpz_tstbit(a, k));
        Mpz bit;
        mpz_setbit(bit, k);
        EXPECT_TRUE(same_integer(integerBit_hash(k), bit));
    }
}

TEST(Integer, PowersMatchMpz) {
    RandomOperands rnd(17);
    for (int i = 0; i < 100; ++i) {
        Mpz a = rnd.next(300);
        unsigned long e = rnd.below(25);
        Mpz want;
        mpz_pow_ui(want, a, e);
        SCOPED_TRACE(a.str() + " ^ " + std::to_string(e));
        EXPECT_TRUE(same_integer(integerPow(integer_of(a), e), want));
    }
}

TEST(Integer, ModularPowerAndInverseMatchMpz) {
    RandomOperands rnd(19);
    for (int i = 0; i < 150; ++i) {
        Mpz b = rnd.next(600), e = rnd.next(150), m = rnd.next(600);
        mpz_abs(m, m);
        if (mpz_cmp_ui(m, 1) <= 0) continue;
        Value vb = integer_of(b), ve = integer_of(e), vm = natural_of(m);
        SCOPED_TRACE(b.str() + " ^ " + e.str() + " mod " + m.str());
        Mpz inv;
        bool invertible = mpz_invert(inv, b, m) != 0;
        std::optional<Value> ours_inv = integerRecipMod_hash(vb, vm);
        ASSERT_EQ(ours_inv.has_value(), invertible);
        if (invertible) {
            EXPECT_EQ(mpz_cmp(mpz_of_natural(*ours_inv), inv), 0);
        }
        std::optional<Value> ours_pow = integerPowMod_hash(vb, ve, vm);
        if (mpz_sgn(e) < 0 && !invertible) {
            EXPECT_FALSE(ours_pow.has_value());
            continue;
        }
        Mpz want;
        mpz_powm(want, b, e, m);
        ASSERT_TRUE(ours_pow.has_value());
        EXPECT_TRUE(natural_canonical(*ours_pow));
        EXPECT_EQ(mpz_cmp(mpz_of_natural(*ours_pow), want), 0);
    }
    // No modulus, or a modulus of one.
    EXPECT_FALSE(integerPowMod_hash(IS(3), IS(4), VUX::Num::Natural::NS(0)).has_value());
    EXPECT_TRUE(VUX::Num::Natural::naturalIsZero_hash(*integerPowMod_hash(IS(3), IS(4), VUX::Num::Natural::NS(1))));
    EXPECT_FALSE(integerRecipMod_hash(IS(6), VUX::Num::Natural::NS(9)).has_value());
    EXPECT_FALSE(integerRecipMod_hash(IS(0), VUX::Num::Natural::NS(9)).has_value());
}

TEST(Integer, ExtendedGcdMatchesMpz) {
    RandomOperands rnd(23);
    for (int i = 0; i < kRounds; ++i) {
        Mpz a = rnd.next(), b = rnd.next(i % 2 ? 5000 : 100);
        Mpz g, s, t;
        mpz_gcdext(g, s, t, a, b);
        Gcde r = integerGcde_hash(integer_of(a), integer_of(b));
        SCOPED_TRACE(a.str() + " gcde " + b.str());
        EXPECT_TRUE(same_integer(r.g, g));
        EXPECT_TRUE(integer_canonical(r.x) && integer_canonical(r.y));
        // a x + b y = g
        Mpz lhs = mpz_of_integer(integerAdd(integerMul(integer_of(a), r.x), integerMul(integer_of(b), r.y)));
        EXPECT_EQ(mpz_cmp(lhs, g), 0);
        EXPECT_TRUE(same_integer(r.x, s));
        EXPECT_TRUE(same_integer(r.y, t));
    }
}

TEST(Integer, LogarithmsAndDigitCounts) {
    RandomOperands rnd(29);
    const unsigned long bases[] = {2, 3, 10, 16, 255, 1000000007};
    for (int i = 0; i < 200; ++i) {
        Mpz a = rnd.next(2000);
        mpz_abs(a, a);
        if (mpz_sgn(a) == 0) continue;
        unsigned long base = bases[i % 6];
        uint64_t r = integerLogBaseWord_hash(base, integer_of(a));
        Mpz lo, hi;
        mpz_ui_pow_ui(lo, base, r);
        mpz_ui_pow_ui(hi, base, r + 1);
        SCOPED_TRACE(a.str() + " log " + std::to_string(base));
        EXPECT_LE(mpz_cmp(lo, a), 0);
        EXPECT_GT(mpz_cmp(hi, a), 0);
        EXPECT_EQ(integerLogBase_hash(integerFromWord_hash(base), integer_of(a)), r);
        EXPECT_EQ(integerSizeInBase_hash(base, integer_of(a)), r + 1);
        EXPECT_EQ(integerSizeInBase_hash(base, integerNegate(integer_of(a))), r + 1);
    }
    // A big base.
    Mpz big("123456789012345678901234567890"), x;
    mpz_pow_ui(x, big, 7);
    mpz_sub_ui(x, x, 1);
    EXPECT_EQ(integerLogBase_hash(integer_of(big), integer_of(x)), 6u);
    EXPECT_EQ(integerLogBase_hash(integer_of(big), integerAdd(integer_of(x), IS(1))), 7u);
    EXPECT_EQ(integerSizeInBase_hash(10, IS(0)), 0u);
    EXPECT_EQ(integerLog2_hash(IS(-8)), 0u);
}

// ---------------------------------------------------------------------------------------------
// Floating point: the nearest value, ties to even, computed exactly with mpz.

template <class F>
F nearest_by_mpz(mpz_srcptr a) {
    // Candidates: truncation toward zero and the next value away from zero.
    if (mpz_sizeinbase(a, 2) > static_cast<size_t>(std::numeric_limits<F>::max_exponent) + 1)
        return mpz_sgn(a) < 0 ? -std::numeric_limits<F>::infinity() : std::numeric_limits<F>::infinity();
    Mpz abs;
    mpz_abs(abs, a);
    // Truncate |a| to the format's precision.
    size_t bits = mpz_sizeinbase(abs, 2);
    int digits = std::numeric_limits<F>::digits;
    Mpz lo;
    if (mpz_sgn(abs) == 0 || bits <= static_cast<size_t>(digits)) {
        mpz_set(lo, abs);
    } else {
        mpz_fdiv_q_2exp(lo, abs, bits - digits);
        mpz_mul_2exp(lo, lo, bits - digits);
    }
    F flo = static_cast<F>(mpz_get_d(lo));  // exact: lo has at most `digits` bits
    if (mpz_cmp(lo, abs) == 0) return mpz_sgn(a) < 0 ? -flo : flo;
    F fhi = std::nextafter(flo, std::numeric_limits<F>::infinity());
    Mpz hi, dlo, dhi;
    if (std::isinf(fhi)) {
        mpz_setbit(hi, std::numeric_limits<F>::max_exponent);
    } else {
        mpz_set_d(hi, static_cast<double>(fhi));
    }
    mpz_sub(dlo, abs, lo);
    mpz_sub(dhi, hi, abs);
    int c = mpz_cmp(dlo, dhi);
    F pick;
    if (c < 0) {
        pick = flo;
    } else if (c > 0) {
        pick = fhi;
    } else {  // tie: the candidate with an even last significant bit
        int exp;
        F m = std::frexp(flo, &exp);
        auto last = static_cast<uint64_t>(std::ldexp(m, digits));
        pick = (last & 1) ? fhi : flo;
    }
    return mpz_sgn(a) < 0 ? -pick : pick;
}

TEST(Integer, ToDoubleAndFloatRoundToNearestEven) {
    RandomOperands rnd(31);
    for (int i = 0; i < kRounds; ++i) {
        Mpz a = rnd.next(1100);
        SCOPED_TRACE(a.str());
        Value v = integer_of(a);
        EXPECT_EQ(integerToDouble_hash(v), nearest_by_mpz<double>(a));
        EXPECT_EQ(integerToFloat_hash(v), nearest_by_mpz<float>(a));
    }
}

TEST(Integer, ToDoubleOnRoundingBoundaries) {
    struct Row {
        int top;        // 2^top
        long offset;    // plus offset
        int low;        // plus 2^low when low >= 0 (a sticky bit far below)
    };
    const Row rows[] = {
        {53, 0, -1}, {53, 1, -1}, {53, 2, -1}, {53, 3, -1}, {53, -1, -1}, {53, 1, 0},
        {54, 2, -1}, {54, 6, -1}, {54, 2, 0}, {100, 0, 47}, {100, 0, 46},
        {1024, -1, -1}, {1024, 0, -1}, {1023, 0, 969}, {1023, 0, 970}, {1023, 0, 0},
        {64, -1, -1}, {63, 0, -1}, {63, -1, -1}, {64, 1, -1}, {24, 1, -1}, {24, 3, -1}, {128, -1, -1},
    };
    for (const Row& r : rows) {
        Mpz a;
        mpz_setbit(a, r.top);
        Mpz off(r.offset);
        mpz_add(a, a, off);
        if (r.low >= 0) {
            Mpz low;
            mpz_setbit(low, r.low);
            mpz_add(a, a, low);
        }
        // Just below 2^1024: all 53 top bits set and the next one too (a tie that rounds up).
        for (int sign : {1, -1}) {
            Mpz s;
            mpz_set(s, a);
            if (sign < 0) mpz_neg(s, s);
            SCOPED_TRACE(s.str());
            EXPECT_EQ(integerToDouble_hash(integer_of(s)), nearest_by_mpz<double>(s));
            EXPECT_EQ(integerToFloat_hash(integer_of(s)), nearest_by_mpz<float>(s));
        }
    }
    // Explicit expectations around 2^53 and 2^1024.
    const double two53 = 9007199254740992.0;
    EXPECT_EQ(integerToDouble_hash(integerAdd(integerBit_hash(53), IS(1))), two53);          // tie, to even
    EXPECT_EQ(integerToDouble_hash(integerAdd(integerBit_hash(53), IS(3))), two53 + 4);      // tie, to even
    EXPECT_EQ(integerToDouble_hash(integerSub(integerBit_hash(53), IS(1))), two53 - 1);      // exact
    Value below_max_tie = integerSub(integerBit_hash(1024), integerBit_hash(970));           // DBL_MAX + half ulp
    EXPECT_TRUE(std::isinf(integerToDouble_hash(below_max_tie)));
    EXPECT_EQ(integerToDouble_hash(integerSub(below_max_tie, IS(1))), std::numeric_limits<double>::max());
    EXPECT_TRUE(std::isinf(integerToDouble_hash(integerBit_hash(1024))));
    EXPECT_EQ(integerToDouble_hash(integerNegate(integerSub(below_max_tie, IS(1)))), -std::numeric_limits<double>::max());
}

TEST(Integer, EncodeAndDecodeDouble) {
    // Subnormal results round once, to the subnormal grid.
    EXPECT_EQ(integerEncodeDouble_hash(IS(1), -1074), std::numeric_limits<double>::denorm_min());
    EXPECT_EQ(integerEncodeDouble_hash(IS(1), -1075), 0.0);                                        // tie to even (0)
    EXPECT_EQ(integerEncodeDouble_hash(IS(3), -1076), std::numeric_limits<double>::denorm_min());  // 0.75 ulp
    EXPECT_EQ(integerEncodeDouble_hash(IS(3), -1075), 2 * std::numeric_limits<double>::denorm_min());  // 1.5: to even
    EXPECT_EQ(integerEncodeDouble_hash(IS(-5), 3), -40.0);
    EXPECT_EQ(integerEncodeFloat_hash(IS(1), -149), std::numeric_limits<float>::denorm_min());
    EXPECT_EQ(integerEncodeDouble_hash(IS(1), 1024), std::numeric_limits<double>::infinity());
    const double samples[] = {1.0, -2.5, 0.1, 1e300, -1e-310, std::numeric_limits<double>::denorm_min(),
                              std::numeric_limits<double>::max(), 123456789.0};
    for (double d : samples) {
        auto [m, e] = integerDecodeDouble_hash(d);
        EXPECT_EQ(integerEncodeDouble_hash(m, e), d) << d;
        EXPECT_EQ(integerLog2_hash(integerAbs(m)), 52u) << d;
    }
    auto [zm, ze] = integerDecodeDouble_hash(0.0);
    EXPECT_TRUE(integerIsZero_hash(zm));
    EXPECT_EQ(ze, 0);
    EXPECT_EQ(integerToDecimal(integerFromDouble_hash(-2.75)), "-2");
    EXPECT_EQ(integerToDecimal(integerFromDouble_hash(1e20)), "100000000000000000000");
    EXPECT_EQ(integerToDecimal(integerFromDouble_hash(0.5)), "0");
}

// Decoding against frexp on random bit patterns of both formats: for a finite non-zero x with
// x = f * 2^k and 0.5 <= |f| < 1, the mantissa is f * 2^digits and the exponent k - digits,
// subnormals included. Zeros give (0, 0); infinities and NaN read their exponent field as an
// ordinary one.
template <class F, class Bits>
void check_decoding(std::pair<Value, int64_t> (*decode)(F), int digits, int64_t special_exp) {
    std::mt19937_64 gen(11);
    std::vector<Bits> patterns;
    for (int i = 0; i < 20000; ++i) patterns.push_back(static_cast<Bits>(gen()));
    for (F x : {std::numeric_limits<F>::denorm_min(), std::numeric_limits<F>::min(), std::numeric_limits<F>::max(),
                std::numeric_limits<F>::min() - std::numeric_limits<F>::denorm_min(), F(1), F(-0.75)})
        patterns.push_back(std::bit_cast<Bits>(x));
    for (int exp_field : {0, 1}) {  // subnormals, and the smallest normal exponent, thoroughly
        for (int i = 0; i < 2000; ++i) {
            Bits frac = static_cast<Bits>(gen()) & ((Bits(1) << (digits - 1)) - 1);
            patterns.push_back(frac | (Bits(exp_field) << (digits - 1)));
        }
    }
    for (Bits bits : patterns) {
        F x = std::bit_cast<F>(bits);
        auto [m, e] = decode(x);
        SCOPED_TRACE(::testing::Message() << std::hexfloat << x);
        if (x == 0) {
            EXPECT_TRUE(integerIsZero_hash(m));
            EXPECT_EQ(e, 0);
        } else if (!std::isfinite(x)) {
            Bits frac = bits & ((Bits(1) << (digits - 1)) - 1);
            Mpz want(static_cast<long>(frac | (Bits(1) << (digits - 1))));
            if (std::signbit(x)) mpz_neg(want, want);
            EXPECT_TRUE(same_integer(m, want));
            EXPECT_EQ(e, special_exp);
        } else {
            int k;
            F f = std::frexp(x, &k);
            Mpz want(static_cast<long>(std::ldexp(f, digits)));
            EXPECT_TRUE(same_integer(m, want));
            EXPECT_EQ(e, k - digits);
        }
    }
}

TEST(Integer, DecodeFloatAndDoubleAgainstFrexp) {
    check_decoding<float, uint32_t>(integerDecodeFloat_hash, 24, 105);
    check_decoding<double, uint64_t>(integerDecodeDouble_hash, 53, 972);
}

// ---------------------------------------------------------------------------------------------
// Conversions, text and errors

TEST(Integer, MachineConversionsAreCanonical) {
    const int64_t min = std::numeric_limits<int64_t>::min(), max = std::numeric_limits<int64_t>::max();
    EXPECT_EQ(integerFromWord_hash(uint64_t(max))->tag, IS_tag);
    EXPECT_EQ(integerFromWord_hash(uint64_t(max) + 1)->tag, IP_tag);
    EXPECT_EQ(integerFromWordNeg_hash(uint64_t(1) << 63)->tag, IS_tag);
    EXPECT_EQ(integerToInt_hash(integerFromWordNeg_hash(uint64_t(1) << 63)), min);
    EXPECT_EQ(integerFromWordNeg_hash((uint64_t(1) << 63) + 1)->tag, IN_tag);
    // Crossing the boundary in both directions.
    Value big = integerAdd(IS(max), IS(1));
    EXPECT_EQ(big->tag, IP_tag);
    EXPECT_EQ(integerSub(big, IS(1))->tag, IS_tag);
    EXPECT_EQ(integerNegate(IS(min))->tag, IP_tag);
    EXPECT_EQ(integerNegate(integerNegate(IS(min)))->tag, IS_tag);
    EXPECT_EQ(integerQuot(IS(min), IS(-1))->tag, IP_tag);
    EXPECT_TRUE(integerIsZero_hash(integerRem(IS(min), IS(-1))));
    EXPECT_EQ(integerAbs(IS(min))->tag, IP_tag);
    EXPECT_EQ(VUX::Types::intOf(integerToInt(integerFromInt(VUX::Types::I_hash(-42)))), -42);
    // Naturals.
    EXPECT_EQ(integerToNatural(IS(-5))->tag, VUX::Num::Natural::NS_tag);
    EXPECT_TRUE(VUX::Num::Natural::naturalIsZero_hash(integerToNaturalClamp(IS(-5))));
    Value two64 = integerBit_hash(64);
    EXPECT_EQ(integerToNatural(two64)->tag, VUX::Num::Natural::NB_tag);
    EXPECT_TRUE(integerEq_hash(integerFromNatural(integerToNatural(two64)), two64));
    EXPECT_EQ(integerFromNatural(VUX::Num::Natural::NS(~uint64_t(0)))->tag, IP_tag);
}

TEST(Integer, DecimalTextAndReadingBack) {
    const char* texts[] = {"0", "1", "-1", "9223372036854775807", "-9223372036854775808", "9223372036854775808",
                           "-9223372036854775809", "18446744073709551616", "-340282366920938463463374607431768211456"};
    for (const char* t : texts) {
        std::optional<Value> v = integerFromDecimal(t);
        ASSERT_TRUE(v.has_value()) << t;
        EXPECT_TRUE(integer_canonical(*v)) << t;
        EXPECT_EQ(integerToDecimal(*v), t);
        EXPECT_EQ(vux::testing::to_string(integerShows(*v, vux::testing::str("!"))), std::string(t) + "!");
    }
    EXPECT_EQ(integerToDecimal(*integerFromDecimal("-0")), "0");
    EXPECT_EQ(integerToDecimal(*integerFromDecimal("000123")), "123");
    for (const char* bad : {"", "-", "12a", "+5", " 1", "1-"}) EXPECT_FALSE(integerFromDecimal(bad).has_value()) << bad;
    RandomOperands rnd(37);
    for (int i = 0; i < 200; ++i) {
        Mpz a = rnd.next();
        std::string text = integerToDecimal(integer_of(a));
        ASSERT_EQ(text, a.str());
        EXPECT_TRUE(same_integer(*integerFromDecimal(text), a));
    }
}

TEST(Integer, BytesRoundTripInBothOrders) {
    RandomOperands rnd(41);
    for (int i = 0; i < 100; ++i) {
        Mpz a = rnd.next(1000);
        mpz_abs(a, a);
        Value v = integer_of(a);
        size_t n = (mpz_sizeinbase(a, 2) + 7) / 8;
        std::vector<uint8_t> le(n + 8), be(n + 8);
        size_t wrote = integerToAddr_hash(v, le.data(), 0);
        ASSERT_EQ(wrote, mpz_sgn(a) ? n : 0);
        ASSERT_EQ(integerToAddr_hash(v, be.data(), 1), wrote);
        for (size_t k = 0; k < wrote; ++k) EXPECT_EQ(le[k], be[wrote - 1 - k]);
        std::vector<uint8_t> want(n + 1);
        size_t count = 0;
        mpz_export(want.data(), &count, -1, 1, 0, 0, a);
        EXPECT_EQ(count, wrote);
        EXPECT_TRUE(std::equal(want.begin(), want.begin() + static_cast<long>(count), le.begin()));
        EXPECT_TRUE(same_integer(integerFromAddr_hash(wrote, le.data(), 0), a));
        EXPECT_TRUE(same_integer(integerFromAddr_hash(wrote, be.data(), 1), a));
    }
}

TEST(Integer, ZeroDivisorRaisesDivideByZero) {
    Value big = integerBit_hash(200);
    for (const Value& a : {IS(5), big}) {
        for (auto op : {integerQuot, integerRem, integerDiv, integerMod}) {
            try {
                op(a, IS(0));
                ADD_FAILURE() << "no exception";
            } catch (const rts::Exception& e) {
                EXPECT_EQ(e.kind(), rts::RtsError::DivideByZero);
                EXPECT_EQ(rts::display(e), "divide by zero");
            }
        }
    }
}

TEST(Integer, OperationsForceTheirArguments) {
    Value lazy = rts::delay([] { return IS(40); });
    Value lazy_big = rts::delay([] { return integerBit_hash(100); });
    EXPECT_EQ(integerToInt_hash(integerAdd(lazy, IS(2))), 42);
    EXPECT_EQ(integerToDecimal(integerSub(lazy_big, lazy_big)), "0");
    EXPECT_TRUE(integerLt_hash(lazy, lazy_big));
    EXPECT_THROW(integerMul(vux::testing::failing(), IS(1)), rts::Exception);
}

}  // namespace
