#include "VUX/Types.h"

namespace VUX::Types {

namespace {
constexpr rts::Slot ref(const rts::Object* o) { return rts::ref_slot(o); }
}  // namespace

constinit const rts::StaticNullary False_closure{False_tag};
constinit const rts::StaticNullary True_closure{True_tag};
constinit rts::Object* const Bool_closure_tbl[2] = {False_closure.object(), True_closure.object()};

constinit const rts::StaticNullary LT_closure{LT_tag};
constinit const rts::StaticNullary EQ_closure{EQ_tag};
constinit const rts::StaticNullary GT_closure{GT_tag};
constinit rts::Object* const Ordering_closure_tbl[3] = {LT_closure.object(), EQ_closure.object(), GT_closure.object()};

constinit const rts::StaticNullary Nil_closure{Nil_tag};
constinit const rts::StaticFun Cons_fun{rts::static_fun_info<&Cons>};

// Small enumerations
constinit const rts::StaticNullary Lifted_closure{Lifted_tag};
constinit const rts::StaticNullary Unlifted_closure{Unlifted_tag};
constinit rts::Object* const Levity_closure_tbl[2] = {Lifted_closure.object(), Unlifted_closure.object()};

constinit const rts::StaticNullary One_closure{One_tag};
constinit const rts::StaticNullary Many_closure{Many_tag};
constinit rts::Object* const Multiplicity_closure_tbl[2] = {One_closure.object(), Many_closure.object()};

constinit const rts::StaticNullary SPEC_closure{SPEC_tag};
constinit const rts::StaticNullary SPEC2_closure{SPEC2_tag};
constinit rts::Object* const SPEC_closure_tbl[2] = {SPEC_closure.object(), SPEC2_closure.object()};

constinit const rts::StaticNullary TypeLitSymbol_closure{TypeLitSymbol_tag};
constinit const rts::StaticNullary TypeLitNat_closure{TypeLitNat_tag};
constinit const rts::StaticNullary TypeLitChar_closure{TypeLitChar_tag};
constinit rts::Object* const TypeLitSort_closure_tbl[3] = {
    TypeLitSymbol_closure.object(), TypeLitNat_closure.object(), TypeLitChar_closure.object()};

namespace {
// The static values of an enumeration with N constructors, tags 0 .. N-1.
template <size_t N>
struct EnumStatics {
    rts::StaticNullary cons[N];
    template <size_t... I>
    constexpr explicit EnumStatics(std::index_sequence<I...>) : cons{rts::StaticNullary(static_cast<uint8_t>(I))...} {}
    constexpr EnumStatics() : EnumStatics(std::make_index_sequence<N>{}) {}
};
constinit const EnumStatics<6> vec_count{};
constinit const EnumStatics<10> vec_elem{};
// RuntimeRep's constructors without fields have tags 4 .. 16.
struct RepStatics {
    rts::StaticNullary cons[13];
    template <size_t... I>
    constexpr explicit RepStatics(std::index_sequence<I...>)
        : cons{rts::StaticNullary(static_cast<uint8_t>(IntRep_tag + I))...} {}
    constexpr RepStatics() : RepStatics(std::make_index_sequence<13>{}) {}
};
constinit const RepStatics runtime_reps{};
}  // namespace

constinit rts::Object* const VecCount_closure_tbl[6] = {
    vec_count.cons[0].object(), vec_count.cons[1].object(), vec_count.cons[2].object(),
    vec_count.cons[3].object(), vec_count.cons[4].object(), vec_count.cons[5].object()};
constinit rts::Object* const VecElem_closure_tbl[10] = {
    vec_elem.cons[0].object(), vec_elem.cons[1].object(), vec_elem.cons[2].object(), vec_elem.cons[3].object(),
    vec_elem.cons[4].object(), vec_elem.cons[5].object(), vec_elem.cons[6].object(), vec_elem.cons[7].object(),
    vec_elem.cons[8].object(), vec_elem.cons[9].object()};
constinit rts::Object* const RuntimeRep_nullary_tbl[17] = {
    nullptr, nullptr, nullptr, nullptr,
    runtime_reps.cons[0].object(), runtime_reps.cons[1].object(), runtime_reps.cons[2].object(),
    runtime_reps.cons[3].object(), runtime_reps.cons[4].object(), runtime_reps.cons[5].object(),
    runtime_reps.cons[6].object(), runtime_reps.cons[7].object(), runtime_reps.cons[8].object(),
    runtime_reps.cons[9].object(), runtime_reps.cons[10].object(), runtime_reps.cons[11].object(),
    runtime_reps.cons[12].object()};

constinit const rts::StaticCon<1> BoxedRep_Lifted_closure{BoxedRep_tag, ref(&Lifted_closure.header)};

// Evidence
constinit const rts::StaticNullary MkCoercible_closure{0};
constinit const rts::StaticNullary Eq_hash_closure{0};
constinit const rts::StaticNullary HEq_hash_closure{0};
void coercible_sel(const Value& evidence) { rts::force(evidence); }
void eq_sel(const Value& evidence) { rts::force(evidence); }
void heq_sel(const Value& evidence) { rts::force(evidence); }

// Strict wrappers and records built at run time
Value KindRepVar_wrapper(const Value& boxedIndex) { return KindRepVar(intOf(rts::force(boxedIndex))); }
Value KindRepTYPE_wrapper(const Value& rep) { return KindRepTYPE(rts::force(rep)); }

Value TyCon(uint64_t fpHigh, uint64_t fpLow, Value module, Value name, int64_t kindVars, Value kind) {
    const uint64_t words[3] = {fpHigh, fpLow, static_cast<uint64_t>(kindVars)};
    return rts::con_words(TyCon_tag, words, std::move(module), std::move(name), std::move(kind));
}

// ---------------------------------------------------------------------------------------------
// Type representations

VUX_DEFINE_MODULE(trModule, "vux-prim", "VUX.Types");
VUX_DEFINE_MODULE(trModule_VUX_Prim, "vux-prim", "VUX.Prim");

// Shared kinds. CONSTRAINT is applied to [BoxedRep Lifted].
constinit const rts::StaticCon<1> kindType_closure{KindRepTYPE_tag, ref(&BoxedRep_Lifted_closure.header)};
constinit const rts::StaticCon<2> kindTypeToType_closure{KindRepFun_tag, ref(kindType), ref(kindType)};
constinit const rts::StaticCon<2> kindTypeToTypeToType_closure{KindRepFun_tag, ref(kindType), ref(kindTypeToType)};
namespace {
constinit const rts::StaticCon<2> lifted_rep_list{Cons_tag, ref(&BoxedRep_Lifted_closure.header), ref(&Nil_closure.header)};
// The kind of RuntimeRep and of Levity values; TYPE and CONSTRAINT take a RuntimeRep.
extern const StaticKindTyConApp kindRuntimeRep;
constinit const rts::StaticCon<2> kindRuntimeRepToType{KindRepFun_tag, ref(&kindRuntimeRep.header), ref(kindType)};
// forall a. a, and forall a. a -> a -> Type (the equality constraints' kinds, simplified).
constinit const rts::StaticCon<0, 1> kindVar0{KindRepVar_tag, rts::word_slot(0)};
constinit const rts::StaticCon<2> kindVar0ToType{KindRepFun_tag, ref(&kindVar0.header), ref(kindType)};
constinit const rts::StaticCon<2> kindVar0ToVar0ToConstraint{KindRepFun_tag, ref(&kindVar0.header),
                                                               ref(&kindVar0ToType.header)};
}  // namespace

VUX_DEFINE_TYCON(tcCONSTRAINT, trModule_VUX_Prim, "CONSTRAINT", 0, &kindRuntimeRepToType.header);
constinit const StaticKindTyConApp kindConstraint_closure{tcCONSTRAINT, &lifted_rep_list.header};

VUX_DEFINE_TYCON(tcBool, trModule, "Bool", 0, kindType);
VUX_DEFINE_TYCON(tc_prime_False, trModule, "'False", 0, &tcBool_kind.header);
VUX_DEFINE_TYCON(tc_prime_True, trModule, "'True", 0, &tcBool_kind.header);
VUX_DEFINE_TYCON(tcOrdering, trModule, "Ordering", 0, kindType);
VUX_DEFINE_TYCON(tc_prime_LT, trModule, "'LT", 0, &tcOrdering_kind.header);
VUX_DEFINE_TYCON(tc_prime_EQ, trModule, "'EQ", 0, &tcOrdering_kind.header);
VUX_DEFINE_TYCON(tc_prime_GT, trModule, "'GT", 0, &tcOrdering_kind.header);
VUX_DEFINE_TYCON(tcList, trModule, "List", 0, kindTypeToType);
namespace {
// [a] and a -> [a] -> [a], the kinds of the promoted list constructors (one kind variable).
constinit const rts::StaticCon<2> var0_list{Cons_tag, ref(&kindVar0.header), ref(&Nil_closure.header)};
constinit const rts::StaticCon<2> kindListOfVar0{KindRepTyConApp_tag, ref(&tcList.header), ref(&var0_list.header)};
constinit const rts::StaticCon<2> kindListToList{KindRepFun_tag, ref(&kindListOfVar0.header),
                                                 ref(&kindListOfVar0.header)};
constinit const rts::StaticCon<2> kindConsKind{KindRepFun_tag, ref(&kindVar0.header), ref(&kindListToList.header)};
}  // namespace
VUX_DEFINE_TYCON(tc_prime_Nil, trModule, "'[]", 1, &kindListOfVar0.header);
VUX_DEFINE_TYCON(tc_prime_Cons, trModule, "':", 1, &kindConsKind.header);
VUX_DEFINE_TYCON(tcChar, trModule, "Char", 0, kindType);
VUX_DEFINE_TYCON(tcInt, trModule, "Int", 0, kindType);
VUX_DEFINE_TYCON(tcWord, trModule, "Word", 0, kindType);
VUX_DEFINE_TYCON(tcFloat, trModule, "Float", 0, kindType);
VUX_DEFINE_TYCON(tcDouble, trModule, "Double", 0, kindType);
VUX_DEFINE_TYCON(tcModule, trModule, "Module", 0, kindType);
VUX_DEFINE_TYCON(tcTrName, trModule, "TrName", 0, kindType);
VUX_DEFINE_TYCON(tcTyCon, trModule, "TyCon", 0, kindType);
VUX_DEFINE_TYCON(tcKindRep, trModule, "KindRep", 0, kindType);
VUX_DEFINE_TYCON(tcTypeLitSort, trModule, "TypeLitSort", 0, kindType);
VUX_DEFINE_TYCON(tcRuntimeRep, trModule, "RuntimeRep", 0, kindType);
namespace {
constinit const StaticKindTyConApp kindRuntimeRep{tcRuntimeRep, &Nil_closure.header};
}
VUX_DEFINE_TYCON(tcVecCount, trModule, "VecCount", 0, kindType);
VUX_DEFINE_TYCON(tcVecElem, trModule, "VecElem", 0, kindType);
VUX_DEFINE_TYCON(tcLevity, trModule, "Levity", 0, kindType);
VUX_DEFINE_TYCON(tc_prime_Lifted, trModule, "'Lifted", 0, &tcLevity_kind.header);
VUX_DEFINE_TYCON(tc_prime_Unlifted, trModule, "'Unlifted", 0, &tcLevity_kind.header);
VUX_DEFINE_TYCON(tcMultiplicity, trModule, "Multiplicity", 0, kindType);
VUX_DEFINE_TYCON(tc_prime_One, trModule, "'One", 0, &tcMultiplicity_kind.header);
VUX_DEFINE_TYCON(tc_prime_Many, trModule, "'Many", 0, &tcMultiplicity_kind.header);
VUX_DEFINE_TYCON(tcSPEC, trModule, "SPEC", 0, kindType);
VUX_DEFINE_TYCON(tcDictBox, trModule, "DictBox", 0, kindConstraint);
VUX_DEFINE_TYCON(tcDoubleBox, trModule, "DoubleBox", 0, kindTypeToType);
VUX_DEFINE_TYCON(tcFloatBox, trModule, "FloatBox", 0, kindTypeToType);
VUX_DEFINE_TYCON(tcWord64Box, trModule, "Word64Box", 0, kindTypeToType);
VUX_DEFINE_TYCON(tcWord32Box, trModule, "Word32Box", 0, kindTypeToType);
VUX_DEFINE_TYCON(tcWord16Box, trModule, "Word16Box", 0, kindTypeToType);
VUX_DEFINE_TYCON(tcWord8Box, trModule, "Word8Box", 0, kindTypeToType);
VUX_DEFINE_TYCON(tcWordBox, trModule, "WordBox", 0, kindTypeToType);
VUX_DEFINE_TYCON(tcInt64Box, trModule, "Int64Box", 0, kindTypeToType);
VUX_DEFINE_TYCON(tcInt32Box, trModule, "Int32Box", 0, kindTypeToType);
VUX_DEFINE_TYCON(tcInt16Box, trModule, "Int16Box", 0, kindTypeToType);
VUX_DEFINE_TYCON(tcInt8Box, trModule, "Int8Box", 0, kindTypeToType);
VUX_DEFINE_TYCON(tcIntBox, trModule, "IntBox", 0, kindTypeToType);
VUX_DEFINE_TYCON(tcLiftBox, trModule, "LiftBox", 0, kindTypeToType);
VUX_DEFINE_TYCON(tcCoercible, trModule, "Coercible", 1, &kindVar0ToVar0ToConstraint.header);
VUX_DEFINE_TYCON(tc_tilde, trModule, "~", 1, &kindVar0ToVar0ToConstraint.header);
VUX_DEFINE_TYCON(tc_tilde_tilde, trModule, "~~", 1, &kindVar0ToVar0ToConstraint.header);
VUX_DEFINE_TYCON(tcIO, trModule, "IO", 0, kindTypeToType);

// Primitive types. Their kinds are given as Type-like kinds; only identity matters for them.
VUX_DEFINE_TYCON(tcTYPE, trModule_VUX_Prim, "TYPE", 0, &kindRuntimeRepToType.header);
VUX_DEFINE_TYCON(tcFUN, trModule_VUX_Prim, "FUN", 0, kindTypeToTypeToType);
VUX_DEFINE_TYCON(tcInt_hash, trModule_VUX_Prim, "Int#", 0, kindType);
VUX_DEFINE_TYCON(tcWord_hash, trModule_VUX_Prim, "Word#", 0, kindType);
VUX_DEFINE_TYCON(tcChar_hash, trModule_VUX_Prim, "Char#", 0, kindType);
VUX_DEFINE_TYCON(tcFloat_hash, trModule_VUX_Prim, "Float#", 0, kindType);
VUX_DEFINE_TYCON(tcDouble_hash, trModule_VUX_Prim, "Double#", 0, kindType);
VUX_DEFINE_TYCON(tcAddr_hash, trModule_VUX_Prim, "Addr#", 0, kindType);
VUX_DEFINE_TYCON(tcInt8_hash, trModule_VUX_Prim, "Int8#", 0, kindType);
VUX_DEFINE_TYCON(tcInt16_hash, trModule_VUX_Prim, "Int16#", 0, kindType);
VUX_DEFINE_TYCON(tcInt32_hash, trModule_VUX_Prim, "Int32#", 0, kindType);
VUX_DEFINE_TYCON(tcInt64_hash, trModule_VUX_Prim, "Int64#", 0, kindType);
VUX_DEFINE_TYCON(tcWord8_hash, trModule_VUX_Prim, "Word8#", 0, kindType);
VUX_DEFINE_TYCON(tcWord16_hash, trModule_VUX_Prim, "Word16#", 0, kindType);
VUX_DEFINE_TYCON(tcWord32_hash, trModule_VUX_Prim, "Word32#", 0, kindType);
VUX_DEFINE_TYCON(tcWord64_hash, trModule_VUX_Prim, "Word64#", 0, kindType);
VUX_DEFINE_TYCON(tcArray_hash, trModule_VUX_Prim, "Array#", 0, kindTypeToType);
VUX_DEFINE_TYCON(tcMutableArray_hash, trModule_VUX_Prim, "MutableArray#", 0, kindTypeToTypeToType);
VUX_DEFINE_TYCON(tcSmallArray_hash, trModule_VUX_Prim, "SmallArray#", 0, kindTypeToType);
VUX_DEFINE_TYCON(tcByteArray_hash, trModule_VUX_Prim, "ByteArray#", 0, kindType);
VUX_DEFINE_TYCON(tcMutableByteArray_hash, trModule_VUX_Prim, "MutableByteArray#", 0, kindTypeToType);
VUX_DEFINE_TYCON(tcMutVar_hash, trModule_VUX_Prim, "MutVar#", 0, kindTypeToTypeToType);
VUX_DEFINE_TYCON(tcMVar_hash, trModule_VUX_Prim, "MVar#", 0, kindTypeToTypeToType);
VUX_DEFINE_TYCON(tcTVar_hash, trModule_VUX_Prim, "TVar#", 0, kindTypeToTypeToType);
VUX_DEFINE_TYCON(tcState_hash, trModule_VUX_Prim, "State#", 0, kindTypeToType);
VUX_DEFINE_TYCON(tcRealWorld, trModule_VUX_Prim, "RealWorld", 0, kindType);
VUX_DEFINE_TYCON(tcThreadId_hash, trModule_VUX_Prim, "ThreadId#", 0, kindType);
VUX_DEFINE_TYCON(tcWeak_hash, trModule_VUX_Prim, "Weak#", 0, kindTypeToType);
VUX_DEFINE_TYCON(tcStablePtr_hash, trModule_VUX_Prim, "StablePtr#", 0, kindTypeToType);

}  // namespace VUX::Types
