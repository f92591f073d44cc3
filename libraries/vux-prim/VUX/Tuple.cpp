#include "VUX/Tuple.h"

#include <array>
#include <utility>
#include "rts/Profiling.h"

VUX_MODULE("VUX.Tuple");

namespace VUX::Tuple {

using Types::StaticTyCon;
using Types::StaticTrName;

constinit const rts::StaticNullary Unit_closure{Unit_tag};
constinit rts::Object* const Unit_closure_tbl[1] = {Unit_closure.object()};

Value Solo_match(const Value& solo, const Value& cont, const Value& /*fallback*/) {
    VUX_FUNCTION;
    const Value& s = rts::force(solo);
    return rts::apply(cont, rts::field(s, 0));
}

Value getSolo(const Value& solo) {
    VUX_FUNCTION;
    const Value& s = rts::force(solo);
    return rts::force(rts::field(s, 0));
}

// ---------------------------------------------------------------------------------------------
// Constructor functions

constinit const rts::StaticFun MkSolo_fun{rts::static_fun_info<&MkSolo>};

namespace {
template <size_t N>
Value tuple_con_code(rts::Object*, const Value* args) {
    rts::Object* o = rts::alloc_con(Tuple_tag, N, 0);
    rts::Slot* s = rts::con_slots(o);
    for (size_t i = 0; i < N; ++i) s[i].ref = Value(args[i]).detach();
    return Value::adopt(o);
}
template <size_t N>
constexpr rts::FunInfo tuple_con_info{&tuple_con_code<N>, nullptr, sizeof(rts::FunObject), N};

template <size_t... I>
constexpr auto make_tuple_funs(std::index_sequence<I...>) {
    return std::array<rts::StaticFun, sizeof...(I)>{rts::StaticFun(&tuple_con_info<I + 2>)...};
}
constinit const std::array<rts::StaticFun, kMaxTupleSize - 1> tuple_funs =
    make_tuple_funs(std::make_index_sequence<kMaxTupleSize - 1>{});
}  // namespace

Value tupleConstructor(size_t n) { VUX_FUNCTION; return tuple_funs.at(n - 2).value(); }

// ---------------------------------------------------------------------------------------------
// Type representations

VUX_DEFINE_MODULE(trModule, "vux-prim", "VUX.Tuple");
VUX_DEFINE_TYCON(tcUnit, trModule, "Unit", 0, Types::kindType);
VUX_DEFINE_TYCON(tc_prime_Unit, trModule, "'()", 0, &tcUnit_kind.header);
VUX_DEFINE_TYCON(tcSolo, trModule, "Solo", 0, Types::kindTypeToType);
namespace {
// forall a. a -> Solo a
constexpr rts::Slot ref(const rts::Object* o) { return rts::ref_slot(o); }
constinit const rts::StaticCon<0, 1> kindVar0{Types::KindRepVar_tag, rts::word_slot(0)};
constinit const rts::StaticCon<2> var0_args{Types::Cons_tag, ref(&kindVar0.header),
                                            ref(&Types::Nil_closure.header)};
constinit const rts::StaticCon<2> kindSoloOfVar0{Types::KindRepTyConApp_tag, ref(tcSolo.object()),
                                                 ref(&var0_args.header)};
constinit const rts::StaticCon<2> kindMkSolo{Types::KindRepFun_tag, ref(&kindVar0.header),
                                             ref(&kindSoloOfVar0.header)};
}  // namespace
VUX_DEFINE_TYCON(tc_prime_MkSolo, trModule, "'MkSolo", 1, &kindMkSolo.header);
VUX_DEFINE_TYCON(tcUnit_hash, trModule, "Unit#", 0, Types::kindZeroBitType);

namespace {
// The names of the tuple families as NUL-terminated literals, made at compile time: "Tuple<n>",
// "Tuple<n>#", and "'(,)" with n - 1 commas.
template <size_t N, bool Unboxed>
struct TupleName {
    static constexpr auto text = [] {
        std::array<char, 9> t{'T', 'u', 'p', 'l', 'e'};
        size_t i = 5;
        if (N >= 10) t[i++] = static_cast<char>('0' + N / 10);
        t[i++] = static_cast<char>('0' + N % 10);
        if (Unboxed) t[i++] = '#';
        t[i] = '\0';
        return t;
    }();
};
template <size_t N>
struct PromotedTupleName {
    static constexpr auto text = [] {
        std::array<char, N + 3> t{'\'', '('};
        for (size_t i = 2; i <= N; ++i) t[i] = ',';
        t[N + 1] = ')';
        t[N + 2] = '\0';
        return t;
    }();
};
// Type -> ... -> Type with N arrows, shared between the tuple kinds.
template <size_t N>
struct ArrowKind {
    static constexpr const rts::Object* object() { return &value.header; }
    static constinit const rts::StaticCon<2> value;
};
template <>
struct ArrowKind<0> {
    static constexpr const rts::Object* object() { return Types::kindType; }
};
template <size_t N>
constinit const rts::StaticCon<2> ArrowKind<N>::value{Types::KindRepFun_tag, rts::ref_slot(Types::kindType),
                                                      rts::ref_slot(ArrowKind<N - 1>::object())};

// forall a0 .. a(n-1). a0 -> .. -> a(n-1) -> Tuple<n> a0 .. a(n-1)
Value promotedTupleKind(size_t n) {
    using namespace Types;
    Value args = Nil();
    for (size_t i = n; i-- > 0;) args = Cons(KindRepVar(static_cast<int64_t>(i)), std::move(args));
    Value kind = KindRepTyConApp(tcTuple(n).value(), std::move(args));
    for (size_t i = n; i-- > 0;) kind = KindRepFun(KindRepVar(static_cast<int64_t>(i)), std::move(kind));
    return kind;
}

// TYPE r, for a representation r given as a kind.
Value typeOfRep(Value rep) {
    return Types::KindRepTyConApp(Types::tcTYPE.value(), Types::Cons(std::move(rep), Types::Nil()));
}

// forall r0 .. r(n-1). TYPE r0 -> .. -> TYPE r(n-1) -> TYPE (TupleRep '[r0, .., r(n-1)]). The
// promoted list constructors take the kind of the elements (RuntimeRep) as their first argument.
Value unboxedTupleKind(size_t n) {
    using namespace Types;
    Value runtimeRep = KindRepTyConApp(tcRuntimeRep.value(), Nil());
    Value reps = KindRepTyConApp(tc_prime_Nil.value(), Cons(runtimeRep, Nil()));
    for (size_t i = n; i-- > 0;) {
        Value args =
            Cons(runtimeRep, Cons(KindRepVar(static_cast<int64_t>(i)), Cons(std::move(reps), Nil())));
        reps = KindRepTyConApp(tc_prime_Cons.value(), std::move(args));
    }
    Value kind = typeOfRep(KindRepTyConApp(tc_prime_TupleRep.value(), Cons(std::move(reps), Nil())));
    for (size_t i = n; i-- > 0;)
        kind = KindRepFun(typeOfRep(KindRepVar(static_cast<int64_t>(i))), std::move(kind));
    return kind;
}

// The kinds of the tuple families of N components, as constants built on first demand.
template <size_t N>
struct LazyKinds {
    static Value promoted() { return promotedTupleKind(N); }
    static Value unboxed() { return unboxedTupleKind(N); }
    static constinit rts::Constant promoted_kind;
    static constinit rts::Constant unboxed_kind;
};
template <size_t N>
constinit rts::Constant LazyKinds<N>::promoted_kind{rts::constant_info<&LazyKinds<N>::promoted>};
template <size_t N>
constinit rts::Constant LazyKinds<N>::unboxed_kind{rts::constant_info<&LazyKinds<N>::unboxed>};

constexpr Types::Fingerprint tupleFingerprint(const char* name) {
    return Types::fingerprint(trModule_id.package, trModule_id.module, name);
}

// The tuple type of N components, its promoted constructor and the unboxed tuple type.
template <size_t N>
struct TupleTyCons {
    static constinit const StaticTrName name, promoted_name, unboxed_name;
    static constinit const StaticTyCon tycon, promoted, unboxed;
};
template <size_t N>
constinit const StaticTrName TupleTyCons<N>::name{TupleName<N, false>::text.data()};
template <size_t N>
constinit const StaticTrName TupleTyCons<N>::promoted_name{PromotedTupleName<N>::text.data()};
template <size_t N>
constinit const StaticTrName TupleTyCons<N>::unboxed_name{TupleName<N, true>::text.data()};
template <size_t N>
constinit const StaticTyCon TupleTyCons<N>::tycon{tupleFingerprint(TupleName<N, false>::text.data()),
                                                  trModule, name, 0, ArrowKind<N>::object()};
template <size_t N>
constinit const StaticTyCon TupleTyCons<N>::promoted{tupleFingerprint(PromotedTupleName<N>::text.data()),
                                                     trModule, promoted_name, N,
                                                     LazyKinds<N>::promoted_kind.object()};
template <size_t N>
constinit const StaticTyCon TupleTyCons<N>::unboxed{tupleFingerprint(TupleName<N, true>::text.data()),
                                                    trModule, unboxed_name, N,
                                                    LazyKinds<N>::unboxed_kind.object()};

struct TupleFamilies {
    std::array<const StaticTyCon*, kMaxTupleSize - 1> types, promoted, unboxed;
};
template <size_t... I>
constexpr TupleFamilies make_tuple_families(std::index_sequence<I...>) {
    return {{&TupleTyCons<I + 2>::tycon...},
            {&TupleTyCons<I + 2>::promoted...},
            {&TupleTyCons<I + 2>::unboxed...}};
}
constinit const TupleFamilies tuple_families =
    make_tuple_families(std::make_index_sequence<kMaxTupleSize - 1>{});
}  // namespace

VUX_DEFINE_TYCON(tcSolo_hash, trModule, "Solo#", 1, LazyKinds<1>::unboxed_kind.object());

const StaticTyCon& tcTuple(size_t n) { VUX_FUNCTION; return *tuple_families.types.at(n - 2); }
const StaticTyCon& tc_prime_Tuple(size_t n) { VUX_FUNCTION; return *tuple_families.promoted.at(n - 2); }
const StaticTyCon& tcTuple_hash(size_t n) { VUX_SCC("tcTuple#"); return *tuple_families.unboxed.at(n - 2); }

}  // namespace VUX::Tuple
