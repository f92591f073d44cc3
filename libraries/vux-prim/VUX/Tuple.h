// Unit, Solo and the tuple types of 2 to 64 components.
//
// A tuple of N components is one constructor (tag 0) with N lazy reference fields, in order.
// The unboxed tuples (`(##)`, `MkSolo#`, `(#,#)` ...) exist for the type checker only and have no
// run-time values; their types `Unit#`, `Solo#`, `Tuple2#` ... `Tuple64#` have TyCon records.
#pragma once

#include "VUX/Types.h"

namespace VUX::Tuple {

using rts::Value;

inline constexpr size_t kMaxTupleSize = 64;

// Unit `()`
inline constexpr uint8_t Unit_tag = 0;
extern const rts::StaticNullary Unit_closure;
extern rts::Object* const Unit_closure_tbl[1];
inline Value Unit() { return Unit_closure.value(); }

// Solo: MkSolo with one lazy field.
inline constexpr uint8_t MkSolo_tag = 0;
inline Value MkSolo(Value x) { return rts::con(MkSolo_tag, std::move(x)); }
// The pattern `Solo`: building gives MkSolo of the value; matching evaluates the Solo and applies
// the continuation to its field, unevaluated. It always matches, so the fall-back is never used.
inline Value Solo(Value x) { return MkSolo(std::move(x)); }
Value Solo_match(const Value& solo, const Value& cont, const Value& fallback);
// Evaluates the Solo, then its field, and returns the field.
Value getSolo(const Value& solo);

// Tuples: `(,)` is Tuple2, `(,,)` Tuple3, and so on; every constructor has tag 0.
inline constexpr uint8_t Tuple_tag = 0;
// Builds the tuple of its arguments (2 to 64 of them), consumed.
template <class... Fields>
Value Tuple(Fields&&... fs) {
    static_assert(sizeof...(Fields) >= 2 && sizeof...(Fields) <= kMaxTupleSize, "tuples have 2 to 64 fields");
    return rts::con(Tuple_tag, Value(std::forward<Fields>(fs))...);
}
inline Value Tuple2(Value a, Value b) { return Tuple(std::move(a), std::move(b)); }
inline Value Tuple3(Value a, Value b, Value c) { return Tuple(std::move(a), std::move(b), std::move(c)); }

// Constructors as function values, for passing a constructor where a function is expected:
// MkSolo (arity 1) and the tuple constructor of n components (arity n, 2 <= n <= 64).
extern const rts::StaticFun MkSolo_fun;
Value tupleConstructor(size_t n);

// Type representations of module VUX.Tuple: unit, Solo and the tuples with their promoted
// constructors ('(), 'MkSolo, '(,) ...), and the unboxed tuple types, whose constructors are not
// promoted (their fields are of any representation, not lifted). The kinds of the tuple families
// are built on first demand:
//   '(,)    :: forall a b. a -> b -> Tuple2 a b
//   Tuple2# :: forall r0 r1. TYPE r0 -> TYPE r1 -> TYPE (TupleRep '[r0, r1])
extern const Types::StaticModule trModule;
extern const Types::StaticTyCon tcUnit, tc_prime_Unit, tcSolo, tc_prime_MkSolo;
// The TyCon of the tuple type of n components, and of its promoted constructor (2 <= n <= 64).
const Types::StaticTyCon& tcTuple(size_t n);
const Types::StaticTyCon& tc_prime_Tuple(size_t n);
// Unit#, Solo#, and the unboxed tuple type of n components (2 <= n <= 64).
extern const Types::StaticTyCon tcUnit_hash, tcSolo_hash;
const Types::StaticTyCon& tcTuple_hash(size_t n);

}  // namespace VUX::Tuple
