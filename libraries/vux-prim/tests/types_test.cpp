// Core types: static values and tables, constructor indexes, Solo, type representations.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>
#include <utility>
#include <vector>

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

namespace {
// A machine value handed to a function value travels in a one-word box.
Value machine(uint64_t w) { return W_hash(w); }
Value address(const char* s) { return W_hash(reinterpret_cast<uintptr_t>(s)); }
Value static_value(const rts::Object* o) { return Value::adopt(const_cast<rts::Object*>(o)); }

// A constructor function, its arguments, and where each lands: the argument index of each
// reference field and of each word, in storage order (references first).
struct ConRow {
    const char* name;
    const rts::StaticFun* fun;
    uint8_t tag;
    std::vector<Value> args;
    std::vector<size_t> refs;
    std::vector<size_t> words;
};

void expect_built(const ConRow& r, const Value& v) {
    ASSERT_EQ(v->kind, rts::Kind::Con);
    EXPECT_EQ(v->tag, r.tag);
    ASSERT_EQ(v->nptrs, r.refs.size());
    ASSERT_EQ(v->nwords, r.words.size());
    for (size_t i = 0; i < r.refs.size(); ++i)
        EXPECT_TRUE(same(rts::field(v, i), r.args[r.refs[i]])) << "ref " << i;
    for (size_t i = 0; i < r.words.size(); ++i)
        EXPECT_EQ(rts::word(v, i), rts::word(r.args[r.words[i]], 0)) << "word " << i;
}
}  // namespace

TEST(Constructors, EveryConstructorFunctionTakesItsFieldsInDeclarationOrder) {
    static const char kName[] = "name";
    const Value levity = Unlifted_closure.value(), reps = vt::list({BoxedRep_Lifted_closure.value()});
    const Value module = Module(TrNameS("pkg"), TrNameS("Mod")), kind = static_value(kindType);
    const std::vector<ConRow> rows = {
        {"C#", &C_hash_fun, C_hash_tag, {C_hash(0x1F600)}, {}, {0}},
        {"I#", &I_hash_fun, I_hash_tag, {I_hash(-5)}, {}, {0}},
        {"W#", &W_hash_fun, W_hash_tag, {W_hash(~0ULL)}, {}, {0}},
        {"F#", &F_hash_fun, F_hash_tag, {F_hash(1.5f)}, {}, {0}},
        {"D#", &D_hash_fun, D_hash_tag, {D_hash(-2.25)}, {}, {0}},
        {"VecRep",
         &VecRep_fun,
         VecRep_tag,
         {static_value(VecCount_closure_tbl[1]), static_value(VecElem_closure_tbl[9])},
         {0, 1},
         {}},
        {"TupleRep", &TupleRep_fun, TupleRep_tag, {reps}, {0}, {}},
        {"SumRep", &SumRep_fun, SumRep_tag, {reps}, {0}, {}},
        {"BoxedRep", &BoxedRep_fun, BoxedRep_tag, {levity}, {0}, {}},
        {"TrNameS", &TrNameS_fun, TrNameS_tag, {address(kName)}, {}, {0}},
        {"TrNameD", &TrNameD_fun, TrNameD_tag, {vt::str("dyn")}, {0}, {}},
        {"Module", &Module_fun, Module_tag, {TrNameS("p"), TrNameD(vt::str("m"))}, {0, 1}, {}},
        // Fingerprint high and low, module, name, kind variables, kind.
        {"TyCon",
         &TyCon_fun,
         TyCon_tag,
         {machine(0xAB), machine(0xCD), module, TrNameS(kName), I_hash(2), kind},
         {2, 3, 5},
         {0, 1, 4}},
        {"KindRepTyConApp", &KindRepTyConApp_fun, KindRepTyConApp_tag, {tcBool.value(), Nil()}, {0, 1}, {}},
        {"KindRepVar", &KindRepVar_fun, KindRepVar_tag, {I_hash(4)}, {}, {0}},
        {"KindRepApp", &KindRepApp_fun, KindRepApp_tag, {kind, static_value(kindTypeToType)}, {0, 1}, {}},
        {"KindRepFun", &KindRepFun_fun, KindRepFun_tag, {static_value(kindTypeToType), kind}, {0, 1}, {}},
        {"KindRepTYPE",
         &KindRepTYPE_fun,
         KindRepTYPE_tag,
         {static_value(RuntimeRep_nullary_tbl[AddrRep_tag])},
         {0},
         {}},
        {"KindRepTypeLitS",
         &KindRepTypeLitS_fun,
         KindRepTypeLitS_tag,
         {TypeLitSymbol_closure.value(), address(kName)},
         {0},
         {1}},
        {"KindRepTypeLitD",
         &KindRepTypeLitD_fun,
         KindRepTypeLitD_tag,
         {TypeLitChar_closure.value(), vt::str("x")},
         {0, 1},
         {}},
        {"MkDictBox", &MkDictBox_fun, MkDictBox_tag, {VUX::Classes::inst_Eq_Int()}, {0}, {}},
        {"MkLiftBox", &MkLiftBox_fun, MkLiftBox_tag, {levity}, {0}, {}},
        {"MkDoubleBox", &MkDoubleBox_fun, MkDoubleBox_tag, {D_hash(0.5)}, {}, {0}},
        {"MkFloatBox", &MkFloatBox_fun, MkFloatBox_tag, {F_hash(0.25f)}, {}, {0}},
        {"MkWord64Box", &MkWord64Box_fun, MkWord64Box_tag, {machine(1ULL << 63)}, {}, {0}},
        {"MkWord32Box", &MkWord32Box_fun, MkWord32Box_tag, {machine(0xFFFFFFFF)}, {}, {0}},
        {"MkWord16Box", &MkWord16Box_fun, MkWord16Box_tag, {machine(0xFFFF)}, {}, {0}},
        {"MkWord8Box", &MkWord8Box_fun, MkWord8Box_tag, {machine(0xFF)}, {}, {0}},
        {"MkWordBox", &MkWordBox_fun, MkWordBox_tag, {machine(7)}, {}, {0}},
        {"MkInt64Box", &MkInt64Box_fun, MkInt64Box_tag, {I_hash(INT64_MIN)}, {}, {0}},
        {"MkInt32Box", &MkInt32Box_fun, MkInt32Box_tag, {I_hash(-3)}, {}, {0}},
        {"MkInt16Box", &MkInt16Box_fun, MkInt16Box_tag, {I_hash(-4)}, {}, {0}},
        {"MkInt8Box", &MkInt8Box_fun, MkInt8Box_tag, {I_hash(-128)}, {}, {0}},
        {"MkIntBox", &MkIntBox_fun, MkIntBox_tag, {I_hash(9)}, {}, {0}},
    };
    for (const ConRow& r : rows) {
        SCOPED_TRACE(r.name);
        const Value f = r.fun->value();
        const size_t n = r.args.size();
        ASSERT_EQ(rts::arity_of(f), n) << "one argument per field";
        expect_built(r, rts::apply_n(f, n, r.args.data()));
        // Every partial application, completed, builds the same.
        for (size_t k = 1; k < n; ++k) {
            SCOPED_TRACE(k);
            Value partial = rts::apply_n(f, k, r.args.data());
            EXPECT_EQ(rts::arity_of(partial), n - k);
            expect_built(r, rts::apply_n(partial, n - k, r.args.data() + k));
        }
    }
    // Through rts::apply, and read back with the record's own accessors.
    Value partial = rts::apply(TyCon_fun.value(), machine(1), machine(2));
    Value tc = rts::apply(partial, module, TrNameS(kName), I_hash(3), kind);
    EXPECT_EQ(tyConFingerprintHigh(tc), 1u);
    EXPECT_EQ(tyConFingerprintLow(tc), 2u);
    EXPECT_TRUE(same(tyConModule(tc), module));
    EXPECT_STREQ(trNameBytes(tyConName(tc)), kName);
    EXPECT_EQ(tyConKindVars(tc), 3);
    EXPECT_TRUE(same(tyConKind(tc), kind));
    EXPECT_EQ(charOf(rts::apply(C_hash_fun.value(), C_hash(0x10FFFF))), 0x10FFFFu);
    EXPECT_EQ(doubleOf(rts::apply(D_hash_fun.value(), D_hash(-0.0))), 0.0);
    EXPECT_TRUE(std::signbit(doubleOf(rts::apply(D_hash_fun.value(), D_hash(-0.0)))));
}

// Lazy fields are stored as given; strict and machine fields are evaluated, before anything is built.
TEST(Constructors, FunctionValuesEvaluateExactlyTheStrictAndMachineFields) {
    Value thunk = vt::failing();
    Value module = rts::apply(Module_fun.value(), thunk, vt::failing());
    EXPECT_TRUE(same(rts::field(module, 0), thunk)) << "a lazy field keeps the suspended value";

    vt::Counter c;
    Value var = rts::apply(KindRepVar_fun.value(), vt::counting(c, I_hash(6)));
    EXPECT_EQ(c.count(), 1);
    EXPECT_EQ(rts::int_word(var, 0), 6);

    Value rep = rts::delay([] { return Value::adopt(RuntimeRep_nullary_tbl[FloatRep_tag]); });
    Value type = rts::apply(KindRepTYPE_fun.value(), rep);
    EXPECT_EQ(rts::field(type, 0).get(), RuntimeRep_nullary_tbl[FloatRep_tag]) << "stored evaluated";

    Value boxed = rts::delay([] { return I_hash(11); });
    EXPECT_EQ(intOf(rts::apply(I_hash_fun.value(), boxed)), 11);

    // A failing machine field fails the construction, even after lazy fields that are never read.
    vt::Counter lazy;
    EXPECT_THROW(rts::apply(TyCon_fun.value(), machine(1), machine(2), vt::counting(lazy, Nil()),
                            vt::counting(lazy, Nil()), vt::failing(), vt::counting(lazy, Nil())),
                 rts::Exception);
    EXPECT_EQ(lazy.count(), 0);
    EXPECT_THROW(rts::apply(KindRepTYPE_fun.value(), vt::failing()), rts::Exception);
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

namespace {
// One TyCon record: its module and name, and for a promoted constructor the constructor's type and
// number of fields (its kind is that many arrows ending in the type).
struct TyConRow {
    const StaticTyCon* tycon;
    const StaticModule* module;
    std::string name;
    const StaticTyCon* promotedFrom = nullptr;
    size_t fields = 0;
};

// Every TyCon record of the library.
std::vector<TyConRow> all_tycons() {
    namespace C = VUX::CString;
    namespace K = VUX::Classes;
    const StaticModule* ty = &trModule;
    const StaticModule* prim = &trModule_VUX_Prim;
    const StaticModule* tup = &T::trModule;
    std::vector<TyConRow> rows = {
        {&tcBool, ty, "Bool"},
        {&tc_prime_False, ty, "'False", &tcBool},
        {&tc_prime_True, ty, "'True", &tcBool},
        {&tcOrdering, ty, "Ordering"},
        {&tc_prime_LT, ty, "'LT", &tcOrdering},
        {&tc_prime_EQ, ty, "'EQ", &tcOrdering},
        {&tc_prime_GT, ty, "'GT", &tcOrdering},
        {&tcList, ty, "List"},
        {&tc_prime_Nil, ty, "'[]", &tcList},
        {&tc_prime_Cons, ty, "':", &tcList, 2},
        {&tcChar, ty, "Char"},
        {&tcInt, ty, "Int"},
        {&tcWord, ty, "Word"},
        {&tcFloat, ty, "Float"},
        {&tcDouble, ty, "Double"},
        {&tcModule, ty, "Module"},
        {&tc_prime_Module, ty, "'Module", &tcModule, 2},
        {&tcTrName, ty, "TrName"},
        {&tc_prime_TrNameD, ty, "'TrNameD", &tcTrName, 1},
        {&tcTyCon, ty, "TyCon"},
        {&tcKindRep, ty, "KindRep"},
        {&tc_prime_KindRepApp, ty, "'KindRepApp", &tcKindRep, 2},
        {&tc_prime_KindRepFun, ty, "'KindRepFun", &tcKindRep, 2},
        {&tc_prime_KindRepTYPE, ty, "'KindRepTYPE", &tcKindRep, 1},
        {&tc_prime_KindRepTypeLitD, ty, "'KindRepTypeLitD", &tcKindRep, 2},
        {&tcTypeLitSort, ty, "TypeLitSort"},
        {&tc_prime_TypeLitSymbol, ty, "'TypeLitSymbol", &tcTypeLitSort},
        {&tc_prime_TypeLitNat, ty, "'TypeLitNat", &tcTypeLitSort},
        {&tc_prime_TypeLitChar, ty, "'TypeLitChar", &tcTypeLitSort},
        {&tcRuntimeRep, ty, "RuntimeRep"},
        {&tc_prime_VecRep, ty, "'VecRep", &tcRuntimeRep, 2},
        {&tc_prime_TupleRep, ty, "'TupleRep", &tcRuntimeRep, 1},
        {&tc_prime_SumRep, ty, "'SumRep", &tcRuntimeRep, 1},
        {&tc_prime_BoxedRep, ty, "'BoxedRep", &tcRuntimeRep, 1},
        {&tc_prime_IntRep, ty, "'IntRep", &tcRuntimeRep},
        {&tc_prime_Int8Rep, ty, "'Int8Rep", &tcRuntimeRep},
        {&tc_prime_Int16Rep, ty, "'Int16Rep", &tcRuntimeRep},
        {&tc_prime_Int32Rep, ty, "'Int32Rep", &tcRuntimeRep},
        {&tc_prime_Int64Rep, ty, "'Int64Rep", &tcRuntimeRep},
        {&tc_prime_WordRep, ty, "'WordRep", &tcRuntimeRep},
        {&tc_prime_Word8Rep, ty, "'Word8Rep", &tcRuntimeRep},
        {&tc_prime_Word16Rep, ty, "'Word16Rep", &tcRuntimeRep},
        {&tc_prime_Word32Rep, ty, "'Word32Rep", &tcRuntimeRep},
        {&tc_prime_Word64Rep, ty, "'Word64Rep", &tcRuntimeRep},
        {&tc_prime_AddrRep, ty, "'AddrRep", &tcRuntimeRep},
        {&tc_prime_FloatRep, ty, "'FloatRep", &tcRuntimeRep},
        {&tc_prime_DoubleRep, ty, "'DoubleRep", &tcRuntimeRep},
        {&tcVecCount, ty, "VecCount"},
        {&tc_prime_Vec2, ty, "'Vec2", &tcVecCount},
        {&tc_prime_Vec4, ty, "'Vec4", &tcVecCount},
        {&tc_prime_Vec8, ty, "'Vec8", &tcVecCount},
        {&tc_prime_Vec16, ty, "'Vec16", &tcVecCount},
        {&tc_prime_Vec32, ty, "'Vec32", &tcVecCount},
        {&tc_prime_Vec64, ty, "'Vec64", &tcVecCount},
        {&tcVecElem, ty, "VecElem"},
        {&tc_prime_Int8ElemRep, ty, "'Int8ElemRep", &tcVecElem},
        {&tc_prime_Int16ElemRep, ty, "'Int16ElemRep", &tcVecElem},
        {&tc_prime_Int32ElemRep, ty, "'Int32ElemRep", &tcVecElem},
        {&tc_prime_Int64ElemRep, ty, "'Int64ElemRep", &tcVecElem},
        {&tc_prime_Word8ElemRep, ty, "'Word8ElemRep", &tcVecElem},
        {&tc_prime_Word16ElemRep, ty, "'Word16ElemRep", &tcVecElem},
        {&tc_prime_Word32ElemRep, ty, "'Word32ElemRep", &tcVecElem},
        {&tc_prime_Word64ElemRep, ty, "'Word64ElemRep", &tcVecElem},
        {&tc_prime_FloatElemRep, ty, "'FloatElemRep", &tcVecElem},
        {&tc_prime_DoubleElemRep, ty, "'DoubleElemRep", &tcVecElem},
        {&tcLevity, ty, "Levity"},
        {&tc_prime_Lifted, ty, "'Lifted", &tcLevity},
        {&tc_prime_Unlifted, ty, "'Unlifted", &tcLevity},
        {&tcMultiplicity, ty, "Multiplicity"},
        {&tc_prime_One, ty, "'One", &tcMultiplicity},
        {&tc_prime_Many, ty, "'Many", &tcMultiplicity},
        {&tcSPEC, ty, "SPEC"},
        {&tc_prime_SPEC, ty, "'SPEC", &tcSPEC},
        {&tc_prime_SPEC2, ty, "'SPEC2", &tcSPEC},
        {&tcDictBox, ty, "DictBox"},
        {&tcDoubleBox, ty, "DoubleBox"},
        {&tcFloatBox, ty, "FloatBox"},
        {&tcWord64Box, ty, "Word64Box"},
        {&tcWord32Box, ty, "Word32Box"},
        {&tcWord16Box, ty, "Word16Box"},
        {&tcWord8Box, ty, "Word8Box"},
        {&tcWordBox, ty, "WordBox"},
        {&tcInt64Box, ty, "Int64Box"},
        {&tcInt32Box, ty, "Int32Box"},
        {&tcInt16Box, ty, "Int16Box"},
        {&tcInt8Box, ty, "Int8Box"},
        {&tcIntBox, ty, "IntBox"},
        {&tcLiftBox, ty, "LiftBox"},
        {&tcCoercible, ty, "Coercible"},
        {&tc_tilde, ty, "~"},
        {&tc_tilde_tilde, ty, "~~"},
        {&tcIO, ty, "IO"},
        // The primitive types.
        {&tcTYPE, prim, "TYPE"},
        {&tcCONSTRAINT, prim, "CONSTRAINT"},
        {&tcFUN, prim, "FUN"},
        {&tcInt_hash, prim, "Int#"},
        {&tcWord_hash, prim, "Word#"},
        {&tcChar_hash, prim, "Char#"},
        {&tcFloat_hash, prim, "Float#"},
        {&tcDouble_hash, prim, "Double#"},
        {&tcAddr_hash, prim, "Addr#"},
        {&tcInt8_hash, prim, "Int8#"},
        {&tcInt16_hash, prim, "Int16#"},
        {&tcInt32_hash, prim, "Int32#"},
        {&tcInt64_hash, prim, "Int64#"},
        {&tcWord8_hash, prim, "Word8#"},
        {&tcWord16_hash, prim, "Word16#"},
        {&tcWord32_hash, prim, "Word32#"},
        {&tcWord64_hash, prim, "Word64#"},
        {&tcArray_hash, prim, "Array#"},
        {&tcMutableArray_hash, prim, "MutableArray#"},
        {&tcSmallArray_hash, prim, "SmallArray#"},
        {&tcSmallMutableArray_hash, prim, "SmallMutableArray#"},
        {&tcByteArray_hash, prim, "ByteArray#"},
        {&tcMutableByteArray_hash, prim, "MutableByteArray#"},
        {&tcMutVar_hash, prim, "MutVar#"},
        {&tcMVar_hash, prim, "MVar#"},
        {&tcTVar_hash, prim, "TVar#"},
        {&tcState_hash, prim, "State#"},
        {&tcRealWorld, prim, "RealWorld"},
        {&tcThreadId_hash, prim, "ThreadId#"},
        {&tcWeak_hash, prim, "Weak#"},
        {&tcStablePtr_hash, prim, "StablePtr#"},
        {&tcStableName_hash, prim, "StableName#"},
        {&tcCompact_hash, prim, "Compact#"},
        // Unit, Solo and the unboxed ones.
        {&T::tcUnit, tup, "Unit"},
        {&T::tc_prime_Unit, tup, "'()", &T::tcUnit},
        {&T::tcSolo, tup, "Solo"},
        {&T::tc_prime_MkSolo, tup, "'MkSolo", &T::tcSolo, 1},
        {&T::tcUnit_hash, tup, "Unit#"},
        {&T::tcSolo_hash, tup, "Solo#"},
        // The other modules.
        {&C::tcBytes, &C::trModule, "Bytes"},
        {&C::tc_prime_One, &C::trModule, "'One", &C::tcBytes},
        {&C::tc_prime_Two, &C::trModule, "'Two", &C::tcBytes},
        {&C::tc_prime_Three, &C::trModule, "'Three", &C::tcBytes},
        {&C::tc_prime_Four, &C::trModule, "'Four", &C::tcBytes},
        {&K::tcEq, &K::trModule, "Eq"},
        {&K::tcOrd, &K::trModule, "Ord"},
        {&K::tcIP, &K::trModule, "IP"},
    };
    for (size_t n = 2; n <= T::kMaxTupleSize; ++n) {
        std::string tuple = "Tuple" + std::to_string(n);
        rows.push_back({&T::tcTuple(n), tup, tuple});
        rows.push_back({&T::tc_prime_Tuple(n), tup, "'(" + std::string(n - 1, ',') + ")", &T::tcTuple(n), n});
        rows.push_back({&T::tcTuple_hash(n), tup, tuple + "#"});
    }
    return rows;
}

// The result of a kind after `arrows` arrows (evaluating the lazy fields on the way).
Value kind_result(const StaticTyCon& tc, size_t arrows) {
    Value k = rts::force(tyConKind(tc.value()));
    for (size_t i = 0; i < arrows; ++i) {
        EXPECT_EQ(k->tag, KindRepFun_tag) << "arrow " << i;
        if (k->tag != KindRepFun_tag) return k;
        k = rts::force(rts::field(k, 1));
    }
    return k;
}
}  // namespace

TEST(TypeRep, EveryTyConRecordIsConsistentAndHasItsOwnFingerprint) {
    std::vector<TyConRow> rows = all_tycons();
    std::set<std::pair<uint64_t, uint64_t>> fingerprints;
    std::set<const StaticTyCon*> records;
    for (const TyConRow& r : rows) {
        SCOPED_TRACE(r.name);
        Value tc = r.tycon->value();
        ASSERT_EQ(tc->tag, TyCon_tag);
        EXPECT_TRUE(same(tyConModule(tc), r.module->value()));
        EXPECT_EQ(static_name(tyConName(tc)), r.name);
        // The fingerprint derives from the record's own package, module and name.
        const Value& m = tyConModule(tc);
        Fingerprint fp = fingerprint(trNameBytes(rts::field(m, 0)), trNameBytes(rts::field(m, 1)), r.name);
        EXPECT_EQ(tyConFingerprintHigh(tc), fp.high);
        EXPECT_EQ(tyConFingerprintLow(tc), fp.low);
        fingerprints.insert({tyConFingerprintHigh(tc), tyConFingerprintLow(tc)});
        records.insert(r.tycon);
        EXPECT_GE(tyConKindVars(tc), 0);
        const Value& kind = rts::force(tyConKind(tc));
        EXPECT_EQ(kind->kind, rts::Kind::Con);
        EXPECT_LE(kind->tag, KindRepTypeLitD_tag);
        EXPECT_EQ(r.name[0] == '\'', r.promotedFrom != nullptr)
            << "only promoted constructors carry an apostrophe";
        if (r.promotedFrom) {
            Value result = kind_result(*r.tycon, r.fields);
            ASSERT_EQ(result->tag, KindRepTyConApp_tag);
            EXPECT_TRUE(same(rts::field(result, 0), r.promotedFrom->value()))
                << "kind ends in the constructor's type";
        }
    }
    EXPECT_EQ(records.size(), rows.size()) << "a record listed twice";
    EXPECT_EQ(fingerprints.size(), rows.size()) << "two type constructors share a fingerprint";
    // The same name in two modules is two type constructors.
    EXPECT_FALSE(fingerprint("vux-prim", "VUX.Types", "Int") == fingerprint("vux-prim", "VUX.Tuple", "Int"));
    EXPECT_FALSE(fingerprint("p", "ab", "c") == fingerprint("p", "a", "bc"));
}

namespace {
// The RuntimeRep r of a kind TYPE r.
const Value& rep_of(const Value& kind) {
    EXPECT_EQ(kind->tag, KindRepTYPE_tag);
    return rts::field(kind, 0);
}
Value kind_of(const StaticTyCon& tc) { return rts::force(tyConKind(tc.value())); }
// The argument r of a kind TYPE r whose r is not a constant (TYPE applied as a type constructor).
Value type_arg(const Value& type) {
    EXPECT_EQ(type->tag, KindRepTyConApp_tag);
    EXPECT_TRUE(same(rts::field(type, 0), tcTYPE.value()));
    std::vector<Value> a = vt::items(rts::field(type, 1));
    EXPECT_EQ(a.size(), 1u);
    return a.empty() ? Value() : rts::force(a[0]);
}
}  // namespace

TEST(TypeRep, PrimitiveTypesHaveTheKindsOfTheirRepresentations) {
    const std::pair<const StaticTyCon*, uint8_t> machine[] = {
        {&tcInt_hash, IntRep_tag},       {&tcWord_hash, WordRep_tag},     {&tcChar_hash, WordRep_tag},
        {&tcFloat_hash, FloatRep_tag},   {&tcDouble_hash, DoubleRep_tag}, {&tcAddr_hash, AddrRep_tag},
        {&tcInt8_hash, Int8Rep_tag},     {&tcInt32_hash, Int32Rep_tag},   {&tcWord16_hash, Word16Rep_tag},
        {&tcWord64_hash, Word64Rep_tag},
    };
    for (auto [tc, rep] : machine) {
        SCOPED_TRACE(trNameBytes(tyConName(tc->value())));
        EXPECT_EQ(rep_of(kind_of(*tc))->tag, rep);
        EXPECT_EQ(rep_of(kind_of(*tc)).get(), RuntimeRep_nullary_tbl[rep])
            << "the shared static representation";
    }
    // Array# :: Type -> UnliftedType, MutVar# :: Type -> Type -> UnliftedType.
    Value unlifted = kind_result(tcArray_hash, 1);
    EXPECT_EQ(rep_of(unlifted)->tag, BoxedRep_tag);
    EXPECT_EQ(rts::field(rep_of(unlifted), 0)->tag, Unlifted_tag);
    EXPECT_TRUE(same(rts::field(kind_of(tcArray_hash), 0), kindType_closure.value()));
    EXPECT_TRUE(same(kind_result(tcMutVar_hash, 2), kindUnliftedType_closure.value()));
    EXPECT_TRUE(same(kind_of(tcByteArray_hash), kindUnliftedType_closure.value()));
    // State# :: Type -> TYPE (TupleRep '[]), values without content.
    const Value& zero_bit = rep_of(kind_result(tcState_hash, 1));
    EXPECT_EQ(zero_bit->tag, TupleRep_tag);
    EXPECT_EQ(rts::field(zero_bit, 0)->tag, Nil_tag);
    // The boxes take a type of their machine value's representation: IntBox :: TYPE IntRep -> Type.
    EXPECT_EQ(rep_of(rts::field(kind_of(tcIntBox), 0))->tag, IntRep_tag);
    EXPECT_EQ(rep_of(rts::field(kind_of(tcDoubleBox), 0))->tag, DoubleRep_tag);
    EXPECT_TRUE(same(kind_result(tcIntBox, 1), kindType_closure.value()));
    // ~~ relates two kinds, ~ one.
    EXPECT_EQ(tyConKindVars(tc_tilde_tilde.value()), 2);
    EXPECT_EQ(rts::int_word(rts::field(kind_result(tc_tilde_tilde, 1), 0), 0), 1);
    EXPECT_TRUE(same(kind_result(tc_tilde, 2), Value::adopt(const_cast<rts::Object*>(kindConstraint))));
}

TEST(TypeRep, TupleFamilyKindsAreBuiltOnFirstDemandAndShared) {
    // '(,,) :: forall a0 a1 a2. a0 -> a1 -> a2 -> Tuple3 a0 a1 a2
    Value promoted = T::tc_prime_Tuple(3).value();
    EXPECT_EQ(tyConKindVars(promoted), 3);
    const Value& kind = rts::force(tyConKind(promoted));
    EXPECT_TRUE(same(kind, rts::force(tyConKind(promoted))));
    Value k = kind;
    for (int64_t i = 0; i < 3; ++i) {
        ASSERT_EQ(k->tag, KindRepFun_tag);
        EXPECT_EQ(rts::int_word(rts::force(rts::field(k, 0)), 0), i);
        k = rts::force(rts::field(k, 1));
    }
    ASSERT_EQ(k->tag, KindRepTyConApp_tag);
    EXPECT_TRUE(same(rts::field(k, 0), T::tcTuple(3).value()));
    std::vector<Value> args = vt::items(rts::field(k, 1));
    ASSERT_EQ(args.size(), 3u);
    for (int64_t i = 0; i < 3; ++i) EXPECT_EQ(rts::int_word(rts::force(args[i]), 0), i);

    // Tuple3# :: forall r0 r1 r2. TYPE r0 -> TYPE r1 -> TYPE r2 -> TYPE (TupleRep '[r0, r1, r2])
    Value unboxed = T::tcTuple_hash(3).value();
    EXPECT_EQ(tyConKindVars(unboxed), 3);
    k = rts::force(tyConKind(unboxed));
    for (int64_t i = 0; i < 3; ++i) {
        ASSERT_EQ(k->tag, KindRepFun_tag);
        EXPECT_EQ(rts::int_word(type_arg(rts::force(rts::field(k, 0))), 0), i);
        k = rts::force(rts::field(k, 1));
    }
    Value tuple_rep = type_arg(k);
    ASSERT_EQ(tuple_rep->tag, KindRepTyConApp_tag);
    EXPECT_TRUE(same(rts::field(tuple_rep, 0), tc_prime_TupleRep.value()));
    // The promoted list '[r0, r1, r2]: ': and '[] applied to the element kind RuntimeRep first.
    Value reps = rts::force(vt::items(rts::field(tuple_rep, 1)).at(0));
    for (int64_t i = 0; i < 3; ++i) {
        ASSERT_TRUE(same(rts::field(reps, 0), tc_prime_Cons.value()));
        std::vector<Value> cell = vt::items(rts::field(reps, 1));
        ASSERT_EQ(cell.size(), 3u);
        EXPECT_TRUE(same(rts::field(rts::force(cell[0]), 0), tcRuntimeRep.value()));
        EXPECT_EQ(rts::int_word(rts::force(cell[1]), 0), i);
        reps = rts::force(cell[2]);
    }
    EXPECT_TRUE(same(rts::field(reps, 0), tc_prime_Nil.value()));
    EXPECT_EQ(vt::items(rts::field(reps, 1)).size(), 1u);

    EXPECT_EQ(tyConKindVars(T::tcSolo_hash.value()), 1);
    EXPECT_EQ(type_arg(kind_result(T::tcSolo_hash, 1))->tag, KindRepTyConApp_tag) << "TYPE (TupleRep '[r0])";
    const Value& unit_rep = rep_of(kind_of(T::tcUnit_hash));
    EXPECT_EQ(unit_rep->tag, TupleRep_tag);
    EXPECT_EQ(rts::field(unit_rep, 0)->tag, Nil_tag);
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
