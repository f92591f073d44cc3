// `IO` actions: an action is a function value of one argument, the state token; running the
// action applies it to the token and returns its result (not evaluated further). Effects happen
// when, and in the order that, actions are run, never when they are built.
#pragma once

#include <utility>

#include "VUX/Internal/Base.h"
#include "rts/rts.h"

namespace VUX::Internal::IO {

using rts::Value;

// The state token (`realWorld#`): a static value that carries no information.
extern const rts::StaticNullary realWorld_closure;
inline Value realWorld() { return realWorld_closure.value(); }

// Runs an action: applies it to the token.
inline Value runIO(const Value& action) { return rts::apply(action, realWorld()); }

// An action whose effect is the C++ callable `f()` (returning the result Value).
template <class F>
Value io(F&& f) {
    return rts::fun<1>([f = std::forward<F>(f)](const Value&) -> Value { return f(); });
}

// `return x`, `m >>= k`, `m >> k`, `fmap f m`.
Value returnIO(Value x);
Value bindIO(Value m, Value k);
Value thenIO(Value m, Value k);
Value fmapIO(Value f, Value m);
// `unsafePerformIO m`: a suspended computation that runs m when demanded.
Value unsafePerformIO(Value m);

VUX_STATIC_INSTANCE(inst_Functor_IO, Base::C_Functor_class);
VUX_STATIC_INSTANCE(inst_Applicative_IO, Base::C_Applicative_class);
VUX_STATIC_INSTANCE(inst_Monad_IO, Base::C_Monad_class);

}  // namespace VUX::Internal::IO
