// Hooks that guide the compiler and are plain identities, applications or selections at run time.
#pragma once

#include "rts/rts.h"

namespace VUX::Magic {

using rts::Value;

// Identities: the result is the argument itself, evaluated only when the result is demanded.
inline Value inline_(Value x) { return x; }
inline Value noinline(Value x) { return x; }
inline Value lazy(Value x) { return x; }
inline Value oneShot(Value f) { return f; }

// The state token that actions receive. It carries nothing: actions are ordered by applying them in
// turn, never by inspecting the token.
extern const rts::StaticNullary realWorld_hash_closure;
inline Value realWorld_hash() { return realWorld_hash_closure.value(); }

// Applies `f` to the state token and returns what it returns.
Value runRW_hash(const Value& f);

// `DataToTag` has one operation and no required interface, so its record is the operation itself;
// selecting the operation returns the record.
inline Value dataToTag_hash(Value dict) { return dict; }

// The hooks as function values.
extern const rts::StaticFun inline_closure;
extern const rts::StaticFun noinline_closure;
extern const rts::StaticFun lazy_closure;
extern const rts::StaticFun oneShot_closure;
extern const rts::StaticFun runRW_hash_closure;
extern const rts::StaticFun dataToTag_hash_closure;

}  // namespace VUX::Magic
