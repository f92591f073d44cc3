#include "VUX/Tuple.h"

#include <array>
#include <utility>

namespace VUX::Tuple {

using Types::StaticTyCon;
using Types::StaticTrName;

constinit const rts::StaticNullary Unit_closure{Unit_tag};
constinit rts::Object* const Unit_closure_tbl[1] = {Unit_closure.object()};

Value Solo_match(const Value& solo, const Value& cont, const Value& /*fallback*/) {
    const Value& s = rts::force(solo);
    return rts::apply(cont, rts::field(s, 0));
}

Value getSolo(const Value& solo) {
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

Value tupleConstructor(size_t n) { return tuple_funs.at(n - 2).value(); }

// ---------------------------------------------------------------------------------------------
// Type representations

VUX_DEFINE_MODULE(trModule, "vux-prim", "VUX.Tuple");
VUX_DEFINE_TYCON(tcUnit, trModule, "Unit", 0, Types::kindType);
VUX_DEFINE_TYCON(tc_prime_Unit, trModule, "'()", 0, &tcUnit_kind.header);
VUX_DEFINE_TYCON(tcSolo, trModule, "Solo", 0, Types::kindTypeToType);
VUX_DEFINE_TYCON(tc_prime_MkSolo, trModule, "'MkSolo", 1, Types::kindTypeToType);

namespace {
// "Tuple<n>" as a NUL-terminated literal, made at compile time.
template <size_t N>
struct TupleName {
    static constexpr auto text = [] {
        std::array<char, 8> t{'T', 'u', 'p', 'l', 'e'};
        size_t i = 5;
        if (N >= 10) t[i++] = static_cast<char>('0' + N / 10);
        t[i++] = static_cast<char>('0' + N % 10);
        t[i] = '\0';
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

template <size_t N>
struct TupleTyCon {
    static constinit const StaticTrName name;
    static constinit const StaticTyCon tycon;
};
template <size_t N>
constinit const StaticTrName TupleTyCon<N>::name{TupleName<N>::text.data()};
template <size_t N>
constinit const StaticTyCon TupleTyCon<N>::tycon{
    Types::fingerprint(trModule_id.package, trModule_id.module, TupleName<N>::text.data()), trModule, name, 0,
    ArrowKind<N>::object()};

template <size_t... I>
constexpr std::array<const StaticTyCon*, sizeof...(I)> make_tuple_tycons(std::index_sequence<I...>) {
    return {&TupleTyCon<I + 2>::tycon...};
}
constinit const std::array<const StaticTyCon*, kMaxTupleSize - 1> tuple_tycons =
    make_tuple_tycons(std::make_index_sequence<kMaxTupleSize - 1>{});
}  // namespace

const StaticTyCon& tcTuple(size_t n) { return *tuple_tycons.at(n - 2); }

}  // namespace VUX::Tuple
