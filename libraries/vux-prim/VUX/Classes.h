// The comparison interfaces Eq and Ord as records of operations, their default definitions, the
// Boolean connectives, the instances for scalars, lists, Solo, type representations and tuples of
// 2 to 15 components, and floor division.
//
// Records (see VUX/Record.h for the declaration rule):
//   C_Eq(==, /=)
//   C_Ord(the Eq record, compare, <, <=, >, >=, max, min)
// Every operation is a function value of two arguments (use rts::apply). A static instance is
// `inst_<Class>_<Type>()` (its record `inst_<Class>_<Type>_closure`); an instance for a compound
// type is a function from the component records to a fresh record (`inst_Ord_List(dOrd)`).
#pragma once

#include <array>
#include <cstdint>
#include <utility>

#include "VUX/Record.h"
#include "VUX/Tuple.h"
#include "VUX/Types.h"

namespace VUX::Classes {

using rts::Value;

// ---------------------------------------------------------------------------------------------
// Records and selectors

VUX_CLASS(Eq, (), op_eq_eq, op_slash_eq);
VUX_CLASS(Ord, (Eq), compare, op_lt, op_lt_eq, op_gt, op_gt_eq, max, min);

using Record::call;
using Record::test;

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
// Double: eqTy, neTy, compareTy, ltTy, leTy, gtTy, geTy, maxTy and minTy (records built elsewhere
// hold them as `Record::fn<&eqInt>`...).
#define VUX_DECLARE_SCALAR_OPS(ty)                     \
    Value eq##ty(const Value& x, const Value& y);      \
    Value ne##ty(const Value& x, const Value& y);      \
    Value compare##ty(const Value& x, const Value& y); \
    Value lt##ty(const Value& x, const Value& y);      \
    Value le##ty(const Value& x, const Value& y);      \
    Value gt##ty(const Value& x, const Value& y);      \
    Value ge##ty(const Value& x, const Value& y);      \
    Value max##ty(const Value& x, const Value& y);     \
    Value min##ty(const Value& x, const Value& y);
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
VUX_STATIC_INSTANCE(inst_Eq_Unit, C_Eq_class);
VUX_STATIC_INSTANCE(inst_Ord_Unit, C_Ord_class);
VUX_STATIC_INSTANCE(inst_Eq_Bool, C_Eq_class);
VUX_STATIC_INSTANCE(inst_Ord_Bool, C_Ord_class);
VUX_STATIC_INSTANCE(inst_Eq_Ordering, C_Eq_class);
VUX_STATIC_INSTANCE(inst_Ord_Ordering, C_Ord_class);
VUX_STATIC_INSTANCE(inst_Eq_Int, C_Eq_class);
VUX_STATIC_INSTANCE(inst_Ord_Int, C_Ord_class);
VUX_STATIC_INSTANCE(inst_Eq_Word, C_Eq_class);
VUX_STATIC_INSTANCE(inst_Ord_Word, C_Ord_class);
VUX_STATIC_INSTANCE(inst_Eq_Char, C_Eq_class);
VUX_STATIC_INSTANCE(inst_Ord_Char, C_Ord_class);
VUX_STATIC_INSTANCE(inst_Eq_Float, C_Eq_class);
VUX_STATIC_INSTANCE(inst_Ord_Float, C_Ord_class);
VUX_STATIC_INSTANCE(inst_Eq_Double, C_Eq_class);
VUX_STATIC_INSTANCE(inst_Ord_Double, C_Ord_class);

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
VUX_STATIC_INSTANCE(inst_Eq_List_Char, C_Eq_class);
VUX_STATIC_INSTANCE(inst_Ord_List_Char, C_Ord_class);
VUX_STATIC_INSTANCE(inst_Eq_List_Int, C_Eq_class);
VUX_STATIC_INSTANCE(inst_Ord_List_Int, C_Ord_class);
VUX_STATIC_INSTANCE(inst_Eq_List_List_Char, C_Eq_class);
VUX_STATIC_INSTANCE(inst_Ord_List_List_Char, C_Ord_class);
// Direct forms on character strings, for C++ callers.
bool stringEq(const Value& xs, const Value& ys);
uint8_t stringCompare(const Value& xs, const Value& ys);  // an Ordering tag

Value inst_Eq_Solo(const Value& dEq);
Value inst_Ord_Solo(const Value& dOrd);

VUX_STATIC_INSTANCE(inst_Eq_TyCon, C_Eq_class);
VUX_STATIC_INSTANCE(inst_Ord_TyCon, C_Ord_class);
VUX_STATIC_INSTANCE(inst_Eq_TrName, C_Eq_class);
VUX_STATIC_INSTANCE(inst_Eq_Module, C_Eq_class);
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
