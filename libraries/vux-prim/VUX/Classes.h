// The comparison interfaces Eq and Ord as records of operations, their default definitions, the
// Boolean connectives, the instances for scalars, lists, Solo, type representations and tuples of
// 2 to 15 components, and floor division.
//
// Records:
//   C_Eq(==, /=)
//   C_Ord(the Eq record, compare, <, <=, >, >=, max, min)
// Every operation is a function value of two arguments (use rts::apply). A static instance is
// `inst_<Class>_<Type>_closure` (as a Value: `inst_<Class>_<Type>()`); an instance for a compound
// type is a function from the component records to a fresh record (`inst_Ord_List(dOrd)`).
#pragma once

#include <array>
#include <cstdint>
#include <utility>

#include "VUX/Tuple.h"
#include "VUX/Types.h"

namespace VUX::Classes {

using rts::Value;

// ---------------------------------------------------------------------------------------------
// Records and selectors

inline constexpr uint8_t C_Eq_tag = 0;
inline constexpr uint8_t C_Ord_tag = 0;
// Field indexes of the records.
inline constexpr size_t Eq_op_eq_eq = 0, Eq_op_slash_eq = 1;
inline constexpr size_t Ord_Eq = 0, Ord_compare = 1, Ord_op_lt = 2, Ord_op_lt_eq = 3, Ord_op_gt = 4,
                        Ord_op_gt_eq = 5, Ord_max = 6, Ord_min = 7;

inline Value C_Eq(Value eq, Value ne) { return rts::con(C_Eq_tag, std::move(eq), std::move(ne)); }
inline Value C_Ord(Value dEq, Value compare, Value lt, Value le, Value gt, Value ge, Value max, Value min) {
    return rts::con(C_Ord_tag, std::move(dEq), std::move(compare), std::move(lt), std::move(le), std::move(gt),
                    std::move(ge), std::move(max), std::move(min));
}

// Selectors: evaluate the record, then return the field (not evaluated).
inline const Value& select(const Value& record, size_t i) { return rts::field(rts::force(record), i); }
inline Value op_eq_eq(const Value& dEq) { return select(dEq, Eq_op_eq_eq); }
inline Value op_slash_eq(const Value& dEq) { return select(dEq, Eq_op_slash_eq); }
inline Value p1Ord(const Value& dOrd) { return select(dOrd, Ord_Eq); }  // the Eq record inside an Ord record
inline Value compare(const Value& dOrd) { return select(dOrd, Ord_compare); }
inline Value op_lt(const Value& dOrd) { return select(dOrd, Ord_op_lt); }
inline Value op_lt_eq(const Value& dOrd) { return select(dOrd, Ord_op_lt_eq); }
inline Value op_gt(const Value& dOrd) { return select(dOrd, Ord_op_gt); }
inline Value op_gt_eq(const Value& dOrd) { return select(dOrd, Ord_op_gt_eq); }
inline Value max(const Value& dOrd) { return select(dOrd, Ord_max); }
inline Value min(const Value& dOrd) { return select(dOrd, Ord_min); }

// Calls operation i of a record on two operands and evaluates the result.
inline Value call_op(const Value& record, size_t i, const Value& x, const Value& y) {
    Value r = rts::apply(select(record, i), x, y);
    return Value(rts::force(r));
}
inline bool call_test(const Value& record, size_t i, const Value& x, const Value& y) {
    return Types::isTrue(call_op(record, i, x, y));
}

// The implicit-parameter class has one operation and no superclass: its record is the value itself.
Value ip(const Value& d);

// Boolean connectives: the second operand is evaluated only when it decides.
Value op_amp_amp(const Value& x, const Value& y);
Value op_bar_bar(const Value& x, const Value& y);
Value not_(const Value& x);

// ---------------------------------------------------------------------------------------------
// Default definitions, through the record passed first.
Value default_op_eq_eq(const Value& dEq, const Value& x, const Value& y);     // not (x /= y)
Value default_op_slash_eq(const Value& dEq, const Value& x, const Value& y);  // not (x == y)
Value default_compare(const Value& dOrd, const Value& x, const Value& y);     // == first, then <=
Value default_op_lt_eq(const Value& dOrd, const Value& x, const Value& y);    // compare x y /= GT
Value default_op_gt_eq(const Value& dOrd, const Value& x, const Value& y);    // y <= x
Value default_op_lt(const Value& dOrd, const Value& x, const Value& y);       // not (y <= x)
Value default_op_gt(const Value& dOrd, const Value& x, const Value& y);       // not (x <= y)
Value default_max(const Value& dOrd, const Value& x, const Value& y);         // x <= y ? y : x
Value default_min(const Value& dOrd, const Value& x, const Value& y);         // x <= y ? x : y

// Records completed with the defaults, for instances that give only some operations. A missing
// operation is a null Value. The defaults capture the given operations (not the record), so the
// record holds no reference to itself.
Value eqRecordFrom(Value eq, Value ne);                  // at least one given
Value ordRecordFrom(Value dEq, Value compare, Value le);  // compare or <= given

// ---------------------------------------------------------------------------------------------
// Scalar operations: two boxed operands, both evaluated. For each Ty of Int, Word, Char, Float and
// Double: eqTy, neTy, compareTy, ltTy, leTy, gtTy, geTy, maxTy and minTy, and the same operations as
// static function values (`eqInt_fun`...) for records built elsewhere.
#define VUX_DECLARE_SCALAR_OPS(ty)                                                                           \
    Value eq##ty(const Value& x, const Value& y);                                                            \
    Value ne##ty(const Value& x, const Value& y);                                                            \
    Value compare##ty(const Value& x, const Value& y);                                                       \
    Value lt##ty(const Value& x, const Value& y);                                                            \
    Value le##ty(const Value& x, const Value& y);                                                            \
    Value gt##ty(const Value& x, const Value& y);                                                            \
    Value ge##ty(const Value& x, const Value& y);                                                            \
    Value max##ty(const Value& x, const Value& y);                                                           \
    Value min##ty(const Value& x, const Value& y);                                                           \
    extern const rts::StaticFun eq##ty##_fun, ne##ty##_fun, compare##ty##_fun, lt##ty##_fun, le##ty##_fun, \
        gt##ty##_fun, ge##ty##_fun, max##ty##_fun, min##ty##_fun;
VUX_DECLARE_SCALAR_OPS(Int)
VUX_DECLARE_SCALAR_OPS(Word)
VUX_DECLARE_SCALAR_OPS(Char)
VUX_DECLARE_SCALAR_OPS(Float)
VUX_DECLARE_SCALAR_OPS(Double)
#undef VUX_DECLARE_SCALAR_OPS

// Three-way comparison of unboxed machine values.
Value compareInt_hash(int64_t x, int64_t y);
Value compareWord_hash(uint64_t x, uint64_t y);

// Static records of the scalar types.
#define VUX_DECLARE_STATIC_INSTANCE(cls, ty, nfields)               \
    extern const rts::StaticCon<nfields> inst_##cls##_##ty##_closure; \
    inline Value inst_##cls##_##ty() { return inst_##cls##_##ty##_closure.value(); }
VUX_DECLARE_STATIC_INSTANCE(Eq, Unit, 2)
VUX_DECLARE_STATIC_INSTANCE(Ord, Unit, 8)
VUX_DECLARE_STATIC_INSTANCE(Eq, Bool, 2)
VUX_DECLARE_STATIC_INSTANCE(Ord, Bool, 8)
VUX_DECLARE_STATIC_INSTANCE(Eq, Ordering, 2)
VUX_DECLARE_STATIC_INSTANCE(Ord, Ordering, 8)
VUX_DECLARE_STATIC_INSTANCE(Eq, Int, 2)
VUX_DECLARE_STATIC_INSTANCE(Ord, Int, 8)
VUX_DECLARE_STATIC_INSTANCE(Eq, Word, 2)
VUX_DECLARE_STATIC_INSTANCE(Ord, Word, 8)
VUX_DECLARE_STATIC_INSTANCE(Eq, Char, 2)
VUX_DECLARE_STATIC_INSTANCE(Ord, Char, 8)
VUX_DECLARE_STATIC_INSTANCE(Eq, Float, 2)
VUX_DECLARE_STATIC_INSTANCE(Ord, Float, 8)
VUX_DECLARE_STATIC_INSTANCE(Eq, Double, 2)
VUX_DECLARE_STATIC_INSTANCE(Ord, Double, 8)

// ---------------------------------------------------------------------------------------------
// Lists, Solo and type representations

// List records from the element's records. The Ord record's Eq record is suspended: built on first
// use from the element's Eq record (taken out of the element's Ord record) and then shared.
Value inst_Eq_List(const Value& dEq);
Value inst_Ord_List(const Value& dOrd);
// The list operations, element record first (the record fields call these).
bool listEq(const Value& dEq, const Value& xs, const Value& ys);
uint8_t listCompare(const Value& dOrd, const Value& xs, const Value& ys);  // an Ordering tag

// Ready-made list records: [Char] (code points unsigned), [Int] (signed), [[Char]].
VUX_DECLARE_STATIC_INSTANCE(Eq, List_Char, 2)
VUX_DECLARE_STATIC_INSTANCE(Ord, List_Char, 8)
VUX_DECLARE_STATIC_INSTANCE(Eq, List_Int, 2)
VUX_DECLARE_STATIC_INSTANCE(Ord, List_Int, 8)
VUX_DECLARE_STATIC_INSTANCE(Eq, List_List_Char, 2)
VUX_DECLARE_STATIC_INSTANCE(Ord, List_List_Char, 8)
// Direct forms on character strings, for C++ callers.
bool stringEq(const Value& xs, const Value& ys);
uint8_t stringCompare(const Value& xs, const Value& ys);  // an Ordering tag

Value inst_Eq_Solo(const Value& dEq);
Value inst_Ord_Solo(const Value& dOrd);

VUX_DECLARE_STATIC_INSTANCE(Eq, TyCon, 2)
VUX_DECLARE_STATIC_INSTANCE(Ord, TyCon, 8)
VUX_DECLARE_STATIC_INSTANCE(Eq, TrName, 2)
VUX_DECLARE_STATIC_INSTANCE(Eq, Module, 2)
Value eqTyCon(const Value& x, const Value& y);
Value compareTyCon(const Value& x, const Value& y);
Value eqTrName(const Value& x, const Value& y);
Value eqModule(const Value& x, const Value& y);
Value neModule(const Value& x, const Value& y);

// ---------------------------------------------------------------------------------------------
// Tuples of 2 to 15 components. Component records come in component order. Operations evaluate
// both tuples, then walk the components from the first and never touch one after the deciding
// component; components are handed to the component operations unevaluated.
inline constexpr size_t kMaxComparableTuple = 15;
template <size_t N>
using Records = std::array<Value, N>;

template <size_t N>
Value inst_Eq_Tuple(const Records<N>& eqs);
template <size_t N>
Value inst_Ord_Tuple(const Records<N>& ords);
// The tuple's Eq record from the components' Ord records (field 1 of the Ord record, suspended).
template <size_t N>
Value eqFromOrd_Tuple(const Records<N>& ords);

template <size_t N>
Value tupleEq(const Records<N>& eqs, const Value& x, const Value& y);
template <size_t N>
Value tupleNe(const Records<N>& eqs, const Value& x, const Value& y);
template <size_t N>
Value tupleCompare(const Records<N>& ords, const Value& x, const Value& y);
template <size_t N>
Value tupleLt(const Records<N>& ords, const Value& x, const Value& y);
template <size_t N>
Value tupleLe(const Records<N>& ords, const Value& x, const Value& y);
template <size_t N>
Value tupleGe(const Records<N>& ords, const Value& x, const Value& y);
template <size_t N>
Value tupleMax(const Records<N>& ords, const Value& x, const Value& y);
template <size_t N>
Value tupleMin(const Records<N>& ords, const Value& x, const Value& y);

// Convenience: inst_Eq_Tuple(eq1, eq2, ...) and inst_Ord_Tuple(ord1, ord2, ...).
template <class... D>
    requires(sizeof...(D) >= 2 && (std::is_same_v<std::decay_t<D>, Value> && ...))
Value inst_Eq_Tuple(const D&... eqs) {
    return inst_Eq_Tuple<sizeof...(D)>(Records<sizeof...(D)>{eqs...});
}
template <class... D>
    requires(sizeof...(D) >= 2 && (std::is_same_v<std::decay_t<D>, Value> && ...))
Value inst_Ord_Tuple(const D&... ords) {
    return inst_Ord_Tuple<sizeof...(D)>(Records<sizeof...(D)>{ords...});
}

// Instantiated once, in the library, for every arity from 2 to 15.
#define VUX_TUPLE_EXTERN(N)                                                                 \
    extern template Value inst_Eq_Tuple<N>(const Records<N>&);                              \
    extern template Value inst_Ord_Tuple<N>(const Records<N>&);                             \
    extern template Value eqFromOrd_Tuple<N>(const Records<N>&);                            \
    extern template Value tupleEq<N>(const Records<N>&, const Value&, const Value&);        \
    extern template Value tupleNe<N>(const Records<N>&, const Value&, const Value&);        \
    extern template Value tupleCompare<N>(const Records<N>&, const Value&, const Value&);   \
    extern template Value tupleLt<N>(const Records<N>&, const Value&, const Value&);        \
    extern template Value tupleLe<N>(const Records<N>&, const Value&, const Value&);        \
    extern template Value tupleGe<N>(const Records<N>&, const Value&, const Value&);        \
    extern template Value tupleMax<N>(const Records<N>&, const Value&, const Value&);       \
    extern template Value tupleMin<N>(const Records<N>&, const Value&, const Value&);
VUX_TUPLE_EXTERN(2)
VUX_TUPLE_EXTERN(3)
VUX_TUPLE_EXTERN(4)
VUX_TUPLE_EXTERN(5)
VUX_TUPLE_EXTERN(6)
VUX_TUPLE_EXTERN(7)
VUX_TUPLE_EXTERN(8)
VUX_TUPLE_EXTERN(9)
VUX_TUPLE_EXTERN(10)
VUX_TUPLE_EXTERN(11)
VUX_TUPLE_EXTERN(12)
VUX_TUPLE_EXTERN(13)
VUX_TUPLE_EXTERN(14)
VUX_TUPLE_EXTERN(15)
#undef VUX_TUPLE_EXTERN

// ---------------------------------------------------------------------------------------------
// Floor division: the quotient rounds toward negative infinity and the modulus takes the sign of
// the divisor. A zero divisor raises "divide by zero"; the most negative value divided by -1
// raises "arithmetic overflow" at 16, 32 and 64 bits (its modulus is 0), while the 8-bit forms
// divide in 16 bits and give the quotient -128 cut to 8 bits.
int64_t divInt_hash(int64_t x, int64_t y);
int8_t divInt8_hash(int8_t x, int8_t y);
int16_t divInt16_hash(int16_t x, int16_t y);
int32_t divInt32_hash(int32_t x, int32_t y);
int64_t modInt_hash(int64_t x, int64_t y);
int8_t modInt8_hash(int8_t x, int8_t y);
int16_t modInt16_hash(int16_t x, int16_t y);
int32_t modInt32_hash(int32_t x, int32_t y);
std::pair<int64_t, int64_t> divModInt_hash(int64_t x, int64_t y);
std::pair<int8_t, int8_t> divModInt8_hash(int8_t x, int8_t y);
std::pair<int16_t, int16_t> divModInt16_hash(int16_t x, int16_t y);
std::pair<int32_t, int32_t> divModInt32_hash(int32_t x, int32_t y);

// Type representations of the module: the classes.
extern const Types::StaticModule trModule;
extern const Types::StaticTyCon tcEq, tcOrd, tcIP;

}  // namespace VUX::Classes
