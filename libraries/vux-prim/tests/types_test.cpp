// Core types: static values and tables, constructor indexes, Solo, type representations.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>

#include "Testing.h"
#include "VUX/CString.h"
#include "VUX/Classes.h"
#include "VUX/Tuple.h"
#include "VUX/Types.h"

using namespace VUX::Types;
using rts::Value;
namespace T = VUX::Tuple;
namespace vt = vux::testing;

TEST(BoolTable, IsTrueGivesTheSharedStaticValues) {
    EXPECT_TRUE(same(isTrue_hash(0), False()));
    EXPECT_TRUE(same(isTrue_hash(1), True()));
    EXPECT_EQ(isTrue_hash(0)->tag, False_tag);
    EXPECT_EQ(isTrue_hash(1)->tag, True_tag);
    EXPECT_EQ(isTrue_hash(1)->rc.load(), 0u) << "static values are never counted";
}

// Every enumeration table holds its static values in constructor order.
TEST(EnumerationTables, EntriesAreIndexedByTag) {
    struct Table {
        const char* name;
        rts::Object* const* entries;
        size_t size;
    };
    const Table tables[] = {
        {"Bool", Bool_closure_tbl, 2},          {"Ordering", Ordering_closure_tbl, 3},
        {"Levity", Levity_closure_tbl, 2},      {"Multiplicity", Multiplicity_closure_tbl, 2},
        {"SPEC", SPEC_closure_tbl, 2},          {"TypeLitSort", TypeLitSort_closure_tbl, 3},
        {"VecCount", VecCount_closure_tbl, 6},  {"VecElem", VecElem_closure_tbl, 10},
        {"Unit", T::Unit_closure_tbl, 1},       {"Bytes", VUX::CString::Bytes_closure_tbl, 4},
    };
    for (const Table& t : tables) {
        SCOPED_TRACE(t.name);
        std::set<rts::Object*> distinct;
        for (size_t i = 0; i < t.size; ++i) {
            ASSERT_NE(t.entries[i], nullptr);
            EXPECT_EQ(t.entries[i]->kind, rts::Kind::Con);
            EXPECT_EQ(t.entries[i]->tag, i);
            EXPECT_EQ(t.entries[i]->nptrs + t.entries[i]->nwords, 0);
            distinct.insert(t.entries[i]);
        }
        EXPECT_EQ(distinct.size(), t.size);
    }
    EXPECT_EQ(Ordering_closure_tbl[2], GT_closure.object());
    EXPECT_EQ(VecCount_closure_tbl[Vec64_tag]->tag, 5);
    EXPECT_EQ(VecElem_closure_tbl[DoubleElemRep_tag]->tag, 9);
}

TEST(RuntimeRep, NullaryConstructorsFollowTheFourWithFields) {
    for (int tag = 0; tag < 4; ++tag) EXPECT_EQ(RuntimeRep_nullary_tbl[tag], nullptr);
    for (int tag = IntRep_tag; tag <= DoubleRep_tag; ++tag) EXPECT_EQ(RuntimeRep_nullary_tbl[tag]->tag, tag);
    EXPECT_EQ(RuntimeRep_nullary_tbl[16]->tag, 16) << "DoubleRep is constructor 16";
    Value boxed = BoxedRep(Value::adopt(Unlifted_closure.object()));
    EXPECT_EQ(boxed->tag, BoxedRep_tag);
    EXPECT_EQ(rts::field(boxed, 0)->tag, Unlifted_tag);
}

TEST(Solo, PatternMatchLeavesTheFieldUnevaluatedGetSoloEvaluatesIt) {
    vt::Counter c;
    Value solo = T::Solo(vt::counting(c, I_hash(7)));
    // The continuation returns its argument as it got it.
    Value id = rts::fun<1>([](const Value& x) { return x; });
    Value matched = T::Solo_match(solo, id, vt::failing("fall-back used"));
    EXPECT_FALSE(rts::is_evaluated(matched));
    EXPECT_EQ(c.count(), 0);
    Value got = T::getSolo(solo);
    EXPECT_EQ(intOf(got), 7);
    EXPECT_EQ(c.count(), 1);
    EXPECT_THROW(T::getSolo(T::MkSolo(vt::failing())), rts::Exception);
}

TEST(Constructors, FunctionValuesBuildTheConstructor) {
    Value pair = rts::apply(T::tupleConstructor(2), I_hash(1), I_hash(2));
    ASSERT_EQ(pair->nptrs, 2);
    EXPECT_EQ(intOf(rts::field(pair, 1)), 2);
    Value partial = rts::apply(T::tupleConstructor(3), I_hash(1));
    Value triple = rts::apply(partial, I_hash(2), I_hash(3));
    EXPECT_EQ(triple->nptrs, 3);
    EXPECT_EQ(intOf(rts::field(triple, 2)), 3);
    Value cell = rts::apply(Cons_fun.value(), I_hash(4), Nil());
    EXPECT_EQ(vt::int_values(cell), std::vector<int64_t>{4});
    Value solo = rts::apply(T::MkSolo_fun.value(), I_hash(5));
    EXPECT_EQ(intOf(rts::field(solo, 0)), 5);
    Value big = rts::apply(T::tupleConstructor(64), I_hash(0));
    EXPECT_EQ(rts::arity_of(big), 63u);
}

TEST(StrictWrappers, EvaluateTheirArgument) {
    vt::Counter c;
    Value var = KindRepVar_wrapper(vt::counting(c, I_hash(3)));
    EXPECT_EQ(c.count(), 1);
    EXPECT_EQ(var->tag, KindRepVar_tag);
    EXPECT_EQ(rts::int_word(var, 0), 3);
    Value rep = rts::delay([] { return Value::adopt(RuntimeRep_nullary_tbl[IntRep_tag]); });
    Value type = KindRepTYPE_wrapper(rep);
    EXPECT_EQ(rts::field(type, 0)->kind, rts::Kind::Con) << "the field holds the evaluated representation";
    EXPECT_EQ(rts::field(type, 0)->tag, IntRep_tag);
    EXPECT_THROW(KindRepVar_wrapper(vt::failing()), rts::Exception);
}

TEST(Evidence, SelectorsEvaluateTheEvidence) {
    EXPECT_NO_THROW(coercible_sel(MkCoercible()));
    EXPECT_NO_THROW(eq_sel(Eq_hash()));
    EXPECT_NO_THROW(heq_sel(HEq_hash()));
    EXPECT_THROW(eq_sel(vt::failing()), rts::Exception);
}

// ---------------------------------------------------------------------------------------------
// Type representations

namespace {
std::string static_name(const Value& trname) {
    EXPECT_EQ(trname->tag, TrNameS_tag);
    return trNameBytes(trname);
}
}  // namespace

TEST(TypeRep, ModuleRecordsNameTheirPackageAndModule) {
    struct Row {
        const StaticModule* module;
        const char* name;
    };
    const Row rows[] = {{&trModule, "VUX.Types"},
                        {&trModule_VUX_Prim, "VUX.Prim"},
                        {&T::trModule, "VUX.Tuple"},
                        {&VUX::CString::trModule, "VUX.CString"},
                        {&VUX::Classes::trModule, "VUX.Classes"}};
    for (const Row& r : rows) {
        Value m = r.module->value();
        EXPECT_EQ(static_name(rts::field(m, 0)), "vux-prim");
        EXPECT_EQ(static_name(rts::field(m, 1)), r.name);
    }
}

TEST(TypeRep, TyConRecordsHoldModuleNameKindAndACompileTimeFingerprint) {
    Value bool_tc = tcBool.value();
    EXPECT_TRUE(same(tyConModule(bool_tc), trModule.value()));
    EXPECT_EQ(static_name(tyConName(bool_tc)), "Bool");
    EXPECT_EQ(tyConKindVars(bool_tc), 0);
    EXPECT_TRUE(same(tyConKind(bool_tc), Value::adopt(const_cast<rts::Object*>(kindType))));
    // The fingerprint is a pure function of package, module and name, so every build agrees.
    constexpr Fingerprint expected = fingerprint("vux-prim", "VUX.Types", "Bool");
    EXPECT_EQ(tyConFingerprintHigh(bool_tc), expected.high);
    EXPECT_EQ(tyConFingerprintLow(bool_tc), expected.low);

    Value promoted = tc_prime_True.value();
    EXPECT_EQ(static_name(tyConName(promoted)), "'True");
    const Value& kind = tyConKind(promoted);
    EXPECT_EQ(kind->tag, KindRepTyConApp_tag);
    EXPECT_TRUE(same(rts::field(kind, 0), bool_tc)) << "'True has kind Bool";

    EXPECT_EQ(static_name(tyConName(T::tcTuple(15).value())), "Tuple15");
    EXPECT_EQ(static_name(tyConName(T::tcTuple(2).value())), "Tuple2");
    EXPECT_EQ(static_name(tyConName(tcInt_hash.value())), "Int#");
    EXPECT_TRUE(same(tyConModule(tcInt_hash.value()), trModule_VUX_Prim.value()));
}

TEST(TypeRep, FingerprintsDifferBetweenTypeConstructors) {
    std::set<std::pair<uint64_t, uint64_t>> seen;
    size_t count = 0;
    auto add = [&](const StaticTyCon& t) {
        seen.insert({t.fp_high, t.fp_low});
        ++count;
    };
    for (const StaticTyCon* t : {&tcBool, &tc_prime_False, &tc_prime_True, &tcOrdering, &tc_prime_LT, &tc_prime_EQ,
                                 &tc_prime_GT, &tcList, &tc_prime_Nil, &tc_prime_Cons, &tcChar, &tcInt, &tcWord,
                                 &tcFloat, &tcDouble, &tcModule, &tcTrName, &tcTyCon, &tcKindRep, &tcRuntimeRep,
                                 &tcInt_hash, &tcWord_hash, &tcTYPE, &tcCONSTRAINT, &tc_tilde, &tc_tilde_tilde,
                                 &T::tcUnit, &T::tcSolo, &VUX::CString::tcBytes, &VUX::Classes::tcEq,
                                 &VUX::Classes::tcOrd})
        add(*t);
    for (size_t n = 2; n <= T::kMaxTupleSize; ++n) add(T::tcTuple(n));
    EXPECT_EQ(seen.size(), count);
    // The same name in two modules is two type constructors.
    EXPECT_FALSE(fingerprint("vux-prim", "VUX.Types", "Int") == fingerprint("vux-prim", "VUX.Tuple", "Int"));
    EXPECT_FALSE(fingerprint("p", "ab", "c") == fingerprint("p", "a", "bc"));
}

TEST(TypeRep, SharedKinds) {
    Value type = Value::adopt(const_cast<rts::Object*>(kindType));
    ASSERT_EQ(type->tag, KindRepTYPE_tag);
    const Value& rep = rts::field(type, 0);
    EXPECT_EQ(rep->tag, BoxedRep_tag);
    EXPECT_EQ(rts::field(rep, 0)->tag, Lifted_tag);

    Value arrow2 = Value::adopt(const_cast<rts::Object*>(kindTypeToTypeToType));
    EXPECT_EQ(arrow2->tag, KindRepFun_tag);
    EXPECT_TRUE(same(rts::field(arrow2, 0), type));
    EXPECT_TRUE(same(rts::field(arrow2, 1), Value::adopt(const_cast<rts::Object*>(kindTypeToType))));

    Value constraint = Value::adopt(const_cast<rts::Object*>(kindConstraint));
    EXPECT_EQ(constraint->tag, KindRepTyConApp_tag);
    EXPECT_TRUE(same(rts::field(constraint, 0), tcCONSTRAINT.value()));
    std::vector<Value> args = vt::items(rts::field(constraint, 1));
    ASSERT_EQ(args.size(), 1u);
    EXPECT_TRUE(same(args[0], BoxedRep_Lifted_closure.value()));
}
