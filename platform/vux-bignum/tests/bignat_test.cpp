// Magnitudes: canonical form at construction, limb access, word operations and byte order.
#include <gtest/gtest.h>

#include "MpzOracle.h"
#include "VUX/Num/BigNat.h"

using namespace VUX::Num::BigNat;
using namespace bignum_test;

namespace {

Value words(std::initializer_list<uint64_t> ws) {
    std::vector<uint64_t> v(ws);
    return rts::byte_array_from(v.data(), v.size() * 8);
}

TEST(BigNat, ConstructionIsCanonical) {
    EXPECT_EQ(bigNatSize_hash(bigNatZero()), 0u);
    EXPECT_EQ(bigNatCheck_hash(bigNatZero()), 1);
    EXPECT_EQ(bigNatSize_hash(bigNatFromWord_hash(0)), 0u);
    Value trailing = bigNatFromWordArray_hash(words({5, 0, 0}), 3);
    EXPECT_EQ(bigNatSize_hash(trailing), 1u);
    EXPECT_EQ(bigNatCheck_hash(words({5, 0})), 0);
    EXPECT_EQ(bigNatCheck_hash(rts::byte_array_from("abc", 3)), 0);
    Value two = bigNatFromWord2_hash(1, 7);
    EXPECT_EQ(bigNatSize_hash(two), 2u);
    EXPECT_EQ(bigNatIndex_hash(two, 0), 7u);
    EXPECT_EQ(bigNatIndex_hash(two, 1), 1u);
    // Results that cancel down to fewer limbs, in both small and large buffers.
    for (size_t n : {3u, 200u}) {
        Mpz a, b;
        mpz_setbit(a, 64 * n - 1);
        mpz_setbit(b, 64 * n - 1);
        mpz_add_ui(a, a, 9);
        Value d = *bigNatSub(bignat_of(a), bignat_of(b));
        EXPECT_EQ(bigNatCheck_hash(d), 1);
        EXPECT_EQ(bigNatSize_hash(d), 1u);
        EXPECT_EQ(bigNatToWord_hash(d), 9u);
    }
}

// A result that fills at least half of its buffer keeps the buffer, shrunk in place; buffers
// around the small-block limit (64 limbs) end on both sides of it. Every result is canonical,
// immutable and right, and stays right while the blocks of earlier ones are reused.
TEST(BigNat, ResultsShrunkInTheirBuffer) {
    std::vector<Value> kept;
    for (size_t cap = 56; cap <= 72; cap += 4) {
        for (size_t n = cap / 2; n <= cap; n += 5) {
            Mpz top, low, a, b;
            mpz_setbit(top, 64 * cap - 1);
            mpz_setbit(low, 64 * n - 1);
            mpz_add_ui(low, low, cap);
            mpz_add(a, top, low);  // cap limbs
            mpz_set(b, top);
            Value d = *bigNatSub(bignat_of(a), bignat_of(b));
            SCOPED_TRACE(std::to_string(cap) + " limbs down to " + std::to_string(n));
            EXPECT_EQ(bigNatSize_hash(d), n);
            EXPECT_TRUE(magnitude_canonical(d, n));
            EXPECT_FALSE(rts::bytes_mutable(d));
            Mpz got;
            set_from_bignat(got, d);
            EXPECT_EQ(mpz_cmp(got, low), 0);
            if (n % 2) kept.push_back(d);
        }
    }
    for (const Value& d : kept) EXPECT_EQ(bigNatCheck_hash(d), 1);
}

TEST(BigNat, WordOperations) {
    Value a = bigNatFromWord2_hash(3, 10);  // 3 * 2^64 + 10
    auto [q, r] = bigNatQuotRemWord_hash(a, 7);
    Mpz za;
    set_from_bignat(za, a);
    EXPECT_EQ(mpz_fdiv_ui(za, 7), r);
    EXPECT_EQ(bigNatRemWord_hash(a, 7), r);
    Value a12 = bigNatMulWord_hash(a, 12);
    Mpz z12;
    set_from_bignat(z12, a12);
    EXPECT_EQ(bigNatGcdWord_hash(a12, 18), mpz_gcd_ui(nullptr, z12, 18));
    EXPECT_EQ(bigNatGcdWord_hash(bigNatFromWord_hash(12), 0), 12u);
    EXPECT_THROW(bigNatGcdWord_hash(a, 0), rts::Exception);  // gcd(a, 0) = a does not fit a word
    EXPECT_EQ(bigNatEqWord_hash(bigNatZero(), 0), 1);
    EXPECT_EQ(bigNatEqWord_hash(bigNatFromWord_hash(7), 7), 1);
    EXPECT_EQ(bigNatEqWord_hash(bigNatBit_hash(64), 0), 0);
    EXPECT_EQ(bigNatGtWord_hash(bigNatBit_hash(64), ~uint64_t(0)), 1);
    EXPECT_FALSE(bigNatSubWord_hash(bigNatFromWord_hash(3), 5).has_value());
    EXPECT_EQ(bigNatToWord_hash(*bigNatSubWord_hash(bigNatBit_hash(64), 1)), ~uint64_t(0));
    EXPECT_EQ(bigNatPopCount_hash(bigNatFromWord_hash(~uint64_t(0))), 64u);
    EXPECT_EQ(bigNatSizeInBase_hash(10, bigNatZero()), 0u);
    EXPECT_THROW(bigNatSizeInBase_hash(1, bigNatOne()), rts::Exception);
    EXPECT_THROW(bigNatQuotRemWord_hash(a, 0), rts::Exception);
    EXPECT_EQ(bigNatCompareWord_hash(bigNatOne(), 2)->tag, 0);
}

TEST(BigNat, ByteOrderRoundTrip) {
    Value a = bigNatFromWord2_hash(0x0102, 0x030405060708090aULL);
    Value buf = rts::new_byte_array(32);
    uint64_t n = bigNatToMutableByteArrayLE_hash(a, buf, 4);
    EXPECT_EQ(n, 10u);
    EXPECT_EQ(rts::bytes_data(buf)[4], 0x0a);
    EXPECT_EQ(rts::bytes_data(buf)[13], 0x01);
    EXPECT_EQ(bigNatEq_hash(bigNatFromByteArrayLE_hash(n, buf, 4), a), 1);
    uint8_t be[16] = {};
    EXPECT_EQ(bigNatToAddrBE_hash(a, be), 10u);
    EXPECT_EQ(be[0], 0x01);
    EXPECT_EQ(be[9], 0x0a);
    EXPECT_EQ(bigNatEq_hash(bigNatFromAddrBE_hash(10, be), a), 1);
    EXPECT_EQ(bigNatToAddrLE_hash(bigNatZero(), be), 0u);
    // Leading zero bytes are not part of the number.
    uint8_t padded[12] = {0, 0, 0, 1, 2};
    EXPECT_EQ(bigNatToWord_hash(bigNatFromAddrBE_hash(5, padded)), 0x0102u);
}

TEST(BigNat, DecimalText) {
    EXPECT_EQ(bigNatToDecimal(bigNatZero()), "0");
    EXPECT_EQ(bigNatToDecimal(bigNatBit_hash(64)), "18446744073709551616");
    EXPECT_EQ(bigNatEq_hash(*bigNatFromDecimal("18446744073709551616"), bigNatBit_hash(64)), 1);
    EXPECT_FALSE(bigNatFromDecimal("-1").has_value());
}

}  // namespace
