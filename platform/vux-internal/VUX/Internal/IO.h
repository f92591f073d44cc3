// `IO` actions: an action is a function value of one argument, the state token; running the
// action applies it to the token and returns its result (not evaluated further). Effects happen
// when, and in the order that, actions are run, never when they are built.
#pragma once

#include <utility>

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

extern const rts::StaticCon<2> inst_Functor_IO;
extern const rts::StaticCon<6> inst_Applicative_IO;
extern const rts::StaticCon<4> inst_Monad_IO;

}  // namespace VUX::Internal::IO
