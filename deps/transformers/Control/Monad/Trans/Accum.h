// Module Control.Monad.Trans.Accum: the accumulation transformer `AccumT w m a`, a function from
// the value accumulated so far to an inner computation of the pair (result, value added). A step
// sees everything accumulated before it; `>>=` gives the second step the first one's addition
// appended, and reports the two additions appended. Pairs are matched irrefutably.
#pragma once

#include "rts/rts.h"

namespace Control::Monad::Trans::Accum {

using rts::Value;

inline Value AccumT(Value f) { return f; }
inline Value runAccumT(const Value& m, const Value& w) { return rts::apply(m, w); }
// `evalAccumT m w`, `execAccumT m w`: the result, or the value added.
Value evalAccumT(const Value& dMonad, const Value& m, const Value& w);
Value execAccumT(const Value& dMonad, const Value& m, const Value& w);
// `mapAccumT f m = \w -> f (m w)`, the application suspended.
Value mapAccumT(const Value& f, const Value& m);
// Over Identity: the pair itself, and its components selected without evaluating it.
inline Value runAccum(const Value& m, const Value& w) { return rts::apply(m, w); }
Value evalAccum(const Value& m, const Value& w);
Value execAccum(const Value& m, const Value& w);

// The Monad record of `AccumT w m` from `Monoid w`, `Functor m` and `Monad m`; the MonadTrans
// record of `AccumT w` from `Monoid w` (`lift m` adds `mempty`).
Value inst_Monad_AccumT(const Value& dMonoid, const Value& dFunctor, const Value& dMonad);
Value inst_MonadTrans_AccumT(const Value& dMonoid);

// `accum f = \w -> return (f w)`; `look` yields the accumulated value and adds `mempty`;
// `looks f` yields f of it; `add w` adds w.
Value accum(const Value& dMonad, const Value& f);
Value look(const Value& dMonoid, const Value& dMonad);
Value looks(const Value& dMonoid, const Value& dMonad, const Value& f);
Value add(const Value& dMonad, const Value& w);

extern const rts::StaticFun mapAccumT_closure;  // mapAccumT f m

}  // namespace Control::Monad::Trans::Accum
