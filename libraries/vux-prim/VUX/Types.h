// The core data types: booleans, orderings, lists, boxed scalars, type representations.
//
// Conventions used by every library:
//   - a constructor's tag is a named constant `<Con>_tag` (its index in declaration order);
//   - a constructor without fields is a static object `<Con>_closure`, and `<Con>()` returns it
//     as a Value;
//   - a constructor with fields has a wrapper function of its name that builds it from its fields;
//   - reading a field of an evaluated value: `rts::field(v, i)`, `rts::word(v, i)`.
#pragma once

#include <cstdint>

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

}  // namespace VUX::Types
