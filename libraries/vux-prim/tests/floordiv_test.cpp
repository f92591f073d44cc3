// Floor division at 8, 16, 32 and 64 bits against a reference in wider arithmetic, over the
// widths' limits.
#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "VUX/Classes.h"

using namespace VUX::Classes;

namespace {

template <class T>
struct Ops;
template <>
struct Ops<int8_t> {
    static int8_t div(int8_t x, int8_t y) { return divInt8_hash(x, y); }
    static int8_t mod(int8_t x, int8_t y) { return modInt8_hash(x, y); }
    static std::pair<int8_t, int8_t> div_mod(int8_t x, int8_t y) { return divModInt8_hash(x, y); }
};
template <>
struct Ops<int16_t> {
    static int16_t div(int16_t x, int16_t y) { return divInt16_hash(x, y); }
    static int16_t mod(int16_t x, int16_t y) { return modInt16_hash(x, y); }
    static std::pair<int16_t, int16_t> div_mod(int16_t x, int16_t y) { return divModInt16_hash(x, y); }
};
template <>
struct Ops<int32_t> {
    static int32_t div(int32_t x, int32_t y) { return divInt32_hash(x, y); }
    static int32_t mod(int32_t x, int32_t y) { return modInt32_hash(x, y); }
    static std::pair<int32_t, int32_t> div_mod(int32_t x, int32_t y) { return divModInt32_hash(x, y); }
};
template <>
struct Ops<int64_t> {
    static int64_t div(int64_t x, int64_t y) { return divInt_hash(x, y); }
    static int64_t mod(int64_t x, int64_t y) { return modInt_hash(x, y); }
    static std::pair<int64_t, int64_t> div_mod(int64_t x, int64_t y) { return divModInt_hash(x, y); }
};

// Floor quotient and modulus in 128-bit arithmetic.
std::pair<__int128, __int128> reference(__int128 x, __int128 y) {
    __int128 q = x / y, r = x % y;
    if (r != 0 && ((r < 0) != (y < 0))) {
        q -= 1;
        r += y;
    }
    return {q, r};
}

template <class T>
class FloorDivision : public ::testing::Test {};
using Widths = ::testing::Types<int8_t, int16_t, int32_t, int64_t>;
TYPED_TEST_SUITE(FloorDivision, Widths);

TYPED_TEST(FloorDivision, MatchesFloorDivisionOverTheLimits) {
    using T = TypeParam;
    const T lo = std::numeric_limits<T>::min(), hi = std::numeric_limits<T>::max();
    const std::vector<T> values = {lo, T(lo + 1), T(lo / 2), -7, -6, -2, -1, 0, 1, 2, 3, 6, 7, T(hi / 2), T(hi - 1), hi};
    for (T x : values) {
        for (T y : values) {
            if (y == 0) continue;
            SCOPED_TRACE(std::to_string(x) + " / " + std::to_string(y));
            if (x == lo && y == -1) {
                if constexpr (sizeof(T) == 1) {
                    // Divided in 16 bits: 128 cut to 8 bits.
                    EXPECT_EQ(Ops<T>::div(x, y), -128);
                    EXPECT_EQ(Ops<T>::mod(x, y), 0);
                    EXPECT_EQ(Ops<T>::div_mod(x, y), std::make_pair(T(-128), T(0)));
                } else {
                    EXPECT_EQ(Ops<T>::mod(x, y), 0);
                }
                continue;
            }
            auto [q, r] = reference(x, y);
            EXPECT_EQ(Ops<T>::div(x, y), q);
            EXPECT_EQ(Ops<T>::mod(x, y), r);
            EXPECT_EQ(Ops<T>::div_mod(x, y), std::make_pair(T(q), T(r)));
        }
    }
}

TYPED_TEST(FloorDivision, ZeroDivisorRaisesDivideByZero) {
    using T = TypeParam;
    for (T x : {T(0), T(1), std::numeric_limits<T>::min()}) {
        for (auto call : {+[](T a) { Ops<T>::div(a, 0); }, +[](T a) { Ops<T>::mod(a, 0); },
                          +[](T a) { Ops<T>::div_mod(a, 0); }}) {
            try {
                call(x);
                ADD_FAILURE() << "no exception for " << +x << " / 0";
            } catch (const rts::Exception& e) {
                EXPECT_EQ(e.kind(), rts::RtsError::DivideByZero);
            }
        }
    }
}

TYPED_TEST(FloorDivision, MostNegativeByMinusOneOverflowsAboveEightBits) {
    using T = TypeParam;
    if constexpr (sizeof(T) > 1) {
        const T lo = std::numeric_limits<T>::min();
        for (auto call : {+[](T a) { Ops<T>::div(a, -1); }, +[](T a) { Ops<T>::div_mod(a, -1); }}) {
            try {
                call(lo);
                ADD_FAILURE() << "no exception";
            } catch (const rts::Exception& e) {
                EXPECT_EQ(e.kind(), rts::RtsError::Overflow);
            }
        }
    }
}

}  // namespace

TEST(FloorDivisionExamples, SignCombinations) {
    struct Row {
        int64_t x, y, q, r;
    };
    const Row rows[] = {{7, 2, 3, 1},   {-7, 2, -4, 1}, {7, -2, -4, -1}, {-7, -2, 3, -1},
                        {-6, 2, -3, 0}, {6, -3, -2, 0}, {0, -5, 0, 0}};
    for (const Row& r : rows) {
        EXPECT_EQ(divInt_hash(r.x, r.y), r.q);
        EXPECT_EQ(modInt_hash(r.x, r.y), r.r);
        EXPECT_EQ(divModInt_hash(r.x, r.y), std::make_pair(r.q, r.r));
        EXPECT_EQ(divInt8_hash(int8_t(r.x), int8_t(r.y)), r.q);
        EXPECT_EQ(modInt32_hash(int32_t(r.x), int32_t(r.y)), r.r);
    }
    constexpr int64_t lo = std::numeric_limits<int64_t>::min();
    EXPECT_EQ(divInt_hash(lo, 2), -(int64_t{1} << 62));
    EXPECT_EQ(divInt_hash(lo, -2), int64_t{1} << 62);
}
