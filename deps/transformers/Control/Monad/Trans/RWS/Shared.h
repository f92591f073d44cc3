// The reader-writer-state transformer `RWST r w s m a`: a function of the environment and the
// state to an inner computation of the triple (result, new state, output). The lazy and strict
// variants share everything here; they differ in how the operations take triples and pairs apart
// (irrefutably or by evaluating them), which the `Match` argument chooses.
#pragma once

#include "Control/Monad/Trans/Internal.h"

namespace Control::Monad::Trans::RWS::Shared {

using Internal::Match;
using rts::Value;

// The constructor and the field (the computation is the function of r and s itself).
inline Value RWST(Value f) { return f; }
inline Value runRWST(const Value& m, const Value& r, const Value& s) { return rts::apply(m, r, s); }
// Over Identity: `rws f` is f, and `runRWS m r s` the triple itself.
inline Value rws(Value f) { return f; }
inline Value runRWS(const Value& m, const Value& r, const Value& s) { return rts::apply(m, r, s); }
// `evalRWS` and `execRWS`: (result, output) and (state, output), selected without evaluating the
// triple.
Value evalRWS(const Value& m, const Value& r, const Value& s);
Value execRWS(const Value& m, const Value& r, const Value& s);

Value monadRecord(Value dMonoid, Value dMonad, Match match);
Value monadTransRecord(Value dMonoid, Match match);

Value evalRWST(const Value& dMonad, const Value& m, const Value& r, const Value& s, Match match);
Value execRWST(const Value& dMonad, const Value& m, const Value& r, const Value& s, Match match);
// `mapRWST f m = \r s -> f (m r s)`, `withRWST f m = \r s -> uncurry m (f r s)`.
Value mapRWST(const Value& f, const Value& m);
Value withRWST(const Value& f, const Value& m);

// Environment: `reader f` (also `asks`), `ask`, `local f m`.
Value reader(const Value& dMonoid, const Value& dMonad, const Value& f);
Value ask(const Value& dMonoid, const Value& dMonad);
Value local(const Value& f, const Value& m);
// Output: `writer p`, `tell w`, `listen m`, `listens f m`, `pass m`, `censor f m`.
Value writer(const Value& dMonad, const Value& p, Match match);
Value tell(const Value& dMonad, const Value& w);
Value listen(const Value& dMonad, const Value& m, Match match);
Value listens(const Value& dMonad, const Value& f, const Value& m, Match match);
Value pass(const Value& dMonad, const Value& m, Match match);
Value censor(const Value& dMonad, const Value& f, const Value& m, Match match);
// State: `state f` (the pair f s taken apart as `match` says), `get`, `put s`, `modify f`, `gets f`.
Value state(const Value& dMonoid, const Value& dMonad, const Value& f, Match match);
Value get(const Value& dMonoid, const Value& dMonad);
Value put(const Value& dMonoid, const Value& dMonad, const Value& s);
Value modify(const Value& dMonoid, const Value& dMonad, const Value& f);
Value gets(const Value& dMonoid, const Value& dMonad, const Value& f);

}  // namespace Control::Monad::Trans::RWS::Shared
