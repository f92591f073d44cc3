// Ratios: normal form, arithmetic, their text, and the nearest Double and Float.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "Testing.h"
#include "VUX/Internal/Real.h"
#include "VUX/Internal/Show.h"
#include "VUX/Num/Integer.h"

using namespace VUX::Internal;
using namespace VUX::Num::Integer;
using rts::Value;
using vux::testing::to_string;

namespace {

Value big(const char* decimal) { return *integerFromDecimal(decimal); }
Value pow2(uint64_t k) { return integerShiftL_hash(IS(1), k); }
std::string text(const Value& r, int64_t d = 0) {
    return to_string(Show::showsPrec(Real::inst_Show_Rational(), d, r, VUX::Types::Nil()));
}

TEST(Rational, LowestTermsAndArithmetic) {
    EXPECT_EQ(text(Real::op_percent(IS(6), IS(-4))), "(-3) % 2");
    EXPECT_EQ(text(Real::op_percent(IS(6), IS(-4)), 8), "((-3) % 2)");
    EXPECT_EQ(text(Real::reduce(IS(0), IS(7))), "0 % 1");
    EXPECT_THROW(Real::reduce(IS(1), IS(0)), rts::Exception);
    Value third = Real::reduce(IS(1), IS(3)), sixth = Real::reduce(IS(1), IS(6));
    EXPECT_EQ(text(Real::ratioPlus(third, sixth)), "1 % 2");
    EXPECT_EQ(text(Real::ratioMinus(sixth, third)), "(-1) % 6");
    EXPECT_EQ(text(Real::ratioDivide(third, Real::ratioNegate(sixth))), "(-2) % 1");
    EXPECT_EQ(text(Real::ratioPow(Real::reduce(IS(2), IS(3)), IS(-3))), "27 % 8");
    EXPECT_EQ(text(Real::ratioPow(Real::reduce(IS(-1), IS(1000)), IS(0))), "1 % 1");
    EXPECT_LT(Real::ratioCompare(Real::reduce(IS(-1), IS(2)), third), 0);
    EXPECT_EQ(Real::ratioCompare(Real::reduce(IS(2), IS(4)), Real::reduce(IS(1), IS(2))), 0);
    // properFraction truncates toward zero; the fraction keeps the sign.
    auto [q, f] = Real::properFraction(Real::reduce(IS(-7), IS(2)));
    EXPECT_EQ(integerToInt_hash(rts::force(q)), -3);
    EXPECT_EQ(text(f), "(-1) % 2");
}

TEST(Rational, NearestDouble) {
    struct Row {
        const char* name;
        Value n, d;
        double expected;
    };
    const double tiny = std::numeric_limits<double>::denorm_min();
    std::vector<Row> rows = {
        {"1/3", IS(1), IS(3), 1.0 / 3.0},
        {"2/3", IS(2), IS(3), 2.0 / 3.0},
        {"-2/3", IS(-2), IS(3), -2.0 / 3.0},
        // 1 + 2^-53 lies halfway between 1 and 1 + 2^-52: ties go to the even 1.0 (truncation
        // would also give 1.0, so also check the case just above the tie).
        {"(2^53+1)/2^53", integerAdd(pow2(53), IS(1)), pow2(53), 1.0},
        {"(2^53+3)/2^53", integerAdd(pow2(53), IS(3)), pow2(53), 1.0 + 4.0 / 9007199254740992.0},
        {"(2^54+3)/2^54 rounds up", integerAdd(pow2(54), IS(3)), pow2(54), 1.0 + 2.0 / 9007199254740992.0},
        {"smallest subnormal", IS(1), pow2(1074), tiny},
        {"half of it: tie to even zero", IS(1), pow2(1075), 0.0},
        {"just above half", integerAdd(pow2(2000), IS(1)), pow2(3075), tiny},
        {"three halves of it: tie to two", IS(3), pow2(1075), 2 * tiny},
        {"max", big("179769313486231570814527423731704356798070567525844996598917476803157260780028538760589558632766878171540458953514382464234321326889464182768467546703537516986049910576551282076245490090389328944075868508455133942304583236903222948165808559332123348274797826204144723168738177180919299881250404026184124858368"), IS(1), std::numeric_limits<double>::max()},
        {"overflow", pow2(1024), IS(1), std::numeric_limits<double>::infinity()},
        {"0.1", IS(1), IS(10), 0.1},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        double got = Real::rationalToDouble(r.n, r.d);
        EXPECT_EQ(rts::bits_of(got), rts::bits_of(r.expected)) << got;
    }
    EXPECT_EQ(Real::rationalToFloat(IS(1), IS(3)), 1.0f / 3.0f);
    EXPECT_EQ(Real::rationalToFloat(IS(1), pow2(149)), std::numeric_limits<float>::denorm_min());
    EXPECT_EQ(Real::rationalToFloat(integerAdd(pow2(24), IS(1)), pow2(24)), 1.0f);
    EXPECT_EQ(Real::rationalToFloat(IS(-1), IS(10)), -0.1f);
    // Exact values of doubles come back unchanged.
    for (double x : {0.1, -3.5, 1e300, 5e-324}) {
        Value r = Real::doubleToRational(x);
        EXPECT_EQ(Real::rationalToDouble(Real::numerator(r), Real::denominator(r)), x);
    }
}

}  // namespace
