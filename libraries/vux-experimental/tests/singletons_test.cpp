// Singleton arithmetic: symbols, characters and naturals at their limits (the character range,
// underflow, division by zero, log2, powers), each result suspended until demanded, and proofs
// never looked at.
#include <gtest/gtest.h>

#include <string>

#include "Testing.h"
#include "VUX/Num/Natural.h"
#include "VUX/TypeLits/Experimental.h"
#include "VUX/TypeNats/Experimental.h"
#include "VUX/Types.h"

namespace {

using rts::Value;
using namespace VUX::TypeLits::Experimental;
using namespace VUX::TypeNats::Experimental;
namespace N = VUX::Num::Natural;
using vux::testing::failing;
using vux::testing::str;
using vux::testing::to_string;

Value natOf(const char* decimal) { return *N::naturalFromDecimal(decimal); }
Value nat(uint64_t w) { return N::naturalFromWord_hash(w); }
std::string text(const Value& natural) { return N::naturalToDecimal(rts::force(natural)); }
// A proof is never looked at: one that fails when demanded shows it.
Value proof() { return failing("proof demanded"); }

// The text of what demanding `v` raises, or "no exception".
std::string raisedBy(const Value& v) {
    try {
        rts::force(v);
    } catch (const rts::Exception& e) {
        return rts::display(e);
    }
    return "no exception";
}

TEST(Naturals, ArithmeticAtItsLimits) {
    const struct {
        Value result;
        const char* expected;
    } cases[] = {
        {plusSNat(nat(~uint64_t(0)), nat(1)), "18446744073709551616"},
        {timesSNat(nat(~uint64_t(0)), nat(~uint64_t(0))), "340282366920938463426481119284349108225"},
        {minusSNat(proof(), nat(5), nat(5)), "0"},
        {minusSNat(proof(), natOf("18446744073709551616"), nat(1)), "18446744073709551615"},
        {divSNat(proof(), nat(17), nat(5)), "3"},
        {modSNat(proof(), nat(17), nat(5)), "2"},
        {divSNat(proof(), natOf("36893488147419103232"), natOf("18446744073709551616")), "2"},
        {modSNat(proof(), nat(4), natOf("18446744073709551616")), "4"},
        {log2SNat(proof(), nat(0)), "0"},
        {log2SNat(proof(), nat(1)), "0"},
        {log2SNat(proof(), nat(1024)), "10"},
        {log2SNat(proof(), nat(~uint64_t(0))), "63"},
        {log2SNat(proof(), natOf("18446744073709551616")), "64"},
    };
    for (const auto& c : cases) EXPECT_EQ(text(c.result), c.expected);
}

TEST(Naturals, Powers) {
    const struct {
        Value x, y;
        const char* expected;
    } cases[] = {
        {nat(0), nat(0), "1"},
        {nat(5), nat(0), "1"},
        {nat(0), nat(7), "0"},
        {nat(2), nat(10), "1024"},
        {nat(3), nat(5), "243"},
        {nat(7), nat(1), "7"},
        {nat(1), natOf("18446744073709551616"), "1"},
        {nat(2), nat(64), "18446744073709551616"},
        {nat(3), nat(40), "12157665459056928801"},
        {nat(10), nat(30), "1000000000000000000000000000000"},
        {natOf("18446744073709551616"), nat(3), "6277101735386680763835789423207666416102355444464034512896"},
    };
    for (const auto& c : cases) EXPECT_EQ(text(powerSNat(c.x, c.y)), c.expected);
    // Every exponent up to 70 against repeated multiplication (each pattern of odd and even steps).
    Value expected = nat(1);
    for (uint64_t y = 0; y <= 70; ++y) {
        EXPECT_EQ(text(powerSNat(nat(13), nat(y))), text(expected)) << "13^" << y;
        expected = N::naturalMul(expected, nat(13));
    }
}

TEST(Naturals, FailuresComeWhenTheResultIsDemanded) {
    Value under = minusSNat(proof(), nat(3), nat(5));
    Value byZeroDiv = divSNat(proof(), nat(3), nat(0));
    Value byZeroMod = modSNat(proof(), natOf("18446744073709551616"), nat(0));
    EXPECT_EQ(raisedBy(under), "arithmetic underflow");
    EXPECT_EQ(raisedBy(byZeroDiv), "divide by zero");
    EXPECT_EQ(raisedBy(byZeroMod), "divide by zero");
    // Nothing is evaluated before the result is demanded.
    Value lazy[] = {plusSNat(failing(), failing()), timesSNat(failing(), failing()),
                    powerSNat(failing(), failing()), minusSNat(failing(), failing(), failing()),
                    log2SNat(failing(), failing())};
    for (const Value& v : lazy) EXPECT_FALSE(rts::is_evaluated(v));
}

TEST(Characters, TheCodePointRange) {
    EXPECT_EQ(VUX::Types::charOf(rts::force(sNatToSChar(proof(), nat(65)))), uint32_t('A'));
    EXPECT_EQ(VUX::Types::charOf(rts::force(sNatToSChar(proof(), nat(0)))), 0u);
    EXPECT_EQ(VUX::Types::charOf(rts::force(sNatToSChar(proof(), nat(0x10FFFF)))), 0x10FFFFu);
    // A big natural keeps its low 64 bits.
    EXPECT_EQ(VUX::Types::charOf(rts::force(sNatToSChar(proof(), natOf("18446744073709551681")))),
              uint32_t('A'));
    const struct {
        Value n;
        const char* message;
    } outside[] = {
        {nat(0x110000), "Prelude.chr: bad argument: 1114112"},
        {nat(~uint64_t(0)), "Prelude.chr: bad argument: (-1)"},
        {nat(uint64_t(1) << 63), "Prelude.chr: bad argument: (-9223372036854775808)"},
    };
    for (const auto& c : outside) {
        Value ch = sNatToSChar(proof(), c.n);
        EXPECT_FALSE(rts::is_evaluated(ch));
        EXPECT_EQ(raisedBy(ch), c.message);
    }
    EXPECT_EQ(text(sCharToSNat(VUX::Types::C_hash('A'))), "65");
    EXPECT_EQ(text(sCharToSNat(VUX::Types::C_hash(0x10FFFF))), "1114111");
    EXPECT_FALSE(rts::is_evaluated(sCharToSNat(failing())));
}

TEST(Symbols, AppendAndCons) {
    Value s = str("xyz");
    EXPECT_EQ(to_string(appendSSymbol(str(""), s)), "xyz");
    EXPECT_EQ(to_string(appendSSymbol(s, str(""))), "xyz");
    EXPECT_EQ(to_string(appendSSymbol(str("ab"), str("cd"))), "abcd");
    EXPECT_EQ(to_string(consSSymbol(VUX::Types::C_hash('x'), s)), "xxyz");
    // Cons forces neither argument; append walks its first argument only as far as it is read.
    Value cell = consSSymbol(failing("head"), failing("tail"));
    EXPECT_EQ(rts::force(cell)->tag, VUX::Types::Cons_tag);
    Value partial = appendSSymbol(VUX::Types::Cons(VUX::Types::C_hash('a'), failing("rest")), str("b"));
    const Value& first = rts::force(partial);
    ASSERT_EQ(first->tag, VUX::Types::Cons_tag);
    EXPECT_EQ(VUX::Types::charOf(rts::force(rts::field(first, 0))), uint32_t('a'));
}

}  // namespace
