#include "VUX/Types.h"
#include "rts/Profiling.h"

VUX_MODULE("VUX.Types");

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
constinit const rts::StaticCon<1> BoxedRep_Unlifted_closure{BoxedRep_tag, ref(&Unlifted_closure.header)};
namespace {
constinit const rts::StaticCon<1> TupleRep_Nil{TupleRep_tag, ref(&Nil_closure.header)};
// The static value of a RuntimeRep constructor without fields.
constexpr const rts::Object* nullaryRep(uint8_t tag) { return runtime_reps.cons[tag - IntRep_tag].object(); }
}  // namespace

// Evidence
constinit const rts::StaticNullary MkCoercible_closure{0};
constinit const rts::StaticNullary Eq_hash_closure{0};
constinit const rts::StaticNullary HEq_hash_closure{0};
void coercible_sel(const Value& evidence) { VUX_FUNCTION; rts::force(evidence); }
void eq_sel(const Value& evidence) { VUX_FUNCTION; rts::force(evidence); }
void heq_sel(const Value& evidence) { VUX_FUNCTION; rts::force(evidence); }

// Strict wrappers and records built at run time
Value KindRepVar_wrapper(const Value& boxedIndex) { VUX_FUNCTION; return KindRepVar(intOf(rts::force(boxedIndex))); }
Value KindRepTYPE_wrapper(const Value& rep) { VUX_FUNCTION; return KindRepTYPE(rts::force(rep)); }

Value TyCon(uint64_t fpHigh, uint64_t fpLow, Value module, Value name, int64_t kindVars, Value kind) {
    VUX_FUNCTION;
    const uint64_t words[3] = {fpHigh, fpLow, static_cast<uint64_t>(kindVars)};
    return rts::con_words(TyCon_tag, words, std::move(module), std::move(name), std::move(kind));
}

// ---------------------------------------------------------------------------------------------
// Constructors as function values: one field description per field, in declaration order.

using enum FieldRep;
constinit const rts::StaticFun C_hash_fun{constructor_fun_info<C_hash_tag, Unboxed>};
constinit const rts::StaticFun I_hash_fun{constructor_fun_info<I_hash_tag, Unboxed>};
constinit const rts::StaticFun W_hash_fun{constructor_fun_info<W_hash_tag, Unboxed>};
constinit const rts::StaticFun F_hash_fun{constructor_fun_info<F_hash_tag, Unboxed>};
constinit const rts::StaticFun D_hash_fun{constructor_fun_info<D_hash_tag, Unboxed>};
constinit const rts::StaticFun VecRep_fun{constructor_fun_info<VecRep_tag, Lazy, Lazy>};
constinit const rts::StaticFun TupleRep_fun{constructor_fun_info<TupleRep_tag, Lazy>};
constinit const rts::StaticFun SumRep_fun{constructor_fun_info<SumRep_tag, Lazy>};
constinit const rts::StaticFun BoxedRep_fun{constructor_fun_info<BoxedRep_tag, Lazy>};
constinit const rts::StaticFun TrNameS_fun{constructor_fun_info<TrNameS_tag, Unboxed>};
constinit const rts::StaticFun TrNameD_fun{constructor_fun_info<TrNameD_tag, Lazy>};
constinit const rts::StaticFun Module_fun{constructor_fun_info<Module_tag, Lazy, Lazy>};
// Fingerprint high and low, module, name, number of kind variables, kind.
constinit const rts::StaticFun TyCon_fun{
    constructor_fun_info<TyCon_tag, Unboxed, Unboxed, Lazy, Lazy, Unboxed, Lazy>};
constinit const rts::StaticFun KindRepTyConApp_fun{constructor_fun_info<KindRepTyConApp_tag, Lazy, Lazy>};
constinit const rts::StaticFun KindRepVar_fun{constructor_fun_info<KindRepVar_tag, Unboxed>};
constinit const rts::StaticFun KindRepApp_fun{constructor_fun_info<KindRepApp_tag, Lazy, Lazy>};
constinit const rts::StaticFun KindRepFun_fun{constructor_fun_info<KindRepFun_tag, Lazy, Lazy>};
constinit const rts::StaticFun KindRepTYPE_fun{constructor_fun_info<KindRepTYPE_tag, Strict>};
constinit const rts::StaticFun KindRepTypeLitS_fun{constructor_fun_info<KindRepTypeLitS_tag, Lazy, Unboxed>};
constinit const rts::StaticFun KindRepTypeLitD_fun{constructor_fun_info<KindRepTypeLitD_tag, Lazy, Lazy>};
constinit const rts::StaticFun MkDictBox_fun{constructor_fun_info<MkDictBox_tag, Lazy>};
constinit const rts::StaticFun MkDoubleBox_fun{constructor_fun_info<MkDoubleBox_tag, Unboxed>};
constinit const rts::StaticFun MkFloatBox_fun{constructor_fun_info<MkFloatBox_tag, Unboxed>};
constinit const rts::StaticFun MkWord64Box_fun{constructor_fun_info<MkWord64Box_tag, Unboxed>};
constinit const rts::StaticFun MkWord32Box_fun{constructor_fun_info<MkWord32Box_tag, Unboxed>};
constinit const rts::StaticFun MkWord16Box_fun{constructor_fun_info<MkWord16Box_tag, Unboxed>};
constinit const rts::StaticFun MkWord8Box_fun{constructor_fun_info<MkWord8Box_tag, Unboxed>};
constinit const rts::StaticFun MkWordBox_fun{constructor_fun_info<MkWordBox_tag, Unboxed>};
constinit const rts::StaticFun MkInt64Box_fun{constructor_fun_info<MkInt64Box_tag, Unboxed>};
constinit const rts::StaticFun MkInt32Box_fun{constructor_fun_info<MkInt32Box_tag, Unboxed>};
constinit const rts::StaticFun MkInt16Box_fun{constructor_fun_info<MkInt16Box_tag, Unboxed>};
constinit const rts::StaticFun MkInt8Box_fun{constructor_fun_info<MkInt8Box_tag, Unboxed>};
constinit const rts::StaticFun MkIntBox_fun{constructor_fun_info<MkIntBox_tag, Unboxed>};
constinit const rts::StaticFun MkLiftBox_fun{constructor_fun_info<MkLiftBox_tag, Lazy>};

// ---------------------------------------------------------------------------------------------
// Type representations

VUX_DEFINE_MODULE(trModule, "vux-prim", "VUX.Types");
VUX_DEFINE_MODULE(trModule_VUX_Prim, "vux-prim", "VUX.Prim");

// Shared kinds. CONSTRAINT is applied to [BoxedRep Lifted].
constinit const rts::StaticCon<1> kindType_closure{KindRepTYPE_tag, ref(&BoxedRep_Lifted_closure.header)};
constinit const rts::StaticCon<2> kindTypeToType_closure{KindRepFun_tag, ref(kindType), ref(kindType)};
constinit const rts::StaticCon<2> kindTypeToTypeToType_closure{KindRepFun_tag, ref(kindType), ref(kindTypeToType)};
constinit const rts::StaticCon<1> kindUnliftedType_closure{KindRepTYPE_tag,
                                                           ref(&BoxedRep_Unlifted_closure.header)};
constinit const rts::StaticCon<1> kindZeroBitType_closure{KindRepTYPE_tag, ref(&TupleRep_Nil.header)};
namespace {
// The arrow a -> b, and the application of a type constructor to a list of kinds.
constexpr rts::StaticCon<2> arrow(const rts::Object* a, const rts::Object* b) {
    return rts::StaticCon<2>(KindRepFun_tag, ref(a), ref(b));
}
constexpr rts::StaticCon<2> cell(const rts::Object* head, const rts::Object* tail) {
    return rts::StaticCon<2>(Cons_tag, ref(head), ref(tail));
}
constexpr rts::StaticCon<2> tyConApp(const StaticTyCon& t, const rts::Object* args) {
    return rts::StaticCon<2>(KindRepTyConApp_tag, ref(t.object()), ref(args));
}

constinit const rts::StaticCon<2> lifted_rep_list =
    cell(&BoxedRep_Lifted_closure.header, &Nil_closure.header);
// The kind of RuntimeRep values; TYPE and CONSTRAINT take a RuntimeRep.
extern const StaticKindTyConApp kindRuntimeRep;
constinit const rts::StaticCon<2> kindRuntimeRepToType = arrow(&kindRuntimeRep.header, kindType);

// TYPE r for the RuntimeRep constructors r without fields, by tag: TYPE IntRep, TYPE AddrRep...
struct RepKinds {
    rts::StaticCon<1> kinds[13];
    template <size_t... I>
    constexpr explicit RepKinds(std::index_sequence<I...>)
        : kinds{
              rts::StaticCon<1>(KindRepTYPE_tag, ref(nullaryRep(static_cast<uint8_t>(IntRep_tag + I))))...} {}
    constexpr RepKinds() : RepKinds(std::make_index_sequence<13>{}) {}
};
constinit const RepKinds rep_kinds{};
constexpr const rts::Object* kindOfRep(uint8_t tag) { return rep_kinds.kinds[tag - IntRep_tag].object(); }

// Kind variables 0 and 1.
constinit const rts::StaticCon<0, 1> kindVar0{KindRepVar_tag, rts::word_slot(0)};
constinit const rts::StaticCon<0, 1> kindVar1{KindRepVar_tag, rts::word_slot(1)};
}  // namespace

VUX_DEFINE_TYCON(tcCONSTRAINT, trModule_VUX_Prim, "CONSTRAINT", 0, &kindRuntimeRepToType.header);
constinit const StaticKindTyConApp kindConstraint_closure{tcCONSTRAINT, &lifted_rep_list.header};
namespace {
// forall k. k -> k -> Constraint (Coercible, ~) and forall k0 k1. k0 -> k1 -> Constraint (~~).
constinit const rts::StaticCon<2> kindVar0ToConstraint = arrow(&kindVar0.header, kindConstraint);
constinit const rts::StaticCon<2> kindVar1ToConstraint = arrow(&kindVar1.header, kindConstraint);
constinit const rts::StaticCon<2> kindHomogeneousEquality =
    arrow(&kindVar0.header, &kindVar0ToConstraint.header);
constinit const rts::StaticCon<2> kindHeterogeneousEquality =
    arrow(&kindVar0.header, &kindVar1ToConstraint.header);
// Constraint -> Type (DictBox); r -> Type for the boxes of machine values of representation r,
// and UnliftedType -> Type (LiftBox).
constinit const rts::StaticCon<2> kindConstraintToType = arrow(kindConstraint, kindType);
template <uint8_t Rep>
constinit const rts::StaticCon<2> kindBoxOf = arrow(kindOfRep(Rep), kindType);
constinit const rts::StaticCon<2> kindUnliftedToType = arrow(kindUnliftedType, kindType);
}  // namespace

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
constinit const rts::StaticCon<2> var0_list = cell(&kindVar0.header, &Nil_closure.header);
constinit const rts::StaticCon<2> kindListOfVar0 = tyConApp(tcList, &var0_list.header);
constinit const rts::StaticCon<2> kindListToList = arrow(&kindListOfVar0.header, &kindListOfVar0.header);
constinit const rts::StaticCon<2> kindConsKind = arrow(&kindVar0.header, &kindListToList.header);
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
VUX_DEFINE_TYCON(tcDictBox, trModule, "DictBox", 0, &kindConstraintToType.header);
VUX_DEFINE_TYCON(tcDoubleBox, trModule, "DoubleBox", 0, &kindBoxOf<DoubleRep_tag>.header);
VUX_DEFINE_TYCON(tcFloatBox, trModule, "FloatBox", 0, &kindBoxOf<FloatRep_tag>.header);
VUX_DEFINE_TYCON(tcWord64Box, trModule, "Word64Box", 0, &kindBoxOf<Word64Rep_tag>.header);
VUX_DEFINE_TYCON(tcWord32Box, trModule, "Word32Box", 0, &kindBoxOf<Word32Rep_tag>.header);
VUX_DEFINE_TYCON(tcWord16Box, trModule, "Word16Box", 0, &kindBoxOf<Word16Rep_tag>.header);
VUX_DEFINE_TYCON(tcWord8Box, trModule, "Word8Box", 0, &kindBoxOf<Word8Rep_tag>.header);
VUX_DEFINE_TYCON(tcWordBox, trModule, "WordBox", 0, &kindBoxOf<WordRep_tag>.header);
VUX_DEFINE_TYCON(tcInt64Box, trModule, "Int64Box", 0, &kindBoxOf<Int64Rep_tag>.header);
VUX_DEFINE_TYCON(tcInt32Box, trModule, "Int32Box", 0, &kindBoxOf<Int32Rep_tag>.header);
VUX_DEFINE_TYCON(tcInt16Box, trModule, "Int16Box", 0, &kindBoxOf<Int16Rep_tag>.header);
VUX_DEFINE_TYCON(tcInt8Box, trModule, "Int8Box", 0, &kindBoxOf<Int8Rep_tag>.header);
VUX_DEFINE_TYCON(tcIntBox, trModule, "IntBox", 0, &kindBoxOf<IntRep_tag>.header);
VUX_DEFINE_TYCON(tcLiftBox, trModule, "LiftBox", 0, &kindUnliftedToType.header);
VUX_DEFINE_TYCON(tcCoercible, trModule, "Coercible", 1, &kindHomogeneousEquality.header);
VUX_DEFINE_TYCON(tc_tilde, trModule, "~", 1, &kindHomogeneousEquality.header);
VUX_DEFINE_TYCON(tc_tilde_tilde, trModule, "~~", 2, &kindHeterogeneousEquality.header);
VUX_DEFINE_TYCON(tcIO, trModule, "IO", 0, kindTypeToType);

// Promoted constructors without fields: their kind is their type.
VUX_DEFINE_TYCON(tc_prime_SPEC, trModule, "'SPEC", 0, &tcSPEC_kind.header);
VUX_DEFINE_TYCON(tc_prime_SPEC2, trModule, "'SPEC2", 0, &tcSPEC_kind.header);
VUX_DEFINE_TYCON(tc_prime_TypeLitSymbol, trModule, "'TypeLitSymbol", 0, &tcTypeLitSort_kind.header);
VUX_DEFINE_TYCON(tc_prime_TypeLitNat, trModule, "'TypeLitNat", 0, &tcTypeLitSort_kind.header);
VUX_DEFINE_TYCON(tc_prime_TypeLitChar, trModule, "'TypeLitChar", 0, &tcTypeLitSort_kind.header);
VUX_DEFINE_TYCON(tc_prime_Vec2, trModule, "'Vec2", 0, &tcVecCount_kind.header);
VUX_DEFINE_TYCON(tc_prime_Vec4, trModule, "'Vec4", 0, &tcVecCount_kind.header);
VUX_DEFINE_TYCON(tc_prime_Vec8, trModule, "'Vec8", 0, &tcVecCount_kind.header);
VUX_DEFINE_TYCON(tc_prime_Vec16, trModule, "'Vec16", 0, &tcVecCount_kind.header);
VUX_DEFINE_TYCON(tc_prime_Vec32, trModule, "'Vec32", 0, &tcVecCount_kind.header);
VUX_DEFINE_TYCON(tc_prime_Vec64, trModule, "'Vec64", 0, &tcVecCount_kind.header);
VUX_DEFINE_TYCON(tc_prime_Int8ElemRep, trModule, "'Int8ElemRep", 0, &tcVecElem_kind.header);
VUX_DEFINE_TYCON(tc_prime_Int16ElemRep, trModule, "'Int16ElemRep", 0, &tcVecElem_kind.header);
VUX_DEFINE_TYCON(tc_prime_Int32ElemRep, trModule, "'Int32ElemRep", 0, &tcVecElem_kind.header);
VUX_DEFINE_TYCON(tc_prime_Int64ElemRep, trModule, "'Int64ElemRep", 0, &tcVecElem_kind.header);
VUX_DEFINE_TYCON(tc_prime_Word8ElemRep, trModule, "'Word8ElemRep", 0, &tcVecElem_kind.header);
VUX_DEFINE_TYCON(tc_prime_Word16ElemRep, trModule, "'Word16ElemRep", 0, &tcVecElem_kind.header);
VUX_DEFINE_TYCON(tc_prime_Word32ElemRep, trModule, "'Word32ElemRep", 0, &tcVecElem_kind.header);
VUX_DEFINE_TYCON(tc_prime_Word64ElemRep, trModule, "'Word64ElemRep", 0, &tcVecElem_kind.header);
VUX_DEFINE_TYCON(tc_prime_FloatElemRep, trModule, "'FloatElemRep", 0, &tcVecElem_kind.header);
VUX_DEFINE_TYCON(tc_prime_DoubleElemRep, trModule, "'DoubleElemRep", 0, &tcVecElem_kind.header);
VUX_DEFINE_TYCON(tc_prime_IntRep, trModule, "'IntRep", 0, &kindRuntimeRep.header);
VUX_DEFINE_TYCON(tc_prime_Int8Rep, trModule, "'Int8Rep", 0, &kindRuntimeRep.header);
VUX_DEFINE_TYCON(tc_prime_Int16Rep, trModule, "'Int16Rep", 0, &kindRuntimeRep.header);
VUX_DEFINE_TYCON(tc_prime_Int32Rep, trModule, "'Int32Rep", 0, &kindRuntimeRep.header);
VUX_DEFINE_TYCON(tc_prime_Int64Rep, trModule, "'Int64Rep", 0, &kindRuntimeRep.header);
VUX_DEFINE_TYCON(tc_prime_WordRep, trModule, "'WordRep", 0, &kindRuntimeRep.header);
VUX_DEFINE_TYCON(tc_prime_Word8Rep, trModule, "'Word8Rep", 0, &kindRuntimeRep.header);
VUX_DEFINE_TYCON(tc_prime_Word16Rep, trModule, "'Word16Rep", 0, &kindRuntimeRep.header);
VUX_DEFINE_TYCON(tc_prime_Word32Rep, trModule, "'Word32Rep", 0, &kindRuntimeRep.header);
VUX_DEFINE_TYCON(tc_prime_Word64Rep, trModule, "'Word64Rep", 0, &kindRuntimeRep.header);
VUX_DEFINE_TYCON(tc_prime_AddrRep, trModule, "'AddrRep", 0, &kindRuntimeRep.header);
VUX_DEFINE_TYCON(tc_prime_FloatRep, trModule, "'FloatRep", 0, &kindRuntimeRep.header);
VUX_DEFINE_TYCON(tc_prime_DoubleRep, trModule, "'DoubleRep", 0, &kindRuntimeRep.header);

// Promoted constructors with fields: arrows from the fields' types to the constructor's type.
namespace {
constinit const rts::StaticCon<2> runtime_rep_list = cell(&kindRuntimeRep.header, &Nil_closure.header);
constinit const rts::StaticCon<2> kindListOfRuntimeRep = tyConApp(tcList, &runtime_rep_list.header);
constinit const rts::StaticCon<2> char_list = cell(&tcChar_kind.header, &Nil_closure.header);
constinit const rts::StaticCon<2> kindString = tyConApp(tcList, &char_list.header);

constinit const rts::StaticCon<2> kindVecElemToRep = arrow(&tcVecElem_kind.header, &kindRuntimeRep.header);
constinit const rts::StaticCon<2> kindVecRep = arrow(&tcVecCount_kind.header, &kindVecElemToRep.header);
constinit const rts::StaticCon<2> kindRepsToRep = arrow(&kindListOfRuntimeRep.header, &kindRuntimeRep.header);
constinit const rts::StaticCon<2> kindBoxedRep = arrow(&tcLevity_kind.header, &kindRuntimeRep.header);
constinit const rts::StaticCon<2> kindTrNameD = arrow(&kindString.header, &tcTrName_kind.header);
constinit const rts::StaticCon<2> kindTrNameToModule = arrow(&tcTrName_kind.header, &tcModule_kind.header);
constinit const rts::StaticCon<2> kindModuleCon = arrow(&tcTrName_kind.header, &kindTrNameToModule.header);
constinit const rts::StaticCon<2> kindKindRepToKindRep =
    arrow(&tcKindRep_kind.header, &tcKindRep_kind.header);
constinit const rts::StaticCon<2> kindKindRepPair =
    arrow(&tcKindRep_kind.header, &kindKindRepToKindRep.header);
constinit const rts::StaticCon<2> kindKindRepTYPE = arrow(&kindRuntimeRep.header, &tcKindRep_kind.header);
constinit const rts::StaticCon<2> kindStringToKindRep = arrow(&kindString.header, &tcKindRep_kind.header);
constinit const rts::StaticCon<2> kindKindRepTypeLitD =
    arrow(&tcTypeLitSort_kind.header, &kindStringToKindRep.header);
}  // namespace
VUX_DEFINE_TYCON(tc_prime_VecRep, trModule, "'VecRep", 0, &kindVecRep.header);
VUX_DEFINE_TYCON(tc_prime_TupleRep, trModule, "'TupleRep", 0, &kindRepsToRep.header);
VUX_DEFINE_TYCON(tc_prime_SumRep, trModule, "'SumRep", 0, &kindRepsToRep.header);
VUX_DEFINE_TYCON(tc_prime_BoxedRep, trModule, "'BoxedRep", 0, &kindBoxedRep.header);
VUX_DEFINE_TYCON(tc_prime_TrNameD, trModule, "'TrNameD", 0, &kindTrNameD.header);
VUX_DEFINE_TYCON(tc_prime_Module, trModule, "'Module", 0, &kindModuleCon.header);
VUX_DEFINE_TYCON(tc_prime_KindRepApp, trModule, "'KindRepApp", 0, &kindKindRepPair.header);
VUX_DEFINE_TYCON(tc_prime_KindRepFun, trModule, "'KindRepFun", 0, &kindKindRepPair.header);
VUX_DEFINE_TYCON(tc_prime_KindRepTYPE, trModule, "'KindRepTYPE", 0, &kindKindRepTYPE.header);
VUX_DEFINE_TYCON(tc_prime_KindRepTypeLitD, trModule, "'KindRepTypeLitD", 0, &kindKindRepTypeLitD.header);

// Primitive types, with the kinds that give their representations.
namespace {
constinit const rts::StaticCon<2> kindTypeToUnlifted = arrow(kindType, kindUnliftedType);
constinit const rts::StaticCon<2> kindTypeToTypeToUnlifted = arrow(kindType, &kindTypeToUnlifted.header);
constinit const rts::StaticCon<2> kindTypeToZeroBit = arrow(kindType, kindZeroBitType);
constinit const rts::StaticCon<2> kindTypeToAddr = arrow(kindType, kindOfRep(AddrRep_tag));
}  // namespace
VUX_DEFINE_TYCON(tcTYPE, trModule_VUX_Prim, "TYPE", 0, &kindRuntimeRepToType.header);
namespace {
// FUN :: Multiplicity -> TYPE q -> TYPE r -> Type, with the representations q and r as kind variables.
constinit const rts::StaticCon<2> var0_args = cell(&kindVar0.header, &Nil_closure.header);
constinit const rts::StaticCon<2> var1_args = cell(&kindVar1.header, &Nil_closure.header);
constinit const rts::StaticCon<2> kindTYPEVar0 = tyConApp(tcTYPE, &var0_args.header);
constinit const rts::StaticCon<2> kindTYPEVar1 = tyConApp(tcTYPE, &var1_args.header);
constinit const rts::StaticCon<2> kindFunResult = arrow(&kindTYPEVar1.header, kindType);
constinit const rts::StaticCon<2> kindFunArgs = arrow(&kindTYPEVar0.header, &kindFunResult.header);
constinit const rts::StaticCon<2> kindFUN = arrow(&tcMultiplicity_kind.header, &kindFunArgs.header);
}  // namespace
VUX_DEFINE_TYCON(tcFUN, trModule_VUX_Prim, "FUN", 2, &kindFUN.header);
VUX_DEFINE_TYCON(tcInt_hash, trModule_VUX_Prim, "Int#", 0, kindOfRep(IntRep_tag));
VUX_DEFINE_TYCON(tcWord_hash, trModule_VUX_Prim, "Word#", 0, kindOfRep(WordRep_tag));
VUX_DEFINE_TYCON(tcChar_hash, trModule_VUX_Prim, "Char#", 0, kindOfRep(WordRep_tag));
VUX_DEFINE_TYCON(tcFloat_hash, trModule_VUX_Prim, "Float#", 0, kindOfRep(FloatRep_tag));
VUX_DEFINE_TYCON(tcDouble_hash, trModule_VUX_Prim, "Double#", 0, kindOfRep(DoubleRep_tag));
VUX_DEFINE_TYCON(tcAddr_hash, trModule_VUX_Prim, "Addr#", 0, kindOfRep(AddrRep_tag));
VUX_DEFINE_TYCON(tcInt8_hash, trModule_VUX_Prim, "Int8#", 0, kindOfRep(Int8Rep_tag));
VUX_DEFINE_TYCON(tcInt16_hash, trModule_VUX_Prim, "Int16#", 0, kindOfRep(Int16Rep_tag));
VUX_DEFINE_TYCON(tcInt32_hash, trModule_VUX_Prim, "Int32#", 0, kindOfRep(Int32Rep_tag));
VUX_DEFINE_TYCON(tcInt64_hash, trModule_VUX_Prim, "Int64#", 0, kindOfRep(Int64Rep_tag));
VUX_DEFINE_TYCON(tcWord8_hash, trModule_VUX_Prim, "Word8#", 0, kindOfRep(Word8Rep_tag));
VUX_DEFINE_TYCON(tcWord16_hash, trModule_VUX_Prim, "Word16#", 0, kindOfRep(Word16Rep_tag));
VUX_DEFINE_TYCON(tcWord32_hash, trModule_VUX_Prim, "Word32#", 0, kindOfRep(Word32Rep_tag));
VUX_DEFINE_TYCON(tcWord64_hash, trModule_VUX_Prim, "Word64#", 0, kindOfRep(Word64Rep_tag));
VUX_DEFINE_TYCON(tcArray_hash, trModule_VUX_Prim, "Array#", 0, &kindTypeToUnlifted.header);
VUX_DEFINE_TYCON(tcMutableArray_hash, trModule_VUX_Prim, "MutableArray#", 0,
                 &kindTypeToTypeToUnlifted.header);
VUX_DEFINE_TYCON(tcSmallArray_hash, trModule_VUX_Prim, "SmallArray#", 0, &kindTypeToUnlifted.header);
VUX_DEFINE_TYCON(tcSmallMutableArray_hash, trModule_VUX_Prim, "SmallMutableArray#", 0,
                 &kindTypeToTypeToUnlifted.header);
VUX_DEFINE_TYCON(tcByteArray_hash, trModule_VUX_Prim, "ByteArray#", 0, kindUnliftedType);
VUX_DEFINE_TYCON(tcMutableByteArray_hash, trModule_VUX_Prim, "MutableByteArray#", 0,
                 &kindTypeToUnlifted.header);
VUX_DEFINE_TYCON(tcMutVar_hash, trModule_VUX_Prim, "MutVar#", 0, &kindTypeToTypeToUnlifted.header);
VUX_DEFINE_TYCON(tcMVar_hash, trModule_VUX_Prim, "MVar#", 0, &kindTypeToTypeToUnlifted.header);
VUX_DEFINE_TYCON(tcTVar_hash, trModule_VUX_Prim, "TVar#", 0, &kindTypeToTypeToUnlifted.header);
VUX_DEFINE_TYCON(tcState_hash, trModule_VUX_Prim, "State#", 0, &kindTypeToZeroBit.header);
VUX_DEFINE_TYCON(tcRealWorld, trModule_VUX_Prim, "RealWorld", 0, kindType);
VUX_DEFINE_TYCON(tcThreadId_hash, trModule_VUX_Prim, "ThreadId#", 0, kindUnliftedType);
VUX_DEFINE_TYCON(tcWeak_hash, trModule_VUX_Prim, "Weak#", 0, &kindTypeToUnlifted.header);
VUX_DEFINE_TYCON(tcStablePtr_hash, trModule_VUX_Prim, "StablePtr#", 0, &kindTypeToAddr.header);
VUX_DEFINE_TYCON(tcStableName_hash, trModule_VUX_Prim, "StableName#", 0, &kindTypeToUnlifted.header);
VUX_DEFINE_TYCON(tcCompact_hash, trModule_VUX_Prim, "Compact#", 0, kindUnliftedType);

}  // namespace VUX::Types
