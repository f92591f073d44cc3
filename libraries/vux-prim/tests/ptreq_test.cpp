// Reference identity, and the hooks that hand their argument back: both work on references as
// they are, without evaluating anything.
#include <gtest/gtest.h>

#include "Testing.h"
#include "VUX/Magic.h"
#include "VUX/Magic/Dict.h"
#include "VUX/Prim/Ext.h"
#include "VUX/Prim/PtrEq.h"

namespace {

using rts::Value;
using namespace VUX::Types;
using namespace VUX::Prim::PtrEq;
using vux::testing::Counter;
using vux::testing::counting;

struct Comparison {
    const char* name;
    int64_t (*same_object)(const Value&, const Value&);
    Value (*make)();  // a fresh object of the kind the comparison is meant for
};

void PrintTo(const Comparison& c, std::ostream* os) { *os << c.name; }

Value fresh_mut_var() { return rts::new_mut_var(I_hash(1)); }
Value fresh_bytes() { return rts::new_byte_array(8); }
Value fresh_frozen_bytes() { return rts::byte_array_from("abcdefgh", 8); }
Value fresh_cell() { return Cons(I_hash(1), Nil()); }

class Identity : public ::testing::TestWithParam<Comparison> {};

TEST_P(Identity, OneForTheSameReferenceZeroForAnEqualCopy) {
    const Comparison& c = GetParam();
    Value a = c.make(), b = c.make();
    Value alias = a;
    EXPECT_EQ(c.same_object(a, a), 1);
    EXPECT_EQ(c.same_object(a, alias), 1);
    EXPECT_EQ(c.same_object(a, b), 0);  // equal contents, different objects
    EXPECT_EQ(c.same_object(b, a), 0);
}

TEST_P(Identity, NeverEvaluates) {
    const Comparison& c = GetParam();
    Counter runs;
    Value suspended = counting(runs, c.make());
    EXPECT_EQ(c.same_object(suspended, suspended), 1);
    EXPECT_EQ(c.same_object(suspended, c.make()), 0);
    EXPECT_EQ(runs.count(), 0);
    // Once evaluated, the suspended computation and its value are still two references.
    const Value& evaluated = rts::force(suspended);
    EXPECT_EQ(c.same_object(suspended, evaluated), 0);
    EXPECT_EQ(c.same_object(evaluated, rts::force(suspended)), 1);
}

INSTANTIATE_TEST_SUITE_P(
    All, Identity,
    ::testing::Values(Comparison{"reallyUnsafePtrEquality", reallyUnsafePtrEquality, fresh_cell},
                      Comparison{"unsafePtrEquality_hash", unsafePtrEquality_hash, fresh_cell},
                      Comparison{"sameArray_hash", sameArray_hash, fresh_cell},
                      Comparison{"sameMutableArray_hash", sameMutableArray_hash, fresh_cell},
                      Comparison{"sameSmallArray_hash", sameSmallArray_hash, fresh_cell},
                      Comparison{"sameSmallMutableArray_hash", sameSmallMutableArray_hash, fresh_cell},
                      Comparison{"sameByteArray_hash", sameByteArray_hash, fresh_frozen_bytes},
                      Comparison{"sameMutableByteArray_hash", sameMutableByteArray_hash, fresh_bytes},
                      Comparison{"sameMutVar_hash", sameMutVar_hash, fresh_mut_var},
                      Comparison{"sameTVar_hash", sameTVar_hash, fresh_mut_var},
                      Comparison{"sameMVar_hash", sameMVar_hash, fresh_mut_var},
                      Comparison{"sameIOPort_hash", sameIOPort_hash, fresh_mut_var},
                      Comparison{"samePromptTag_hash", samePromptTag_hash, fresh_cell},
                      Comparison{"eqStableName_hash", eqStableName_hash, fresh_cell}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Identity, StaticObjectsAreOneObjectEach) {
    EXPECT_EQ(reallyUnsafePtrEquality(Nil(), Nil()), 1);
    EXPECT_EQ(reallyUnsafePtrEquality(True(), fromBool(true)), 1);
    EXPECT_EQ(reallyUnsafePtrEquality(True(), False()), 0);
}

TEST(Identity, AMutVarStaysItselfWhenItsContentsChange) {
    Value r = rts::new_mut_var(I_hash(1));
    Value same_ref = r;
    rts::write_mut_var(r, I_hash(2));
    EXPECT_EQ(sameMutVar_hash(r, same_ref), 1);
}

// The hooks that are identities hand back the very reference they were given, unevaluated, both
// as C++ functions and as function values.
TEST(Hooks, IdentitiesReturnTheArgumentUnevaluated) {
    using namespace VUX::Magic;
    struct Hook {
        const char* name;
        Value (*direct)(Value);
        const rts::StaticFun* closure;
    };
    const Hook hooks[] = {
        {"inline", inline_, &inline_closure},
        {"noinline", noinline, &noinline_closure},
        {"lazy", lazy, &lazy_closure},
        {"oneShot", oneShot, &oneShot_closure},
        {"dataToTag#", dataToTag_hash, &dataToTag_hash_closure},
        {"withDict", VUX::Magic::Dict::withDict, &VUX::Magic::Dict::withDict_closure},
    };
    for (const Hook& h : hooks) {
        Counter runs;
        Value x = counting(runs, I_hash(42));
        EXPECT_TRUE(same(h.direct(x), x)) << h.name;
        EXPECT_TRUE(same(rts::apply(h.closure->value(), x), x)) << h.name;
        EXPECT_EQ(runs.count(), 0) << h.name;
        EXPECT_EQ(intOf(rts::force(h.direct(x))), 42) << h.name;  // demanding the result evaluates it
        EXPECT_EQ(runs.count(), 1) << h.name;
    }
}

TEST(Hooks, RunRWAppliesItsArgumentToTheStateToken) {
    using namespace VUX::Magic;
    int calls = 0;
    Value body = rts::fun<1>([&calls](const Value& token) {
        ++calls;
        EXPECT_TRUE(same(token, realWorld_hash()));
        return I_hash(7);
    });
    EXPECT_EQ(intOf(rts::force(runRW_hash(body))), 7);
    EXPECT_EQ(intOf(rts::force(rts::apply(runRW_hash_closure.value(), body))), 7);
    EXPECT_EQ(calls, 2);
}

TEST(Hooks, AllocationCounterGoesDownAsTheThreadAllocates) {
    const int64_t before = VUX::Prim::Ext::getThreadAllocationCounter_hash();
    std::vector<Value> kept;
    for (int i = 0; i < 1000; ++i) kept.push_back(I_hash(i));
    const int64_t after = VUX::Prim::Ext::getThreadAllocationCounter_hash();
    EXPECT_LE(after, before - 1000 * 16);  // each box takes at least 16 bytes
}

}  // namespace
