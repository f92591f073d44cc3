// The state transformer `StateT s m a`: a function from a state to an inner computation of the
// pair (result, new state). The lazy and strict variants share everything here; they differ in
// how `>>=` and the running functions take the pair apart (irrefutably or by evaluating it), which
// the `Match` argument chooses.
#pragma once

#include "Control/Monad/Trans/Internal.h"

namespace Control::Monad::Trans::State::Shared {

using Internal::Match;
using rts::Value;

// The constructor and the field (the computation is the function itself): `runStateT m s`.
inline Value StateT(Value f) { return f; }
inline Value runStateT(const Value& m, const Value& s) { return rts::apply(m, s); }

Value monadRecord(Value dMonad, Match match);
// `lift m = \s -> m >>= \a -> return (a, s)`, the same for both variants.
Value lift(const Value& dMonad, const Value& m);

// `state f = \s -> return (f s)`; `get`, `put s`, `modify f`, `modify' f` (the new state
// evaluated when the computation runs), `gets f`.
Value state(const Value& dMonad, const Value& f);
Value get(const Value& dMonad);
Value put(const Value& dMonad, const Value& s);
Value modify(const Value& dMonad, const Value& f);
Value modify_prime(const Value& dMonad, const Value& f);
Value gets(const Value& dMonad, const Value& f);
// `mapStateT f m = f . m`, `withStateT f m = m . f` (the applications suspended).
Value mapStateT(const Value& f, const Value& m);
Value withStateT(const Value& f, const Value& m);
// `evalStateT m s`, `execStateT m s`: the result or the final state of the pair.
Value evalStateT(const Value& dMonad, const Value& m, const Value& s, Match match);
Value execStateT(const Value& dMonad, const Value& m, const Value& s, Match match);
// Over Identity: `runState m s` is the pair itself; `evalState` and `execState` select from it
// without evaluating it (`fst (runState m s)` in both variants).
inline Value runState(const Value& m, const Value& s) { return rts::apply(m, s); }
Value evalState(const Value& m, const Value& s);
Value execState(const Value& m, const Value& s);

}  // namespace Control::Monad::Trans::State::Shared
