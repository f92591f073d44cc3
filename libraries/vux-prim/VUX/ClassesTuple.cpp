// Eq and Ord of tuples of 2 to 15 components, one instantiation per arity with the walk over the
// components unrolled. Of the component records only `==`, `compare`, `<` and the Eq record inside
// an Ord record are used. The comparisons allocate nothing: they return a static Bool, a component
// operation's result or one of the two operands.
#include "VUX/Classes.h"
#include "rts/Profiling.h"

VUX_MODULE("VUX.Classes");

namespace VUX::Classes {

using Types::EQ_tag;
using Types::fromBool;
using Types::isTrue;
using Types::LT_tag;

namespace {

template <size_t K>
RTS_INLINE const Value& component(const Value& tuple) { return rts::field(tuple, K); }

// The first non-EQ result of `compare` over components 0 .. N-2, evaluated, or a null Value when
// they are all equal. With Swap the operands of each call are (y_k, x_k).
template <size_t N, bool Swap>
RTS_INLINE Value leading_compare(const Records<N>& ords, const Value& a, const Value& b) {
    Value decided;
    [&]<size_t... K>(std::index_sequence<K...>) {
        // The && fold stops at the first component whose result is not EQ.
        (([&] {
             Value r = Swap ? call(compare(ords[K]), component<K>(b), component<K>(a))
                            : call(compare(ords[K]), component<K>(a), component<K>(b));
             if (r->tag == EQ_tag) return true;
             decided = std::move(r);
             return false;
         }()) &&
         ...);
    }(std::make_index_sequence<N - 1>{});
    return decided;
}

// `<` of the last component on (p_last, q_last).
template <size_t N>
RTS_INLINE bool last_lt(const Records<N>& ords, const Value& p, const Value& q) {
    return test(op_lt(ords[N - 1]), component<N - 1>(p), component<N - 1>(q));
}

}  // namespace

template <size_t N>
Value tupleEq(const Records<N>& eqs, const Value& x, const Value& y) {
    VUX_FUNCTION;
    const Value& a = rts::force(x);
    const Value& b = rts::force(y);
    bool all_equal = [&]<size_t... K>(std::index_sequence<K...>) {
        return (test(op_eq_eq(eqs[K]), component<K>(a), component<K>(b)) && ...);
    }(std::make_index_sequence<N - 1>{});
    if (!all_equal) return Types::False();
    return call(op_eq_eq(eqs[N - 1]), component<N - 1>(a), component<N - 1>(b));
}

template <size_t N>
Value tupleNe(const Records<N>& eqs, const Value& x, const Value& y) {
    VUX_FUNCTION;
    const Value& a = rts::force(x);
    const Value& b = rts::force(y);
    bool all_equal = [&]<size_t... K>(std::index_sequence<K...>) {
        return (test(op_eq_eq(eqs[K]), component<K>(a), component<K>(b)) && ...);
    }(std::make_index_sequence<N>{});
    return fromBool(!all_equal);
}

template <size_t N>
Value tupleCompare(const Records<N>& ords, const Value& x, const Value& y) {
    VUX_FUNCTION;
    const Value& a = rts::force(x);
    const Value& b = rts::force(y);
    if (Value r = leading_compare<N, false>(ords, a, b)) return r;
    return call(compare(ords[N - 1]), component<N - 1>(a), component<N - 1>(b));
}

template <size_t N>
Value tupleLt(const Records<N>& ords, const Value& x, const Value& y) {
    VUX_FUNCTION;
    const Value& a = rts::force(x);
    const Value& b = rts::force(y);
    if (Value r = leading_compare<N, false>(ords, a, b)) return fromBool(r->tag == LT_tag);
    return fromBool(last_lt(ords, a, b));
}

template <size_t N>
Value tupleLe(const Records<N>& ords, const Value& x, const Value& y) {
    VUX_FUNCTION;
    const Value& a = rts::force(x);
    const Value& b = rts::force(y);
    if (Value r = leading_compare<N, true>(ords, a, b)) return fromBool(r->tag != LT_tag);
    return fromBool(!last_lt(ords, b, a));
}

template <size_t N>
Value tupleGe(const Records<N>& ords, const Value& x, const Value& y) {
    VUX_FUNCTION;
    const Value& a = rts::force(x);
    const Value& b = rts::force(y);
    if (Value r = leading_compare<N, false>(ords, a, b)) return fromBool(r->tag != LT_tag);
    return fromBool(!last_lt(ords, a, b));
}

template <size_t N>
Value tupleMax(const Records<N>& ords, const Value& x, const Value& y) {
    VUX_FUNCTION;
    const Value& a = rts::force(x);
    const Value& b = rts::force(y);
    bool pick_x;
    if (Value r = leading_compare<N, true>(ords, a, b))
        pick_x = r->tag == LT_tag;  // y_k < x_k
    else
        pick_x = last_lt(ords, b, a);
    return Value(pick_x ? a : b);
}

template <size_t N>
Value tupleMin(const Records<N>& ords, const Value& x, const Value& y) {
    VUX_FUNCTION;
    const Value& a = rts::force(x);
    const Value& b = rts::force(y);
    bool pick_y;
    if (Value r = leading_compare<N, true>(ords, a, b))
        pick_y = r->tag == LT_tag;  // y_k < x_k
    else
        pick_y = last_lt(ords, b, a);
    return Value(pick_y ? b : a);
}

template <size_t N>
Value inst_Eq_Tuple(const Records<N>& eqs) {
    VUX_FUNCTION;
    return C_Eq(Record::with<&tupleEq<N>>(eqs), Record::with<&tupleNe<N>>(eqs));
}

template <size_t N>
Value eqFromOrd_Tuple(const Records<N>& ords) {
    VUX_FUNCTION;
    Records<N> eqs;
    for (size_t k = 0; k < N; ++k) eqs[k] = Ord_Eq(ords[k]);
    return inst_Eq_Tuple<N>(eqs);
}

template <size_t N>
Value inst_Ord_Tuple(const Records<N>& ords) {
    VUX_FUNCTION;
    using Record::with;
    // `>` has no code of its own: it is `<` with the operands swapped.
    auto gt = rts::fun<2>([ords](const Value& x, const Value& y) { return tupleLt<N>(ords, y, x); });
    return C_Ord(rts::delay([ords] { return eqFromOrd_Tuple<N>(ords); }), with<&tupleCompare<N>>(ords),
                 with<&tupleLt<N>>(ords), with<&tupleLe<N>>(ords), std::move(gt), with<&tupleGe<N>>(ords),
                 with<&tupleMax<N>>(ords), with<&tupleMin<N>>(ords));
}

#define VUX_TUPLE_INSTANTIATE(N)                                                     \
    template Value inst_Eq_Tuple<N>(const Records<N>&);                              \
    template Value inst_Ord_Tuple<N>(const Records<N>&);                             \
    template Value eqFromOrd_Tuple<N>(const Records<N>&);                            \
    template Value tupleEq<N>(const Records<N>&, const Value&, const Value&);        \
    template Value tupleNe<N>(const Records<N>&, const Value&, const Value&);        \
    template Value tupleCompare<N>(const Records<N>&, const Value&, const Value&);   \
    template Value tupleLt<N>(const Records<N>&, const Value&, const Value&);        \
    template Value tupleLe<N>(const Records<N>&, const Value&, const Value&);        \
    template Value tupleGe<N>(const Records<N>&, const Value&, const Value&);        \
    template Value tupleMax<N>(const Records<N>&, const Value&, const Value&);       \
    template Value tupleMin<N>(const Records<N>&, const Value&, const Value&);
VUX_TUPLE_INSTANTIATE(2)
VUX_TUPLE_INSTANTIATE(3)
VUX_TUPLE_INSTANTIATE(4)
VUX_TUPLE_INSTANTIATE(5)
VUX_TUPLE_INSTANTIATE(6)
VUX_TUPLE_INSTANTIATE(7)
VUX_TUPLE_INSTANTIATE(8)
VUX_TUPLE_INSTANTIATE(9)
VUX_TUPLE_INSTANTIATE(10)
VUX_TUPLE_INSTANTIATE(11)
VUX_TUPLE_INSTANTIATE(12)
VUX_TUPLE_INSTANTIATE(13)
VUX_TUPLE_INSTANTIATE(14)
VUX_TUPLE_INSTANTIATE(15)

}  // namespace VUX::Classes
