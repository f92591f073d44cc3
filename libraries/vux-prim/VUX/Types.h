// The core data types: booleans, orderings, lists, boxed scalars, type representations.
//
// Conventions used by every library:
//   - a constructor's tag is a named constant `<Con>_tag` (its index in declaration order);
//   - a constructor without fields is a static object `<Con>_closure`, and `<Con>()` returns it
//     as a Value;
//   - an enumeration type has the table `<Type>_closure_tbl` of its static values, by tag;
//   - a constructor with fields has a wrapper function of its name that builds it from its fields
//     (declaration order); a strict field's wrapper that evaluates its argument is
//     `<Con>_wrapper`; the constructor as a static function value is `<Con>_fun` (see
//     ConstructorFun below);
//   - reading a field of an evaluated value: `rts::field(v, i)`, `rts::word(v, i)`. References are
//     stored before unboxed words, so field indexes count references and words separately; types
//     that mix them (`TyCon`, `KindRepTypeLitS`) have named accessors below.
//
// Type representations: every module has a static `Module` record and every type constructor (and
// promoted constructor) a static `TyCon` record. Declare them with the macros at the end of this
// header:
//     VUX_DEFINE_MODULE(trModule, "vux-prim", "VUX.Types");
//     VUX_DEFINE_TYCON(tcBool, trModule, "Bool", 0, kindType);
// Both are constant-initialised (no start-up code, no initialisation-order problem) and the
// fingerprint is computed at compile time from the package, module and type names.
#pragma once

#include <cstdint>
#include <string_view>

#include "rts/rts.h"

namespace VUX::Types {

using rts::Value;

// Bool
inline constexpr uint8_t False_tag = 0;
inline constexpr uint8_t True_tag = 1;
extern const rts::StaticNullary False_closure;
extern const rts::StaticNullary True_closure;
inline Value False() { return False_closure.value(); }
inline Value True() { return True_closure.value(); }
// The table that turns a primitive 0/1 into a Bool.
extern rts::Object* const Bool_closure_tbl[2];
inline Value isTrue_hash(int64_t i) { return Value::adopt(Bool_closure_tbl[i]); }
inline Value fromBool(bool b) { return isTrue_hash(b ? 1 : 0); }
// Whether an evaluated Bool is True.
inline bool isTrue(const Value& b) { return b->tag == True_tag; }

// Ordering
inline constexpr uint8_t LT_tag = 0;
inline constexpr uint8_t EQ_tag = 1;
inline constexpr uint8_t GT_tag = 2;
extern const rts::StaticNullary LT_closure;
extern const rts::StaticNullary EQ_closure;
extern const rts::StaticNullary GT_closure;
extern rts::Object* const Ordering_closure_tbl[3];
inline Value LT() { return LT_closure.value(); }
inline Value EQ() { return EQ_closure.value(); }
inline Value GT() { return GT_closure.value(); }

// List: [] and (:)
inline constexpr uint8_t Nil_tag = 0;
inline constexpr uint8_t Cons_tag = 1;
extern const rts::StaticNullary Nil_closure;
inline Value Nil() { return Nil_closure.value(); }
inline Value Cons(Value head, Value tail) { return rts::con(Cons_tag, std::move(head), std::move(tail)); }
// (:) as a function value of two arguments, for passing the constructor where a function is expected.
extern const rts::StaticFun Cons_fun;

// Boxed scalars, one unboxed word each.
inline constexpr uint8_t C_hash_tag = 0;
inline constexpr uint8_t I_hash_tag = 0;
inline constexpr uint8_t W_hash_tag = 0;
inline constexpr uint8_t F_hash_tag = 0;
inline constexpr uint8_t D_hash_tag = 0;
inline Value C_hash(uint32_t c) { return rts::con_word(C_hash_tag, c); }
inline Value I_hash(int64_t i) { return rts::con_word(I_hash_tag, static_cast<uint64_t>(i)); }
inline Value W_hash(uint64_t w) { return rts::con_word(W_hash_tag, w); }
inline Value F_hash(float f) { return rts::con_word(F_hash_tag, rts::bits_of(f)); }
inline Value D_hash(double d) { return rts::con_word(D_hash_tag, rts::bits_of(d)); }

// The unboxed contents of evaluated boxes.
inline uint32_t charOf(const Value& c) { return static_cast<uint32_t>(rts::word(c, 0)); }
inline int64_t intOf(const Value& i) { return rts::int_word(i, 0); }
inline uint64_t wordOf(const Value& w) { return rts::word(w, 0); }
inline float floatOf(const Value& f) { return rts::float_word(f, 0); }
inline double doubleOf(const Value& d) { return rts::double_word(d, 0); }

// ---------------------------------------------------------------------------------------------
// Small enumerations

// Levity
inline constexpr uint8_t Lifted_tag = 0;
inline constexpr uint8_t Unlifted_tag = 1;
extern const rts::StaticNullary Lifted_closure;
extern const rts::StaticNullary Unlifted_closure;
extern rts::Object* const Levity_closure_tbl[2];

// Multiplicity
inline constexpr uint8_t One_tag = 0;
inline constexpr uint8_t Many_tag = 1;
extern const rts::StaticNullary One_closure;
extern const rts::StaticNullary Many_closure;
extern rts::Object* const Multiplicity_closure_tbl[2];

// SPEC
inline constexpr uint8_t SPEC_tag = 0;
inline constexpr uint8_t SPEC2_tag = 1;
extern const rts::StaticNullary SPEC_closure;
extern const rts::StaticNullary SPEC2_closure;
extern rts::Object* const SPEC_closure_tbl[2];

// TypeLitSort
inline constexpr uint8_t TypeLitSymbol_tag = 0;
inline constexpr uint8_t TypeLitNat_tag = 1;
inline constexpr uint8_t TypeLitChar_tag = 2;
extern const rts::StaticNullary TypeLitSymbol_closure;
extern const rts::StaticNullary TypeLitNat_closure;
extern const rts::StaticNullary TypeLitChar_closure;
extern rts::Object* const TypeLitSort_closure_tbl[3];

// VecCount
inline constexpr uint8_t Vec2_tag = 0;
inline constexpr uint8_t Vec4_tag = 1;
inline constexpr uint8_t Vec8_tag = 2;
inline constexpr uint8_t Vec16_tag = 3;
inline constexpr uint8_t Vec32_tag = 4;
inline constexpr uint8_t Vec64_tag = 5;
extern rts::Object* const VecCount_closure_tbl[6];

// VecElem
inline constexpr uint8_t Int8ElemRep_tag = 0;
inline constexpr uint8_t Int16ElemRep_tag = 1;
inline constexpr uint8_t Int32ElemRep_tag = 2;
inline constexpr uint8_t Int64ElemRep_tag = 3;
inline constexpr uint8_t Word8ElemRep_tag = 4;
inline constexpr uint8_t Word16ElemRep_tag = 5;
inline constexpr uint8_t Word32ElemRep_tag = 6;
inline constexpr uint8_t Word64ElemRep_tag = 7;
inline constexpr uint8_t FloatElemRep_tag = 8;
inline constexpr uint8_t DoubleElemRep_tag = 9;
extern rts::Object* const VecElem_closure_tbl[10];

// ---------------------------------------------------------------------------------------------
// RuntimeRep: four constructors with fields, then thirteen without.
inline constexpr uint8_t VecRep_tag = 0;
inline constexpr uint8_t TupleRep_tag = 1;
inline constexpr uint8_t SumRep_tag = 2;
inline constexpr uint8_t BoxedRep_tag = 3;
inline constexpr uint8_t IntRep_tag = 4;
inline constexpr uint8_t Int8Rep_tag = 5;
inline constexpr uint8_t Int16Rep_tag = 6;
inline constexpr uint8_t Int32Rep_tag = 7;
inline constexpr uint8_t Int64Rep_tag = 8;
inline constexpr uint8_t WordRep_tag = 9;
inline constexpr uint8_t Word8Rep_tag = 10;
inline constexpr uint8_t Word16Rep_tag = 11;
inline constexpr uint8_t Word32Rep_tag = 12;
inline constexpr uint8_t Word64Rep_tag = 13;
inline constexpr uint8_t AddrRep_tag = 14;
inline constexpr uint8_t FloatRep_tag = 15;
inline constexpr uint8_t DoubleRep_tag = 16;
// The static values of the thirteen constructors without fields, by tag (entries 0 to 3 null).
extern rts::Object* const RuntimeRep_nullary_tbl[17];
inline Value VecRep(Value count, Value elem) { return rts::con(VecRep_tag, std::move(count), std::move(elem)); }
inline Value TupleRep(Value reps) { return rts::con(TupleRep_tag, std::move(reps)); }
inline Value SumRep(Value reps) { return rts::con(SumRep_tag, std::move(reps)); }
inline Value BoxedRep(Value levity) { return rts::con(BoxedRep_tag, std::move(levity)); }
// BoxedRep Lifted, the representation of ordinary values, and BoxedRep Unlifted, as shared static
// values.
extern const rts::StaticCon<1> BoxedRep_Lifted_closure;
extern const rts::StaticCon<1> BoxedRep_Unlifted_closure;

// ---------------------------------------------------------------------------------------------
// Type representations

// TrName: a static name (the address of a NUL-terminated literal) or one built at run time.
inline constexpr uint8_t TrNameS_tag = 0;
inline constexpr uint8_t TrNameD_tag = 1;
inline Value TrNameS(const char* bytes) { return rts::con_word(TrNameS_tag, reinterpret_cast<uintptr_t>(bytes)); }
inline Value TrNameD(Value chars) { return rts::con(TrNameD_tag, std::move(chars)); }
// The literal of an evaluated TrNameS.
inline const char* trNameBytes(const Value& n) { return reinterpret_cast<const char*>(rts::word(n, 0)); }

// Module: package name, module name (both TrName).
inline constexpr uint8_t Module_tag = 0;
inline Value Module(Value package, Value name) { return rts::con(Module_tag, std::move(package), std::move(name)); }

// KindRep
inline constexpr uint8_t KindRepTyConApp_tag = 0;
inline constexpr uint8_t KindRepVar_tag = 1;
inline constexpr uint8_t KindRepApp_tag = 2;
inline constexpr uint8_t KindRepFun_tag = 3;
inline constexpr uint8_t KindRepTYPE_tag = 4;
inline constexpr uint8_t KindRepTypeLitS_tag = 5;
inline constexpr uint8_t KindRepTypeLitD_tag = 6;
inline Value KindRepTyConApp(Value tycon, Value args) {
    return rts::con(KindRepTyConApp_tag, std::move(tycon), std::move(args));
}
inline Value KindRepVar(int64_t index) { return rts::con_word(KindRepVar_tag, static_cast<uint64_t>(index)); }
inline Value KindRepApp(Value f, Value x) { return rts::con(KindRepApp_tag, std::move(f), std::move(x)); }
inline Value KindRepFun(Value arg, Value res) { return rts::con(KindRepFun_tag, std::move(arg), std::move(res)); }
inline Value KindRepTYPE(Value rep) { return rts::con(KindRepTYPE_tag, std::move(rep)); }
inline Value KindRepTypeLitS(Value sort, const char* bytes) {
    const uint64_t w[1] = {reinterpret_cast<uintptr_t>(bytes)};
    return rts::con_words(KindRepTypeLitS_tag, w, std::move(sort));
}
inline Value KindRepTypeLitD(Value sort, Value chars) {
    return rts::con(KindRepTypeLitD_tag, std::move(sort), std::move(chars));
}
// The strict fields' wrappers: evaluate the argument first.
Value KindRepVar_wrapper(const Value& boxedIndex);
Value KindRepTYPE_wrapper(const Value& rep);

// TyCon: fingerprint (high, low), module, name, number of kind variables, kind. The three
// references are stored first (module, name, kind), then the three words (high, low, count).
inline constexpr uint8_t TyCon_tag = 0;
Value TyCon(uint64_t fpHigh, uint64_t fpLow, Value module, Value name, int64_t kindVars, Value kind);
inline uint64_t tyConFingerprintHigh(const Value& t) { return rts::word(t, 0); }
inline uint64_t tyConFingerprintLow(const Value& t) { return rts::word(t, 1); }
inline const Value& tyConModule(const Value& t) { return rts::field(t, 0); }
inline const Value& tyConName(const Value& t) { return rts::field(t, 1); }
inline int64_t tyConKindVars(const Value& t) { return rts::int_word(t, 2); }
// The kind is a lazy field, so evaluate it before looking inside (the kinds of the tuple families
// are built on first demand).
inline const Value& tyConKind(const Value& t) { return rts::field(t, 2); }

// 128-bit fingerprints, computed at compile time from package, module and name.
struct Fingerprint {
    uint64_t high;
    uint64_t low;
    friend constexpr bool operator==(const Fingerprint&, const Fingerprint&) = default;
};
namespace detail {
constexpr uint64_t mix64(uint64_t z) {
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}
// Two independent FNV-1a walks over the bytes, each finished by a strong mixer.
constexpr void fingerprint_feed(uint64_t& a, uint64_t& b, std::string_view s) {
    for (char ch : s) {
        auto c = static_cast<uint8_t>(ch);
        a = (a ^ c) * 0x100000001b3ULL;
        b = (b ^ (c + 0x9eU)) * 0x100000001b3ULL;
        b = (b << 7) | (b >> 57);
    }
    a = (a ^ 0xff) * 0x100000001b3ULL;  // separator: "a"+"bc" differs from "ab"+"c"
    b = (b ^ 0xfe) * 0x100000001b3ULL;
}
}  // namespace detail
constexpr Fingerprint fingerprint(std::string_view package, std::string_view module, std::string_view name) {
    uint64_t a = 0xcbf29ce484222325ULL, b = 0x84222325cbf29ce4ULL;
    detail::fingerprint_feed(a, b, package);
    detail::fingerprint_feed(a, b, module);
    detail::fingerprint_feed(a, b, name);
    return {detail::mix64(a), detail::mix64(b ^ a)};
}

// Static layouts of the records above, constant-initialised. Each has the object header first,
// so `&x.header` is the object; `value()` gives it as a Value.
struct alignas(16) StaticTrName {  // TrNameS: one word, the literal's address
    rts::Object header;
    const char* bytes;
    constexpr explicit StaticTrName(const char* s) : header(0, rts::Kind::Con, TrNameS_tag, 0, 1), bytes(s) {}
    Value value() const { return Value::adopt(object()); }
    constexpr rts::Object* object() const { return const_cast<rts::Object*>(&header); }
};
struct alignas(16) StaticModule {
    rts::Object header;
    rts::Object* package;
    rts::Object* name;
    constexpr StaticModule(const StaticTrName& p, const StaticTrName& n)
        : header(0, rts::Kind::Con, Module_tag, 2, 0), package(p.object()), name(n.object()) {}
    Value value() const { return Value::adopt(object()); }
    constexpr rts::Object* object() const { return const_cast<rts::Object*>(&header); }
};
struct alignas(16) StaticTyCon {
    rts::Object header;
    rts::Object* module;
    rts::Object* name;
    rts::Object* kind;
    uint64_t fp_high;
    uint64_t fp_low;
    int64_t kind_vars;
    constexpr StaticTyCon(Fingerprint fp, const StaticModule& m, const StaticTrName& n, int64_t kv,
                          const rts::Object* k)
        : header(0, rts::Kind::Con, TyCon_tag, 3, 3),
          module(m.object()),
          name(n.object()),
          kind(const_cast<rts::Object*>(k)),
          fp_high(fp.high),
          fp_low(fp.low),
          kind_vars(kv) {}
    Value value() const { return Value::adopt(object()); }
    constexpr rts::Object* object() const { return const_cast<rts::Object*>(&header); }
};
// A KindRepTyConApp of a static TyCon to no arguments: the kind of a promoted constructor whose type
// is that TyCon (as 'True :: Bool).
struct alignas(16) StaticKindTyConApp {
    rts::Object header;
    rts::Object* tycon;
    rts::Object* args;
    constexpr StaticKindTyConApp(const StaticTyCon& t, const rts::Object* a)
        : header(0, rts::Kind::Con, KindRepTyConApp_tag, 2, 0), tycon(t.object()), args(const_cast<rts::Object*>(a)) {}
    Value value() const { return Value::adopt(object()); }
    constexpr rts::Object* object() const { return const_cast<rts::Object*>(&header); }
};

// The shared kinds: Type, Type -> Type, Type -> Type -> Type, Constraint; and the kinds of unlifted
// boxed values, UnliftedType (TYPE (BoxedRep Unlifted)), and of values without content,
// ZeroBitType (TYPE (TupleRep '[])).
extern const rts::StaticCon<1> kindType_closure;
extern const rts::StaticCon<2> kindTypeToType_closure;
extern const rts::StaticCon<2> kindTypeToTypeToType_closure;
extern const StaticKindTyConApp kindConstraint_closure;
extern const rts::StaticCon<1> kindUnliftedType_closure;
extern const rts::StaticCon<1> kindZeroBitType_closure;
inline constexpr const rts::Object* kindType = &kindType_closure.header;
inline constexpr const rts::Object* kindTypeToType = &kindTypeToType_closure.header;
inline constexpr const rts::Object* kindTypeToTypeToType = &kindTypeToTypeToType_closure.header;
inline constexpr const rts::Object* kindConstraint = &kindConstraint_closure.header;
inline constexpr const rts::Object* kindUnliftedType = &kindUnliftedType_closure.header;
inline constexpr const rts::Object* kindZeroBitType = &kindZeroBitType_closure.header;

// Declares a module's static `Module` record `var` (with external linkage), and the compile-time
// names `var_id` that VUX_DEFINE_TYCON reads for fingerprints. Use at namespace scope in a .cpp;
// declare `extern const VUX::Types::StaticModule var;` in the header to share it.
struct ModuleId {
    std::string_view package;
    std::string_view module;
};
#define VUX_DEFINE_MODULE(var, package_text, module_text)                                           \
    [[maybe_unused]] constexpr ::VUX::Types::ModuleId var##_id{package_text, module_text};          \
    constinit const ::VUX::Types::StaticTrName var##_package{package_text};                         \
    constinit const ::VUX::Types::StaticTrName var##_name{module_text};                             \
    extern constinit const ::VUX::Types::StaticModule var;                                          \
    constinit const ::VUX::Types::StaticModule var{var##_package, var##_name}

// Declares the static `TyCon` record `var` of type constructor `name_text` of module `module_var`
// (defined with VUX_DEFINE_MODULE in the same file), with `kind_vars` kind variables and the kind
// `kind` (an `rts::Object*` such as VUX::Types::kindType). Also defines `var_kind`, the kind
// KindRepTyConApp var [] that promoted constructors of the type use. A promoted constructor's name
// starts with an apostrophe ("'True").
#define VUX_DEFINE_TYCON(var, module_var, name_text, kind_vars, kind)                                         \
    constinit const ::VUX::Types::StaticTrName var##_name{name_text};                                         \
    extern constinit const ::VUX::Types::StaticTyCon var;                                                     \
    constinit const ::VUX::Types::StaticTyCon var{                                                            \
        ::VUX::Types::fingerprint(module_var##_id.package, module_var##_id.module, name_text), module_var, \
        var##_name, kind_vars, kind};                                                                         \
    extern constinit const ::VUX::Types::StaticKindTyConApp var##_kind;                                       \
    constinit const ::VUX::Types::StaticKindTyConApp var##_kind { var, &::VUX::Types::Nil_closure.header }

// The module records of VUX.Types and of the built-in module VUX.Prim, whose primitive types have
// TyCon records but no code.
extern const StaticModule trModule;
extern const StaticModule trModule_VUX_Prim;

// Which constructors have a TyCon of their own, as promoted constructors. A type-level value is
// made of promoted constructors and type-level literals only: there are no type-level values of the
// machine types (Int#, Addr#, Word64#...), of function types or of constraints. So a constructor is
// promoted when
//   - its type is a lifted data type (not a class record, a piece of evidence or an unboxed tuple),
//   - and every field's type has type-level values: a type variable of kind Type, a type that has a
//     promoted constructor, or Char (character literals).
// Worked to its fixed point, that promotes every constructor of Bool, Ordering, lists, Levity,
// Multiplicity, SPEC, TypeLitSort, VecCount, VecElem and RuntimeRep (and of unit, Solo, the tuples
// and Bytes in their modules), TrNameD ([Char]), Module (two TrNames) and KindRepApp, KindRepFun,
// KindRepTYPE and KindRepTypeLitD. Not promoted: C#, I#, W#, F#, D#, TrNameS and KindRepTypeLitS
// (machine fields), TyCon (fingerprint words), KindRepTyConApp (a TyCon, which has no type-level
// values) and KindRepVar (an Int, which has none either: I# is not promoted and numeric literals
// are not Ints), the boxes (machine values, an unlifted value or a constraint), the evidence
// constructors (constraints) and IO's (a function).
// A promoted constructor's name is the constructor's with a leading apostrophe ("'True"); its kind
// is the arrows (KindRepFun) from its fields' types to its type, with the type's variables as kind
// variables (': :: forall a. a -> [a] -> [a]).

// TyCons of the types of this module, and of their promoted constructors.
extern const StaticTyCon tcBool, tc_prime_False, tc_prime_True;
extern const StaticTyCon tcOrdering, tc_prime_LT, tc_prime_EQ, tc_prime_GT;
extern const StaticTyCon tcList, tc_prime_Nil, tc_prime_Cons;
extern const StaticTyCon tcChar, tcInt, tcWord, tcFloat, tcDouble;
extern const StaticTyCon tcModule, tcTrName, tcTyCon, tcKindRep, tcTypeLitSort, tcRuntimeRep;
extern const StaticTyCon tcVecCount, tcVecElem, tcLevity, tc_prime_Lifted, tc_prime_Unlifted;
extern const StaticTyCon tcMultiplicity, tc_prime_One, tc_prime_Many, tcSPEC;
extern const StaticTyCon tc_prime_SPEC, tc_prime_SPEC2;
extern const StaticTyCon tc_prime_TypeLitSymbol, tc_prime_TypeLitNat, tc_prime_TypeLitChar;
extern const StaticTyCon tc_prime_Vec2, tc_prime_Vec4, tc_prime_Vec8, tc_prime_Vec16, tc_prime_Vec32,
    tc_prime_Vec64;
extern const StaticTyCon tc_prime_Int8ElemRep, tc_prime_Int16ElemRep, tc_prime_Int32ElemRep,
    tc_prime_Int64ElemRep, tc_prime_Word8ElemRep, tc_prime_Word16ElemRep, tc_prime_Word32ElemRep,
    tc_prime_Word64ElemRep, tc_prime_FloatElemRep, tc_prime_DoubleElemRep;
extern const StaticTyCon tc_prime_VecRep, tc_prime_TupleRep, tc_prime_SumRep, tc_prime_BoxedRep,
    tc_prime_IntRep, tc_prime_Int8Rep, tc_prime_Int16Rep, tc_prime_Int32Rep, tc_prime_Int64Rep,
    tc_prime_WordRep, tc_prime_Word8Rep, tc_prime_Word16Rep, tc_prime_Word32Rep, tc_prime_Word64Rep,
    tc_prime_AddrRep, tc_prime_FloatRep, tc_prime_DoubleRep;
extern const StaticTyCon tc_prime_TrNameD, tc_prime_Module;
extern const StaticTyCon tc_prime_KindRepApp, tc_prime_KindRepFun, tc_prime_KindRepTYPE,
    tc_prime_KindRepTypeLitD;
extern const StaticTyCon tcDictBox, tcDoubleBox, tcFloatBox, tcWord64Box, tcWord32Box, tcWord16Box, tcWord8Box,
    tcWordBox, tcInt64Box, tcInt32Box, tcInt16Box, tcInt8Box, tcIntBox, tcLiftBox;
extern const StaticTyCon tcCoercible, tc_tilde, tc_tilde_tilde, tcIO;
// Primitive types (module VUX.Prim), with the kinds that say how their values are represented:
// Int# :: TYPE IntRep, Array# :: Type -> UnliftedType, State# :: Type -> ZeroBitType...
extern const StaticTyCon tcInt_hash, tcWord_hash, tcChar_hash, tcFloat_hash, tcDouble_hash, tcAddr_hash,
    tcInt8_hash, tcInt16_hash, tcInt32_hash, tcInt64_hash, tcWord8_hash, tcWord16_hash, tcWord32_hash,
    tcWord64_hash, tcArray_hash, tcMutableArray_hash, tcSmallArray_hash, tcSmallMutableArray_hash,
    tcByteArray_hash, tcMutableByteArray_hash, tcMutVar_hash, tcMVar_hash, tcTVar_hash, tcState_hash,
    tcRealWorld, tcThreadId_hash, tcWeak_hash, tcStablePtr_hash, tcStableName_hash, tcCompact_hash, tcTYPE,
    tcCONSTRAINT, tcFUN;

// ---------------------------------------------------------------------------------------------
// Box types: one field each (a reference for DictBox and LiftBox, a machine value for the others).
inline constexpr uint8_t MkDictBox_tag = 0;
inline constexpr uint8_t MkLiftBox_tag = 0;
inline constexpr uint8_t MkDoubleBox_tag = 0;
inline constexpr uint8_t MkFloatBox_tag = 0;
inline constexpr uint8_t MkWord64Box_tag = 0;
inline constexpr uint8_t MkWord32Box_tag = 0;
inline constexpr uint8_t MkWord16Box_tag = 0;
inline constexpr uint8_t MkWord8Box_tag = 0;
inline constexpr uint8_t MkWordBox_tag = 0;
inline constexpr uint8_t MkInt64Box_tag = 0;
inline constexpr uint8_t MkInt32Box_tag = 0;
inline constexpr uint8_t MkInt16Box_tag = 0;
inline constexpr uint8_t MkInt8Box_tag = 0;
inline constexpr uint8_t MkIntBox_tag = 0;
inline Value MkDictBox(Value dict) { return rts::con(MkDictBox_tag, std::move(dict)); }
inline Value MkLiftBox(Value v) { return rts::con(MkLiftBox_tag, std::move(v)); }
inline Value MkDoubleBox(double d) { return rts::con_word(MkDoubleBox_tag, rts::bits_of(d)); }
inline Value MkFloatBox(float f) { return rts::con_word(MkFloatBox_tag, rts::bits_of(f)); }
inline Value MkWord64Box(uint64_t w) { return rts::con_word(MkWord64Box_tag, w); }
inline Value MkWord32Box(uint32_t w) { return rts::con_word(MkWord32Box_tag, w); }
inline Value MkWord16Box(uint16_t w) { return rts::con_word(MkWord16Box_tag, w); }
inline Value MkWord8Box(uint8_t w) { return rts::con_word(MkWord8Box_tag, w); }
inline Value MkWordBox(uint64_t w) { return rts::con_word(MkWordBox_tag, w); }
inline Value MkInt64Box(int64_t i) { return rts::con_word(MkInt64Box_tag, static_cast<uint64_t>(i)); }
inline Value MkInt32Box(int32_t i) {
    return rts::con_word(MkInt32Box_tag, static_cast<uint64_t>(static_cast<int64_t>(i)));
}
inline Value MkInt16Box(int16_t i) {
    return rts::con_word(MkInt16Box_tag, static_cast<uint64_t>(static_cast<int64_t>(i)));
}
inline Value MkInt8Box(int8_t i) {
    return rts::con_word(MkInt8Box_tag, static_cast<uint64_t>(static_cast<int64_t>(i)));
}
inline Value MkIntBox(int64_t i) { return rts::con_word(MkIntBox_tag, static_cast<uint64_t>(i)); }

// Equality evidence. The proof a constructor holds has no run-time content, so each evidence value
// is one static object, and a selector only evaluates the evidence. For the same reason the
// constructors take no run-time argument and have no function values: the static value is the
// constructor applied.
inline constexpr uint8_t MkCoercible_tag = 0;
inline constexpr uint8_t Eq_hash_tag = 0;
inline constexpr uint8_t HEq_hash_tag = 0;
extern const rts::StaticNullary MkCoercible_closure;
extern const rts::StaticNullary Eq_hash_closure;   // `Eq#`, evidence of ~
extern const rts::StaticNullary HEq_hash_closure;  // `HEq#`, evidence of ~~
inline Value MkCoercible() { return MkCoercible_closure.value(); }
inline Value Eq_hash() { return Eq_hash_closure.value(); }
inline Value HEq_hash() { return HEq_hash_closure.value(); }
void coercible_sel(const Value& evidence);
void eq_sel(const Value& evidence);
void heq_sel(const Value& evidence);

// ---------------------------------------------------------------------------------------------
// Constructors as function values
//
// `<Con>_fun` is constructor <Con> as a static function value taking its fields in declaration
// order, for passing a constructor where a function is expected; applied to fewer arguments it
// makes a partial application, like any function. A function value receives every argument as a
// Value, so a field of a machine type (Int#, Word#, Char#, Float#, Double#, Word64#, Addr#) arrives
// as a one-word box holding the machine value (`I# 5`, `W# w`, `MkWordBox a`: every one-word box
// has the same layout), which is evaluated and its word stored. A strict field's argument is
// evaluated and stored evaluated (a strict Int field, stored unboxed, takes the boxed Int); a lazy
// field's is stored as it is. Every field is evaluated before anything is allocated, in
// declaration order, so a failing field leaves nothing half built.
enum class FieldRep : uint8_t { Lazy, Strict, Unboxed };

template <uint8_t Tag, FieldRep... Fields>
struct ConstructorFun {
    static constexpr size_t arity = sizeof...(Fields);
    static constexpr size_t nrefs = ((Fields == FieldRep::Unboxed ? 0 : 1) + ... + 0);
    static constexpr size_t nwords = arity - nrefs;
    static_assert(arity >= 1 && nrefs <= 255 && nwords <= 255,
                  "a constructor function takes 1 to 255 fields");

    static Value code(rts::Object*, const Value* args) {
        constexpr FieldRep reps[arity] = {Fields...};
        rts::Object* refs[nrefs > 0 ? nrefs : 1] = {};
        uint64_t words[nwords > 0 ? nwords : 1] = {};
        size_t r = 0, w = 0;
        for (size_t i = 0; i < arity; ++i) {
            switch (reps[i]) {
                case FieldRep::Lazy: refs[r++] = args[i].get(); break;
                case FieldRep::Strict: refs[r++] = rts::force(args[i]).get(); break;
                case FieldRep::Unboxed: words[w++] = rts::word(rts::force(args[i]), 0); break;
            }
        }
        rts::Object* o = rts::alloc_con(Tag, nrefs, nwords);
        rts::Slot* s = rts::con_slots(o);
        for (size_t j = 0; j < nrefs; ++j) s[j].ref = Value::share(refs[j]).detach();
        for (size_t j = 0; j < nwords; ++j) s[nrefs + j].word = words[j];
        return Value::adopt(o);
    }
    static constexpr rts::FunInfo info{&code, nullptr, sizeof(rts::FunObject), arity};
};
// Usage: `constinit const rts::StaticFun I_hash_fun{constructor_fun_info<I_hash_tag, FieldRep::Unboxed>};`
template <uint8_t Tag, FieldRep... Fields>
inline constexpr const rts::FunInfo* constructor_fun_info = &ConstructorFun<Tag, Fields...>::info;

extern const rts::StaticFun C_hash_fun, I_hash_fun, W_hash_fun, F_hash_fun, D_hash_fun;
extern const rts::StaticFun VecRep_fun, TupleRep_fun, SumRep_fun, BoxedRep_fun;
extern const rts::StaticFun TrNameS_fun, TrNameD_fun, Module_fun, TyCon_fun;
extern const rts::StaticFun KindRepTyConApp_fun, KindRepVar_fun, KindRepApp_fun, KindRepFun_fun,
    KindRepTYPE_fun, KindRepTypeLitS_fun, KindRepTypeLitD_fun;
extern const rts::StaticFun MkDictBox_fun, MkDoubleBox_fun, MkFloatBox_fun, MkWord64Box_fun, MkWord32Box_fun,
    MkWord16Box_fun, MkWord8Box_fun, MkWordBox_fun, MkInt64Box_fun, MkInt32Box_fun, MkInt16Box_fun,
    MkInt8Box_fun, MkIntBox_fun, MkLiftBox_fun;

// Every named tag equals the constructor's index in declaration order.
static_assert(GT_tag == 2 && DoubleRep_tag == 16 && Vec64_tag == 5 && DoubleElemRep_tag == 9);
static_assert(KindRepTypeLitD_tag == 6 && TypeLitChar_tag == 2 && Cons_tag == 1 && True_tag == 1);

}  // namespace VUX::Types
