// The bit-level helpers over the edge cases of every width: 0, 1, the most negative and most
// positive values of the width, all-ones words, and bits above the width that must be ignored.
#include <cfenv>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "cbits/cbits.h"
#include "cbits/internal.h"

namespace {

constexpr uint64_t kOnes = ~uint64_t{0};
constexpr uint64_t kTop = uint64_t{1} << 63;

struct UnaryCase {
    const char* name;
    uint64_t (*fn)(uint64_t);
    uint64_t x;
    uint64_t expected;
};

void PrintTo(const UnaryCase& c, std::ostream* os) { *os << c.name << "(0x" << std::hex << c.x << ")"; }

class UnaryTable : public ::testing::TestWithParam<UnaryCase> {};

TEST_P(UnaryTable, GivesTheExpectedWord) {
    const UnaryCase& c = GetParam();
    EXPECT_EQ(c.fn(c.x), c.expected) << c.name << "(0x" << std::hex << c.x << ")";
}

// The 16- and 32-bit reversals take and return narrow words; these adapters widen them for the table.
uint64_t bswap16(uint64_t x) { return hs_bswap16(static_cast<uint16_t>(x)); }
uint64_t bswap32(uint64_t x) { return hs_bswap32(static_cast<uint32_t>(x)); }
uint64_t bitrev16(uint64_t x) { return hs_bitrev16(static_cast<uint16_t>(x)); }
uint64_t bitrev32(uint64_t x) { return hs_bitrev32(static_cast<uint32_t>(x)); }

INSTANTIATE_TEST_SUITE_P(ByteReversal, UnaryTable,
                         ::testing::Values(UnaryCase{"bswap16", bswap16, 0x1122, 0x2211},
                                           UnaryCase{"bswap16", bswap16, 0x0001, 0x0100},
                                           UnaryCase{"bswap16", bswap16, 0xFFFF, 0xFFFF},
                                           UnaryCase{"bswap32", bswap32, 0x11223344, 0x44332211},
                                           UnaryCase{"bswap32", bswap32, 0x80000000, 0x00000080},
                                           UnaryCase{"bswap32", bswap32, 0, 0},
                                           UnaryCase{"bswap64", hs_bswap64, 0x1122334455667788,
                                                     0x8877665544332211},
                                           UnaryCase{"bswap64", hs_bswap64, 1, uint64_t{1} << 56},
                                           UnaryCase{"bswap64", hs_bswap64, kOnes, kOnes}));

INSTANTIATE_TEST_SUITE_P(
    BitReversal, UnaryTable,
    ::testing::Values(
        UnaryCase{"bitrev8", hs_bitrev8, 1, 0x80}, UnaryCase{"bitrev8", hs_bitrev8, 0x1FF, 0xFF},
        UnaryCase{"bitrev8", hs_bitrev8, 0x1C5, 0xA3}, UnaryCase{"bitrev8", hs_bitrev8, 0x100, 0},
        UnaryCase{"bitrev16", bitrev16, 1, 0x8000}, UnaryCase{"bitrev16", bitrev16, 0x8000, 1},
        UnaryCase{"bitrev16", bitrev16, 0x1234, 0x2C48}, UnaryCase{"bitrev32", bitrev32, 1, 0x80000000},
        UnaryCase{"bitrev32", bitrev32, 0x12345678, 0x1E6A2C48},
        UnaryCase{"bitrev32", bitrev32, 0xFFFFFFFF, 0xFFFFFFFF}, UnaryCase{"bitrev64", hs_bitrev64, 1, kTop},
        UnaryCase{"bitrev64", hs_bitrev64, kTop, 1},
        UnaryCase{"bitrev64", hs_bitrev64, 0x0123456789ABCDEF, 0xF7B3D591E6A2C480},
        UnaryCase{"bitrev64", hs_bitrev64, kOnes, kOnes}, UnaryCase{"bitrev64", hs_bitrev64, 0, 0}));

INSTANTIATE_TEST_SUITE_P(
    LeadingZeros, UnaryTable,
    ::testing::Values(UnaryCase{"clz8", hs_clz8, 0, 8}, UnaryCase{"clz8", hs_clz8, 0x100, 8},
                      UnaryCase{"clz8", hs_clz8, 1, 7}, UnaryCase{"clz8", hs_clz8, 0x80, 0},
                      UnaryCase{"clz8", hs_clz8, 0x17F, 1}, UnaryCase{"clz16", hs_clz16, 0, 16},
                      UnaryCase{"clz16", hs_clz16, 0x10000, 16}, UnaryCase{"clz16", hs_clz16, 1, 15},
                      UnaryCase{"clz16", hs_clz16, 0xFFFF, 0}, UnaryCase{"clz32", hs_clz32, 0, 32},
                      UnaryCase{"clz32", hs_clz32, kOnes << 32, 32}, UnaryCase{"clz32", hs_clz32, 1, 31},
                      UnaryCase{"clz32", hs_clz32, 0x80000000, 0}, UnaryCase{"clz64", hs_clz64, 0, 64},
                      UnaryCase{"clz64", hs_clz64, 1, 63}, UnaryCase{"clz64", hs_clz64, kTop, 0},
                      UnaryCase{"clz64", hs_clz64, kTop - 1, 1}, UnaryCase{"clz64", hs_clz64, kOnes, 0}));

INSTANTIATE_TEST_SUITE_P(
    TrailingZeros, UnaryTable,
    ::testing::Values(UnaryCase{"ctz8", hs_ctz8, 0, 8}, UnaryCase{"ctz8", hs_ctz8, 0x100, 8},
                      UnaryCase{"ctz8", hs_ctz8, 0x80, 7}, UnaryCase{"ctz8", hs_ctz8, 1, 0},
                      UnaryCase{"ctz16", hs_ctz16, 0, 16}, UnaryCase{"ctz16", hs_ctz16, 0x10000, 16},
                      UnaryCase{"ctz16", hs_ctz16, 0x8000, 15}, UnaryCase{"ctz16", hs_ctz16, kOnes, 0},
                      UnaryCase{"ctz32", hs_ctz32, 0, 32},
                      UnaryCase{"ctz32", hs_ctz32, uint64_t{1} << 32, 32},
                      UnaryCase{"ctz32", hs_ctz32, 0x80000000, 31}, UnaryCase{"ctz64", hs_ctz64, 0, 64},
                      UnaryCase{"ctz64", hs_ctz64, kTop, 63}, UnaryCase{"ctz64", hs_ctz64, 1, 0},
                      UnaryCase{"ctz64", hs_ctz64, kOnes << 40, 40}));

INSTANTIATE_TEST_SUITE_P(
    PopulationCount, UnaryTable,
    ::testing::Values(
        UnaryCase{"popcnt8", hs_popcnt8, 0x1FF, 8}, UnaryCase{"popcnt8", hs_popcnt8, 0x100, 0},
        UnaryCase{"popcnt8", hs_popcnt8, 0x81, 2}, UnaryCase{"popcnt16", hs_popcnt16, kOnes, 16},
        UnaryCase{"popcnt16", hs_popcnt16, 0x18001, 2}, UnaryCase{"popcnt32", hs_popcnt32, kOnes, 32},
        UnaryCase{"popcnt32", hs_popcnt32, 0x180000001, 2}, UnaryCase{"popcnt64", hs_popcnt64, kOnes, 64},
        UnaryCase{"popcnt64", hs_popcnt64, kTop | 1, 2}, UnaryCase{"popcnt64", hs_popcnt64, 0, 0},
        UnaryCase{"popcnt", hs_popcnt, kOnes, 64}, UnaryCase{"popcnt", hs_popcnt, 0x0123456789ABCDEF, 32},
        UnaryCase{"popcnt by table", vux_cbits::popcnt_by_table, kOnes, 64},
        UnaryCase{"popcnt by table", vux_cbits::popcnt_by_table, 0x0123456789ABCDEF, 32}));

TEST(PopcountTable, EntryIsTheNumberOfSetBitsOfItsIndex) {
    for (unsigned i = 0; i < 256; ++i) {
        unsigned bits = 0;
        for (unsigned v = i; v != 0; v >>= 1) bits += v & 1;
        EXPECT_EQ(popcount_tab[i], bits) << i;
    }
}

struct DepositCase {
    uint64_t src;
    uint64_t mask;
    uint64_t deposited;  // pdep(src, mask)
    uint64_t extracted;  // pext(src, mask)
};

class DepositExtract : public ::testing::TestWithParam<DepositCase> {};

TEST_P(DepositExtract, EveryWidthAndTheProcessorIndependentLoopsAgree) {
    const DepositCase& c = GetParam();
    for (auto pdep : {hs_pdep8, hs_pdep16, hs_pdep32, hs_pdep64, vux_cbits::pdep_portable})
        EXPECT_EQ(pdep(c.src, c.mask), c.deposited) << std::hex << c.src << " " << c.mask;
    for (auto pext : {hs_pext8, hs_pext16, hs_pext32, hs_pext64, vux_cbits::pext_portable})
        EXPECT_EQ(pext(c.src, c.mask), c.extracted) << std::hex << c.src << " " << c.mask;
}

// The narrow forms take full words (nothing is cut), so they agree with the 64-bit form even with
// masks above their width.
INSTANTIATE_TEST_SUITE_P(
    Cases, DepositExtract,
    ::testing::Values(DepositCase{0b101, 0xF0, 0x50, 0x0}, DepositCase{0xF0, 0x30, 0x0, 3},
                      DepositCase{kOnes, 0, 0, 0}, DepositCase{0, kOnes, 0, 0},
                      DepositCase{kOnes, kOnes, kOnes, kOnes},
                      DepositCase{0x12345678, kOnes, 0x12345678, 0x12345678}, DepositCase{1, kTop, kTop, 0},
                      DepositCase{kTop, kTop, 0, 1}, DepositCase{0xFF, 0xAA, 0xAA, 0xF},
                      DepositCase{0b0110, 0xF00000000000000F, 0x6, 0x6},
                      DepositCase{0xF0000000000000F0, 0xF0000000000000F0, 0xF000000000000000, 0xFF},
                      DepositCase{0x3, 0x8000000000000100, 0x8000000000000100, 0}));

TEST(DepositExtract, ExtractUndoesDepositUnderRandomMasks) {
    std::mt19937_64 rng(12345);
    for (int i = 0; i < 20000; ++i) {
        const uint64_t src = rng(), mask = rng() & rng();  // sparse and dense masks alike
        const uint64_t kept = hs_pext64(src, mask);
        const uint64_t deposited = hs_pdep64(src, mask);
        ASSERT_EQ(deposited, vux_cbits::pdep_portable(src, mask));
        ASSERT_EQ(kept, vux_cbits::pext_portable(src, mask));
        ASSERT_EQ(deposited & ~mask, 0u);
        ASSERT_EQ(hs_pext64(deposited, mask), src & ((__builtin_popcountll(mask) == 64)
                                                         ? kOnes
                                                         : (uint64_t{1} << __builtin_popcountll(mask)) - 1));
        ASSERT_EQ(hs_pdep64(kept, mask), src & mask);
    }
}

TEST(WordToFloat, RoundsOnceToNearestEven) {
    EXPECT_EQ(hs_word2float64(kOnes), 18446744073709551616.0);
    EXPECT_EQ(hs_word2float64(kTop), 9223372036854775808.0);
    EXPECT_EQ(hs_word2float64(0), 0.0);
    EXPECT_EQ(hs_word2float64(1), 1.0);
    EXPECT_EQ(hs_word2float64(kTop - 1), 9223372036854775808.0);
    // 2^53 + 1 is a tie between 2^53 and 2^53 + 2: the even one wins.
    EXPECT_EQ(hs_word2float64((uint64_t{1} << 53) + 1), 9007199254740992.0);
    // Above 2^63 the spacing is 2048. 2^63 + 1024 is a tie (to even: 2^63); 2^63 + 1025 is above the
    // tie and must round up: halving without keeping the lost bit would make it a tie again.
    EXPECT_EQ(hs_word2float64(kTop + 1024), 9223372036854775808.0);
    EXPECT_EQ(hs_word2float64(kTop + 1025), 9223372036854777856.0);
    EXPECT_EQ(hs_word2float64(kTop + 3072), 9223372036854779904.0);  // tie, to even: 2^63 + 4096

    EXPECT_EQ(hs_word2float32(kOnes), 18446744073709551616.0f);
    EXPECT_EQ(hs_word2float32(kTop), 9223372036854775808.0f);
    EXPECT_EQ(hs_word2float32(0), 0.0f);
    EXPECT_EQ(hs_word2float32((1u << 24) + 1), 16777216.0f);
    // Spacing 2^40 above 2^63: 2^63 + 2^39 + 1 lies above the tie.
    EXPECT_EQ(hs_word2float32(kTop + (uint64_t{1} << 39)), 9223372036854775808.0f);
    EXPECT_EQ(hs_word2float32(kTop + (uint64_t{1} << 39) + 1),
              std::nextafter(9223372036854775808.0f, INFINITY));
}

TEST(WordToFloat, FollowsTheCurrentRoundingMode) {
    const int saved = std::fegetround();
    ASSERT_EQ(std::fesetround(FE_UPWARD), 0);
    const double up = hs_word2float64((uint64_t{1} << 53) + 1);
    const double up_high = hs_word2float64(kTop + 1);
    const float up_single = hs_word2float32(kTop + 1);
    ASSERT_EQ(std::fesetround(FE_TOWARDZERO), 0);
    const double down_high = hs_word2float64(kOnes);
    std::fesetround(saved);
    EXPECT_EQ(up, 9007199254740994.0);
    EXPECT_EQ(up_high, 9223372036854777856.0);
    EXPECT_EQ(up_single, std::nextafter(9223372036854775808.0f, INFINITY));
    EXPECT_EQ(down_high, 18446744073709549568.0);  // 2^64 - 2048
}

TEST(MulIntMayOverflow, AnswersByTheOperandsMagnitude) {
    struct Case {
        int64_t a, b;
        uint64_t expected;
    };
    const int64_t two31 = int64_t{1} << 31;
    const Case cases[] = {
        {-1, -1, 0},
        {2147483647, -2147483647, 0},
        {0, 0, 0},
        {two31 - 1, two31 - 1, 0},
        {-(two31 - 1), -(two31 - 1), 0},
        {2147483648, 1, 1},
        {-2147483648, 1, 1},
        {1, -2147483648, 1},
        {1, 2147483648, 1},
        {0, INT64_MIN, 1},  // 0 * anything fits, but the test looks at magnitudes only
        {INT64_MAX, 0, 1},
        {INT64_MIN, INT64_MIN, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(hs_mulIntMayOflo(static_cast<uint64_t>(c.a), static_cast<uint64_t>(c.b)), c.expected)
            << c.a << " * " << c.b;
}

}  // namespace
